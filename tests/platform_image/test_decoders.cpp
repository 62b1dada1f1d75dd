// Files our encoders never write: other BMP layouts, PNG colour types, and
// headers that claim enormous pictures.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>

#include "image_fixtures.h"
#include "qm_rand.h"

namespace {

void put16(std::vector<BYTE>* v, uint32_t x) {
  v->push_back(static_cast<BYTE>(x));
  v->push_back(static_cast<BYTE>(x >> 8));
}
void put32(std::vector<BYTE>* v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

// A BMP file: 40-byte header, masks, palette (0xRRGGBB), pixel bytes.
std::vector<BYTE> bmp(int32_t w, int32_t h, uint16_t bpp, uint32_t compression, const std::vector<uint32_t>& palette,
                      const std::vector<BYTE>& bits, const std::vector<uint32_t>& masks = {}) {
  uint32_t offset = static_cast<uint32_t>(14 + 40 + masks.size() * 4 + palette.size() * 4);
  std::vector<BYTE> f = {'B', 'M'};
  put32(&f, static_cast<uint32_t>(offset + bits.size()));
  put32(&f, 0);
  put32(&f, offset);
  put32(&f, 40);
  put32(&f, static_cast<uint32_t>(w));
  put32(&f, static_cast<uint32_t>(h));
  put16(&f, 1);
  put16(&f, bpp);
  put32(&f, compression);
  put32(&f, static_cast<uint32_t>(bits.size()));
  put32(&f, 0);
  put32(&f, 0);
  put32(&f, static_cast<uint32_t>(palette.size()));
  put32(&f, 0);
  for (uint32_t m : masks) put32(&f, m);
  for (uint32_t c : palette) put32(&f, c);  // B G R 0 in the file
  f.insert(f.end(), bits.begin(), bits.end());
  return f;
}

CxImage decode(std::vector<BYTE> data, DWORD type) {
  return CxImage(data.data(), static_cast<DWORD>(data.size()), type);
}

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

}  // namespace

TEST(BmpDecoder, PaletteRleAndBitFieldLayouts) {
  // 1 bit, 3 x 2, bottom row first: bottom 1 0 1, top 0 1 0.
  CxImage one = decode(bmp(3, 2, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}), CXIMAGE_FORMAT_BMP);
  ASSERT_TRUE(one.IsValid());
  EXPECT_EQ(one.GetPixelColor(0, 1), kWhite);
  EXPECT_EQ(one.GetPixelColor(1, 1), 0u);
  EXPECT_EQ(one.GetPixelColor(1, 0), kWhite);
  EXPECT_EQ(one.GetPixelColor(0, 0), 0u);

  // RLE8, 4 x 2: bottom row a run of green; top row red, green, blue as an
  // absolute run, then a run of one white.
  const std::vector<uint32_t> pal = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  CxImage rle = decode(bmp(4, 2, 8, 1, pal, {4, 1, 0, 0, 0, 3, 0, 1, 2, 0, 1, 3, 0, 1}), CXIMAGE_FORMAT_BMP);
  ASSERT_TRUE(rle.IsValid());
  EXPECT_EQ(rle.GetPixelColor(0, 0), kRed);
  EXPECT_EQ(rle.GetPixelColor(2, 0), kBlue);
  EXPECT_EQ(rle.GetPixelColor(3, 0), kWhite);
  EXPECT_EQ(rle.GetPixelColor(3, 1), kGreen);
  // RLE4: a run of 3 alternating indices 1 and 2, end of bitmap.
  CxImage rle4 = decode(bmp(3, 1, 4, 2, pal, {3, 0x12, 0, 1}), CXIMAGE_FORMAT_BMP);
  EXPECT_EQ(rle4.GetPixelColor(0, 0), kGreen);
  EXPECT_EQ(rle4.GetPixelColor(1, 0), kBlue);
  EXPECT_EQ(rle4.GetPixelColor(2, 0), kGreen);
  // RLE data that ends before the picture does.
  EXPECT_FALSE(decode(bmp(4, 2, 8, 1, pal, {4, 1, 0, 0}), CXIMAGE_FORMAT_BMP).IsValid());

  // 16 bits 5-5-5, and 5-6-5 bit fields.
  CxImage rgb555 = decode(bmp(2, 1, 16, 0, {}, {0x00, 0x7C, 0xE0, 0x03}), CXIMAGE_FORMAT_BMP);
  EXPECT_EQ(rgb555.GetPixelColor(0, 0), kRed);
  EXPECT_EQ(rgb555.GetPixelColor(1, 0), kGreen);
  CxImage rgb565 = decode(bmp(1, 1, 16, 3, {}, {0xE0, 0x07, 0, 0}, {0xF800, 0x07E0, 0x001F}), CXIMAGE_FORMAT_BMP);
  EXPECT_EQ(rgb565.GetPixelColor(0, 0), kGreen);

