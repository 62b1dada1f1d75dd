// Shape fonts given as source text (SHP), compiled when the library is made.
//
// The source is read whole, line by line (LF or CR LF, lines of any length);
// ';' starts a comment. A line starting with '*' opens a shape (its number,
// byte count and name) or names the font kind ("*BIGFONT", "*UNIFONT");
// the lines after it are the shape's bytes, separated by commas, with
// parentheses only grouping. Numbers with a leading 0 are hexadecimal.
// Each shape is compiled into the byte-code of compiled fonts and run by the
// same interpreter (mb_shape_code.h), so a source and the font compiled from
// it draw alike. All shapes are collected before any is run, so a subshape
// may be defined before or after the shapes that use it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/fonts/mb_font_char.h"
#include "database/fonts/mb_font_library.h"
#include "database/fonts/mb_shape_code.h"

class MB_Shp_Library : public MB_Font_Library {
 public:
  MB_Shp_Library() = default;
  // Compiles the file (a bare name from the fonts folder, or a path).
  explicit MB_Shp_Library(const char* file);
  MB_Shp_Library(const MB_Shp_Library&) = delete;
  MB_Shp_Library& operator=(const MB_Shp_Library&) = delete;
  ~MB_Shp_Library() override;

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  bool save_qft(MB_File_IO&, const char*) const { return true; }

  int font_type() const override { return 3; }
  double height() const override;
  MB_Font_Char* font_char_set(unsigned short code) override;
  // Places the glyph of a code as compiled shape fonts do.
  bool char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double width,
                     bool vertical) override;
  bool char_2_ptlist_in_units(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double width,
                              bool vertical, double units) override;
  bool char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts, As_Pt& pen,
                     double height, double width, bool vertical, double units) override;

  // Compiles the file named at construction; false (logged) when it does
  // not open or has no first line.
  bool load_data() { return load_file(file_name()); }
  // The same for a file named apart from the library.
  bool load_file(const char* file);
  // Compiles source text.
  bool load_text(const std::string& text);

  // The font units a text's height spans for a glyph: the font's height,
  // or a big font's own cell (big_font_cell_units) when it gives no height
  // above the baseline.
  double own_units(const MB_Font_Char& c) const;

  uint16_t above() const { return above_; }
  uint16_t below() const { return below_; }
  uint16_t modes() const { return modes_; }
  bool is_big_font() const { return big_font_; }
  bool is_unifont() const override { return unifont_; }
  bool has_code(unsigned long code) const override {
    return code <= 0xFFFF && index_.count(static_cast<uint32_t>(code)) != 0;
  }
  // The compiled bytes of a shape, or null.
  const std::vector<uint8_t>* shape_bytes(uint32_t code) const;
  // Glyphs in file order.
  const std::vector<MB_Font_Char*>& glyphs() const { return glyphs_; }

  // Compiles the tokens of one shape body into shape bytes. `opens` marks
  // the tokens that open a parenthesised group (none when null): in a
  // unifont, "7,(hi,lo)" names the code of those two bytes.
  static std::vector<uint8_t> compile_body(const std::vector<int32_t>& values, Shape_Font_Kind kind,
                                           const std::vector<bool>* opens = nullptr);
  // Reads one number token: decimal, or hexadecimal after a leading 0;
  // parentheses and blanks are ignored. False for a token that is no number.
  static bool parse_number(const std::string& token, int32_t* out);

 private:
  void clear();

  uint16_t above_ = 1;
  uint16_t below_ = 1;
  uint16_t modes_ = 0;
  bool big_font_ = false;
  bool unifont_ = false;
  std::unordered_map<uint32_t, std::vector<uint8_t>> shapes_;
  std::vector<MB_Font_Char*> glyphs_;
  std::unordered_map<uint32_t, MB_Font_Char*> index_;
};
