#include "geometry/as_hatch_cut.h"

#include <algorithm>
#include <cmath>
#include <memory>
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

// a-b split at every crossing with the outlines' edges, as new segments.
void cut_segment(const As_Pt& a, const As_Pt& b, const std::vector<Outline>& outlines, As_Void_List& out) {
  std::vector<As_Pt> cuts;
  add_ordered_unique(cuts, a);
  add_ordered_unique(cuts, b);
  // Edges whose box lies farther than resabs from a-b's box cannot meet it;
  // skipping them changes no answer.
  const double lo_x = std::min(a.x(), b.x()) - resabs, hi_x = std::max(a.x(), b.x()) + resabs;
  const double lo_y = std::min(a.y(), b.y()) - resabs, hi_y = std::max(a.y(), b.y()) + resabs;
  As_Pt x;
  for (const Outline& pts : outlines) {
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      const As_Pt &e0 = pts[i], &e1 = pts[i + 1];
      if (std::max(e0.x(), e1.x()) < lo_x || std::min(e0.x(), e1.x()) > hi_x || std::max(e0.y(), e1.y()) < lo_y ||
          std::min(e0.y(), e1.y()) > hi_y)
        continue;
      if (two_segments_intersection(a, b, e0, e1, x)) add_ordered_unique(cuts, x);
    }
  }
  for (size_t i = 0; i + 1 < cuts.size(); ++i) out.add(new As_Segment(cuts[i], cuts[i + 1]));
}

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

  const As_Tran back = to_upright.inverse();
  const int count = static_cast<int>(lines);
  for (int i = 0; i <= count; ++i) {
    const double x = lt.x() + i * spacing;
    As_Void_List pieces;
    cut_segment(As_Pt(x, lt.y(), 0), As_Pt(x, rb.y(), 0), outlines, pieces);
    for (As_Void_Node* n = pieces.head(); n; n = n->next()) {
      As_Segment* piece = static_cast<As_Segment*>(n->entity());
      const As_Pt mid = piece->middle_pos();
      bool keep = false;
      for (const Outline& outline : outlines) keep = keep || pt_in_closed_points(mid, outline) != 0;
      for (size_t h = 0; keep && h < holes.size(); ++h) {
        message_out(kMidpointLabel, mid, "", false);
        keep = pt_in_closed_points(mid, *holes[h]) == 0;
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
  cut_segment(a, b, outlines, out);
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
