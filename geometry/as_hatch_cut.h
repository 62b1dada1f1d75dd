// Straight hatching and region cutting over closed loops: parallel lines at
// an angle and spacing clipped to the inside of the outer loops and kept out
// of the holes; one segment cut against loops or against one polygon; a loop
// cut into the faces that other loops leave of it.
//
// Inputs are lists of As_Loop*; outputs are new objects appended to the
// caller's list, which the caller owns. No function reports an error: empty
// or unusable input (a spacing that is not a positive finite number) gives no
// output, and every loop is bounded.
#pragma once

#include "geometry/as_pt.h"
#include "geometry/as_void_list.h"

class As_Loop;

// Hatch segments (As_Segment) at the angle (radians) every spacing units.
void cut_segments_by_loops(As_Void_List& loops, double angle, double spacing, As_Void_List& out);
// Splits a-b at every crossing with the loops' edges; every piece is appended
// as an As_Segment. Returns false.
bool cut_segment_by_loops(const As_Pt& a, const As_Pt& b, As_Void_List& loops, As_Void_List& out);
// Crossings of a-b with the closed polygon of n points, ordered along x, then
// y, paired first with second, third with fourth, into one As_Pt_Sets
// appended to out; false (nothing appended) for fewer than two crossings.
bool segment_loop_intersection(const As_Pt& a, const As_Pt& b, const As_Pt* pts, int n, As_Void_List& out);
// The faces of loop not covered by the cutters, appended as new As_Loops;
// true.
bool cut_loop_by_loops(As_Loop& loop, As_Void_List& cutters, As_Void_List& out);

// A point with a flag.
class Key_Point {
 public:
  Key_Point() = default;
  explicit Key_Point(const As_Pt& p, int flag = 0) : pos_(p), flag_(flag) {}
  virtual ~Key_Point() = default;

  const As_Pt& pos() const { return pos_; }
  void pos(const As_Pt& p) { pos_ = p; }
  int flag() const { return flag_; }
  void flag(int f) { flag_ = f; }

 private:
  As_Pt pos_;
  int flag_ = 0;
};

// State holders of the hatch calculation; they compute nothing.
class Loop_Hatch_Cal {
 public:
  virtual ~Loop_Hatch_Cal() = default;

 private:
  [[maybe_unused]] long state_[2] = {0, 0};
};

class Hatch_Filled_Cal {
 public:
  virtual ~Hatch_Filled_Cal() = default;

  As_Void_List& loop_list() { return loops_; }
  As_Void_List& result_list() { return results_; }
  // Not owned.
  double* angles() const { return angles_; }
  int angles_size() const { return angles_size_; }
  void angles_size(int n) { angles_size_ = n; }
  void build_segment_list() {}
  void begin_cal() {}

 private:
  As_Void_List loops_;
  As_Void_List segments_;
  As_Void_List results_;
  double* angles_ = nullptr;
  int angles_size_ = 0;
};
