// The chain of straight segments.
#include "database/entities/mb_lines.h"

#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

void MB_Lines::closed(bool c) {
  modify_cmd();
  closed_ = c;
}

MB_Result MB_Lines::serialize(MB_File_IO& io) const {
  MB_Result first = general().serialize(io);
  MB_Result r = io.write(static_cast<unsigned char>('l'));
  if (!r) r = const_cast<MB_Lines*>(this)->save_xdata(io);
  if (!r) r = io.write(static_cast<const As_Pt_Set&>(*this));
  return first ? first : r;
}

MB_Result MB_Lines::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  if (MB_Result r = io.read(static_cast<As_Pt_Set&>(*this))) return r;
  return general().materialize(op, io);
}

MB_Result MB_Lines::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

bool MB_Lines::copy_to(MB_Object*& target) {
  if (!target) {
    MB_Lines* copy = new MB_Lines(count());
    copy->init(count(), points());
    target = copy;
  } else if (MB_Lines* t = dynamic_cast<MB_Lines*>(target)) {
    if (t == this) return true;
    t->init(count(), points());
  }
  if (MB_Lines* t = dynamic_cast<MB_Lines*>(target)) {
    t->modify_cmd();
    t->closed_ = closed_;
  }
  MB_Geom::copy_to(target);
  return true;
}

bool MB_Lines::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) {
  for (int i = 0; i < count(); ++i) {
    if ((p - points()[i]).len() < tol) {
      found = points()[i];
      kind = MB_SNAP_VERTEX;
      return true;
    }
  }
  if (!edge().snap_lines(p, tol, found)) return false;
  kind = MB_SNAP_NEAREST;
  return true;
}

void MB_Lines::build_draw() {
  edge().init(count(), points());
  edit_rect().init_by_pts(count(), points());
  build_draw_node_with_ltype(edge());
}

void MB_Lines::draw_key_point(HDC hdc, CMyDC&, const As_Tran& view) {
  if (!hdc) return;
  for (int i = 0; i < count(); ++i) mb_draw_key_marker(hdc, points()[i], view);
}

double MB_Lines::get_real(int id) const {
  if (id == MB_PROP_LENGTH) {
    double sum = 0.0;
    for (int i = 1; i < count(); ++i) sum += (points()[i] - points()[i - 1]).len();
    return sum;
  }
  if (id == MB_PROP_ANGLE) {
    if (count() < 2) return 0.0;
    return angle_between(As_Vec(1, 0, 0), points()[1] - points()[0], As_Uvec(0, 0, 1));
  }
  return MB_Geom::get_real(id);
}

void MB_Lines::translate(const As_Tran& t) {
  modify_cmd();
  As_Pt_Set::translate(t);
}
