// BMP and ICO, our own. Both store a device-independent bitmap: an info
// header (12-byte core or 40-byte and longer), a palette for 1, 4 and 8 bits,
// then rows bottom-up (top-down for a negative height) padded to 4 bytes.
// Read: 1/4/8-bit palettes, 16-bit 5-5-5 and bit fields, 24-bit, 32-bit,
// RLE8 and RLE4. An icon's height counts the colour rows and the 1-bit AND
// mask that follows them (mask bit 1 = transparent); a 32-bit icon with any
// non-zero alpha byte uses those instead. Written: BMP as 24-bit colour, ICO
// as one 32-bit image with its mask (sizes up to 256).
#include <cstring>

#include "codecs.h"

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

// The layouts of the headers, little-endian on file. Each has one reader and
// one writer; nothing else in this file knows a header field's offset.

// The file header in front of a BMP's bitmap.
struct FileHeader {
  static constexpr size_t kSize = 14;
  static constexpr uint16_t kType = 'B' | 'M' << 8;
  uint16_t type = kType;
  uint32_t file_size = 0;
  uint16_t reserved1 = 0, reserved2 = 0;
  uint32_t bits_offset = 0;  // of the pixel data, from the start of the file

  static FileHeader Read(const uint8_t* p) {
    FileHeader h;
    h.type = qm_le16(p);
    h.file_size = qm_le32(p + 2);
    h.reserved1 = qm_le16(p + 6);
    h.reserved2 = qm_le16(p + 8);
    h.bits_offset = qm_le32(p + 10);
    return h;
  }
  void Write(uint8_t* p) const {
    qm_put16(p, type);
    qm_put32(p + 2, file_size);
    qm_put16(p + 6, reserved1);
    qm_put16(p + 8, reserved2);
    qm_put32(p + 10, bits_offset);
  }
};

// The 12-byte core header of the oldest bitmaps.
struct CoreHeader {
  static constexpr uint32_t kSize = 12;
  uint32_t size = kSize;
  uint16_t width = 0, height = 0;
  uint16_t planes = 1, bit_count = 0;

  static CoreHeader Read(const uint8_t* p) {
    CoreHeader h;
    h.size = qm_le32(p);
    h.width = qm_le16(p + 4);
    h.height = qm_le16(p + 6);
    h.planes = qm_le16(p + 8);
    h.bit_count = qm_le16(p + 10);
    return h;
  }
  void Write(uint8_t* p) const {
    qm_put32(p, size);
    qm_put16(p + 4, width);
    qm_put16(p + 6, height);
    qm_put16(p + 8, planes);
    qm_put16(p + 10, bit_count);
  }
};

// The 40-byte info header, which the longer versions begin with.
struct InfoHeader {
  static constexpr uint32_t kSize = 40;
  uint32_t size = kSize;
  int32_t width = 0, height = 0;  // a negative height: rows top-down
  uint16_t planes = 1, bit_count = 0;
  uint32_t compression = kRgb;
  uint32_t image_size = 0;
  int32_t x_pels_per_meter = 0, y_pels_per_meter = 0;
  uint32_t colours_used = 0, colours_important = 0;

  static InfoHeader Read(const uint8_t* p) {
    InfoHeader h;
    h.size = qm_le32(p);
    h.width = static_cast<int32_t>(qm_le32(p + 4));
    h.height = static_cast<int32_t>(qm_le32(p + 8));
    h.planes = qm_le16(p + 12);
    h.bit_count = qm_le16(p + 14);
    h.compression = qm_le32(p + 16);
    h.image_size = qm_le32(p + 20);
    h.x_pels_per_meter = static_cast<int32_t>(qm_le32(p + 24));
    h.y_pels_per_meter = static_cast<int32_t>(qm_le32(p + 28));
    h.colours_used = qm_le32(p + 32);
    h.colours_important = qm_le32(p + 36);
    return h;
  }
  void Write(uint8_t* p) const {
    qm_put32(p, size);
    qm_put32(p + 4, static_cast<uint32_t>(width));
    qm_put32(p + 8, static_cast<uint32_t>(height));
    qm_put16(p + 12, planes);
    qm_put16(p + 14, bit_count);
    qm_put32(p + 16, compression);
    qm_put32(p + 20, image_size);
    qm_put32(p + 24, static_cast<uint32_t>(x_pels_per_meter));
    qm_put32(p + 28, static_cast<uint32_t>(y_pels_per_meter));
    qm_put32(p + 32, colours_used);
    qm_put32(p + 36, colours_important);
  }
};

