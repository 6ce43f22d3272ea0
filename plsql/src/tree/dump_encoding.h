// The encoding that the XML dump declares (vestrake -c): the source's bytes
// are taken to be in it and are written as they stand, so the dump is
// well-formed only when they are characters of that encoding that XML
// allows.
#pragma once

#include <cstddef>

// True when the system's converter knows the encoding and it writes the
// characters of the dump's markup (ASCII) as ASCII bytes; UTF-16 or EBCDIC
// could not carry a document written this way.
bool dumpEncodingUsable(const char* encoding);

// Offset of the first byte of text that does not start a character of the
// encoding that XML allows, or SIZE_MAX when there is none (and for an
// encoding that is not usable). The control bytes that the dump leaves out
// are no obstacle.
size_t firstByteOutsideEncoding(const char* text, size_t length, const char* encoding);

// Length of the byte order mark that text starts with, 0 when none: the
// bytes of U+FEFF in UTF-8, when the encoding reads them as that character
// (the default does, as the editors that write the mark mean it). The mark
// tells the encoding; it is no part of the source.
size_t byteOrderMarkLength(const char* text, size_t length, const char* encoding);
