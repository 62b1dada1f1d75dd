// Texts of DXF files: multi-line text codes, attachment, wrapping and
// spacing; single-line justifications and flags; attributes; dimensions
// with and without their blocks; leaders; text of each encoding.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fonts/mb_font_library.h"
#include "database/nodes/mb_draw_node.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_mtext.h"
#include "tests/cadbridge/dxf_fixture.h"
#include "tests/surface/surface_probe.h"

namespace {

using ID = MB_Object;
constexpr double kPi = 3.14159265358979323846;

std::vector<MB_Text*> texts_of(const Dxf_Load& load) {
  std::vector<MB_Text*> out;
  for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next()) {
    if (o->object_id() == ID::ID_TEXT) out.push_back(static_cast<MB_Text*>(o));
  }
  return out;
}

// The width the loader measures for a text of the default style.
double width_of(const std::string& text, double height, MB_Drawing& drawing) {
  Dxf_Text_Look look;
  look.style = "Standard";
  look.height = height;
  std::unique_ptr<MB_Text> t = dxf_new_text(drawing, text, look);
  return dxf_text_width(*t);
}

TEST(DxfMtext, InlineCodesBecomePlainLines) {
  const struct {
    const char* raw;
    std::vector<std::string> lines;
  } cases[] = {
      {"one\\Ptwo\\Pthree", {"one", "two", "three"}},
      {"a\\~b", {"a b"}},
      {"\\\\x\\{y\\}", {"\\x{y}"}},
      {"{\\fArial|b0|i0|c0|p34;Hi} {\\Fsimplex.shx;there}", {"Hi there"}},
      {"\\H2.5;big\\H0.5x;small\\W0.8;wide\\Q15;slant\\T1.2;track", {"bigsmallwideslanttrack"}},
      {"\\C1;red\\c16711680;blue", {"redblue"}},
      {"\\S1/2;+\\S3#4;=\\S2^;\\S+0.1^-0.2;", {"1/2+3/4=2+0.1/-0.2"}},
      {"\\Lunder\\l \\Oover\\o \\Kstrike\\k", {"under over strike"}},
      {"\\A1;\\pxi-3,l5;x", {"x"}},
      {"\\U+4E2D%%d%%c", {"\\U+4E2D%%d%%c"}},
      {"^Ia^Jb^ c", {" a", "b^c"}},
      {"\\Na\\Xb", {"", "a", "b"}},
      // A code taking a number ends where the number ends.
      {"\\C1red text; still", {"red text; still"}},
      {"\\H5big;\\C3green", {"big;green"}},
      {"\\H2xbig\\W0.5;x", {"bigx"}},
      // A double-byte character whose second byte is a backslash or brace
      // stays whole.
      {"\x81\\P\x81{x", {"\x81\\P\x81{x"}},
      // Unbalanced braces are forgiven; an unfinished code ends the text.
      {"}}a{{b{", {"ab"}},
      {"x\\H2", {"x"}},
      {"end\\", {"end"}},
  };
  for (const auto& c : cases) EXPECT_EQ(dxf_mtext_plain(c.raw), c.lines) << c.raw;
}

TEST(DxfMtext, LookCodesChangePiecesAndBracesRestoreThem) {
  Dxf_Mtext_Format base;
  base.height = 1.0;
  const auto paragraphs = dxf_mtext_decode("\\H2;a{\\H3x;\\W0.5;b}c\\Q30;\\C1;d", base);
  ASSERT_EQ(paragraphs.size(), 1u);
  const std::vector<Dxf_Mtext_Piece>& p = paragraphs[0].pieces;
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].text, "a");
  EXPECT_EQ(p[0].format.height, 2.0);
  EXPECT_EQ(p[1].text, "b");
  EXPECT_EQ(p[1].format.height, 6.0);
  EXPECT_EQ(p[1].format.width, 0.5);
  EXPECT_EQ(p[2].text, "c");
  EXPECT_EQ(p[2].format.height, 2.0);
  EXPECT_EQ(p[2].format.width, 1.0);
  EXPECT_EQ(p[3].text, "d");
  EXPECT_NEAR(p[3].format.oblique, kPi / 6, 1e-12);
  EXPECT_EQ(p[3].format.color, int64_t(dxf_aci_color(1)));
  // By layer and by block give the entity's own colour back.
  const auto back = dxf_mtext_decode("\\C1;a\\C256;b\\C3;c\\C0;d", base);
  ASSERT_EQ(back[0].pieces.size(), 4u);
  EXPECT_EQ(back[0].pieces[1].format.color, -1);
  EXPECT_EQ(back[0].pieces[3].format.color, -1);
  // A true colour code holds red in its low byte: \c255 is red, \c16744448
  // (0xFF8000) a light blue.
  const auto rgb = dxf_mtext_decode("\\c255;a\\c16744448;b", base);
  ASSERT_EQ(rgb[0].pieces.size(), 2u);
  EXPECT_EQ(rgb[0].pieces[0].format.color, int64_t(dxf_aci_color(1)));
  EXPECT_EQ(rgb[0].pieces[1].format.color, int64_t(0xFF8000));
}

TEST(DxfMtext, AMillionParagraphsStopAtTheLimit) {
  std::string raw;
  for (int i = 0; i < 1000000; ++i) raw += "\\P";
  bool cut = false;
  const auto paragraphs = dxf_mtext_decode(raw, Dxf_Mtext_Format(), &cut);
  EXPECT_TRUE(cut);
  EXPECT_EQ(paragraphs.size(), kDxfMaxMtextLines);
  std::string deep(100000, '{');
  EXPECT_EQ(dxf_mtext_plain(deep + "x"), std::vector<std::string>{"x"});
}

std::string mtext(const std::string& text, int attachment, const std::string& more = "") {
  return "0\nMTEXT\n8\n0\n10\n100\n20\n100\n40\n10\n71\n" + std::to_string(attachment) + "\n" + more + "1\n" + text +
         "\n";
}

// Nine attachment points: the text's left end, middle or right end, and its
// capital top, lower-case middle or lowest point at the insertion point.
TEST(DxfMtext, AttachmentPointsPlaceTheText) {
  const double h = 10.0;
  const double top = 100 - h, middle = 100 - h * kDxfXHeight / 2, bottom = 100 + h * kDxfDescender;
  for (int a = 1; a <= 9; ++a) {
    SCOPED_TRACE(a);
    Dxf_Load load;
    load.text(dxf_entities(mtext("ABC", a)));
    ASSERT_TRUE(load.ok);
    auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), 1u);
    const double w = width_of("ABC", h, *load.drawing);
    ASSERT_GT(w, 0.0);
    const double x[] = {100.0, 100.0 - w / 2, 100.0 - w};
    const double y[] = {top, middle, bottom};
    EXPECT_NEAR(texts[0]->base_pos().x(), x[(a - 1) % 3], 1e-9);
    EXPECT_NEAR(texts[0]->base_pos().y(), y[(a - 1) / 3], 1e-9);
    EXPECT_EQ(texts[0]->text_style().height(), h);
  }
}

TEST(DxfMtext, ContinuationGroupsComeBeforeTheLastGroupAndWordsWrap) {
  MB_Drawing measure;
  const double two_words = width_of("aaa bbb", 10.0, measure);
  Dxf_Load load;
  // Continuation groups first in the file order, the group 1 last, whatever
  // order the groups are written in.
  const std::string more = "41\n" + std::to_string(two_words * 1.05) + "\n3\naaa bbb \n3\nccc \n";
  load.text(dxf_entities(mtext("ddd eee", 1, more)));
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->bytes(), "aaa bbb");
  EXPECT_EQ(texts[1]->bytes(), "ccc ddd");
  EXPECT_EQ(texts[2]->bytes(), "eee");
  const double step = 10.0 * 5 / 3;
  EXPECT_NEAR(texts[0]->base_pos().y() - texts[1]->base_pos().y(), step, 1e-9);
  EXPECT_NEAR(texts[1]->base_pos().y() - texts[2]->base_pos().y(), step, 1e-9);
}

