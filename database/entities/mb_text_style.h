// Text styles: a main font file, a big-font file and the values of text
// drawn with them. Styles share the font libraries of the system resource's
// cache (never freed here). MB_Text_Style_Name selects the current style
// while a file is read.
#pragma once

#include <cstdint>

#include "database/fonts/mb_big_font_code_page.h"
#include "database/mb_object.h"
#include "database/mb_string.h"

class MB_Font_Library;

class MB_Text_Style : public MB_Attribute {
 public:
  // Bits of font_style; values of ali_flag.
  enum : int32_t { kVertical = 0x100 };
  enum : int32_t { kCentred = 2 };

  MB_Text_Style() = default;
  // The two trailing integers are not used: font_style and ali_flag stay 0.
  MB_Text_Style(const char* name, const char* font, const char* big_font, double height, double width_scale,
                double oblique_angle, double angle, int32_t, int32_t);
  MB_Text_Style(const MB_Text_Style&) = default;
  MB_Text_Style& operator=(const MB_Text_Style&) = default;

  MB_ID object_id() const override { return ID_TEXT_STYLE; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;

  // Copies the values, both fonts and the name.
  using MB_Object::copy_to;
  void copy_to(MB_Text_Style& other) const { other = *this; }
  MB_Result sync_write(MB_File_IO& io) const;
  MB_Result sync_read(const MB_Opcode& op, MB_File_IO& io);

  const MB_String& name() const { return name_; }
  void name(const char* n) { name_ = MB_String(n); }
  MB_Font_Library* font_lib() const { return font_lib_; }
  void font_lib(MB_Font_Library* f) { font_lib_ = f; }
  // The library of a font file from the cache, loaded when not there yet;
  // "txt.shx" when the file gives none. Null does nothing.
  void font_lib(const char* file);
  MB_Font_Library* big_font_lib() const { return big_font_lib_; }
  void big_font_lib(MB_Font_Library* f) { big_font_lib_ = f; }
  // The same with "ae.shx" as the fallback.
  void big_font_lib(const char* file);
  // The code page of the drawing the style came from (a DXF's
  // $DWGCODEPAGE), which decides the big font's code page when the font
  // itself does not tell (MB_Font_Library::big_font_code_page); kUnknown
  // when the drawing names none. Style records do not store it; each text
  // keeps its own in its native record (MB_Text::kCodePageShift), and the
  // style takes it back from its texts when a file is read.
  MB_Code_Page drawing_code_page() const { return drawing_code_page_; }
  void drawing_code_page(MB_Code_Page page) { drawing_code_page_ = page; }
  double height() const { return reals_[0]; }
  void height(double v) { reals_[0] = v; }
  double width_scale() const { return reals_[1]; }
  void width_scale(double v) { reals_[1] = v; }
  double angle() const { return reals_[2]; }
  void angle(double v) { reals_[2] = v; }
  double oblique_angle() const { return reals_[3]; }
  void oblique_angle(double v) { reals_[3] = v; }
  int32_t font_style() const { return longs_[0]; }
  void font_style(int32_t v) { longs_[0] = v; }
  int32_t ali_flag() const { return longs_[1]; }
  void ali_flag(int32_t v) { longs_[1] = v; }
  // Height, width scale, angle, oblique angle.
  const double* reals() const { return reals_; }
  // Font style, alignment.
  const int32_t* longs() const { return longs_; }

 private:
  MB_String name_ = MB_String("*no name");
  MB_Font_Library* font_lib_ = nullptr;
  MB_Font_Library* big_font_lib_ = nullptr;
  MB_Code_Page drawing_code_page_ = MB_Code_Page::kUnknown;
  double reals_[4] = {10.0, 0.0, 0.0, 0.0};
  int32_t longs_[2] = {0, 0};
};

class MB_Drawing;

class MB_Text_Style_Name : public MB_Attribute {
 public:
  MB_Text_Style_Name() = default;
  MB_Text_Style_Name(const char* name, MB_Drawing& drawing);

  MB_ID object_id() const override { return ID_TEXT_STYLE_NAME; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;

  MB_Text_Style* text_style() const { return text_style_; }
  const MB_String& name() const { return name_; }

 private:
  MB_Text_Style* text_style_ = nullptr;
  MB_String name_ = MB_String("Text Style");
};

// The library of a font file from the cache, else loaded; else the fallback
// file's the same way; else the kernel's shipped font under the fallback's
// name; null when none gives one.
MB_Font_Library* mb_font_from_cache(const char* file, const char* fallback);

// The installed CJK TrueType face that draws a character no shape font of a
// style has ("simsun.ttf", which GDI resolves to an installed CJK face),
// from the cache, made on first use.
MB_Font_Library* mb_cjk_font();
