// Bitmaps and block transfers: DIB sections, compatible bitmaps, reading
// bits back (GetDIBits), stretching a DIB onto a DC, BitBlt, PatBlt,
// FillRect and single pixels.
//
// A DIB header is validated before anything is read through it: depth,
// planes, compression, masks, palette size and a size limit computed in 64
// bits. Block transfers clip to both surfaces; pixels move raw between equal
// formats and through RGB between different ones.
#include "gdi_internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace qmgdi {

namespace {

// Largest pixel buffer the stand-in allocates (1 GiB).
constexpr int64_t kMaxImageBytes = int64_t(1) << 30;

int64_t stride_of(int64_t width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

// Reads the format of a DIB header into a surface (bits not set). Returns the
// number of pixel bytes the DIB holds, or -1 when the header is unusable.
int64_t read_format(const BITMAPINFO* info, UINT usage, Surface* s) {
  if (!info || usage != DIB_RGB_COLORS) return -1;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 1024) return -1;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN || h.biPlanes != 1) return -1;
  const int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return -1;
  const uint8_t* base = reinterpret_cast<const uint8_t*>(info);
  s->bpp = bpp;
  s->width = h.biWidth;
  s->height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  s->top_down = h.biHeight < 0;
  s->masks[0] = s->masks[1] = s->masks[2] = 0;
  s->palette_size = 0;
  if (h.biCompression == BI_BITFIELDS) {
    if (bpp != 16 && bpp != 32) return -1;
    // The masks follow the 40-byte core of the header (inside larger headers).
    std::memcpy(s->masks, base + sizeof(BITMAPINFOHEADER), sizeof s->masks);
  } else if (h.biCompression != BI_RGB) {
    return -1;
  }
  if (bpp <= 8) {
    const uint32_t full = 1u << bpp;
    const uint32_t n = h.biClrUsed == 0 || h.biClrUsed > full ? full : h.biClrUsed;
    std::memset(s->palette, 0, sizeof s->palette);
    std::memcpy(s->palette, base + h.biSize, n * sizeof(RGBQUAD));
    s->palette_size = static_cast<int>(n);
  }
  if (!s->finish_format()) return -1;
  const int64_t stride = stride_of(s->width, bpp);
  const int64_t bytes = stride * s->height;
  if (stride > INT32_MAX || bytes > kMaxImageBytes) return -1;
  s->stride = static_cast<int>(stride);
  return bytes;
}

Bitmap* new_bitmap(const Surface& format, bool dib) {
  const int64_t bytes = static_cast<int64_t>(format.stride) * format.height;
  if (format.stride <= 0 || bytes <= 0 || bytes > kMaxImageBytes) return nullptr;
  void* mem = std::calloc(static_cast<size_t>(bytes), 1);
  if (!mem) return nullptr;
  Bitmap* b = new (std::nothrow) Bitmap;
  if (!b) {
    std::free(mem);
    return nullptr;
  }
  b->type = OBJ_BITMAP;
  b->s = format;
  b->s.bits = static_cast<uint8_t*>(mem);
  b->dib = dib;
  BITMAPINFOHEADER& h = b->header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = format.width;
  h.biHeight = format.top_down ? -format.height : format.height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(format.bpp);
  h.biCompression = (format.bpp == 16 || format.bpp == 32) ? BI_BITFIELDS : BI_RGB;
  h.biSizeImage = static_cast<DWORD>(bytes);
  h.biClrUsed = format.bpp <= 8 ? static_cast<DWORD>(format.palette_size) : 0;
  register_object(b);
  return b;
}

bool same_format(const Surface& a, const Surface& b) {
  if (a.bpp != b.bpp) return false;
  if (a.bpp == 16 || a.bpp == 32) return std::memcmp(a.masks, b.masks, sizeof a.masks) == 0;
  if (a.bpp <= 8)
    return a.palette_size == b.palette_size &&
           std::memcmp(a.palette, b.palette, sizeof(RGBQUAD) * static_cast<size_t>(a.palette_size)) == 0;
  return true;
}

// True when the two surfaces' pixel memory overlaps.
bool shares_memory(const Surface& a, const Surface& b) {
  const uint8_t* a0 = a.bits;
  const uint8_t* a1 = a.bits + static_cast<ptrdiff_t>(a.stride) * a.height;
  const uint8_t* b0 = b.bits;
  const uint8_t* b1 = b.bits + static_cast<ptrdiff_t>(b.stride) * b.height;
  return std::less<const uint8_t*>()(a0, b1) && std::less<const uint8_t*>()(b0, a1);
}

