// Text in a rectangle and 3-D edges, drawn with the software GDI the way the
// window system draws control labels and frames.
#include "platform/user/user_internal.h"

#include <winuser.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace qmuser {
namespace {

constexpr char kEllipsis[] = "...";

// The length of the first character of 8-bit GBK text.
size_t char_length(const std::string& s, size_t at) {
  const unsigned char c = static_cast<unsigned char>(s[at]);
  return c >= 0x81 && c <= 0xFE && at + 1 < s.size() ? 2 : 1;
}

int text_width(HDC hdc, const std::string& s) {
  SIZE size = {0, 0};
  if (!GetTextExtentPoint32A(hdc, s.c_str(), static_cast<int>(s.size()), &size)) return 0;
  return size.cx;
}

// The longest start of the line that fits `width` with "..." after it
// (just "..." when nothing does), whole characters only.
std::string with_end_ellipsis(HDC hdc, const std::string& line, int width) {
  std::string best = kEllipsis;
  for (size_t n = 0; n < line.size();) {
    n += char_length(line, n);
    std::string candidate = line.substr(0, n) + kEllipsis;
    if (text_width(hdc, candidate) > width) break;
    best = std::move(candidate);
  }
  return best;
}

std::vector<std::string> split_lines(const std::string& text, bool single) {
  std::vector<std::string> lines;
  if (single) {
    lines.push_back(text);
    return lines;
  }
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// Fills the pixels [x0, x1) x [y0, y1) with a system colour.
void fill(HDC hdc, LONG x0, LONG y0, LONG x1, LONG y1, int color) {
  if (x0 >= x1 || y0 >= y1) return;
  RECT r = {x0, y0, x1, y1};
  FillRect(hdc, &r, GetSysColorBrush(color));
}

}  // namespace

HFONT gui_font() {
  static HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
  return font;
}

}  // namespace qmuser

using namespace qmuser;

int DrawTextA(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format) {
  if (!rect || (!text && length != 0) || length < -1) return 0;
  const std::string all = length == -1 ? std::string(text) : std::string(text ? text : "", static_cast<size_t>(length));
  TEXTMETRICA tm;
  if (!GetTextMetricsA(hdc, &tm)) return 0;
  const bool single = (format & DT_SINGLELINE) != 0;
  const std::vector<std::string> lines = split_lines(all, single);
  const LONG line_height = tm.tmHeight;
  const LONG total = line_height * static_cast<LONG>(lines.size());

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, text_width(hdc, line));
    rect->right = rect->left + widest;
    rect->bottom = rect->top + total;
    return total;
  }

  LONG y = rect->top;
  if (single && (format & DT_VCENTER))
    y = rect->top + (rect->bottom - rect->top - line_height) / 2;
  else if (single && (format & DT_BOTTOM))
    y = rect->bottom - line_height;
  // The text is placed by its cell's left-top corner, whatever alignment
  // the caller left in the DC.
  const UINT old_align = SetTextAlign(hdc, TA_LEFT | TA_TOP);
  const UINT clip = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
  const int box = rect->right - rect->left;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    int width = text_width(hdc, line);
    if ((format & DT_END_ELLIPSIS) && width > box) {
      line = with_end_ellipsis(hdc, line, box);
      width = text_width(hdc, line);
    }
    LONG x = rect->left;
    if (format & DT_CENTER)
      x = rect->left + (box - width) / 2;
    else if (format & DT_RIGHT)
      x = rect->right - width;
    ExtTextOutA(hdc, x, y + line_height * static_cast<LONG>(i), clip, rect, line.c_str(),
                static_cast<UINT>(line.size()), nullptr);
  }
  if (old_align != GDI_ERROR) SetTextAlign(hdc, old_align);
  return single && (format & (DT_VCENTER | DT_BOTTOM)) ? y + line_height - rect->top : total;
}

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags) {
  if (!rect || GetObjectType(hdc) == 0) return FALSE;
  RECT r = *rect;
  // The outer line first, then the inner one inside what it left.
  struct Line {
    UINT raised, sunken;
    int raised_tl, raised_br, sunken_tl, sunken_br;
  };
  const Line lines[2] = {
      {BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
      {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
  };
  for (const Line& l : lines) {
    if (!(edge & (l.raised | l.sunken))) continue;
    const bool raised = (edge & l.raised) != 0;
    const int tl = raised ? l.raised_tl : l.sunken_tl;
    const int br = raised ? l.raised_br : l.sunken_br;
    if (r.left >= r.right || r.top >= r.bottom) break;
    // Bottom and right own the corners they share with top and left.
    if (flags & BF_BOTTOM) fill(hdc, r.left, r.bottom - 1, r.right, r.bottom, br);
    if (flags & BF_RIGHT) fill(hdc, r.right - 1, r.top, r.right, r.bottom, br);
    const LONG tl_right = (flags & BF_RIGHT) ? r.right - 1 : r.right;
    const LONG tl_bottom = (flags & BF_BOTTOM) ? r.bottom - 1 : r.bottom;
    if (flags & BF_TOP) fill(hdc, r.left, r.top, tl_right, r.top + 1, tl);
    if (flags & BF_LEFT) fill(hdc, r.left, r.top, r.left + 1, tl_bottom, tl);
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_RIGHT) --r.right;
    if (flags & BF_BOTTOM) --r.bottom;
  }
  if (flags & BF_MIDDLE) fill(hdc, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}
