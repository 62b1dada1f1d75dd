// The flat drawing primitives on a surface's memory DC.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/as_search_loops.h"
#include "geometry/as_tran.h"
#include "surface/api_draw.h"
#include "tests/surface/surface_probe.h"

namespace {

const uint32_t kWhite = 0xFFFFFFFF;

// A 32-bit surface with a black pen and brush selected, removed afterwards.
struct Canvas {
  CMyDC dc;
  HDC hdc = nullptr;
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HGDIOBJ old_pen = nullptr, old_brush = nullptr;
  Canvas(int w, int h, int bits = 32) {
    hdc = make_surface(dc, w, h, bits);
    pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
    brush = CreateSolidBrush(RGB(0, 0, 255));
    old_pen = SelectObject(hdc, pen);
    old_brush = SelectObject(hdc, brush);
  }
  ~Canvas() {
    SelectObject(hdc, old_pen);
    SelectObject(hdc, old_brush);
    DeleteObject(pen);
    DeleteObject(brush);
  }
  PixelSet painted() const { return Probe(dc).painted(kWhite); }
};

PixelSet box_outline(int x0, int y0, int x1, int y1) {
  PixelSet s;
  for (int x = x0; x <= x1; ++x) s.insert({x, y0}), s.insert({x, y1});
  for (int y = y0; y <= y1; ++y) s.insert({x0, y}), s.insert({x1, y});
  return s;
}

}  // namespace

TEST(ApiDrawPoint, EachStyleDrawsItsMarkerAndUnknownOnesDrawNothing) {
  {
    Canvas c(20, 20);
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 2, 4, 0);
    PixelSet want;
    for (int k = 6; k <= 14; ++k) want.insert({10, k}), want.insert({k, 10});
    EXPECT_EQ(c.painted(), want);
  }
  {
    Canvas c(20, 20);
    api_mb_draw_point(c.hdc, As_Pt(10.9, 10.9, 0), 3, 4, 1);  // truncated to (10, 10)
    PixelSet want;
    for (int k = -4; k <= 4; ++k) want.insert({10 + k, 10 + k}), want.insert({10 + k, 10 - k});
    EXPECT_EQ(c.painted(), want);
  }
  {
    Canvas c(20, 20);
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 0, 3, 0);
    EXPECT_EQ(c.painted(), box_outline(7, 7, 13, 13));
    EXPECT_EQ(c.painted().size(), 24u);
  }
  {
    Canvas c(20, 20);
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 0, 3, 1);  // Rectangle(7, 7, 13, 13)
    Probe p(c.dc);
    EXPECT_EQ(c.painted(), [] {
      PixelSet s;
      for (int y = 7; y < 13; ++y)
        for (int x = 7; x < 13; ++x) s.insert({x, y});
      return s;
    }());
    EXPECT_EQ(p.at(10, 10) & 0xFFFFFF, 0x0000FFu);  // inside: the brush
    EXPECT_EQ(p.at(7, 10) & 0xFFFFFF, 0u);          // edge: the pen
  }
  {
    Canvas c(20, 20);
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 1, 3, 0);
    PixelSet want = {{9, 8}, {10, 8}, {11, 8}, {9, 12}, {10, 12}, {11, 12},
                     {8, 9}, {8, 10}, {8, 11}, {12, 9}, {12, 10}, {12, 11}};
    EXPECT_EQ(c.painted(), want);
  }
  {
    Canvas c(20, 20);
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 1, 3, 1);
    PixelSet want;
    for (int x = 9; x <= 11; ++x) want.insert({x, 8}), want.insert({x, 12});
    for (int y = 9; y <= 11; ++y)
      for (int x = 8; x <= 12; ++x) want.insert({x, y});
    EXPECT_EQ(c.painted(), want);
  }
  {
    Canvas c(20, 20);
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 1, 5, 0);  // outline circles of other sizes: nothing
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 7, 3, 1);  // unknown style: nothing
    EXPECT_TRUE(c.painted().empty());
    api_mb_draw_point(c.hdc, As_Pt(10, 10, 0), 1, 5, 1);
    PixelSet got = c.painted();
    EXPECT_FALSE(got.empty());
    for (auto p : got) {
      EXPECT_GE(p.first, 5);
      EXPECT_LT(p.first, 15);
    }
  }
}

