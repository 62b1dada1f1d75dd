// The one cosmetic line algorithm of the code base, shared by the software GDI
// and the kernel's off-screen surface so that both colour the same pixels.
//
// A line from (x1, y1) to (x2, y2) colours its start pixel and not its end
// pixel. It is first clipped against a rectangle (right and bottom exclusive)
// in floating point, then walked with integer Bresenham in a canonical
// direction (y increasing, then x increasing), so that A->B and B->A colour
// the same pixels apart from the two ends. When the walk runs against the
// caller's direction, its first pixel is skipped and its last one drawn.
#pragma once

#include <cmath>
#include <cstdint>

struct QmLine {
  int x1, y1, x2, y2;  // walk from (x1, y1) to (x2, y2); x1 <= x2
  bool reversed;       // the walk runs from the caller's end to its start
};

// A double truncated toward zero, clamped to the int range first (NaN gives 0).
inline int qm_trunc_to_int(double v) {
  // One test for the usual case, whose truncation fits; NaN fails it too.
  if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int>(v);
  if (!(v == v)) return 0;
  return v > 0.0 ? 2147483647 : -2147483647 - 1;
}

// Clips the line to [left, right) x [top, bottom). False when nothing is left.
inline bool qm_clip_line(int x1, int y1, int x2, int y2, int left, int top, int right, int bottom,
                         QmLine* out) {
  if (left >= right || top >= bottom) return false;
  // Most lines lie wholly inside: they are only put in walking order (x
  // increasing, then y increasing), which is what the steps below come to
  // when no side cuts them.
  const uint64_t width = static_cast<uint64_t>(int64_t(right) - left);
  const uint64_t height = static_cast<uint64_t>(int64_t(bottom) - top);
  const bool inside_x = (static_cast<uint64_t>(int64_t(x1) - left) < width) &
                        (static_cast<uint64_t>(int64_t(x2) - left) < width);
  const bool inside_y = (static_cast<uint64_t>(int64_t(y1) - top) < height) &
                        (static_cast<uint64_t>(int64_t(y2) - top) < height);
  if (inside_x & inside_y) {
    const bool swap = x2 < x1 || (x2 == x1 && y2 < y1);
    out->x1 = swap ? x2 : x1;
    out->y1 = swap ? y2 : y1;
    out->x2 = swap ? x1 : x2;
    out->y2 = swap ? y1 : y2;
    out->reversed = swap;
    return true;
  }
  bool reversed = false;
  // Coordinates are carried in 64 bits: differences of two ints overflow int.
  int64_t ax = x1, ay = y1, bx = x2, by = y2, t;
  if (by < ay) {
    t = ax; ax = bx; bx = t;
    t = ay; ay = by; by = t;
    reversed = true;
  }
  if (by < top) return false;
  if (ay < top && ay != by) {
    ax += qm_trunc_to_int(static_cast<double>(top - ay) * static_cast<double>(bx - ax) /
                          static_cast<double>(by - ay));
    ay = top;
  }
  if (ay >= bottom) return false;
  if (by >= bottom && ay != by) {
    bx = qm_trunc_to_int(static_cast<double>(bottom - ay - 1) * static_cast<double>(bx - ax) /
                         static_cast<double>(by - ay)) + ax;
    by = bottom - 1;
  }
  if (bx < ax) {
    t = ax; ax = bx; bx = t;
    t = ay; ay = by; by = t;
    reversed = !reversed;
  }
  if (bx < left) return false;
  if (ax < left && ax != bx) {
    ay += qm_trunc_to_int(static_cast<double>(left - ax) * static_cast<double>(by - ay) /
                          static_cast<double>(bx - ax));
    ax = left;
  }
  if (ax >= right) return false;
  if (bx >= right && ax != bx) {
    by = qm_trunc_to_int(static_cast<double>(right - ax - 1) * static_cast<double>(by - ay) /
                         static_cast<double>(bx - ax)) + ay;
    bx = right - 1;
  }
  // Horizontal and vertical lines skip the interpolation above; keep their
  // fixed coordinate inside the rectangle as well.
  if (ay < top || ay >= bottom || by < top || by >= bottom) return false;
  out->x1 = static_cast<int>(ax);
  out->y1 = static_cast<int>(ay);
  out->x2 = static_cast<int>(bx);
  out->y2 = static_cast<int>(by);
  out->reversed = reversed;
  return true;
}

// Walks a clipped line. The cursor starts at (x1, y1) and offers plot() and
// step(x, y): one pixel right when x, one row on when y (y + 1 when
// y2 >= y1, else y - 1). The axis with the larger extent is the major one (x
// on ties); the decision value starts at -major, grows by 2 * minor per pixel
// and, when it reaches 0 or more, steps the minor axis as well and drops by
// 2 * major. Every step moves the major axis, and the decision is kept
// without branches: short lines of random slope would otherwise mispredict
// about every other pixel.
template <class Cursor>
inline void qm_walk_line(const QmLine& l, Cursor& c) {
  const int64_t dx = static_cast<int64_t>(l.x2) - l.x1;
  const int64_t dy_signed = static_cast<int64_t>(l.y2) - l.y1;
  const int64_t dy = dy_signed < 0 ? -dy_signed : dy_signed;
  const bool x_major = dx >= dy;
  const int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
  int64_t d = -major;
  const auto step = [&] {
    d += 2 * minor;
    const bool minor_too = d >= 0;
    d -= (2 * major) & -static_cast<int64_t>(minor_too);
    c.step(x_major || minor_too, !x_major || minor_too);
  };
  int64_t n = major;
  if (l.reversed && n > 0) step();
  for (; n > 0; --n) {
    c.plot();
    step();
  }
}
