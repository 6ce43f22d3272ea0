// Shell commands for the tests that drive programs as processes: one way to
// quote a word, one way to run a command and read what it wrote, one way to
// read a file it wrote, and one way to wait for what it does.
#ifndef QEN_TESTS_SHELL_COMMAND_H
#define QEN_TESTS_SHELL_COMMAND_H

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace qen_test {

// The word in single quotes, each quote inside written as '\'' so that no
// byte of it means anything to the shell.
inline std::string shell_quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct ProcessResult {
  bool exited = false;  // ended by exit, not by a signal
  int status = -1;      // its exit status; -1 when it did not exit
  std::string output;   // what it wrote to standard output
};

// Runs a command through the shell; redirect within the command to read
// standard error as well.
inline ProcessResult run_command(const std::string& command) {
  ProcessResult r;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  int st = pclose(p);
  r.exited = st != -1 && WIFEXITED(st);
  r.status = r.exited ? WEXITSTATUS(st) : -1;
  return r;
}

// Runs a command through the shell, its output left where the command puts
// it; the exit status, -1 when it did not exit normally.
inline int command_status(const std::string& command) {
  int st = system(command.c_str());
  return st != -1 && WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// Whether the shell command ends 0 here: a tool that a case needs.
inline bool works(const std::string& command) { return command_status(command + " > /dev/null 2>&1") == 0; }

// Waits, at most a minute, until cond holds.
template <class Cond>
bool eventually(Cond cond) {
  for (int i = 0; i < 60000 && !cond(); ++i) usleep(1000);
  return cond();
}

// Whether this build runs under a sanitizer.
inline bool sanitized() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

#ifdef QEN_FAULTS_PATH
// The shell's words that preload the tests' fault library, with its settings
// in vars, into the command that follows; the library comes first, which the
// address sanitizer must be told.
inline std::string with_faults(const std::string& vars) {
  return "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 LD_PRELOAD=" +
         shell_quote(QEN_FAULTS_PATH) + " " + vars + " ";
}
#endif

// The whole content of a file, byte for byte; empty when it cannot be read.
inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace qen_test

#endif
