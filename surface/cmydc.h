// The kernel's off-screen drawing surface: a DIB section selected into a
// memory DC, on which lines, runs, pixels, rectangles, ellipses and filled
// polygons are written straight into the bitmap's bits without GDI. GDI
// drawing on the memory DC (GetDC) lands in the same pixels.
//
// The per-depth routines (8, 16, 24 and 32 bits per pixel) are chosen once
// when the surface is made and called through member pointers; an empty
// surface (none made, or making it failed) has routines that do nothing and
// an empty draw rectangle. Every drawing call clips to the draw rectangle,
// which always lies inside the surface. The surface owns its DC, bitmap and
// header, so it cannot be copied.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/as_pt.h"
#include "surface/device_point.h"
#include <qm_raster.h>

class CMyDC {
 public:
  CMyDC();
  virtual ~CMyDC();
  CMyDC(const CMyDC&) = delete;
  CMyDC& operator=(const CMyDC&) = delete;

  // Makes a surface of width x height pixels at `bits` per pixel (0: the
  // reference DC's depth; 8 or less: 8). Returns the memory DC, or null when
  // a surface already exists (nothing changes), when the depth is not 8, 16,
  // 24 or 32, when a side is 0 or less, or when the bitmap cannot be made
  // (the surface is then empty). The pixels start white.
  HDC CreateCompatibleDC(HDC& ref, int width, int height, int bits);
  // Frees the surface; harmless on an empty one. Colour and pattern stay.
  int DeleteDC();
  // The memory DC holding the bitmap (null without a surface).
  HDC GetDC() const { return m_memdc; }

  // Clip rectangle, sides ordered and intersected with the surface.
  void SetDrawRect(RECT rect);
  RECT GetDrawRect() const { return m_draw; }

  // Current colour (0x00BBGGRR) as this surface's pixel value.
  void SetColor(uint32_t color) {
    if ((m_bpp == 16 || m_bpp == 8) && m_header) {
      SetMappedColor(color);
    } else {
      m_value = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    }
  }
  // The current colour as this surface holds it, to put back exactly after
  // drawing something in another.
  uint32_t GetPixelValue() const { return m_value; }
  void SetPixelValue(uint32_t value) { m_value = value; }
  // Non-zero: two pixels on, two off; zero: solid.
  void SetLineStyleDashed(int dashed);

  // Line from (x1, y1) to (x2, y2): start pixel in, end pixel out.
  void Line(int x1, int y1, int x2, int y2);
  // Runs up to, not including, their second coordinate, clipped to the draw
  // rectangle less its last column (row).
  void HLine(int y, int x1, int x2);
  void VLine(int x, int y1, int y2);
  void SetPixel(int x, int y);
  void FillRect(RECT* rect);
  // Lines from point i + 1 back to point i, last segment first.
  void Polyline(const POINT* points, int count);
  // Outline of the ellipse inscribed in the box (never filled).
  void Ellipse(int left, int top, int right, int bottom);
  // Rings of points, each closed by repeating its first point; filled
  // even-odd in `color` (0xFFFFFFFF: the current colour) when fill is
  // non-zero, always outlined in the current colour.
  void Polygon(POINT* points, int count, int fill, uint32_t color);

  void LinePt(const As_Pt& a, const As_Pt& b) {
    const POINT from = mb_device_point(a), to = mb_device_point(b);
    Line(from.x, from.y, to.x, to.y);
  }
  void SetPixelPt(const As_Pt& p) {
    const POINT at = mb_device_point(p);
    SetPixel(at.x, at.y);
  }

 private:
  using LineFn = void (CMyDC::*)(int, int, int, int);
  using RunFn = void (CMyDC::*)(int, int, int);
  using PixelFn = void (CMyDC::*)(int, int);

  template <class Store> void LineT(int x1, int y1, int x2, int y2);
  template <class Store> void HLineT(int y, int x0, int x1);
  template <class Store> void VLineT(int x, int y0, int y1);
  template <class Store> void SetPixelT(int x, int y);

  void Line8(int x1, int y1, int x2, int y2);
  void Line16(int x1, int y1, int x2, int y2);
  void Line24(int x1, int y1, int x2, int y2);
  void Line32(int x1, int y1, int x2, int y2);
  void HLine8(int y, int x0, int x1);
  void HLine16(int y, int x0, int x1);
  void HLine24(int y, int x0, int x1);
  void HLine32(int y, int x0, int x1);
  void VLine8(int x, int y0, int y1);
  void VLine16(int x, int y0, int y1);
  void VLine24(int x, int y0, int y1);
  void VLine32(int x, int y0, int y1);
  void SetPixel8(int x, int y);
  void SetPixel16(int x, int y);
  void SetPixel24(int x, int y);
  void SetPixel32(int x, int y);
  // The routines of an empty surface.
  void LineNone(int, int, int, int) {}
  void RunNone(int, int, int) {}
  void PixelNone(int, int) {}

  // The pixel value of a colour on a 16-bit or palette surface.
  void SetMappedColor(uint32_t color);
  RECT NormalizeRect(RECT* rect) const;
  void SelectRoutines(int bits);
  void EllipsePoints(int64_t cx, int64_t cy, int64_t x, int64_t y);
  uint8_t* Row(int y) const { return m_bits + static_cast<ptrdiff_t>(m_height - 1 - y) * m_stride; }

  HBITMAP m_bitmap = nullptr;
  HDC m_memdc = nullptr;
  HGDIOBJ m_prev_bitmap = nullptr;
  int m_width = 0, m_height = 0;
  RECT m_draw = {0, 0, 0, 0};
  int m_bpp = 0;
  int m_stride = 0;
  uint8_t* m_bits = nullptr;
  int m_image_size = 0;
  BITMAPINFO* m_header = nullptr;
  uint32_t m_value = 0;
  uint8_t m_pattern[16];
  bool m_solid = true;  // every pattern flag set
  LineFn m_line = &CMyDC::LineNone;
  RunFn m_hline = &CMyDC::RunNone;
  RunFn m_vline = &CMyDC::RunNone;
  PixelFn m_pixel = &CMyDC::PixelNone;
};