TEST(DxfMtext, DirectionSpacingAndRunsOfOtherLooks) {
  Dxf_Load load;
  // Turned a quarter by its direction vector, lines twice as far apart.
  load.text(dxf_entities(mtext("a\\Pb\\H20;c", 1, "11\n0\n21\n1\n44\n2\n")));
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 3u);
  for (MB_Text* t : texts) EXPECT_NEAR(t->text_style().angle(), kPi / 2, 1e-12);
  EXPECT_NEAR(texts[0]->base_pos().x(), 100 + 10, 1e-9);  // one capital height right of the top
  EXPECT_NEAR(texts[0]->base_pos().y(), 100, 1e-9);
  // The second line is as tall as its tallest run.
  EXPECT_NEAR(texts[1]->base_pos().x() - texts[0]->base_pos().x(), 20 * 5.0 / 3 * 2, 1e-9);
  EXPECT_EQ(texts[2]->text_style().height(), 20.0);
  EXPECT_GT(texts[2]->base_pos().y(), texts[1]->base_pos().y());  // after "b", along the line
}

// An object embedded after the text (as newer writers add to every
// multi-line text) has its own location groups; the text keeps its own.
TEST(DxfMtext, EmbeddedObjectLeavesTheTextsOwnGroups) {
  const std::string embedded = "101\nEmbedded Object\n70\n1\n10\n1\n20\n0\n11\n100\n21\n100\n40\n50\n41\n20\n";
  const struct {
    const char* name;
    std::string more, after;
    double angle;
  } cases[] = {
      {"no direction", "", embedded, 0.0},
      {"own direction", "11\n0\n21\n1\n", embedded, kPi / 2},
      {"own rotation", "50\n30\n", embedded, kPi / 6},
      {"without embedded object", "11\n0\n21\n1\n", "", kPi / 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dxf_Load load;
    load.text(dxf_entities(mtext("ABC", 1, c.more) + c.after));
    auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NEAR(texts[0]->text_style().angle(), c.angle, 1e-12);
    EXPECT_EQ(texts[0]->text_style().height(), 10.0);
    EXPECT_NEAR(texts[0]->base_pos().x() - 100, 10 * std::sin(c.angle), 1e-9);  // a capital height down the text
  }
}

// An attribute's embedded multi-line text leaves the attribute's own
// alignment: left on the baseline at its point, whatever the embedded
// groups 11 and 72 hold.
TEST(DxfText, EmbeddedObjectLeavesTheAttributesOwnGroups) {
  for (const char* after : {"", "101\nEmbedded Object\n10\n5\n20\n6\n40\n2\n11\n1\n21\n0\n72\n5\n1\nV\n"}) {
    SCOPED_TRACE(after);
    Dxf_Load load;
    load.text(dxf_entities(std::string("0\nATTRIB\n8\n0\n10\n5\n20\n6\n40\n2\n1\nV\n2\nTAG\n70\n0\n") + after));
    auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->base_pos().x(), 5.0);
    EXPECT_EQ(texts[0]->base_pos().y(), 6.0);
    EXPECT_EQ(texts[0]->text_style().angle(), 0.0);
  }
}

// A paragraph's own alignment places its lines in the column the
// reference width makes; later paragraphs keep it.
TEST(DxfMtext, ParagraphAlignmentPlacesLinesInTheColumn) {
  Dxf_Load load;
  load.text(dxf_entities(mtext("\\pxqc;Mid\\PMid2\\P\\pxi-3,qr;Right\\P{\\pql;Left}", 1, "41\n100\n")));
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 4u);
  MB_Drawing measure;
  const double mid = width_of("Mid", 10, measure), mid2 = width_of("Mid2", 10, measure);
  EXPECT_NEAR(texts[0]->base_pos().x(), 100 + (100 - mid) / 2, 1e-9);
  EXPECT_NEAR(texts[1]->base_pos().x(), 100 + (100 - mid2) / 2, 1e-9);
  EXPECT_NEAR(texts[2]->base_pos().x(), 200 - width_of("Right", 10, measure), 1e-9);
  EXPECT_NEAR(texts[3]->base_pos().x(), 100, 1e-9);
}

template <class T>
std::vector<T*> all_of(const Dxf_Load& load, MB_Object::MB_ID id) {
  std::vector<T*> out;
  for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next()) {
    if (o->object_id() == id) out.push_back(static_cast<T*>(o));
  }
  return out;
}

