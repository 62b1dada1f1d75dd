#include "geometry/as_pt.h"

double resabs = 1e-6;
double resnor = 1e-10;
double resmch = 1e-10;
double resfit = 1e-3;
long CURVEINSUM_RUBBER = 10;

// k * 22.5 degrees, counter-clockwise from (1, 0, 0). A literal table, so it is
// ready before any other global's constructor runs.
const As_Pt unit_circle_pts[16] = {
    {1.0, 0.0, 0.0},
    {0.92387953251128674, 0.38268343236508978, 0.0},
    {0.70710678118654757, 0.70710678118654746, 0.0},
    {0.38268343236508984, 0.92387953251128674, 0.0},
    {0.0, 1.0, 0.0},
    {-0.38268343236508973, 0.92387953251128674, 0.0},
    {-0.70710678118654746, 0.70710678118654757, 0.0},
    {-0.92387953251128674, 0.38268343236508989, 0.0},
    {-1.0, 0.0, 0.0},
    {-0.92387953251128685, -0.38268343236508967, 0.0},
    {-0.70710678118654768, -0.70710678118654746, 0.0},
    {-0.38268343236509034, -0.92387953251128652, 0.0},
    {0.0, -1.0, 0.0},
    {0.38268343236509, -0.92387953251128663, 0.0},
    {0.70710678118654735, -0.70710678118654768, 0.0},
    {0.92387953251128652, -0.38268343236509039, 0.0},
};

void As_Uvec::assign(double x, double y, double z) {
  double len = std::sqrt(x * x + y * y + z * z);
  if (len >= resnor) {
    x_ = x / len;
    y_ = y / len;
    z_ = z / len;
  } else {
    x_ = y_ = z_ = 0.0;
  }
}

double As_Vec::max_norm(int& index) const {
  double ax = std::fabs(x_), ay = std::fabs(y_), az = std::fabs(z_);
  double best = ax;
  index = 0;
  if (ax <= ay) {
    best = ay;
    index = 1;
  }
  if (!(az < best)) {
    best = az;
    index = 2;
  }
  return best;
}

bool As_Vec::is_zero(double tol) const {
  if (x_ < -tol || x_ > tol || y_ < -tol || y_ > tol || z_ < -tol || z_ > tol) return false;
  return len_sq() <= tol * tol;
}

As_Uvec As_Vec::orthogonal() const { return As_Uvec::raw(0.0, 0.0, 1.0); }

As_Vec As_Vec::make_ortho() const {
  if (std::fabs(y_) > resabs || std::fabs(z_) > resabs) return *this * As_Vec(1.0, 0.0, 0.0);
  return *this * As_Vec(0.0, 1.0, 0.0);
}

As_Uvec normalise(const As_Vec& v) { return As_Uvec(v.x(), v.y(), v.z()); }

As_Pt interpolate(double t, const As_Pt& a, const As_Pt& b) {
  double s = 1.0 - t;
  return As_Pt(s * a.x() + t * b.x(), s * a.y() + t * b.y(), s * a.z() + t * b.z());
}

static bool same_xyz(const As_Xyz& a, const As_Xyz& b, double tol) {
  double dx = a.x() - b.x(), dy = a.y() - b.y(), dz = a.z() - b.z();
  if (std::fabs(dx) > tol || std::fabs(dy) > tol || std::fabs(dz) > tol) return false;
  return dx * dx + dy * dy + dz * dz <= tol * tol;
}

bool same_point(const As_Pt& a, const As_Pt& b, double tol) { return same_xyz(a, b, tol); }
bool same_vector(const As_Vec& a, const As_Vec& b, double tol) { return same_xyz(a, b, tol); }

namespace {

enum class Sense { kSame, kOpposite, kEither };

// The direction test shared by every overload: na and nb are the squared
// lengths (1 for a unit vector).
bool direction_test(const As_Xyz& a, const As_Xyz& b, double na, double nb, double tol, Sense sense) {
  double d = dot3(a, b);
  if (sense == Sense::kSame && !(d >= 0.0)) return false;
  if (sense == Sense::kOpposite && d > 0.0) return false;
  if (!(d * d >= 0.999 * na * nb)) return false;  // about 1.8 degrees, whatever tol is
  double c = cross3(a, b).len_sq();
  return c <= tol * tol * na * nb;
}

}  // namespace

bool parallel(const As_Vec& a, const As_Vec& b, double tol) { return direction_test(a, b, a % a, b % b, tol, Sense::kSame); }
bool parallel(const As_Uvec& a, const As_Vec& b, double tol) { return direction_test(a, b, 1.0, b % b, tol, Sense::kSame); }
bool parallel(const As_Uvec& a, const As_Uvec& b, double tol) { return direction_test(a, b, 1.0, 1.0, tol, Sense::kSame); }
bool antiparallel(const As_Vec& a, const As_Vec& b, double tol) { return direction_test(a, b, a % a, b % b, tol, Sense::kOpposite); }
bool antiparallel(const As_Uvec& a, const As_Vec& b, double tol) { return direction_test(a, b, 1.0, b % b, tol, Sense::kOpposite); }
bool antiparallel(const As_Uvec& a, const As_Uvec& b, double tol) { return direction_test(a, b, 1.0, 1.0, tol, Sense::kOpposite); }
bool biparallel(const As_Vec& a, const As_Vec& b, double tol) { return direction_test(a, b, a % a, b % b, tol, Sense::kEither); }
bool biparallel(const As_Uvec& a, const As_Vec& b, double tol) { return direction_test(a, b, 1.0, b % b, tol, Sense::kEither); }
bool biparallel(const As_Uvec& a, const As_Uvec& b, double tol) { return direction_test(a, b, 1.0, 1.0, tol, Sense::kEither); }

bool perpendicular(const As_Vec& a, const As_Vec& b, double tol) {
  double d = a % b;
  return d * d <= tol * tol * (a % a) * (b % b);
}
bool perpendicular(const As_Uvec& a, const As_Vec& b, double tol) {
  double d = a % b;
  return d * d <= tol * tol * (b % b);
}
bool perpendicular(const As_Uvec& a, const As_Uvec& b, double tol) { return std::fabs(a % b) <= tol; }
