// The point entity.
#include "database/entities/mb_point.h"

#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"

MB_Result MB_Point::serialize(MB_File_IO& io) const {
  MB_Result first = general().serialize(io);
  MB_Result r = io.write(static_cast<unsigned char>(0x19));
  if (!r) r = const_cast<MB_Point*>(this)->save_xdata(io);
  if (!r) r = io.write_position(pos_);
  return first ? first : r;
}

MB_Result MB_Point::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  return io.read_position(pos_);
}

MB_Result MB_Point::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

bool MB_Point::copy_to(MB_Object*& target) {
  if (!target) {
    target = new MB_Point(pos_);
  } else if (MB_Point* t = dynamic_cast<MB_Point*>(target)) {
    if (t == this) return true;
    t->point(pos_);
  }
  MB_Geom::copy_to(target);
  return true;
}

bool MB_Point::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) {
  if ((p - pos_).len() >= tol) return false;
  found = pos_;
  kind = MB_SNAP_POINT;
  return true;
}

void MB_Point::build_draw() {
  const double h = 1e-5;
  edit_rect().set_rect(As_Pt(pos_.x() - h, pos_.y() + h, 0), As_Pt(pos_.x() + h, pos_.y() - h, 0));
}

void MB_Point::draw(HDC hdc, CMyDC& dc, As_Tran& view) {
  const As_Pt p = pos_ * view;
  if (hdc) {
    api_mb_draw_point(hdc, p);
  } else {
    dc.SetPixelPt(p);
  }
}

void MB_Point::translate(const As_Tran& t) {
  modify_cmd();
  pos_ = pos_ * t;
}
