#include "geometry/curves/curve_intersect.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "geometry/curves/curve_wrappers.h"
#include "geometry/curves/vector_ops.h"

namespace {

constexpr double kPi = 3.141592653589793;

// Signed angle about z from a to b (0 when either is null).
double AngleTo(const double a[3], const double b[3]) {
  double angle = 0.0;
  VAngle(a, b, nullptr, angle);
  return angle;
}

void Sub(const double a[3], const double b[3], double out[3]) {
  for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}

// 0 degenerate, 1 circle, 2 straight.
int FrameKind(const CurveFrame& f) { return f.IsDegenerate() ? 0 : (f.IsStraight() ? 2 : 1); }

// (t1, t2) on the curves a and b, added to the lists in the callers' order.
int AddOrdered(CDoubleArray& list1, CDoubleArray& list2, double t1, double t2, bool swapped, const CCurve& a,
               const CCurve& b) {
  return swapped ? AddParamPair(list1, list2, t2, t1, &b, &a) : AddParamPair(list1, list2, t1, t2, &a, &b);
}

// One point of a curve: parameters within 1e-9, or the two ends of a closed
// curve's range (its seam).
bool SameParam(const CCurve* c, double s, double t) {
  const double eps = 1e-9;
  if (std::fabs(s - t) <= eps) return true;
  if (!c) return false;
  const double a = c->StartParam(), b = c->EndParam();
  const bool ends = (std::fabs(s - a) <= eps && std::fabs(t - b) <= eps) ||
                    (std::fabs(s - b) <= eps && std::fabs(t - a) <= eps);
  return ends && c->IsClosed();
}

// VDistance(p, q) > bound. The distance is never below the largest finite
// difference of coordinates, so most far pairs answer without it.
bool FartherThan(const double p[3], const double q[3], double bound) {
  for (int i = 0; i < 3; ++i) {
    const double d = std::fabs(q[i] - p[i]);
    if (d > bound && d <= DBL_MAX) return true;
  }
  return VDistance(p, q) > bound;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

uint64_t BitsOf(double a) {
  uint64_t u;
  std::memcpy(&u, &a, sizeof u);
  return u;
}

// The frames of a curve at its sample parameters, each taken when first
// asked; null where it cannot be taken (the run then takes it itself and
// meets the same failure).
class CSeedFrames {
 public:
  CSeedFrames(CFrameSource& source, const CSampleSet& samples) : source_(source), samples_(samples) {
    const int n = samples.Count();
    frames_.reset(n > 0 ? new (std::nothrow) CurveFrame[n] : nullptr);
    state_.reset(n > 0 ? new (std::nothrow) unsigned char[n]() : nullptr);
  }
  const CurveFrame* At(int i) {
    if (!frames_ || !state_) return nullptr;
    if (state_[i] == 0) state_[i] = source_.Take(samples_.Param(i), frames_[i]) == kCurveOk ? 1 : 2;
    return state_[i] == 1 ? &frames_[i] : nullptr;
  }

 private:
  CFrameSource& source_;
  const CSampleSet& samples_;
  std::unique_ptr<CurveFrame[]> frames_;
  std::unique_ptr<unsigned char[]> state_;
};

}  // namespace

// Frames of one curve by the bits of their parameters, the last taken of
// those that share a slot: runs near one crossing meet the same parameters
// of one curve often, each time with another of the other. Few slots: what
// a search allocates stays small enough that freeing it does not hand pages
// back to the system, to be faulted in again by the next search.
class CFrameCache {
 public:
  explicit CFrameCache(CFrameSource& source) : source_(source), slots_(new (std::nothrow) Slot[kSlots]) {}

  int Take(double t, CurveFrame& f) {
    if (!slots_) return source_.Take(t, f);
    const uint64_t key = BitsOf(t);
    const uint64_t h = key * 0x9E3779B97F4A7C15ull;
    Slot& s = slots_[(h ^ (h >> 29)) & (kSlots - 1)];
    if (s.full && s.key == key) {
      f = s.frame;
      return kCurveOk;
    }
    const int st = source_.Take(t, f);
    if (st == kCurveOk) {
      s.key = key;
      s.frame = f;
      s.full = true;
    }
    return st;
  }

