// Input: the key state, injected mouse and keyboard messages, the cursor
// position, mouse capture, keyboard focus and cursor handles.
//
// Two key states are kept, as on the original platform: the asynchronous one
// changes when input is injected, the one GetKeyState reports changes when a
// key or button message is taken from the queue, so a handler sees the state
// that belongs to the message it handles.
#include "platform/user/user_internal.h"

#include <qm_display.h>
#include <qm_user.h>
#include <winuser.h>

#include <algorithm>
#include <cctype>

namespace qmuser {

namespace {

constexpr uint8_t kDown = 0x80;
constexpr uint8_t kToggled = 0x01;

// The button a mouse message presses or releases (0 for none), and whether
// it presses it.
UINT mouse_button(UINT msg, bool* press) {
  *press = false;
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: *press = true; return VK_LBUTTON;
    case WM_LBUTTONUP: return VK_LBUTTON;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: *press = true; return VK_RBUTTON;
    case WM_RBUTTONUP: return VK_RBUTTON;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: *press = true; return VK_MBUTTON;
    case WM_MBUTTONUP: return VK_MBUTTON;
    default: return 0;
  }
}

void set_key(uint8_t* keys, UINT vk, bool down) {
  uint8_t& k = keys[vk & 0xFF];
  if (down && !(k & kDown)) k ^= kToggled;
  k = down ? (k | kDown) : (k & ~kDown);
}

WORD mk_flags() {
  const uint8_t* k = state().async_keys;
  WORD f = 0;
  if (k[VK_LBUTTON] & kDown) f |= MK_LBUTTON;
  if (k[VK_RBUTTON] & kDown) f |= MK_RBUTTON;
  if (k[VK_SHIFT] & kDown) f |= MK_SHIFT;
  if (k[VK_CONTROL] & kDown) f |= MK_CONTROL;
  if (k[VK_MBUTTON] & kDown) f |= MK_MBUTTON;
  return f;
}

// Whether input may reach the window: it and every window it is a child of
// are enabled, as the system passes nothing to a window whose top-level
// window a modal loop disabled.
bool takes_input(HWND h) {
  for (HWND at = h; at; at = (GetWindowLongA(at, GWL_STYLE) & WS_CHILD) ? GetParent(at) : nullptr)
    if (!IsWindowEnabled(at)) return false;
  return h != nullptr;
}

POINT to_screen(const Window& w, int x, int y) {
  POINT o = client_origin(w);
  auto clamp = [](int64_t v) { return static_cast<LONG>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v); };
  return POINT{clamp(int64_t(o.x) + x), clamp(int64_t(o.y) + y)};
}

struct CursorKey {
  HINSTANCE instance;
  std::string name;
  bool operator<(const CursorKey& o) const {
    return instance != o.instance ? instance < o.instance : name < o.name;
  }
};

std::map<CursorKey, HCURSOR>& cursors() {
  static std::map<CursorKey, HCURSOR> c;
  return c;
}

}  // namespace

void note_key_message(const MSG& msg) {
  uint8_t* keys = state().sync_keys;
  switch (msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: set_key(keys, static_cast<UINT>(msg.wParam), true); return;
    case WM_KEYUP: case WM_SYSKEYUP: set_key(keys, static_cast<UINT>(msg.wParam), false); return;
    default: break;
  }
  bool press;
  if (UINT vk = mouse_button(msg.message, &press)) set_key(keys, vk, press);
}

void clear_cursors() {
  cursors().clear();
  state().cursor_handle = nullptr;
}

POINT clip_cursor_point(POINT p) {
  const State& st = state();
  if (!st.cursor_clipped) return p;
  const RECT& c = st.cursor_clip;
  p.x = std::min(std::max(p.x, c.left), c.right - 1);
  p.y = std::min(std::max(p.y, c.top), c.bottom - 1);
  return p;
}

}  // namespace qmuser

using namespace qmuser;

SHORT GetKeyState(int vk) {
  uint8_t k = state().sync_keys[vk & 0xFF];
  return static_cast<SHORT>(((k & kDown) ? 0x8000 : 0) | (k & kToggled));
}

