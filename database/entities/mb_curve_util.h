// Helpers shared by the curved entities (circle, arc, ellipse, polyline,
// spline): the display set from a point array, the lowest precision that
// still makes a curve, polar angles that stay finite for a null vector, the
// copy of the drawable part, property numbers and snap kinds.
#pragma once

#include "database/mb_drawable.h"
#include "geometry/as_pt.h"

// Precisions below `least` are raised to it.
inline int mb_least_precision(int n, int least) { return n < least ? least : n; }

// The display set becomes a copy of the n points, the extents their box,
// and the display node is rebuilt with the line type.
void mb_set_display(MB_Geom& g, int n, const As_Pt* pts);

// Angle of v from +X, counter-clockwise about +Z in [0, 2pi); 0 for a vector
// without a direction in the plane.
double mb_polar_angle(const As_Vec& v);

// The drawable part of a copy into an existing target: identity, optional
// items, nested objects, general attributes and the draw precision.
bool mb_copy_drawable(MB_Drawable& from, MB_Object*& target);
