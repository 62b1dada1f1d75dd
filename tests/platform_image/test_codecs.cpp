#include <gtest/gtest.h>

#include <cstring>

#include "image_fixtures.h"
#include "qm_rand.h"

namespace {

struct FormatCase {
  DWORD type;
  const char* name;
  int tolerance;     // largest channel difference after a round trip
  bool keeps_alpha;  // alpha comes back exactly
};

const FormatCase kFormats[] = {
    {CXIMAGE_FORMAT_BMP, "bmp", 0, false}, {CXIMAGE_FORMAT_GIF, "gif", 0, false},
    {CXIMAGE_FORMAT_JPG, "jpg", 12, false}, {CXIMAGE_FORMAT_PNG, "png", 0, true},
    {CXIMAGE_FORMAT_ICO, "ico", 0, true},   {CXIMAGE_FORMAT_TIF, "tif", 0, true},
    {CXIMAGE_FORMAT_WMF, "wmf", 0, false},
};

class EachFormat : public testing::TestWithParam<FormatCase> {};

std::string format_name(const testing::TestParamInfo<FormatCase>& info) { return info.param.name; }

}  // namespace

TEST_P(EachFormat, RoundTripThroughMemory) {
  const FormatCase& f = GetParam();
  // Odd sizes exercise row padding; GIF gets a picture of few colours, JPEG
  // a smooth one.
  CxImage src = f.tolerance ? smooth_picture(37, 23) : test_picture(37, 23, false, f.type == CXIMAGE_FORMAT_GIF);
  std::vector<BYTE> data = encoded(src, f.type);
  CxImage back(data.data(), static_cast<DWORD>(data.size()), f.type);
  ASSERT_TRUE(back.IsValid());
  EXPECT_EQ(back.GetWidth(), 37u);
  EXPECT_EQ(back.GetHeight(), 23u);
  EXPECT_LE(max_channel_difference(src, back), f.tolerance);
  if (f.tolerance == 0) {
    EXPECT_EQ(back.GetPixelColor(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(back.GetPixelColor(36, 0), RGB(0, 255, 0));
    EXPECT_EQ(back.GetPixelColor(0, 22), RGB(0, 0, 255));
  }
}

TEST_P(EachFormat, EveryTruncationFails) {
  const FormatCase& f = GetParam();
  CxImage src = test_picture(13, 7, f.keeps_alpha, f.type == CXIMAGE_FORMAT_GIF);
  std::vector<BYTE> data = encoded(src, f.type);
  // A GIF's one-byte trailer carries nothing the picture needs.
  size_t last = f.type == CXIMAGE_FORMAT_GIF ? data.size() - 1 : data.size();
  for (size_t n = 0; n < last; ++n) {
    std::vector<BYTE> cut(data.begin(), data.begin() + static_cast<long>(n));
    CxImage img(cut.data(), static_cast<DWORD>(n), f.type);
    ASSERT_FALSE(img.IsValid()) << n << " of " << data.size() << " bytes";
    ASSERT_EQ(img.GetWidth(), 0u);
  }
}

TEST_P(EachFormat, CorruptedBytesNeverCrash) {
  const FormatCase& f = GetParam();
  CxImage src = test_picture(16, 12, f.keeps_alpha, f.type == CXIMAGE_FORMAT_GIF);
  const std::vector<BYTE> data = encoded(src, f.type);
  QmRand rand(7);
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<BYTE> bad = data;
    int changes = 1 + rand.next() % 4;
    for (int i = 0; i < changes; ++i)
      bad[static_cast<size_t>(rand.next()) % bad.size()] = static_cast<BYTE>(rand.next());
    CxImage img(bad.data(), static_cast<DWORD>(bad.size()), f.type);
    if (img.IsValid()) {
      ASSERT_GT(img.GetWidth() * img.GetHeight(), 0u);
      ASSERT_LE(uint64_t(img.GetWidth()) * img.GetHeight(), QmRaster::kMaxPixels);
    } else {
      ASSERT_EQ(img.GetHeight(), 0u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Image, EachFormat, testing::ValuesIn(kFormats), format_name);

TEST(ImageFormats, OtherFormatsAndMismatchesFail) {
  CxImage src = test_picture(8, 8);
  std::vector<BYTE> png = encoded(src, CXIMAGE_FORMAT_PNG);
  BYTE* buffer = reinterpret_cast<BYTE*>(1);
  long size = 5;
  for (DWORD type : {0u, 7u, 11u, 14u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(src.Encode(buffer, size, type)) << type;
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, 0);
    CxImage img(png.data(), static_cast<DWORD>(png.size()), type);
    EXPECT_FALSE(img.IsValid()) << type;
  }
  // PNG bytes are not a JPEG, a BMP, a GIF, an icon, a TIFF or a metafile.
  for (DWORD type : {1u, 2u, 3u, 5u, 6u, 10u}) {
    CxImage img(png.data(), static_cast<DWORD>(png.size()), type);
    EXPECT_FALSE(img.IsValid()) << type;
  }
  CxImage empty;
  EXPECT_FALSE(empty.Encode(buffer, size, CXIMAGE_FORMAT_PNG));
  CxImage none(nullptr, 100, CXIMAGE_FORMAT_PNG);
  EXPECT_FALSE(none.IsValid());
  // A failed decode empties an image that held a picture.
  EXPECT_FALSE(src.Decode(png.data(), 10, CXIMAGE_FORMAT_PNG));
  EXPECT_EQ(src.GetWidth(), 0u);
}

TEST(ImageFormats, AlphaRoundTrip) {
  CxImage src = test_picture(20, 9, true);
  for (DWORD type : {CXIMAGE_FORMAT_PNG, CXIMAGE_FORMAT_ICO, CXIMAGE_FORMAT_TIF}) {
    std::vector<BYTE> data = encoded(src, type);
    CxImage back(data.data(), static_cast<DWORD>(data.size()), type);
    ASSERT_TRUE(back.AlphaIsValid()) << type;
    for (long y = 0; y < 9; ++y)
      for (long x = 0; x < 20; ++x) ASSERT_EQ(back.AlphaGet(x, y), src.AlphaGet(x, y)) << type << " " << x << "," << y;
    EXPECT_EQ(max_channel_difference(src, back), 0) << type;
  }
}

TEST(ImageFormats, GifOfManyColoursUsesTheFixedPalette) {
  CxImage src = test_picture(40, 30);
  std::vector<BYTE> data = encoded(src, CXIMAGE_FORMAT_GIF);
  CxImage back(data.data(), static_cast<DWORD>(data.size()), CXIMAGE_FORMAT_GIF);
  ASSERT_TRUE(back.IsValid());
  EXPECT_LE(max_channel_difference(src, back), 26);
  EXPECT_EQ(back.GetPixelColor(0, 0), RGB(255, 0, 0));
}

TEST(ImageFormats, GifTransparencyBecomesAlpha) {
  CxImage src = test_picture(10, 6, true, true);
  std::vector<BYTE> data = encoded(src, CXIMAGE_FORMAT_GIF);
  CxImage back(data.data(), static_cast<DWORD>(data.size()), CXIMAGE_FORMAT_GIF);
  ASSERT_TRUE(back.AlphaIsValid());
  for (long y = 0; y < 6; ++y)
    for (long x = 0; x < 10; ++x) {
      bool clear = src.AlphaGet(x, y) < 128;
      ASSERT_EQ(back.AlphaGet(x, y), clear ? 0 : 255);
      if (!clear) {
        ASSERT_EQ(back.GetPixelColor(x, y), src.GetPixelColor(x, y));
      }
    }
}

TEST(ImageFormats, IconsLargerThan256Fail) {
  CxImage big = test_picture(257, 2);
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_FALSE(big.Encode(buffer, size, CXIMAGE_FORMAT_ICO));
  CxImage full = test_picture(256, 256);
  std::vector<BYTE> data = encoded(full, CXIMAGE_FORMAT_ICO);
  CxImage back(data.data(), static_cast<DWORD>(data.size()), CXIMAGE_FORMAT_ICO);
  EXPECT_EQ(back.GetWidth(), 256u);
  EXPECT_EQ(max_channel_difference(full, back), 0);
}
