#include "geometry/curves/spline_fit.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "geometry/curves/band_matrix.h"
#include "geometry/curves/vector_ops.h"

Generate_Spline g_computer_spline;

int map_fit_status(int status) {
  switch (status) {
    case kCurveOk: return 0;
    case kCurveNoMemory: return -2;
    case kCurveBadArgument: return -1;
    case kCurveCurvature: return 933;
    default: return -3;
  }
}

namespace {

constexpr double kThird = 0.333333333333333;

bool IsTangent(const double* t) { return t && VLength(t) > 1e-9; }

bool IsFinite3(const double p[3]) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

// The clamped system of the open fit: u + 2 rows, half-bandwidth 2. Rows 0
// and u + 1 pin the end points, rows 1 and u hold the end conditions (a
// tangent, or zero second derivative), rows 2 .. u-1 interpolate Q1 ..
// Q(u-2) at their knots.
int BuildOpenSystem(const CKnotVector& kv, int u, bool has_start, bool has_end, CBandMatrix& m) {
  auto k = [&kv](int i) { return kv.KnotAt(i); };
  m.At(0, 0) = 1.0;
  if (has_start) {
    m.At(1, 0) = -1.0;
    m.At(1, 1) = 1.0;
  } else {
    double a = k(5) - k(3), b = k(4) - k(3), s = a + b;
    m.At(1, 0) = -a / s;
    m.At(1, 1) = 1.0;
    m.At(1, 2) = -b / s;
  }
  double basis[3][kMaxDegree + 1];
  for (int r = 2; r <= u - 1; ++r) {
    kv.Basis(r + 1, k(r + 2), 0, basis);
    for (int j = 0; j < 4; ++j) m.At(r, r - 2 + j) = basis[0][j];
  }
  if (has_end) {
    m.At(u, u) = 1.0;
    m.At(u, u + 1) = -1.0;
  } else {
    double a = k(u + 2) - k(u + 1), b = k(u + 2) - k(u), s = b + a;
    m.At(u, u - 1) = -a / s;
    m.At(u, u) = 1.0;
    m.At(u, u + 1) = -b / s;
  }
  m.At(u + 1, u + 1) = 1.0;
  return m.Factor();
}

}  // namespace

long GetFittingSpline(int n, double (*points)[3], double tolerance, double* const start_tangent,
                      double* const end_tangent, int closed, CNURBS*& curve) {
  curve = nullptr;
  if (n <= 0 || !points) return kCurveBadArgument;
  if (!(tolerance >= 1e-9)) tolerance = 1e-9;
  double t0[3] = {0, 0, 0}, t1[3] = {0, 0, 0};
  bool has_start = IsTangent(start_tangent), has_end = IsTangent(end_tangent);
  if (has_start) std::memcpy(t0, start_tangent, sizeof t0);
  if (has_end) std::memcpy(t1, end_tangent, sizeof t1);
  if ((has_start && !IsFinite3(t0)) || (has_end && !IsFinite3(t1))) return kCurveBadArgument;

  int st = kCurveOk;
  std::unique_ptr<CKnotVector> kv(new (std::nothrow) CKnotVector(3, n + 3 < kMaxKnots ? n + 3 : kMaxKnots, st));
  std::unique_ptr<CPointArray> pts(new (std::nothrow) CPointArray());
  if (!kv || !pts) return kCurveNoMemory;
  if (st != kCurveOk) return st;
  pts->SetGrowth(4);
  // The fit points and the two end rows: one allocation for the whole fit.
  if ((st = pts->Reserve(n + 2)) != kCurveOk) return st;

  // Chord-length parameters of the kept points.
  if (!IsFinite3(points[0])) return kCurveBadArgument;
  if ((st = kv->Append(0.0)) != kCurveOk || (st = pts->Append(points[0])) != kCurveOk) return st;
  const double* last = points[0];
  double param = 0.0;
  for (int i = 1; i < n; ++i) {
    if (!IsFinite3(points[i])) return kCurveBadArgument;
    double d = VDistance(last, points[i]);
    if (!(std::fabs(d) > tolerance)) continue;
    param += d;
    if ((st = kv->Append(param)) != kCurveOk || (st = pts->Append(points[i])) != kCurveOk) return st;
    last = points[i];
  }
  const int u = pts->Count();
  if (u < (closed ? 4 : 2)) return kCurveBadArgument;
  if (!std::isfinite(param)) return kCurveBadArgument;
  if (u + 2 > kMaxKnots) return kCurveTooManyKnots;

  // The last knot is the total chord length: it becomes the period.
  double total = (*kv)[u - 1];
  kv->RemoveAt(u - 1, 1);
  kv->SetPeriod(total);

  if (closed) {
    CNURBS* periodic = nullptr;
    if ((st = FitClosedCurve(*kv, *pts, periodic)) != kCurveOk) return st;
    double p[3], d[3];
    st = periodic->PointAndTangent(periodic->StartParam(), p, d);
    delete periodic;
    if (st != kCurveOk) return st;
    std::memcpy(t0, d, sizeof t0);
    std::memcpy(t1, d, sizeof t1);
    if (start_tangent) std::memcpy(start_tangent, d, sizeof d);
    if (end_tangent) std::memcpy(end_tangent, d, sizeof d);
    has_start = has_end = true;
  }

  if ((st = kv->InsertCopies(0.0, 0, 3)) != kCurveOk) return st;

  CBandMatrix m(u + 2, 2, st);
  if (st != kCurveOk) return st;
  if ((st = BuildOpenSystem(*kv, u, has_start, has_end, m)) != kCurveOk) return st;

  double sv[3] = {0, 0, 0}, ev[3] = {0, 0, 0};
  if (has_start) {
    double f = (kv->KnotAt(4) - kv->KnotAt(3)) * kThird;
    for (int c = 0; c < 3; ++c) sv[c] = t0[c] * f;
  }
  if (has_end) {
    double f = (kv->KnotAt(u + 2) - kv->KnotAt(u + 1)) * -kThird;
    for (int c = 0; c < 3; ++c) ev[c] = t1[c] * f;
  }
  if ((st = pts->InsertAt(sv, 1)) != kCurveOk || (st = pts->InsertAt(ev, u)) != kCurveOk) return st;
  if ((st = m.Solve(*pts, 0)) != kCurveOk) return st;

  return CNURBS::Make(kv.release(), pts.release(), curve);
}

