// The face: a polygon painted as its closed outline, straight onto the
// device context. Its vertices are its As_Pt_Set side (owned). Only its
// identity is stored in the native file, so a face read back has no
// vertices and draws nothing. A face is picked at a vertex (kind 22) or on
// its outline (kind 31). Copies are deep.
#pragma once

#include "database/mb_drawable.h"
#include "geometry/as_pt_set.h"

class MB_Face : public MB_Geom, public As_Pt_Set {
 public:
  MB_Face() = default;
  explicit MB_Face(int n) : As_Pt_Set(n) {}
  MB_Face(const MB_Face&) = default;
  MB_Face& operator=(const MB_Face&) = default;

  MB_ID object_id() const override { return ID_FACE; }
  using MB_Geom::get_point;

  // As MB_Solid::offset.
  void offset(double d);

  // The face prepares no display.
  void build_draw() override {}
  // The closed outline with the DC's pen; nothing without a device context
  // or with fewer than two vertices.
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
  void draw_key_point(HDC hdc, CMyDC& dc, const As_Tran& view) override;
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  // A face does not move.
  void translate(const As_Tran&) override {}
  // A new copy for a null target; into a face, the vertices (resized) and
  // the general attributes.
  bool copy_to(MB_Object*& target) override;

  // Record 'z': attributes and xdata, no geometry.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
};
