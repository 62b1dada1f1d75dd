#include "geometry/as_loop.h"

#include <qm_raster.h>

#include <algorithm>

#include "geometry/as_pt_list.h"
#include "geometry/as_search_loops.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

namespace {

// Links node into the ring in front of before.
void link_before(As_Loop_Node* node, As_Loop_Node* before) {
  As_Loop_Node* prev = before->prev();
  node->prev(prev);
  node->next(before);
  prev->next(node);
  before->prev(node);
}

struct Box {
  double min_x, max_x, min_y, max_y;
};

Box box_of(const As_Loop& loop) {
  As_Pt lt, rb;
  loop.get_rect_pos(lt, rb);
  return Box{lt.x(), rb.x(), rb.y(), lt.y()};
}

// Boxes that only touch count as apart.
bool boxes_apart(const Box& a, const Box& b) {
  return a.max_x <= b.min_x || b.max_x <= a.min_x || a.max_y <= b.min_y || b.max_y <= a.min_y;
}

bool box_within(const Box& inner, const Box& outer) {
  return outer.min_x <= inner.min_x && inner.max_x <= outer.max_x && outer.min_y <= inner.min_y &&
         inner.max_y <= outer.max_y;
}

// Some vertex of the loop answers true; the loop must not be empty.
template <class Pred>
bool any_vertex(const As_Loop& loop, Pred pred) {
  const As_Loop_Node* n = loop.head();
  do {
    if (pred(n->pos())) return true;
    n = n->next();
  } while (n != loop.head());
  return false;
}

// Every vertex of inner lies inside or on outer.
bool vertices_within(const As_Loop& inner, const As_Loop& outer) {
  const std::vector<As_Pt> outline = outer.closed_points();
  return !any_vertex(inner, [&](const As_Pt& p) { return pt_in_closed_points(p, outline) == 0; });
}

// Some vertex of a lies strictly inside b.
bool vertex_strictly_inside(const As_Loop& a, const As_Loop& b) {
  const std::vector<As_Pt> outline = b.closed_points();
  return any_vertex(a, [&](const As_Pt& p) { return pt_in_closed_points(p, outline) == 1; });
}

// Runs a closed-loop search over the two loops' edges and returns the first
// result accepted by keep, copied; null when none is.
template <class Keep>
As_Loop* search_pair(const As_Loop& a, const As_Loop& b, bool maximal, Keep keep) {
  As_Search_Loops search;
  search.input_list().add(const_cast<As_Loop*>(&a));
  search.input_list().add(const_cast<As_Loop*>(&b));
  search.loop2segments();
  search.init();
  if (maximal)
    search.search_max_loops();
  else
    search.search_min_loops();
  for (As_Void_Node* n = search.result_list().head(); n; n = n->next()) {
    const As_Loop* found = static_cast<const As_Loop*>(n->entity());
    if (keep(*found)) return new As_Loop(*found);
  }
  return nullptr;
}

}  // namespace

As_Loop_Node* As_Loop_Node::insert_before(const As_Pt& p, int flag) {
  As_Loop_Node* node = new As_Loop_Node(p, flag);
  link_before(node, this);
  return node;
}

As_Loop_Node* As_Loop_Node::insert_after(const As_Pt& p, int flag) {
  As_Loop_Node* node = new As_Loop_Node(p, flag);
  link_before(node, next_);
  return node;
}

As_Loop::As_Loop(const As_Pt* pts, int n) {
  if (!pts) return;
  for (int i = 0; i < n; ++i) add(pts[i]);
}

As_Loop::As_Loop(const As_Loop& other) : As_Edge(other) {
  const As_Loop_Node* n = other.head_;
  if (!n) return;
  do {
    add(n->pos());
    n = n->next();
  } while (n != other.head_);
}

As_Loop& As_Loop::operator=(const As_Loop& other) {
  if (this == &other) return *this;
  As_Loop copy(other);
  kill_all();
  delete rect_;
  rect_ = nullptr;
  As_Edge::operator=(other);
  head_ = copy.head_;
  copy.head_ = nullptr;
  return *this;
}

As_Loop::~As_Loop() {
  kill_all();
  delete rect_;
}

void As_Loop::add(const As_Pt& p) {
  if (head_ && (same_point(p, head_->pos(), resabs) || same_point(p, head_->prev()->pos(), resabs))) return;
  add(new As_Loop_Node(p));
}

void As_Loop::add(As_Loop_Node* node) {
  if (!node) return;
  if (!head_) {
    node->next(node);
    node->prev(node);
    head_ = node;
    return;
  }
  link_before(node, head_);
}

void As_Loop::insert(As_Loop_Node* node, As_Loop_Node* before) {
  if (!node) return;
  if (!before || !head_) {
    add(node);
    return;
  }
  link_before(node, before);
  if (before == head_) head_ = node;
}

int As_Loop::count() const {
  if (!head_) return 0;
  int c = 0;
  const As_Loop_Node* n = head_;
  do {
    ++c;
    n = n->next();
  } while (n != head_);
  return c;
}

void As_Loop::kill_head() {
  if (!head_) return;
  As_Loop_Node* old = head_;
  if (old->next() == old) {
    head_ = nullptr;
  } else {
    old->prev()->next(old->next());
    old->next()->prev(old->prev());
    head_ = old->next();
  }
  delete old;
}

