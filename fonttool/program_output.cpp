#include "fonttool/program_output.h"

#include <qm_program.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fontlathe {

int UsageError(const char* program, const char* usage, const std::string& what) {
  return qm_program_usage_error(program, usage, what);
}

int Failure(const char* program, const std::string& what) { return qm_program_failure(program, what); }

int Print(const char* program, const std::string& text, int status) { return qm_program_print(program, text, status); }

int Finish(const char* program, bool ok, std::string message, const std::string& marks_end) {
  if (ok) return Print(program, marks_end + message + "\n", kSucceeded);
  Print(program, marks_end, kFailed);
  while (!message.empty() && message.back() == '\n') message.pop_back();
  return Failure(program, message);
}

}  // namespace fontlathe
