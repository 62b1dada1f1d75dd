// WMF, our own: a Windows metafile that holds a picture as a bitmap.
// Written as a placeable metafile: the 22-byte placeable header (key
// 0x9AC6CDD7, the picture's bounds in pixels at 96 a logical inch, and the
// XOR checksum of its first ten words), the 18-byte metafile header, the
// window origin and extent, one META_STRETCHDIB record with the image as a
// 24-bit packed DIB, and the end record. Every size is in 16-bit words, and
// the picture's sides must fit the records' 16-bit fields (32767 pixels).
// Read: the first META_STRETCHDIB or META_DIBSTRETCHBLT record of a metafile
// (placeable or not) whose DIB decodes; the metafile's size and every record
// size are checked against the data.
#include "codecs.h"

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;
constexpr uint16_t kUnitsPerInch = 96;
constexpr uint16_t kMetafileVersion = 0x0300;
constexpr uint16_t kMemoryMetafile = 1;

enum : uint16_t {
  META_EOF = 0x0000,
  META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C,
  META_DIBSTRETCHBLT = 0x0B41,
  META_STRETCHDIB = 0x0F43,
};
constexpr uint32_t kSrcCopy = 0x00CC0020;
constexpr uint16_t kDibRgbColors = 0;
constexpr int32_t kMaxSide = 32767;

// The placeable header's checksum: the XOR of its first ten 16-bit words.
uint16_t placeable_checksum(const uint8_t* p) {
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= qm_le16(p + 2 * i);
  return sum;
}

// A record of `words` 16-bit words (its six header bytes included).
bool write_record(CxMemFile* out, uint32_t words, uint16_t function, const uint16_t* params, size_t count) {
  uint8_t head[6];
  qm_put32(head, words);
  qm_put16(head + 4, function);
  if (out->Write(head, 1, 6) != 6) return false;
  for (size_t i = 0; i < count; ++i) {
    uint8_t w[2];
    qm_put16(w, params[i]);
    if (out->Write(w, 1, 2) != 2) return false;
  }
  return true;
}

}  // namespace

bool qm_encode_wmf(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid() || in.width > kMaxSide || in.height > kMaxSide) return false;
  const uint64_t dib = qm_packed_dib_size(in);  // even: a 40-byte header and rows of 4n bytes
  const uint16_t w = static_cast<uint16_t>(in.width), h = static_cast<uint16_t>(in.height);
  // META_STRETCHDIB: 3 header words, the raster operation (2), the colour
  // use, the source size and origin, the destination size and origin (9).
  const uint64_t stretch_words = 3 + 2 + 9 + dib / 2;
  const uint32_t org_words = 5, ext_words = 5, eof_words = 3;
  const uint64_t total_words = kHeaderSize / 2 + org_words + ext_words + stretch_words + eof_words;
  if (total_words > 0xFFFFFFFFu) return false;

  uint8_t placeable[kPlaceableSize] = {};
  qm_put32(placeable, kPlaceableKey);
  qm_put16(placeable + 6, 0), qm_put16(placeable + 8, 0);  // left, top
  qm_put16(placeable + 10, w), qm_put16(placeable + 12, h);
  qm_put16(placeable + 14, kUnitsPerInch);
  qm_put16(placeable + 20, placeable_checksum(placeable));
  uint8_t header[kHeaderSize] = {};
  qm_put16(header, kMemoryMetafile);
  qm_put16(header + 2, kHeaderSize / 2);
  qm_put16(header + 4, kMetafileVersion);
  qm_put32(header + 6, static_cast<uint32_t>(total_words));
  qm_put16(header + 10, 0);                                      // objects
  qm_put32(header + 12, static_cast<uint32_t>(stretch_words));  // the largest record
  qm_put16(header + 16, 0);
  if (out->Write(placeable, 1, kPlaceableSize) != kPlaceableSize || out->Write(header, 1, kHeaderSize) != kHeaderSize)
    return false;
  const uint16_t origin[] = {0, 0};  // y, x
  const uint16_t extent[] = {h, w};
  // Raster operation (low word first), colour use, source height, width,
  // y, x, destination height, width, y, x.
  const uint16_t stretch[] = {static_cast<uint16_t>(kSrcCopy & 0xFFFF), static_cast<uint16_t>(kSrcCopy >> 16),
                              kDibRgbColors, h, w, 0, 0, h, w, 0, 0};
  return write_record(out, org_words, META_SETWINDOWORG, origin, 2) &&
         write_record(out, ext_words, META_SETWINDOWEXT, extent, 2) &&
         write_record(out, static_cast<uint32_t>(stretch_words), META_STRETCHDIB, stretch, 11) &&
         qm_encode_packed_dib(in, out) && write_record(out, eof_words, META_EOF, nullptr, 0);
}

bool qm_decode_wmf(const uint8_t* data, size_t size, QmRaster* out) {
  size_t at = 0;
  if (size >= kPlaceableSize && qm_le32(data) == kPlaceableKey) {
    if (qm_le16(data + 20) != placeable_checksum(data)) return false;
    at = kPlaceableSize;
  }
  if (size - at < kHeaderSize) return false;
  const uint16_t type = qm_le16(data + at), header_words = qm_le16(data + at + 2);
  if ((type != 1 && type != 2) || header_words != kHeaderSize / 2) return false;
  // The metafile's own size (in words, its header included): a file that
  // holds less is cut short.
  const uint64_t declared = uint64_t(qm_le32(data + at + 6)) * 2;
  if (declared < kHeaderSize || declared > size - at) return false;
  size = at + static_cast<size_t>(declared);
  at += kHeaderSize;
  while (size - at >= 6) {
    const uint64_t bytes = uint64_t(qm_le32(data + at)) * 2;
    const uint16_t function = qm_le16(data + at + 4);
    if (bytes < 6 || bytes > size - at) return false;
    if (function == META_EOF) return false;
    // The DIB follows the record's fixed words: 11 for META_STRETCHDIB,
    // 10 for META_DIBSTRETCHBLT (no colour use).
    const size_t fixed = function == META_STRETCHDIB ? 6 + 22 : function == META_DIBSTRETCHBLT ? 6 + 20 : 0;
    if (fixed && bytes > fixed) {
      QmRaster picture;
      if (qm_decode_packed_dib(data + at + fixed, static_cast<size_t>(bytes) - fixed, &picture)) {
        *out = std::move(picture);
        return true;
      }
    }
    at += static_cast<size_t>(bytes);
  }
  return false;
}
