// The off-screen surface: layout, colours, runs, lines, polygons, ellipses,
// and drawing far outside the surface.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <type_traits>

#include "tests/surface/surface_probe.h"

namespace {

const uint32_t kBlack32 = 0;

PixelSet row_pixels(int y, std::initializer_list<int> xs) {
  PixelSet s;
  for (int x : xs) s.insert({x, y});
  return s;
}

}  // namespace

static_assert(!std::is_copy_constructible<CMyDC>::value, "a surface owns its DC");
static_assert(!std::is_copy_assignable<CMyDC>::value, "a surface owns its DC");

TEST(CMyDC, NewSurfaceIsWhiteBottomUpWithItsHeader) {
  struct Case { int bits, stride, clr_used; DWORD compression; uint32_t mask0; };
  const Case cases[] = {{8, 12, 256, BI_RGB, 0}, {16, 20, 0, BI_BITFIELDS, 0xF800},
                        {24, 32, 0, BI_RGB, 0},  {32, 40, 0, BI_BITFIELDS, 0xFF0000}};
  for (const Case& c : cases) {
    CMyDC dc;
    ASSERT_NE(make_surface(dc, 10, 3, c.bits), nullptr) << c.bits;
    DIBSECTION ds = {};
    ASSERT_EQ(GetObject(GetCurrentObject(dc.GetDC(), OBJ_BITMAP), sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, c.stride);
    EXPECT_EQ(ds.dsBmih.biHeight, 3);  // bottom-up
    EXPECT_EQ(ds.dsBmih.biCompression, c.compression);
    EXPECT_EQ(ds.dsBmih.biClrUsed, static_cast<DWORD>(c.clr_used));
    EXPECT_EQ(ds.dsBitfields[0], c.mask0);
    Probe p(dc);
    for (uint8_t b : p.snapshot()) ASSERT_EQ(b, 0xFF);
    RECT r = dc.GetDrawRect();
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.bottom, 3);
    // Pixel (x, y) lies in memory row height - y - 1.
    dc.SetColor(0);
    dc.SetPixel(2, 0);
    EXPECT_NE(p.bits[2 * p.stride + 2 * (c.bits / 8)], 0xFF) << c.bits;
    EXPECT_EQ(p.bits[2 * (c.bits / 8)], 0xFF);
  }
}

TEST(CMyDC, ColoursPackPerDepthAndUnknownPaletteColoursUseEntryZero) {
  struct Case { int bits; COLORREF in; uint32_t value; };
  const Case cases[] = {
      {32, RGB(0x12, 0x34, 0x56), 0x00123456}, {24, RGB(0x12, 0x34, 0x56), 0x123456},
      {16, RGB(255, 255, 255), 0xFFFF},        {16, RGB(0, 255, 0), 0x07E0},
      {16, RGB(200, 100, 50), (24u << 11) | (24u << 5) | 6u},
      {8, RGB(255, 0, 0), 6},                  {8, RGB(255, 255, 255), 0},
      {8, RGB(19, 38, 29), 79},                {8, RGB(1, 2, 3), 0},  // not in the palette: entry 0
  };
  for (const Case& c : cases) {
    CMyDC dc;
    ASSERT_NE(make_surface(dc, 4, 4, c.bits), nullptr);
    dc.SetColor(c.in);
    dc.SetPixel(1, 1);
    Probe p(dc);
    const uint32_t mask = c.bits == 32 ? 0xFFFFFFFF : (1u << c.bits) - 1;
    EXPECT_EQ(p.at(1, 1) & mask, c.value) << c.bits << " " << std::hex << c.in;
  }
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 4, 4, 8), nullptr);
  dc.SetColor(RGB(1, 2, 3));
  dc.SetPixel(0, 0);
  EXPECT_EQ(GetPixel(dc.GetDC(), 0, 0), RGB(255, 255, 255));
}

