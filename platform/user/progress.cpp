// Progress bars: a position within a range, stepped by the program.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>

#include "platform/user/controls_internal.h"

namespace qmuser {

LRESULT progress_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  const int old = c.pos;
  switch (msg) {
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
