// Edit controls: single-line fields that scroll to keep the caret in view,
// and multi-line text.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <string>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

// The pixel where text position `at` of a single-line field lies.
LONG edit_x(HDC dc, const std::string& text, int at, LONG left) {
  SIZE size = {0, 0};
  if (at > 0) GetTextExtentPoint32A(dc, text.c_str(), at, &size);
  return left + size.cx;
}

}  // namespace

void paint_field_text(HDC dc, const Control& c, const std::string& text, const RECT& inner, bool focused) {
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  const LONG top = inner.top + std::max<LONG>(0, (rect_height(inner) - tm.tmHeight) / 2);
  // Text that does not fit scrolls so the caret stays in view.
  const int caret = std::min(c.sel_end, static_cast<int>(text.size()));
  const int start = std::min(c.sel_start, caret);
  const LONG caret_x = edit_x(dc, text, caret, 0);
  const LONG shift = std::max<LONG>(0, caret_x - (rect_width(inner) - 1));
  const LONG left = inner.left - shift;
  ExtTextOutA(dc, left, top, ETO_CLIPPED, &inner, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  if (focused && start < caret) {
    // The selection in the highlight colours.
    RECT sel = {std::max(inner.left, edit_x(dc, text, start, left)), top,
                std::min(inner.right, edit_x(dc, text, caret, left)), top + tm.tmHeight};
    fill_color(dc, sel, COLOR_HIGHLIGHT);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    ExtTextOutA(dc, left, top, ETO_CLIPPED, &sel, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  } else if (focused) {
    const RECT bar = {left + caret_x, top, left + caret_x + 1, top + tm.tmHeight};
    fill_color(dc, bar, COLOR_WINDOWTEXT);
  }
}

namespace {

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
  paint_field_text(p.dc, c, text, inner, GetFocus() == h);
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
  // A combo box's field tells its own codes.
  const bool combo = c.kind == Kind::kComboBox;
  notify_command(h, combo ? CBN_EDITUPDATE : EN_UPDATE);
  if (IsWindow(h)) notify_command(h, combo ? CBN_EDITCHANGE : EN_CHANGE);
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

}  // namespace

LRESULT field_key(HWND h, Control& c, UINT msg, WPARAM w) {
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

LRESULT edit_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETTEXT) {
    const LRESULT r = DefWindowProcA(h, msg, w, l);
    c.sel_start = c.sel_end = 0;
    InvalidateRect(h, nullptr, FALSE);
    // A single-line edit reports every change of its text.
    if (!(style_of(h) & ES_MULTILINE)) {
      notify_command(h, EN_UPDATE);
      notify_command(h, EN_CHANGE);
    }
    return r;
  }
  if (msg == EM_LIMITTEXT) {
    c.limit = static_cast<size_t>(w);
    return 0;
  }
  if (msg == EM_GETSEL) {
    if (w) *reinterpret_cast<DWORD*>(w) = static_cast<DWORD>(c.sel_start);
    if (l) *reinterpret_cast<DWORD*>(l) = static_cast<DWORD>(c.sel_end);
    return MAKELONG(c.sel_start, c.sel_end);
  }
  if (msg == EM_SETSEL) {
    // -1 as the start removes the selection; -1 as the end (or any
    // position past the text) means its end.
    const int length = GetWindowTextLengthA(h);
    const int start = static_cast<int>(w), end = static_cast<int>(l);
    if (start == -1) {
      c.sel_start = c.sel_end;
    } else {
      c.sel_start = std::min(std::max(start, 0), length);
      c.sel_end = end < 0 ? length : std::min(end, length);
      if (c.sel_end < c.sel_start) std::swap(c.sel_start, c.sel_end);
    }
    return 0;
  }
  if (msg == WM_KILLFOCUS || msg == WM_SETFOCUS || msg == WM_ENABLE) InvalidateRect(h, nullptr, FALSE);
  if (msg == WM_KILLFOCUS) notify_command(h, EN_KILLFOCUS);
  if (msg == WM_SETFOCUS) notify_command(h, EN_SETFOCUS);
  if (msg == WM_PAINT) return paint_edit(h, c), 0;
  if (msg == WM_CHAR || msg == WM_KEYDOWN) return field_key(h, c, msg, w);
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
}

BOOL edit_type(HWND h, Control& c, LPCSTR text) {
  if (style_of(h) & ES_READONLY) return FALSE;
  std::string typed = text ? text : "";
  if (c.limit != 0 && typed.size() > c.limit) {
    // Typing stops at the limit, never inside a double-byte character.
    size_t keep = 0;
    for (size_t i = 0; i < typed.size();) {
      const size_t n = static_cast<unsigned char>(typed[i]) >= 0x81 && i + 1 < typed.size() ? 2 : 1;
      if (i + n > c.limit) break;
      i += n;
      keep = i;
    }
    typed.resize(keep);
  }
  DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
  InvalidateRect(h, nullptr, FALSE);
  // The caret stays behind the last character typed.
  c.sel_start = c.sel_end = GetWindowTextLengthA(h);
  notify_command(h, EN_UPDATE);
  notify_command(h, EN_CHANGE);
  return TRUE;
}

}  // namespace qmuser
