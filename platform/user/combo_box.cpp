// Combo boxes: a field (or a drop-down list's choice) with the arrow
// button at its right.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <string>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

// A drop-down combo: a sunken field with the current text and the arrow
// button at its right.
void paint_combo(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  RECT r = p.client;
  DrawEdge(p.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  fill_color(p.dc, r, p.enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  const LONG arrow_width = std::min<LONG>(16, rect_width(r));
  RECT arrow = {r.right - arrow_width, r.top, r.right, r.bottom};
  DrawEdge(p.dc, &arrow, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  const LONG cx = (arrow.left + arrow.right) / 2, cy = (arrow.top + arrow.bottom) / 2 - 1;
  for (LONG d = 0; d < 4; ++d) {
    const RECT row = {cx - 3 + d, cy + d, cx + 4 - d, cy + d + 1};
    fill_color(p.dc, row, p.enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  }
  RECT text = {r.left + 2, r.top, arrow.left - 1, r.bottom};
  const bool focused = GetFocus() == h;
  if (focused) {
    fill_color(p.dc, text, COLOR_HIGHLIGHT);
    SetTextColor(p.dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    SetTextColor(p.dc, GetSysColor(p.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  }
  const std::string t = text_of(h);
  RECT inner = {text.left + 1, text.top, text.right, text.bottom};
  DrawTextA(p.dc, t.c_str(), -1, &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (focused) focus_rect(p.dc, text);
}

}  // namespace

LRESULT combo_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) return paint_combo(h, c), 0;
  if (msg == WM_SETFOCUS || msg == WM_ENABLE) InvalidateRect(h, nullptr, FALSE);
  if (msg == WM_LBUTTONDOWN) SetFocus(h);
  if (msg == WM_KEYDOWN && (w == VK_UP || w == VK_DOWN)) {
    // The arrows step through the items.
    const int next = c.sel + (w == VK_DOWN ? 1 : -1);
    if (next >= 0 && next < static_cast<int>(c.items.size())) user_select(h, c, next);
    return 0;
  }
  return DefWindowProcA(h, msg, w, l);
}

BOOL combo_type(HWND h, LPCSTR text) {
  if ((style_of(h) & 3) == CBS_DROPDOWNLIST) return FALSE;
  DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
  InvalidateRect(h, nullptr, FALSE);
  notify_command(h, CBN_EDITCHANGE);
  return TRUE;
}

}  // namespace qmuser
