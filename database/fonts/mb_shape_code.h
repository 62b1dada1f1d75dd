// The shape byte-code of compiled shape fonts, run into pen strokes, and the
// placing of a glyph's strokes at a text's pen.
//
// One interpreter serves compiled fonts (mb_shx_library) and fonts compiled
// from source (mb_shp_library), so both draw a shape alike. The pen is down
// when a shape or a subshape starts; code 0 ends the shape and its open
// stroke; a pop with the pen down starts a new stroke at the popped
// position; odd vector directions have a minor component of half the
// length; arcs are cut into chords no further than 0.5% of the radius from
// the arc, and end exactly where their codes say.
//
// Shapes are untrusted: every operand is read inside the shape's bytes (a
// code whose operands are cut off ends the shape with the strokes made so
// far), subshapes nest at most kMaxDepth deep, and a glyph runs within the
// glyph budget and whatever text budget is open (mb_glyph_budget.h), so
// self-referencing, cyclic or exploding fonts end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "database/fonts/mb_shape_opcodes.h"
#include "geometry/as_pt.h"

class As_Void_List;

enum class Shape_Font_Kind {
  kShapes,   // subshape references are one byte
  kBigFont,  // one byte; 0 starts an extended reference (two-byte code and a box)
  kUnifont,  // two bytes, high byte first
};

typedef std::vector<As_Pt> Shape_Stroke;

struct Shape_Glyph {
  std::vector<Shape_Stroke> strokes;  // each of at least two points
  As_Pt end;                          // the position where the shape ended
  // What the run spent from the budgets, and whether they cut it short. A
  // run they did not cut draws the same whenever as much is left.
  long cost = 0;
  bool cut = false;
  // The scale (glyph units per font unit, upward) the first stroke was
  // drawn at: below 1 when the glyph's own subshapes shrink it; 0 for a
  // glyph without strokes.
  double draw_scale = 0;
};

// The font units that a text's height spans in a big font that gives no
// height above the baseline (only the depth of its cell, `below`): the cell
// at the scale its glyph draws at. Such a font's glyphs are drawn in a cell
// of `below` units and shrunk by their own subshapes, so that sized by their
// own cell they stand about as tall as the text whatever main font they
// accompany.
inline double big_font_cell_units(double below, double draw_scale) {
  return (below > 0 ? below : 1.0) * (draw_scale > 0 ? draw_scale : 1.0);
}

// The bytes of the shape with a code, or null when the font has none.
typedef std::function<const std::vector<uint8_t>*(uint32_t code)> Shape_Lookup;

class Shape_Interpreter {
 public:
  static constexpr int kMaxDepth = 16;
  static constexpr size_t kMaxStack = 256;

  // The font's cell (`font_height` up, `cell_width` across; the height when
  // 0) scales the boxes of extended big-font references.
  Shape_Interpreter(Shape_Font_Kind kind, Shape_Lookup lookup, double font_height, double cell_width = 0)
      : kind_(kind),
        lookup_(std::move(lookup)),
        font_height_(font_height > 0 ? font_height : 1.0),
        cell_width_(cell_width > 0 ? cell_width : font_height_) {}

  // Runs one shape from a fresh state (origin, pen down, scale 1), every
  // code and point spent from the open budgets; when they run out, the
  // glyph keeps the strokes made so far.
  Shape_Glyph run(const uint8_t* data, size_t size);

  // The index just past the code at data[i] and its operands (at most size).
  static size_t skip_code(const uint8_t* data, size_t size, size_t i, Shape_Font_Kind kind);
  // The same, beyond `size` when the operands are cut off.
  static size_t code_end(const uint8_t* data, size_t size, size_t i, Shape_Font_Kind kind);

  // The move of a vector byte (SHAPE_FIRST_VECTOR and up) at scale 1.
  static void vector_move(uint8_t code, double* dx, double* dy);

 private:
  struct State;
  // Runs bytes until SHAPE_END or their end; false when the budget ran out.
  bool exec(State& s, const uint8_t* data, size_t size, int depth);
  void subshape(State& s, uint32_t code, int depth);

  Shape_Font_Kind kind_;
  Shape_Lookup lookup_;
  double font_height_;
  double cell_width_;
};

// Places a glyph at the pen, scaled by (sx, sy), appending its strokes to
// `out` as owned As_Pt_List*, and advances the pen: horizontally to the
// glyph's end (advance_pen), vertically down 1.2 x height; a glyph without
// strokes (a space) moves the pen the same way.
void place_shape_glyph(const Shape_Glyph& g, double sx, double sy, As_Void_List& out, As_Pt& pen, double height,
                       double width, bool vertical);
// The same, appending each stroke's point count to `counts` and its points
// to `pts`.
void place_shape_glyph(const Shape_Glyph& g, double sx, double sy, std::vector<unsigned long>& counts,
                       std::vector<As_Pt>& pts, As_Pt& pen, double height, bool vertical);
// A point of a glyph placed at the pen, and the pen's advance past a glyph
// that ends at `end`: the one rule of both placings.
inline As_Pt placed_point(const As_Pt& p, double sx, double sy, const As_Pt& pen) {
  return As_Pt(p.x() * sx + pen.x(), p.y() * sy + pen.y(), pen.z());
}
// Across, the next glyph starts where the pen of this one ended, in both
// directions: a shape that ends off the baseline (a line feed, a raised
// index) moves the glyphs after it, as both interpreters of shape fonts
// read the format.
inline void advance_pen(const As_Pt& end, double sx, double sy, As_Pt& pen, double height, bool vertical) {
  if (vertical) {
    pen.y() -= height + 0.2 * height;
  } else {
    pen.x() = end.x() * sx + pen.x();
    pen.y() = end.y() * sy + pen.y();
  }
}
