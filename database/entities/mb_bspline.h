// Spline entity: a smooth curve through fit points, with optional end
// tangents (a zero tangent is a free end).
//
// The display is refitted by the spline front end (cubic, fixed tolerance)
// at every build; a fit that yields no points leaves the previous display
// as it was. The control points (the second base) are sized, transformed
// and copied but never drawn. copy_to into an existing spline reports the
// change first and copies every field.
#pragma once

#include "database/mb_drawable.h"

class MB_Bspline : public MB_Geom, public As_Pt_Set {
 public:
  MB_Bspline() = default;
  // That many zero control points and fit points; fit tolerance 1e-5.
  MB_Bspline(int control_count, int fit_count);
  MB_Bspline(const MB_Bspline&) = default;
  MB_Bspline& operator=(const MB_Bspline&) = default;

  MB_ID object_id() const override { return ID_BSPLINE; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  bool copy_to(MB_Object*& target) override;

  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& hit, int& kind, int& extra) override;
  void build_draw() override;
  void draw_key_point(HDC, CMyDC&, const As_Tran&) override {}
  As_Pt get_point(int) const override { return As_Pt(); }
  double get_real(int) const override { return 0.0; }
  // Control and fit points follow the transform, the tangents its rotation.
  void translate(const As_Tran& t) override;
  using MB_Geom::draw;

  As_Pt_Set& ctlpts() { return *this; }
  const As_Pt_Set& ctlpts() const { return *this; }
  As_Pt_Set& fitpts() { return fit_; }
  const As_Pt_Set& fitpts() const { return fit_; }

  const As_Uvec& starttangent() const { return start_tangent_; }
  const As_Uvec& endtangent() const { return end_tangent_; }
  // The unit vector of (x, y, z), zero when shorter than resnor.
  void starttangent(double x, double y, double z);
  void endtangent(double x, double y, double z);
  void starttangent(const As_Uvec& u);
  void endtangent(const As_Uvec& u);

  double fittol() const { return fit_tol_; }
  void fittol(double t) { fit_tol_ = t; }
  short degree() const { return degree_; }
  void degree(short d) { degree_ = d; }

 private:
  As_Pt_Set fit_;
  As_Uvec start_tangent_;
  As_Uvec end_tangent_;
  double fit_tol_ = 0.0;
  short degree_ = 3;
};

