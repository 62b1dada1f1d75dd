// What a shell command prints on its standard output, and whether a program
// is on the path: for tests that check files with other programs (poppler's
// pdfinfo and pdftoppm).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

inline std::string shell_output(const std::string& command) {
  std::string out;
  if (FILE* f = popen(command.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, f)) out += buf;
    pclose(f);
  }
  return out;
}

inline bool have_program(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}
