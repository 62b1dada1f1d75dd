// Rubber-band feedback: frames of shapes drawn and erased with an inverting
// pen.
#include "display/interaction/mb_rubber_band.h"

#include <cmath>

#include "database/mb_drawable.h"
#include "database/mb_settings.h"
#include "database/nodes/mb_draw_node.h"
#include "display/mb_draw_render.h"
#include "geometry/as_pt_list.h"
#include "geometry/curves/spline_fit.h"
#include "geometry/geom_algo.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"

// ---- Shapes ----

MB_Rubber_Node::MB_Rubber_Node()
    : style_(g_system_setting.get_short_val(MB_RUBBER_STYLE)),
      width_(g_system_setting.get_short_val(MB_RUBBER_WIDTH)),
      colour_(g_system_setting.get_long_val(MB_RUBBER_COLOR)) {}

int32_t MB_Rubber_Node::color() const {
  return static_cast<int32_t>(
      (~static_cast<uint32_t>(colour_) ^ static_cast<uint32_t>(g_system_setting.get_long_val(MB_BACKGROUND_COLOR))) &
      0xFFFFFFu);
}

int32_t MB_Rubber_Node::highlight_color(int32_t c) {
  return static_cast<int32_t>(
      (~static_cast<uint32_t>(g_system_setting.get_long_val(MB_HIGHLIGHT_COLOR)) ^ static_cast<uint32_t>(c)) &
      0xFFFFFFu);
}

HGDIOBJ MB_Rubber_Node::select_pen(HDC hdc, HPEN& pen) const {
  pen = CreatePen(style_, width_, static_cast<COLORREF>(color()));
  return SelectObject(hdc, pen);
}

void MB_Rubber_Node::restore_pen(HDC hdc, HGDIOBJ old, HPEN pen) {
  SelectObject(hdc, old);
  DeleteObject(pen);
}

void MB_Rubber_Point::draw(HDC hdc, const As_Tran& t) {
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  api_mb_draw_point(hdc, pt_ * t, style_, 3, 0);
  restore_pen(hdc, old, pen);
}

void MB_Rubber_Line::draw(HDC hdc, const As_Tran& t) {
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  const As_Pt a = start_ * t, b = end_ * t;
  MoveToEx(hdc, qm_trunc_to_int(a.x()), qm_trunc_to_int(a.y()), nullptr);
  LineTo(hdc, qm_trunc_to_int(b.x()), qm_trunc_to_int(b.y()));
  restore_pen(hdc, old, pen);
}

namespace {

// The points, the cursor, and the first point again when closed.
template <class Each>
As_Pt* lines_array(int n, bool closed, const As_Pt& current, int& count, Each each) {
  count = 0;
  if (n <= 0) return nullptr;
  count = n + (closed ? 2 : 1);
  As_Pt* pts = new As_Pt[count];
  each(pts);
  pts[n] = current;
  if (closed) pts[n + 1] = pts[0];
  return pts;
}

}  // namespace

MB_Rubber_Lines::MB_Rubber_Lines(const As_Pt_List& list, bool closed, const As_Pt& current) {
  pts_ = lines_array(list.count(), closed, current, count_, [&](As_Pt* out) {
    for (As_Pt_Node* p = list.head(); p; p = p->next()) *out++ = p->point();
  });
}

MB_Rubber_Lines::MB_Rubber_Lines(const As_Void_List& list, bool closed, const As_Pt& current) {
  pts_ = lines_array(list.count(), closed, current, count_, [&](As_Pt* out) {
    for (As_Void_Node* p = list.head(); p; p = p->next()) *out++ = *static_cast<const As_Pt*>(p->entity());
  });
}

void MB_Rubber_Lines::draw(HDC hdc, const As_Tran& t) {
  if (!pts_ || count_ <= 0) return;
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  Polyline(hdc, mb_device_points(pts_, count_, t), count_);
  restore_pen(hdc, old, pen);
}

void MB_Rubber_Rect::draw(HDC hdc, const As_Tran& t) {
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  api_mb_draw_rect(hdc, a_ * t, b_ * t, 0.0, 0);
  restore_pen(hdc, old, pen);
}

MB_Rubber_Arc::MB_Rubber_Arc(const As_Pt& center, const As_Pt& start, const As_Pt& end)
    : center_(center), start_(start) {
  radius_ = (start - center).len();
  const As_Vec d = end - center;
  const double len = d.len();
  end_ = len > resnor ? center + d * (radius_ / len) : center;
}

MB_Rubber_Arc::MB_Rubber_Arc(const As_Pt& center, double radius, const As_Pt& start, const As_Pt& end, int style,
                             int width, int32_t colour)
    : center_(center), radius_(radius), start_(start), end_(end) {
  set_prop(style, width, colour);
}

