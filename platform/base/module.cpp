// Module folder lookup through dladdr, with an environment override, and
// the Win32 module handle and file name calls, where a module is a loaded
// ELF object and its handle the address its file is mapped at. The
// main program's link map has no name (dladdr then reports argv[0], which may
// be relative or a bare name found on PATH), so its file is read from
// /proc/self/exe instead.
#include "qm_module.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <strings.h>
#include <unistd.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

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

namespace {

// The load address of a module: where its first segment (the one that maps
// the file's start, holding the ELF header) lies.
ElfW(Addr) load_base(const struct dl_phdr_info* info) {
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type == PT_LOAD && ph.p_offset == 0) return info->dlpi_addr + ph.p_vaddr;
  }
  return info->dlpi_addr;
}

bool same_ignoring_case(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// A module's file named as Windows names it: "name.dll" (or any other
// extension) is also "libname.so".
bool names_module(const std::string& wanted, const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  if (same_ignoring_case(wanted, file)) return true;
  const size_t dot = wanted.rfind('.');
  const std::string stem = dot == std::string::npos ? wanted : wanted.substr(0, dot);
  return !stem.empty() && same_ignoring_case("lib" + stem + ".so", file);
}

struct Search {
  const std::string* name = nullptr;  // the module wanted by name,
  bool program = false;               // or the program,
  ElfW(Addr) base = 0;                // or the one at a load address
  bool first = true;                  // the program comes first
  bool found = false;
  ElfW(Addr) found_base = 0;
  std::string path;
};

int visit(struct dl_phdr_info* info, size_t, void* data) {
  Search* s = static_cast<Search*>(data);
  const bool program = s->first;
  s->first = false;
  const ElfW(Addr) base = load_base(info);
  const std::string path = program ? std::string() : std::string(info->dlpi_name ? info->dlpi_name : "");
  const bool hit = s->name      ? !program && !path.empty() && names_module(*s->name, path)
                   : s->program ? program
                                : base == s->base;
  if (!hit) return 0;
  s->found = true;
  s->found_base = base;
  s->path = path;
  return 1;
}

std::string program_path() {
  char resolved[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
  return n > 0 ? std::string(resolved, static_cast<size_t>(n)) : std::string();
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR name) {
  Search s;
  std::string wanted;
  if (name) {
    wanted = name;
    const size_t sep = wanted.find_last_of("\\/");
    if (sep != std::string::npos) wanted = wanted.substr(sep + 1);
    s.name = &wanted;
  } else {
    s.program = true;
  }
  dl_iterate_phdr(visit, &s);
  return s.found ? reinterpret_cast<HMODULE>(s.found_base) : nullptr;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  std::string path;
  Search s;
  s.base = reinterpret_cast<ElfW(Addr)>(module);
  if (module) dl_iterate_phdr(visit, &s);
  if (!module || (s.found && s.path.empty())) {
    path = program_path();
  } else if (s.found) {
    char resolved[PATH_MAX];
    path = realpath(s.path.c_str(), resolved) ? resolved : s.path;
  }
  if (path.empty()) return 0;
  // A name that does not fit is cut and still ended, and the answer is the
  // buffer's size.
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = 0;
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}
