// The search for closed loops in a set of straight segments, as needed when
// a user picks a region to hatch from lines that overlap, cross and dangle.
//
// The segments are split at their mutual crossings into a planar graph whose
// vertices are As_Intersect_Points and whose directed edges are
// As_Intersect_Relations (kept by their "from" point in ascending angle).
// Dangling branches are pruned; loops are then traced from each loop's
// rightmost vertex, either as maximal loops (outer boundaries: the sharpest
// right turn at every vertex) or as minimal loops (faces: the sharpest left
// turn). Every walk is bounded by the number of relations.
//
// A search object is used once and is not copyable: it owns its segments,
// crossing points and result loops (take loops out of result_list to keep
// them).
#pragma once

#include <windows.h>

#include <vector>

#include "geometry/as_edge.h"
#include "geometry/as_void_list.h"

class As_File;
class As_Loop;
class As_Intersect_Point;

class As_Intersect_Relation {
 public:
  As_Intersect_Relation(As_Intersect_Point* from, As_Intersect_Point* to);
  virtual ~As_Intersect_Relation() = default;

  As_Intersect_Point* from() const { return from_; }
  As_Intersect_Point* to() const { return to_; }
  // Direction from "from" to "to", from +X about +Z, in [0, 2pi).
  double angle() const { return angle_; }
  // 0 free, 1 used by a found loop, -1 never starts a walk.
  int state() const { return state_; }
  void state(int s) { state_ = s; }

 private:
  As_Intersect_Point* from_;
  As_Intersect_Point* to_;
  double angle_;
  int state_ = 0;
};

class As_Intersect_Point {
 public:
  explicit As_Intersect_Point(const As_Pt& p) : pos_(p.x(), p.y(), 0.0) {}
  As_Intersect_Point(const As_Intersect_Point&) = delete;
  As_Intersect_Point& operator=(const As_Intersect_Point&) = delete;
  // Deletes its relations.
  virtual ~As_Intersect_Point();

  const As_Pt& pos() const { return pos_; }
  // As_Intersect_Relation*, owned, in ascending angle.
  As_Void_List& relation_list() { return relations_; }
  // As_Segment* passing through this point, not owned.
  As_Void_List& segment_list() { return segments_; }

  // Inserts r in angle order and takes it over; a relation whose angle
  // equals one held within resabs is deleted instead (false).
  bool add_relation(As_Intersect_Relation* r);
  // The relation leading to `to`, or null.
  As_Intersect_Relation* relation_to(const As_Intersect_Point* to) const;

 private:
  As_Pt pos_;
  As_Void_List relations_;
  As_Void_List segments_;
};

class As_Search_Loops {
 public:
  As_Search_Loops() = default;
  As_Search_Loops(const As_Search_Loops&) = delete;
  As_Search_Loops& operator=(const As_Search_Loops&) = delete;
  virtual ~As_Search_Loops();

  // The caller's input objects (not owned).
  As_Void_List& input_list() { return input_list_; }
  // As_Segment*, owned.
  As_Void_List& segment_list() { return segment_list_; }
  // As_Intersect_Point*, owned.
  As_Void_List& intersect_list() { return intersect_list_; }
  // As_Loop*, owned until the caller removes them.
  As_Void_List& result_list() { return result_list_; }

  // Input conversion: every input object taken as the named type gives
  // segments whose parent is that object.
  void ptset2segments();   // As_Pt_Set: consecutive pairs, not closed
  void ptlist2segments();  // As_Pt_List: consecutive nodes, not closed
  void loop2segments();    // As_Loop: every vertex to its ring successor

  // The five preparation steps in order; returns 1. The first removes the
  // segments of no length (or with coordinates that are not finite).
  int init();
  void remove_error_segment();
  void bulid_intersect();
  void del_invalid_intersect();
  void create_intersect_relation();
  void order_add_remove_error_intersect_points();

  void search_max_loops();
  void search_min_loops();
  // Sorts the results by the x of their rectangle centres (stable).
  void order_result_list();

  // The current time, then every segment, into a debug dump.
  void save_segments(As_File& file);
  // For inspection: a filled circle of radius 5 device units at every
  // crossing point mapped through `transform`, with the device context's
  // pen and brush. Defined with the drawing surface (surface/).
  void draw_test(HDC hdc, As_Tran& transform);

  // A new crossing point where the two segments meet, or null.
  As_Intersect_Point* segment_lines_insertion(As_Segment* a, As_Segment* b);

 private:
  void search_loops(bool maximal);
  void walk(As_Intersect_Point* start, As_Intersect_Relation* first, bool maximal, int step_cap);
  // Unhooks q from segment s, both ways.
  static void detach(As_Intersect_Point* q, As_Segment* s);

  As_Void_List input_list_;
  As_Void_List segment_list_;
  As_Void_List intersect_list_;
  std::vector<As_Intersect_Point*> path_points_;
  std::vector<As_Intersect_Relation*> path_relations_;
  As_Void_List result_list_;
};
