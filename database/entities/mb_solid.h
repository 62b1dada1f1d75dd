// The solid: a filled polygon of any number of vertices, kept in the order
// given (a bow tie stays a bow tie). The vertices are the entity's
// As_Pt_Set side and are owned; deleting the solid through that side
// deletes the whole entity. The solid is drawn through a filled-polygon
// display node, picked by its vertices and then its region, measured, turned
// into a loop and offset. Copies are deep. A mask solid (a wipeout) covers
// what lies beneath it with the views' background colour.
#pragma once

#include "database/mb_drawable.h"
#include "geometry/as_pt_set.h"

class As_Loop;

// Every edge of the closed polygon moved sideways by d (to its left for
// positive d, inwards for a counter-clockwise polygon), neighbouring edges
// re-intersected in place; a vertex whose edges are parallel takes the end
// of the moved edge before it. Edges of no length keep their vertex moved
// with the edge before them, so no vertex becomes NaN.
void mb_offset_polygon(As_Pt* pts, int n, double d);

class MB_Solid : public MB_Geom, public As_Pt_Set {
 public:
  MB_Solid() = default;
  explicit MB_Solid(int n) : As_Pt_Set(n) {}
  MB_Solid(const As_Pt& a, const As_Pt& b, const As_Pt& c, const As_Pt& d);
  // One vertex per node of the loop, in ring order.
  explicit MB_Solid(const As_Loop& loop);
  MB_Solid(const MB_Solid&) = default;
  MB_Solid& operator=(const MB_Solid&) = default;

  MB_ID object_id() const override { return ID_SOLID; }
  using MB_Geom::draw;
  using MB_Geom::get_point;

  bool mask() const { return mask_; }
  void mask(bool m) { mask_ = m; }

  // A new loop (the caller's) through the vertices in order.
  As_Loop* create_loop() const;
  // See mb_offset_polygon; no change is recorded and the display is not rebuilt.
  void offset(double d) { mb_offset_polygon(points(), count(), d); }

  // -100 perimeter, -101 area; others as the base.
  double get_real(int id) const override;
  // Records the change, then maps every vertex.
  void translate(const As_Tran& t) override;
  // Nothing without vertices; else the display points, extents and a
  // filled-polygon node in the display colour.
  void build_draw() override;
  // A vertex closer than tol: kind 22 and that vertex; else a point inside
  // the polygon: kind 50 and p itself.
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  // Square markers at the vertices on the device context.
  void draw_key_point(HDC hdc, CMyDC& dc, const As_Tran& view) override;
  // A new copy for a null target; into a solid, the vertices (resized) and
  // the general attributes.
  bool copy_to(MB_Object*& target) override;

  // Record 'D': attributes, xdata (a mask marked SAVE_MASK), the vertices.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;

 private:
  bool mask_ = false;
};

// Square markers (style 0, size 3, outlined) at the points mapped by view.
void mb_draw_vertex_markers(HDC hdc, const As_Pt_Set& pts, const As_Tran& view);
