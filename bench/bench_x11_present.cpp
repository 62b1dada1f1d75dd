// Presenting a 1920 x 1080 window's pixels on an X display (Xvfb, started
// here) beside a plain XPutImage loop of an image of the same size to a
// window of the same size, in the same run. Every present changes every row,
// so the whole picture goes to the server each time, as it does in the
// loop. Skipped, saying why, when Xvfb cannot start.
#include <benchmark/benchmark.h>
#include <qm_display.h>
#include <qm_user.h>
#include <windows.h>
#include <winuser.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/support/xvfb_server.h"

// After the benchmark library: Xlib's macros would break it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern "C" int qm_x11_attach(const char* name, char* error, size_t size);

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

Xvfb_Server& server() {
  static Xvfb_Server s(kWidth, kHeight);
  return s;
}

void fill_picture(uint32_t* px, size_t count, uint32_t seed) {
  for (size_t i = 0; i < count; ++i) px[i] = static_cast<uint32_t>(i * 2654435761u + seed) & 0xFFFFFF;
}

void BM_PlainXPutImage(benchmark::State& state) {
  if (!server().ok()) {
    state.SkipWithError(server().why().c_str());
    return;
  }
  Display* dpy = XOpenDisplay(server().name().c_str());
  if (!dpy) {
    state.SkipWithError("the X display cannot be opened");
    return;
  }
  const int screen = DefaultScreen(dpy);
  const Window w = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, kWidth, kHeight, 0, 0, 0);
  XMapWindow(dpy, w);
  const GC gc = XCreateGC(dpy, w, 0, nullptr);
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  fill_picture(pixels.data(), pixels.size(), 1);
  XImage* image = XCreateImage(dpy, DefaultVisual(dpy, screen), static_cast<unsigned>(DefaultDepth(dpy, screen)),
                               ZPixmap, 0, reinterpret_cast<char*>(pixels.data()), kWidth, kHeight, 32, kWidth * 4);
  XSync(dpy, False);
  for (auto _ : state) {
    XPutImage(dpy, w, gc, image, 0, 0, 0, 0, kWidth, kHeight);
    XSync(dpy, False);
  }
  state.counters["presents_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  image->data = nullptr;
  XDestroyImage(image);
  XFreeGC(dpy, gc);
  XDestroyWindow(dpy, w);
  XCloseDisplay(dpy);
}
BENCHMARK(BM_PlainXPutImage)->Unit(benchmark::kMillisecond)->UseRealTime();

LRESULT CALLBACK plain_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

void BM_PresentWindow(benchmark::State& state) {
  if (!server().ok()) {
    state.SkipWithError(server().why().c_str());
    return;
  }
  char why[256] = "";
  if (!qm_x11_attach(server().name().c_str(), why, sizeof why)) {
    state.SkipWithError(why);
    return;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = plain_proc;
  wc.lpszClassName = "bench_present";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "bench_present", "present", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                              nullptr, nullptr, nullptr);
  HDC dc = GetDC(hwnd);  // makes the window's pixels
  ReleaseDC(hwnd, dc);
  int w = 0, h = 0;
  // The benchmark stands for the painting: it changes the pixels in place.
  auto* px = const_cast<uint32_t*>(qm_user_window_pixels(hwnd, &w, &h));
  if (!px || w != kWidth || h != kHeight) {
    state.SkipWithError("the window has no pixels of the size asked");
    qm_display_stop();
    return;
  }
  fill_picture(px, size_t(w) * size_t(h), 1);
  const QmDisplay* display = qm_user_display();
  display->wait(0);
  uint32_t frame = 0;
  for (auto _ : state) {
    // A new first pixel in every row: every row goes to the server.
    ++frame;
    for (int y = 0; y < h; ++y) px[size_t(y) * size_t(w)] = frame & 0xFFFFFF;
    display->wait(0);
  }
  state.counters["presents_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  DestroyWindow(hwnd);
  qm_display_stop();
  qm_user_reset();
}
BENCHMARK(BM_PresentWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
