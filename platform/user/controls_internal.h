// What the standard and common controls share: each control's state kept
// beside its window, the notifications to its parent and the drawing
// helpers of the classic look. One source file per control kind.
#pragma once

#include <commctrl.h>
#include <qm_user.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/user/user_internal.h"

namespace qmuser {

enum class Kind { kButton, kEdit, kStatic, kListBox, kComboBox, kScrollBar, kTab, kProgress, kAnimate, kTooltip };

struct Item {
  std::string text;
  LPARAM data = 0;
};

struct Control {
  Kind kind;
  std::vector<Item> items;
  int sel = -1;
  int top = 0;
  int check = BST_UNCHECKED;
  int lo = 0, hi = 100, pos = 0, step = 10;
  int page = 0;  // a scroll bar's page (SetScrollInfo), 0 for none
  // A drop-down combo box's open list, and the list's combo box.
  HWND drop = nullptr;
  HWND combo = nullptr;
  int drop_height = 0;  // the height the combo box was given: it and its open list
  int item_height = 16;
  bool playing = false;
  bool pressed = false;  // a list box holds the mouse from a press on an item
  HFONT font = nullptr;
  int sel_start = 0, sel_end = 0;  // an edit's selection, in bytes
  bool caret_first = false;        // the caret is at the selection's start (Shift+Left, a drag back)
  size_t limit = 0;                // the most an edit takes typed, 0 for no limit
};

std::unordered_map<HWND, Control>& controls();
// The state of a control window; null for any other window.
Control* control(HWND h);
DWORD style_of(HWND h);
// WM_COMMAND with `code` to the control's parent.
void notify_command(HWND h, UINT code);
// WM_NOTIFY with `code` to the control's parent; its answer.
LRESULT notify(HWND h, int code);
std::string lower(const std::string& s);
// The length of the character at `at` of GBK text (a lead byte and the
// byte after it make one).
size_t char_length_at(const std::string& s, size_t at);
inline bool valid(const Control& c, WPARAM index) { return index < c.items.size(); }
// `v` kept within the control's range, whichever way round its ends are.
int clamp_to_range(const Control& c, int v);
inline bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
// Rows of a list or a multi-line edit under their own scroll bar: the first
// row shown after a WM_VSCROLL code, kept where the last `rows` rows of
// `count` still fill the view; and the bar (WS_VSCROLL) showing them.
int scrolled_row(WPARAM code, int top, int count, int rows);
void show_rows(HWND h, int count, int rows, int top);
// Sets the selection as a user would, with the notification.
void user_select(HWND h, Control& c, int index);

// The procedure every control class shares (after the state is made).
LRESULT control_proc(HWND h, UINT msg, WPARAM w, LPARAM l);

// ---- Painting, in the classic look ----

// The metrics and the width of text in a font, as a DC of the screen measures them.
TEXTMETRICA text_metrics(HFONT font);
LONG text_width(HFONT font, const std::string& text);

// The font a control draws in: the one it was given (WM_SETFONT), else the
// window system's own.
inline HFONT control_font(const Control& c) { return c.font ? c.font : gui_font(); }
// A control's label without its mnemonic marks ("&&" is one '&').
std::string label_of(const std::string& text);
std::string text_of(HWND h);

// Begins painting a control: its font selected, text drawn over what is
// there in the control's own colour (grey when disabled).
struct ControlPaint {
  HWND h;
  PAINTSTRUCT ps;
  HDC dc;
  HGDIOBJ old_font = nullptr;
  RECT client = {0, 0, 0, 0};
  bool enabled;
  ControlPaint(HWND hwnd, const Control& c) : h(hwnd), dc(BeginPaint(hwnd, &ps)), enabled(IsWindowEnabled(hwnd) != FALSE) {
    GetClientRect(h, &client);
    if (!dc) return;
    old_font = SelectObject(dc, control_font(c));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  }
  ~ControlPaint() {
    if (dc && old_font) SelectObject(dc, old_font);
    EndPaint(h, &ps);
  }
  ControlPaint(const ControlPaint&) = delete;
  ControlPaint& operator=(const ControlPaint&) = delete;
};

inline void fill_color(HDC dc, const RECT& r, int color) { FillRect(dc, &r, GetSysColorBrush(color)); }
// A one-pixel frame just inside r.
void frame(HDC dc, const RECT& r, int color);
// The dotted rectangle that marks the control with the focus.
void focus_rect(HDC dc, const RECT& r);
void polyline(HDC dc, const POINT* p, int n, int color);

// ---- The procedures of the kinds, after the messages all controls share ----
LRESULT button_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT edit_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT static_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
// The item messages of list and combo boxes, then the kind's own.
LRESULT list_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT list_box_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT combo_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT scroll_bar_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT tab_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT progress_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT animate_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
LRESULT tooltip_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l);
// What a combo box's open list does with the mouse; false for what it
// leaves to the list box.
// Closes a combo box's open list, the choice kept or not.
void close_drop(HWND combo, bool chosen);
bool drop_list_message(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l, LRESULT& result);
// Whether that window holds the capture for a scroll bar's press.
bool is_scroll_tracker(HWND h);
// A single-line field's text at `inner`, with its caret or selection while
// focused (edits and the field of a drop-down combo box).
void paint_field_text(HDC dc, const Control& c, const std::string& text, const RECT& inner, bool focused);
// Typing into such a field (WM_CHAR, and the keys that move the caret).
LRESULT field_key(HWND h, Control& c, UINT msg, WPARAM w);
// What qm_user_type does to an edit and to a combo box with a field.
BOOL edit_type(HWND h, Control& c, LPCSTR text);
BOOL combo_type(HWND h, LPCSTR text);

}  // namespace qmuser
