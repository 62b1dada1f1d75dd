#include "geometry/as_hatch_cut.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "geometry/as_edge.h"
#include "geometry/as_file.h"
#include "geometry/as_log.h"
#include "geometry/as_loop.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_search_loops.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

namespace {

// More scan lines than this are not a hatch anyone can draw; such a spacing
// gives nothing, like a spacing of 0.
constexpr double kMaxScanLines = 1e6;

// "Midpoint" in code page 936, the label of the pieces tested against holes
// in the log.
const char kMidpointLabel[] = "\xD6\xD0\xB5\xE3";
// Every loop cut appends its segments here, in the current directory.
const char kDumpFile[] = "cutloopbyloops.txt";

// Inserts p in x, then y order, after the points it does not precede.
void add_ordered(std::vector<As_Pt>& pts, const As_Pt& p) {
  auto at = pts.begin();
  while (at != pts.end() && !xy_order_before(p, *at)) ++at;
  pts.insert(at, p);
}

// The same unless a point within resabs is present.
void add_ordered_unique(std::vector<As_Pt>& pts, const As_Pt& p) {
  for (const As_Pt& q : pts)
    if (same_point(p, q, resabs)) return;
  add_ordered(pts, p);
}

std::vector<As_Loop*> loops_of(As_Void_List& list) {
  std::vector<As_Loop*> out;
  for (As_Void_Node* n = list.head(); n; n = n->next())
    if (n->entity()) out.push_back(static_cast<As_Loop*>(n->entity()));
  return out;
}

As_Pt midpoint(const As_Pt& a, const As_Pt& b) { return a + (b - a) / 2.0; }

using Outline = std::vector<As_Pt>;  // closed: the first point repeated at the end

// One edge of an outline, from a to b.
struct Edge_Ref {
  const As_Pt* a;
  const As_Pt* b;
  bool closing;  // the zero-length edge from the last point back to the first
};

// The edges of outlines listed in buckets along one axis by their span there,
// widened by `grow` each way. A bucket keeps the outlines' order, so a
// caller visits the edges in the order a pass over every edge would; an
// edge is listed in every bucket its span touches. Values that are not
// finite put everything in one bucket.
class Edge_Buckets {
 public:
  Edge_Buckets(const std::vector<const Outline*>& outlines, bool along_y, double grow) : along_y_(along_y) {
    for (const Outline* pts : outlines) {
      if (pts->empty()) continue;
      for (size_t i = 0; i + 1 < pts->size(); ++i) edges_.push_back({&(*pts)[i], &(*pts)[i + 1], false});
      edges_.push_back({&pts->back(), &pts->front(), true});
    }
    std::vector<std::pair<double, double>> spans;
    lo_ = HUGE_VAL;
    double hi = -HUGE_VAL;
    for (const Edge_Ref& e : edges_) {
      const double u = coord(*e.a), v = coord(*e.b);
      // The relative part covers rounding at magnitudes where grow is below
      // the spacing of doubles.
      const double s0 = std::min(u, v), s1 = std::max(u, v);
      spans.emplace_back(grow > 0.0 ? s0 - grow - 1e-12 * std::fabs(s0) : s0,
                         grow > 0.0 ? s1 + grow + 1e-12 * std::fabs(s1) : s1);
      lo_ = std::min(lo_, spans.back().first);
      hi = std::max(hi, spans.back().second);
    }
    buckets_ = static_cast<int>(std::min<size_t>(std::max<size_t>(edges_.size() / 2, 1), 65536));
    for (;;) {
      width_ = (hi - lo_) / buckets_;
      if (!std::isfinite(lo_) || !std::isfinite(hi) || !(width_ > 0.0) || !std::isfinite(width_)) {
        buckets_ = 1, lo_ = 0.0, width_ = 1.0;
        break;
      }
      double slots = 0.0;
      for (const auto& s : spans) slots += bucket(s.second) - bucket(s.first) + 1;
      // Edges that span many buckets are listed in each: fewer buckets keep
      // the index within a few slots per edge.
      if (buckets_ == 1 || slots <= 8.0 * double(edges_.size()) + 1024.0) break;
      buckets_ /= 2;
    }
    start_.assign(size_t(buckets_) + 1, 0);
    for (const auto& s : spans)
      for (int b = first_bucket(s), last = last_bucket(s); b <= last; ++b) ++start_[size_t(b) + 1];
    for (int b = 0; b < buckets_; ++b) start_[size_t(b) + 1] += start_[size_t(b)];
    slots_.resize(start_.back());
    std::vector<size_t> fill(start_.begin(), start_.end() - 1);
    for (size_t k = 0; k < spans.size(); ++k)
      for (int b = first_bucket(spans[k]), last = last_bucket(spans[k]); b <= last; ++b)
        slots_[fill[size_t(b)]++] = &edges_[k];
  }

