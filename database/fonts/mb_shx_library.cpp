// Reading compiled shape fonts and drawing their glyphs.
#include "database/fonts/mb_shx_library.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "database/fonts/mb_glyph_budget.h"
#include "database/mb_names.h"
#include "database/mb_resource.h"
#include "geometry/as_void_list.h"
#include "qm_file.h"

namespace {

// Fonts larger than this are refused rather than read into memory.
constexpr long kMaxFontBytes = 64L << 20;

struct Signature {
  const char* text;
  int kind;
};

const Signature kSignatures[] = {
    {"AutoCAD-86 unifont 1.0", MB_Shx_Library::kUnifont},
    {"AutoCAD-86 shapes 1.1", MB_Shx_Library::kShapes},
    {"AutoCAD-86 shapes 1.0", MB_Shx_Library::kShapes},
    {"VRLN-Font 1.0", MB_Shx_Library::kShapes},
    {"AutoCAD-86 bigfont 1.0", MB_Shx_Library::kBigFont},
    {"BRISKPEN BigFonts  1.0", MB_Shx_Library::kBigFont},
    {"TNDR-Font 1.0", MB_Shx_Library::kEmpty},
};

// A little-endian cursor over the file: a read whose field does not lie
// wholly inside the data answers false and leaves the cursor where it was.
class Le_Cursor {
 public:
  Le_Cursor(const uint8_t* p, size_t n, uint64_t at = 0) : p_(p), n_(n), at_(at) {}
  uint64_t at() const { return at_; }
  // Whether `len` bytes lie at the cursor.
  bool holds(uint64_t len) const { return at_ <= n_ && len <= n_ - at_; }
  const uint8_t* here() const { return p_ + at_; }
  bool skip(uint64_t len) {
    if (!holds(len)) return false;
    at_ += len;
    return true;
  }
  bool u16(uint16_t& v) {
    if (!holds(2)) return false;
    v = static_cast<uint16_t>(p_[at_] | p_[at_ + 1] << 8);
    at_ += 2;
    return true;
  }
  bool u32(uint32_t& v) {
    if (!holds(4)) return false;
    v = uint32_t(p_[at_]) | uint32_t(p_[at_ + 1]) << 8 | uint32_t(p_[at_ + 2]) << 16 | uint32_t(p_[at_ + 3]) << 24;
    at_ += 4;
    return true;
  }

 private:
  const uint8_t* p_;
  size_t n_;
  uint64_t at_;
};

// The records of the three layouts. A record the data does not hold
// reads as false.

// Shape font: after the 24-byte signature; the index follows, then the
// records in index order.
struct Shapes_Header {
  static constexpr uint64_t kAt = 24;
  uint16_t first_code = 0, last_code = 0, count = 0;
  bool read(Le_Cursor& c) { return c.u16(first_code) && c.u16(last_code) && c.u16(count); }
};

struct Shapes_Index_Entry {
  static constexpr uint64_t kSize = 4;
  uint16_t code = 0, length = 0;
  bool read(Le_Cursor& c) { return c.u16(code) && c.u16(length); }
};

// Big font: after the 25-byte signature; the escape ranges follow, then the
// index, whose records lie anywhere in the file.
struct Big_Font_Header {
  static constexpr uint64_t kAt = 25;
  static constexpr uint16_t kWord = 8;  // the only value a big font has here
  static constexpr uint64_t kRangeSize = 4;
  uint16_t word = 0, count = 0, ranges = 0;
  bool read_word(Le_Cursor& c) { return c.u16(word); }
  bool read_counts(Le_Cursor& c) { return c.u16(count) && c.u16(ranges); }
};

// One range of lead bytes: its first and last byte.
struct Big_Font_Range {
  uint16_t first = 0, last = 0;
  bool read(Le_Cursor& c) { return c.u16(first) && c.u16(last); }
};

struct Big_Font_Index_Entry {
  static constexpr uint64_t kSize = 8;
  uint16_t code = 0, length = 0;
  uint32_t offset = 0;  // from the start of the file
  bool read(Le_Cursor& c) { return c.u16(code) && c.u16(length) && c.u32(offset); }
};

// Unifont: after the 25-byte signature; the information record follows,
// then the shapes, each behind its own header, to the end of the file.
struct Unifont_Header {
  static constexpr uint64_t kAt = 25;
  uint32_t count = 0;  // not used: the shapes run to the end of the file
  uint16_t info_length = 0;
  bool read(Le_Cursor& c) { return c.u32(count) && c.u16(info_length); }
};

struct Unifont_Shape_Header {
  uint16_t code = 0, length = 0;
  bool read(Le_Cursor& c) { return c.u16(code) && c.u16(length); }
};

// The font information: three bytes, above, below and modes. It lies in
// a record of each kind counted back from the record's end (shape fonts,
// unifonts) or on from its name's NUL (big fonts, where an extended font
// gives the cell's width next).
struct Font_Info {
  static constexpr size_t kSize = 3;
  uint8_t above, below, modes;
  explicit Font_Info(const uint8_t* at) : above(at[0]), below(at[1]), modes(at[2]) {}
};
constexpr size_t kShapesInfoFromEnd = 4;
constexpr size_t kUnifontInfoFromEnd = 6;

// The bytes after the name's NUL; none when the record has no NUL.
size_t body_start(const uint8_t* record, size_t length) {
  const void* nul = std::memchr(record, 0, length);
  return nul ? static_cast<const uint8_t*>(nul) - record + 1 : length;
}

}  // namespace

