// A bounding-box tree over the extents of the entities of a display list,
// for the object snap: which entries have extents within the aperture of a
// point, in list order, without walking the whole list.
//
// The index answers with exactly the entries mb_extents_meet_aperture
// accepts, judged on the entities' extents as they are when asked; the tree
// only passes over entries that cannot be among them. An entity that stands
// more than once in the list is answered once for each of its entries. The
// index holds pointers only: its owner rebuilds it whenever the list or any
// entity's extents (MB_Drawable::extents_generation) may have changed since.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "geometry/as_pt.h"
#include "geometry/as_rect.h"

class As_Void_List;
class MB_Drawable;

// Whether the point lies within tol of the extents, each side of the
// rectangle widened by tol (y grows upwards: lt is the top-left corner).
// The snap's test of an entity before its pick.
inline bool mb_extents_meet_aperture(double lt_x, double lt_y, double rb_x, double rb_y, const As_Pt& p, double tol) {
  return lt_x - tol <= p.x() && p.x() <= rb_x + tol && rb_y - tol <= p.y() && p.y() <= lt_y + tol;
}
inline bool mb_extents_meet_aperture(const As_Rect& r, const As_Pt& p, double tol) {
  return mb_extents_meet_aperture(r.lt().x(), r.lt().y(), r.rb().x(), r.rb().y(), p, tol);
}

class MB_Extent_Index {
 public:
  // Indexes the entries of a list of MB_Drawable*, forgetting what was
  // indexed before.
  void build(const As_Void_List& list);
  void clear();
  // Replaces out by the entities of the entries whose extents meet the
  // aperture of p (mb_extents_meet_aperture), in list order.
  void query(const As_Pt& p, double tol, std::vector<MB_Drawable*>& out) const;
  size_t size() const { return entries_.size() + unbounded_.size(); }

 private:
  struct Box {
    double min_x, min_y, max_x, max_y;
  };
  struct Entry {
    MB_Drawable* entity;
    uint32_t order;  // the position of the entry in the list
  };
  // An entry's extents as they were when indexed, corners as stored, kept
  // in curve order so that a leaf reads its entries from one stretch.
  struct Extents {
    double lt_x, lt_y, rb_x, rb_y;
    MB_Drawable* entity;
    uint32_t entry;  // in entries_
  };
  struct Node {
    Box box;
    // A leaf holds extents_[first, first + count); an inner node holds
    // nodes_[first, first + count).
    uint32_t first;
    uint32_t count;
    bool leaf;
  };
  // An entry's place on the curve, and its index in entries_.
  using Keyed = std::pair<uint64_t, uint32_t>;

  void sort_curve();

  // The entries with finite extents, in list order.
  std::vector<Entry> entries_;
  std::vector<Extents> extents_;
  // Entries with a coordinate that is not finite, in list order: tested on
  // every query against the entity's extents.
  std::vector<Entry> unbounded_;
  std::vector<Node> nodes_;
  // Kept between builds, so that a rebuild reuses the memory of the last.
  std::vector<Keyed> curve_;
  std::vector<Keyed> sort_scratch_;
  std::vector<Extents> extents_scratch_;
  std::vector<uint32_t> digit_counts_;
  // Scratch of query: the entries found, before they are put in list order.
  mutable std::vector<std::pair<uint32_t, MB_Drawable*>> found_;
  mutable std::vector<uint32_t> stack_;
};