// Stacks stand their parts over each other (or beside each other, slanted)
// with the divider; strokes are lines along the run, and over a space only
// when the space was written with them. Texts of height 10 at (100, 100),
// attachment top left; (x, y) of each text's base and the lines' ends, from
// the left end of the stack or run and its baseline.
TEST(DxfMtext, StacksAndStrokesDrawAsLines) {
  MB_Drawing measure;
  const double w1 = width_of("1", 10, measure), w2 = width_of("2", 10, measure), w3 = width_of("3", 10, measure);
  const double wab = width_of("ab", 10, measure), wabab = width_of("ab ab", 10, measure);
  const double space = width_of("i i", 10, measure) - width_of("ii", 10, measure), next = wab + space;
  const double w12 = std::max(w1, w2), slant = std::min(w3 + w2, 20.0) / 2;
  const struct {
    const char* raw;
    double cap;  // how far the line stands above its baseline
    std::vector<std::pair<double, double>> bases;
    std::vector<std::array<double, 4>> lines;
  } cases[] = {
      {"\\S1/2;", 24, {{(w12 - w1) / 2, 14}, {(w12 - w2) / 2, 0}}, {{0, 12, w12, 12}}},
      {"\\S1^2;", 24, {{(w12 - w1) / 2, 14}, {(w12 - w2) / 2, 0}}, {}},
      {"\\S3#2;", 20, {{0, 10}, {w3, 0}}, {{w3 - slant, 10 - slant, w3 + slant, 10 + slant}}},
      {"\\S^2;", 24, {{0, 0}}, {}},
      {"\\Lab\\l", 10, {{0, 0}}, {{0, -2, wab, -2}}},
      {"\\Oab", 10, {{0, 0}}, {{0, 12, wab, 12}}},
      {"\\Kab", 10, {{0, 0}}, {{0, 5, wab, 5}}},
      {"\\Lab ab\\l", 10, {{0, 0}}, {{0, -2, wabab, -2}}},
      {"\\Lab \\lab", 10, {{0, 0}, {next, 0}}, {{0, -2, next, -2}}},
      {"\\Lab\\l \\Lab", 10, {{0, 0}, {next, 0}}, {{0, -2, wab, -2}, {next, -2, next + wab, -2}}},
      {"\\Oab\\o \\L\\Oab",
       10,
       {{0, 0}, {next, 0}},
       {{0, 12, wab, 12}, {next, -2, next + wab, -2}, {next, 12, next + wab, 12}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    Dxf_Load load;
    load.text(dxf_entities(mtext(c.raw, 1)));
    const auto texts = texts_of(load);
    const auto lines = all_of<MB_Line>(load, ID::ID_LINE);
    ASSERT_EQ(texts.size(), c.bases.size());
    ASSERT_EQ(lines.size(), c.lines.size());
    const double baseline = 100 - c.cap;
    for (size_t k = 0; k < texts.size(); ++k) {
      EXPECT_NEAR(texts[k]->base_pos().x(), 100 + c.bases[k].first, 1e-9) << k;
      EXPECT_NEAR(texts[k]->base_pos().y(), baseline + c.bases[k].second, 1e-9) << k;
    }
    for (size_t k = 0; k < lines.size(); ++k) {
      EXPECT_NEAR(lines[k]->start().x(), 100 + c.lines[k][0], 1e-9);
      EXPECT_NEAR(lines[k]->start().y(), baseline + c.lines[k][1], 1e-9);
      EXPECT_NEAR(lines[k]->end().x(), 100 + c.lines[k][2], 1e-9);
      EXPECT_NEAR(lines[k]->end().y(), baseline + c.lines[k][3], 1e-9);
    }
  }
}

// The background fill is a solid beneath the text, around its column and
// wider by (scale - 1) text heights; the frame flag draws its outline. A
// fill in the view's colour is a mask.
TEST(DxfMtext, BackgroundFillLiesBeneathTheText) {
  const struct {
    const char* name;
    std::string groups;
    int64_t color;  // of the solid; -1: none, unless a mask
    bool mask;
    size_t frame_lines;
  } cases[] = {
      {"colour index", "90\n1\n63\n1\n45\n1.5\n", int64_t(RGB(255, 0, 0)), false, 0},
      {"true colour", "90\n1\n63\n1\n421\n65280\n45\n1.5\n", int64_t(RGB(0, 255, 0)), false, 0},
      {"with frame", "90\n17\n63\n5\n45\n1.5\n", int64_t(RGB(0, 0, 255)), false, 4},
      {"view colour", "90\n3\n63\n1\n45\n1.5\n", -1, true, 0},
      {"none", "63\n1\n45\n1.5\n", -1, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dxf_Load load;
    load.text(dxf_entities(mtext("ab\\Pcd", 1, "41\n50\n" + c.groups)));
    const auto solids = all_of<MB_Solid>(load, ID::ID_SOLID);
    EXPECT_EQ(all_of<MB_Line>(load, ID::ID_LINE).size(), c.frame_lines);
    if (c.color < 0 && !c.mask) {
      EXPECT_TRUE(solids.empty());
      continue;
    }
    ASSERT_EQ(solids.size(), 1u);
    EXPECT_EQ(solids[0]->mask(), c.mask);
    if (!c.mask) {
      EXPECT_EQ(solids[0]->general().color(), int32_t(c.color));
    }
    // The solid comes first, so the text draws over it.
    EXPECT_EQ(load.drawing->object_list().head(), solids[0]);
    const double last_baseline = 100 - 10 - 10 * 5.0 / 3;
    const As_Pt expected[4] = {As_Pt(95, 105, 0), As_Pt(155, 105, 0), As_Pt(155, last_baseline - 5, 0),
                               As_Pt(95, last_baseline - 5, 0)};
    ASSERT_EQ(solids[0]->count(), 4);
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(solids[0]->points()[k].x(), expected[k].x(), 1e-9) << k;
      EXPECT_NEAR(solids[0]->points()[k].y(), expected[k].y(), 1e-9) << k;
    }
  }
}

// Columns from the embedded object and from the extended data older
// versions write: static ones break at "\N", dynamic ones when a column's
// height is full. (x, y) of each text's base from the insertion point.
TEST(DxfMtext, ColumnsSetTheTextSideBySide) {
  const double step = 10 * 5.0 / 3;
  const std::string embedded_static =
      "46\n100\n101\nEmbedded Object\n70\n1\n10\n1\n20\n0\n11\n0\n21\n0\n40\n30\n71\n1\n72\n2\n44\n30\n45\n5\n73\n0\n";
  const std::string xdata_dynamic =
      "1001\nACAD\n1000\nACAD_MTEXT_COLUMN_INFO_BEGIN\n1070\n75\n1070\n2\n1070\n76\n1070\n2\n1070\n48\n1040\n30\n"
      "1070\n49\n1040\n5\n1000\nACAD_MTEXT_COLUMN_INFO_END\n1000\nACAD_MTEXT_DEFINED_HEIGHT_BEGIN\n1070\n46\n"
      "1040\n20\n1000\nACAD_MTEXT_DEFINED_HEIGHT_END\n";
  const std::string xdata_manual =
      "1001\nACAD\n1000\nACAD_MTEXT_COLUMN_INFO_BEGIN\n1070\n75\n1070\n2\n1070\n48\n1040\n30\n1070\n49\n1040\n5\n"
      "1070\n50\n1070\n2\n1040\n30\n1040\n5\n1000\nACAD_MTEXT_COLUMN_INFO_END\n";
  const struct {
    const char* name;
    std::string raw, after_text;
    std::vector<std::pair<double, double>> bases;
  } cases[] = {
      {"static", "a\\Pb\\Nc", embedded_static, {{0, -10}, {0, -10 - step}, {35, -10}}},
      {"static, no break", "a\\Pb", embedded_static, {{0, -10}, {0, -10 - step}}},
      {"dynamic", "a\\Pb\\Pc", xdata_dynamic, {{0, -10}, {35, -10}, {70, -10}}},
      {"dynamic, manual heights", "a\\Pb\\Pc", xdata_manual, {{0, -10}, {0, -10 - step}, {35, -10}}},
      {"no columns, break is a paragraph", "a\\Nb", "", {{0, -10}, {0, -10 - step}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dxf_Load load;
    load.text(dxf_entities(mtext(c.raw, 1) + c.after_text));
    const auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), c.bases.size());
    for (size_t k = 0; k < texts.size(); ++k) {
      EXPECT_NEAR(texts[k]->base_pos().x(), 100 + c.bases[k].first, 1e-9) << k;
      EXPECT_NEAR(texts[k]->base_pos().y(), 100 + c.bases[k].second, 1e-9) << k;
    }
  }
}

// Lines break between two CJK characters (GBK here), never before closing
// punctuation nor after opening punctuation; at a width no part fits in,
// each line is one part.
TEST(DxfMtext, CjkTextBreaksBetweenCharacters) {
  const std::string zhong = "\xD6\xD0", wen = "\xCE\xC4", zi = "\xD7\xD6", open = "\xA3\xA8", close = "\xA3\xA9",
                    comma = "\xA3\xAC";
  const struct {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {zhong + wen + zi, {zhong, wen, zi}},
      {zhong + open + wen + close + comma + zi, {zhong, open + wen + close + comma, zi}},
      {"ab" + zhong + wen + "cd", {"ab" + zhong, wen + "cd"}},
      {"ab cd", {"ab", "cd"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Dxf_Load load;
    load.text(dxf_entities(mtext(c.text, 1, "41\n0.01\n")));
    std::vector<std::string> lines;
    for (MB_Text* t : texts_of(load)) lines.push_back(t->bytes());
    EXPECT_EQ(lines, c.lines);
  }
  // A long note at a reference width of 80 stays within it and starts no
  // line with a comma.
  std::string note;
  for (int i = 0; i < 41; ++i) note += i % 10 == 9 ? comma : zhong;
  Dxf_Load load;
  load.text(dxf_entities("0\nMTEXT\n8\n0\n10\n0\n20\n0\n40\n3\n41\n80\n1\n" + note + "\n"));
  const auto texts = texts_of(load);
  ASSERT_GT(texts.size(), 1u);
  for (MB_Text* t : texts) {
    EXPECT_LE(t->base_pos().x() + dxf_text_width(*t), 80.0 + 1e-9);
    EXPECT_NE(t->bytes().substr(0, 2), comma);
  }
}

// Font switches draw their run in a style of the named TrueType family or
// shape font, made once for each font.
TEST(DxfMtext, FontSwitchesDrawTheirRunInTheNamedFont) {
  Dxf_Load load;
  load.text(dxf_entities(
      mtext("a{\\fSimSun|b0|i0;\xCB\xCE\xCC\xE5}b{\\Fromans;c}d{\\fSimSun|b1;e}{\\f;f}{\\fromans.shx;g}", 1)));
  const auto texts = texts_of(load);
  const struct {
    const char* text;
    const char* style;  // null: the text's own style
    bool truetype;
  } expected[] = {
      {"a", nullptr, false}, {"\xCB\xCE\xCC\xE5", "Standard|SimSun.ttf", true},
      {"b", nullptr, false}, {"c", "Standard|romans.shx", false},
      {"d", nullptr, false}, {"e", "Standard|SimSun.ttf", true},
      {"f", nullptr, false}, {"g", "Standard|romans.shx", false},
  };
  ASSERT_EQ(texts.size(), std::size(expected));
  for (size_t k = 0; k < texts.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(texts[k]->bytes(), expected[k].text);
    const std::string style = texts[k]->text_style().name().ascii();
    EXPECT_EQ(style, expected[k].style ? expected[k].style : texts[0]->text_style().name().ascii());
    ASSERT_NE(texts[k]->text_style().font_lib(), nullptr);
    EXPECT_TRUE(!expected[k].truetype || texts[k]->text_style().font_lib()->is_ttf_font());
  }
  // One style per font, whatever the number of runs.
  int made = 0;
  for (MB_Object* o = load.drawing->text_style_list().head(); o; o = o->next()) {
    const char* name = static_cast<MB_Text_Style*>(o)->name().ascii();
    if (name && std::strchr(name, '|')) ++made;
  }
  EXPECT_EQ(made, 2);
}

TEST(DxfMtext, UnbalancedBracesAndManyParagraphsLoad) {
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "3\n{{{{\\P\\P\\P\\P}}}\\Px\n";
  Dxf_Load load;
  load.text(dxf_entities("0\nMTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n" + many + "1\n}}}{last\n"));
  ASSERT_TRUE(load.ok);
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 1000u);  // each "x", the last one followed by the last group
  EXPECT_EQ(texts.back()->bytes(), "xlast");
}

struct Text_Case {
  const char* name;
  int h, v;
  const char* more;
  // Expected base point and style values, from the measured width w.
  double (*x)(double w);
  double (*y)(double w);
  double width_scale, height, angle;
};

// TEXT at (0, 0) with its alignment point at (50, 50), height 10.
TEST(DxfText, JustificationsAndFlagsPlaceTheText) {
  const double h = 10.0;
  const Text_Case cases[] = {
      {"left", 0, 0, "", [](double) { return 0.0; }, [](double) { return 0.0; }, 1, h, 0},
      {"centre", 1, 0, "", [](double w) { return 50 - w / 2; }, [](double) { return 50.0; }, 1, h, 0},
      {"right top", 2, 3, "", [](double w) { return 50 - w; }, [](double) { return 40.0; }, 1, h, 0},
      {"middle", 4, 0, "", [](double w) { return 50 - w / 2; }, [](double) { return 50 - 10 * kDxfXHeight / 2; }, 1, h,
       0},
      {"bottom left", 0, 1, "", [](double) { return 50.0; }, [](double) { return 50 + 10 * kDxfDescender; }, 1, h, 0},
      {"middle left", 0, 2, "", [](double) { return 50.0; }, [](double) { return 45.0; }, 1, h, 0},
      {"right, twice as wide", 2, 0, "41\n2\n", [](double w) { return 50 - 2 * w; }, [](double) { return 50.0; }, 2, h,
       0},
      {"left turned", 0, 0, "50\n90\n", [](double) { return 0.0; }, [](double) { return 0.0; }, 1, h, kPi / 2},
      {"backwards", 0, 0, "71\n2\n", [](double) { return 0.0; }, [](double) { return 0.0; }, -1, h, 0},
      {"upside down, top", 0, 3, "71\n4\n", [](double) { return 50.0; }, [](double) { return 60.0; }, -1, h, kPi},
      {"both, right", 2, 0, "71\n6\n", [](double w) { return 50 + w; }, [](double) { return 50.0; }, 1, h, kPi},
  };
  for (const Text_Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dxf_Load load;
    load.text(dxf_entities("0\nTEXT\n8\n0\n10\n0\n20\n0\n11\n50\n21\n50\n40\n10\n1\nABC\n72\n" + std::to_string(c.h) +
                           "\n73\n" + std::to_string(c.v) + "\n" + c.more));
    auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), 1u);
    const double w = width_of("ABC", h, *load.drawing);
    EXPECT_NEAR(texts[0]->base_pos().x(), c.x(w), 1e-9);
    EXPECT_NEAR(texts[0]->base_pos().y(), c.y(w), 1e-9);
    EXPECT_NEAR(texts[0]->text_style().width_scale(), c.width_scale, 1e-12);
    EXPECT_EQ(texts[0]->text_style().height(), c.height);
    EXPECT_NEAR(texts[0]->text_style().angle(), c.angle, 1e-12);
  }
}

TEST(DxfText, AlignedAndFitStretchBetweenTheirPoints) {
  for (int h : {3, 5}) {
    SCOPED_TRACE(h);
    Dxf_Load load;
    load.text(dxf_entities("0\nTEXT\n8\n0\n10\n0\n20\n0\n11\n0\n21\n100\n40\n10\n51\n15\n1\nABC\n72\n" +
                           std::to_string(h) + "\n"));
    auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), 1u);
    const double stretch = 100 / width_of("ABC", 10, *load.drawing);
    const MB_Text_Style& s = texts[0]->text_style();
    EXPECT_NEAR(s.angle(), kPi / 2, 1e-12);
    EXPECT_NEAR(s.oblique_angle(), 15 * kPi / 180, 1e-12);
    EXPECT_NEAR(texts[0]->base_pos().x(), 0.0, 1e-9);
    EXPECT_NEAR(texts[0]->base_pos().y(), 0.0, 1e-9);
    if (h == 5) {  // fit: as tall as given, as wide as the points are apart
      EXPECT_NEAR(s.width_scale(), stretch, 1e-9);
      EXPECT_EQ(s.height(), 10.0);
    } else {  // aligned: scaled whole
      EXPECT_EQ(s.width_scale(), 1.0);
      EXPECT_NEAR(s.height(), 10 * stretch, 1e-9);
    }
  }
}