  // 24 bits top-down (negative height): the first row is the top.
  CxImage down = decode(bmp(1, -2, 24, 0, {}, {0, 0, 255, 0, 0, 255, 0, 0}), CXIMAGE_FORMAT_BMP);
  EXPECT_EQ(down.GetPixelColor(0, 0), kRed);
  EXPECT_EQ(down.GetPixelColor(0, 1), kGreen);

  // An index beyond the palette reads as black.
  CxImage beyond = decode(bmp(1, 1, 8, 0, {0xFFFFFF}, {5, 0, 0, 0}), CXIMAGE_FORMAT_BMP);
  ASSERT_TRUE(beyond.IsValid());
  EXPECT_EQ(beyond.GetPixelColor(0, 0), 0u);
}

TEST(BmpDecoder, InconsistentHeadersFail) {
  // Pixel data offset beyond the file, unsupported depth, zero and huge sizes.
  std::vector<BYTE> f = bmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
  f[10] = 0xFF;
  EXPECT_FALSE(decode(f, CXIMAGE_FORMAT_BMP).IsValid());
  EXPECT_FALSE(decode(bmp(1, 1, 7, 0, {}, {0, 0, 0, 0}), CXIMAGE_FORMAT_BMP).IsValid());
  EXPECT_FALSE(decode(bmp(0, 1, 24, 0, {}, {}), CXIMAGE_FORMAT_BMP).IsValid());
  EXPECT_FALSE(decode(bmp(100000, 100000, 24, 0, {}, {0, 0, 0, 0}), CXIMAGE_FORMAT_BMP).IsValid());
  EXPECT_FALSE(decode(bmp(8000, 8000, 24, 0, {}, {0, 0, 0, 0}), CXIMAGE_FORMAT_BMP).IsValid());
  EXPECT_FALSE(decode(bmp(4, 1, 8, 0, std::vector<uint32_t>(70000, 0), {0, 0, 0, 0}), CXIMAGE_FORMAT_BMP).IsValid());
}

namespace {

struct PngSink {
  std::vector<BYTE> bytes;
};

void sink_write(png_structp png, png_bytep data, size_t n) {
  auto* s = static_cast<PngSink*>(png_get_io_ptr(png));
  s->bytes.insert(s->bytes.end(), data, data + n);
}
void sink_flush(png_structp) {}

// A PNG of the given layout from rows of raw samples.
std::vector<BYTE> png_file(uint32_t w, uint32_t h, int colour_type, int depth, int interlace,
                           const std::vector<std::vector<BYTE>>& rows, const std::vector<png_color>& palette = {},
                           const std::vector<BYTE>& trns = {}) {
  PngSink sink;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &sink, sink_write, sink_flush);
  png_set_IHDR(png, info, w, h, depth, colour_type, interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!trns.empty()) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
  png_write_info(png, info);
  std::vector<png_bytep> pointers;
  for (auto& r : rows) pointers.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return sink.bytes;
}

}  // namespace