// Converts pixel values of one surface into another's, remembering the last.
class Converter {
 public:
  Converter(const Surface& from, const Surface& to) : from_(from), to_(to), raw_(same_format(from, to)) {}
  uint32_t operator()(uint32_t v) {
    if (raw_) return v;
    if (!valid_ || v != last_in_) {
      last_in_ = v;
      last_out_ = to_.from_rgb(from_.to_rgb(v));
      valid_ = true;
    }
    return last_out_;
  }

 private:
  const Surface& from_;
  const Surface& to_;
  bool raw_;
  bool valid_ = false;
  uint32_t last_in_ = 0, last_out_ = 0;
};

bool normalize_box(int& x, int& y, int& w, int& h) {
  int64_t x0 = x, y0 = y, x1 = int64_t(x) + w, y1 = int64_t(y) + h;
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  if (x0 == x1 || y0 == y1) return false;
  x = static_cast<int>(x0);
  y = static_cast<int>(y0);
  w = static_cast<int>(x1 - x0);
  h = static_cast<int>(y1 - y0);
  return true;
}

// Clips [x, x + w) x [y, y + h) to the surface (64-bit safe).
bool clip_box(const Surface& s, int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1) {
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > s.width) x1 = s.width;
  if (y1 > s.height) y1 = s.height;
  return x0 < x1 && y0 < y1;
}

// Fills a box through a mix mode (used by the pattern raster operations).
void fill_box(Surface& s, int x, int y, int w, int h, uint32_t value, int rop2) {
  int64_t x0 = x, y0 = y, x1 = int64_t(x) + w, y1 = int64_t(y) + h;
  if (!clip_box(s, x0, y0, x1, y1)) return;
  Painter p(s, rop2);
  for (int64_t r = y0; r < y1; ++r) p.span(static_cast<int>(r), static_cast<int>(x0), static_cast<int>(x1), value);
}

// The pattern operations as a mix mode and a value; false when unsupported.
// A pattern brush leaves `value` to be taken per pixel (`pattern` set).
bool pattern_op(const Dc* dc, DWORD rop, int* rop2, uint32_t* value, bool* skip, const Brush** pattern) {
  const Surface& s = *dc->target();
  const bool uses_brush = rop == PATCOPY || rop == PATINVERT;
  *pattern = uses_brush && dc->brush && dc->brush->style == BS_PATTERN ? dc->brush : nullptr;
  const bool has_brush = (dc->brush && dc->brush->style == BS_SOLID) || *pattern;
  const uint32_t brush = has_brush && !*pattern ? s.from_rgb(dc->brush->color) : 0;
  *skip = false;
  switch (rop) {
    case PATCOPY: *rop2 = R2_COPYPEN; *value = brush; *skip = !has_brush; return true;
    case PATINVERT: *rop2 = R2_XORPEN; *value = brush; *skip = !has_brush; return true;
    case DSTINVERT: *rop2 = R2_NOT; *value = 0; return true;
    case BLACKNESS: *rop2 = R2_COPYPEN; *value = s.from_rgb(0); return true;
    case WHITENESS: *rop2 = R2_COPYPEN; *value = s.from_rgb(0xFFFFFF); return true;
    default: return false;
  }
}

// Fills a box with a pattern brush through a mix mode.
void fill_box_pattern(const Dc* dc, Surface& s, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Brush& b,
                      int rop2) {
  if (!clip_box(s, x0, y0, x1, y1)) return;
  Painter p(s, rop2);
  for (int64_t r = y0; r < y1; ++r)
    for (int64_t c = x0; c < x1; ++c) p.put(static_cast<int>(c), static_cast<int>(r), s.from_rgb(b.color_at(dc, c, r)));
}

}  // namespace

// The format of compatible bitmaps at a screen depth: masks at 16 and 32
// bits, a 6 x 6 x 6 colour cube and a grey ramp at 8 bits.
bool make_screen_format(Surface* s, int bpp) {
  s->bpp = bpp;
  s->top_down = true;
  s->masks[0] = s->masks[1] = s->masks[2] = 0;
  s->palette_size = 0;
  if (bpp == 16) {
    s->masks[0] = 0xF800; s->masks[1] = 0x07E0; s->masks[2] = 0x001F;
  } else if (bpp == 8) {
    int i = 0;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          s->palette[i++] = RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(r * 51), 0};
    for (int k = 0; i < 256; ++i, ++k) {
      BYTE v = static_cast<BYTE>(k * 255 / 39);
      s->palette[i] = RGBQUAD{v, v, v, 0};
    }
    s->palette_size = 256;
  } else if (bpp == 1) {
    s->palette[0] = RGBQUAD{0, 0, 0, 0};
    s->palette[1] = RGBQUAD{255, 255, 255, 0};
    s->palette_size = 2;
  }
  return s->finish_format();
}

}  // namespace qmgdi

