// HATCH entities, read from the record's own groups: dxflib keeps neither
// polyline bulges, spline edges, the island style nor the pattern's lines.
// The guard reads each HATCH record into a Dxf_Hatch (boundaries flattened
// into rings, within bounds) and hands dxflib the record without its
// boundaries; the builder then makes the kernel entity.
//
// A solid fill becomes solids, one per outer ring with its holes, so
// islands stay open; a pattern becomes the kernel's hatch with the pattern's lines
// as the record gives them (already scaled and turned), moved to start from
// the boundary's lower left corner as the kernel lays them, and mirrored
// for a plane facing down. Islands follow the hatch style: every ring (odd
// parity), the outer ring and its first islands (outermost), or the outer
// rings alone (ignore).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/cadbridge/dxf_record.h"
#include "geometry/as_pt.h"

class MB_Geom;

struct Dxf_Hatch {
  bool solid = false;
  // The rings left after the island style, each without its closing point,
  // and how many rings hold each (empty when too many rings to sort).
  std::vector<std::vector<As_Pt>> rings;
  std::vector<size_t> depth;
  // Pattern lines in the kernel's notation, in drawing units, as drawn on
  // the world's XY plane and from the lower left corner of the rings there
  // (where the kernel lays a pattern from).
  std::vector<std::string> pattern_lines;
  // Why part of the hatch was left out, one line each.
  std::vector<std::string> problems;
};

// Bounds of one hatch: boundary points in all, and pieces of one curved edge.
constexpr size_t kDxfHatchMaxPoints = size_t(1) << 20;
constexpr int kDxfHatchArcPieces = 72;  // per full turn

// The hatch of a HATCH record's groups (the record's 0 group first).
Dxf_Hatch dxf_read_hatch(const std::vector<Dxf_Group>& groups);

// The kernel entities of a hatch, not yet built for display: one hatch of
// the pattern, or for a solid fill one solid per outer ring with its holes;
// none without a ring.
std::vector<MB_Geom*> dxf_hatch_entities(const Dxf_Hatch& hatch);
