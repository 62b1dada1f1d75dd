// HATCH records: boundary paths flattened into rings, the island style, the
// pattern's lines, and the kernel entity they make.
#include "exchange/cadbridge/dxf_hatch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "database/entities/mb_hatch.h"
#include "database/entities/mb_solid.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "exchange/cadbridge/dxf_ocs.h"
#include "exchange/cadbridge/dxf_spline.h"
#include "geometry/as_loop.h"

namespace {

// Boundary path flags (group 92).
constexpr int kPathPolyline = 2;
// Hatch styles (group 75).
constexpr int kStyleOuter = 1;
constexpr int kStyleIgnore = 2;
// Edge kinds (group 72 of an edge).
enum Edge_Kind { kEdgeLine = 1, kEdgeArc = 2, kEdgeEllipse = 3, kEdgeSpline = 4 };
// Beyond this many rings, islands are not sorted by depth: every ring is
// kept (odd parity), so a hostile file cannot make the sort quadratic.
constexpr size_t kMaxRingsSorted = 2000;
constexpr const char* kSolidName = "SOLID";
// A gap between a path's ends above this share of its size leaves it open.
constexpr double kOpenGap = 1e-6;

// A number as the pattern notation writes it, to ten digits (a pattern line
// holds at most Hatch_Pattern::kMaxLineText characters).
std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", v);
  return text;
}

// One family of pattern lines as the record gives it, in the hatch's plane:
// the lines' angle (degrees), the base point of line 0, where the dashes
// start, the offset from one line to the next along and across the lines
// (across positive), then the dashes.
struct Pattern_Line {
  double angle = 0.0, x = 0.0, y = 0.0, along = 0.0, across = 1.0;
  std::vector<double> dashes;
};

// The line in the kernel's notation, its dashes cut between numbers to fit
// a pattern line; `cut` tells whether any were left out.
std::string pattern_text(const Pattern_Line& l, bool& cut) {
  std::string text =
      number(l.angle) + ", " + number(l.x) + ", " + number(l.y) + ", " + number(l.along) + ", " + number(l.across);
  cut = false;
  for (double d : l.dashes) {
    const std::string more = ", " + number(d);
    if (text.size() + more.size() > size_t(Hatch_Pattern::kMaxLineText)) {
      cut = true;
      break;
    }
    text += more;
  }
  return text;
}

// Whether p lies inside the ring (odd crossings, half-open rule).
bool inside(const As_Pt& p, const std::vector<As_Pt>& ring) {
  bool in = false;
  for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const As_Pt &a = ring[i], &b = ring[j];
    if ((a.y() > p.y()) != (b.y() > p.y()) && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
      in = !in;
  }
  return in;
}

// How many other rings hold each ring's first point.
std::vector<size_t> depths(const std::vector<std::vector<As_Pt>>& rings) {
  std::vector<size_t> depth(rings.size(), 0);
  for (size_t i = 0; i < rings.size(); ++i)
    for (size_t j = 0; j < rings.size(); ++j)
      if (j != i && inside(rings[i][0], rings[j])) ++depth[i];
  return depth;
}

// Reads the groups in order.
class Cursor {
 public:
  explicit Cursor(const std::vector<Dxf_Group>& g) : g_(g) {}
  bool done() const { return i_ >= g_.size(); }
  int code() const { return done() ? -1 : g_[i_].code; }
  // The code after the current group.
  int next_code() const { return i_ + 1 < g_.size() ? g_[i_ + 1].code : -1; }
  void skip() { ++i_; }
  double real() const { return done() ? 0.0 : to_real(g_[i_].value); }
  // A whole number within the range of int (the guard has checked them).
  long integer() const { return long(std::clamp(real(), double(INT32_MIN), double(INT32_MAX))); }
  std::string_view text() const { return done() ? std::string_view() : g_[i_].value; }

 private:
  static double to_real(std::string_view v) {
    if (!v.empty() && v[0] == '+') v.remove_prefix(1);
    double d = 0.0;
    auto r = std::from_chars(v.data(), v.data() + v.size(), d);
    return r.ec == std::errc() && std::isfinite(d) ? d : 0.0;
  }

  const std::vector<Dxf_Group>& g_;
  size_t i_ = 0;
};

class Hatch_Reader {
 public:
  Hatch_Reader(const std::vector<Dxf_Group>& groups, Dxf_Hatch& out) : c_(groups), out_(out) {}

