// The message queue, sending and dispatching, key translation and painting.
//
// One FIFO queue holds posted messages, injected input and WM_TIMER. Taking a
// message looks, in this order, at the queue, at a pending WM_QUIT and at the
// windows that need painting (WM_PAINT is made on demand, for the first such
// window in tree order, and stays until the window is validated). Headless,
// nothing blocks: GetMessageA on an idle queue answers as for WM_QUIT,
// because nothing can arrive without the driver (qm_user.h) putting it
// there; with a display (qm_display.h) it waits for the display instead.
#include "platform/user/user_internal.h"

#include <qm_user.h>
#include <winuser.h>

#include <algorithm>

namespace qmuser {

LRESULT default_text_message(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void destroy_all_windows();
void note_key_message(const MSG& msg);
void note_timer_taken(const MSG& msg);
bool timer_proc_valid(HWND hwnd, UINT_PTR id, TIMERPROC proc);
void display_follow_clock();
bool display_wait(bool block);

namespace {

// A queue that grows past this refuses further posts, as a full queue does.
constexpr size_t kMaxQueue = 10000;

bool matches(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
  if (hwnd == reinterpret_cast<HWND>(-1)) {
    if (m.hwnd) return false;
  } else if (hwnd && m.hwnd != hwnd) {
    return false;
  }
  return (lo == 0 && hi == 0) || (m.message >= lo && m.message <= hi);
}

bool paint_in_range(UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi); }

bool needs_paint(HWND h) {
  Window* w = find(h);
  return w && (w->has_update || w->frame_update) && IsWindowVisible(h);
}

// The first window in tree order (parents before children, siblings in
// creation order) that needs painting.
HWND find_paint(HWND filter) {
  if (filter && filter != reinterpret_cast<HWND>(-1)) return needs_paint(filter) ? filter : nullptr;
  if (filter) return nullptr;
  std::vector<HWND> todo(state().top_level.rbegin(), state().top_level.rend());
  while (!todo.empty()) {
    HWND h = todo.back();
    todo.pop_back();
    Window* w = find(h);
    if (!w) continue;
    if (needs_paint(h)) return h;
    todo.insert(todo.end(), w->children.rbegin(), w->children.rend());
  }
  return nullptr;
}

void fill(MSG* out, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  State& st = state();
  out->hwnd = hwnd;
  out->message = message;
  out->wParam = wparam;
  out->lParam = lparam;
  out->time = static_cast<DWORD>(st.clock);
  out->pt = st.cursor;
}

bool take(MSG* out, HWND hwnd, UINT lo, UINT hi, UINT remove) {
  State& st = state();
  for (auto it = st.queue.begin(); it != st.queue.end(); ++it) {
    if (!matches(*it, hwnd, lo, hi)) continue;
    MSG m = *it;
    if (remove & PM_REMOVE) {
      st.queue.erase(it);
      note_key_message(m);
      note_timer_taken(m);
    }
    if (out) *out = m;
    st.last_message_time = m.time;
    return true;
  }
  if (st.quit) {
    MSG m;
    fill(&m, nullptr, WM_QUIT, static_cast<WPARAM>(st.quit_code), 0);
    if (remove & PM_REMOVE) st.quit = false;
    if (out) *out = m;
    return true;
  }
  if (paint_in_range(lo, hi)) {
    if (HWND h = find_paint(hwnd)) {
      MSG m;
      fill(&m, h, WM_PAINT, 0, 0);
      if (out) *out = m;
      return true;
    }
  }
  return false;
}

// The character a key gives with the current Shift, Control and Caps Lock
// state (US layout), or 0 for a key that gives none (Delete, arrows, ...).
unsigned key_char(UINT vk) {
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool control = GetKeyState(VK_CONTROL) < 0;
  bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return vk - 'A' + 1;
    return (shift != caps) ? vk : vk - 'A' + 'a';
  }
  if (control) {
    switch (vk) {
      case VK_RETURN: return '\n';
      case VK_BACK: return 0x7F;
      case VK_ESCAPE: return 0x1B;
      default: return 0;
    }
  }
  if (vk >= '0' && vk <= '9') return shift ? static_cast<unsigned char>(")!@#$%^&*("[vk - '0']) : vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + (vk - VK_NUMPAD0);
  struct Pair {
    UINT vk;
    char plain, shifted;
  };
  static const Pair kKeys[] = {
      {VK_SPACE, ' ', ' '},      {VK_RETURN, '\r', '\r'},   {VK_BACK, 8, 8},           {VK_TAB, 9, 9},
      {VK_ESCAPE, 27, 27},       {VK_MULTIPLY, '*', '*'},   {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'},
      {VK_DECIMAL, '.', '.'},    {VK_DIVIDE, '/', '/'},     {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'},
      {VK_OEM_COMMA, ',', '<'},  {VK_OEM_MINUS, '-', '_'},  {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
      {VK_OEM_3, '`', '~'},      {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},
      {VK_OEM_7, '\'', '"'},
  };
  for (const Pair& p : kKeys)
    if (p.vk == vk) return static_cast<unsigned char>(shift ? p.shifted : p.plain);
  return 0;
}

}  // namespace

State& state() {
  static State s;
  return s;
}

Window* find(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& map = state().windows;
  auto it = map.find(from_hwnd(hwnd));
  return it == map.end() ? nullptr : it->second.get();
}

std::shared_ptr<Window> hold(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& map = state().windows;
  auto it = map.find(from_hwnd(hwnd));
  return it == map.end() ? nullptr : it->second;
}

LRESULT call_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  std::shared_ptr<Window> keep = hold(hwnd);
  if (!keep) return 0;
  WNDPROC proc = keep->proc;
  return proc ? proc(hwnd, msg, wparam, lparam) : DefWindowProcA(hwnd, msg, wparam, lparam);
}

void forget_window_messages(HWND hwnd) {
  auto& q = state().queue;
  q.erase(std::remove_if(q.begin(), q.end(), [hwnd](const MSG& m) { return m.hwnd == hwnd; }), q.end());
}

bool post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, DWORD time, POINT pt) {
  State& st = state();
  if (st.queue.size() >= kMaxQueue) return false;
  MSG m = {hwnd, message, wparam, lparam, time, pt};
  st.queue.push_back(m);
  return true;
}

}  // namespace qmuser