 private:
  static constexpr size_t kSlots = 128;
  struct Slot {
    uint64_t key = 0;
    bool full = false;
    CurveFrame frame;
  };
  CFrameSource& source_;
  std::unique_ptr<Slot[]> slots_;
};

// Parameters a run started an iteration from, with how many iterations it
// took from there (that one included) and how its solve ended. Open
// addressing on the parameters' bits; when it cannot grow it keeps what it
// has and forgets the rest.
class CRunMemo {
 public:
  struct Entry {
    uint64_t a = 0, b = 0;
    int steps = 0;  // 0: a free slot
    int status = 0;
    double t1 = 0.0, t2 = 0.0;
  };

  const Entry* Find(double a, double b) const {
    if (!slots_) return nullptr;
    const uint64_t ka = BitsOf(a), kb = BitsOf(b);
    for (size_t i = Hash(ka, kb) & mask_;; i = (i + 1) & mask_) {
      const Entry& e = slots_[i];
      if (e.steps == 0) return nullptr;
      if (e.a == ka && e.b == kb) return &e;
    }
  }

  void Add(double a, double b, int steps, int status, double t1, double t2) {
    if (4 * (used_ + 1) > 3 * (slots_ ? mask_ + 1 : 0) && !Grow()) return;
    const uint64_t ka = BitsOf(a), kb = BitsOf(b);
    size_t i = Hash(ka, kb) & mask_;
    for (; slots_[i].steps != 0; i = (i + 1) & mask_)
      if (slots_[i].a == ka && slots_[i].b == kb) return;
    Entry& e = slots_[i];
    e.a = ka;
    e.b = kb;
    e.steps = steps;
    e.status = status;
    e.t1 = t1;
    e.t2 = t2;
    ++used_;
  }

