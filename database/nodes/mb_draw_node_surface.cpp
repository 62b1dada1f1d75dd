// Display-list nodes drawn on the off-screen surface: one POINT array per
// primitive, handed to the surface in one call.
#include "database/nodes/mb_draw_node.h"
#include "surface/cmydc.h"

void MB_Draw_Lines_Set::draw(CMyDC& dc, const As_Tran& t) {
  const int n = count();
  if (n < 1) return;
  if (n == 2) {
    // A line, most nodes of a drawing: its ends are mapped in registers and
    // it is drawn as Polyline draws a segment, from the second point back.
    const POINT a = mb_device_point(points()[0], t);
    const POINT b = mb_device_point(points()[1], t);
    dc.SetColor(static_cast<uint32_t>(color()));
    dc.Line(b.x, b.y, a.x, a.y);
    return;
  }
  POINT* p = mb_device_points(points(), n, t);
  dc.SetColor(static_cast<uint32_t>(color()));
  dc.Polyline(p, n);
}

void MB_Draw_Lines_Sets::draw(CMyDC& dc, const As_Tran& t) {
  for_each_run([&](const As_Pt* pts, int n) {
    if (n < 2) return;
    POINT* p = mb_device_points(pts, n, t);
    if (is_filled() && n > 2) {
      dc.Polygon(p, n, 1, static_cast<uint32_t>(color()));
    } else {
      dc.Polyline(p, n);
    }
  });
}

void MB_Draw_Solid::draw(CMyDC& dc, const As_Tran& t) {
  const int n = count();
  if (n < 3) return;
  POINT* p = mb_device_points(points(), n, t, 1);
  p[n] = p[0];
  if (!mask()) {
    dc.Polygon(p, n + 1, 1, static_cast<uint32_t>(color()));
    return;
  }
  // A mask's outline is the background too.
  const uint32_t saved = dc.GetPixelValue();
  dc.SetColor(static_cast<uint32_t>(fill_color()));
  dc.Polygon(p, n + 1, 1, 0xFFFFFFFFu);
  dc.SetPixelValue(saved);
}

void MB_Draw_Trans::draw(CMyDC& dc, const As_Tran& t) {
  if (inner_) inner_->draw(dc, tran_ * t);
}

void MB_Draw_Image::draw(CMyDC& dc, const As_Tran& t) {
  if (dc.GetDC()) draw(dc.GetDC(), t);
}
