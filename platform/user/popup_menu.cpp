// Popup menus as windows: TrackPopupMenu with no scripted answer shows the
// menu as a pop-up of its own (topmost, no caption, so a display places it
// over everything, as it does tips and open lists) and runs the menu's loop
// until an item is chosen or the menu is dismissed.
//
// The loop takes every message itself: the arrows walk the items (passing
// over separators), Enter or the item's mnemonic chooses, Right opens a
// submenu and Left or Escape closes the innermost menu; the pointer shows
// the item it is over, a release on an enabled item chooses it, a press
// outside every open menu dismisses them all and goes no further. Headless,
// a menu with nothing left in the queue is dismissed, so a program that is
// not driven never waits; the steps a test queued (qm_user_on_popup) run
// once the menu has painted.
#include <commctrl.h>
#include <qm_display.h>
#include <qm_user.h>
#include <winuser.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

constexpr const char* kMenuClass = "#32768";
// The room of the check mark at the left and of the submenu arrow at the
// right, a separator's height and an item's beyond its text.
constexpr int kCheckWidth = 18, kArrowWidth = 14, kSeparatorHeight = 8, kItemPadding = 5;
constexpr int kEdge = 3;  // the raised frame, and a pixel of face inside it
// How a menu's loop ends: a command chosen, every menu dismissed, or only
// this one closed (back to the menu it opened from).
enum class End { kOpen, kChosen, kDismissed, kClosedLevel };
// The non-client mouse messages follow the client ones in the same order.
constexpr UINT kLastNcMouse = WM_NCMOUSEMOVE + (WM_MBUTTONDBLCLK - WM_MOUSEMOVE);

struct Entry {
  UINT id = 0;
  UINT state = 0;  // MF_ bits
  std::string text;
  HMENU popup = nullptr;
  RECT rect = {0, 0, 0, 0};  // in the menu's client coordinates
};

struct MenuWindow {
  HMENU menu = nullptr;
  std::vector<Entry> entries;
  int hot = -1;
  HWND window = nullptr;
};

std::deque<std::function<void(HWND)>>& queued_steps() {
  static std::deque<std::function<void(HWND)>> q;
  return q;
}

// The window's menu, set while its loop runs.
std::vector<MenuWindow*>& open_menus() {
  static std::vector<MenuWindow*> m;
  return m;
}

MenuWindow* menu_of(HWND h) {
  for (MenuWindow* m : open_menus())
    if (m->window == h) return m;
  return nullptr;
}

bool takes_part(const Entry& e) { return !(e.state & MF_SEPARATOR); }
bool choosable(const Entry& e) { return !(e.state & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)); }

// The text before the tab, and after it (the shortcut, drawn at the right).
std::string label_part(const std::string& t) { return t.substr(0, t.find('\t')); }
std::string shortcut_part(const std::string& t) {
  const size_t tab = t.find('\t');
  return tab == std::string::npos ? std::string() : t.substr(tab + 1);
}

