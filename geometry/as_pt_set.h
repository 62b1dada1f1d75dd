// Point arrays by value: As_Pt_Set, one counted array (the vertices of
// polylines, solids, meshes and splines, which derive from it), and
// As_Pt_Sets, several polylines packed into one array with a table of counts
// (dash pieces, glyph strokes, multi-polyline display nodes).
//
// Both own their storage; copies are deep and self-assignment safe, and every
// replacing operation builds the new array before freeing the old one, so a
// source may point into the target's own points. Indices are the caller's
// contract; one out of range reads as the origin instead of past the array.
#pragma once

#include <windows.h>

#include "geometry/as_pt.h"

class As_Pt_List;
class As_Tran;
class As_Void_List;

class As_Pt_Set {
 public:
  As_Pt_Set() = default;
  explicit As_Pt_Set(int n);
  As_Pt_Set(int n, const As_Pt* pts);
  As_Pt_Set(const As_Pt_Set& other);
  As_Pt_Set& operator=(const As_Pt_Set& other);
  virtual ~As_Pt_Set();

  // n points (0, 0, 0), or none when n <= 0.
  void init(int n);
  // A copy of n points.
  void init(int n, const As_Pt* pts);
  // The list's points in order; an empty list leaves the set unchanged.
  void init(const As_Pt_List& list);
  // The points of a list of As_Pt*; an empty list leaves the set unchanged.
  void init(const As_Void_List& list);
  void free();
  bool add_point(const As_Pt& p);

  int count() const { return count_; }
  As_Pt* points() { return points_; }
  const As_Pt* points() const { return points_; }
  As_Pt operator[](int i) const;
  As_Pt start_pos() const { return (*this)[0]; }
  As_Pt end_pos() const { return (*this)[count_ - 1]; }
  // Index of the first point within resabs of p, or -1.
  int find_point(const As_Pt& p) const;
  // Every point p becomes p * t.
  void translate(const As_Tran& t);
  // Nearest feature of the polyline within tol: an end of the first segment
  // near p, else its perpendicular foot; false for fewer than 2 points.
  bool snap_lines(const As_Pt& p, double tol, As_Pt& out) const;

 protected:
  // Holds a copy of n points in storage the derived object provides (room
  // for n points, living as long as this set), instead of a heap array of
  // its own: an object that is mostly a few points keeps them beside its
  // other fields. Any later change of the points moves them to the heap.
  void init_in(int n, const As_Pt* pts, As_Pt* storage);

 private:
  void adopt(As_Pt* pts, int n);

  int count_ = 0;
  bool owned_ = true;  // points_ is this set's own heap array
  As_Pt* points_ = nullptr;
};

class As_Pt_Sets {
 public:
  As_Pt_Sets() = default;
  As_Pt_Sets(unsigned long n, const unsigned long* counts, const As_Pt* pts);
  As_Pt_Sets(const As_Pt_Sets& other);
  As_Pt_Sets& operator=(const As_Pt_Sets& other);
  virtual ~As_Pt_Sets();

  // n sets with the given counts and their points; not filled.
  void init(unsigned long n, const unsigned long* counts, const As_Pt* pts);
  // One set of count points (no set when count is 0).
  void init(unsigned long count, const As_Pt* pts);
  // One set per As_Pt_List* of the list, in order; false (nothing changes)
  // for an empty list. The fill flag is kept.
  bool init_by_ptlists(const As_Void_List& lists);
  void free();

  As_Pt* points() { return points_; }
  const As_Pt* points() const { return points_; }
  unsigned long* vals() { return vals_; }
  const unsigned long* vals() const { return vals_; }
  unsigned long ptset_count() const { return sets_; }
  unsigned long pts_count() const { return total_; }
  // Point k of set `set`.
  As_Pt get_point(int set, int k) const;
  bool is_filled() const { return filled_; }
  void is_filled(bool f) { filled_ = f; }

  // Appends to out one new As_Pt_List per set, its points mapped by t; the
  // caller owns the lists.
  void set_to_list(As_Void_List& out, const As_Tran& t) const;
  // Nearest feature of any set within tol: a one-point set's point, else as
  // As_Pt_Set::snap_lines. The first match wins.
  bool snap(const As_Pt& p, As_Pt& out, double tol) const;
  // The same on the points mapped by t; out is a mapped point.
  bool snap(const As_Pt& p, As_Pt& out, const As_Tran& t, double tol) const;

 private:
  bool assign(unsigned long n, const unsigned long* counts, const As_Pt* pts);

  As_Pt* points_ = nullptr;
  unsigned long* vals_ = nullptr;
  unsigned long sets_ = 0;
  unsigned long total_ = 0;
  bool filled_ = false;
};
