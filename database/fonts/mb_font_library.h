// The base of every font the kernel draws text with: compiled shape fonts,
// shape fonts compiled from source and TrueType fonts. Libraries are made and
// cached by file name by the system resource (mb_resource.h) and shared by
// every text style that names the file.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "database/fonts/mb_big_font_code_page.h"
#include "database/mb_object.h"
#include "database/mb_string.h"

#include "geometry/as_pt.h"

class As_Void_List;
class MB_Font_Char;

class MB_Font_Library : public MB_Attribute {
 public:
  static constexpr int kFileNameSize = 256;
  // A code with this bit is the Unicode code point of its low bits: a font
  // that tells the 8-bit code page from Unicode (TrueType) draws it so.
  static constexpr uint32_t kUnicode = 0x80000000u;

  MB_Font_Library() = default;
  MB_Font_Library(const MB_Font_Library&) = default;
  MB_Font_Library& operator=(const MB_Font_Library&) = default;

  MB_ID object_id() const override { return ID_FONT; }

  // 1 TrueType, 3 shape font from source, 4 compiled shape font.
  virtual int font_type() const = 0;
  // The glyph of a code, or null.
  virtual MB_Font_Char* font_char_set(unsigned short) { return nullptr; }
  // The font's height in its own units.
  virtual double height() const { return 1.0; }
  // Appends the strokes of a code, scaled to `height` and placed at `pen`,
  // and advances the pen; false (nothing appended, pen kept) when the code
  // has no glyph.
  virtual bool char_2_ptlist(unsigned long, As_Void_List&, As_Pt&, double, double, bool) {
    return false;
  }
  // The same, with `units` font units making `height` in place of the
  // font's own height(); a font without units of its own ignores them.
  virtual bool char_2_ptlist_in_units(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double width,
                                      bool vertical, double /*units*/) {
    return char_2_ptlist(code, out, pen, height, width, vertical);
  }
  // Places a code as char_2_ptlist_in_units does (`units` 0: the font's
  // own), appending each stroke's point count to `counts` and its points to
  // `pts`: text is laid out so, without a list node per point.
  virtual bool char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts,
                             As_Pt& pen, double height, double width, bool vertical, double units);

  // Whether the font has a glyph for the code, and whether it is a unifont
  // (codes are Unicode); text layout routes codes by them.
  virtual bool has_code(unsigned long) const { return false; }
  virtual bool is_unifont() const { return false; }

  bool is_ttf_font() const { return font_type() == 1; }

  // The lead-byte ranges of a big font's header; none for other fonts.
  const std::vector<MB_Lead_Range>& lead_ranges() const { return lead_ranges_; }
  // The code page the font's codes are in when it stands as a big font
  // (mb_big_font_code_page), `drawing` being the code page of the drawing
  // that names it.
  MB_Code_Page big_font_code_page(MB_Code_Page drawing) const {
    return mb_big_font_code_page(file_name_, lead_ranges_, drawing);
  }

  MB_String& name() { return name_; }
  MB_String& font_name() { return font_name_; }
  const char* file_name() const { return file_name_; }
  // Cut to 255 bytes.
  void file_name(const char* name) {
    size_t n = name ? strnlen(name, kFileNameSize - 1) : 0;
    if (n) std::memmove(file_name_, name, n);
    file_name_[n] = 0;
  }

 protected:
  MB_String name_;
  MB_String font_name_;
  uint16_t word_ = 0;
  std::vector<MB_Lead_Range> lead_ranges_;
  char file_name_[kFileNameSize] = {};
};
