// Single-line text: a string laid out into strokes through its style's font
// libraries, kept as one display node for drawing and picking; and
// multi-line text, which keeps its string and pieces and draws nothing.
//
// The text carries its own copy of a style's values. Character codes come
// from the 8-bit (GBK) text (byte 0x80 is the euro sign, as in code page
// 936); no character is lost. In a shape-font style a double-byte character
// or a "\U+XXXX" escape (or "\M+nXXXX", a code of the code page n names:
// qm_mif_escape_at) that the big font has, looked up in the big font's
// own code page (mb_big_font_code_page.h), draws from it (an escape a
// unifont main font has draws from the unifont; a big-font look-up that
// fails is noted once per code in the kernel's log); "%%"
// codes and single bytes draw from the main font. Any other character is
// drawn by its Unicode code point from a unifont main font, else from an
// installed CJK face (mb_cjk_font) at the text's height. A TrueType main
// font takes every code, and GDI takes a character its face lacks from an
// installed face that has it. A character no font has, and each byte that
// is no GBK character, draws a box in its cell and advances; the log says
// once which character it was. An incomplete sequence at the end of the
// text is read as plain bytes, never past the end. The glyphs of one text make at most the text budget of points
// (mb_glyph_budget.h): a text beyond it keeps the strokes that fit. A copy
// has no display node until its own build_draw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/entities/mb_text_style.h"
#include "database/mb_drawable.h"
#include "geometry/as_pt.h"

class MB_Draw_Lines_Sets;

// One character code of a text and where it came from.
struct MB_Text_Code {
  // kBadByte: a byte from 0x81 up that starts no GBK character.
  enum Origin { kByte, kDoubleByte, kPercent, kEscape, kBadByte };
  uint32_t code;
  Origin origin;
};

// The codes of 8-bit text.
std::vector<MB_Text_Code> mb_text_codes(const char* text, size_t length);

class MB_Text : public MB_Drawable {
 public:
  MB_Text() = default;
  MB_Text(const As_Pt& base, const MB_String& text);
  MB_Text(const As_Pt& base, const MB_String& text, const As_Pt*, unsigned short, const unsigned short*, unsigned short,
          const unsigned short*);
  MB_Text(const MB_Text& other) = default;
  MB_Text& operator=(const MB_Text& other) = default;

  MB_ID object_id() const override { return ID_TEXT; }
  MB_Type object_type() const override { return TYPE_TEXT; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  bool copy_to(MB_Object*& target) override;

  void build_draw() override;
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
  void draw_key_point(HDC hdc, CMyDC& dc, const As_Tran& view) override;
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  void translate(const As_Tran& t) override;

  const As_Pt& base_pos() const { return base_; }
  void base_pos(const As_Pt& p) { base_ = p; }
  const MB_String& string() const { return string_; }
  void set_text(const MB_String& text) { string_ = text; }
  unsigned char flag() const { return flag_; }
  void flag(unsigned char f) { flag_ = f; }
  MB_Text_Style& text_style() { return style_; }
  const MB_Text_Style& text_style() const { return style_; }

  // Copies the drawing's first style of that name (ignoring case): true.
  // Otherwise the fallback style "DEFAULT_STYLE" applies: false.
  bool init_text_style(MB_Drawing& drawing, const char* name);
  void init_text_style(const MB_Text_Style* style);

  // Lays the text out into the node's point sets and sets the extents.
  void text_2_ptsets(MB_Draw_Lines_Sets* node);
  // The strokes of every code through a TrueType font, appended to out.
  void render_string_by_ttf(const char* text, MB_Font_Library* font, As_Void_List& out);

  // The text as 8-bit bytes: 16-bit units above 0xFF become two bytes.
  std::string bytes() const;

  // The high half of a text's save flag holds the Windows number of its
  // style's drawing code page (MB_Text_Style::drawing_code_page), so that
  // a text keeps the glyphs of a big font whose code page only the drawing
  // it came from names. The bits carry no item: readers that do not know
  // them read the record as before.
  static constexpr unsigned kCodePageShift = 16;

 private:
  unsigned char flag_ = 0;
  As_Pt base_;
  MB_String string_;
  MB_Text_Style style_;
};

// The fallback style, made on first use.
MB_Text_Style& mb_default_text_style();

class MB_Mtext : public MB_Drawable {
 public:
  MB_Mtext() = default;
  MB_Mtext(const As_Pt& base, const char* text);
  MB_Mtext(const MB_Mtext&) = default;
  MB_Mtext& operator=(const MB_Mtext&) = default;

  MB_ID object_id() const override { return ID_MTEXT; }
  MB_Type object_type() const override { return TYPE_TEXT; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }

  // "\P" becomes CR LF; the text is split into pieces at every backslash
  // and letter 'f', leaving out pieces that open a font group.
  void convert_mtext_string();
  const std::string& raw() const { return raw_; }
  const std::vector<MB_String>& pieces() const { return pieces_; }
  const As_Pt& base_pos() const { return base_; }

 private:
  std::vector<MB_String> pieces_;
  As_Pt base_;
  std::string raw_;
};
