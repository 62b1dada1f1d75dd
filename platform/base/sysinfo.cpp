// System folders (the Windows folder, the current folder) and language, configurable through the environment so that
// tests and installs choose them.
#include <windows.h>
#include <unistd.h>

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
