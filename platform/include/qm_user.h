// The driving side of the headless window system: what a test (or a host
// that has no display) uses to advance the virtual clock, inject mouse and
// keyboard input, script message-box answers and read what was shown.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// ---- The virtual clock ----
// Milliseconds since the last reset; starts at 0 and moves only here.
DWORD qm_user_clock();
// Moves the clock forward by ms. Every timer that falls due on the way posts
// WM_TIMER in the order the timers fall due (timers due at the same moment in
// the order they were set). A timer never has more than one WM_TIMER
// waiting, so periods that pass before the queue is pumped fold into one.
void qm_user_advance_clock(DWORD ms);

// ---- Injected input ----
// Posts a mouse message (WM_MOUSEMOVE .. WM_MBUTTONDBLCLK) for the client
// point (x, y) of hwnd. The button state and the Shift and Control keys make
// the MK_ flags of wParam; a button-down message presses its button first,
// a button-up message releases it first. The cursor moves to the point. With
// a capture window, the capture window receives the message with the point in
// its own client coordinates. Without one, the window is asked first what
// lies under the point (WM_NCHITTEST) and sets the cursor; where it answers
// a part of its frame (neither HTCLIENT nor HTNOWHERE), the non-client
// message (WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN...) is posted instead, with the
// hit code and the screen point. A point outside the window is taken as
// one in its client area. FALSE for another message, an unknown window or
// (without a capture) a hidden or disabled one; nothing is posted then.
BOOL qm_user_mouse(HWND hwnd, UINT msg, int x, int y);
// The window the mouse input at a client point of `top` goes to, as the
// window system routes a real pointer: the deepest visible child under the
// point, passing over a child that answers WM_NCHITTEST with HTTRANSPARENT
// (a static without SS_NOTIFY) to its parent. (x, y) is a client point of
// `top`; `local` receives it in the client coordinates of the window answered.
HWND qm_user_window_at(HWND top, int x, int y, POINT& local);
// The pointer left the program's windows (a display says so): the window
// that tracks the mouse is told (WM_MOUSELEAVE).
void qm_user_pointer_left();
// Posts WM_MOUSEWHEEL to hwnd: wParam holds delta in its high word and the
// MK_ flags in its low word, lParam the screen point of the client point.
BOOL qm_user_wheel(HWND hwnd, int delta, int x, int y);
// Presses (down) or releases a key and posts WM_KEYDOWN or WM_KEYUP to
// hwnd, or to the focus window when hwnd is null. The asynchronous key state
// changes at once; the state GetKeyState reports changes when the message is
// taken from the queue. Without a target only the key state changes.
BOOL qm_user_key(HWND hwnd, UINT vk, bool down);

// ---- Controls driven as a user would ----
// Selects an item of a list box, combo box or tab control and sends what the
// user's choice sends (LBN_SELCHANGE with LBS_NOTIFY, CBN_SELCHANGE,
// TCN_SELCHANGING then TCN_SELCHANGE); FALSE for a disabled control, another
// window or an index out of range.
BOOL qm_user_pick(HWND control, int index);
// Replaces the text of an edit control (EN_UPDATE, then EN_CHANGE; the caret
// ends behind the text; what passes its EM_LIMITTEXT is not typed) or of a combo box's edit field (CBN_EDITCHANGE);
// FALSE when read-only, disabled or not such a control.
BOOL qm_user_type(HWND control, LPCSTR text);

// ---- Menus ----
// A menu resource: items with a command id and text, or popups of items.
struct QmMenuTemplateItem {
  UINT id;
  std::string text;  // GBK
  UINT flags;        // MF_SEPARATOR, MF_GRAYED, MF_CHECKED
  std::vector<QmMenuTemplateItem> popup;
};
void qm_user_register_menu(UINT id, std::vector<QmMenuTemplateItem> items);
struct QmPopupShown {
  HWND owner;
  int x, y;
  UINT flags;
  struct Item {
    UINT id;
    std::string text;
    UINT flags;
  };
  std::vector<Item> items;
  UINT answer;  // the command picked, 0 when dismissed
};
// The command the next popup menu answers with. Without one the menu shows
// as a window the user answers; headless it is dismissed once the queue
// holds nothing more for it.
void qm_user_push_popup_answer(UINT command);
// Steps run when the next popup menu without a queued answer shows
// headless, its window given: the input they inject walks the menu.
void qm_user_on_popup(std::function<void(HWND)> steps);
const std::vector<QmPopupShown>& qm_user_popups_shown();
void qm_user_clear_popups();

// ---- Message boxes ----
struct QmMessageBox {
  HWND owner;
  std::string text;     // bytes as given (GBK)
  std::string caption;  // bytes as given (GBK); "Error" when none was given
  UINT type;            // MB_ flags
  int answer;           // what MessageBoxA returned
};
// Queues the answer of the next message box. Without a queued answer a box
// answers with its default button (IDOK for MB_OK).
void qm_user_push_message_box_answer(int answer);
const std::vector<QmMessageBox>& qm_user_message_boxes();
void qm_user_clear_message_boxes();

// ---- Common file dialogs ----
// What a dialog was asked, copied from the caller's OPENFILENAMEA, and how it
// ended.
struct QmFileDialog {
  bool save;  // GetSaveFileNameA
  DWORD struct_size;
  HWND owner;
  std::string filter;  // the whole list, its inner NULs kept, without the final one
  bool custom_filter;
  DWORD filter_index;
  std::string initial_file;  // lpstrFile as it came in
  DWORD max_file;
  bool file_title;
  std::string initial_dir;  // "" when null
  std::string title;        // "" when null
  DWORD flags;
  std::string default_ext;  // "" when null
  bool hook;
  bool template_name;
  bool chosen;       // the answer was a path and it was handed back
  std::string path;  // the answer ("" for a cancel)
};
// Queues the answer of the next file dialog: a path, or a cancel for null.
// Without a queued answer a dialog is cancelled.
void qm_user_push_file_dialog_answer(const char* path);
const std::vector<QmFileDialog>& qm_user_file_dialogs();
void qm_user_clear_file_dialogs();

