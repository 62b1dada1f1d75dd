#include "geometry/as_pt_set.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"
#include "geometry/geom_algo.h"

namespace {

// A new array holding a copy of n points (or n origins when pts is null);
// null when n <= 0 or memory is exhausted.
As_Pt* new_points(size_t n, const As_Pt* pts) {
  if (n == 0) return nullptr;
  As_Pt* a = new (std::nothrow) As_Pt[n];
  if (a && pts) std::copy(pts, pts + n, a);
  return a;
}

// The first segment of the polyline whose end or foot lies within tol of p.
bool snap_polyline(const As_Pt* pts, size_t n, const As_Pt& p, double tol, As_Pt& out) {
  for (size_t j = 0; j + 1 < n; ++j)
    if (is_pick_segment(p, pts[j], pts[j + 1], tol, out) != 0) return true;
  return false;
}

bool snap_sets(const As_Pt* pts, const unsigned long* vals, unsigned long sets, const As_Pt& p, As_Pt& out,
               double tol) {
  const As_Pt* set = pts;
  for (unsigned long i = 0; i < sets; ++i) {
    unsigned long n = vals[i];
    if (n == 1) {
      if ((p - set[0]).len() < tol) {
        out = set[0];
        return true;
      }
    } else if (snap_polyline(set, n, p, tol, out)) {
      return true;
    }
    set += n;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// As_Pt_Set

As_Pt_Set::As_Pt_Set(int n) { init(n); }

As_Pt_Set::As_Pt_Set(int n, const As_Pt* pts) { init(n, pts); }

As_Pt_Set::As_Pt_Set(const As_Pt_Set& other) { init(other.count_, other.points_); }

As_Pt_Set& As_Pt_Set::operator=(const As_Pt_Set& other) {
  if (this != &other) init(other.count_, other.points_);
  return *this;
}

As_Pt_Set::~As_Pt_Set() {
  if (owned_) delete[] points_;
}

void As_Pt_Set::adopt(As_Pt* pts, int n) {
  if (owned_) delete[] points_;
  owned_ = true;
  points_ = pts;
  count_ = pts ? n : 0;
}

void As_Pt_Set::init_in(int n, const As_Pt* pts, As_Pt* storage) {
  if (n <= 0 || !pts || !storage) {
    init(n, pts);
    return;
  }
  std::copy(pts, pts + n, storage);
  adopt(nullptr, 0);
  owned_ = false;
  points_ = storage;
  count_ = n;
}

void As_Pt_Set::init(int n) { adopt(n > 0 ? new_points(static_cast<size_t>(n), nullptr) : nullptr, n); }

void As_Pt_Set::init(int n, const As_Pt* pts) {
  adopt(n > 0 && pts ? new_points(static_cast<size_t>(n), pts) : nullptr, n);
}

void As_Pt_Set::init(const As_Pt_List& list) {
  int n = list.count();
  if (n == 0) return;
  As_Pt* a = new_points(static_cast<size_t>(n), nullptr);
  if (!a) return;
  int i = 0;
  for (As_Pt_Node* node = list.head(); i < n; node = node->next()) a[i++] = node->point();
  adopt(a, n);
}

void As_Pt_Set::init(const As_Void_List& list) {
  std::vector<As_Pt> pts;
  for (As_Void_Node* node = list.head(); node; node = node->next())
    if (node->entity()) pts.push_back(*static_cast<const As_Pt*>(node->entity()));
  if (!pts.empty()) init(static_cast<int>(pts.size()), pts.data());
}

void As_Pt_Set::free() { adopt(nullptr, 0); }

bool As_Pt_Set::add_point(const As_Pt& p) {
  As_Pt a = p;  // p may be one of this set's own points
  As_Pt* grown = new_points(static_cast<size_t>(count_) + 1, nullptr);
  if (!grown) return false;
  std::copy(points_, points_ + count_, grown);
  grown[count_] = a;
  adopt(grown, count_ + 1);
  return true;
}

As_Pt As_Pt_Set::operator[](int i) const {
  return i >= 0 && i < count_ ? points_[i] : As_Pt();
}

int As_Pt_Set::find_point(const As_Pt& p) const {
  for (int i = 0; i < count_; ++i)
    if (same_point(points_[i], p, resabs)) return i;
  return -1;
}

void As_Pt_Set::translate(const As_Tran& t) {
  for (int i = 0; i < count_; ++i) points_[i] *= t;
}

bool As_Pt_Set::snap_lines(const As_Pt& p, double tol, As_Pt& out) const {
  return count_ >= 2 && snap_polyline(points_, static_cast<size_t>(count_), p, tol, out);
}

// ---------------------------------------------------------------------------
// As_Pt_Sets

As_Pt_Sets::As_Pt_Sets(unsigned long n, const unsigned long* counts, const As_Pt* pts) {
  assign(n, counts, pts);
}

As_Pt_Sets::As_Pt_Sets(const As_Pt_Sets& other) : filled_(other.filled_) {
  assign(other.sets_, other.vals_, other.points_);
}

As_Pt_Sets& As_Pt_Sets::operator=(const As_Pt_Sets& other) {
  if (this != &other) {
    assign(other.sets_, other.vals_, other.points_);
    filled_ = other.filled_;
  }
  return *this;
}

As_Pt_Sets::~As_Pt_Sets() { free(); }

void As_Pt_Sets::free() {
  delete[] points_;
  delete[] vals_;
  points_ = nullptr;
  vals_ = nullptr;
  sets_ = total_ = 0;
}

// Replaces the storage by copies of the counts and points; on a count that
// overflows or memory that runs out the sets become empty and false results.
bool As_Pt_Sets::assign(unsigned long n, const unsigned long* counts, const As_Pt* pts) {
  if (n == 0 || !counts) {
    free();
    return n == 0;
  }
  unsigned long total = 0;
  for (unsigned long i = 0; i < n; ++i) {
    if (counts[i] > static_cast<unsigned long>(PTRDIFF_MAX) / sizeof(As_Pt) - total) {
      free();
      return false;
    }
    total += counts[i];
  }
  unsigned long* v = new (std::nothrow) unsigned long[n];
  As_Pt* p = total > 0 ? new_points(total, pts) : nullptr;
  if (!v || (total > 0 && !p)) {
    delete[] v;
    delete[] p;
    free();
    return false;
  }
  std::copy(counts, counts + n, v);
  free();
  vals_ = v;
  points_ = p;
  sets_ = n;
  total_ = total;
  return true;
}

void As_Pt_Sets::init(unsigned long n, const unsigned long* counts, const As_Pt* pts) {
  assign(n, counts, pts);
  filled_ = false;
}

void As_Pt_Sets::init(unsigned long count, const As_Pt* pts) {
  assign(count > 0 ? 1 : 0, &count, pts);
  filled_ = false;
}

bool As_Pt_Sets::init_by_ptlists(const As_Void_List& lists) {
  if (lists.is_empty()) return false;
  std::vector<unsigned long> counts;
  std::vector<As_Pt> pts;
  for (As_Void_Node* node = lists.head(); node; node = node->next()) {
    const auto* list = static_cast<const As_Pt_List*>(node->entity());
    unsigned long n = 0;
    for (As_Pt_Node* pn = list ? list->head() : nullptr; pn; pn = pn->next(), ++n) pts.push_back(pn->point());
    counts.push_back(n);
  }
  return assign(counts.size(), counts.data(), pts.data());
}

As_Pt As_Pt_Sets::get_point(int set, int k) const {
  if (set < 0 || k < 0 || static_cast<unsigned long>(set) >= sets_) return As_Pt();
  unsigned long index = 0;
  for (int i = 0; i < set; ++i) index += vals_[i];
  if (static_cast<unsigned long>(k) >= vals_[set]) return As_Pt();
  return points_[index + k];
}

bool As_Pt_Sets::snap(const As_Pt& p, As_Pt& out, double tol) const {
  return snap_sets(points_, vals_, sets_, p, out, tol);
}

bool As_Pt_Sets::snap(const As_Pt& p, As_Pt& out, const As_Tran& t, double tol) const {
  if (t.identity()) return snap(p, out, tol);
  std::vector<As_Pt> mapped(points_, points_ + total_);
  for (As_Pt& q : mapped) q *= t;
  return snap_sets(mapped.data(), vals_, sets_, p, out, tol);
}

void As_Pt_Sets::set_to_list(As_Void_List& out, const As_Tran& t) const {
  const As_Pt* set = points_;
  for (unsigned long i = 0; i < sets_; ++i) {
    auto* list = new As_Pt_List;
    for (unsigned long k = 0; k < vals_[i]; ++k) list->add_tail(set[k] * t);
    out.add(list);
    set += vals_[i];
  }
}
