// Animation controls. No clip is ever played here: the control shows a
// still picture of its own, a page going to a printer, centred (ACS_CENTER)
// or at its top left, on the button face.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

constexpr LONG kPictureWidth = 80, kPictureHeight = 28;

// A sheet of paper with ruled lines and a folded corner.
void paint_page(HDC dc, LONG x, LONG y) {
  fill_color(dc, {x, y, x + 16, y + 22}, COLOR_WINDOW);
  frame(dc, {x, y, x + 16, y + 22}, COLOR_WINDOWTEXT);
  fill_color(dc, {x + 11, y, x + 16, y + 5}, COLOR_BTNFACE);
  const POINT fold[] = {{x + 11, y}, {x + 11, y + 5}, {x + 16, y + 5}, {x + 11, y}};
  polyline(dc, fold, 4, COLOR_WINDOWTEXT);
  for (LONG row = y + 8; row < y + 19; row += 3) fill_color(dc, {x + 3, row, x + 13, row + 1}, COLOR_BTNSHADOW);
}

// The picture: a page, an arrow, a printer with a page coming out of it.
void paint_picture(HDC dc, LONG x, LONG y) {
  paint_page(dc, x, y + 2);
  for (LONG d = 0; d < 4; ++d) fill_color(dc, {x + 30 + d, y + 13 - 3 + d, x + 31 + d, y + 14 + 3 - d}, COLOR_BTNTEXT);
  fill_color(dc, {x + 22, y + 13, x + 30, y + 14}, COLOR_BTNTEXT);
  // The printer: a raised body, its paper slot and a green light.
  RECT body = {x + 44, y + 10, x + 80, y + 26};
  fill_color(dc, body, COLOR_BTNFACE);
  DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
  fill_color(dc, {x + 48, y + 14, x + 76, y + 16}, COLOR_3DDKSHADOW);
  for (LONG dy = 0; dy < 2; ++dy)
    for (LONG dx = 0; dx < 2; ++dx) SetPixel(dc, x + 72 + dx, y + 20 + dy, RGB(0, 160, 0));
  paint_page(dc, x + 54, y);
  fill_color(dc, {x + 50, y + 10, x + 74, y + 12}, COLOR_BTNFACE);  // the page goes into the printer
  DrawEdge(dc, &body, EDGE_RAISED, BF_TOP);
}

}  // namespace

LRESULT animate_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case ACM_OPENA: return TRUE;
    case ACM_PLAY: return c.playing = true, TRUE;
    case ACM_STOP: return c.playing = false, TRUE;
    case ACM_ISPLAYING: return c.playing;
    case WM_ERASEBKGND: return 1;  // the paint covers it all
    case WM_PAINT: {
      ControlPaint p(h, c);
      if (!p.dc) return 0;
      fill_color(p.dc, p.client, COLOR_BTNFACE);
      const bool centred = (style_of(h) & ACS_CENTER) != 0;
      const LONG x = centred ? std::max<LONG>(0, (rect_width(p.client) - kPictureWidth) / 2) : 0;
      const LONG y = centred ? std::max<LONG>(0, (rect_height(p.client) - kPictureHeight) / 2) : 0;
      paint_picture(p.dc, x, y);
      return 0;
    }
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser
