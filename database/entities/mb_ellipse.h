// Ellipse and elliptical arc entities.
//
// An ellipse is a centre, a half-axis along its rotated X direction
// (`major`, not necessarily the longer), one along its rotated Y direction
// (`minor`) and the rotation; an elliptical arc adds start and end
// parameters (not polar angles) and runs from the start up to the end, at
// most one full turn. translate reports the change first and maps both axes
// through the transform; copy_to into an existing entity of the same class
// copies every field, which is how undo restores it.
#pragma once

#include "database/mb_drawable.h"

class MB_Ellipse : public MB_Geom {
 public:
  MB_Ellipse() = default;
  MB_Ellipse(const As_Pt& centre, double major, double minor, double angle)
      : center_(centre), major_(major), minor_(minor), angle_(angle) {}
  // `axis` is the major half-axis as a vector from the centre.
  MB_Ellipse(const As_Pt& centre, const As_Pt& axis, double ratio);
  MB_Ellipse(const MB_Ellipse&) = default;
  MB_Ellipse& operator=(const MB_Ellipse&) = default;

  MB_ID object_id() const override { return ID_ELLIPSE; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  bool copy_to(MB_Object*& target) override;

  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& hit, int& kind, int& extra) override;
  void build_draw() override;
  void draw_key_point(HDC dc, CMyDC& surface, const As_Tran& view) override;
  As_Pt get_point(int id) const override;
  double get_real(int id) const override;
  void translate(const As_Tran& t) override;

  const As_Pt& center() const { return center_; }
  double major() const { return major_; }
  double minor() const { return minor_; }
  double angle() const { return angle_; }
  // The point of parameter t (z = 0).
  As_Pt get_para_pos(double t) const;

 protected:
  // A reflection turns the parameter direction around; the arc maps its
  // parameters.
  virtual void reflect_params() {}
  void copy_ellipse_to(MB_Ellipse& t) const;
  // The record: opcode, optional items, the centre, then n doubles (major,
  // minor, angle and, for the arc, start and end).
  MB_Result serialize_ex(MB_File_IO& io, unsigned char opcode, int n, const double* values) const;
  MB_Result materialize_ex(const MB_Opcode& op, MB_File_IO& io, int n, double* values);

 private:
  As_Pt center_;
  double major_ = 0.0;
  double minor_ = 0.0;
  double angle_ = 0.0;
};

class MB_Ellipse_Arc : public MB_Ellipse {
 public:
  MB_Ellipse_Arc() = default;
  MB_Ellipse_Arc(const As_Pt& centre, double major, double minor, double angle, double start, double end)
      : MB_Ellipse(centre, major, minor, angle), start_angle_(start), end_angle_(end) {}
  MB_Ellipse_Arc(const As_Pt& centre, const As_Pt& axis, double ratio, double start, double end)
      : MB_Ellipse(centre, axis, ratio), start_angle_(start), end_angle_(end) {}
  MB_Ellipse_Arc(const MB_Ellipse_Arc&) = default;
  MB_Ellipse_Arc& operator=(const MB_Ellipse_Arc&) = default;

  MB_ID object_id() const override { return ID_ELLIPSE_ARC; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  bool copy_to(MB_Object*& target) override;
  void build_draw() override;
  As_Pt get_point(int id) const override;
  double get_real(int id) const override;

  double start_angle() const { return start_angle_; }
  double end_angle() const { return end_angle_; }

 protected:
  void reflect_params() override;

 private:
  double start_angle_ = 0.0;
  double end_angle_ = two_pi;
};

// The ellipse about `centre` whose major half-axis ends at p1 and which
// passes through p2; null when the axis is degenerate or no real minor axis
// exists. Not built and not added to any drawing.
MB_Ellipse* api_mb_create_ellipse3pt(As_Pt centre, As_Pt p1, As_Pt p2);
