// Runs a program as a user does from a shell: in a given folder, with its
// standard output and error collected, and a time limit after which it is
// killed (so a hang fails the test instead of stalling it). What it prints is
// collected outside the folder, so the folder holds only what it made.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_temp.h"

namespace program_test {

struct Outcome {
  int status = -1;  // the exit status, 128 + the signal that ended it; -1 when timed out or not started
  bool timed_out = false;
  std::string out, err;
};

using ::read_all;

// Runs `program args...` in `folder`; stdout goes to `stdout_to` when given
// (a path such as /dev/full), else it is collected.
inline Outcome run(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                   const std::string& stdout_to = "", int seconds = 60) {
  Outcome r;
  static int runs = 0;
  const std::string capture = qm_test_temp("run" + std::to_string(++runs));
  const std::string out_file = capture + ".stdout", err_file = capture + ".stderr";
  std::fflush(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) return r;
  if (pid == 0) {
    qm_test_child_dies_with(parent);
    if (chdir(folder.c_str()) != 0) _exit(127);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open((stdout_to.empty() ? out_file : stdout_to).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0), dup2(out, 1), dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  for (;;) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      r.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!r.timed_out) r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (stdout_to.empty()) r.out = read_all(out_file);
  r.err = read_all(err_file);
  std::remove(out_file.c_str());
  std::remove(err_file.c_str());
  return r;
}

}  // namespace program_test
