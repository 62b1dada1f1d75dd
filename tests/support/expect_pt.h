// Checks a point's x and y against expected values within a tolerance; any
// point type with x() and y() will do.
#pragma once

#include <gtest/gtest.h>

template <class Point>
void expect_pt(const Point& p, double x, double y, double tol = 1e-9) {
  EXPECT_NEAR(p.x(), x, tol);
  EXPECT_NEAR(p.y(), y, tol);
}
