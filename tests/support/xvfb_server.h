// An Xvfb server of a test's own, on a display number the server picks
// free (-displayfd), stopped when the object goes. Tests and benchmarks that
// need an X display skip, saying why(), when it cannot start.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/support/child_process.h"

class Xvfb_Server {
 public:
  explicit Xvfb_Server(int width = 1280, int height = 1024) {
    int fds[2];
    if (pipe(fds) != 0) {
      why_ = "no pipe to hear from Xvfb";
      return;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(fds[1]);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      qm_test_child_dies_with(parent);
      close(fds[0]);
      const int null = open("/dev/null", O_RDWR);
      if (null >= 0) dup2(null, 0), dup2(null, 1), dup2(null, 2);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
      close(fds[0]);
      why_ = "Xvfb cannot be started (no process)";
      return;
    }
    // The server writes its display number once it takes connections.
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p = {fds[0], POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c;
      if (read(fds[0], &c, 1) != 1) break;
      if (c == '\n') break;
      number += c;
    }
    close(fds[0]);
    if (number.empty()) {
      stop();
      why_ = "Xvfb did not start (is the xvfb package installed?)";
      return;
    }
    name_ = ":" + number;
  }
  ~Xvfb_Server() { stop(); }
  Xvfb_Server(const Xvfb_Server&) = delete;
  Xvfb_Server& operator=(const Xvfb_Server&) = delete;

  bool ok() const { return !name_.empty(); }
  const std::string& why() const { return why_; }
  // The display name, such as ":5".
  const std::string& name() const { return name_; }
  void stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  std::string name_, why_;
};
