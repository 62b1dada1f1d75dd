// Tessellation of curves into point arrays for display.
//
// bspline_to_ptset: the uniform cubic B-spline through n points, extended at
// both ends by guide points along the end tangents, 50 pieces per span. Its
// control points come from a Gauss-Seidel solve of the interpolation
// condition Q[j] = (P[j] + 4 P[j+1] + P[j+2]) / 6, with a bounded number of
// sweeps.
#pragma once

#include "geometry/as_pt.h"

// (n - 1) * 50 + 1 points from pts[0] to pts[n-1] in a new[] array for the
// caller (z = 0). False, with nothing allocated, when n < 2, pts is null or
// a coordinate is not finite. Sets CURVEINSUM_RUBBER to 50.
bool bspline_to_ptset(int n, As_Pt* pts, As_Uvec const& t0, As_Uvec const& t1, int& count, As_Pt*& out);
