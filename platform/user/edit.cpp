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

// A multi-line edit's shown row: where it starts and ends in the text, its
// line break left out.
struct Row {
  int start, end;
};

// The rows of a multi-line edit (CR LF or LF ends a line). Without
// ES_AUTOHSCROLL a line wider than the field wraps after its last space or
// comma that fits, else at the edge, so every character shows.
std::vector<Row> rows_of(HWND h, const Control& c, const std::string& text) {
  RECT client;
  GetClientRect(h, &client);
  const LONG width = client.right - client.left - 8;
  const bool wrap = !(style_of(h) & ES_AUTOHSCROLL) && width > 0;
  HDC dc = wrap ? GetDC(nullptr) : nullptr;
  HGDIOBJ old = dc ? SelectObject(dc, control_font(c)) : nullptr;
  auto char_width = [&](size_t at, size_t n) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str() + at, static_cast<int>(n), &size);
    return size.cx;
  };
  std::vector<Row> rows;
  for (size_t at = 0;;) {
    const size_t newline = text.find('\n', at);
    size_t stop = newline == std::string::npos ? text.size() : newline;
    if (stop > at && text[stop - 1] == '\r') --stop;
    size_t from = at;
    LONG used = 0;
    size_t fit_break = std::string::npos;
    for (size_t i = from; dc && i < stop;) {
      const size_t n = char_length_at(text, i);
      const LONG w = char_width(i, n);
      if (used + w > width && i > from) {
        const size_t cut = fit_break != std::string::npos ? fit_break : i;
        rows.push_back({static_cast<int>(from), static_cast<int>(cut)});
        from = cut, used = 0, fit_break = std::string::npos, i = cut;
        continue;
      }
      used += w;
      i += n;
      if (text[i - n] == ' ' || text[i - n] == ',') fit_break = i;
    }
    rows.push_back({static_cast<int>(from), static_cast<int>(stop)});
    if (newline == std::string::npos) break;
    at = newline + 1;
  }
  if (dc) SelectObject(dc, old), ReleaseDC(nullptr, dc);
  return rows;
}

// The row a text position lies on; a position where a wrapped row ends
// belongs to the row it starts.
int row_at(const std::vector<Row>& rows, int at) {
  int row = 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].start <= at) row = static_cast<int>(i);
  return row;
}

int line_height(const Control& c) { return std::max<LONG>(1, text_metrics(control_font(c)).tmHeight); }

// How many whole rows a multi-line edit shows.
int lines_shown(HWND h, const Control& c) {
  RECT client;
  GetClientRect(h, &client);
  return std::max(1, static_cast<int>((client.bottom - 4) / line_height(c)));
}

// A multi-line edit's own scroll bar (WS_VSCROLL) shows the rows in view.
// The bar coming or going changes the width the rows wrap in, so the rows
// are counted again until the width holds.
void show_lines(HWND h, Control& c) {
  for (LONG width = -1;;) {
    RECT client;
    GetClientRect(h, &client);
    if (client.right == width) return;
    width = client.right;
    const int count = static_cast<int>(rows_of(h, c, text_of(h)).size()), rows = lines_shown(h, c);
    c.top = std::min(c.top, std::max(0, count - rows));
    show_rows(h, count, rows, c.top);
  }
}

