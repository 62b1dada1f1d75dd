// Receivers and transformations of points for the curve library.
// CPointSink is what a tessellation feeds; CPointAccumulator collects the
// points into a malloc-ed array handed to the caller. CPointMap transforms
// points and vectors; CAffineMap is p -> M p + T.
#pragma once

#include "geometry/curves/lib_object.h"

class CPointSink : public CLibObject {
 public:
  // The point where the ray from p along dir leaves the box
  // [-32768, 32767]^2, added with parameter 0.
  virtual int AddDirection(const double p[3], const double dir[3]);
  virtual int AddPoint(const double p[3], double param) = 0;
  int AddPoint(const double p[3]) { return AddPoint(p, 0.0); }
  virtual bool HasPoints() const = 0;
};

class CPointAccumulator : public CPointSink {
 public:
  CPointAccumulator() = default;
  ~CPointAccumulator() override;
  CPointAccumulator(const CPointAccumulator&) = delete;
  CPointAccumulator& operator=(const CPointAccumulator&) = delete;

  int AddPoint(const double p[3], double param) override;
  using CPointSink::AddPoint;
  bool HasPoints() const override { return count_ > 0; }
  int Count() const { return count_; }
  // Room for n points in all, so that a known count is allocated once.
  int Reserve(int n);
  const double (*Points() const)[3] { return points_; }
  // Hands the array (free it with free) and its count to the caller and
  // empties the accumulator. A null output answers 2100; the points are
  // released then.
  int TakeResult(int* count, double (**points)[3]);

 private:
  int capacity_ = 0;
  int count_ = 0;
  double (*points_)[3] = nullptr;
};

class CPointMap : public CLibObject {
 public:
  virtual bool IsAffine() const { return false; }
  virtual void MapPoint(const double in[3], double out[3]) const = 0;
  virtual void MapVector(const double in[3], double out[3]) const = 0;
  void MapPoints(double (*points)[3], int count) const;
  // 2100 when the target holds fewer than count points.
  int MapPointsTo(const double (*in)[3], int count, double (*out)[3], int out_count) const;
};

class CAffineMap : public CPointMap {
 public:
  CAffineMap();  // the identity
  CAffineMap(const double m[3][3], const double t[3]);

  bool IsAffine() const override { return true; }
  void MapPoint(const double in[3], double out[3]) const override;
  void MapVector(const double in[3], double out[3]) const override;
  // 2104 when |det M| < 1e-9; out untouched then.
  int Inverse(CAffineMap& out) const;

 private:
  double m_[3][3];
  double t_[3];
};

// The library's shared static object; nothing depends on its contents.
CLibObject& CurveLibraryInstance();
