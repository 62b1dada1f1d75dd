// The seam between the window system and a real display (qm_display.h).
//
// With a display the virtual clock is driven by the real one: before a
// message is looked for, the clock moves on by the milliseconds that passed,
// so timers fall due on time and nothing else about them changes.
#include <dlfcn.h>
#include <qm_display.h>
#include <qm_user.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/user/user_internal.h"

namespace qmuser {

namespace {

const QmDisplay* g_display = nullptr;
std::chrono::steady_clock::time_point g_start;
uint64_t g_start_clock = 0;

// Milliseconds until the next timer falls due; -1 without timers.
int until_next_timer() {
  const State& st = state();
  bool any = false;
  uint64_t due = 0;
  for (const Timer& t : st.timers)
    if (!t.pending && (!any || t.due < due)) due = t.due, any = true;
  if (!any) return -1;
  return due <= st.clock ? 0 : static_cast<int>(std::min<uint64_t>(due - st.clock, 1u << 30));
}

}  // namespace

void display_follow_clock() {
  if (!g_display) return;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - g_start);
  const uint64_t now = g_start_clock + static_cast<uint64_t>(ms.count());
  if (now > state().clock) qm_user_advance_clock(static_cast<DWORD>(now - state().clock));
}

bool display_wait(bool block) {
  if (!g_display) return false;
  const bool alive = g_display->wait(block ? until_next_timer() : 0);
  display_follow_clock();
  return alive;
}

}  // namespace qmuser

using namespace qmuser;

void qm_user_set_display(const QmDisplay* display) {
  g_display = display;
  g_start = std::chrono::steady_clock::now();
  g_start_clock = state().clock;
}

const QmDisplay* qm_user_display() { return g_display; }

namespace {

// libqmx11 beside this library, else wherever the loader finds it.
void* load_x11_library(std::string& error) {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&qm_display_start), &info) && info.dli_fname) {
    std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "libqmx11.so";
    if (void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return lib;
  }
  if (void* lib = dlopen("libqmx11.so", RTLD_NOW | RTLD_LOCAL)) return lib;
  const char* why = dlerror();
  error = std::string("the X11 display library cannot be loaded") + (why ? std::string(" (") + why + ")" : "");
  return nullptr;
}

}  // namespace

QmBackend qm_display_start(int* argc, char** argv) {
  bool headless = false;
  if (argc && argv) {
    int out = 1;
    for (int i = 1; i < *argc; ++i) {
      if (std::strcmp(argv[i], "--headless") == 0)
        headless = true;
      else
        argv[out++] = argv[i];
    }
    if (*argc > 0) {
      argv[out] = nullptr;
      *argc = out;
    }
  }
  const char* program = argv && argv[0] ? argv[0] : "program";
  if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
  const char* env = std::getenv("QM_HEADLESS");
  const bool insist = env && std::strcmp(env, "0") == 0;
  if (env && *env && !insist) headless = true;
  if (headless) return QM_BACKEND_HEADLESS;
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    if (!insist) return QM_BACKEND_HEADLESS;
    std::fprintf(stderr, "%s: no X display to show the windows on (DISPLAY is not set)\n", program);
    return QM_BACKEND_FAILED;
  }
  std::string error;
  char why[256] = "";
  bool opened = false;
  if (void* lib = load_x11_library(error)) {
    using Attach = int (*)(const char*, char*, size_t);
    auto attach = reinterpret_cast<Attach>(dlsym(lib, "qm_x11_attach"));
    if (!attach)
      error = "the X11 display library has no entry point";
    else if (!(opened = attach(name, why, sizeof why) != 0))
      error = why;
  }
  if (opened) return QM_BACKEND_X11;
  std::fprintf(stderr, "%s: the X display %s cannot be used: %s%s\n", program, name, error.c_str(),
               insist ? "" : "; going on without a display");
  return insist ? QM_BACKEND_FAILED : QM_BACKEND_HEADLESS;
}

bool qm_display_stop() {
  const QmDisplay* d = g_display;
  g_display = nullptr;
  return d ? d->close() : true;
}
