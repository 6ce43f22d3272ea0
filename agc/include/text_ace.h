#ifndef QEN_AG_TEXT_ACE_H
#define QEN_AG_TEXT_ACE_H

/* Joining a Text with an ACE string: a copy of the string's characters is
 * joined (in the pool of the thread's context). Kept in its own header so
 * that the library itself needs nothing of ACE. */

#include "ace/String_Base.h"
#include "ag_text.h"

inline Text operator+(const Text &t, const ACE_String_Base<char> &s) {
  return t.joinChars(s.c_str(), (int)s.length());
}

#endif
