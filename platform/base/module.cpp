// Module folder lookup through dladdr, with an environment override. The
// main program's link map has no name (dladdr then reports argv[0], which may
// be relative or a bare name found on PATH), so its file is read from
// /proc/self/exe instead.
#include "qm_module.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>

std::string qm_module_dir(const void* address_in_module) {
  const char* over = getenv("QM_KERNEL_DIR");
  std::string dir;
  if (over && *over) {
    dir = over;
  } else {
    Dl_info info;
    struct link_map* map = nullptr;
    if (!address_in_module || dladdr1(address_in_module, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0)
      return std::string();
    char resolved[PATH_MAX];
    if (!map || !map->l_name || !*map->l_name) {
      ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
      if (n <= 0) return std::string();
      dir.assign(resolved, static_cast<size_t>(n));
    } else {
      dir = realpath(map->l_name, resolved) ? resolved : map->l_name;
    }
    size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
  }
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}