void MB_Rubber_Arc::draw(HDC hdc, const As_Tran& t) {
  const double r = (start_ - center_).len() * t.scaling();
  const As_Pt c = center_ * t, s = start_ * t, e = end_ * t;
  if ((s - e).len() > resabs && qm_trunc_to_int(s.x()) == qm_trunc_to_int(e.x()) && qm_trunc_to_int(s.y()) == qm_trunc_to_int(e.y())) return;
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  Arc(hdc, qm_trunc_to_int(c.x() - r), qm_trunc_to_int(c.y() - r), qm_trunc_to_int(c.x() + r), qm_trunc_to_int(c.y() + r), qm_trunc_to_int(s.x()),
      qm_trunc_to_int(s.y()), qm_trunc_to_int(e.x()), qm_trunc_to_int(e.y()));
  restore_pen(hdc, old, pen);
}

MB_Rubber_Circle::MB_Rubber_Circle(const As_Pt& center, const As_Pt& on_circle)
    : center_(center), radius_((on_circle - center).len()) {}

void MB_Rubber_Circle::draw(HDC hdc, const As_Tran& t) {
  const double r = radius_ * t.scaling();
  const As_Pt c = center_ * t;
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  Arc(hdc, qm_trunc_to_int(c.x() - r), qm_trunc_to_int(c.y() - r), qm_trunc_to_int(c.x() + r), qm_trunc_to_int(c.y() + r), 0, 0, 0, 0);
  restore_pen(hdc, old, pen);
}

MB_Rubber_Ellipse::MB_Rubber_Ellipse(const As_Pt& center, const As_Pt& axis_end, const As_Pt& through)
    : center_(center), end_(2.0 * M_PI) {
  const As_Vec axis = axis_end - center;
  const double a = axis.len();
  if (!(a > 1e-6)) return;
  major_ = a;
  angle_ = angle_between(As_Vec(1.0, 0.0, 0.0), axis, As_Uvec(0.0, 0.0, 1.0));
  const As_Uvec u = normalise(axis);
  const As_Uvec v(-u.y(), u.x(), 0.0);
  const double d1 = (proj_pt_to_line(through, center, u) - center).len();
  const double d2 = (proj_pt_to_line(through, center, v) - center).len();
  const double t = 1.0 - d1 * d1 / (a * a);
  // No ellipse of this major axis passes through a point beyond its end.
  minor_ = t > 0.0 ? std::sqrt(d2 * d2 / t) : 0.0;
}

void MB_Rubber_Ellipse::draw(HDC hdc, const As_Tran& t) {
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  api_mb_draw_ellipse(hdc, center_ * t, major_ * t.scaling(), minor_ * t.scaling(), angle_, 0);
  restore_pen(hdc, old, pen);
}

MB_Rubber_Spline::MB_Rubber_Spline(const As_Pt_List& list, const As_Pt& current, const As_Tran& t) {
  const int n = list.count();
  if (n <= 0) return;
  double zero_start[3] = {0, 0, 0}, zero_end[3] = {0, 0, 0};
  Generate_Spline gen(3, n + 1, 1e-5, zero_start, zero_end, 0, 1.3);
  double(*fit)[3] = gen.fpt();
  int i = 0;
  for (As_Pt_Node* p = list.head(); p; p = p->next(), ++i) {
    fit[i][0] = p->point().x();
    fit[i][1] = p->point().y();
    fit[i][2] = p->point().z();
  }
  fit[n][0] = current.x();
  fit[n][1] = current.y();
  fit[n][2] = current.z();
  gen.generate();
  if (gen.tessellated_count <= 0 || !gen.tessellated_points) return;
  count_ = gen.tessellated_count;
  pts_ = new POINT[count_];
  for (int k = 0; k < count_; ++k) {
    const As_Pt q(gen.tessellated_points[k][0], gen.tessellated_points[k][1], gen.tessellated_points[k][2]);
    pts_[k] = mb_device_point(q, t);
  }
}

void MB_Rubber_Spline::draw(HDC hdc, const As_Tran&) {
  if (!pts_ || count_ <= 0) return;
  HPEN pen;
  HGDIOBJ old = select_pen(hdc, pen);
  Polyline(hdc, pts_, count_);
  restore_pen(hdc, old, pen);
}

void MB_Rubber_Entity_List::draw(HDC hdc, const As_Tran& view) {
  if (entities_.is_empty()) return;
  CMyDC surface;  // the entities' drawing takes one; nothing lands on it
  for (As_Void_Node* n = entities_.head(); n; n = n->next()) {
    MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
    if (!highlight_) {
      HPEN pen = CreatePen(PS_SOLID, 0, static_cast<COLORREF>(color()));
      HGDIOBJ old = SelectObject(hdc, pen);
      As_Tran t = transf_ * view;
      e->draw(hdc, surface, t);
      restore_pen(hdc, old, pen);
    } else {
      As_Tran t = view;
      HPEN pen = CreatePen(style(), width(), static_cast<COLORREF>(highlight_color(e->general().display_color())));
      HGDIOBJ old = SelectObject(hdc, pen);
      e->draw(hdc, surface, t);
      restore_pen(hdc, old, pen);
      pen = CreatePen(style(), width(),
                      static_cast<COLORREF>(highlight_color(g_system_setting.get_long_val(MB_BACKGROUND_COLOR))));
      old = SelectObject(hdc, pen);
      e->draw_key_point(hdc, surface, t);
      restore_pen(hdc, old, pen);
    }
  }
}