// The red, green and blue masks of bit-field pixels: right after a 40-byte
// info header, and the first fields past it in the longer versions.
struct ColourMasks {
  static constexpr size_t kSize = 12;
  uint32_t red = 0, green = 0, blue = 0;

  static ColourMasks Read(const uint8_t* p) {
    ColourMasks m;
    m.red = qm_le32(p);
    m.green = qm_le32(p + 4);
    m.blue = qm_le32(p + 8);
    return m;
  }
  void Write(uint8_t* p) const {
    qm_put32(p, red);
    qm_put32(p + 4, green);
    qm_put32(p + 8, blue);
  }
};

// The header in front of an icon file's directory.
struct IconDir {
  static constexpr size_t kSize = 6;
  static constexpr uint16_t kIcon = 1, kCursor = 2;
  uint16_t reserved = 0;
  uint16_t type = kIcon;
  uint16_t count = 0;

  static IconDir Read(const uint8_t* p) {
    IconDir d;
    d.reserved = qm_le16(p);
    d.type = qm_le16(p + 2);
    d.count = qm_le16(p + 4);
    return d;
  }
  void Write(uint8_t* p) const {
    qm_put16(p, reserved);
    qm_put16(p + 2, type);
    qm_put16(p + 4, count);
  }
};

// One image of an icon file's directory.
struct IconDirEntry {
  static constexpr size_t kSize = 16;
  uint8_t width = 0, height = 0;  // 0 means 256
  uint8_t colour_count = 0, reserved = 0;
  uint16_t planes = 0, bit_count = 0;
  uint32_t bytes = 0;
  uint32_t offset = 0;  // of the image, from the start of the file

  static IconDirEntry Read(const uint8_t* p) {
    IconDirEntry e;
    e.width = p[0];
    e.height = p[1];
    e.colour_count = p[2];
    e.reserved = p[3];
    e.planes = qm_le16(p + 4);
    e.bit_count = qm_le16(p + 6);
    e.bytes = qm_le32(p + 8);
    e.offset = qm_le32(p + 12);
    return e;
  }
  void Write(uint8_t* p) const {
    p[0] = width, p[1] = height, p[2] = colour_count, p[3] = reserved;
    qm_put16(p + 4, planes);
    qm_put16(p + 6, bit_count);
    qm_put32(p + 8, bytes);
    qm_put32(p + 12, offset);
  }
};

struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
  }
  uint8_t Get(uint32_t px) const {
    if (!bits) return 0;
    uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    uint32_t max = (1u << bits) - 1;
    return static_cast<uint8_t>(((v & max) * 255 + max / 2) / max);
  }
};

struct Dib {
  int64_t width = 0, height = 0;  // height positive
  bool top_down = false;
  int bpp = 0;
  uint32_t compression = kRgb;
  uint8_t palette[256][3] = {};  // R G B
  uint32_t palette_count = 0;
  Channel r, g, b;
};

// Decodes RLE8 or RLE4 data into one palette index per pixel, bottom-up.
bool decode_rle(const uint8_t* p, size_t n, const Dib& d, std::vector<uint8_t>* index) {
  const int64_t w = d.width, h = d.height;
  index->assign(static_cast<size_t>(w * h), 0);
  int64_t x = 0, y = 0;  // y counts rows from the bottom
  size_t i = 0;
  auto put = [&](uint8_t v) {
    if (x < w && y < h) (*index)[static_cast<size_t>(y * w + x)] = v;
    ++x;
  };
  while (y < h) {
    if (n - i < 2) return false;
    uint8_t count = p[i], value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k)
        put(d.compression == kRle8 ? value : static_cast<uint8_t>(k % 2 ? value & 15 : value >> 4));
      continue;
    }
    if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (n - i < 2) return false;
      x += p[i], y += p[i + 1];
      i += 2;
    } else {
      size_t bytes = d.compression == kRle8 ? value : (value + 1u) / 2;
      if (n - i < bytes) return false;
      for (int k = 0; k < value; ++k)
        put(d.compression == kRle8 ? p[i + k] : static_cast<uint8_t>(k % 2 ? p[i + k / 2] & 15 : p[i + k / 2] >> 4));
      i += (bytes + 1) & ~size_t(1);
      if (i > n) i = n;
    }
  }
  return true;  // every row given
}

