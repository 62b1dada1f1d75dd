#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "database/entities/mb_hatch.h"
#include "database/mb_drawing.h"
#include "api/api_hatch.h"
#include "surface/cmydc.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_loop.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "tests/surface/surface_probe.h"

namespace {

struct Piece {
  As_Pt a, b;  // equal for a dot
};

As_Loop* square(double x0, double y0, double x1, double y1) {
  const As_Pt p[4] = {As_Pt(x0, y0, 0), As_Pt(x1, y0, 0), As_Pt(x1, y1, 0), As_Pt(x0, y1, 0)};
  return new As_Loop(p, 4);
}

As_Loop* circle(double cx, double cy, double r, int n) {
  std::vector<As_Pt> p;
  for (int i = 0; i < n; ++i) p.emplace_back(cx + r * std::cos(two_pi * i / n), cy + r * std::sin(two_pi * i / n), 0);
  return new As_Loop(p.data(), n);
}

// A hatch over the loops with a pattern of the given lines at the scale.
std::unique_ptr<MB_Hatch> hatch_of(std::vector<As_Loop*> loops, std::vector<const char*> lines, double scale) {
  auto h = std::make_unique<MB_Hatch>();
  for (As_Loop* l : loops) h->loop_list().add(l);
  if (!lines.empty()) {
    h->pattern()->clear_lines();
    for (const char* t : lines) h->pattern()->add_line(t);
  }
  h->pattern()->scale(scale);
  h->build_draw();
  return h;
}

std::vector<Piece> pieces(const MB_Hatch& h) {
  std::vector<Piece> out;
  for (As_Void_Node* n = h.line_sets().head(); n; n = n->next()) {
    const As_Pt_Sets* s = static_cast<const As_Pt_Sets*>(n->entity());
    for (int k = 0; k < static_cast<int>(s->ptset_count()); ++k) {
      const int c = static_cast<int>(s->vals()[k]);
      out.push_back({s->get_point(k, 0), s->get_point(k, c - 1)});
    }
  }
  return out;
}

int piece_count(const MB_Hatch& h) { return static_cast<int>(pieces(h).size()); }

TEST(HatchPattern, DefaultGridIsPhasedAtTheCornerAndHalfOpenAtTheEdges) {
  auto h = hatch_of({square(0, 0, 100, 100)}, {}, 5.0);
  EXPECT_FALSE(h->boundary_only());
  ASSERT_NE(static_cast<As_Loop*>(h->loop_list().first())->rect(), nullptr);
  EXPECT_EQ(h->rect().lt().x(), 0.0);
  EXPECT_EQ(h->rect().lt().y(), 100.0);
  EXPECT_EQ(h->rect().rb().x(), 100.0);
  // Lines 6.985 x 5 = 34.925 apart; dashes 25.4 with gaps of 9.525 in the
  // phase of the square's corner. A line along an edge counts only on the
  // side where the half-open rule puts the region: the bottom edge is drawn,
  // the left edge is not.
  const double d = 34.925;
  std::vector<std::pair<double, double>> dashes = {{0, 25.4}, {d, d + 25.4}, {2 * d, 2 * d + 25.4}};
  std::vector<Piece> got = pieces(*h);
  ASSERT_EQ(got.size(), 3u * 3 + 2u * 3);
  size_t k = 0;
  for (double y : {0.0, d, 2 * d}) {
    for (auto [a, b] : dashes) {
      SCOPED_TRACE(testing::Message() << "horizontal y " << y << " dash " << a);
      EXPECT_NEAR(got[k].a.y(), y, 1e-9);
      EXPECT_NEAR(got[k].b.y(), y, 1e-9);
      EXPECT_NEAR(got[k].a.x(), a, 1e-9);
      EXPECT_NEAR(got[k].b.x(), b, 1e-9);
      ++k;
    }
  }
  std::vector<double> xs;
  for (; k < got.size(); k += 3) {
    EXPECT_NEAR(got[k].a.y(), 0.0, 1e-9);
    EXPECT_NEAR(got[k].b.y(), 25.4, 1e-9);
    EXPECT_NEAR(got[k + 2].a.y(), 2 * d, 1e-9);
    EXPECT_NEAR(got[k + 2].b.y(), 2 * d + 25.4, 1e-9);
    EXPECT_EQ(got[k].a.x(), got[k + 2].b.x());
    xs.push_back(got[k].a.x());
  }
  std::sort(xs.begin(), xs.end());
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_NEAR(xs[0], d, 1e-9);
  EXPECT_NEAR(xs[1], 2 * d, 1e-9);
}

TEST(HatchPattern, SquareWithAHoleGivesTwoRunsAcrossIt) {
  auto h = hatch_of({square(0, 0, 100, 100), square(40, 40, 60, 60)}, {"0, 0,0, 0,2"}, 5.0);
  // Solid lines 10 apart: y = 0, 10, ..., 90.
  std::vector<Piece> got = pieces(*h);
  int across_hole = 0;
  for (const Piece& p : got) {
    const double y = p.a.y();
    EXPECT_EQ(p.b.y(), y);
    EXPECT_LT(p.a.x(), p.b.x());
    const bool in_hole_band = y >= 40 && y < 60;
    if (in_hole_band) {
      ++across_hole;
      EXPECT_TRUE((p.a.x() == 0 && p.b.x() == 40) || (p.a.x() == 60 && p.b.x() == 100));
    } else {
      EXPECT_EQ(p.a.x(), 0);
      EXPECT_EQ(p.b.x(), 100);
    }
  }
  EXPECT_EQ(across_hole, 4) << "lines 40 and 50 give two runs each";
  EXPECT_EQ(got.size(), 8u + 4u);
}

TEST(HatchPattern, FiveNumbersGiveSolidLinesClippedToTheLoops) {
  auto h = hatch_of({square(0, 0, 100, 100)}, {"45, 0,0, 0,10"}, 5.0);
  std::vector<Piece> got = pieces(*h);
  ASSERT_FALSE(got.empty());
  std::vector<double> offsets;
  for (const Piece& p : got) {
    // Each run is one piece at 45 degrees from boundary to boundary.
    EXPECT_NEAR(p.b.x() - p.a.x(), p.b.y() - p.a.y(), 1e-9);
    for (const As_Pt& e : {p.a, p.b}) {
      const bool on_edge = std::fabs(e.x()) < 1e-9 || std::fabs(e.x() - 100) < 1e-9 || std::fabs(e.y()) < 1e-9 ||
                           std::fabs(e.y() - 100) < 1e-9;
      EXPECT_TRUE(on_edge) << e.x() << "," << e.y();
    }
    offsets.push_back((p.a.y() - p.a.x()) / std::sqrt(2.0));
  }
  std::sort(offsets.begin(), offsets.end());
  for (size_t i = 1; i < offsets.size(); ++i) EXPECT_NEAR(offsets[i] - offsets[i - 1], 50.0, 1e-9);
}

// Points along every hatch line are covered by a piece exactly when they
// lie inside the outer loop and outside the hole.
TEST(HatchPattern, RunsAgreeWithPointInRegion) {
  const As_Pt star[10] = {As_Pt(50, 0, 0),   As_Pt(62, 35, 0), As_Pt(100, 38, 0), As_Pt(70, 60, 0),
                          As_Pt(80, 100, 0), As_Pt(50, 75, 0), As_Pt(20, 100, 0), As_Pt(30, 60, 0),
                          As_Pt(0, 38, 0),   As_Pt(38, 35, 0)};
  for (const char* line : {"30, 0,0, 0,0.7", "-60, 1,2, 0.3,0.45", "135, 0,0, 0,0.5", "90, 0.1,0, 0,0.33"}) {
    SCOPED_TRACE(line);
    auto h = hatch_of({new As_Loop(star, 10), circle(50, 50, 12, 40)}, {line}, 2.0);
    std::vector<As_Pt> outer(star, star + 10), hole;
    for (int i = 0; i < 40; ++i) hole.emplace_back(50 + 12 * std::cos(two_pi * i / 40), 50 + 12 * std::sin(two_pi * i / 40), 0);
    std::vector<Piece> got = pieces(*h);
    ASSERT_GT(got.size(), 20u);
    for (const Piece& p : got) {
      for (double f : {0.01, 0.25, 0.5, 0.75, 0.99}) {
        As_Pt q = interpolate(f, p.a, p.b);
        EXPECT_TRUE(is_pos_in_region(q, outer.data(), 10) && !is_pos_in_region(q, hole.data(), 40))
            << q.x() << "," << q.y();
      }
    }
    // Gaps between consecutive pieces of one line lie outside.
    for (size_t i = 1; i < got.size(); ++i) {
      const As_Pt &a = got[i - 1].b, &b = got[i].a;
      As_Vec d1 = got[i - 1].b - got[i - 1].a, d2 = b - a;
      if (d2.len() < 1e-6 || std::fabs(d1.x() * d2.y() - d1.y() * d2.x()) > 1e-6 * d1.len() * d2.len()) continue;
      if (d1 % d2 <= 0) continue;
      As_Pt mid = interpolate(0.5, a, b);
      EXPECT_FALSE(is_pos_in_region(mid, outer.data(), 10) && !is_pos_in_region(mid, hole.data(), 40))
          << mid.x() << "," << mid.y();
    }
  }
}

TEST(HatchPattern, LinesThatCannotBeDrawnGiveNothing) {
  const char* bad[] = {
      "0, 0,0, 0",            // four numbers
      "0, 0,0, 0,0",          // no spacing
      "0, 0,0, 0,-3",         // negative spacing
      "0, 0,0, 0,1, 0",       // pattern length 0 (a dot only)
      "0, 0,0, 0,1, -1,-2",   // gaps only
      "nan, 0,0, 0,1",        // not finite
      "0, 0,0, 0,inf",        //
      "0, 0,0, 0,1e400",      //
      "0, 0,0, 1e308,1, 1e308,-1e308",
      "0, 0,1e18, 0,1",       // the family's origin too far away to place lines
      "",
  };
  for (const char* line : bad) {
    SCOPED_TRACE(line);
    auto h = hatch_of({square(0, 0, 100, 100)}, {line}, 1.0);
    EXPECT_EQ(piece_count(*h), 0);
    EXPECT_FALSE(h->boundary_only());
  }
  for (double scale : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
    SCOPED_TRACE(scale);
    auto h = hatch_of({square(0, 0, 100, 100)}, {}, scale);
    EXPECT_EQ(piece_count(*h), 0);
  }
}

TEST(HatchPattern, TooManyLinesDrawTheBoundaryOnly) {
  // 100 / 1e-5 = 10,000,000 lines per family, and a dashed family of two
  // lines that would walk some 10^11 dash elements.
  struct Case {
    const char* line;
    double scale;
  } cases[] = {{"45, 0,0, 0,1", 1e-5}, {"0, 0,0, 0,60, 1e-6,-1e-6", 1.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto h = hatch_of({square(0, 0, 100, 100), square(40, 40, 60, 60)}, {c.line}, c.scale);
    EXPECT_TRUE(h->boundary_only());
    std::vector<Piece> got = pieces(*h);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(static_cast<const As_Pt_Sets*>(h->line_sets().first())->pts_count(), 5u) << "closed outline";
    // A sound scale afterwards builds lines again.
    *h->pattern() = Hatch_Pattern();
    h->build_draw();
    EXPECT_FALSE(h->boundary_only());
  }
}

TEST(Hatch, EmptyLoopsAndNoLoopsKeepThePreviousLines) {
  auto h = hatch_of({new As_Loop, square(0, 0, 10, 10), nullptr}, {"0, 0,0, 0,1"}, 1.0);
  const int built = piece_count(*h);
  EXPECT_EQ(built, 10);
  MB_Hatch none;
  none.build_draw();
  EXPECT_EQ(piece_count(none), 0);
  // Only empty loops: nothing happens.
  for (As_Void_Node* n = h->loop_list().head(); n; n = n->next()) delete static_cast<As_Loop*>(n->entity());
  h->loop_list().emptyYourself();
  h->loop_list().add(new As_Loop);
  h->build_draw();
  EXPECT_EQ(piece_count(*h), built);
  h->pattern(nullptr);
  h->build_draw();
  EXPECT_EQ(piece_count(*h), built);
}

TEST(Hatch, MovingMapsTheLoopsAndTheLinesFollowOnTheNextBuild) {
  auto h = hatch_of({square(0, 0, 10, 10)}, {"0, 0,0, 0,1"}, 1.0);
  h->translate(translate_transf(As_Vec(100, 0, 0)));
  As_Loop* loop = static_cast<As_Loop*>(h->loop_list().first());
  EXPECT_EQ(loop->head()->pos().x(), 100.0);
  EXPECT_EQ(pieces(*h)[0].a.x(), 0.0) << "not rebuilt yet";
  h->build_draw();
  EXPECT_EQ(pieces(*h)[0].a.x(), 100.0);
}

TEST(Hatch, CopiesOwnTheirLoopsPatternAndLines) {
  auto h = hatch_of({square(0, 0, 10, 10)}, {"0, 0,0, 0,1"}, 1.0);
  h->type(3);
  h->angle(0.5);
  MB_Hatch copy(*h);
  MB_Object* made = nullptr;
  ASSERT_TRUE(h->copy_to(made));
  MB_Hatch assigned;
  assigned = *h;
  h.reset();
  for (MB_Hatch* c : {&copy, static_cast<MB_Hatch*>(made), &assigned}) {
    EXPECT_EQ(piece_count(*c), 10);
    EXPECT_EQ(c->type(), 3);
    EXPECT_EQ(c->angle(), 0.5);
    c->build_draw();
    EXPECT_EQ(piece_count(*c), 10);
  }
  delete made;
}

TEST(Hatch, UndoOfAMoveRestoresTheHatch) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  MB_Hatch* h = new MB_Hatch;
  h->loop_list().add(square(0, 0, 10, 10));
  h->build_draw();
  drawing.object_list().add_tail(h);
  const int built = piece_count(*h);

  store.rec_cmd_begin("move");
  h->translate(translate_transf(As_Vec(5, 5, 0)));
  h->build_draw();
  store.rec_cmd_end();
  As_Void_List touched;
  store.undo(touched);
  ASSERT_TRUE(drawing.object_list().contains(h)) << "undoing a move must not delete the hatch";
  EXPECT_EQ(static_cast<As_Loop*>(h->loop_list().first())->head()->pos().x(), 0.0);
  EXPECT_EQ(piece_count(*h), built);
  EXPECT_EQ(pieces(*h)[0].a.y(), 0.0);
  touched.emptyYourself();
  store.redo(touched);
  EXPECT_EQ(static_cast<As_Loop*>(h->loop_list().first())->head()->pos().x(), 5.0);
  EXPECT_EQ(pieces(*h)[0].a.y(), 5.0);
}

TEST(Hatch, DrawsItsLinesOnTheSurface) {
  auto h = hatch_of({square(1, 1, 9, 9)}, {"0, 0,0, 0,4"}, 1.0);  // y = 1 and 5
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 12, 12), nullptr);
  As_Tran view;
  h->draw(nullptr, dc, view);
  PixelSet painted = Probe(dc).painted(0xFFFFFFFF);
  PixelSet want;
  for (int y : {1, 5})
    for (int x = 1; x < 9; ++x) want.insert({x, y});
  EXPECT_EQ(painted, want);
  for (auto [x, y] : want) EXPECT_EQ(Probe(dc).at(x, y) & 0xFFFFFF, 0xFFFF00u) << x << "," << y << " yellow";
}

