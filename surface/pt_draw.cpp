// Drawing of the point containers: the points are mapped into a temporary
// array of device points, which is handed to GDI or to the off-screen surface.
#include "surface/pt_draw.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "geometry/as_loop.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"
#include "surface/cmydc.h"
#include "surface/device_point.h"

void draw_points(HDC hdc, const As_Pt_List& list, const As_Tran& t) {
  std::vector<POINT> dev;
  for (const As_Pt_Node* n = list.head(); n; n = n->next()) dev.push_back(mb_device_point(n->point(), t));
  if (!dev.empty()) Polyline(hdc, dev.data(), static_cast<int>(dev.size()));
}

void draw_points(HDC hdc, const As_Pt_Set& set, const As_Tran& t) {
  if (set.count() <= 0) return;
  std::vector<POINT> dev;
  mb_device_points(set.points(), set.count(), t, dev);
  Polyline(hdc, dev.data(), set.count());
}

void draw_points(CMyDC& dc, const As_Pt_Set& set, const As_Tran& t) {
  const int count = set.count();
  if (count < 2) return;
  if (count == 2) {
    POINT a = mb_device_point(set.points()[0], t), b = mb_device_point(set.points()[1], t);
    dc.Line(a.x, a.y, b.x, b.y);
    return;
  }
  std::vector<POINT> dev;
  mb_device_points(set.points(), count, t, dev);
  dc.Polyline(dev.data(), count);
}

void draw_points(HDC hdc, const As_Pt_Sets& sets, const As_Tran& t, long color) {
  std::vector<POINT> dev;
  const As_Pt* set = sets.points();
  for (unsigned long i = 0; i < sets.ptset_count(); ++i) {
    const int n = static_cast<int>(sets.vals()[i]);
    if (n == 1) {
      LOGPEN pen = {};
      HGDIOBJ current = GetCurrentObject(hdc, OBJ_PEN);
      COLORREF c = (current && GetObject(current, sizeof pen, &pen) == sizeof pen) ? pen.lopnColor : 0;
      POINT p = mb_device_point(set[0], t);
      SetPixel(hdc, p.x, p.y, c);
    } else if (n > 1) {
      mb_device_points(set, n, t, dev);
      const bool closed = dev[0].x == dev[n - 1].x && dev[0].y == dev[n - 1].y;
      if (sets.is_filled() && closed) {
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
    set += sets.vals()[i];
  }
}

void draw_points(HDC hdc, const As_Loop& loop, const As_Tran& t) {
  const std::vector<As_Pt> pts = loop.closed_points();
  if (pts.empty()) return;
  std::vector<POINT> device;
  mb_device_points(pts.data(), static_cast<int>(pts.size()), t, device);
  Polyline(hdc, device.data(), static_cast<int>(device.size()));
}

void api_mb_draw_point(HDC hdc, As_Pt pos) {
  const POINT at = mb_device_point(pos);
  // Kept one pixel inside the int range so that every neighbour has a
  // coordinate; a point that far out is off any surface either way.
  const int x = std::clamp(at.x, INT_MIN + 1, INT_MAX - 1), y = std::clamp(at.y, INT_MIN + 1, INT_MAX - 1);
  const COLORREF blue = 0xFF0000;
  SetPixel(hdc, x, y, blue);
  SetPixel(hdc, x - 1, y, blue);
  SetPixel(hdc, x + 1, y, blue);
  SetPixel(hdc, x, y - 1, blue);
  SetPixel(hdc, x, y + 1, blue);
}
