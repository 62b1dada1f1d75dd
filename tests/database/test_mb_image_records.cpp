// The image entity's record: exact bytes, round trips through JPEG, and
// damaged records.
#include <gtest/gtest.h>
#include <ximage.h>

#include <cstdlib>

#include "database/entities/mb_image.h"
#include "database/mb_drawing.h"
#include "kzf_file_support.h"

using namespace kzf_file_test;

namespace {

// Left half red, right half blue.
CxImage* two_colour_raster(int w, int h) {
  CxImage* raster = new CxImage;
  raster->Create(w, h, 24);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) raster->SetPixelColor(x, y, x < w / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
  return raster;
}

Bytes image_record(uint32_t count, const Bytes& bytes) {
  Bytes b = {'G', 0, 0, 0, 0};
  append_double(b, 5.0);
  append_double(b, 5.0);
  append_long(b, count);
  b.insert(b.end(), bytes.begin(), bytes.end());
  return b;
}

}  // namespace

TEST(ImageRecord, RasterIsStoredAsACountedJpegAfterTheFixedFields) {
  MB_Drawing d;
  MB_Image* empty = new MB_Image;
  empty->center(As_Pt(5, 5, 0));
  d.object_list().add_tail(empty);
  Bytes body;
  ASSERT_TRUE(payload(save(d), body));
  EXPECT_EQ(body, image_record(0, {}));

  empty->image(two_colour_raster(16, 8));
  ASSERT_TRUE(payload(save(d), body));
  const Bytes head = image_record(0, {});
  ASSERT_GT(body.size(), head.size() + 4);
  EXPECT_EQ(Bytes(body.begin(), body.begin() + 21), Bytes(head.begin(), head.begin() + 21));
  uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= uint32_t(body[21 + i]) << (8 * i);
  EXPECT_EQ(n, body.size() - head.size());
  EXPECT_EQ(body[25], 0xFF);
  EXPECT_EQ(body[26], 0xD8);
  EXPECT_EQ(body[body.size() - 2], 0xFF);
  EXPECT_EQ(body.back(), 0xD9);
}

TEST(ImageRecord, RoundTripIsOneUnitPerPixel) {
  MB_Drawing d;
  // Halves of one 16-pixel coding block each, so the colours do not bleed.
  MB_Image* image = new MB_Image(two_colour_raster(32, 16));
  image->center(As_Pt(5, 5, 0));
  image->width(100);
  image->height(30);
  image->angle(0.5);
  image->alpha(300);
  d.object_list().add_tail(image);
  d.object_list().add_tail(new MB_Image);  // no raster

  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  auto images = objects_of<MB_Image>(back.object_list());
  ASSERT_EQ(images.size(), 2u);
  const MB_Image& read = *images[0];
  ASSERT_NE(read.image(), nullptr);
  EXPECT_EQ(read.width(), 32);
  EXPECT_EQ(read.height(), 16);
  EXPECT_EQ(read.get_int(MB_PROP_PIXEL_WIDTH), 32);
  EXPECT_EQ(read.get_int(MB_PROP_PIXEL_HEIGHT), 16);
  EXPECT_EQ(read.center().x(), 5);
  EXPECT_EQ(read.center().y(), 5);
  EXPECT_EQ(read.angle(), 0);
  EXPECT_EQ(read.alpha(), 0);
  // Flat colour blocks survive the lossy encoding closely.
  long error = 0;
  for (long y = 0; y < 16; ++y)
    for (long x = 0; x < 32; ++x) {
      const COLORREF want = image->image()->GetPixelColor(x, y), got = read.image()->GetPixelColor(x, y);
      error += std::abs(int(GetRValue(want)) - int(GetRValue(got))) +
               std::abs(int(GetBValue(want)) - int(GetBValue(got)));
    }
  EXPECT_LT(error / (32 * 16 * 2), 8);

  EXPECT_EQ(images[1]->image(), nullptr);
  EXPECT_EQ(images[1]->width(), 0);
}

TEST(ImageRecord, BadCountsFailTheLoadAndNonJpegBytesLoadAsAnEmptyImage) {
  const struct {
    const char* what;
    Bytes body;
    bool loads;
  } cases[] = {
      {"negative count", image_record(0xFFFFFFFF, {}), false},
      {"count past the data", image_record(100, {0xFF, 0xD8, 0xFF}), false},
      {"huge count", image_record(0x7FFFFFFF, {}), false},
      {"bytes that are no JPEG", image_record(4, {'a', 'b', 'c', 'd'}), true},
  };
  for (const auto& c : cases) {
    MB_Drawing d;
    EXPECT_EQ(load(uncompressed_file(c.body), d), c.loads) << c.what;
    auto images = objects_of<MB_Image>(d.object_list());
    if (!c.loads) {
      EXPECT_TRUE(images.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(images.size(), 1u) << c.what;
    EXPECT_EQ(images[0]->image(), nullptr);
    EXPECT_EQ(images[0]->width(), 0);
    EXPECT_EQ(images[0]->center().x(), 5);
  }
}
