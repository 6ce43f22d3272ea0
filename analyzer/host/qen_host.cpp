// qen_host: a small host of qen_analyzer for tests and demonstrations.
// Its command line, its messages and its exit statuses are described by the
// usage text below (qen_host --help).
#include <errno.h>
#include <fcntl.h>
#include <getopt.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "ag_context.h"
#include "end_signals.h"
#include "file_beside.h"
#include "host_batch.h"
#include "qen_analyzer.h"
#include "standard_descriptors.h"

#ifndef QEN_VERSION
#define QEN_VERSION "unknown"
#endif

namespace {

// The host's own messages and the syntax errors (FILE:LINE: MESSAGE, as
// compilers write them) go to the standard error stream as it was.
FILE* g_messages = stderr;

const char kUsage[] =
    "usage: qen_host [-t VERSION] [-q] [-e] [-i ID] [-o REPORT] [INPUT]\n"
    "       qen_host -h | --help | --version\n"
    "\n"
    "Reads T-SQL from INPUT (standard input when absent or -), splits it into\n"
    "batches at lines that hold only \"go\", analyses each batch with qen_analyzer\n"
    "and writes an XML report of the features that the target version lacks,\n"
    "object by object, with every syntax error and the file's counters.\n"
    "\n"
    "Options:\n"
    "  -t VERSION  target version: MAJOR[.MINOR[.PATCH]] in decimal digits. The\n"
    "              analysis tells the versions 0.0.0, 0.0.1, 0.3.0, 1.0.0, 1.1.0\n"
    "              and 1.2.0 apart; any other version counts as the highest of\n"
    "              these that is not above it. Without -t the target is newer\n"
    "              than all of them. A value of another form is refused.\n"
    "  -q          quoted identifiers: double-quoted text is a name, not a string\n"
    "  -e          escaped texts: single quotes in the report's messages and\n"
    "              source lines are doubled\n"
    "  -i ID       identifier of the input written in the report (default: INPUT)\n"
    "  -o REPORT   write the report into the file REPORT (default, or -: standard\n"
    "              output); an existing report is extended by this input\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Flags may be bundled (-qe), a value may follow its letter (-t1.2) and options\n"
    "may follow INPUT; -- ends the options.\n"
    "\n"
    "Each syntax error of the report is also written to standard error as\n"
    "FILE:LINE: MESSAGE, in line order (LINE counts from 1).\n"
    "\n"
    "Exit status: 0 every batch accepted and no syntax error; 1 a batch not\n"
    "accepted or a syntax error in the report; 2 the input cannot be read, the\n"
    "report cannot be written completely, or the command line is wrong.\n";

struct options {
  const char* version = nullptr;
  bool quoted = false;
  bool escaped = false;
  const char* id = nullptr;
  const char* report = nullptr;
  const char* input = nullptr;
};

// What the command line asks for.
enum class request { analyse, help, version, refused };

// A command line that cannot be used: what is wrong, then where to look.
request refuse(const std::string& message) {
  std::fprintf(stderr, "qen_host: %s\nTry 'qen_host --help' for more information.\n", message.c_str());
  return request::refused;
}

// The command line as getopt_long reads it, with the habits of the tools
// beside it: bundled flags (-qe), attached values (-t1.2), options after the
// input, "--" ending the options and "-" standing for standard input.
request parse_options(int argc, char** argv, options* o) {
  enum { version_option = 256 };
  static const struct option long_options[] = {
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, version_option},
      {nullptr, 0, nullptr, 0},
  };
  // The leading ':' keeps getopt quiet: the host says what is wrong itself.
  static const char short_options[] = ":t:i:o:qeh";
  opterr = 0;
  int c;
  while ((c = getopt_long(argc, argv, short_options, long_options, nullptr)) != -1) {
    switch (c) {
      case 'h':
        return request::help;
      case version_option:
        return request::version;
      case 't':
        o->version = optarg;
        break;
      case 'i':
        o->id = optarg;
        break;
      case 'o':
        o->report = optarg;
        break;
      case 'q':
        o->quoted = true;
        break;
      case 'e':
        o->escaped = true;
        break;
      case ':':
        return refuse(std::string("option -") + char(optopt) + " needs a value");
      default:
        // A short letter that is no option is named alone; a long option
        // (unknown, or given a value it does not take) as it was written.
        if (optopt > 0 && optopt < 256 && (optopt == ':' || strchr(short_options + 1, optopt) == nullptr))
          return refuse(std::string("unknown option -") + char(optopt));
        return refuse(std::string("unknown option ") + argv[optind - 1]);
    }
  }
  for (int i = optind; i < argc; ++i) {
    if (o->input != nullptr)
      return refuse(std::string("one input at most: '") + argv[i] + "' follows '" + o->input + "'");
    o->input = argv[i];
  }
  // "-" is standard input, as an absent input is, and as a report
  // standard output.
  if (o->input != nullptr && strcmp(o->input, "-") == 0) o->input = nullptr;
  if (o->report != nullptr && strcmp(o->report, "-") == 0) o->report = nullptr;
  return request::analyse;
}

