// Edit controls: single-line fields that scroll to keep the caret in view,
// and multi-line text.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

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
  // Centred; a field lower than its text shows the text's middle, cut
  // alike above and below, rather than only its top.
  const LONG top = inner.top + (rect_height(inner) - tm.tmHeight) / 2;
  // Text that does not fit scrolls so the caret stays in view.
  const int caret = std::min(c.sel_end, static_cast<int>(text.size()));
  const int start = std::min(c.sel_start, caret);
  const LONG caret_x = edit_x(dc, text, caret, 0);
  const LONG shift = std::max<LONG>(0, caret_x - (rect_width(inner) - 1));
  const LONG left = inner.left - shift;
  const RECT clip = {inner.left, std::min(inner.top, top), inner.right, std::max(inner.bottom, top + tm.tmHeight)};
  ExtTextOutA(dc, left, top, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
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

// A multi-line edit's lines (CR LF or LF ends one).
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char ch : text) {
    if (ch == '\n')
      lines.emplace_back();
    else if (ch != '\r')
      lines.back() += ch;
  }
  return lines;
}

// How many whole lines a multi-line edit shows, and how many it has.
int lines_shown(HWND h, const Control& c) {
  RECT client;
  GetClientRect(h, &client);
  return std::max(1, static_cast<int>((client.bottom - 4) / std::max<LONG>(1, text_metrics(control_font(c)).tmHeight)));
}

// A multi-line edit's own scroll bar (WS_VSCROLL) shows the lines in view.
void show_lines(HWND h, Control& c) {
  const int count = static_cast<int>(lines_of(text_of(h)).size()), rows = lines_shown(h, c);
  c.top = std::min(c.top, std::max(0, count - rows));
  show_rows(h, count, rows, c.top);
}

