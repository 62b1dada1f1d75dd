// Text output and text measurement of the software GDI: monochrome glyphs
// rendered by FreeType at the selected font's size, laid out along the
// baseline by their hinted advances and painted in the DC's text colour.
//
// The cell of a line is the font's ascent plus descent (the Windows metrics
// of the face when it has them), so a positive font height is the cell
// height, as for CreateFontA. Only glyphs that reach the bitmap are
// rendered; a font whose em is larger than kMaxEm pixels is refused rather
// than rendered into a bitmap of unbounded size.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "gdi_internal.h"
#include "qm_text.h"

namespace qmgdi {
namespace {

constexpr double kMaxEm = 4096.0;
constexpr UINT kAlignBits = TA_UPDATECP | TA_CENTER | TA_BASELINE;

struct Metrics {
  double scale = 0;  // pixels per font unit
  int ascent = 0, descent = 0;
};

Metrics metrics_of(FT_Face f, int height) {
  Metrics m;
  m.scale = font_units_scale(f, height);
  double asc = 0, desc = 0;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && double(os2->usWinAscent) + os2->usWinDescent > 0) {
    asc = os2->usWinAscent;
    desc = os2->usWinDescent;
  } else if (double(f->ascender) - f->descender > 0) {
    asc = f->ascender;
    desc = -double(f->descender);
  } else {
    asc = f->units_per_EM ? f->units_per_EM : 2048;
  }
  m.ascent = static_cast<int>(std::lround(asc * m.scale));
  m.descent = static_cast<int>(std::lround(desc * m.scale));
  return m;
}

// Fills [x0, x1) x [y0, y1) (in 64-bit coordinates) cut to the surface.
void fill_cell(Surface& s, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t v) {
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > s.width) x1 = s.width;
  if (y1 > s.height) y1 = s.height;
  for (int64_t y = y0; y < y1; ++y)
    for (int64_t x = x0; x < x1; ++x) s.put(static_cast<int>(x), static_cast<int>(y), v);
}

// Paints the set bits of the slot's monochrome bitmap with its left-top
// corner at (left, top), only inside [x0, x1) x [y0, y1).
void paint_mono(Surface& s, const FT_Bitmap& b, int64_t left, int64_t top, uint32_t v, int64_t x0, int64_t y0,
                int64_t x1, int64_t y1) {
  if (b.pixel_mode != FT_PIXEL_MODE_MONO || !b.buffer) return;
  const int64_t pitch = b.pitch;
  for (unsigned r = 0; r < b.rows; ++r) {
    const int64_t y = top + r;
    if (y < y0 || y >= y1) continue;
    // A negative pitch means the rows run bottom-up from the buffer start.
    const unsigned char* row = pitch >= 0 ? b.buffer + r * pitch : b.buffer + (int64_t(b.rows) - 1 - r) * -pitch;
    for (unsigned c = 0; c < b.width; ++c) {
      const int64_t x = left + c;
      if (x < x0 || x >= x1) continue;
      if (row[c >> 3] & (0x80u >> (c & 7))) s.put(static_cast<int>(x), static_cast<int>(y), v);
    }
  }
}

}  // namespace
}  // namespace qmgdi

using namespace qmgdi;