// The character after the single '&' of a label, lower-cased; 0 for none.
int mnemonic_of(const std::string& text) {
  const std::string t = label_part(text);
  for (size_t i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != '&') continue;
    if (t[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::tolower(static_cast<unsigned char>(t[i + 1]));
  }
  return 0;
}

void read_entries(MenuWindow& m) {
  const int n = GetMenuItemCount(m.menu);
  for (int i = 0; i < n; ++i) {
    Entry e;
    const UINT pos = static_cast<UINT>(i);
    e.state = GetMenuState(m.menu, pos, MF_BYPOSITION);
    e.popup = GetSubMenu(m.menu, i);
    e.id = e.popup ? 0 : GetMenuItemID(m.menu, i);
    const int len = GetMenuStringA(m.menu, pos, nullptr, 0, MF_BYPOSITION);
    if (len > 0) {
      std::string t(static_cast<size_t>(len) + 1, '\0');
      GetMenuStringA(m.menu, pos, t.data(), len + 1, MF_BYPOSITION);
      t.resize(static_cast<size_t>(len));
      e.text = t;
    }
    m.entries.push_back(e);
  }
}

// Lays the items out; the menu's window size.
SIZE lay_out(MenuWindow& m) {
  HFONT font = gui_font();
  const int row = static_cast<int>(text_metrics(font).tmHeight) + kItemPadding;
  int labels = 0, shortcuts = 0;
  for (const Entry& e : m.entries) {
    labels = std::max(labels, static_cast<int>(text_width(font, label_of(label_part(e.text)))));
    shortcuts = std::max(shortcuts, static_cast<int>(text_width(font, shortcut_part(e.text))));
  }
  const int width = kCheckWidth + labels + (shortcuts ? shortcuts + kCheckWidth : 0) + kArrowWidth;
  int y = 0;
  for (Entry& e : m.entries) {
    const int h = takes_part(e) ? row : kSeparatorHeight;
    e.rect = {0, y, width, y + h};
    y += h;
  }
  return SIZE{width + 2 * kEdge, y + 2 * kEdge};
}

void paint_menu(HWND h, const MenuWindow& m) {
  // Painted as a control without a font of its own is: in the system's.
  Control plain;
  plain.kind = Kind::kStatic;
  ControlPaint p(h, plain);
  HDC dc = p.dc;
  if (!dc) return;
  fill_color(dc, p.client, COLOR_MENU);
  for (size_t i = 0; i < m.entries.size(); ++i) {
    const Entry& e = m.entries[i];
    RECT r = e.rect;
    if (!takes_part(e)) {
      const LONG mid = (r.top + r.bottom) / 2 - 1;
      fill_color(dc, {r.left + 1, mid, r.right - 1, mid + 1}, COLOR_BTNSHADOW);
      fill_color(dc, {r.left + 1, mid + 1, r.right - 1, mid + 2}, COLOR_BTNHIGHLIGHT);
      continue;
    }
    const bool hot = static_cast<int>(i) == m.hot;
    const bool grey = (e.state & (MF_GRAYED | MF_DISABLED)) != 0;
    if (hot) fill_color(dc, r, COLOR_HIGHLIGHT);
    const int color = grey ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    // Greyed text is embossed when it is not on the highlight.
    const int passes = grey && !hot ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
      const LONG shift = passes == 2 && pass == 0 ? 1 : 0;
      SetTextColor(dc, GetSysColor(passes == 2 && pass == 0 ? COLOR_BTNHIGHLIGHT : color));
      RECT text = {r.left + kCheckWidth + shift, r.top + shift, r.right - kArrowWidth + shift, r.bottom + shift};
      const std::string label = label_part(e.text);
      DrawTextA(dc, label_of(label).c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      const std::string shortcut = shortcut_part(e.text);
      if (!shortcut.empty()) DrawTextA(dc, shortcut.c_str(), -1, &text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
      // The mnemonic underlined.
      const size_t amp = label.find('&');
      if (amp != std::string::npos && amp + 1 < label.size() && label[amp + 1] != '&') {
        const LONG x0 = text.left + text_width(gui_font(), label_of(label.substr(0, amp)));
        const LONG x1 = x0 + text_width(gui_font(), label.substr(amp + 1, char_length_at(label, amp + 1)));
        const LONG base = (text.top + text.bottom + text_metrics(gui_font()).tmHeight) / 2 - 1;
        RECT line = {x0, base, x1, base + 1};
        FillRect(dc, &line, GetSysColorBrush(passes == 2 && pass == 0 ? COLOR_BTNHIGHLIGHT : color));
      }
    }
    const int mark = grey ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    const LONG cy = (r.top + r.bottom) / 2;
    if (e.state & MF_CHECKED) {
      // A check mark: a short stroke down and a long one up, three pixels thick.
      const LONG x = r.left + 5;
      for (LONG d = 0; d < 7; ++d) {
        const LONG y = d < 3 ? cy - 1 + d : cy + 1 - (d - 2);
        fill_color(dc, {x + d, y, x + d + 1, y + 3}, mark);
      }
    }
    if (e.popup) {
      // The arrow to the submenu.
      const LONG x = r.right - kArrowWidth / 2 - 2;
      for (LONG d = 0; d < 4; ++d) fill_color(dc, {x + d, cy - 3 + d, x + d + 1, cy + 4 - d}, mark);
    }
  }
}

LRESULT CALLBACK menu_window_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_NCCALCSIZE:
      if (!w && l) {
        RECT* r = reinterpret_cast<RECT*>(l);
        *r = {r->left + kEdge, r->top + kEdge, r->right - kEdge, r->bottom - kEdge};
      }
      return 0;
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(h);
      if (!dc) return 0;
      RECT r;
      GetWindowRect(h, &r);
      r = {0, 0, r.right - r.left, r.bottom - r.top};
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
      frame(dc, r, COLOR_MENU);
      ReleaseDC(h, dc);
      return 0;
    }
    case WM_PAINT:
      if (const MenuWindow* m = menu_of(h)) {
        paint_menu(h, *m);
        return 0;
      }
      break;
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTCLIENT;
    default: break;
  }
  return DefWindowProcA(h, msg, w, l);
}

