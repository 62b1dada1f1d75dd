#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "image_fixtures.h"
#include "xmemfile.h"

TEST(ImageOps, CopiesAreIndependent) {
  CxImage src = test_picture(6, 4, true);
  CxImage copy(src, true, true, true);
  copy.SetPixelColor(1, 1, RGB(9, 9, 9));
  copy.AlphaSet(1, 1, 5);
  EXPECT_NE(src.GetPixelColor(1, 1), RGB(9, 9, 9));
  EXPECT_NE(src.AlphaGet(1, 1), 5);
  EXPECT_EQ(max_channel_difference(src, CxImage(src)), 0);
  CxImage no_alpha(src, true, true, false);
  EXPECT_FALSE(no_alpha.AlphaIsValid());
  CxImage no_pixels(src, false);
  EXPECT_EQ(no_pixels.GetWidth(), 6u);
  EXPECT_EQ(no_pixels.GetPixelColor(0, 0), 0u);
  CxImage assigned;
  assigned = src;
  EXPECT_EQ(max_channel_difference(src, assigned), 0);
}

TEST(ImageOps, CropClampsAndSwapsCorners) {
  CxImage src = test_picture(10, 8);
  CxImage part;
  ASSERT_TRUE(src.Crop(2, 3, 7, 5, &part));
  EXPECT_EQ(part.GetWidth(), 5u);
  EXPECT_EQ(part.GetHeight(), 2u);
  EXPECT_EQ(part.GetPixelColor(0, 0), src.GetPixelColor(2, 3));
  EXPECT_EQ(part.GetPixelColor(4, 1), src.GetPixelColor(6, 4));
  EXPECT_EQ(src.GetWidth(), 10u);  // unchanged with a destination
  CxImage swapped;
  ASSERT_TRUE(src.Crop(7, 5, 2, 3, &swapped));
  EXPECT_EQ(max_channel_difference(part, swapped), 0);
  // Clamped to the picture, in place.
  CxImage edge(src);
  ASSERT_TRUE(edge.Crop(-5, 6, 100, 100));
  EXPECT_EQ(edge.GetWidth(), 10u);
  EXPECT_EQ(edge.GetHeight(), 2u);
  EXPECT_EQ(edge.GetPixelColor(0, 1), RGB(0, 0, 255));
  EXPECT_FALSE(src.Crop(3, 3, 3, 6));
  EXPECT_FALSE(src.Crop(20, 0, 30, 5));
  EXPECT_FALSE(CxImage().Crop(0, 0, 1, 1));
}

TEST(ImageOps, RotateByRightAnglesIsExact) {
  CxImage src = test_picture(5, 3);  // red top-left, green top-right, blue bottom-left
  CxImage left, half, right, minus;
  ASSERT_TRUE(src.Rotate(90, &left));
  ASSERT_EQ(left.GetWidth(), 3u);
  ASSERT_EQ(left.GetHeight(), 5u);
  EXPECT_EQ(left.GetPixelColor(0, 0), RGB(0, 255, 0));   // top-right goes to top-left
  EXPECT_EQ(left.GetPixelColor(0, 4), RGB(255, 0, 0));   // top-left goes to bottom-left
  EXPECT_EQ(left.GetPixelColor(2, 4), RGB(0, 0, 255));   // bottom-left goes to bottom-right
  ASSERT_TRUE(src.Rotate(180, &half));
  EXPECT_EQ(half.GetPixelColor(4, 2), RGB(255, 0, 0));
  ASSERT_TRUE(src.Rotate(270, &right));
  ASSERT_TRUE(src.Rotate(-90, &minus));
  EXPECT_EQ(max_channel_difference(right, minus), 0);
  EXPECT_EQ(right.GetPixelColor(2, 0), RGB(255, 0, 0));  // top-left goes to top-right
  // Four quarter turns give the picture back.
  CxImage turned(src);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(turned.Rotate(90));
  EXPECT_EQ(max_channel_difference(src, turned), 0);
  CxImage same(src);
  ASSERT_TRUE(same.Rotate(720));
  EXPECT_EQ(max_channel_difference(src, same), 0);
}