using namespace qmgdi;

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  (void)offset;
  if (bits) *bits = nullptr;
  if ((hdc && !find_dc(hdc)) || section) return nullptr;
  Surface format;
  if (read_format(info, usage, &format) < 0) return nullptr;
  Bitmap* b = new_bitmap(format, true);
  if (!b) return nullptr;
  if (bits) *bits = b->s.bits;
  return reinterpret_cast<HBITMAP>(b);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  Dc* dc = find_dc(hdc);
  if (!dc || width < 0 || height < 0) return nullptr;
  Surface format;
  const Bitmap* held = dc->bitmap;
  bool dib = false;
  if (width == 0 || height == 0 || held->stock) {
    // A DC still holding its default 1 x 1 bitmap gives monochrome bitmaps.
    if (width == 0 || height == 0) width = height = 1;
    make_screen_format(&format, 1);
  } else if (held->dib) {
    // A DC holding a DIB section gives DIB sections of its format.
    format = held->s;
    format.bits = nullptr;
    dib = true;
  } else {
    make_screen_format(&format, screen().bpp);
  }
  format.width = width;
  format.height = height;
  const int64_t stride = stride_of(width, format.bpp);
  if (stride > INT32_MAX) return nullptr;
  format.stride = static_cast<int>(stride);
  Bitmap* b = new_bitmap(format, dib);
  return reinterpret_cast<HBITMAP>(b);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits) {
  if (width < 0 || height < 0 || planes != 1 || bits_per_pixel != 1) return nullptr;
  if (width == 0 || height == 0) width = height = 1, bits = nullptr;
  Surface format;
  make_screen_format(&format, 1);
  format.width = width;
  format.height = height;
  const int64_t stride = stride_of(width, 1);
  if (stride > INT32_MAX) return nullptr;
  format.stride = static_cast<int>(stride);
  Bitmap* b = new_bitmap(format, false);
  if (!b) return nullptr;
  if (bits) {
    // The caller's rows are padded to 16 bits, the bitmap's to 32.
    const size_t src_stride = static_cast<size_t>((int64_t(width) + 15) / 16 * 2);
    const size_t row_bytes = static_cast<size_t>((int64_t(width) + 7) / 8);
    const uint8_t* src = static_cast<const uint8_t*>(bits);
    for (int y = 0; y < height; ++y) std::memcpy(b->s.row(y), src + static_cast<size_t>(y) * src_stride, row_bytes);
  }
  return reinterpret_cast<HBITMAP>(b);
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
  Bitmap* b = find<Bitmap>(bitmap, OBJ_BITMAP);
  if (!find_dc(hdc) || !b || !info || usage != DIB_RGB_COLORS) return 0;
  const Surface& src = b->s;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (!bits && h.biBitCount == 0) {
    // Describe the bitmap.
    h.biWidth = src.width;
    h.biHeight = src.top_down && b->dib ? -src.height : src.height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(src.bpp);
    h.biCompression = (src.bpp == 16 || src.bpp == 32) ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = static_cast<DWORD>(static_cast<int64_t>(src.stride) * src.height);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    return 1;
  }
  Surface dst;
  if (read_format(info, usage, &dst) < 0) return 0;
  const bool paletted = dst.bpp <= 8;
  if (paletted) {
    // Indices copy only between equal depths; the colour table is the bitmap's.
    if (src.bpp != dst.bpp) return 0;
    std::memcpy(info->bmiColors, src.palette, sizeof(RGBQUAD) * static_cast<size_t>(src.palette_size));
    dst.palette_size = src.palette_size;
    std::memcpy(dst.palette, src.palette, sizeof dst.palette);
  }
  if (h.biCompression == BI_BITFIELDS) std::memcpy(info->bmiColors, dst.masks, sizeof dst.masks);
  h.biSizeImage = static_cast<DWORD>(static_cast<int64_t>(dst.stride) * dst.height);
  if (!bits) return 1;
  // Scan line k of the destination is row k from its bottom (bottom-up) or top.
  if (start >= static_cast<UINT>(dst.height)) return 0;
  const int64_t avail = std::min<int64_t>(dst.height, src.height) - start;
  const int count = static_cast<int>(std::min<int64_t>(lines, avail < 0 ? 0 : avail));
  const int cols = std::min(dst.width, src.width);
  dst.bits = static_cast<uint8_t*>(bits);
  Converter conv(src, dst);
  for (int k = 0; k < count; ++k) {
    const int line = static_cast<int>(start) + k;
    const int dy = dst.top_down ? line : dst.height - 1 - line;
    const int sy = dst.top_down ? line : src.height - 1 - line;
    if (sy < 0 || sy >= src.height) continue;
    for (int x = 0; x < cols; ++x) dst.put(x, dy, conv(src.get(x, sy)));
  }
  return count;
}

