// Private model of the software GDI: the objects behind the handles and the
// pixel surface they draw on.
//
// Every handle is the address of an Object registered in one table; a handle
// not in the table (or of the wrong type) is refused, never dereferenced.
// A Surface describes DIB-layout pixel memory (rows, stride, depth, masks,
// palette) and converts colours to and from pixel values; all drawing goes
// through Painter, which applies the DC's mix mode to whole pixel values.
#pragma once

#include <wingdi.h>

#include <cstdint>
#include <string>
#include <vector>

struct FT_FaceRec_;

namespace qmgdi {

struct Dc;

struct Object {
  DWORD type = 0;
  bool stock = false;
  int selections = 0;  // number of DCs holding this object
  virtual ~Object() = default;
};

struct Pen : Object {
  UINT style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct Brush : Object {
  UINT style = BS_SOLID;
  COLORREF color = 0;
  // BS_PATTERN: a tile of pat_w x pat_h, top-down; colours, or for a
  // monochrome tile 0 (text colour) and 1 (background colour).
  int pat_w = 0, pat_h = 0;
  bool pat_mono = false;
  std::vector<COLORREF> pattern;
  // The colour of the brush at a device pixel of a DC.
  COLORREF color_at(const Dc* dc, int64_t x, int64_t y) const;
};

struct Font : Object {
  int height = 0;
  int weight = 0;
  std::string face;  // as given (GBK)
  std::string file;  // the font file the face resolved to
  long face_index = 0;  // the face's index in it (a collection holds several)
};

// Pixel memory in DIB layout.
struct Surface {
  uint8_t* bits = nullptr;
  int width = 0, height = 0;
  int stride = 0;  // bytes per row, a multiple of 4
  int bpp = 0;     // 1, 4, 8, 16, 24 or 32
  bool top_down = false;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue at 16 and 32 bits
  RGBQUAD palette[256] = {};
  int palette_size = 0;  // entries used at 1, 4 and 8 bits
  uint32_t value_mask = 0;  // bits of a pixel value that colours and mixes touch

  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint8_t* row(int y) const { return bits + static_cast<ptrdiff_t>(top_down ? y : height - 1 - y) * stride; }
  uint32_t get(int x, int y) const;
  void put(int x, int y, uint32_t v);
  // The pixel value that shows a colour (nearest palette entry at 8 bits and less).
  uint32_t from_rgb(COLORREF c) const;
  COLORREF to_rgb(uint32_t v) const;
  // Fills depth-derived fields (value mask, default masks); false for a bad format.
  bool finish_format();
};

struct Bitmap : Object {
  Surface s;
  bool dib = false;     // a DIB section (else a compatible bitmap)
  bool owns_bits = true;
  BITMAPINFOHEADER header = {};  // as the DIB section was created
  Dc* holder = nullptr;  // the DC it is selected into
  ~Bitmap() override;
};

// A recorded path: figures of points in device pixels.
struct Figure {
  std::vector<POINT> pts;
  bool closed = false;
};

struct Dc : Object {
  // A printer's page: set by QmGdiSetPrinterCaps; 0 for the screen's values.
  int device_width = 0, device_height = 0, device_dpi = 0;
  Bitmap* bitmap = nullptr;
  Pen* pen = nullptr;
  Brush* brush = nullptr;
  Font* font = nullptr;
  int rop2 = R2_COPYPEN;
  int bk_mode = OPAQUE;
  COLORREF bk_color = 0xFFFFFF;
  COLORREF text_color = 0;
  UINT text_align = 0;  // TA_LEFT | TA_TOP
  int arc_dir = AD_COUNTERCLOCKWISE;
  int fill_mode = ALTERNATE;
  POINT pos = {0, 0};
  int style_pos = 0;  // dash pattern position carried from line to line
  // Path recording: 0 none, 1 recording, 2 closed and ready to draw.
  int path_state = 0;
  std::vector<Figure> path;
  // The pixels the DC draws on: the selected bitmap's surface. A window DC
  // will point this at the window's pixel buffer instead.
  Surface* target() const { return bitmap ? &bitmap->s : nullptr; }
};

// ---- objects.cpp ----
void register_object(Object* o);
// Registers an object that lives as long as the process and is not counted
// as live (DeleteObject leaves it alone).
void register_stock_object(Object* o);
Object* find_object(HGDIOBJ h);
template <class T>
T* find(HGDIOBJ h, DWORD type) {
  Object* o = find_object(h);
  return o && o->type == type ? static_cast<T*>(o) : nullptr;
}
Dc* find_dc(HDC h);

// Replaces one field of a DC's state when the value is valid; the old value,
// or `fail` for a bad DC or value.
template <class T>
T set_state(HDC hdc, T Dc::*field, T value, bool valid, T fail) {
  Dc* dc = find_dc(hdc);
  if (!dc || !valid) return fail;
  const T old = dc->*field;
  dc->*field = value;
  return old;
}

template <class T>
T get_state(HDC hdc, T Dc::*field, T fail) {
  Dc* dc = find_dc(hdc);
  return dc ? dc->*field : fail;
}

// Screen metrics of the virtual display.
struct Screen {
  int width = 1920, height = 1080, bpp = 32, dpi = 96;
};
const Screen& screen();
// Builds a surface of the screen's format (compatible bitmaps).
bool make_screen_format(Surface* s, int bpp);

// ---- paint.cpp ----
uint32_t apply_rop2(int rop2, uint32_t pen, uint32_t dst);

// Writes pixel values through a mix mode.
class Painter {
 public:
  Painter(Surface& s, int rop2) : s_(s), rop2_(rop2) {}
  void pixel(int x, int y, uint32_t v) {
    if (!s_.contains(x, y)) return;
    put(x, y, v);
  }
  void put(int x, int y, uint32_t v) {
    if (rop2_ == R2_COPYPEN) s_.put(x, y, v);
    else s_.put(x, y, apply_rop2(rop2_, v, s_.get(x, y)));
  }
  // Pixels x0 .. x1 - 1 of row y, clipped to the surface.
  void span(int y, int x0, int x1, uint32_t v);
  Surface& surface() { return s_; }
  int rop2() const { return rop2_; }

