// What the font tool's programs say on their standard streams, and the exit
// status that goes with it: the toolkit's rule for every program
// (qm_program.h), in the font tool's names.
#pragma once

#include <qm_program.h>

#include <string>

namespace fontlathe {

enum ExitStatus { kSucceeded = QM_EXIT_DONE, kFailed = QM_EXIT_FAILED, kUsageError = QM_EXIT_USAGE };

// "program: what" and the usage on standard error; the usage error status.
int UsageError(const char* program, const char* usage, const std::string& what);
// "program: what" on standard error; the failure status.
int Failure(const char* program, const std::string& what);
// The text on standard output: `status` when all of it got there, else the
// failure status, with the reason on standard error.
int Print(const char* program, const std::string& text, int status);
// The end of a run that did its work with a message: when `ok`, the message
// (and a line end) on standard output and the success status; else
// "program: message" on standard error and the failure status, so that
// an output redirected to a file never holds an error. `marks_end` goes to
// standard output first in both cases: it ends a line of progress marks.
int Finish(const char* program, bool ok, std::string message, const std::string& marks_end = "");

}  // namespace fontlathe
