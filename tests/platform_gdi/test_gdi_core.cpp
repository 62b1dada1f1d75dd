// Device contexts, DIB sections, objects, pixels and cosmetic lines.
#include <gtest/gtest.h>

#include "gdi_fixture.h"

TEST(GdiDib, RowsAreBottomUpUnlessHeightIsNegative) {
  {
    TestSurface s(5, 3, 32);
    SetPixel(s.dc, 1, 0, RGB(0x11, 0x22, 0x33));
    const uint8_t* px = s.bits + 2 * s.stride + 4;  // top row is the last in memory
    EXPECT_EQ(px[0], 0x33);
    EXPECT_EQ(px[1], 0x22);
    EXPECT_EQ(px[2], 0x11);
  }
  {
    TestSurface s(5, -3, 24);
    SetPixel(s.dc, 1, 0, RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(s.bits[3], 0x33);
    EXPECT_EQ(s.bits[4], 0x22);
    EXPECT_EQ(s.bits[5], 0x11);
  }
}

TEST(GdiDib, StridesArePaddedToFourBytes) {
  struct Case { int width, bpp, stride; };
  const Case cases[] = {{10, 1, 4}, {33, 1, 8}, {7, 4, 4}, {9, 4, 8}, {5, 8, 8}, {3, 16, 8}, {3, 24, 12}, {5, 32, 20}};
  for (const Case& c : cases) {
    TestSurface s(c.width, 2, c.bpp);
    ASSERT_NE(s.bitmap, nullptr) << c.bpp;
    DIBSECTION ds;
    ASSERT_EQ(GetObject(s.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, c.stride) << c.width << "x" << c.bpp;
    EXPECT_EQ(ds.dsBm.bmBitsPixel, c.bpp);
    EXPECT_EQ(ds.dsBm.bmBits, s.bits);
    EXPECT_EQ(ds.dsBmih.biSizeImage, static_cast<DWORD>(2 * c.stride));
  }
}

TEST(GdiDib, RefusesUnusableHeaders) {
  HDC dc = CreateCompatibleDC(nullptr);
  const int before = QmGdiLiveObjectCount();
  struct Case { int w, h, bpp; DWORD compression; };
  const Case bad[] = {{0, 4, 32, BI_RGB},  {4, 0, 32, BI_RGB},  {-4, 4, 32, BI_RGB}, {4, 4, 2, BI_RGB},
                      {4, 4, 12, BI_RGB},  {4, 4, 8, BI_BITFIELDS}, {4, 4, 24, 1},   {1 << 20, 1 << 20, 32, BI_RGB}};
  for (const Case& c : bad) {
    auto mem = info_buffer(c.w, c.h, c.bpp, c.compression);
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(mem.data()), DIB_RGB_COLORS, &bits, nullptr, 0),
              nullptr);
    EXPECT_EQ(bits, nullptr);
  }
  // Masks must be contiguous and must not overlap.
  auto mem = info_buffer(4, 4, 16, BI_BITFIELDS);
  uint32_t* masks = reinterpret_cast<uint32_t*>(mem.data() + sizeof(BITMAPINFOHEADER));
  masks[0] = 0xF00F; masks[1] = 0x07E0; masks[2] = 0x001F;
  EXPECT_EQ(CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(mem.data()), DIB_RGB_COLORS, nullptr, nullptr, 0),
            nullptr);
  EXPECT_EQ(QmGdiLiveObjectCount(), before);
  DeleteDC(dc);
}

TEST(GdiColour, ConvertsPerDepth) {
  struct Case { int bpp; bool bitfields; COLORREF in; uint32_t raw; COLORREF back; };
  const Case cases[] = {
      {32, true, RGB(0x12, 0x34, 0x56), 0x123456, RGB(0x12, 0x34, 0x56)},
      {24, false, RGB(0x12, 0x34, 0x56), 0x123456, RGB(0x12, 0x34, 0x56)},
      {16, true, RGB(255, 255, 255), 0xFFFF, RGB(255, 255, 255)},
      {16, true, RGB(0, 255, 0), 0x07E0, RGB(0, 255, 0)},
      {16, true, RGB(200, 100, 50), 0xCB26, RGB(206, 101, 49)},
      {16, false, RGB(255, 255, 255), 0x7FFF, RGB(255, 255, 255)},
      {16, false, RGB(255, 0, 0), 0x7C00, RGB(255, 0, 0)},
      {8, false, RGB(100, 100, 100), 100, RGB(100, 100, 100)},
      {8, false, RGB(10, 200, 30), 80, RGB(80, 80, 80)},  // nearest grey by distance
      {4, false, RGB(255, 255, 255), 15, RGB(255, 255, 255)},
      {4, false, RGB(60, 60, 60), 4, RGB(68, 68, 68)},
      {1, false, RGB(200, 200, 200), 1, RGB(255, 255, 255)},
      {1, false, RGB(100, 100, 100), 0, RGB(0, 0, 0)},
  };
  for (const Case& c : cases) {
    TestSurface s(8, 1, c.bpp, c.bitfields);
    EXPECT_EQ(SetPixel(s.dc, 0, 0, c.in), c.back) << c.bpp << " " << std::hex << c.in;
    EXPECT_EQ(GetPixel(s.dc, 0, 0), c.back);
    uint32_t raw = 0;
    switch (c.bpp) {
      case 1: raw = s.bits[0] >> 7; break;
      case 4: raw = s.bits[0] >> 4; break;
      case 8: raw = s.bits[0]; break;
      case 16: raw = s.bits[0] | (s.bits[1] << 8); break;
      case 24: raw = s.bits[0] | (s.bits[1] << 8) | (s.bits[2] << 16); break;
      case 32: raw = s.bits[0] | (s.bits[1] << 8) | (s.bits[2] << 16) | (uint32_t(s.bits[3]) << 24); break;
    }
    EXPECT_EQ(raw, c.raw) << c.bpp << " " << std::hex << c.in;
  }
}

