// Root of the curve library and its status codes. Every object of the library
// is a CLibObject, made with new and deleted through the virtual destructor;
// every operation answers one of the int codes below (0 is success) and
// reports results through out-parameters. Nothing throws.
#pragma once

enum CurveStatus : int {
  kCurveOk = 0,
  kCurveNoMemory = 2,           // an allocation failed
  kCurveNotFound = 14,          // not found, no convergence, or an empty answer
  kCurveBadArgument = 2100,     // bad argument, too few points, empty range
  kCurveTooManyKnots = 2101,    // more than kMaxKnots knots
  kCurveBadKnots = 2102,        // degree outside 1..9, bad knot vector or count
  kCurveZeroVector = 2103,      // zero-length vector or derivative
  kCurveSingular = 2104,        // singular matrix, zero weight or denominator
  kCurveCurvature = 2105,       // curvature beyond a limit
  kCurveUnsupported = -1,       // not supported here, or a singular band system
};

constexpr int kMaxKnots = 1640;
constexpr int kMaxDegree = 9;
constexpr double kCurveNone = 1e30;  // no value, or infinity

class CLibObject {
 public:
  CLibObject() = default;
  virtual ~CLibObject() = default;
  CLibObject(const CLibObject&) = default;
  CLibObject& operator=(const CLibObject&) = default;
};

// Floor modulo: the index i folded into 0 .. n-1 for n > 0, for any sign of i.
inline int FoldIndex(int i, int n) {
  int r = i % n;
  return r < 0 ? r + n : r;
}
// Floor division, the companion of FoldIndex.
inline int FloorDiv(int i, int n) {
  int q = i / n;
  return (i % n != 0 && ((i < 0) != (n < 0))) ? q - 1 : q;
}
