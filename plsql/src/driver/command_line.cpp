#include "command_line.h"

#include <fcntl.h>
#include <limits.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dump_encoding.h"
#include "end_signals.h"
#include "file_beside.h"
#include "parse_context.h"
#include "sqlexc_ast_dump.h"
#include "standard_descriptors.h"
#include "translate.h"
#include "translate_options.h"

namespace {

const char kUsageFormat[] =
    "%s [options]\n"
    "Options:\n"
    "  -h                Display help information.\n"
    "  -i <input_file>   Specify an input file containing the PL/SQL syntax.\n"
    "  -s <input_string> Specify an input string containing the PL/SQL syntax.\n"
    "  -v                Turn on the verbose option.\n"
    "\n"
    "Note: Either -i or -s must be specified.\n"
    "\n"
    "RAVO Related Options:\n"
    "  -a <output_file>  Specify an output file to contain an AST dump.\n"
    "  -c <encoding>     Character encoding of the XML outputs.\n"
    "  -m <maxErrors>    Maximum number of errors before abort.\n";

[[noreturn]] void usageExit() {
  std::printf("%s\n", usageText().c_str());
  std::fflush(stdout);
  std::exit(-1);
}

[[noreturn]] void invalidValueExit(const char* arg) {
  std::printf("Error: Invalid or missing value: -%s\n", arg + 1);
  usageExit();
}

// An XML encoding name: a letter, then letters, digits, ".", "_" and "-".
// The empty text stands for the default.
bool isEncodingName(const char* text) {
  if (!*text) return true;
  if (!std::isalpha(static_cast<unsigned char>(*text))) return false;
  for (const char* p = text + 1; *p; ++p)
    if (!std::isalnum(static_cast<unsigned char>(*p)) && *p != '.' && *p != '_' && *p != '-') return false;
  return true;
}

// The ways out that skip the dump's own clean-up: the ending signals, and
// an exit in the middle of a dump.
void installEndHandlers() {
  end_on_signals(pending_files_discard);
  // A dump beyond the file-size limit fails its write, and is reported as
  // such, instead of ending the process with the dump half written.
  signal(SIGXFSZ, SIG_IGN);
  std::atexit(finishDumpAtExit);
}

}  // namespace

std::string usageText() {
  char usage[sizeof kUsageFormat + 16];
  std::snprintf(usage, sizeof usage, kUsageFormat, "vestrake");
  return usage;
}

int parseDecimalInt32(const char* text) {
  if (!text) return 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (std::isspace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int64_t value = 0;
  while (std::isdigit(*p)) {
    value = value * 10 + (*p++ - '0');
    if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1;  // saturate
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return int(value);
}

void parseOptions(int argc, char** argv, CommandOptions* options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-') {
      std::printf("Error: Invalid argument: %s\n", arg);
      usageExit();
    }
    if (arg[1] == '\0' || arg[2] != '\0') {
      std::printf("Error: Invalid option: -%s\n", arg + 1);
      usageExit();
    }
    char letter = char(std::tolower(static_cast<unsigned char>(arg[1])));
    const char** target = nullptr;
    bool isMax = false;
    switch (letter) {
      case 's': target = &options->sourceText; break;
      case 'i': target = &options->inputFile; break;
      case 'o': target = &options->outputValue; break;
      case 'a': target = &options->astFile; break;
      case 'c': target = &options->encoding; break;
      case 'm': isMax = true; break;
      case 'v': options->verbose = true; continue;
      case 'h': usageExit();
      default:
        std::printf("Error: Invalid option: -%s\n", arg + 1);
        usageExit();
    }
    if (i + 1 >= argc) invalidValueExit(arg);
    const char* value = argv[++i];
    // The encoding is written into the dump's XML declaration: only a name, and
    // one that the dump can be written in.
    if (letter == 'c' && (!isEncodingName(value) || !dumpEncodingUsable(value))) invalidValueExit(arg);
    if (isMax)
      options->maxErrors = parseDecimalInt32(value);
    else
      *target = value;
  }
}

namespace {

// Line (from 1) of the byte at offset `at` of text.
int lineOf(const char* text, size_t at) {
  int line = 1;
  for (const char* p = text; p < text + at; ++p) line += *p == '\n';
  return line;
}

// Why the source file could not be opened. A standard stream that the
// caller closed is held open on a folder: reading it is reading a closed
// stream.
const char* openFailureReason(const SourceRead& read, const char* path, int heldStreams) {
  if (read.openError == 0) return "No process has it open for writing";
  int stream = read.openError == EISDIR ? standard_stream_named(path) : -1;
  return std::strerror(stream >= 0 && (heldStreams & (1 << stream)) ? EBADF : read.openError);
}

[[noreturn]] void failExit() {
  std::fflush(stdout);
  std::exit(-1);
}

// A dump written over its own source would replace it: the two names
// (through links, or hard links) must not be one file. A terminal may be
// read and written both.
void refuseDumpOverSource(const char* astFile, const SourceRead& read) {
  struct stat st;
  if (!astFile || read.isCharDevice) return;
  if (std::strcmp(astFile, "-") == 0 ? fstat(STDOUT_FILENO, &st) != 0 : stat(astFile, &st) != 0) return;
  if (st.st_dev != read.device || st.st_ino != read.inode) return;
  std::printf("ERROR: Dump file is the read file: %s\n", astFile);
  failExit();
}

// The dump writes the source's bytes as they stand, under the declared
// encoding: a byte outside it would make the document ill-formed.
void refuseBytesOutsideEncoding(const CommandOptions& options, const char* source) {
  if (!options.astFile) return;
  size_t length = std::strlen(source);
  size_t bad = firstByteOutsideEncoding(source, length, options.encoding);
  if (bad == SIZE_MAX) return;
  if (options.sourceText)
    std::printf("ERROR: Byte not in %s at line %d of the source string\n", options.encoding, lineOf(source, bad));
  else
    std::printf("ERROR: Byte not in %s at line %d of read file: %s\n", options.encoding, lineOf(source, bad),
                options.inputFile);
  failExit();
}

}  // namespace

