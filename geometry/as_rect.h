// Axis-aligned rectangles in drawing coordinates: entity extents, zoom
// windows, pick boxes. y grows upwards, so in normal form the left-top corner
// lt = (min x, max y, 0) and the right-bottom corner rb = (max x, min y, 0).
// The builders produce normal form; set_rect, build_by_RECT and scale_rect
// store their corners as computed.
//
// A plain value of two corners, without a virtual table: every entity keeps
// one, and nothing derives from it.
#pragma once

#include <windows.h>

#include "geometry/as_pt.h"
#include "geometry/as_tran.h"

class As_Rect {
 public:
  As_Rect() = default;
  As_Rect(const As_Pt& a, const As_Pt& b) { set_two_points(a, b); }
  // The bounding rectangle of n points; fewer than one gives the default.
  As_Rect(const As_Pt* pts, int n) { init_by_pts(n, pts); }
  As_Rect(const As_Rect&) = default;
  As_Rect& operator=(const As_Rect&) = default;

  void set_two_points(const As_Pt& a, const As_Pt& b);
  // Bounding rectangle of the points, z ignored. With n < 1 or no points the
  // rectangle is left as it is.
  void init_by_pts(int n, const As_Pt* pts);
  void set_rect(As_Pt lt, As_Pt rb) {
    lt_ = lt;
    rb_ = rb;
  }

  const As_Pt& lt() const { return lt_; }
  const As_Pt& rb() const { return rb_; }
  As_Pt lb() const { return As_Pt(lt_.x(), rb_.y(), 0.0); }
  As_Pt rt() const { return As_Pt(rb_.x(), lt_.y(), 0.0); }
  double width() const { return rb_.x() - lt_.x(); }
  double heigh() const { return lt_.y() - rb_.y(); }
  double max_len() const;
  double diagonal_len() const { return (lt_ - rb_).len(); }
  As_Pt center() const { return lt_ + (rb_ - lt_) / 2.0; }

  // Overlap or touch; a null rectangle always intersects.
  bool intersect_rect(const As_Rect* r) const {
    if (!r) return true;
    return r->rb_.x() >= lt_.x() && r->lt_.x() <= rb_.x() && r->rb_.y() <= lt_.y() && r->lt_.y() >= rb_.y();
  }
  void union_rect(const As_Rect& r);
  bool pt_in_rect(const As_Pt& p, double tol) const;
  // r lies strictly inside this rectangle.
  bool rect_in_rect(const As_Rect& r) const;

  // The bounding rectangle of the four corners mapped by t.
  void translate(const As_Tran& t);
  // Window rectangle to drawing coordinates: (left, top) and (right, bottom)
  // mapped by t.
  void build_by_RECT(const RECT& r, const As_Tran& t);
  // Corners truncated toward zero, clamped to the 32-bit range (NaN gives 0).
  void conver_to_scr_rect(RECT& r) const;
  // A half turn plus angle about base.
  void rotate_rect(As_Pt base, double angle);
  // Scales lt and rb about base by factors[0..2]; null factors change nothing.
  void scale_rect(As_Pt base, const double* factors);
  // The rectangle spanned by p - lt and p - rb.
  void offset_rect(As_Pt p);
  void init_by_circle(const As_Pt& c, double r);

  // Entities compute these extents themselves; these change nothing.
  void init_by_arc(const As_Pt&, double, double, double) {}
  void init_by_ellipse(const As_Pt&, double, double, double) {}
  void init_by_ellipse(const As_Pt&, double, double, double, double, double) {}
  void init_by_spline(int, const As_Pt*) {}

 private:
  As_Pt lt_, rb_;
};

// The union of a run of rectangles: the first as it is, then each next one
// joined to it by union_rect.
class As_Rect_Union {
 public:
  void add(const As_Rect& r) {
    if (any_) {
      rect_.union_rect(r);
    } else {
      rect_ = r;
      any_ = true;
    }
  }
  bool any() const { return any_; }
  const As_Rect& rect() const { return rect_; }

 private:
  bool any_ = false;
  As_Rect rect_;
};
