// The line entity and the construction lines.
#include "database/entities/mb_line.h"

#include <algorithm>

#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "surface/api_draw.h"

MB_Result mb_entity_read_process(MB_Drawable& entity, MB_File_IO& io) {
  if (!io.drawing()) return MB_BAD_STATE;
  io.drawing()->add_object(&entity);
  return MB_SUCCESS;
}

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