SourceRead readSource(const char* path) {
  SourceRead result;
  if (!path) return result;
  // Non-blocking open: a FIFO that no one writes must not hold the run.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    result.openError = errno;
    return result;
  }
  struct stat st;
  bool examined = fstat(fd, &st) == 0;
  if (!examined || S_ISDIR(st.st_mode)) {
    result.openError = examined ? EISDIR : errno;
    close(fd);
    return result;
  }
  result.device = st.st_dev;
  result.inode = st.st_ino;
  result.isCharDevice = S_ISCHR(st.st_mode);
  // A named FIFO without a writer reads as empty at once: that is no
  // source (a pipe of the shell, whose writer has gone, can be empty).
  bool namedFifo = false;
  if (S_ISFIFO(st.st_mode)) {
    struct statfs fs;
    namedFifo = fstatfs(fd, &fs) != 0 || fs.f_type != PIPEFS_MAGIC;
  }
  // The size of a file is no promise (a pipe, /proc): read up to the end.
  size_t capacity = 0, used = 0;
  char* buffer = nullptr;
  bool blocking = false;
  for (;;) {
    if (capacity - used < 65536) {
      size_t grown = capacity < (size_t(1) << 20) ? (size_t(1) << 20) : capacity * 2;
      char* bigger = static_cast<char*>(std::realloc(buffer, grown + 1));
      if (!bigger) {
        result.outOfMemory = true;
        break;
      }
      buffer = bigger;
      capacity = grown;
    }
    ssize_t got = read(fd, buffer + used, capacity - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN && !blocking) {
      // A writer is there: wait for its data from now on.
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      blocking = true;
      continue;
    }
    if (got < 0) {
      result.readError = errno;
      break;
    }
    if (!blocking) {
      if (got == 0 && used == 0 && namedFifo) {
        std::free(buffer);
        close(fd);
        return result;
      }
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      blocking = true;
    }
    if (got == 0) break;
    // The source ends at its first NUL: nothing after it is read (a device
    // such as /dev/zero would never end).
    if (const void* nul = std::memchr(buffer + used, '\0', size_t(got))) {
      result.nulAt = size_t(static_cast<const char*>(nul) - buffer);
      used += size_t(got);
      break;
    }
    used += size_t(got);
  }
  close(fd);
  result.opened = true;
  if (buffer) buffer[used] = '\0';
  result.text = buffer;
  result.length = used;
  return result;
}

void vestrakeMain(int argc, char** argv) {
  int heldStreams = hold_standard_descriptors();
  installEndHandlers();
  CommandOptions options;
  std::memset(&options, 0, sizeof options);
  if (argc > 1) parseOptions(argc, argv, &options);

  const char* source = nullptr;
  if (options.sourceText) {
    source = options.sourceText;
  } else if (options.inputFile) {
    SourceRead read = readSource(options.inputFile);
    if (!read.opened) {
      std::printf("ERROR: Can't open read file: %s: %s\n", options.inputFile,
                  openFailureReason(read, options.inputFile, heldStreams));
      failExit();
    }
    if (read.readError) {
      std::printf("ERROR: Can't read file: %s: %s\n", options.inputFile, std::strerror(read.readError));
      failExit();
    }
    if (read.outOfMemory) {
      std::fflush(stdout);
      std::fputs("VESTRAKE: OUT OF MEMORY\n", stderr);
      std::exit(2);
    }
    // The source ends at its first NUL: a file holding one would lose the
    // rest without a word.
    if (read.nulAt != SIZE_MAX) {
      std::printf("ERROR: NUL byte at line %d of read file: %s\n", lineOf(read.text, read.nulAt), options.inputFile);
      failExit();
    }
    refuseDumpOverSource(options.astFile, read);
    source = read.text;
  } else {
    usageExit();
  }
  refuseBytesOutsideEncoding(options, source);

  TranslateOptions translate;
  setCommandLineDefaults(&translate);
  translate.astFile = options.astFile;
  translate.encoding = options.encoding;
  translate.maxErrors = options.maxErrors;

  if (options.verbose) std::printf("PL/SQL:\n%s\n\n", source);
  flush_standard_output();

  StatementRecord* statements = nullptr;
  ErrorRecord* errors = nullptr;
  translateSource(source, &statements, &errors, &translate, options.sourceText ? nullptr : options.inputFile);
}
