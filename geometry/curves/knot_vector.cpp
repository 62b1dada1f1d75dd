#include "geometry/curves/knot_vector.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {
constexpr double kKnotTol = 1e-9;
}

CKnotVector::CKnotVector(int degree, int capacity, int& status) : degree_(degree) {
  if (status != kCurveOk) return;
  if (capacity > kMaxKnots || degree < 1 || degree > kMaxDegree) {
    status = kCurveBadKnots;
    return;
  }
  status = Reserve(capacity);
}

CKnotVector::CKnotVector(const CKnotVector& other)
    : CDoubleArray(other), degree_(other.degree_), span_cache_(other.span_cache_), period_(other.period_) {}

CKnotVector& CKnotVector::operator=(const CKnotVector& other) {
  if (this == &other) return *this;
  CDoubleArray::operator=(other);
  degree_ = other.degree_;
  span_cache_ = other.span_cache_;
  period_ = other.period_;
  return *this;
}

CKnotVector::CKnotVector(const CKnotVector& source, double a, double b, int degree, int& status)
    : degree_(degree), period_(b - a) {
  if (degree < 1 || degree > kMaxDegree) {
    status = kCurveBadArgument;
    return;
  }
  for (int i = 0; i <= degree; ++i)
    if ((status = Append(a)) != kCurveOk) return;
  int span = 0;
  if ((status = source.FindSpan(a, span)) != kCurveOk) return;
  for (int i = span + 1, guard = 0; guard <= kMaxKnots; ++i, ++guard) {
    double k = source.KnotAt(i);
    if (k >= b - kKnotTol) break;
    if (k <= a) continue;
    if ((status = Append(k)) != kCurveOk) return;
  }
  status = Validate();
}

int CKnotVector::SetKnot(int i, double value) {
  if (i == count_ && count_ > 0) {
    period_ = value - items_[0];
    return kCurveOk;
  }
  if (i < 0 || i >= count_) return kCurveBadArgument;
  items_[i] = value;
  return kCurveOk;
}

double CKnotVector::Period() const {
  if (count_ == 0 || KnotAt(degree_) == items_[0]) return 0.0;
  return period_;
}

void CKnotVector::Range(double& start, double& end, double& period) const {
  start = count_ > 0 ? items_[0] : 0.0;
  end = start + period_;
  period = Period();
}

int CKnotVector::NormalizeParam(double& t, int& wraps) const {
  wraps = 0;
  if (count_ == 0) return kCurveBadKnots;
  double lo = items_[0], hi = items_[0] + period_;
  int steps = 0;
  double u = t;
  while (u >= hi) {
    if (period_ <= 0.0 || ++steps > 8) return kCurveUnsupported;
    u -= period_;
  }
  while (u < lo) {
    if (period_ <= 0.0 || --steps < -8) return kCurveUnsupported;
    u += period_;
  }
  t = u;
  wraps = steps * count_;
  return kCurveOk;
}

int CKnotVector::FindSpan(double t, int& span) const {
  if (count_ == 0) return kCurveBadKnots;
  int wraps = 0;
  if (IsPeriodic()) {
    int st = NormalizeParam(t, wraps);
    if (st != kCurveOk) return st;
  }
  int c = std::min(std::max(span_cache_, 0), count_ - 1);
  int s;
  if (t >= items_[c]) {
    if (c + 1 >= count_ || t < items_[c + 1])
      s = c;
    else if (c + 2 >= count_ || t < items_[c + 2])
      s = c + 1;
    else
      s = Span(t, c + 2, count_);
  } else if (c >= 1 && t >= items_[c - 1]) {
    s = c - 1;
  } else {
    s = Span(t, 0, c);
  }
  while (s < count_ - 1 && KnotAt(s) >= KnotAt(s + 1)) ++s;
  span_cache_ = s;
  span = s + wraps;
  return kCurveOk;
}