  void run() {
    std::string name;
    long loops = 0;
    bool gradient = false;
    // The header up to the loop count.
    double normal[3] = {0.0, 0.0, 1.0};
    for (c_.skip(); !c_.done() && c_.code() != 91; c_.skip()) {
      if (c_.code() == 2) name = std::string(c_.text());
      if (c_.code() == 70) out_.solid = c_.integer() == 1;
      if (c_.code() >= 210 && c_.code() <= 230 && c_.code() % 10 == 0) normal[(c_.code() - 210) / 10] = c_.real();
    }
    if (!c_.done()) {
      loops = c_.integer();
      c_.skip();
    }
    std::vector<std::vector<As_Pt>> rings;
    for (long k = 0; k < loops && !c_.done(); ++k) {
      while (!c_.done() && c_.code() != 92 && !ends_paths(c_.code())) c_.skip();
      if (c_.code() != 92) break;
      const long flags = c_.integer();
      c_.skip();
      std::vector<As_Pt> ring;
      if (flags & kPathPolyline) {
        read_polyline(ring);
      } else {
        read_edges(ring);
      }
      // Source objects of an associative hatch.
      if (c_.code() == 97) {
        for (c_.skip(); c_.code() == 330; c_.skip()) {
        }
      }
      add_ring(std::move(ring), (flags & kPathPolyline) == 0, rings);
    }
    int style = 0;
    double angle = 0.0, spacing = 1.0;
    while (!c_.done()) {
      if (c_.code() == 53) {
        read_pattern_line();  // stops on the group after the line
        continue;
      }
      switch (c_.code()) {
        case 75:
          style = int(c_.integer());
          break;
        case 52:
          angle = c_.real();
          break;
        case 41:
          spacing = c_.real();
          break;
        case 450:
          gradient = c_.integer() != 0;
          break;
        default:
          break;
      }
      c_.skip();
    }
    if (gradient || dxf_upper(name) == kSolidName) out_.solid = true;
    if (!out_.solid && lines_.empty()) {
      // A pattern without its lines: parallel lines at the hatch's angle and
      // spacing.
      Pattern_Line l;
      l.angle = angle;
      l.across = std::fabs(spacing) > 0 ? std::fabs(spacing) : 1.0;
      lines_.push_back(l);
      problem("the pattern \"" + name + "\" has no lines in the file; it is drawn as parallel lines");
    }
    keep_by_style(style, rings);
    if (!out_.solid) lay_pattern(Dxf_Ocs(normal[0], normal[1], normal[2]), rings);
    out_.rings = std::move(rings);
  }

 private:
  static bool ends_paths(int code) { return code == 75 || code == 76 || code == 98 || code == 450; }

  void problem(const std::string& text) {
    if (std::find(out_.problems.begin(), out_.problems.end(), text) == out_.problems.end())
      out_.problems.push_back(text);
  }

  // Appends p unless the budget is spent or it repeats the last point.
  void add(std::vector<As_Pt>& ring, const As_Pt& p) {
    if (!ring.empty() && ring.back().x() == p.x() && ring.back().y() == p.y()) return;
    if (points_ >= kDxfHatchMaxPoints) {
      problem("the boundary has more than " + std::to_string(kDxfHatchMaxPoints) +
              " points; the rest of it is left out");
      return;
    }
    ++points_;
    ring.push_back(p);
  }

  // Points from angle a0 swept by `sweep` (radians, signed) on the ellipse
  // of centre c with axes u and v; the start point included.
  void add_arc(std::vector<As_Pt>& ring, const As_Pt& c, const As_Vec& u, const As_Vec& v, double a0, double sweep) {
    const int pieces = std::max(2, int(std::ceil(std::fabs(sweep) / two_pi * kDxfHatchArcPieces)));
    for (int i = 0; i <= pieces; ++i) {
      const double a = a0 + sweep * i / pieces;
      add(ring, c + u * std::cos(a) + v * std::sin(a));
    }
  }

