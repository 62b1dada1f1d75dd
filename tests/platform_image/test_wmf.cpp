// The metafile writer: a placeable header with its key, bounds and checksum,
// the metafile header, and the picture as one stretched DIB record; and the
// reader's refusals of damaged metafiles.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image_fixtures.h"

namespace {

uint16_t le16(const std::vector<BYTE>& d, size_t at) { return static_cast<uint16_t>(d[at] | d[at + 1] << 8); }
uint32_t le32(const std::vector<BYTE>& d, size_t at) { return le16(d, at) | uint32_t(le16(d, at + 2)) << 16; }

TEST(Wmf, PlaceableHeaderThenOneStretchedDib) {
  CxImage src = test_picture(37, 23);
  const std::vector<BYTE> wmf = encoded(src, CXIMAGE_FORMAT_WMF);
  ASSERT_GT(wmf.size(), 22u + 18u);
  // Placeable header: key, handle, bounds (0, 0, 37, 23), 96 units an inch,
  // reserved, and the XOR of its first ten words.
  EXPECT_EQ(le32(wmf, 0), 0x9AC6CDD7u);
  EXPECT_EQ(le16(wmf, 6), 0);
  EXPECT_EQ(le16(wmf, 8), 0);
  EXPECT_EQ(le16(wmf, 10), 37);
  EXPECT_EQ(le16(wmf, 12), 23);
  EXPECT_EQ(le16(wmf, 14), 96);
  uint16_t sum = 0;
  for (size_t i = 0; i < 10; ++i) sum ^= le16(wmf, 2 * i);
  EXPECT_EQ(le16(wmf, 20), sum);
  // Metafile header: in memory, 9 words, version 3, the size in words.
  EXPECT_EQ(le16(wmf, 22), 1);
  EXPECT_EQ(le16(wmf, 24), 9);
  EXPECT_EQ(le16(wmf, 26), 0x0300);
  EXPECT_EQ(uint64_t(le32(wmf, 28)) * 2, wmf.size() - 22);
  // The records, up to the end record; one of them the stretched DIB.
  size_t at = 40;
  std::vector<uint16_t> functions;
  size_t dib_at = 0;
  while (at + 6 <= wmf.size()) {
    const size_t bytes = size_t(le32(wmf, at)) * 2;
    ASSERT_GE(bytes, 6u);
    ASSERT_LE(at + bytes, wmf.size());
    functions.push_back(le16(wmf, at + 4));
    if (functions.back() == 0x0F43) {
      EXPECT_EQ(le32(wmf, at + 6), 0x00CC0020u) << "copied as it is";
      EXPECT_EQ(le16(wmf, at + 12), 23);
  EXPECT_EQ(le16(wmf, at + 14), 37) << "source height, width";
      EXPECT_EQ(le16(wmf, at + 20), 23);
  EXPECT_EQ(le16(wmf, at + 22), 37) << "destination height, width";
      dib_at = at + 28;
      EXPECT_EQ(le32(wmf, dib_at), 40u) << "a packed DIB with its info header";
      EXPECT_EQ(le16(wmf, dib_at + 14), 24) << "24 bits a pixel";
    }
    at += bytes;
  }
  EXPECT_EQ(at, wmf.size());
  const std::vector<uint16_t> expected = {0x020B, 0x020C, 0x0F43, 0x0000};
  EXPECT_EQ(functions, expected);
  ASSERT_NE(dib_at, 0u);

  CxImage back(const_cast<BYTE*>(wmf.data()), static_cast<DWORD>(wmf.size()), CXIMAGE_FORMAT_WMF);
  ASSERT_TRUE(back.IsValid());
  EXPECT_EQ(max_channel_difference(src, back), 0);
}

TEST(Wmf, DamagedMetafilesAreRefused) {
  CxImage src = test_picture(5, 4);
  const std::vector<BYTE> good = encoded(src, CXIMAGE_FORMAT_WMF);
  struct Case {
    const char* what;
    size_t at;  // the byte changed, or the length kept when `cut`
    BYTE value;
    bool cut;
  } cases[] = {
      {"checksum", 20, 0x55, false},
      {"header size", 24, 7, false},
      {"record longer than the file", 40, 0xFF, false},
      {"cut inside the DIB", 120, 0, true},
      {"only the headers", 40, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> bad = good;
    if (c.cut)
      bad.resize(c.at);
    else
      bad[c.at] = c.value;
    CxImage back(bad.data(), static_cast<DWORD>(bad.size()), CXIMAGE_FORMAT_WMF);
    EXPECT_FALSE(back.IsValid());
  }
  CxImage huge;
  huge.Create(32768, 1, 24);
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_FALSE(huge.Encode(buffer, size, CXIMAGE_FORMAT_WMF)) << "a side beyond the records' 16-bit fields";
}

}  // namespace
