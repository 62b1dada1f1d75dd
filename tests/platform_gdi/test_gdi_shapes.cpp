// Shapes, paths and block transfers of the software GDI.
#include <gtest/gtest.h>

#include <string>

#include "gdi_fixture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// The surface as text rows: '.' background, 'P' pen colour, 'B' brush colour.
std::string picture(const TestSurface& s, COLORREF pen, COLORREF brush) {
  std::string out;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      const COLORREF c = GetPixel(s.dc, x, y);
      out += c == pen ? 'P' : (c == brush ? 'B' : (c == kWhite ? '.' : '?'));
    }
    out += '\n';
  }
  return out;
}

struct Tools {
  HDC dc;
  HPEN pen;
  HBRUSH brush;
  HGDIOBJ old_pen, old_brush;
  Tools(HDC d, COLORREF pen_color, COLORREF brush_color, int width = 1, int style = PS_SOLID)
      : dc(d), pen(CreatePen(style, width, pen_color)), brush(CreateSolidBrush(brush_color)) {
    old_pen = SelectObject(dc, pen);
    old_brush = SelectObject(dc, brush);
  }
  ~Tools() {
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen);
    DeleteObject(brush);
  }
};

const COLORREF kPen = RGB(255, 0, 0);
const COLORREF kBrush = RGB(0, 0, 255);

}  // namespace

TEST(GdiShapes, RectangleExcludesRightAndBottom) {
  TestSurface s(8, 6, 32);
  s.clear(kWhite);
  {
    Tools t(s.dc, kPen, kBrush);
    Rectangle(s.dc, 1, 1, 6, 5);
  }
  EXPECT_EQ(picture(s, kPen, kBrush),
            "........\n"
            ".PPPPP..\n"
            ".PBBBP..\n"
            ".PBBBP..\n"
            ".PPPPP..\n"
            "........\n");
  s.clear(kWhite);
  {
    Tools t(s.dc, kPen, kBrush);
    SelectObject(s.dc, GetStockObject(NULL_PEN));
    Rectangle(s.dc, 6, 5, 1, 1);  // corners in either order; the null pen fills one less
    SelectObject(s.dc, t.pen);
  }
  EXPECT_EQ(picture(s, kPen, kBrush),
            "........\n"
            ".BBBB...\n"
            ".BBBB...\n"
            ".BBBB...\n"
            "........\n"
            "........\n");
}

TEST(GdiShapes, EllipseStaysInItsBoxAndIsSymmetric) {
  TestSurface s(13, 9, 24);
  s.clear(kWhite);
  {
    Tools t(s.dc, kPen, kBrush);
    Ellipse(s.dc, 1, 1, 12, 8);
  }
  EXPECT_EQ(picture(s, kPen, kBrush),
            ".............\n"
            "....PPPPP....\n"
            "..PPBBBBBPP..\n"
            ".PBBBBBBBBBP.\n"
            ".PBBBBBBBBBP.\n"
            ".PBBBBBBBBBP.\n"
            "..PPBBBBBPP..\n"
            "....PPPPP....\n"
            ".............\n");
}

TEST(GdiShapes, ArcWithEqualRadialsIsTheFullOutline) {
  TestSurface a(13, 9, 32), e(13, 9, 32);
  a.clear(kWhite);
  e.clear(kWhite);
  {
    Tools t(a.dc, kPen, kBrush);
    Arc(a.dc, 1, 1, 12, 8, 0, 0, 0, 0);
  }
  {
    Tools t(e.dc, kPen, kBrush);
    SelectObject(e.dc, GetStockObject(NULL_BRUSH));
    Ellipse(e.dc, 1, 1, 12, 8);
    SelectObject(e.dc, t.brush);
  }
  EXPECT_EQ(picture(a, kPen, kBrush), picture(e, kPen, kBrush));
  // Counter-clockwise from the right (3 o'clock) to the top (12 o'clock):
  // the upper right quarter only.
  a.clear(kWhite);
  {
    Tools t(a.dc, kPen, kBrush);
    Arc(a.dc, 1, 1, 12, 8, 12, 4, 6, 0);
  }
  for (const POINT& p : a.painted(kWhite)) {
    EXPECT_GE(p.x, 6);
    EXPECT_LE(p.y, 4);
  }
  EXPECT_EQ(GetPixel(a.dc, 11, 4), kPen);
  EXPECT_EQ(GetPixel(a.dc, 6, 1), kPen);
}

