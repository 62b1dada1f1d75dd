// The off-screen surface: creation, colours, the line pattern, the per-depth
// line, run and pixel routines, filled rectangles, polylines, the midpoint
// ellipse and the scan-line polygon.
//
// Lines share their clipping and stepping with the software GDI
// (qm_raster.h); only the pixel store differs per depth. Far-away
// coordinates cost nothing: lines clip first, polygon scan lines stay inside
// the draw rectangle, and the ellipse walk jumps over stretches whose four
// mirrored points all lie outside it, its decisions kept exact in 128 bits.
#include "surface/cmydc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace {

// Entries of the 8-bit palette: red, green, blue.
const uint8_t kPalette8[256][3] = {
    {255, 255, 255}, {0, 0, 0}, {0, 0, 255}, {0, 255, 255}, {0, 255, 0},
    {255, 255, 0}, {255, 0, 0}, {255, 0, 255}, {152, 152, 152}, {192, 192, 192},
    {0, 0, 255}, {128, 128, 255}, {0, 0, 166}, {83, 83, 166}, {0, 0, 128},
    {64, 64, 128}, {0, 0, 76}, {38, 38, 76}, {0, 0, 38}, {19, 19, 38},
    {0, 64, 255}, {128, 159, 255}, {0, 41, 166}, {83, 104, 166}, {0, 32, 128},
    {64, 80, 128}, {0, 19, 76}, {38, 48, 76}, {0, 10, 38}, {19, 24, 38},
    {0, 128, 255}, {128, 191, 255}, {0, 83, 166}, {83, 124, 166}, {0, 64, 128},
    {64, 96, 128}, {0, 38, 76}, {38, 57, 76}, {0, 19, 38}, {19, 29, 38},
    {0, 191, 255}, {128, 223, 255}, {0, 124, 166}, {83, 145, 166}, {0, 96, 128},
    {64, 112, 128}, {0, 57, 76}, {38, 67, 76}, {0, 29, 38}, {19, 33, 38},
    {0, 255, 255}, {128, 255, 255}, {0, 166, 166}, {83, 166, 166}, {0, 128, 128},
    {64, 128, 128}, {0, 76, 76}, {38, 76, 76}, {0, 38, 38}, {19, 38, 38},
    {0, 255, 191}, {128, 255, 223}, {0, 166, 124}, {83, 166, 145}, {0, 128, 96},
    {64, 128, 112}, {0, 76, 57}, {38, 76, 67}, {0, 38, 29}, {19, 38, 33},
    {0, 255, 128}, {128, 255, 191}, {0, 166, 83}, {83, 166, 124}, {0, 128, 64},
    {64, 128, 96}, {0, 76, 38}, {38, 76, 57}, {0, 38, 19}, {19, 38, 29},
    {0, 255, 64}, {128, 255, 159}, {0, 166, 41}, {83, 166, 104}, {0, 128, 32},
    {64, 128, 80}, {0, 76, 19}, {38, 76, 48}, {0, 38, 10}, {19, 38, 24},
    {0, 255, 0}, {128, 255, 128}, {0, 166, 0}, {83, 166, 83}, {0, 128, 0},
    {64, 128, 64}, {0, 76, 0}, {38, 76, 38}, {0, 38, 0}, {19, 38, 19},
    {64, 255, 0}, {159, 255, 128}, {41, 166, 0}, {104, 166, 83}, {32, 128, 0},
    {80, 128, 64}, {19, 76, 0}, {48, 76, 38}, {10, 38, 0}, {24, 38, 19},
    {128, 255, 0}, {191, 255, 128}, {83, 166, 0}, {124, 166, 83}, {64, 128, 0},
    {96, 128, 64}, {38, 76, 0}, {57, 76, 38}, {19, 38, 0}, {29, 38, 19},
    {191, 255, 0}, {223, 255, 128}, {124, 166, 0}, {145, 166, 83}, {96, 128, 0},
    {112, 128, 64}, {57, 76, 0}, {67, 76, 38}, {29, 38, 0}, {33, 38, 19},
    {255, 255, 0}, {255, 255, 128}, {166, 166, 0}, {166, 166, 83}, {128, 128, 0},
    {128, 128, 64}, {76, 76, 0}, {76, 76, 38}, {38, 38, 0}, {38, 38, 19},
    {255, 191, 0}, {255, 223, 128}, {166, 124, 0}, {166, 145, 83}, {128, 96, 0},
    {128, 112, 64}, {76, 57, 0}, {76, 67, 38}, {38, 29, 0}, {38, 33, 19},
    {255, 128, 0}, {255, 191, 128}, {166, 83, 0}, {166, 124, 83}, {128, 64, 0},
    {128, 96, 64}, {76, 38, 0}, {76, 57, 38}, {38, 19, 0}, {38, 29, 19},
    {255, 64, 0}, {255, 159, 128}, {166, 41, 0}, {166, 104, 83}, {128, 32, 0},
    {128, 80, 64}, {76, 19, 0}, {76, 48, 38}, {38, 10, 0}, {38, 24, 19},
    {255, 0, 0}, {255, 128, 128}, {166, 0, 0}, {166, 83, 83}, {128, 0, 0},
    {128, 64, 64}, {76, 0, 0}, {76, 38, 38}, {38, 0, 0}, {38, 19, 19},
    {255, 0, 64}, {255, 128, 159}, {166, 0, 41}, {166, 83, 104}, {128, 0, 32},
    {128, 64, 80}, {76, 0, 19}, {76, 38, 48}, {38, 0, 10}, {38, 19, 24},
    {255, 0, 128}, {255, 128, 191}, {166, 0, 83}, {166, 83, 124}, {128, 0, 64},
    {128, 64, 96}, {76, 0, 38}, {76, 38, 57}, {38, 0, 19}, {38, 19, 29},
    {255, 0, 191}, {255, 128, 223}, {166, 0, 124}, {166, 83, 145}, {128, 0, 96},
    {128, 64, 112}, {76, 0, 57}, {76, 38, 67}, {38, 0, 29}, {38, 19, 33},
    {255, 0, 255}, {255, 128, 255}, {166, 0, 166}, {166, 83, 166}, {128, 0, 128},
    {128, 64, 128}, {76, 0, 76}, {76, 38, 76}, {38, 0, 38}, {38, 19, 38},
    {191, 0, 255}, {223, 128, 255}, {124, 0, 166}, {145, 83, 166}, {96, 0, 128},
    {112, 64, 128}, {57, 0, 76}, {67, 38, 76}, {29, 0, 38}, {33, 19, 38},
    {128, 0, 255}, {191, 128, 255}, {83, 0, 166}, {124, 83, 166}, {64, 0, 128},
    {96, 64, 128}, {38, 0, 76}, {57, 38, 76}, {19, 0, 38}, {29, 19, 38},
    {64, 0, 255}, {159, 128, 255}, {41, 0, 166}, {104, 83, 166}, {32, 0, 128},
    {80, 64, 128}, {19, 0, 76}, {48, 38, 76}, {10, 0, 38}, {24, 19, 38},
    {84, 84, 84}, {118, 118, 118}, {152, 152, 152}, {187, 187, 187}, {221, 221, 221},
    {255, 255, 255},
};

