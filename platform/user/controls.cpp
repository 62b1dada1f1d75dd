// The standard and common controls: window classes that exist without
// registration, each keeping its state (items, selection, check, range and
// position) beside its window and telling its parent what the user did,
// as the originals do: a program's own calls (LB_SETCURSEL, CB_SETCURSEL,
// TCM_SETCURSEL) notify nobody; what a user does (qm_user_pick, a click,
// typing) sends the notification. Lists compare and search text without
// regard to ASCII case.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/user/user_internal.h"

namespace qmuser {

namespace {

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
  int item_height = 16;
  bool playing = false;
  bool pressed = false;  // a list box holds the mouse from a press on an item
  HFONT font = nullptr;
  int sel_start = 0, sel_end = 0;  // an edit's selection, in bytes
  size_t limit = 0;                // the most an edit takes typed, 0 for no limit
};

std::unordered_map<HWND, Control>& controls() {
  static std::unordered_map<HWND, Control> c;
  return c;
}

Control* control(HWND h) {
  auto it = controls().find(h);
  return it == controls().end() ? nullptr : &it->second;
}

DWORD style_of(HWND h) { return static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)); }

void notify_command(HWND h, UINT code) {
  HWND parent = GetParent(h);
  if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code), reinterpret_cast<LPARAM>(h));
}

LRESULT notify(HWND h, int code) {
  HWND parent = GetParent(h);
  if (!parent) return 0;
  NMHDR hdr = {h, static_cast<UINT_PTR>(GetDlgCtrlID(h)), static_cast<UINT>(code)};
  return SendMessageA(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

std::string lower(const std::string& s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

// The length of the character at `at` of GBK text (a lead byte and the
// byte after it make one).
size_t char_length_at(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]) >= 0x81 && at + 1 < s.size() ? 2 : 1;
}

bool has_strings(const Control& c, DWORD style) {
  if (c.kind == Kind::kListBox)
    return !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
  return !(style & CBS_OWNERDRAWFIXED) || (style & CBS_HASSTRINGS);
}

bool sorted(const Control& c, DWORD style) {
  return c.kind == Kind::kListBox ? (style & LBS_SORT) != 0 : (style & CBS_SORT) != 0;
}

// Adds (at == -1: at the end, or in sorted place) or inserts an item.
LRESULT add_item(HWND h, Control& c, int at, LPARAM lparam, bool insert) {
  const DWORD style = style_of(h);
  Item item;
  if (has_strings(c, style))
    item.text = lparam ? reinterpret_cast<LPCSTR>(lparam) : "";
  else
    item.data = lparam;
  size_t index = c.items.size();
  if (insert) {
    if (at >= 0 && static_cast<size_t>(at) <= c.items.size()) index = static_cast<size_t>(at);
  } else if (sorted(c, style) && has_strings(c, style)) {
    const std::string key = lower(item.text);
    index = std::upper_bound(c.items.begin(), c.items.end(), key,
                             [](const std::string& k, const Item& i) { return k < lower(i.text); }) -
            c.items.begin();
  }
  c.items.insert(c.items.begin() + static_cast<long>(index), item);
  if (c.sel >= static_cast<int>(index)) ++c.sel;
  InvalidateRect(h, nullptr, TRUE);
  return static_cast<LRESULT>(index);
}

LRESULT find_exact(const Control& c, WPARAM start, LPARAM text) {
  if (!text) return LB_ERR;
  const std::string key = lower(reinterpret_cast<LPCSTR>(text));
  const int n = static_cast<int>(c.items.size());
  const int first = static_cast<int>(static_cast<INT_PTR>(start));
  // From the item after `start` round to `start` itself.
  for (int k = 1; k <= n; ++k) {
    const int i = ((first < 0 ? -1 : first) + k) % n;
    if (lower(c.items[static_cast<size_t>(i)].text) == key) return i;
  }
  return LB_ERR;
}

LRESULT copy_text(const Item& item, LPARAM buffer) {
  if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), item.text.c_str(), item.text.size() + 1);
  return static_cast<LRESULT>(item.text.size());
}

bool valid(const Control& c, WPARAM index) { return index < c.items.size(); }

// ---- Painting, in the classic look ----

// The font a control draws in: the one it was given (WM_SETFONT), else the
// window system's own.
HFONT control_font(const Control& c) { return c.font ? c.font : gui_font(); }

