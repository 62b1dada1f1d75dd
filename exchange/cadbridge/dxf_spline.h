// Points along a DXF spline given by its control points and knots, for the
// kernel's entities that pass through points (splines, hatch boundaries).
#pragma once

#include <dxflib/dl_entities.h>

#include <vector>

#include "geometry/as_pt.h"

// Highest degree sampled; a higher one uses the control points themselves.
constexpr unsigned kDxfMaxSplineDegree = 25;

// The curve of `degree` over the homogeneous control points and the knots,
// sampled at 4 points per control point (8 to 400 in all, ends included).
// Without a usable knot vector (wrong length, decreasing, degree out of
// range, no span) the control points themselves are returned.
std::vector<As_Pt> dxf_spline_points(const std::vector<DL_ControlPointData>& control, const std::vector<double>& knots,
                                     unsigned degree);
