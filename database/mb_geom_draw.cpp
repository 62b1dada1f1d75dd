// Drawing a geometric entity: through its display node, or its outline.
#include "database/mb_drawable.h"
#include "database/nodes/mb_draw_node.h"
#include "surface/cmydc.h"

void MB_Geom::draw(HDC hdc, CMyDC& dc, As_Tran& view) {
  if (MB_Draw_Node* node = draw_node()) {
    if (hdc) {
      node->draw(hdc, view);
    } else {
      node->draw(dc, view);
    }
    return;
  }
  const int n = edge().count();
  if (n < 1) return;
  const As_Pt* pts = edge().points();
  POINT* p = mb_device_points(pts, n, view);
  // An outline of no extent (a line of no length) is drawn as a dot, which
  // a polyline through one position would leave out.
  bool dot = true;
  for (int i = 1; i < n && dot; ++i) dot = same_point(pts[i], pts[0], resabs);
  if (dot) {
    if (hdc) {
      mb_draw_dot(hdc, p[0]);
    } else {
      dc.SetPixel(p[0].x, p[0].y);
    }
  } else if (hdc) {
    Polyline(hdc, p, n);
  } else if (n == 2) {
    dc.Line(p[0].x, p[0].y, p[1].x, p[1].y);
  } else {
    dc.Polyline(p, n);
  }
}
