// Small big fonts of the double-byte code pages, written as shape source:
// each holds a few glyphs of plainly different pictures (a box, a cross, a
// triangle) at the codes of real characters in its own code page,
// and a circle at the code those characters have in another code page, so
// a character looked up in the wrong code page draws the circle. Compiled
// by the kernel and written out as compiled fonts for the programs that
// read only those. Beside them: a character of each that every source of
// text is shown to draw, the names of the pictures kept of it, and a DXF
// file of a style that names a main font and a big font.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "database/fonts/mb_font_library.h"
#include "database/fonts/mb_shp_library.h"
#include "tests/fonts/font_builder.h"

namespace big_font_fixture {

// The pictures, each 8 units tall, advancing 10.
#define QM_FIXTURE_BOX "1,084,080,08C,088,2,0A0,0\n"
#define QM_FIXTURE_CROSS "1,082,2,088,1,08E,2,020,0\n"
#define QM_FIXTURE_CIRCLE "2,8,(8,4),1,10,(4,0),2,8,(2,-4),0\n"
#define QM_FIXTURE_TRIANGLE "1,8,(4,8),8,(4,-8),088,2,0A0,0\n"

struct Fixture {
  const char* name;    // in the names of the pictures the tests keep
  const char* file;    // the name the tests give it
  const char* source;  // shape source
};

// Big5 (lead bytes 0xA1 to 0xF9): 面 ADB1 box, 明 A9FA cross, 中 A4A4
// triangle; circles at 面's and 明's GBK codes (C3E6, C3F7).
const Fixture kBig5 = {"big5", "big5_test.shx",
                       "*BIGFONT 6,1,0A1,0F9\n*0,4,BIG5TEST\n8,2,0,0\n"
                       "*0ADB1,8,\n" QM_FIXTURE_BOX "*0A9FA,9,\n" QM_FIXTURE_CROSS "*0A4A4,11,\n" QM_FIXTURE_TRIANGLE
                       "*0C3E6,13,\n" QM_FIXTURE_CIRCLE "*0C3F7,13,\n" QM_FIXTURE_CIRCLE};

// Shift-JIS (lead bytes 0x81 to 0x9F and 0xE0 to 0xFC): 変 95CF box, 鋼
// 8D7C cross, 中 9286 triangle; circles at 変's and 鋼's GBK codes (89E4,
// E493).
const Fixture kShiftJis = {"sjis", "sjis_test.shx",
                           "*BIGFONT 6,2,081,09F,0E0,0FC\n*0,4,SJISTEST\n8,2,0,0\n"
                           "*095CF,8,\n" QM_FIXTURE_BOX "*08D7C,9,\n" QM_FIXTURE_CROSS
                           "*09286,11,\n" QM_FIXTURE_TRIANGLE "*089E4,13,\n" QM_FIXTURE_CIRCLE
                           "*0E493,13,\n" QM_FIXTURE_CIRCLE};

// KS X 1001 (lead bytes 0xA1 to 0xFE, which GB2312 and Big5 fonts give
// too): 도 B5B5 box, 한 C7D1 cross, 中 F1E9 triangle; a circle at 0xB3C4,
// 도's Unicode number.
const Fixture kKorean = {"korean", "ks_test.shx",
                         "*BIGFONT 5,1,0A1,0FE\n*0,4,KSTEST\n8,2,0,0\n"
                         "*0B5B5,8,\n" QM_FIXTURE_BOX "*0C7D1,9,\n" QM_FIXTURE_CROSS "*0F1E9,11,\n" QM_FIXTURE_TRIANGLE
                         "*0B3C4,13,\n" QM_FIXTURE_CIRCLE};

// GBK (lead bytes 0x81 to 0xFE): 中 D6D0 triangle, € 0x80 has no glyph; a
// circle at 0xB3C4 (衬), which is also 도's Unicode number.
const Fixture kGbk = {"gbk", "gbk_test.shx",
                      "*BIGFONT 3,1,081,0FE\n*0,4,GBKTEST\n8,2,0,0\n"
                      "*0D6D0,11,\n" QM_FIXTURE_TRIANGLE "*0B3C4,13,\n" QM_FIXTURE_CIRCLE};

// A GBK big font made to accompany a main font, as the usual Chinese ones
// are: no height above the baseline, a cell 64 units deep, and glyphs that
// shrink themselves by 10/64 through a subshape, so that the text's height
// spans 10 of its units. 中 D6D0: a stroke 60 units tall.
const Fixture kCell = {"cell", "cell_test.shx",
                       "*BIGFONT 4,1,081,0FE\n*0,4,CELLTEST\n0,64,0,0\n*1,5,\n3,64,4,10,0\n*2,5,\n3,10,4,64,0\n"
                       "*0D6D0,12,\n7,1,8,(0,60),2,8,(64,-60),7,2,0\n"};

// A main font of plain shapes: 'A' a stroke as tall as the font, ending 4
// units on along the baseline; the space.
const char kMainSource[] = "*0,4,MAIN\n8,2,0,0\n*65,7,A\n1,084,2,8,(4,-8),0\n*32,3,SPACE\n2,060,0\n";

// The same as a unifont, as the usual Latin fonts of Chinese drawings are.
const char kUnifontMainSource[] =
    "*UNIFONT,6,UNIMAIN\n8,2,0,0,0,0\n*00041,7,A\n1,084,2,8,(4,-8),0\n*00020,3,SPACE\n2,060,0\n";

#undef QM_FIXTURE_BOX
#undef QM_FIXTURE_CROSS
#undef QM_FIXTURE_CIRCLE
#undef QM_FIXTURE_TRIANGLE

// One character of each fixture that every source of text (the kernel's
// text API, a DXF file, a markup document, the control's automation) is
// shown to draw as the big font's own glyph: the character in UTF-8, the
// DXF code page that names the fixture's code page, and the character's code
// in the font. None is the box, so that a picture never shows a glyph that
// looks like the mark of a missing character.
struct Character {
  const Fixture* fixture;
  const char* utf8;
  const char* dxf_code_page;
  uint32_t code;
};
const Character kCharacters[] = {
    {&kBig5, "\xE6\x98\x8E", "ANSI_950", 0xA9FA},      // 明, the cross
    {&kShiftJis, "\xE9\x8B\xBC", "ANSI_932", 0x8D7C},  // 鋼, the cross
    {&kKorean, "\xED\x95\x9C", "ANSI_949", 0xC7D1},    // 한, the cross
    {&kGbk, "\xE4\xB8\xAD", "ANSI_936", 0xD6D0},       // 中, the triangle
};

// The name of the picture a test keeps of a fixture's character drawn from
// one source: big_font_<fixture>_<source>, the fixture one of big5, sjis,
// korean and gbk, the source one of api (the kernel's text API), dxf,
// markup and automation. The tests that keep them:
//   QM_TEST_PICTURES=DIR ctest --test-dir BUILD -R 'InTheBigFonts(Own)?CodePage'
inline std::string picture(const Fixture& f, const char* source) {
  return std::string("big_font_") + f.name + "_" + source;
}

// A DXF file of the given version and $DWGCODEPAGE with a text style STYLE
// of the main font and the big font (paths as the style gives them), and,
// unless `text` is empty, one TEXT of height 10 at (100, 50) in it.
inline std::string style_dxf(const char* version, const char* code_page, const char* style, const std::string& main,
                             const std::string& big, const std::string& text) {
  std::string dxf = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + std::string(version) + "\n9\n$DWGCODEPAGE\n3\n" +
                    code_page + "\n0\nENDSEC\n";
  dxf += "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n1\n0\nSTYLE\n2\n" + std::string(style) +
         "\n70\n0\n40\n0\n41\n1\n50\n0\n71\n0\n3\n" + main + "\n4\n" + big + "\n0\nENDTAB\n0\nENDSEC\n";
  dxf += "0\nSECTION\n2\nENTITIES\n";
  if (!text.empty()) dxf += "0\nTEXT\n8\n0\n10\n100\n20\n50\n40\n10\n7\n" + std::string(style) + "\n1\n" + text + "\n";
  return dxf + "0\nENDSEC\n0\nEOF\n";
}

// The strokes of the glyph of `code` in a font drawn from `pen` at the
// height and width factor, as text lays it out: the points of every stroke
// in order, and each stroke's point count. Empty when the font has none.
struct Glyph {
  std::vector<unsigned long> counts;
  std::vector<As_Pt> points;
};
inline Glyph glyph(MB_Font_Library& font, uint32_t code, As_Pt pen, double height, double width) {
  Glyph g;
  if (!font.char_2_ptsets(code, g.counts, g.points, pen, height, width, false, 0)) return {};
  return g;
}

// The compiled font of shape source, as the kernel compiles it: a big font
// with the source's ranges, a unifont or a shape font. Empty when the source does not
// compile.
inline std::vector<uint8_t> compiled(const char* source) {
  MB_Shp_Library shp;
  if (!shp.load_text(source)) return {};
  std::vector<font_test::Shape> shapes;
  for (const MB_Font_Char* g : shp.glyphs()) {
    const std::vector<uint8_t>* bytes = shp.shape_bytes(g->code());
    if (bytes) shapes.push_back({g->code(), "", *bytes});
  }
  const uint8_t above = static_cast<uint8_t>(shp.above()), below = static_cast<uint8_t>(shp.below());
  if (shp.is_unifont()) return font_test::unifont(above, below, shapes);
  if (!shp.is_big_font()) return font_test::shapes_font(above, below, shapes);
  std::vector<std::pair<uint8_t, uint8_t>> ranges;
  for (const MB_Lead_Range& r : shp.lead_ranges()) ranges.emplace_back(r.first, r.last);
  return font_test::big_font(above, below, shapes, 8, 0, ranges);
}

// Writes the compiled font of the source to `path`; false when it cannot.
inline bool write_compiled(const char* source, const std::string& path) {
  const std::vector<uint8_t> bytes = compiled(source);
  FILE* f = bytes.empty() ? nullptr : std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace big_font_fixture
