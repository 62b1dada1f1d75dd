// What the font tool's programs say on their standard streams, and the exit
// status that goes with it.
#pragma once

#include <string>

namespace fontlathe {

enum ExitStatus { kSucceeded = 0, kFailed = 1, kUsageError = 2 };

// "program: what" and the usage on standard error; the usage error status.
int UsageError(const char* program, const char* usage, const std::string& what);
// "program: what" on standard error; the failure status.
int Failure(const char* program, const std::string& what);
// The text on standard output: `status` when all of it got there, else the
// failure status, with the reason on standard error.
int Print(const char* program, const std::string& text, int status);

}  // namespace fontlathe