// A control's label without its mnemonic marks ("&&" is one '&').
std::string label_of(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

std::string text_of(HWND h) {
  std::string t(static_cast<size_t>(GetWindowTextLengthA(h)), '\0');
  GetWindowTextA(h, t.data(), static_cast<int>(t.size()) + 1);
  return t;
}

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

void fill_color(HDC dc, const RECT& r, int color) { FillRect(dc, &r, GetSysColorBrush(color)); }

// A one-pixel frame just inside r.
void frame(HDC dc, const RECT& r, int color) {
  const RECT sides[] = {{r.left, r.top, r.right, r.top + 1},
                        {r.left, r.bottom - 1, r.right, r.bottom},
                        {r.left, r.top, r.left + 1, r.bottom},
                        {r.right - 1, r.top, r.right, r.bottom}};
  for (const RECT& s : sides) fill_color(dc, s, color);
}

// The dotted rectangle that marks the control with the focus.
void focus_rect(HDC dc, const RECT& r) {
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  for (LONG x = r.left; x < r.right; x += 2) {
    SetPixel(dc, x, r.top, ink);
    SetPixel(dc, x, r.bottom - 1, ink);
  }
  for (LONG y = r.top; y < r.bottom; y += 2) {
    SetPixel(dc, r.left, y, ink);
    SetPixel(dc, r.right - 1, y, ink);
  }
}

void polyline(HDC dc, const POINT* p, int n, int color) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, p[0].x, p[0].y, nullptr);
  for (int i = 1; i < n; ++i) LineTo(dc, p[i].x, p[i].y);
  SelectObject(dc, old);
  DeleteObject(pen);
}

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