  void read_polyline(std::vector<As_Pt>& ring) {
    long count = 0;
    for (; !c_.done() && c_.code() != 10; c_.skip()) {
      if (c_.code() == 93) count = c_.integer();
      if (c_.code() == 92 || c_.code() == 97 || ends_paths(c_.code())) return;
    }
    struct Vertex {
      double x = 0, y = 0, bulge = 0;
    };
    std::vector<Vertex> v;
    for (; !c_.done() && long(v.size()) <= count; c_.skip()) {
      const int code = c_.code();
      if (code == 10) {
        if (long(v.size()) == count) break;
        v.push_back({c_.real(), 0.0, 0.0});
      } else if (code == 20 && !v.empty()) {
        v.back().y = c_.real();
      } else if (code == 42 && !v.empty()) {
        v.back().bulge = c_.real();
      } else {
        break;
      }
      if (v.size() > kDxfHatchMaxPoints) break;
    }
    for (size_t i = 0; i < v.size(); ++i) {
      const As_Pt p0(v[i].x, v[i].y, 0.0);
      const Vertex& n = v[(i + 1) % v.size()];
      const As_Pt p1(n.x, n.y, 0.0);
      const double b = v[i].bulge;
      const As_Vec chord = p1 - p0;
      const double len = chord.len();
      if (std::fabs(b) < 1e-12 || len <= 0.0 || !std::isfinite(b)) {
        add(ring, p0);
        continue;
      }
      // The centre lies off the chord's middle by (1 - b^2) / 4b chords,
      // to the left for a positive bulge; the arc sweeps 4 atan(b).
      const As_Vec left(-chord.y() / len, chord.x() / len, 0.0);
      const As_Pt centre = p0 + chord * 0.5 + left * ((1.0 - b * b) / (4.0 * b) * len);
      const As_Vec r0 = p0 - centre;
      const double radius = r0.len();
      add_arc(ring, centre, As_Vec(radius, 0, 0), As_Vec(0, radius, 0), std::atan2(r0.y(), r0.x()), 4.0 * std::atan(b));
      if (!ring.empty()) {
        ring.pop_back();  // the next vertex adds the arc's end itself
        --points_;
      }
    }
  }

  // The groups of one edge, up to the next edge, path or the end.
  void read_edges(std::vector<As_Pt>& ring) {
    long count = 0;
    if (c_.code() == 93) {
      count = c_.integer();
      c_.skip();
    }
    for (long e = 0; e < count && c_.code() == 72; ++e) {
      const long kind = c_.integer();
      c_.skip();
      if (kind == kEdgeSpline) {
        read_spline(ring);
        continue;
      }
      double f[16] = {};  // 10 20 11 21 40 50 51 73 by slot
      f[7] = 1.0;
      for (; !c_.done() && c_.code() != 72 && c_.code() != 92 && c_.code() != 97 && !ends_paths(c_.code()); c_.skip()) {
        switch (c_.code()) {
          case 10: f[0] = c_.real(); break;
          case 20: f[1] = c_.real(); break;
          case 11: f[2] = c_.real(); break;
          case 21: f[3] = c_.real(); break;
          case 40: f[4] = c_.real(); break;
          case 50: f[5] = c_.real(); break;
          case 51: f[6] = c_.real(); break;
          case 73: f[7] = c_.real(); break;
          default: break;
        }
      }
      const As_Pt a(f[0], f[1], 0.0);
      if (kind == kEdgeLine) {
        add(ring, a);
        add(ring, As_Pt(f[2], f[3], 0.0));
      } else if (kind == kEdgeArc || kind == kEdgeEllipse) {
        const As_Vec u = kind == kEdgeArc ? As_Vec(f[4], 0, 0) : As_Vec(f[2], f[3], 0);
        const double ratio = kind == kEdgeArc ? 1.0 : f[4];
        const As_Vec v(-u.y() * ratio, u.x() * ratio, 0.0);
        add_sweep(ring, a, u, v, f[5], f[6], f[7] != 0.0);
      } else {
        problem("an edge of unknown kind " + std::to_string(kind) + " is left out");
      }
    }
  }

