// Scroll bars: a position within a range.
#include <commctrl.h>
#include <qm_user.h>

#include "platform/user/controls_internal.h"

namespace qmuser {

LRESULT scroll_bar_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case SBM_SETPOS: {
      const int old = c.pos;
      c.pos = clamp_to_range(c, static_cast<int>(static_cast<INT_PTR>(w)));
      return old;
    }
    case SBM_GETPOS: return c.pos;
    case SBM_SETRANGE:
      c.lo = static_cast<int>(static_cast<INT_PTR>(w)), c.hi = static_cast<int>(l);
      c.pos = clamp_to_range(c, c.pos);
      return 1;
    case SBM_GETRANGE:
      if (w) *reinterpret_cast<int*>(w) = c.lo;
      if (l) *reinterpret_cast<int*>(l) = c.hi;
      return 1;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser

using namespace qmuser;

int SetScrollPos(HWND h, int bar, int pos, BOOL) {
  return bar == SB_CTL ? static_cast<int>(SendMessageA(h, SBM_SETPOS, static_cast<WPARAM>(pos), 0)) : 0;
}

int GetScrollPos(HWND h, int bar) { return bar == SB_CTL ? static_cast<int>(SendMessageA(h, SBM_GETPOS, 0, 0)) : 0; }

BOOL SetScrollRange(HWND h, int bar, int min_pos, int max_pos, BOOL) {
  return bar == SB_CTL && SendMessageA(h, SBM_SETRANGE, static_cast<WPARAM>(min_pos), max_pos) ? TRUE : FALSE;
}

BOOL GetScrollRange(HWND h, int bar, LPINT min_pos, LPINT max_pos) {
  return bar == SB_CTL && SendMessageA(h, SBM_GETRANGE, reinterpret_cast<WPARAM>(min_pos), reinterpret_cast<LPARAM>(max_pos))
             ? TRUE
             : FALSE;
}
