#include "geometry/as_search_loops.h"

#include <algorithm>
#include <cmath>

#include "geometry/as_file.h"
#include "geometry/as_loop.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"
#include "geometry/geom_algo.h"

namespace {

template <class T>
std::vector<T*> entities(const As_Void_List& list) {
  std::vector<T*> out;
  for (As_Void_Node* n = list.head(); n; n = n->next()) out.push_back(static_cast<T*>(n->entity()));
  return out;
}

// Relations pointing left may start a walk.
bool points_left(const As_Intersect_Relation* r) { return r->angle() >= half_pi && r->angle() < three_half_pi; }

// The relation after (or before) r in its point's list, wrapping around.
As_Intersect_Relation* neighbour(As_Void_List& list, As_Intersect_Relation* r, bool after) {
  for (As_Void_Node* n = list.head(); n; n = n->next()) {
    if (n->entity() != r) continue;
    As_Void_Node* m = after ? (n->next() ? n->next() : list.head()) : (n->previous() ? n->previous() : list.tail());
    return static_cast<As_Intersect_Relation*>(m->entity());
  }
  return nullptr;
}

// Twice the signed area of the closed path; positive when it runs
// counter-clockwise.
double twice_signed_area(const std::vector<As_Intersect_Point*>& path, size_t first) {
  double sum = 0.0;
  for (size_t i = first; i < path.size(); ++i) {
    const As_Pt& a = path[i]->pos();
    const As_Pt& b = path[i + 1 < path.size() ? i + 1 : first]->pos();
    sum += a.x() * b.y() - b.x() * a.y();
  }
  return sum;
}

As_Loop* loop_of(const std::vector<As_Intersect_Point*>& path, size_t first) {
  As_Loop* loop = new As_Loop();
  for (size_t i = first; i < path.size(); ++i) loop->add(path[i]->pos());
  return loop;
}

}  // namespace

As_Intersect_Relation::As_Intersect_Relation(As_Intersect_Point* from, As_Intersect_Point* to)
    : from_(from), to_(to) {
  angle_ = angle_between(As_Vec(1, 0, 0), to->pos() - from->pos(), As_Uvec::raw(0, 0, 1));
  if (std::fabs(angle_ - two_pi) < 1e-6) angle_ = 0.0;
}

As_Intersect_Point::~As_Intersect_Point() {
  for (As_Intersect_Relation* r : entities<As_Intersect_Relation>(relations_)) delete r;
}

bool As_Intersect_Point::add_relation(As_Intersect_Relation* r) {
  for (As_Void_Node* n = relations_.head(); n; n = n->next()) {
    const double a = static_cast<As_Intersect_Relation*>(n->entity())->angle();
    if (std::fabs(a - r->angle()) < resabs) {
      delete r;
      return false;
    }
    if (r->angle() < a) {
      relations_.insert(r, n);
      return true;
    }
  }
  relations_.add(r);
  return true;
}

As_Intersect_Relation* As_Intersect_Point::relation_to(const As_Intersect_Point* to) const {
  for (As_Void_Node* n = relations_.head(); n; n = n->next()) {
    As_Intersect_Relation* r = static_cast<As_Intersect_Relation*>(n->entity());
    if (r->to() == to) return r;
  }
  return nullptr;
}

As_Search_Loops::~As_Search_Loops() {
  for (As_Segment* s : entities<As_Segment>(segment_list_)) delete s;
  for (As_Intersect_Point* p : entities<As_Intersect_Point>(intersect_list_)) delete p;
  for (As_Loop* l : entities<As_Loop>(result_list_)) delete l;
}

void As_Search_Loops::ptset2segments() {
  for (As_Pt_Set* set : entities<As_Pt_Set>(input_list_)) {
    if (!set) continue;
    const As_Pt* pts = set->points();
    for (int i = 0; i + 1 < set->count(); ++i) segment_list_.add(new As_Segment(pts[i], pts[i + 1], set));
  }
}

void As_Search_Loops::ptlist2segments() {
  for (As_Pt_List* list : entities<As_Pt_List>(input_list_)) {
    if (!list) continue;
    for (As_Pt_Node* n = list->head(); n && n->next(); n = n->next())
      segment_list_.add(new As_Segment(n->point(), n->next()->point(), list));
  }
}