  // Every edge whose widened span may hold v (and perhaps others), in order.
  const Edge_Ref* const* begin(double v) const { return slots_.data() + start_[size_t(bucket(v))]; }
  const Edge_Ref* const* end(double v) const { return slots_.data() + start_[size_t(bucket(v)) + 1]; }

 private:
  double coord(const As_Pt& p) const { return along_y_ ? p.y() : p.x(); }
  // Non-decreasing in v, so a span's buckets hold every value within it.
  int bucket(double v) const {
    const double k = (v - lo_) / width_;
    if (!(k > 0.0)) return 0;
    return k >= buckets_ - 1 ? buckets_ - 1 : static_cast<int>(k);
  }
  int first_bucket(const std::pair<double, double>& s) const { return buckets_ == 1 ? 0 : bucket(s.first); }
  int last_bucket(const std::pair<double, double>& s) const { return buckets_ == 1 ? 0 : bucket(s.second); }

  bool along_y_;
  std::vector<Edge_Ref> edges_;
  std::vector<const Edge_Ref*> slots_;
  std::vector<size_t> start_;
  double lo_ = 0.0, width_ = 1.0;
  int buckets_ = 1;
};

// a-b split at every crossing with the edges from first to last, as new
// segments.
void cut_segment(const As_Pt& a, const As_Pt& b, const Edge_Ref* const* first, const Edge_Ref* const* last,
                 As_Void_List& out) {
  std::vector<As_Pt> cuts;
  add_ordered_unique(cuts, a);
  add_ordered_unique(cuts, b);
  // Edges whose box lies farther than resabs from a-b's box cannot meet it;
  // skipping them changes no answer.
  const double lo_x = std::min(a.x(), b.x()) - resabs, hi_x = std::max(a.x(), b.x()) + resabs;
  const double lo_y = std::min(a.y(), b.y()) - resabs, hi_y = std::max(a.y(), b.y()) + resabs;
  As_Pt x;
  for (; first != last; ++first) {
    if ((*first)->closing) continue;
    const As_Pt &e0 = *(*first)->a, &e1 = *(*first)->b;
    if (std::max(e0.x(), e1.x()) < lo_x || std::min(e0.x(), e1.x()) > hi_x || std::max(e0.y(), e1.y()) < lo_y ||
        std::min(e0.y(), e1.y()) > hi_y)
      continue;
    if (two_segments_intersection(a, b, e0, e1, x)) add_ordered_unique(cuts, x);
  }
  for (size_t i = 0; i + 1 < cuts.size(); ++i) out.add(new As_Segment(cuts[i], cuts[i + 1]));
}

// Where points lie against one outline, as pt_in_closed_points answers,
// looking only at the edges level with the point.
class Outline_Test {
 public:
  explicit Outline_Test(const Outline& pts) : n_(pts.size()), edges_({&pts}, true, 0.0) {}
  int where(const As_Pt& p) const {
    if (n_ == 0) return 0;
    bool inside = false;
    for (auto e = edges_.begin(p.y()), last = edges_.end(p.y()); e != last; ++e) {
      if (!(*e)->closing && is_on_segment(p, *(*e)->a, *(*e)->b)) return 2;
      if (ray_crosses_edge(p, *(*e)->a, *(*e)->b)) inside = !inside;
    }
    return n_ >= 3 && inside ? 1 : 0;
  }

 private:
  size_t n_;
  Edge_Buckets edges_;
};

// Some edge of face has its midpoint strictly inside loop.
bool edge_midpoint_inside(const As_Loop& face, const As_Loop& loop) {
  const std::vector<As_Pt> pts = face.closed_points();
  for (size_t i = 0; i + 1 < pts.size(); ++i)
    if (loop.is_pt_in_loop(midpoint(pts[i], pts[i + 1])) == 1) return true;
  return false;
}

}  // namespace

