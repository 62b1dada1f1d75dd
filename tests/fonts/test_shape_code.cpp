// The shape byte-code interpreter: moves, scale, arcs, skips and hostile shapes.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shape_code.h"
#include "tests/support/expect_pt.h"

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

TEST(ShapeCode, VectorBytesMoveByLengthAlongSixteenDirections) {
  struct Case {
    uint8_t code;
    double x, y;
  } cases[] = {{0x11, 1, 0.5}, {0x12, 1, 1}, {0x13, 0.5, 1}, {0x14, 0, 1}, {0x1F, 1, -0.5},
               {0x4C, 0, -4},  {0x29, -2, -1}, {0x38, -3, 0}};
  for (const Case& c : cases) {
    Shape_Glyph g = run({c.code, 0});
    ASSERT_EQ(g.strokes.size(), 1u) << int(c.code);
    expect_pt(g.strokes[0][0], 0, 0, 1e-4);
    expect_pt(g.strokes[0][1], c.x, c.y, 1e-4);
    expect_pt(g.end, c.x, c.y, 1e-4);
  }
}

TEST(ShapeCode, PenStartsDownAndCodeZeroEndsTheStroke) {
  // Pen down at the start: the first vector draws; 2 lifts, 1 lowers.
  Shape_Glyph g = run({0x14, 2, 0x10, 1, 0x1C, 0, 0x40});
  ASSERT_EQ(g.strokes.size(), 2u);
  expect_pt(g.strokes[0][1], 0, 1, 1e-4);
  expect_pt(g.strokes[1][0], 1, 1, 1e-4);
  expect_pt(g.strokes[1][1], 1, 0, 1e-4);
  expect_pt(g.end, 1, 0, 1e-4);  // nothing after code 0 runs
}

TEST(ShapeCode, ScaleDividesAndMultipliesZeroIsIgnored) {
  expect_pt(run({2, 3, 2, 0x40, 0}).end, 2, 0, 1e-4);
  expect_pt(run({2, 4, 2, 0x40, 0}).end, 8, 0, 1e-4);
  expect_pt(run({2, 4, 0, 0x40, 3, 0, 0x10, 0}).end, 5, 0, 1e-4);
}

TEST(ShapeCode, PopWithPenDownStartsANewStrokeAtThePoppedPosition) {
  Shape_Glyph g = run({5, 0x20, 6, 0x24, 6, 0});  // the second pop finds an empty stack
  ASSERT_EQ(g.strokes.size(), 2u);
  expect_pt(g.strokes[0][1], 2, 0, 1e-4);
  expect_pt(g.strokes[1][0], 0, 0, 1e-4);
  expect_pt(g.strokes[1][1], 0, 2, 1e-4);
}

TEST(ShapeCode, OctantArcs) {
  Shape_Glyph full = run({10, 1, 0x00, 0});
  ASSERT_EQ(full.strokes.size(), 1u);
  EXPECT_EQ(full.strokes[0].size(), 33u);  // four chords an octant
  EXPECT_EQ(full.strokes[0].back().x(), 0.0);  // a circle closes exactly
  EXPECT_EQ(full.strokes[0].back().y(), 0.0);
  Shape_Glyph cw = run({10, 1, 0x91, 0});
  EXPECT_EQ(cw.strokes[0].size(), 5u);
  expect_pt(cw.end, 1 - 0.707107, -0.707107, 1e-4);
}

// Every chord of an arc stays within 0.5% of the radius of the arc.
TEST(ShapeCode, ArcsAreRoundToHalfAPercentOfTheirRadius) {
  const double kSag = 60 * 40 / 254.0;  // the flat bulge's sagitta
  struct Case {
    std::vector<uint8_t> bytes;
    double cx, cy, r;
  } cases[] = {
      {{10, 100, 0x00, 0}, -100, 0, 100},                  // octants: a full circle
      {{11, 0, 0, 0, 100, 0x00, 0}, -100, 0, 100},          // fractional: a full circle
      {{12, 100, 0, 127, 0}, 50, 0, 50},                   // bulge: a half circle
      {{12, 60, 0, 40, 0}, 30, (30 * 30 - kSag * kSag) / (2 * kSag), 0},  // a flat bulge
  };
  for (Case& c : cases) {
    Shape_Glyph g = run(c.bytes);
    ASSERT_EQ(g.strokes.size(), 1u);
    const Shape_Stroke& st = g.strokes[0];
    if (c.r == 0) c.r = std::hypot(st[0].x() - c.cx, st[0].y() - c.cy);
    for (size_t k = 0; k + 1 < st.size(); ++k) {
      const double mx = (st[k].x() + st[k + 1].x()) / 2, my = (st[k].y() + st[k + 1].y()) / 2;
      EXPECT_NEAR(std::hypot(st[k].x() - c.cx, st[k].y() - c.cy), c.r, 1e-9 * c.r) << k;
      EXPECT_LT(c.r - std::hypot(mx - c.cx, my - c.cy), 0.005 * c.r) << k;
    }
  }
}