void As_Search_Loops::loop2segments() {
  for (As_Loop* loop : entities<As_Loop>(input_list_)) {
    if (!loop || loop->is_empty()) continue;
    const As_Loop_Node* n = loop->head();
    do {
      segment_list_.add(new As_Segment(n->pos(), n->next()->pos(), loop));
      n = n->next();
    } while (n != loop->head());
  }
}

int As_Search_Loops::init() {
  remove_error_segment();
  bulid_intersect();
  del_invalid_intersect();
  create_intersect_relation();
  order_add_remove_error_intersect_points();
  return 1;
}

// Segments without length go, and so do segments with a coordinate that is
// not a number or infinite, which can meet nothing.
void As_Search_Loops::remove_error_segment() {
  auto finite = [](const As_Pt& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); };
  for (As_Void_Node* n = segment_list_.head(); n;) {
    As_Segment* s = static_cast<As_Segment*>(n->entity());
    if (s && finite(s->start()) && finite(s->end()) && !same_point(s->start(), s->end(), resabs)) {
      n = n->next();
      continue;
    }
    delete s;
    n = segment_list_.remove_node(n);
  }
}

As_Intersect_Point* As_Search_Loops::segment_lines_insertion(As_Segment* a, As_Segment* b) {
  As_Pt x;
  if (!a || !b || !two_segments_intersection(a->start(), a->end(), b->start(), b->end(), x)) return nullptr;
  return new As_Intersect_Point(x);
}

void As_Search_Loops::bulid_intersect() {
  const std::vector<As_Segment*> segs = entities<As_Segment>(segment_list_);
  for (size_t i = 0; i < segs.size(); ++i) {
    for (size_t j = i + 1; j < segs.size(); ++j) {
      As_Intersect_Point* p = segment_lines_insertion(segs[i], segs[j]);
      if (!p) continue;
      for (As_Intersect_Point* q : entities<As_Intersect_Point>(intersect_list_)) {
        if (same_point(q->pos(), p->pos(), resabs)) {
          delete p;
          p = q;
          break;
        }
      }
      if (!intersect_list_.contains(p)) intersect_list_.add(p);
      for (As_Segment* s : {segs[i], segs[j]}) {
        p->segment_list().addIfAbsent(s);
        s->add_order_intpos(p);
      }
    }
  }
}

void As_Search_Loops::detach(As_Intersect_Point* q, As_Segment* s) {
  s->intpos_list().removeValue(q);
  q->segment_list().removeValue(s);
}

// A segment holding one crossing point only dangles from it: the point is
// taken off that segment alone, so a junction other loops pass through keeps
// its place on them. A point left on fewer than two segments joins nothing
// and goes. Each pass removes links, so the repetition ends.
void As_Search_Loops::del_invalid_intersect() {
  bool changed = true;
  while (changed) {
    changed = false;
    for (As_Segment* s : entities<As_Segment>(segment_list_)) {
      if (s->intpos_list().size() != 1) continue;
      As_Intersect_Point* q = static_cast<As_Intersect_Point*>(s->intpos_list().first());
      detach(q, s);
      changed = true;
      if (q->segment_list().size() >= 2) continue;
      for (As_Segment* t : entities<As_Segment>(q->segment_list())) detach(q, t);
      intersect_list_.removeValue(q);
      delete q;
    }
  }
}

void As_Search_Loops::create_intersect_relation() {
  for (As_Intersect_Point* p : entities<As_Intersect_Point>(intersect_list_)) {
    for (As_Segment* s : entities<As_Segment>(p->segment_list())) {
      for (As_Void_Node* n = s->intpos_list().head(); n; n = n->next()) {
        if (n->entity() != p) continue;
        for (As_Void_Node* m : {n->previous(), n->next()})
          if (m) p->add_relation(new As_Intersect_Relation(p, static_cast<As_Intersect_Point*>(m->entity())));
        break;
      }
    }
  }
}

