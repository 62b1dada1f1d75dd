// The drawing of the file benchmarks: 1,000,000 lines, 40% chains of
// connected axis-aligned segments on a 0.5 mm grid, 20% rectangles, 20%
// hatch-like runs of parallel lines, 20% loose lines anywhere; the colour
// changes every 100 lines and the width now and then, so the attribute
// records appear as in real files.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>

#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"

namespace bench_file {

constexpr int kLines = 1000000;

inline void fill(MB_Drawing& d) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> grid(0, 4000);
  std::uniform_real_distribution<double> any(-5000.0, 5000.0);
  As_Pt at(0, 0, 0);
  for (int i = 0; i < kLines;) {
    const int group = (i / 1000) % 5;
    const int n = std::min(1000, kLines - i);
    for (int k = 0; k < n; ++k, ++i) {
      As_Pt a, b;
      if (group <= 1) {  // chains
        a = at;
        b = (k % 2) ? As_Pt(a.x(), a.y() + 0.5 * (grid(rng) % 40), 0) : As_Pt(a.x() + 0.5 * (grid(rng) % 40), a.y(), 0);
        at = b;
      } else if (group == 2) {  // rectangles
        const double x = 0.5 * grid(rng), y = 0.5 * grid(rng), w = 0.5 * (1 + grid(rng) % 60);
        const As_Pt c[4] = {As_Pt(x, y, 0), As_Pt(x + w, y, 0), As_Pt(x + w, y + w, 0), As_Pt(x, y + w, 0)};
        a = c[k % 4];
        b = c[(k + 1) % 4];
      } else if (group == 3) {  // hatching
        const double s = 0.25 * k;
        a = As_Pt(s * std::cos(0.7), s * std::sin(0.7) + 100, 0);
        b = As_Pt(a.x() + 30 * std::cos(0.7 + 1.5707963267948966), a.y() + 30 * std::sin(2.2707963267948966), 0);
      } else {  // loose lines
        a = As_Pt(any(rng), any(rng), 0);
        b = As_Pt(any(rng), any(rng), 0);
      }
      MB_Line* l = new MB_Line(a, b);
      l->general().color(int32_t(0x10000 * ((i / 100) % 7) + 0x40));
      if (i % 1000 == 0) l->general().width(0.25 * (1 + (i / 1000) % 3));
      d.object_list().add_tail(l);
    }
  }
}

}  // namespace bench_file
