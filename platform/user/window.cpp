// Window classes and the window tree: creation and destruction with their
// messages, parent and owner links, ids, styles, visibility, text and the
// window's own data.
//
// Creation sends WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE,
// then shows the window when WS_VISIBLE was asked for. Destruction destroys
// owned windows first, then sends WM_DESTROY from the window down through its
// children and WM_NCDESTROY from the children up, and takes with the window
// its timers, queued messages, capture and focus.
#include "platform/user/user_internal.h"

#include <winuser.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qmuser {

namespace {

// Window sizes are kept within what 16-bit message parameters carry.
constexpr int kMaxExtent = 32767;
constexpr int kMaxCoord = 1 << 24;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
// Child windows nest at most this deep.
constexpr int kMaxDepth = 100;

std::string lower(const char* s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::shared_ptr<WindowClass> find_class(LPCSTR name) {
  if (!name) return nullptr;
  State& st = state();
  if (IS_INTRESOURCE(name)) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto& c : st.classes)
      if (c->atom == atom) return c;
    return nullptr;
  }
  std::string key = lower(name);
  for (auto& c : st.classes)
    if (c->name == key) return c;
  return nullptr;
}

int clamp_int(int64_t v, int64_t lo, int64_t hi) { return static_cast<int>(std::min(std::max(v, lo), hi)); }

std::vector<HWND>* sibling_list(const Window& w) {
  if (w.parent) {
    Window* p = find(w.parent);
    return p ? &p->children : nullptr;
  }
  return &state().top_level;
}

// Asks the window where its client area lies (WM_NCCALCSIZE) and keeps the
// answer inside the window rectangle.
void compute_client(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return;
  RECT r = w->rect;
  call_proc(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
  w = find(hwnd);
  if (!w) return;
  const RECT& wr = w->rect;
  RECT c;
  c.left = clamp_int(r.left, wr.left, wr.right) - wr.left;
  c.top = clamp_int(r.top, wr.top, wr.bottom) - wr.top;
  c.right = clamp_int(r.right, wr.left + c.left, wr.right) - wr.left;
  c.bottom = clamp_int(r.bottom, wr.top + c.top, wr.bottom) - wr.top;
  w->client = c;
  resize_pixels(*w);
}

void notify_size(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return;
  call_proc(hwnd, WM_SIZE, SIZE_RESTORED,
            MAKELPARAM(rect_width(w->client), rect_height(w->client)));
}

void notify_move(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return;
  call_proc(hwnd, WM_MOVE, 0,
            MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
}

bool in_subtree(HWND root, HWND h) {
  for (Window* w = find(h); w; w = find(w->parent))
    if (w->handle == root) return true;
  return false;
}

void send_destroy(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return;
  w->destroying = true;
  call_proc(hwnd, WM_DESTROY, 0, 0);
  w = find(hwnd);
  if (!w) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids) {
    Window* kw = find(k);
    if (kw && !kw->destroying) send_destroy(k);
  }
}

void remove_window(HWND hwnd) {
  auto held = hold(hwnd);
  if (!held) return;
  // Children created while the tree was being taken down go without messages.
  std::vector<HWND> kids = held->children;
  for (HWND k : kids) remove_window(k);
  kill_window_timers(hwnd);
  forget_window_messages(hwnd);
  release_dcs(held->pixels);
  State& st = state();
  if (st.capture == hwnd) st.capture = nullptr;
  if (st.mouse_tracked == hwnd) st.mouse_tracked = nullptr;
  if (st.focus == hwnd) st.focus = nullptr;
  if (std::vector<HWND>* sibs = sibling_list(*held))
    sibs->erase(std::remove(sibs->begin(), sibs->end(), hwnd), sibs->end());
  for (HWND t : st.top_level)  // owned windows are top-level windows
    if (Window* o = find(t); o && o->owner == hwnd) o->owner = nullptr;
  st.windows.erase(from_hwnd(hwnd));
}

void nc_destroy(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids) nc_destroy(k);
  call_proc(hwnd, WM_NCDESTROY, 0, 0);
  remove_window(hwnd);
}

// Copies text into a caller's buffer of size bytes, NUL-terminated, never
// splitting a two-byte GBK character. Returns the bytes copied.
int copy_text(const std::string& text, char* buf, int size) {
  if (!buf || size <= 0) return 0;
  size_t room = static_cast<size_t>(size) - 1;
  size_t n = 0;
  while (n < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[n]);
    size_t len = (c >= 0x81 && c <= 0xFE && n + 1 < text.size()) ? 2 : 1;
    if (n + len > room) break;
    n += len;
  }
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return static_cast<int>(n);
}