// A picture or a page hands its own device context: the lines land there,
// and the view's surface stays as it was.
TEST(Hatch, DrawsOnTheDeviceContextItIsGiven) {
  auto h = hatch_of({square(1, 1, 9, 9)}, {"0, 0,0, 0,4"}, 1.0);
  CMyDC surface, picture;
  ASSERT_NE(make_surface(surface, 12, 12), nullptr);
  HDC target = make_surface(picture, 12, 12);
  ASSERT_NE(target, nullptr);
  As_Tran view;
  h->draw(target, surface, view);
  EXPECT_TRUE(Probe(surface).painted(0xFFFFFFFF).empty());
  EXPECT_TRUE(Probe(picture).painted(0xFFFFFFFF).count({4, 5}));
}

TEST(HatchApi, CreatesAHatchOverCopiesOfTheLoops) {
  As_Void_List loops;
  char name[] = "ANSI31";
  g_current_drawing = nullptr;
  EXPECT_EQ(api_mb_create_hatch(loops, name, 1, 0, 0), 0);
  std::unique_ptr<As_Loop> outer(square(0, 0, 100, 100)), hole(square(40, 40, 60, 60));
  loops.add(outer.get());
  loops.add(hole.get());
  EXPECT_EQ(api_mb_create_hatch(loops, name, 1, 0, 0), 0) << "no drawing to take it";

  MB_Drawing drawing;
  As_Void_List empty;
  EXPECT_EQ(api_mb_create_hatch(empty, name, 1, 0, 0), 0);
  long id = api_mb_create_hatch(loops, name, 1, 0, 0);
  ASSERT_NE(id, 0);
  MB_Hatch* h = reinterpret_cast<MB_Hatch*>(id);
  EXPECT_EQ(drawing.object_list().tail(), h);
  EXPECT_EQ(h->general().color(), 0xFF00FF);
  EXPECT_EQ(h->general().display_color(), 0xFF00FF);
  ASSERT_EQ(h->loop_list().count(), 2);
  EXPECT_NE(h->loop_list().first(), outer.get());
  EXPECT_EQ(static_cast<As_Loop*>(h->loop_list().get(1))->count(), 4);
  EXPECT_GT(piece_count(*h), 0);
}

}  // namespace