// The host looks at its files before the library opens them, so that its
// own message says what is wrong; whatever the look cannot foresee is still
// refused by the library.
void file_message(const char* what, const char* path, const std::string& reason) {
  std::fprintf(g_messages, "qen_host: cannot %s '%s': %s\n", what, path, reason.c_str());
}

// The message with the system's reason for error, after what comes first
// (where the error lies); returns error.
int file_error(const char* what, const char* path, int error, const std::string& first = "") {
  file_message(what, path, first + strerror(error));
  return error;
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The standard streams that the caller closed (bit n for descriptor n).
int g_closed_streams = 0;

// Whether st is a standard stream that the caller closed, reached through
// /dev/stdin, /dev/stdout or /proc/self/fd.
bool names_closed_stream(const struct stat& st) {
  for (int fd = 0; fd <= 2; ++fd) {
    struct stat held;
    if ((g_closed_streams & (1 << fd)) != 0 && fstat(fd, &held) == 0 && same_file(held, st)) return true;
  }
  return false;
}

// 0 when the input can be read as far as the host can tell, else the
// reason (after a message).
int check_input(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0) return file_error("read the input", path, errno);
  if (names_closed_stream(st)) return file_error("read the input", path, EBADF);
  if (S_ISDIR(st.st_mode)) return file_error("read the input", path, EISDIR);
  if (S_ISREG(st.st_mode) && faccessat(AT_FDCWD, path, R_OK, AT_EACCESS) != 0)
    return file_error("read the input", path, errno);
  return 0;
}