TEST(DxfText, VisibleAttributesDrawWhereTheyStandAndOnlyConstantDefinitionsInBlocks) {
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nTAG\n70\n2\n10\n0\n20\n0\n"
      "0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n0\n"
      "0\nATTDEF\n8\n0\n10\n0\n20\n0\n40\n1\n1\ndefault\n2\nPART\n3\nPart?\n70\n0\n"
      "0\nATTDEF\n8\n0\n10\n0\n20\n2\n40\n1\n1\nACME\n2\nMAKER\n3\nMaker?\n70\n2\n"
      "0\nENDBLK\n8\n0\n0\nENDSEC\n"
      "0\nSECTION\n2\nENTITIES\n"
      "0\nINSERT\n8\n0\n66\n1\n2\nTAG\n10\n5\n20\n5\n"
      "0\nATTRIB\n8\n0\n10\n5\n20\n6\n40\n1\n1\nR12\n2\nPART\n70\n0\n"
      "0\nATTRIB\n8\n0\n10\n5\n20\n7\n40\n1\n1\nsecret\n2\nCODE\n70\n1\n"
      "0\nSEQEND\n8\n0\n"
      "0\nATTDEF\n8\n0\n10\n9\n20\n9\n40\n1\n1\nvalue\n2\nLONE\n3\nLone?\n70\n0\n"
      "0\nENDSEC\n0\nEOF\n");
  ASSERT_TRUE(load.ok);
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->bytes(), "R12");
  EXPECT_EQ(texts[0]->base_pos().y(), 6.0);
  EXPECT_EQ(texts[1]->bytes(), "LONE");  // a definition alone shows its tag
  EXPECT_EQ(load.loader.skipped().at("invisible ATTRIB"), 1u);
  // In the block, only the constant definition draws, with its value.
  MB_Block* block = load.drawing->find_block("TAG");
  ASSERT_NE(block, nullptr);
  std::vector<std::string> in_block;
  for (MB_Object* o = block->object_list().head(); o; o = o->next()) {
    if (o->object_id() == ID::ID_TEXT) in_block.push_back(static_cast<MB_Text*>(o)->bytes());
  }
  EXPECT_EQ(in_block, std::vector<std::string>{"ACME"});
}

const char* const kDimensionBlock =
    "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\n*D1\n70\n1\n10\n0\n20\n0\n"
    "0\nLINE\n8\n0\n10\n0\n20\n10\n11\n30\n21\n10\n"
    "0\nMTEXT\n8\n0\n10\n15\n20\n11\n40\n2.5\n71\n8\n1\n30\n"
    "0\nENDBLK\n8\n0\n0\nENDSEC\n";

std::string dimension(const char* block_groups) {
  return std::string("0\nDIMENSION\n8\n0\n") + block_groups +
         "10\n30\n20\n10\n11\n15\n21\n11\n70\n32\n1\n<> mm\n13\n0\n23\n0\n14\n30\n24\n0\n42\n30\n";
}

