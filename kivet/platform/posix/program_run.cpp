// Running a program for the check on POSIX systems. The child gets a
// process group of its own (so the time limit reaches what it starts too),
// the default actions of SIGTERM and SIGINT, and RLIMIT_FSIZE as the bound
// on every file it writes: past it the system stops the write and sends
// SIGXFSZ. The parent waits on a pidfd with the time left, or, where there
// is none, polls in short steps.
#include "kivet/check/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace kivet::check {
namespace {

constexpr double GRACE_SECONDS = 2.0;
// What the child reports through its pipe when it could not start.
constexpr int START_FAILED_STATUS = 127;

using Clock = std::chrono::steady_clock;

int open_pidfd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

// Waits until the child ends or `deadline` passes; true when it ended. The
// child is not reaped: while it is a zombie its process group's number
// cannot be taken by another process, so the group can still be killed.
bool wait_until(pid_t pid, int pidfd, Clock::time_point deadline) {
  int step_ms = 1;
  for (;;) {
    siginfo_t info{};
    int done = waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    if (done == 0 && info.si_pid == pid) return true;
    if (done < 0 && errno != EINTR) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    if (pidfd >= 0) {
      pollfd ready{pidfd, POLLIN, 0};
      poll(&ready, 1, static_cast<int>(left.count()));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long>(step_ms, left.count())));
      step_ms = std::min(step_ms * 2, 20);
    }
  }
}

// In the child, before exec: only async-signal-safe calls.
[[noreturn]] void start_child(const RunRequest& request, char* const* argv, int report_fd) {
  setpgid(0, 0);
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
  signal(SIGXFSZ, SIG_DFL);
  signal(SIGPIPE, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  int in = open(request.input.c_str(), O_RDONLY);
  int out = open(request.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err = open(request.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0 || err < 0 || chdir(request.folder.c_str()) != 0 ||
      dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
    int error = errno;
    (void)!write(report_fd, &error, sizeof error);
    _exit(START_FAILED_STATUS);
  }
  rlimit size{static_cast<rlim_t>(request.file_size_limit),
              static_cast<rlim_t>(request.file_size_limit)};
  setrlimit(RLIMIT_FSIZE, &size);
  execv(request.program.c_str(), argv);
  int error = errno;
  (void)!write(report_fd, &error, sizeof error);
  _exit(START_FAILED_STATUS);
}

}  // namespace

RunResult run_program(const RunRequest& request) {
  RunResult result;
  // The environment is made before the fork: the child may not allocate.
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    bool replaced = false;
    for (const auto& change : request.environment) {
      if (entry.compare(0, change.first.size() + 1, change.first + "=") == 0) replaced = true;
    }
    if (!replaced) entries.push_back(entry);
  }
  for (const auto& change : request.environment) entries.push_back(change.first + "=" + change.second);
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(&entry[0]);
  envp.push_back(nullptr);
  std::string program = request.program;
  char* argv[] = {&program[0], nullptr};

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    result.reason = strerror(errno);
    return result;
  }
  char** saved_environ = environ;
  pid_t pid = fork();
  if (pid == 0) {
    environ = envp.data();
    close(report[0]);
    start_child(request, argv, report[1]);
  }
  close(report[1]);
  if (pid < 0) {
    result.reason = strerror(errno);
    close(report[0]);
    return result;
  }
  (void)saved_environ;
  setpgid(pid, pid);  // also here: the group exists before any kill below
  int error = 0;
  ssize_t got;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(report[0]);

  int pidfd = open_pidfd(pid);
  auto start = Clock::now();
  auto deadline = start + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<double>(request.time_limit_seconds));
  bool timed_out = false;
  if (!wait_until(pid, pidfd, deadline)) {
    timed_out = true;
    kill(-pid, SIGTERM);
    auto grace = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(GRACE_SECONDS));
    if (!wait_until(pid, pidfd, grace)) kill(-pid, SIGKILL);
  }
  // Whatever the program left running in its group goes with it, before
  // the program itself is reaped.
  kill(-pid, SIGKILL);
  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  if (pidfd >= 0) close(pidfd);

  if (got == static_cast<ssize_t>(sizeof error)) {
    result.ending = RunResult::not_started;
    result.reason = strerror(error);
  } else if (timed_out) {
    result.ending = RunResult::timed_out;
  } else if (WIFSIGNALED(wait_status) && WTERMSIG(wait_status) == SIGXFSZ) {
    result.ending = RunResult::too_much_output;
  } else if (WIFSIGNALED(wait_status)) {
    result.ending = RunResult::signalled;
    result.signal = WTERMSIG(wait_status);
  } else {
    result.ending = RunResult::exited;
    result.status = WEXITSTATUS(wait_status);
  }
  return result;
}

int processor_count() {
  long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<int>(count) : 1;
}

}  // namespace kivet::check