TEST(CMyDC, DepthFollowsTheScreenAndNeverFallsBelowEight) {
  for (int screen : {8, 16, 24, 32}) {
    ASSERT_TRUE(QmGdiSetScreen(1920, 1080, screen, 96));
    CMyDC dc;
    ASSERT_NE(make_surface(dc, 5, 5, 0), nullptr);
    EXPECT_EQ(Probe(dc).bpp, screen);
  }
  ASSERT_TRUE(QmGdiSetScreen(1920, 1080, 32, 96));
  CMyDC low;
  ASSERT_NE(make_surface(low, 5, 5, 4), nullptr);  // 8 or less becomes 8
  EXPECT_EQ(Probe(low).bpp, 8);
}

TEST(CMyDC, RefusedSurfacesStayEmptyAndHarmless) {
  const int live = QmGdiLiveObjectCount();
  CMyDC dc;
  EXPECT_EQ(make_surface(dc, 10, 10, 12), nullptr);
  EXPECT_EQ(make_surface(dc, 0, 10, 32), nullptr);
  EXPECT_EQ(make_surface(dc, 10, -3, 32), nullptr);
  EXPECT_EQ(make_surface(dc, 1 << 20, 1 << 20, 32), nullptr);
  EXPECT_EQ(dc.GetDC(), nullptr);
  RECT everything = {-100, -100, 100, 100};
  dc.SetDrawRect(everything);
  RECT r = dc.GetDrawRect();
  EXPECT_EQ(r.right - r.left, 0);
  dc.SetColor(RGB(1, 2, 3));
  dc.Line(0, 0, 50, 50);
  dc.HLine(1, 0, 10);
  dc.VLine(1, 0, 10);
  dc.SetPixel(1, 1);
  dc.FillRect(&everything);
  dc.FillRect(nullptr);
  dc.Ellipse(0, 0, 10, 10);
  POINT tri[4] = {{0, 0}, {9, 0}, {0, 9}, {0, 0}};
  dc.Polygon(tri, 4, 1, 0xFFFFFFFF);
  dc.Polyline(tri, 4);
  EXPECT_EQ(dc.DeleteDC(), 1);
  EXPECT_EQ(QmGdiLiveObjectCount(), live);
}

TEST(CMyDC, SecondCreateChangesNothing) {
  CMyDC dc;
  HDC first = make_surface(dc, 6, 4);
  ASSERT_NE(first, nullptr);
  dc.SetColor(0);
  dc.SetPixel(1, 1);
  EXPECT_EQ(make_surface(dc, 20, 20), nullptr);
  EXPECT_EQ(dc.GetDC(), first);
  Probe p(dc);
  EXPECT_EQ(p.width, 6);
  EXPECT_EQ(p.at(1, 1), kBlack32);
  // Resizing is DeleteDC then CreateCompatibleDC; colour and pattern survive.
  dc.SetLineStyleDashed(1);
  dc.DeleteDC();
  ASSERT_NE(make_surface(dc, 20, 2), nullptr);
  dc.HLine(0, 0, 10);
  EXPECT_EQ(Probe(dc).painted(kWhite32), row_pixels(0, {0, 3, 4, 7, 8}));
}

TEST(CMyDC, DrawRectIsOrderedAndInsideTheSurface) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 8), nullptr);
  dc.SetDrawRect(RECT{50, 20, -5, 2});
  const RECT r = dc.GetDrawRect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(r.bottom, 8);
}

TEST(CMyDC, LinesDrawTheirStartPixelAndNotTheirEnd) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 8, 4), nullptr);
  dc.SetColor(0);
  dc.Line(0, 0, 3, 0);
  dc.Line(3, 1, 0, 1);
  PixelSet want = row_pixels(0, {0, 1, 2});
  for (auto p : row_pixels(1, {1, 2, 3})) want.insert(p);
  EXPECT_EQ(Probe(dc).painted(kWhite32), want);
  // A clipped end is left out like any end: the last column stays empty.
  CMyDC c;
  ASSERT_NE(make_surface(c, 10, 4), nullptr);
  c.SetColor(0);
  c.Line(-5, 2, 20, 2);
  c.Line(20, 3, -5, 3);
  PixelSet clipped = row_pixels(2, {0, 1, 2, 3, 4, 5, 6, 7, 8});
  for (auto p : row_pixels(3, {1, 2, 3, 4, 5, 6, 7, 8, 9})) clipped.insert(p);
  EXPECT_EQ(Probe(c).painted(kWhite32), clipped);
}

