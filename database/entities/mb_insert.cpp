// Inserts in memory: the placement transform, drawing and picking through
// it, extents, copies, moving and exploding; the cells of a multiple insert.
#include "database/entities/mb_insert.h"

#include <cmath>
#include <new>
#include <vector>

#include "database/entities/mb_block.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"
#include "surface/device_point.h"

MB_Insert* mb_to_insert(MB_Object* object) {
  if (!object) return nullptr;
  const MB_Object::MB_ID id = object->object_id();
  return id == MB_Object::ID_INSERT || id == MB_Object::ID_MINSERT ? static_cast<MB_Insert*>(object) : nullptr;
}

MB_Insert::MB_Insert(const As_Pt& point, double angle, double x_scale, double y_scale, double z_scale)
    : point_(point), angle_(angle), scale_{x_scale, y_scale, z_scale} {}

void MB_Insert::scale(const double* s) {
  if (!s) return;
  for (int i = 0; i < 3; ++i) scale_[i] = s[i];
}

void MB_Insert::block(const MB_String& name, MB_Drawing& drawing) {
  block_ = drawing.find_block(name.ascii());
  if (block_) return;
  // A table entry, not an edit: the undo store replays only the entity
  // list, so the new block is not reported to it.
  MB_Undo_Redo* recording = g_undo_redo;
  g_undo_redo = nullptr;
  block_ = new (std::nothrow) MB_Block(As_Pt(), name, MB_String("Block desc"));
  g_undo_redo = recording;
  drawing.block_list().add_tail(block_);
}

void MB_Insert::build_transf() {
  const double sx = scale_[0], sy = scale_[1], sz = scale_[2];
  As_Tran t = scale_transf(std::fabs(sx), std::fabs(sy), std::fabs(sz));
  if (!(sx >= 0.0)) t = t * reflect_transf(As_Vec(1.0, 0.0, 0.0));
  if (!(sy >= 0.0)) t = t * reflect_transf(As_Vec(0.0, 1.0, 0.0));
  t = t * rotate_transf(angle_, As_Vec(0.0, 0.0, 1.0));
  trans_ = t * translate_transf(As_Vec(point_.x(), point_.y(), point_.z()));
}

As_Tran MB_Insert::placement() const { return block_ ? block_->tran() * trans_ : trans_; }

MB_Block* MB_Insert::drawn_block() const {
  return block_ && !block_->object_list().is_empty() ? block_ : nullptr;
}

bool MB_Insert::copy_to(MB_Object*& target) {
  MB_Insert* into = nullptr;
  if (!target) {
    into = new (std::nothrow) MB_Insert(point_, angle_, scale_[0], scale_[1], scale_[2]);
    if (!into) return false;
    target = into;
  } else {
    into = mb_to_insert(target);
    if (!into) return false;
    into->point_ = point_;
    into->angle_ = angle_;
    into->scale(scale_);
  }
  into->block_ = block_;
  into->trans_ = trans_;
  return MB_Drawable::copy_to(target);
}

bool MB_Insert::pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) {
  MB_Block* b = drawn_block();
  if (!b) return false;
  MB_Block_Visit visit(b);
  if (!visit.ok()) return false;
  const As_Tran to_drawing = placement();
  const As_Tran to_block = to_drawing.inverse();
  const As_Pt local = p * to_block;
  // The tolerance as a length in the block: the larger of what the inverse
  // makes of it along x and along y.
  const double local_tol =
      std::fmax((As_Vec(tol, 0.0, 0.0) * to_block).len(), (As_Vec(0.0, tol, 0.0) * to_block).len());
  for (MB_Object* o = b->object_list().head(); o; o = o->next()) {
    if (!o->is_drawable() || static_cast<MB_Drawable*>(o)->flag() == 0) continue;
    As_Pt hit;
    if (static_cast<MB_Drawable*>(o)->pick(local, points, local_tol, hit, kind, extra)) {
      found = hit * to_drawing;
      return true;
    }
  }
  return false;
}

void MB_Insert::build_draw() {
  MB_Block* b = drawn_block();
  if (!b) return;
  if (b->rect_is_point()) b->build_draw();
  build_transf();
  As_Rect extents = b->rect();
  extents.translate(trans_);
  edit_rect() = extents;
}

void MB_Insert::draw_key_point(HDC hdc, CMyDC&, const As_Tran& view) {
  if (hdc) api_mb_draw_point(hdc, point_ * view, 0, 3, 0);
}