struct Store8 {
  static constexpr int kBytes = 1;
  static void put(uint8_t* p, uint32_t v) { *p = static_cast<uint8_t>(v); }
  static void fill(uint8_t* p, int n, uint32_t v) { std::memset(p, static_cast<uint8_t>(v), static_cast<size_t>(n)); }
};
struct Store16 {
  static constexpr int kBytes = 2;
  static void put(uint8_t* p, uint32_t v) {
    const uint16_t w = static_cast<uint16_t>(v);
    std::memcpy(p, &w, 2);
  }
  static void fill(uint8_t* p, int n, uint32_t v) {
    uint16_t* w = reinterpret_cast<uint16_t*>(p);
    std::fill(w, w + n, static_cast<uint16_t>(v));
  }
};
struct Store24 {
  static constexpr int kBytes = 3;
  static void put(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
  }
  static void fill(uint8_t* p, int n, uint32_t v) {
    for (int i = 0; i < n; ++i, p += 3) put(p, v);
  }
};
struct Store32 {
  static constexpr int kBytes = 4;
  static void put(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
  // The C library's wide-character fill is its 32-bit memset, with the same
  // wide and streaming stores for long runs.
  static_assert(sizeof(wchar_t) == 4, "wmemset fills 32-bit values");
  static void fill(uint8_t* p, int n, uint32_t v) {
    std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(v), static_cast<size_t>(n));
  }
};

