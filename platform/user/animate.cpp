// Animation controls.
#include <commctrl.h>
#include <qm_user.h>

#include "platform/user/controls_internal.h"

namespace qmuser {

LRESULT animate_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  if (msg == ACM_OPENA) return TRUE;
  if (msg == ACM_PLAY) return c.playing = true, TRUE;
  if (msg == ACM_STOP) return c.playing = false, TRUE;
  if (msg == ACM_ISPLAYING) return c.playing;
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace qmuser