 private:
  static size_t Hash(uint64_t a, uint64_t b) {
    uint64_t h = (a ^ (b * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
    return static_cast<size_t>(h ^ (h >> 31));
  }

  bool Grow() {
    const size_t size = slots_ ? 2 * (mask_ + 1) : 64;
    std::unique_ptr<Entry[]> bigger(new (std::nothrow) Entry[size]);
    if (!bigger) return false;
    std::unique_ptr<Entry[]> old = std::move(slots_);
    const size_t old_size = old ? mask_ + 1 : 0;
    slots_ = std::move(bigger);
    mask_ = size - 1;
    used_ = 0;
    for (size_t i = 0; i < old_size; ++i) {
      const Entry& e = old[i];
      if (e.steps == 0) continue;
      size_t k = Hash(e.a, e.b) & mask_;
      while (slots_[k].steps != 0) k = (k + 1) & mask_;
      slots_[k] = e;
      ++used_;
    }
    return true;
  }

  std::unique_ptr<Entry[]> slots_;
  size_t mask_ = 0;
  size_t used_ = 0;
};

bool HasParamPair(const CDoubleArray& list1, const CDoubleArray& list2, double t1, double t2, const CCurve* c1,
                  const CCurve* c2) {
  const int n = list1.Count() < list2.Count() ? list1.Count() : list2.Count();
  for (int i = 0; i < n; ++i)
    if (SameParam(c1, list1[i], t1) && SameParam(c2, list2[i], t2)) return true;
  return false;
}

int AddParamPair(CDoubleArray& list1, CDoubleArray& list2, double t1, double t2, const CCurve* c1,
                 const CCurve* c2) {
  if (HasParamPair(list1, list2, t1, t2, c1, c2)) return kCurveOk;
  int st = list1.Append(t1);
  if (st != kCurveOk) return st;
  st = list2.Append(t2);
  if (st != kCurveOk) list1.RemoveAt(list1.Count() - 1, 1);
  return st;
}

// ---- CCurveIntersector ----

CCurveIntersector::CCurveIntersector(const CCurve& c1, const CCurve& c2, double tol) : c1_(c1), c2_(c2) {
  e = tol * tol;
}

void CCurveIntersector::StraightStep(int which) {
  const CurveFrame& f = which == 1 ? f1 : f2;
  const CurveFrame& o = which == 1 ? f2 : f1;
  double w[3];
  Sub(o.P, f.P, w);
  (which == 1 ? dt1 : dt2) = VDot(f.T, w) / f.v;
}

void CCurveIntersector::CircleStep(int which) {
  const CurveFrame& f = which == 1 ? f1 : f2;
  const CurveFrame& o = which == 1 ? f2 : f1;
  double a[3], b[3];
  Sub(f.P, f.C, a);
  Sub(o.P, f.C, b);
  if (VLength(b) < 0.001 * std::fmax(f1.v, f2.v)) {
    stop = true;
    return;
  }
  (which == 1 ? dt1 : dt2) = f.r / f.v * AngleTo(a, b);
}

void CCurveIntersector::LineLineStep() {
  double w[3];
  Sub(f2.P, f1.P, w);
  double c = VDet(f1.T, f2.T, nullptr);
  if (std::fabs(c) > 1e-9) {
    dt1 = VDet(w, f2.T, nullptr) / c / f1.v;
    dt2 = VDet(w, f1.T, nullptr) / c / f2.v;
    return;
  }
  dt1 = VDot(w, f1.T) / 2.0 / f1.v;
  dt2 = -VDot(w, f2.T) / 2.0 / f2.v;
  stop = true;
}

void CCurveIntersector::LineCircleStep(int line) {
  const CurveFrame& l = line == 1 ? f1 : f2;
  const CurveFrame& c = line == 1 ? f2 : f1;
  double rel[3], pc[3], target[3];
  Sub(l.P, c.C, rel);
  Sub(c.P, c.C, pc);
  const double r = std::fabs(c.r);
  double b = -VDot(rel, l.T), foot[3];
  for (int i = 0; i < 3; ++i) foot[i] = l.P[i] + b * l.T[i] - c.C[i];
  double f2d = VDot(foot, foot), dist = b;
  for (int i = 0; i < 3; ++i) target[i] = foot[i];
  if (r * r - 1e-9 > f2d) {
    double h = std::sqrt(r * r - f2d), best = kCurveNone;
    for (double s : {b - h, b + h}) {
      double x[3];
      for (int i = 0; i < 3; ++i) x[i] = rel[i] + s * l.T[i];
      double angle = std::fabs(AngleTo(pc, x));
      if (angle < best) {
        best = angle;
        dist = s;
        for (int i = 0; i < 3; ++i) target[i] = x[i];
      }
    }
  }
  (line == 1 ? dt1 : dt2) = dist / l.v;
  (line == 1 ? dt2 : dt1) = c.r / c.v * AngleTo(pc, target);
}

void CCurveIntersector::CircleCircleStep() {
  double cc[3], p1[3], p2[3], dir1[3], dir2[3];
  Sub(f2.C, f1.C, cc);
  Sub(f1.P, f1.C, p1);
  Sub(f2.P, f2.C, p2);
  const double d = VLength(cc), r1 = std::fabs(f1.r), r2 = std::fabs(f2.r);
  if (d < (r1 + r2) * 1e-9) {
    dt1 = dt2 = 0.0;
    stop = true;
    return;
  }
  const bool first_larger = r1 >= r2;
  const double R = first_larger ? r1 : r2, rho = first_larger ? r2 : r1;
  if (d >= r1 + r2 - 1e-6) {
    for (int i = 0; i < 3; ++i) {
      dir1[i] = cc[i];
      dir2[i] = -cc[i];
    }
  } else if (d <= R - rho) {
    for (int i = 0; i < 3; ++i) dir1[i] = dir2[i] = first_larger ? cc[i] : -cc[i];
  } else {
    // The cut points at +-alpha from the line of centres at the larger centre.
    const CurveFrame& big = first_larger ? f1 : f2;
    double u[3];
    for (int i = 0; i < 3; ++i) u[i] = (first_larger ? cc[i] : -cc[i]) / d;
    double ca = ((R + rho) * (R - rho) + d * d) / (2.0 * d * R);
    ca = std::fmax(-1.0, std::fmin(1.0, ca));
    double sa = std::sqrt(1.0 - ca * ca), best = -kCurveNone, x[3];
    for (double sign : {1.0, -1.0}) {
      double p[3] = {big.C[0] + R * (ca * u[0] - sign * sa * u[1]), big.C[1] + R * (sign * sa * u[0] + ca * u[1]),
                     big.C[2]};
      double a[3], b[3];
      Sub(p, f1.C, a);
      Sub(p, f2.C, b);
      double score = VDot(a, p1) + VDot(b, p2);
      if (score > best) {
        best = score;
        for (int i = 0; i < 3; ++i) x[i] = p[i];
      }
    }
    Sub(x, f1.C, dir1);
    Sub(x, f2.C, dir2);
  }
  dt1 = f1.r / f1.v * AngleTo(p1, dir1);
  dt2 = f2.r / f2.v * AngleTo(p2, dir2);
}

int CCurveIntersector::Run(double a, double b) { return Iterate(a, b, nullptr); }

int CCurveIntersector::Frame(int which, double t, CurveFrame& f) const {
  CFrameCache* cache = which == 1 ? frames1 : frames2;
  return cache ? cache->Take(t, f) : TakeFrame(which == 1 ? c1_ : c2_, t, f);
}

bool CCurveIntersector::Listed() const {
  if (!listed1 || !listed2) return false;
  return listed_swapped ? HasParamPair(*listed1, *listed2, t2, t1, &c2_, &c1_)
                        : HasParamPair(*listed1, *listed2, t1, t2, &c1_, &c2_);
}

int CCurveIntersector::Iterate(double a, double b, CRunMemo* recall) {
  const CurveFrame* from1 = start1;
  const CurveFrame* from2 = start2;
  start1 = start2 = nullptr;
  steps_ = 0;
  capped_ = false;
  recalled_steps_ = 0;
  stopped_at_listed_ = false;
  frames_taken_ = false;
  if (!std::isfinite(a) || !std::isfinite(b)) return kCurveBadArgument;
  const double limit1 = StepLimit(c1_), limit2 = StepLimit(c2_);
  t1 = a;
  t2 = b;
  stop = false;
  bool done = false;
  // Only a run that has slowed down can be about to end at a crossing: the
  // listed ones are looked up after small steps.
  bool slowed = false;
  for (int i = 0; i < kNewtonSteps && !done; ++i) {
    if (recall) {
      // Within the step cap, the rest of this run is the remembered one's.
      const CRunMemo::Entry* m = recall->Find(t1, t2);
      if (m && i + m->steps <= kNewtonSteps) {
        recalled_steps_ = m->steps;
        recalled_status_ = m->status;
        t1 = m->t1;
        t2 = m->t2;
        return m->status;
      }
      trail_[i][0] = t1;
      trail_[i][1] = t2;
    }
    if (slowed && Listed()) {
      stopped_at_listed_ = true;
      return kCurveNotFound;
    }
    steps_ = i + 1;
    int st = kCurveOk;
    if (i == 0 && from1 && from2) {
      f1 = *from1;
      f2 = *from2;
    } else {
      st = Frame(1, t1, f1);
      if (st == kCurveOk) st = Frame(2, t2, f2);
    }
    if (st != kCurveOk) return st;
    frame_t1_ = t1;
    frame_t2_ = t2;
    frames_taken_ = true;
    double w[3];
    Sub(f1.P, f2.P, w);
    dist2 = VDot(w, w);
    if (CloseEnough()) break;
    dt1 = dt2 = 0.0;
    const int k1 = FrameKind(f1), k2 = FrameKind(f2);
    if (k1 == 0 && k2 == 0) break;
    if (k1 == 0)
      k2 == 1 ? CircleStep(2) : StraightStep(2);
    else if (k2 == 0)
      k1 == 1 ? CircleStep(1) : StraightStep(1);
    else if (k1 == 1 && k2 == 1)
      CircleCircleStep();
    else if (k1 == 2 && k2 == 2)
      LineLineStep();
    else
      LineCircleStep(k1 == 2 ? 1 : 2);
    if (stop || !(std::fabs(dt1) <= limit1) || !(std::fabs(dt2) <= limit2)) break;
    t1 += dt1;
    t2 += dt2;
    done = std::fabs(dt1) <= std::fmax(std::fabs(t1), 1.0) * 1e-15 &&
           std::fabs(dt2) <= std::fmax(std::fabs(t2), 1.0) * 1e-15;
    slowed = std::fabs(dt1) <= std::fmax(std::fabs(t1), 1.0) * 1e-3 &&
             std::fabs(dt2) <= std::fmax(std::fabs(t2), 1.0) * 1e-3;
    if (i + 1 == kNewtonSteps && !done) {
      capped_ = true;
      return kCurveNotFound;
    }
  }
  if (!c1_.NormalizeParam(t1) || !c2_.NormalizeParam(t2)) return kCurveNotFound;
  return kCurveOk;
}

int CCurveIntersector::Solve(double a, double b, double tol) {
  CRunMemo* recall = memo;
  int st = Iterate(a, b, recall);
  if (recalled_steps_ > 0) {
    // The last starts before the answer lead to it as well.
    for (int k = steps_ - 1; k >= 0 && k >= steps_ - 2; --k)
      recall->Add(trail_[k][0], trail_[k][1], steps_ - k + recalled_steps_, recalled_status_, t1, t2);
    return recalled_status_;
  }
  // Not remembered either: where it would have ended is not known.
  if (stopped_at_listed_) return st;
  if (st == kCurveOk) st = Accept(tol);
  // Runs cut by the step cap end by where they started: not remembered.
  // Other runs meet this one nearly always in its last two starts.
  if (recall && !capped_)
    for (int k = steps_ - 1; k >= 0 && k >= steps_ - 2; --k)
      recall->Add(trail_[k][0], trail_[k][1], steps_ - k, st, t1, t2);
  return st;
}

int CCurveIntersector::Accept(double tol) {
  int st;
  // Frames still at the parameters need not be taken again.
  if (!frames_taken_ || !SameBits(frame_t1_, t1) || !SameBits(frame_t2_, t2)) {
    if ((st = Frame(1, t1, f1)) != kCurveOk || (st = Frame(2, t2, f2)) != kCurveOk) return st;
  }
  const int k1 = FrameKind(f1), k2 = FrameKind(f2);
  const double cross = std::fabs(VDet(f1.T, f2.T, nullptr));
  if (k1 == 0 && k2 == 0) return kCurveNotFound;
  if (k1 == 2 && k2 == 2 && cross <= 5e-6 && VDot(f1.T, f2.T) > 0.0) return kCurveNotFound;
  // Equal osculating circles touch only where the tangents agree; curves of
  // equal radius that cross at an angle do intersect.
  if (k1 == 1 && k2 == 1 && cross <= 5e-6 &&
      std::fabs(f1.r - f2.r) <= std::fmax(std::fabs(f1.r), std::fabs(f2.r)) * 1e-4)
    return kCurveNotFound;
  double w[3];
  Sub(f1.P, f2.P, w);
  dist2 = VDot(w, w);
  return dist2 <= tol * tol ? kCurveOk : kCurveNotFound;
}

// ---- pairs ----

int CCurvePair::Add(CDoubleArray& list1, CDoubleArray& list2, double t1, double t2) const {
  return AddOrdered(list1, list2, t1, t2, swapped_, c1_, c2_);
}

int CCurvePair::Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const {
  if (std::isnan(tol)) return kCurveBadArgument;
  CSampleSet s1, s2;
  int st = s1.Build(c1_);
  if (st == kCurveOk) st = s2.Build(c2_);
  if (st != kCurveOk) return st;
  // A run from each seed on the span polynomials' frames (a guess) shows
  // where the seed leads. Runs to crossings already listed end there; the
  // others are run again on the curves' own frames (unless the guess took
  // those), and only these list crossings: the answers are those of plain
  // runs from every seed.
  CFrameSource source1(c1_), source2(c2_);
  CSeedFrames g1(source1, s1), g2(source2, s2);
  CRunMemo memo, exact_memo;
  CFrameCache frames1(source1), frames2(source2);
  CCurveIntersector guess(c1_, c2_, 0.0), exact(c1_, c2_, 0.0);
  const bool exact_guess = source1.IsExact() && source2.IsExact();
  guess.memo = &memo;
  guess.frames1 = &frames1;
  guess.frames2 = &frames2;
  exact.memo = &exact_memo;
  for (CCurveIntersector* it : {&guess, &exact}) {
    it->listed1 = &list1;
    it->listed2 = &list2;
    it->listed_swapped = swapped_;
  }
  for (int i = 0; i < s1.Count(); ++i)
    for (int j = 0; j < s2.Count(); ++j) {
      // Samples out of each other's reach have no crossing between them.
      if (FartherThan(s1.Point(i), s2.Point(j), s1.Reach(i) + s2.Reach(j))) continue;
      guess.start1 = g1.At(i);
      guess.start2 = g2.At(j);
      const int guessed = guess.Solve(s1.Param(i), s2.Param(j), tol);
      if (guess.StoppedAtListed() || (guessed == kCurveOk && guess.Listed())) continue;
      if ((exact_guess ? guessed : exact.Solve(s1.Param(i), s2.Param(j), tol)) != kCurveOk) continue;
      const CCurveIntersector& answer = exact_guess ? guess : exact;
      if ((st = Add(list1, list2, answer.t1, answer.t2)) != kCurveOk) return st;
    }
  return kCurveOk;
}

int CCurvePair::FilletTrim(double a, double b, double& r, double& t1, double& t2) const {
  if (!(a > 1e-6 && a <= 1.0) || !(b > 1e-6 && b <= 1.0) || !std::isfinite(r)) return kCurveBadArgument;
  const double s1 = c1_.StartParam(), e1 = c1_.EndParam(), s2 = c2_.StartParam(), e2 = c2_.EndParam();
  double p[3], T1[3], T2[3], k1 = 0.0, k2 = 0.0;
  int st = c1_.FrameAt(e1, p, T1, k1);
  if (st == kCurveOk) st = c2_.FrameAt(s2, p, T2, k2);
  if (st != kCurveOk) return st;
  // The fillet lies on the inner side of the turn at the joint.
  double turn = VDet(T1, T2, nullptr), side;
  if (std::fabs(turn) > 1e-9)
    side = turn > 0.0 ? 1.0 : -1.0;
  else if (VDot(T1, T2) > 0.0)
    side = k2 >= 0.0 ? 1.0 : -1.0;
  else
    side = k1 - k2 >= 0.0 ? 1.0 : -1.0;
  const double w1 = e1 - a * (e1 - s1), w2 = s2 + b * (e2 - s2);
  double offset = side * r;
  for (int attempt = 0; attempt < 3; ++attempt, offset *= 0.5) {
    COffsetCurve o1(&c1_, offset, nullptr, st);
    COffsetCurve o2(&c2_, offset, nullptr, st);
    o1.SetRange(w1, e1);
    o2.SetRange(s2, w2);
    CCurveIntersector it(o1, o2, 0.0);
    const double starts[2][2] = {{e1, s2}, {w1, w2}};
    for (const auto& s : starts) {
      if (it.Solve(s[0], s[1], 1e-9) != kCurveOk) continue;
      t1 = it.t1;
      t2 = it.t2;
      r = std::fabs(offset);
      return kCurveOk;
    }
  }
  return kCurveNotFound;
}

int CLineLinePair::FilletTrim(double a, double b, double& r, double& t1, double& t2) const {
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(r)) return kCurveBadArgument;
  double p[3], q[3], u1[3], u2[3];
  int st = c1_.StartPoint(p);
  if (st == kCurveOk) st = c1_.EndPoint(q);
  if (st != kCurveOk) return st;
  Sub(q, p, u1);
  if ((st = c2_.StartPoint(p)) != kCurveOk || (st = c2_.EndPoint(q)) != kCurveOk) return st;
  Sub(q, p, u2);
  const double l1 = VLength(u1), l2 = VLength(u2);
  if (!(l1 > 1e-6) || !(l2 > 1e-6)) return kCurveNotFound;
  VDivide(u1, l1);
  VDivide(u2, l2);
  const double c = VDot(u1, u2);
  if (c + 1.0 < 1e-9) return kCurveNotFound;
  // Tangent length r tan(turn / 2).
  const double k = std::sqrt(std::fmax(1.0 - c, 0.0) / (1.0 + c));
  double len = r * k, room = std::fmin(a * l1, b * l2);
  if (len > room) {
    len = room;
    r = len / k;
  }
  t1 = c1_.EndParam() - len / l1 * (c1_.EndParam() - c1_.StartParam());
  t2 = c2_.StartParam() + len / l2 * (c2_.EndParam() - c2_.StartParam());
  return kCurveOk;
}

int CLineLinePair::Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const {
  double p1[3], d1[3], p2[3], d2[3];
  if (c1_.LineData(p1, d1) != kCurveOk || c2_.LineData(p2, d2) != kCurveOk)
    return CCurvePair::Intersect(list1, list2, tol);
  const double l1 = VLength(d1), l2 = VLength(d2);
  if (!(l1 > 1e-9) || !(l2 > 1e-9)) return kCurveOk;
  double u1[3] = {d1[0] / l1, d1[1] / l1, d1[2] / l1}, u2[3] = {d2[0] / l2, d2[1] / l2, d2[2] / l2}, w[3];
  const double c = VDet(u1, u2, nullptr);
  if (!(std::fabs(c) > 1e-9)) return kCurveOk;
  Sub(p2, p1, w);
  double t1 = VDet(w, u2, nullptr) / (c * l1);
  double t2 = -VDet(u1, w, nullptr) / (c * l2);
  if (!c1_.NormalizeParam(t1) || !c2_.NormalizeParam(t2)) return kCurveOk;
  return Add(list1, list2, t1, t2);
}

int CLineCirclePair::Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const {
  double p[3], d[3], c[3], u[3], v[3];
  if (c1_.LineData(p, d) != kCurveOk || c2_.CircleData(c, u, v) != kCurveOk)
    return CCurvePair::Intersect(list1, list2, tol);
  const double dd = VDot(d, d);
  if (!(dd > 1e-18)) return kCurveOk;
  double n[3], cp[3], angles[2];
  VQuarterTurn(d, nullptr, n);
  Sub(c, p, cp);
  int count = 0;
  if (SolveCosSin(VDot(n, u), VDot(n, v), VDot(n, cp), count, angles) != kCurveOk) return kCurveOk;
  for (int i = 0; i < count; ++i) {
    double theta = angles[i], x[3], rel[3], foot[3];
    if (!c2_.NormalizeParam(theta) || c2_.Evaluate(theta, x) != kCurveOk) continue;
    Sub(x, p, rel);
    double s = VDot(rel, d) / dd;
    if (!c1_.NormalizeParam(s)) continue;
    for (int k = 0; k < 3; ++k) foot[k] = p[k] + s * d[k];
    if (VDistance(foot, x) >= tol) continue;
    int st = Add(list1, list2, s, theta);
    if (st != kCurveOk) return st;
  }
  return kCurveOk;
}

namespace {
struct CircleData {
  double c[3], u[3], v[3], r;
  // Parameter of the direction dir: U, V perpendicular and of one length.
  double AngleOf(const double dir[3]) const { return std::atan2(VDot(dir, v), VDot(dir, u)); }
};
bool TrueCircle(const CCurve& curve, CircleData& data) {
  if (curve.CircleData(data.c, data.u, data.v) != kCurveOk) return false;
  double lu = VLength(data.u), lv = VLength(data.v);
  data.r = std::fmax(lu, lv);
  return std::fabs(lu - lv) <= 1e-6 && std::fabs(VDot(data.u, data.v)) <= 1e-6 * data.r * data.r && data.r > 1e-9;
}
}  // namespace

int CCircleCirclePair::Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const {
  CircleData k1, k2;
  if (!TrueCircle(c1_, k1) || !TrueCircle(c2_, k2)) return CCurvePair::Intersect(list1, list2, tol);
  const CCurve* a = &c1_;
  const CCurve* b = &c2_;
  bool swapped = swapped_;
  if (k1.r > k2.r) {
    std::swap(a, b);
    std::swap(k1, k2);
    swapped = !swapped;
  }
  double cc[3];
  Sub(k2.c, k1.c, cc);
  const double d = VLength(cc);
  if (d <= 1e-6) return kCurveOk;
  const double f = d * d + k1.r * k1.r - k2.r * k2.r, g = 2.0 * d * k1.r;
  if (g < std::fabs(f)) return kCurveOk;
  const double ca = f / g;
  double alphas[2];
  int count = 1;
  if (std::fabs(ca) > 0.999999999) {
    alphas[0] = ca > 0.0 ? 0.0 : kPi;
  } else {
    alphas[0] = -std::acos(ca);
    alphas[1] = std::acos(ca);
    count = 2;
  }
  const double beta = k1.AngleOf(cc);
  for (int i = 0; i < count; ++i) {
    double theta = beta + alphas[i], x[3], rel[3];
    if (!a->NormalizeParam(theta) || a->Evaluate(theta, x) != kCurveOk) continue;
    Sub(x, k2.c, rel);
    double phi = k2.AngleOf(rel);
    if (!b->NormalizeParam(phi)) continue;
    int st = AddOrdered(list1, list2, theta, phi, swapped, *a, *b);
    if (st != kCurveOk) return st;
  }
  return kCurveOk;
}

int MakeCurvePair(const CCurve& c1, const CCurve& c2, bool allow_swap, CCurvePair*& pair) {
  const CCurve* a = &c1;
  const CCurve* b = &c2;
  int k1 = c1.Kind(), k2 = c2.Kind();
  bool swapped = false, generic = false;
  if (k2 < k1) {
    if (allow_swap) {
      std::swap(a, b);
      std::swap(k1, k2);
      swapped = true;
    } else {
      generic = true;
    }
  }
  CCurvePair* p;
  if (!generic && k1 == 0 && k2 == 0)
    p = new (std::nothrow) CLineLinePair(*a, *b, swapped);
  else if (!generic && k1 == 0 && k2 == 2)
    p = new (std::nothrow) CLineCirclePair(*a, *b, swapped);
  else if (!generic && k1 == 2 && k2 == 2)
    p = new (std::nothrow) CCircleCirclePair(*a, *b, swapped);
  else
    p = new (std::nothrow) CCurvePair(*a, *b, swapped);
  if (!p) return kCurveNoMemory;
  pair = p;
  return kCurveOk;
}

int IntersectCurves(const CCurve& c1, const CCurve& c2, CDoubleArray& list1, CDoubleArray& list2, double tol) {
  if (std::isnan(tol)) return kCurveBadArgument;
  CCurvePair* raw = nullptr;
  int st = MakeCurvePair(c1, c2, true, raw);
  if (st != kCurveOk) return st;
  std::unique_ptr<CCurvePair> pair(raw);
  st = pair->Intersect(list1, list2, tol);
  if (st != kCurveOk && st != kCurveNotFound) return st;
  // End points that touch the other curve.
  for (int pass = 0; pass < 2; ++pass) {
    const CCurve& from = pass == 0 ? c1 : c2;
    const CCurve& onto = pass == 0 ? c2 : c1;
    for (int end = 0; end < 2; ++end) {
      double p[3], foot[3], u = 0.0, d = 0.0;
      if ((end == 0 ? from.StartPoint(p) : from.EndPoint(p)) != kCurveOk) continue;
      if (onto.ClosestPoint(p, foot, u, d, 1e-9, kCurveNone) != kCurveOk || !(d < tol)) continue;
      double t = end == 0 ? from.StartParam() : from.EndParam();
      st = pass == 0 ? AddParamPair(list1, list2, t, u, &c1, &c2) : AddParamPair(list1, list2, u, t, &c1, &c2);
      if (st != kCurveOk) return st;
    }
  }
  return kCurveOk;
}

int CCurve::SelfIntersections(CDoubleArray& params, double tol) const {
  if (std::isnan(tol)) return kCurveBadArgument;
  tol = std::fmax(tol, 1e-9);
  CDoubleArray s;
  int st = SampleParams(s);
  if (st != kCurveOk) return st;
  CCurveIntersector it(*this, *this, 0.0);
  for (int i = 0; i < s.Count(); ++i)
    for (int j = 0; j < s.Count(); ++j) {
      if (i == j) continue;
      st = it.Solve(s[i], s[j], tol);
      if (st == kCurveNotFound) continue;
      if (st != kCurveOk) return st;
      if (std::fabs(it.t1 - it.t2) <= 1e-9) continue;
      int at = 0;
      if ((st = params.InsertUnique(it.t1, 1e-6, at)) != kCurveOk) return st;
      if ((st = params.InsertUnique(it.t2, 1e-6, at)) != kCurveOk) return st;
    }
  return kCurveOk;
}

void FoldIntersectionRange(double t, bool skip_zero, double& min_pos, double& max_pos, double& min_neg,
                           double& max_neg) {
  auto update = [skip_zero](double& extreme, double x, bool smaller) {
    if (skip_zero && std::fabs(extreme) <= 1e-9) return;
    if (smaller ? x < extreme : x > extreme) extreme = x;
  };
  update(t >= 0.0 ? min_pos : min_neg, t, true);
  update(t >= 0.0 ? max_pos : max_neg, t, false);
}

int CCurve::IntersectionRange(const CCurve& other, bool skip_zero, double& min_pos, double& max_pos,
                              double& min_neg, double& max_neg) const {
  CDoubleArray mine, theirs;
  int st = IntersectCurves(*this, other, mine, theirs, 1e-9);
  if (st != kCurveOk) return st;
  for (int i = 0; i < mine.Count(); ++i) FoldIntersectionRange(mine[i], skip_zero, min_pos, max_pos, min_neg, max_neg);
  return kCurveOk;
}
