// A small tour of what the kernel does so far: geometry values and transforms.
#include <cstdio>

#include "geometry/as_pt.h"

int main() {
  std::printf("Quillmark kernel demo\n\n");
  As_Pt a(1.0, 2.0, 0.0), b(4.0, 6.0, 0.0);
  As_Vec d = b - a;
  std::printf("distance from (1,2) to (4,6): %g\n", d.len());
  As_Uvec u = normalise(d);
  std::printf("direction: (%g, %g, %g)\n", u.x(), u.y(), u.z());
  As_Pt m = interpolate(0.5, a, b);
  std::printf("midpoint: (%g, %g)\n", m.x(), m.y());
  return 0;
}
