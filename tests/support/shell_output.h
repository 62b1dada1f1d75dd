// What a shell command prints on its standard output, and whether a program
// is on the path: for tests that check files with other programs (poppler's
// pdfinfo and pdftoppm).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

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

// The page count pdfinfo reports for a PDF file; -1 when it reports none.
inline int pdf_pages(const std::string& pdf) {
  const std::string info = shell_output("pdfinfo '" + pdf + "' 2>/dev/null");
  const size_t at = info.find("Pages:");
  int pages = -1;
  if (at == std::string::npos || std::sscanf(info.c_str() + at, "Pages: %d", &pages) != 1) return -1;
  return pages;
}

// A binary grey map (P5, 8 bits, as pdftoppm -gray writes) as rows of bytes.
inline bool read_pgm(const std::string& path, int* w, int* h, std::vector<unsigned char>* px) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int max = 0;
  if (!(in >> magic >> *w >> *h >> max) || magic != "P5" || max != 255 || *w <= 0 || *h <= 0) return false;
  in.get();
  px->resize(size_t(*w) * size_t(*h));
  return bool(in.read(reinterpret_cast<char*>(px->data()), std::streamsize(px->size())));
}
