#include "geometry/curves/point_sink.h"

#include <cmath>
#include <cstdlib>

#include "geometry/curves/vector_ops.h"

int CPointSink::AddDirection(const double p[3], const double dir[3]) {
  double s = 1e300;
  for (int c = 0; c < 2; ++c) {
    double r = 32767.0;
    if (std::fabs(dir[c]) > 1e-9) r = ((dir[c] >= 0.0 ? 32767.0 : -32768.0) - p[c]) / dir[c];
    if (r < s) s = r;
  }
  double q[3] = {p[0] + s * dir[0], p[1] + s * dir[1], p[2] + s * dir[2]};
  return AddPoint(q, 0.0);
}

CPointAccumulator::~CPointAccumulator() { std::free(points_); }

int CPointAccumulator::Reserve(int n) {
  if (n <= capacity_) return kCurveOk;
  void* block = std::realloc(points_, sizeof(double[3]) * n);
  if (!block) return kCurveNoMemory;
  points_ = static_cast<double(*)[3]>(block);
  capacity_ = n;
  return kCurveOk;
}

int CPointAccumulator::AddPoint(const double p[3], double) {
  if (count_ == capacity_) {
    int st = Reserve(capacity_ + 20);
    if (st != kCurveOk) return st;
  }
  points_[count_][0] = p[0];
  points_[count_][1] = p[1];
  points_[count_][2] = p[2];
  ++count_;
  return kCurveOk;
}

int CPointAccumulator::TakeResult(int* count, double (**points)[3]) {
  int status = kCurveOk;
  if (!count || !points) {
    std::free(points_);
    status = kCurveBadArgument;
  } else {
    *count = count_;
    *points = points_;
  }
  points_ = nullptr;
  count_ = capacity_ = 0;
  return status;
}

void CPointMap::MapPoints(double (*points)[3], int count) const {
  for (int i = 0; i < count; ++i) {
    double q[3];
    MapPoint(points[i], q);
    points[i][0] = q[0];
    points[i][1] = q[1];
    points[i][2] = q[2];
  }
}

int CPointMap::MapPointsTo(const double (*in)[3], int count, double (*out)[3], int out_count) const {
  if (out_count < count) return kCurveBadArgument;
  for (int i = 0; i < count; ++i) MapPoint(in[i], out[i]);
  return kCurveOk;
}

CAffineMap::CAffineMap() : m_{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, t_{0, 0, 0} {}

CAffineMap::CAffineMap(const double m[3][3], const double t[3]) {
  for (int i = 0; i < 3; ++i) {
    t_[i] = t[i];
    for (int j = 0; j < 3; ++j) m_[i][j] = m[i][j];
  }
}

void CAffineMap::MapVector(const double in[3], double out[3]) const {
  double r[3];
  for (int i = 0; i < 3; ++i) r[i] = m_[i][0] * in[0] + m_[i][1] * in[1] + m_[i][2] * in[2];
  out[0] = r[0];
  out[1] = r[1];
  out[2] = r[2];
}

void CAffineMap::MapPoint(const double in[3], double out[3]) const {
  MapVector(in, out);
  out[0] += t_[0];
  out[1] += t_[1];
  out[2] += t_[2];
}

int CAffineMap::Inverse(CAffineMap& out) const {
  double inv[3][3];
  int st = Inverse3(m_, inv);
  if (st != kCurveOk) return st;
  CAffineMap r(inv, t_);
  double t[3];
  r.MapVector(t_, t);
  for (int i = 0; i < 3; ++i) r.t_[i] = -t[i];
  out = r;
  return kCurveOk;
}

CLibObject& CurveLibraryInstance() {
  static CLibObject instance;
  return instance;
}
