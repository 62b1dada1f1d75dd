// Pixel access in DIB layout at every depth, colour conversion, the sixteen
// mix modes and the coverage sets that let a shape touch each pixel once.
//
// Colours become pixel values as GDI does: the nearest palette entry at 8
// bits and less (first of equals), the top bits of each channel in a mask of
// 8 bits or less. Reading a masked channel back repeats its bits, so white
// reads back as white at every depth. Mixes work on whole pixel values (the
// palette index at 8 bits and less); bits outside the colour masks are kept.
#include "gdi_internal.h"

#include <algorithm>
#include <cstring>

namespace qmgdi {

namespace {

int mask_shift(uint32_t m) {
  int s = 0;
  while (s < 32 && !(m & (1u << s))) ++s;
  return s;
}

int mask_bits(uint32_t m) {
  int n = 0;
  for (; m; m &= m - 1) ++n;
  return n;
}

bool mask_contiguous(uint32_t m) {
  if (!m) return false;
  uint32_t shifted = m >> mask_shift(m);
  return (shifted & (shifted + 1)) == 0;
}

uint32_t scale_to(uint32_t c, int n) {
  if (n <= 8) return c >> (8 - n);
  uint64_t maxv = (n >= 32) ? 0xFFFFFFFFull : ((1ull << n) - 1);
  return static_cast<uint32_t>((c * maxv + 127) / 255);
}

uint32_t scale_from(uint32_t v, int n) {
  if (n >= 8) {
    uint64_t maxv = (n >= 32) ? 0xFFFFFFFFull : ((1ull << n) - 1);
    return static_cast<uint32_t>((v * 255ull + maxv / 2) / maxv);
  }
  // Repeat the n bits down to fill 8.
  uint32_t out = 0;
  int have = 0;
  while (have < 8) {
    out = (out << n) | v;
    have += n;
  }
  return (out >> (have - 8)) & 0xFF;
}

}  // namespace

bool Surface::finish_format() {
  switch (bpp) {
    case 1:
    case 4:
    case 8:
      value_mask = (1u << bpp) - 1;
      if (palette_size < 0) palette_size = 0;
      if (palette_size > (1 << bpp)) palette_size = 1 << bpp;
      return true;
    case 24:
      value_mask = 0xFFFFFF;
      return true;
    case 16:
    case 32: {
      if (!masks[0] && !masks[1] && !masks[2]) {
        if (bpp == 16) {
          masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
        } else {
          masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
        }
      }
      const uint32_t limit = bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
      for (uint32_t m : masks)
        if (!mask_contiguous(m) || (m & ~limit)) return false;
      if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2])) return false;
      value_mask = masks[0] | masks[1] | masks[2];
      return true;
    }
    default:
      return false;
  }
}

uint32_t Surface::get(int x, int y) const {
  const uint8_t* r = row(y);
  switch (bpp) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (r[x >> 1] & 0xFu) : (r[x >> 1] >> 4);
    case 8: return r[x];
    case 16: { uint16_t v; std::memcpy(&v, r + 2 * x, 2); return v; }
    case 24: { const uint8_t* p = r + 3 * x; return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16); }
    case 32: { uint32_t v; std::memcpy(&v, r + 4 * static_cast<ptrdiff_t>(x), 4); return v; }
    default: return 0;
  }
}

void Surface::put(int x, int y, uint32_t v) {
  uint8_t* r = row(y);
  switch (bpp) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
      if (v & 1) r[x >> 3] |= bit;
      else r[x >> 3] &= static_cast<uint8_t>(~bit);
      break;
    }
    case 4: {
      uint8_t& b = r[x >> 1];
      if (x & 1) b = static_cast<uint8_t>((b & 0xF0) | (v & 0xF));
      else b = static_cast<uint8_t>((b & 0x0F) | ((v & 0xF) << 4));
      break;
    }
    case 8: r[x] = static_cast<uint8_t>(v); break;
    case 16: {
      uint16_t old;
      std::memcpy(&old, r + 2 * x, 2);
      uint16_t w = static_cast<uint16_t>((old & ~value_mask) | (v & value_mask));
      std::memcpy(r + 2 * x, &w, 2);
      break;
    }
    case 24: {
      uint8_t* p = r + 3 * x;
      p[0] = static_cast<uint8_t>(v);
      p[1] = static_cast<uint8_t>(v >> 8);
      p[2] = static_cast<uint8_t>(v >> 16);
      break;
    }
    case 32: {
      uint8_t* p = r + 4 * static_cast<ptrdiff_t>(x);
      uint32_t old;
      std::memcpy(&old, p, 4);
      uint32_t w = (old & ~value_mask) | (v & value_mask);
      std::memcpy(p, &w, 4);
      break;
    }
    default: break;
  }
}

