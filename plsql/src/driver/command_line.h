// Command line of the vestrake program.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
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

// A source file read whole (vestrake -i).
struct SourceRead {
  bool opened = false;       // false: it could not be opened, or it is a folder or a FIFO without a writer
  int openError = 0;         // then the errno (EISDIR for a folder), or 0 for a FIFO without a writer
  int readError = 0;         // errno of a read that failed
  bool outOfMemory = false;  // the buffer could not grow
  size_t nulAt = SIZE_MAX;   // offset of the first NUL byte, which ends the reading
  char* text = nullptr;      // heap, ending in NUL; what was read
  size_t length = 0;
  dev_t device = 0;          // the file that was opened
  ino_t inode = 0;
  bool isCharDevice = false;
};

// Reads any readable file up to its end, pipes and devices included, without
// relying on its size.
SourceRead readSource(const char* path);

// The whole program after the option parsing; never returns.
[[noreturn]] void vestrakeMain(int argc, char** argv);

// atoi with the 32-bit range made explicit: out-of-range values clamp.
int parseDecimalInt32(const char* text);