int StretchDIBits(HDC hdc, int x_dst, int y_dst, int w_dst, int h_dst, int x_src, int y_src, int w_src,
                  int h_src, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  Dc* dc = find_dc(hdc);
  if (!dc || !bits || rop != SRCCOPY) return 0;
  Surface src;
  if (read_format(info, usage, &src) < 0) return 0;
  src.bits = static_cast<uint8_t*>(const_cast<void*>(bits));
  if (w_dst == 0 || h_dst == 0 || w_src == 0 || h_src == 0) return 0;
  Surface& dst = *dc->target();
  const int64_t adw = w_dst < 0 ? -int64_t(w_dst) : w_dst, adh = h_dst < 0 ? -int64_t(h_dst) : h_dst;
  const int64_t asw = w_src < 0 ? -int64_t(w_src) : w_src, ash = h_src < 0 ? -int64_t(h_src) : h_src;
  // Destination columns and rows covered, clipped to the surface.
  const int64_t dx0 = w_dst > 0 ? x_dst : int64_t(x_dst) + w_dst + 1;
  const int64_t dy0 = h_dst > 0 ? y_dst : int64_t(y_dst) + h_dst + 1;
  int64_t cx0 = dx0, cy0 = dy0, cx1 = dx0 + adw, cy1 = dy0 + adh;
  if (!clip_box(dst, cx0, cy0, cx1, cy1)) return static_cast<int>(ash);
  // The mirrored flags: a negative destination or source extent flips the axis.
  const bool flip_x = (w_dst < 0) != (w_src < 0);
  const bool flip_y = (h_dst < 0) != (h_src < 0);
  const int64_t sx_first = w_src > 0 ? x_src : int64_t(x_src) + w_src + 1;
  const int64_t sy_first = h_src > 0 ? y_src : int64_t(y_src) + h_src + 1;
  Converter conv(src, dst);
  for (int64_t y = cy0; y < cy1; ++y) {
    int64_t j = y - dy0;
    if (flip_y) j = adh - 1 - j;
    const int64_t sj = ((2 * j + 1) * ash) / (2 * adh);
    // Source rows count from the bottom of a bottom-up DIB, from the top of a
    // top-down one; the first destination row shows the top of the source box.
    int64_t sy;
    if (src.top_down) sy = sy_first + sj;
    else sy = src.height - 1 - (sy_first + ash - 1 - sj);
    if (sy < 0 || sy >= src.height) continue;
    for (int64_t x = cx0; x < cx1; ++x) {
      int64_t i = x - dx0;
      if (flip_x) i = adw - 1 - i;
      const int64_t sx = sx_first + ((2 * i + 1) * asw) / (2 * adw);
      if (sx < 0 || sx >= src.width) continue;
      dst.put(static_cast<int>(x), static_cast<int>(y), conv(src.get(static_cast<int>(sx), static_cast<int>(sy))));
    }
  }
  return static_cast<int>(ash);
}

