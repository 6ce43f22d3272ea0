#include "command_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "parse_context.h"
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

char g_usage[sizeof kUsageFormat + 16];

[[noreturn]] void usageExit() {
  std::printf("%s\n", usageText());
  std::fflush(stdout);
  std::exit(-1);
}

}  // namespace

const char* usageText() {
  if (!g_usage[0]) std::snprintf(g_usage, sizeof g_usage, kUsageFormat, "vestrake");
  return g_usage;
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
  usageText();
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
    if (i + 1 >= argc) {
      std::printf("Error: Invalid or missing value: -%s\n", arg + 1);
      usageExit();
    }
    const char* value = argv[++i];
    if (isMax)
      options->maxErrors = parseDecimalInt32(value);
    else
      *target = value;
  }
}

char* readWholeFile(const char* path) {
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
  return buffer;
}

void vestrakeMain(int argc, char** argv) {
  CommandOptions options;
  std::memset(&options, 0, sizeof options);
  if (argc > 1) parseOptions(argc, argv, &options);

  const char* source = nullptr;
  if (options.sourceText) {
    source = options.sourceText;
  } else if (options.inputFile) {
    source = readWholeFile(options.inputFile);
    if (!source) {
      std::printf("ERROR: Can't open read file: %s\n", options.inputFile);
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
