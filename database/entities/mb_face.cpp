// The face: its outline, picking and copies.
#include "database/entities/mb_face.h"

#include "database/entities/mb_entity_copy.h"
#include "database/entities/mb_solid.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/geom_algo.h"

void MB_Face::offset(double d) { mb_offset_polygon(points(), count(), d); }

void MB_Face::draw(HDC hdc, CMyDC&, As_Tran& view) {
  const int n = count();
  if (!hdc || n < 2) return;
  POINT* p = mb_device_points(points(), n, view, 1);
  p[n] = p[0];
  Polyline(hdc, p, n + 1);
}

void MB_Face::draw_key_point(HDC hdc, CMyDC&, const As_Tran& view) { mb_draw_vertex_markers(hdc, *this, view); }

bool MB_Face::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) {
  const int n = count();
  for (int i = 0; i < n; ++i) {
    if ((points()[i] - p).len() < tol) {
      found = points()[i];
      kind = MB_SNAP_VERTEX;
      return true;
    }
  }
  for (int i = 0; n >= 2 && i < n; ++i) {
    As_Pt foot;
    if (is_pick_segment(p, points()[i], points()[(i + 1) % n], tol, foot) == 3) {
      found = foot;
      kind = MB_SNAP_NEAREST;
      return true;
    }
  }
  return false;
}

bool MB_Face::copy_to(MB_Object*& target) {
  return mb_entity_copy_to(*this, target, [this](MB_Face& t) { t.As_Pt_Set::operator=(*this); });
}
