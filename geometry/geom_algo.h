// Stand-alone 2-D geometry on points and point arrays: angles, projection,
// line and segment intersection, circles and ellipses by three points,
// picking, point-in-polygon, area and perimeter, polyline offsets, and a few
// window-rectangle helpers.
//
// Everything works in the XY plane; results carry z = 0 unless said otherwise.
// Functions keep no state. Bool results report degenerate input (parallel
// lines, collinear points, too few points) and leave the outputs unchanged.
// Functions given fewer points than their figure needs answer their neutral
// result and read nothing outside the array.
#pragma once

#include <windows.h>

#include "geometry/as_pt.h"

class As_Pt_List;
class As_Void_List;

// Angle from u1 to u2 in [0, 2pi): counter-clockwise when n.z >= 0, clockwise
// otherwise (equal directions then give 2pi).
double angle_between(const As_Uvec& u1, const As_Uvec& u2, const As_Uvec& n);
double angle_between(const As_Vec& v1, const As_Vec& v2, const As_Uvec& n);

// Foot of the perpendicular from p to the line through a along u (z = 0).
// Direction components below 1e-11 count as zero; a line without direction
// answers a itself.
As_Pt proj_pt_to_line(const As_Pt& p, const As_Pt& a, const As_Uvec& u);

// Intersection of two infinite lines; false when they are parallel or one
// has no direction in the plane.
bool api_mb_lines_intersection(const As_Pt& p, const As_Uvec& u, const As_Pt& q, const As_Uvec& v,
                               As_Pt& out);
bool two_segments_intersection(const As_Pt& a1, const As_Pt& a2, const As_Pt& b1, const As_Pt& b2,
                               As_Pt& out);
// Appends every crossing of polyline a with polyline b to out (duplicates
// kept); true when at least one was found.
bool api_mb_lines_intersection(const As_Pt* a, int na, const As_Pt* b, int nb, As_Pt_List& out);

bool api_mb_get_3ptcircle(const As_Pt& p1, const As_Pt& p2, const As_Pt& p3, As_Pt& centre,
                          double& radius);
// Ellipse centred at c with one axis end p2, passing through p3; ratio is the
// other half-axis as a fraction of |p2 - c|.
bool get_ellipse_by_3pt(const As_Pt& c, const As_Pt& p2, const As_Pt& p3, As_Pt& centre,
                        double& axis, double& ratio, double& angle);

bool is_on_segment(const As_Pt& p, const As_Pt& a, const As_Pt& b);
// 0 no hit, 1 near a, 2 near b, 3 near the segment; out = the point hit.
int is_pick_segment(const As_Pt& p, const As_Pt& a, const As_Pt& b, double tol, As_Pt& out);
bool is_on_pts(const As_Pt& p, As_Pt* pts, unsigned long n);

// p inside the closed polygon of n points (half-open crossing rule;
// points on the boundary may fall either way, points outside the polygon's
// bounding box never count as inside).
bool is_pos_in_region(const As_Pt& p, const As_Pt* pts, int n);
// Whether the ray from p towards +x crosses the edge from a to b, by the rule
// is_pos_in_region counts: exactly one end strictly above the ray, and the
// crossing strictly right of p. The parity over a polygon's edges is its
// answer, in whatever order the edges are taken.
inline bool ray_crosses_edge(const As_Pt& p, const As_Pt& a, const As_Pt& b) {
  const double px = p.x(), py = p.y();
  if ((a.y() > py) == (b.y() > py)) return false;
  double lo = a.x(), hi = b.x();
  if (lo > hi) lo = b.x(), hi = a.x();
  // An edge wholly right of p is crossed and one wholly left of it is not;
  // only edges spanning p need the intersection. This also makes a point
  // outside the polygon's box come out outside exactly.
  if (px < lo) return true;
  if (!(px < hi)) return false;
  return px < a.x() + (py - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
}

// p on one of the n - 1 edges between consecutive points (no closing edge).
bool is_pos_on_region(const As_Pt& p, const As_Pt* pts, int n);

double cal_pts_area(const As_Pt* pts, int n);
// Area of a polygon given as a list of As_Pt*.
double cal_lines_area(As_Void_List& pts);
double cal_perimeter(const As_Pt* pts, int n);

// The polyline offset by w to its left (left) and by -w (right), n points each.
void api_mb_offset_pts(const As_Pt* pts, As_Pt* left, As_Pt* right, int n, double w);
// Closed outline of the polyline drawn with a width; out holds m = 2n + 1
// points: one side forward, the other backward, the first point again.
bool cal_lines_width(const As_Pt* pts, int n, As_Pt* out, int m, double width);
// Shears the points along x in place: x += (y - base.y) * tan(angle).
void oblique_ptarray(As_Pt* pts, int n, double angle, const As_Pt& base);

// True when a -> b -> c turns counter-clockwise (or goes straight on).
bool api_mb_get_pts_dir(const As_Pt& a, const As_Pt& b, const As_Pt& c);
// Sets to 0 every component whose magnitude is below 1e-11.
void cal_tol_unit_vector(As_Uvec& u);
// New array of n points (0, 0, 0) for the caller to delete[]; null when n <= 0
// or memory is exhausted.
As_Pt* api_mb_new_position(int n);
void api_mb_reverse_pts(As_Pt* pts, int n);
// lt = (min x, max y, 0), rb = (max x, min y, 0); false for no points.
bool api_mb_get_rect_pos(int n, const As_Pt* pts, As_Pt& lt, As_Pt& rb);

void api_mb_get_rect_size(int& height, int& width, const RECT& r);
void api_mb_get_rect_center(int& x, int& y, const RECT& r);