// Walks a clipped line over the bits; the pattern position advances with
// every step, that is with the major coordinate.
template <class Store, bool Solid>
struct LineCursor {
  uint8_t* p;
  ptrdiff_t ystep;
  uint32_t v;
  const uint8_t* pattern;
  unsigned pos;
  void plot() {
    if (Solid || pattern[pos & 15]) Store::put(p, v);
  }
  void step(bool right, bool row) {
    p += (ptrdiff_t(Store::kBytes) & -ptrdiff_t(right)) + (ystep & -ptrdiff_t(row));
    ++pos;
  }
};

int lowest_bit(uint32_t m) {
  int s = 0;
  while (s < 31 && !(m & (1u << s))) ++s;
  return s;
}

}  // namespace

CMyDC::CMyDC() { std::memset(m_pattern, 1, sizeof m_pattern); }

CMyDC::~CMyDC() { DeleteDC(); }

void CMyDC::SelectRoutines(int bits) {
  switch (bits) {
    case 8:
      m_line = &CMyDC::Line8; m_hline = &CMyDC::HLine8; m_vline = &CMyDC::VLine8; m_pixel = &CMyDC::SetPixel8;
      break;
    case 16:
      m_line = &CMyDC::Line16; m_hline = &CMyDC::HLine16; m_vline = &CMyDC::VLine16; m_pixel = &CMyDC::SetPixel16;
      break;
    case 24:
      m_line = &CMyDC::Line24; m_hline = &CMyDC::HLine24; m_vline = &CMyDC::VLine24; m_pixel = &CMyDC::SetPixel24;
      break;
    case 32:
      m_line = &CMyDC::Line32; m_hline = &CMyDC::HLine32; m_vline = &CMyDC::VLine32; m_pixel = &CMyDC::SetPixel32;
      break;
    default:
      m_line = &CMyDC::LineNone; m_hline = &CMyDC::RunNone; m_vline = &CMyDC::RunNone; m_pixel = &CMyDC::PixelNone;
      break;
  }
}

HDC CMyDC::CreateCompatibleDC(HDC& ref, int width, int height, int bits) {
  if (m_memdc) return nullptr;
  DeleteDC();  // a leftover bitmap or header
  if (bits == 0) bits = GetDeviceCaps(ref, BITSPIXEL);
  if (bits <= 8) bits = 8;
  if (bits != 16 && bits != 24 && bits != 32 && bits != 8) return nullptr;
  if (width <= 0 || height <= 0) return nullptr;
  const int64_t stride = ((static_cast<int64_t>(width) * bits + 31) / 32) * 4;
  if (stride * height > INT32_MAX) return nullptr;

  BITMAPINFO* header = static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)));
  if (!header) return nullptr;
  BITMAPINFOHEADER& h = header->bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bits);
  h.biCompression = (bits == 16 || bits == 32) ? BI_BITFIELDS : BI_RGB;
  h.biSizeImage = static_cast<DWORD>(height * ((((static_cast<int64_t>(bits) * width) / 8) + 3) & ~int64_t(3)));
  h.biClrUsed = bits == 8 ? 256 : 0;
  uint32_t* masks = reinterpret_cast<uint32_t*>(header->bmiColors);
  if (bits == 32) {
    masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
  } else if (bits == 16) {
    masks[0] = 0xF800; masks[1] = 0x7E0; masks[2] = 0x1F;
  } else if (bits == 8) {
    for (int i = 0; i < 256; ++i)
      header->bmiColors[i] = RGBQUAD{kPalette8[i][2], kPalette8[i][1], kPalette8[i][0], 0};
  } else {
    header->bmiColors[0] = RGBQUAD{255, 255, 255, 0};
  }

  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(ref, header, DIB_RGB_COLORS, &pixels, nullptr, 0);
  HDC memdc = bitmap ? ::CreateCompatibleDC(ref) : nullptr;
  if (!memdc) {
    if (bitmap) DeleteObject(bitmap);
    std::free(header);
    return nullptr;
  }
  m_header = header;
  m_bitmap = bitmap;
  m_bits = static_cast<uint8_t*>(pixels);
  m_width = width;
  m_height = height;
  m_bpp = bits;
  m_stride = static_cast<int>(stride);
  m_image_size = static_cast<int>(stride * height);
  std::memset(m_bits, 0xFF, static_cast<size_t>(m_image_size));
  m_memdc = memdc;
  m_prev_bitmap = SelectObject(m_memdc, m_bitmap);
  m_draw = RECT{0, 0, width, height};
  SelectRoutines(bits);
  return m_memdc;
}