int CKnotVector::LocateKnot(double& t, int& first, int& last, int& multiplicity) const {
  int s = 0;
  int st = FindSpan(t, s);
  if (st != kCurveOk) return st;
  int at;
  if (std::fabs(t - KnotAt(s)) <= kKnotTol)
    at = s;
  else if (std::fabs(t - KnotAt(s + 1)) <= kKnotTol)
    at = s + 1;
  else {
    first = s;
    last = s + 1;
    multiplicity = 0;
    return kCurveOk;
  }
  double k = KnotAt(at);
  t = k;
  first = at;
  last = at + 1;
  for (int g = 0; g < count_ && std::fabs(KnotAt(first - 1) - k) <= kKnotTol; ++g) --first;
  for (int g = 0; g < count_ && KnotAt(last) == k; ++g) ++last;
  multiplicity = last - first;
  return kCurveOk;
}

int CKnotVector::InsertCopies(double value, int index, int n) {
  if (n < 0) return kCurveBadKnots;
  if (count_ + n > kMaxKnots) return kCurveTooManyKnots;
  if (index < 0 || index > count_) return kCurveBadArgument;
  int st = MakeRoom(index, n);
  if (st != kCurveOk) return st;
  for (int i = 0; i < n; ++i) items_[index + i] = value;
  return kCurveOk;
}

int CKnotVector::PrepareInsert(double& t, int k, int& index, int& n) {
  int first = 0, last = 0, mult = 0;
  int st = LocateKnot(t, first, last, mult);
  if (st != kCurveOk) return st;
  n = degree_ - mult - k;
  index = last;
  if (n < 1) {
    n = 0;
    return kCurveOk;
  }
  return InsertCopies(t, last, n);
}

int CKnotVector::RemoveAt(int first, int n) {
  if (count_ == 0 || n <= 0) return n <= 0 ? kCurveOk : kCurveBadArgument;
  first = FoldIndex(first, count_);
  n = std::min(n, count_);
  int head = std::min(n, count_ - first);
  int st = CDoubleArray::RemoveAt(first, head);
  if (st == kCurveOk && n > head) st = CDoubleArray::RemoveAt(0, n - head);
  span_cache_ = count_ > 0 ? count_ - 1 : 0;
  return st;
}

int CKnotVector::Reverse() {
  if (count_ == 0) return kCurveOk;
  double* r = new (std::nothrow) double[count_];
  if (!r) return kCurveNoMemory;
  double K = KnotAt(degree_ + count_);
  for (int i = 0; i < count_; ++i) r[i] = K - KnotAt(degree_ + count_ - i);
  std::copy(r, r + count_, items_);
  delete[] r;
  span_cache_ = count_ - 1;
  return kCurveOk;
}

int CKnotVector::Validate() {
  if (degree_ < 1 || degree_ > kMaxDegree || period_ < kKnotTol) return kCurveBadKnots;
  if (count_ < std::min(degree_, 3) || count_ > kMaxKnots) return kCurveBadKnots;
  int run_start = 0;
  for (int i = 1; i <= count_; ++i) {
    bool same = i < count_ && std::fabs(items_[i] - items_[run_start]) <= kKnotTol;
    if (same) {
      items_[i] = items_[run_start];
      continue;
    }
    // The run run_start .. i-1 ended.
    if (i - run_start > degree_ && i > degree_ + 1) return kCurveBadKnots;
    if (i < count_ && items_[i] < items_[i - 1]) return kCurveBadKnots;
    run_start = i;
  }
  if (items_[count_ - 1] > items_[0] + period_ - kKnotTol) return kCurveBadKnots;
  span_cache_ = count_ - 1;
  return kCurveOk;
}

int CKnotVector::BreakParams(double a, double b, int k, CDoubleArray*& out) const {
  out = new (std::nothrow) CDoubleArray();
  if (!out) return kCurveNoMemory;
  int st = kCurveOk;
  if (KnotAt(degree_) < a) st = out->Append(a);
  if (count_ > 0 && st == kCurveOk) {
    // First index at or after a, searching at most a few periods either way.
    const int limit = 10 * count_ + degree_;
    int i = 0;
    for (int g = 0; g < limit && KnotAt(i) >= a; ++g) --i;
    for (int g = 0; g < 2 * limit && KnotAt(i) < a; ++g) ++i;
    for (int g = 0; g < 2 * limit && st == kCurveOk; ++g) {
      double v = KnotAt(i);
      if (v > b || v < a) break;
      int run = 1;
      while (run <= limit && KnotAt(i + run) == v) ++run;
      if (run > degree_ - k) st = out->Append(v);
      i += run;
    }
  }
  if (st == kCurveOk && b > KnotAt(degree_) + period_) st = out->Append(b);
  if (st != kCurveOk) {
    delete out;
    out = nullptr;
  }
  return st;
}

