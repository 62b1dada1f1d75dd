// A DIB section selected into a memory DC, at any depth, for the GDI tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

// A BITMAPINFO with room for 256 colours or three masks.
inline std::vector<uint8_t> info_buffer(int w, int h, int bpp, DWORD compression = BI_RGB) {
  std::vector<uint8_t> mem(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  BITMAPINFO* bi = reinterpret_cast<BITMAPINFO*>(mem.data());
  bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi->bmiHeader.biWidth = w;
  bi->bmiHeader.biHeight = h;
  bi->bmiHeader.biPlanes = 1;
  bi->bmiHeader.biBitCount = static_cast<WORD>(bpp);
  bi->bmiHeader.biCompression = compression;
  return mem;
}

struct TestSurface {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint8_t* bits = nullptr;
  int width = 0, height = 0, bpp = 0, stride = 0;

  // Positive height: bottom-up; negative: top-down. Palettes at 8 bits and
  // less are a grey ramp with entry 0 black and the last entry white;
  // masks: 5-6-5 at 16 bits, 8-8-8 at 32 bits.
  TestSurface(int w, int h, int depth, bool bitfields = true) : width(w), height(h < 0 ? -h : h), bpp(depth) {
    std::vector<uint8_t> mem =
        info_buffer(w, h, depth, (bitfields && (depth == 16 || depth == 32)) ? BI_BITFIELDS : BI_RGB);
    BITMAPINFO* bi = reinterpret_cast<BITMAPINFO*>(mem.data());
    uint32_t* masks = reinterpret_cast<uint32_t*>(bi->bmiColors);
    if (depth == 16 && bitfields) { masks[0] = 0xF800; masks[1] = 0x07E0; masks[2] = 0x001F; }
    if (depth == 32 && bitfields) { masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF; }
    if (depth <= 8) {
      const int n = 1 << depth;
      for (int i = 0; i < n; ++i) {
        BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
        bi->bmiColors[i] = RGBQUAD{v, v, v, 0};
      }
    }
    dc = CreateCompatibleDC(nullptr);
    void* p = nullptr;
    bitmap = CreateDIBSection(dc, bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint8_t*>(p);
    previous = SelectObject(dc, bitmap);
    stride = ((w * depth + 31) / 32) * 4;
  }
  ~TestSurface() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  TestSurface(const TestSurface&) = delete;
  TestSurface& operator=(const TestSurface&) = delete;

  std::vector<uint8_t> snapshot() const { return std::vector<uint8_t>(bits, bits + static_cast<size_t>(stride) * height); }
  // Pixel coordinates of every pixel whose colour differs from `bg`.
  std::vector<POINT> painted(COLORREF bg) const {
    std::vector<POINT> out;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (GetPixel(dc, x, y) != bg) out.push_back(POINT{x, y});
    return out;
  }
  void clear(COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT r = {0, 0, width, height};
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
};

inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
