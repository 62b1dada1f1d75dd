// The image on the software GDI: reading bitmaps and painting onto DCs.
#include <gtest/gtest.h>
#include <wingdi.h>

#include "image_fixtures.h"
#include "tests/platform_gdi/gdi_fixture.h"

namespace {

// A 2 x 2 picture: red, green / blue, white.
CxImage four_colours() {
  CxImage img;
  img.Create(2, 2);
  img.SetPixelColor(0, 0, RGB(255, 0, 0));
  img.SetPixelColor(1, 0, RGB(0, 255, 0));
  img.SetPixelColor(0, 1, RGB(0, 0, 255));
  img.SetPixelColor(1, 1, RGB(255, 255, 255));
  return img;
}

}  // namespace

TEST(ImageGdi, CreateFromBitmapsOfEveryDepth) {
  const int live = QmGdiLiveObjectCount();
  for (int depth : {1, 4, 8, 16, 24, 32}) {
    for (int height : {5, -5}) {
      TestSurface s(7, height, depth);
      s.clear(RGB(0, 0, 0));
      SetPixel(s.dc, 6, 0, RGB(255, 255, 255));
      SetPixel(s.dc, 0, 4, RGB(255, 255, 255));
      CxImage img;
      ASSERT_TRUE(img.CreateFromHBITMAP(s.bitmap)) << depth;
      ASSERT_EQ(img.GetWidth(), 7u);
      ASSERT_EQ(img.GetHeight(), 5u);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(img.GetPixelColor(x, y), GetPixel(s.dc, x, y)) << depth << " " << x << "," << y;
      EXPECT_EQ(img.GetPixelColor(6, 0), RGB(255, 255, 255));
    }
  }
  CxImage img;
  EXPECT_FALSE(img.CreateFromHBITMAP(nullptr));
  EXPECT_EQ(QmGdiLiveObjectCount(), live);
}

TEST(ImageGdi, ExportedBitmapSavesAndLoadsBack) {
  TestSurface s(30, 20, 24);
  s.clear(RGB(10, 20, 30));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r = {5, 4, 12, 9};
  FillRect(s.dc, &r, red);
  DeleteObject(red);
  CxImage img;
  ASSERT_TRUE(img.CreateFromHBITMAP(s.bitmap));
  std::vector<BYTE> png = encoded(img, CXIMAGE_FORMAT_PNG);
  CxImage back(png.data(), static_cast<DWORD>(png.size()), CXIMAGE_FORMAT_PNG);
  EXPECT_EQ(back.GetPixelColor(5, 4), RGB(255, 0, 0));
  EXPECT_EQ(back.GetPixelColor(11, 8), RGB(255, 0, 0));
  EXPECT_EQ(back.GetPixelColor(12, 8), RGB(10, 20, 30));
}

TEST(ImageGdi, DrawStretchesIntoTheBox) {
  CxImage img = four_colours();
  TestSurface s(20, 10, 32);
  s.clear(RGB(0, 0, 0));
  ASSERT_EQ(img.Draw(s.dc, 4, 2, 8, 6), 1);
  EXPECT_EQ(GetPixel(s.dc, 4, 2), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc, 7, 4), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc, 8, 4), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(s.dc, 4, 5), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(s.dc, 11, 7), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(s.dc, 12, 7), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(s.dc, 4, 8), RGB(0, 0, 0));
  EXPECT_EQ(s.painted(RGB(0, 0, 0)).size(), 48u);

  // A clip rectangle covering the box paints the same pixels; a smaller one
  // paints only inside it.
  TestSurface t(20, 10, 32);
  t.clear(RGB(0, 0, 0));
  RECT all = {0, 0, 20, 10};
  ASSERT_EQ(img.Draw(t.dc, 4, 2, 8, 6, &all), 1);
  EXPECT_EQ(s.snapshot(), t.snapshot());
  t.clear(RGB(0, 0, 0));
  RECT part = {6, 3, 9, 20};
  ASSERT_EQ(img.Draw(t.dc, 4, 2, 8, 6, &part), 1);
  EXPECT_EQ(t.painted(RGB(0, 0, 0)).size(), 15u);
  EXPECT_EQ(GetPixel(t.dc, 8, 3), RGB(0, 255, 0));

  // The natural size, boxes partly or wholly off the surface, bad arguments.
  t.clear(RGB(0, 0, 0));
  ASSERT_EQ(img.Draw(t.dc, 19, 9), 1);
  EXPECT_EQ(GetPixel(t.dc, 19, 9), RGB(255, 0, 0));
  EXPECT_EQ(img.Draw(t.dc, -1000000, -5, 2000000, 30, &all), 1);
  EXPECT_EQ(img.Draw(t.dc, 50, 50, 4, 4, &all), 1);
  EXPECT_EQ(img.Draw(nullptr, 0, 0, 4, 4), 0);
  EXPECT_EQ(CxImage().Draw(t.dc, 0, 0, 4, 4), 0);
  // Every temporary object is gone (the two surfaces hold two each).
  EXPECT_EQ(QmGdiLiveObjectCount(), 4);
}

TEST(ImageGdi, DrawPaintsTheSamePixelsAtEveryDepthAndRowOrder) {
  // Partly off the surface, stretched on one axis and shrunk on the other.
  CxImage img = four_colours();
  TestSurface reference(12, 8, 24);
  reference.clear(RGB(0, 0, 0));
  ASSERT_EQ(img.Draw(reference.dc, -1, 3, 9, 1), 1);
  ASSERT_EQ(img.Draw(reference.dc, 6, 2, 7, 8), 1);
  for (int depth : {16, 24, 32}) {
    for (int height : {8, -8}) {
      TestSurface s(12, height, depth);
      s.clear(RGB(0, 0, 0));
      ASSERT_EQ(img.Draw(s.dc, -1, 3, 9, 1), 1);
      ASSERT_EQ(img.Draw(s.dc, 6, 2, 7, 8), 1);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
          ASSERT_EQ(GetPixel(s.dc, x, y), GetPixel(reference.dc, x, y)) << depth << " " << height << " " << x << "," << y;
    }
  }
  EXPECT_EQ(GetPixel(reference.dc, 3, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(reference.dc, 10, 2), RGB(0, 255, 0));
}

TEST(ImageGdi, AlphaBlendsOverTheSurface) {
  CxImage img = four_colours();
  img.AlphaSet(0, 0, 128);
  img.AlphaSet(1, 0, 0);
  TestSurface s(2, 2, 24);
  s.clear(RGB(0, 0, 100));
  ASSERT_EQ(img.Draw(s.dc, 0, 0), 1);
  EXPECT_EQ(GetPixel(s.dc, 0, 0), RGB(128, 0, 50));
  EXPECT_EQ(GetPixel(s.dc, 1, 0), RGB(0, 0, 100));
  EXPECT_EQ(GetPixel(s.dc, 0, 1), RGB(0, 0, 255));
  // Stretch ignores alpha.
  ASSERT_EQ(img.Stretch(s.dc, 0, 0, 2, 2), 1);
  EXPECT_EQ(GetPixel(s.dc, 1, 0), RGB(0, 255, 0));
}
