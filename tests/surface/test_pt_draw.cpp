// Point containers drawn onto a memory device context and onto the
// off-screen surface.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>

#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"
#include "surface/device_point.h"
#include "surface/pt_draw.h"
#include "tests/platform_gdi/gdi_fixture.h"

namespace {

// A 16 x 16 32-bit memory DC, white, with a 1-pixel black pen selected.
struct Canvas : TestSurface {
  HPEN pen = CreatePen(PS_SOLID, 1, 0x000000);
  HGDIOBJ old_pen = nullptr;

  Canvas() : TestSurface(16, -16, 32) {
    clear(0xFFFFFF);
    old_pen = SelectObject(dc, pen);
  }
  ~Canvas() {
    SelectObject(dc, old_pen);
    DeleteObject(pen);
  }
  int count(COLORREF c) const { return width * height - static_cast<int>(painted(c).size()); }
};

}  // namespace

TEST(PointDraw, MarkerIsAFivePixelBlueCross) {
  Canvas c;
  api_mb_draw_point(c.dc, As_Pt(5.9, 7.2, 0));
  EXPECT_EQ(c.count(0xFF0000), 5);
  for (auto [x, y] : {std::pair{5, 7}, {4, 7}, {6, 7}, {5, 6}, {5, 8}}) EXPECT_EQ(GetPixel(c.dc, x, y), 0xFF0000u);
}

// A point far off the surface (its device coordinates clamped to the int
// range) draws nothing and overflows nothing.
TEST(PointDraw, AMarkerFarOutDrawsNothing) {
  Canvas c;
  for (double far : {1e12, -1e12}) api_mb_draw_point(c.dc, As_Pt(far, far, 0));
  EXPECT_EQ(c.count(0xFF0000), 0);
}

TEST(PointDraw, TruncatesTowardZeroAndSkipsTheEndPixel) {
  Canvas c;
  As_Pt pts[2] = {As_Pt(-0.7, 2.9, 0), As_Pt(4.2, 2.1, 0)};
  As_Pt_Set set(2, pts);
  draw_points(c.dc, set, As_Tran());
  // (0,2) .. (4,2): the start pixel and three more, not the end pixel.
  EXPECT_EQ(c.count(0x000000), 4);
  EXPECT_EQ(GetPixel(c.dc, 0, 2), 0u);
  EXPECT_EQ(GetPixel(c.dc, 4, 2), 0xFFFFFFu);
}

TEST(PointDraw, DevicePixelsClampToTheIntRange) {
  const double nan = std::nan("");
  const struct {
    double v;
    int pixel;
  } cases[] = {
      {0.0, 0},
      {-0.0, 0},
      {2.9, 2},
      {-2.9, -2},
      {nan, 0},
      {2147483646.5, 2147483646},
      {2147483647.0, 2147483647},
      {2147483647.9, 2147483647},
      {2147483648.0, 2147483647},
      {1e300, 2147483647},
      {HUGE_VAL, 2147483647},
      {-2147483647.5, -2147483647},
      {-2147483648.0, -2147483647 - 1},
      {-2147483648.9, -2147483647 - 1},
      {-2147483649.0, -2147483647 - 1},
      {-HUGE_VAL, -2147483647 - 1},
  };
  for (const auto& c : cases) {
    const POINT p = mb_device_point(As_Pt(c.v, 1.5, 0));
    EXPECT_EQ(p.x, c.pixel) << c.v;
    EXPECT_EQ(p.y, 1);
  }
}

TEST(PointDraw, ListDrawsOnePolylineThroughTheTransform) {
  Canvas c;
  As_Pt_List list;
  list.add_tail(As_Pt(0, 0, 0));
  list.add_tail(As_Pt(1, 0, 0));
  list.add_tail(As_Pt(1, 1, 0));
  draw_points(c.dc, list, scale_transf(4.0));
  // (0,0)->(4,0)->(4,4): 4 + 4 pixels, the last end excluded.
  EXPECT_EQ(c.count(0x000000), 8);
  EXPECT_EQ(GetPixel(c.dc, 4, 0), 0u);
  EXPECT_EQ(GetPixel(c.dc, 4, 4), 0xFFFFFFu);
  As_Pt_List empty;
  draw_points(c.dc, empty, As_Tran());
}

TEST(PointDraw, SetsDrawPixelsPolylinesAndFilledRings) {
  As_Pt pts[5] = {As_Pt(2, 2, 0), As_Pt(8, 8, 0), As_Pt(12, 8, 0), As_Pt(12, 12, 0), As_Pt(8, 8, 0)};
  unsigned long counts[2] = {1, 4};
  const long live_before = QmGdiLiveObjectCount();
  for (bool filled : {false, true}) {
    Canvas c;
    As_Pt_Sets sets;
    sets.init(2, counts, pts);
    sets.is_filled(filled);
    draw_points(c.dc, sets, As_Tran(), 0x00FF00);
    EXPECT_EQ(GetPixel(c.dc, 2, 2), 0u) << "one-point set in the pen colour";
    EXPECT_EQ(GetPixel(c.dc, 11, 9) == 0x00FF00u, filled) << "interior filled only when asked";
  }
  EXPECT_EQ(QmGdiLiveObjectCount(), live_before) << "the fill brush is deleted";
}

TEST(PointDraw, SurfaceDrawsTwoPointsAsOneLine) {
  CMyDC dc;
  HDC none = nullptr;
  ASSERT_NE(dc.CreateCompatibleDC(none, 16, 16, 32), nullptr);
  dc.SetColor(0x0000FF);
  As_Pt pts[3] = {As_Pt(1, 1, 0), As_Pt(6, 1, 0), As_Pt(6, 6, 0)};
  draw_points(dc, As_Pt_Set(2, pts), As_Tran());
  draw_points(dc, As_Pt_Set(3, pts), translate_transf(As_Vec(0, 8, 0)));
  draw_points(dc, As_Pt_Set(1, pts), As_Tran());
  HDC hdc = dc.GetDC();
  EXPECT_EQ(GetPixel(hdc, 1, 1), 0x0000FFu);
  EXPECT_EQ(GetPixel(hdc, 5, 1), 0x0000FFu);
  EXPECT_NE(GetPixel(hdc, 6, 1), 0x0000FFu);
  EXPECT_EQ(GetPixel(hdc, 6, 12), 0x0000FFu);
}