// The menu window at its place: left, centred or right of x and below y,
// kept on the screen (flipped to the other side of the point when there is
// no room, as the system does).
HWND make_window(MenuWindow& m, UINT flags, int x, int y, HWND owner, const RECT* beside) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = menu_window_proc;
  wc.lpszClassName = kMenuClass;
  wc.style = CS_SAVEBITS;
  RegisterClassA(&wc);  // there already after the first menu
  const SIZE size = lay_out(m);
  const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  int left = x;
  if (flags & TPM_RIGHTALIGN)
    left = x - size.cx;
  else if (flags & TPM_CENTERALIGN)
    left = x - size.cx / 2;
  int top = y;
  if (beside) {
    // A submenu opens at the right of its item, or at its left without room.
    left = beside->right;
    if (left + size.cx > screen_w) left = beside->left - size.cx;
    top = beside->top - kEdge;
  }
  if (left + size.cx > screen_w) left = (flags & TPM_RIGHTALIGN) || beside ? screen_w - size.cx : x - size.cx;
  if (top + size.cy > screen_h) top = beside ? screen_h - size.cy : y - size.cy;
  left = std::max(0, left), top = std::max(0, top);
  HWND root = owner;
  while (root && (GetWindowLongA(root, GWL_STYLE) & WS_CHILD) && GetParent(root)) root = GetParent(root);
  m.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMenuClass, "", WS_POPUP, left, top, size.cx, size.cy,
                             root, nullptr, nullptr, nullptr);
  return m.window;
}

int entry_at(const MenuWindow& m, POINT screen) {
  if (!IsWindow(m.window)) return -1;
  POINT p = screen;
  ScreenToClient(m.window, &p);
  for (size_t i = 0; i < m.entries.size(); ++i)
    if (contains(m.entries[i].rect, p)) return static_cast<int>(i);
  return -1;
}

bool over_window(HWND h, POINT screen) {
  RECT r;
  return IsWindow(h) && GetWindowRect(h, &r) && contains(r, screen);
}

void set_hot(MenuWindow& m, int index) {
  if (index == m.hot) return;
  m.hot = index;
  InvalidateRect(m.window, nullptr, FALSE);
}

// The next item the arrows reach from the hot one, passing separators.
int step(const MenuWindow& m, int from, int by) {
  const int n = static_cast<int>(m.entries.size());
  if (n == 0) return -1;
  int i = from < 0 ? (by > 0 ? -1 : n) : from;
  for (int k = 0; k < n; ++k) {
    i = ((i + by) % n + n) % n;
    if (takes_part(m.entries[static_cast<size_t>(i)])) return i;
  }
  return -1;
}

struct Outcome {
  End end = End::kOpen;
  UINT command = 0;
};

Outcome run_level(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT* beside);

// What choosing the hot item does: a command ends every menu, a submenu opens.
Outcome choose(MenuWindow& m, UINT flags, HWND owner) {
  if (m.hot < 0) return {};
  const Entry& e = m.entries[static_cast<size_t>(m.hot)];
  if (!choosable(e)) return {};
  if (!e.popup) return {End::kChosen, e.id};
  RECT r = e.rect;
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  for (POINT& p : corners) ClientToScreen(m.window, &p);
  r = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  Outcome sub = run_level(e.popup, flags, 0, 0, owner, &r);
  // Left or Escape in the submenu comes back to this one.
  return sub.end == End::kClosedLevel ? Outcome{} : sub;
}

bool is_mouse(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }
bool is_press(UINT msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_NCLBUTTONDOWN ||
         msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK;
}