TEST(CMyDC, LinesAgreeWithTheSoftwareGdi) {
  // One integer algorithm: a line on the surface and LineTo on its DC colour
  // the same pixels, in both directions and every octant.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(0, 39);
  for (int i = 0; i < 300; ++i) {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    CMyDC a, b;
    ASSERT_NE(make_surface(a, 40, 40), nullptr);
    ASSERT_NE(make_surface(b, 40, 40), nullptr);
    a.SetColor(0);
    a.Line(x1, y1, x2, y2);
    MoveToEx(b.GetDC(), x1, y1, nullptr);
    LineTo(b.GetDC(), x2, y2);
    EXPECT_EQ(Probe(a).painted(kWhite32), Probe(b).painted(kWhite32))
        << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

namespace {

// The pixels of a line that no side cuts, in closed form: walked from the
// end with the smaller x (the smaller y on ties), the minor coordinate after
// i major steps is i * minor / major rounded half up; the caller's start
// pixel is in and its end pixel out.
PixelSet closed_form_line(int x1, int y1, int x2, int y2) {
  const bool reversed = x2 < x1 || (x2 == x1 && y2 < y1);
  if (reversed) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int dx = x2 - x1, dy = std::abs(y2 - y1), sy = y2 >= y1 ? 1 : -1;
  const bool x_major = dx >= dy;
  const int major = x_major ? dx : dy, minor = x_major ? dy : dx;
  PixelSet s;
  for (int i = reversed ? 1 : 0; i < major + (reversed ? 1 : 0); ++i) {
    const int k = (2 * minor * i + major) / (2 * major);
    s.insert(x_major ? std::make_pair(x1 + i, y1 + sy * k) : std::make_pair(x1 + k, y1 + sy * i));
  }
  return s;
}

}  // namespace

TEST(CMyDC, LinesFollowTheirSlopeRoundedHalfUp) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(0, 47);
  for (int i = 0; i < 500; ++i) {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    CMyDC dc;
    ASSERT_NE(make_surface(dc, 48, 48), nullptr);
    dc.SetColor(0);
    dc.Line(x1, y1, x2, y2);
    EXPECT_EQ(Probe(dc).painted(kWhite32), closed_form_line(x1, y1, x2, y2))
        << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(CMyDC, RunsNeverColourTheLastColumnOrRow) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 6, 6), nullptr);
  dc.SetColor(0);
  dc.HLine(0, 2, 100);
  dc.VLine(0, 2, 100);
  dc.HLine(1, 4, 1);  // order does not matter; the end is exclusive
  PixelSet want = row_pixels(0, {2, 3, 4});
  for (int y : {2, 3, 4}) want.insert({0, y});
  for (auto p : row_pixels(1, {1, 2, 3})) want.insert(p);
  EXPECT_EQ(Probe(dc).painted(kWhite32), want);
  // FillRect covers the whole draw rectangle, its last row and column too.
  RECT all = {100, 100, -100, -100};
  dc.FillRect(&all);
  EXPECT_EQ(Probe(dc).painted(kWhite32).size(), 36u);
}