TEST(ApiDrawRect, EitherCornerOrderAndFilledPath) {
  Canvas a(20, 20), b(20, 20), f(20, 20);
  api_mb_draw_rect(a.hdc, As_Pt(3, 4, 0), As_Pt(12, 15, 0), 0.0, 0);
  api_mb_draw_rect(b.hdc, As_Pt(12.7, 15.2, 0), As_Pt(3.9, 4.1, 0), 0.0, 0);
  EXPECT_EQ(a.painted(), box_outline(3, 4, 12, 15));
  EXPECT_EQ(b.painted(), a.painted());
  api_mb_draw_rect(f.hdc, As_Pt(3, 4, 0), As_Pt(12, 15, 0), 0.0, 1);
  Probe p(f.dc);
  EXPECT_EQ(p.at(3, 4) & 0xFFFFFF, 0u);
  EXPECT_EQ(p.at(12, 15) & 0xFFFFFF, 0u);
  EXPECT_EQ(p.at(7, 9) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(p.at(13, 9), kWhite);
}

TEST(ApiDrawTriangle, FilledTrianglesPaintInsideWithTheBrushAndEdgesWithThePen) {
  Canvas o(20, 20), f(20, 20);
  api_mb_draw_triangle(o.hdc, As_Pt(2, 2, 0), As_Pt(14, 2, 0), As_Pt(2, 14, 0), 0);
  api_mb_draw_triangle(f.hdc, As_Pt(2, 2, 0), As_Pt(14, 2, 0), As_Pt(2, 14, 0), 1);
  PixelSet outline = o.painted();
  EXPECT_TRUE(outline.count({14, 2}));
  EXPECT_TRUE(outline.count({2, 14}));
  EXPECT_TRUE(outline.count({8, 8}));
  EXPECT_FALSE(outline.count({5, 5}));
  Probe p(f.dc);
  EXPECT_EQ(p.at(5, 5) & 0xFFFFFF, 0x0000FFu);
  for (auto px : outline) EXPECT_EQ(p.at(px.first, px.second) & 0xFFFFFF, 0u);
}

TEST(ApiDrawEllipse, FullEllipseReachesItsBoxEdges) {
  Canvas c(40, 30);
  api_mb_draw_ellipse(c.hdc, As_Pt(20.6, 15.2, 0), 12.0, 8.0, 0.0, 0);
  PixelSet got = c.painted();
  int x0 = 99, x1 = -1, y0 = 99, y1 = -1;
  for (auto p : got) {
    x0 = std::min(x0, p.first), x1 = std::max(x1, p.first);
    y0 = std::min(y0, p.second), y1 = std::max(y1, p.second);
  }
  EXPECT_EQ(x0, 8);
  EXPECT_EQ(x1, 32);
  EXPECT_EQ(y0, 7);
  EXPECT_EQ(y1, 23);
  EXPECT_TRUE(got.count({8, 15}));
  EXPECT_TRUE(got.count({32, 15}));
  EXPECT_TRUE(got.count({20, 7}));
  EXPECT_TRUE(got.count({20, 23}));
  // Filled: the inside takes the brush.
  Canvas f(40, 30);
  api_mb_draw_ellipse(f.hdc, As_Pt(20, 15, 0), 12.0, 8.0, 0.5, 1);
  EXPECT_EQ(Probe(f.dc).at(20, 15) & 0xFFFFFF, 0x0000FFu);
}

TEST(ApiDrawEllipse, ArcsSweepFromStartToEnd) {
  // Equal angles: the full ellipse, unfilled.
  Canvas full(40, 30), same(40, 30);
  api_mb_draw_ellipse(full.hdc, As_Pt(20, 15, 0), 12.0, 8.0, 0.3, 0);
  api_mb_draw_ellipse(same.hdc, As_Pt(20, 15, 0), 12.0, 8.0, 1.0, 1.0, 0.3);
  EXPECT_EQ(same.painted(), full.painted());
  // 3 pi / 2 to pi / 2 passes through angle 0: the half with x >= the centre.
  Canvas arc(40, 30);
  api_mb_draw_ellipse(arc.hdc, As_Pt(20, 15, 0), 12.0, 8.0, 3 * M_PI / 2, M_PI / 2, 0.0);
  PixelSet got = arc.painted();
  EXPECT_FALSE(got.empty());
  // (cos 3 pi / 2 is a hair below 0: the first point truncates to x 19.)
  int right_most = 0;
  for (auto p : got) {
    EXPECT_GE(p.first, 19) << p.first << "," << p.second;
    right_most = std::max(right_most, p.first);
  }
  EXPECT_GE(right_most, 31);
  // A flat arc (one radius 0) is a segment, not a failure.
  Canvas flat(40, 30);
  api_mb_draw_ellipse(flat.hdc, As_Pt(20, 15, 0), 10.0, 0.0, 0.1, 3.0, 0.0);
  for (auto p : flat.painted()) EXPECT_EQ(p.second, 15);
}

TEST(ApiDrawEllipse, TransformedArcRunsAcrossZeroAndAtMostOneTurn) {
  Canvas c(40, 30);
  api_mb_draw_ellipse_ex(c.hdc, As_Pt(20, 15, 0), 10.0, 6.0, 0.0, 5.5, 0.5, As_Tran());
  PixelSet got = c.painted();
  ASSERT_FALSE(got.empty());
  // From 5.5 - 2 pi to 0.5 through angle 0: only the right-hand part.
  for (auto p : got) EXPECT_GE(p.first, 20 + int(10 * std::cos(0.79))) << p.first;
  EXPECT_TRUE(got.count({29, 15}));
  // Many turns draw one full ellipse; the transform maps to the device.
  Canvas full(40, 30), turns(40, 30);
  api_mb_draw_ellipse_ex(full.hdc, As_Pt(20, 15, 0), 10.0, 6.0, 0.0, 0.0, two_pi, As_Tran());
  api_mb_draw_ellipse_ex(turns.hdc, As_Pt(20, 15, 0), 10.0, 6.0, 0.0, 0.0, 40 * two_pi, As_Tran());
  auto bounds = [](const PixelSet& s) {
    RECT r = {1000, 1000, -1, -1};
    for (auto p : s) {
      r.left = std::min<LONG>(r.left, p.first), r.right = std::max<LONG>(r.right, p.first);
      r.top = std::min<LONG>(r.top, p.second), r.bottom = std::max<LONG>(r.bottom, p.second);
    }
    return r;
  };
  const RECT a = bounds(full.painted()), b = bounds(turns.painted());
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.bottom, b.bottom);
  Canvas moved(60, 40);
  api_mb_draw_ellipse_ex(moved.hdc, As_Pt(20, 15, 0), 10.0, 6.0, 0.0, 5.5, 0.5,
                         translate_transf(As_Vec(10, 5, 0)));
  PixelSet shifted;
  for (auto p : got) shifted.insert({p.first + 10, p.second + 5});
  EXPECT_EQ(moved.painted(), shifted);
}

