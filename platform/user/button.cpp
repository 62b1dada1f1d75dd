// Buttons: push buttons, check boxes, radio buttons and group boxes (an
// etched frame and its caption; what lies inside shows through).
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <vector>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

constexpr int kMarkSize = 13;  // a check box's square, a radio button's circle

void paint_button(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  const DWORD style = style_of(h);
  const DWORD type = style & BS_TYPEMASK;
  const std::string label = label_of(text_of(h));
  const bool focused = GetFocus() == h;
  RECT r = p.client;
  fill_color(p.dc, r, COLOR_BTNFACE);
  if (type == BS_GROUPBOX) {
    // An etched frame from the middle of the caption's line down, the
    // caption over it near the left.
    TEXTMETRICA tm;
    GetTextMetricsA(p.dc, &tm);
    RECT frame = {r.left, r.top + tm.tmHeight / 2, r.right, r.bottom};
    DrawEdge(p.dc, &frame, EDGE_ETCHED, BF_RECT);
    // Inside the frame, below the caption (when there is one), the owner's
    // painting shows.
    const LONG inside = label.empty() ? frame.top + 2 : std::max(frame.top + 2, r.top + tm.tmHeight);
    if (Window* w = find(h)) w->see_through = {RECT{frame.left + 2, inside, frame.right - 2, frame.bottom - 2}};
    if (!label.empty()) {
      SIZE size = {0, 0};
      GetTextExtentPoint32A(p.dc, label.c_str(), static_cast<int>(label.size()), &size);
      RECT cap = {r.left + 8, r.top, std::min<LONG>(r.left + 8 + size.cx + 4, r.right), r.top + tm.tmHeight};
      fill_color(p.dc, cap, COLOR_BTNFACE);
      cap.left += 2;
      DrawTextA(p.dc, label.c_str(), -1, &cap, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    }
    return;
  }
  const bool check = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
  const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
  if (check || radio) {
    const LONG top = r.top + (rect_height(r) - kMarkSize) / 2;
    RECT mark = {r.left, top, r.left + kMarkSize, top + kMarkSize};
    const int inside = p.enabled && !c.pressed ? COLOR_WINDOW : COLOR_BTNFACE;
    if (check) {
      RECT box = mark;
      DrawEdge(p.dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      fill_color(p.dc, box, c.check == BST_INDETERMINATE ? COLOR_BTNFACE : inside);
      if (c.check != BST_UNCHECKED) {
        // The tick: three pixels thick, down then up.
        const int ink = c.check == BST_INDETERMINATE || !p.enabled ? COLOR_BTNSHADOW : COLOR_BTNTEXT;
        for (int d = 0; d < 3; ++d) {
          const POINT tick[] = {{box.left + 1, box.top + 3 + d}, {box.left + 3, box.top + 5 + d}, {box.left + 8, box.top + d}};
          polyline(p.dc, tick, 3, ink);
        }
      }
    } else {
      HPEN edge = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
      HGDIOBJ old_pen = SelectObject(p.dc, edge);
      HGDIOBJ old_brush = SelectObject(p.dc, GetSysColorBrush(inside));
      Ellipse(p.dc, mark.left, mark.top, mark.right, mark.bottom);
      if (c.check == BST_CHECKED) {
        SelectObject(p.dc, GetStockObject(NULL_PEN));
        SelectObject(p.dc, GetSysColorBrush(p.enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
        Ellipse(p.dc, mark.left + 4, mark.top + 4, mark.right - 4, mark.bottom - 4);
      }
      SelectObject(p.dc, old_brush);
      SelectObject(p.dc, old_pen);
      DeleteObject(edge);
    }
    RECT text = {mark.right + 4, r.top, r.right, r.bottom};
    DrawTextA(p.dc, label.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (focused && !label.empty()) {
      RECT f = text;
      DrawTextA(p.dc, label.c_str(), -1, &f, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
      const LONG height = rect_height(f);
      f.top = r.top + (rect_height(r) - height) / 2 - 1, f.bottom = f.top + height + 2;
      f.left -= 1, f.right = std::min(f.right + 1, r.right);
      focus_rect(p.dc, f);
    }
    return;
  }
  // A push button: the default one (or the one with the focus) framed dark,
  // raised, or flat in shadow while held down.
  if (type == BS_DEFPUSHBUTTON || focused) {
    frame(p.dc, r, COLOR_WINDOWFRAME);
    r.left += 1, r.top += 1, r.right -= 1, r.bottom -= 1;
  }
  if (c.pressed) {
    frame(p.dc, r, COLOR_BTNSHADOW);
  } else {
    RECT edge = r;
    DrawEdge(p.dc, &edge, EDGE_RAISED, BF_RECT);
  }
  RECT text = r;
  if (c.pressed) text.left += 2, text.top += 2;
  DrawTextA(p.dc, label.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (focused) {
    RECT f = {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    focus_rect(p.dc, f);
  }
}

// Checks one automatic radio button and clears the others of its group.
void check_radio(HWND h) {
  HWND parent = GetParent(h);
  std::vector<HWND> group;
  for (HWND s = GetWindow(h, GW_HWNDFIRST); s; s = GetWindow(s, GW_HWNDNEXT)) {
    if (style_of(s) & WS_GROUP) {
      if (std::find(group.begin(), group.end(), h) != group.end()) break;
      group.clear();
    }
    group.push_back(s);
  }
  (void)parent;
  for (HWND s : group) {
    Control* c = control(s);
    if (c && c->kind == Kind::kButton && (style_of(s) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
      const int check = s == h ? BST_CHECKED : BST_UNCHECKED;
      if (c->check != check) InvalidateRect(s, nullptr, FALSE);
      c->check = check;
    }
  }
}

}  // namespace

LRESULT button_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  const DWORD type = style_of(h) & BS_TYPEMASK;
  switch (msg) {
    case BM_GETCHECK: return c.check;
    case BM_SETCHECK:
      c.check = static_cast<int>(w) == BST_INDETERMINATE && (type == BS_3STATE || type == BS_AUTO3STATE)
                    ? BST_INDETERMINATE
                    : (w ? BST_CHECKED : BST_UNCHECKED);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_PAINT: paint_button(h, c); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT: InvalidateRect(h, nullptr, FALSE); return DefWindowProcA(h, msg, w, l);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Held down until the release; the release over the button clicks it.
      if (!IsWindowEnabled(h) || type == BS_GROUPBOX) return 0;
      SetFocus(h);
      c.pressed = true;
      SetCapture(h);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      if (w == VK_SPACE) return button_proc(h, c, BM_CLICK, 0, 0);
      return DefWindowProcA(h, msg, w, l);
    case WM_LBUTTONUP:
      if (c.pressed) {
        c.pressed = false;
        if (GetCapture() == h) ReleaseCapture();
        InvalidateRect(h, nullptr, FALSE);
        RECT client;
        GetClientRect(h, &client);
        const POINT at = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        if (at.x < 0 || at.y < 0 || at.x >= client.right || at.y >= client.bottom) return 0;  // let go elsewhere: no click
      }
      [[fallthrough]];
    case BM_CLICK:
      if (!IsWindowEnabled(h) || type == BS_GROUPBOX) return 0;  // a disabled button does not answer
      InvalidateRect(h, nullptr, FALSE);
      if (type == BS_AUTOCHECKBOX) c.check = c.check ? BST_UNCHECKED : BST_CHECKED;
      if (type == BS_AUTO3STATE) c.check = (c.check + 1) % 3;
      if (type == BS_AUTORADIOBUTTON) check_radio(h);
      notify_command(h, BN_CLICKED);
      return 0;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser
