// Compiled shape fonts (SHX): shape fonts 1.0 and 1.1, big fonts, unifonts
// and the three further signatures. The whole file is read when the library
// is made and each shape kept as its raw bytes; a glyph is drawn by running
// its bytes (mb_shape_code.h), and the strokes of a run are kept for the
// next request of the code (see run_glyph).
//
// The file is untrusted: every index entry, length and offset is checked
// against the file, a record that does not fit ends the reading with the
// shapes read so far, and the file is never written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "database/fonts/mb_font_library.h"
#include "database/fonts/mb_shape_code.h"

// One shape: its code and the bytes after its name.
class MB_Shx_Char {
 public:
  MB_Shx_Char() = default;
  MB_Shx_Char(int code, std::vector<uint8_t> data) : code_(code), data_(std::move(data)) {}
  MB_Shx_Char(const MB_Shx_Char&) = delete;
  MB_Shx_Char& operator=(const MB_Shx_Char&) = delete;

  int code() const { return code_; }
  uint16_t size() const { return static_cast<uint16_t>(data_.size()); }
  const std::vector<uint8_t>& data() const { return data_; }
  // n zeroed bytes in place of the old ones.
  void create_buffer(size_t n) { data_.assign(n, 0); }
  const char* note() const { return note_; }
  void note(const char* text) {
    note_[0] = text && *text ? text[0] : ' ';
    note_[1] = 0;
  }

  MB_Shx_Char* next() const { return next_; }
  MB_Shx_Char* previous() const { return previous_; }

 private:
  friend class MB_Shx_Char_List;
  int code_ = 0;
  std::vector<uint8_t> data_;
  char note_[2] = {' ', 0};
  MB_Shx_Char* previous_ = nullptr;
  MB_Shx_Char* next_ = nullptr;
};

// The shapes of a font in file order; owns them.
class MB_Shx_Char_List {
 public:
  MB_Shx_Char_List() = default;
  MB_Shx_Char_List(const MB_Shx_Char_List&) = delete;
  MB_Shx_Char_List& operator=(const MB_Shx_Char_List&) = delete;
  ~MB_Shx_Char_List() { kill_all(); }

  MB_Shx_Char* first() const { return first_; }
  MB_Shx_Char* last() const { return last_; }
  void add_shx_char(MB_Shx_Char* c);
  void kill_all();
  // Makes `path` a new, empty file: the shapes themselves are never
  // written. An existing file (the font itself, say) is never replaced:
  // false with errno EEXIST. False (errno set) when the file cannot be made.
  bool save(const char* path) const;

 private:
  MB_Shx_Char* first_ = nullptr;
  MB_Shx_Char* last_ = nullptr;
};

class MB_Shx_Library : public MB_Font_Library {
 public:
  // File kinds from the signature.
  enum { kUnknown = -1, kShapes = 0, kBigFont = 1, kEmpty = 2, kUnifont = 3 };

  MB_Shx_Library() = default;
  // Loads the file (a bare name from the fonts folder, or a path); a failed
  // load leaves an empty library.
  explicit MB_Shx_Library(const char* file);
  MB_Shx_Library(const MB_Shx_Library&) = delete;
  MB_Shx_Library& operator=(const MB_Shx_Library&) = delete;

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

  int font_type() const override { return 4; }
  // Above the baseline, else below; 1 for a font that gives neither.
  double height() const override;
  bool char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double width,
                     bool vertical) override;
  bool char_2_ptlist_in_units(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double width,
                              bool vertical, double units) override;
  bool char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts, As_Pt& pen,
                     double height, double width, bool vertical, double units) override;

  bool has_code(unsigned long code) const override {
    return code <= 0xFFFFFFFFul && find(static_cast<uint32_t>(code)) != nullptr;
  }
  bool is_unifont() const override { return kind_ == kUnifont; }

  bool load_shx_file(const char* file);
  // Reads the whole file; false when it is no font of a known kind.
  bool load_shx_bytes(const uint8_t* bytes, size_t size);
  // The kind of an open file from its first 34 bytes.
  static int get_shxflag(FILE* f);
  static int get_shxflag(const uint8_t* bytes, size_t size);

  // The shape of a code (the first in file order), or null.
  const MB_Shx_Char* find(uint32_t code) const;
  // The strokes of a code in font units, before placing.
  bool glyph(uint32_t code, Shape_Glyph* out) const;

  // The shapes, to change: the glyphs kept from earlier runs are dropped.
  MB_Shx_Char_List& char_list() {
    glyphs_.clear();
    glyph_points_ = 0;
    return char_list_;
  }
  uint16_t above() const { return above_; }
  uint16_t below() const { return below_; }
  uint16_t modes() const { return modes_; }
  // The width of a big font's cell; 0 when the font gives none.
  uint16_t cell_width() const { return cell_width_; }
  int kind() const { return kind_; }

 private:
  // The glyph of a code, or null. A run the budgets did not cut is kept
  // (up to kMaxKeptPoints for the font) and handed out again, spending its
  // cost, whenever the budgets left allow that cost: it then draws exactly
  // as a new run would. Otherwise the code is run into `scratch`.
  const Shape_Glyph* run_glyph(uint32_t code, Shape_Glyph& scratch) const;
  void add_shape(uint32_t code, const uint8_t* record, size_t length);
  // The font units a text's height spans for a glyph: the font's height,
  // or a big font's own cell (big_font_cell_units) when it gives no height
  // above the baseline.
  double own_units(const Shape_Glyph& g) const;
  void clear();

  // Enough for the glyphs of a large big font; a damaged font whose every
  // glyph explodes keeps no more than this and runs the others each time.
  static constexpr long kMaxKeptPoints = 1L << 21;

  MB_Shx_Char_List char_list_;
  std::unordered_map<uint32_t, const MB_Shx_Char*> index_;
  mutable std::unordered_map<uint32_t, Shape_Glyph> glyphs_;
  mutable long glyph_points_ = 0;  // the cost of the glyphs kept
  uint16_t above_ = 1;
  uint16_t below_ = 1;
  uint16_t modes_ = 0;
  uint16_t cell_width_ = 0;
  int kind_ = kUnknown;
};

// Opens a font file for reading: a name without a folder is looked up in the
// fonts folder (without regard to case); a path keeps its folder.
FILE* mb_open_font_file(const char* file, const char* mode);
