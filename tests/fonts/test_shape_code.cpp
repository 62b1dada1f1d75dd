// The shape byte-code interpreter: moves, scale, arcs, skips and hostile shapes.
#include <gtest/gtest.h>

#include <map>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shape_code.h"

namespace {

Shape_Glyph run(const std::vector<uint8_t>& bytes, const std::map<uint32_t, std::vector<uint8_t>>& subs = {},
                Shape_Font_Kind kind = Shape_Font_Kind::kShapes) {
  Shape_Interpreter in(
      kind,
      [&](uint32_t c) -> const std::vector<uint8_t>* {
        auto it = subs.find(c);
        return it == subs.end() ? nullptr : &it->second;
      },
      8.0);
  return in.run(bytes.data(), bytes.size());
}

void expect_pt(const As_Pt& p, double x, double y) {
  EXPECT_NEAR(p.x(), x, 1e-4);
  EXPECT_NEAR(p.y(), y, 1e-4);
}

TEST(ShapeCode, VectorBytesMoveByLengthAlongSixteenDirections) {
  struct Case {
    uint8_t code;
    double x, y;
  } cases[] = {{0x11, 1, 0.5}, {0x12, 1, 1}, {0x13, 0.5, 1}, {0x14, 0, 1}, {0x1F, 1, -0.5},
               {0x4C, 0, -4},  {0x29, -2, -1}, {0x38, -3, 0}};
  for (const Case& c : cases) {
    Shape_Glyph g = run({c.code, 0});
    ASSERT_EQ(g.strokes.size(), 1u) << int(c.code);
    expect_pt(g.strokes[0][0], 0, 0);
    expect_pt(g.strokes[0][1], c.x, c.y);
    expect_pt(g.end, c.x, c.y);
  }
}

TEST(ShapeCode, PenStartsDownAndCodeZeroEndsTheStroke) {
  // Pen down at the start: the first vector draws; 2 lifts, 1 lowers.
  Shape_Glyph g = run({0x14, 2, 0x10, 1, 0x1C, 0, 0x40});
  ASSERT_EQ(g.strokes.size(), 2u);
  expect_pt(g.strokes[0][1], 0, 1);
  expect_pt(g.strokes[1][0], 1, 1);
  expect_pt(g.strokes[1][1], 1, 0);
  expect_pt(g.end, 1, 0);  // nothing after code 0 runs
}

TEST(ShapeCode, ScaleDividesAndMultipliesZeroIsIgnored) {
  expect_pt(run({2, 3, 2, 0x40, 0}).end, 2, 0);
  expect_pt(run({2, 4, 2, 0x40, 0}).end, 8, 0);
  expect_pt(run({2, 4, 0, 0x40, 3, 0, 0x10, 0}).end, 5, 0);
}

TEST(ShapeCode, PopWithPenDownStartsANewStrokeAtThePoppedPosition) {
  Shape_Glyph g = run({5, 0x20, 6, 0x24, 6, 0});  // the second pop finds an empty stack
  ASSERT_EQ(g.strokes.size(), 2u);
  expect_pt(g.strokes[0][1], 2, 0);
  expect_pt(g.strokes[1][0], 0, 0);
  expect_pt(g.strokes[1][1], 0, 2);
}

TEST(ShapeCode, OctantArcs) {
  Shape_Glyph full = run({10, 1, 0x00, 0});
  ASSERT_EQ(full.strokes.size(), 1u);
  EXPECT_EQ(full.strokes[0].size(), 17u);  // 16 chords
  expect_pt(full.strokes[0].back(), 0, 0);
  Shape_Glyph cw = run({10, 1, 0x91, 0});
  EXPECT_EQ(cw.strokes[0].size(), 3u);
  expect_pt(cw.end, 1 - 0.707107, -0.707107);
}

TEST(ShapeCode, FractionalAndBulgeArcsEndWhereTheyShould) {
  expect_pt(run({11, 0, 0, 0, 1, 0x02, 0}).end, -1, 1);
  Shape_Glyph ccw = run({12, 2, 0, 127, 0});
  ASSERT_EQ(ccw.strokes[0].size(), 5u);
  expect_pt(ccw.strokes[0][1], 0.292893, -0.707107);
  expect_pt(ccw.strokes[0][2], 1, -1);
  expect_pt(ccw.strokes[0][4], 2, 0);
  Shape_Glyph cw = run({12, 2, 0, 0x81, 0});
  expect_pt(cw.strokes[0][2], 1, 1);
  // A bulge without a chord does not move; a zero bulge is a straight move.
  EXPECT_TRUE(run({12, 0, 0, 50, 0}).strokes.empty());
  EXPECT_EQ(run({13, 2, 0, 0, 0, 2, 0, 0, 0}).strokes[0].size(), 3u);
}

TEST(ShapeCode, CodeFourteenSkipsTheNextCodeWithItsOperands) {
  expect_pt(run({14, 8, 3, 4, 0x10, 0}).end, 1, 0);
  expect_pt(run({14, 4, 2, 0x10, 0}).end, 1, 0);
  expect_pt(run({14, 9, 1, 1, 0, 0, 0x10, 0}).end, 1, 0);
}

TEST(ShapeCode, SubshapesShareThePenAndNestWithinALimit) {
  std::map<uint32_t, std::vector<uint8_t>> subs = {{65, {0x10, 0}}, {66, {7, 66, 0x10, 0}}};
  Shape_Glyph g = run({7, 65, 0x14, 0}, subs);
  ASSERT_EQ(g.strokes.size(), 1u);
  EXPECT_EQ(g.strokes[0].size(), 3u);
  // A self-reference ends at the depth limit.
  Shape_Glyph self = run({7, 66, 0}, subs);
  expect_pt(self.end, Shape_Interpreter::kMaxDepth, 0);
  // Unifont references take two bytes.
  std::map<uint32_t, std::vector<uint8_t>> wide = {{0x4E2D, {0x14, 0}}};
  expect_pt(run({7, 0x4E, 0x2D, 0}, wide, Shape_Font_Kind::kUnifont).end, 0, 1);
}

TEST(ShapeCode, CyclicShapesEndWithinTheStepBudget) {
  // Each shape calls itself twice: without a budget this would take 2^16 runs.
  std::map<uint32_t, std::vector<uint8_t>> subs = {{1, {7, 1, 7, 1, 0x10, 7, 1, 7, 1, 0}}};
  Shape_Glyph g = run({7, 1, 0}, subs);
  EXPECT_LE(g.end.x(), double(MB_Glyph_Budget::kGlyph));
}

TEST(ShapeCode, CutOperandsEndTheShapeWithTheStrokesMadeSoFar) {
  const std::vector<std::vector<uint8_t>> cut = {{0x10, 8, 3}, {0x10, 10, 1}, {0x10, 11, 0, 0, 0, 1},
                                                 {0x10, 12, 1, 1}, {0x10, 7}, {0x10, 3}, {0x10, 14}};
  for (const std::vector<uint8_t>& bytes : cut) {
    Shape_Glyph g = run(bytes);
    ASSERT_EQ(g.strokes.size(), 1u);
    expect_pt(g.end, 1, 0);
  }
  // A list without its end runs the pairs it has.
  expect_pt(run({9, 1, 1, 2}).end, 1, 1);
}

}  // namespace