 private:
  Surface& s_;
  int rop2_;
};

// A set of pixels over a window of the surface, each marked with a class,
// so that a shape touches every pixel once whatever its parts overlap.
class Coverage {
 public:
  enum : uint8_t { kNone = 0, kFill = 1, kGap = 2, kPen = 3 };
  Coverage(int x0, int y0, int x1, int y1);  // window [x0, x1) x [y0, y1), clipped by the caller
  bool empty() const { return w_ <= 0 || h_ <= 0; }
  int x0() const { return x0_; }
  int y0() const { return y0_; }
  int x1() const { return x0_ + w_; }
  int y1() const { return y0_ + h_; }
  // Marks pixels with a class; a higher class wins over a lower one.
  void mark(int x, int y, uint8_t c) {
    if (x < x0_ || y < y0_ || x >= x0_ + w_ || y >= y0_ + h_) return;
    uint8_t& m = cells_[static_cast<size_t>(y - y0_) * w_ + (x - x0_)];
    if (c > m) m = c;
  }
  void mark_span(int y, int xa, int xb, uint8_t c);  // xa .. xb - 1
  uint8_t at(int x, int y) const {
    if (x < x0_ || y < y0_ || x >= x0_ + w_ || y >= y0_ + h_) return kNone;
    return cells_[static_cast<size_t>(y - y0_) * w_ + (x - x0_)];
  }
  // Paints every marked pixel once with the value of its class.
  void paint(Painter& p, uint32_t fill, uint32_t gap, uint32_t pen) const;

 private:
  int x0_, y0_, w_, h_;
  std::vector<uint8_t> cells_;
};

// Pixel bounds of some points, inclusive.
struct Box {
  int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
  void add(int64_t x, int64_t y) {
    if (x < x0) x0 = x;
    if (y < y0) y0 = y;
    if (x > x1) x1 = x;
    if (y > y1) y1 = y;
  }
  bool empty() const { return x0 > x1 || y0 > y1; }
};
// A coverage over a box grown by a margin, cut to the surface.
Coverage coverage_window(const Surface& s, const Box& b, int margin);

// ---- fonts.cpp ----
// The FreeType face a font resolved to (the default face for the stock
// font); null when there is none.
FT_FaceRec_* font_face(const Font* f);
// Whether a face draws a character: it maps the character to a glyph with
// an outline (some faces map characters to empty glyphs), or to any glyph
// for a blank.
bool face_draws(FT_FaceRec_* f, uint32_t ch);
// An installed face that has the character, for one the font lacks (as the
// window system links fonts); null when none has it.
FT_FaceRec_* fallback_face(uint32_t ch);
// One installed face that has every character of a run the font lacks (a
// word of Chinese in a Latin face), so that the run is drawn in one face,
// not each character in the face that suits it best alone; null when no
// one face has them all.
FT_FaceRec_* fallback_face(const std::u16string& run);
// Pixels per font unit at a font height.
double font_units_scale(FT_FaceRec_* f, int height);

// ---- lines.cpp ----
// Cosmetic or wide line from the DC's pen, drawn straight on the surface.
void draw_pen_line(Dc* dc, int x1, int y1, int x2, int y2);
// Marks the outline of a polyline (closed: back to its first point) with the
// DC's pen into a coverage.
void mark_pen_polyline(Dc* dc, const POINT* pts, size_t n, bool closed, Coverage* cov);
// Flattens cubic Beziers (3n + 1 points) into a polyline, appended to out.
void flatten_beziers(const POINT* pts, size_t n, std::vector<POINT>* out);
bool pen_draws(const Dc* dc);

// ---- shapes.cpp ----
// Marks the interior of closed figures under a fill mode.
void mark_fill(const std::vector<Figure>& figs, int fill_mode, Coverage* cov);
// Outline with the pen and interior with the brush, each pixel once.
void draw_figures(Dc* dc, const std::vector<Figure>& figs, bool stroke, bool fill);

}  // namespace qmgdi