TEST(DxfDimension, DrawnFromItsBlockOrElseFromItsPoints) {
  {
    Dxf_Load load;
    load.text(std::string(kDimensionBlock) + dxf_entities(dimension("2\n*D1\n")));
    auto c = load.counts();
    EXPECT_EQ(c[ID::ID_INSERT], 1);
    EXPECT_EQ(c[ID::ID_LINE], 0);
    MB_Insert* insert = load.first<MB_Insert>(ID::ID_INSERT);
    ASSERT_NE(insert->block(), nullptr);
    EXPECT_EQ(insert->block(), load.drawing->find_block("*D1"));
    EXPECT_EQ(insert->point().x(), 0.0);
    EXPECT_EQ(load.loader.converted().at("DIMENSION"), 1u);
  }
  for (const char* groups : {"2\n*D9\n", ""}) {
    SCOPED_TRACE(groups);
    Dxf_Load load;
    load.text(std::string(kDimensionBlock) + dxf_entities(dimension(groups)));
    auto c = load.counts();
    EXPECT_EQ(c[ID::ID_INSERT], 0);
    EXPECT_EQ(c[ID::ID_LINE], 3);   // two extension lines and the dimension line
    EXPECT_EQ(c[ID::ID_SOLID], 2);  // its arrow heads
    auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->bytes(), "30 mm");
    EXPECT_NEAR(texts[0]->base_pos().y(), 11 - 2.5 * kDxfXHeight / 2, 1e-9);
  }
}

// A table draws its anonymous block as a block reference does; one naming
// no block, or an empty one, is skipped.
TEST(DxfTable, DrawnAsAnInsertOfItsBlock) {
  const std::string blocks =
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\n*T1\n70\n1\n10\n0\n20\n0\n"
      "0\nLINE\n8\n0\n10\n0\n20\n0\n11\n60\n21\n0\n0\nENDBLK\n8\n0\n"
      "0\nBLOCK\n8\n0\n2\n*T2\n70\n1\n10\n0\n20\n0\n0\nENDBLK\n8\n0\n0\nENDSEC\n";
  const struct {
    const char* name;
    std::string groups;
    bool drawn;
    double x, y, angle, sx;
  } cases[] = {
      {"placed", "2\n*T1\n10\n20\n20\n40\n30\n0\n11\n1\n21\n0\n", true, 20, 40, 0, 1},
      {"turned and scaled", "2\n*T1\n10\n20\n20\n40\n41\n2\n50\n90\n", true, 20, 40, kPi / 2, 2},
      {"missing block", "2\n*T9\n10\n20\n20\n40\n", false, 0, 0, 0, 0},
      {"empty block", "2\n*T2\n10\n20\n20\n40\n", false, 0, 0, 0, 0},
      {"no block", "10\n20\n20\n40\n", false, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dxf_Load load;
    load.text(blocks + dxf_entities("0\nACAD_TABLE\n8\n0\n100\nAcDbBlockReference\n" + c.groups +
                                    "100\nAcDbTable\n280\n0\n91\n1\n92\n1\n"));
    ASSERT_TRUE(load.ok);
    MB_Insert* insert = load.first<MB_Insert>(ID::ID_INSERT);
    ASSERT_EQ(insert != nullptr, c.drawn);
    if (!insert) continue;
    EXPECT_EQ(insert->block(), load.drawing->find_block("*T1"));
    EXPECT_EQ(insert->point().x(), c.x);
    EXPECT_EQ(insert->point().y(), c.y);
    EXPECT_NEAR(insert->angle(), c.angle, 1e-12);
    EXPECT_EQ(insert->scale()[0], c.sx);
    // The block's line drawn from the insertion point.
    const PixelSet painted = dxf_painted(*load.drawing, 200, 200);
    const int px = int(std::lround(c.x + 10 * std::cos(c.angle) * c.sx));
    const int py = int(std::lround(c.y + 10 * std::sin(c.angle) * c.sx));
    EXPECT_TRUE(painted.count({px, py})) << px << "," << py;
  }
}

// A wipeout is a mask solid over its boundary, drawn where it stands among
// the file's entities; its frame only when the drawing's wipeout settings
// show frames.
TEST(DxfWipeout, MasksInDrawingOrderOverItsBoundary) {
  // A picture of 1 x 1 pixel spanning (10, 20) to (40, 60).
  const std::string frame = "10\n10\n20\n20\n11\n30\n21\n0\n12\n0\n22\n40\n13\n1\n23\n1\n";
  const struct {
    const char* name;
    std::string boundary;
    std::vector<std::pair<double, double>> corners;
  } cases[] = {
      {"rectangle", "71\n1\n91\n2\n14\n-0.5\n24\n-0.5\n14\n0.5\n24\n0.5\n", {{10, 60}, {40, 60}, {40, 20}, {10, 20}}},
      {"polygon",
       "71\n2\n91\n4\n14\n-0.5\n24\n0.5\n14\n0.5\n24\n0.5\n14\n0\n24\n-0.5\n14\n-0.5\n24\n0.5\n",
       {{10, 20}, {40, 20}, {25, 60}}},
      {"no boundary", "", {{10, 60}, {40, 60}, {40, 20}, {10, 20}}},
      {"beyond the range of numbers", "71\n2\n91\n3\n14\n-0.5\n24\n0.5\n14\n1e308\n24\n0.5\n14\n0\n24\n-1e308\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dxf_Load load;
    load.text(dxf_entities("0\nLINE\n5\n1A\n8\n0\n10\n0\n20\n40\n11\n50\n21\n40\n0\nWIPEOUT\n5\n1B\n8\n0\n" + frame +
                           c.boundary + "0\nCIRCLE\n5\n1C\n8\n0\n10\n25\n20\n40\n40\n5\n"));
    ASSERT_TRUE(load.ok);
    std::vector<MB_Object::MB_ID> order;
    for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next()) order.push_back(o->object_id());
    if (c.corners.empty()) {  // no place to draw at: left out
      EXPECT_EQ(order, (std::vector<MB_Object::MB_ID>{ID::ID_LINE, ID::ID_CIRCLE}));
      continue;
    }
    EXPECT_EQ(order, (std::vector<MB_Object::MB_ID>{ID::ID_LINE, ID::ID_SOLID, ID::ID_CIRCLE}));
    MB_Solid* mask = load.first<MB_Solid>(ID::ID_SOLID);
    ASSERT_NE(mask, nullptr);
    EXPECT_TRUE(mask->mask());
    ASSERT_EQ(mask->count(), int(c.corners.size()));
    for (int k = 0; k < mask->count(); ++k) {
      EXPECT_NEAR(mask->points()[k].x(), c.corners[size_t(k)].first, 1e-9) << k;
      EXPECT_NEAR(mask->points()[k].y(), c.corners[size_t(k)].second, 1e-9) << k;
    }
  }
  for (int shown : {0, 1}) {
    SCOPED_TRACE(shown);
    Dxf_Load load;
    load.text("0\nSECTION\n2\nENTITIES\n0\nWIPEOUT\n5\n1B\n8\n0\n" + frame +
              "0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n0\nWIPEOUTVARIABLES\n5\n3C\n100\nAcDbWipeoutVariables\n70\n" +
              std::to_string(shown) + "\n0\nENDSEC\n0\nEOF\n");
    EXPECT_EQ(load.counts()[ID::ID_LINES], shown);
  }
}

TEST(DxfDimension, ItsStyleSizesTheTextAndArrowsOfAPlainDrawing) {
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nHEADER\n9\n$DIMSCALE\n40\n2\n0\nENDSEC\n"
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nDIMSTYLE\n70\n1\n"
      "0\nDIMSTYLE\n2\nBig\n70\n0\n140\n5\n41\n4\n0\nENDTAB\n0\nENDSEC\n" +
      dxf_entities(std::string("0\nDIMENSION\n8\n0\n3\nBIG\n") +
                   "10\n30\n20\n10\n11\n15\n21\n11\n70\n0\n13\n0\n23\n0\n14\n30\n24\n0\n42\n30\n"));
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text_style().height(), 10.0);  // 5 at the header's scale of 2
  MB_Solid* arrow = load.first<MB_Solid>(ID::ID_SOLID);
  ASSERT_NE(arrow, nullptr);
  EXPECT_NEAR(arrow->points()[0].x(), 0.0, 1e-12);  // the tip, 8 long
  EXPECT_NEAR(arrow->points()[1].x(), 8.0, 1e-12);
}

