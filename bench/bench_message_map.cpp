// A million window messages routed through a class-library window whose
// handlers sit in a map three classes deep, beside a switch over the same
// messages calling the same handlers, in the same run; the two figures are
// meant to be read side by side.
#include <afxwin.h>
#include <benchmark/benchmark.h>

namespace {

constexpr int kMessages = 1000000;
const UINT kCycle[] = {WM_SIZE, WM_MOUSEMOVE, WM_TIMER, WM_LBUTTONDOWN, WM_KEYDOWN, WM_USER + 5, WM_CHAR, WM_PAINT};

int g_sink = 0;
__attribute__((noinline)) void handle(int v) { g_sink += v; }

class Level1 : public CWnd {
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnSize(UINT, int cx, int) { handle(cx); }
  afx_msg void OnTimer(UINT_PTR id) { handle(static_cast<int>(id)); }
  afx_msg void OnPaint() { handle(1); }
};
BEGIN_MESSAGE_MAP(Level1, CWnd)
ON_WM_SIZE()
ON_WM_TIMER()
ON_WM_PAINT()
END_MESSAGE_MAP()

class Level2 : public Level1 {
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnKeyDown(UINT ch, UINT, UINT) { handle(static_cast<int>(ch)); }
  afx_msg void OnChar(UINT ch, UINT, UINT) { handle(static_cast<int>(ch)); }
};
BEGIN_MESSAGE_MAP(Level2, Level1)
ON_WM_KEYDOWN()
ON_WM_CHAR()
END_MESSAGE_MAP()

class Level3 : public Level2 {
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnMouseMove(UINT, CPoint p) { handle(p.x); }
  afx_msg void OnLButtonDown(UINT, CPoint p) { handle(p.y); }
  afx_msg LRESULT OnUser(WPARAM w, LPARAM) {
    handle(static_cast<int>(w));
    return 0;
  }
};
BEGIN_MESSAGE_MAP(Level3, Level2)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_USER + 5, OnUser)
END_MESSAGE_MAP()

void BM_MessageMap(benchmark::State& state) {
  Level3 wnd;
  CWnd* target = &wnd;
  for (auto _ : state) {
    for (int i = 0; i < kMessages; ++i) {
      LRESULT r = 0;
      target->OnWndMsg(kCycle[i & 7], 3, MAKELPARAM(4, 5), &r);
    }
    benchmark::DoNotOptimize(g_sink);
  }
  state.SetItemsProcessed(state.iterations() * kMessages);
}

__attribute__((noinline)) LRESULT switch_proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SIZE: handle(static_cast<SHORT>(LOWORD(l))); return 0;
    case WM_TIMER: handle(static_cast<int>(w)); return 0;
    case WM_PAINT: handle(1); return 0;
    case WM_KEYDOWN: handle(static_cast<int>(w)); return 0;
    case WM_CHAR: handle(static_cast<int>(w)); return 0;
    case WM_MOUSEMOVE: handle(static_cast<SHORT>(LOWORD(l))); return 0;
    case WM_LBUTTONDOWN: handle(static_cast<SHORT>(HIWORD(l))); return 0;
    case WM_USER + 5: handle(static_cast<int>(w)); return 0;
    default: return 0;
  }
}

void BM_Switch(benchmark::State& state) {
  for (auto _ : state) {
    for (int i = 0; i < kMessages; ++i) switch_proc(kCycle[i & 7], 3, MAKELPARAM(4, 5));
    benchmark::DoNotOptimize(g_sink);
  }
  state.SetItemsProcessed(state.iterations() * kMessages);
}

BENCHMARK(BM_Switch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MessageMap)->Unit(benchmark::kMillisecond);

}  // namespace