void paint_static(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  const DWORD style = style_of(h);
  fill_color(p.dc, p.client, COLOR_BTNFACE);
  RECT r = p.client;
  if (style & SS_SUNKEN) DrawEdge(p.dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if ((style & 0x1F) == SS_ETCHEDHORZ) {
    DrawEdge(p.dc, &r, EDGE_ETCHED, BF_TOP);
    return;
  }
  if ((style & 0x1F) > SS_RIGHT) return;  // icons and pictures show nothing of theirs
  const std::string text = text_of(h);
  const UINT align = (style & 0x1F) == SS_CENTER ? DT_CENTER : (style & 0x1F) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
  DrawTextA(p.dc, label_of(text).c_str(), -1, &r, align | DT_NOPREFIX);
}

// The pixel where text position `at` of a single-line edit lies.
LONG edit_x(HDC dc, const std::string& text, int at, LONG left) {
  SIZE size = {0, 0};
  if (at > 0) GetTextExtentPoint32A(dc, text.c_str(), at, &size);
  return left + size.cx;
}

void paint_edit(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  const DWORD style = style_of(h);
  RECT r = p.client;
  DrawEdge(p.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  fill_color(p.dc, r, p.enabled && !(style & ES_READONLY) ? COLOR_WINDOW : COLOR_BTNFACE);
  SetTextColor(p.dc, GetSysColor(p.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  const std::string text = text_of(h);
  RECT inner = {r.left + 2, r.top + 1, r.right - 2, r.bottom - 1};
  if (style & ES_MULTILINE) {
    DrawTextA(p.dc, text.c_str(), -1, &inner, DT_LEFT | DT_NOPREFIX);
    return;
  }
  TEXTMETRICA tm;
  GetTextMetricsA(p.dc, &tm);
  const LONG top = inner.top + std::max<LONG>(0, (rect_height(inner) - tm.tmHeight) / 2);
  // Text that does not fit scrolls so the caret stays in view.
  const int caret = std::min(c.sel_end, static_cast<int>(text.size()));
  const LONG caret_x = edit_x(p.dc, text, caret, 0);
  const LONG shift = std::max<LONG>(0, caret_x - (rect_width(inner) - 1));
  const LONG left = inner.left - shift;
  ExtTextOutA(p.dc, left, top, ETO_CLIPPED, &inner, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  const bool focused = GetFocus() == h;
  if (focused && c.sel_start < c.sel_end) {
    // The selection in the highlight colours.
    RECT sel = {std::max(inner.left, edit_x(p.dc, text, c.sel_start, left)), top,
                std::min(inner.right, edit_x(p.dc, text, caret, left)), top + tm.tmHeight};
    fill_color(p.dc, sel, COLOR_HIGHLIGHT);
    SetTextColor(p.dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    ExtTextOutA(p.dc, left, top, ETO_CLIPPED, &sel, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  } else if (focused) {
    const RECT bar = {left + caret_x, top, left + caret_x + 1, top + tm.tmHeight};
    fill_color(p.dc, bar, COLOR_WINDOWTEXT);
  }
}

// A drop-down combo: a sunken field with the current text and the arrow
// button at its right.
void paint_combo(HWND h, const Control& c) {
  ControlPaint p(h, c);
  if (!p.dc) return;
  RECT r = p.client;
  DrawEdge(p.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  fill_color(p.dc, r, p.enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  const LONG arrow_width = std::min<LONG>(16, rect_width(r));
  RECT arrow = {r.right - arrow_width, r.top, r.right, r.bottom};
  DrawEdge(p.dc, &arrow, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  const LONG cx = (arrow.left + arrow.right) / 2, cy = (arrow.top + arrow.bottom) / 2 - 1;
  for (LONG d = 0; d < 4; ++d) {
    const RECT row = {cx - 3 + d, cy + d, cx + 4 - d, cy + d + 1};
    fill_color(p.dc, row, p.enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  }
  RECT text = {r.left + 2, r.top, arrow.left - 1, r.bottom};
  const bool focused = GetFocus() == h;
  if (focused) {
    fill_color(p.dc, text, COLOR_HIGHLIGHT);
    SetTextColor(p.dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    SetTextColor(p.dc, GetSysColor(p.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  }
  const std::string t = text_of(h);
  RECT inner = {text.left + 1, text.top, text.right, text.bottom};
  DrawTextA(p.dc, t.c_str(), -1, &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (focused) focus_rect(p.dc, text);
}

RECT item_rect(HWND h, const Control& c, int index) {
  RECT client;
  GetClientRect(h, &client);
  const int y = (index - c.top) * c.item_height;
  return RECT{0, y, client.right, y + c.item_height};
}

void paint_list(HWND h, Control& c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  const DWORD style = style_of(h);
  RECT client;
  GetClientRect(h, &client);
  const bool owner_draw = (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
  // Below the items (owner-drawn or not) the list shows the window colour.
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  // Its items are drawn in the font it was given (WM_SETFONT), owner-drawn
  // ones too.
  HGDIOBJ old_font = SelectObject(dc, control_font(c));
  for (int i = std::max(c.top, 0); i < static_cast<int>(c.items.size()); ++i) {
    RECT r = item_rect(h, c, i);
    if (r.top >= client.bottom) break;
    if (owner_draw) {
      DRAWITEMSTRUCT dis = {ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(h)), static_cast<UINT>(i), ODA_DRAWENTIRE,
                            static_cast<UINT>(i == c.sel ? ODS_SELECTED : 0), h, dc, r,
                            static_cast<ULONG_PTR>(c.items[static_cast<size_t>(i)].data)};
      SendMessageA(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    } else {
      const std::string& t = c.items[static_cast<size_t>(i)].text;
      TextOutA(dc, r.left + 2, r.top, t.c_str(), static_cast<int>(t.size()));
    }
  }
  if (old_font) SelectObject(dc, old_font);
  EndPaint(h, &ps);
}

// Sets the selection as a user would, with the notification.
void user_select(HWND h, Control& c, int index) {
  if (index < -1 || index >= static_cast<int>(c.items.size())) return;
  const int old = c.sel;
  c.sel = index;
  InvalidateRect(h, nullptr, TRUE);
  switch (c.kind) {
    case Kind::kListBox:
      if (old != index && (style_of(h) & LBS_NOTIFY)) notify_command(h, LBN_SELCHANGE);
      break;
    case Kind::kComboBox:
      DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(index >= 0 ? c.items[static_cast<size_t>(index)].text.c_str() : ""));
      notify_command(h, CBN_SELCHANGE);
      break;
    case Kind::kTab:
      if (old != index) {
        if (notify(h, TCN_SELCHANGING)) {  // the parent refused the change
          c.sel = old;
          return;
        }
        notify(h, TCN_SELCHANGE);
      }
      break;
    default: break;
  }
}

LRESULT list_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  const bool combo = c.kind == Kind::kComboBox;
  switch (msg) {
    case LB_ADDSTRING: case CB_ADDSTRING: return add_item(h, c, -1, l, false);
    case LB_INSERTSTRING: case CB_INSERTSTRING: return add_item(h, c, static_cast<int>(static_cast<INT_PTR>(w)), l, true);
    case LB_DELETESTRING: case CB_DELETESTRING:
      if (!valid(c, w)) return LB_ERR;
      c.items.erase(c.items.begin() + static_cast<long>(w));
      if (c.sel == static_cast<int>(w)) c.sel = -1;
      else if (c.sel > static_cast<int>(w)) --c.sel;
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(c.items.size());
    case LB_RESETCONTENT: case CB_RESETCONTENT:
      c.items.clear();
      c.sel = -1;
      c.top = 0;
      if (combo && (style_of(h) & 3) == CBS_DROPDOWNLIST) DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case LB_GETCOUNT: case CB_GETCOUNT: return static_cast<LRESULT>(c.items.size());
    case LB_GETCURSEL: case CB_GETCURSEL: return c.sel;
    case LB_SETCURSEL: case CB_SETCURSEL: {
      const int index = static_cast<int>(static_cast<INT_PTR>(w));
      if (index < -1 || index >= static_cast<int>(c.items.size())) {
        c.sel = -1;
        if (combo) DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        return LB_ERR;
      }
      c.sel = index;
      if (combo) DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(index >= 0 ? c.items[static_cast<size_t>(index)].text.c_str() : ""));
      InvalidateRect(h, nullptr, TRUE);
      return index;
    }
    case LB_GETTEXT: case CB_GETLBTEXT: return valid(c, w) ? copy_text(c.items[w], l) : LB_ERR;
    case LB_GETTEXTLEN: case CB_GETLBTEXTLEN: return valid(c, w) ? static_cast<LRESULT>(c.items[w].text.size()) : LB_ERR;
    case LB_GETITEMDATA: case CB_GETITEMDATA: return valid(c, w) ? c.items[w].data : LB_ERR;
    case LB_SETITEMDATA: case CB_SETITEMDATA:
      if (!valid(c, w)) return LB_ERR;
      c.items[w].data = l;
      return 0;
    case LB_FINDSTRINGEXACT: case CB_FINDSTRINGEXACT: return find_exact(c, w, l);
    case CB_SELECTSTRING: {
      const LRESULT i = find_exact(c, w, l);
      if (i != CB_ERR) list_proc(h, c, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return i;
    }
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, FALSE);
      if (combo) notify_command(h, CBN_KILLFOCUS);
      return 0;
    case WM_SETTEXT:
      // A drop-down list shows only its items.
      if (combo && (style_of(h) & 3) == CBS_DROPDOWNLIST) return CB_ERR;
      InvalidateRect(h, nullptr, FALSE);
      return DefWindowProcA(h, msg, w, l);
    default: break;
  }
  if (combo) {
    if (msg == WM_PAINT) return paint_combo(h, c), 0;
    if (msg == WM_SETFOCUS || msg == WM_ENABLE) InvalidateRect(h, nullptr, FALSE);
    if (msg == WM_LBUTTONDOWN) SetFocus(h);
    if (msg == WM_KEYDOWN && (w == VK_UP || w == VK_DOWN)) {
      // The arrows step through the items.
      const int next = c.sel + (w == VK_DOWN ? 1 : -1);
      if (next >= 0 && next < static_cast<int>(c.items.size())) user_select(h, c, next);
      return 0;
    }
    return DefWindowProcA(h, msg, w, l);
  }
  switch (msg) {
    case LB_GETTOPINDEX: return c.top;
    case LB_SETTOPINDEX:
      if (!valid(c, w)) return LB_ERR;
      c.top = static_cast<int>(w);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case LB_GETITEMHEIGHT: return c.item_height;
    case LB_SETITEMHEIGHT:
      if (LOWORD(l) == 0 || LOWORD(l) > 255) return LB_ERR;
      c.item_height = LOWORD(l);
      return 0;
    case LB_GETITEMRECT:
      if (!valid(c, w) || !l) return LB_ERR;
      *reinterpret_cast<RECT*>(l) = item_rect(h, c, static_cast<int>(w));
      return 1;
    case LB_ITEMFROMPOINT: {
      // The nearest item in the low word; the high word 1 when the point is
      // outside the client area.
      const int y = GET_Y_LPARAM(l);
      RECT client;
      GetClientRect(h, &client);
      const bool outside = y < 0 || y >= client.bottom || GET_X_LPARAM(l) < 0 || GET_X_LPARAM(l) >= client.right;
      if (c.items.empty()) return MAKELONG(0, 1);
      int i = c.top + (y < 0 ? 0 : y / c.item_height);
      i = std::min(i, static_cast<int>(c.items.size()) - 1);
      return MAKELONG(i, outside || y / c.item_height + c.top >= static_cast<int>(c.items.size()) ? 1 : 0);
    }
    case WM_LBUTTONDOWN: {
      // The press selects; the release tells the parent, as the original
      // does (even when the item was selected already).
      const LRESULT hit = list_proc(h, c, LB_ITEMFROMPOINT, 0, l);
      SetFocus(h);
      if (HIWORD(hit) == 0) {
        c.sel = LOWORD(hit);
        InvalidateRect(h, nullptr, TRUE);
        c.pressed = true;
        SetCapture(h);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (c.pressed) {
        c.pressed = false;
        if (GetCapture() == h) ReleaseCapture();
        if ((style_of(h) & LBS_NOTIFY) && !c.items.empty()) notify_command(h, LBN_SELCHANGE);
      }
      return 0;
    case WM_LBUTTONDBLCLK:
      if (style_of(h) & LBS_NOTIFY) notify_command(h, LBN_DBLCLK);
      return 0;
    case WM_KEYDOWN: {
      // The arrows, Home and End move the selection and keep it in view.
      const int last = static_cast<int>(c.items.size()) - 1;
      int next = c.sel;
      if (w == VK_UP) next = std::max(0, c.sel - 1);
      else if (w == VK_DOWN) next = std::min(last, c.sel + 1);
      else if (w == VK_HOME) next = 0;
      else if (w == VK_END) next = last;
      else return DefWindowProcA(h, msg, w, l);
      if (last < 0 || next == c.sel) return 0;
      RECT client;
      GetClientRect(h, &client);
      const int rows = std::max(1, static_cast<int>(client.bottom) / c.item_height);
      c.top = std::min(next, std::max(c.top, next - rows + 1));
      user_select(h, c, next);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // Three items a notch, never past either end.
      const int notches = GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA;
      const int top = std::max(0, std::min(c.top - 3 * notches, static_cast<int>(c.items.size()) - 1));
      if (top != c.top) c.top = top, InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case WM_PAINT: paint_list(h, c); return 0;
    default: return DefWindowProcA(h, msg, w, l);
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

// Typing into an edit: characters replace the selection at the caret,
// Backspace and Delete take one out, the arrows, Home and End move the caret.
void edit_replace(HWND h, Control& c, const std::string& with, int from, int to) {
  std::string text = text_of(h);
  from = std::max(0, std::min(from, static_cast<int>(text.size())));
  to = std::max(from, std::min(to, static_cast<int>(text.size())));
  std::string typed = with;
  if (c.limit != 0 && text.size() - static_cast<size_t>(to - from) + typed.size() > c.limit) return;
  text.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), typed);
  DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  c.sel_start = c.sel_end = from + static_cast<int>(typed.size());
  InvalidateRect(h, nullptr, FALSE);
  notify_command(h, EN_UPDATE);
  notify_command(h, EN_CHANGE);
}

// The start of the character before position `at` in GBK text.
int previous_char(const std::string& text, int at) {
  int start = 0;
  for (int i = 0; i < at;) {
    start = i;
    i += static_cast<int>(char_length_at(text, static_cast<size_t>(i)));
  }
  return start;
}

LRESULT edit_key(HWND h, Control& c, UINT msg, WPARAM w) {
  const std::string text = text_of(h);
  const int length = static_cast<int>(text.size());
  const bool read_only = (style_of(h) & ES_READONLY) != 0;
  if (msg == WM_CHAR) {
    if (read_only || !IsWindowEnabled(h)) return 0;
    if (w == VK_BACK) {
      if (c.sel_start < c.sel_end) edit_replace(h, c, "", c.sel_start, c.sel_end);
      else if (c.sel_end > 0) edit_replace(h, c, "", previous_char(text, c.sel_end), c.sel_end);
      return 0;
    }
    if (w < 0x20 || w == 0x7F) return 0;  // other control characters type nothing
    edit_replace(h, c, std::string(1, static_cast<char>(w)), c.sel_start, c.sel_end);
    return 0;
  }
  int caret = c.sel_end;
  switch (w) {
    case VK_LEFT: caret = c.sel_start < c.sel_end ? c.sel_start : previous_char(text, caret); break;
    case VK_RIGHT:
      caret = c.sel_start < c.sel_end || caret >= length ? caret
                                                          : caret + static_cast<int>(char_length_at(text, static_cast<size_t>(caret)));
      break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = length; break;
    case VK_DELETE:
      if (read_only) return 0;
      if (c.sel_start < c.sel_end) edit_replace(h, c, "", c.sel_start, c.sel_end);
      else if (caret < length) edit_replace(h, c, "", caret, caret + static_cast<int>(char_length_at(text, static_cast<size_t>(caret))));
      return 0;
    default: return DefWindowProcA(h, WM_KEYDOWN, w, 0);
  }
  c.sel_start = c.sel_end = std::min(std::max(caret, 0), length);
  InvalidateRect(h, nullptr, FALSE);
  return 0;
}

LRESULT control_proc(HWND h, UINT msg, WPARAM w, LPARAM l);

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

LRESULT range_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  auto clamp = [&](int v) { return std::min(std::max(v, std::min(c.lo, c.hi)), std::max(c.lo, c.hi)); };
  if (c.kind == Kind::kScrollBar) {
    switch (msg) {
      case SBM_SETPOS: {
        const int old = c.pos;
        c.pos = clamp(static_cast<int>(static_cast<INT_PTR>(w)));
        return old;
      }
      case SBM_GETPOS: return c.pos;
      case SBM_SETRANGE:
        c.lo = static_cast<int>(static_cast<INT_PTR>(w)), c.hi = static_cast<int>(l);
        c.pos = clamp(c.pos);
        return 1;
      case SBM_GETRANGE:
        if (w) *reinterpret_cast<int*>(w) = c.lo;
        if (l) *reinterpret_cast<int*>(l) = c.hi;
        return 1;
      default: return DefWindowProcA(h, msg, w, l);
    }
  }
  const int old = c.pos;
  switch (msg) {
    case PBM_SETRANGE:
      c.lo = LOWORD(l), c.hi = HIWORD(l), c.pos = clamp(c.pos);
      return MAKELONG(c.lo, c.hi);
    case PBM_SETRANGE32: c.lo = static_cast<int>(w), c.hi = static_cast<int>(l), c.pos = clamp(c.pos); return 1;
    case PBM_SETPOS: c.pos = clamp(static_cast<int>(w)); return old;
    case PBM_DELTAPOS: c.pos = clamp(c.pos + static_cast<int>(w)); return old;
    case PBM_SETSTEP: c.step = static_cast<int>(w); return 0;
    case PBM_STEPIT:
      // Stepping past the end starts again from the beginning.
      c.pos = c.pos + c.step > c.hi ? c.lo + (c.pos + c.step - c.hi) % std::max(1, c.hi - c.lo) : c.pos + c.step;
      return old;
    case PBM_GETPOS: return c.pos;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

LRESULT tab_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case TCM_INSERTITEMA: {
      const TCITEMA* item = reinterpret_cast<const TCITEMA*>(l);
      if (!item) return -1;
      Item it;
      if ((item->mask & TCIF_TEXT) && item->pszText) it.text = item->pszText;
      if (item->mask & TCIF_PARAM) it.data = item->lParam;
      const size_t at = std::min(static_cast<size_t>(w), c.items.size());
      c.items.insert(c.items.begin() + static_cast<long>(at), it);
      if (c.sel < 0) c.sel = 0;  // the first tab is selected
      else if (c.sel >= static_cast<int>(at) && c.items.size() > 1) ++c.sel;
      return static_cast<LRESULT>(at);
    }
    case TCM_GETITEMA: {
      TCITEMA* item = reinterpret_cast<TCITEMA*>(l);
      if (!item || !valid(c, w)) return FALSE;
      if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::string& t = c.items[w].text;
        const size_t n = std::min(t.size(), static_cast<size_t>(item->cchTextMax - 1));
        std::memcpy(item->pszText, t.data(), n);
        item->pszText[n] = '\0';
      }
      if (item->mask & TCIF_PARAM) item->lParam = c.items[w].data;
      return TRUE;
    }
    case TCM_GETITEMCOUNT: return static_cast<LRESULT>(c.items.size());
    case TCM_DELETEALLITEMS: c.items.clear(), c.sel = -1; return TRUE;
    case TCM_GETCURSEL: return c.sel;
    case TCM_SETCURSEL: {
      if (!valid(c, w)) return -1;
      const int old = c.sel;
      c.sel = static_cast<int>(w);
      return old;
    }
    default: return DefWindowProcA(h, msg, w, l);
  }
}

LRESULT control_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  Control* c = control(h);
  if (!c) return DefWindowProcA(h, msg, w, l);
  switch (msg) {
    case WM_NCDESTROY:
      controls().erase(h);
      return DefWindowProcA(h, msg, w, l);
    case WM_SETFONT: c->font = reinterpret_cast<HFONT>(w); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
    default: break;
  }
  switch (c->kind) {
    case Kind::kButton: return button_proc(h, *c, msg, w, l);
    case Kind::kListBox:
    case Kind::kComboBox: return list_proc(h, *c, msg, w, l);
    case Kind::kScrollBar:
    case Kind::kProgress: return range_proc(h, *c, msg, w, l);
    case Kind::kTab: return tab_proc(h, *c, msg, w, l);
    case Kind::kEdit:
      if (msg == WM_SETTEXT) {
        const LRESULT r = DefWindowProcA(h, msg, w, l);
        c->sel_start = c->sel_end = 0;
        InvalidateRect(h, nullptr, FALSE);
        // A single-line edit reports every change of its text.
        if (!(style_of(h) & ES_MULTILINE)) {
          notify_command(h, EN_UPDATE);
          notify_command(h, EN_CHANGE);
        }
        return r;
      }
      if (msg == EM_LIMITTEXT) {
        c->limit = static_cast<size_t>(w);
        return 0;
      }
      if (msg == EM_GETSEL) {
        if (w) *reinterpret_cast<DWORD*>(w) = static_cast<DWORD>(c->sel_start);
        if (l) *reinterpret_cast<DWORD*>(l) = static_cast<DWORD>(c->sel_end);
        return MAKELONG(c->sel_start, c->sel_end);
      }
      if (msg == EM_SETSEL) {
        // -1 as the start removes the selection; -1 as the end (or any
        // position past the text) means its end.
        const int length = GetWindowTextLengthA(h);
        const int start = static_cast<int>(w), end = static_cast<int>(l);
        if (start == -1) {
          c->sel_start = c->sel_end;
        } else {
          c->sel_start = std::min(std::max(start, 0), length);
          c->sel_end = end < 0 ? length : std::min(end, length);
          if (c->sel_end < c->sel_start) std::swap(c->sel_start, c->sel_end);
        }
        return 0;
      }
      if (msg == WM_KILLFOCUS || msg == WM_SETFOCUS || msg == WM_ENABLE) InvalidateRect(h, nullptr, FALSE);
      if (msg == WM_KILLFOCUS) notify_command(h, EN_KILLFOCUS);
      if (msg == WM_SETFOCUS) notify_command(h, EN_SETFOCUS);
      if (msg == WM_PAINT) return paint_edit(h, *c), 0;
      if (msg == WM_CHAR || msg == WM_KEYDOWN) return edit_key(h, *c, msg, w);
      if (msg == WM_LBUTTONDOWN) {
        SetFocus(h);
        return 0;
      }
      if (msg == EM_SETREADONLY) {
        const DWORD s = style_of(h);
        SetWindowLongA(h, GWL_STYLE, static_cast<LONG>(w ? s | ES_READONLY : s & ~ES_READONLY));
        return TRUE;
      }
      return DefWindowProcA(h, msg, w, l);
    case Kind::kAnimate:
      if (msg == ACM_OPENA) return TRUE;
      if (msg == ACM_PLAY) return c->playing = true, TRUE;
      if (msg == ACM_STOP) return c->playing = false, TRUE;
      if (msg == ACM_ISPLAYING) return c->playing;
      return DefWindowProcA(h, msg, w, l);
    case Kind::kTooltip:
      if (msg == TTM_ADDTOOLA || msg == TTM_UPDATETIPTEXTA || msg == TTM_DELTOOLA) {
        const TOOLINFOA* ti = reinterpret_cast<const TOOLINFOA*>(l);
        if (!ti) return FALSE;
        auto it = std::find_if(c->items.begin(), c->items.end(), [&](const Item& i) {
          return i.data == static_cast<LPARAM>(ti->uId);
        });
        if (msg == TTM_DELTOOLA) {
          if (it != c->items.end()) c->items.erase(it);
          return TRUE;
        }
        if (it == c->items.end()) it = c->items.insert(c->items.end(), Item{"", static_cast<LPARAM>(ti->uId)});
        it->text = ti->lpszText && !IS_INTRESOURCE(ti->lpszText) ? ti->lpszText : "";
        return TRUE;
      }
      if (msg == TTM_GETTEXTA) {
        // wParam is the size of the caller's buffer; an unknown tool gives "".
        TOOLINFOA* ti = reinterpret_cast<TOOLINFOA*>(l);
        if (!ti || !ti->lpszText || w == 0) return 0;
        auto it = std::find_if(c->items.begin(), c->items.end(), [&](const Item& i) {
          return i.data == static_cast<LPARAM>(ti->uId);
        });
        const std::string t = it == c->items.end() ? std::string() : it->text;
        const size_t n = std::min(t.size(), static_cast<size_t>(w - 1));
        std::memcpy(ti->lpszText, t.data(), n);
        ti->lpszText[n] = '\0';
        return static_cast<LRESULT>(n);
      }
      if (msg == TTM_GETTOOLCOUNT) return static_cast<LRESULT>(c->items.size());
      return DefWindowProcA(h, msg, w, l);
    case Kind::kStatic:
      if (msg == WM_PAINT) return paint_static(h, *c), 0;
      if (msg == WM_NCHITTEST && !(style_of(h) & SS_NOTIFY)) return HTTRANSPARENT;
      if (msg == WM_SETTEXT || msg == WM_ENABLE) InvalidateRect(h, nullptr, FALSE);
      return DefWindowProcA(h, msg, w, l);
    default: return DefWindowProcA(h, msg, w, l);
  }
}

// The procedure of every control class: the state is made at WM_NCCREATE.
template <Kind K>
LRESULT proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCCREATE) {
    Control c;
    c.kind = K;
    if (K == Kind::kScrollBar) c.hi = 0;
    controls()[h] = c;
  }
  if (msg == WM_CREATE && K == Kind::kListBox && (style_of(h) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) {
    // An owner-drawn fixed list asks its parent for the item height once.
    MEASUREITEMSTRUCT mis = {ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(h)), 0, 0, 16, 0};
    SendMessageA(GetParent(h), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    if (Control* c = control(h)) c->item_height = mis.itemHeight > 0 && mis.itemHeight < 256 ? static_cast<int>(mis.itemHeight) : 16;
  }
  return control_proc(h, msg, w, l);
}

struct ControlClass {
  const char* name;
  WNDPROC proc;
};

const ControlClass kClasses[] = {
    {WC_BUTTONA, proc<Kind::kButton>},       {WC_EDITA, proc<Kind::kEdit>},
    {WC_STATICA, proc<Kind::kStatic>},       {WC_LISTBOXA, proc<Kind::kListBox>},
    {WC_COMBOBOXA, proc<Kind::kComboBox>},   {WC_SCROLLBARA, proc<Kind::kScrollBar>},
    {WC_TABCONTROLA, proc<Kind::kTab>},      {PROGRESS_CLASSA, proc<Kind::kProgress>},
    {ANIMATE_CLASSA, proc<Kind::kAnimate>},  {TOOLTIPS_CLASSA, proc<Kind::kTooltip>},
};

}  // namespace

bool register_control_class(LPCSTR name) {
  if (!name || IS_INTRESOURCE(name)) return false;
  for (const ControlClass& k : kClasses) {
    if (lower(k.name) != lower(name)) continue;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = k.proc;
    wc.lpszClassName = k.name;
    // A tab control stands on the button face around and below its pages.
    if (k.proc == proc<Kind::kTab>) wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    return RegisterClassA(&wc) != 0;
  }
  return false;
}

}  // namespace qmuser

using namespace qmuser;

BOOL qm_user_pick(HWND h, int index) {
  Control* c = control(h);
  if (!c || !IsWindowEnabled(h) || index < -1 || index >= static_cast<int>(c->items.size())) return FALSE;
  user_select(h, *c, index);
  return TRUE;
}

BOOL qm_user_type(HWND h, LPCSTR text) {
  Control* c = control(h);
  if (!c || !IsWindowEnabled(h)) return FALSE;
  if (c->kind == Kind::kEdit) {
    if (style_of(h) & ES_READONLY) return FALSE;
    std::string typed = text ? text : "";
    if (c->limit != 0 && typed.size() > c->limit) {
      // Typing stops at the limit, never inside a double-byte character.
      size_t keep = 0;
      for (size_t i = 0; i < typed.size();) {
        const size_t n = static_cast<unsigned char>(typed[i]) >= 0x81 && i + 1 < typed.size() ? 2 : 1;
        if (i + n > c->limit) break;
        i += n;
        keep = i;
      }
      typed.resize(keep);
    }
    DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    InvalidateRect(h, nullptr, FALSE);
    // The caret stays behind the last character typed.
    c->sel_start = c->sel_end = GetWindowTextLengthA(h);
    notify_command(h, EN_UPDATE);
    notify_command(h, EN_CHANGE);
    return TRUE;
  }
  if (c->kind == Kind::kComboBox && (style_of(h) & 3) != CBS_DROPDOWNLIST) {
    DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    InvalidateRect(h, nullptr, FALSE);
    notify_command(h, CBN_EDITCHANGE);
    return TRUE;
  }
  return FALSE;
}

int SetScrollPos(HWND h, int bar, int pos, BOOL) {
  return bar == SB_CTL ? static_cast<int>(SendMessageA(h, SBM_SETPOS, static_cast<WPARAM>(pos), 0)) : 0;
}

int GetScrollPos(HWND h, int bar) { return bar == SB_CTL ? static_cast<int>(SendMessageA(h, SBM_GETPOS, 0, 0)) : 0; }

BOOL SetScrollRange(HWND h, int bar, int min_pos, int max_pos, BOOL) {
  return bar == SB_CTL && SendMessageA(h, SBM_SETRANGE, static_cast<WPARAM>(min_pos), max_pos) ? TRUE : FALSE;
}

BOOL GetScrollRange(HWND h, int bar, LPINT min_pos, LPINT max_pos) {
  return bar == SB_CTL && SendMessageA(h, SBM_GETRANGE, reinterpret_cast<WPARAM>(min_pos), reinterpret_cast<LPARAM>(max_pos))
             ? TRUE
             : FALSE;
}
