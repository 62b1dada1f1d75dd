// The state of the headless window system, shared by its source files.
//
// Window handles are numbers handed out once and never reused, looked up in
// a table, so a stale or foreign handle is simply not found. A window object
// is held by shared pointers: a window destroyed from inside one of its own
// message handlers stays alive until that handler returns.
#pragma once

#include <qm_user.h>
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace qmuser {

struct WindowClass {
  WNDCLASSA wc;
  std::string name;  // lower-cased; class names compare without regard to case
  ATOM atom;
};

// Pixel memory that device contexts draw on: a whole window, frame included,
// or the screen. Allocated when the first DC is taken, kept until the window
// goes. Client DCs draw on the part that is the client area.
struct Pixels {
  std::vector<uint32_t> data;  // top-down rows of 0x00RRGGBB
  int width = 0, height = 0;
  RECT client = {0, 0, 0, 0};   // where the client area lies in them
  std::vector<HDC> dcs;         // client DCs handed out and not yet released
  std::vector<HDC> window_dcs;  // the same for GetWindowDC
};

// A range, page and position of a scroll bar.
struct ScrollState {
  int min = 0, max = 0, page = 0, pos = 0;
  bool hidden = false;  // a window's bar with nothing to scroll steps aside
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD ex_style = 0;
  HWND parent = nullptr;  // the parent of a child window
  HWND owner = nullptr;   // the owner of a top-level window
  std::vector<HWND> children;  // in creation order
  HINSTANCE instance = nullptr;
  LONG_PTR id = 0;
  LONG_PTR user_data = 0;
  std::vector<uint8_t> extra;  // cbWndExtra bytes
  std::string text;            // GBK bytes
  RECT rect = {0, 0, 0, 0};    // in the parent's client coordinates (screen for top level)
  RECT client = {0, 0, 0, 0};  // client area within the window rectangle
  bool has_update = false;
  RECT update = {0, 0, 0, 0};  // bounding rectangle of what needs painting, client coordinates
  bool erase = false;
  bool frame_update = false;  // WM_NCPAINT is owed before the next paint
  bool destroying = false;
  Pixels pixels;  // sized to the window rectangle (window_dc.cpp)
  HICON icons[2] = {nullptr, nullptr};  // WM_SETICON's, by ICON_SMALL and ICON_BIG
  ScrollState scroll[2];  // the WS_HSCROLL (SB_HORZ) and WS_VSCROLL (SB_VERT) bars
  // Client rectangles the window leaves to what lies under it: its parent's
  // own painting shows there (a group box's inside, an empty static).
  std::vector<RECT> see_through;
};

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  TIMERPROC proc;
  uint64_t due;
  uint64_t order;    // set order, for ties
  bool pending;      // a WM_TIMER of this timer waits in the queue
};

struct State {
  std::unordered_map<uintptr_t, std::shared_ptr<Window>> windows;
  std::vector<HWND> top_level;  // in creation order
  uintptr_t next_handle = 0x10000;
  std::vector<std::shared_ptr<WindowClass>> classes;
  ATOM next_atom = 0xC000;

  std::deque<MSG> queue;
  bool quit = false;
  int quit_code = 0;
  DWORD last_message_time = 0;

  uint64_t clock = 0;
  std::vector<Timer> timers;
  uint64_t timer_order = 0;
  UINT_PTR next_thread_timer = 1;

  uint8_t async_keys[256] = {};  // bit 0x80 down, bit 0x01 toggled
  uint8_t sync_keys[256] = {};
  POINT cursor = {0, 0};
  HWND capture = nullptr;
  HWND focus = nullptr;
  HWND mouse_tracked = nullptr;  // TrackMouseEvent's window, told when the pointer leaves
  HCURSOR cursor_handle = nullptr;
  bool cursor_clipped = false;
  RECT cursor_clip = {0, 0, 0, 0};  // where ClipCursor keeps the cursor
  Pixels screen;
  // Window moves deferred by DeferWindowPos, per set.
  std::map<uintptr_t, std::vector<WINDOWPOS>> deferred;
  uintptr_t next_defer = 1;
};