TEST(DxfDimension, PlainTextShowsTheMeasurementAsTheStyleSays) {
  const struct {
    const char* header;
    int kind;
    const char* measured;
    const char* override_text;
    const char* shown;  // null: no text
  } cases[] = {
      {"", 0, "12.5", nullptr, "12.5"},
      {"", 1, "12.3456", nullptr, "12.35"},
      {"", 0, "30", "R<> mm", "R30 mm"},
      {"", 0, "30", "fixed", "fixed"},
      {"", 0, "30", " ", nullptr},
      {"", 2, "1.5707963267948966", nullptr, "90%%d"},
      {"9\n$DIMDEC\n70\n0\n", 0, "12.5", nullptr, "12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown ? c.shown : "(none)");
    std::string groups = "0\nDIMENSION\n8\n0\n10\n30\n20\n10\n11\n15\n21\n11\n70\n" + std::to_string(c.kind) +
                         "\n13\n0\n23\n0\n14\n30\n24\n0\n15\n5\n25\n5\n42\n" + c.measured + "\n";
    if (c.override_text) groups += std::string("1\n") + c.override_text + "\n";
    Dxf_Load load;
    load.text("0\nSECTION\n2\nHEADER\n" + std::string(c.header) + "0\nENDSEC\n" + dxf_entities(groups));
    auto texts = texts_of(load);
    if (!c.shown) {
      EXPECT_TRUE(texts.empty());
      continue;
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->bytes(), c.shown);
  }
}

TEST(DxfLeader, LineWithArrowHeadAtItsFirstVertex) {
  Dxf_Load load;
  load.text(dxf_entities(
      "0\nLEADER\n8\n0\n71\n1\n72\n0\n76\n3\n10\n0\n20\n0\n30\n0\n10\n10\n20\n10\n30\n0\n10\n20\n20\n10\n30\n0\n"
      "0\nLEADER\n8\n0\n71\n0\n76\n1\n10\n0\n20\n0\n30\n0\n"));
  auto c = load.counts();
  ASSERT_EQ(c[ID::ID_POLYLINE], 1);
  EXPECT_EQ(load.first<MB_Polyline>(ID::ID_POLYLINE)->count(), 3);
  ASSERT_EQ(c[ID::ID_SOLID], 1);
  MB_Solid* arrow = load.first<MB_Solid>(ID::ID_SOLID);
  EXPECT_EQ(arrow->points()[0].x(), 0.0);
  EXPECT_EQ(arrow->points()[0].y(), 0.0);
  EXPECT_EQ(load.loader.skipped().at("LEADER with fewer than two vertices"), 1u);
}

TEST(DxfLeader, MultileaderLinesArrowsAndText) {
  Dxf_Load load;
  load.text(
      dxf_entities("0\nMULTILEADER\n8\n0\n300\nCONTEXT_DATA{\n40\n1\n41\n2.5\n140\n1\n304\nNote\\PTwo\n"
                   "12\n20\n22\n12\n32\n0\n13\n1\n23\n0\n33\n0\n"
                   "302\nLEADER{\n10\n18\n20\n10\n30\n0\n11\n1\n21\n0\n31\n0\n40\n2\n"
                   "304\nLEADER_LINE{\n10\n0\n20\n0\n30\n0\n10\n10\n20\n10\n30\n0\n305\n}\n303\n}\n301\n}\n"));
  auto c = load.counts();
  EXPECT_EQ(c[ID::ID_POLYLINE], 1);  // first vertex, second, the last leader point
  EXPECT_EQ(c[ID::ID_LINE], 1);      // the landing
  EXPECT_EQ(c[ID::ID_SOLID], 1);
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->bytes(), "Note");
  EXPECT_NEAR(texts[0]->base_pos().x(), 20.0, 1e-9);
  EXPECT_NEAR(texts[0]->base_pos().y(), 12 - 2.5, 1e-9);
}

// The same words in each encoding: Chinese, Cyrillic and accented letters,
// and one letter GBK lacks, kept as an escape.
TEST(DxfEncoding, EveryEncodingArrivesAsGbk) {
  const std::string gbk = "\xD6\xD0\xA7\xA8\xA8\xA6\\U+00F1";
  const struct {
    const char* name;
    const char* version;
    const char* code_page;
    std::string text;
    std::string expected;
  } cases[] = {
      {"utf-8 of 2007", "AC1021", "ANSI_1252", "\xE4\xB8\xAD\xD0\x96\xC3\xA9\xC3\xB1", gbk},
      {"utf-8 of 2018, the version after a blank", " AC1032", nullptr, "\xE4\xB8\xAD", "\xD6\xD0"},
      {"ANSI_936", "AC1015", "ANSI_936", "\xD6\xD0\xA7\xA8\xA8\xA6", "\xD6\xD0\xA7\xA8\xA8\xA6"},
      {"ANSI_1252", "AC1015", "ANSI_1252", "caf\xE9 se\xF1or", "caf\xA8\xA6 se\\U+00F1or"},
      {"ANSI_1251", "AC1015", "ANSI_1251", "\xC6", "\xA7\xA8"},
      {"a name in lower case, with blanks", "AC1015", " ansi_1252 ", "\xE9", "\xA8\xA6"},
      {"ANSI_932", "AC1015", "ANSI_932", "\x92\x86\x82\xA0", "\xD6\xD0\xA4\xA2"},
      {"no code page", "AC1009", nullptr, "\xD6\xD0", "\xD6\xD0"},
      {"bad UTF-8: the missing-character byte", "AC1021", nullptr,
       "a\xFF"
       "b\xC3",
       "a\xFF"
       "b\xFF"},
      {"past U+FFFF, which no escape holds", "AC1021", nullptr, "a\xF0\x9F\x98\x80", "a\xFF"},
      {"a byte its code page leaves undefined", "AC1015", "ANSI_1253", "\xAA", "\xFF"},
      // "\M+nXXXX": XXXX in the code page n names (Shift-JIS, Big5, Korean,
      // Johab, GBK): 変 面 도 도 中.
      {"code page escapes", "AC1015", "ANSI_936", "\\M+195CF\\M+2ADB1\\M+3B5B5\\M+495A1\\M+5D6D0",
       "\x89\xE4\xC3\xE6\\U+B3C4\\U+B3C4\xD6\xD0"},
      {"a code page escape in UTF-8, lower case", "AC1021", nullptr, "a\\m+2adb1", "a\xC3\xE6"},
      {"a code page escape in Big5", "AC1015", "ANSI_950", "\xAD\xB1\\M+5D6D0", "\xC3\xE6\xD6\xD0"},
      {"a Big5 trail byte that is a backslash starts no escape", "AC1015", "ANSI_950", "\xA5\\M+5D6D0",
       "\xB9\xA6M+5D6D0"},
      {"a GBK trail byte that is a backslash starts no escape", "AC1015", "ANSI_936", "\x81\\M+5D6D0", "\x81\\M+5D6D0"},
      {"a code the code page lacks", "AC1015", "ANSI_936", "\\M+1FFFF", "\xFF"},
      {"no such code page", "AC1015", "ANSI_936", "\\M+9D6D0", "\\M+9D6D0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string header = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + std::string(c.version) + "\n";
    if (c.code_page) header += "9\n$DWGCODEPAGE\n3\n" + std::string(c.code_page) + "\n";
    Dxf_Load load;
    load.text(header + "0\nENDSEC\n" +
              dxf_entities("0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\n" + c.text +
                           "\n0\nMTEXT\n8\n0\n10\n0\n20\n5\n40\n1\n1\n" + c.text + "\n"));
    auto texts = texts_of(load);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->bytes(), c.expected);
    EXPECT_EQ(texts[1]->bytes(), c.expected);
  }
}

