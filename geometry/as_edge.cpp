#include "geometry/as_edge.h"

#include <algorithm>
#include <cmath>

#include "geometry/as_file.h"
#include "geometry/as_search_loops.h"
#include "geometry/as_tessellate.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

namespace {

const As_Uvec kZAxis = As_Uvec::raw(0, 0, 1);
constexpr int kArcFitPoints = 50;

}  // namespace

bool xy_order_before(const As_Pt& a, const As_Pt& b) {
  if (std::fabs(a.x() - b.x()) < resabs) return a.y() < b.y();
  return a.x() < b.x();
}

bool As_Edge::cut(const As_Pt&, const As_Pt&, As_Void_List&) { return false; }
bool As_Edge::break_by_point(const As_Pt&, As_Void_List&) { return false; }
As_Pt As_Edge::get_point_by_length(double, bool) const { return As_Pt(); }

// Lines.

bool As_Line::cut(const As_Pt& a, const As_Pt& b, As_Void_List& out) {
  if (!same_point(a, b, resabs)) return false;
  return break_by_point(a, out);
}

bool As_Line::break_by_point(const As_Pt& p, As_Void_List& out) {
  if (same_point(p, start_, resabs) || same_point(p, end_, resabs) || !is_on_edge(p)) return false;
  out.add(new As_Line(p, start_));
  out.add(new As_Line(p, end_));
  return true;
}

As_Pt As_Line::get_point_by_length(double len, bool from_start) const {
  if (from_start) return len <= 0.0 ? start_ : start_ + As_Vec(normalise(end_ - start_)) * len;
  return len <= 0.0 ? end_ : end_ + As_Vec(normalise(start_ - end_)) * len;
}

As_Pt As_Line::middle_pos() const { return start_ + (end_ - start_) / 2.0; }

double As_Line::angle() const { return angle_between(As_Vec(1, 0, 0), end_ - start_, kZAxis); }

void As_Line::translate(const As_Tran& t) {
  start_ = start_ * t;
  end_ = end_ * t;
}

bool As_Line::is_on_edge(const As_Pt& p) const {
  if (p.x() < std::min(start_.x(), end_.x()) || p.x() > std::max(start_.x(), end_.x()) ||
      p.y() < std::min(start_.y(), end_.y()) || p.y() > std::max(start_.y(), end_.y()))
    return false;
  const double cross =
      (p.x() - start_.x()) * (end_.y() - start_.y()) - (p.y() - start_.y()) * (end_.x() - start_.x());
  return std::fabs(cross) < 1e-6;
}

bool As_Line::is_like(As_Edge* e) const {
  if (!e || e->edge_id() != LINE_ID) return false;
  const As_Pt s = e->start_pos(), t = e->end_pos();
  return (same_point(start_, s, resabs) && same_point(end_, t, resabs)) ||
         (same_point(start_, t, resabs) && same_point(end_, s, resabs));
}

void As_Line::build_fit_pts() {
  const As_Pt ends[2] = {start_, end_};
  fit_pts_.init(2, ends);
}

bool As_Line::merage(As_Edge* e) {
  if (!e || e == this || !is_like(e)) return false;
  delete e;
  return true;
}

void As_Segment::add_order_intpos(As_Intersect_Point* ip) {
  if (!ip || intpos_list_.contains(ip)) return;
  for (As_Void_Node* n = intpos_list_.head(); n; n = n->next()) {
    if (xy_order_before(ip->pos(), static_cast<As_Intersect_Point*>(n->entity())->pos())) {
      intpos_list_.insert(ip, n);
      return;
    }
  }
  intpos_list_.add(ip);
}

bool As_Line::save(As_File& file) {
  file.write_segment(start_, end_, 0xff0000);
  return true;
}

// Circles and arcs.

void As_Circle::translate(const As_Tran& t) { centre_ = centre_ * t; }

As_Pt As_Arc::on_arc(double a) const {
  return centre_ + As_Vec(1, 0, 0) * rotate_transf(a, As_Vec(0, 0, 1)) * radius_;
}

As_Pt As_Arc::get_point_by_length(double len, bool from_start) const {
  if (radius_ == 0.0) return centre_;
  const double d = len / radius_;
  if (from_start) return len > 0.0 ? on_arc(start_angle_ + d) : start_pos();
  return len > 0.0 ? on_arc(end_angle_ - d) : end_pos();
}

As_Pt As_Arc::middle_pos() const {
  double e = end_angle_;
  if (e < start_angle_) e += two_pi;
  return on_arc((start_angle_ + e) / 2.0);
}

void As_Arc::build_fit_pts() {
  fit_pts_.init(kArcFitPoints);
  As_Pt* pts = fit_pts_.points();
  if (!arc_to_ptset(centre_, radius_, start_pos(), end_pos(), kArcFitPoints, pts)) fit_pts_.free();
}
