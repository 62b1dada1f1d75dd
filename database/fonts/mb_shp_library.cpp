// Compiling shape-font source text.
#include "database/fonts/mb_shp_library.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shx_library.h"
#include "database/mb_names.h"
#include "geometry/as_log.h"
#include "geometry/as_void_list.h"

namespace {

constexpr long kMaxSourceBytes = 64L << 20;

std::string trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

std::vector<std::string> split_commas(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t comma = s.find(',', start);
    out.push_back(trim(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) return out;
    start = comma + 1;
  }
}

uint8_t byte_of(int32_t v) { return static_cast<uint8_t>(v & 0xFF); }

// The octant byte of arcs: the sign marks a clockwise arc.
uint8_t octant_of(int32_t v) { return v < 0 ? static_cast<uint8_t>(0x80 | (-v & 0x7F)) : byte_of(v); }

struct Source_Shape {
  uint32_t code;
  std::vector<int32_t> values;
  std::vector<bool> opens;  // the value's token opens a parenthesised group
};

}  // namespace

bool MB_Shp_Library::parse_number(const std::string& token, int32_t* out) {
  std::string t;
  for (char c : token) {
    if (c != '(' && c != ')' && !std::isspace(static_cast<unsigned char>(c))) t += c;
  }
  bool negative = false;
  size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  if (i >= t.size()) return false;
  int base = 10;
  if (t[i] == '0' && i + 1 < t.size()) {
    base = 16;
    ++i;
    if (t[i] == 'x' || t[i] == 'X') ++i;
    if (i >= t.size()) return false;
  }
  int64_t v = 0;
  for (; i < t.size(); ++i) {
    const int c = std::tolower(static_cast<unsigned char>(t[i]));
    int d = c >= '0' && c <= '9' ? c - '0' : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : 99);
    if (d >= base) return false;
    v = v * base + d;
    if (v > 0x7FFFFFFF) return false;
  }
  *out = static_cast<int32_t>(negative ? -v : v);
  return true;
}

std::vector<uint8_t> MB_Shp_Library::compile_body(const std::vector<int32_t>& t, Shape_Font_Kind kind,
                                                  const std::vector<bool>* opens) {
  std::vector<uint8_t> out;
  size_t i = 0;
  int32_t a, b, c;
  auto take = [&](int32_t* v) {
    if (i >= t.size()) return false;
    *v = t[i++];
    return true;
  };
  auto plain = [&](int n) {
    for (int k = 0; k < n && take(&a); ++k) out.push_back(byte_of(a));
  };
  while (i < t.size()) {
    const int32_t code = t[i++];
    if (code < 0 || code > 255) continue;  // no code
    out.push_back(static_cast<uint8_t>(code));
    switch (code) {
      case SHAPE_DIVIDE:
      case SHAPE_MULTIPLY: plain(1); break;
      case SHAPE_DISPLACEMENT: plain(2); break;
      case SHAPE_BULGE_ARC: plain(3); break;
      case SHAPE_OCTANT_ARC:
        plain(1);
        if (take(&a)) out.push_back(octant_of(a));
        break;
      case SHAPE_FRACTIONAL_ARC:
        plain(4);
        if (take(&a)) out.push_back(octant_of(a));
        break;
      case SHAPE_DISPLACEMENTS:
        while (take(&a) && take(&b)) {
          out.push_back(byte_of(a));
          out.push_back(byte_of(b));
          if (a == 0 && b == 0) break;
        }
        break;
      case SHAPE_BULGE_ARCS:
        while (take(&a) && take(&b)) {
          out.push_back(byte_of(a));
          out.push_back(byte_of(b));
          if (a == 0 && b == 0) break;
          if (!take(&c)) break;
          out.push_back(byte_of(c));
        }
        break;
      case SHAPE_SUBSHAPE:
        if (!take(&a)) break;
        if (kind == Shape_Font_Kind::kShapes) {
          out.push_back(byte_of(a));
        } else if (kind == Shape_Font_Kind::kUnifont) {
          // "(0,code)" and "code" name the code; "(hi,lo)" its two bytes.
          const bool pair = opens && i - 1 < opens->size() && (*opens)[i - 1];
          if (a == 0 && take(&b)) a = b;
          else if (pair && a > 0 && a < 256 && take(&b)) a = a << 8 | byte_of(b);
          out.push_back(byte_of(a >> 8));
          out.push_back(byte_of(a));
        } else if (a == 0 || a > 255) {
          // Extended big-font reference: code, then origin and box.
          if (a == 0 && !take(&a)) break;
          out.push_back(0);
          out.push_back(byte_of(a >> 8));
          out.push_back(byte_of(a));
          plain(4);
        } else {
          out.push_back(byte_of(a));
        }
        break;
      default: break;
    }
  }
  return out;
}

