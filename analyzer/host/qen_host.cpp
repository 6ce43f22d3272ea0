// qen_host: a small host of qen_analyzer for tests and demonstrations.
//
//   qen_host [-t VERSION] [-q] [-e] [-i ID] [-o REPORT] [INPUT]
//
// Reads a T-SQL file (standard input by default), splits it into batches at
// lines that hold only "go", analyses each batch and writes the XML report
// (standard output by default). Exit status: 0 when every batch was
// accepted without a syntax error, 1 when some batch was not accepted or the
// report holds a syntax error, 2 when the input cannot be read, the report
// cannot be written completely or the command line is wrong.
#include <signal.h>
#include <string.h>

#include <cstdio>
#include <string>

#include "ag_context.h"
#include "host_batch.h"
#include "qen_analyzer.h"

namespace {

struct options {
  const char* version = nullptr;
  bool quoted = false;
  bool escaped = false;
  const char* id = nullptr;
  const char* report = nullptr;
  const char* input = nullptr;
};

void usage() {
  std::fputs("usage: qen_host [-t VERSION] [-q] [-e] [-i ID] [-o REPORT] [INPUT]\n"
             "exit status: 0 all batches accepted, 1 a batch not accepted or a syntax\n"
             "error in the report, 2 input unreadable, report not written or bad usage\n",
             stderr);
}

bool parse_options(int argc, char** argv, options* o) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    auto value = [&](const char** slot) {
      if (i + 1 >= argc) return false;
      *slot = argv[++i];
      return true;
    };
    if (strcmp(a, "-t") == 0) {
      if (!value(&o->version)) return false;
    } else if (strcmp(a, "-i") == 0) {
      if (!value(&o->id)) return false;
    } else if (strcmp(a, "-o") == 0) {
      if (!value(&o->report)) return false;
    } else if (strcmp(a, "-q") == 0) {
      o->quoted = true;
    } else if (strcmp(a, "-e") == 0) {
      o->escaped = true;
    } else if (a[0] == '-' && a[1] != '\0') {
      return false;
    } else if (o->input == nullptr) {
      o->input = a;
    } else {
      return false;
    }
  }
  return true;
}

// An interrupt, a hang-up or a termination removes what the report file
// has not completed, then ends the process as the signal would have.
void end_on_signal(int sig) {
  file_state_discard_unfinished();
  raise(sig);  // the handler was reset and the signal is not held
}

void remove_unfinished_report_on_signals() {
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = end_on_signal;
  sigemptyset(&action.sa_mask);
  for (int sig : signals) sigaddset(&action.sa_mask, sig);
  action.sa_flags = SA_RESETHAND | SA_NODEFER;
  for (int sig : signals) {
    struct sigaction before;
    // A signal ignored by whoever started the host (nohup) stays ignored.
    if (sigaction(sig, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(sig, &action, nullptr);
  }
}

// True when the batch was accepted; an empty text has nothing to parse (the
// context refuses empty input).
bool batch_accepted(file_state* fs, const std::string& text, const int version[3], bool quoted) {
  return text.empty() || qen_host::analyse_batch(fs, text, version, quoted ? 1 : 0) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  options o;
  if (!parse_options(argc, argv, &o)) {
    usage();
    return 2;
  }
  // A report beyond the file-size limit fails its write, and is reported as
  // such, instead of ending the process with the report half written.
  signal(SIGXFSZ, SIG_IGN);
  remove_unfinished_report_on_signals();
  analyzer_init();
  int version[3];
  if (ver_init(version, o.version) != 0)
    std::fprintf(stderr, "qen_host: only part of the version '%s' could be read\n", o.version);
  const char* id = o.id ? o.id : (o.input ? o.input : "");
  file_state* fs = file_state_new(id, o.input, o.report, o.escaped ? 1 : 0, 1);
  if (fs == nullptr) return 2;
  if (lib_one_time_init() != 0) {
    file_state_close(fs);
    return 2;
  }

  bool all_accepted = true;
  std::string batch;
  bool in_batch = false;
  bool at_line_start = true;
  while (char* line = file_state_line(fs)) {
    file_state_lineno(fs);
    size_t length = file_state_line_length(fs);
    bool complete = length > 0 && line[length - 1] == '\n';
    if (at_line_start && qen_host::is_go_line(line, length)) {
      if (in_batch && !batch_accepted(fs, batch, version, o.quoted)) all_accepted = false;
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
  if (in_batch && !batch_accepted(fs, batch, version, o.quoted)) all_accepted = false;
  if (file_state_syntax_errors(fs) > 0) all_accepted = false;
  if (file_state_close(fs) != 0) return 2;
  return all_accepted ? 0 : 1;
}
