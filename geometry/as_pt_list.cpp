#include "geometry/as_pt_list.h"

#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"

As_Pt_List::As_Pt_List(const As_Pt_List& other) { add_list0(other); }

As_Pt_List& As_Pt_List::operator=(const As_Pt_List& other) {
  if (this != &other) {
    kill_all();
    add_list0(other);
  }
  return *this;
}

As_Pt_List::~As_Pt_List() { kill_all(); }

void As_Pt_List::kill_all() {
  As_Pt_Node* n = head_;
  while (n) {
    As_Pt_Node* next = n->next();
    delete n;
    n = next;
  }
  head_ = tail_ = nullptr;
}

void As_Pt_List::add_tail(const As_Pt& p) { add_tail(new As_Pt_Node(p)); }

void As_Pt_List::add_tail(As_Pt_Node* node) {
  if (!node) return;
  node->set_prev(tail_);
  node->set_next(nullptr);
  if (tail_)
    tail_->set_next(node);
  else
    head_ = node;
  tail_ = node;
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

bool As_Pt_List::merge_list(As_Pt_List& other) {
  if (is_empty() || &other == this) return false;
  if (other.is_empty()) return true;
  const As_Pt a0 = head_->point(), a1 = tail_->point();
  const As_Pt b0 = other.head_->point(), b1 = other.tail_->point();
  if (same_point(a0, b0, resabs)) {
    reverse();
  } else if (same_point(a0, b1, resabs)) {
    reverse();
    other.reverse();
  } else if (same_point(a1, b0, resabs)) {
    // joins as it stands
  } else if (same_point(a1, b1, resabs)) {
    other.reverse();
  } else {
    return false;
  }
  add_list0(other);
  return true;
}

void As_Pt_List::reverse() {
  As_Pt_Node* n = head_;
  while (n) {
    As_Pt_Node* next = n->next();
    n->set_next(n->prev());
    n->set_prev(next);
    n = next;
  }
  As_Pt_Node* old_head = head_;
  head_ = tail_;
  tail_ = old_head;
}

void As_Pt_List::translate(const As_Tran& t) {
  for (As_Pt_Node* n = head_; n; n = n->next()) n->point() *= t;
}

As_Pt_Node* As_Pt_List::get(int index) const {
  if (index < 0) return nullptr;
  As_Pt_Node* n = head_;
  while (n && index > 0) {
    n = n->next();
    --index;
  }
  return n;
}

int As_Pt_List::count() const {
  int c = 0;
  for (As_Pt_Node* n = head_; n; n = n->next()) ++c;
  return c;
}

void As_Pt_List::remove_tail() {
  if (!tail_) return;
  As_Pt_Node* old = tail_;
  tail_ = old->prev();
  if (tail_)
    tail_->set_next(nullptr);
  else
    head_ = nullptr;
  delete old;
}

void As_Pt_List::kill_head() {
  if (!head_) return;
  As_Pt_Node* old = head_;
  head_ = old->next();
  if (head_)
    head_->set_prev(nullptr);
  else
    tail_ = nullptr;
  delete old;
}
