// Pen strokes and their chaining through an index of end points.
#include "exchange/hpgl/hpgl_strokes.h"

#include <cmath>
#include <utility>

#include "geometry/as_pt_list.h"

Hpgl_Stroke::Hpgl_Stroke(const As_Pt* pts, int n) {
  if (n <= 0) return;
  buf_.assign(pts, pts + n);
  hi_ = static_cast<size_t>(n);
}

void Hpgl_Stroke::grow(size_t front_room, size_t back_room) {
  const size_t n = hi_ - lo_;
  std::vector<As_Pt> next(front_room + n + back_room);
  for (size_t i = 0; i < n; ++i) next[front_room + i] = buf_[lo_ + i];
  buf_.swap(next);
  lo_ = front_room;
  hi_ = front_room + n;
}

void Hpgl_Stroke::raw_push_back(const As_Pt& p) {
  if (hi_ == buf_.size()) grow(lo_, count() + 4);
  buf_[hi_++] = p;
}

void Hpgl_Stroke::raw_push_front(const As_Pt& p) {
  if (lo_ == 0) grow(count() + 4, buf_.size() - hi_);
  buf_[--lo_] = p;
}

void Hpgl_Stroke::push_back(const As_Pt& p) {
  if (reversed_) raw_push_front(p);
  else raw_push_back(p);
}

void Hpgl_Stroke::push_front(const As_Pt& p) {
  if (reversed_) raw_push_back(p);
  else raw_push_front(p);
}

// The longer side keeps its storage: the shorter one is copied onto it.
void Hpgl_Stroke::append(Hpgl_Stroke& other) {
  if (other.count() <= count()) {
    for (int i = 0, n = other.count(); i < n; ++i) push_back(other.at(i));
  } else {
    for (int i = count() - 1; i >= 0; --i) other.push_front(at(i));
    std::swap(buf_, other.buf_);
    std::swap(lo_, other.lo_);
    std::swap(hi_, other.hi_);
    std::swap(reversed_, other.reversed_);
  }
  other.buf_.clear();
  other.lo_ = other.hi_ = 0;
  other.reversed_ = false;
}

bool hpgl_join(Hpgl_Stroke& a, Hpgl_Stroke& b) {
  if (a.empty()) return false;
  if (b.empty()) return true;
  switch (as_end_join(a.front(), a.back(), b.front(), b.back(), resabs)) {
    case As_End_Join::kNone:
      return false;
    case As_End_Join::kFirstFirst:
      a.reverse();
      break;
    case As_End_Join::kFirstLast:
      a.reverse();
      b.reverse();
      break;
    case As_End_Join::kLastFirst:
      break;
    case As_End_Join::kLastLast:
      b.reverse();
      break;
  }
  a.append(b);
  return true;
}

Hpgl_Stroke_List::Hpgl_Stroke_List() : tol_(resabs), cell_(resabs > 1e-12 ? resabs : 1e-12) {}

Hpgl_Stroke_List::Key Hpgl_Stroke_List::cell_key(int64_t cx, int64_t cy) {
  const uint64_t x = static_cast<uint64_t>(cx), y = static_cast<uint64_t>(cy);
  return x * 0x9E3779B97F4A7C15ull ^ (y + 0x632BE59BD9B4E019ull + (x << 6) + (x >> 2));
}

// Cells far out (and NaN) share the outermost cells; the points are still
// compared exactly, so this only costs time on absurd coordinates.
void Hpgl_Stroke_List::cell_of(const As_Pt& p, int64_t& cx, int64_t& cy) const {
  constexpr double kLimit = 4.0e18;
  auto cell = [&](double v) {
    const double q = std::floor(v / cell_);
    if (!(q > -kLimit)) return static_cast<int64_t>(-kLimit);
    if (!(q < kLimit)) return static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(q);
  };
  cx = cell(p.x());
  cy = cell(p.y());
}

void Hpgl_Stroke_List::index(size_t i) {
  const Hpgl_Stroke& s = *strokes_[i];
  if (s.empty()) return;
  int64_t cx, cy;
  cell_of(s.front(), cx, cy);
  ends_.emplace(cell_key(cx, cy), static_cast<uint32_t>(i));
  cell_of(s.back(), cx, cy);
  ends_.emplace(cell_key(cx, cy), static_cast<uint32_t>(i));
}

void Hpgl_Stroke_List::unindex(size_t i) {
  const Hpgl_Stroke& s = *strokes_[i];
  if (s.empty()) return;
  for (const As_Pt* p : {&s.front(), &s.back()}) {
    int64_t cx, cy;
    cell_of(*p, cx, cy);
    auto range = ends_.equal_range(cell_key(cx, cy));
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second == i) {
        ends_.erase(it);
        break;
      }
    }
  }
}

size_t Hpgl_Stroke_List::first_touching(const Hpgl_Stroke& s, size_t after) const {
  size_t best = SIZE_MAX;
  if (s.empty()) return best;
  const As_Pt b0 = s.front(), b1 = s.back();
  for (const As_Pt* p : {&b0, &b1}) {
    int64_t cx, cy;
    cell_of(*p, cx, cy);
    for (int64_t dx = -1; dx <= 1; ++dx) {
      for (int64_t dy = -1; dy <= 1; ++dy) {
        auto range = ends_.equal_range(cell_key(cx + dx, cy + dy));
        for (auto it = range.first; it != range.second; ++it) {
          const size_t i = it->second;
          if (i >= best || (after != SIZE_MAX && i <= after)) continue;
          const Hpgl_Stroke& r = *strokes_[i];
          if (as_end_join(r.front(), r.back(), b0, b1, tol_) != As_End_Join::kNone) best = i;
        }
      }
    }
  }
  return best;
}

void Hpgl_Stroke_List::append(Hpgl_Stroke stroke) {
  strokes_.push_back(std::make_unique<Hpgl_Stroke>(std::move(stroke)));
  ++live_;
  index(strokes_.size() - 1);
}

void Hpgl_Stroke_List::append(Hpgl_Stroke_List& other) {
  for (auto& s : other.strokes_)
    if (s) append(std::move(*s));
}

void Hpgl_Stroke_List::add(Hpgl_Stroke stroke) {
  // An empty stroke has nothing to draw and nothing to join.
  if (stroke.empty()) return;
  const size_t first = first_touching(stroke, SIZE_MAX);
  if (first == SIZE_MAX) {
    append(std::move(stroke));
    return;
  }
  Hpgl_Stroke& joined = *strokes_[first];
  unindex(first);
  hpgl_join(joined, stroke);
  const size_t second = first_touching(joined, first);
  if (second == SIZE_MAX) {
    index(first);
    return;
  }
  unindex(second);
  hpgl_join(*strokes_[second], joined);
  strokes_[first].reset();
  --live_;
  index(second);
}