TEST(ImageOps, RotateByOtherAnglesGrowsToTheBoundingBox) {
  CxImage src;
  src.Create(40, 20);
  for (long y = 0; y < 20; ++y)
    for (long x = 0; x < 40; ++x) src.SetPixelColor(x, y, RGB(200, 10, 10));
  ASSERT_TRUE(src.Rotate(30));
  const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  EXPECT_EQ(src.GetWidth(), static_cast<DWORD>(std::floor(40 * c + 20 * s + 0.5)));
  EXPECT_EQ(src.GetHeight(), static_cast<DWORD>(std::floor(40 * s + 20 * c + 0.5)));
  EXPECT_EQ(src.GetPixelColor(src.GetWidth() / 2, src.GetHeight() / 2), RGB(200, 10, 10));
  EXPECT_EQ(src.GetPixelColor(0, 0), RGB(255, 255, 255));
  EXPECT_FALSE(CxImage().Rotate(30));
  EXPECT_FALSE(src.Rotate(NAN));
}

TEST(ImageOps, SaveAndLoadWithWindowsStyleNames) {
  char tmpl[] = "/tmp/qm_image_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  ASSERT_EQ(mkdir((dir + "/Pictures").c_str(), 0755), 0);
  CxImage src = test_picture(12, 10);
  ASSERT_TRUE(src.Save((dir + "\\pictures\\Out.PNG").c_str(), CXIMAGE_FORMAT_PNG));
  struct stat st;
  EXPECT_EQ(stat((dir + "/Pictures/Out.PNG").c_str(), &st), 0);
  CxImage back((dir + "\\PICTURES\\out.png").c_str(), CXIMAGE_FORMAT_PNG);
  EXPECT_EQ(max_channel_difference(src, back), 0);
  EXPECT_EQ(back.GetType(), static_cast<DWORD>(CXIMAGE_FORMAT_PNG));
  // A file that is not of the type asked for, a missing file, a missing folder.
  CxImage wrong;
  EXPECT_FALSE(wrong.Load((dir + "/Pictures/Out.PNG").c_str(), CXIMAGE_FORMAT_JPG));
  EXPECT_EQ(wrong.GetWidth(), 0u);
  EXPECT_FALSE(wrong.Load((dir + "/none.png").c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_FALSE(src.Save((dir + "/no/such/folder.png").c_str(), CXIMAGE_FORMAT_PNG));
  // An unsupported type writes nothing.
  EXPECT_FALSE(src.Save((dir + "/x.tga").c_str(), 7));
  EXPECT_NE(stat((dir + "/x.tga").c_str(), &st), 0);
  ASSERT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

TEST(MemFile, StreamsOwnedAndBorrowedBuffers) {
  CxMemFile f;
  ASSERT_TRUE(f.Open());
  EXPECT_FALSE(f.Open());
  EXPECT_EQ(f.Write("abc", 1, 3), 3u);
  ASSERT_TRUE(f.Seek(6, SEEK_SET));
  EXPECT_EQ(f.Write("z", 1, 1), 1u);  // the gap reads as zeros
  EXPECT_EQ(f.Size(), 7);
  ASSERT_TRUE(f.Seek(-5, SEEK_END));
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 1, 8), 5u);
  EXPECT_EQ(std::string(buf, 5), std::string("c\0\0\0z", 5));
  EXPECT_TRUE(f.Eof());
  EXPECT_EQ(f.GetC(), -1);
  EXPECT_FALSE(f.Seek(-1, SEEK_SET));
  BYTE* data = f.GetBuffer(true);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data[0], 'a');
  free(data);
  EXPECT_EQ(f.Size(), 0);

  // A caller's buffer is never grown.
  BYTE fixed[4] = {1, 2, 3, 4};
  CxMemFile b(fixed, 4);
  EXPECT_EQ(b.GetC(), 1);
  EXPECT_EQ(b.Write("xyz", 1, 3), 3u);
  EXPECT_EQ(b.Write("w", 1, 1), 0u);
  ASSERT_TRUE(b.Seek(10, SEEK_SET));
  EXPECT_EQ(b.Write("w", 1, 1), 0u);
  EXPECT_EQ(fixed[3], 'z');
  EXPECT_EQ(b.GetBuffer(true), fixed);

  // Encoding into a stream and decoding from it.
  CxImage src = test_picture(9, 5);
  CxMemFile io;
  io.Open();
  ASSERT_TRUE(src.Encode(&io, CXIMAGE_FORMAT_TIF));
  io.Seek(0, SEEK_SET);
  CxImage back;
  ASSERT_TRUE(back.Decode(&io, CXIMAGE_FORMAT_TIF));
  EXPECT_EQ(max_channel_difference(src, back), 0);
}
