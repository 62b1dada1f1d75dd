// Tooltip controls: the texts of the tools they were given, and the small
// window that shows one of them by the pointer. The owner relays its mouse
// messages (TTM_RELAYEVENT); when the pointer rests on a tool for the
// system's delay, the tip shows below the pointer in the info colours. It
// goes when the pointer leaves the tool (looked for on a timer, since no
// message says so), at any click or key, and with its owner, which destroys
// its owned windows.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

enum TipTimer : UINT_PTR { kShowTimer = 1, kLeaveTimer = 2 };
// How often a tip waiting or shown looks for the pointer.
constexpr UINT kLeavePeriod = 100;  // ms
// Room between the text and the tip's border, and the tip below the pointer.
constexpr int kPadding = 3, kBelowPointer = 20;

struct Tool {
  HWND window = nullptr;
  UINT flags = 0;
  RECT rect = {0, 0, 0, 0};  // in the window's client coordinates (without TTF_IDISHWND)
};

struct Tip {
  std::unordered_map<UINT_PTR, Tool> tools;  // beside the texts (Control::items), by tool id
  bool active = true;
  bool has_tool = false;
  UINT_PTR tool = 0;     // the tool under the pointer
  bool clicked = false;  // hidden by a click or key: it waits for the pointer to leave the tool
};

std::unordered_map<HWND, Tip>& tips() {
  static std::unordered_map<HWND, Tip> t;
  return t;
}

bool inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The tool under a screen point, when the point lies over a tool window
// that is shown.
bool tool_at(const Tip& tip, POINT screen, UINT_PTR* id) {
  for (const auto& [tid, t] : tip.tools) {
    HWND h = (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tid) : t.window;
    if (!IsWindow(h) || !IsWindowVisible(h)) continue;
    RECT r;
    if (t.flags & TTF_IDISHWND) {
      GetWindowRect(h, &r);
    } else {
      POINT corner = {0, 0};
      ClientToScreen(h, &corner);
      r = t.rect;
      r.left += corner.x, r.right += corner.x, r.top += corner.y, r.bottom += corner.y;
    }
    if (inside(r, screen)) {
      *id = tid;
      return true;
    }
  }
  return false;
}

std::string text_of_tool(const Control& c, UINT_PTR id) {
  for (const Item& i : c.items)
    if (i.data == static_cast<LPARAM>(id)) return i.text;
  return std::string();
}

void hide(HWND h) {
  KillTimer(h, kShowTimer);
  if (IsWindowVisible(h)) ShowWindow(h, SW_HIDE);
}

void forget_tool(HWND h, Tip& tip) {
  hide(h);
  KillTimer(h, kLeaveTimer);
  tip.has_tool = false;
  tip.clicked = false;
}

// The tip sized to its text and placed below the pointer, on the screen.
void show(HWND h, const Control& c, Tip& tip) {
  const std::string text = text_of_tool(c, tip.tool);
  if (text.empty() || !tip.active) return;
  SetWindowTextA(h, text.c_str());
  HDC dc = GetDC(h);
  RECT measure = {0, 0, 0, 0};
  if (dc) {
    HGDIOBJ old = SelectObject(dc, control_font(c));
    DrawTextA(dc, text.c_str(), -1, &measure, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
  }
  const int width = static_cast<int>(measure.right - measure.left) + 2 * kPadding + 2;
  const int height = static_cast<int>(measure.bottom - measure.top) + 2 * kPadding;
  POINT at;
  GetCursorPos(&at);
  at.y += kBelowPointer;
  const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  at.x = std::max(0, std::min(static_cast<int>(at.x), screen_w - width));
  if (at.y + height > screen_h) at.y -= kBelowPointer * 2 + height;
  at.y = std::max(0, static_cast<int>(at.y));
  SetWindowPos(h, HWND_TOP, at.x, at.y, width, height, SWP_NOACTIVATE);
  ShowWindow(h, SW_SHOWNA);
  InvalidateRect(h, nullptr, TRUE);
}

void paint(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  fill_color(p.dc, p.client, COLOR_INFOBK);
  frame(p.dc, p.client, COLOR_WINDOWFRAME);
  SetTextColor(p.dc, GetSysColor(COLOR_INFOTEXT));
  RECT r = p.client;
  r.left += kPadding + 1, r.right -= kPadding + 1, r.top += kPadding, r.bottom -= kPadding;
  DrawTextA(p.dc, text_of(h).c_str(), -1, &r, DT_LEFT | DT_NOPREFIX);
}

// A mouse message of the owner: the tool under the pointer changes, and
// with it the tip; a click hides it.
void relay(HWND h, Tip& tip, const MSG& m) {
  if (m.message < WM_MOUSEFIRST || m.message > WM_MOUSELAST) return;
  POINT screen = {static_cast<SHORT>(LOWORD(m.lParam)), static_cast<SHORT>(HIWORD(m.lParam))};
  ClientToScreen(m.hwnd, &screen);
  UINT_PTR id = 0;
  const bool over = tool_at(tip, screen, &id);
  if (!over || !tip.has_tool || id != tip.tool) {
    forget_tool(h, tip);
    if (!over) return;
    tip.has_tool = true;
    tip.tool = id;
    SetTimer(h, kLeaveTimer, kLeavePeriod, nullptr);
    if (tip.active) SetTimer(h, kShowTimer, GetDoubleClickTime(), nullptr);
  }
  if (m.message != WM_MOUSEMOVE) {
    hide(h);
    tip.clicked = true;
  }
}

}  // namespace

