// Our fit against an independent implementation: fixtures recorded from
// ezdxf's global B-spline interpolation with end derivatives (see
// make_ezdxf_fixtures.py). Control points and normalised knots must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "geometry/curves/spline_fit.h"
#include "tests/curves/ezdxf_fixtures.h"

namespace {

TEST(SplinePeer, MatchesEzdxfGlobalInterpolation) {
  for (const PeerFit& f : kPeerFits) {
    SCOPED_TRACE(f.n);
    double t0[3] = {f.t0[0], f.t0[1], f.t0[2]}, t1[3] = {f.t1[0], f.t1[1], f.t1[2]};
    CNURBS* raw = nullptr;
    auto* fit = reinterpret_cast<double(*)[3]>(const_cast<double*>(f.fit));
    ASSERT_EQ(GetFittingSpline(f.n, fit, 1e-5, t0, t1, 0, raw), kCurveOk);
    std::unique_ptr<CNURBS> c(raw);
    ASSERT_EQ(c->ControlCount(), f.control_count);
    double scale = 1.0;
    for (int i = 0; i < 3 * f.n; ++i) scale = std::fmax(scale, std::fabs(f.fit[i]));
    for (int i = 0; i < f.control_count; ++i) {
      double p[3];
      c->ControlPoint(i, p);
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], f.control[3 * i + k], 1e-11 * scale) << i;
    }
    const double length = c->EndParam();
    for (int i = 0; i < f.control_count + 4; ++i) EXPECT_NEAR(c->Knots()->KnotAt(i) / length, f.knots[i], 1e-14);
  }
}

}  // namespace
