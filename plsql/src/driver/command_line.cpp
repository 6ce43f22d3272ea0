#include "command_line.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "end_signals.h"
#include "file_beside.h"
#include "parse_context.h"
#include "sqlexc_ast_dump.h"
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
    // The encoding is written into the dump's XML declaration.
    if (letter == 'c' && !isEncodingName(value)) invalidValueExit(arg);
    if (isMax)
      options->maxErrors = parseDecimalInt32(value);
    else
      *target = value;
  }
}

char* readWholeFile(const char* path, size_t* length) {
  if (length) *length = 0;
  if (!path) return nullptr;
  // Only regular files have a size to take; a directory or a FIFO is refused
  // rather than read as empty or waited on (non-blocking open).
  int fd = open(path, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  FILE* f = fdopen(fd, "r");
  if (!f) {
    close(fd);
    return nullptr;
  }
  if (std::fseek(f, 0, SEEK_END) != 0) {
    std::fclose(f);
    return nullptr;
  }
  long size = std::ftell(f);
  std::fclose(f);
  if (size < 0) return nullptr;
  char* buffer = static_cast<char*>(std::calloc(size_t(size) + 1, 1));
  if (!buffer) return nullptr;
  f = std::fopen(path, "r");
  if (!f) {
    std::free(buffer);
    return nullptr;
  }
  size_t got = std::fread(buffer, 1, size_t(size), f);
  buffer[got] = '\0';
  std::fclose(f);
  if (length) *length = got;
  return buffer;
}

void vestrakeMain(int argc, char** argv) {
  installEndHandlers();
  CommandOptions options;
  std::memset(&options, 0, sizeof options);
  if (argc > 1) parseOptions(argc, argv, &options);

  const char* source = nullptr;
  if (options.sourceText) {
    source = options.sourceText;
  } else if (options.inputFile) {
    size_t length = 0;
    source = readWholeFile(options.inputFile, &length);
    if (!source) {
      std::printf("ERROR: Can't open read file: %s\n", options.inputFile);
      std::fflush(stdout);
      std::exit(-1);
    }
    // The source ends at its first NUL: a file holding one would lose the
    // rest without a word.
    if (const char* nul = static_cast<const char*>(std::memchr(source, '\0', length))) {
      int line = 1;
      for (const char* p = source; p < nul; ++p) line += *p == '\n';
      std::printf("ERROR: NUL byte at line %d of read file: %s\n", line, options.inputFile);
      std::fflush(stdout);
      std::exit(-1);
    }
  } else {
    usageExit();
  }

  TranslateOptions translate;
  setCommandLineDefaults(&translate);
  translate.astFile = options.astFile;
  translate.encoding = options.encoding;
  translate.maxErrors = options.maxErrors;

  if (options.verbose) std::printf("PL/SQL:\n%s\n\n", source);
  std::fflush(stdout);

  StatementRecord* statements = nullptr;
  ErrorRecord* errors = nullptr;
  translateSource(source, &statements, &errors, &translate, options.sourceText ? nullptr : options.inputFile);
}