// ---------------------------------------------------------------------------

void MB_Shx_Char_List::add_shx_char(MB_Shx_Char* c) {
  if (!c) return;
  c->previous_ = last_;
  c->next_ = nullptr;
  if (last_) last_->next_ = c;
  else first_ = c;
  last_ = c;
}

bool MB_Shx_Char_List::save(const char* path) const {
  if (!path) {
    errno = EINVAL;
    return false;
  }
  struct stat st;
  if (stat(qm_map_path(path).c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  QmFileWriter file;
  return file.open(path, "w") && file.commit();
}

void MB_Shx_Char_List::kill_all() {
  while (first_) {
    MB_Shx_Char* next = first_->next_;
    delete first_;
    first_ = next;
  }
  last_ = nullptr;
}

// ---------------------------------------------------------------------------

FILE* mb_open_font_file(const char* file, const char* mode) {
  if (!file || !*file) return nullptr;
  // A name read from a drawing may name a pipe or a device: the file layer
  // opens only regular files for reading.
  return qm_fopen(g_system_resource.font_path(file).c_str(), mode);
}

MB_Shx_Library::MB_Shx_Library(const char* file) {
  name_ = MB_String(file ? file : "");
  file_name(file);
  load_shx_file(file);
}

double MB_Shx_Library::height() const {
  if (above_) return above_;
  return below_ ? below_ : 1.0;
}

int MB_Shx_Library::get_shxflag(const uint8_t* bytes, size_t size) {
  if (!bytes || size < 34) return kUnknown;
  size_t len = 0;
  while (len < 34 && bytes[len] >= 32 && bytes[len] <= 127) ++len;
  if (len == 34) return kUnknown;
  const std::string text(reinterpret_cast<const char*>(bytes), len);
  for (const Signature& s : kSignatures) {
    if (std::strlen(s.text) == len && mb_same_name(text.c_str(), s.text)) return s.kind;
  }
  return kUnknown;
}

int MB_Shx_Library::get_shxflag(FILE* f) {
  if (!f) return kUnknown;
  uint8_t head[34];
  return get_shxflag(head, std::fread(head, 1, sizeof head, f));
}

void MB_Shx_Library::clear() {
  char_list_.kill_all();
  index_.clear();
  glyphs_.clear();
  glyph_points_ = 0;
  above_ = below_ = 1;
  modes_ = 0;
  cell_width_ = 0;
  lead_ranges_.clear();
  kind_ = kUnknown;
}

void MB_Shx_Library::add_shape(uint32_t code, const uint8_t* record, size_t length) {
  const size_t start = body_start(record, length);
  MB_Shx_Char* c = new MB_Shx_Char(static_cast<int>(code), std::vector<uint8_t>(record + start, record + length));
  char_list_.add_shx_char(c);
  index_.emplace(code, c);  // the first of a code wins
}

bool MB_Shx_Library::load_shx_file(const char* file) {
  FILE* f = mb_open_font_file(file, "rb");
  if (!f) return false;
  std::vector<uint8_t> bytes;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  if (size >= 0 && size <= kMaxFontBytes && std::fseek(f, 0, SEEK_SET) == 0) {
    bytes.resize(static_cast<size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
  }
  std::fclose(f);
  return load_shx_bytes(bytes.data(), bytes.size());
}

bool MB_Shx_Library::load_shx_bytes(const uint8_t* p, size_t size) {
  clear();
  const int kind = get_shxflag(p, size);
  if (kind == kUnknown) return false;
  kind_ = kind;
  auto set_info = [this](const Font_Info& info) {
    above_ = info.above;
    below_ = info.below;
    modes_ = info.modes;
  };
  switch (kind) {
    case kEmpty:
      return true;
    case kShapes: {
      Le_Cursor c(p, size, Shapes_Header::kAt);
      Shapes_Header head;
      if (!head.read(c)) return true;
      Le_Cursor index = c;
      Le_Cursor record(p, size, c.at() + Shapes_Index_Entry::kSize * head.count);
      for (uint32_t i = 0; i < head.count; ++i) {
        Shapes_Index_Entry e;
        if (!e.read(index) || !record.holds(e.length)) break;
        const uint8_t* r = record.here();
        record.skip(e.length);
        if (e.code == 0) {
          if (e.length >= kShapesInfoFromEnd) set_info(Font_Info(r + e.length - kShapesInfoFromEnd));
          continue;
        }
        add_shape(e.code, r, e.length);
      }
      return true;
    }
    case kBigFont: {
      Le_Cursor c(p, size, Big_Font_Header::kAt);
      Big_Font_Header head;
      if (!head.read_word(c) || head.word != Big_Font_Header::kWord) {
        kind_ = kUnknown;
        return false;
      }
      if (!head.read_counts(c)) return true;
      Le_Cursor index(p, size, c.at() + Big_Font_Header::kRangeSize * head.ranges);
      for (uint32_t i = 0; i < head.ranges; ++i) {
        Big_Font_Range r;
        if (!r.read(c)) break;
        // A value past a byte is no lead byte of any code.
        if (r.first <= 0xFF && r.last <= 0xFF)
          lead_ranges_.push_back(MB_Lead_Range{static_cast<uint8_t>(r.first), static_cast<uint8_t>(r.last)});
      }
      bool info = true;
      for (uint32_t i = 0; i < head.count; ++i) {
        Big_Font_Index_Entry e;
        if (!e.read(index)) break;
        if (e.length == 0) continue;
        const Le_Cursor record(p, size, e.offset);
        if (!record.holds(e.length)) continue;  // this record lies outside the file
        const uint8_t* r = record.here();
        if (info) {
          info = false;
          const size_t start = body_start(r, e.length);
          if (start + Font_Info::kSize <= e.length) set_info(Font_Info(r + start));
          if (start + Font_Info::kSize + 1 <= e.length) cell_width_ = r[start + Font_Info::kSize];
        }
        add_shape(e.code, r, e.length);
      }
      return true;
    }
    case kUnifont: {
      Le_Cursor c(p, size, Unifont_Header::kAt);
      Unifont_Header head;
      if (!head.read(c) || !c.holds(head.info_length)) return true;
      if (head.info_length >= kUnifontInfoFromEnd) {
        set_info(Font_Info(c.here() + head.info_length - kUnifontInfoFromEnd));
      }
      c.skip(head.info_length);
      for (;;) {
        Unifont_Shape_Header e;
        if (!e.read(c) || e.length == 0 || !c.holds(e.length)) break;
        add_shape(e.code, c.here(), e.length);
        c.skip(e.length);
      }
      return true;
    }
  }
  return false;
}

const MB_Shx_Char* MB_Shx_Library::find(uint32_t code) const {
  auto it = index_.find(code);
  return it == index_.end() ? nullptr : it->second;
}

bool MB_Shx_Library::glyph(uint32_t code, Shape_Glyph* out) const {
  Shape_Glyph scratch;
  const Shape_Glyph* g = run_glyph(code, scratch);
  if (!g) return false;
  if (g == &scratch)
    *out = std::move(scratch);
  else
    *out = *g;
  return true;
}

const Shape_Glyph* MB_Shx_Library::run_glyph(uint32_t code, Shape_Glyph& scratch) const {
  const MB_Shx_Char* c = find(code);
  if (!c) return nullptr;
  const auto kept = glyphs_.find(code);
  if (kept != glyphs_.end() && MB_Glyph_Budget::available() >= kept->second.cost) {
    MB_Glyph_Budget::spend(kept->second.cost);
    return &kept->second;
  }
  const Shape_Font_Kind kind = kind_ == kUnifont   ? Shape_Font_Kind::kUnifont
                               : kind_ == kBigFont ? Shape_Font_Kind::kBigFont
                                                   : Shape_Font_Kind::kShapes;
  Shape_Interpreter run(
      kind,
      [this](uint32_t sub) -> const std::vector<uint8_t>* {
        const MB_Shx_Char* s = find(sub);
        return s ? &s->data() : nullptr;
      },
      height(), cell_width_);
  scratch = run.run(c->data().data(), c->data().size());
  if (scratch.cut || kept != glyphs_.end() || glyph_points_ + scratch.cost > kMaxKeptPoints) return &scratch;
  glyph_points_ += scratch.cost;
  return &glyphs_.emplace(code, std::move(scratch)).first->second;
}

double MB_Shx_Library::own_units(const Shape_Glyph& g) const {
  return kind_ == kBigFont && above_ == 0 ? big_font_cell_units(below_, g.draw_scale) : height();
}

bool MB_Shx_Library::char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height,
                                   double width, bool vertical) {
  return char_2_ptlist_in_units(code, out, pen, height, width, vertical, 0);
}

bool MB_Shx_Library::char_2_ptlist_in_units(unsigned long code, As_Void_List& out, As_Pt& pen, double height,
                                            double width, bool vertical, double units) {
  Shape_Glyph scratch;
  const Shape_Glyph* g = code > 0xFFFFFFFFul ? nullptr : run_glyph(static_cast<uint32_t>(code), scratch);
  if (!g) return false;
  const double s = height / (units > 0 ? units : own_units(*g));
  place_shape_glyph(*g, s * width, s, out, pen, height, width, vertical);
  return true;
}

bool MB_Shx_Library::char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts,
                                   As_Pt& pen, double height, double width, bool vertical, double units) {
  Shape_Glyph scratch;
  const Shape_Glyph* g = code > 0xFFFFFFFFul ? nullptr : run_glyph(static_cast<uint32_t>(code), scratch);
  if (!g) return false;
  const double s = height / (units > 0 ? units : own_units(*g));
  place_shape_glyph(*g, s * width, s, counts, pts, pen, height, vertical);
  return true;
}