MB_Shp_Library::MB_Shp_Library(const char* file) {
  name_ = MB_String(file ? file : "");
  file_name(file);
  load_data();
}

MB_Shp_Library::~MB_Shp_Library() { clear(); }

void MB_Shp_Library::clear() {
  for (MB_Font_Char* g : glyphs_) delete g;
  glyphs_.clear();
  index_.clear();
  shapes_.clear();
  above_ = below_ = 1;
  modes_ = 0;
  big_font_ = unifont_ = false;
  lead_ranges_.clear();
}

double MB_Shp_Library::height() const {
  if (above_) return above_;
  return below_ ? below_ : 1.0;
}

bool MB_Shp_Library::load_file(const char* file) {
  const std::string path = file ? file : "";
  FILE* f = mb_open_font_file(path.c_str(), "rb");
  std::string text;
  bool ok = f != nullptr;
  if (f) {
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    ok = size > 0 && size <= kMaxSourceBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
      text.resize(static_cast<size_t>(size));
      ok = std::fread(&text[0], 1, text.size(), f) == text.size();
    }
    std::fclose(f);
  }
  if (!ok || !load_text(text)) {
    message_out("Error open the shp file:", path.c_str(), "", false);
    return false;
  }
  return true;
}

bool MB_Shp_Library::load_text(const std::string& text) {
  clear();
  if (text.empty()) return false;
  std::vector<Source_Shape> shapes;
  bool in_shape = false;
  bool info_header = false;  // the "*UNIFONT" line: its body is the font information
  std::vector<int32_t> info;
  bool have_info = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    const size_t semi = line.find(';');
    if (semi != std::string::npos) line.erase(semi);
    line = trim(line);
    if (line.empty()) continue;
    if (line[0] == '*') {
      std::vector<std::string> tok = split_commas(line.substr(1));
      const std::string head = tok.empty() ? std::string() : tok[0];
      info_header = false;
      in_shape = false;
      if (head.size() >= 7 && mb_same_name(head.substr(0, 7).c_str(), "BIGFONT")) {
        // "*BIGFONT shapes,ranges,first,last,...": the lead-byte ranges.
        big_font_ = true;
        int32_t count = 0, first = 0, last = 0;
        if (tok.size() < 2 || !parse_number(tok[1], &count)) continue;
        for (size_t i = 0; i < static_cast<size_t>(std::max(count, 0)) && 3 + 2 * i < tok.size(); ++i) {
          if (!parse_number(tok[2 + 2 * i], &first) || !parse_number(tok[3 + 2 * i], &last)) break;
          if (first >= 0 && first <= 0xFF && last >= 0 && last <= 0xFF)
            lead_ranges_.push_back(MB_Lead_Range{static_cast<uint8_t>(first), static_cast<uint8_t>(last)});
        }
        continue;
      }
      if (mb_same_name(head.c_str(), "UNIFONT")) {
        unifont_ = true;
        info_header = true;
        if (tok.size() > 2) font_name_ = MB_String(tok[2].c_str());
        continue;
      }
      int32_t code;
      if (!parse_number(head, &code) || code < 0 || code > 0xFFFF) continue;
      if (code == 0 && tok.size() > 2) font_name_ = MB_String(tok[2].c_str());
      shapes.push_back(Source_Shape{static_cast<uint32_t>(code), {}, {}});
      in_shape = true;
      continue;
    }
    std::vector<int32_t>* into = info_header ? &info : in_shape ? &shapes.back().values : nullptr;
    if (!into) continue;
    if (info_header) have_info = true;
    for (const std::string& t : split_commas(line)) {
      int32_t v;
      if (!parse_number(t, &v)) continue;
      into->push_back(v);
      if (!info_header) shapes.back().opens.push_back(t.find('(') != std::string::npos);
    }
  }

  const Shape_Font_Kind kind = unifont_    ? Shape_Font_Kind::kUnifont
                               : big_font_ ? Shape_Font_Kind::kBigFont
                                           : Shape_Font_Kind::kShapes;
  for (const Source_Shape& s : shapes) {
    std::vector<uint8_t> bytes = compile_body(s.values, kind, &s.opens);
    if (s.code == 0 && !have_info) {
      if (bytes.size() >= 3) {
        above_ = bytes[0];
        below_ = bytes[1];
        modes_ = bytes[2];
      }
      have_info = true;
      continue;
    }
    shapes_.emplace(s.code, std::move(bytes));  // the first of a code wins
  }
  if (unifont_ && info.size() >= 3) {
    above_ = byte_of(info[0]);
    below_ = byte_of(info[1]);
    modes_ = byte_of(info[2]);
  }

  Shape_Interpreter run(
      kind,
      [this](uint32_t code) { return shape_bytes(code); }, height());
  // Each glyph is bounded by the glyph budget, but a short source can name
  // thousands of shapes that each call one costly subshape: the glyphs of
  // the whole source share one budget of their own (not any text's), and
  // those compiled after it is spent keep no strokes.
  MB_Glyph_Budget compiling(MB_Glyph_Budget::kFont, MB_Glyph_Budget::kAlone);
  for (const Source_Shape& s : shapes) {
    const std::vector<uint8_t>* bytes = shape_bytes(s.code);
    if (!bytes || index_.count(s.code)) continue;
    const Shape_Glyph g = run.run(bytes->data(), bytes->size());
    MB_Font_Char* c = new MB_Font_Char(static_cast<unsigned short>(s.code));
    for (const Shape_Stroke& stroke : g.strokes) {
      c->new_pos_list();
      for (const As_Pt& p : stroke) c->add_pos(p.x(), p.y());
    }
    c->set_end_pos(g.end.x(), g.end.y());
    c->draw_scale(g.draw_scale);
    c->conver_list_to_set();
    glyphs_.push_back(c);
    index_.emplace(s.code, c);
  }
  return true;
}