SHORT GetAsyncKeyState(int vk) {
  return (state().async_keys[vk & 0xFF] & kDown) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track) {
  if (!track || !(track->dwFlags & TME_LEAVE)) return FALSE;
  State& st = state();
  if (track->dwFlags & TME_CANCEL) {
    if (st.mouse_tracked == track->hwndTrack) st.mouse_tracked = nullptr;
    return TRUE;
  }
  if (!find(track->hwndTrack)) return FALSE;
  st.mouse_tracked = track->hwndTrack;
  return TRUE;
}

void qm_user_pointer_left() {
  State& st = state();
  HWND tracked = st.mouse_tracked;
  st.mouse_tracked = nullptr;
  if (find(tracked)) post(tracked, WM_MOUSELEAVE, 0, 0, static_cast<DWORD>(st.clock), st.cursor);
}

BOOL qm_user_mouse(HWND hwnd, UINT msg, int x, int y) {
  if (msg < WM_MOUSEMOVE || msg > WM_MBUTTONDBLCLK) return FALSE;
  Window* w = find(hwnd);
  if (!w) return FALSE;
  State& st = state();
  // The cursor cannot leave the ClipCursor rectangle, nor can the input.
  POINT screen = clip_cursor_point(to_screen(*w, x, y));
  const bool captured = find(st.capture) != nullptr;
  HWND target = captured ? st.capture : hwnd;
  // Without a capture, input reaches only a window that is shown and enabled.
  if (target == hwnd && (!takes_input(hwnd) || !IsWindowVisible(hwnd))) return FALSE;
  // Over a window that has no capture, the window tells what lies under the
  // point and sets the cursor; outside its client area the message becomes
  // the non-client one, with the hit code and the screen point.
  LRESULT hit = HTCLIENT;
  if (!captured) {
    hit = SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
    if (!find(hwnd)) return FALSE;
    // The input names its window: a point the window claims nothing of
    // (outside it), or lets through to what lies below, is still taken as one
    // in its client area.
    if (hit == HTNOWHERE || hit == HTTRANSPARENT) hit = HTCLIENT;
    SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(static_cast<WORD>(hit), msg));
    if (!find(hwnd)) return FALSE;
  } else if (target == hwnd) {
    // A window holding the capture over itself sets the cursor as over its client area.
    SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, msg));
    if (!find(hwnd)) return FALSE;
  }
  bool press;
  if (UINT vk = mouse_button(msg, &press)) set_key(st.async_keys, vk, press);
  st.cursor = screen;
  if (st.mouse_tracked && (st.mouse_tracked != target || hit != HTCLIENT)) qm_user_pointer_left();
  if (hit != HTCLIENT) {
    // Non-client messages come in the order of their client counterparts.
    const UINT nc = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    LPARAM sp = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
    return post(target, nc, static_cast<WPARAM>(hit), sp, static_cast<DWORD>(st.clock), screen) ? TRUE : FALSE;
  }
  POINT client = screen;
  ScreenToClient(target, &client);
  LPARAM lp = MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y));
  return post(target, msg, mk_flags(), lp, static_cast<DWORD>(st.clock), screen) ? TRUE : FALSE;
}

BOOL qm_user_wheel(HWND hwnd, int delta, int x, int y) {
  Window* w = find(hwnd);
  if (!w || !takes_input(hwnd) || !IsWindowVisible(hwnd)) return FALSE;
  State& st = state();
  POINT screen = clip_cursor_point(to_screen(*w, x, y));
  st.cursor = screen;
  WPARAM wp = MAKEWPARAM(mk_flags(), static_cast<WORD>(static_cast<SHORT>(delta)));
  LPARAM lp = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
  return post(hwnd, WM_MOUSEWHEEL, wp, lp, static_cast<DWORD>(st.clock), screen) ? TRUE : FALSE;
}

