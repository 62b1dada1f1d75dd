// Text entities: character codes, layout through shape and TrueType fonts,
// copies and multi-line text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "database/entities/mb_text.h"
#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"
#include "database/mb_drawing.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "tests/fonts/font_builder.h"
#include "tests/support/expect_pt.h"

using namespace font_test;

namespace {

TEST(TextCodes, EscapesAndDoubleByteCodesScanAndIncompleteOnesStayBytes) {
  struct Case {
    std::string text;
    std::vector<uint32_t> codes;
  } cases[] = {
      {"A%%d", {65, 176}},
      {"%%%%%c%%P%%x", {37, 8709, 177, 0}},
      {"\\U+4E2Dz", {0x4E2D, 'z'}},
      {"\\m+195CF", {0x5909}},  // 変 in Shift-JIS
      {"\\M+14E2D", {0xFFFD}},  // no double-byte code
      {"\\Q+1234", {'\\', 'Q', '+', '1', '2', '3', '4'}},
      {"\xB0\xA1", {0xB0A1}},
      {"a\xB0", {'a', 0xB0}},                            // a lone lead byte at the end: a bad byte
      {"\x80\xFF\x81\x7F", {0x20AC, 0xFF, 0x81, 0x7F}},  // the euro sign, no lead byte, a bad trail byte
      {"\xB0 A", {0xB0, ' ', 'A'}},                      // the byte after a bad lead byte is read afresh
      {"%%", {'%', '%'}},                                // incomplete: plain bytes
      {"\\U+4E", {'\\', 'U', '+', '4', 'E'}},
      {"\\U+4G2D", {'\\', 'U', '+', '4', 'G', '2', 'D'}},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> got;
    for (const MB_Text_Code& k : mb_text_codes(c.text.data(), c.text.size())) got.push_back(k.code);
    EXPECT_EQ(got, c.codes) << c.text;
  }
  EXPECT_EQ(mb_text_codes("\xB0\xA1", 2)[0].origin, MB_Text_Code::kDoubleByte);
  EXPECT_EQ(mb_text_codes("\\U+0041", 7)[0].origin, MB_Text_Code::kEscape);
  EXPECT_EQ(mb_text_codes("\xB0 ", 2)[0].origin, MB_Text_Code::kBadByte);
  EXPECT_EQ(mb_text_codes("\x80", 1)[0].origin, MB_Text_Code::kEscape);
}

class TextLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    // Main font: 'A' a unit vertical stroke, 176 a unit horizontal one.
    // Glyphs end on the baseline (the pen goes back down, up), as the next
    // glyph starts where the pen ends.
    std::vector<uint8_t> m = shapes_font(1, 0, {{65, "A", {0x14, 2, 0x1C, 0}}, {176, "DEG", {0x10, 0}}});
    ASSERT_TRUE(main.load_shx_bytes(m.data(), m.size()));
    std::vector<uint8_t> b =
        big_font(1, 0, {{0xB0A1, "", {0x12, 2, 0x1C, 0}}, {0xD6D0, "", {0x1C, 2, 0x14, 0}}});  // 中 in GBK
    ASSERT_TRUE(big.load_shx_bytes(b.data(), b.size()));
    text.text_style().font_lib(&main);
    text.text_style().big_font_lib(&big);
    text.text_style().height(10);
    text.text_style().width_scale(1);
  }
  // The points of the node after build_draw.
  std::vector<As_Pt> points(const char* s) {
    text.set_text(MB_String(s));
    text.build_draw();
    std::vector<As_Pt> out;
    auto* node = static_cast<MB_Draw_Lines_Sets*>(text.draw_node());
    if (node) out.assign(node->points(), node->points() + node->pts_count());
    return out;
  }
  MB_Shx_Library main, big;
  MB_Text text{As_Pt(100, 50, 0), MB_String("")};
};

TEST_F(TextLayout, CodesGoToTheirFonts) {
  std::vector<As_Pt> p = points("A%%d");
  ASSERT_EQ(p.size(), 4u);
  expect_pt(p[1], 100, 60);
  expect_pt(p[2], 100, 50);
  expect_pt(p[3], 110, 50);
  p = points("\xB0\xA1\\U+4E2D");
  ASSERT_EQ(p.size(), 4u);
  expect_pt(p[1], 110, 60);
  expect_pt(p[3], 110, 40);
  EXPECT_DOUBLE_EQ(text.rect().lt().y(), 60.0);
  // A double-byte code the main font (of GBK codes) has draws from it when
  // the big font lacks it.
  std::vector<uint8_t> m = shapes_font(1, 0, {{65, "A", {0x14, 0}}, {0xB0A2, "", {0x10, 0}}});
  ASSERT_TRUE(main.load_shx_bytes(m.data(), m.size()));
  p = points("\xB0\xA2");
  ASSERT_EQ(p.size(), 2u);
  expect_pt(p[1], 110, 50);
}

