// List boxes: a column of items, drawn by the list or by its owner.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <string>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

RECT item_rect(HWND h, const Control& c, int index) {
  RECT client;
  GetClientRect(h, &client);
  const int y = (index - c.top) * c.item_height;
  return RECT{0, y, client.right, y + c.item_height};
}

// How many whole items the list shows.
int rows_shown(HWND h, const Control& c) {
  RECT client;
  GetClientRect(h, &client);
  return std::max(1, static_cast<int>(client.bottom) / c.item_height);
}

// The list's own scroll bar (WS_VSCROLL) shows the items in view.
void sync_scroll_bar(HWND h, const Control& c) {
  if (!(style_of(h) & WS_VSCROLL)) return;
  SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, static_cast<int>(c.items.size()) - 1),
                   static_cast<UINT>(rows_shown(h, c)), c.top, 0};
  SCROLLINFO now = {sizeof now, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(h, SB_VERT, &now);
  if (now.nMin != si.nMin || now.nMax != si.nMax || now.nPage != si.nPage || now.nPos != si.nPos)
    SetScrollInfo(h, SB_VERT, &si, TRUE);
}

// What the scroll bar's codes do to the first item shown.
void scroll_to(HWND h, Control& c, WPARAM w) {
  const int rows = rows_shown(h, c), last_top = std::max(0, static_cast<int>(c.items.size()) - rows);
  int top = c.top;
  switch (LOWORD(w)) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= rows; break;
    case SB_PAGEDOWN: top += rows; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = static_cast<SHORT>(HIWORD(w)); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = last_top; break;
    default: return;
  }
  top = std::min(std::max(top, 0), last_top);
  if (top == c.top) return;
  c.top = top;
  InvalidateRect(h, nullptr, TRUE);
  sync_scroll_bar(h, c);
}

void paint_list(HWND h, Control& c) {
  sync_scroll_bar(h, c);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  const DWORD style = style_of(h);
  RECT client;
  GetClientRect(h, &client);
  const bool owner_draw = (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
  // Below the items (owner-drawn or not) the list shows the window colour.
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  // Its items are drawn in the font it was given (WM_SETFONT), owner-drawn
  // ones too.
  HGDIOBJ old_font = SelectObject(dc, control_font(c));
  for (int i = std::max(c.top, 0); i < static_cast<int>(c.items.size()); ++i) {
    RECT r = item_rect(h, c, i);
    if (r.top >= client.bottom) break;
    if (owner_draw) {
      DRAWITEMSTRUCT dis = {ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(h)), static_cast<UINT>(i), ODA_DRAWENTIRE,
                            static_cast<UINT>(i == c.sel ? ODS_SELECTED : 0), h, dc, r,
                            static_cast<ULONG_PTR>(c.items[static_cast<size_t>(i)].data)};
      SendMessageA(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    } else {
      // The selected item in the highlight colours.
      const bool selected = i == c.sel;
      if (selected) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      const std::string& t = c.items[static_cast<size_t>(i)].text;
      TEXTMETRICA tm;
      GetTextMetricsA(dc, &tm);
      TextOutA(dc, r.left + 2, r.top + std::max<LONG>(0, (c.item_height - tm.tmHeight) / 2), t.c_str(),
               static_cast<int>(t.size()));
    }
  }
  if (old_font) SelectObject(dc, old_font);
  EndPaint(h, &ps);
}

}  // namespace

LRESULT list_box_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  if (LRESULT done = 0; c.combo && drop_list_message(h, c, msg, w, l, done)) return done;
  switch (msg) {
    case LB_GETTOPINDEX: return c.top;
    case LB_SETTOPINDEX:
      if (!valid(c, w)) return LB_ERR;
      c.top = static_cast<int>(w);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case LB_GETITEMHEIGHT: return c.item_height;
    case LB_SETITEMHEIGHT:
      if (LOWORD(l) == 0 || LOWORD(l) > 255) return LB_ERR;
      c.item_height = LOWORD(l);
      return 0;
    case LB_GETITEMRECT:
      if (!valid(c, w) || !l) return LB_ERR;
      *reinterpret_cast<RECT*>(l) = item_rect(h, c, static_cast<int>(w));
      return 1;
    case LB_ITEMFROMPOINT: {
      // The nearest item in the low word; the high word 1 when the point is
      // outside the client area.
      const int y = GET_Y_LPARAM(l);
      RECT client;
      GetClientRect(h, &client);
      const bool outside = y < 0 || y >= client.bottom || GET_X_LPARAM(l) < 0 || GET_X_LPARAM(l) >= client.right;
      if (c.items.empty()) return MAKELONG(0, 1);
      int i = c.top + (y < 0 ? 0 : y / c.item_height);
      i = std::min(i, static_cast<int>(c.items.size()) - 1);
      return MAKELONG(i, outside || y / c.item_height + c.top >= static_cast<int>(c.items.size()) ? 1 : 0);
    }
    case WM_LBUTTONDOWN: {
      // The press selects; the release tells the parent, as the original
      // does (even when the item was selected already).
      const LRESULT hit = list_proc(h, c, LB_ITEMFROMPOINT, 0, l);
      SetFocus(h);
      if (HIWORD(hit) == 0) {
        c.sel = LOWORD(hit);
        InvalidateRect(h, nullptr, TRUE);
        c.pressed = true;
        SetCapture(h);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (c.pressed) {
        c.pressed = false;
        if (GetCapture() == h) ReleaseCapture();
        if ((style_of(h) & LBS_NOTIFY) && !c.items.empty()) notify_command(h, LBN_SELCHANGE);
      }
      return 0;
    case WM_LBUTTONDBLCLK:
      if (style_of(h) & LBS_NOTIFY) notify_command(h, LBN_DBLCLK);
      return 0;
    case WM_KEYDOWN: {
      // The arrows, Home and End move the selection and keep it in view.
      const int last = static_cast<int>(c.items.size()) - 1;
      int next = c.sel;
      if (w == VK_UP) next = std::max(0, c.sel - 1);
      else if (w == VK_DOWN) next = std::min(last, c.sel + 1);
      else if (w == VK_HOME) next = 0;
      else if (w == VK_END) next = last;
      else return DefWindowProcA(h, msg, w, l);
      if (last < 0 || next == c.sel) return 0;
      RECT client;
      GetClientRect(h, &client);
      const int rows = std::max(1, static_cast<int>(client.bottom) / c.item_height);
      c.top = std::min(next, std::max(c.top, next - rows + 1));
      user_select(h, c, next);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // Three items a notch, never past either end.
      const int notches = GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA;
      const int top = std::max(0, std::min(c.top - 3 * notches, static_cast<int>(c.items.size()) - 1));
      if (top != c.top) c.top = top, InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case WM_PAINT: paint_list(h, c); return 0;
    case WM_VSCROLL: scroll_to(h, c, w); return 0;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser
