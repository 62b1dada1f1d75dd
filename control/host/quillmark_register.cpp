// quillmark_register: registers an in-process COM server library (by
// default the drawing control, libquillmarkocx.so) in the registry file, or
// removes its registration, through the library's own DllRegisterServer or
// DllUnregisterServer. The registry file is QM_REGISTRY when that is set,
// else registry.ini in the user's configuration folder.
//
//   quillmark_register [--unregister] [LIBRARY]
//   quillmark_register --help | --version
//
// Exit status: 0 done, 1 the library or the registry failed (the message
// says which and why), 2 a usage error.
#include <dlfcn.h>
#include <objbase.h>
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
      return usage("unknown option " + a);
    } else if (library.empty()) {
      library = a;
    } else {
      return usage("only one library can be registered at a time");
    }
  }
  if (library.empty()) library = default_library();
  // A name without a folder would be searched for on the library path.
  if (library.find('/') == std::string::npos) library = "./" + library;

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
  const std::string registry = qm_registry_path();
  if (FAILED(hr)) {
    std::fprintf(stderr, "quillmark_register: %s: %s failed (0x%08X): the registry %s %s\n", library.c_str(), entry,
                 static_cast<unsigned>(hr), registry.c_str(),
                 QmRegistry().intact() ? "cannot be written" : "is damaged and is left as it is");
    return 1;
  }
  std::printf("%s %s in %s\n", library.c_str(), unregister ? "unregistered" : "registered", registry.c_str());
  return 0;
}
