// Text output of the software GDI: monochrome glyphs rendered by FreeType
// at the selected font's size, laid out along the baseline by their hinted
// advances and painted in the DC's text colour.
//
// The cell of a line is the font's ascent plus descent (the Windows metrics
// of the face when it has them), so a positive font height is the cell
// height, as for CreateFontA. Only glyphs that reach the bitmap are
// rendered; a font whose em is larger than kMaxEm pixels is refused rather
// than rendered into a bitmap of unbounded size.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

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
// corner at (left, top).
void paint_mono(Surface& s, const FT_Bitmap& b, int64_t left, int64_t top, uint32_t v) {
  if (b.pixel_mode != FT_PIXEL_MODE_MONO || !b.buffer) return;
  const int64_t pitch = b.pitch;
  for (unsigned r = 0; r < b.rows; ++r) {
    const int64_t y = top + r;
    if (y < 0 || y >= s.height) continue;
    // A negative pitch means the rows run bottom-up from the buffer start.
    const unsigned char* row = pitch >= 0 ? b.buffer + r * pitch : b.buffer + (int64_t(b.rows) - 1 - r) * -pitch;
    for (unsigned c = 0; c < b.width; ++c) {
      const int64_t x = left + c;
      if (x < 0 || x >= s.width) continue;
      if (row[c >> 3] & (0x80u >> (c & 7))) s.put(static_cast<int>(x), static_cast<int>(y), v);
    }
  }
}

}  // namespace
}  // namespace qmgdi

using namespace qmgdi;

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
  Dc* dc = find_dc(hdc);
  if (!dc) return FALSE;
  Surface* s = dc->target();
  if (!s) return FALSE;
  if (!text || length <= 0) return TRUE;
  FT_Face face = font_face(dc->font);
  if (!face) return FALSE;
  const Metrics m = metrics_of(face, dc->font->height);
  const double em = m.scale * (face->units_per_EM ? face->units_per_EM : 2048);
  if (!(em > 0) || em > kMaxEm) return FALSE;
  if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72) != 0) return FALSE;

  const std::u16string chars = qm_gbk_to_utf16(std::string_view(text, static_cast<size_t>(length)));
  std::vector<FT_UInt> glyphs;
  std::vector<int64_t> advances;
  glyphs.reserve(chars.size());
  advances.reserve(chars.size());
  int64_t width = 0;
  for (char16_t ch : chars) {
    const FT_UInt index = FT_Get_Char_Index(face, ch);
    int64_t adv = 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) == 0) adv = (face->glyph->advance.x + 32) >> 6;
    glyphs.push_back(index);
    advances.push_back(adv);
    width += adv;
  }

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

  if (dc->bk_mode == OPAQUE) fill_cell(*s, left, top, left + width, top + m.ascent + m.descent, s->from_rgb(dc->bk_color));

  const uint32_t ink = s->from_rgb(dc->text_color);
  int64_t pen = left;
  for (size_t i = 0; i < glyphs.size(); ++i) {
    // A glyph's box lies within its advance and the cell give or take the
    // em; glyphs well outside the bitmap are not rendered at all.
    const int64_t reach = static_cast<int64_t>(em) + 1;
    const bool near = pen + advances[i] + reach >= 0 && pen - reach < s->width && baseline + reach >= 0 &&
                      baseline - reach < s->height;
    if (near && FT_Load_Glyph(face, glyphs[i], FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
      const FT_GlyphSlot g = face->glyph;
      paint_mono(*s, g->bitmap, pen + g->bitmap_left, baseline - g->bitmap_top, ink);
    }
    pen += advances[i];
  }

  if (update_cp) {
    // Past the text in the writing direction; centred text leaves it.
    int64_t nx = ox;
    if ((align & TA_CENTER) == TA_RIGHT) nx = ox - width;
    else if ((align & TA_CENTER) == TA_LEFT) nx = ox + width;
    if (nx < INT32_MIN) nx = INT32_MIN;
    if (nx > INT32_MAX) nx = INT32_MAX;
    dc->pos.x = static_cast<LONG>(nx);
  }
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
