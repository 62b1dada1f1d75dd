// Reading compiled shape fonts and drawing their glyphs.
#include "database/fonts/mb_shx_library.h"

#include <cstring>
#include <string>

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

// Little-endian reads that answer false outside the data.
class Bytes {
 public:
  Bytes(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool holds(uint64_t at, uint64_t len) const { return at <= n_ && len <= n_ - at; }
  bool u16(uint64_t at, uint16_t& v) const {
    if (!holds(at, 2)) return false;
    v = static_cast<uint16_t>(p_[at] | p_[at + 1] << 8);
    return true;
  }
  bool u32(uint64_t at, uint32_t& v) const {
    if (!holds(at, 4)) return false;
    v = uint32_t(p_[at]) | uint32_t(p_[at + 1]) << 8 | uint32_t(p_[at + 2]) << 16 | uint32_t(p_[at + 3]) << 24;
    return true;
  }
  const uint8_t* at(uint64_t off) const { return p_ + off; }

 private:
  const uint8_t* p_;
  size_t n_;
};

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
  above_ = below_ = 1;
  modes_ = 0;
  cell_width_ = 0;
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
  const Bytes b(p, size);
  switch (kind) {
    case kEmpty:
      return true;
    case kShapes: {
      uint16_t count;
      if (!b.u16(28, count)) return true;
      uint64_t record = 30 + 4ull * count;
      for (uint32_t i = 0; i < count; ++i) {
        uint16_t code, len;
        if (!b.u16(30 + 4ull * i, code) || !b.u16(32 + 4ull * i, len) || !b.holds(record, len)) break;
        const uint8_t* r = b.at(record);
        record += len;
        if (code == 0) {
          if (len >= 4) {
            above_ = r[len - 4];
            below_ = r[len - 3];
            modes_ = r[len - 2];
          }
          continue;
        }
        add_shape(code, r, len);
      }
      return true;
    }
    case kBigFont: {
      uint16_t word, count, ranges;
      if (!b.u16(25, word) || word != 8) {
        kind_ = kUnknown;
        return false;
      }
      if (!b.u16(27, count) || !b.u16(29, ranges)) return true;
      const uint64_t index = 31 + 4ull * ranges;
      bool info = true;
      for (uint32_t i = 0; i < count; ++i) {
        uint16_t code, len;
        uint32_t off;
        const uint64_t e = index + 8ull * i;
        if (!b.u16(e, code) || !b.u16(e + 2, len) || !b.u32(e + 4, off)) break;
        if (len == 0) continue;
        if (!b.holds(off, len)) continue;  // this record lies outside the file
        const uint8_t* r = b.at(off);
        if (info) {
          info = false;
          const size_t start = body_start(r, len);
          if (start + 3 <= len) {
            above_ = r[start];
            below_ = r[start + 1];
            modes_ = r[start + 2];
          }
          // Extended big fonts give the cell's width next.
          if (start + 4 <= len) cell_width_ = r[start + 3];
        }
        add_shape(code, r, len);
      }
      return true;
    }
    case kUnifont: {
      uint16_t info_len;
      if (!b.u16(29, info_len) || !b.holds(31, info_len)) return true;
      if (info_len >= 6) {
        const uint8_t* r = b.at(31);
        above_ = r[info_len - 6];
        below_ = r[info_len - 5];
        modes_ = r[info_len - 4];
      }
      uint64_t at = 31ull + info_len;
      for (;;) {
        uint16_t code, len;
        if (!b.u16(at, code) || !b.u16(at + 2, len) || len == 0 || !b.holds(at + 4, len)) break;
        add_shape(code, b.at(at + 4), len);
        at += 4ull + len;
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
  const MB_Shx_Char* c = find(code);
  if (!c) return false;
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
  *out = run.run(c->data().data(), c->data().size());
  return true;
}

bool MB_Shx_Library::char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height,
                                   double width, bool vertical) {
  Shape_Glyph g;
  if (code > 0xFFFFFFFFul || !glyph(static_cast<uint32_t>(code), &g)) return false;
  const double s = height / this->height();
  place_shape_glyph(g, s * width, s, out, pen, height, width, vertical);
  return true;
}