int tessellate_fitted_curve(const CNURBS& curve, double tessellation, int* count, double (**points)[3]) {
  int st = kCurveOk;
  double a = 2.0 * tessellation * tessellation;
  int local_count = 0;
  if (!count) count = &local_count;
  if (!(std::fabs(a) > 1e-9) || !points) {
    st = kCurveBadArgument;
  } else {
    CPointAccumulator acc;
    const double tol = 1.0 / a;
    int expected = 0;
    st = curve.TessellationCount(curve.StartParam(), curve.EndParam(), tol, expected);
    if (st == kCurveOk) st = acc.Reserve(expected);
    if (st == kCurveOk) st = curve.Tessellate(tol, nullptr, acc);
    if (st == kCurveOk) st = acc.TakeResult(count, points);
  }
  if (st != kCurveOk) {
    if (points) {
      std::free(*points);
      *points = nullptr;
    }
    *count = 0;
  }
  return map_fit_status(st);
}

int gr_splinegen2(int, int n, double (*fit)[3], double tolerance, double* const start_tangent,
                  double* const end_tangent, int closed, double tessellation, int* tessellated_count,
                  double (**tessellated_points)[3], int* control_count, double (**control_points)[3],
                  int* knot_count, double** knots) {
  CNURBS* curve = nullptr;
  int st = static_cast<int>(GetFittingSpline(n, fit, tolerance, start_tangent, end_tangent, closed, curve));
  int result = map_fit_status(st);
  double(*cpts)[3] = nullptr;
  double* kts = nullptr;
  if (st == kCurveOk) {
    const int c = curve->ControlCount();
    if (control_count) *control_count = c;
    if (control_points) {
      cpts = static_cast<double(*)[3]>(std::malloc(sizeof(double[3]) * c));
      if (!cpts)
        st = kCurveNoMemory;
      else
        for (int i = 0; i < c; ++i) curve->ControlPoint(i, cpts[i]);
      *control_points = cpts;
    }
    if (knot_count) *knot_count = c + 4;
    if (st == kCurveOk && knots) {
      kts = static_cast<double*>(std::malloc(sizeof(double) * (c + 4)));
      if (!kts)
        st = kCurveNoMemory;
      else
        for (int i = 0; i < c + 4; ++i) kts[i] = curve->Knots()->KnotAt(i);
      *knots = kts;
    }
    result = map_fit_status(st);
    if (st == kCurveOk && tessellated_points)
      result = tessellate_fitted_curve(*curve, tessellation, tessellated_count, tessellated_points);
  }
  delete curve;
  if (result != 0) {
    std::free(cpts);
    std::free(kts);
    if (control_points) *control_points = nullptr;
    if (knots) *knots = nullptr;
    if (control_count) *control_count = 0;
    if (knot_count) *knot_count = 0;
  }
  return result;
}

Generate_Spline::Generate_Spline() = default;

Generate_Spline::Generate_Spline(int degree_, int count_, double tolerance_, double* const start_tangent_,
                                 double* const end_tangent_, int closed_, double tessellation_) {
  assign(degree_, count_, tolerance_, start_tangent_, end_tangent_, closed_, tessellation_);
}

Generate_Spline::~Generate_Spline() {
  delete[] fit_points;
  release_outputs();
}

void Generate_Spline::assign(int degree_, int count_, double tolerance_, double* const start_tangent_,
                             double* const end_tangent_, int closed_, double tessellation_) {
  degree = degree_;
  count = count_ > 0 ? count_ : 0;
  tolerance = tolerance_;
  for (int c = 0; c < 3; ++c) {
    start_tangent[c] = start_tangent_ ? start_tangent_[c] : 0.0;
    end_tangent[c] = end_tangent_ ? end_tangent_[c] : 0.0;
  }
  closed = closed_;
  tessellation = tessellation_;
  fit_points = nullptr;
  if (count > 0) {
    fit_points = new (std::nothrow) double[count][3]();
    if (!fit_points) count = 0;
  }
}

void Generate_Spline::release_outputs() {
  std::free(tessellated_points);
  std::free(control_points);
  std::free(knots);
  tessellated_points = nullptr;
  control_points = nullptr;
  knots = nullptr;
  tessellated_count = control_count = knot_count = 0;
}

void Generate_Spline::init(int degree_, int count_, double tolerance_, double* const start_tangent_,
                           double* const end_tangent_, int closed_, double tessellation_) {
  delete[] fit_points;
  fit_points = nullptr;
  release_outputs();
  assign(degree_, count_, tolerance_, start_tangent_, end_tangent_, closed_, tessellation_);
}

void Generate_Spline::generate() {
  if (count == 0) return;
  release_outputs();
  gr_splinegen2(degree, count, fit_points, tolerance, start_tangent, end_tangent, closed, tessellation,
                       &tessellated_count, &tessellated_points, &control_count, &control_points, &knot_count,
                       &knots);
}
