#pragma once
// What every benchmark program measures with: processor time, wall time, and a measured program
// run as a child (its own peak memory and processor time).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace bench {

inline double CpuSeconds(const rusage& u) {
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// User + system time of this process (RUSAGE_SELF) or of its waited-for children
// (RUSAGE_CHILDREN): on a shared machine the wall-clock figure includes waiting for a processor.
inline double CpuSeconds(int who = RUSAGE_SELF) {
  rusage u{};
  getrusage(who, &u);
  return CpuSeconds(u);
}

inline double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Wall and processor time since it was made.
struct Clock {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = CpuSeconds();
  double Wall() const { return Seconds(wall); }
  double CpuTime() const { return CpuSeconds() - cpu; }
};

struct ChildRun {
  int status = -1;  // exit status, 128 + signal, or -1 when it could not be run
  double wall = 0, cpu = 0;
  long peakKiB = 0;
  bool ok() const { return status == 0; }
};

// Starts argv[0] (looked up in PATH) in a child, after `inChild` has set up its descriptors
// there; the child's process id, -1 when it could not be started.
template <class Setup>
pid_t StartChild(const std::vector<std::string>& argv, Setup&& inChild) {
  const pid_t pid = fork();
  if (pid == 0) {
    inChild();
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// Waits for the child `pid`, started at `start`, and takes its figures.
inline ChildRun WaitChild(pid_t pid, std::chrono::steady_clock::time_point start) {
  ChildRun out;
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return out;
  out.wall = Seconds(start);
  out.cpu = CpuSeconds(usage);
  out.peakKiB = usage.ru_maxrss;
  out.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return out;
}

// Runs argv[0] (looked up in PATH) and waits for it; with quiet its output goes to /dev/null.
inline ChildRun RunChild(const std::vector<std::string>& argv, bool quiet) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = StartChild(argv, [quiet] {
    if (quiet) {
      const int devnull = open("/dev/null", O_WRONLY);
      dup2(devnull, 1);
    }
  });
  return WaitChild(pid, start);
}

}  // namespace bench
