// Static controls: text, etched lines and frames. A text static with no
// text leaves what lies inside its frame to its owner: the owner's own
// painting there (a canvas, a preview) shows through.
#include <commctrl.h>
#include <qm_user.h>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

void paint_static(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  const DWORD style = style_of(h);
  fill_color(p.dc, p.client, COLOR_BTNFACE);
  RECT r = p.client;
  if (style & SS_SUNKEN) DrawEdge(p.dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if ((style & 0x1F) == SS_ETCHEDHORZ) {
    DrawEdge(p.dc, &r, EDGE_ETCHED, BF_TOP);
    return;
  }
  if ((style & 0x1F) > SS_RIGHT) return;  // icons and pictures show nothing of theirs
  const std::string text = text_of(h);
  if (Window* w = find(h)) {
    w->see_through.clear();
    if (text.empty()) w->see_through.push_back(r);
  }
  const UINT align = (style & 0x1F) == SS_CENTER ? DT_CENTER : (style & 0x1F) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
  DrawTextA(p.dc, label_of(text).c_str(), -1, &r, align | DT_NOPREFIX);
}

}  // namespace

LRESULT static_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) return paint_static(h, c), 0;
  if (msg == WM_NCHITTEST && !(style_of(h) & SS_NOTIFY)) return HTTRANSPARENT;
  if (msg == WM_SETTEXT || msg == WM_ENABLE) InvalidateRect(h, nullptr, FALSE);
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace qmuser
