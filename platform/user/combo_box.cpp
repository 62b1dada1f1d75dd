// Combo boxes: a field (or a drop-down list's choice) with the arrow
// button at its right. A drop-down combo box (CBS_DROPDOWN,
// CBS_DROPDOWNLIST) stands at the height of its field; a taller height it
// is given is that of the field and its open list together. The arrow button,
// a click on a drop-down list's field, Alt+Down or F4 opens the list: a
// pop-up window under the field (above it when the screen has no room
// below), holding the mouse while it is open, so a click anywhere else
// closes it. In it the pointer shows the item it is over, a click chooses
// it; the arrows choose as they go, Enter keeps the choice, Escape leaves.
// The parent hears CBN_DROPDOWN, CBN_SELCHANGE for each choice, then
// CBN_SELENDOK (or CBN_SELENDCANCEL) and CBN_CLOSEUP. The list goes with the
// combo box, and with its focus.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <string>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

constexpr int kFieldPadding = 8;  // the field's height beyond the text's
constexpr int kArrowWidth = 16;
constexpr int kDropItemPadding = 2;  // an item's height in the open list beyond the text's
constexpr const char* kDropClass = "QmComboDrop";

bool drops(HWND h) {
  const DWORD type = style_of(h) & 3;
  return type == CBS_DROPDOWN || type == CBS_DROPDOWNLIST;
}

LONG field_height(const Control& c) { return text_metrics(control_font(c)).tmHeight + kFieldPadding; }

