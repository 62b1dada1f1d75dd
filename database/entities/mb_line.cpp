// The line entity and the construction lines.
#include "database/entities/mb_line.h"

#include <algorithm>
#include <cmath>

#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"

MB_Result mb_entity_read_process(MB_Drawable& entity, MB_File_IO& io) {
  if (!io.drawing()) return MB_BAD_STATE;
  io.drawing()->add_object(&entity);
  return MB_SUCCESS;
}

namespace {

// The extents of a line without end: its base point.
void base_extents(MB_Line& line) {
  const As_Pt p = line.start();
  line.edit_rect().set_rect(p, p);
}

// The line through `base` towards `through` (from `base` on when one way)
// across the device's visible box: the clip box of a device context, else
// the surface's drawing rectangle.
void draw_unbounded(HDC hdc, CMyDC& dc, const As_Tran& view, const As_Pt& base, const As_Pt& through, bool both) {
  RECT box = {0, 0, 0, 0};
  if (hdc) {
    box.right = GetDeviceCaps(hdc, HORZRES);
    box.bottom = GetDeviceCaps(hdc, VERTRES);
  } else {
    box = dc.GetDrawRect();
  }
  if (box.right <= box.left || box.bottom <= box.top) return;
  const As_Pt a = base * view, b = through * view;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  if (!(std::fabs(dx) + std::fabs(dy) > 0.0)) return;
  // Liang-Barsky: the parameter range of a + t d inside the box.
  double t0 = both ? -1e300 : 0.0, t1 = 1e300;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left, box.right - a.x(), a.y() - box.top, box.bottom - a.y()};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0.0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
  }
  if (!(t0 < t1)) return;
  const POINT from = mb_device_point(As_Pt(a.x() + t0 * dx, a.y() + t0 * dy, 0.0));
  const POINT to = mb_device_point(As_Pt(a.x() + t1 * dx, a.y() + t1 * dy, 0.0));
  if (hdc) {
    const POINT line[2] = {from, to};
    Polyline(hdc, line, 2);
  } else {
    dc.Line(from.x, from.y, to.x, to.y);
  }
}

}  // namespace

void MB_Ray::build_draw() { base_extents(*this); }

void MB_Ray::draw(HDC hdc, CMyDC& dc, As_Tran& view) { draw_unbounded(hdc, dc, view, start(), end(), false); }

void MB_Xline::build_draw() { base_extents(*this); }

void MB_Xline::draw(HDC hdc, CMyDC& dc, As_Tran& view) { draw_unbounded(hdc, dc, view, start(), end(), true); }

void mb_draw_key_marker(HDC hdc, const As_Pt& p, const As_Tran& view) {
  if (hdc) api_mb_draw_point(hdc, p * view, 0, 3, 0);
}

void MB_Line::start(const As_Pt& p) {
  modify_cmd();
  pts_[0] = p;
}

void MB_Line::end(const As_Pt& p) {
  modify_cmd();
  pts_[1] = p;
}

MB_Result MB_Line::write_record(MB_File_IO& io) const {
  if (MB_Result r = io.write(static_cast<unsigned char>('L'))) return r;
  if (MB_Result r = const_cast<MB_Line*>(this)->save_xdata(io)) return r;
  if (MB_Result r = io.write_position(pts_[0])) return r;
  return io.write_position(pts_[1]);
}

MB_Result MB_Line::read_record(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  if (MB_Result r = io.read_position(pts_[0])) return r;
  return io.read_position(pts_[1]);
}

MB_Result MB_Line::serialize(MB_File_IO& io) const {
  MB_Result r = general().serialize(io);
  MB_Result w = write_record(io);
  return r ? r : w;
}

MB_Result MB_Line::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_record(op, io)) return r;
  return general().materialize(op, io);
}

MB_Result MB_Line::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

bool MB_Line::copy_to(MB_Object*& target) {
  if (!target) {
    target = new MB_Line(pts_[0], pts_[1]);
  } else if (MB_Line* t = dynamic_cast<MB_Line*>(target)) {
    if (t == this) return true;
    t->start(pts_[0]);
    t->end(pts_[1]);
  }
  MB_Geom::copy_to(target);
  return true;
}

bool MB_Line::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) {
  if ((p - pts_[0]).len() < tol) {
    found = pts_[0];
    kind = MB_SNAP_START;
    return true;
  }
  if ((p - pts_[1]).len() < tol) {
    found = pts_[1];
    kind = MB_SNAP_END;
    return true;
  }
  if (p.x() < std::min(pts_[0].x(), pts_[1].x()) - tol || p.x() > std::max(pts_[0].x(), pts_[1].x()) + tol ||
      p.y() < std::min(pts_[0].y(), pts_[1].y()) - tol || p.y() > std::max(pts_[0].y(), pts_[1].y()) + tol) {
    return false;
  }
  const As_Pt foot = proj_pt_to_line(p, pts_[0], normalise(pts_[0] - pts_[1]));
  if ((p - foot).len() >= tol) return false;
  found = foot;
  kind = MB_SNAP_NEAREST;
  return true;
}

void MB_Line::build_draw() {
  edge().init(2, pts_);
  edit_rect().init_by_pts(2, pts_);
  build_draw_node_with_ltype(edge());
}

void MB_Line::draw_key_point(HDC hdc, CMyDC&, const As_Tran& view) {
  if (!hdc) return;
  mb_draw_key_marker(hdc, pts_[0], view);
  mb_draw_key_marker(hdc, pts_[1], view);
}

As_Pt MB_Line::get_point(int id) const {
  switch (id) {
    case MB_PROP_START:
      return pts_[0];
    case MB_PROP_END:
      return pts_[1];
    case MB_PROP_MIDDLE:
      return pts_[0] + (pts_[1] - pts_[0]) / 2.0;
    default:
      return MB_Geom::get_point(id);
  }
}

double MB_Line::get_real(int id) const {
  if (id == MB_PROP_LENGTH) return (pts_[1] - pts_[0]).len();
  if (id == MB_PROP_ANGLE) return angle_between(As_Vec(1, 0, 0), pts_[1] - pts_[0], As_Uvec(0, 0, 1));
  return MB_Geom::get_real(id);
}

void MB_Line::translate(const As_Tran& t) {
  modify_cmd();
  pts_[0] = pts_[0] * t;
  pts_[1] = pts_[1] * t;
}
