// The command-line conventions shared by every program (qm_program.h).
#include "qm_program.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef QM_TOOLKIT_VERSION
#define QM_TOOLKIT_VERSION "0"
#endif

const char* qm_toolkit_version() { return QM_TOOLKIT_VERSION; }

int qm_program_print(const char* program, const std::string& text, int status) {
  std::fputs(text.c_str(), stdout);
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  return qm_program_failure(program,
                            std::string("cannot write to standard output: ") + std::strerror(errno ? errno : EIO));
}

int qm_program_usage_error(const char* program, const char* usage, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n%s", program, what.c_str(), usage);
  return QM_EXIT_USAGE;
}

std::string qm_program_unknown_option(const std::string& option) { return "unknown option '" + option + "'"; }

int qm_program_failure(const char* program, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", program, what.c_str());
  return QM_EXIT_FAILED;
}

bool qm_program_standard_option(const char* arg, const char* program, const char* usage, int* status,
                                const char* version) {
  if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
    *status = qm_program_print(program, usage, QM_EXIT_DONE);
    return true;
  }
  if (std::strcmp(arg, "--version") == 0) {
    *status = qm_program_print(program, std::string(program) + " " + (version ? version : qm_toolkit_version()) + "\n",
                               QM_EXIT_DONE);
    return true;
  }
  return false;
}
