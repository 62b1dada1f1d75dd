// Names of files and of the drawing's tables.
#include "database/mb_names.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr size_t kPathSize = MAX_PATH;

int fold(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

}  // namespace

bool is_file_ext(const char* path, const char* ext) {
  if (!path || !ext) return false;
  const char* dot = std::strrchr(path, '.');
  return dot && mb_same_name(dot + 1, ext);
}

bool get_fname_by_pathstr(const char* path, char* out) {
  if (!path || !out) return false;
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') name = p + 1;
  }
  size_t n = strnlen(name, kPathSize - 1);
  std::memcpy(out, name, n);
  out[n] = 0;
  return true;
}

bool mb_same_name(const char* a, const char* b) {
  if (!a || !b) return a == b;
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
  while (*x && *y) {
    if (*x >= 0x81 && x[1] && y[0] == x[0]) {
      // A GBK lead byte: the pair is compared as it is.
      if (y[1] != x[1]) return false;
      x += 2;
      y += 2;
      continue;
    }
    if (fold(*x) != fold(*y)) return false;
    ++x;
    ++y;
  }
  return *x == *y;
}
