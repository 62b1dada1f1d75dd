// The standard and common controls: window classes that exist without
// registration, each keeping its state (items, selection, check, range and
// position) beside its window and telling its parent what the user did,
// as the originals do: a program's own calls (LB_SETCURSEL, CB_SETCURSEL,
// TCM_SETCURSEL) notify nobody; what a user does (qm_user_pick, a click,
// typing) sends the notification. Lists compare and search text without
// regard to ASCII case.
//
// This file holds what every kind shares: the state table, the
// notifications, the drawing helpers and the classes' registration.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>

#include "platform/user/controls_internal.h"

namespace qmuser {

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

int clamp_to_range(const Control& c, int v) { return std::min(std::max(v, std::min(c.lo, c.hi)), std::max(c.lo, c.hi)); }

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

TEXTMETRICA text_metrics(HFONT font) {
  TEXTMETRICA tm = {};
  if (HDC dc = GetDC(nullptr)) {
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
  }
  return tm;
}

LONG text_width(HFONT font, const std::string& text) {
  SIZE size = {0, 0};
  if (HDC dc = GetDC(nullptr)) {
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
  }
  return size.cx;
}

LRESULT control_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  Control* c = control(h);
  if (!c) return DefWindowProcA(h, msg, w, l);
  switch (msg) {
    case WM_NCDESTROY:
      controls().erase(h);
      return DefWindowProcA(h, msg, w, l);
    case WM_SETFONT:
      c->font = reinterpret_cast<HFONT>(w);
      if (c->kind != Kind::kComboBox) return 0;
      break;  // a combo box follows the font's height
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
    default: break;
  }
  switch (c->kind) {
    case Kind::kButton: return button_proc(h, *c, msg, w, l);
    case Kind::kListBox:
    case Kind::kComboBox: return list_proc(h, *c, msg, w, l);
    case Kind::kScrollBar: return scroll_bar_proc(h, *c, msg, w, l);
    case Kind::kProgress: return progress_proc(h, *c, msg, w, l);
    case Kind::kTab: return tab_proc(h, *c, msg, w, l);
    case Kind::kEdit: return edit_proc(h, *c, msg, w, l);
    case Kind::kAnimate: return animate_proc(h, *c, msg, w, l);
    case Kind::kTooltip: return tooltip_proc(h, *c, msg, w, l);
    case Kind::kStatic: return static_proc(h, *c, msg, w, l);
    default: return DefWindowProcA(h, msg, w, l);
  }
}

namespace {

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
  if (c->kind == Kind::kEdit) return edit_type(h, *c, text);
  if (c->kind == Kind::kComboBox) return combo_type(h, text);
  return FALSE;
}
