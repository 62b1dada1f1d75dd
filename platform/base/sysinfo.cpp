// System folders (the Windows folder, the current folder, the temporary
// folder) and language, configurable through the environment so that tests
// and installs choose them; and MulDiv, the scaling helper of the same
// library.
#include <windows.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qm_module.h"

namespace {
const char anchor = 0;
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  const char* over = std::getenv("QM_WINDOWS_DIR");
  std::string dir = over && *over ? std::string(over) : qm_module_dir(&anchor);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir.empty()) return 0;
  if (!buffer || size <= dir.size()) return static_cast<UINT>(dir.size() + 1);
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return static_cast<UINT>(dir.size());
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  char* cwd = getcwd(nullptr, 0);
  if (!cwd) return 0;
  const std::string dir(cwd);
  std::free(cwd);
  if (!buffer || size <= dir.size()) return static_cast<DWORD>(dir.size() + 1);
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return static_cast<DWORD>(dir.size());
}

LANGID GetSystemDefaultLangID() {
  const char* over = std::getenv("QM_LANGID");
  if (over && *over) {
    char* end = nullptr;
    long v = std::strtol(over, &end, 10);
    if (end && *end == 0 && v > 0 && v <= 0xFFFF) return static_cast<LANGID>(v);
  }
  return 1033;
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
  const char* over = std::getenv("TMPDIR");
  std::string dir = over && *over ? std::string(over) : std::string("/tmp");
  if (dir.back() != '/') dir += '/';
  if (!buffer || size <= dir.size()) return static_cast<DWORD>(dir.size() + 1);
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return static_cast<DWORD>(dir.size());
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  // Rounded half away from zero, as the original does.
  int64_t q = product / denominator;
  const int64_t r = product % denominator;
  if (r != 0 && 2 * (r < 0 ? -r : r) >= (denominator < 0 ? -int64_t(denominator) : int64_t(denominator))) {
    q += ((product < 0) != (denominator < 0)) ? -1 : 1;
  }
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<int>(q);
}
