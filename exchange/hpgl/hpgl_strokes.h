// Pen strokes gathered for a plot file, joined end to end so that the pen
// is lifted as rarely as possible.
//
// A new stroke joins the first stroke of the list (in list order) that has
// an end within resabs of one of its ends, exactly as As_Pt_List::merge_list
// joins two point lists: the ends are tried first-first, first-last,
// last-first, last-last, the strokes are turned as needed and all points of
// the new one are appended, so the shared point stands twice. The joined
// stroke is then joined once more to the first later stroke that touches
// it, which takes it over; no stroke joins more than two. Strokes without a
// join are appended at the end of the list.
//
// The list finds touching ends through an index of end points, and a join
// turns a stroke by a flag and copies the shorter side, so gathering stays
// linear in the number of strokes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "geometry/as_pt.h"

// Points that grow at both ends and turn without moving.
class Hpgl_Stroke {
 public:
  Hpgl_Stroke() = default;
  Hpgl_Stroke(const As_Pt* pts, int n);

  int count() const { return static_cast<int>(hi_ - lo_); }
  bool empty() const { return hi_ == lo_; }
  // The i-th point in the stroke's order.
  const As_Pt& at(int i) const { return reversed_ ? buf_[hi_ - 1 - i] : buf_[lo_ + i]; }
  const As_Pt& front() const { return at(0); }
  const As_Pt& back() const { return at(count() - 1); }
  void reverse() { reversed_ = !reversed_; }
  void push_back(const As_Pt& p);
  void push_front(const As_Pt& p);
  // This stroke followed by every point of other; other is left empty.
  void append(Hpgl_Stroke& other);

 private:
  void raw_push_back(const As_Pt& p);
  void raw_push_front(const As_Pt& p);
  void grow(size_t front_room, size_t back_room);

  std::vector<As_Pt> buf_;
  size_t lo_ = 0, hi_ = 0;
  bool reversed_ = false;
};

// Joins b to a where an end of a meets an end of b, turning either as
// needed; true when joined (b is then empty). An empty b counts as joined,
// an empty a joins nothing.
bool hpgl_join(Hpgl_Stroke& a, Hpgl_Stroke& b);

class Hpgl_Stroke_List {
 public:
  // The cell size of the end index is resabs at construction.
  Hpgl_Stroke_List();
  Hpgl_Stroke_List(const Hpgl_Stroke_List&) = delete;
  Hpgl_Stroke_List& operator=(const Hpgl_Stroke_List&) = delete;

  // Joins the stroke to the list's strokes, or appends it.
  void add(Hpgl_Stroke stroke);
  // Appends the stroke as it is, without joining.
  void append(Hpgl_Stroke stroke);
  // Every stroke of other in its order, appended without joining.
  void append(Hpgl_Stroke_List& other);

  bool empty() const { return live_ == 0; }
  // f(stroke) for every stroke in list order.
  template <class F>
  void for_each(F f) const {
    for (const auto& s : strokes_)
      if (s) f(*s);
  }

 private:
  using Key = uint64_t;
  static Key cell_key(int64_t cx, int64_t cy);
  void cell_of(const As_Pt& p, int64_t& cx, int64_t& cy) const;
  void index(size_t i);
  void unindex(size_t i);
  // The first stroke after `after` (or from the start for SIZE_MAX) with an
  // end touching an end of s; SIZE_MAX when there is none.
  size_t first_touching(const Hpgl_Stroke& s, size_t after) const;

  std::vector<std::unique_ptr<Hpgl_Stroke>> strokes_;  // null: joined away
  std::unordered_multimap<Key, uint32_t> ends_;
  size_t live_ = 0;
  double tol_;
  double cell_;
};
