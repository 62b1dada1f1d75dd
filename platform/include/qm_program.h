// The command line every program of the toolkit answers alike: --help (or
// -h) prints the usage on standard output and ends with status 0; --version
// prints the program's name and version on standard output and ends with
// status 0; a usage error prints what was wrong and the usage on standard
// error and ends with status 2; a failure names the file and the reason on
// standard error and ends with status 1.
#pragma once

#include <string>

enum QmExitStatus { QM_EXIT_DONE = 0, QM_EXIT_FAILED = 1, QM_EXIT_USAGE = 2 };

// The toolkit's version, as the build gives it.
const char* qm_toolkit_version();

// Prints the text on standard output: `status` when all of it got there,
// else "program: cannot write to standard output: reason" on standard error
// and QM_EXIT_FAILED.
int qm_program_print(const char* program, const std::string& text, int status);

// "program: what" and then the usage on standard error; QM_EXIT_USAGE.
int qm_program_usage_error(const char* program, const char* usage, const std::string& what);

// What a usage error says of an option the program does not know, worded
// alike by every program: "unknown option '--bogus'".
std::string qm_program_unknown_option(const std::string& option);

// "program: what" on standard error; QM_EXIT_FAILED.
int qm_program_failure(const char* program, const std::string& what);

// True when `arg` is --help, -h or --version: the answer is printed (the
// usage, or "program version") and *status is the program's exit status.
// `version` null: the toolkit's version.
bool qm_program_standard_option(const char* arg, const char* program, const char* usage, int* status,
                                const char* version = nullptr);