// One message of the menu's loop; the outcome once the menu ends.
Outcome handle(MenuWindow& m, MSG& msg, UINT flags, HWND owner) {
  if (is_mouse(msg.message) || (msg.message >= WM_NCMOUSEMOVE && msg.message <= kLastNcMouse)) {
    const POINT at = msg.pt;
    const int i = entry_at(m, at);
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
      if (i >= 0 && takes_part(m.entries[static_cast<size_t>(i)])) set_hot(m, i);
      return {};
    }
    if (is_press(msg.message)) {
      if (over_window(m.window, at)) {
        // A press on a submenu's item opens it at once.
        if (i >= 0 && m.entries[static_cast<size_t>(i)].popup) {
          set_hot(m, i);
          return choose(m, flags, owner);
        }
        return {};
      }
      // On a menu this one opened from: back to it. Outside every menu:
      // the press ends them all, and goes no further.
      for (MenuWindow* other : open_menus())
        if (other != &m && over_window(other->window, at)) return {End::kClosedLevel, 0};
      return {End::kDismissed, 0};
    }
    const bool release = msg.message == WM_LBUTTONUP || (msg.message == WM_RBUTTONUP && (flags & TPM_RIGHTBUTTON));
    if (release && i >= 0) {
      set_hot(m, i);
      return choose(m, flags, owner);
    }
    return {};
  }
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    switch (msg.wParam) {
      case VK_UP: set_hot(m, step(m, m.hot, -1)); return {};
      case VK_DOWN: set_hot(m, step(m, m.hot, 1)); return {};
      case VK_HOME: set_hot(m, step(m, -1, 1)); return {};
      case VK_END: set_hot(m, step(m, -1, -1)); return {};
      case VK_RETURN: return choose(m, flags, owner);
      case VK_RIGHT:
        if (m.hot >= 0 && m.entries[static_cast<size_t>(m.hot)].popup) return choose(m, flags, owner);
        return {};
      case VK_LEFT: return open_menus().size() > 1 ? Outcome{End::kClosedLevel, 0} : Outcome{};
      case VK_ESCAPE: return {End::kClosedLevel, 0};
      case VK_MENU:
      case VK_F10: return {End::kDismissed, 0};
      default: TranslateMessage(&msg); return {};
    }
  }
  if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
    // The items with that mnemonic: one is chosen at once, several take
    // turns at being hot.
    const int ch = std::tolower(static_cast<int>(msg.wParam & 0xFF));
    std::vector<int> having;
    for (size_t i = 0; i < m.entries.size(); ++i)
      if (takes_part(m.entries[i]) && mnemonic_of(m.entries[i].text) == ch) having.push_back(static_cast<int>(i));
    if (having.empty()) return {};
    if (having.size() == 1) {
      set_hot(m, having.front());
      return choose(m, flags, owner);
    }
    auto next = std::upper_bound(having.begin(), having.end(), m.hot);
    set_hot(m, next == having.end() ? having.front() : *next);
    return {};
  }
  if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) return {};
  DispatchMessageA(&msg);
  return {};
}

Outcome run_level(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT* beside) {
  MenuWindow m;
  m.menu = menu;
  read_entries(m);
  if (!make_window(m, flags, x, y, owner, beside)) return {End::kDismissed, 0};
  open_menus().push_back(&m);
  // A submenu opened from the keyboard starts on its first item.
  if (beside) m.hot = step(m, -1, 1);
  ShowWindow(m.window, SW_SHOWNA);
  UpdateWindow(m.window);
  SetCapture(m.window);
  if (!qm_user_display() && !queued_steps().empty() && open_menus().size() == 1) {
    std::function<void(HWND)> steps = std::move(queued_steps().front());
    queued_steps().pop_front();
    steps(m.window);
  }
  Outcome out;
  while (out.end == End::kOpen) {
    MSG msg;
    if (!IsWindow(m.window) || !IsWindow(owner)) {
      out = {End::kDismissed, 0};
      break;
    }
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      // Headless nothing more can come; on a display the program is asked
      // to end, and the request stays for its own loop.
      if (qm_user_display()) PostQuitMessage(static_cast<int>(msg.wParam));
      out = {End::kDismissed, 0};
      break;
    }
    out = handle(m, msg, flags, owner);
    // The mouse came back from a submenu's window.
    if (out.end == End::kOpen && IsWindow(m.window) && GetCapture() != m.window) SetCapture(m.window);
  }
  open_menus().pop_back();
  if (GetCapture() == m.window) ReleaseCapture();
  if (IsWindow(m.window)) DestroyWindow(m.window);
  return out;
}

}  // namespace

UINT run_popup_menu(HMENU menu, UINT flags, int x, int y, HWND owner) {
  const Outcome out = run_level(menu, flags, x, y, owner, nullptr);
  return out.end == End::kChosen ? out.command : 0;
}

void clear_popup_steps() { queued_steps().clear(); }

}  // namespace qmuser

void qm_user_on_popup(std::function<void(HWND)> steps) { qmuser::queued_steps().push_back(std::move(steps)); }
