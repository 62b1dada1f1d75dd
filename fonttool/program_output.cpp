#include "fonttool/program_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fontlathe {

int UsageError(const char* program, const char* usage, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n%s", program, what.c_str(), usage);
  return kUsageError;
}

int Failure(const char* program, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", program, what.c_str());
  return kFailed;
}

int Print(const char* program, const std::string& text, int status) {
  std::fputs(text.c_str(), stdout);
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  return Failure(program, std::string("cannot write to standard output: ") + std::strerror(errno != 0 ? errno : EIO));
}

int Finish(const char* program, bool ok, std::string message, const std::string& marks_end) {
  if (ok) return Print(program, marks_end + message + "\n", kSucceeded);
  Print(program, marks_end, kFailed);
  while (!message.empty() && message.back() == '\n') message.pop_back();
  return Failure(program, message);
}

}  // namespace fontlathe