void As_Loop::kill_all() {
  if (!head_) return;
  As_Loop_Node* n = head_->next();
  while (n != head_) {
    As_Loop_Node* next = n->next();
    delete n;
    n = next;
  }
  delete head_;
  head_ = nullptr;
}

std::vector<As_Pt> As_Loop::closed_points() const {
  std::vector<As_Pt> pts;
  if (!head_) return pts;
  const As_Loop_Node* n = head_;
  do {
    pts.push_back(n->pos());
    n = n->next();
  } while (n != head_);
  pts.push_back(head_->pos());
  return pts;
}

bool As_Loop::get_rect_pos(As_Pt& lt, As_Pt& rb) const {
  if (!head_) return false;
  const std::vector<As_Pt> pts = closed_points();
  return api_mb_get_rect_pos(static_cast<int>(pts.size()), pts.data(), lt, rb);
}

void As_Loop::build_rect() {
  delete rect_;
  rect_ = nullptr;
  As_Pt lt, rb;
  if (!get_rect_pos(lt, rb)) return;
  rect_ = new As_Rect();
  rect_->set_rect(lt, rb);
}

// Both polygon tests answer false outside the outline's box (bounds
// included), so no separate box test is needed.
int pt_in_closed_points(const As_Pt& p, const std::vector<As_Pt>& pts) {
  const int n = static_cast<int>(pts.size());
  if (n == 0) return 0;
  if (is_pos_on_region(p, pts.data(), n)) return 2;
  return is_pos_in_region(p, pts.data(), n) ? 1 : 0;
}

int As_Loop::is_pt_in_loop(const As_Pt& p) const { return pt_in_closed_points(p, closed_points()); }

int As_Loop::is_in_loop(const As_Loop& other) const {
  if (!head_) return 0;
  const std::vector<As_Pt> outline = other.closed_points();
  const As_Loop_Node* n = head_;
  do {
    const As_Pt mid = n->pos() + (n->next()->pos() - n->pos()) / 2.0;
    if (pt_in_closed_points(mid, outline) == 0) return 0;
    n = n->next();
  } while (n != head_);
  return 1;
}

bool As_Loop::is_intersection(const As_Loop& other) const {
  if (!head_ || !other.head_ || boxes_apart(box_of(*this), box_of(other))) return false;
  if (vertex_strictly_inside(other, *this) || vertex_strictly_inside(*this, other)) return true;
  const std::vector<As_Pt> a = closed_points(), b = other.closed_points();
  As_Pt x;
  for (size_t i = 0; i + 1 < a.size(); ++i)
    for (size_t j = 0; j + 1 < b.size(); ++j)
      if (two_segments_intersection(a[i], a[i + 1], b[j], b[j + 1], x)) return true;
  return false;
}

int As_Loop::intersection(const As_Loop& other, As_Void_List&) const {
  if (!head_ || !other.head_) return 0;
  const Box mine = box_of(*this), theirs = box_of(other);
  if (boxes_apart(mine, theirs)) return 0;
  if (box_within(theirs, mine) && vertices_within(other, *this)) return 1;
  if (box_within(mine, theirs) && vertices_within(*this, other)) return 2;
  return 3;
}

As_Loop* As_Loop::create_union_loop(const As_Loop& other) const {
  if (!head_ || !other.head_) return nullptr;
  return search_pair(other, *this, true, [](const As_Loop&) { return true; });
}

As_Loop* As_Loop::cut_by_loop(const As_Loop& other) const {
  if (!head_ || !other.head_) return nullptr;
  const As_Loop cutter(other);
  return search_pair(cutter, *this, false, [&](const As_Loop& face) {
    return face.is_in_loop(*this) == 1 && face.is_in_loop(cutter) != 1;
  });
}

double As_Loop::length() const {
  const std::vector<As_Pt> pts = closed_points();
  return cal_perimeter(pts.data(), static_cast<int>(pts.size()));
}

double As_Loop::area() const {
  const std::vector<As_Pt> pts = closed_points();
  return cal_pts_area(pts.data(), static_cast<int>(pts.size()));
}

void As_Loop::translate(const As_Tran& t) {
  if (!head_) return;
  As_Loop_Node* n = head_;
  do {
    n->pos(n->pos() * t);
    n = n->next();
  } while (n != head_);
}

bool As_Loop::interact(As_Pt* line, int n, As_Pt_List& out) const {
  const std::vector<As_Pt> pts = closed_points();
  if (!pts.empty()) api_mb_lines_intersection(line, n, pts.data(), static_cast<int>(pts.size()), out);
  return true;
}

bool api_mb_get_loops_rect_pos(As_Void_List& loops, As_Pt& lt, As_Pt& rb) {
  bool any = false;
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  for (As_Void_Node* n = loops.head(); n; n = n->next()) {
    const As_Loop* loop = static_cast<const As_Loop*>(n->entity());
    As_Pt a, b;
    if (!loop || !loop->get_rect_pos(a, b)) continue;
    if (!any) {
      min_x = a.x(), max_x = b.x(), min_y = b.y(), max_y = a.y();
      any = true;
      continue;
    }
    min_x = std::min(min_x, a.x());
    max_x = std::max(max_x, b.x());
    min_y = std::min(min_y, b.y());
    max_y = std::max(max_y, a.y());
  }
  if (!any) return false;
  lt = As_Pt(min_x, max_y, 0);
  rb = As_Pt(max_x, min_y, 0);
  return true;
}