using namespace qmuser;

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* w = find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return default_text_message(hwnd, msg, wparam, lparam);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps))
        EndPaint(hwnd, &ps);
      else
        ValidateRect(hwnd, nullptr);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = w->cls->wc.hbrBackground;
      RECT rc = {0, 0, rect_width(w->client), rect_height(w->client)};
      return (brush && FillRect(reinterpret_cast<HDC>(wparam), &rc, brush)) ? 1 : 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_NCPAINT: paint_default_frame(hwnd); return 0;
    case WM_NCCALCSIZE:
      // The client area gives up the room of the window's scroll bars.
      if (!wparam && lparam) carve_scroll_bars(*w, *reinterpret_cast<RECT*>(lparam));
      return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (wparam == HTVSCROLL || wparam == HTHSCROLL)
        press_scroll_bar(hwnd, static_cast<LRESULT>(wparam),
                         POINT{static_cast<SHORT>(LOWORD(lparam)), static_cast<SHORT>(HIWORD(lparam))});
      return 0;
    case WM_NCHITTEST:
      return default_hit_test(hwnd, POINT{static_cast<SHORT>(LOWORD(lparam)), static_cast<SHORT>(HIWORD(lparam))});
    case WM_SETCURSOR: {
      // The parent may set the cursor for its children.
      if ((w->style & WS_CHILD) && w->parent && SendMessageA(w->parent, WM_SETCURSOR, wparam, lparam)) return TRUE;
      if (const SHORT hit = static_cast<SHORT>(LOWORD(lparam)); hit != HTCLIENT) {
        // Over a sizing border the cursor shows which way it sizes.
        LPCSTR shape = IDC_ARROW;
        switch (hit) {
          case HTLEFT:
          case HTRIGHT: shape = IDC_SIZEWE; break;
          case HTTOP:
          case HTBOTTOM: shape = IDC_SIZENS; break;
          case HTTOPLEFT:
          case HTBOTTOMRIGHT: shape = IDC_SIZENWSE; break;
          case HTTOPRIGHT:
          case HTBOTTOMLEFT: shape = IDC_SIZENESW; break;
          default: break;
        }
        SetCursor(LoadCursorA(nullptr, shape));
        return TRUE;
      }
      w = find(hwnd);
      if (!w || !w->cls->wc.hCursor) return FALSE;
      SetCursor(w->cls->wc.hCursor);
      return TRUE;
    }
    case WM_SETICON: {
      HICON& slot = w->icons[wparam == ICON_BIG ? ICON_BIG : ICON_SMALL];
      HICON old = slot;
      slot = reinterpret_cast<HICON>(lparam);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
      // Without a small icon the big one serves.
      return reinterpret_cast<LRESULT>(wparam == ICON_BIG || !w->icons[ICON_SMALL] ? w->icons[ICON_BIG]
                                                                                   : w->icons[ICON_SMALL]);
    case WM_KEYDOWN:
      // Ctrl+Tab (with Shift, backwards) left to the window turns the tab
      // control over the page it is on.
      if (wparam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        HWND tabs = nearest_tab_control(hwnd);
        if (tabs && tabs != hwnd) SendMessageA(tabs, WM_KEYDOWN, wparam, lparam);
      }
      return 0;
    case WM_SYSCHAR:
      // Alt+Space opens the system menu of the window the key was typed in.
      if (wparam == ' ') {
        HWND root = hwnd;
        while ((GetWindowLongA(root, GWL_STYLE) & WS_CHILD) && GetParent(root)) root = GetParent(root);
        SendMessageA(root, WM_SYSCOMMAND, SC_KEYMENU, ' ');
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
      } else if ((wparam & 0xFFF0) == SC_KEYMENU && lparam == ' ' && (w->style & WS_SYSMENU)) {
        // Below the caption's left end; the command chosen comes back as
        // the window's own system command.
        RECT r;
        GetWindowRect(hwnd, &r);
        POINT corner = {0, 0};
        ClientToScreen(hwnd, &corner);
        const UINT chosen = static_cast<UINT>(
            TrackPopupMenu(GetSystemMenu(hwnd, FALSE), TPM_RETURNCMD, r.left, corner.y, 0, hwnd, nullptr));
        if (chosen && IsWindow(hwnd)) SendMessageA(hwnd, WM_SYSCOMMAND, chosen, 0);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      // The parent may decide for its children.
      if ((w->style & WS_CHILD) && w->parent)
        if (const LRESULT r = SendMessageA(w->parent, msg, wparam, lparam)) return r;
      return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
      // An unhandled wheel goes up to the parent.
      if ((w->style & WS_CHILD) && w->parent) return SendMessageA(w->parent, msg, wparam, lparam);
      return 0;
    default:
      return 0;
  }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return proc ? proc(hwnd, msg, wparam, lparam) : 0;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return call_proc(hwnd, msg, wparam, lparam);
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* w = find(hwnd);
  if (hwnd && (!w || w->destroying)) return FALSE;
  State& st = state();
  return post(hwnd, msg, wparam, lparam, static_cast<DWORD>(st.clock), st.cursor) ? TRUE : FALSE;
}

