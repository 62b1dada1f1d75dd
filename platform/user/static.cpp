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
  // An icon static shows the icon its text names ("#4"), at its top-left.
  if ((style & 0x1F) == SS_ICON) {
    if (HICON icon = LoadIconA(nullptr, text_of(h).c_str())) DrawIcon(p.dc, r.left, r.top, icon);
    return;
  }
  if ((style & 0x1F) > SS_RIGHT) return;  // pictures show nothing of theirs
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
  // An icon static takes the size of its icon.
  if (msg == WM_CREATE && (style_of(h) & 0x1F) == SS_ICON)
    if (LoadIconA(nullptr, text_of(h).c_str()))
      SetWindowPos(h, nullptr, 0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (msg == WM_PAINT) return paint_static(h, c), 0;
  if (msg == WM_NCHITTEST && !(style_of(h) & SS_NOTIFY)) return HTTRANSPARENT;
  if (msg == WM_SETTEXT || msg == WM_ENABLE) InvalidateRect(h, nullptr, FALSE);
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace qmuser