TEST(GdiPixels, OutsideTheSurfaceIsInvalid) {
  TestSurface s(4, 4, 32);
  EXPECT_EQ(SetPixel(s.dc, 4, 0, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(s.dc, -1, 0, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(s.dc, 0, 4), CLR_INVALID);
  EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST(GdiObjects, LiveCountFollowsCreationAndDeletion) {
  const int base = QmGdiLiveObjectCount();
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  EXPECT_EQ(QmGdiLiveObjectCount(), base + 3);
  HGDIOBJ old_pen = SelectObject(dc, pen);
  EXPECT_EQ(old_pen, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  // A selected object is not deleted.
  EXPECT_FALSE(DeleteObject(pen));
  LOGPEN lp;
  ASSERT_EQ(GetObject(GetCurrentObject(dc, OBJ_PEN), sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(SelectObject(dc, old_pen), pen);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));  // a stale handle is refused
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(QmGdiLiveObjectCount(), base);
}

TEST(GdiObjects, BitmapLivesInOneDcAtATime) {
  TestSurface s(4, 4, 32);
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, s.bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(s.bitmap));
  BITMAP bm;
  ASSERT_EQ(GetObject(GetCurrentObject(other, OBJ_BITMAP), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);  // a new memory DC holds a 1 x 1 monochrome bitmap
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteDC(other);
}

TEST(GdiDevice, CompatibleBitmapsFollowTheDcAndTheScreen) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1920);
  BITMAP bm;
  HBITMAP mono = CreateCompatibleBitmap(dc, 10, 10);
  GetObject(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  {
    TestSurface s(4, 4, 16);
    HBITMAP same = CreateCompatibleBitmap(s.dc, 6, 5);
    DIBSECTION ds;
    ASSERT_EQ(GetObject(same, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 16);
    EXPECT_EQ(ds.dsBitfields[1], 0x07E0u);
    DeleteObject(same);
  }
  ASSERT_TRUE(QmGdiSetScreen(800, 600, 16, 120));
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 120);
  HGDIOBJ old = SelectObject(dc, mono);
  HBITMAP screen_bm = CreateCompatibleBitmap(dc, 3, 3);
  GetObject(screen_bm, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 16);
  EXPECT_EQ(bm.bmBits, nullptr);
  EXPECT_FALSE(QmGdiSetScreen(800, 600, 15, 96));
  ASSERT_TRUE(QmGdiSetScreen(1920, 1080, 32, 96));
  SelectObject(dc, old);
  DeleteObject(screen_bm);
  DeleteObject(mono);
  DeleteDC(dc);
}

TEST(GdiLines, StartPixelInEndPixelOut) {
  TestSurface s(8, 4, 32);
  s.clear(RGB(255, 255, 255));
  MoveToEx(s.dc, 0, 1, nullptr);
  LineTo(s.dc, 3, 1);
  MoveToEx(s.dc, 3, 2, nullptr);
  LineTo(s.dc, 0, 2);
  EXPECT_EQ(s.painted(RGB(255, 255, 255)),
            (std::vector<POINT>{{0, 1}, {1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 2}}));
  POINT pos;
  GetCurrentPositionEx(s.dc, &pos);
  EXPECT_EQ(pos, (POINT{0, 2}));
}

TEST(GdiLines, PolylineTouchesEachVertexOnce) {
  TestSurface s(8, 8, 32);
  s.clear(RGB(255, 255, 255));
  SetROP2(s.dc, R2_XORPEN);
  HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(s.dc, pen);
  const POINT square[5] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}, {1, 1}};
  Polyline(s.dc, square, 5);
  // XOR with white turns white to black: a pixel drawn twice would stay white.
  std::vector<POINT> black = s.painted(RGB(255, 255, 255));
  EXPECT_EQ(black.size(), 16u);
  for (const POINT& p : black) EXPECT_TRUE(p.x == 1 || p.x == 5 || p.y == 1 || p.y == 5);
  SelectObject(s.dc, old);
  DeleteObject(pen);
}

TEST(GdiLines, PolylineToStartsAtAndMovesTheCurrentPosition) {
  TestSurface s(8, 3, 24);
  s.clear(RGB(255, 255, 255));
  MoveToEx(s.dc, 0, 1, nullptr);
  const POINT pts[2] = {{3, 1}, {6, 1}};
  EXPECT_TRUE(PolylineTo(s.dc, pts, 2));
  EXPECT_EQ(s.painted(RGB(255, 255, 255)),
            (std::vector<POINT>{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
  POINT pos;
  GetCurrentPositionEx(s.dc, &pos);
  EXPECT_EQ(pos, (POINT{6, 1}));
  EXPECT_FALSE(Polyline(s.dc, pts, 1));
}

TEST(GdiLines, DashStylesAndBackgroundMode) {
  TestSurface s(30, 2, 32);
  s.clear(RGB(0, 0, 255));
  HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(s.dc, pen);
  SetBkColor(s.dc, RGB(255, 0, 0));
  MoveToEx(s.dc, 0, 0, nullptr);
  LineTo(s.dc, 12, 0);
  SetBkMode(s.dc, TRANSPARENT);
  MoveToEx(s.dc, 0, 1, nullptr);
  LineTo(s.dc, 12, 1);
  for (int x = 0; x < 12; ++x) {
    const bool on = (x % 6) < 3;
    EXPECT_EQ(GetPixel(s.dc, x, 0), on ? RGB(0, 0, 0) : RGB(255, 0, 0)) << x;
    EXPECT_EQ(GetPixel(s.dc, x, 1), on ? RGB(0, 0, 0) : RGB(0, 0, 255)) << x;
  }
  SelectObject(s.dc, old);
  DeleteObject(pen);
}

TEST(GdiRop2, EveryModeIsExactAtEveryDepth) {
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    TestSurface s(16, 1, bpp);
    const uint32_t vmask = bpp == 32 ? 0xFFFFFF : (bpp == 24 ? 0xFFFFFF : (1u << bpp) - 1);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xA5, 0x5A, 0x3C));
    HGDIOBJ old = SelectObject(s.dc, pen);
    SetPixel(s.dc, 0, 0, RGB(0xA5, 0x5A, 0x3C));
    const COLORREF pen_rgb = GetPixel(s.dc, 0, 0);
    (void)pen_rgb;
    auto raw_at = [&](int x) -> uint32_t {
      const uint8_t* b = s.bits;
      switch (bpp) {
        case 1: return (b[x >> 3] >> (7 - (x & 7))) & 1;
        case 4: return (x & 1) ? (b[x >> 1] & 0xF) : (b[x >> 1] >> 4);
        case 8: return b[x];
        case 16: return b[2 * x] | (b[2 * x + 1] << 8);
        case 24: return b[3 * x] | (b[3 * x + 1] << 8) | (b[3 * x + 2] << 16);
        default: return (b[4 * x] | (b[4 * x + 1] << 8) | (b[4 * x + 2] << 16)) & 0xFFFFFF;
      }
    };
    const uint32_t P = raw_at(0);
    for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
      SetPixel(s.dc, 1, 0, RGB(0x3C, 0xC3, 0x99));
      const uint32_t D = raw_at(1);
      SetROP2(s.dc, mode);
      MoveToEx(s.dc, 1, 0, nullptr);
      LineTo(s.dc, 2, 0);
      SetROP2(s.dc, R2_COPYPEN);
      const uint32_t t = mode - 1;
      const uint32_t want = ((t & 1 ? ~P & ~D : 0) | (t & 2 ? ~P & D : 0) | (t & 4 ? P & ~D : 0) | (t & 8 ? P & D : 0)) & vmask;
      EXPECT_EQ(raw_at(1), want) << "bpp " << bpp << " mode " << mode;
    }
    SelectObject(s.dc, old);
    DeleteObject(pen);
  }
}

TEST(GdiLines, FarOutsideCoordinatesClipWithoutHanging) {
  TestSurface s(16, 16, 8);
  s.clear(RGB(0, 0, 0));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(s.dc, pen);
  MoveToEx(s.dc, -2000000000, 8, nullptr);
  LineTo(s.dc, 2000000000, 8);
  MoveToEx(s.dc, -2147483647 - 1, -2147483647 - 1, nullptr);
  LineTo(s.dc, 2147483647, 2147483647);
  EXPECT_EQ(GetPixel(s.dc, 0, 8), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(s.dc, 15, 8), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(s.dc, 5, 5), RGB(255, 255, 255));
  SelectObject(s.dc, old);
  DeleteObject(pen);
}