// The folder that holds path: what lies before its last name.
std::string folder_of(const char* path) {
  std::string p(path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : p.substr(0, slash);
}

// Whether renaming a new file over the file st in the folder fst is
// refused: a sticky folder lets only the owner of the file or of the folder
// (or a privileged user) replace it.
bool sticky_refuses(const struct stat& st, const struct stat& fst) {
  uid_t self = geteuid();
  return (fst.st_mode & S_ISVTX) != 0 && self != 0 && st.st_uid != self && fst.st_uid != self;
}

// Whether st is the input's file: the file input names, or standard input
// when input is NULL.
bool is_input(const struct stat& st, const char* input) {
  struct stat in;
  return (input != nullptr ? stat(input, &in) == 0 : fstat(STDIN_FILENO, &in) == 0) && same_file(in, st);
}

// 0 when the report can be written as far as the host can tell, else the
// reason (after a message). A report is replaced by a new file made in its
// folder, so an existing one needs a folder that takes files as much as a
// new one does; a path that is not a regular file, or that is the input
// (read from input, or standard input when input is NULL), is never
// written.
int check_report(const char* path, const char* input) {
  const char* what = "write the report";
  struct stat st;
  std::string folder;
  if (stat(path, &st) == 0) {
    if (names_closed_stream(st)) return file_error(what, path, EBADF);
    if (S_ISDIR(st.st_mode)) return file_error(what, path, EISDIR);
    if (!S_ISREG(st.st_mode)) {
      file_message(what, path, "not a regular file");
      return EINVAL;
    }
    if (is_input(st, input)) {
      file_message(what, path, input != nullptr ? std::string("it is the input '") + input + "'"
                                                : std::string("it is the standard input"));
      return EINVAL;
    }
    if (faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) != 0) return file_error(what, path, errno);
    char* real = realpath(path, nullptr);
    if (real == nullptr) return file_error(what, path, errno);
    folder = folder_of(real);
    std::free(real);
    struct stat fst;
    if (stat(folder.c_str(), &fst) == 0 && sticky_refuses(st, fst))
      return file_error(what, path, EPERM,
                        "the sticky folder '" + folder + "' lets only its owner or the file's replace it: ");
  } else {
    if (errno != ENOENT) return file_error(what, path, errno);
    size_t length = strlen(path);
    // A name that ends in "/" can only be a folder.
    if (length > 0 && path[length - 1] == '/') return file_error(what, path, EISDIR);
    std::string target = path;
    if (lstat(path, &st) == 0) {
      // A link to nowhere: the file it names is made, in that file's folder.
      char* named = resolve_links(path);
      if (named == nullptr) return file_error(what, path, errno);
      target = named;
      std::free(named);
    }
    folder = folder_of(target.c_str());
    std::string where = target == path ? "" : "the folder '" + folder + "' of its link's file '" + target + "': ";
    if (stat(folder.c_str(), &st) != 0) return file_error(what, path, errno, where);
    if (!S_ISDIR(st.st_mode)) return file_error(what, path, ENOTDIR, where);
  }
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    int error = errno;
    return file_error(what, path, error, "no new file can be made in its folder '" + folder + "': ");
  }
  return 0;
}

// 0 unless standard output is the input's own file (qen_host a.sql >> a.sql):
// the report would be read back as input, growing without end.
int check_standard_output(const char* input) {
  struct stat out;
  if (fstat(STDOUT_FILENO, &out) != 0 || !S_ISREG(out.st_mode) || !is_input(out, input)) return 0;
  std::fprintf(g_messages, "qen_host: cannot write the report to standard output: it is the input '%s'\n",
               input != nullptr ? input : "<standard input>");
  return EINVAL;
}

// Each syntax error of the report, as compilers write theirs: a message
// that has a location starts with it, and the program's name is left to
// the messages that have none, so that editors read FILE:LINE.
void print_syntax_error(void* input_name, int line, const char* message, size_t length) {
  std::string text = static_cast<const char*>(input_name);
  text += ':' + std::to_string(line) + ": ";
  text.append(message, length);
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), g_messages);
}

// Every line that the library writes to standard error is the host's
// message too: it starts with the host's name (see g_messages).
bool g_line_start = true;