// Reads the DIB at `p` (n bytes). `bits` is the offset of the pixel data from
// p, or 0 for "right after the palette". For an icon the height is halved and
// the AND mask read.
bool decode_dib(const uint8_t* p, size_t n, size_t bits, bool icon, QmRaster* out) {
  if (n < CoreHeader::kSize) return false;
  Dib d;
  uint32_t header = qm_le32(p);  // the size, which says the version
  size_t palette_at = header, entry = 4;
  uint32_t colours_used = 0;
  if (header == CoreHeader::kSize) {
    const CoreHeader core = CoreHeader::Read(p);
    d.width = core.width;
    d.height = core.height;
    d.bpp = core.bit_count;
    entry = 3;
  } else if (header >= InfoHeader::kSize && header <= n) {
    const InfoHeader info = InfoHeader::Read(p);
    d.width = info.width;
    d.height = info.height;
    d.bpp = info.bit_count;
    d.compression = info.compression;
    colours_used = info.colours_used;
    if (d.compression == kBitfields) {
      if (header == InfoHeader::kSize) palette_at += ColourMasks::kSize;  // masks follow the short header
      if (n < InfoHeader::kSize + ColourMasks::kSize) return false;
      const ColourMasks masks = ColourMasks::Read(p + InfoHeader::kSize);
      d.r = Channel(masks.red), d.g = Channel(masks.green), d.b = Channel(masks.blue);
    }
  } else {
    return false;
  }
  if (d.height < 0) {
    d.height = -d.height;
    d.top_down = true;
  }
  if (icon) {
    if (d.top_down) return false;
    d.height /= 2;
  }
  bool supported = (d.compression == kRgb && (d.bpp == 1 || d.bpp == 4 || d.bpp == 8 || d.bpp == 16 ||
                                               d.bpp == 24 || d.bpp == 32)) ||
                   (d.compression == kRle8 && d.bpp == 8 && !d.top_down) ||
                   (d.compression == kRle4 && d.bpp == 4 && !d.top_down) ||
                   (d.compression == kBitfields && (d.bpp == 16 || d.bpp == 32));
  if (!supported || d.width <= 0 || d.height <= 0 ||
      static_cast<uint64_t>(d.width) * static_cast<uint64_t>(d.height) > QmRaster::kMaxPixels)
    return false;
  if (d.compression == kRgb && d.bpp == 16) d.r = Channel(0x7C00), d.g = Channel(0x3E0), d.b = Channel(0x1F);
  if (d.compression == kRgb && d.bpp == 32) d.r = Channel(0xFF0000), d.g = Channel(0xFF00), d.b = Channel(0xFF);

  if (d.bpp <= 8) {
    uint64_t count = colours_used ? colours_used : (1u << d.bpp);
    if (count > (uint64_t(1) << 16) || palette_at + count * entry > n) return false;
    d.palette_count = static_cast<uint32_t>(count < 256 ? count : 256);
    for (uint32_t i = 0; i < d.palette_count; ++i) {
      const uint8_t* e = p + palette_at + i * entry;
      d.palette[i][0] = e[2], d.palette[i][1] = e[1], d.palette[i][2] = e[0];
    }
    palette_at += static_cast<size_t>(count * entry);
  }
  if (bits == 0) bits = palette_at;
  if (bits < palette_at || bits > n) return false;

  const uint64_t stride = ((static_cast<uint64_t>(d.width) * d.bpp + 31) / 32) * 4;
  const uint64_t mask_stride = ((static_cast<uint64_t>(d.width) + 31) / 32) * 4;
  const bool rle_data = d.compression == kRle8 || d.compression == kRle4;
  // Uncompressed rows (and an icon's mask) must all be there before anything is allocated.
  if (!rle_data && stride * d.height > n - bits) return false;
  if (icon && stride * d.height + mask_stride * d.height > n - bits) return false;
  QmRaster img;
  if (!img.Allocate(static_cast<uint64_t>(d.width), static_cast<uint64_t>(d.height), icon)) return false;
  std::vector<uint8_t> rle;
  if (rle_data && !decode_rle(p + bits, n - bits, d, &rle)) return false;

  auto palette_colour = [&](uint32_t index, uint8_t* dst) {
    if (index < d.palette_count)
      memcpy(dst, d.palette[index], 3);
    else
      dst[0] = dst[1] = dst[2] = 0;
  };
  bool any_alpha = false;
  for (int64_t row = 0; row < d.height; ++row) {  // in file order
    const int64_t y = d.top_down ? row : d.height - 1 - row;
    uint8_t* dst = &img.rgb[static_cast<size_t>(y * d.width * 3)];
    uint8_t* dst_alpha = icon ? &img.alpha[static_cast<size_t>(y * d.width)] : nullptr;
    const uint8_t* src = p + bits + row * stride;
    for (int64_t x = 0; x < d.width; ++x, dst += 3) {
      if (!rle.empty()) {
        palette_colour(rle[static_cast<size_t>(row * d.width + x)], dst);
        continue;
      }
      switch (d.bpp) {
        case 1:
          palette_colour((src[x / 8] >> (7 - x % 8)) & 1, dst);
          break;
        case 4:
          palette_colour((src[x / 2] >> (x % 2 ? 0 : 4)) & 15, dst);
          break;
        case 8:
          palette_colour(src[x], dst);
          break;
        case 24:
          dst[0] = src[x * 3 + 2], dst[1] = src[x * 3 + 1], dst[2] = src[x * 3];
          break;
        default: {
          uint32_t px = d.bpp == 16 ? qm_le16(src + x * 2) : qm_le32(src + x * 4);
          dst[0] = d.r.Get(px), dst[1] = d.g.Get(px), dst[2] = d.b.Get(px);
          if (dst_alpha && d.bpp == 32) {
            dst_alpha[x] = static_cast<uint8_t>(px >> 24);
            any_alpha = any_alpha || dst_alpha[x] != 0;
          }
        }
      }
    }
  }
  if (icon && !any_alpha) {
    const uint8_t* mask = p + bits + stride * d.height;
    for (int64_t row = 0; row < d.height; ++row) {
      uint8_t* a = &img.alpha[static_cast<size_t>((d.height - 1 - row) * d.width)];
      const uint8_t* m = mask + row * mask_stride;
      for (int64_t x = 0; x < d.width; ++x) a[x] = ((m[x / 8] >> (7 - x % 8)) & 1) ? 0 : 255;
    }
  }
  *out = std::move(img);
  return true;
}

// The info header of an uncompressed DIB.
InfoHeader rgb_info_header(uint32_t width, uint32_t height, uint16_t bpp, uint32_t image_bytes) {
  InfoHeader h;
  h.width = static_cast<int32_t>(width);
  h.height = static_cast<int32_t>(height);
  h.bit_count = bpp;
  h.image_size = image_bytes;
  return h;
}

}  // namespace

bool qm_decode_bmp(const uint8_t* data, size_t size, QmRaster* out) {
  if (size < FileHeader::kSize + CoreHeader::kSize) return false;
  const FileHeader file = FileHeader::Read(data);
  if (file.type != FileHeader::kType) return false;
  const uint32_t offset = file.bits_offset;
  if (offset < FileHeader::kSize + CoreHeader::kSize || offset > size) return false;
  return decode_dib(data + FileHeader::kSize, size - FileHeader::kSize, offset - FileHeader::kSize, false, out);
}

uint64_t qm_packed_dib_size(const QmRaster& in) {
  const uint64_t stride = (static_cast<uint64_t>(in.width) * 3 + 3) & ~uint64_t(3);
  return InfoHeader::kSize + stride * in.height;
}

bool qm_encode_packed_dib(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid() || in.width > 0x7FFFFFFF || in.height > 0x7FFFFFFF) return false;
  const uint64_t stride = (static_cast<uint64_t>(in.width) * 3 + 3) & ~uint64_t(3);
  const uint64_t image = stride * in.height;
  if (image > 0xFFFFFFFFu - (FileHeader::kSize + InfoHeader::kSize)) return false;
  uint8_t header[InfoHeader::kSize] = {};
  rgb_info_header(in.width, in.height, 24, static_cast<uint32_t>(image)).Write(header);
  if (out->Write(header, 1, InfoHeader::kSize) != InfoHeader::kSize) return false;
  std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
  for (uint32_t y = in.height; y-- > 0;) {
    const uint8_t* src = &in.rgb[static_cast<size_t>(y) * in.width * 3];
    for (uint32_t x = 0; x < in.width; ++x)
      row[x * 3] = src[x * 3 + 2], row[x * 3 + 1] = src[x * 3 + 1], row[x * 3 + 2] = src[x * 3];
    if (out->Write(row.data(), 1, row.size()) != row.size()) return false;
  }
  return true;
}