TEST(ShapeCode, FractionalAndBulgeArcsEndWhereTheyShould) {
  expect_pt(run({11, 0, 0, 0, 1, 0x02, 0}).end, -1, 1, 1e-4);
  // No octant counted and no end offset: a full circle (a dot in real fonts),
  // which leaves the position where it was.
  Shape_Glyph dot = run({11, 0, 0, 0, 1, 0x00, 0});
  ASSERT_EQ(dot.strokes.size(), 1u);
  EXPECT_GT(dot.strokes[0].size(), 30u);
  expect_pt(dot.end, 0, 0, 1e-4);
  expect_pt(run({11, 0, 0, 0, 1, 0x00, 0x10, 0}).end, 1, 0, 1e-4);
  // With an end offset, the octants counted end in a partial one.
  expect_pt(run({11, 0, 128, 0, 1, 0x00, 0}).end, std::cos(7.5 * qm_pi / 4) - 1, std::sin(7.5 * qm_pi / 4), 1e-4);
  Shape_Glyph ccw = run({12, 2, 0, 127, 0});
  ASSERT_EQ(ccw.strokes[0].size(), 17u);
  expect_pt(ccw.strokes[0][4], 0.292893, -0.707107, 1e-4);
  expect_pt(ccw.strokes[0][8], 1, -1, 1e-4);
  EXPECT_EQ(ccw.strokes[0][16].x(), 2.0);
  EXPECT_EQ(ccw.strokes[0][16].y(), 0.0);
  Shape_Glyph cw = run({12, 2, 0, 0x81, 0});
  expect_pt(cw.strokes[0][8], 1, 1, 1e-4);
  // A bulge without a chord does not move; a zero bulge is a straight move.
  EXPECT_TRUE(run({12, 0, 0, 50, 0}).strokes.empty());
  EXPECT_EQ(run({13, 2, 0, 0, 0, 2, 0, 0, 0}).strokes[0].size(), 3u);
}

TEST(ShapeCode, CodeFourteenSkipsTheNextCodeWithItsOperands) {
  expect_pt(run({14, 8, 3, 4, 0x10, 0}).end, 1, 0, 1e-4);
  expect_pt(run({14, 4, 2, 0x10, 0}).end, 1, 0, 1e-4);
  expect_pt(run({14, 9, 1, 1, 0, 0, 0x10, 0}).end, 1, 0, 1e-4);
}

TEST(ShapeCode, SubshapesShareThePenAndNestWithinALimit) {
  std::map<uint32_t, std::vector<uint8_t>> subs = {{65, {0x10, 0}}, {66, {7, 66, 0x10, 0}}};
  Shape_Glyph g = run({7, 65, 0x14, 0}, subs);
  ASSERT_EQ(g.strokes.size(), 1u);
  EXPECT_EQ(g.strokes[0].size(), 3u);
  // A self-reference ends at the depth limit.
  Shape_Glyph self = run({7, 66, 0}, subs);
  expect_pt(self.end, Shape_Interpreter::kMaxDepth, 0, 1e-4);
  // A subshape starts with the pen down, whatever the caller's pen; the
  // caller goes on with the subshape's final pen state.
  std::map<uint32_t, std::vector<uint8_t>> dot = {{46, {0x10, 0x12, 0x18, 0x1A, 2, 0x40, 0}}};
  Shape_Glyph g2 = run({2, 0x20, 7, 46, 0x10, 0}, dot);
  ASSERT_EQ(g2.strokes.size(), 1u);
  ASSERT_EQ(g2.strokes[0].size(), 5u);
  expect_pt(g2.strokes[0][0], 2, 0, 1e-4);
  expect_pt(g2.strokes[0][2], 4, 1, 1e-4);
  expect_pt(g2.end, 7, 0, 1e-4);  // the last move, pen still up, draws nothing
  // Unifont references take two bytes.
  std::map<uint32_t, std::vector<uint8_t>> wide = {{0x4E2D, {0x14, 0}}};
  expect_pt(run({7, 0x4E, 0x2D, 0}, wide, Shape_Font_Kind::kUnifont).end, 0, 1, 1e-4);
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
    expect_pt(g.end, 1, 0, 1e-4);
  }
  // A list without its end runs the pairs it has.
  expect_pt(run({9, 1, 1, 2}).end, 1, 1, 1e-4);
}

}  // namespace