bool set_window_long(Window& w, int index, LONG_PTR value, LONG_PTR* old) {
  switch (index) {
    case GWLP_WNDPROC:
      if (!value) return false;
      *old = reinterpret_cast<LONG_PTR>(w.proc);
      w.proc = reinterpret_cast<WNDPROC>(value);
      return true;
    case GWLP_HINSTANCE:
      *old = reinterpret_cast<LONG_PTR>(w.instance);
      w.instance = reinterpret_cast<HINSTANCE>(value);
      return true;
    case GWLP_HWNDPARENT:
      if (w.style & WS_CHILD) return false;
      *old = reinterpret_cast<LONG_PTR>(w.owner);
      w.owner = find(reinterpret_cast<HWND>(value)) ? reinterpret_cast<HWND>(value) : nullptr;
      return true;
    case GWLP_ID:
      *old = w.id;
      w.id = value;
      return true;
    case GWL_STYLE:
      *old = static_cast<LONG>(w.style);
      w.style = static_cast<DWORD>(value);
      return true;
    case GWL_EXSTYLE:
      *old = static_cast<LONG>(w.ex_style);
      w.ex_style = static_cast<DWORD>(value);
      return true;
    case GWLP_USERDATA:
      *old = w.user_data;
      w.user_data = value;
      return true;
    default:
      return false;
  }
}

bool get_window_long(const Window& w, int index, LONG_PTR* out) {
  switch (index) {
    case GWLP_WNDPROC: *out = reinterpret_cast<LONG_PTR>(w.proc); return true;
    case GWLP_HINSTANCE: *out = reinterpret_cast<LONG_PTR>(w.instance); return true;
    case GWLP_HWNDPARENT:
      *out = reinterpret_cast<LONG_PTR>(w.parent ? w.parent : w.owner);
      return true;
    case GWLP_ID: *out = w.id; return true;
    case GWL_STYLE: *out = static_cast<LONG>(w.style); return true;
    case GWL_EXSTYLE: *out = static_cast<LONG>(w.ex_style); return true;
    case GWLP_USERDATA: *out = w.user_data; return true;
    default: return false;
  }
}

// Reads or writes sizeof(T) bytes of the window's extra data at offset index.
template <class T>
bool extra_access(Window& w, int index, T* get, const T* set) {
  if (index < 0 || static_cast<size_t>(index) + sizeof(T) > w.extra.size()) return false;
  if (get) std::memcpy(get, w.extra.data() + index, sizeof(T));
  if (set) std::memcpy(w.extra.data() + index, set, sizeof(T));
  return true;
}

}  // namespace

POINT client_origin(const Window& w) {
  // A window's rectangle is relative to its parent's client area, so the
  // screen origin sums rectangle and client offsets up the chain.
  int64_t x = 0, y = 0;
  for (const Window* p = &w; p; p = find(p->parent)) {
    x += int64_t(p->rect.left) + p->client.left;
    y += int64_t(p->rect.top) + p->client.top;
  }
  POINT pt = {clamp_int(x, INT32_MIN, INT32_MAX), clamp_int(y, INT32_MIN, INT32_MAX)};
  return pt;
}

}  // namespace qmuser

using namespace qmuser;

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !wc->lpfnWndProc) return 0;
  if (wc->cbWndExtra < 0 || wc->cbWndExtra > 4096 || wc->cbClsExtra < 0) return 0;
  if (!*wc->lpszClassName || find_class(wc->lpszClassName)) return 0;
  State& st = state();
  if (st.next_atom == 0xFFFF) return 0;
  auto c = std::make_shared<WindowClass>();
  c->wc = *wc;
  c->name = lower(wc->lpszClassName);
  c->wc.lpszClassName = nullptr;  // the caller's string need not outlive the call
  c->wc.lpszMenuName = nullptr;
  c->atom = st.next_atom++;
  st.classes.push_back(c);
  return c->atom;
}

BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE) {
  std::shared_ptr<WindowClass> c = find_class(class_name);
  if (!c) return FALSE;
  State& st = state();
  for (auto& entry : st.windows)
    if (entry.second->cls == c) return FALSE;  // still in use
  st.classes.erase(std::remove(st.classes.begin(), st.classes.end(), c), st.classes.end());
  return TRUE;
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu_or_id, HINSTANCE instance,
                     LPVOID param) {
  std::shared_ptr<WindowClass> cls = find_class(class_name);
  if (!cls && register_control_class(class_name)) cls = find_class(class_name);
  if (!cls) return nullptr;
  bool child = (style & WS_CHILD) != 0;
  Window* pw = find(parent);
  if ((child || parent) && (!pw || pw->destroying)) return nullptr;
  if (child) {
    int depth = 1;
    for (Window* a = pw; a; a = find(a->parent)) ++depth;
    if (depth > kMaxDepth) return nullptr;
  }
  State& st = state();

  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : kDefaultWidth;
    height = child ? 0 : kDefaultHeight;
  }
  x = clamp_int(x, -kMaxCoord, kMaxCoord);
  y = clamp_int(y, -kMaxCoord, kMaxCoord);
  width = clamp_int(width, 0, kMaxExtent);
  height = clamp_int(height, 0, kMaxExtent);

  auto w = std::make_shared<Window>();
  HWND hwnd = to_hwnd(st.next_handle);
  st.next_handle += 4;
  w->handle = hwnd;
  w->cls = cls;
  w->proc = cls->wc.lpfnWndProc;
  w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
  w->ex_style = ex_style;
  w->parent = child ? parent : nullptr;
  // A top-level window is owned by a top-level window: given a child, its
  // top-level ancestor owns it (and destroys it when it goes).
  HWND owner = child ? nullptr : parent;
  for (Window* o = find(owner); o && o->parent; o = find(o->parent)) owner = o->parent;
  w->owner = owner;
  w->instance = instance;
  w->id = child ? reinterpret_cast<LONG_PTR>(menu_or_id) : 0;
  w->extra.assign(static_cast<size_t>(cls->wc.cbWndExtra), 0);
  if (window_name && !IS_INTRESOURCE(window_name)) w->text = window_name;
  w->rect = {x, y, x + width, y + height};
  w->client = {0, 0, width, height};
  st.windows[from_hwnd(hwnd)] = w;
  if (child)
    find(parent)->children.push_back(hwnd);
  else
    st.top_level.push_back(hwnd);

  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu_or_id;
  cs.hwndParent = parent;
  cs.cy = height;
  cs.cx = width;
  cs.y = y;
  cs.x = x;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = window_name;
  cs.lpszClass = class_name;
  cs.dwExStyle = ex_style;
  if (!call_proc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (find(hwnd)) nc_destroy(hwnd);
    return nullptr;
  }
  compute_client(hwnd);
  if (!find(hwnd)) return nullptr;
  if (call_proc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  notify_size(hwnd);
  notify_move(hwnd);
  if (!find(hwnd)) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return find(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w || w->destroying) return FALSE;
  State& st = state();
  // Owned windows go first, each completely.
  std::vector<HWND> owned;
  for (HWND t : st.top_level)
    if (find(t) && find(t)->owner == hwnd) owned.push_back(t);
  for (HWND o : owned) DestroyWindow(o);
  w = find(hwnd);
  if (!w || w->destroying) return FALSE;
  w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  if (st.capture && in_subtree(hwnd, st.capture)) st.capture = nullptr;
  if (st.focus && in_subtree(hwnd, st.focus)) st.focus = nullptr;
  send_destroy(hwnd);
  nc_destroy(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return find(hwnd) != nullptr; }

HWND GetParent(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return nullptr;
  return w->parent ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return w->owner;
  const std::vector<HWND>* sibs = sibling_list(*w);
  if (!sibs || sibs->empty()) return nullptr;
  auto it = std::find(sibs->begin(), sibs->end(), hwnd);
  switch (cmd) {
    case GW_HWNDFIRST: return sibs->front();
    case GW_HWNDLAST: return sibs->back();
    case GW_HWNDNEXT: return (it == sibs->end() || it + 1 == sibs->end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV: return (it == sibs->end() || it == sibs->begin()) ? nullptr : *(it - 1);
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) {
  if (!hwnd) return state().top_level.empty() ? nullptr : state().top_level.front();
  return GetWindow(hwnd, GW_CHILD);
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* w = find(hwnd);
  if (!w || !find(parent) || parent == hwnd) return FALSE;
  return in_subtree(parent, hwnd) ? TRUE : FALSE;
}

HWND GetDlgItem(HWND parent, int id) {
  Window* p = find(parent);
  if (!p) return nullptr;
  for (HWND k : p->children)
    if (find(k) && find(k)->id == id) return k;
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* w = find(hwnd);
  return w ? static_cast<int>(w->id) : 0;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  Window* w = find(hwnd);
  if (!w) return 0;
  LONG_PTR v = 0;
  if (index >= 0) {
    extra_access<LONG_PTR>(*w, index, &v, nullptr);
    return v;
  }
  get_window_long(*w, index, &v);
  return v;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  Window* w = find(hwnd);
  if (!w) return 0;
  LONG_PTR old = 0;
  if (index >= 0) {
    extra_access<LONG_PTR>(*w, index, &old, nullptr);
    extra_access<LONG_PTR>(*w, index, nullptr, &value);
    return old;
  }
  set_window_long(*w, index, value, &old);
  return old;
}

LONG GetWindowLongA(HWND hwnd, int index) {
  Window* w = find(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    LONG v = 0;
    extra_access<LONG>(*w, index, &v, nullptr);
    return v;
  }
  return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
  Window* w = find(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    LONG old = 0;
    extra_access<LONG>(*w, index, &old, nullptr);
    extra_access<LONG>(*w, index, nullptr, &value);
    return old;
  }
  // Style words are unsigned 32-bit values stored in a LONG.
  LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE) ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                                                            : static_cast<LONG_PTR>(value);
  return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, v));
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  bool was = (w->style & WS_VISIBLE) != 0;
  bool show = cmd != SW_HIDE;
  // A top-level window minimised shows its icon in place of its client
  // area (IsIconic); restored, it shows its client area again.
  const bool minimise = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE;
  const bool restore = cmd == SW_RESTORE || cmd == SW_SHOWNORMAL || cmd == SW_SHOWMAXIMIZED;
  if (!(w->style & WS_CHILD) && (minimise || (restore && (w->style & WS_MINIMIZE)))) {
    w->style = minimise ? w->style | WS_MINIMIZE : w->style & ~static_cast<DWORD>(WS_MINIMIZE);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  if (show == was) return was ? TRUE : FALSE;
  call_proc(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  w = find(hwnd);
  if (!w) return was ? TRUE : FALSE;
  if (show) {
    w->style |= WS_VISIBLE;
    // The window and every visible window below it need painting.
    std::vector<HWND> todo = {hwnd};
    while (!todo.empty()) {
      HWND h = todo.back();
      todo.pop_back();
      Window* x = find(h);
      if (!x || !(x->style & WS_VISIBLE)) continue;
      InvalidateRect(h, nullptr, TRUE);
      x->frame_update = true;
      todo.insert(todo.end(), x->children.rbegin(), x->children.rend());
    }
  } else {
    w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    State& st = state();
    if (st.focus && in_subtree(hwnd, st.focus)) st.focus = nullptr;
  }
  return was ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
  const Window* w = find(hwnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  for (; w; w = find(w->parent))
    if (!(w->style & WS_VISIBLE)) return FALSE;
  return TRUE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  bool was_disabled = (w->style & WS_DISABLED) != 0;
  if (was_disabled == !enable) return was_disabled ? TRUE : FALSE;
  if (enable)
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
  else
    w->style |= WS_DISABLED;
  if (!enable) {
    State& st = state();
    if (st.focus == hwnd) st.focus = nullptr;
    if (st.capture == hwnd) ReleaseCapture();
  }
  call_proc(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return was_disabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = find(hwnd);
  return (w && !(w->style & WS_DISABLED)) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (!find(hwnd)) return FALSE;
  return call_proc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!find(hwnd)) return 0;
  return static_cast<int>(call_proc(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd) {
  if (!find(hwnd)) return 0;
  return static_cast<int>(call_proc(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

// ---- Geometry ----

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = {0, 0, rect_width(w->client), rect_height(w->client)};
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* w = find(hwnd);
  if (!w || !rect) return FALSE;
  POINT o = client_origin(*w);
  LONG left = o.x - w->client.left, top = o.y - w->client.top;
  *rect = {left, top, left + rect_width(w->rect), top + rect_height(w->rect)};
  return TRUE;
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
  RECT client;
  if (!GetClientRect(parent, &client)) return nullptr;
  POINT screen = pt;
  ClientToScreen(parent, &screen);
  RECT outer;
  GetWindowRect(parent, &outer);
  if (screen.x < outer.left || screen.x >= outer.right || screen.y < outer.top || screen.y >= outer.bottom)
    return nullptr;
  HWND found = parent;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if ((flags & CWP_SKIPINVISIBLE) && !(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && !IsWindowEnabled(c)) continue;
    RECT r;
    GetWindowRect(c, &r);
    if (screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom) found = c;
  }
  return found;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

HWND qm_user_window_at(HWND top, int x, int y, POINT& local) {
  HWND at = top;
  POINT p = {x, y};
  for (int depth = 0; depth < 100; ++depth) {
    HWND child = ChildWindowFromPointEx(at, p, CWP_SKIPINVISIBLE);
    if (!child || child == at) break;
    POINT screen = p;
    ClientToScreen(at, &screen);
    const LPARAM where = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
    if (SendMessageA(child, WM_NCHITTEST, 0, where) == HTTRANSPARENT) break;
    ScreenToClient(child, &screen);
    p = screen;
    at = child;
  }
  local = p;
  return at;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
  Window* w = find(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = client_origin(*w);
  pt->x = clamp_int(int64_t(pt->x) - o.x, INT32_MIN, INT32_MAX);
  pt->y = clamp_int(int64_t(pt->y) - o.y, INT32_MIN, INT32_MAX);
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
  Window* w = find(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = client_origin(*w);
  pt->x = clamp_int(int64_t(pt->x) + o.x, INT32_MIN, INT32_MAX);
  pt->y = clamp_int(int64_t(pt->y) + o.y, INT32_MIN, INT32_MAX);
  return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  RECT old = w->rect;
  RECT r = old;
  if (!(flags & SWP_NOMOVE)) {
    r.left = clamp_int(x, -kMaxCoord, kMaxCoord);
    r.top = clamp_int(y, -kMaxCoord, kMaxCoord);
  }
  int width = (flags & SWP_NOSIZE) ? rect_width(old) : clamp_int(cx, 0, kMaxExtent);
  int height = (flags & SWP_NOSIZE) ? rect_height(old) : clamp_int(cy, 0, kMaxExtent);
  r.right = r.left + width;
  r.bottom = r.top + height;
  bool moved = r.left != old.left || r.top != old.top;
  bool sized = width != rect_width(old) || height != rect_height(old);
  RECT old_client = w->client;
  w->rect = r;
  if (sized || (flags & SWP_FRAMECHANGED)) compute_client(hwnd);
  w = find(hwnd);
  if (!w) return TRUE;
  bool client_sized = rect_width(w->client) != rect_width(old_client) ||
                      rect_height(w->client) != rect_height(old_client);
  if (client_sized) notify_size(hwnd);
  if (moved || w->client.left != old_client.left || w->client.top != old_client.top) notify_move(hwnd);
  if (!find(hwnd)) return TRUE;
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (!(flags & SWP_NOREDRAW) && (moved || sized || (flags & SWP_FRAMECHANGED))) {
    InvalidateRect(hwnd, nullptr, TRUE);
    if (Window* shown = find(hwnd); shown && (shown->style & WS_VISIBLE)) shown->frame_update = true;
  }
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  if (!find(hwnd)) return FALSE;
  SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  if (repaint) {
    InvalidateRect(hwnd, nullptr, TRUE);
    if (Window* shown = find(hwnd); shown && (shown->style & WS_VISIBLE)) shown->frame_update = true;
  }
  return TRUE;
}

// ---- Class data ----

namespace {

bool class_field(HWND hwnd, int index, WNDCLASSA** wc) {
  Window* w = find(hwnd);
  if (!w || !w->cls) return false;
  *wc = &w->cls->wc;
  return index == GCL_HCURSOR || index == GCL_HBRBACKGROUND || index == GCL_STYLE;
}

ULONG_PTR class_value(const WNDCLASSA& wc, int index) {
  switch (index) {
    case GCL_HCURSOR: return reinterpret_cast<ULONG_PTR>(wc.hCursor);
    case GCL_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(wc.hbrBackground);
    default: return wc.style;
  }
}

void set_class_value(WNDCLASSA& wc, int index, ULONG_PTR v) {
  switch (index) {
    case GCL_HCURSOR: wc.hCursor = reinterpret_cast<HCURSOR>(v); break;
    case GCL_HBRBACKGROUND: wc.hbrBackground = reinterpret_cast<HBRUSH>(v); break;
    default: wc.style = static_cast<UINT>(v); break;
  }
}

}  // namespace

ULONG_PTR GetClassLongPtrA(HWND hwnd, int index) {
  WNDCLASSA* wc;
  return class_field(hwnd, index, &wc) ? class_value(*wc, index) : 0;
}

ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  WNDCLASSA* wc;
  if (!class_field(hwnd, index, &wc)) return 0;
  const ULONG_PTR old = class_value(*wc, index);
  set_class_value(*wc, index, static_cast<ULONG_PTR>(value));
  return old;
}

// The 32-bit forms keep the low 32 bits of a handle, as on a 64-bit system.
DWORD GetClassLongA(HWND hwnd, int index) { return static_cast<DWORD>(GetClassLongPtrA(hwnd, index)); }

DWORD SetClassLongA(HWND hwnd, int index, LONG value) {
  const LONG_PTR v = index == GCL_STYLE ? static_cast<LONG_PTR>(static_cast<DWORD>(value)) : value;
  return static_cast<DWORD>(SetClassLongPtrA(hwnd, index, v));
}

// ---- Deferred placement ----

HDWP BeginDeferWindowPos(int count) {
  if (count < 0) return nullptr;
  State& st = state();
  const uintptr_t id = st.next_defer++;
  st.deferred[id].reserve(static_cast<size_t>(count));
  return reinterpret_cast<HDWP>(id);
}

HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  State& st = state();
  auto set = st.deferred.find(reinterpret_cast<uintptr_t>(dwp));
  if (set == st.deferred.end()) return nullptr;
  if (!find(hwnd)) {
    st.deferred.erase(set);
    return nullptr;
  }
  WINDOWPOS pos = {hwnd, insert_after, x, y, cx, cy, flags};
  for (WINDOWPOS& p : set->second) {
    if (p.hwnd == hwnd) {
      p = pos;
      return dwp;
    }
  }
  set->second.push_back(pos);
  return dwp;
}

BOOL EndDeferWindowPos(HDWP dwp) {
  State& st = state();
  auto set = st.deferred.find(reinterpret_cast<uintptr_t>(dwp));
  if (set == st.deferred.end()) return FALSE;
  const std::vector<WINDOWPOS> moves = std::move(set->second);
  st.deferred.erase(set);
  // A window destroyed while the set was open is passed over.
  for (const WINDOWPOS& p : moves) {
    if (find(p.hwnd)) SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags);
  }
  return TRUE;
}

// ---- Used by DefWindowProcA (message.cpp) ----
namespace qmuser {

LRESULT default_text_message(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* w = find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_SETTEXT: {
      const char* s = reinterpret_cast<const char*>(lparam);
      w->text = s ? s : "";
      return TRUE;
    }
    case WM_GETTEXT:
      return copy_text(w->text, reinterpret_cast<char*>(lparam),
                       static_cast<int>(std::min<WPARAM>(wparam, INT32_MAX)));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    default:
      return 0;
  }
}

void destroy_all_windows() {
  State& st = state();
  while (!st.top_level.empty()) {
    HWND h = st.top_level.front();
    if (DestroyWindow(h)) continue;
    // Already on its way down (a reset from inside a handler): no messages.
    remove_window(h);
    if (!st.top_level.empty() && st.top_level.front() == h) st.top_level.erase(st.top_level.begin());
  }
  st.windows.clear();
}

}  // namespace qmuser

HWND SetParent(HWND hwnd, HWND new_parent) {
  Window* w = find(hwnd);
  if (!w || w->destroying || hwnd == new_parent) return nullptr;
  Window* np = new_parent ? find(new_parent) : nullptr;
  if (new_parent && (!np || np->destroying || in_subtree(hwnd, new_parent))) return nullptr;  // no cycles
  const HWND old = w->parent;
  std::vector<HWND>* from = sibling_list(*w);
  if (from) from->erase(std::remove(from->begin(), from->end(), hwnd), from->end());
  w->parent = new_parent;
  if (new_parent) {
    w->style = (w->style & ~WS_POPUP) | WS_CHILD;
    np->children.push_back(hwnd);
  } else {
    w->style &= ~WS_CHILD;
    state().top_level.push_back(hwnd);
  }
  // The window keeps its rectangle in the new parent's coordinates.
  return old;
}