TEST(GdiShapes, PolygonFillsEvenOddInsideItsOutline) {
  TestSurface s(12, 12, 32);
  s.clear(kWhite);
  {
    Tools t(s.dc, kPen, kBrush);
    SelectObject(s.dc, GetStockObject(NULL_PEN));
    // Two squares in one path: the inner one is a hole under ALTERNATE.
    BeginPath(s.dc);
    const POINT outer[4] = {{1, 1}, {11, 1}, {11, 11}, {1, 11}};
    const POINT inner[4] = {{4, 4}, {8, 4}, {8, 8}, {4, 8}};
    Polygon(s.dc, outer, 4);
    Polygon(s.dc, inner, 4);
    EndPath(s.dc);
    FillPath(s.dc);
    SelectObject(s.dc, t.pen);
  }
  EXPECT_EQ(GetPixel(s.dc, 1, 1), kBrush);
  EXPECT_EQ(GetPixel(s.dc, 10, 10), kBrush);
  EXPECT_EQ(GetPixel(s.dc, 11, 5), kWhite);  // right and bottom edges are out
  EXPECT_EQ(GetPixel(s.dc, 5, 11), kWhite);
  EXPECT_EQ(GetPixel(s.dc, 5, 5), kWhite);   // the hole
  EXPECT_EQ(GetPixel(s.dc, 3, 5), kBrush);
  EXPECT_EQ(s.painted(kWhite).size(), 100u - 16u);
  // A triangle with its outline: the outline reaches the right-hand vertex.
  s.clear(kWhite);
  {
    Tools t(s.dc, kPen, kBrush);
    const POINT tri[3] = {{1, 1}, {9, 1}, {1, 9}};
    Polygon(s.dc, tri, 3);
  }
  EXPECT_EQ(GetPixel(s.dc, 9, 1), kPen);
  EXPECT_EQ(GetPixel(s.dc, 1, 9), kPen);
  EXPECT_EQ(GetPixel(s.dc, 3, 3), kBrush);
  EXPECT_EQ(GetPixel(s.dc, 6, 6), kWhite);
}

TEST(GdiShapes, StrokeAndFillPathOutlinesWithThePenAndFillsWithTheBrush) {
  TestSurface s(8, 7, 16);
  s.clear(kWhite);
  {
    Tools t(s.dc, kPen, kBrush);
    BeginPath(s.dc);
    const POINT box[5] = {{1, 1}, {6, 1}, {6, 5}, {1, 5}, {1, 1}};
    Polyline(s.dc, box, 5);
    EndPath(s.dc);
    EXPECT_TRUE(StrokeAndFillPath(s.dc));
    EXPECT_FALSE(StrokeAndFillPath(s.dc));  // the path is used up
  }
  EXPECT_EQ(picture(s, kPen, kBrush),
            "........\n"
            ".PPPPPP.\n"
            ".PBBBBP.\n"
            ".PBBBBP.\n"
            ".PBBBBP.\n"
            ".PPPPPP.\n"
            "........\n");
}

TEST(GdiShapes, NotXorTwiceRestoresEveryPixelAtEveryDepth) {
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    TestSurface s(40, 30, bpp);
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) SetPixel(s.dc, x, y, RGB(x * 6, y * 8, (x + y) * 3));
    const std::vector<uint8_t> before = s.snapshot();
    const int live = QmGdiLiveObjectCount();
    auto draw = [&](int width, int style) {
      Tools t(s.dc, RGB(200, 30, 90), RGB(10, 220, 40), width, style);
      SetROP2(s.dc, R2_NOTXORPEN);
      const POINT zig[6] = {{-5, 3}, {20, 28}, {35, 2}, {2, 15}, {38, 20}, {-5, 3}};
      Polyline(s.dc, zig, 6);
      Rectangle(s.dc, 3, 4, 30, 25);
      Ellipse(s.dc, -10, 2, 25, 40);
      Arc(s.dc, 5, 5, 35, 28, 30, 0, 0, 30);
      const POINT star[5] = {{20, 0}, {28, 29}, {5, 10}, {35, 10}, {12, 29}};
      Polygon(s.dc, star, 5);
      const POINT bez[4] = {{0, 0}, {40, 0}, {0, 30}, {40, 30}};
      PolyBezier(s.dc, bez, 4);
      BeginPath(s.dc);
      Polyline(s.dc, star, 5);
      EndPath(s.dc);
      StrokeAndFillPath(s.dc);
      MoveToEx(s.dc, 0, 29, nullptr);
      LineTo(s.dc, 39, 0);
      SetROP2(s.dc, R2_COPYPEN);
    };
    for (int width : {1, 4})
      for (int style : {PS_SOLID, PS_DASHDOT}) {
        draw(width, style);
        EXPECT_NE(s.snapshot(), before) << bpp;
        draw(width, style);
        EXPECT_EQ(s.snapshot(), before) << "bpp " << bpp << " width " << width << " style " << style;
      }
    EXPECT_EQ(QmGdiLiveObjectCount(), live);
  }
}