void MB_Insert::draw(HDC hdc, CMyDC& dc, As_Tran& view) {
  MB_Block* b = drawn_block();
  if (!b) return;
  MB_Block_Visit visit(b);
  if (!visit.ok()) {
    if (visit.over_budget()) draw_frame(hdc, dc, view);
    return;
  }
  As_Tran t = b->tran() * trans_ * view;
  for (MB_Object* o = b->object_list().head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    MB_Drawable* e = static_cast<MB_Drawable*>(o);
    // Hidden (on a layer that is off or frozen): kept, not drawn.
    if (e->flag() == 0) continue;
    // On a device context the objects draw as the insert itself does: each
    // in its own colour for a picture, in the context's pen for a print.
    if (hdc) {
      if (mb_drawing_in_own_colours())
        e->draw_in_own_colour(hdc, dc, t);
      else
        e->draw(hdc, dc, t);
      continue;
    }
    if (!display_flag_) dc.SetColor(static_cast<uint32_t>(e->general().display_color()));
    e->draw(hdc, dc, t);
  }
}

void MB_Insert::draw_frame(HDC hdc, CMyDC& dc, const As_Tran& view) {
  const MB_Block* b = drawn_block();
  if (!b) return;
  // The block's extents (relative to its base point) carried by the
  // placement, so a rotated insert shows a rotated frame.
  const As_Rect& r = b->rect();
  const As_Pt corners[5] = {r.lt(), As_Pt(r.rb().x(), r.lt().y(), 0.0), r.rb(), As_Pt(r.lt().x(), r.rb().y(), 0.0),
                            r.lt()};
  std::vector<POINT> p;
  mb_device_points(corners, 5, trans_ * view, p);
  if (hdc)
    Polyline(hdc, p.data(), 5);
  else
    dc.Polyline(p.data(), 5);
}

void MB_Insert::translate(const As_Tran& t) {
  modify_cmd();
  point_ = point_ * t;
  const As_Vec ex = As_Vec(1.0, 0.0, 0.0) * t;
  const As_Vec ey = As_Vec(0.0, 1.0, 0.0) * t;
  if (same_vector(ex, As_Vec(1.0, 0.0, 0.0), resmch) && same_vector(ey, As_Vec(0.0, 1.0, 0.0), resmch)) return;
  // The insert's own axes (rows of scale x mirror x rotation) carried by t,
  // read back as an angle and signed scales; the x scale keeps its sign.
  const double c = std::cos(angle_), s = std::sin(angle_);
  const As_Vec row_x = As_Vec(scale_[0] * c, scale_[0] * s, 0.0) * t;
  const As_Vec row_y = As_Vec(-scale_[1] * s, scale_[1] * c, 0.0) * t;
  const double sign = scale_[0] < 0.0 ? -1.0 : 1.0;
  const double a = std::atan2(sign * row_x.y(), sign * row_x.x());
  scale_[0] = sign * std::hypot(row_x.x(), row_x.y());
  scale_[1] = -row_y.x() * std::sin(a) + row_y.y() * std::cos(a);
  angle_ = a;
}

void MB_Insert::explode(MB_Drawing* drawing) {
  MB_Block* b = drawn_block();
  if (!b || !drawing) return;
  build_transf();
  const As_Tran m = placement();
  MB_Object_List& out = drawing->get_active_object_list();
  // Only the objects there now: exploding into the block itself must not
  // walk the copies it appends.
  MB_Object* const last = b->object_list().tail();
  for (MB_Object* o = b->object_list().head(); o; o = o->next()) {
    if (o->is_drawable()) {
      MB_Object* copy = nullptr;
      o->copy_to(copy);
      if (copy && copy->is_drawable()) {
        MB_Drawable* e = static_cast<MB_Drawable*>(copy);
        e->translate(m);
        e->build_draw();
        out.add_tail(e);
      } else {
        delete copy;
      }
    }
    if (o == last) break;
  }
}

// ---------------------------------------------------------------------------

MB_Minsert::MB_Minsert(const As_Pt& point, double angle, double x_scale, double y_scale, double z_scale,
                       uint16_t columns, double column_spacing, uint16_t rows, double row_spacing)
    : MB_Insert(point, angle, x_scale, y_scale, z_scale),
      columns_(columns),
      rows_(rows),
      column_spacing_(column_spacing),
      row_spacing_(row_spacing) {
  const int64_t cells = int64_t(columns) * rows;
  if (cells > kMaxCells) return;
  cell_pos_.reserve(static_cast<size_t>(cells));
  cell_tran_.reserve(static_cast<size_t>(cells));
  const double c = std::cos(angle), s = std::sin(angle);
  const As_Tran shape = scale_transf(std::fabs(x_scale), std::fabs(y_scale), std::fabs(z_scale)) *
                        rotate_transf(angle, As_Vec(0.0, 0.0, 1.0));
  for (int r = 0; r < rows; ++r) {
    for (int k = 0; k < columns; ++k) {
      const double dx = k * column_spacing, dy = r * row_spacing;
      const As_Pt cell(point.x() + dx * c - dy * s, point.y() + dx * s + dy * c, 0.0);
      cell_pos_.push_back(cell);
      cell_tran_.push_back(shape * translate_transf(As_Vec(cell.x(), cell.y(), cell.z())));
    }
  }
}
