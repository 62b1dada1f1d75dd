// CxImage on the software GDI: reading a bitmap's pixels through GetDIBits,
// and painting through StretchDIBits. Draw samples the picture only for the
// destination pixels that can change (the box clipped to the surface and the
// clip rectangle) into a 32-bit window, which is copied onto the DC; a
// translucent picture first copies the DC's pixels out of the window and
// blends over them.
#include <wingdi.h>

#include <algorithm>
#include <cstring>

#include "ximage.h"

namespace {

// A BITMAPINFO with room for a full colour table.
struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

void describe(DibInfo* info, long width, long height, WORD bpp) {
  memset(info, 0, sizeof *info);
  info->header.biSize = sizeof(BITMAPINFOHEADER);
  info->header.biWidth = static_cast<LONG>(width);
  info->header.biHeight = static_cast<LONG>(-height);  // top-down
  info->header.biPlanes = 1;
  info->header.biBitCount = bpp;
  info->header.biCompression = BI_RGB;
}

// The picture as a top-down 24-bit DIB.
std::vector<uint8_t> to_dib(const QmRaster& r, DibInfo* info) {
  const size_t stride = (static_cast<size_t>(r.width) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> bits(stride * r.height);
  for (uint32_t y = 0; y < r.height; ++y) {
    const uint8_t* s = &r.rgb[static_cast<size_t>(y) * r.width * 3];
    uint8_t* d = &bits[y * stride];
    for (uint32_t x = 0; x < r.width; ++x) d[x * 3] = s[x * 3 + 2], d[x * 3 + 1] = s[x * 3 + 1], d[x * 3 + 2] = s[x * 3];
  }
  describe(info, r.width, r.height, 24);
  return bits;
}

// A 32-bit DIB section of blue, green, red bytes and one spare byte.
bool plain_32bit(const DIBSECTION& ds) {
  if (!ds.dsBm.bmBits || ds.dsBm.bmBitsPixel != 32) return false;
  if (ds.dsBmih.biCompression == BI_RGB) return true;
  return ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[0] == 0xFF0000 && ds.dsBitfields[1] == 0xFF00 &&
         ds.dsBitfields[2] == 0xFF;
}

// Source index of destination offset i in an extent of `dst` for a picture
// extent of `src`: the centre sampling of StretchDIBits.
int64_t sample(int64_t i, int64_t dst, int64_t src) { return ((2 * i + 1) * src) / (2 * dst); }

}  // namespace

bool CxImage::CreateFromHBITMAP(HBITMAP hbmp, HPALETTE /*hpal*/) {
  BITMAP bm;
  if (!hbmp || GetObject(hbmp, sizeof bm, &bm) != sizeof bm || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
  QmRaster img;
  if (!img.Allocate(static_cast<uint64_t>(bm.bmWidth), static_cast<uint64_t>(bm.bmHeight), false)) return false;
  // Paletted bitmaps give their indices and colour table; others 32-bit BGRX.
  const WORD bpp = bm.bmBitsPixel <= 8 ? bm.bmBitsPixel : 32;
  DibInfo info;
  describe(&info, bm.bmWidth, bm.bmHeight, bpp);
  const size_t stride = ((static_cast<size_t>(bm.bmWidth) * bpp + 31) / 32) * 4;
  std::vector<uint8_t> bits(stride * static_cast<size_t>(bm.bmHeight));
  HDC dc = CreateCompatibleDC(nullptr);
  const int lines = dc ? GetDIBits(dc, hbmp, 0, static_cast<UINT>(bm.bmHeight), bits.data(),
                                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS)
                       : 0;
  if (dc) DeleteDC(dc);
  if (lines != bm.bmHeight) return false;
  for (uint32_t y = 0; y < img.height; ++y) {
    const uint8_t* row = &bits[y * stride];
    uint8_t* d = &img.rgb[static_cast<size_t>(y) * img.width * 3];
    for (uint32_t x = 0; x < img.width; ++x, d += 3) {
      if (bpp == 32) {
        d[0] = row[x * 4 + 2], d[1] = row[x * 4 + 1], d[2] = row[x * 4];
        continue;
      }
      const unsigned per_byte = 8 / bpp, shift = 8 - bpp * (1 + x % per_byte);
      const RGBQUAD& c = info.colours[(row[x / per_byte] >> shift) & ((1u << bpp) - 1)];
      d[0] = c.rgbRed, d[1] = c.rgbGreen, d[2] = c.rgbBlue;
    }
  }
  raster_ = std::move(img);
  return true;
}

long CxImage::Stretch(HDC hdc, long xoffset, long yoffset, long xsize, long ysize, DWORD dwRop) {
  if (!IsValid() || !hdc) return 0;
  DibInfo info;
  std::vector<uint8_t> bits = to_dib(raster_, &info);
  return StretchDIBits(hdc, static_cast<int>(xoffset), static_cast<int>(yoffset), static_cast<int>(xsize),
                       static_cast<int>(ysize), 0, 0, static_cast<int>(raster_.width), static_cast<int>(raster_.height),
                       bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, dwRop) != 0
             ? 1
             : 0;
}

long CxImage::Draw(HDC hdc, long x, long y, long cx, long cy, RECT* pClipRect, bool /*bSmooth*/) {
  if (!IsValid() || !hdc) return 0;
  if (cx < 0) cx = static_cast<long>(raster_.width);
  if (cy < 0) cy = static_cast<long>(raster_.height);
  if (cx == 0 || cy == 0) return 1;

  // The window of destination pixels that may change: only those are
  // sampled, however large the picture or the box.
  int64_t x0 = x, y0 = y, x1 = int64_t(x) + cx, y1 = int64_t(y) + cy;
  if (pClipRect) {
    x0 = std::max<int64_t>(x0, pClipRect->left), y0 = std::max<int64_t>(y0, pClipRect->top);
    x1 = std::min<int64_t>(x1, pClipRect->right), y1 = std::min<int64_t>(y1, pClipRect->bottom);
  }
  BITMAP surface;
  HGDIOBJ held = GetCurrentObject(hdc, OBJ_BITMAP);
  // A DC whose bitmap is not an object of its own (a window's DC) is read
  // and written through BitBlt below, which keeps to its pixels.
  const bool known_surface = held && GetObject(held, sizeof surface, &surface) == sizeof surface;
  if (known_surface) {
    x0 = std::max<int64_t>(x0, 0), y0 = std::max<int64_t>(y0, 0);
    x1 = std::min<int64_t>(x1, surface.bmWidth), y1 = std::min<int64_t>(y1, surface.bmHeight);
  }
  if (x0 >= x1 || y0 >= y1) return 1;
  // Through BitBlt the window of pixels is copied whole: a box too large for
  // that is painted only when it is opaque and unclipped.
  constexpr int64_t kMaxWindowPixels = int64_t(1) << 24;
  if (!known_surface && (x1 - x0) * (y1 - y0) > kMaxWindowPixels)
    return !pClipRect && !AlphaIsValid() ? Stretch(hdc, x, y, cx, cy, SRCCOPY) : 0;
  const int ww = static_cast<int>(x1 - x0), wh = static_cast<int>(y1 - y0);

  // Destination column and row offsets to picture columns and rows.
  std::vector<size_t> column(static_cast<size_t>(ww));
  for (int c = 0; c < ww; ++c) column[c] = static_cast<size_t>(sample(x0 + c - x, cx, raster_.width));
  const bool blend = AlphaIsValid();
  // One window row of BGRX pixels; a translucent picture blends over them.
  auto paint_row = [&](int r, uint8_t* px) {
    const size_t row = static_cast<size_t>(sample(y0 + r - y, cy, raster_.height)) * raster_.width;
    for (int c = 0; c < ww; ++c, px += 4) {
      const size_t s = row + column[c];
      const uint8_t* rgb = &raster_.rgb[s * 3];
      if (!blend) {
        px[0] = rgb[2], px[1] = rgb[1], px[2] = rgb[0];
        continue;
      }
      const unsigned a = raster_.alpha[s];
      for (int k = 0; k < 3; ++k) px[k] = static_cast<uint8_t>((rgb[2 - k] * a + px[k] * (255 - a) + 127) / 255);
    }
  };

  // An opaque picture onto a plain 32-bit surface goes straight to its pixels.
  DIBSECTION ds;
  if (known_surface && !blend && GetObject(held, sizeof ds, &ds) == sizeof ds && plain_32bit(ds)) {
    uint8_t* base = static_cast<uint8_t*>(ds.dsBm.bmBits);
    const bool top_down = ds.dsBmih.biHeight < 0;
    for (int r = 0; r < wh; ++r) {
      const int64_t dy = y0 + r;
      const int64_t line = top_down ? dy : ds.dsBm.bmHeight - 1 - dy;
      paint_row(r, base + line * ds.dsBm.bmWidthBytes + 4 * x0);
    }
    return 1;
  }

  DibInfo info;
  describe(&info, ww, wh, 32);
  void* bits = nullptr;
  HBITMAP window = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC wdc = window ? CreateCompatibleDC(nullptr) : nullptr;
  HGDIOBJ old = wdc ? SelectObject(wdc, window) : nullptr;
  bool ok = old && (!blend || BitBlt(wdc, 0, 0, ww, wh, hdc, static_cast<int>(x0), static_cast<int>(y0), SRCCOPY));
  if (ok) {
    for (int r = 0; r < wh; ++r) paint_row(r, static_cast<uint8_t*>(bits) + static_cast<size_t>(r) * ww * 4);
    ok = BitBlt(hdc, static_cast<int>(x0), static_cast<int>(y0), ww, wh, wdc, 0, 0, SRCCOPY);
  }
  if (old) SelectObject(wdc, old);
  if (wdc) DeleteDC(wdc);
  if (window) DeleteObject(window);
  return ok ? 1 : 0;
}