void As_Search_Loops::order_add_remove_error_intersect_points() {
  std::vector<As_Intersect_Point*> pts = entities<As_Intersect_Point>(intersect_list_);
  std::stable_sort(pts.begin(), pts.end(), [](const As_Intersect_Point* a, const As_Intersect_Point* b) {
    if (a->pos().x() != b->pos().x()) return a->pos().x() > b->pos().x();
    return a->pos().y() > b->pos().y();
  });
  intersect_list_.emptyYourself();
  for (As_Intersect_Point* p : pts) {
    intersect_list_.add(p);
    As_Intersect_Relation* barred = nullptr;
    for (As_Intersect_Relation* r : entities<As_Intersect_Relation>(p->relation_list()))
      if (points_left(r) && (!barred || r->angle() > barred->angle())) barred = r;
    if (barred) barred->state(-1);
  }
}

void As_Search_Loops::search_max_loops() { search_loops(true); }
void As_Search_Loops::search_min_loops() { search_loops(false); }

void As_Search_Loops::search_loops(bool maximal) {
  int relations = 0;
  for (As_Intersect_Point* p : entities<As_Intersect_Point>(intersect_list_)) relations += p->relation_list().size();
  for (As_Intersect_Point* p : entities<As_Intersect_Point>(intersect_list_)) {
    for (As_Intersect_Relation* r : entities<As_Intersect_Relation>(p->relation_list())) {
      if (points_left(r) && r->state() != 1 && r->state() != -1) walk(p, r, maximal, relations + 1);
    }
  }
  path_points_.clear();
  path_relations_.clear();
}

// path_relations_[i] leaves path_points_[i]; the walk turns as sharply right
// (maximal) or left (minimal) as it can at every point. Both kinds of loop
// run counter-clockwise from their rightmost point; a walk that closes
// clockwise has gone round the other side of its edges (in minimal mode
// round a part that touches the rest at one point only, in maximal mode
// round a face) and gives no loop.
void As_Search_Loops::walk(As_Intersect_Point* start, As_Intersect_Relation* r, bool maximal, int step_cap) {
  path_points_.assign(1, start);
  path_relations_.assign(1, r);
  for (int step = 0; r && r->state() != 1 && step < step_cap; ++step) {
    As_Intersect_Point* q = r->to();
    if (q->pos().x() > start->pos().x()) return;
    if (maximal && q == start) {
      if (path_points_.size() < 3 || twice_signed_area(path_points_, 0) <= 0.0) return;
      for (As_Intersect_Point* p : path_points_)
        for (As_Intersect_Relation* used : entities<As_Intersect_Relation>(p->relation_list())) used->state(1);
      result_list_.add(loop_of(path_points_, 0));
      return;
    }
    if (!maximal) {
      auto at = std::find(path_points_.begin(), path_points_.end(), q);
      if (at != path_points_.end()) {
        const size_t first = static_cast<size_t>(at - path_points_.begin());
        if (path_points_.size() - first > 2 && twice_signed_area(path_points_, first) > 0.0)
          result_list_.add(loop_of(path_points_, first));
        for (size_t i = first; i < path_relations_.size(); ++i) path_relations_[i]->state(1);
        return;
      }
    }
    As_Intersect_Relation* back = q->relation_to(r->from());
    if (!back) return;
    r = neighbour(q->relation_list(), back, maximal);
    path_points_.push_back(q);
    path_relations_.push_back(r);
  }
}

void As_Search_Loops::save_segments(As_File& file) {
  file.write_current_time();
  for (As_Segment* s : entities<As_Segment>(segment_list_)) s->save(file);
}

void As_Search_Loops::order_result_list() {
  std::vector<As_Loop*> loops = entities<As_Loop>(result_list_);
  for (As_Loop* l : loops) l->build_rect();
  auto centre_x = [](const As_Loop* l) { return l->rect() ? l->rect()->center().x() : 0.0; };
  std::stable_sort(loops.begin(), loops.end(),
                   [&](const As_Loop* a, const As_Loop* b) { return centre_x(a) < centre_x(b); });
  result_list_.emptyYourself();
  for (As_Loop* l : loops) result_list_.add(l);
}