void cut_segments_by_loops(As_Void_List& loops, double angle, double spacing, As_Void_List& out) {
  if (!std::isfinite(angle) || !std::isfinite(spacing) || spacing <= 0.0) return;
  const std::vector<As_Loop*> inputs = loops_of(loops);
  if (inputs.empty()) return;
  if (std::fabs(angle - qm_pi / 4) < resabs || std::fabs(angle - 3 * qm_pi / 4) < resabs) angle += 1e-5;

  // Turn the hatch direction upright, so every scan line is vertical.
  const As_Tran to_upright = rotate_transf(half_pi - angle, As_Vec(0, 0, 1));
  std::vector<std::unique_ptr<As_Loop>> mapped;
  As_Void_List mapped_list;
  for (As_Loop* loop : inputs) {
    mapped.emplace_back(new As_Loop(*loop));
    mapped.back()->translate(to_upright);
    mapped_list.add(mapped.back().get());
  }
  As_Pt lt, rb;
  if (!api_mb_get_loops_rect_pos(mapped_list, lt, rb)) return;
  std::vector<Outline> outlines;
  for (const auto& loop : mapped) outlines.push_back(loop->closed_points());
  const double lines = std::trunc((rb.x() - lt.x()) / spacing);
  if (!(lines >= 0.0 && lines <= kMaxScanLines)) return;

  std::vector<const Outline*> holes;
  if (mapped.size() > 1) {
    for (size_t i = 0; i < mapped.size(); ++i) {
      for (size_t j = 0; j < mapped.size(); ++j) {
        if (i != j && mapped[i]->is_in_loop(*mapped[j]) == 1) {
          holes.push_back(&outlines[i]);
          break;
        }
      }
    }
  }

  // Each scan line meets only the edges level with it, and each piece's
  // middle only the edges level with that.
  std::vector<const Outline*> all;
  std::vector<Outline_Test> tests;
  tests.reserve(outlines.size());
  for (const Outline& outline : outlines) all.push_back(&outline), tests.emplace_back(outline);
  std::vector<const Outline_Test*> hole_tests;
  for (const Outline* hole : holes) hole_tests.push_back(&tests[size_t(hole - outlines.data())]);
  // Widened past the cut's own margin of resabs, so that rounding never
  // leaves out an edge it would take.
  const Edge_Buckets across(all, false, 4 * resabs);

  const As_Tran back = to_upright.inverse();
  const int count = static_cast<int>(lines);
  for (int i = 0; i <= count; ++i) {
    const double x = lt.x() + i * spacing;
    As_Void_List pieces;
    cut_segment(As_Pt(x, lt.y(), 0), As_Pt(x, rb.y(), 0), across.begin(x), across.end(x), pieces);
    for (As_Void_Node* n = pieces.head(); n; n = n->next()) {
      As_Segment* piece = static_cast<As_Segment*>(n->entity());
      const As_Pt mid = piece->middle_pos();
      bool keep = false;
      for (const Outline_Test& test : tests) keep = keep || test.where(mid) != 0;
      for (size_t h = 0; keep && h < hole_tests.size(); ++h) {
        message_out(kMidpointLabel, mid, "", false);
        keep = hole_tests[h]->where(mid) == 0;
      }
      if (!keep) {
        delete piece;
        continue;
      }
      piece->translate(back);
      out.add(piece);
    }
  }
}

bool cut_segment_by_loops(const As_Pt& a, const As_Pt& b, As_Void_List& loops, As_Void_List& out) {
  std::vector<Outline> outlines;
  for (const As_Loop* loop : loops_of(loops)) outlines.push_back(loop->closed_points());
  std::vector<const Outline*> all;
  for (const Outline& outline : outlines) all.push_back(&outline);
  const Edge_Buckets edges(all, false, HUGE_VAL);  // one bucket: every edge
  cut_segment(a, b, edges.begin(a.x()), edges.end(a.x()), out);
  return false;
}

bool segment_loop_intersection(const As_Pt& a, const As_Pt& b, const As_Pt* pts, int n, As_Void_List& out) {
  if (!pts || n < 2) return false;
  std::vector<As_Pt> hits;
  As_Pt x;
  for (int i = 0; i < n; ++i) {
    if (two_segments_intersection(a, b, pts[i], pts[(i + 1) % n], x)) add_ordered(hits, x);
  }
  if (hits.size() < 2) return false;
  const unsigned long sets = hits.size() / 2;
  const std::vector<unsigned long> counts(sets, 2);
  out.add(new As_Pt_Sets(sets, counts.data(), hits.data()));
  return true;
}

// Faces are kept when they lie within the loop and no cutter covers them:
// a face with an edge midpoint strictly inside a cutter, or lying within
// one, is covered. The loop itself is one of the faces when no cutter
// reaches its boundary.
bool cut_loop_by_loops(As_Loop& loop, As_Void_List& cutters, As_Void_List& out) {
  const std::vector<As_Loop*> knives = loops_of(cutters);
  if (knives.empty()) {
    out.add(new As_Loop(loop));
    return true;
  }
  As_Search_Loops search;
  search.input_list().add(&loop);
  for (As_Loop* knife : knives)
    if (loop.is_intersection(*knife)) search.input_list().add(knife);
  search.loop2segments();
  search.init();
  search.search_min_loops();
  {
    As_File dump(kDumpFile, false);
    search.save_segments(dump);
  }

  for (As_Loop* face : loops_of(search.result_list())) {
    bool covered = false;
    for (const As_Loop* knife : knives)
      covered = covered || edge_midpoint_inside(*face, *knife) || face->is_in_loop(*knife) == 1;
    if (!covered && face->is_in_loop(loop) == 1) out.add(new As_Loop(*face));
  }
  return true;
}
