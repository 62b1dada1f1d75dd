#!/usr/bin/python3
"""Records reference fits from ezdxf for test_spline_peer.cpp.

Fits random point sets (fixed seed) with ezdxf's global B-spline
interpolation with end derivatives (chord-length parameters, natural knots)
and writes the fit points, end tangents, control points and knots as a C++
table. Our fit takes tangents as derivatives by chord length; ezdxf takes
them by the normalised parameter, so they are scaled by the total chord
length here.

Run with the system Python (Debian package python3-ezdxf):
    /usr/bin/python3 tests/curves/make_ezdxf_fixtures.py > tests/curves/ezdxf_fixtures.h
"""
import math
import random

import ezdxf
from ezdxf.math import Vec3, global_bspline_interpolation


def case(rng, n, planar):
    pts = []
    x = 0.0
    for _ in range(n):
        x += rng.uniform(0.5, 3.0)
        pts.append(Vec3(x, rng.uniform(-4.0, 4.0), 0.0 if planar else rng.uniform(-2.0, 2.0)))
    t0 = Vec3(rng.uniform(-1, 1), rng.uniform(-1, 1), 0.0 if planar else rng.uniform(-1, 1))
    t1 = Vec3(rng.uniform(-1, 1), rng.uniform(-1, 1), 0.0 if planar else rng.uniform(-1, 1))
    total = sum(a.distance(b) for a, b in zip(pts, pts[1:]))
    spline = global_bspline_interpolation(pts, degree=3, tangents=(t0 * total, t1 * total), method="chord")
    return pts, t0, t1, list(spline.control_points), list(spline.knots())


def fmt(values):
    return ", ".join(repr(float(v)) for v in values)


def main():
    rng = random.Random(20261210)
    sizes = [(2, True), (3, True), (4, False), (5, True), (8, False), (13, True), (30, False)]
    cases = [case(rng, n, planar) for n, planar in sizes]
    print("// Reference fits recorded from ezdxf %s by make_ezdxf_fixtures.py;" % ezdxf.__version__)
    print("// regenerate with that script, do not edit.")
    print("#pragma once")
    print()
    print("struct PeerFit {")
    print("  int n;")
    print("  const double* fit;       // n points, x y z")
    print("  double t0[3], t1[3];     // end derivatives by chord length")
    print("  int control_count;")
    print("  const double* control;   // control_count points")
    print("  const double* knots;     // control_count + 4 knots, normalised to [0, 1]")
    print("};")
    print()
    for i, (pts, t0, t1, cps, knots) in enumerate(cases):
        print("static const double kPeerFit%d[] = {%s};" % (i, fmt(c for p in pts for c in p)))
        print("static const double kPeerControl%d[] = {%s};" % (i, fmt(c for p in cps for c in p)))
        print("static const double kPeerKnots%d[] = {%s};" % (i, fmt(knots)))
    print()
    print("static const PeerFit kPeerFits[] = {")
    for i, (pts, t0, t1, cps, knots) in enumerate(cases):
        print("    {%d, kPeerFit%d, {%s}, {%s}, %d, kPeerControl%d, kPeerKnots%d}," %
              (len(pts), i, fmt(t0), fmt(t1), len(cps), i, i))
    print("};")


if __name__ == "__main__":
    main()