void paint_edit(HWND h, Control& c) {
  if (style_of(h) & ES_MULTILINE) show_lines(h, c);
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
    // The lines from the first one scrolled to, each clipped to the inside.
    TEXTMETRICA tm;
    GetTextMetricsA(p.dc, &tm);
    const std::vector<std::string> lines = lines_of(text);
    const LONG line = std::max<LONG>(1, tm.tmHeight);
    for (size_t i = static_cast<size_t>(std::max(c.top, 0)); i < lines.size(); ++i) {
      const LONG y = inner.top + static_cast<LONG>(i - static_cast<size_t>(c.top)) * line;
      if (y >= inner.bottom) break;
      ExtTextOutA(p.dc, inner.left, y, ETO_CLIPPED, &inner, lines[i].c_str(), static_cast<UINT>(lines[i].size()), nullptr);
    }
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
  c.caret_first = false;
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

namespace {

// Moves the caret to `caret`; with `extend` the selection reaches from its
// other end (the anchor) to there, else it collapses onto the caret.
void move_caret(HWND h, Control& c, int caret, bool extend) {
  const int length = GetWindowTextLengthA(h);
  caret = std::min(std::max(caret, 0), length);
  const int anchor = c.caret_first ? c.sel_end : c.sel_start;
  if (!extend) {
    c.sel_start = c.sel_end = caret;
    c.caret_first = false;
  } else {
    c.sel_start = std::min(anchor, caret);
    c.sel_end = std::max(anchor, caret);
    c.caret_first = caret < anchor;
  }
  InvalidateRect(h, nullptr, FALSE);
}

// The clipboard's part: the selection copied (and cut), or its text pasted
// over the selection.
LRESULT clipboard_message(HWND h, Control& c, UINT msg) {
  const std::string text = text_of(h);
  const bool read_only = (style_of(h) & ES_READONLY) != 0;
  if (msg == WM_PASTE) {
    std::string pasted;
    if (read_only || !clipboard_text(pasted)) return 0;
    // A single-line field takes the first line.
    if (!(style_of(h) & ES_MULTILINE)) pasted = pasted.substr(0, pasted.find_first_of("\r\n"));
    edit_replace(h, c, pasted, c.sel_start, c.sel_end);
    return 0;
  }
  if (c.sel_start >= c.sel_end) return 0;
  if (msg != WM_CLEAR)
    set_clipboard_text(h, text.substr(static_cast<size_t>(c.sel_start), static_cast<size_t>(c.sel_end - c.sel_start)));
  if (msg != WM_COPY && !read_only) edit_replace(h, c, "", c.sel_start, c.sel_end);
  return 0;
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
  const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
  if (control) {
    // Ctrl+A takes the whole text; Ctrl+C, X and V (and Ctrl+Insert) copy,
    // cut and paste.
    switch (w) {
      case 'A':
        c.sel_start = 0, c.sel_end = length, c.caret_first = false;
        InvalidateRect(h, nullptr, FALSE);
        return 0;
      case 'C':
      case VK_INSERT: return clipboard_message(h, c, WM_COPY);
      case 'X': return clipboard_message(h, c, WM_CUT);
      case 'V': return clipboard_message(h, c, WM_PASTE);
      default: break;
    }
  }
  if (shift && w == VK_INSERT) return clipboard_message(h, c, WM_PASTE);
  if (shift && w == VK_DELETE) return clipboard_message(h, c, WM_CUT);
  const int caret = c.caret_first ? c.sel_start : c.sel_end;
  const bool selected = c.sel_start < c.sel_end;
  switch (w) {
    case VK_LEFT: move_caret(h, c, selected && !shift ? c.sel_start : previous_char(text, caret), shift); return 0;
    case VK_RIGHT: {
      const int next =
          caret >= length ? caret : caret + static_cast<int>(char_length_at(text, static_cast<size_t>(caret)));
      move_caret(h, c, selected && !shift ? c.sel_end : next, shift);
      return 0;
    }
    case VK_HOME: move_caret(h, c, 0, shift); return 0;
    case VK_END: move_caret(h, c, length, shift); return 0;
    case VK_DELETE:
      if (read_only) return 0;
      if (selected)
        edit_replace(h, c, "", c.sel_start, c.sel_end);
      else if (caret < length) edit_replace(h, c, "", caret, caret + static_cast<int>(char_length_at(text, static_cast<size_t>(caret))));
      return 0;
    default: return DefWindowProcA(h, WM_KEYDOWN, w, 0);
  }
}

namespace {

// The text position of a single-line field nearest a client x, with the
// text scrolled as paint_field_text scrolls it.
int position_at(HWND h, const Control& c, LONG x) {
  RECT client;
  GetClientRect(h, &client);
  const std::string text = text_of(h);
  const HFONT font = control_font(c);
  const LONG inner_left = client.left + 4, inner_width = client.right - client.left - 8;
  const int caret = std::min(c.sel_end, static_cast<int>(text.size()));
  const LONG shift =
      std::max<LONG>(0, text_width(font, text.substr(0, static_cast<size_t>(caret))) - (inner_width - 1));
  const LONG want = x - inner_left + shift;
  int best = 0;
  LONG best_gap = want < 0 ? -want : want;
  for (size_t i = 0; i < text.size();) {
    i += char_length_at(text, i);
    const LONG gap = std::abs(text_width(font, text.substr(0, i)) - want);
    if (gap < best_gap) best_gap = gap, best = static_cast<int>(i);
  }
  return best;
}

}  // namespace

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
    c.caret_first = false;
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
  if ((msg == WM_VSCROLL || msg == WM_MOUSEWHEEL) && (style_of(h) & ES_MULTILINE)) {
    // Three lines a notch of the wheel.
    const int notches = msg == WM_MOUSEWHEEL ? GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA : 0;
    const int count = static_cast<int>(lines_of(text_of(h)).size()), rows = lines_shown(h, c);
    const int top = msg == WM_VSCROLL ? scrolled_row(w, c.top, count, rows)
                                      : std::min(std::max(c.top - 3 * notches, 0), std::max(0, count - rows));
    if (top != c.top) c.top = top, InvalidateRect(h, nullptr, FALSE), show_lines(h, c);
    return 0;
  }
  if (msg == WM_CHAR || msg == WM_KEYDOWN) return field_key(h, c, msg, w);
  if (msg == WM_CUT || msg == WM_COPY || msg == WM_PASTE || msg == WM_CLEAR) return clipboard_message(h, c, msg);
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    // A click puts the caret there (Shift: the selection reaches there);
    // dragging selects; a double click takes the whole text.
    SetFocus(h);
    if (style_of(h) & ES_MULTILINE) return 0;
    if (msg == WM_LBUTTONDBLCLK) {
      c.sel_start = 0, c.sel_end = GetWindowTextLengthA(h), c.caret_first = false;
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    }
    move_caret(h, c, position_at(h, c, GET_X_LPARAM(l)), (w & MK_SHIFT) != 0);
    SetCapture(h);
    return 0;
  }
  if (msg == WM_MOUSEMOVE && GetCapture() == h && !(style_of(h) & ES_MULTILINE)) {
    move_caret(h, c, position_at(h, c, GET_X_LPARAM(l)), true);
    return 0;
  }
  if (msg == WM_LBUTTONUP && GetCapture() == h) {
    ReleaseCapture();
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