TEST(PngDecoder, PaletteGreyAndInterlacedFiles) {
  // 2-bit palette, 3 x 1: red, green (transparent), blue.
  CxImage pal = decode(png_file(3, 1, PNG_COLOR_TYPE_PALETTE, 2, PNG_INTERLACE_NONE, {{0x18}},
                                {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, {255, 0}),
                       CXIMAGE_FORMAT_PNG);
  ASSERT_TRUE(pal.IsValid());
  EXPECT_EQ(pal.GetPixelColor(0, 0), kRed);
  EXPECT_EQ(pal.GetPixelColor(2, 0), kBlue);
  ASSERT_TRUE(pal.AlphaIsValid());
  EXPECT_EQ(pal.AlphaGet(1, 0), 0);
  EXPECT_EQ(pal.AlphaGet(2, 0), 255);

  // 16-bit grey with alpha, interlaced, 9 x 9: grey = x * 0x1F00, alpha = y * 0x1F00.
  std::vector<std::vector<BYTE>> rows;
  for (int y = 0; y < 9; ++y) {
    std::vector<BYTE> r;
    for (int x = 0; x < 9; ++x) r.insert(r.end(), {BYTE(x * 0x1F), 0, BYTE(y * 0x1F), 0});
    rows.push_back(r);
  }
  CxImage grey = decode(png_file(9, 9, PNG_COLOR_TYPE_GRAY_ALPHA, 16, PNG_INTERLACE_ADAM7, rows), CXIMAGE_FORMAT_PNG);
  ASSERT_TRUE(grey.IsValid());
  EXPECT_EQ(grey.GetPixelColor(4, 7), RGB(4 * 0x1F, 4 * 0x1F, 4 * 0x1F));
  EXPECT_EQ(grey.AlphaGet(4, 7), 7 * 0x1F);
}

TEST(ImageDecoders, HeadersClaimingHugePicturesFail) {
  // PNG: IHDR patched to 100000 x 100000 with a correct CRC.
  CxImage small = test_picture(4, 4);
  std::vector<BYTE> png = encoded(small, CXIMAGE_FORMAT_PNG);
  const BYTE huge[8] = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0};
  memcpy(&png[16], huge, 8);
  uint32_t crc = static_cast<uint32_t>(crc32(0, &png[12], 17));
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<BYTE>(crc >> (24 - 8 * i));
  EXPECT_FALSE(decode(png, CXIMAGE_FORMAT_PNG).IsValid());

  // JPEG: the frame header patched to 60000 x 60000.
  std::vector<BYTE> jpg = encoded(small, CXIMAGE_FORMAT_JPG);
  for (size_t i = 2; i + 9 < jpg.size(); ++i)
    if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {
      jpg[i + 5] = jpg[i + 7] = 0xEA;
      jpg[i + 6] = jpg[i + 8] = 0x60;
      break;
    }
  EXPECT_FALSE(decode(jpg, CXIMAGE_FORMAT_JPG).IsValid());

  // GIF: a 65535 x 65535 screen, and a small screen with a huge frame.
  std::vector<BYTE> gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, ';'};
  EXPECT_FALSE(decode(gif, CXIMAGE_FORMAT_GIF).IsValid());
  gif = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
         ',', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x4C, 0x01, 0, ';'};
  EXPECT_FALSE(decode(gif, CXIMAGE_FORMAT_GIF).IsValid());

  // A screen of size 0 takes the image's extent: a 2 x 1 image of index 1.
  gif = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
         ',', 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x4C, 0x0A, 0, ';'};
  CxImage zero_screen = decode(gif, CXIMAGE_FORMAT_GIF);
  ASSERT_TRUE(zero_screen.IsValid());
  EXPECT_EQ(zero_screen.GetWidth(), 2u);
  EXPECT_EQ(zero_screen.GetPixelColor(1, 0), RGB(255, 255, 255));

  // ICO: a directory pointing outside the file.
  std::vector<BYTE> ico = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0};
  EXPECT_FALSE(decode(ico, CXIMAGE_FORMAT_ICO).IsValid());
}

TEST(BmpDecoder, CorruptedLayoutsNeverCrash) {
  const std::vector<uint32_t> pal = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  const std::vector<std::vector<BYTE>> files = {
      bmp(4, 2, 8, 1, pal, {4, 1, 0, 0, 0, 3, 0, 1, 2, 0, 1, 3, 0, 2, 1, 1, 5, 2, 0, 1}),
      bmp(5, 3, 4, 2, pal, {3, 0x12, 0, 4, 0x12, 0x30, 0, 0, 2, 0x21, 0, 1}),
      bmp(3, 2, 1, 0, {0, 0xFFFFFF}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}),
      bmp(2, 2, 16, 3, {}, {1, 2, 3, 4, 5, 6, 7, 8}, {0xF800, 0x07E0, 0x001F}),
      bmp(2, -2, 32, 0, {}, std::vector<BYTE>(16, 0x80)),
  };
  // Masks, palettes and pixel data; the header fields are covered elsewhere.
  QmRand rand(11);
  for (const auto& file : files) {
    ASSERT_TRUE(decode(file, CXIMAGE_FORMAT_BMP).IsValid());
    for (int trial = 0; trial < 300; ++trial) {
      std::vector<BYTE> bad = file;
      for (int i = 0, n = 1 + rand.next() % 3; i < n; ++i)
        bad[54 + static_cast<size_t>(rand.next()) % (bad.size() - 54)] = static_cast<BYTE>(rand.next());
      CxImage img = decode(bad, CXIMAGE_FORMAT_BMP);
      if (img.IsValid()) {
        ASSERT_LE(uint64_t(img.GetWidth()) * img.GetHeight(), QmRaster::kMaxPixels);
      }
    }
  }
}