int CMyDC::DeleteDC() {
  if (m_memdc) {
    SelectObject(m_memdc, m_prev_bitmap);
    ::DeleteDC(m_memdc);
  }
  if (m_bitmap) DeleteObject(m_bitmap);
  std::free(m_header);
  m_memdc = nullptr;
  m_bitmap = nullptr;
  m_prev_bitmap = nullptr;
  m_header = nullptr;
  m_bits = nullptr;
  // Nothing is drawn until the next surface exists.
  m_width = m_height = m_stride = m_image_size = 0;
  m_draw = RECT{0, 0, 0, 0};
  SelectRoutines(0);
  return 1;
}

void CMyDC::SetDrawRect(RECT rect) {
  if (rect.left > rect.right) std::swap(rect.left, rect.right);
  if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
  // Never beyond the surface: the routines trust the rectangle.
  rect.left = std::min(std::max(rect.left, 0), m_width);
  rect.right = std::min(std::max(rect.right, 0), m_width);
  rect.top = std::min(std::max(rect.top, 0), m_height);
  rect.bottom = std::min(std::max(rect.bottom, 0), m_height);
  m_draw = rect;
}

void CMyDC::SetMappedColor(uint32_t color) {
  const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  if (m_bpp == 16) {
    const uint32_t* masks = reinterpret_cast<const uint32_t*>(m_header->bmiColors);
    m_value = ((r * 31 / 255) << lowest_bit(masks[0])) | ((g * 63 / 255) << lowest_bit(masks[1])) |
              ((b * 31 / 255) << lowest_bit(masks[2]));
    return;
  }
  // The first exact entry; none gives 256, written as its low byte 0.
  m_value = 256;
  for (uint32_t i = 0; i < 256; ++i) {
    const RGBQUAD& q = m_header->bmiColors[i];
    if (q.rgbRed == r && q.rgbGreen == g && q.rgbBlue == b && q.rgbReserved == 0) {
      m_value = i;
      break;
    }
  }
}

void CMyDC::SetLineStyleDashed(int dashed) {
  for (int k = 0; k < 16; ++k) m_pattern[k] = dashed ? ((k % 4) < 2) : 1;
  m_solid = !dashed;
}

// ---- Per-depth routines ----

template <class Store>
void CMyDC::LineT(int x1, int y1, int x2, int y2) {
  QmLine l;
  if (!qm_clip_line(x1, y1, x2, y2, m_draw.left, m_draw.top, m_draw.right, m_draw.bottom, &l)) return;
  const int64_t dx = int64_t(l.x2) - l.x1, dy = int64_t(l.y2) - l.y1;
  const bool x_major = dx >= (dy < 0 ? -dy : dy);
  uint8_t* p = Row(l.y1) + static_cast<ptrdiff_t>(l.x1) * Store::kBytes;
  // Rows go up in memory as y grows (bottom-up bitmap).
  const ptrdiff_t ystep = dy >= 0 ? -static_cast<ptrdiff_t>(m_stride) : m_stride;
  // The pattern position: x + 1, y + 1, or for a y-major line rising to the
  // right y1 + y2 - y + 1; each grows by one per major step.
  const unsigned pos = x_major ? unsigned(l.x1) + 1 : (dy >= 0 ? unsigned(l.y1) + 1 : unsigned(l.y2) + 1);
  if (m_solid) {
    LineCursor<Store, true> c{p, ystep, m_value, m_pattern, pos};
    qm_walk_line(l, c);
  } else {
    LineCursor<Store, false> c{p, ystep, m_value, m_pattern, pos};
    qm_walk_line(l, c);
  }
}

template <class Store>
void CMyDC::HLineT(int y, int x0, int x1) {
  if (x1 <= x0) return;
  uint8_t* p = Row(y) + static_cast<ptrdiff_t>(x0) * Store::kBytes;
  if (m_solid) {
    Store::fill(p, x1 - x0, m_value);
    return;
  }
  for (int x = x0; x < x1; ++x, p += Store::kBytes)
    if (m_pattern[(x + 1) & 15]) Store::put(p, m_value);
}

template <class Store>
void CMyDC::VLineT(int x, int y0, int y1) {
  uint8_t* p = Row(y0) + static_cast<ptrdiff_t>(x) * Store::kBytes;
  for (int y = y0; y < y1; ++y, p -= m_stride)
    if (m_pattern[(y + 1) & 15]) Store::put(p, m_value);
}

