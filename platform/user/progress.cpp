// Progress bars: a position within a range, stepped by the program, shown
// as the classic row of blocks in the highlight colour in a sunken frame
// (one smooth bar with PBS_SMOOTH).
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstdint>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

constexpr LONG kBlockGap = 2;

void paint_progress(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  RECT r = p.client;
  fill_color(p.dc, r, COLOR_BTNFACE);
  DrawEdge(p.dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  const int64_t span = int64_t(std::max(c.lo, c.hi)) - std::min(c.lo, c.hi);
  if (span <= 0 || rect_width(r) <= 0) return;
  const LONG full = static_cast<LONG>(int64_t(rect_width(r)) * (clamp_to_range(c, c.pos) - std::min(c.lo, c.hi)) / span);
  if (style_of(h) & PBS_SMOOTH) {
    fill_color(p.dc, {r.left, r.top, r.left + full, r.bottom}, COLOR_HIGHLIGHT);
    return;
  }
  // Blocks two thirds as wide as the bar is high, whole ones only, as far
  // as the position reaches (the last one once it is begun).
  const LONG block = std::max<LONG>(2, rect_height(r) * 2 / 3);
  for (LONG x = r.left; x < r.left + full && x < r.right; x += block + kBlockGap)
    fill_color(p.dc, {x, r.top, std::min(x + block, r.right), r.bottom}, COLOR_HIGHLIGHT);
}

}  // namespace

LRESULT progress_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  const int old = c.pos;
  // Every change of the range or the position shows.
  if (msg >= PBM_SETRANGE && msg <= PBM_SETRANGE32) InvalidateRect(h, nullptr, FALSE);
  switch (msg) {
    case WM_PAINT: paint_progress(h, c); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers it all
    case PBM_SETRANGE:
      c.lo = LOWORD(l), c.hi = HIWORD(l), c.pos = clamp_to_range(c, c.pos);
      return MAKELONG(c.lo, c.hi);
    case PBM_SETRANGE32: c.lo = static_cast<int>(w), c.hi = static_cast<int>(l), c.pos = clamp_to_range(c, c.pos); return 1;
    case PBM_SETPOS: c.pos = clamp_to_range(c, static_cast<int>(w)); return old;
    case PBM_DELTAPOS: c.pos = clamp_to_range(c, c.pos + static_cast<int>(w)); return old;
    case PBM_SETSTEP: c.step = static_cast<int>(w); return 0;
    case PBM_STEPIT:
      // Stepping past the end starts again from the beginning.
      c.pos = c.pos + c.step > c.hi ? c.lo + (c.pos + c.step - c.hi) % std::max(1, c.hi - c.lo) : c.pos + c.step;
      return old;
    case PBM_GETPOS: return c.pos;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser
