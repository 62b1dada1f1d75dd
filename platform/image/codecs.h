// The codecs behind CxImage. Each decoder reads exactly `size` bytes at
// `data`, checks every count and offset against them, and fills `out` only
// on success. Each encoder appends one complete file to `out`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "xmemfile.h"
#include "ximage.h"

bool qm_decode_bmp(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_bmp(const QmRaster& in, CxMemFile* out);
// A packed DIB (info header, colours, bits) as BMP files and metafiles
// hold it: read in any of the BMP reader's forms, written with 24-bit bits.
bool qm_decode_packed_dib(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_packed_dib(const QmRaster& in, CxMemFile* out);
uint64_t qm_packed_dib_size(const QmRaster& in);
bool qm_decode_wmf(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_wmf(const QmRaster& in, CxMemFile* out);
bool qm_decode_ico(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_ico(const QmRaster& in, CxMemFile* out);
bool qm_decode_png(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_png(const QmRaster& in, CxMemFile* out);
bool qm_decode_jpeg(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_jpeg(const QmRaster& in, CxMemFile* out);
bool qm_decode_gif(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_gif(const QmRaster& in, CxMemFile* out);
bool qm_decode_tiff(const uint8_t* data, size_t size, QmRaster* out);
bool qm_encode_tiff(const QmRaster& in, CxMemFile* out);

// A read cursor over a decoder's input, for the libraries' read callbacks.
struct QmSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
  // Copies up to n bytes; returns how many it copied.
  size_t Read(void* dst, size_t n) {
    if (pos >= size) return 0;
    if (n > size - pos) n = size - pos;
    memcpy(dst, data + pos, n);
    pos += n;
    return n;
  }
};

// Little-endian field access for our own formats.
inline uint16_t qm_le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t qm_le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline void qm_put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void qm_put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
