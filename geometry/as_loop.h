// Closed polygons (As_Loop), the boundary unit of hatching and of the
// closed-loop search, and regions grouping an outer loop with its holes.
//
// A loop is a circular doubly linked ring of vertex nodes, implicitly closed:
// the last vertex connects to the first, which is never repeated. The loop
// owns its nodes and its bounding rectangle (null until build_rect); copies
// are deep. An empty loop has no rectangle, no length or area and nothing
// inside it. Point-in-loop answers are three-valued: 0 outside, 1 inside,
// 2 on the boundary.
#pragma once

#include <windows.h>

#include <vector>

#include "geometry/as_edge.h"
#include "geometry/as_rect.h"

class As_Pt_List;

class As_Loop_Node {
 public:
  As_Loop_Node() = default;
  explicit As_Loop_Node(const As_Pt& p, int flag = 0) : pos_(p), flag_(flag) {}
  As_Loop_Node(const As_Loop_Node&) = delete;
  As_Loop_Node& operator=(const As_Loop_Node&) = delete;
  virtual ~As_Loop_Node() = default;

  const As_Pt& pos() const { return pos_; }
  void pos(const As_Pt& p) { pos_ = p; }
  As_Loop_Node* next() const { return next_; }
  As_Loop_Node* prev() const { return prev_; }
  void next(As_Loop_Node* n) { next_ = n; }
  void prev(As_Loop_Node* n) { prev_ = n; }
  int flag() const { return flag_; }
  void flag(int f) { flag_ = f; }

  // A new node with the flag, linked into the ring before or after this one.
  As_Loop_Node* insert_before(const As_Pt& p, int flag);
  As_Loop_Node* insert_after(const As_Pt& p, int flag);

 private:
  As_Pt pos_;
  As_Loop_Node* next_ = this;
  As_Loop_Node* prev_ = this;
  int flag_ = 0;
};

class As_Loop : public As_Edge {
 public:
  As_Loop() = default;
  As_Loop(const As_Pt* pts, int n);
  As_Loop(const As_Loop& other);
  As_Loop& operator=(const As_Loop& other);
  ~As_Loop() override;

  int edge_id() const override { return LOOP_ID; }

  // Appends p unless it equals the first or the last vertex within resabs.
  void add(const As_Pt& p);
  // Appends the node at the tail; the loop takes it over.
  void add(As_Loop_Node* node);
  // Links node in front of before (the head when before is the head); a null
  // before appends.
  void insert(As_Loop_Node* node, As_Loop_Node* before);

  As_Loop_Node* head() const { return head_; }
  void head(As_Loop_Node* n) { head_ = n; }
  As_Rect* rect() const { return rect_; }
  bool is_empty() const { return head_ == nullptr; }
  int count() const;
  // Deletes the head vertex; the next one becomes the head.
  void kill_head();
  void kill_all();
  // Kept for callers of the interface; they change nothing.
  void kill_tail() {}
  void remove_head() {}
  void remove_tail() {}
  void remove_all() {}

  // lt = (min x, max y, 0), rb = (max x, min y, 0); false (unchanged) when empty.
  bool get_rect_pos(As_Pt& lt, As_Pt& rb) const;
  // Replaces the rectangle; an empty loop is left without one.
  void build_rect();

  int is_pt_in_loop(const As_Pt& p) const;
  // 1 when the midpoint of every edge lies inside or on other.
  int is_in_loop(const As_Loop& other) const;
  bool is_intersection(const As_Loop& other) const;
  bool is_intersection(As_Pt&, As_Pt&) const { return false; }
  // 0 apart, 1 other within this loop, 2 this loop within other, 3 crossing.
  int intersection(const As_Loop& other, As_Void_List& out) const;
  // The outline of the two loops, or null.
  As_Loop* create_union_loop(const As_Loop& other) const;
  // A face of this loop outside other, or null.
  As_Loop* cut_by_loop(const As_Loop& other) const;

  double length() const override;
  double area() const override;
  // Every vertex is mapped in place; the rectangle is not updated.
  void translate(const As_Tran& t) override;
  using As_Edge::interact;
  // Appends the crossings of the polyline with the loop's edges; true.
  bool interact(As_Pt* line, int n, As_Pt_List& out) const;

  // The vertices in ring order with the first repeated at the end; empty for
  // an empty loop.
  std::vector<As_Pt> closed_points() const;

 private:
  As_Loop_Node* head_ = nullptr;
  As_Rect* rect_ = nullptr;
};

// Where p lies against the closed outline pts (first point repeated at the
// end, as closed_points gives it): 0 outside, 1 inside, 2 on the boundary.
int pt_in_closed_points(const As_Pt& p, const std::vector<As_Pt>& pts);

// The bounding corners of a list of As_Loop*, empty loops skipped; false when
// no loop has a vertex.
bool api_mb_get_loops_rect_pos(As_Void_List& loops, As_Pt& lt, As_Pt& rb);

// An outer loop and its holes; the loops are not owned.
class As_Region {
 public:
  As_Region() = default;
  As_Region(const As_Region&) = default;
  As_Region& operator=(const As_Region&) = default;
  virtual ~As_Region() = default;

  As_Void_List& loop_list() { return loop_list_; }
  const As_Void_List& loop_list() const { return loop_list_; }

 private:
  As_Void_List loop_list_;
};