// Solid fills of whole rows, at every depth and with and without padding at
// the ends of the rows, colour exactly the rows asked for and leave the
// padding as it was; a dashed fill keeps its pattern on every row.
TEST(CMyDC, FillRectColoursExactlyItsRows) {
  struct Case { int bits, width; };
  const Case cases[] = {{32, 7}, {24, 3}, {24, 4}, {16, 3}, {16, 4}, {8, 5}, {8, 8}};
  for (const Case& c : cases) {
    for (int dashed : {0, 1}) {
      SCOPED_TRACE(testing::Message() << c.bits << " bits, width " << c.width << (dashed ? " dashed" : ""));
      CMyDC dc;
      ASSERT_NE(make_surface(dc, c.width, 6, c.bits), nullptr);
      dc.SetColor(RGB(255, 0, 0));
      dc.SetLineStyleDashed(dashed);
      RECT rows = {0, 1, c.width, 4};
      dc.FillRect(&rows);
      PixelSet want;
      for (int y = 1; y < 4; ++y)
        for (int x = 0; x < c.width; ++x)
          if (!dashed || (x + 1) % 4 < 2) want.insert({x, y});
      const Probe p(dc);
      const uint32_t untouched = c.bits == 32 ? 0xFFFFFFFFu : (1u << c.bits) - 1;  // a new surface's bytes
      EXPECT_EQ(p.painted(untouched), want);
      const std::vector<uint8_t> bytes = p.snapshot();
      const int used = c.width * c.bits / 8;
      for (int row = 0; row < 6; ++row)
        for (int k = used; k < p.stride; ++k) ASSERT_EQ(bytes[size_t(row * p.stride + k)], 0xFF) << row << " " << k;
    }
  }
}

TEST(CMyDC, DashedPatternFollowsTheMajorCoordinate) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 20, 20), nullptr);
  dc.SetColor(0);
  dc.SetLineStyleDashed(1);
  dc.Line(0, 0, 12, 0);
  EXPECT_EQ(Probe(dc).painted(kWhite32), row_pixels(0, {0, 3, 4, 7, 8, 11}));
  // A steep line rising to the right tests y1 + y2 - y + 1 with its end rows.
  CMyDC up;
  ASSERT_NE(make_surface(up, 20, 20), nullptr);
  up.SetColor(0);
  up.SetLineStyleDashed(1);
  up.Line(0, 10, 0, 2);  // vertical (not rising to the right): rows 10 down to 3
  up.Line(5, 10, 7, 2);  // rising to the right: walked from (7, 2) to (5, 10)
  PixelSet got = Probe(up).painted(kWhite32);
  PixelSet vertical, rising;
  for (auto p : got) (p.first == 0 ? vertical : rising).insert(p);
  PixelSet want_vertical;
  for (int y = 3; y <= 10; ++y)
    if (((y + 1) % 4) < 2) want_vertical.insert({0, y});
  EXPECT_EQ(vertical, want_vertical);
  for (auto p : rising) EXPECT_LT((2 + 10 - p.second + 1) % 4, 2) << p.first << "," << p.second;
  EXPECT_EQ(rising.size(), 4u);
  // Pixels and ellipses stay solid.
  up.SetPixel(15, 15);
  EXPECT_EQ(Probe(up).at(15, 15), kBlack32);
}

TEST(CMyDC, PolylineDrawsFromTheLastPointBack) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 3), nullptr);
  dc.SetColor(0);
  const POINT pts[3] = {{0, 1}, {3, 1}, {6, 1}};
  dc.Polyline(pts, 3);
  EXPECT_EQ(Probe(dc).painted(kWhite32), row_pixels(1, {1, 2, 3, 4, 5, 6}));
  dc.Polyline(pts, 1);
  dc.Polyline(nullptr, 3);
}

TEST(CMyDC, PolygonFillsBetweenItsTopAndBottomRows) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 12, 12), nullptr);
  dc.SetColor(RGB(255, 0, 0));
  POINT square[5] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}};
  dc.Polygon(square, 5, 1, RGB(0, 0, 255));
  Probe p(dc);
  const uint32_t red = 0xFF0000, blue = 0x0000FF;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const uint32_t v = p.at(x, y) & 0xFFFFFF;
      const bool edge = (x == 2 || x == 8 || y == 2 || y == 8) && x >= 2 && x <= 8 && y >= 2 && y <= 8;
      const bool inside = x > 2 && x < 8 && y > 2 && y < 8;
      EXPECT_EQ(v, edge ? red : (inside ? blue : 0xFFFFFFu)) << x << "," << y;
    }
}