// Each byte that starts no GBK character draws a box in a cell of its own
// and the text goes on, in shape-font and TrueType styles alike; nothing is
// read past the text.
TEST_F(TextLayout, BadBytesDrawABoxEachAndTheTextGoesOn) {
  std::vector<As_Pt> p = points(
      "A\xFF\xFF"
      "A");
  ASSERT_EQ(p.size(), 2u + 5 + 5 + 2);
  const double boxes[][2] = {{101, 107}, {109, 115}};  // 0.1 to 0.7 of the height, 0.8 apart
  for (int b = 0; b < 2; ++b) {
    const As_Pt* box = &p[2 + 5 * static_cast<size_t>(b)];
    expect_pt(box[0], boxes[b][0], 50);
    expect_pt(box[2], boxes[b][1], 60);
    expect_pt(box[4], boxes[b][0], 50);
  }
  expect_pt(p[12], 116, 50);  // the second 'A'
  EXPECT_DOUBLE_EQ(text.rect().rb().x(), 116);
  // A pair of GBK's form that names no character (A2AB) is marked as one.
  p = points("\xA2\xAB");
  ASSERT_EQ(p.size(), 5u);
  expect_pt(p[2], 107, 60);
  // A lone lead byte at the very end of a 16-bit text is a bad byte too.
  const unsigned short wide[] = {0x41, 0xB0, 0};
  text.set_text(MB_String(wide));
  text.build_draw();
  EXPECT_EQ(static_cast<MB_Draw_Lines_Sets*>(text.draw_node())->pts_count(), 2u + 5);

  MB_TTF_Library face("DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  text.text_style().font_lib(&face);
  p = points("\xFF");
  ASSERT_EQ(p.size(), 5u);
  expect_pt(p[0], 101, 50);
  expect_pt(p[2], 107, 60);
  text.text_style().font_lib(&main);
}

TEST_F(TextLayout, UnifontsDrawTheirOwnEscapesAndSpacesAdvanceByTheirShape) {
  // A unifont main font that has U+4E2D draws it; the big font gets the
  // codes the unifont lacks.
  std::vector<uint8_t> u = unifont(1, 0, {{0x4E2D, "", {0x14, 0}}, {0x20, "", {2, 0x40, 0}}, {0x41, "", {0x10, 0}}});
  MB_Shx_Library uni;
  ASSERT_TRUE(uni.load_shx_bytes(u.data(), u.size()));
  text.text_style().font_lib(&uni);
  std::vector<As_Pt> p = points("\\U+4E2D\\U+4E2E");
  ASSERT_GT(p.size(), 2u);
  expect_pt(p[1], 100, 60);  // the unifont's vertical stroke, not the big font's
  // U+4E2E, which no shape font of the style has, comes from an installed
  // face where the first character's shape left the pen.
  for (size_t i = 2; i < p.size(); ++i) EXPECT_GE(p[i].x(), 100 - 1e-9);
  // A space advances by the pen movement of its shape (4 units), not by
  // the text's height.
  p = points("A A");
  ASSERT_EQ(p.size(), 4u);
  expect_pt(p[2], 100 + 10 + 40, 50);
}

// A character no shape font of the style has comes from an installed CJK
// face, its ideograph standing on the baseline as tall as the text, as wide
// as the width factor makes it.
TEST_F(TextLayout, CharactersNoShapeFontHasComeFromACjkFaceAtTheTextsHeight) {
  text.text_style().big_font_lib(static_cast<MB_Font_Library*>(nullptr));
  double widths[2] = {};
  for (int k = 0; k < 2; ++k) {
    text.text_style().width_scale(k + 1);
    std::vector<As_Pt> p = points("\xD6\xD0");  // 中
    ASSERT_GT(p.size(), 8u);
    double x0 = p[0].x(), x1 = x0, y0 = p[0].y(), y1 = y0;
    for (const As_Pt& q : p) {
      x0 = std::min(x0, q.x()), x1 = std::max(x1, q.x());
      y0 = std::min(y0, q.y()), y1 = std::max(y1, q.y());
    }
    EXPECT_NEAR(y0, 50, 1e-6);
    EXPECT_NEAR(y1, 60, 1e-6);
    EXPECT_GE(x0, 100);
    widths[k] = x1 - 100;
  }
  EXPECT_NEAR(widths[1], 2 * widths[0], 1e-6);
  text.text_style().width_scale(1);
  text.text_style().big_font_lib(&big);
}

TEST_F(TextLayout, AUnifontAsTheBigFontTakesUnicodeCodes) {
  // 0xB0A1 is U+554A: the unifont's glyph of that code, a horizontal stroke.
  std::vector<uint8_t> u = unifont(1, 0, {{0x554A, "", {0x10, 0}}, {0xB0A1, "", {0x14, 0}}});
  MB_Shx_Library uni;
  ASSERT_TRUE(uni.load_shx_bytes(u.data(), u.size()));
  text.text_style().big_font_lib(&uni);
  std::vector<As_Pt> p = points("\xB0\xA1");
  ASSERT_EQ(p.size(), 2u);
  expect_pt(p[1], 110, 50);
  text.text_style().big_font_lib(&big);
}

TEST_F(TextLayout, OnlyPositiveSlantsDrawAndCentredTextCentresOnItsPoint) {
  text.text_style().oblique_angle(qm_pi / 4);
  std::vector<As_Pt> p = points("A");
  expect_pt(p[1], 110, 60);
  text.text_style().angle(qm_pi / 2);
  p = points("A");
  expect_pt(p[1], 90, 60);
  text.text_style().oblique_angle(-0.5);  // a negative slant is not drawn
  text.text_style().angle(0);
  expect_pt(points("A")[1], 100, 60);
  text.text_style().font_style(MB_Text_Style::kVertical);
  p = points("A");
  expect_pt(p[0], 95, 40);
  text.text_style().font_style(0);
  text.text_style().ali_flag(MB_Text_Style::kCentred);
  text.text_style().angle(0.3);
  p = points("AA%%d");
  double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
  for (const As_Pt& q : p) {
    x0 = std::min(x0, q.x());
    x1 = std::max(x1, q.x());
    y0 = std::min(y0, q.y());
    y1 = std::max(y1, q.y());
  }
  EXPECT_NEAR((x0 + x1) / 2, 100, 1e-9);
  EXPECT_NEAR((y0 + y1) / 2, 50, 1e-9);
}

TEST_F(TextLayout, NoMainFontKeepsTheOldNodeAndPickingFindsTheText) {
  points("A");
  MB_Draw_Node* node = text.draw_node();
  ASSERT_NE(node, nullptr);
  As_Pt_List none;
  As_Pt hit;
  int kind = 0, extra = 0;
  ASSERT_TRUE(text.pick(As_Pt(100.01, 55, 0), none, 0.1, hit, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_TEXT);
  ASSERT_TRUE(text.pick(As_Pt(100.01, 50, 0), none, 0.1, hit, kind, extra));
  expect_pt(hit, 100, 50);
  EXPECT_FALSE(text.pick(As_Pt(130, 55, 0), none, 0.1, hit, kind, extra));
  text.text_style().font_lib(static_cast<MB_Font_Library*>(nullptr));
  text.build_draw();
  EXPECT_EQ(text.draw_node(), node);
}

// A big font made to accompany a main font gives no height above the
// baseline (0) and only the depth of its cell (64); each glyph calls one
// subshape that scales it by 8/64 first and one that restores the scale
// last, so that a glyph drawn 60 units tall in the cell is 7.5 units. Sized
// by its own cell (64 units at 8/64), it stands 7.5 / 8 of the text's height
// whatever main font it accompanies: taking the main font's scale made it
// 12.5 tall beside a main font 6 units tall and 1.56 beside one of 48 (text
// height 10). A big font that gives its own height keeps its own scale.
TEST_F(TextLayout, BigFontWithoutHeightIsSizedByItsOwnCell) {
  std::vector<uint8_t> txt_like = shapes_font(6, 2, {{65, "A", {0x64, 0}}});
  std::vector<uint8_t> unifont_like = unifont(48, 16, {{65, "A", {8, 0, 48, 0}}});
  // Up 60 units, then (pen up) across 64 and down 60: at 8/64 a stroke
  // (0, 0)-(0, 7.5) ending at (8, 0).
  const std::vector<uint8_t> glyph = {7, 1, 8, 0, 60, 2, 8, 64, uint8_t(-60), 7, 2, 0};
  const std::vector<Shape> shapes = {{1, "", {3, 64, 4, 8, 0}}, {2, "", {3, 8, 4, 64, 0}}, {0xB0A1, "", glyph}};
  const char* source =
      "*BIGFONT 4,1,081,0FE\n*0,4,GB\n%d,64,2,0\n*1,5,\n3,64,4,8,0\n*2,5,\n3,8,4,64,0\n"
      "*0B0A1,12,\n7,1,8,(0,60),2,8,(64,-60),7,2,0\n";
  struct Case {
    const std::vector<uint8_t>* main;
    uint8_t above;
    bool compiled;  // the compiled big font, else its source
    double top;     // of the big glyph's stroke
    double next;    // where the following 'A' stands
  } cases[] = {
      {&txt_like, 0, true, 50 + 9.375, 100 + 10},
      {&txt_like, 0, false, 50 + 9.375, 100 + 10},
      {&unifont_like, 0, true, 50 + 9.375, 100 + 10},
      {&unifont_like, 0, false, 50 + 9.375, 100 + 10},
      // 7.5 units at the big font's own 10 / 6.
      {&txt_like, 6, true, 50 + 12.5, 100 + 8 * 10 / 6.0},
      {&unifont_like, 6, false, 50 + 12.5, 100 + 8 * 10 / 6.0},
  };
  text.text_style().height(10);
  for (const Case& c : cases) {
    ASSERT_TRUE(main.load_shx_bytes(c.main->data(), c.main->size()));
    MB_Shx_Library shx;
    MB_Shp_Library shp;
    if (c.compiled) {
      std::vector<uint8_t> b = big_font(c.above, 64, shapes);
      ASSERT_TRUE(shx.load_shx_bytes(b.data(), b.size()));
      text.text_style().big_font_lib(&shx);
    } else {
      char text_source[512];
      std::snprintf(text_source, sizeof text_source, source, c.above);
      ASSERT_TRUE(shp.load_text(text_source));
      text.text_style().big_font_lib(&shp);
    }
    std::vector<As_Pt> p = points(
        "\xB0\xA1"
        "A");
    ASSERT_EQ(p.size(), 4u) << int(c.above) << c.compiled;
    expect_pt(p[0], 100, 50);
    expect_pt(p[1], 100, c.top, 1e-9);
    expect_pt(p[2], c.next, 50, 1e-9);
    if (c.above == 0) {
      EXPECT_GE(p[1].y() - 50, 8.0);
      EXPECT_LE(p[1].y() - 50, 11.0);
    }
  }
  text.text_style().big_font_lib(&big);
}

TEST_F(TextLayout, CopiesOwnTheirNodeAndKeepSixteenBitText) {
  points("A");
  MB_Text copy(text);
  EXPECT_EQ(copy.draw_node(), nullptr);
  copy.build_draw();
  EXPECT_NE(copy.draw_node(), text.draw_node());
  const unsigned short wide[] = {0x4E2D, 0x41, 0};
  text.set_text(MB_String(wide));
  MB_Object* target = nullptr;
  ASSERT_TRUE(text.copy_to(target));
  MB_Text* t = static_cast<MB_Text*>(target);
  EXPECT_EQ(t->string(), text.string());
  EXPECT_EQ(t->string().form(), 2);
  EXPECT_EQ(t->text_style().font_lib(), &main);
  delete target;
}

// A font of a few hundred bytes whose glyph 'A' explodes: each of sixteen
// nested shapes calls the next twice, so one glyph would run 2^16 leaves.
std::vector<uint8_t> exploding_font() {
  std::vector<Shape> shapes = {{65, "A", {7, 1, 0}}};
  for (uint8_t k = 1; k < 16; ++k) shapes.push_back({k, "", {7, uint8_t(k + 1), 7, uint8_t(k + 1), 0}});
  shapes.push_back({16, "", {0x11, 0x19, 0}});
  std::sort(shapes.begin(), shapes.end(), [](const Shape& a, const Shape& b) { return a.code < b.code; });
  return shapes_font(1, 0, shapes);
}

// A text that notes the budget its build sees.
class Budget_Probe : public MB_Text {
 public:
  using MB_Text::MB_Text;
  void build_draw() override {
    seen = MB_Glyph_Budget::available();
    MB_Text::build_draw();
  }
  unsigned long points() {
    auto* node = static_cast<MB_Draw_Lines_Sets*>(draw_node());
    return node ? node->pts_count() : 0;
  }
  long seen = -1;
};

TEST(TextBudget, AnExplodingFontMakesABoundedText) {
  MB_Shx_Library font;
  const std::vector<uint8_t> bytes = exploding_font();
  ASSERT_TRUE(font.load_shx_bytes(bytes.data(), bytes.size()));
  auto text_of = [&font](size_t n) {
    Budget_Probe* t = new Budget_Probe(As_Pt(0, 0, 0), MB_String(std::string(n, 'A').c_str()));
    t->text_style().font_lib(&font);
    t->text_style().height(10);
    return t;
  };
  // One glyph runs into the glyph budget, not much short of it.
  std::unique_ptr<Budget_Probe> one(text_of(1));
  one->build_draw();
  EXPECT_GT(one->points(), static_cast<unsigned long>(MB_Glyph_Budget::kGlyph / 8));
  EXPECT_LE(one->points(), static_cast<unsigned long>(MB_Glyph_Budget::kGlyph));
  EXPECT_EQ(one->seen, MB_Glyph_Budget::kUnbounded);
  // A hundred of them stay within the text budget.
  std::unique_ptr<Budget_Probe> hundred(text_of(100));
  hundred->build_draw();
  EXPECT_GT(hundred->points(), one->points());
  EXPECT_LE(hundred->points(), static_cast<unsigned long>(MB_Glyph_Budget::kText));

  // A drawing's build gives its texts one budget; a budget open around the
  // build bounds all its texts together, and those past it draw nothing.
  MB_Drawing drawing;
  Budget_Probe* texts[3];
  for (Budget_Probe*& t : texts) drawing.object_list().add_tail(t = text_of(100));
  drawing.build_draw();
  EXPECT_EQ(texts[0]->seen, MB_Glyph_Budget::kBuild);
  EXPECT_EQ(texts[2]->points(), hundred->points());
  {
    const long limit = MB_Glyph_Budget::kText + MB_Glyph_Budget::kText / 2;
    MB_Glyph_Budget around(limit);
    drawing.build_draw();
    EXPECT_EQ(texts[0]->points(), hundred->points());
    EXPECT_LT(texts[1]->points(), hundred->points());
    EXPECT_EQ(texts[2]->points(), 0u);
    EXPECT_EQ(around.left(), 0);
  }
  EXPECT_EQ(MB_Glyph_Budget::available(), MB_Glyph_Budget::kUnbounded);
}

TEST(TextBudget, BudgetsNestAndAloneOnesSpendOnlyThemselves) {
  MB_Glyph_Budget outer(100);
  {
    MB_Glyph_Budget inner(40);
    MB_Glyph_Budget::spend(30);
    EXPECT_EQ(MB_Glyph_Budget::available(), 10);
    EXPECT_FALSE(MB_Glyph_Budget::take(11));  // does not fit: all that is left is spent
    EXPECT_EQ(inner.left(), 0);
  }
  EXPECT_EQ(outer.left(), 60);
  {
    MB_Glyph_Budget alone(1000, MB_Glyph_Budget::kAlone);
    EXPECT_EQ(MB_Glyph_Budget::available(), 1000);
    EXPECT_TRUE(MB_Glyph_Budget::take(500));
  }
  EXPECT_EQ(outer.left(), 60);
  EXPECT_TRUE(MB_Glyph_Budget::take(60));
  EXPECT_EQ(MB_Glyph_Budget::available(), 0);
}

TEST(TextStyle, MissingStyleFallsBackToTheDefault) {
  MB_Drawing drawing;
  MB_Text_Style* s = new MB_Text_Style;
  s->name("Notes");
  s->height(3.5);
  drawing.text_style_list().add_tail(s);
  MB_Text t;
  EXPECT_TRUE(t.init_text_style(drawing, "NOTES"));
  EXPECT_EQ(t.text_style().height(), 3.5);
  EXPECT_FALSE(t.init_text_style(drawing, "other"));
  EXPECT_EQ(t.text_style().name(), MB_String("DEFAULT_STYLE"));
  EXPECT_EQ(t.text_style().height(), 8.0);
  EXPECT_EQ(t.text_style().width_scale(), 1.0);
  MB_Text_Style fresh;
  EXPECT_EQ(fresh.name(), MB_String("*no name"));
  EXPECT_EQ(fresh.height(), 10.0);
}

TEST(TextTrueType, WidthScalesTheWholeTextAboutItsBase) {
  MB_TTF_Library font("DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  auto width_of = [&](double w) {
    MB_Text t(As_Pt(10, 0, 0), MB_String("HH"));
    t.text_style().font_lib(&font);
    t.text_style().height(10);
    t.text_style().width_scale(w);
    t.build_draw();
    return t.rect().rb().x() - 10;
  };
  EXPECT_NEAR(width_of(2), 2 * width_of(1), 1e-9);
}

TEST(Mtext, ParagraphMarksBecomeLineEnds) {
  MB_Mtext m(As_Pt(), "A\\PB");
  EXPECT_EQ(m.raw(), "A\r\nB");
  ASSERT_EQ(m.pieces().size(), 1u);
}

}  // namespace
