// quillmark_register: registers an in-process COM server library (by
// default the drawing control, libquillmarkocx.so) in the registry file, or
// removes its registration, through the library's own DllRegisterServer or
// DllUnregisterServer. The registry file is QM_REGISTRY when that is set,
// else registry.ini in the user's configuration folder.
//
//   quillmark_register [--unregister] [LIBRARY]
//   quillmark_register --help | --version
//
// Unregistering removes only what names the given library: when no server
// in the registry is that file, nothing is removed and the program says so.
// The registry is edited in place (its comments, order and unknown lines
// kept), through a symbolic link to its target; emptied, it is removed.
//
// Exit status: 0 done, 1 the library or the registry failed or nothing
// names the library (the message says which and why), 2 a usage error.
#include <dlfcn.h>
#include <objbase.h>
#include <qm_file.h>
#include <qm_program.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kControlLibrary = "libquillmarkocx.so";

constexpr const char* kProgram = "quillmark_register";

std::string usage_text() {
  return std::string(
             "usage: quillmark_register [--unregister] [LIBRARY]\n"
             "       quillmark_register --help | --version\n"
             "  registers the COM server LIBRARY (default: the drawing control, ") +
         kControlLibrary +
         ", from this\n"
         "  program's installation) in the registry file (QM_REGISTRY, else registry.ini in\n"
         "  the user's configuration folder); --unregister removes what registering wrote\n";
}

int usage(const std::string& why) { return qm_program_usage_error(kProgram, usage_text().c_str(), why); }

// The control library of this program's build or installation: beside the
// program (a build tree) or in the kernel's folder of an install.
std::string default_library() {
  char program[4096];
  const DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
  std::string here(program, n < sizeof program ? n : 0);
  here.erase(here.find_last_of('/') + 1);
  for (const std::string& candidate : {here + kControlLibrary, here + "../lib/quillmark/" + kControlLibrary,
                                       here + "../lib/" + kControlLibrary})
    if (access(candidate.c_str(), R_OK) == 0) return candidate;
  return here + kControlLibrary;
}

// True when a server of the registry is this library file (by any name).
bool registered_from(const std::string& library) {
  const QmRegistry registry;
  static const std::string kServer = "\\inprocserver32";
  for (const std::string& key : registry.Keys()) {
    if (key.size() < kServer.size() || key.compare(key.size() - kServer.size(), kServer.size(), kServer) != 0) continue;
    std::string path;
    if (registry.Get(key, "@", &path) && qm_same_file(path.c_str(), library.c_str())) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  std::string library;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    int status = 0;
    if (qm_program_standard_option(argv[i], kProgram, usage_text().c_str(), &status)) return status;
    if (a == "--unregister") {
      unregister = true;
    } else if (!a.empty() && a[0] == '-') {
      return usage(qm_program_unknown_option(a));
    } else if (library.empty()) {
      library = a;
    } else {
      return usage("only one library can be registered at a time");
    }
  }
  if (library.empty()) library = default_library();
  // A name without a folder would be searched for on the library path.
  if (library.find('/') == std::string::npos) library = "./" + library;
  const std::string registry = qm_registry_path();
  if (unregister && !registered_from(library)) {
    std::fprintf(stderr, "quillmark_register: nothing in %s names %s; nothing was removed\n", registry.c_str(),
                 library.c_str());
    return 1;
  }

  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    std::fprintf(stderr, "quillmark_register: %s: %s\n", library.c_str(), why ? why : "cannot be loaded");
    return 1;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto call = reinterpret_cast<QmDllRegisterServer>(dlsym(handle, entry));
  if (!call) {
    std::fprintf(stderr, "quillmark_register: %s: not a COM server library (it has no %s)\n", library.c_str(), entry);
    dlclose(handle);
    return 1;
  }
  const HRESULT hr = call();
  dlclose(handle);
  if (FAILED(hr)) {
    std::fprintf(stderr, "quillmark_register: %s: %s failed (0x%08X): the registry %s %s\n", library.c_str(), entry,
                 static_cast<unsigned>(hr), registry.c_str(),
                 QmRegistry().intact() ? "cannot be written" : "is damaged and is left as it is");
    return 1;
  }
  std::printf("%s %s in %s\n", library.c_str(), unregister ? "unregistered" : "registered", registry.c_str());
  return 0;
}
