// Flat API for the curved entities: creators that build an entity, its
// display and append it to the current drawing (its block being defined, if
// any), answering the entity as a pointer-sized integer or 0 (always 0, with
// nothing made, when there is no current drawing); and the make
// functions that build one entity or update it in place (each change
// recorded for undo first) without appending or building it.
#pragma once

#include <cstdint>

#include "geometry/as_pt.h"

class As_Pt_List;
class MB_Arc;
class MB_Bspline;
class MB_Circle;
class MB_Polyline;

intptr_t api_mb_create_circle(double x, double y, double radius);
intptr_t api_mb_create_arc(const double* centre, double radius, double start_angle, double end_angle);
intptr_t api_mb_create_ellipse(As_Pt& centre, double major, double minor, double angle);
intptr_t api_mb_create_ellipse_arc(As_Pt& centre, double major, double minor, double angle, double start,
                                   double end);
// Zero tangent triples are free ends; 0 for a null array or fewer than two
// points.
intptr_t api_mb_create_bspline(const As_Pt* points, int count, double sx, double sy, double sz, double ex,
                               double ey, double ez);
// n zeroed vertices, appended without a display; true when made, false
// (pointer unchanged) for n outside 1 .. 65,535.
bool api_mb_create_polyline(MB_Polyline*& pline, int n, bool closed);
// Vertex i = points[i] with bulges[i] and the two widths; closed only when
// `closed` is 1. 0 for a null array or a count outside 1 .. 65,535.
intptr_t api_mb_create_polyline(int count, As_Pt* points, double* start_widths, double* end_widths,
                                double* bulges, int closed);
// False for a null polyline or an index outside the vertices.
bool api_mb_set_pline_pos(MB_Polyline*& pline, int index, double x, double y, double z);

// False (nothing made or changed) for a radius within 1e-6 of zero.
bool api_mb_make_circle(MB_Circle*& circle, const As_Pt& centre, double radius);
// False when no circle passes through the points.
bool api_mb_make_circle_3pt(MB_Circle*& circle, const As_Pt& p1, const As_Pt& p2, const As_Pt& p3);
void api_mb_make_arc(MB_Arc*& arc, const As_Pt& centre, double radius, double start_angle, double end_angle);
// The end point gives only the direction of the end.
void api_mb_make_arc_cse(MB_Arc*& arc, const As_Pt& centre, const As_Pt& start, const As_Pt& end);
// The counter-clockwise arc through start, middle and end; only when the
// pointer is null and the points admit a circle.
void api_mb_make_arc_sme(MB_Arc*& arc, const As_Pt& start, const As_Pt& middle, const As_Pt& end);
void api_mb_make_arc_sem(MB_Arc*& arc, const As_Pt& start, const As_Pt& end, const As_Pt& middle);
// False for an empty list; an existing spline is left unchanged.
bool api_mb_make_spline(MB_Bspline*& spline, As_Pt_List& points);
