// Layers, line-type patterns and the dash walker.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "database/mb_layer.h"
#include "database/mb_linetype.h"
#include "database/mb_rendition.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"

namespace {

using Pieces = std::vector<std::vector<As_Pt>>;

Pieces pieces_of(const As_Pt_Sets& s) {
  Pieces out;
  const As_Pt* p = s.points();
  for (unsigned long i = 0; i < s.ptset_count(); ++i) {
    out.emplace_back(p, p + s.vals()[i]);
    p += s.vals()[i];
  }
  return out;
}

// A line type of the given element lengths.
MB_Line_Type pattern(std::vector<double> vals, double pattern_length) {
  MB_Line_Type t;
  for (double v : vals) t.linetype_loop().add(new MB_Linetype_Node(v, 0, 0, 0, 0, 0, 0));
  t.pattern_length(pattern_length);
  return t;
}

std::vector<double> xs(const std::vector<As_Pt>& piece) {
  std::vector<double> v;
  for (const As_Pt& p : piece) v.push_back(p.x());
  return v;
}

}  // namespace

TEST(Layer, DefaultIsVisibleAndFreezingHidesWithoutClearingTheVisibleBit) {
  MB_Layer def;
  EXPECT_STREQ(def.name().ascii(), "layer0");
  EXPECT_TRUE(def.visibility());
  EXPECT_EQ(def.color(), 0xFFFFFFu);
  EXPECT_EQ(def.object_id(), MB_Object::ID_LAYER);

  MB_Layer named(MB_String("walls"));
  EXPECT_EQ(named.flags(), 0);
  EXPECT_FALSE(named.visibility());

  named.visibility(true);
  named.freeze(true);
  EXPECT_FALSE(named.visibility()) << "frozen hides a layer whose visible bit is set";
  EXPECT_EQ(named.flags(), MB_Layer::kVisible | MB_Layer::kFrozen);
  named.freeze(false);
  EXPECT_TRUE(named.visibility());

  named.lock(true);
  named.plot(true);
  EXPECT_TRUE(named.lock());
  EXPECT_TRUE(named.plot());
  EXPECT_TRUE(named.visibility());
  named.lock(false);
  EXPECT_EQ(named.flags(), MB_Layer::kVisible | MB_Layer::kPlotted);
}

TEST(RenditionAttributes, DefaultToNeutralValuesAndEqualOnlyForTheSameKindAndValue) {
  EXPECT_EQ(MB_Line_Scale().value(), 1.0);
  EXPECT_EQ(MB_Width().value(), 0.0);
  EXPECT_EQ(MB_Thickness().value(), 0.0);
  EXPECT_EQ(MB_Display_Width().value(), 0);
  EXPECT_EQ(MB_Thickness().object_id(), MB_Object::ID_THICKNESS);
  EXPECT_TRUE(MB_Width(2.0) == MB_Width(2.0));
  EXPECT_FALSE(MB_Width(2.0) == MB_Width(3.0));
  EXPECT_FALSE(MB_Width(0.0) == MB_Thickness(0.0));
}

TEST(LineType, DefinitionSplitsNameFromDescriptionAndCutsLongNames) {
  MB_Line_Type t;
  EXPECT_TRUE(t.init_dec("DASHED,__ __ __"));
  EXPECT_STREQ(t.name(), "DASHED");
  EXPECT_STREQ(t.desc(), "__ __ __");
  EXPECT_TRUE(t.init_dec("CONTINUOUS"));
  EXPECT_STREQ(t.name(), "CONTINUOUS");
  EXPECT_STREQ(t.desc(), "");
  std::string longer(600, 'x');
  EXPECT_TRUE(t.init_dec(longer.c_str()));
  EXPECT_EQ(std::string(t.name()), std::string(255, 'x'));
  EXPECT_TRUE(t.init_dec(nullptr));
  EXPECT_STREQ(t.name(), "");
}

