// Drawing on the off-screen surface, until the surface class exists: the
// nodes and outlines draw on device contexts only.
#include "database/mb_drawable.h"
#include "display/mb_draw_node.h"

void MB_Draw_Lines_Set::draw(CMyDC&, const As_Tran&) {}
void MB_Draw_Lines_Sets::draw(CMyDC&, const As_Tran&) {}
void MB_Draw_Solid::draw(CMyDC&, const As_Tran&) {}
void MB_Draw_Trans::draw(CMyDC& dc, const As_Tran& t) {
  if (inner_) inner_->draw(dc, tran_ * t);
}

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
  if (hdc && n > 0) Polyline(hdc, mb_device_points(edge().points(), n, view), n);
}