namespace qmgdi {
namespace {

// A line of text laid out with the selected font: its glyphs, the face of
// each (the font's, or another installed face for a character the font
// lacks), their advances and the font's cell.
struct Line {
  FT_Face face = nullptr;
  Metrics m;
  double em = 0;
  std::vector<FT_Face> faces;
  std::vector<FT_UInt> glyphs;
  std::vector<int64_t> advances;
  int64_t width = 0;
};

// Sets a face's size in 26.6 pixels. Setting a size runs the face's font
// program again, which costs more than drawing a line of text, so a face
// already at that size is left as it is (the size is marked in the size
// object's client field, which goes with the face).
bool set_size(FT_Face face, FT_F26Dot6 size) {
  void* mark = reinterpret_cast<void*>(static_cast<intptr_t>(size));
  if (face->size && size > 0 && face->size->generic.data == mark) return true;
  if (FT_Set_Char_Size(face, 0, size, 72, 72) != 0) return false;
  face->size->generic.data = mark;
  return true;
}

// False when the DC has no font that can be rendered at its size.
bool lay_out(Dc* dc, LPCSTR text, int length, Line* line) {
  line->face = font_face(dc->font);
  if (!line->face) return false;
  line->m = metrics_of(line->face, dc->font->height);
  line->em = line->m.scale * (line->face->units_per_EM ? line->face->units_per_EM : 2048);
  if (!(line->em > 0) || line->em > kMaxEm) return false;
  const FT_F26Dot6 size = static_cast<FT_F26Dot6>(std::lround(line->em * 64));
  if (!set_size(line->face, size)) return false;
  if (!text || length <= 0) return true;
  const std::u16string chars = qm_gbk_to_utf16(std::string_view(text, static_cast<size_t>(length)));
  line->faces.reserve(chars.size());
  line->glyphs.reserve(chars.size());
  line->advances.reserve(chars.size());
  // A run of characters the font lacks takes one face that has them all
  // when there is one, so that a word is drawn in one face.
  auto lacks = [&](size_t i) { return chars[i] > 0x20 && !face_draws(line->face, chars[i]); };
  FT_Face run_face = nullptr;
  for (size_t i = 0; i < chars.size(); ++i) {
    const char16_t ch = chars[i];
    if (i == 0 || !lacks(i - 1)) {
      size_t end = i;
      while (end < chars.size() && lacks(end)) ++end;
      run_face = end > i ? fallback_face(chars.substr(i, end - i)) : nullptr;
    }
    FT_Face face = line->face;
    FT_UInt index = FT_Get_Char_Index(face, ch);
    if (lacks(i)) {
      FT_Face other = run_face ? run_face : fallback_face(ch);
      if (other && set_size(other, size)) {
        face = other;
        index = FT_Get_Char_Index(other, ch);
      }
    }
    int64_t adv = 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) == 0) adv = (face->glyph->advance.x + 32) >> 6;
    line->faces.push_back(face);
    line->glyphs.push_back(index);
    line->advances.push_back(adv);
    line->width += adv;
  }
  return true;
}