// Scrolls a multi-line edit so the caret's row is in view.
void scroll_to_caret(HWND h, Control& c) {
  const int row = row_at(rows_of(h, c, text_of(h)), c.caret_first ? c.sel_start : c.sel_end);
  const int rows = lines_shown(h, c);
  if (row < c.top) c.top = row;
  if (row >= c.top + rows) c.top = row - rows + 1;
  show_lines(h, c);
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
    // The rows from the first one scrolled to, each clipped to the inside,
    // with the selection's part of each and the caret.
    TEXTMETRICA tm;
    GetTextMetricsA(p.dc, &tm);
    const std::vector<Row> rows = rows_of(h, c, text);
    const LONG line = std::max<LONG>(1, tm.tmHeight);
    const bool focused = GetFocus() == h;
    const int caret = c.caret_first ? c.sel_start : c.sel_end;
    const int caret_row = row_at(rows, caret);
    const COLORREF ink = GetSysColor(p.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    for (size_t i = static_cast<size_t>(std::max(c.top, 0)); i < rows.size(); ++i) {
      const LONG y = inner.top + static_cast<LONG>(i - static_cast<size_t>(c.top)) * line;
      if (y >= inner.bottom) break;
      const Row& row = rows[i];
      const std::string shown = text.substr(static_cast<size_t>(row.start), static_cast<size_t>(row.end - row.start));
      SetTextColor(p.dc, ink);
      ExtTextOutA(p.dc, inner.left, y, ETO_CLIPPED, &inner, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
      const int from = std::max(c.sel_start, row.start) - row.start, to = std::min(c.sel_end, row.end) - row.start;
      if (focused && c.sel_start < c.sel_end && from < to) {
        RECT sel = {edit_x(p.dc, shown, from, inner.left), y,
                    std::min(inner.right, edit_x(p.dc, shown, to, inner.left)), std::min(inner.bottom, y + line)};
        fill_color(p.dc, sel, COLOR_HIGHLIGHT);
        SetTextColor(p.dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        ExtTextOutA(p.dc, inner.left, y, ETO_CLIPPED, &sel, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
      } else if (focused && c.sel_start == c.sel_end && static_cast<int>(i) == caret_row) {
        const LONG x = edit_x(p.dc, shown, caret - row.start, inner.left);
        const RECT bar = {x, y, x + 1, std::min(inner.bottom, y + line)};
        fill_color(p.dc, bar, COLOR_WINDOWTEXT);
      }
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
  if (style_of(h) & ES_MULTILINE) scroll_to_caret(h, c);
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

// One character back or on from `at`; a line break (CR LF) is one step.
int step_back(const std::string& text, int at) {
  if (at >= 2 && text.compare(static_cast<size_t>(at) - 2, 2, "\r\n") == 0) return at - 2;
  return previous_char(text, at);
}
int step_on(const std::string& text, int at) {
  if (at >= static_cast<int>(text.size())) return at;
  if (text.compare(static_cast<size_t>(at), 2, "\r\n") == 0) return at + 2;
  return at + static_cast<int>(char_length_at(text, static_cast<size_t>(at)));
}

// The text position between `from` and `to` whose distance from `from`'s
// pixel is nearest `want`.
int nearest_position(HFONT font, const std::string& text, int from, int to, LONG want) {
  int best = from;
  LONG best_gap = want < 0 ? -want : want;
  for (size_t i = static_cast<size_t>(from); i < static_cast<size_t>(to);) {
    i += char_length_at(text, i);
    const LONG gap =
        std::abs(text_width(font, text.substr(static_cast<size_t>(from), i - static_cast<size_t>(from))) - want);
    if (gap < best_gap) best_gap = gap, best = static_cast<int>(i);
  }
  return best;
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
  if (style_of(h) & ES_MULTILINE) scroll_to_caret(h, c);
  InvalidateRect(h, nullptr, FALSE);
}

// Where the caret of a multi-line edit goes for a key that moves it by
// rows (the arrows up and down, the page keys) or within its row (Home,
// End; with Ctrl, the text's ends); -1 for any other key. Moving by rows
// keeps the caret's pixel column as near as the row allows.
int multi_line_target(HWND h, Control& c, const std::string& text, int caret, WPARAM key, bool control) {
  const std::vector<Row> rows = rows_of(h, c, text);
  const int row = row_at(rows, caret), page = lines_shown(h, c), last = static_cast<int>(rows.size()) - 1;
  int to = row;
  switch (key) {
    case VK_HOME: return control ? 0 : rows[static_cast<size_t>(row)].start;
    case VK_END: return control ? static_cast<int>(text.size()) : rows[static_cast<size_t>(row)].end;
    case VK_UP: to = row - 1; break;
    case VK_DOWN: to = row + 1; break;
    case VK_PRIOR: to = row - page; break;
    case VK_NEXT: to = row + page; break;
    default: return -1;
  }
  if (to < 0) return key == VK_UP ? caret : 0;
  if (to > last) return key == VK_DOWN ? caret : static_cast<int>(text.size());
  if (key == VK_PRIOR || key == VK_NEXT) c.top = std::max(0, c.top + (to - row));
  const HFONT font = control_font(c);
  const Row& here = rows[static_cast<size_t>(row)];
  const LONG x =
      text_width(font, text.substr(static_cast<size_t>(here.start), static_cast<size_t>(caret - here.start)));
  const Row& there = rows[static_cast<size_t>(to)];
  return nearest_position(font, text, there.start, there.end, x);
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
      if (c.sel_start < c.sel_end)
        edit_replace(h, c, "", c.sel_start, c.sel_end);
      else if (c.sel_end > 0)
        edit_replace(h, c, "", step_back(text, c.sel_end), c.sel_end);
      return 0;
    }
    // Enter breaks a multi-line edit's line; other control characters type nothing.
    if (w == VK_RETURN && (style_of(h) & ES_MULTILINE)) return edit_replace(h, c, "\r\n", c.sel_start, c.sel_end), 0;
    if (w < 0x20 || w == 0x7F) return 0;
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
  if (style_of(h) & ES_MULTILINE) {
    const int target = multi_line_target(h, c, text, caret, w, control);
    if (target >= 0) return move_caret(h, c, target, shift), 0;
  }
  switch (w) {
    case VK_LEFT: move_caret(h, c, selected && !shift ? c.sel_start : step_back(text, caret), shift); return 0;
    case VK_RIGHT: move_caret(h, c, selected && !shift ? c.sel_end : step_on(text, caret), shift); return 0;
    case VK_HOME: move_caret(h, c, 0, shift); return 0;
    case VK_END: move_caret(h, c, length, shift); return 0;
    case VK_DELETE:
      if (read_only) return 0;
      if (selected)
        edit_replace(h, c, "", c.sel_start, c.sel_end);
      else if (caret < length)
        edit_replace(h, c, "", caret, step_on(text, caret));
      return 0;
    default: return DefWindowProcA(h, WM_KEYDOWN, w, 0);
  }
}

namespace {

// The text position nearest a client point: in a single-line field with
// the text scrolled as paint_field_text scrolls it, in a multi-line edit on
// the row shown there.
int position_at(HWND h, const Control& c, LONG x, LONG y) {
  RECT client;
  GetClientRect(h, &client);
  const std::string text = text_of(h);
  const HFONT font = control_font(c);
  const LONG inner_left = client.left + 4, inner_width = client.right - client.left - 8;
  if (style_of(h) & ES_MULTILINE) {
    const std::vector<Row> rows = rows_of(h, c, text);
    const int shown = c.top + static_cast<int>(std::max<LONG>(0, y - 3) / line_height(c));
    const Row& row = rows[static_cast<size_t>(std::min(shown, static_cast<int>(rows.size()) - 1))];
    return nearest_position(font, text, row.start, row.end, x - inner_left);
  }
  const int caret = std::min(c.sel_end, static_cast<int>(text.size()));
  const LONG shift =
      std::max<LONG>(0, text_width(font, text.substr(0, static_cast<size_t>(caret))) - (inner_width - 1));
  return nearest_position(font, text, 0, static_cast<int>(text.size()), x - inner_left + shift);
}

}  // namespace

LRESULT edit_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETTEXT) {
    const LRESULT r = DefWindowProcA(h, msg, w, l);
    c.sel_start = c.sel_end = 0;
    c.top = 0;
    if (style_of(h) & ES_MULTILINE) show_lines(h, c);
    InvalidateRect(h, nullptr, FALSE);
    // A single-line edit reports every change of its text.
    if (!(style_of(h) & ES_MULTILINE)) {
      notify_command(h, EN_UPDATE);
      notify_command(h, EN_CHANGE);
    }
    return r;
  }
  if (msg == EM_GETLINECOUNT || msg == EM_LINEINDEX || msg == EM_LINEFROMCHAR || msg == EM_GETFIRSTVISIBLELINE) {
    // Rows as shown (a wrapped line counts each of its rows); -1 as the
    // position or row means the caret's.
    const std::vector<Row> rows =
        style_of(h) & ES_MULTILINE ? rows_of(h, c, text_of(h)) : std::vector<Row>{{0, GetWindowTextLengthA(h)}};
    const int caret = c.caret_first ? c.sel_start : c.sel_end;
    const int at = static_cast<int>(w);
    switch (msg) {
      case EM_GETLINECOUNT: return static_cast<LRESULT>(rows.size());
      case EM_GETFIRSTVISIBLELINE: return style_of(h) & ES_MULTILINE ? c.top : 0;
      case EM_LINEFROMCHAR: return row_at(rows, at < 0 ? caret : at);
      default: {
        const int row = at < 0 ? row_at(rows, caret) : at;
        return row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)].start : -1;
      }
    }
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
    const int count = static_cast<int>(rows_of(h, c, text_of(h)).size()), rows = lines_shown(h, c);
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
    if (msg == WM_LBUTTONDBLCLK) {
      c.sel_start = 0, c.sel_end = GetWindowTextLengthA(h), c.caret_first = false;
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    }
    move_caret(h, c, position_at(h, c, GET_X_LPARAM(l), GET_Y_LPARAM(l)), (w & MK_SHIFT) != 0);
    SetCapture(h);
    return 0;
  }
  if (msg == WM_MOUSEMOVE && GetCapture() == h) {
    move_caret(h, c, position_at(h, c, GET_X_LPARAM(l), GET_Y_LPARAM(l)), true);
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
  // The caret stays behind the last character typed, in view.
  c.sel_start = c.sel_end = GetWindowTextLengthA(h);
  if (style_of(h) & ES_MULTILINE) scroll_to_caret(h, c);
  notify_command(h, EN_UPDATE);
  notify_command(h, EN_CHANGE);
  return TRUE;
}

}  // namespace qmuser
