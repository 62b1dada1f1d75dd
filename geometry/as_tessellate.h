// Curve tessellation: circles, circular arcs, elliptic arcs and an
// interpolating cubic spline as point arrays and point lists, which entities
// draw as polylines and the edge code intersects.
//
// Arcs and circles are made by turning a start point about the centre,
// always counter-clockwise. Functions that fill a caller's array write
// exactly the n points asked for and refuse counts below 2 (there is no curve
// through fewer points); functions that size their own output from a
// precision raise a precision below 3 to 3. Every loop is bounded by its
// count.
#pragma once

#include <cmath>

#include "geometry/as_pt.h"

class As_Pt_List;

// n points of the arc of radius r about c from angle a0, sweeping
// counter-clockwise by |a1 - a0|, into the caller's array of at least n
// points. False (nothing written) for n < 2 or no array.
bool arc_to_ptset(const As_Pt& c, double r, double a0, double a1, unsigned long n, As_Pt*& pts);
// n points from p0 counter-clockwise about c to the direction of p1; the
// points keep p0's distance from c (r is not used). False as above.
bool arc_to_ptset(const As_Pt& c, double r, const As_Pt& p0, const As_Pt& p1, unsigned long n, As_Pt*& pts);
// n points of the circle from c + (r, 0, 0), the last exactly equal to the
// first. False (nothing written) for n < 2 or no array.
bool circle_to_ptset(const As_Pt& c, double r, As_Pt* pts, int n);
// Empties out, then appends n + 1 points from c + (0, r, 0), the last a full
// turn from the first; n below 3 counts as 3.
bool circle_to_ptlist(const As_Pt& c, double r, int n, As_Pt_List& out);
// The elliptic arc with half-axes a and b turned by rot about c, from angle
// a0 to a1, in steps of a full turn over n - 1 (n below 3 counts as 3); a
// span of more than a full turn is cut to one turn. out becomes a new array
// (the caller deletes it with delete[]) whose point `count` is the end point
// at a1. False (out null, count 0) for angles that are not finite or when
// memory is exhausted.
bool ellipse_arc_to_ptset(As_Pt& c, double a, double b, double a0, double a1, double rot, int n, int& count,
                          As_Pt*& out);

// (n - 1) * 50 + 1 points from pts[0] to pts[n-1] in a new[] array for the
// caller (z = 0). False, with nothing allocated, when n < 2, pts is null or
// a coordinate is not finite. Sets CURVEINSUM_RUBBER to 50.
bool bspline_to_ptset(int n, As_Pt* pts, As_Uvec const& t0, As_Uvec const& t1, int& count, As_Pt*& out);

// A plane vector of two doubles, the arithmetic of the spline code.
class As_Heap_Array {
 public:
  As_Heap_Array() = default;
  As_Heap_Array(double x, double y) : x_(x), y_(y) {}

  double x() const { return x_; }
  double y() const { return y_; }
  void x(double v) { x_ = v; }
  void y(double v) { y_ = v; }

  As_Heap_Array operator+(const As_Heap_Array& o) const { return As_Heap_Array(x_ + o.x_, y_ + o.y_); }
  As_Heap_Array operator-(const As_Heap_Array& o) const { return As_Heap_Array(x_ - o.x_, y_ - o.y_); }
  As_Heap_Array operator*(double s) const { return As_Heap_Array(x_ * s, y_ * s); }
  As_Heap_Array& operator+=(const As_Heap_Array& o) {
    x_ += o.x_;
    y_ += o.y_;
    return *this;
  }
  As_Heap_Array& operator-=(const As_Heap_Array& o) {
    x_ -= o.x_;
    y_ -= o.y_;
    return *this;
  }
  double length() const { return std::sqrt(x_ * x_ + y_ * y_); }

 private:
  double x_ = 0.0;
  double y_ = 0.0;
};

inline As_Heap_Array operator*(double s, const As_Heap_Array& v) { return v * s; }