TEST(ApiDrawCircle, FilledOrOutlineAboutTheCentre) {
  Canvas o(30, 30), f(30, 30);
  draw_gdi_circle(o.hdc, 15.4, 15.8, 5.0, 0);
  draw_gdi_circle(f.hdc, 15, 15, 5.0, 1);
  PixelSet outline = o.painted();
  EXPECT_TRUE(outline.count({10, 15}));
  EXPECT_TRUE(outline.count({20, 15}));
  EXPECT_TRUE(outline.count({15, 10}));
  EXPECT_TRUE(outline.count({15, 20}));
  EXPECT_FALSE(outline.count({15, 15}));
  Probe p(f.dc);
  EXPECT_EQ(p.at(15, 15) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(p.at(10, 15) & 0xFFFFFF, 0u);
}

TEST(ApiDraw, NotXorTwiceRestoresTheSurfaceAndLeaksNothing) {
  for (int bits : {8, 16, 24, 32}) {
    Canvas c(60, 50, bits);
    c.dc.SetColor(RGB(0, 128, 255));
    RECT half = {0, 0, 30, 50};
    c.dc.FillRect(&half);
    const std::vector<uint8_t> before = Probe(c.dc).snapshot();
    const int live = QmGdiLiveObjectCount();
    auto draw = [&] {
      const int old = SetROP2(c.hdc, R2_NOTXORPEN);
      for (int style = 0; style < 4; ++style)
        for (int filled = 0; filled < 2; ++filled)
          api_mb_draw_point(c.hdc, As_Pt(10 + 12 * style, 10 + 20 * filled, 0), style, 3 + filled, filled);
      api_mb_draw_rect(c.hdc, As_Pt(5, 40, 0), As_Pt(55, 3, 0), 0.0, 1);
      api_mb_draw_triangle(c.hdc, As_Pt(-10, 45, 0), As_Pt(70, 30, 0), As_Pt(30, -5, 0), 1);
      api_mb_draw_ellipse(c.hdc, As_Pt(30, 25, 0), 25.0, 15.0, 0.7, 1);
      api_mb_draw_ellipse(c.hdc, As_Pt(30, 25, 0), 20.0, 10.0, 4.0, 1.0, 0.2);
      draw_gdi_circle(c.hdc, 30, 25, 9, 0);
      draw_gdi_circle(c.hdc, 45, 35, 6, 1);
      SetROP2(c.hdc, old);
    };
    draw();
    EXPECT_NE(Probe(c.dc).snapshot(), before);
    draw();
    EXPECT_EQ(Probe(c.dc).snapshot(), before) << bits;
    EXPECT_EQ(QmGdiLiveObjectCount(), live);
  }
}

// The loop search's inspection picture: a filled disc of radius 5 at each
// crossing point, mapped through the transform, and nothing elsewhere.
TEST(SearchLoopsDrawTest, FilledCirclesAtTheMappedCrossings) {
  Canvas c(60, 60);
  As_Search_Loops search;
  // A square's corners are its crossings.
  const As_Pt corners[] = {As_Pt(1, 1, 0), As_Pt(4, 1, 0), As_Pt(4, 4, 0), As_Pt(1, 4, 0)};
  for (int i = 0; i < 4; ++i) search.segment_list().add(new As_Segment(corners[i], corners[(i + 1) % 4]));
  search.init();
  ASSERT_EQ(search.intersect_list().size(), 4);
  As_Tran to_device = scale_transf(10);
  search.draw_test(c.hdc, to_device);
  Probe p(c.dc);
  for (int i = 0; i < search.intersect_list().size(); ++i) {
    const As_Pt at = static_cast<As_Intersect_Point*>(search.intersect_list().get(i))->pos() * to_device;
    const int x = static_cast<int>(at.x()), y = static_cast<int>(at.y());
    SCOPED_TRACE(testing::Message() << x << "," << y);
    EXPECT_EQ(p.at(x, y) & 0xFFFFFF, 0x0000FFu) << "filled with the brush";
    EXPECT_EQ(p.at(x + 5, y) & 0xFFFFFF, 0u) << "edged with the pen at radius 5";
  }
  EXPECT_EQ(p.at(1, 1) & 0xFFFFFF, 0xFFFFFFu);
}
