// Command line of the vestrake program.
#pragma once

#include <cstddef>
#include <string>

struct CommandOptions {
  const char* sourceText;
  const char* inputFile;
  const char* outputValue;
  int reserved;
  bool verbose;
  const char* astFile;
  const char* encoding;
  int maxErrors;
};

// The usage text with the program name filled in.
std::string usageText();

// Fills `options`; prints its own errors and exits with status -1 on any
// error and on -h.
void parseOptions(int argc, char** argv, CommandOptions* options);

// Reads the whole file into a heap buffer ending in NUL; null when the file
// cannot be opened or read as a regular file. *length (when given) receives
// the number of bytes read, NUL bytes of the file included.
char* readWholeFile(const char* path, size_t* length = nullptr);

// The whole program after the option parsing; never returns.
[[noreturn]] void vestrakeMain(int argc, char** argv);

// atoi with the 32-bit range made explicit: out-of-range values clamp.
int parseDecimalInt32(const char* text);
