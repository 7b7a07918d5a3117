#include "DesktopSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace desktop {
namespace {

pid_t Spawn(const char* const argv[], int keepFd) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int null = open("/dev/null", O_RDWR);
  dup2(null, 0);
  dup2(null, 1);
  dup2(null, 2);
  for (int fd = 3; fd < 256; ++fd)
    if (fd != keepFd) close(fd);
  execvp(argv[0], const_cast<char* const*>(argv));
  _exit(127);
}

}  // namespace

Session::Session(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) {
    error_ = "pipe";
    return;
  }
  // Xvfb picks a free display and writes its number on the descriptor: tests run in parallel.
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string fd = std::to_string(fds[1]);
  const char* const server[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                                screen.c_str(), "-nolisten",  "tcp",      nullptr};
  server_ = Spawn(server, fds[1]);
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (poll(&p, 1, 10000) > 0) {
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    error_ = "Xvfb did not start (install xvfb: scripts/setup.sh)";
    return;
  }
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
  const char* const manager[] = {"openbox", "--sm-disable", nullptr};
  manager_ = Spawn(manager, -1);
  // The window manager is up once it has announced itself on the root window.
  for (int i = 0; i < 100; ++i) {
    if (Run("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'") == 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  error_ = "openbox did not start (install openbox and x11-utils: scripts/setup.sh)";
}

Session::~Session() {
  Stop(manager_);
  Stop(server_);
}

void Session::Stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 50 && waitpid(pid, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  pid = -1;
}

int Run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace desktop