BOOL qm_user_key(HWND hwnd, UINT vk, bool down) {
  if (vk == 0 || vk > 0xFE) return FALSE;
  if (hwnd && !find(hwnd)) return FALSE;
  State& st = state();
  HWND target = hwnd ? hwnd : st.focus;
  bool was_down = (st.async_keys[vk] & kDown) != 0;
  set_key(st.async_keys, vk, down);
  if (!target) {
    set_key(st.sync_keys, vk, down);
    return TRUE;
  }
  // Keys for a window a modal loop disabled go nowhere.
  if (!takes_input(target)) return FALSE;
  // lParam: repeat count 1, the previous key state in bit 30, key-up in bit 31,
  // Alt held in bit 29.
  DWORD lp = 1;
  if (was_down || !down) lp |= 1u << 30;
  if (!down) lp |= 1u << 31;
  // Keys with Alt held (without Ctrl), Alt itself and F10 are the system's:
  // they open the window's menus.
  const bool alt = (st.async_keys[VK_MENU] & kDown) || (vk == VK_MENU && !down);
  const bool system = (alt && !(st.async_keys[VK_CONTROL] & kDown)) || vk == VK_F10;
  if (alt) lp |= 1u << 29;
  const UINT msg = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  return post(target, msg, vk, static_cast<LPARAM>(lp), static_cast<DWORD>(st.clock), st.cursor) ? TRUE : FALSE;
}

BOOL GetCursorPos(LPPOINT pt) {
  if (!pt) return FALSE;
  *pt = state().cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  state().cursor = clip_cursor_point(POINT{x, y});
  return TRUE;
}

BOOL ClipCursor(const RECT* rect) {
  State& st = state();
  if (!rect) {
    st.cursor_clipped = false;
    return TRUE;
  }
  // An empty rectangle keeps the cursor on its left-top point.
  st.cursor_clip = *rect;
  if (st.cursor_clip.right <= st.cursor_clip.left) st.cursor_clip.right = st.cursor_clip.left + 1;
  if (st.cursor_clip.bottom <= st.cursor_clip.top) st.cursor_clip.bottom = st.cursor_clip.top + 1;
  st.cursor_clipped = true;
  st.cursor = clip_cursor_point(st.cursor);
  return TRUE;
}

BOOL GetClipCursor(LPRECT rect) {
  if (!rect) return FALSE;
  const State& st = state();
  if (st.cursor_clipped) {
    *rect = st.cursor_clip;
  } else {
    *rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return TRUE;
}

HWND SetCapture(HWND hwnd) {
  State& st = state();
  HWND old = find(st.capture) ? st.capture : nullptr;
  if (!find(hwnd)) return nullptr;
  st.capture = hwnd;
  if (old && old != hwnd) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  State& st = state();
  HWND old = st.capture;
  st.capture = nullptr;
  if (find(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  State& st = state();
  return find(st.capture) ? st.capture : nullptr;
}

HWND SetFocus(HWND hwnd) {
  State& st = state();
  HWND old = find(st.focus) ? st.focus : nullptr;
  if (hwnd && !find(hwnd)) return nullptr;
  if (hwnd == old) return old;
  st.focus = hwnd;
  if (old) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && find(hwnd) && st.focus == hwnd) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  State& st = state();
  return find(st.focus) ? st.focus : nullptr;
}

UINT GetDoubleClickTime() {
  constexpr UINT kDoubleClickTime = 500;
  return kDoubleClickTime;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!name) return nullptr;
  CursorKey key{instance, resource_key(name)};
  auto& c = cursors();
  auto it = c.find(key);
  if (it != c.end()) return it->second;
  // The same cursor always answers with the same handle; handles are never
  // reused, not even after a reset.
  static uintptr_t next = 0x20000;
  HCURSOR h = reinterpret_cast<HCURSOR>(next);
  next += 4;
  c.emplace(key, h);
  return h;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = state().cursor_handle;
  state().cursor_handle = cursor;
  return old;
}

HCURSOR GetCursor() { return state().cursor_handle; }

std::string qm_user_cursor_name(HCURSOR cursor) {
  for (const auto& entry : cursors())
    if (entry.second == cursor) return entry.first.name;
  return std::string();
}

BOOL DestroyCursor(HCURSOR) { return TRUE; }
