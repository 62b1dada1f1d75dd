// The codes of compiled shape fonts, named once for every interpreter of
// them: the kernel's and the font tool's.
#pragma once

#include <cstdint>

// The codes of the shape byte-code. A byte from SHAPE_FIRST_VECTOR up is a
// vector: its length in the high nibble, one of 16 directions in the low one.
enum Shape_Code : uint8_t {
  SHAPE_END = 0,  // ends the shape and its open stroke
  SHAPE_PEN_DOWN = 1,
  SHAPE_PEN_UP = 2,
  SHAPE_DIVIDE = 3,           // the scale divided by the next byte
  SHAPE_MULTIPLY = 4,         // the scale multiplied by the next byte
  SHAPE_PUSH = 5,             // the position pushed
  SHAPE_POP = 6,              // the position popped
  SHAPE_SUBSHAPE = 7,         // a reference to another shape
  SHAPE_DISPLACEMENT = 8,     // one signed (dx, dy)
  SHAPE_DISPLACEMENTS = 9,    // signed pairs up to (0, 0)
  SHAPE_OCTANT_ARC = 10,      // radius, octant byte
  SHAPE_FRACTIONAL_ARC = 11,  // start and end offsets, radius (2 bytes), octant byte
  SHAPE_BULGE_ARC = 12,       // signed dx, dy, bulge
  SHAPE_BULGE_ARCS = 13,      // triples up to a (0, 0) pair
  SHAPE_VERTICAL_ONLY = 14,   // the next code is for vertical text only
  SHAPE_UNUSED = 15,
  SHAPE_FIRST_VECTOR = 16,
};
