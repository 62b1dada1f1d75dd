// Hatch patterns: families of parallel dashed lines, one text line each in
// the usual notation "angle, x0, y0, dx, dy [, dash ...]" (angle in degrees,
// origin and offsets in pattern units; a positive dash is drawn, 0 is a dot,
// a negative value a gap), scaled by the pattern's scale.
//
// build_lines cuts every family against a list of boundary loops (outer
// loops and holes alike; a point is inside when a line from it crosses the
// boundaries an odd number of times). Each family is swept across the loops'
// bounding rectangle one line at a time; a line's crossings with the loop
// edges follow the half-open rule (an edge counts when exactly one of its
// ends lies strictly on the far side of the line), so a line through a
// vertex or along an edge never swaps inside and outside. Edges are indexed
// in buckets along the sweep, so a line costs about the crossings it makes.
// Dashes keep their phase from the family's origin moved by whole offsets.
//
// Families that cannot be drawn are skipped: fewer than five numbers, a
// number that is not finite, a spacing (dy) of 0 or less, a pattern length
// of 0, or a pattern of gaps only; so is every family when the scale is not
// a positive finite number. A family of five numbers draws solid lines.
//
// Bounds: a build that would make more than kMaxLines lines, or visit more
// than kMaxPieces dash elements, makes no lines and answers false, so that a
// mistyped scale never stalls the view (the hatch then shows its boundary).
#pragma once

#include "database/mb_string.h"
#include "geometry/as_void_list.h"

class Hatch_Pattern {
 public:
  // A pattern line is at most this many characters long.
  static constexpr int kMaxLineText = 255;
  // 2,097,152 hatch lines per build.
  static constexpr long kMaxLines = 1L << 21;
  // 8,388,608 dash elements walked per build.
  static constexpr long kMaxPieces = 1L << 23;

  // The square grid of dashed lines.
  Hatch_Pattern();
  Hatch_Pattern(const Hatch_Pattern& other);
  Hatch_Pattern& operator=(const Hatch_Pattern& other);
  virtual ~Hatch_Pattern();

  MB_String& name() { return name_; }
  const MB_String& name() const { return name_; }
  // The pattern lines (MB_String*, owned), in order.
  const As_Void_List& line_list() const { return lines_; }
  // Appends a copy of the text, cut to kMaxLineText characters; null is ignored.
  void add_line(const char* text);
  void clear_lines();
  double scale() const { return scale_; }
  void scale(double s) { scale_ = s; }
  double value2() const { return value2_; }
  void value2(double v) { value2_ = v; }

  // Appends to out the dash pieces of the inside runs of every line of every
  // family over the loops (As_Loop*; empty loops and null entries are passed
  // over), one set of points per piece (two for a dash, one for a dot), in
  // new As_Pt_Sets owned by the caller, each holding the pieces of a few
  // thousand consecutive runs, so that a dense hatch costs few allocations.
  // False, with nothing appended, when the build would exceed the bounds.
  bool build_lines(const As_Void_List& loops, As_Void_List& out) const;

 private:
  MB_String name_;
  As_Void_List lines_;
  double scale_ = 5.0;
  double value2_ = 0.0;
};