// Each character of each encoding draws: a Chinese, a Cyrillic and an
// accented letter GBK has, and one it lacks, each a text of its own in its
// own cell, has ink in its cell that is not the mark of a character no font
// has.
TEST(DxfEncoding, EveryCharacterOfEveryEncodingDraws) {
  constexpr int kChars = 4, kCell = 40, kScale = 2;  // a cell of 20 units
  const struct {
    const char* name;
    const char* version;
    const char* code_page;
    const char* chars[kChars];
  } cases[] = {
      {"utf-8 of 2007", "AC1021", nullptr, {"\xE4\xB8\xAD", "\xD0\x96", "\xC3\xA9", "\xC3\xB1"}},
      {"ANSI_936", "AC1015", "ANSI_936", {"\xD6\xD0", "\xA7\xA8", "\xA8\xA6", "\\U+00F1"}},
      {"ANSI_1252", "AC1015", "ANSI_1252", {"\\U+4E2D", "\\U+0416", "\xE9", "\xF1"}},
  };
  // World to pixels: y up, the base line at y 40.
  const As_Tran view = scale_transf(kScale, -kScale, 1) * translate_transf(As_Vec(4, 40, 0));
  const auto ink_of = [&view](const std::vector<MB_Text*>& texts) {
    CMyDC dc;
    make_surface(dc, kChars * kCell + 8, 60);
    clear_white(dc.GetDC(), kChars * kCell + 8, 60);
    As_Tran t = view;
    for (MB_Text* text : texts) {
      text->build_draw();
      dc.SetColor(0);
      text->draw(nullptr, dc, t);
    }
    return Probe(dc).painted(kWhite32);
  };
  // The kernel's default style (its unifont), and the file's own style of
  // txt (a TrueType face where txt is not installed).
  const std::string tables[] = {
      "",
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n1\n0\nSTYLE\n2\nStandard\n70\n0\n40\n0\n3\ntxt\n"
      "0\nENDTAB\n0\nENDSEC\n"};
  for (const auto& c : cases) {
    for (const std::string& table : tables) {
      SCOPED_TRACE(std::string(c.name) + (table.empty() ? "" : ", style of txt"));
      std::string header = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + std::string(c.version) + "\n";
      if (c.code_page) header += "9\n$DWGCODEPAGE\n3\n" + std::string(c.code_page) + "\n";
      header += "0\nENDSEC\n" + table;
      std::string entities;
      for (int i = 0; i < kChars; ++i) {
        entities +=
            "0\nTEXT\n8\n0\n10\n" + std::to_string(i * kCell / kScale) + "\n20\n0\n40\n10\n1\n" + c.chars[i] + "\n";
      }
      // A byte that is no GBK character, drawn as the mark in the first cell.
      entities += "0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n10\n1\n\x80\n";
      Dxf_Load load;
      load.text(header + dxf_entities(entities));
      auto texts = texts_of(load);
      ASSERT_EQ(texts.size(), size_t(kChars + 1));
      const PixelSet mark = ink_of({texts.back()});
      ASSERT_FALSE(mark.empty());
      texts.pop_back();
      const PixelSet ink = ink_of(texts);
      for (int i = 0; i < kChars; ++i) {
        PixelSet cell;  // moved to the first cell
        for (const auto& p : ink) {
          if (p.first >= 4 + i * kCell && p.first < 4 + (i + 1) * kCell) cell.insert({p.first - i * kCell, p.second});
        }
        EXPECT_GT(cell.size(), 10u) << "character " << i;
        EXPECT_NE(cell, mark) << "character " << i;
      }
    }
  }
}

// A byte that is no UTF-8 draws the visible mark of a missing character,
// which a real '?' beside it does not.
TEST(DxfEncoding, BadBytesDrawTheMissingCharacterMarkNotAQuestionMark) {
  Dxf_Load load;
  load.text("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1021\n0\nENDSEC\n" +
            dxf_entities("0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\n\xFE\n0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\n?\n"));
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 2u);
  auto strokes = [](MB_Text& t) {
    t.build_draw();
    std::vector<std::pair<double, double>> out;
    auto* node = static_cast<MB_Draw_Lines_Sets*>(t.draw_node());
    for (unsigned long i = 0; node && i < node->pts_count(); ++i)
      out.emplace_back(node->points()[i].x(), node->points()[i].y());
    return out;
  };
  const auto bad = strokes(*texts[0]), question = strokes(*texts[1]);
  EXPECT_FALSE(bad.empty());
  EXPECT_FALSE(question.empty());
  EXPECT_NE(bad, question);
}

TEST(DxfEncoding, ConvertedTextLongerThanAValueIsCutBetweenCharacters) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "\xC3\xB1";  // ñ, an escape of 7 bytes each
  Dxf_Load load;
  load.text("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1021\n0\nENDSEC\n" +
            dxf_entities("0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\n" + text + "\n"));
  EXPECT_EQ(load.result, kCadbridgePartly);
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->bytes().size(), 994u);  // 142 whole escapes
}

TEST(DxfStyle, StylesOfTheFileMapTheirFontsToInstalledOnes) {
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n2\n"
      "0\nSTYLE\n2\nNOTES\n70\n0\n40\n0\n41\n0.8\n50\n0\n71\n0\n3\nsimplex\n4\ngbcbig.shx\n"
      "0\nSTYLE\n2\nSHAPES\n70\n1\n3\nltypeshp.shx\n"
      "0\nENDTAB\n0\nENDSEC\n" +
      dxf_entities("0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n7\nNOTES\n1\nabc\n"));
  MB_Text_Style* notes = load.drawing->find_text_style("NOTES");
  ASSERT_NE(notes, nullptr);
  EXPECT_NE(notes->font_lib(), nullptr);
  EXPECT_NE(notes->big_font_lib(), nullptr);
  EXPECT_EQ(notes->width_scale(), 0.8);
  EXPECT_EQ(load.drawing->find_text_style("SHAPES"), nullptr) << "a shape file entry is not a style";
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text_style().font_lib(), notes->font_lib());
}

// A style of the file whose flags say vertical stands its characters in a
// column hanging from the insertion point, for a shape font and a TrueType
// face alike.
TEST(DxfStyle, VerticalStylesStandTheirTextsInAColumn) {
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n3\n"
      "0\nSTYLE\n2\nUP\n70\n4\n40\n0\n3\nkst32b.shx\n"
      "0\nSTYLE\n2\nUPTT\n70\n4\n40\n0\n3\nDejaVuSans.ttf\n"
      "0\nSTYLE\n2\nFLAT\n70\n0\n40\n0\n3\nkst32b.shx\n"
      "0\nENDTAB\n0\nENDSEC\n" +
      dxf_entities("0\nTEXT\n8\n0\n10\n5\n20\n7\n40\n2\n7\nUP\n1\nABC\n"
                   "0\nTEXT\n8\n0\n10\n5\n20\n7\n40\n2\n7\nUPTT\n1\nABC\n"
                   "0\nTEXT\n8\n0\n10\n5\n20\n7\n40\n2\n7\nFLAT\n1\nABC\n"));
  for (const char* name : {"UP", "UPTT"}) {
    ASSERT_NE(load.drawing->find_text_style(name), nullptr);
    EXPECT_TRUE(load.drawing->find_text_style(name)->font_style() & MB_Text_Style::kVertical) << name;
  }
  EXPECT_FALSE(load.drawing->find_text_style("FLAT")->font_style() & MB_Text_Style::kVertical);
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    texts[i]->build_draw();
    const As_Rect r = texts[i]->rect();
    // Three characters of 2 down a column 1.2 heights per character: the
    // column from the base line of the last one to the top of the first.
    EXPECT_LE(r.rb().x() - r.lt().x(), 2.5);
    EXPECT_GT(r.lt().y() - r.rb().y(), 2 * 2.4);
    EXPECT_LE(r.lt().y(), 7 + 1e-9);
    EXPECT_GE(r.rb().y(), 7 - 2 - 2 * 2.4 - 0.8);  // the last baseline, and a descent
  }
  texts[2]->build_draw();
  const As_Rect flat = texts[2]->rect();
  EXPECT_GT(flat.rb().x() - flat.lt().x(), flat.lt().y() - flat.rb().y()) << "a flat style stays flat";
}