  // An arc from `start` to `end` degrees, counter-clockwise, or clockwise
  // with both angles mirrored, as the file stores clockwise edges.
  void add_sweep(std::vector<As_Pt>& ring, const As_Pt& c, const As_Vec& u, const As_Vec& v, double start, double end,
                 bool ccw) {
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0.0) sweep += 360.0;
    if (std::fabs(end - start) >= 360.0 || start == end) sweep = 360.0;
    if (ccw) {
      add_arc(ring, c, u, v, start * kDxfDegree, sweep * kDxfDegree);
    } else {
      add_arc(ring, c, u, v, -start * kDxfDegree, -sweep * kDxfDegree);
    }
  }

  void read_spline(std::vector<As_Pt>& ring) {
    unsigned degree = 3;
    bool rational = false;
    std::vector<double> knots;
    std::vector<DL_ControlPointData> control;
    std::vector<As_Pt> fit;
    for (; !c_.done(); c_.skip()) {
      const int code = c_.code();
      if (code == 94) {
        degree = unsigned(std::max(0L, std::min(c_.integer(), long(kDxfMaxSplineDegree) + 1)));
      } else if (code == 73) {
        rational = c_.integer() != 0;
      } else if (code == 40) {
        knots.push_back(c_.real());
      } else if (code == 10) {
        control.emplace_back(c_.real(), 0.0, 0.0, 1.0);
      } else if (code == 20 && !control.empty()) {
        control.back().y = c_.real();
      } else if (code == 42 && !control.empty()) {
        if (rational) control.back().w = c_.real();
      } else if (code == 11) {
        fit.emplace_back(c_.real(), 0.0, 0.0);
      } else if (code == 21 && !fit.empty()) {
        fit.back().y() = c_.real();
      } else if (code == 97) {
        // The fit point count of the spline, or the path's source objects
        // when 330 groups follow.
        if (c_.next_code() == 330 || c_.next_code() == 92 || ends_paths(c_.next_code()) || c_.next_code() < 0) break;
      } else if (code != 74 && code != 95 && code != 96 && !(code >= 12 && code <= 23)) {
        break;
      }
      if (knots.size() > kDxfHatchMaxPoints || control.size() > kDxfHatchMaxPoints || fit.size() > kDxfHatchMaxPoints) {
        problem("a spline edge is too long; the rest of the boundary is left out");
        return;
      }
    }
    add_spline(ring, control, knots, degree, fit);
  }

  void add_spline(std::vector<As_Pt>& ring, const std::vector<DL_ControlPointData>& control,
                  const std::vector<double>& knots, unsigned degree, const std::vector<As_Pt>& fit) {
    const std::vector<As_Pt> pts = control.size() >= 2 ? dxf_spline_points(control, knots, degree) : fit;
    for (const As_Pt& p : pts) add(ring, p);
  }

  void read_pattern_line() {
    Pattern_Line l;
    l.angle = c_.real();
    double offset[2] = {};
    for (c_.skip(); !c_.done(); c_.skip()) {
      const int code = c_.code();
      if (code == 43) {
        l.x = c_.real();
      } else if (code == 44) {
        l.y = c_.real();
      } else if (code == 45) {
        offset[0] = c_.real();
      } else if (code == 46) {
        offset[1] = c_.real();
      } else if (code == 49) {
        // More dashes than a pattern line holds are read past.
        if (l.dashes.size() < size_t(Hatch_Pattern::kMaxLineText)) l.dashes.push_back(c_.real());
      } else if (code != 79) {
        break;
      }
    }
    // The file gives the offset between lines as a vector; the kernel along
    // and across the line, the spacing across positive.
    const double a = l.angle * kDxfDegree;
    l.along = offset[0] * std::cos(a) + offset[1] * std::sin(a);
    l.across = -offset[0] * std::sin(a) + offset[1] * std::cos(a);
    if (l.across < 0) {
      l.along = -l.along;
      l.across = -l.across;
    }
    lines_.push_back(std::move(l));
  }

  // The pattern lines as the kernel lays them: from the lower left corner
  // of the boundary as drawn, where the file's lie from the origin of the
  // hatch's plane. A plane facing down draws the pattern's mirror image
  // about the Y axis: each line's angle, base and offset along it mirrored
  // (the spacing across stays positive: the mirrored offset runs back along
  // the line).
  void lay_pattern(const Dxf_Ocs& ocs, const std::vector<std::vector<As_Pt>>& rings) {
    double x0 = HUGE_VAL, y0 = HUGE_VAL;
    for (const std::vector<As_Pt>& ring : rings) {
      for (const As_Pt& p : ring) {
        const As_Pt q = ocs.point(p);
        x0 = std::min(x0, q.x());
        y0 = std::min(y0, q.y());
      }
    }
    if (!std::isfinite(x0) || !std::isfinite(y0)) x0 = y0 = 0.0;
    const bool mirror = ocs.flat() && ocs.mirrored();
    for (Pattern_Line l : lines_) {
      if (mirror) {
        l.angle = 180.0 - l.angle;
        l.x = -l.x;
        l.along = l.along != 0.0 ? -l.along : 0.0;
      }
      l.x -= x0;
      l.y -= y0;
      bool cut = false;
      out_.pattern_lines.push_back(pattern_text(l, cut));
      if (cut) problem("a pattern line of too many dashes keeps its first ones");
    }
  }

  // Edges should end where they start; a polyline path closes by itself.
  void add_ring(std::vector<As_Pt>&& ring, bool of_edges, std::vector<std::vector<As_Pt>>& rings) {
    if (of_edges && ring.size() > 2 && (ring.back() - ring.front()).len() > kOpenGap * extent(ring))
      problem("a boundary path does not close; a straight edge closes it");
    while (ring.size() > 1 && ring.back().x() == ring.front().x() && ring.back().y() == ring.front().y()) {
      ring.pop_back();
      --points_;
    }
    if (ring.size() < 3) {
      problem("a boundary path of fewer than three points is left out");
      points_ -= ring.size();
      return;
    }
    rings.push_back(std::move(ring));
  }

  static double extent(const std::vector<As_Pt>& ring) {
    double e = 0.0;
    for (const As_Pt& p : ring) e = std::max({e, std::fabs(p.x() - ring[0].x()), std::fabs(p.y() - ring[0].y())});
    return e;
  }

  // Keeps the rings the style draws and notes their depths.
  void keep_by_style(int style, std::vector<std::vector<As_Pt>>& rings) {
    if (rings.size() > kMaxRingsSorted) {
      problem("more than " + std::to_string(kMaxRingsSorted) + " boundary paths: every island is drawn");
      return;
    }
    std::vector<size_t> depth = depths(rings);
    if (style == kStyleOuter || style == kStyleIgnore) {
      const size_t deepest = style == kStyleOuter ? 1 : 0;
      std::vector<std::vector<As_Pt>> kept;
      std::vector<size_t> kept_depth;
      for (size_t i = 0; i < rings.size(); ++i) {
        if (depth[i] > deepest) continue;
        kept.push_back(std::move(rings[i]));
        kept_depth.push_back(depth[i]);
      }
      rings = std::move(kept);
      depth = std::move(kept_depth);
    }
    out_.depth = std::move(depth);
  }

  Cursor c_;
  Dxf_Hatch& out_;
  std::vector<Pattern_Line> lines_;
  size_t points_ = 0;
};

}  // namespace

