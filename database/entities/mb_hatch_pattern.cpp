// Hatch patterns: parsing the pattern lines and sweeping each family of
// lines across the boundary loops. See mb_hatch_pattern.h for the rules.
#include "database/entities/mb_hatch_pattern.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "geometry/as_loop.h"
#include "geometry/as_pt_set.h"

namespace {

// One family of parallel lines, in drawing units.
struct Family {
  double ux = 1.0, uy = 0.0;  // direction along the lines
  double nx = 0.0, ny = 1.0;  // direction across them
  double bx = 0.0, by = 0.0;  // a point of line 0: the dash phase starts here
  double along = 0.0;         // shift along the lines from one line to the next
  double across = 0.0;        // spacing, > 0
  std::vector<double> elems;  // dash, dot (0) and gap (< 0) lengths
  std::vector<double> starts; // where each element starts within one round
  double round = 0.0;         // length of one round of elements; 0: solid
  int64_t lo = 0, hi = -1;     // range of line numbers that meet the rectangle
};

// A loop edge seen from one family: c is the position across the lines, t
// the position along them.
struct Edge {
  double c0, c1, t0, t1;
};

struct Bounds {
  double xmin, ymin, xmax, ymax;
};

std::vector<double> split_numbers(const char* text) {
  std::vector<double> v;
  std::string s(text);
  size_t from = 0;
  for (;;) {
    size_t comma = s.find(',', from);
    v.push_back(std::atof(s.substr(from, comma == std::string::npos ? std::string::npos : comma - from).c_str()));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return v;
}

// Exact directions for the right angles, so that axis-parallel families
// land on exact coordinates.
void direction(double degrees, double& c, double& s) {
  double r = std::fmod(degrees, 360.0);
  if (r < 0.0) r += 360.0;
  if (r == 0.0) c = 1.0, s = 0.0;
  else if (r == 90.0) c = 0.0, s = 1.0;
  else if (r == 180.0) c = -1.0, s = 0.0;
  else if (r == 270.0) c = 0.0, s = -1.0;
  else c = std::cos(r * qm_pi / 180.0), s = std::sin(r * qm_pi / 180.0);
}

// The family of one pattern line over the rectangle; false when the line
// cannot be drawn.
bool make_family(const char* text, double scale, const Bounds& r, Family& f) {
  std::vector<double> v = split_numbers(text);
  if (v.size() < 5) return false;
  for (double x : v)
    if (!std::isfinite(x)) return false;
  f.across = scale * v[4];
  f.along = scale * v[3];
  if (!(f.across > 0.0) || !std::isfinite(f.across) || !std::isfinite(f.along)) return false;
  bool draws = v.size() == 5;
  double sum = 0.0;
  for (size_t k = 5; k < v.size(); ++k) {
    double e = scale * v[k];
    f.starts.push_back(sum);
    f.elems.push_back(e);
    sum += std::fabs(e);
    if (e >= 0.0) draws = true;
  }
  if (!draws) return false;
  if (v.size() > 5) {
    if (!(sum > resabs) || !std::isfinite(sum)) return false;
    f.round = sum;
  }
  direction(v[0], f.ux, f.uy);
  f.nx = -f.uy;
  f.ny = f.ux;
  f.bx = r.xmin + scale * v[1];
  f.by = r.ymin + scale * v[2];
  if (!std::isfinite(f.bx) || !std::isfinite(f.by)) return false;
  // Lines meet the rectangle where their position across lies between the
  // corners' positions.
  const double cx[4] = {r.xmin, r.xmax, r.xmax, r.xmin}, cy[4] = {r.ymin, r.ymin, r.ymax, r.ymax};
  double cmin = HUGE_VAL, cmax = -HUGE_VAL;
  for (int k = 0; k < 4; ++k) {
    double c = cx[k] * f.nx + cy[k] * f.ny;
    cmin = std::min(cmin, c);
    cmax = std::max(cmax, c);
  }
  const double c0 = f.bx * f.nx + f.by * f.ny;
  const double lo = std::ceil((cmin - c0) / f.across), hi = std::floor((cmax - c0) / f.across);
  // Line numbers so far from the origin that consecutive ones are no longer
  // distinct doubles cannot place their lines.
  if (!(std::fabs(lo) < 1e15 && std::fabs(hi) < 1e15) || lo > hi) return false;
  f.lo = static_cast<int64_t>(lo);
  f.hi = static_cast<int64_t>(hi);
  return true;
}

// Edges bucketed by their span across the lines (compressed rows).
class Edge_Index {
 public:
  Edge_Index(const std::vector<std::vector<As_Pt>>& loops, const Family& f, double lines) {
    for (const std::vector<As_Pt>& pts : loops) {
      for (size_t k = 0; k + 1 < pts.size(); ++k) {
        const As_Pt &a = pts[k], &b = pts[k + 1];
        Edge e{a.x() * f.nx + a.y() * f.ny, b.x() * f.nx + b.y() * f.ny, a.x() * f.ux + a.y() * f.uy,
               b.x() * f.ux + b.y() * f.uy};
        if (e.c0 == e.c1) continue;  // parallel to the lines: never crossed
        edges_.push_back(e);
      }
    }
    if (edges_.empty()) return;
    cmin_ = HUGE_VAL;
    double cmax = -HUGE_VAL;
    for (const Edge& e : edges_) {
      cmin_ = std::min(cmin_, std::min(e.c0, e.c1));
      cmax = std::max(cmax, std::max(e.c0, e.c1));
    }
    double want = std::min(lines, 2.0 * double(edges_.size()));
    buckets_ = static_cast<int>(std::max(1.0, std::min(want, 65536.0)));
    // Edges that span many buckets are listed in each: fewer buckets keep
    // the index within a few slots per edge.
    for (;;) {
      width_ = (cmax - cmin_) / buckets_;
      if (!(width_ > 0.0) || !std::isfinite(width_)) {
        buckets_ = 1, width_ = 1.0;
        break;
      }
      double slots = 0.0;
      for (const Edge& e : edges_) slots += bucket(std::max(e.c0, e.c1)) - bucket(std::min(e.c0, e.c1)) + 1;
      if (buckets_ == 1 || slots <= 16.0 * double(edges_.size()) + 65536.0) break;
      buckets_ /= 2;
    }
    start_.assign(buckets_ + 1, 0);
    for (const Edge& e : edges_) {
      for (int b = bucket(std::min(e.c0, e.c1)), last = bucket(std::max(e.c0, e.c1)); b <= last; ++b) ++start_[b + 1];
    }
    for (int b = 0; b < buckets_; ++b) start_[b + 1] += start_[b];
    slots_.resize(start_[buckets_]);
    std::vector<size_t> fill(start_.begin(), start_.end() - 1);
    for (const Edge& e : edges_) {
      for (int b = bucket(std::min(e.c0, e.c1)), last = bucket(std::max(e.c0, e.c1)); b <= last; ++b)
        slots_[fill[b]++] = &e;
    }
  }

  // Positions along the line at position c across where it crosses an edge,
  // in ascending order.
  void crossings(double c, std::vector<double>& out) const {
    out.clear();
    if (edges_.empty()) return;
    const int b = bucket(c);
    for (size_t k = start_[b]; k < start_[b + 1]; ++k) {
      const Edge& e = *slots_[k];
      if ((e.c0 > c) != (e.c1 > c)) out.push_back(e.t0 + (e.t1 - e.t0) * ((c - e.c0) / (e.c1 - e.c0)));
    }
    std::sort(out.begin(), out.end());
  }

 private:
  int bucket(double c) const {
    double k = (c - cmin_) / width_;
    if (!(k > 0.0)) return 0;
    return k >= buckets_ - 1 ? buckets_ - 1 : static_cast<int>(k);
  }

  std::vector<Edge> edges_;
  std::vector<const Edge*> slots_;
  std::vector<size_t> start_;
  double cmin_ = 0.0, width_ = 1.0;
  int buckets_ = 1;
};

// Collects the pieces of the runs of one build, within the element budget,
// into point sets of about kPiecesPerSet pieces each (a run is never split).
class Run_Builder {
 public:
  static constexpr size_t kPiecesPerSet = 1024;

  explicit Run_Builder(std::vector<As_Pt_Sets*>& out) : out_(out) {
    pts_.clear();
    counts_.clear();
  }

  // The pieces of line i of the family between ta and tb (positions along
  // the line from its phase origin). False when the budget ran out.
  bool run(const Family& f, double i, double ta, double tb) {
    ax_ = f.bx + i * (f.along * f.ux + f.across * f.nx);
    ay_ = f.by + i * (f.along * f.uy + f.across * f.ny);
    ux_ = f.ux, uy_ = f.uy;
    if (f.round == 0.0) {
      if (--budget_ < 0) return false;
      piece(ta, tb);
    } else {
      for (double m = std::floor(ta / f.round);; m += 1.0) {
        const double base = m * f.round;
        if (base > tb) break;
        for (size_t k = 0; k < f.elems.size(); ++k) {
          if (--budget_ < 0) return false;
          const double s = base + f.starts[k], e = f.elems[k];
          if (s > tb) break;
          if (e > 0.0) {
            const double a = std::max(s, ta), b = std::min(s + e, tb);
            if (b > a) piece(a, b);
          } else if (e == 0.0 && s >= ta) {
            pts_.push_back(at(s));
            counts_.push_back(1);
          }
        }
      }
    }
    if (counts_.size() >= kPiecesPerSet) flush();
    return true;
  }

  void flush() {
    if (!counts_.empty()) out_.push_back(new As_Pt_Sets(counts_.size(), counts_.data(), pts_.data()));
    pts_.clear();
    counts_.clear();
  }

 private:
  As_Pt at(double t) const { return As_Pt(ax_ + t * ux_, ay_ + t * uy_, 0.0); }
  void piece(double a, double b) {
    pts_.push_back(at(a));
    pts_.push_back(at(b));
    counts_.push_back(2);
  }

  std::vector<As_Pt_Sets*>& out_;
  // Staging kept from build to build on each thread, so that building a
  // small hatch again costs no fresh memory.
  static thread_local std::vector<As_Pt> pts_;
  static thread_local std::vector<unsigned long> counts_;
  long budget_ = Hatch_Pattern::kMaxPieces;
  double ax_ = 0.0, ay_ = 0.0, ux_ = 1.0, uy_ = 0.0;
};

thread_local std::vector<As_Pt> Run_Builder::pts_;
thread_local std::vector<unsigned long> Run_Builder::counts_;

// Every line of the family, forward from line 0 and then backward.
bool sweep(const Family& f, const Edge_Index& index, Run_Builder& runs) {
  std::vector<double> hits;
  const double c0 = f.bx * f.nx + f.by * f.ny, t0 = f.bx * f.ux + f.by * f.uy;
  auto line = [&](double i) {
    index.crossings(c0 + i * f.across, hits);
    const double shift = t0 + i * f.along;
    for (size_t k = 0; k + 1 < hits.size(); k += 2) {
      if (hits[k + 1] - hits[k] <= resabs) continue;
      if (!runs.run(f, i, hits[k] - shift, hits[k + 1] - shift)) return false;
    }
    return true;
  };
  for (int64_t i = std::max<int64_t>(0, f.lo); i <= f.hi; ++i)
    if (!line(double(i))) return false;
  for (int64_t i = std::min<int64_t>(-1, f.hi); i >= f.lo; --i)
    if (!line(double(i))) return false;
  return true;
}

}  // namespace

Hatch_Pattern::Hatch_Pattern() {
  add_line("0, 0, 0, 0, 6.985, 5.08, -1.905");
  add_line("90, 0, 0, 0, 6.985, 5.08, -1.905");
}

Hatch_Pattern::Hatch_Pattern(const Hatch_Pattern& other) { *this = other; }

Hatch_Pattern& Hatch_Pattern::operator=(const Hatch_Pattern& other) {
  if (this == &other) return *this;
  clear_lines();
  for (As_Void_Node* n = other.lines_.head(); n; n = n->next())
    lines_.add(new MB_String(*static_cast<MB_String*>(n->entity())));
  name_ = other.name_;
  scale_ = other.scale_;
  value2_ = other.value2_;
  return *this;
}

Hatch_Pattern::~Hatch_Pattern() { clear_lines(); }

void Hatch_Pattern::add_line(const char* text) {
  if (!text) return;
  lines_.add(new MB_String(static_cast<int>(strnlen(text, kMaxLineText)), text));
}

void Hatch_Pattern::clear_lines() {
  for (As_Void_Node* n = lines_.head(); n; n = n->next()) delete static_cast<MB_String*>(n->entity());
  lines_.emptyYourself();
}

bool Hatch_Pattern::build_lines(const As_Void_List& loops, As_Void_List& out) const {
  std::vector<std::vector<As_Pt>> closed;
  Bounds r{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (As_Void_Node* n = loops.head(); n; n = n->next()) {
    const As_Loop* loop = static_cast<const As_Loop*>(n->entity());
    if (!loop || loop->is_empty()) continue;
    closed.push_back(loop->closed_points());
    for (const As_Pt& p : closed.back()) {
      r.xmin = std::min(r.xmin, p.x());
      r.ymin = std::min(r.ymin, p.y());
      r.xmax = std::max(r.xmax, p.x());
      r.ymax = std::max(r.ymax, p.y());
    }
  }
  if (closed.empty() || !(scale_ > 0.0) || !std::isfinite(scale_)) return true;
  if (!std::isfinite(r.xmin) || !std::isfinite(r.ymin) || !std::isfinite(r.xmax) || !std::isfinite(r.ymax))
    return true;

  std::vector<Family> families;
  double lines = 0.0, elements = 0.0;
  const double area = (r.xmax - r.xmin) * (r.ymax - r.ymin);
  for (As_Void_Node* n = lines_.head(); n; n = n->next()) {
    const MB_String* text = static_cast<const MB_String*>(n->entity());
    Family f;
    if (!text || !text->ascii() || !make_family(text->ascii(), scale_, r, f)) continue;
    const double count = double(f.hi - f.lo) + 1.0;
    lines += count;
    // The dash elements walked: about the lines' total length inside the
    // rectangle (its area over the spacing) in rounds, one per element.
    elements += f.round == 0.0 ? count : (area / (f.across * f.round) + count) * double(f.elems.size());
    if (lines > double(kMaxLines) || !(elements <= double(kMaxPieces))) return false;
    families.push_back(std::move(f));
  }

  std::vector<As_Pt_Sets*> made;
  Run_Builder runs(made);
  for (const Family& f : families) {
    Edge_Index index(closed, f, double(f.hi - f.lo) + 1.0);
    if (!sweep(f, index, runs)) {
      runs.flush();
      for (As_Pt_Sets* s : made) delete s;
      return false;
    }
  }
  runs.flush();
  for (As_Pt_Sets* s : made) out.add(s);
  return true;
}
