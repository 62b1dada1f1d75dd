// Compiled shape fonts: kinds, layouts, glyph placing and hostile files.
#include <gtest/gtest.h>

#include <cerrno>

#include <cstdio>
#include <string>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shx_library.h"
#include "font_builder.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"
#include "tests/support/expect_pt.h"
#include "tests/support/test_temp.h"

using namespace font_test;

namespace {

std::vector<std::vector<As_Pt>> take(As_Void_List& list) {
  std::vector<std::vector<As_Pt>> out;
  for (As_Void_Node* n = list.head(); n; n = n->next()) {
    As_Pt_List* l = static_cast<As_Pt_List*>(n->entity());
    out.emplace_back();
    for (As_Pt_Node* p = l->head(); p; p = p->next()) out.back().push_back(p->point());
    delete l;
  }
  list.emptyYourself();
  return out;
}

// The strokes of a glyph's first run are kept for the next requests of the
// code: a kept glyph draws and spends exactly what a new run would, a run
// the budgets cut short is not kept, and changing the shapes drops what was
// kept.
TEST(ShxLibrary, KeptGlyphsDrawAndSpendAsANewRun) {
  // 'A': 20 unit vectors; each costs 2 (its code and its point), the end 1.
  std::vector<uint8_t> a_bytes(20, 0x10);
  a_bytes.push_back(0);
  std::vector<uint8_t> bytes = shapes_font(1, 0, {{65, "A", a_bytes}});
  MB_Shx_Library lib;
  ASSERT_TRUE(lib.load_shx_bytes(bytes.data(), bytes.size()));
  auto run = [&](long budget, long* spent) {
    MB_Glyph_Budget b(budget, MB_Glyph_Budget::kAlone);
    Shape_Glyph g;
    EXPECT_TRUE(lib.glyph(65, &g));
    *spent = budget - b.left();
    std::vector<As_Pt> pts;
    for (const Shape_Stroke& st : g.strokes) pts.insert(pts.end(), st.begin(), st.end());
    return pts;
  };
  // Cut short first: 10 steps draw 5 vectors, and are not kept.
  long spent = 0;
  EXPECT_EQ(run(10, &spent).size(), 1u + 5);
  EXPECT_EQ(spent, 10);
  long first_cost = 0, kept_cost = 0;
  const std::vector<As_Pt> first = run(1000, &first_cost);
  const std::vector<As_Pt> kept = run(1000, &kept_cost);
  ASSERT_EQ(first.size(), 1u + 20);
  EXPECT_EQ(first_cost, 41);
  EXPECT_EQ(kept_cost, first_cost);
  ASSERT_EQ(kept.size(), first.size());
  for (size_t i = 0; i < first.size(); ++i) expect_pt(kept[i], first[i].x(), first[i].y(), 0);
  // Less left than the kept glyph's cost: a new run, cut as any would be.
  EXPECT_EQ(run(38, &spent).size(), 1u + 19);
  EXPECT_EQ(spent, 38);
  // A shape changed through the list draws anew.
  MB_Shx_Char* a = lib.char_list().first();
  ASSERT_NE(a, nullptr);
  a->create_buffer(2);
  EXPECT_EQ(run(1000, &spent).size(), 0u);
}

TEST(ShxLibrary, KindFromTheSignature) {
  auto kind = [](std::string text) {
    text.resize(40, '\x1a');
    return MB_Shx_Library::get_shxflag(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  };
  EXPECT_EQ(kind("autocad-86 SHAPES 1.0\r\n\x1a"), MB_Shx_Library::kShapes);
  EXPECT_EQ(kind("AutoCAD-86 shapes 1.1\r\n\x1a"), MB_Shx_Library::kShapes);
  EXPECT_EQ(kind("VRLN-Font 1.0\r\n"), MB_Shx_Library::kShapes);
  EXPECT_EQ(kind("AutoCAD-86 bigfont 1.0\r\n\x1a"), MB_Shx_Library::kBigFont);
  EXPECT_EQ(kind("BRISKPEN BigFonts  1.0\r\n"), MB_Shx_Library::kBigFont);
  EXPECT_EQ(kind("BRISKPEN BigFonts 1.0\r\n"), MB_Shx_Library::kUnknown);
  EXPECT_EQ(kind("TNDR-Font 1.0\r\n"), MB_Shx_Library::kEmpty);
  EXPECT_EQ(kind("AutoCAD-86 unifont 1.0\r\n\x1a"), MB_Shx_Library::kUnifont);
  EXPECT_EQ(kind(std::string(40, 'A')), MB_Shx_Library::kUnknown);
  std::string tiny = "AutoCAD-86 shapes 1.0\r\n\x1a" + std::string(9, '\0');  // 33 bytes
  EXPECT_EQ(MB_Shx_Library::get_shxflag(reinterpret_cast<const uint8_t*>(tiny.data()), tiny.size()),
            MB_Shx_Library::kUnknown);
}

TEST(ShxLibrary, ShapeFontPlacesGlyphsAtThePen) {
  std::vector<uint8_t> f = shapes_font(8, 2, {{65, "A", {1, 0x24, 0x20, 2, 0}}});
  ASSERT_EQ(f.size(), 51u);
  MB_Shx_Library lib;
  ASSERT_TRUE(lib.load_shx_bytes(f.data(), f.size()));
  EXPECT_EQ(lib.above(), 8);
  EXPECT_EQ(lib.below(), 2);
  EXPECT_EQ(lib.height(), 8.0);
  As_Void_List out;
  As_Pt pen(0, 0, 0);
  ASSERT_TRUE(lib.char_2_ptlist(65, out, pen, 16, 0.25, false));
  auto strokes = take(out);
  ASSERT_EQ(strokes.size(), 1u);
  ASSERT_EQ(strokes[0].size(), 3u);
  expect_pt(strokes[0][1], 0, 4);
  expect_pt(strokes[0][2], 1, 4);
  EXPECT_DOUBLE_EQ(pen.x(), 1.0);
  // No glyph: nothing appended, the pen stays.
  EXPECT_FALSE(lib.char_2_ptlist(66, out, pen, 16, 1, false));
  EXPECT_EQ(out.head(), nullptr);
  EXPECT_DOUBLE_EQ(pen.x(), 1.0);
}

TEST(ShxLibrary, GlyphWithoutStrokesAndVerticalText) {
  std::vector<uint8_t> f =
      shapes_font(4, 0, {{32, "SP", {2, 0x80, 0}}, {49, "1", {0x14, 0}}}, "AutoCAD-86 shapes 1.1");
  MB_Shx_Library lib;
  ASSERT_TRUE(lib.load_shx_bytes(f.data(), f.size()));
  As_Void_List out;
  As_Pt pen(0, 0, 0);
  // A space advances by its shape's pen movement like any glyph: 8 units at
  // 10 / 4 a unit, twice as wide.
  ASSERT_TRUE(lib.char_2_ptlist(32, out, pen, 10, 2, false));
  EXPECT_DOUBLE_EQ(pen.x(), 40.0);
  ASSERT_TRUE(lib.char_2_ptlist(49, out, pen, 10, 1, true));
  EXPECT_DOUBLE_EQ(pen.y(), -12.0);
  take(out);
}

TEST(ShxLibrary, BigFontDrawsDoubleByteCodes) {
  std::vector<uint8_t> f = big_font(8, 2, {{0xB0A1, "", {1, 0x44, 2, 0}}});
  MB_Shx_Library lib;
  ASSERT_TRUE(lib.load_shx_bytes(f.data(), f.size()));
  EXPECT_EQ(lib.above(), 8);
  As_Void_List out;
  As_Pt pen(5, 0, 0);
  ASSERT_TRUE(lib.char_2_ptlist(0xB0A1, out, pen, 8, 1, false));
  auto strokes = take(out);
  ASSERT_EQ(strokes.size(), 1u);
  expect_pt(strokes[0].back(), 5, 4);
  // An extended reference: the shape drawn in a box at (2, 3) of height 4.
  std::vector<uint8_t> ext =
      big_font(8, 2, {{0xB0A1, "", {0x44, 0}}, {0xB0A2, "", {7, 0, 0xB0, 0xA1, 2, 3, 8, 4, 0x10, 0}}});
  ASSERT_TRUE(lib.load_shx_bytes(ext.data(), ext.size()));
  Shape_Glyph g;
  ASSERT_TRUE(lib.glyph(0xB0A2, &g));
  ASSERT_EQ(g.strokes.size(), 2u);
  expect_pt(g.strokes[0][0], 2, 3);
  expect_pt(g.strokes[0][1], 2, 5);
  expect_pt(g.strokes[1][1], 1, 0);  // the position did not move
  // In a cell 14 wide, a part given a box 5 wide is drawn 5 wide, and as
  // tall as its box's height says.
  std::vector<uint8_t> wide = big_font(
      14, 0, {{0xB0A1, "", {0xE0, 0x8C, 0}}, {0xB0A2, "", {7, 0, 0xB0, 0xA1, 9, 0, 5, 7, 2, 0xE0, 0}}}, 8, 14);
  ASSERT_TRUE(lib.load_shx_bytes(wide.data(), wide.size()));
  EXPECT_EQ(lib.cell_width(), 14);
  ASSERT_TRUE(lib.glyph(0xB0A2, &g));
  ASSERT_EQ(g.strokes.size(), 1u);
  ASSERT_EQ(g.strokes[0].size(), 3u);
  expect_pt(g.strokes[0][0], 9, 0);
  expect_pt(g.strokes[0][1], 14, 0);
  expect_pt(g.strokes[0][2], 14, -4);
  expect_pt(g.end, 14, 0);
  std::vector<uint8_t> bad = big_font(8, 2, {{0xB0A1, "", {0x44, 0}}}, 9);
  EXPECT_FALSE(lib.load_shx_bytes(bad.data(), bad.size()));
}

TEST(ShxLibrary, UnifontAndHeightZeroFallsBackToOne) {
  std::vector<uint8_t> f = unifont(0, 0, {{0x41, "", {0x14, 0}}, {0x4E2D, "", {7, 0, 0x41, 0x10, 0}}});
  MB_Shx_Library lib;
  ASSERT_TRUE(lib.load_shx_bytes(f.data(), f.size()));
  EXPECT_EQ(lib.height(), 1.0);
  As_Void_List out;
  As_Pt pen(0, 0, 0);
  ASSERT_TRUE(lib.char_2_ptlist(0x4E2D, out, pen, 1, 1, false));
  auto strokes = take(out);
  ASSERT_EQ(strokes.size(), 1u);
  expect_pt(strokes[0].back(), 1, 1);
}

TEST(ShxLibrary, EveryTruncationOfEveryKindLoadsWithoutHarm) {
  const std::vector<std::vector<uint8_t>> fonts = {
      shapes_font(8, 2, {{65, "A", {1, 0x24, 9, 1, 2, 0, 0, 0}}, {66, "B", {7, 65, 10, 1, 0, 0}}}),
      big_font(8, 2, {{0xB0A1, "X", {7, 0, 0xB0, 0xA1, 0, 0, 8, 8, 0x44, 0}}}),
      unifont(8, 2, {{0x41, "", {7, 0, 0x41, 0x14, 0}}, {0x42, "", {13, 1, 1, 20, 0}}})};
  for (const std::vector<uint8_t>& f : fonts) {
    MB_Shx_Library whole;
    ASSERT_TRUE(whole.load_shx_bytes(f.data(), f.size()));
    int full = 0;
    for (const MB_Shx_Char* c = whole.char_list().first(); c; c = c->next()) ++full;
    for (size_t n = 0; n <= f.size(); ++n) {
      MB_Shx_Library lib;
      // Too short for a signature: refused; longer: the shapes read so far.
      EXPECT_EQ(lib.load_shx_bytes(f.data(), n), n >= 34) << n;
      int count = 0;
      for (const MB_Shx_Char* c = lib.char_list().first(); c; c = c->next()) ++count;
      EXPECT_LE(count, full);
      for (uint32_t code : {0x41u, 0x42u, 0xB0A1u}) {
        As_Void_List out;
        As_Pt pen(0, 0, 0);
        lib.char_2_ptlist(code, out, pen, 10, 1, false);
        take(out);
      }
    }
  }
}

TEST(ShxLibrary, RecordsOutsideTheFileAreSkipped) {
  std::vector<uint8_t> f = big_font(8, 2, {{0xB0A1, "", {0x44, 0}}, {0xB0A2, "", {0x14, 0}}});
  // The offset of the second shape points far beyond the file.
  const size_t entry = 35 + 8 + 4;
  f[entry] = 0xFF;
  f[entry + 1] = f[entry + 2] = f[entry + 3] = 0x7F;
  MB_Shx_Library lib;
  ASSERT_TRUE(lib.load_shx_bytes(f.data(), f.size()));
  EXPECT_EQ(lib.find(0xB0A1), nullptr);
  EXPECT_NE(lib.find(0xB0A2), nullptr);
}

TEST(ShxLibrary, AFileNameWithAFolderIsTakenExactlyAndNeverWritten) {
  std::vector<uint8_t> f = shapes_font(8, 2, {{65, "A", {0x14, 0}}});
  const std::string path = qm_test_temp("Mixed.SHX");
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(f.data(), 1, f.size(), out);
  std::fclose(out);
  // Outside the fonts folder, a name in another case is not searched for.
  MB_Shx_Library other_case(qm_test_temp("mixed.shx").c_str());
  EXPECT_EQ(other_case.find(65), nullptr);
  MB_Shx_Library lib(path.c_str());
  EXPECT_NE(lib.find(65), nullptr);
  EXPECT_FALSE(lib.char_list().save(path.c_str()));
  FILE* in = std::fopen(path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  std::fseek(in, 0, SEEK_END);
  EXPECT_EQ(std::ftell(in), static_cast<long>(f.size()));
  std::fclose(in);
  std::remove(path.c_str());
}

// Saving the list makes a new empty file and nothing else; an existing file
// or a folder that is not there leaves everything as it was.
TEST(ShxLibrary, SavingTheListMakesOnlyANewEmptyFile) {
  MB_Shx_Library lib;
  const std::string fresh = qm_test_temp("saved_list.shx");
  std::remove(fresh.c_str());
  EXPECT_TRUE(lib.char_list().save(fresh.c_str()));
  FILE* in = std::fopen(fresh.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  std::fseek(in, 0, SEEK_END);
  EXPECT_EQ(std::ftell(in), 0L);
  std::fclose(in);
  errno = 0;
  EXPECT_FALSE(lib.char_list().save(fresh.c_str())) << "not over a file that is there";
  EXPECT_EQ(errno, EEXIST);
  std::remove(fresh.c_str());
  const std::string nowhere = qm_test_temp("no_such_folder/list.shx");
  EXPECT_FALSE(lib.char_list().save(nowhere.c_str()));
  EXPECT_NE(errno, 0);
  EXPECT_FALSE(lib.char_list().save(nullptr));
}

}  // namespace
