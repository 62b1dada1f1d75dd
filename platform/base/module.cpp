// Module folder lookup through dladdr, with an environment override.
#include "qm_module.h"

#include <dlfcn.h>
#include <limits.h>

#include <cstdlib>

std::string qm_module_dir(const void* address_in_module) {
  const char* over = getenv("QM_KERNEL_DIR");
  std::string dir;
  if (over && *over) {
    dir = over;
  } else {
    Dl_info info;
    if (!address_in_module || dladdr(address_in_module, &info) == 0 || !info.dli_fname || !*info.dli_fname)
      return std::string();
    char resolved[PATH_MAX];
    dir = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
  }
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}
