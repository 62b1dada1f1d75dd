// The edge family: the small polymorphic vocabulary of planar boundary pieces
// that the loop, search and hatch code work on. A line, a segment (a line
// that also keeps the crossing points found on it), an arc, a full circle and
// a single point; closed polygons (As_Loop) derive from As_Edge too.
//
// Edges are plain heap objects owned by whoever made them; lists of edges are
// As_Void_Lists that never free their entries. Copies are values: each copy
// has its own polyline approximation (fit_pts). Geometry is planar in X/Y.
#pragma once

#include "geometry/as_pt.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_void_list.h"

class As_File;
class As_Tran;
class As_Intersect_Point;

class As_Edge {
 public:
  enum EDGE_ID { POINT_ID = 1, LINE_ID = 2, ARC_ID = 3, CIRCLE_ID = 4, LOOP_ID = 7 };

  As_Edge() = default;
  As_Edge(const As_Edge&) = default;
  As_Edge& operator=(const As_Edge&) = default;
  virtual ~As_Edge() = default;

  virtual int edge_id() const = 0;
  // Pieces of this edge between a and b, appended to out (the caller owns them).
  virtual bool cut(const As_Pt& a, const As_Pt& b, As_Void_List& out);
  virtual bool break_by_point(const As_Pt& p, As_Void_List& out);
  virtual As_Pt get_point_by_length(double length, bool from_start) const;
  virtual As_Pt start_pos() const { return As_Pt(); }
  virtual As_Pt end_pos() const { return As_Pt(); }
  virtual As_Pt middle_pos() const { return As_Pt(); }
  virtual As_Pt center_pos() const { return As_Pt(); }
  virtual double length() const { return 0.0; }
  virtual double area() const { return 0.0; }
  virtual double angle() const { return 0.0; }
  virtual double fill_angle() const { return 0.0; }
  virtual void translate(const As_Tran&) {}
  virtual bool interact(As_Edge*, As_Pt*&, int&) { return false; }
  virtual bool self_interact() { return false; }
  virtual bool is_on_edge(const As_Pt&) const { return false; }
  virtual bool is_like(As_Edge*) const { return false; }
  virtual void build_fit_pts() {}

  void* owner() const { return owner_; }
  void owner(void* o) { owner_ = o; }
  As_Pt_Set& fit_pts() { return fit_pts_; }
  const As_Pt_Set& fit_pts() const { return fit_pts_; }

 protected:
  void* owner_ = nullptr;
  As_Pt_Set fit_pts_;
};

class As_Line : public As_Edge {
 public:
  As_Line() = default;
  As_Line(const As_Pt& start, const As_Pt& end) : start_(start), end_(end) {}

  int edge_id() const override { return LINE_ID; }
  // Breaks the line at a when a and b are the same point; otherwise false.
  bool cut(const As_Pt& a, const As_Pt& b, As_Void_List& out) override;
  // Two new lines (p, start) and (p, end) for a point strictly inside the
  // line; false for an end point or a point off the line.
  bool break_by_point(const As_Pt& p, As_Void_List& out) override;
  // Along the line from the chosen end; lengths past the far end are not
  // clamped, lengths <= 0 give that end.
  As_Pt get_point_by_length(double length, bool from_start) const override;
  As_Pt start_pos() const override { return start_; }
  As_Pt end_pos() const override { return end_; }
  As_Pt middle_pos() const override;
  double length() const override { return (end_ - start_).len(); }
  // Direction of end - start from +X about +Z, in [0, 2pi).
  double angle() const override;
  // Both end points are mapped.
  void translate(const As_Tran& t) override;
  virtual void translate(As_Tran& t) { translate(static_cast<const As_Tran&>(t)); }
  // Within the end points' box (bounds included) and an absolute cross
  // product below 1e-6.
  bool is_on_edge(const As_Pt& p) const override;
  // Another line with the same end points, in either order.
  bool is_like(As_Edge* e) const override;
  void build_fit_pts() override;
  // Deletes e when it is another line like this one; the caller must then
  // drop its pointer.
  virtual bool merage(As_Edge* e);
  // One segment record (start, end, colour 0xff0000) in a debug dump; true.
  virtual bool save(As_File& file);

