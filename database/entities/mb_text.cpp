// Text layout, drawing and picking.
#include "database/entities/mb_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

#include "database/fonts/mb_font_library.h"
#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shape_code.h"
#include "database/mb_drawing.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_log.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"
#include "qm_text.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"

namespace {

int hex(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Code page 936 as Windows defines it has one single-byte character from
// 0x80 up: the euro sign at 0x80. It reads as its escape would.
constexpr unsigned char kEuroByte = 0x80;
constexpr uint32_t kEuroSign = 0x20AC;

// Four hexadecimal digits at p, or -1.
long hex4(const unsigned char* p) {
  long v = 0;
  for (int i = 0; i < 4; ++i) {
    const int d = hex(p[i]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

std::vector<MB_Text_Code> mb_text_codes(const char* text, size_t n) {
  std::vector<MB_Text_Code> out;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (s && i < n) {
    const unsigned char c = s[i];
    if (c == kEuroByte) {
      out.push_back({kEuroSign, MB_Text_Code::kEscape});
      ++i;
      continue;
    }
    if (c >= 0x80) {
      // A GBK character: a lead byte 81-FE and a trail byte 40-FE but 7F.
      // Any other byte from 80 up is a bad byte of its own; the byte after
      // a bad lead byte is read afresh.
      const unsigned char t = i + 1 < n ? s[i + 1] : 0;
      if (c >= 0x81 && c <= 0xFE && t >= 0x40 && t <= 0xFE && t != 0x7F) {
        out.push_back({uint32_t(c) << 8 | t, MB_Text_Code::kDoubleByte});
        i += 2;
      } else {
        out.push_back({c, MB_Text_Code::kBadByte});
        ++i;
      }
      continue;
    }
    if (c == '%' && i + 2 < n && s[i + 1] == '%') {
      uint32_t code = 0;
      switch (s[i + 2]) {
        case '%': code = 37; break;
        case 'c': case 'C': code = 8709; break;
        case 'd': case 'D': code = 176; break;
        case 'p': case 'P': code = 177; break;
        default: code = 0; break;
      }
      out.push_back({code, MB_Text_Code::kPercent});
      i += 3;
      continue;
    }
    if (c == '\\' && i + 2 < n && s[i + 2] == '+') {
      const unsigned char k = s[i + 1];
      long v = -1;
      size_t len = 0;
      if ((k == 'U' || k == 'u') && i + 7 <= n) {
        v = hex4(s + i + 3);
        len = 7;
      } else if (k == 'M' || k == 'm') {
        // A double-byte code of the code page the escape names.
        v = qm_mif_escape_at(std::string_view(text + i, n - i));
        len = kQmMifEscapeLength;
      }
      if (v >= 0) {
        out.push_back({static_cast<uint32_t>(v), MB_Text_Code::kEscape});
        i += len;
        continue;
      }
    }
    out.push_back({c, MB_Text_Code::kByte});
    ++i;
  }
  return out;
}

// ---------------------------------------------------------------------------

MB_Text::MB_Text(const As_Pt& base, const MB_String& text) : base_(base), string_(text) {}

MB_Text::MB_Text(const As_Pt& base, const MB_String& text, const As_Pt*, unsigned short, const unsigned short*,
                 unsigned short, const unsigned short*)
    : base_(base), string_(text) {}

MB_Text_Style& mb_default_text_style() {
  static MB_Text_Style* style = new MB_Text_Style("DEFAULT_STYLE", "txt.SHX", "HZTXT.SHX", 8.0, 1.0, 0, 0, 0, 0);
  return *style;
}

bool MB_Text::init_text_style(MB_Drawing& drawing, const char* name) {
  if (MB_Text_Style* s = drawing.find_text_style(name)) {
    s->copy_to(style_);
    return true;
  }
  mb_default_text_style().copy_to(style_);
  return false;
}

void MB_Text::init_text_style(const MB_Text_Style* style) {
  if (style) style->copy_to(style_);
}

std::string MB_Text::bytes() const {
  if (string_.is_ascii()) return std::string(string_.ascii(), static_cast<size_t>(string_.length()));
  std::string out;
  const unsigned short* u = string_.unicode();
  for (int i = 0; u && i < string_.length(); ++i) {
    if (u[i] > 0xFF) out += static_cast<char>(u[i] >> 8);
    out += static_cast<char>(u[i] & 0xFF);
  }
  return out;
}

namespace {

// A code as a TrueType face takes it: GBK codes as they are (GDI converts
// them), escapes and "%%" codes as Unicode.
uint32_t mb_ttf_code(const MB_Text_Code& c) {
  const bool unicode = c.origin == MB_Text_Code::kEscape || c.origin == MB_Text_Code::kPercent;
  return unicode && c.code >= 0x80 ? c.code | MB_Font_Library::kUnicode : c.code;
}

// The Unicode code point of a code; 0 when it has none. GBK characters are
// converted as the system converts its 8-bit text, each once.
uint32_t mb_text_unicode(const MB_Text_Code& c) {
  switch (c.origin) {
    case MB_Text_Code::kBadByte: return 0;
    case MB_Text_Code::kByte: return c.code < 0x80 ? c.code : 0;
    case MB_Text_Code::kPercent:
    case MB_Text_Code::kEscape: return c.code;
    case MB_Text_Code::kDoubleByte: break;
  }
  static std::vector<char16_t> known(0x8000, 0);  // by code - 0x8000; 0xFFFF: none
  char16_t& u = known[(c.code - 0x8000) & 0x7FFF];
  if (u == 0) {
    const char gbk[2] = {static_cast<char>(c.code >> 8), static_cast<char>(c.code & 0xFF)};
    WCHAR wide[2] = {};
    const int n = MultiByteToWideChar(CP_ACP, 0, gbk, 2, wide, 2);
    u = n == 1 && wide[0] != 0xFFFD && wide[0] != 0 ? wide[0] : char16_t(0xFFFF);
  }
  return u == 0xFFFF ? 0 : u;
}

// Says once per character, on the error stream, that no installed font has
// a glyph for it: the text shows a box in its place.
void mb_note_missing_glyph(const MB_Text_Code& c) {
  static std::set<uint32_t> told;
  const uint32_t u = mb_text_unicode(c);
  const uint32_t key = u ? u : 0x80000000u | c.code;
  if (!told.insert(key).second) return;
  if (u)
    std::fprintf(stderr, "vellex: no installed font has a glyph for U+%04X; a box stands in its place\n",
                 static_cast<unsigned>(u));
  else if (c.origin == MB_Text_Code::kDoubleByte)
    std::fprintf(stderr, "vellex: text code 0x%04X is no GBK character; a box stands in its place\n",
                 static_cast<unsigned>(c.code));
  else
    std::fprintf(stderr, "vellex: text byte 0x%02X is no GBK character; a box stands in its place\n",
                 static_cast<unsigned>(c.code & 0xFF));
}

// The code of a character in a code page, each found once.
uint32_t mb_code_page_code_known(MB_Code_Page page, uint32_t unicode) {
  static std::unordered_map<uint32_t, uint32_t> known;  // by page << 16 | unicode
  if (unicode > 0xFFFF) return 0;
  const uint32_t key = uint32_t(static_cast<uint16_t>(page)) << 16 | unicode;
  auto it = known.find(key);
  if (it == known.end()) it = known.emplace(key, mb_code_page_code(page, unicode)).first;
  return it->second;
}

// The code of a character in a big font that is not a unifont, in the
// font's own code page (mb_big_font_code_page.h); a unifont standing as
// the big font has Unicode codes. 0 when the code page has no double-byte
// code for the character.
uint32_t big_font_code(const MB_Text_Code& c, const MB_Font_Library& big, MB_Code_Page page) {
  if (big.is_unifont()) return mb_text_unicode(c);
  if (page == MB_Code_Page::kGbk && c.origin == MB_Text_Code::kDoubleByte) return c.code;
  const uint32_t u = mb_text_unicode(c);
  return u ? mb_code_page_code_known(page, u) : 0;
}

// The code of a character in a shape font of GBK codes: an escape of a
// character beyond Latin-1 by its GBK double-byte code (0 when GBK has
// none), any other code as it is.
uint32_t gbk_font_code(const MB_Text_Code& c) {
  constexpr uint32_t kLastSingleByte = 0xFF;
  if (c.origin != MB_Text_Code::kEscape || c.code <= kLastSingleByte) return c.code;
  return mb_code_page_code_known(MB_Code_Page::kGbk, c.code);
}

// Says in the kernel's log that a big font lacks a character (its code in
// the font's code page, or that code page has none), once per code and
// font; after kMaxNotedMisses codes of a font, once that no more are noted.
void mb_note_big_font_miss(const MB_Font_Library& big, MB_Code_Page page, const MB_Text_Code& c, uint32_t code) {
  constexpr size_t kMaxNotedMisses = 64;
  static std::map<std::string, std::set<uint64_t>> noted;  // by the font's file
  const uint32_t u = mb_text_unicode(c);
  if (!code && u < 0x80) return;
  std::set<uint64_t>& codes = noted[big.file_name()];
  if (codes.size() > kMaxNotedMisses) return;
  if (!codes.insert(uint64_t(code) << 32 | u).second) return;
  const char* file = *big.file_name() ? big.file_name() : "the big font";
  char what[96];
  if (codes.size() > kMaxNotedMisses)
    std::snprintf(what, sizeof what, "more characters it lacks are not noted");
  else if (big.is_unifont())
    std::snprintf(what, sizeof what, "has no U+%04X", static_cast<unsigned>(u));
  else if (code)
    std::snprintf(what, sizeof what, "has no code 0x%04X (U+%04X in code page %u)", static_cast<unsigned>(code),
                  static_cast<unsigned>(u), static_cast<unsigned>(page));
  else
    std::snprintf(what, sizeof what, "code page %u has no double-byte code for U+%04X", static_cast<unsigned>(page),
                  static_cast<unsigned>(u));
  message_out("Big font lookup failed:", file, what, false);
}

}  // namespace

void MB_Text::render_string_by_ttf(const char* text, MB_Font_Library* font, As_Void_List& out) {
  if (!text || !font) return;
  MB_Glyph_Budget budget(MB_Glyph_Budget::kText);
  As_Pt pen = base_;
  const bool vertical = (style_.font_style() & MB_Text_Style::kVertical) != 0;
  for (const MB_Text_Code& c : mb_text_codes(text, std::strlen(text))) {
    font->char_2_ptlist(mb_ttf_code(c), out, pen, style_.height(), style_.width_scale(), vertical);
  }
}

namespace {

// Where a face's ideographs lie for a text height of 1: from the bottom to
// the top of its 中 (the whole height when it has none). Measured once per
// face.
struct Band {
  double bottom = 0, top = 1;
};

Band ideograph_band(MB_Font_Library* face) {
  static MB_Font_Library* measured = nullptr;
  static Band band;
  if (face == measured) return band;
  measured = face;
  band = Band();
  std::vector<unsigned long> counts;
  std::vector<As_Pt> pts;
  As_Pt pen(0, 0, 0);
  MB_Glyph_Budget alone(MB_Glyph_Budget::kText, MB_Glyph_Budget::kAlone);
  if (face->char_2_ptsets(0x4E2D | MB_Font_Library::kUnicode, counts, pts, pen, 1, 1, false, 0) && !pts.empty()) {
    double bottom = pts[0].y(), top = bottom;
    for (const As_Pt& p : pts) {
      bottom = std::min(bottom, p.y());
      top = std::max(top, p.y());
    }
    if (top - bottom > 0.1) band = Band{bottom, top};
  }
  return band;
}

// The strokes of a text as it is laid out: each stroke's point count and
// its points, with the fonts and the pen of the text.
struct Layout {
  std::vector<unsigned long>& counts;
  std::vector<As_Pt>& pts;
  As_Pt& pen;
  double h, w;
  bool vertical;

  bool draw(MB_Font_Library* font, uint32_t code) {
    return font && font->char_2_ptsets(code, counts, pts, pen, h, w, vertical, 0);
  }
  // A code of a TrueType face in a shape-font text: the face's outline
  // sized as a shape font's ideograph is, the band from the bottom to the
  // top of the face's 中 standing on the baseline and as tall as the text;
  // stretched by the width factor as the shapes are.
  bool draw_outline(MB_Font_Library* face, uint32_t code) {
    if (!face) return false;
    const Band band = ideograph_band(face);
    const double size = h / (band.top - band.bottom);
    const As_Pt start = pen;
    const size_t first = pts.size();
    if (!face->char_2_ptsets(code, counts, pts, pen, size, w, false, 0)) return false;
    for (size_t i = first; i < pts.size(); ++i) {
      pts[i].x() = start.x() + (pts[i].x() - start.x()) * w;
      pts[i].y() -= band.bottom * size;
    }
    if (vertical) {
      pen = start;
      advance_pen(As_Pt(), 1.0, 1.0, pen, h, true);
    } else {
      pen.x() = start.x() + (pen.x() - start.x()) * w;
    }
    return true;
  }
  // A box in the cell of a character no font has, and the pen past it.
  void mark(double width_factor) {
    const double x0 = pen.x() + 0.1 * h * width_factor, x1 = pen.x() + 0.7 * h * width_factor;
    const double y0 = pen.y(), y1 = pen.y() + h, z = pen.z();
    if (MB_Glyph_Budget::take(5)) {
      counts.push_back(5);
      for (const As_Pt& p : {As_Pt(x0, y0, z), As_Pt(x1, y0, z), As_Pt(x1, y1, z), As_Pt(x0, y1, z), As_Pt(x0, y0, z)})
        pts.push_back(p);
    }
    advance_pen(As_Pt(0.8 * h * width_factor, 0, 0), 1.0, 1.0, pen, h, vertical);
  }
};

}  // namespace

void MB_Text::text_2_ptsets(MB_Draw_Lines_Sets* node) {
  if (!node) return;
  const double h = style_.height(), w = style_.width_scale();
  const bool vertical = (style_.font_style() & MB_Text_Style::kVertical) != 0;
  MB_Font_Library* main = style_.font_lib();
  MB_Font_Library* big = style_.big_font_lib();
  const bool ttf = main && main->is_ttf_font();
  const bool unifont = main && main->is_unifont();
  const MB_Code_Page big_page =
      big && !big->is_unifont() ? big->big_font_code_page(style_.drawing_code_page()) : MB_Code_Page::kUnknown;
  const std::string text = bytes();
  // The strokes go straight into point sets: each stroke's point count and
  // its points.
  std::vector<unsigned long> counts;
  std::vector<As_Pt> pts;
  pts.reserve(text.size() * 24);  // room for the strokes of most texts
  As_Pt pen = base_;
  Layout out{counts, pts, pen, h, w, vertical};
  {
    MB_Glyph_Budget budget(MB_Glyph_Budget::kText);
    for (const MB_Text_Code& c : mb_text_codes(text.data(), text.size())) {
      if (ttf) {
        // The face converts GBK codes itself and takes what it lacks from
        // an installed face (the width factor applies to the whole text).
        if (c.origin == MB_Text_Code::kBadByte || (!out.draw(main, mb_ttf_code(c)) && c.code > 0x20)) {
          mb_note_missing_glyph(c);
          out.mark(1.0);
        }
        continue;
      }
      // A code the big font has draws from it, as the style means; a big
      // font without height above the baseline is sized by its own cell.
      const bool from_big = c.origin == MB_Text_Code::kDoubleByte ||
                            (c.origin == MB_Text_Code::kEscape && !(unifont && main->has_code(c.code)));
      if (from_big && big) {
        const uint32_t code = big_font_code(c, *big, big_page);
        if (code && big->has_code(code) && out.draw(big, code)) continue;
        mb_note_big_font_miss(*big, big_page, c, code);
      }
      if (c.origin == MB_Text_Code::kBadByte) {
        mb_note_missing_glyph(c);
        out.mark(w);
        continue;
      }
      // A shape font of GBK codes (not a unifont) that has the code draws
      // it; an escape reaches such a font by its GBK code.
      if (c.origin != MB_Text_Code::kDoubleByte || !unifont) {
        const uint32_t code = unifont ? c.code : gbk_font_code(c);
        if (code && out.draw(main, code)) continue;
      }
      // Else the character by its Unicode code point: from a unifont main
      // font, else from an installed CJK face.
      const uint32_t u = mb_text_unicode(c);
      if (u && unifont && u != c.code && out.draw(main, u)) continue;
      if (u == 0x20) {  // a space the font lacks still parts the words
        advance_pen(As_Pt(0.6 * h * w, 0, 0), 1.0, 1.0, pen, h, vertical);
        continue;
      }
      // A control code (or "%%" with no meaning) draws nothing; a GBK code
      // with no character is marked.
      if (u < 0x20 && c.origin != MB_Text_Code::kDoubleByte) continue;
      if (u && out.draw_outline(mb_cjk_font(), u | MB_Font_Library::kUnicode)) continue;
      mb_note_missing_glyph(c);
      out.mark(w);
    }
  }
  if (pts.empty()) return;

  const double bx = base_.x(), by = base_.y();
  const double ca = std::cos(style_.angle()), sa = std::sin(style_.angle());
  const double slant = style_.oblique_angle() > 0 ? std::tan(style_.oblique_angle()) : 0.0;
  for (As_Pt& p : pts) {
    double x = p.x(), y = p.y();
    if (ttf) x = bx + (x - bx) * w;
    x += (y - by) * slant;
    const double dx = x - bx, dy = y - by;
    x = bx + dx * ca - dy * sa;
    y = by + dx * sa + dy * ca;
    if (vertical) {
      x -= w * h / 2;
      y -= h;
    }
    p = As_Pt(x, y, ttf ? 0.0 : p.z());
  }
  if (style_.ali_flag() == MB_Text_Style::kCentred) {
    double x0 = pts[0].x(), x1 = x0, y0 = pts[0].y(), y1 = y0;
    for (const As_Pt& p : pts) {
      x0 = std::min(x0, p.x());
      x1 = std::max(x1, p.x());
      y0 = std::min(y0, p.y());
      y1 = std::max(y1, p.y());
    }
    const double mx = bx - (x0 + x1) / 2, my = by - (y0 + y1) / 2;
    for (As_Pt& p : pts) p = As_Pt(p.x() + mx, p.y() + my, p.z());
  }
  node->init(static_cast<unsigned long>(counts.size()), counts.data(), pts.data());
  node->build_rect();
  edit_rect() = node->rect() ? *node->rect() : As_Rect(pts.data(), static_cast<int>(pts.size()));
}

void MB_Text::build_draw() {
  edit_rect() = As_Rect(base_, base_);
  if (string_.is_empty() || !style_.font_lib()) return;
  MB_Draw_Lines_Sets* node = new MB_Draw_Lines_Sets(general().color(), this);
  draw_node(node);
  text_2_ptsets(node);
}

void MB_Text::draw(HDC hdc, CMyDC& dc, As_Tran& view) {
  MB_Draw_Node* node = draw_node();
  if (!node) return;
  if (hdc) node->draw(hdc, view);
  else node->draw(dc, view);
}

void MB_Text::draw_key_point(HDC hdc, CMyDC&, const As_Tran& view) {
  if (hdc) api_mb_draw_point(hdc, base_ * view, 0, 3, 0);
}

bool MB_Text::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) {
  MB_Draw_Node* node = draw_node();
  if (!node) return false;
  const double dx = p.x() - base_.x(), dy = p.y() - base_.y();
  if (dx * dx + dy * dy <= tol * tol) {
    found = base_;
  } else if (!node->pick(p, found, tol)) {
    return false;
  }
  kind = MB_SNAP_TEXT;
  return true;
}

void MB_Text::translate(const As_Tran& t) {
  modify_cmd();
  base_ = base_ * t;
}

bool MB_Text::copy_to(MB_Object*& target) {
  if (!target) target = new MB_Text;
  if (target->object_id() != ID_TEXT) return false;
  MB_Text* t = static_cast<MB_Text*>(target);
  if (t == this) return true;
  t->base_ = base_;
  t->string_ = string_;  // 16-bit text stays 16-bit
  t->flag_ = flag_;
  style_.copy_to(t->style_);
  return MB_Drawable::copy_to(target);
}

// ---------------------------------------------------------------------------

MB_Mtext::MB_Mtext(const As_Pt& base, const char* text) : base_(base), raw_(text ? text : "") {
  convert_mtext_string();
}

void MB_Mtext::convert_mtext_string() {
  for (size_t i = 0; i + 1 < raw_.size(); ++i) {
    if (raw_[i] == '\\' && raw_[i + 1] == 'P') {
      raw_[i] = '\r';
      raw_[i + 1] = '\n';
    }
  }
  size_t start = 0;
  for (size_t i = 0; i <= raw_.size(); ++i) {
    if (i < raw_.size() && raw_[i] != '\\' && raw_[i] != 'f') continue;
    const std::string piece = raw_.substr(start, i - start);
    start = i + 1;
    if (piece.size() >= 3 && piece[0] == '{' && piece[1] != '\\' && piece[2] == 'f') continue;
    pieces_.push_back(MB_String(piece.c_str()));
  }
}
