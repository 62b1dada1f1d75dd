// The object coordinate system of a DXF entity and the one way every kind is
// carried out of it. A planar entity (circle, arc, polyline, hatch, text,
// insert, solid...) gives its points in the plane whose normal is its
// extrusion (groups 210/220/230, by default the world's Z); the plane's X
// and Y axes follow from the normal by the format's arbitrary axis
// algorithm. The kernel draws on the world's XY plane: what lies in another
// plane is drawn as its projection onto XY (the view from above). A
// normal of (0, 0, -1), which mirror commands write, gives the mirror image
// about the Y axis; a tilted plane turns circles into ellipses.
#pragma once

#include "geometry/as_pt.h"
#include "geometry/as_tran.h"

class MB_Drawable;
class MB_Geom;
struct Dxf_Record;

class Dxf_Ocs {
 public:
  // The world's own: nothing moves.
  Dxf_Ocs() = default;
  // The plane of this normal; a null or tiny one is the world's.
  Dxf_Ocs(double nx, double ny, double nz);
  // The extrusion of the record (groups 210, 220, 230).
  static Dxf_Ocs of(const Dxf_Record& record);

  // True when the plane is the world's XY plane, facing up.
  bool world() const { return world_; }
  // True when the projection keeps lengths and angles (the plane is the
  // world's XY plane, facing up or down).
  bool flat() const { return flat_; }
  // True when the projection turns the plane over (turning is reversed).
  bool mirrored() const { return mirrored_; }
  const As_Vec& normal() const { return n_; }

  // A point of the plane as the drawing shows it (on XY, z kept as the
  // world's z).
  As_Pt point(const As_Pt& p) const;
  // A direction of the plane, projected.
  As_Vec vector(const As_Vec& v) const;
  // The angle in the plane of a direction given in the world.
  double plane_angle(const As_Vec& world) const;
  // The projection as a transform of the kernel's (row vectors).
  As_Tran transform() const;

  // The entity, built in the plane's coordinates, where the drawing shows
  // it: moved by the projection, or for curves a tilted plane makes
  // elliptic, replaced by a new entity (the given one is deleted). Texts
  // keep their height and slant; inserts keep their block's shape (the
  // projection's turn, mirror and scales along the insert's axes).
  MB_Drawable* place(MB_Drawable* entity) const;
  // The same for an entity laid out in the plane about `origin`, a point
  // given in the world (the insertion point of a multi-line text).
  MB_Drawable* place_about(MB_Drawable* entity, const As_Pt& origin) const;

 private:
  bool world_ = true;
  bool flat_ = true;
  bool mirrored_ = false;
  As_Vec n_{0.0, 0.0, 1.0};
  As_Vec ax_{1.0, 0.0, 0.0};
  As_Vec ay_{0.0, 1.0, 0.0};
};

// The ellipse in the world with centre c and conjugate half-axes u and v
// (the points c + u cos t + v sin t), from parameter t0 to t1 (a whole one
// when `whole`), projected onto XY: a circle or arc when it stays round, an
// ellipse or elliptic arc, or a polyline when it is seen edge on. Null when
// it shrinks to a point.
MB_Geom* dxf_projected_ellipse(const As_Pt& c, const As_Vec& u, const As_Vec& v, double t0, double t1, bool whole);
