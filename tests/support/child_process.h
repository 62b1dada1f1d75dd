// What a process a test forks does first: it never outlives the test.
// A test that ends by a signal or exit() (a sanitizer's abort, Xlib's fatal
// error handler) runs no destructor, and a child left over would go on
// holding the test runner's output pipe, so the runner waits on it until
// its own time limit.
#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

// Called in the child right after fork(), before exec (the setting stays
// through exec). `parent` is the forking process's pid, taken before fork().
inline void qm_test_child_dies_with(pid_t parent) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The parent may have ended before the setting took hold.
  if (getppid() != parent) _exit(127);
}
