#include "geometry/as_pt_list.h"

#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"
#include "geometry/dlink.h"

namespace {

struct Links {
  static As_Pt_Node* next(const As_Pt_Node* n) { return n->next(); }
  static As_Pt_Node* prev(const As_Pt_Node* n) { return n->prev(); }
  static void set_next(As_Pt_Node* n, As_Pt_Node* x) { n->set_next(x); }
  static void set_prev(As_Pt_Node* n, As_Pt_Node* x) { n->set_prev(x); }
};

}  // namespace

As_Pt_List::As_Pt_List(const As_Pt_List& other) { add_list0(other); }

As_Pt_List& As_Pt_List::operator=(const As_Pt_List& other) {
  if (this != &other) {
    kill_all();
    add_list0(other);
  }
  return *this;
}

As_Pt_List::~As_Pt_List() { kill_all(); }

void As_Pt_List::kill_all() { dlink::free_all<Links>(head_, tail_); }

void As_Pt_List::add_tail(const As_Pt& p) { add_tail(new As_Pt_Node(p)); }

void As_Pt_List::add_tail(As_Pt_Node* node) {
  if (node) dlink::link_before<Links>(head_, tail_, node, static_cast<As_Pt_Node*>(nullptr));
}

void As_Pt_List::add_if_absent(const As_Pt& p) {
  for (As_Pt_Node* n = head_; n; n = n->next())
    if (same_point(n->point(), p, resabs)) return;
  add_tail(p);
}

void As_Pt_List::append_points(const As_Pt_List& other, bool skip_present) {
  // Count first: when other is this list, the walk must stop at the old tail.
  int n = other.count();
  As_Pt_Node* node = other.head_;
  for (int i = 0; i < n; ++i, node = node->next()) {
    if (skip_present)
      add_if_absent(node->point());
    else
      add_tail(node->point());
  }
}

void As_Pt_List::add_list(const As_Pt_List& other) { append_points(other, true); }

void As_Pt_List::add_list0(const As_Pt_List& other) { append_points(other, false); }

void As_Pt_List::add_ptset(const As_Pt_Set& set) {
  const As_Pt* pts = set.points();
  for (int i = 0; i < set.count(); ++i) add_if_absent(pts[i]);
}

As_End_Join as_end_join(const As_Pt& a0, const As_Pt& a1, const As_Pt& b0, const As_Pt& b1, double tol) {
  if (same_point(a0, b0, tol)) return As_End_Join::kFirstFirst;
  if (same_point(a0, b1, tol)) return As_End_Join::kFirstLast;
  if (same_point(a1, b0, tol)) return As_End_Join::kLastFirst;
  if (same_point(a1, b1, tol)) return As_End_Join::kLastLast;
  return As_End_Join::kNone;
}

bool As_Pt_List::merge_list(As_Pt_List& other) {
  if (is_empty() || &other == this) return false;
  if (other.is_empty()) return true;
  const As_Pt a0 = head_->point(), a1 = tail_->point();
  const As_Pt b0 = other.head_->point(), b1 = other.tail_->point();
  switch (as_end_join(a0, a1, b0, b1, resabs)) {
    case As_End_Join::kNone:
      return false;
    case As_End_Join::kFirstFirst:
      reverse();
      break;
    case As_End_Join::kFirstLast:
      reverse();
      other.reverse();
      break;
    case As_End_Join::kLastFirst:
      break;
    case As_End_Join::kLastLast:
      other.reverse();
      break;
  }
  add_list0(other);
  return true;
}

void As_Pt_List::reverse() { dlink::reverse<Links>(head_, tail_); }

void As_Pt_List::translate(const As_Tran& t) {
  for (As_Pt_Node* n = head_; n; n = n->next()) n->point() *= t;
}

As_Pt_Node* As_Pt_List::get(int index) const { return dlink::at<Links>(head_, index); }

int As_Pt_List::count() const { return dlink::count<Links>(head_); }

void As_Pt_List::remove_tail() {
  if (tail_) dlink::unlink<Links>(head_, tail_, tail_);
}

void As_Pt_List::kill_head() {
  if (head_) dlink::unlink<Links>(head_, tail_, head_);
}