uint32_t Surface::from_rgb(COLORREF c) const {
  const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  switch (bpp) {
    case 1:
    case 4:
    case 8: {
      int best = 0;
      int64_t best_d = -1;
      for (int i = 0; i < palette_size; ++i) {
        const RGBQUAD& q = palette[i];
        int64_t dr = static_cast<int64_t>(q.rgbRed) - r, dg = static_cast<int64_t>(q.rgbGreen) - g,
                dbl = static_cast<int64_t>(q.rgbBlue) - b;
        int64_t d = dr * dr + dg * dg + dbl * dbl;
        if (best_d < 0 || d < best_d) {
          best_d = d;
          best = i;
        }
      }
      return static_cast<uint32_t>(best);
    }
    case 24: return b | (g << 8) | (r << 16);
    case 16:
    case 32: {
      const uint32_t ch[3] = {r, g, b};
      uint32_t v = 0;
      for (int i = 0; i < 3; ++i) v |= scale_to(ch[i], mask_bits(masks[i])) << mask_shift(masks[i]);
      return v;
    }
    default: return 0;
  }
}

COLORREF Surface::to_rgb(uint32_t v) const {
  switch (bpp) {
    case 1:
    case 4:
    case 8: {
      if (static_cast<int>(v) >= palette_size) return 0;
      const RGBQUAD& q = palette[v];
      return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    case 24: return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    case 16:
    case 32: {
      uint32_t ch[3];
      for (int i = 0; i < 3; ++i)
        ch[i] = scale_from((v & masks[i]) >> mask_shift(masks[i]), mask_bits(masks[i]));
      return RGB(ch[0], ch[1], ch[2]);
    }
    default: return 0;
  }
}

uint32_t apply_rop2(int rop2, uint32_t pen, uint32_t dst) {
  // The mode less one is a truth table over (pen bit, destination bit).
  const uint32_t t = static_cast<uint32_t>(rop2 - 1);
  uint32_t r = 0;
  if (t & 1) r |= ~pen & ~dst;
  if (t & 2) r |= ~pen & dst;
  if (t & 4) r |= pen & ~dst;
  if (t & 8) r |= pen & dst;
  return r;
}

void Painter::span(int y, int x0, int x1, uint32_t v) {
  if (y < 0 || y >= s_.height) return;
  if (x0 < 0) x0 = 0;
  if (x1 > s_.width) x1 = s_.width;
  if (rop2_ == R2_NOP) return;
  if (rop2_ == R2_COPYPEN && s_.bpp == 32) {
    uint32_t* p = reinterpret_cast<uint32_t*>(s_.row(y));
    const uint32_t keep = ~s_.value_mask, set = v & s_.value_mask;
    for (int x = x0; x < x1; ++x) p[x] = (p[x] & keep) | set;
    return;
  }
  for (int x = x0; x < x1; ++x) put(x, y, v);
}

Coverage::Coverage(int x0, int y0, int x1, int y1)
    : x0_(x0), y0_(y0), w_(x1 > x0 ? x1 - x0 : 0), h_(y1 > y0 ? y1 - y0 : 0) {
  cells_.assign(static_cast<size_t>(w_) * static_cast<size_t>(h_), kNone);
}

Coverage coverage_window(const Surface& s, const Box& b, int margin) {
  if (b.empty()) return Coverage(0, 0, 0, 0);
  const int64_t x0 = std::max<int64_t>(b.x0 - margin, 0), y0 = std::max<int64_t>(b.y0 - margin, 0);
  const int64_t x1 = std::max(std::min<int64_t>(b.x1 + margin + 1, s.width), x0);
  const int64_t y1 = std::max(std::min<int64_t>(b.y1 + margin + 1, s.height), y0);
  return Coverage(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1));
}

void Coverage::mark_span(int y, int xa, int xb, uint8_t c) {
  if (y < y0_ || y >= y0_ + h_) return;
  if (xa < x0_) xa = x0_;
  if (xb > x0_ + w_) xb = x0_ + w_;
  uint8_t* row = cells_.data() + static_cast<size_t>(y - y0_) * w_;
  for (int x = xa; x < xb; ++x)
    if (c > row[x - x0_]) row[x - x0_] = c;
}

void Coverage::paint(Painter& p, uint32_t fill, uint32_t gap, uint32_t pen) const {
  const uint32_t values[4] = {0, fill, gap, pen};
  for (int y = 0; y < h_; ++y) {
    const uint8_t* row = cells_.data() + static_cast<size_t>(y) * w_;
    for (int x = 0; x < w_; ++x)
      if (row[x]) p.pixel(x0_ + x, y0_ + y, values[row[x]]);
  }
}

}  // namespace qmgdi