void PostQuitMessage(int exit_code) {
  State& st = state();
  st.quit = true;
  st.quit_code = exit_code;
}

// With a display (qm_display.h), an empty queue asks it for input: Peek
// takes only what already came, Get sleeps until something comes.
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
  display_follow_clock();
  if (take(msg, hwnd, filter_min, filter_max, remove)) return TRUE;
  return display_wait(false) && take(msg, hwnd, filter_min, filter_max, remove) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max) {
  MSG m;
  display_follow_clock();
  while (!take(&m, hwnd, filter_min, filter_max, PM_REMOVE)) {
    if (!display_wait(true)) {
      fill(&m, nullptr, WM_QUIT, 0, 0);
      break;
    }
  }
  if (msg) *msg = m;
  return m.message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) return TRUE;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
  unsigned ch = key_char(static_cast<UINT>(msg->wParam & 0xFF));
  if (ch && (!msg->hwnd || find(msg->hwnd))) {
    // The character comes next, ahead of anything queued after the key.
    MSG c = *msg;
    c.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    c.wParam = ch;
    state().queue.push_front(c);
  }
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    // Only a live timer's own procedure is called.
    TIMERPROC proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    if (!timer_proc_valid(msg->hwnd, msg->wParam, proc)) return 0;
    proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  // A click or a key anywhere ends the tooltips, as the system's do.
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: hide_tooltips(); break;
    default: break;
  }
  // A press on a window without the focus asks it first whether it takes
  // the press (and may take the focus meanwhile).
  if ((msg->message == WM_LBUTTONDOWN || msg->message == WM_RBUTTONDOWN || msg->message == WM_MBUTTONDOWN) &&
      GetFocus() != msg->hwnd) {
    HWND root = msg->hwnd;
    while ((GetWindowLongA(root, GWL_STYLE) & WS_CHILD) && GetParent(root)) root = GetParent(root);
    const LRESULT r =
        SendMessageA(msg->hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root), MAKELPARAM(HTCLIENT, msg->message));
    if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT || !find(msg->hwnd)) return 0;
  }
  return call_proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LONG GetMessageTime() { return static_cast<LONG>(state().last_message_time); }