// ---- The folder browser (shlobj.h) ----
struct QmFolderDialog {
  HWND owner;
  std::string root;               // the path of pidlRoot, "" for none
  std::string title;              // shown above the tree
  DWORD flags;                    // BIF_
  std::string caption;            // the browser window's text when it closed
  std::string initial_selection;  // selected by the callback at BFFM_INITIALIZED
  std::string selection;          // the last BFFM_SETSELECTIONA path
  std::string status;             // the last BFFM_SETSTATUSTEXTA text
  bool chosen;                    // a folder was handed back
  std::string path;               // the answer ("" for a cancel)
};
// Queues the answer of the next folder browser: a path, or a cancel for
// null. Without a queued answer the browser is cancelled headless; on a
// display the user answers it (a window of the folders to walk and the path
// of the selection, which may be typed). A queued answer becomes
// the selection (BFFM_SELCHANGED) and is handed back unless the callback
// disabled OK.
void qm_user_push_folder_answer(const char* path);
const std::vector<QmFolderDialog>& qm_user_folder_dialogs();

// ---- Colour and font dialogs ----
struct QmColorAnswer {
  bool ok;
  COLORREF color;
};
struct QmFontAnswer {
  bool ok;
  std::string face;  // GBK
  int point_size;    // tenths of a point
  LONG weight;
  bool italic;
  COLORREF color;
};
void qm_user_push_color_answer(QmColorAnswer a);
void qm_user_push_font_answer(QmFontAnswer a);
struct QmChooserShown {
  const char* kind;  // "color" or "font"
  DWORD flags;       // what the program asked for
  COLORREF initial;  // the colour shown first
  std::string face;  // the face shown first (font)
  bool ok;           // the user's answer
};
const std::vector<QmChooserShown>& qm_user_choosers_shown();
void qm_user_clear_choosers();

// ---- Shell requests (ShellExecuteA) ----
struct QmShellRequest {
  HWND owner;
  std::string verb;  // "" for null
  std::string file;
  std::string parameters;
  std::string directory;
  int show;
  INT_PTR answer;  // what ShellExecuteA answered
};
const std::vector<QmShellRequest>& qm_user_shell_requests();
void qm_user_clear_shell_requests();

// ---- Pictures ----
// A program's bitmaps (toolbar strips), icons and cursors are image files
// (PNG, transparent where their alpha is 0), registered under their resource
// names as its dialogs and strings are: a number (MAKEINTRESOURCE, or "#12")
// or a name, without regard to case. A relative file name is taken in the
// pictures/ folder beside the stand-in libraries; a cursor's hot spot is
// given with it. A picture whose file is missing or does not decode loads as
// nothing (LoadIconA answers null; a cursor keeps its shape from the system).
enum class QmPicture { kBitmap, kIcon, kCursor };
void qm_user_register_picture(QmPicture kind, LPCSTR name, const char* file, POINT hotspot = POINT{0, 0});
// The registered picture's file, resolved; "" when none is registered.
std::string qm_user_picture_file(QmPicture kind, LPCSTR name);
// Decoded pixels: top-down rows of 0xAARRGGBB.
struct QmPixels {
  int width = 0, height = 0;
  POINT hotspot = {0, 0};
  std::vector<uint32_t> argb;
};
// The pixels of a registered picture; false when none is registered or its
// file does not decode.
bool qm_user_picture_pixels(QmPicture kind, LPCSTR name, QmPixels* out);
// The pixels of an icon LoadIconA gave, or of a cursor LoadCursorA gave
// whose name has a registered picture.
bool qm_user_icon_pixels(HICON icon, QmPixels* out);
bool qm_user_cursor_pixels(HCURSOR cursor, QmPixels* out);

// ---- Inspection and reset ----
// A window's pixels, frame included: top-down rows of `width` values
// 0x00RRGGBB over the window rectangle, or null before anything took a DC on
// the window. Without a frame they are the client area's.
const uint32_t* qm_user_window_pixels(HWND hwnd, int* width, int* height);
// The window's pixels, frame included (origin at the window's top-left,
// the size of its window rectangle), with those of every visible descendant,
// frames included, drawn over them where it lies, each clipped to its
// parent's client area, later siblings over earlier ones, and over all the
// shown pop-ups without a caption (open lists, tips) that its top-level
// window owns: what a screen would show of the window. FALSE (image untouched) before anything took a
// DC on the window.
bool qm_user_window_image(HWND hwnd, std::vector<uint32_t>* image, int* width, int* height);
// What a screen shows over the window's rectangle: its image, with every
// visible topmost window (tooltips, drop-down lists) drawn over it where
// they overlap.
bool qm_user_screen_image(HWND hwnd, std::vector<uint32_t>* image, int* width, int* height);
size_t qm_user_window_count();
size_t qm_user_timer_count();
size_t qm_user_queued_message_count();
// Destroys every window (with their messages), kills every timer, empties
// the queue, the clipboard, the message-box, file-, folder-, colour- and font-dialog
// and shell-request logs and queued answers, and sets the clock, the
// cursor (freed of ClipCursor), the key state, capture and focus back to
// the start.
void qm_user_reset();
