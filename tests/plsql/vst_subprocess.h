// Runs a program with arguments and an environment addition, capturing its
// standard output, standard error and exit status.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

struct ProcessResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

inline ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::pair<std::string, std::string>>& env = {},
                                const std::vector<std::string>& unsetEnv = {}) {
  ProcessResult result;
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    for (const auto& name : unsetEnv) unsetenv(name.c_str());
    for (const auto& kv : env) setenv(kv.first.c_str(), kv.second.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  int open = 2;
  char buf[4096];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? result.out : result.err).append(buf, size_t(n));
      }
    }
  }
  int st = 0;
  waitpid(pid, &st, 0);
  result.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return result;
}

// Starts a program whose standard output goes into a pipe of one page, read
// only when the caller chooses (so that the run waits on its output), its
// standard error discarded and signo at its default action. The pid; the
// pipe's read end in *out.
inline pid_t startWithPagedOutput(const std::vector<std::string>& args, int signo, int* out) {
  int page[2];
  if (pipe(page) != 0) return -1;
  fcntl(page[0], F_SETPIPE_SZ, 4096);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(page[1], 1);
    close(page[0]);
    close(page[1]);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    signal(signo, SIG_DFL);  // whatever the test runner ignores
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(page[1]);
  *out = page[0];
  return pid;
}

// Reads the pipe of such a run to its end and closes it, then waits for the
// run: its wait status, or -1.
inline int drainAndWait(int out, pid_t pid) {
  char buffer[4096];
  while (read(out, buffer, sizeof buffer) > 0) {
  }
  close(out);
  int status = 0;
  return waitpid(pid, &status, 0) == pid ? status : -1;
}