TEST(GdiShapes, ShapesFarOutsideTheSurfaceDrawOnlyWhatShows) {
  TestSurface s(20, 20, 32);
  s.clear(kWhite);
  Tools t(s.dc, kPen, kBrush);
  // A huge ellipse whose outline crosses the surface, a huge polygon that
  // covers it, a wide line: each visits only the surface's pixels.
  Ellipse(s.dc, -2000000000, -2000000000, 2000000000, 2000000000);
  EXPECT_EQ(GetPixel(s.dc, 10, 10), kBrush);
  const POINT big[4] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {2000000000, 2000000000},
                        {-2000000000, 2000000000}};
  s.clear(kWhite);
  Polygon(s.dc, big, 4);
  EXPECT_EQ(GetPixel(s.dc, 0, 0), kBrush);
  EXPECT_EQ(GetPixel(s.dc, 19, 19), kBrush);
  HPEN wide = CreatePen(PS_SOLID, 5, kPen);
  HGDIOBJ old = SelectObject(s.dc, wide);
  MoveToEx(s.dc, -2000000000, 10, nullptr);
  LineTo(s.dc, 2000000000, 10);
  EXPECT_EQ(GetPixel(s.dc, 0, 8), kPen);
  EXPECT_EQ(GetPixel(s.dc, 19, 12), kPen);
  EXPECT_EQ(GetPixel(s.dc, 19, 13), kBrush);
  SelectObject(s.dc, old);
  DeleteObject(wide);
}

// Vertices at the ends of the coordinate range (as a damaged drawing can
// give): every fill mode, with and without an outline, through Polygon and
// through a path, fills what covers the surface and nothing else.
TEST(GdiShapes, PolygonsAtTheEndsOfTheCoordinateRangeFillWhatShows) {
  const LONG lo = INT32_MIN, hi = INT32_MAX;
  struct Probe {
    int x, y;
    COLORREF color;
  };
  struct Case {
    const char* what;
    std::vector<POINT> pts;
    std::vector<Probe> probes;
  } cases[] = {
      {"square over everything", {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}}, {{0, 0, kBrush}, {19, 19, kBrush}}},
      // The diagonal x = y: pixels left of it are in, those on it out.
      {"triangle cut by the diagonal", {{lo, lo}, {hi, hi}, {lo, hi}}, {{0, 19, kBrush}, {19, 0, kWhite}, {5, 5, kWhite}}},
      {"sliver from far above to far below", {{10, lo}, {11, hi}, {9, hi}},
       {{10, 10, kBrush}, {9, 10, kWhite}, {11, 10, kWhite}}},
      {"far away", {{lo, lo}, {lo + 5, lo}, {lo, lo + 5}}, {{0, 0, kWhite}, {19, 19, kWhite}}},
  };
  for (const Case& c : cases) {
    for (int mode : {ALTERNATE, WINDING}) {
      for (bool path : {false, true}) {
        TestSurface s(20, 20, 32);
        s.clear(kWhite);
        Tools t(s.dc, kPen, kBrush);
        SelectObject(s.dc, GetStockObject(NULL_PEN));
        SetPolyFillMode(s.dc, mode);
        const int n = static_cast<int>(c.pts.size());
        if (path) {
          BeginPath(s.dc);
          Polygon(s.dc, c.pts.data(), n);
          EndPath(s.dc);
          EXPECT_TRUE(FillPath(s.dc));
        } else {
          EXPECT_TRUE(Polygon(s.dc, c.pts.data(), n));
        }
        const std::string where = std::string(c.what) + (path ? ", path" : "") + ", mode " + std::to_string(mode);
        for (const Probe& p : c.probes) EXPECT_EQ(GetPixel(s.dc, p.x, p.y), p.color) << where << " at " << p.x << "," << p.y;
        // With the outline as well, cosmetic and wide.
        SelectObject(s.dc, t.pen);
        EXPECT_TRUE(Polygon(s.dc, c.pts.data(), n));
        Tools wide(s.dc, kPen, kBrush, 3, PS_DASH);
        EXPECT_TRUE(Polygon(s.dc, c.pts.data(), n));
      }
    }
  }
}

TEST(GdiShapes, WidePenHasRoundEnds) {
  TestSurface s(12, 9, 32);
  s.clear(kWhite);
  {
    Tools t(s.dc, kPen, kBrush, 3);
    MoveToEx(s.dc, 3, 4, nullptr);
    LineTo(s.dc, 8, 4);
  }
  EXPECT_EQ(picture(s, kPen, kBrush),
            "............\n"
            "............\n"
            "............\n"
            "..PPPPPPPP..\n"
            "..PPPPPPPP..\n"
            "..PPPPPPPP..\n"
            "............\n"
            "............\n"
            "............\n");
}

