// A small tour of what the kernel does so far: geometry values and transforms.
#include <qm_program.h>

#include <cstdio>
#include <string>

#include "geometry/as_pt.h"

int main(int argc, char** argv) {
  constexpr const char* kProgram = "quillmark_demo";
  constexpr const char* kUsage =
      "usage: quillmark_demo\n"
      "       quillmark_demo --help | --version\n"
      "  prints a few geometry values the kernel computes\n";
  if (argc > 1) {
    int status = 0;
    if (argc == 2 && qm_program_standard_option(argv[1], kProgram, kUsage, &status)) return status;
    const std::string arg = argv[1];
    return qm_program_usage_error(
        kProgram, kUsage,
        arg.size() > 1 && arg[0] == '-' ? qm_program_unknown_option(arg) : "unexpected argument '" + arg + "'");
  }
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