RECT arrow_rect(const RECT& client) {
  const RECT inner = {client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
  return RECT{std::max(inner.left, inner.right - kArrowWidth), inner.top, inner.right, inner.bottom};
}

// A drop-down combo: a sunken field with the current text and the arrow
// button at its right, flat while the list is open.
void paint_combo(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  RECT r = p.client;
  DrawEdge(p.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  fill_color(p.dc, r, p.enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  RECT arrow = arrow_rect(p.client);
  if (c.drop) {
    fill_color(p.dc, arrow, COLOR_BTNFACE);
    frame(p.dc, arrow, COLOR_BTNSHADOW);
  } else {
    DrawEdge(p.dc, &arrow, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
  const LONG shift = c.drop ? 1 : 0;
  const LONG cx = (arrow.left + arrow.right) / 2 + shift, cy = (arrow.top + arrow.bottom) / 2 - 1 + shift;
  for (LONG d = 0; d < 4; ++d) {
    const RECT row = {cx - 3 + d, cy + d, cx + 4 - d, cy + d + 1};
    fill_color(p.dc, row, p.enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  }
  RECT text = {r.left + 2, r.top, arrow.left - 1, r.bottom};
  const bool focused = GetFocus() == h;
  if ((style_of(h) & 3) == CBS_DROPDOWN) {
    // A field to type in, as an edit's.
    SetTextColor(p.dc, GetSysColor(p.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    paint_field_text(p.dc, c, text_of(h), {text.left + 1, text.top, text.right, text.bottom}, focused);
    return;
  }
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

HWND root_of(HWND h) {
  while (HWND parent = GetParent(h)) {
    if (!(style_of(h) & WS_CHILD)) break;
    h = parent;
  }
  return h;
}

// The open list's own procedure: a list box, told at its birth whose list it is.
LRESULT drop_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCCREATE) {
    Control c;
    c.kind = Kind::kListBox;
    c.combo = static_cast<HWND>(reinterpret_cast<const CREATESTRUCTA*>(l)->lpCreateParams);
    controls()[h] = c;
  }
  return control_proc(h, msg, w, l);
}

void open_drop(HWND h, Control& combo) {
  if (combo.drop || !drops(h) || !IsWindowEnabled(h)) return;
  if (GetFocus() != h) SetFocus(h);
  notify_command(h, CBN_DROPDOWN);  // the parent may still fill the list
  Control* c = control(h);
  if (!c || c->drop || !IsWindow(h)) return;
  RECT field;
  GetWindowRect(h, &field);
  const TEXTMETRICA tm = text_metrics(control_font(*c));
  const int item_height = static_cast<int>(tm.tmHeight) + kDropItemPadding;
  const int count = static_cast<int>(c->items.size());
  // As many whole items as the height given holds (at least one), fewer
  // when there are fewer.
  const int room = std::max(1, (c->drop_height - static_cast<int>(rect_height(field)) - 2) / item_height);
  const int rows = std::max(1, std::min(count, room));
  const bool scrolls = count > rows;
  const int height = rows * item_height + 2;
  // Below the field, or above it when the screen has no room below.
  int y = field.bottom;
  if (y + height > GetSystemMetrics(SM_CYSCREEN) && field.top - height >= 0) y = field.top - height;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = drop_proc;
  wc.lpszClassName = kDropClass;
  RegisterClassA(&wc);  // there already after the first list
  HWND list = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kDropClass, "",
                              WS_POPUP | WS_BORDER | (scrolls ? WS_VSCROLL : 0), field.left, y, rect_width(field), height,
                              root_of(h), nullptr, nullptr, h);
  c = control(h);
  Control* lc = control(list);
  if (!list || !c || !lc) {
    if (list) DestroyWindow(list);
    return;
  }
  c->drop = list;
  lc->font = c->font;
  lc->item_height = item_height;
  lc->items = c->items;
  lc->sel = c->sel;
  lc->top = std::max(0, std::min(c->sel, count - rows));
  ShowWindow(list, SW_SHOWNA);
  SetCapture(list);
  InvalidateRect(h, nullptr, FALSE);
}

// The item of the open list under a client point of it; -1 for none.
int drop_item_at(HWND list, const Control& lc, POINT p) {
  RECT client;
  GetClientRect(list, &client);
  if (!contains(client, p)) return -1;
  const int i = lc.top + p.y / lc.item_height;
  return i < static_cast<int>(lc.items.size()) ? i : -1;
}

// The choice made in the open list becomes the combo box's.
void choose(HWND h, Control& c, int index) {
  if (index < 0 || index >= static_cast<int>(c.items.size())) return;
  user_select(h, c, index);
  if (Control* now = control(h)) now->sel_start = 0, now->sel_end = GetWindowTextLengthA(h);
  if (Control* now = control(h); now && now->drop)
    if (Control* lc = control(now->drop)) lc->sel = index, InvalidateRect(now->drop, nullptr, FALSE);
}

}  // namespace

void close_drop(HWND h, bool chosen) {
  Control* c = control(h);
  if (!c || !c->drop) return;
  HWND list = c->drop;
  c->drop = nullptr;  // first, so nothing below closes it twice
  if (GetCapture() == list) ReleaseCapture();
  DestroyWindow(list);
  InvalidateRect(h, nullptr, FALSE);
  notify_command(h, chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (IsWindow(h)) notify_command(h, CBN_CLOSEUP);
}

bool drop_list_message(HWND list, Control& lc, UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  result = 0;
  if (msg == WM_NCCALCSIZE) {
    // A one-pixel frame, then its scroll bar.
    if (!w && l) {
      RECT* r = reinterpret_cast<RECT*>(l);
      *r = {r->left + 1, r->top + 1, r->right - 1, r->bottom - 1};
    }
    result = DefWindowProcA(list, msg, w, l);
    return true;
  }
  HWND h = lc.combo;
  Control* c = control(h);
  if (!c || c->drop != list) return false;
  const POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (msg) {
    case WM_MOUSEMOVE: {
      // The item under the pointer shows chosen; the choice waits for the click.
      const int i = drop_item_at(list, lc, p);
      if (i >= 0 && i != lc.sel) lc.sel = i, InvalidateRect(list, nullptr, FALSE);
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      RECT window;
      GetWindowRect(list, &window);
      POINT screen = p;
      ClientToScreen(list, &screen);
      if (!contains(window, screen)) {
        // A click outside closes the list and goes no further.
        close_drop(h, false);
        return true;
      }
      if (drop_item_at(list, lc, p) < 0) {
        // The list's own scroll bar.
        const LRESULT hit = scroll_bar_hit(list, {screen.x - window.left, screen.y - window.top});
        if (hit != HTNOWHERE) press_scroll_bar(list, hit, screen);
      }
      return true;
    }
    case WM_LBUTTONUP: {
      const int i = drop_item_at(list, lc, p);
      if (i < 0) return true;  // let go on the arrow that opened it: the list stays
      choose(h, *c, i);
      close_drop(h, true);
      return true;
    }
    case WM_CAPTURECHANGED:
      // The mouse taken by another window ends the list; its own scroll
      // bar only borrows it.
      if (!is_scroll_tracker(reinterpret_cast<HWND>(l))) close_drop(h, false);
      return true;
    default: return false;
  }
}

LRESULT combo_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: paint_combo(h, c); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers it all
    case WM_SETFOCUS:
    case WM_ENABLE:
      InvalidateRect(h, nullptr, FALSE);
      // The field's text is taken whole, ready to be typed over.
      if (msg == WM_SETFOCUS) c.sel_start = 0, c.sel_end = GetWindowTextLengthA(h);
      if (msg == WM_ENABLE && !w) close_drop(h, false);
      return DefWindowProcA(h, msg, w, l);
    case WM_NCCALCSIZE: return 0;  // WS_VSCROLL is the open list's
    case WM_CREATE:
    case WM_SIZE:
    case WM_SETFONT: {
      // A height taller than the field is the field's and the open list's
      // together: the window keeps the field's. A lower one (a row the
      // program laid out) is the field's own.
      if (!drops(h)) return DefWindowProcA(h, msg, w, l);
      RECT r;
      GetWindowRect(h, &r);
      const LONG field = field_height(c);
      if (rect_height(r) > field) {
        c.drop_height = rect_height(r);
        SetWindowPos(h, nullptr, 0, 0, rect_width(r), field, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(h);
      RECT client;
      GetClientRect(h, &client);
      const POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      // The arrow opens the list, as does the whole field of a drop-down list.
      if (contains(arrow_rect(client), p) || (style_of(h) & 3) == CBS_DROPDOWNLIST) open_drop(h, c);
      return 0;
    }
    case CB_SHOWDROPDOWN:
      if (w)
        open_drop(h, c);
      else
        close_drop(h, false);
      return TRUE;
    case CB_GETDROPPEDSTATE: return c.drop ? TRUE : FALSE;
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN: {
      const bool alt = msg == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
      if (w == VK_F4 || (alt && (w == VK_DOWN || w == VK_UP))) {
        // Alt+Down or F4 opens the list; either, or Alt+Up, closes it with the choice.
        if (c.drop)
          close_drop(h, true);
        else if (w != VK_UP)
          open_drop(h, c);
        return 0;
      }
      if (c.drop && (w == VK_RETURN || w == VK_ESCAPE)) {
        close_drop(h, w == VK_RETURN);
        return 0;
      }
      if (w == VK_UP || w == VK_DOWN) {
        // The arrows step through the items, open or closed.
        choose(h, c, c.sel + (w == VK_DOWN ? 1 : -1));
        return 0;
      }
      if (msg == WM_KEYDOWN && (style_of(h) & 3) == CBS_DROPDOWN) return field_key(h, c, msg, w);
      return DefWindowProcA(h, msg, w, l);
    }
    case WM_CHAR:
      // A drop-down combo box's field is typed in; what is typed is no item.
      if ((style_of(h) & 3) != CBS_DROPDOWN || (c.drop && (w == VK_RETURN || w == VK_ESCAPE))) return 0;
      return field_key(h, c, msg, w);
    case WM_DESTROY: close_drop(h, false); return DefWindowProcA(h, msg, w, l);
    default: return DefWindowProcA(h, msg, w, l);
  }
}

BOOL combo_type(HWND h, LPCSTR text) {
  if ((style_of(h) & 3) == CBS_DROPDOWNLIST) return FALSE;
  DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
  InvalidateRect(h, nullptr, FALSE);
  notify_command(h, CBN_EDITCHANGE);
  return TRUE;
}

}  // namespace qmuser