// ---- Painting ----

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (!hwnd) {
    std::vector<HWND> all;
    for (auto& entry : state().windows) all.push_back(entry.second->handle);
    for (HWND h : all) InvalidateRect(h, nullptr, erase);
    return TRUE;
  }
  Window* w = find(hwnd);
  if (!w) return FALSE;
  if (!IsWindowVisible(hwnd)) return TRUE;
  RECT c = {0, 0, rect_width(w->client), rect_height(w->client)};
  RECT r = rect ? *rect : c;
  r.left = std::max(r.left, c.left);
  r.top = std::max(r.top, c.top);
  r.right = std::min(r.right, c.right);
  r.bottom = std::min(r.bottom, c.bottom);
  if (r.left >= r.right || r.top >= r.bottom) return TRUE;
  if (w->has_update) {
    r.left = std::min(r.left, w->update.left);
    r.top = std::min(r.top, w->update.top);
    r.right = std::max(r.right, w->update.right);
    r.bottom = std::max(r.bottom, w->update.bottom);
  }
  w->update = r;
  w->has_update = true;
  if (erase) w->erase = true;
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  // The update area is kept as one rectangle: it is validated only by a
  // rectangle that covers all of it.
  // A window validated whole owes no frame paint either, so a paint
  // handler that only validates cannot be asked to paint forever.
  if (!rect) w->frame_update = false;
  if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top && rect->right >= w->update.right &&
                rect->bottom >= w->update.bottom)) {
    w->has_update = false;
    w->erase = false;
    w->update = {0, 0, 0, 0};
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  if (rect) *rect = w->has_update ? w->update : RECT{0, 0, 0, 0};
  return w->has_update ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
  if (!find(hwnd)) return FALSE;
  if (needs_paint(hwnd)) call_proc(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

namespace {

void redraw(HWND hwnd, const RECT* update, UINT flags) {
  Window* w = find(hwnd);
  if (!w) return;
  if (flags & RDW_INVALIDATE) {
    InvalidateRect(hwnd, update, (flags & RDW_ERASE) ? TRUE : FALSE);
    if ((flags & RDW_FRAME) && IsWindowVisible(hwnd)) w->frame_update = true;
  } else if (flags & RDW_VALIDATE) {
    ValidateRect(hwnd, update);
    if (flags & RDW_NOFRAME) w->frame_update = false;
  }
  if ((flags & RDW_NOERASE) && (w = find(hwnd))) w->erase = false;
  // Children take part when asked, or when the parent does not clip them.
  w = find(hwnd);
  if (!w || (flags & RDW_NOCHILDREN)) return;
  if (!(flags & RDW_ALLCHILDREN) && (w->style & WS_CLIPCHILDREN)) return;
  const std::vector<HWND> children = w->children;
  for (HWND child : children) {
    Window* c = find(child);
    if (!c) continue;
    if (!update) {
      redraw(child, nullptr, flags);
      continue;
    }
    // The parent's client rectangle in the child's client coordinates.
    RECT r = *update;
    POINT po = client_origin(*find(hwnd)), co = client_origin(*c);
    const LONG dx = po.x - co.x, dy = po.y - co.y;
    r.left += dx, r.right += dx, r.top += dy, r.bottom += dy;
    redraw(child, &r, flags);
  }
}

// Paints now what the flags ask for, parents before children.
void redraw_now(HWND hwnd, UINT flags) {
  Window* w = find(hwnd);
  if (!w) return;
  if (flags & RDW_UPDATENOW) {
    UpdateWindow(hwnd);
  } else if ((w->frame_update || w->erase) && IsWindowVisible(hwnd)) {
    // RDW_ERASENOW: the frame and the background, not the client.
    if (w->frame_update) {
      w->frame_update = false;
      call_proc(hwnd, WM_NCPAINT, 1, 0);
    }
    if ((w = find(hwnd)) && w->erase) {
      w->erase = false;
      if (HDC dc = GetDC(hwnd)) {
        call_proc(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(hwnd, dc);
      }
    }
  }
  if ((flags & RDW_NOCHILDREN) || !(w = find(hwnd))) return;
  const std::vector<HWND> children = w->children;
  for (HWND child : children) redraw_now(child, flags);
}

}  // namespace

BOOL RedrawWindow(HWND hwnd, const RECT* update, HRGN region, UINT flags) {
  if (region) return FALSE;
  std::vector<HWND> targets;
  if (hwnd) {
    if (!find(hwnd)) return FALSE;
    targets.push_back(hwnd);
  } else {
    targets = state().top_level;  // the desktop: every top-level window
  }
  for (HWND h : targets) redraw(h, hwnd ? update : nullptr, flags);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
    for (HWND h : targets) redraw_now(h, flags);
  return TRUE;
}

// ---- Driver ----

size_t qm_user_window_count() { return state().windows.size(); }
size_t qm_user_queued_message_count() { return state().queue.size(); }

void qm_user_reset() {
  State& st = state();
  destroy_all_windows();
  st.queue.clear();
  clear_timers();
  clear_clipboard();
  clear_message_boxes();
  clear_file_dialogs();
  clear_folder_dialogs();
  clear_shell_requests();
  clear_popups();
  clear_choosers();
  clear_cursors();
  release_dcs(st.screen);
  st.quit = false;
  st.quit_code = 0;
  st.last_message_time = 0;
  st.clock = 0;
  std::fill(std::begin(st.async_keys), std::end(st.async_keys), 0);
  std::fill(std::begin(st.sync_keys), std::end(st.sync_keys), 0);
  st.cursor = {0, 0};
  st.cursor_clipped = false;
  st.deferred.clear();
  st.capture = nullptr;
  st.mouse_tracked = nullptr;
  st.focus = nullptr;
}