ssize_t write_prefixed(void*, const char* text, size_t size) {
  static const char kPrefix[] = "qen_host: ";
  std::string lines;
  for (size_t i = 0; i < size; ++i) {
    if (g_line_start) lines += kPrefix;
    lines += text[i];
    g_line_start = text[i] == '\n';
  }
  for (size_t done = 0; done < lines.size();) {
    ssize_t n = write(STDERR_FILENO, lines.data() + done, lines.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += (size_t)n;
  }
  return (ssize_t)size;
}

void prefix_library_messages() {
  cookie_io_functions_t io;
  memset(&io, 0, sizeof io);
  io.write = write_prefixed;
  FILE* prefixed = fopencookie(nullptr, "w", io);
  if (prefixed == nullptr) return;
  setvbuf(prefixed, nullptr, _IONBF, 0);
  g_messages = stderr;
  stderr = prefixed;
}

// True when the batch was accepted; an empty text has nothing to parse (the
// context refuses empty input).
bool batch_accepted(qen_host::thread_context& context, file_state* fs, const std::string& text,
                    const int version[3], bool quoted) {
  return text.empty() || qen_host::analyse_batch(context, fs, text, version, quoted ? 1 : 0) == 0;
}

// 0 when what was written to standard output got there, else 2 after a
// message that says why, as the tools beside it do (--help > /dev/full).
int flush_standard_output(const char* what) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  std::fprintf(stderr, "qen_host: cannot write %s to standard output: %s\n", what, strerror(errno));
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  g_closed_streams = hold_standard_descriptors();
  options o;
  switch (parse_options(argc, argv, &o)) {
    case request::help:
      std::fputs(kUsage, stdout);
      return flush_standard_output("the help");
    case request::version:
      std::fputs("qen_host " QEN_VERSION "\n", stdout);
      return flush_standard_output("the version");
    case request::refused:
      return 2;
    case request::analyse:
      break;
  }
  int version[3];
  if (ver_init(version, o.version) != 0) {
    refuse(std::string("-t '") + o.version +
           "' names no version: give MAJOR[.MINOR[.PATCH]] in decimal digits, such as 1.2.0");
    return 2;
  }
  // An empty name (an unset variable of a script) names no file; it must
  // not stand for a standard stream.
  if (o.input != nullptr && o.input[0] == '\0') {
    file_error("read the input", "", ENOENT);
    return 2;
  }
  if (o.report != nullptr && o.report[0] == '\0') {
    file_error("write the report", "", ENOENT);
    return 2;
  }
  bool from_file = o.input != nullptr;
  bool to_file = o.report != nullptr;
  if (from_file && check_input(o.input) != 0) return 2;
  if (to_file && check_report(o.report, from_file ? o.input : nullptr) != 0) return 2;
  if (!to_file && check_standard_output(from_file ? o.input : nullptr) != 0) return 2;
  // A report beyond the file-size limit fails its write, and is reported as
  // such, instead of ending the process with the report half written.
  signal(SIGXFSZ, SIG_IGN);
  // An interrupt, a hang-up or a termination removes what the report file
  // has not completed, then ends the process as the signal would have.
  end_on_signals(file_state_discard_unfinished);
  prefix_library_messages();
  analyzer_init();
  const char* id = o.id ? o.id : (o.input ? o.input : "");
  file_state* fs = file_state_new(id, o.input, o.report, o.escaped ? 1 : 0, 1);
  if (fs == nullptr) return 2;
  if (lib_one_time_init() != 0) {
    file_state_close(fs);
    return 2;
  }
  const char* input_name = from_file ? o.input : "<standard input>";
  file_state_on_syntax_error(fs, print_syntax_error, const_cast<char*>(input_name));

  bool all_accepted = true;
  qen_host::thread_context context;
  std::string batch;
  bool in_batch = false;
  bool at_line_start = true;
  // The batch is gathered in the host's memory: one that does not fit is
  // input that could not be read, as a line that does not fit is.
  try {
    while (char* line = file_state_line(fs)) {
      file_state_lineno(fs);
      size_t length = file_state_line_length(fs);
      bool complete = length > 0 && line[length - 1] == '\n';
      if (at_line_start && qen_host::is_go_line(line, length)) {
        if (in_batch && !batch_accepted(context, fs, batch, version, o.quoted)) all_accepted = false;
        batch.clear();
        in_batch = false;
      } else {
        if (!in_batch) {
          file_state_mark(fs);
          in_batch = true;
        }
        batch.append(line, length);
      }
      at_line_start = complete;
    }
    if (in_batch && !batch_accepted(context, fs, batch, version, o.quoted)) all_accepted = false;
  } catch (const std::bad_alloc&) {
    std::fprintf(g_messages, "qen_host: Out of memory reading '%s': a batch does not fit in memory\n", input_name);
    // The report is left as it was; the process ends without completing it.
    file_state_discard_unfinished();
    _exit(2);
  }
  if (file_state_syntax_errors(fs) > 0) all_accepted = false;
  // A report that could not be written completely is said once, with the
  // reason, by the library.
  if (file_state_close(fs) != 0) return 2;
  return all_accepted ? 0 : 1;
}
