// Reads a CMyDC surface back through the GDI objects it is made of.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "surface/cmydc.h"

struct Probe {
  uint8_t* bits = nullptr;
  int width = 0, height = 0, stride = 0, bpp = 0;
  explicit Probe(const CMyDC& dc) {
    DIBSECTION ds = {};
    HGDIOBJ bm = GetCurrentObject(dc.GetDC(), OBJ_BITMAP);
    if (GetObject(bm, sizeof ds, &ds) == static_cast<int>(sizeof ds)) {
      bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
      width = ds.dsBm.bmWidth;
      height = ds.dsBm.bmHeight;
      stride = ds.dsBm.bmWidthBytes;
      bpp = ds.dsBm.bmBitsPixel;
    }
  }
  // Raw pixel value at (x, y), y down (the bitmap is bottom-up).
  uint32_t at(int x, int y) const {
    const uint8_t* p = bits + static_cast<ptrdiff_t>(height - 1 - y) * stride + x * (bpp / 8);
    switch (bpp) {
      case 8: return p[0];
      case 16: return p[0] | (p[1] << 8);
      case 24: return p[0] | (p[1] << 8) | (p[2] << 16);
      default: return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
    }
  }
  std::vector<uint8_t> snapshot() const { return std::vector<uint8_t>(bits, bits + static_cast<size_t>(stride) * height); }
  // Every pixel whose raw value differs from `bg`, as (x, y).
  std::set<std::pair<int, int>> painted(uint32_t bg) const {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (at(x, y) != bg) out.insert({x, y});
    return out;
  }
};

using PixelSet = std::set<std::pair<int, int>>;

// A 32-bit surface of the given size made on the screen DC.
inline HDC make_surface(CMyDC& dc, int w, int h, int bits = 32) {
  HDC ref = CreateCompatibleDC(nullptr);
  HDC out = dc.CreateCompatibleDC(ref, w, h, bits);
  DeleteDC(ref);
  return out;
}

// White on a 32-bit surface, as CMyDC first fills it (reserved byte included).
const uint32_t kWhite32 = 0xFFFFFFFF;

inline void clear_white(HDC hdc, int w, int h) {
  HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
  RECT r = {0, 0, w, h};
  FillRect(hdc, &r, b);
  DeleteObject(b);
}

// The pixels from (x0, y0) up to, not including, (x1, y1).
inline PixelSet box(int x0, int y0, int x1, int y1) {
  PixelSet out;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) out.insert({x, y});
  return out;
}