template <class Store>
void CMyDC::SetPixelT(int x, int y) {
  if (x < m_draw.left || x >= m_draw.right || y < m_draw.top || y >= m_draw.bottom) return;
  Store::put(Row(y) + static_cast<ptrdiff_t>(x) * Store::kBytes, m_value);
}

void CMyDC::Line8(int x1, int y1, int x2, int y2) { LineT<Store8>(x1, y1, x2, y2); }
void CMyDC::Line16(int x1, int y1, int x2, int y2) { LineT<Store16>(x1, y1, x2, y2); }
void CMyDC::Line24(int x1, int y1, int x2, int y2) { LineT<Store24>(x1, y1, x2, y2); }
void CMyDC::Line32(int x1, int y1, int x2, int y2) { LineT<Store32>(x1, y1, x2, y2); }
void CMyDC::HLine8(int y, int x0, int x1) { HLineT<Store8>(y, x0, x1); }
void CMyDC::HLine16(int y, int x0, int x1) { HLineT<Store16>(y, x0, x1); }
void CMyDC::HLine24(int y, int x0, int x1) { HLineT<Store24>(y, x0, x1); }
void CMyDC::HLine32(int y, int x0, int x1) { HLineT<Store32>(y, x0, x1); }
void CMyDC::VLine8(int x, int y0, int y1) { VLineT<Store8>(x, y0, y1); }
void CMyDC::VLine16(int x, int y0, int y1) { VLineT<Store16>(x, y0, y1); }
void CMyDC::VLine24(int x, int y0, int y1) { VLineT<Store24>(x, y0, y1); }
void CMyDC::VLine32(int x, int y0, int y1) { VLineT<Store32>(x, y0, y1); }
void CMyDC::SetPixel8(int x, int y) { SetPixelT<Store8>(x, y); }
void CMyDC::SetPixel16(int x, int y) { SetPixelT<Store16>(x, y); }
void CMyDC::SetPixel24(int x, int y) { SetPixelT<Store24>(x, y); }
void CMyDC::SetPixel32(int x, int y) { SetPixelT<Store32>(x, y); }

// ---- Drawing calls ----

void CMyDC::Line(int x1, int y1, int x2, int y2) { (this->*m_line)(x1, y1, x2, y2); }

void CMyDC::HLine(int y, int x1, int x2) {
  if (y < m_draw.top || y >= m_draw.bottom) return;
  if (x1 > x2) std::swap(x1, x2);
  if (x2 < m_draw.left || x1 >= m_draw.right) return;
  (this->*m_hline)(y, std::max(x1, static_cast<int>(m_draw.left)), std::min(x2, static_cast<int>(m_draw.right) - 1));
}

void CMyDC::VLine(int x, int y1, int y2) {
  if (x < m_draw.left || x >= m_draw.right) return;
  if (y1 > y2) std::swap(y1, y2);
  if (y2 < m_draw.top || y1 >= m_draw.bottom) return;
  (this->*m_vline)(x, std::max(y1, static_cast<int>(m_draw.top)), std::min(y2, static_cast<int>(m_draw.bottom) - 1));
}

void CMyDC::SetPixel(int x, int y) { (this->*m_pixel)(x, y); }

RECT CMyDC::NormalizeRect(RECT* rect) const {
  RECT r = *rect;
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  r.left = std::max(r.left, m_draw.left);
  r.top = std::max(r.top, m_draw.top);
  r.right = std::min(r.right, m_draw.right);
  r.bottom = std::min(r.bottom, m_draw.bottom);
  return r;
}

void CMyDC::FillRect(RECT* rect) {
  if (!rect) return;
  const RECT r = NormalizeRect(rect);
  if (r.left >= r.right || r.top >= r.bottom) return;
  // Rows as wide as an unpadded surface lie end to end in memory (the lowest
  // row on the screen first): a solid fill of them is one run.
  if (m_solid && r.left == 0 && r.right == m_width && int64_t(m_stride) * 8 == int64_t(m_width) * m_bpp) {
    (this->*m_hline)(r.bottom - 1, 0, m_width * (r.bottom - r.top));
    return;
  }
  for (int y = r.top; y < r.bottom; ++y) (this->*m_hline)(y, r.left, r.right);
}

void CMyDC::Polyline(const POINT* points, int count) {
  if (!points) return;
  for (int i = count - 2; i >= 0; --i) (this->*m_line)(points[i + 1].x, points[i + 1].y, points[i].x, points[i].y);
}