// ---- The rubber band ----

MB_Rubber::~MB_Rubber() {
  reset();
  delete_drw_list(new_list_);
}

void MB_Rubber::set_color(int32_t c) { g_system_setting.set_long_val(MB_RUBBER_COLOR, c); }
int32_t MB_Rubber::get_color() { return g_system_setting.get_long_val(MB_RUBBER_COLOR); }
void MB_Rubber::set_style(int s) { g_system_setting.set_short_val(MB_RUBBER_STYLE, static_cast<uint16_t>(s)); }
int MB_Rubber::get_style() { return g_system_setting.get_short_val(MB_RUBBER_STYLE); }
void MB_Rubber::set_width(int w) { g_system_setting.set_short_val(MB_RUBBER_WIDTH, static_cast<uint16_t>(w)); }
int MB_Rubber::get_width() { return g_system_setting.get_short_val(MB_RUBBER_WIDTH); }

void MB_Rubber::add_node_to_newlist(MB_Rubber_Node* node) {
  if (!node) return;
  if (begun_) {
    new_list_.add(node);
  } else {
    delete node;
  }
}

void MB_Rubber::draw_line(const As_Pt& a, const As_Pt& b) { add_node_to_newlist(new MB_Rubber_Line(a, b)); }
void MB_Rubber::draw_rect(const As_Pt& a, const As_Pt& b) { add_node_to_newlist(new MB_Rubber_Rect(a, b)); }
void MB_Rubber::draw_lines(const As_Pt_List& pts, const As_Pt& current, bool closed) {
  add_node_to_newlist(new MB_Rubber_Lines(pts, closed, current));
}
void MB_Rubber::draw_spline(const As_Pt_List& pts, const As_Pt& current, const As_Tran& t) {
  add_node_to_newlist(new MB_Rubber_Spline(pts, current, t));
}
void MB_Rubber::draw_arc(const As_Pt& c, const As_Pt& s, const As_Pt& e) { add_node_to_newlist(new MB_Rubber_Arc(c, s, e)); }
void MB_Rubber::draw_circle(const As_Pt& c, double r) { add_node_to_newlist(new MB_Rubber_Circle(c, r)); }
void MB_Rubber::draw_ellipse(const As_Pt& c, const As_Pt& axis_end, const As_Pt& through) {
  add_node_to_newlist(new MB_Rubber_Ellipse(c, axis_end, through));
}
void MB_Rubber::draw_entity_list(const As_Void_List& entities, const As_Tran& t) {
  add_node_to_newlist(new MB_Rubber_Entity_List(entities, t, false));
}
void MB_Rubber::highlight_entity_list(const As_Void_List& entities) {
  add_node_to_newlist(new MB_Rubber_Entity_List(entities, As_Tran(), true));
}

void MB_Rubber::draw_on(HDC hdc, As_Void_List& list) {
  if (!hdc || !render_ || list.is_empty()) return;
  const bool was = g_is_rubbering;
  g_is_rubbering = true;
  const int old_mode = SetROP2(hdc, R2_NOTXORPEN);
  const As_Tran& view = render_->drawing_to_screen();
  for (As_Void_Node* n = list.head(); n; n = n->next()) static_cast<MB_Rubber_Node*>(n->entity())->draw(hdc, view);
  SetROP2(hdc, old_mode);
  g_is_rubbering = was;
}

void MB_Rubber::draw(As_Void_List& list) {
  if (!render_ || list.is_empty()) return;
  HDC hdc = render_->get_dc();
  draw_on(hdc, list);
  render_->release_dc(hdc);
}

void MB_Rubber::draw_end() {
  g_is_rubbering = true;
  if (begun_) {
    draw(old_list_);
    draw(new_list_);
    delete_drw_list(old_list_);
    copylist_new_to_old();
  }
  begun_ = false;
  g_is_rubbering = false;
}

void MB_Rubber::reset() {
  if (!old_list_.is_empty()) draw(old_list_);
  delete_drw_list(old_list_);
  begun_ = false;
}

void MB_Rubber::drop() {
  reset();
  delete_drw_list(new_list_);
}

void MB_Rubber::delete_drw_list(As_Void_List& list) {
  for (As_Void_Node* n = list.head(); n; n = n->next()) delete static_cast<MB_Rubber_Node*>(n->entity());
  list.emptyYourself();
}

void MB_Rubber::copylist_new_to_old() {
  old_list_.append(new_list_);
  new_list_.emptyYourself();
}