TEST(CMyDC, PolygonRingInsideRingStaysEmpty) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 14, 14), nullptr);
  dc.SetColor(0);
  POINT rings[10] = {{1, 1}, {12, 1}, {12, 12}, {1, 12}, {1, 1}, {4, 4}, {9, 4}, {9, 9}, {4, 9}, {4, 4}};
  dc.Polygon(rings, 10, 1, 0xFFFFFFFF);
  Probe p(dc);
  EXPECT_EQ(p.at(2, 6), kBlack32);
  EXPECT_EQ(p.at(11, 6), kBlack32);
  EXPECT_EQ(p.at(6, 6), kWhite32);  // inside the inner ring
  EXPECT_EQ(p.at(5, 5), kWhite32);
  EXPECT_EQ(p.at(4, 6), kBlack32);  // the inner outline
  // Triangle with a horizontal top and a V: every scan line pairs up.
  CMyDC v;
  ASSERT_NE(make_surface(v, 20, 12), nullptr);
  v.SetColor(0);
  POINT vee[6] = {{1, 1}, {5, 1}, {9, 7}, {13, 1}, {17, 1}, {9, 11}};
  v.Polygon(vee, 6, 1, 0xFFFFFFFF);
  Probe q(v);
  EXPECT_EQ(q.at(9, 9), kBlack32);   // below the V's notch
  EXPECT_EQ(q.at(9, 4), kWhite32);   // in the notch
  EXPECT_EQ(q.at(4, 3), kBlack32);
  EXPECT_EQ(q.at(14, 3), kBlack32);
}

TEST(CMyDC, EllipseOfZeroWidthIsAVerticalLine) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 12), nullptr);
  dc.SetColor(0);
  dc.Ellipse(4, 1, 4, 9);
  PixelSet want;
  for (int y = 1; y <= 9; ++y) want.insert({4, y});
  EXPECT_EQ(Probe(dc).painted(kWhite32), want);
}

namespace {

// The two-region midpoint walk, straight from its definition.
PixelSet reference_ellipse(int l, int t, int r, int b, const RECT& clip) {
  PixelSet out;
  const int64_t cx = (int64_t(l) + r) / 2, cy = (int64_t(t) + b) / 2;
  const int64_t rx = std::llabs(int64_t(l) - r) / 2, ry = std::llabs(int64_t(t) - b) / 2;
  const int64_t rx2 = rx * rx, ry2 = ry * ry;
  auto plot = [&](int64_t x, int64_t y) {
    for (int64_t px : {cx + x, cx - x})
      for (int64_t py : {cy + y, cy - y})
        if (px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom)
          out.insert({int(px), int(py)});
  };
  int64_t x = 0, y = ry, dx = 0, dy = 2 * rx2 * y;
  // Long double holds the quarter-integer starting values exactly here.
  using LD = long double;
  int64_t d1 = static_cast<int64_t>(LD(ry2) - LD(rx2) * ry + LD(rx2) / 4 + 0.5L);
  while (dx < dy) {
    plot(x, y);
    ++x;
    dx += 2 * ry2;
    if (d1 < 0) {
      d1 += dx + ry2;
    } else {
      --y;
      dy -= 2 * rx2;
      d1 += dx - dy + ry2;
    }
  }
  int64_t d2 = static_cast<int64_t>(LD(ry2) * (x + 0.5L) * (x + 0.5L) + LD(rx2) * LD(y - 1) * LD(y - 1) -
                                    LD(rx2) * LD(ry2) + 0.5L);
  while (y >= 0) {
    plot(x, y);
    --y;
    dy -= 2 * rx2;
    if (d2 > 0) {
      d2 += rx2 - dy;
    } else {
      ++x;
      dx += 2 * ry2;
      d2 += dx - dy + rx2;
    }
  }
  return out;
}

}  // namespace

