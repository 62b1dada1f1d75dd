// The frame a window draws and answers for by default: what its
// WM_NCCALCSIZE handler left around the client area is painted as a 3-D
// frame in the button-face colour, with a caption bar (WS_CAPTION) in the
// active or inactive caption colour carrying the window text, and the hit
// test tells the client area, the caption, the sizing borders
// (WS_THICKFRAME), the window's scroll bars and the plain border apart.
#include "platform/user/user_internal.h"

#include <winuser.h>

#include <algorithm>

namespace qmuser {

namespace {

// The corner zone of a sizing border, along each edge.
int corner_extent() { return GetSystemMetrics(SM_CXSIZE); }

bool has_caption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

// The caption band in window coordinates: between the top of the frame and
// the client area, as wide as the client area.
RECT caption_band(const Window& w) {
  const RECT& c = w.client;
  return RECT{c.left, std::min(c.left, c.top), c.right, c.top};
}

// A caption is drawn active while the focus is inside the window.
bool holds_focus(HWND hwnd) {
  for (Window* f = find(state().focus); f; f = find(f->parent))
    if (f->handle == hwnd) return true;
  return false;
}

void frame_rect(HDC dc, const RECT& r, HBRUSH brush) {
  const RECT sides[] = {{r.left, r.top, r.right, r.top + 1},
                        {r.left, r.bottom - 1, r.right, r.bottom},
                        {r.left, r.top, r.left + 1, r.bottom},
                        {r.right - 1, r.top, r.right, r.bottom}};
  for (const RECT& s : sides) FillRect(dc, &s, brush);
}

}  // namespace

void paint_default_frame(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w || !(w->style & WS_VISIBLE)) return;
  const RECT c = w->client;
  const LONG width = rect_width(w->rect), height = rect_height(w->rect);
  if (c.left <= 0 && c.top <= 0 && c.right >= width && c.bottom >= height) return;  // no frame
  HDC dc = GetWindowDC(hwnd);
  if (!dc) return;
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  const RECT bands[] = {{0, 0, width, c.top},
                        {0, c.bottom, width, height},
                        {0, c.top, c.left, c.bottom},
                        {c.right, c.top, width, c.bottom}};
  for (const RECT& b : bands)
    if (b.left < b.right && b.top < b.bottom) FillRect(dc, &b, face);
  RECT all = {0, 0, width, height};
  const DWORD style = w->style;
  if (style & (WS_THICKFRAME | WS_DLGFRAME))
    DrawEdge(dc, &all, EDGE_RAISED, BF_RECT);
  else if (style & WS_BORDER)
    frame_rect(dc, all, GetSysColorBrush(COLOR_WINDOWFRAME));
  RECT cap = caption_band(*w);
  if (has_caption(style) && cap.top < cap.bottom && cap.left < cap.right) {
    const bool active = holds_focus(hwnd);
    FillRect(dc, &cap, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    if (!w->text.empty()) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      cap.left += 2;
      DrawTextA(dc, w->text.c_str(), -1, &cap, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  paint_scroll_bars(hwnd, dc);
  ReleaseDC(hwnd, dc);
}

LRESULT default_hit_test(HWND hwnd, POINT screen) {
  Window* w = find(hwnd);
  if (!w) return HTNOWHERE;
  RECT wr;
  GetWindowRect(hwnd, &wr);
  if (screen.x < wr.left || screen.x >= wr.right || screen.y < wr.top || screen.y >= wr.bottom) return HTNOWHERE;
  const POINT p = {screen.x - wr.left, screen.y - wr.top};
  const RECT& c = w->client;
  if (p.x >= c.left && p.x < c.right && p.y >= c.top && p.y < c.bottom) return HTCLIENT;
  const RECT cap = caption_band(*w);
  if (has_caption(w->style) && p.x >= cap.left && p.x < cap.right && p.y >= cap.top && p.y < cap.bottom)
    return HTCAPTION;
  if (const LRESULT bar = scroll_bar_hit(hwnd, p); bar != HTNOWHERE) return bar;
  if (!(w->style & WS_THICKFRAME)) return HTBORDER;
  const LONG width = rect_width(wr), height = rect_height(wr), k = corner_extent();
  const bool left = p.x < c.left, right = p.x >= c.right, top = p.y < std::min(c.left, c.top), bottom = p.y >= c.bottom;
  const bool near_top = p.y < k, near_bottom = p.y >= height - k, near_left = p.x < k, near_right = p.x >= width - k;
  if ((left && near_top) || (top && near_left)) return HTTOPLEFT;
  if ((right && near_top) || (top && near_right)) return HTTOPRIGHT;
  if ((left && near_bottom) || (bottom && near_left)) return HTBOTTOMLEFT;
  if ((right && near_bottom) || (bottom && near_right)) return HTBOTTOMRIGHT;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  if (top) return HTTOP;
  if (bottom) return HTBOTTOM;
  return HTBORDER;
}

}  // namespace qmuser
