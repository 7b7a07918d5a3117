#pragma once
// A real desktop for the window tests: a virtual X server (Xvfb) on a display of its own
// choosing and the openbox window manager on it, both started here and stopped at the end.
#include <sys/types.h>

#include <string>

namespace desktop {

class Session {
 public:
  // Starts both; on failure Ok() is false and Error() says why.
  Session(int width, int height);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }
  const std::string& Display() const { return display_; }

 private:
  void Stop(pid_t& pid);
  std::string error_;
  std::string display_;
  pid_t server_ = -1;
  pid_t manager_ = -1;
};

// Runs a command (through the shell) on the session's display; its exit status.
int Run(const std::string& command);

}  // namespace desktop
