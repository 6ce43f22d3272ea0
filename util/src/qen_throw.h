// Throw and pass-on helpers used inside qen_util: the throw site and every
// catch site that passes a failure on add their own source position.
#ifndef QEN_THROW_H
#define QEN_THROW_H

#include "QENException.h"

#define QEN_THROW_FILE_EXCEPTION(message) \
  throw ::qen_util::QENFileException(__FILE__, __LINE__, ::qen_util::ERROR, (message))

#define QEN_PASS_ON(caught)                          \
  do {                                               \
    (caught).addStack(__FILE__, __LINE__);           \
    throw ::qen_util::QENFileException(caught);      \
  } while (0)

#endif