BOOL BitBlt(HDC hdst, int x, int y, int cx, int cy, HDC hsrc, int x_src, int y_src, DWORD rop) {
  Dc* dc = find_dc(hdst);
  if (!dc) return FALSE;
  Surface& dst = *dc->target();
  if (rop != SRCCOPY) {
    int rop2;
    uint32_t value;
    bool skip;
    const Brush* pattern;
    if (!pattern_op(dc, rop, &rop2, &value, &skip, &pattern)) return FALSE;
    if (cx <= 0 || cy <= 0 || skip) return TRUE;
    if (pattern) {
      fill_box_pattern(dc, dst, x, y, int64_t(x) + cx, int64_t(y) + cy, *pattern, rop2);
    } else {
      fill_box(dst, x, y, cx, cy, value, rop2);
    }
    return TRUE;
  }
  Dc* sdc = find_dc(hsrc);
  if (!sdc) return FALSE;
  const Surface& src = *sdc->target();
  if (cx <= 0 || cy <= 0) return TRUE;
  // Clip the destination box, then the matching source box, in 64 bits.
  int64_t dx0 = x, dy0 = y, dx1 = int64_t(x) + cx, dy1 = int64_t(y) + cy;
  const int64_t ox = int64_t(x_src) - x, oy = int64_t(y_src) - y;
  if (dx0 + ox < 0) dx0 = -ox;
  if (dy0 + oy < 0) dy0 = -oy;
  if (dx1 + ox > src.width) dx1 = src.width - ox;
  if (dy1 + oy > src.height) dy1 = src.height - oy;
  if (!clip_box(dst, dx0, dy0, dx1, dy1)) return TRUE;
  const int w = static_cast<int>(dx1 - dx0), h = static_cast<int>(dy1 - dy0);
  // The common case (a 32-bit surface shown in a 32-bit window): copy the
  // value bits row by row, keeping the destination's other bits as put does.
  if (src.bpp == 32 && same_format(src, dst) && !shares_memory(src, dst)) {
    const uint32_t keep = ~dst.value_mask, take = dst.value_mask;
    for (int r = 0; r < h; ++r) {
      const uint8_t* sp = src.row(static_cast<int>(dy0 + oy) + r) + 4 * (dx0 + ox);
      uint8_t* dp = dst.row(static_cast<int>(dy0) + r) + 4 * dx0;
      for (int c = 0; c < w; ++c, sp += 4, dp += 4) {
        uint32_t sv, dv;
        std::memcpy(&sv, sp, 4);
        std::memcpy(&dv, dp, 4);
        dv = (dv & keep) | (sv & take);
        std::memcpy(dp, &dv, 4);
      }
    }
    return TRUE;
  }
  // Copy through a buffer when both boxes lie in the same pixels.
  std::vector<uint32_t> buf(static_cast<size_t>(w) * h);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c)
      buf[static_cast<size_t>(r) * w + c] = src.get(static_cast<int>(dx0 + ox) + c, static_cast<int>(dy0 + oy) + r);
  Converter conv(src, dst);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c)
      dst.put(static_cast<int>(dx0) + c, static_cast<int>(dy0) + r, conv(buf[static_cast<size_t>(r) * w + c]));
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  Dc* dc = find_dc(hdc);
  if (!dc) return FALSE;
  int rop2;
  uint32_t value;
  bool skip;
  const Brush* pattern;
  if (!pattern_op(dc, rop, &rop2, &value, &skip, &pattern)) return FALSE;
  if (!normalize_box(x, y, w, h) || skip) return TRUE;
  if (pattern) {
    fill_box_pattern(dc, *dc->target(), x, y, int64_t(x) + w, int64_t(y) + h, *pattern, rop2);
  } else {
    fill_box(*dc->target(), x, y, w, h, value, rop2);
  }
  return TRUE;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH hbrush) {
  Dc* dc = find_dc(hdc);
  Brush* brush = find<Brush>(hbrush, OBJ_BRUSH);
  if (!dc || !rect || !brush) return 0;
  if (brush->style != BS_SOLID && brush->style != BS_PATTERN) return 1;
  if (rect->right <= rect->left || rect->bottom <= rect->top) return 1;
  Surface& s = *dc->target();
  if (brush->style == BS_PATTERN) {
    fill_box_pattern(dc, s, rect->left, rect->top, rect->right, rect->bottom, *brush, R2_COPYPEN);
    return 1;
  }
  const int64_t w = int64_t(rect->right) - rect->left, h = int64_t(rect->bottom) - rect->top;
  int64_t x0 = rect->left, y0 = rect->top, x1 = x0 + w, y1 = y0 + h;
  if (!clip_box(s, x0, y0, x1, y1)) return 1;
  Painter p(s, R2_COPYPEN);
  const uint32_t v = s.from_rgb(brush->color);
  for (int64_t r = y0; r < y1; ++r) p.span(static_cast<int>(r), static_cast<int>(x0), static_cast<int>(x1), v);
  return 1;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  Dc* dc = find_dc(hdc);
  if (!dc) return CLR_INVALID;
  Surface& s = *dc->target();
  if (!s.contains(x, y)) return CLR_INVALID;
  const uint32_t v = s.from_rgb(color);
  s.put(x, y, v);
  return s.to_rgb(v);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  Dc* dc = find_dc(hdc);
  if (!dc) return CLR_INVALID;
  const Surface& s = *dc->target();
  if (!s.contains(x, y)) return CLR_INVALID;
  return s.to_rgb(s.get(x, y));
}