  As_Pt start() const { return start_; }
  As_Pt end() const { return end_; }
  void start(const As_Pt& p) { start_ = p; }
  void end(const As_Pt& p) { end_ = p; }

 protected:
  As_Pt start_;
  As_Pt end_;
};

// A line that records the crossing points lying on it, ordered by x, then y.
// It does not own the points.
class As_Segment : public As_Line {
 public:
  As_Segment() = default;
  As_Segment(As_Pt start, As_Pt end, void* parent) : As_Line(start, end), parent_(parent) {}
  As_Segment(As_Pt start, As_Pt end) : As_Line(start, end) {}
  As_Segment(const As_Segment&) = default;
  As_Segment& operator=(const As_Segment&) = default;
  ~As_Segment() override = default;

  void* parent() const { return parent_; }
  void parent(void* p) { parent_ = p; }
  As_Void_List& intpos_list() { return intpos_list_; }
  const As_Void_List& intpos_list() const { return intpos_list_; }
  // Inserts ip in x, then y order; nothing when it is already held.
  void add_order_intpos(As_Intersect_Point* ip);

 private:
  void* parent_ = nullptr;
  As_Void_List intpos_list_;
};

class As_Circle : public As_Edge {
 public:
  As_Circle() = default;
  As_Circle(const As_Pt& centre, double radius) : centre_(centre), radius_(radius) {}

  int edge_id() const override { return CIRCLE_ID; }
  As_Pt start_pos() const override { return centre_ + As_Vec(radius_, 0, 0); }
  As_Pt end_pos() const override { return start_pos(); }
  As_Pt middle_pos() const override { return centre_; }
  As_Pt center_pos() const override { return centre_; }
  double length() const override { return two_pi * radius_; }
  double area() const override { return qm_pi * radius_ * radius_; }
  double fill_angle() const override { return two_pi; }
  // The centre is mapped; the radius is kept.
  void translate(const As_Tran& t) override;

  double radius() const { return radius_; }

 private:
  As_Pt centre_;
  double radius_ = 0.0;
};

// A circular arc from the start angle counter-clockwise to the end angle.
class As_Arc : public As_Edge {
 public:
  As_Arc() = default;
  As_Arc(const As_Pt& centre, double start_angle, double end_angle, double radius)
      : centre_(centre), radius_(radius), start_angle_(start_angle), end_angle_(end_angle) {}

  int edge_id() const override { return ARC_ID; }
  As_Pt get_point_by_length(double length, bool from_start) const override;
  As_Pt start_pos() const override { return on_arc(start_angle_); }
  As_Pt end_pos() const override { return on_arc(end_angle_); }
  // The point at the middle angle of the sweep.
  As_Pt middle_pos() const override;
  As_Pt center_pos() const override { return centre_; }
  double length() const override { return radius_ * fill_angle(); }
  double angle() const override { return start_angle_; }
  double fill_angle() const override { return end_angle_ - start_angle_; }
  // 50 points from the start point to the end point.
  void build_fit_pts() override;

  double radius() const { return radius_; }
  double start_angle() const { return start_angle_; }
  double end_angle() const { return end_angle_; }

 private:
  As_Pt on_arc(double a) const;

  As_Pt centre_;
  double radius_ = 0.0;
  double start_angle_ = 0.0;
  double end_angle_ = 0.0;
};

class As_Point : public As_Edge {
 public:
  As_Point() = default;
  As_Point(double x, double y, double z) : pos_(x, y, z) {}

  int edge_id() const override { return POINT_ID; }
  const As_Pt& pos() const { return pos_; }

 private:
  As_Pt pos_;
};

// Order of points along x, then y for x equal within resabs.
bool xy_order_before(const As_Pt& a, const As_Pt& b);