void hide_tooltips() {
  for (auto& [h, tip] : tips()) {
    hide(h);
    if (tip.has_tool) tip.clicked = true;
  }
}

LRESULT tooltip_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  Tip& tip = tips()[h];
  switch (msg) {
    case WM_NCCREATE:
      // Tips stand over every other window and are no window of a taskbar.
      SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
      return DefWindowProcA(h, msg, w, l);
    case WM_DESTROY: tips().erase(h); return DefWindowProcA(h, msg, w, l);
    case WM_PAINT: paint(h, c); return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_TIMER:
      if (w == kShowTimer) {
        KillTimer(h, kShowTimer);
        if (tip.has_tool && !tip.clicked) show(h, c, tip);
      } else if (w == kLeaveTimer) {
        POINT p;
        GetCursorPos(&p);
        UINT_PTR id = 0;
        if (!tool_at(tip, p, &id) || id != tip.tool) forget_tool(h, tip);
      }
      return 0;
    case TTM_ACTIVATE:
      tip.active = w != 0;
      if (!tip.active) hide(h);
      return 0;
    case TTM_POP: forget_tool(h, tip); return 0;
    case TTM_RELAYEVENT:
      if (const MSG* m = reinterpret_cast<const MSG*>(l)) relay(h, tip, *m);
      return 0;
    case TTM_NEWTOOLRECTA:
      if (const TOOLINFOA* ti = reinterpret_cast<const TOOLINFOA*>(l)) {
        auto it = tip.tools.find(ti->uId);
        if (it != tip.tools.end()) it->second.rect = ti->rect;
      }
      return 0;
    default: break;
  }
  if (msg == TTM_ADDTOOLA || msg == TTM_UPDATETIPTEXTA || msg == TTM_DELTOOLA) {
    const TOOLINFOA* ti = reinterpret_cast<const TOOLINFOA*>(l);
    if (!ti) return FALSE;
    auto it = std::find_if(c.items.begin(), c.items.end(),
                           [&](const Item& i) { return i.data == static_cast<LPARAM>(ti->uId); });
    if (msg == TTM_DELTOOLA) {
      if (it != c.items.end()) c.items.erase(it);
      tip.tools.erase(ti->uId);
      if (tip.has_tool && tip.tool == ti->uId) forget_tool(h, tip);
      return TRUE;
    }
    if (it == c.items.end()) it = c.items.insert(c.items.end(), Item{"", static_cast<LPARAM>(ti->uId)});
    it->text = ti->lpszText && !IS_INTRESOURCE(ti->lpszText) ? ti->lpszText : "";
    if (msg == TTM_ADDTOOLA) tip.tools[ti->uId] = Tool{ti->hwnd, ti->uFlags, ti->rect};
    if (tip.has_tool && tip.tool == ti->uId && IsWindowVisible(h)) show(h, c, tip);
    return TRUE;
  }
  if (msg == TTM_GETTEXTA) {
    // wParam is the size of the caller's buffer; an unknown tool gives "".
    TOOLINFOA* ti = reinterpret_cast<TOOLINFOA*>(l);
    if (!ti || !ti->lpszText || w == 0) return 0;
    const std::string t = text_of_tool(c, ti->uId);
    const size_t n = std::min(t.size(), static_cast<size_t>(w - 1));
    std::memcpy(ti->lpszText, t.data(), n);
    ti->lpszText[n] = '\0';
    return static_cast<LRESULT>(n);
  }
  if (msg == TTM_GETTOOLCOUNT) return static_cast<LRESULT>(c.items.size());
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace qmuser