State& state();
Window* find(HWND hwnd);
std::shared_ptr<Window> hold(HWND hwnd);
// The client area's origin in screen coordinates.
POINT client_origin(const Window& w);
// Calls a window's procedure, keeping the window alive during the call.
LRESULT call_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Appends a message to the queue; false when the queue is full.
bool post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, DWORD time, POINT pt);
// Takes out of the queue everything addressed to a window, and its timers.
void forget_window_messages(HWND hwnd);
void kill_window_timers(HWND hwnd);
void clear_timers();
void clear_cursors();
// A resource's name as the window system keys it: "#12" for a number (given
// as MAKEINTRESOURCE or as the text "#12"), the lower-cased name otherwise.
std::string resource_key(LPCSTR name);
// Keeps a screen point inside the ClipCursor rectangle.
POINT clip_cursor_point(POINT p);
void clear_clipboard();
// The text edit controls cut, copy and paste (clipboard.cpp): setting it
// empties the clipboard first; false when the clipboard is held open or
// holds no text.
bool set_clipboard_text(HWND owner, const std::string& text);
bool clipboard_text(std::string& text);
void clear_message_boxes();
void clear_file_dialogs();
void clear_folder_dialogs();
void clear_shell_requests();
// Forgets the popup menus shown and the answers queued for them.
void clear_popups();
// Shows a popup menu as a window the user answers (popup_menu.cpp): the
// command chosen, 0 when dismissed.
UINT run_popup_menu(HMENU menu, UINT flags, int x, int y, HWND owner);
void clear_popup_steps();
// Forgets the colour and font dialogs shown and their queued answers.
void clear_choosers();
// What DefWindowProc does for WM_NCPAINT and WM_NCHITTEST (frame.cpp).
void paint_default_frame(HWND hwnd);
LRESULT default_hit_test(HWND hwnd, POINT screen);
// The tab control that Ctrl+Tab turns from a window: the first shown,
// enabled one among the children of the window or of its parents (tab.cpp).
HWND nearest_tab_control(HWND from);

// ---- The scroll bars of WS_HSCROLL / WS_VSCROLL windows (scroll_bar.cpp) ----
// Takes the room of the window's shown bars from a client rectangle.
void carve_scroll_bars(const Window& w, RECT& client);
// Paints the window's bars on its window DC; HTVSCROLL or HTHSCROLL for a
// window point on one of them, else HTNOWHERE.
void paint_scroll_bars(HWND hwnd, HDC window_dc);
LRESULT scroll_bar_hit(HWND hwnd, POINT window_point);
// A press on a window's bar (HTVSCROLL, HTHSCROLL) at a screen point.
void press_scroll_bar(HWND hwnd, LRESULT hit, POINT screen);
// Follows a change of the window or client rectangle with the window's pixels.
void resize_pixels(Window& w);
// Hides every tooltip shown or about to show (a click or a key does).
void hide_tooltips();
// Registers the standard or common control class of that name; false for
// another name.
bool register_control_class(LPCSTR name);
// The font the window system draws its own text in (controls without a
// font of their own, message boxes): a sans serif 8 points high, made once.
HFONT gui_font();
// Frees the device contexts still handed out on some pixels.
void release_dcs(Pixels& p);

// ---- The common dialogs as windows on a display (dialog_window.cpp) ----
// What such a dialog keeps (its user data) derives from this.
struct DialogWindowState {
  bool done = false;  // the dialog has been answered or closed
};
// A popup on the button face centred over the owner (the screen without
// one), its user data `data`; shown by run_dialog_window.
HWND make_dialog_window(const char* class_name, WNDPROC proc, const std::string& caption, int width, int height,
                        HWND owner, DialogWindowState* data);
HWND add_control(HWND dialog, const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, int id);
// What every such dialog's procedure does first: a message before its state
// is set goes to DefWindowProc, WM_CLOSE ends the dialog as Cancel would,
// and anything but a command goes to DefWindowProc. The state when `msg` is
// a command for the procedure to handle; null with `*result` set otherwise.
DialogWindowState* dialog_command(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* result);
// Shows the dialog (the owner disabled meanwhile), the focus on `focus` or
// else its first tab stop, until done(); then destroys it. False when the
// program was asked to end meanwhile.
bool run_dialog_window(HWND dialog, HWND owner, HWND focus, const std::function<bool()>& done);
std::string window_text(HWND h);
// The open or save dialog the user answers: true with the path chosen, and
// the file type chosen last as d's filter index.
bool run_file_window(QmFileDialog& d, std::string& path);
// The colour dialog: true with the basic colour chosen.
bool run_color_window(HWND owner, bool has_initial, COLORREF initial, COLORREF& chosen);
// The font dialog, starting from that face, size (tenths of a point) and
// style: true with `a` filled.
bool run_font_window(HWND owner, const std::string& face, int point_size, LONG weight, bool italic, QmFontAnswer& a);

inline HWND to_hwnd(uintptr_t v) { return reinterpret_cast<HWND>(v); }
inline uintptr_t from_hwnd(HWND h) { return reinterpret_cast<uintptr_t>(h); }
inline LONG rect_width(const RECT& r) { return r.right - r.left; }
inline LONG rect_height(const RECT& r) { return r.bottom - r.top; }

}  // namespace qmuser
