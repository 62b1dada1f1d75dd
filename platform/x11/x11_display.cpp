// The X11 display: each visible top-level window of the window system is an
// X window that shows the window's pixels with its children's composed over
// them (qm_user_window_image, the picture the headless tests look at), and
// what the user does in it becomes the window system's input messages.
//
// Nothing here is asked by the program: the window system calls wait() when
// it has no message, and wait() first brings the X windows in step with the
// top-level windows (shown, hidden, moved, renamed, repainted, the cursor,
// the capture), then sleeps on the X connection. An X window only ever
// shows pixels already painted, so exposure repaints from them.
#include <poll.h>
#include <qm_display.h>
#include <qm_text.h>
#include <qm_user.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <windows.h>
#include <winuser.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/x11/x11_keys.h"

namespace {

// An X window is never made larger than this on either side, nor its image
// (a 4K screen fits); a window system window larger than that shows its
// top-left part. Each image of that size takes 64 MB, three times over
// (the window's pixels, the composed picture, the one on screen).
constexpr int kMaxSide = 4096;
// A second press of a button within the double-click time and this distance
// of the first on the same window is a double click (for classes that ask
// for them).
constexpr int kDoubleClickSlop = 4;

// One top-level window shown on the display.
struct Shown {
  HWND hwnd = nullptr;
  ::Window xid = 0;
  RECT rect = {0, 0, 0, 0};  // the window rectangle last put in step with X
  std::string title;         // GBK, as last shown
  HICON icon = nullptr;      // as last given to the window manager
  HWND last_focus = nullptr;
  // The image on screen: width x height pixels 0x00RRGGBB, either in shared
  // memory (shm.shmaddr) or in `pixels`.
  XImage* image = nullptr;
  XShmSegmentInfo shm = {};
  bool shared = false;
  std::vector<uint32_t> pixels;  // what the screen shows when not shared
  int width = 0, height = 0;
};

struct Connection {
  Display* dpy = nullptr;
  int screen = 0;
  ::Window root = 0;
  Visual* visual = nullptr;
  int depth = 0;
  GC gc = nullptr;
  bool shm_offered = false;
  // The visual takes 0x00RRGGBB words as they are (32 bits a pixel).
  bool direct = false;
  Atom wm_protocols = 0, wm_delete = 0, net_wm_name = 0, utf8_string = 0, net_wm_icon = 0;
  std::map<HWND, std::unique_ptr<Shown>> shown;
  std::vector<uint32_t> composed;
  HCURSOR cursor = nullptr;
  bool cursor_set = false;
  std::map<unsigned, Cursor> font_cursors;
  std::map<HCURSOR, Cursor> picture_cursors;  // the cursors with pictures of their own
  Cursor blank = 0;
  HWND grab = nullptr;
  // The last button press, for double clicks.
  HWND press_hwnd = nullptr;
  unsigned press_button = 0;
  Time press_time = 0;
  int press_x = 0, press_y = 0;
};

Connection* g_conn = nullptr;
bool g_lost = false;
int g_x_error = 0;  // the code of the last protocol error caught

int on_x_error(Display*, XErrorEvent* e) {
  g_x_error = e->error_code;
  return 0;
}

// Says the program ends only once the display is the program's: a
// connection lost while it is being opened fails the opening instead (the
// program may then go on without a display).
int on_io_error(Display*) {
  if (!g_lost)
    std::fprintf(stderr,
                 g_conn ? "%s: the connection to the X display was lost; the program ends\n"
                        : "%s: the connection to the X display was lost while it was being opened\n",
                 program_invocation_short_name);
  g_lost = true;
  return 0;
}

// Returning from here leaves the connection marked dead instead of ending
// the process: the next wait() reports the display gone.
void on_io_error_exit(Display*, void*) { g_lost = true; }

Shown* shown_of(::Window xid) {
  for (auto& entry : g_conn->shown)
    if (entry.second->xid == xid) return entry.second.get();
  return nullptr;
}

int clamp_side(long v) { return static_cast<int>(std::min<long>(std::max<long>(v, 1), kMaxSide)); }

// The client area in screen coordinates.
RECT client_on_screen(HWND hwnd) {
  RECT c = {0, 0, 0, 0};
  GetClientRect(hwnd, &c);
  POINT o = {0, 0};
  ClientToScreen(hwnd, &o);
  return RECT{o.x, o.y, o.x + c.right, o.y + c.bottom};
}

// ---- Images ----

void free_image(Shown& s) {
  Connection& c = *g_conn;
  if (s.image) {
    if (s.shared) {
      XShmDetach(c.dpy, &s.shm);
      XSync(c.dpy, False);
    }
    s.image->data = nullptr;  // ours, freed below
    XDestroyImage(s.image);
    s.image = nullptr;
  }
  if (s.shared && s.shm.shmaddr) shmdt(s.shm.shmaddr);
  s.shm = {};
  s.shared = false;
  s.pixels.clear();
  s.pixels.shrink_to_fit();
  s.width = s.height = 0;
}

bool make_shared_image(Shown& s, int w, int h) {
  Connection& c = *g_conn;
  if (!c.shm_offered || !c.direct) return false;
  XImage* img = XShmCreateImage(c.dpy, c.visual, static_cast<unsigned>(c.depth), ZPixmap, nullptr, &s.shm,
                                static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (!img) return false;
  const size_t bytes = size_t(img->bytes_per_line) * size_t(h);
  s.shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (s.shm.shmid < 0) {
    XDestroyImage(img);
    return false;
  }
  void* at = shmat(s.shm.shmid, nullptr, 0);
  // Marked for removal at once: it goes when the last of us detaches.
  shmctl(s.shm.shmid, IPC_RMID, nullptr);
  if (at == reinterpret_cast<void*>(-1)) {
    XDestroyImage(img);
    return false;
  }
  s.shm.shmaddr = img->data = static_cast<char*>(at);
  s.shm.readOnly = False;
  g_x_error = 0;
  XShmAttach(c.dpy, &s.shm);
  XSync(c.dpy, False);
  if (g_x_error) {
    // A server on another machine cannot reach our memory: plain images.
    c.shm_offered = false;
    img->data = nullptr;
    XDestroyImage(img);
    shmdt(at);
    s.shm = {};
    return false;
  }
  s.image = img;
  s.shared = true;
  return true;
}

bool make_image(Shown& s, int w, int h) {
  free_image(s);
  Connection& c = *g_conn;
  if (!make_shared_image(s, w, h)) {
    s.pixels.assign(size_t(w) * size_t(h), 0xFFFFFFFFu);
    if (c.direct) {
      s.image = XCreateImage(c.dpy, c.visual, static_cast<unsigned>(c.depth), ZPixmap, 0,
                             reinterpret_cast<char*>(s.pixels.data()), static_cast<unsigned>(w),
                             static_cast<unsigned>(h), 32, w * 4);
    } else {
      s.image = XCreateImage(c.dpy, c.visual, static_cast<unsigned>(c.depth), ZPixmap, 0, nullptr,
                             static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
      if (s.image) {
        s.image->data = static_cast<char*>(std::calloc(size_t(s.image->bytes_per_line) * size_t(h), 1));
        if (!s.image->data) {
          XDestroyImage(s.image);
          s.image = nullptr;
        }
      }
    }
    if (!s.image) {
      s.pixels.clear();
      return false;
    }
    // Our words are in this machine's byte order; Xlib swaps when the
    // server's differs.
    const uint32_t probe = 1;
    s.image->byte_order = *reinterpret_cast<const uint8_t*>(&probe) ? LSBFirst : MSBFirst;
  }
  s.width = w;
  s.height = h;
  return true;
}

void destroy_converted_data(Shown& s) {
  if (s.image && !s.shared && !g_conn->direct) {
    std::free(s.image->data);
    s.image->data = nullptr;
  }
}

// The pixel value of a visual of any masks for 0x00RRGGBB.
unsigned long pixel_of(const Visual& v, uint32_t rgb) {
  auto part = [](unsigned long mask, uint32_t c8) -> unsigned long {
    if (!mask) return 0;
    const int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
    const unsigned long c = bits <= 8 ? c8 >> (8 - bits) : static_cast<unsigned long>(c8) << (bits - 8);
    return (c << shift) & mask;
  };
  return part(v.red_mask, (rgb >> 16) & 0xFF) | part(v.green_mask, (rgb >> 8) & 0xFF) | part(v.blue_mask, rgb & 0xFF);
}

// The words the screen shows of the image, row by row `width` apart.
uint32_t* shown_words(Shown& s) {
  if (s.shared) return reinterpret_cast<uint32_t*>(s.image->data);
  return s.pixels.data();
}

void put(Shown& s, int x, int y, int w, int h) {
  Connection& c = *g_conn;
  x = std::max(x, 0), y = std::max(y, 0);
  w = std::min(w, s.width - x), h = std::min(h, s.height - y);
  if (!s.image || w <= 0 || h <= 0) return;
  if (s.shared) {
    XShmPutImage(c.dpy, s.xid, c.gc, s.image, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), False);
    // The memory is written again only after the server has read it.
    XSync(c.dpy, False);
  } else {
    XPutImage(c.dpy, s.xid, c.gc, s.image, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
  }
}

// Shows what the window and its children painted: only the rows that
// changed since the last time go to the server.
void present(Shown& s) {
  Connection& c = *g_conn;
  int w = 0, h = 0;
  if (!qm_user_window_image(s.hwnd, &c.composed, &w, &h) || w <= 0 || h <= 0) return;
  const int iw = std::min(w, kMaxSide), ih = std::min(h, kMaxSide);
  bool fresh = false;
  if (!s.image || s.width != iw || s.height != ih) {
    destroy_converted_data(s);
    if (!make_image(s, iw, ih)) return;
    fresh = true;
  }
  uint32_t* screen = shown_words(s);
  int top = ih, bottom = -1;
  for (int y = 0; y < ih; ++y) {
    const uint32_t* from = c.composed.data() + size_t(y) * size_t(w);
    uint32_t* to = screen + size_t(y) * size_t(iw);
    if (!fresh && std::memcmp(from, to, size_t(iw) * 4) == 0) continue;
    std::memcpy(to, from, size_t(iw) * 4);
    if (!c.direct)
      for (int x = 0; x < iw; ++x) {
        const uint32_t p = from[x];
        XPutPixel(s.image, x, y, pixel_of(*c.visual, p));
      }
    top = std::min(top, y);
    bottom = y;
  }
  if (bottom >= top) put(s, 0, top, iw, bottom - top + 1);
}

// ---- Windows ----

void set_title(Shown& s, const std::string& gbk) {
  Connection& c = *g_conn;
  const std::string utf8 = qm_gbk_to_utf8(gbk);
  XChangeProperty(c.dpy, s.xid, c.net_wm_name, c.utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  // Window managers that know only WM_NAME get the ASCII of it.
  std::string ascii;
  for (char ch : utf8) ascii += (static_cast<unsigned char>(ch) < 0x80) ? ch : '?';
  XStoreName(c.dpy, s.xid, ascii.c_str());
  s.title = gbk;
}

std::string window_text(HWND hwnd) {
  const int n = GetWindowTextLengthA(hwnd);
  std::string t(size_t(std::max(n, 0)) + 1, '\0');
  const int got = GetWindowTextA(hwnd, &t[0], static_cast<int>(t.size()));
  t.resize(size_t(std::max(got, 0)));
  return t;
}

// The window's big icon as _NET_WM_ICON (width, height, then ARGB rows, each
// a long), or none.
void set_icon(Shown& s) {
  Connection& c = *g_conn;
  const HICON icon = reinterpret_cast<HICON>(SendMessageA(s.hwnd, WM_GETICON, ICON_BIG, 0));
  s.icon = icon;
  QmPixels px;
  if (!icon || !qm_user_icon_pixels(icon, &px)) {
    XDeleteProperty(c.dpy, s.xid, c.net_wm_icon);
    return;
  }
  std::vector<unsigned long> data = {static_cast<unsigned long>(px.width), static_cast<unsigned long>(px.height)};
  data.insert(data.end(), px.argb.begin(), px.argb.end());
  XChangeProperty(c.dpy, s.xid, c.net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

void show(HWND hwnd) {
  Connection& c = *g_conn;
  auto s = std::make_unique<Shown>();
  s->hwnd = hwnd;
  const RECT r = client_on_screen(hwnd);
  XSetWindowAttributes a = {};
  a.background_pixel = WhitePixel(c.dpy, c.screen);
  a.bit_gravity = NorthWestGravity;
  a.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                 ButtonReleaseMask | PointerMotionMask | LeaveWindowMask | FocusChangeMask;
  // A topmost pop-up without a caption (a tooltip, a drop-down list) is
  // placed by us alone, over everything, with no frame of the window manager.
  const bool override = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
                        (GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
  a.override_redirect = override ? True : False;
  s->xid = XCreateWindow(c.dpy, c.root, r.left, r.top, static_cast<unsigned>(clamp_side(r.right - r.left)),
                         static_cast<unsigned>(clamp_side(r.bottom - r.top)), 0, c.depth, InputOutput, c.visual,
                         CWBackPixel | CWBitGravity | CWEventMask | CWOverrideRedirect, &a);
  XSetWMProtocols(c.dpy, s->xid, &c.wm_delete, 1);
  XSizeHints hints = {};
  hints.flags = PPosition | PSize;
  hints.x = r.left, hints.y = r.top;
  hints.width = clamp_side(r.right - r.left), hints.height = clamp_side(r.bottom - r.top);
  XSetWMNormalHints(c.dpy, s->xid, &hints);
  if (HWND owner = GetWindow(hwnd, GW_OWNER)) {
    auto o = c.shown.find(owner);
    if (o != c.shown.end()) XSetTransientForHint(c.dpy, s->xid, o->second->xid);
  }
  set_title(*s, window_text(hwnd));
  set_icon(*s);
  GetWindowRect(hwnd, &s->rect);
  XMapWindow(c.dpy, s->xid);
  c.cursor_set = false;
  c.shown.emplace(hwnd, std::move(s));
}

// Takes the window off the display; `x_window_gone` when the X window was
// destroyed already (from outside the program).
void unshow(std::map<HWND, std::unique_ptr<Shown>>::iterator it, bool x_window_gone = false) {
  Connection& c = *g_conn;
  Shown& s = *it->second;
  destroy_converted_data(s);
  free_image(s);
  if (!x_window_gone) XDestroyWindow(c.dpy, s.xid);
  if (c.grab == s.hwnd) c.grab = nullptr;
  if (c.press_hwnd == s.hwnd) c.press_hwnd = nullptr;
  c.shown.erase(it);
}

// Follows a move or resize the program made.
void follow_rect(Shown& s) {
  RECT now;
  GetWindowRect(s.hwnd, &now);
  if (std::memcmp(&now, &s.rect, sizeof now) == 0) return;
  s.rect = now;
  const RECT r = client_on_screen(s.hwnd);
  XMoveResizeWindow(g_conn->dpy, s.xid, r.left, r.top, static_cast<unsigned>(clamp_side(r.right - r.left)),
                    static_cast<unsigned>(clamp_side(r.bottom - r.top)));
}

// Follows a move or resize the user (or the window manager) made.
void follow_configure(Shown& s, const XConfigureEvent& e) {
  int x = 0, y = 0;
  ::Window child;
  XTranslateCoordinates(g_conn->dpy, s.xid, g_conn->root, 0, 0, &x, &y, &child);
  const RECT client = client_on_screen(s.hwnd);
  const int w = clamp_side(e.width), h = clamp_side(e.height);
  if (client.left == x && client.top == y && client.right - client.left == w && client.bottom - client.top == h) return;
  RECT win;
  GetWindowRect(s.hwnd, &win);
  // The frame keeps its size around the client.
  const LONG extra_w = (win.right - win.left) - (client.right - client.left);
  const LONG extra_h = (win.bottom - win.top) - (client.bottom - client.top);
  SetWindowPos(s.hwnd, nullptr, x - (client.left - win.left), y - (client.top - win.top), w + extra_w, h + extra_h,
               SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(s.hwnd, &s.rect);
}

// ---- Cursors ----

Cursor font_cursor(unsigned shape) {
  Connection& c = *g_conn;
  auto it = c.font_cursors.find(shape);
  if (it != c.font_cursors.end()) return it->second;
  const Cursor x = XCreateFontCursor(c.dpy, shape);
  c.font_cursors.emplace(shape, x);
  return x;
}

// A cursor of the program's own picture (qm_user_cursor_pixels) as an X
// cursor of two colours: dark pixels black, light ones white, clear ones
// not drawn. 0 when the cursor has no picture.
Cursor picture_cursor(HCURSOR h) {
  Connection& c = *g_conn;
  QmPixels px;
  constexpr int kMaxCursorSide = 64;
  if (!qm_user_cursor_pixels(h, &px) || px.width <= 0 || px.height <= 0 || px.width > kMaxCursorSide ||
      px.height > kMaxCursorSide)
    return 0;
  const int stride = (px.width + 7) / 8;
  std::vector<char> ink(size_t(stride) * size_t(px.height), 0), mask(ink.size(), 0);
  for (int y = 0; y < px.height; ++y)
    for (int x = 0; x < px.width; ++x) {
      const uint32_t p = px.argb[size_t(y) * size_t(px.width) + size_t(x)];
      if ((p >> 24) < 128) continue;
      const unsigned light = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
      const size_t at = size_t(y) * size_t(stride) + size_t(x / 8);
      const char bit = static_cast<char>(1 << (x % 8));
      mask[at] = static_cast<char>(mask[at] | bit);
      if (light < 3 * 128) ink[at] = static_cast<char>(ink[at] | bit);
    }
  const unsigned w = static_cast<unsigned>(px.width), hh = static_cast<unsigned>(px.height);
  const Pixmap source = XCreateBitmapFromData(c.dpy, c.root, ink.data(), w, hh);
  const Pixmap shape = XCreateBitmapFromData(c.dpy, c.root, mask.data(), w, hh);
  XColor black = {}, white = {};
  white.red = white.green = white.blue = 0xFFFF;
  const unsigned hot_x = static_cast<unsigned>(std::min(std::max(0, static_cast<int>(px.hotspot.x)), px.width - 1));
  const unsigned hot_y = static_cast<unsigned>(std::min(std::max(0, static_cast<int>(px.hotspot.y)), px.height - 1));
  const Cursor cursor = XCreatePixmapCursor(c.dpy, source, shape, &black, &white, hot_x, hot_y);
  XFreePixmap(c.dpy, source);
  XFreePixmap(c.dpy, shape);
  return cursor;
}

Cursor cursor_for(HCURSOR h) {
  Connection& c = *g_conn;
  if (!h) {
    // No cursor: an empty one.
    if (!c.blank) {
      char none = 0;
      const Pixmap p = XCreateBitmapFromData(c.dpy, c.root, &none, 1, 1);
      XColor black = {};
      c.blank = XCreatePixmapCursor(c.dpy, p, p, &black, &black, 0, 0);
      XFreePixmap(c.dpy, p);
    }
    return c.blank;
  }
  auto known = c.picture_cursors.find(h);
  if (known == c.picture_cursors.end()) known = c.picture_cursors.emplace(h, picture_cursor(h)).first;
  return known->second ? known->second : font_cursor(x11_cursor_shape(qm_user_cursor_name(h)));
}

// ---- Input ----

void mouse(Shown& s, UINT msg, int x, int y) {
  POINT local = {x, y};
  // A captured mouse goes to the capture window whatever it is over; the
  // window system takes the point from the top-level's client coordinates.
  HWND target = GetCapture() ? s.hwnd : qm_user_window_at(s.hwnd, x, y, local);
  qm_user_mouse(target, msg, local.x, local.y);
}

void button(Shown& s, const XButtonEvent& e, bool press) {
  Connection& c = *g_conn;
  if (e.button == Button4 || e.button == Button5) {
    if (!press) return;
    POINT local;
    HWND target = qm_user_window_at(s.hwnd, e.x, e.y, local);
    qm_user_wheel(target, e.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA, local.x, local.y);
    return;
  }
  static const UINT kMessages[3][3] = {{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
                                       {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
                                       {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK}};
  if (e.button < Button1 || e.button > Button3) return;
  const UINT* m = kMessages[e.button - Button1];
  if (!press) {
    mouse(s, m[1], e.x, e.y);
    return;
  }
  POINT local;
  HWND target = GetCapture() ? GetCapture() : qm_user_window_at(s.hwnd, e.x, e.y, local);
  const bool twice = c.press_hwnd == s.hwnd && c.press_button == e.button &&
                     e.time - c.press_time <= GetDoubleClickTime() && std::abs(e.x - c.press_x) <= kDoubleClickSlop &&
                     std::abs(e.y - c.press_y) <= kDoubleClickSlop && (GetClassLongA(target, GCL_STYLE) & CS_DBLCLKS);
  mouse(s, twice ? m[2] : m[0], e.x, e.y);
  // A double click ends the pair: a third press starts a new one.
  c.press_hwnd = twice ? nullptr : s.hwnd;
  c.press_button = e.button;
  c.press_time = e.time;
  c.press_x = e.x, c.press_y = e.y;
}

void key(Shown& s, XKeyEvent& e, bool press) {
  Connection& c = *g_conn;
  if (!press && XEventsQueued(c.dpy, QueuedAfterReading)) {
    // A held key repeats as release and press at the same moment: the
    // release is not passed on, so the program sees repeated presses.
    XEvent next;
    XPeekEvent(c.dpy, &next);
    if (next.type == KeyPress && next.xkey.keycode == e.keycode && next.xkey.time == e.time) return;
  }
  // Keys go to the window with the focus, as on Windows, whichever of the
  // program's windows X gave them to: without a window manager X gives them
  // to the window under the pointer, which may be the owner a modal dialog
  // has disabled.
  HWND focus = GetFocus();
  if (!focus || !IsWindow(focus)) focus = s.hwnd;
  char text[16];
  KeySym typed = NoSymbol;
  XLookupString(&e, text, sizeof text, &typed, nullptr);
  const UINT vk = x11_virtual_key(XLookupKeysym(&e, 0));
  if (vk) {
    qm_user_key(focus, vk, press);
    return;
  }
  // A key with no virtual-key code that types a character (a letter of
  // another language) gives the character, in GBK.
  if (!press) return;
  const std::string gbk = qm_utf8_to_gbk(x11_keysym_utf8(typed));
  for (char ch : gbk) PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void focus_in(Shown& s) {
  HWND f = GetFocus();
  if (f == s.hwnd || (f && IsChild(s.hwnd, f))) return;
  HWND back = s.last_focus && IsWindow(s.last_focus) && IsChild(s.hwnd, s.last_focus) ? s.last_focus : s.hwnd;
  SetFocus(back);
}

void focus_out(Shown& s) {
  HWND f = GetFocus();
  if (f == s.hwnd || (f && IsChild(s.hwnd, f))) s.last_focus = f;
}

void handle(XEvent& ev) {
  Connection& c = *g_conn;
  if (ev.type == MappingNotify) {
    XRefreshKeyboardMapping(&ev.xmapping);
    return;
  }
  // Events of windows already gone are dropped.
  Shown* s = shown_of(ev.xany.window);
  if (!s || !IsWindow(s->hwnd)) return;
  switch (ev.type) {
    case Expose: put(*s, ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height); break;
    case ConfigureNotify: follow_configure(*s, ev.xconfigure); break;
    case MotionNotify: {
      // Of moves that follow one another only the last counts; a move
      // after a button or key stays after it.
      XEvent next;
      while (XEventsQueued(c.dpy, QueuedAlready) && (XPeekEvent(c.dpy, &next), next.type == MotionNotify) &&
             next.xmotion.window == s->xid)
        XNextEvent(c.dpy, &ev);
      mouse(*s, WM_MOUSEMOVE, ev.xmotion.x, ev.xmotion.y);
      break;
    }
    case ButtonPress:
    case ButtonRelease: button(*s, ev.xbutton, ev.type == ButtonPress); break;
    case LeaveNotify:
      // Out of the window (not into a grab): no window of ours is under the pointer.
      if (ev.xcrossing.mode == NotifyNormal) qm_user_pointer_left();
      break;
    case KeyPress:
    case KeyRelease: key(*s, ev.xkey, ev.type == KeyPress); break;
    case FocusIn: focus_in(*s); break;
    case FocusOut: focus_out(*s); break;
    case ClientMessage:
      if (ev.xclient.message_type == c.wm_protocols && static_cast<Atom>(ev.xclient.data.l[0]) == c.wm_delete)
        PostMessageA(s->hwnd, WM_CLOSE, 0, 0);
      break;
    case DestroyNotify:
      // Destroyed by another client (ours are taken off the display first):
      // the window is asked to close, as by the window manager's close; if
      // it stays, it shows again in a new X window.
      if (ev.xdestroywindow.window == s->xid) {
        const HWND hwnd = s->hwnd;
        unshow(c.shown.find(hwnd), true);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
      }
      break;
    default: break;
  }
}

// ---- Keeping in step ----

void sync_windows() {
  Connection& c = *g_conn;
  std::vector<HWND> visible;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
    if (IsWindowVisible(h)) visible.push_back(h);
  for (auto it = c.shown.begin(); it != c.shown.end();) {
    auto next = std::next(it);
    if (std::find(visible.begin(), visible.end(), it->first) == visible.end()) unshow(it);
    it = next;
  }
  for (HWND h : visible)
    if (!c.shown.count(h)) show(h);
  for (auto& entry : c.shown) {
    Shown& s = *entry.second;
    follow_rect(s);
    const std::string t = window_text(s.hwnd);
    if (t != s.title) set_title(s, t);
    if (reinterpret_cast<HICON>(SendMessageA(s.hwnd, WM_GETICON, ICON_BIG, 0)) != s.icon) set_icon(s);
    present(s);
  }
  HCURSOR cur = GetCursor();
  if (!c.cursor_set || cur != c.cursor) {
    const Cursor x = cursor_for(cur);
    for (auto& entry : c.shown) XDefineCursor(c.dpy, entry.second->xid, x);
    c.cursor = cur;
    c.cursor_set = true;
  }
  // A capture holds the pointer even when no button is down.
  HWND capture = GetCapture();
  HWND top = capture;
  while (top && GetParent(top)) top = GetParent(top);
  auto held = top ? c.shown.find(top) : c.shown.end();
  HWND want = held != c.shown.end() ? top : nullptr;
  if (want != c.grab) {
    if (c.grab) XUngrabPointer(c.dpy, CurrentTime);
    c.grab = nullptr;
    if (want && XGrabPointer(c.dpy, held->second->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                             GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess)
      c.grab = want;
  }
}

bool x11_wait(int timeout_ms) {
  if (!g_conn || g_lost) return false;
  Connection& c = *g_conn;
  sync_windows();
  XFlush(c.dpy);
  if (g_lost) return false;
  if (c.shown.empty()) return false;
  if (!XPending(c.dpy) && timeout_ms != 0) {
    pollfd p = {ConnectionNumber(c.dpy), POLLIN, 0};
    poll(&p, 1, timeout_ms);
  }
  // One piece of input at a time: the program handles it, and paints what
  // it changed, before the next is taken, as when the steps are injected.
  const size_t queued = qm_user_queued_message_count();
  while (!g_lost && XPending(c.dpy) && qm_user_queued_message_count() == queued) {
    XEvent ev;
    XNextEvent(c.dpy, &ev);
    handle(ev);
  }
  return !g_lost;
}

bool x11_close() {
  Connection* c = g_conn;
  if (!c) return !g_lost;
  const bool fine = !g_lost;
  if (fine) {
    while (!c->shown.empty()) unshow(c->shown.begin());
    for (auto& entry : c->font_cursors) XFreeCursor(c->dpy, entry.second);
    for (auto& entry : c->picture_cursors)
      if (entry.second) XFreeCursor(c->dpy, entry.second);
    if (c->blank) XFreeCursor(c->dpy, c->blank);
    XFreeGC(c->dpy, c->gc);
    XCloseDisplay(c->dpy);
    delete c;
    g_conn = nullptr;
  }
  // A lost connection is left as it is: Xlib cannot close it.
  return fine;
}

const QmDisplay kDisplay = {x11_wait, x11_close};

}  // namespace

// Opens the X display `name` and puts it under the window system. 0 with the
// reason in `error` when it cannot be opened or shows no colour the windows
// can use.
extern "C" __attribute__((visibility("default"))) int qm_x11_attach(const char* name, char* error, size_t size) {
  auto fail = [&](const char* why) {
    if (error && size) std::snprintf(error, size, "%s", why);
    return 0;
  };
  if (g_conn) return fail("a display is open already");
  // Cleared before the first request: a loss during the requests below
  // must stay seen, or the program would run on against a dead connection.
  g_lost = false;
  XSetErrorHandler(on_x_error);
  XSetIOErrorHandler(on_io_error);
  Display* dpy = XOpenDisplay(name);
  if (!dpy) return fail("the connection was refused");
  XSetIOErrorExitHandler(dpy, on_io_error_exit, nullptr);
  auto* c = new Connection;
  c->dpy = dpy;
  c->screen = DefaultScreen(dpy);
  c->root = RootWindow(dpy, c->screen);
  c->visual = DefaultVisual(dpy, c->screen);
  c->depth = DefaultDepth(dpy, c->screen);
  if (c->visual->c_class != TrueColor || c->depth < 15) {
    XCloseDisplay(dpy);
    delete c;
    return fail("the display has no true-colour visual");
  }
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(dpy, &count);
  int bpp = 0;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == c->depth) bpp = formats[i].bits_per_pixel;
  if (formats) XFree(formats);
  c->direct =
      bpp == 32 && c->visual->red_mask == 0xFF0000 && c->visual->green_mask == 0xFF00 && c->visual->blue_mask == 0xFF;
  c->shm_offered = XShmQueryExtension(dpy) == True;
  c->gc = XCreateGC(dpy, c->root, 0, nullptr);
  c->wm_protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
  c->wm_delete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  c->net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
  c->utf8_string = XInternAtom(dpy, "UTF8_STRING", False);
  c->net_wm_icon = XInternAtom(dpy, "_NET_WM_ICON", False);
  if (g_lost) {
    // The connection is dead, so nothing is sent: these only free memory.
    XFreeGC(dpy, c->gc);
    XCloseDisplay(dpy);
    delete c;
    return fail("the connection was lost while it was being opened");
  }
  g_conn = c;
  // The screen the window system places its windows on (tips, menus, open
  // lists, dialogs kept on the screen) is the display's own.
  QmGdiSetScreen(DisplayWidth(dpy, c->screen), DisplayHeight(dpy, c->screen), 32, 96);
  qm_user_set_display(&kDisplay);
  return 1;
}

// Whether images reach the server through shared memory (for the tests).
extern "C" __attribute__((visibility("default"))) int qm_x11_uses_shared_memory() {
  return g_conn && g_conn->shm_offered && g_conn->direct;
}

// The X window that shows a top-level window, 0 for none.
extern "C" __attribute__((visibility("default"))) unsigned long qm_x11_window(HWND hwnd) {
  if (!g_conn) return 0;
  auto it = g_conn->shown.find(hwnd);
  return it == g_conn->shown.end() ? 0 : it->second->xid;
}