TEST(CMyDC, EllipseMatchesTheMidpointWalkUnderAnyClip) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> size(0, 400), wide(0, 40000), pos(-300, 300), clip(0, 60);
  for (int i = 0; i < 300; ++i) {
    CMyDC dc;
    ASSERT_NE(make_surface(dc, 64, 64), nullptr);
    RECT r = {clip(rng), clip(rng), clip(rng), clip(rng)};
    dc.SetDrawRect(r);
    r = dc.GetDrawRect();
    dc.SetColor(0);
    // Small boxes, then boxes of all sizes, then huge ones whose walk mostly
    // jumps over columns and rows outside the draw rectangle.
    const bool huge = i >= 200;
    const int w = i < 20 ? i % 4 : (huge ? wide(rng) : size(rng));
    const int h = i < 20 ? i / 4 : (huge ? wide(rng) : size(rng));
    const int l = huge ? 32 - w / 2 + pos(rng) / 10 : pos(rng), t = huge ? 32 - h / 2 + pos(rng) / 10 : pos(rng);
    dc.Ellipse(l, t, l + w, t + h);
    ASSERT_EQ(Probe(dc).painted(kWhite32), reference_ellipse(l, t, l + w, t + h, r))
        << l << "," << t << " " << w << "x" << h << " clip " << r.left << "," << r.top << "," << r.right << ","
        << r.bottom;
  }
}

TEST(CMyDC, FarOutsideDrawingLeavesTheGuardRegionAndFinishes) {
  // The draw rectangle sits inside the surface; the ring around it is a guard.
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 64, 48), nullptr);
  dc.SetDrawRect(RECT{8, 8, 56, 40});
  dc.SetColor(0);
  const int big = 2000000000;
  dc.Line(-big, -big, big, big);
  dc.Line(-2147483647 - 1, 20, 2147483647, 21);
  dc.LinePt(As_Pt(-1e300, 0, 0), As_Pt(1e300, 30, 0));
  dc.LinePt(As_Pt(std::nan(""), 0, 0), As_Pt(30, std::nan(""), 0));
  dc.SetPixelPt(As_Pt(1e30, -1e30, 0));
  dc.HLine(30, -big, big);
  dc.VLine(30, -big, big);
  RECT huge = {-big, -big, big, big};
  dc.FillRect(&huge);
  dc.SetColor(RGB(0, 0, 255));
  dc.Ellipse(-big, -big, big, big);         // the outline passes far away
  dc.Ellipse(-big, 10, big, 30);            // a flat one whose sides cross the surface
  dc.Ellipse(30 - big, 20 - big, 30 + big, 20 + big);
  POINT poly[5] = {{-big, -big}, {big, -big + 7}, {big, big}, {-big, big - 3}, {-big, -big}};
  dc.Polygon(poly, 5, 1, RGB(0, 255, 0));
  Probe p(dc);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (x < 8 || x >= 56 || y < 8 || y >= 40) {
        ASSERT_EQ(p.at(x, y), kWhite32) << x << "," << y;
      }
  EXPECT_EQ(p.at(30, 30) & 0xFFFFFF, 0x00FF00u);  // the polygon covers the draw rectangle
  // The flat ellipse's outline crosses the draw rectangle near its centre rows.
  CMyDC e;
  ASSERT_NE(make_surface(e, 64, 48), nullptr);
  e.SetColor(0);
  e.Ellipse(32 - 100000, 0, 32 + 100000, 40);
  EXPECT_EQ(Probe(e).painted(kWhite32), reference_ellipse(32 - 100000, 0, 32 + 100000, 40, RECT{0, 0, 64, 48}));
}
