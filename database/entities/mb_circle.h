// Circle and circular arc entities.
//
// A circle is a centre and a radius; an arc adds a start and an end angle
// (radians, counter-clockwise about +Z, not normalised: a start above the
// end passes through angle 0) and caches the points of both angles. The
// display is a polyline at the entity's draw precision, raised to 3 where a
// lower one could not make a curve. Setters of the defining geometry and
// translate report the change to the undo store before making it; copy_to
// into an existing entity of the same class copies every field and is the
// path undo restores through.
#pragma once

#include "database/mb_drawable.h"

class MB_Circle : public MB_Geom {
 public:
  MB_Circle() = default;
  MB_Circle(const As_Pt& centre, double radius) : center_(centre), radius_(radius) {}
  MB_Circle(const double* centre, double radius) : center_(centre[0], centre[1], 0.0), radius_(radius) {}
  MB_Circle(const MB_Circle&) = default;
  MB_Circle& operator=(const MB_Circle&) = default;

  MB_ID object_id() const override { return ID_CIRCLE; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  bool copy_to(MB_Object*& target) override;

  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& hit, int& kind, int& extra) override;
  void build_draw() override;
  void draw_key_point(HDC dc, CMyDC& surface, const As_Tran& view) override;
  As_Pt get_point(int id) const override;
  double get_real(int id) const override;
  // Centre and radius follow the transform (the radius by its scaling).
  void translate(const As_Tran& t) override;

  const As_Pt& center() const { return center_; }
  void center(const As_Pt& c);
  double radius() const { return radius_; }
  void radius(double r);

 protected:
  // The circle's own fields and the drawable part into a target of the
  // same class.
  void copy_circle_to(MB_Circle& t);
  // The centre as a position operand, then the radius.
  MB_Result serialize_ex(MB_File_IO& io) const;
  MB_Result materialize_ex(MB_File_IO& io);

 private:
  As_Pt center_;
  double radius_ = 0.0;
};

class MB_Arc : public MB_Circle {
 public:
  MB_Arc() = default;
  MB_Arc(const As_Pt& centre, double radius, double start_angle, double end_angle);
  // Radius from the start point; the angles are the directions of both
  // points (0 for a point at the centre); the points are kept as given.
  MB_Arc(const As_Pt& centre, const As_Pt& start, const As_Pt& end);
  MB_Arc(const MB_Arc&) = default;
  MB_Arc& operator=(const MB_Arc&) = default;

  MB_ID object_id() const override { return ID_ARC; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  bool copy_to(MB_Object*& target) override;

  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& hit, int& kind, int& extra) override;
  void build_draw() override;
  void draw_key_point(HDC dc, CMyDC& surface, const As_Tran& view) override;
  As_Pt get_point(int id) const override;
  double get_real(int id) const override;
  // A reflection exchanges the ends, so the arc stays counter-clockwise.
  void translate(const As_Tran& t) override;

  double start_angle() const { return start_angle_; }
  void start_angle(double a);
  double end_angle() const { return end_angle_; }
  void end_angle(double a);
  const As_Pt& start() const { return start_; }
  void start(const As_Pt& p);
  const As_Pt& end() const { return end_; }
  void end(const As_Pt& p);

  // The cached points from the angles.
  void build_start_end_pos();
  // End minus start, not wrapped.
  double get_arc_ang() const { return end_angle_ - start_angle_; }

 private:
  As_Pt angle_point(double a) const;

  double start_angle_ = 0.0;
  double end_angle_ = 0.0;
  As_Pt start_;
  As_Pt end_;
};
