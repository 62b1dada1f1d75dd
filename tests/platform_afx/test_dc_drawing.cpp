// The device-context wrapper's drag-tracker brush and its text and edge
// drawing, on a memory DC of the software GDI.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class CdcDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    CClientDC screen(nullptr);
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 40, 30));
    old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 40, 30, RGB(255, 255, 255));
  }
  void TearDown() override { dc.SelectObject(old); }
  std::vector<COLORREF> pixels() {
    std::vector<COLORREF> p;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) p.push_back(::GetPixel(dc, x, y));
    return p;
  }
  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
};

TEST_F(CdcDrawing, HalftoneInvertDrawsACheckerAndASecondPassErasesIt) {
  CBrush* tone = CDC::GetHalftoneBrush();
  ASSERT_NE(tone, nullptr);
  ASSERT_NE(tone->GetSafeHandle(), nullptr);
  EXPECT_EQ(CDC::GetHalftoneBrush(), tone) << "one brush for the process";
  dc.FillSolidRect(0, 0, 20, 30, RGB(0, 0, 0));  // left half black, right half white
  const std::vector<COLORREF> before = pixels();
  CBrush* prev = dc.SelectObject(tone);
  ASSERT_TRUE(dc.PatBlt(0, 0, 40, 30, PATINVERT));
  // Neighbours always differ; over black and white the checker is inverse.
  for (int y = 0; y < 30; ++y)
    for (int x = 1; x < 40; ++x) {
      if (x == 20) continue;
      ASSERT_NE(::GetPixel(dc, x, y), ::GetPixel(dc, x - 1, y)) << x << "," << y;
    }
  EXPECT_NE(::GetPixel(dc, 3, 3), ::GetPixel(dc, 23, 3));
  ASSERT_TRUE(dc.PatBlt(0, 0, 40, 30, PATINVERT));
  EXPECT_EQ(pixels(), before);
  dc.SelectObject(prev);
}

TEST_F(CdcDrawing, WrappersDrawAsTheWindowSystemDoes) {
  CRect edge(2, 2, 12, 12);
  ASSERT_TRUE(dc.DrawEdge(&edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST));
  EXPECT_EQ(edge, CRect(4, 4, 10, 10));
  EXPECT_EQ(::GetPixel(dc, 2, 2), ::GetSysColor(COLOR_BTNSHADOW));
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(80, "Arial"));
  CFont* prev = dc.SelectObject(&font);
  CRect r(0, 0, 0, 0);
  const CString text("Abc");
  const int h = dc.DrawText(text, &r, DT_CALCRECT | DT_SINGLELINE);
  SIZE s;
  ASSERT_TRUE(dc.GetTextExtent(text, text.GetLength(), &s));
  EXPECT_EQ(h, s.cy);
  EXPECT_EQ(r.Width(), s.cx);
  dc.SelectObject(prev);
}

}  // namespace