TEST(GdiBlit, BitBltCopiesAcrossFormatsAndInvertsInPlace) {
  TestSurface src(4, 4, 32), dst(6, 6, 16);
  src.clear(RGB(255, 0, 0));
  SetPixel(src.dc, 0, 0, RGB(0, 255, 0));
  dst.clear(kWhite);
  EXPECT_TRUE(BitBlt(dst.dc, 3, 3, 4, 4, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(dst.dc, 3, 3), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dst.dc, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc, 2, 2), kWhite);
  const std::vector<uint8_t> before = dst.snapshot();
  EXPECT_TRUE(PatBlt(dst.dc, 1, 1, 3, 3, DSTINVERT));
  EXPECT_EQ(GetPixel(dst.dc, 1, 1), kBlack);
  EXPECT_TRUE(PatBlt(dst.dc, 4, 4, -3, -3, DSTINVERT));
  EXPECT_EQ(dst.snapshot(), before);
  HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
  HGDIOBJ old = SelectObject(dst.dc, b);
  EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 6, 6, PATINVERT));
  EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(255, 255, 0));
  EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 6, 6, nullptr, 0, 0, PATINVERT));
  EXPECT_EQ(dst.snapshot(), before);
  SelectObject(dst.dc, old);
  DeleteObject(b);
  // Overlapping copy within one surface.
  src.clear(kWhite);
  SetPixel(src.dc, 0, 0, kBlack);
  SetPixel(src.dc, 1, 0, RGB(1, 2, 3));
  BitBlt(src.dc, 1, 0, 3, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(src.dc, 1, 0), kBlack);
  EXPECT_EQ(GetPixel(src.dc, 2, 0), RGB(1, 2, 3));
}

TEST(GdiBlit, StretchDIBitsCountsSourceRowsFromTheBottom) {
  // A 2 x 2 bottom-up 24-bit DIB: memory row 0 is the bottom row.
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = 2;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  const uint8_t bits[16] = {0, 0, 255, 0, 255, 0, 0, 0,       // bottom: red, green
                            255, 0, 0, 255, 255, 255, 0, 0};  // top: blue, white
  TestSurface s(4, 4, 32);
  s.clear(kBlack);
  EXPECT_EQ(StretchDIBits(s.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, &bi, DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(GetPixel(s.dc, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(s.dc, 3, 1), kWhite);
  EXPECT_EQ(GetPixel(s.dc, 1, 3), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc, 2, 2), RGB(0, 255, 0));
  // The lower row only: y counts from the bottom of a bottom-up DIB.
  s.clear(kBlack);
  StretchDIBits(s.dc, 0, 0, 2, 1, 0, 0, 2, 1, bits, &bi, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(GetPixel(s.dc, 0, 0), RGB(255, 0, 0));
  // Mirrored by a negative destination width.
  StretchDIBits(s.dc, 1, 2, -2, 1, 0, 0, 2, 1, bits, &bi, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(GetPixel(s.dc, 0, 2), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(s.dc, 1, 2), RGB(255, 0, 0));
}

TEST(GdiBlit, GetDIBitsConvertsScanLines) {
  TestSurface s(3, 2, 32);
  s.clear(kWhite);
  SetPixel(s.dc, 0, 0, RGB(10, 20, 30));
  SetPixel(s.dc, 2, 1, RGB(40, 50, 60));
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  SelectObject(s.dc, s.previous);
  ASSERT_NE(GetDIBits(s.dc, s.bitmap, 0, 2, nullptr, &bi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(bi.bmiHeader.biWidth, 3);
  EXPECT_EQ(bi.bmiHeader.biHeight, 2);
  EXPECT_EQ(bi.bmiHeader.biBitCount, 32);
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  uint8_t out[2 * 12] = {};
  EXPECT_EQ(GetDIBits(s.dc, s.bitmap, 0, 2, out, &bi, DIB_RGB_COLORS), 2);
  // Bottom-up output: the first row in memory is the bottom one.
  EXPECT_EQ(out[6], 60);
  EXPECT_EQ(out[7], 50);
  EXPECT_EQ(out[8], 40);
  EXPECT_EQ(out[12], 30);
  EXPECT_EQ(out[13], 20);
  EXPECT_EQ(out[14], 10);
  SelectObject(s.dc, s.bitmap);
}

TEST(GdiBlit, FillRectIgnoresTheMixModeAndClips) {
  TestSurface s(5, 5, 8);
  s.clear(kBlack);
  SetROP2(s.dc, R2_XORPEN);
  HBRUSH b = CreateSolidBrush(kWhite);
  const RECT r = {3, 3, 100, 100};
  EXPECT_EQ(FillRect(s.dc, &r, b), 1);
  EXPECT_EQ(FillRect(s.dc, &r, b), 1);
  EXPECT_EQ(GetPixel(s.dc, 4, 4), kWhite);
  EXPECT_EQ(GetPixel(s.dc, 2, 4), kBlack);
  EXPECT_EQ(s.painted(kBlack).size(), 4u);
  DeleteObject(b);
}