int clamp_to_int(int64_t v) { return static_cast<int>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v); }

}  // namespace
}  // namespace qmgdi

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx) {
  Dc* dc = find_dc(hdc);
  if (!dc || dx || (options & ~(ETO_OPAQUE | ETO_CLIPPED)) != 0) return FALSE;
  Surface* s = dc->target();
  if (!s) return FALSE;
  if ((options & (ETO_OPAQUE | ETO_CLIPPED)) && !rect) return FALSE;
  if (length > static_cast<UINT>(INT32_MAX)) return FALSE;
  // The clip: the surface, cut to the rectangle with ETO_CLIPPED.
  int64_t cx0 = 0, cy0 = 0, cx1 = s->width, cy1 = s->height;
  if (options & ETO_CLIPPED) {
    cx0 = std::max<int64_t>(cx0, rect->left);
    cy0 = std::max<int64_t>(cy0, rect->top);
    cx1 = std::min<int64_t>(cx1, rect->right);
    cy1 = std::min<int64_t>(cy1, rect->bottom);
  }
  if (options & ETO_OPAQUE) fill_cell(*s, rect->left, rect->top, rect->right, rect->bottom, s->from_rgb(dc->bk_color));
  if (!text || length == 0) return TRUE;
  Line line;
  if (!lay_out(dc, text, static_cast<int>(length), &line)) return FALSE;
  const Metrics& m = line.m;
  const int64_t width = line.width;

  const UINT align = dc->text_align;
  const bool update_cp = (align & TA_UPDATECP) != 0;
  const int64_t ox = update_cp ? dc->pos.x : x;
  const int64_t oy = update_cp ? dc->pos.y : y;
  int64_t left = ox;
  if ((align & TA_CENTER) == TA_CENTER) left = ox - width / 2;
  else if (align & TA_RIGHT) left = ox - width;
  int64_t top = oy;
  if ((align & TA_BASELINE) == TA_BASELINE) top = oy - m.ascent;
  else if (align & TA_BOTTOM) top = oy - (m.ascent + m.descent);
  const int64_t baseline = top + m.ascent;

  if (cx0 < cx1 && cy0 < cy1) {
    if (dc->bk_mode == OPAQUE) {
      fill_cell(*s, std::max(left, cx0), std::max(top, cy0), std::min(left + width, cx1),
                std::min(top + m.ascent + m.descent, cy1), s->from_rgb(dc->bk_color));
    }
    const uint32_t ink = s->from_rgb(dc->text_color);
    int64_t pen = left;
    for (size_t i = 0; i < line.glyphs.size(); ++i) {
      // A glyph's box lies within its advance and the cell give or take the
      // em; glyphs well outside the clip are not rendered at all.
      const int64_t reach = static_cast<int64_t>(line.em) + 1;
      const bool near = pen + line.advances[i] + reach >= cx0 && pen - reach < cx1 && baseline + reach >= cy0 &&
                        baseline - reach < cy1;
      if (near && FT_Load_Glyph(line.faces[i], line.glyphs[i], FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
        const FT_GlyphSlot g = line.faces[i]->glyph;
        paint_mono(*s, g->bitmap, pen + g->bitmap_left, baseline - g->bitmap_top, ink, cx0, cy0, cx1, cy1);
      }
      pen += line.advances[i];
    }
  }

  if (update_cp) {
    // Past the text in the writing direction; centred text leaves it.
    int64_t nx = ox;
    if ((align & TA_CENTER) == TA_RIGHT) nx = ox - width;
    else if ((align & TA_CENTER) == TA_LEFT) nx = ox + width;
    dc->pos.x = static_cast<LONG>(clamp_to_int(nx));
  }
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
  if (!text || length <= 0) return find_dc(hdc) && find_dc(hdc)->target() ? TRUE : FALSE;
  return ExtTextOutA(hdc, x, y, 0, nullptr, text, static_cast<UINT>(length), nullptr);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size) {
  Dc* dc = find_dc(hdc);
  if (!dc || !size || length < 0 || (length > 0 && !text)) return FALSE;
  Line line;
  if (!lay_out(dc, text, length, &line)) return FALSE;
  size->cx = clamp_to_int(line.width);
  size->cy = line.m.ascent + line.m.descent;
  return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA tm) {
  Dc* dc = find_dc(hdc);
  if (!dc || !tm) return FALSE;
  Line line;
  if (!lay_out(dc, "x", 1, &line)) return FALSE;
  *tm = TEXTMETRICA{};
  tm->tmAscent = line.m.ascent;
  tm->tmDescent = line.m.descent;
  tm->tmHeight = line.m.ascent + line.m.descent;
  tm->tmInternalLeading = std::max<LONG>(0, tm->tmHeight - static_cast<LONG>(std::lround(line.em)));
  tm->tmAveCharWidth = clamp_to_int(line.width);
  tm->tmMaxCharWidth = clamp_to_int(static_cast<int64_t>(std::lround(line.face->max_advance_width * line.m.scale)));
  tm->tmWeight = dc->font->weight > 0 ? dc->font->weight : FW_NORMAL;
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = screen().dpi;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = static_cast<char>(0xFF);
  tm->tmDefaultChar = '?';
  tm->tmBreakChar = ' ';
  tm->tmPitchAndFamily = TMPF_VECTOR | TMPF_TRUETYPE | (FT_IS_FIXED_WIDTH(line.face) ? 0 : TMPF_FIXED_PITCH);
  tm->tmCharSet = DEFAULT_CHARSET;
  return TRUE;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  return set_state<COLORREF>(hdc, &Dc::text_color, color, true, CLR_INVALID);
}
COLORREF GetTextColor(HDC hdc) { return get_state<COLORREF>(hdc, &Dc::text_color, CLR_INVALID); }

// The previous alignment; GDI_ERROR for a bad DC or unknown bits.
UINT SetTextAlign(HDC hdc, UINT align) {
  return set_state<UINT>(hdc, &Dc::text_align, align, (align & ~kAlignBits) == 0, GDI_ERROR);
}
UINT GetTextAlign(HDC hdc) { return get_state<UINT>(hdc, &Dc::text_align, GDI_ERROR); }