bool qm_decode_packed_dib(const uint8_t* data, size_t size, QmRaster* out) {
  return decode_dib(data, size, 0, false, out);
}

bool qm_encode_bmp(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid() || in.width > 0x7FFFFFFF || in.height > 0x7FFFFFFF) return false;
  const uint64_t dib = qm_packed_dib_size(in);
  if (dib > 0xFFFFFFFFu - FileHeader::kSize) return false;
  uint8_t header[FileHeader::kSize] = {};
  FileHeader file;
  file.file_size = static_cast<uint32_t>(FileHeader::kSize + dib);
  file.bits_offset = FileHeader::kSize + InfoHeader::kSize;
  file.Write(header);
  if (out->Write(header, 1, FileHeader::kSize) != FileHeader::kSize) return false;
  return qm_encode_packed_dib(in, out);
}

bool qm_decode_ico(const uint8_t* data, size_t size, QmRaster* out) {
  if (size < IconDir::kSize + IconDirEntry::kSize) return false;
  const IconDir dir = IconDir::Read(data);
  if (dir.reserved != 0 || (dir.type != IconDir::kIcon && dir.type != IconDir::kCursor) || dir.count == 0) return false;
  // The first image of the directory.
  const IconDirEntry first = IconDirEntry::Read(data + IconDir::kSize);
  uint32_t bytes = first.bytes, offset = first.offset;
  if (offset > size || bytes > size - offset || bytes < 8) return false;
  const uint8_t* image = data + offset;
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (memcmp(image, kPng, 8) == 0) return qm_decode_png(image, bytes, out);
  return decode_dib(image, bytes, 0, true, out);
}

bool qm_encode_ico(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid() || in.width > 256 || in.height > 256) return false;
  const uint32_t w = in.width, h = in.height;
  const uint32_t mask_stride = ((w + 31) / 32) * 4;
  const uint32_t image = w * h * 4 + mask_stride * h;
  constexpr uint32_t kImageAt = IconDir::kSize + IconDirEntry::kSize;
  uint8_t header[kImageAt + InfoHeader::kSize] = {};
  IconDir dir;
  dir.count = 1;
  dir.Write(header);
  IconDirEntry entry;
  entry.width = static_cast<uint8_t>(w & 0xFF), entry.height = static_cast<uint8_t>(h & 0xFF);  // 0 means 256
  entry.planes = 1;
  entry.bit_count = 32;
  entry.bytes = InfoHeader::kSize + image;
  entry.offset = kImageAt;
  entry.Write(header + IconDir::kSize);
  rgb_info_header(w, h * 2, 32, image).Write(header + kImageAt);
  if (out->Write(header, 1, sizeof header) != sizeof header) return false;
  std::vector<uint8_t> colour(static_cast<size_t>(w) * h * 4), mask(static_cast<size_t>(mask_stride) * h, 0);
  for (uint32_t row = 0; row < h; ++row) {
    uint32_t y = h - 1 - row;
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t* s = &in.rgb[(static_cast<size_t>(y) * w + x) * 3];
      uint8_t a = in.alpha.empty() ? 255 : in.alpha[static_cast<size_t>(y) * w + x];
      uint8_t* d = &colour[(static_cast<size_t>(row) * w + x) * 4];
      d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = a;
      if (a == 0) mask[row * mask_stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return out->Write(colour.data(), 1, colour.size()) == colour.size() &&
         out->Write(mask.data(), 1, mask.size()) == mask.size();
}