TEST(LineType, PatternIsAClosedRingAndCopiesOwnTheirNodes) {
  MB_Line_Type t = pattern({2.0}, 2.0);
  const MB_Linetype_Node* head = t.linetype_loop().head();
  EXPECT_EQ(t.linetype_loop().count(), 1);
  EXPECT_EQ(head->next(), head);
  EXPECT_EQ(head->previous(), head);

  t.linetype_loop().add(new MB_Linetype_Node(-1.0, 0, 0, 0, 0, 0, 0));
  t.linetype_loop().add(new MB_Linetype_Node(0.0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(t.linetype_loop().count(), 3);
  EXPECT_EQ(head->previous()->val(), 0.0);
  EXPECT_EQ(head->previous()->next(), head);

  MB_Line_Type copy(t);
  EXPECT_EQ(copy.linetype_loop().count(), 3);
  EXPECT_NE(copy.linetype_loop().head(), head);
  EXPECT_EQ(copy.linetype_loop().head()->next()->val(), -1.0);
  copy = copy;
  t = copy;
  EXPECT_EQ(t.linetype_loop().count(), 3);
  MB_Linetype_Loop empty;
  EXPECT_EQ(empty.count(), 0);
}

struct Render_Case {
  const char* what;
  std::vector<double> vals;
  double pattern_length;
  double scale;
  std::vector<As_Pt> line;
  bool result;
  std::vector<std::vector<double>> pieces_x;  // x of every point, piece by piece
};

TEST(LineType, RenderedDashesFollowThePatternOrFallBackToSolid) {
  const std::vector<As_Pt> ten = {As_Pt(0, 0, 0), As_Pt(10, 0, 0)};
  const Render_Case cases[] = {
      {"a gap that leaves no more than itself ends the line", {2, -1}, 3, 1, ten, true, {{0, 2}, {3, 5}, {6, 8}}},
      {"a dash that leaves less than itself runs to the end", {4, -1}, 5, 1, ten, true, {{0, 4}, {5, 9, 10}}},
      {"the scale stretches the pattern", {2, -1}, 3, 2, {As_Pt(0, 0, 0), As_Pt(20, 0, 0)}, true,
       {{0, 4}, {6, 10}, {12, 16}}},
      {"one dash repeats", {2}, 2, 1, {As_Pt(0, 0, 0), As_Pt(5, 0, 0)}, true, {{0, 2}, {2, 4, 5}}},
      {"dots are one-point pieces", {0, -2}, 2, 1, {As_Pt(0, 0, 0), As_Pt(5, 0, 0)}, true, {{0}, {2}}},
      {"shorter than the pattern: solid", {2, -1}, 3, 1, {As_Pt(0, 0, 0), As_Pt(2, 0, 0)}, false, {{0, 2}}},
      {"no pattern: solid", {}, 0, 1, ten, false, {{0, 10}}},
      {"only dots: solid", {0, 0}, 0, 1, ten, false, {{0, 10}}},
      {"scale 0: solid", {2, -1}, 3, 0, ten, false, {{0, 10}}},
      {"negative scale: solid", {2, -1}, 3, -1, ten, false, {{0, 10}}},
      {"NaN scale: solid", {2, -1}, 3, std::nan(""), ten, false, {{0, 10}}},
      {"too many pieces: solid", {1e-4, -1e-4}, 2e-4, 1, {As_Pt(0, 0, 0), As_Pt(1e4, 0, 0)}, false,
       {{0, 1e4}}},
      {"a NaN point: solid", {2, -1}, 3, 1, {As_Pt(0, 0, 0), As_Pt(std::nan(""), 0, 0)}, false, {{0, std::nan("")}}},
      {"one point: solid", {2, -1}, 3, 1, {As_Pt(1, 0, 0)}, false, {{1}}},
  };
  for (const Render_Case& c : cases) {
    SCOPED_TRACE(c.what);
    MB_Line_Type t = pattern(c.vals, c.pattern_length);
    As_Pt_Sets out;
    EXPECT_EQ(t.render_line_type(c.line.data(), int(c.line.size()), c.scale, out), c.result);
    Pieces got = pieces_of(out);
    ASSERT_EQ(got.size(), c.pieces_x.size());
    for (size_t i = 0; i < got.size(); ++i) {
      std::vector<double> x = xs(got[i]);
      ASSERT_EQ(x.size(), c.pieces_x[i].size()) << "piece " << i;
      for (size_t k = 0; k < x.size(); ++k) {
        if (std::isnan(c.pieces_x[i][k])) {
          EXPECT_TRUE(std::isnan(x[k]));
        } else {
          EXPECT_NEAR(x[k], c.pieces_x[i][k], 1e-9) << "piece " << i << " point " << k;
        }
      }
    }
  }
}

TEST(LineType, RenderFollowsCorners) {
  MB_Line_Type t = pattern({3, -1}, 4);
  const As_Pt line[] = {As_Pt(0, 0, 0), As_Pt(2, 0, 0), As_Pt(2, 3, 0)};
  As_Pt_Sets out;
  ASSERT_TRUE(t.render_line_type(line, 3, 1.0, out));
  Pieces got = pieces_of(out);
  ASSERT_EQ(got.size(), 1u);
  // The dash turns the corner; what it leaves (2) is shorter than itself,
  // so it runs on to the end.
  ASSERT_EQ(got[0].size(), 4u);
  EXPECT_TRUE(same_point(got[0][1], As_Pt(2, 0, 0), 1e-12));
  EXPECT_TRUE(same_point(got[0][2], As_Pt(2, 1, 0), 1e-12));
  EXPECT_TRUE(same_point(got[0][3], As_Pt(2, 3, 0), 0.0));
}

TEST(LineType, RenderEndsOnAwkwardGeometry) {
  // Far from the origin and on a vertical segment the pieces stay on the
  // line and the walk reaches its end.
  MB_Line_Type t = pattern({0.3, -0.2}, 0.5);
  const As_Pt line[] = {As_Pt(1e7 + 0.1, 1e7, 0), As_Pt(1e7 + 0.1, 1e7 + 1000, 0), As_Pt(1e7 + 0.1, 1e7 + 1000, 0),
                        As_Pt(1e7 - 500, 1e7 + 1000, 0)};
  As_Pt_Sets out;
  ASSERT_TRUE(t.render_line_type(line, 4, 1.0, out));
  EXPECT_NEAR(double(out.ptset_count()), 1500.1 / 0.5, 2.0);
  Pieces got = pieces_of(out);
  const As_Pt& last = got.back().back();
  EXPECT_NEAR(last.x(), 1e7 - 500, 0.31);
  EXPECT_EQ(last.y(), 1e7 + 1000);
}

TEST(LineType, PointsAlongALineStopAtTheLengthOrFailAtTheEnd) {
  MB_Line_Type t;
  const As_Pt line[] = {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(10, 10, 0)};
  As_Pt_List out;
  EXPECT_TRUE(t.get_point_of_pts(line, 3, As_Pt(5, 1e-9, 0), 8.0, out));
  ASSERT_EQ(out.count(), 3);
  EXPECT_TRUE(same_point(out.get(1)->point(), As_Pt(10, 0, 0), 1e-12));
  EXPECT_TRUE(same_point(out.get(2)->point(), As_Pt(10, 3, 0), 1e-9));

  As_Pt_List to_end;
  EXPECT_FALSE(t.get_point_of_pts(line, 3, As_Pt(5, 0, 0), 100.0, to_end));
  ASSERT_EQ(to_end.count(), 3);
  EXPECT_TRUE(same_point(to_end.tail()->point(), As_Pt(10, 10, 0), 0.0));

  As_Pt_List none;
  EXPECT_FALSE(t.get_point_of_pts(line, 1, As_Pt(5, 0, 0), 1.0, none));
  EXPECT_EQ(none.count(), 1);
}