Dxf_Hatch dxf_read_hatch(const std::vector<Dxf_Group>& groups) {
  Dxf_Hatch out;
  Hatch_Reader(groups, out).run();
  return out;
}

std::vector<MB_Geom*> dxf_hatch_entities(const Dxf_Hatch& hatch) {
  std::vector<MB_Geom*> out;
  if (hatch.rings.empty()) return out;
  if (!hatch.solid) {
    MB_Hatch* entity = new MB_Hatch;
    for (const auto& r : hatch.rings) entity->loop_list().add(new As_Loop(r.data(), int(r.size())));
    Hatch_Pattern* pattern = new Hatch_Pattern;
    pattern->clear_lines();
    for (const std::string& line : hatch.pattern_lines) pattern->add_line(line.c_str());
    pattern->scale(1.0);
    entity->pattern(pattern);
    entity->pen_in_colour(true);
    out.push_back(entity);
    return out;
  }
  // A solid per ring of even depth, its holes (the rings one deeper inside
  // it) spliced in at its vertex nearest to each: the polygon goes out to
  // the hole and back along the same edge, which lies in the filled part,
  // and fills even-odd. Without depths every ring fills on its own.
  const bool sorted = hatch.depth.size() == hatch.rings.size();
  for (size_t i = 0; i < hatch.rings.size(); ++i) {
    if (sorted && hatch.depth[i] % 2) continue;
    const std::vector<As_Pt>& outer = hatch.rings[i];
    std::vector<std::vector<size_t>> holes_at(outer.size());
    size_t total = outer.size() + 1;
    for (size_t j = 0; sorted && j < hatch.rings.size(); ++j) {
      if (hatch.depth[j] != hatch.depth[i] + 1 || !inside(hatch.rings[j][0], outer)) continue;
      size_t nearest = 0;
      double best = 1e300;
      for (size_t k = 0; k < outer.size(); ++k) {
        const double d = (outer[k] - hatch.rings[j][0]).len_sq();
        if (d < best) best = d, nearest = k;
      }
      holes_at[nearest].push_back(j);
      total += hatch.rings[j].size() + 2;
    }
    MB_Solid* solid = new MB_Solid(int(total));
    As_Pt* p = solid->points();
    for (size_t k = 0; k < outer.size(); ++k) {
      *p++ = outer[k];
      for (size_t j : holes_at[k]) {
        p = std::copy(hatch.rings[j].begin(), hatch.rings[j].end(), p);
        *p++ = hatch.rings[j].front();
        *p++ = outer[k];
      }
    }
    *p++ = outer.front();
    out.push_back(solid);
  }
  return out;
}
