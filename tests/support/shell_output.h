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

// A binary grey map (P5) or colour map (P6), 8 bits, as pdftoppm writes
// them: rows of bytes, one (P5) or three (P6) a pixel.
inline bool read_pnm(const std::string& path, const char* kind, int* w, int* h, std::vector<unsigned char>* px) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int max = 0;
  if (!(in >> magic >> *w >> *h >> max) || magic != kind || max != 255 || *w <= 0 || *h <= 0) return false;
  in.get();
  px->resize(size_t(*w) * size_t(*h) * (magic == "P6" ? 3 : 1));
  return bool(in.read(reinterpret_cast<char*>(px->data()), std::streamsize(px->size())));
}

inline bool read_pgm(const std::string& path, int* w, int* h, std::vector<unsigned char>* px) {
  return read_pnm(path, "P5", w, h, px);
}

// The first page of a PDF file as pdftoppm draws it at `dpi` (in grey, else
// in colour, as read_pnm reads it); its picture file is removed after.
inline bool pdf_first_page(const std::string& pdf, int dpi, bool grey, int* w, int* h, std::vector<unsigned char>* px) {
  const std::string prefix = pdf + ".page";
  shell_output(std::string("pdftoppm ") + (grey ? "-gray " : "") + "-r " + std::to_string(dpi) + " -f 1 -l 1 '" +
               pdf + "' '" + prefix + "'");
  const std::string picture = prefix + (grey ? "-1.pgm" : "-1.ppm");
  const bool read = read_pnm(picture, grey ? "P5" : "P6", w, h, px);
  std::remove(picture.c_str());
  return read;
}
