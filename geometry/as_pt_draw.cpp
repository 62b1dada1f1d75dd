// Drawing of the point containers: points are mapped by the view transform
// and truncated toward zero (clamped to the int range) into a temporary array
// of device points, which is handed to GDI or to the off-screen surface.
#include <vector>

#include "display/cmydc.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include <qm_raster.h>

namespace {

POINT device_point(const As_Pt& p, const As_Tran& t) {
  As_Pt d = p * t;
  return POINT{qm_trunc_to_int(d.x()), qm_trunc_to_int(d.y())};
}

void device_points(const As_Pt* pts, int n, const As_Tran& t, std::vector<POINT>& out) {
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  for (int i = 0; i < n; ++i) out[i] = device_point(pts[i], t);
}

}  // namespace

void As_Pt_List::draw(HDC hdc, const As_Tran& t) const {
  std::vector<POINT> dev;
  for (const As_Pt_Node* n = head(); n; n = n->next()) dev.push_back(device_point(n->point(), t));
  if (!dev.empty()) Polyline(hdc, dev.data(), static_cast<int>(dev.size()));
}

void As_Pt_Set::draw(HDC hdc, const As_Tran& t) const {
  if (count_ <= 0) return;
  std::vector<POINT> dev;
  device_points(points_, count_, t, dev);
  Polyline(hdc, dev.data(), count_);
}

void As_Pt_Set::draw(CMyDC& dc, const As_Tran& t) const {
  if (count_ < 2) return;
  if (count_ == 2) {
    POINT a = device_point(points_[0], t), b = device_point(points_[1], t);
    dc.Line(a.x, a.y, b.x, b.y);
    return;
  }
  std::vector<POINT> dev;
  device_points(points_, count_, t, dev);
  dc.Polyline(dev.data(), count_);
}

void As_Pt_Sets::draw(HDC hdc, const As_Tran& t, long color) const {
  std::vector<POINT> dev;
  const As_Pt* set = points_;
  for (unsigned long i = 0; i < sets_; ++i) {
    const int n = static_cast<int>(vals_[i]);
    if (n == 1) {
      LOGPEN pen = {};
      HGDIOBJ current = GetCurrentObject(hdc, OBJ_PEN);
      COLORREF c = (current && GetObject(current, sizeof pen, &pen) == sizeof pen) ? pen.lopnColor : 0;
      POINT p = device_point(set[0], t);
      SetPixel(hdc, p.x, p.y, c);
    } else if (n > 1) {
      device_points(set, n, t, dev);
      const bool closed = dev[0].x == dev[n - 1].x && dev[0].y == dev[n - 1].y;
      if (filled_ && closed) {
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color));
        HGDIOBJ old = SelectObject(hdc, brush);
        BeginPath(hdc);
        Polyline(hdc, dev.data(), n);
        EndPath(hdc);
        StrokeAndFillPath(hdc);
        SelectObject(hdc, old);
        DeleteObject(brush);
      } else {
        Polyline(hdc, dev.data(), n);
      }
    }
    set += vals_[i];
  }
}

void api_mb_draw_point(HDC hdc, As_Pt pos) {
  const int x = qm_trunc_to_int(pos.x()), y = qm_trunc_to_int(pos.y());
  const COLORREF blue = 0xFF0000;
  SetPixel(hdc, x, y, blue);
  SetPixel(hdc, x - 1, y, blue);
  SetPixel(hdc, x + 1, y, blue);
  SetPixel(hdc, x, y - 1, blue);
  SetPixel(hdc, x, y + 1, blue);
}