void CKnotVector::Write(unsigned char*& cursor) const {
  WriteInt32(cursor, count_);
  WriteInt32(cursor, degree_);
  WriteDouble(cursor, period_);
  for (int i = 0; i < count_; ++i) WriteDouble(cursor, items_[i]);
}

namespace {

// The basis of CKnotVector::Basis for a degree P and an order O known when
// compiled (negative: the vector's degree, the order asked), so that the
// common cases run unrolled; the arithmetic is the same for all of them.
template <int P, int O>
void BasisOf(const CKnotVector& U, int span, double t, int order_asked, double out[3][kMaxDegree + 1]) {
  const int p = P >= 0 ? P : U.Degree();
  const int order = O >= 0 ? O : order_asked;
  double ndu[kMaxDegree + 1][kMaxDegree + 1];
  double left[kMaxDegree + 1], right[kMaxDegree + 1];
  ndu[0][0] = 1.0;
  for (int j = 1; j <= p; ++j) {
    left[j] = t - U.KnotAt(span + 1 - j);
    right[j] = U.KnotAt(span + j) - t;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      ndu[j][r] = right[r + 1] + left[j - r];
      double temp = ndu[j][r] != 0.0 ? ndu[r][j - 1] / ndu[j][r] : 0.0;
      ndu[r][j] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    ndu[j][j] = saved;
  }
  for (int j = 0; j <= p; ++j) out[0][j] = ndu[j][p];
  int n = std::min(order, 2);
  for (int k = p + 1; k <= n; ++k)
    for (int j = 0; j <= p; ++j) out[k][j] = 0.0;
  int nd = std::min(n, p);
  double a[2][kMaxDegree + 1];
  for (int r = 0; r <= p; ++r) {
    int s1 = 0, s2 = 1;
    a[0][0] = 1.0;
    for (int k = 1; k <= nd; ++k) {
      double d = 0.0;
      int rk = r - k, pk = p - k;
      if (r >= k) {
        double den = ndu[pk + 1][rk];
        a[s2][0] = den != 0.0 ? a[s1][0] / den : 0.0;
        d = a[s2][0] * ndu[rk][pk];
      }
      int j1 = rk >= -1 ? 1 : -rk;
      int j2 = (r - 1 <= pk) ? k - 1 : p - r;
      for (int j = j1; j <= j2; ++j) {
        double den = ndu[pk + 1][rk + j];
        a[s2][j] = den != 0.0 ? (a[s1][j] - a[s1][j - 1]) / den : 0.0;
        d += a[s2][j] * ndu[rk + j][pk];
      }
      if (r <= pk) {
        double den = ndu[pk + 1][r];
        a[s2][k] = den != 0.0 ? -a[s1][k - 1] / den : 0.0;
        d += a[s2][k] * ndu[r][pk];
      }
      out[k][r] = d;
      std::swap(s1, s2);
    }
  }
  double f = p;
  for (int k = 1; k <= nd; ++k) {
    for (int j = 0; j <= p; ++j) out[k][j] *= f;
    f *= (p - k);
  }
}

}  // namespace

void CKnotVector::Basis(int span, double t, int order, double out[3][kMaxDegree + 1]) const {
  if (degree_ == 3 && order == 2) return BasisOf<3, 2>(*this, span, t, order, out);
  if (degree_ == 3 && order == 1) return BasisOf<3, 1>(*this, span, t, order, out);
  if (degree_ == 3 && order == 0) return BasisOf<3, 0>(*this, span, t, order, out);
  if (degree_ == 2 && order == 2) return BasisOf<2, 2>(*this, span, t, order, out);
  BasisOf<-1, -1>(*this, span, t, order, out);
}
