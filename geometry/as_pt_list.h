// A doubly linked list of points held by value, grown one point at a time:
// clicked points, joined strokes, outlines.
//
// The list owns its nodes; copies are deep. Counts are walked, never cached,
// so a caller may relink nodes through the head and tail setters. Operations
// that add another list's points take the count first, so a list may be
// added to itself; joining a list to itself is refused.
#pragma once

#include <windows.h>

#include "geometry/as_pt.h"

class As_Pt_Set;
class As_Tran;

// Where two polylines a and b meet at their ends, tried in this order:
// first of a with first of b, first of a with last of b, last of a with
// first of b, last of a with last of b (points within tol).
enum class As_End_Join { kNone, kFirstFirst, kFirstLast, kLastFirst, kLastLast };
As_End_Join as_end_join(const As_Pt& a0, const As_Pt& a1, const As_Pt& b0, const As_Pt& b1, double tol);

class As_Pt_Node {
 public:
  As_Pt_Node() = default;
  explicit As_Pt_Node(const As_Pt& p) : point_(p) {}
  As_Pt_Node(const As_Pt_Node&) = default;
  As_Pt_Node& operator=(const As_Pt_Node&) = default;
  virtual ~As_Pt_Node() = default;

  const As_Pt& point() const { return point_; }
  As_Pt& point() { return point_; }
  void set_point(const As_Pt& p) { point_ = p; }
  As_Pt_Node* next() const { return next_; }
  As_Pt_Node* prev() const { return prev_; }
  void set_next(As_Pt_Node* n) { next_ = n; }
  void set_prev(As_Pt_Node* n) { prev_ = n; }

 private:
  As_Pt point_;
  As_Pt_Node* next_ = nullptr;
  As_Pt_Node* prev_ = nullptr;
};

class As_Pt_List {
 public:
  As_Pt_List() = default;
  As_Pt_List(const As_Pt_List& other);
  As_Pt_List& operator=(const As_Pt_List& other);
  virtual ~As_Pt_List();

  As_Pt_Node* head() const { return head_; }
  As_Pt_Node* tail() const { return tail_; }
  void head(As_Pt_Node* n) { head_ = n; }
  void tail(As_Pt_Node* n) { tail_ = n; }

  void kill_all();
  void add_tail(const As_Pt& p);
  void add(const As_Pt& p) { add_tail(p); }
  // Appends the node and takes it over; a null node is ignored.
  void add_tail(As_Pt_Node* node);
  // Appends unless some point of the list is the same within resabs.
  void add_if_absent(const As_Pt& p);
  // add_if_absent for every point of the other list, in order.
  void add_list(const As_Pt_List& other);
  // add_tail for every point of the other list, duplicates kept.
  void add_list0(const As_Pt_List& other);
  // add_if_absent for every point of the set.
  void add_ptset(const As_Pt_Set& set);
  // Joins the polyline other at an end point it shares with this one: this
  // list is reversed or other is reversed as needed, then all of other's
  // points are appended (the shared point stands twice). False when no ends
  // meet (nothing changes), when this list is empty or when other is this
  // list; true without change when other is empty.
  bool merge_list(As_Pt_List& other);
  void reverse();
  // Every point p becomes p * t.
  void translate(const As_Tran& t);

  // Node at a 0-based index; null when out of range.
  As_Pt_Node* get(int index) const;
  int count() const;
  int size() const { return count(); }
  bool is_empty() const { return head_ == nullptr && tail_ == nullptr; }

  void remove_tail();
  void kill_head();

  // Kept for callers of the interface; they change nothing.
  void remove_head() {}
  void remove_all() {}
  void kill_tail() {}
  void insert_list(const As_Pt_List&, int) {}
  double length() const { return 0.0; }
  double area() const { return 0.0; }

 private:
  void append_points(const As_Pt_List& other, bool skip_present);

  As_Pt_Node* head_ = nullptr;
  As_Pt_Node* tail_ = nullptr;
};