// A Latin shape font the fonts folder lacks draws with the installed
// sans-serif face, as wide and tall as such fonts; an installed shape font,
// a TrueType face, and a style whose big font is installed keep their fonts.
// Styles made outside DXF files keep the kernel's own fallback.
TEST(DxfStyle, MissingLatinShapeFontsDrawWithTheInstalledFace) {
  char installed[MAX_PATH];
  if (QmGdiFindFontFile("DejaVuSans.ttf", installed, sizeof installed) == 0) {
    GTEST_SKIP() << "DejaVuSans.ttf (fonts-dejavu-core) is not installed";
  }
  const struct {
    const char* font;
    const char* big;
    const char* drawn_by;  // the font file of the style's main library
  } cases[] = {
      {"simplex", "", "DejaVuSans.ttf"},
      {"ROMANS.SHX", "", "DejaVuSans.ttf"},
      {"", "", "DejaVuSans.ttf"},  // txt, the default
      {"gbenor.shx", "gbcbig.shx", "DejaVuSans.ttf"},
      {"kst32b.shx", "", "kst32b.shx"},
      {"gbenor.shx", "kst32b.shx", "txt.shx"},  // the kernel's fallback, beside the big font
      {"arial.ttf", "", "arial.ttf"},
  };
  Dxf_Log_Folder log_folder;
  std::string styles;
  for (size_t i = 0; i < std::size(cases); ++i) {
    styles +=
        "0\nSTYLE\n2\nS" + std::to_string(i) + "\n70\n0\n40\n0\n3\n" + cases[i].font + "\n4\n" + cases[i].big + "\n";
  }
  Dxf_Load load;
  load.text("0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n7\n" + styles + "0\nENDTAB\n0\nENDSEC\n" +
            dxf_entities(""));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].font);
    MB_Text_Style* style = load.drawing->find_text_style(("S" + std::to_string(i)).c_str());
    ASSERT_NE(style, nullptr);
    ASSERT_NE(style->font_lib(), nullptr);
    EXPECT_STRCASEEQ(style->font_lib()->file_name(), cases[i].drawn_by);
  }
  // The kernel's log names the fonts drawn otherwise.
  const std::string text = log_folder.log();
  const size_t last = text.rfind("made.dxf");
  ASSERT_NE(last, std::string::npos);
  const std::string summary = text.substr(last, text.find('\n', last) - last);
  EXPECT_NE(summary.find("1 STYLE of simplex.shx, not installed, drawn with DejaVuSans.ttf"), std::string::npos)
      << summary;
  EXPECT_NE(summary.find("1 STYLE of txt.shx, not installed"), std::string::npos) << summary;
  EXPECT_EQ(summary.find("STYLE of kst32b.shx"), std::string::npos) << summary;
  MB_Text_Style native("N", "simplex.shx", nullptr, 0, 1, 0, 0, 0, 0);
  ASSERT_NE(native.font_lib(), nullptr);
  EXPECT_FALSE(native.font_lib()->is_ttf_font());
}

// A text naming a style the file lacks takes the file's STANDARD style
// (any case); without one, the kernel's default style.
TEST(DxfStyle, AMissingStyleIsTheFilesStandard) {
  const std::string text = "0\nTEXT\n8\n0\n7\nnormal\n10\n0\n20\n0\n40\n1\n1\nabc\n";
  Dxf_Load with;
  with.text(
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n1\n0\nSTYLE\n2\nSTANDARD\n70\n0\n40\n0\n3\n"
      "DejaVuSans.ttf\n0\nENDTAB\n0\nENDSEC\n" +
      dxf_entities(text));
  auto texts = texts_of(with);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text_style().font_lib(), with.drawing->find_text_style("STANDARD")->font_lib());
  EXPECT_TRUE(texts[0]->text_style().font_lib()->is_ttf_font());
  Dxf_Load without;
  without.text(dxf_entities(text));
  texts = texts_of(without);
  ASSERT_EQ(texts.size(), 1u);
  ASSERT_NE(texts[0]->text_style().font_lib(), nullptr);
  EXPECT_FALSE(texts[0]->text_style().font_lib()->is_ttf_font());
}

// In a TrueType face, middle attachment centres the face's own lower-case
// letters on the anchor, in texts and multi-line texts alike.
TEST(DxfStyle, MiddleOfATrueTypeTextIsThatOfItsLowerCaseLetters) {
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n1\n0\nSTYLE\n2\nSANS\n70\n0\n40\n0\n3\nDejaVuSans.ttf\n"
      "0\nENDTAB\n0\nENDSEC\n" +
      dxf_entities("0\nTEXT\n8\n0\n7\nSANS\n10\n0\n20\n0\n11\n0\n21\n50\n40\n10\n72\n4\n1\nxz\n"
                   "0\nMTEXT\n8\n0\n7\nSANS\n10\n0\n20\n20\n40\n10\n71\n5\n1\nxz\n"));
  auto texts = texts_of(load);
  ASSERT_EQ(texts.size(), 2u);
  ASSERT_TRUE(texts[0]->text_style().font_lib()->is_ttf_font());
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    texts[size_t(i)]->build_draw();
    const As_Rect& r = texts[size_t(i)]->rect();
    EXPECT_NEAR((r.lt().y() + r.rb().y()) / 2, i == 0 ? 50.0 : 20.0, 0.1);
    EXPECT_GT(r.lt().y() - texts[size_t(i)]->base_pos().y(), 10 * kDxfXHeight + 0.5) << "the face's x is taller";
  }
}

}  // namespace

namespace {

// The linear congruential generator of the C runtime, seeded here, so the
// cases are the same on every run.
struct Lcg {
  uint32_t state;
  uint32_t next(uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 16 & 0x7FFF) % n;
  }
};

}  // namespace

// Random strings of the codes' own characters: every one decodes within
// the limits, whatever its braces and codes.
TEST(DxfMtext, RandomCodesDecodeWithinLimits) {
  static const char kAlphabet[] = "\\\\\\{}{}^;;PSHWCcQTLOfU+/#^~x 01.5\xD6\xD0%";
  Lcg rng{7};
  for (int trial = 0; trial < 3000; ++trial) {
    std::string raw;
    const uint32_t n = rng.next(60);
    for (uint32_t i = 0; i < n; ++i) raw += kAlphabet[rng.next(sizeof kAlphabet - 1)];
    bool cut = true;
    const auto paragraphs = dxf_mtext_decode(raw, Dxf_Mtext_Format(), &cut);
    EXPECT_FALSE(cut);
    ASSERT_GE(paragraphs.size(), 1u) << raw;
    size_t bytes = 0;
    for (const auto& p : paragraphs)
      for (const auto& piece : p.pieces) {
        bytes += piece.text.size();
        EXPECT_GT(piece.format.height, 0.0) << raw;
      }
    EXPECT_LE(bytes, raw.size() + 8) << raw;
  }
}

// Records of the text kinds with random groups (each value of its group's
// kind): each loads what it can.
TEST(DxfText, RandomRecordsOfTheTextKindsLoad) {
  static const char* const kKinds[] = {"TEXT", "MTEXT", "ATTRIB", "ATTDEF", "DIMENSION", "LEADER", "MULTILEADER"};
  static const int kCodes[] = {1,  2,  3,  7,  10, 20, 11, 21, 12, 22,  13,  14,  15,  40,  41,  42, 44,
                               50, 51, 53, 70, 71, 72, 73, 74, 76, 140, 300, 301, 302, 303, 304, 305};
  static const char* const kTexts[] = {
      "CONTEXT_DATA{", "LEADER{", "LEADER_LINE{", "}", "*D1", "a\\Pb{\\H2;c", "<>", " ", "Standard"};
  static const char* const kNumbers[] = {"0", "1", "-1", "5", "1e300", "-1e-300", "3", "9", "1000000", "0.5"};
  Lcg rng{11};
  for (int trial = 0; trial < 150; ++trial) {
    std::string groups;
    for (int r = 0; r < 4; ++r) {
      groups += std::string("0\n") + kKinds[rng.next(7)] + "\n8\n0\n";
      const uint32_t n = rng.next(30);
      for (uint32_t i = 0; i < n; ++i) {
        const int code = kCodes[rng.next(sizeof kCodes / sizeof kCodes[0])];
        const bool text = code < 10 || code >= 300;
        groups += std::to_string(code) + "\n" + (text ? kTexts[rng.next(9)] : kNumbers[rng.next(10)]) + "\n";
      }
    }
    Dxf_Load load;
    load.text(std::string(kDimensionBlock) + dxf_entities(groups));
    EXPECT_TRUE(load.ok) << groups;
    load.drawing->build_draw();
  }
}