const std::vector<uint8_t>* MB_Shp_Library::shape_bytes(uint32_t code) const {
  auto it = shapes_.find(code);
  return it == shapes_.end() ? nullptr : &it->second;
}

double MB_Shp_Library::own_units(const MB_Font_Char& c) const {
  return big_font_ && above_ == 0 ? big_font_cell_units(below_, c.draw_scale()) : height();
}

MB_Font_Char* MB_Shp_Library::font_char_set(unsigned short code) {
  auto it = index_.find(code);
  return it == index_.end() ? nullptr : it->second;
}

bool MB_Shp_Library::char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height,
                                   double width, bool vertical) {
  return char_2_ptlist_in_units(code, out, pen, height, width, vertical, 0);
}

bool MB_Shp_Library::char_2_ptlist_in_units(unsigned long code, As_Void_List& out, As_Pt& pen, double height,
                                            double width, bool vertical, double units) {
  if (code > 0xFFFF) return false;
  const MB_Font_Char* c = font_char_set(static_cast<unsigned short>(code));
  if (!c) return false;
  Shape_Glyph g;
  const As_Pt_Sets& sets = c->point_sets();
  // The glyph was run when the font was compiled: placing it spends its
  // points.
  if (MB_Glyph_Budget::take(static_cast<long>(sets.pts_count()))) {
    unsigned long at = 0;
    for (unsigned long s = 0; s < sets.ptset_count(); ++s) {
      const unsigned long n = sets.vals()[s];
      g.strokes.emplace_back(sets.points() + at, sets.points() + at + n);
      at += n;
    }
  }
  g.end = c->end_pos();
  const double s = height / (units > 0 ? units : own_units(*c));
  place_shape_glyph(g, s * width, s, out, pen, height, width, vertical);
  return true;
}

bool MB_Shp_Library::char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts,
                                   As_Pt& pen, double height, double width, bool vertical, double units) {
  if (code > 0xFFFF) return false;
  const MB_Font_Char* c = font_char_set(static_cast<unsigned short>(code));
  if (!c) return false;
  const As_Pt_Sets& sets = c->point_sets();
  const double s = height / (units > 0 ? units : own_units(*c));
  const double sx = s * width;
  // As char_2_ptlist_in_units, placing the sets' points where they lie.
  if (MB_Glyph_Budget::take(static_cast<long>(sets.pts_count()))) {
    counts.insert(counts.end(), sets.vals(), sets.vals() + sets.ptset_count());
    for (unsigned long i = 0; i < sets.pts_count(); ++i) pts.push_back(placed_point(sets.points()[i], sx, s, pen));
  }
  advance_pen(c->end_pos(), sx, s, pen, height, vertical);
  return true;
}
