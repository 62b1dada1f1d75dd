// The surface's ellipse outline and filled polygon.
//
// Ellipse: the two-region midpoint walk with integer decisions. The decision
// at each step is the ellipse function at the next midpoint plus a constant
// offset (from the rounding of the first value), so the walk's state at any
// column (region 1) or row (region 2) can be computed directly; stretches
// whose four mirrored points all lie outside the draw rectangle are jumped
// over that way. Everything is exact in 128-bit integers for any int box.
//
// Polygon: rings split where a point repeats its ring's first point, scan
// lines crossing the edges with rounding half away from zero, even-odd pairs
// filled, then every ring outlined. Only scan lines inside the draw
// rectangle are visited.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "surface/cmydc.h"

namespace {

using i128 = __int128;

// The smallest offset o >= from with c + o or c - o in [lo, hi); -1 if none.
int64_t next_visible_up(int64_t from, int64_t c, int64_t lo, int64_t hi) {
  int64_t best = -1;
  auto consider = [&](int64_t a, int64_t b) {  // offsets in [a, b]
    a = std::max(a, from);
    if (a <= b && (best < 0 || a < best)) best = a;
  };
  consider(lo - c, hi - 1 - c);
  consider(c - hi + 1, c - lo);
  return best;
}

// The largest offset o <= from, o >= 0, with c + o or c - o in [lo, hi); -1 if none.
int64_t next_visible_down(int64_t from, int64_t c, int64_t lo, int64_t hi) {
  int64_t best = -1;
  auto consider = [&](int64_t a, int64_t b) {
    b = std::min(b, from);
    a = std::max<int64_t>(a, 0);
    if (a <= b && b > best) best = b;
  };
  consider(lo - c, hi - 1 - c);
  consider(c - hi + 1, c - lo);
  return best;
}

struct EllipseWalk {
  i128 rx2, ry2;
  int64_t rx, ry;
  // 4 x the region-1 function at (x, y - 1/2) and at (x + 1, y - 1/2) style
  // points: 4 ry^2 x^2 + rx^2 (2y - 1)^2 - 4 rx^2 ry^2, summed so that no
  // partial sum leaves the 128-bit range.
  i128 f1(int64_t x, int64_t y) const {
    const i128 a = 4 * ry2 * i128(x) * x, c = 4 * rx2 * ry2, t = 2 * i128(y) - 1;
    return (a - c) + rx2 * t * t;
  }
  // 4 x the region-2 function at (x - 1/2, y): ry^2 (2x - 1)^2 + 4 rx^2 y^2 - 4 rx^2 ry^2.
  i128 f2(int64_t x, int64_t y) const {
    const i128 t = 2 * i128(x) - 1, c = 4 * rx2 * ry2;
    return (ry2 * t * t - c) + 4 * rx2 * i128(y) * y;
  }
  // Region 1: the row of the walk at column x (offset d1 of 4 x the decision).
  int64_t row_at(int64_t x, i128 off) const {
    const long double q = 1.0L - (static_cast<long double>(x) / rx) * (static_cast<long double>(x) / rx);
    int64_t y = static_cast<int64_t>(std::floor(0.5L + ry * std::sqrt(std::max(q, 0.0L))));
    y = std::min(std::max<int64_t>(y, 0), ry);
    while (y < ry && f1(x, y + 1) + off < 0) ++y;
    while (y > 0 && f1(x, y) + off >= 0) --y;
    return y;
  }
  // Region 2: the column of the walk at row y, not less than x_min.
  int64_t col_at(int64_t y, i128 off, int64_t x_min) const {
    const long double q = 1.0L - (static_cast<long double>(y) / ry) * (static_cast<long double>(y) / ry);
    int64_t x = static_cast<int64_t>(std::floor(0.5L + rx * std::sqrt(std::max(q, 0.0L))));
    x = std::min(std::max(x, x_min), std::max(rx, x_min));
    while (f2(x + 1, y) + off <= 0 && x < rx + 1) ++x;
    while (x > x_min && f2(x, y) + off > 0) --x;
    return x;
  }
};

}  // namespace

void CMyDC::EllipsePoints(int64_t cx, int64_t cy, int64_t x, int64_t y) {
  const int64_t xs[2] = {cx + x, cx - x}, ys[2] = {cy + y, cy - y};
  for (int64_t py : ys)
    for (int64_t px : xs)
      if (px >= m_draw.left && px < m_draw.right && py >= m_draw.top && py < m_draw.bottom)
        (this->*m_pixel)(static_cast<int>(px), static_cast<int>(py));
}

void CMyDC::Ellipse(int left, int top, int right, int bottom) {
  const int64_t L = m_draw.left, T = m_draw.top, R = m_draw.right, B = m_draw.bottom;
  if (L >= R || T >= B) return;
  const int64_t cx = (int64_t(left) + right) / 2, cy = (int64_t(top) + bottom) / 2;
  const int64_t rx = std::llabs(int64_t(left) - right) / 2, ry = std::llabs(int64_t(top) - bottom) / 2;
  if (cx + rx < L || cx - rx >= R || cy + ry < T || cy - ry >= B) return;
  EllipseWalk w{i128(rx) * rx, i128(ry) * ry, rx, ry};
  const i128 rx2 = w.rx2, ry2 = w.ry2;

  // Region 1: x steps by one, y when the decision is >= 0.
  int64_t x = 0, y = ry;
  i128 dx = 0, dy = 2 * rx2 * y;
  // First decision: ry^2 - rx^2 ry + rx^2 / 4 + 0.5, truncated.
  const i128 four_f0 = w.f1(1, ry);
  i128 d1 = (four_f0 + 2) / 4;
  const i128 off1 = 4 * d1 - four_f0;
  // Where region 1 ends: the first column whose row satisfies ry^2 x >= rx^2 y.
  int64_t x_end = -1;
  auto region1_end = [&]() {
    if (x_end >= 0) return x_end;
    int64_t lo = 0, hi = rx + 1;
    while (lo < hi) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (ry2 * mid >= rx2 * w.row_at(mid, off1)) hi = mid;
      else lo = mid + 1;
    }
    x_end = lo;
    return x_end;
  };
  while (dx < dy) {
    const int64_t nx = next_visible_up(x, cx, L, R);
    if (nx != x && x + 2 < region1_end()) {
      {
        int64_t target = nx < 0 ? region1_end() : std::min(nx, region1_end());
        if (target > x + 1) {
          x = target;
          y = w.row_at(x, off1);
          dx = 2 * ry2 * x;
          dy = 2 * rx2 * y;
          d1 = (w.f1(x + 1, y) + off1) / 4;
          continue;
        }
      }
    }
    EllipsePoints(cx, cy, x, y);
    if (d1 < 0) {
      ++x;
      dx += 2 * ry2;
      d1 += dx + ry2;
    } else {
      ++x;
      --y;
      dx += 2 * ry2;
      dy -= 2 * rx2;
      d1 += dx - dy + ry2;
    }
  }

  // Region 2: y steps by one, x when the decision is <= 0, down to y = 0.
  const int64_t x_start = x;
  const i128 four_g0 = w.f2(x + 1, y - 1);
  i128 d2 = (four_g0 + 2) / 4;
  const i128 off2 = 4 * d2 - four_g0;
  while (y >= 0) {
    const int64_t ny = next_visible_down(y, cy, T, B);
    if (ny < 0) break;
    if (ny < y - 1) {
      y = ny;
      x = std::max(x, w.col_at(y, off2, x_start));
      dx = 2 * ry2 * x;
      dy = 2 * rx2 * y;
      d2 = (w.f2(x + 1, y - 1) + off2) / 4;
      continue;
    }
    EllipsePoints(cx, cy, x, y);
    if (d2 > 0) {
      --y;
      dy -= 2 * rx2;
      d2 += rx2 - dy;
    } else {
      --y;
      ++x;
      dx += 2 * ry2;
      dy -= 2 * rx2;
      d2 += dx - dy + rx2;
    }
  }
}

namespace {

bool same(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

// A ring as a cycle of vertices without consecutive repeats or inner points
// of horizontal runs.
std::vector<POINT> work_list(const POINT* pts, int n) {
  std::vector<POINT> v;
  v.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    if (v.empty() || !same(v.back(), pts[i])) v.push_back(pts[i]);
  // Closed by its first point, or closed here: either way a cycle.
  while (v.size() > 1 && same(v.back(), v.front())) v.pop_back();
  bool changed = true;
  while (changed && v.size() >= 3) {
    changed = false;
    for (size_t i = 0; i < v.size() && v.size() >= 3; ++i) {
      const size_t k = v.size();
      const POINT& p = v[(i + k - 1) % k];
      const POINT& c = v[i];
      const POINT& q = v[(i + 1) % k];
      if (same(c, q) || (p.y == c.y && c.y == q.y)) {
        v.erase(v.begin() + static_cast<ptrdiff_t>(i));
        changed = true;
        --i;
      }
    }
  }
  return v;
}

int side(LONG v, int64_t y) { return v < y ? -1 : (v > y ? 1 : 0); }

// Crossings of one ring's edges with scan line y.
void crossings(const std::vector<POINT>& c, int64_t y, std::vector<int64_t>* xs) {
  const size_t k = c.size();
  for (size_t i = 0; i < k; ++i) {
    const POINT& p = c[(i + k - 1) % k];
    const POINT& a = c[i];
    const POINT& b = c[(i + 1) % k];
    const POINT& n = c[(i + 2) % k];
    if (a.y == y && b.y == y) {
      // On the line: its first end only when the boundary passes through.
      xs->push_back(a.x);
      if (side(p.y, y) * side(n.y, y) >= 0) xs->push_back(b.x);
      continue;
    }
    if (a.y == b.y) continue;
    if ((a.y < y && b.y < y) || (a.y > y && b.y > y)) continue;
    if (a.y == y) {
      // Through the start vertex: the previous edge counted it, unless the
      // vertex is a top or bottom (or starts a horizontal run, counted there).
      if (p.y == y || side(p.y, y) * side(b.y, y) < 0) continue;
      xs->push_back(a.x);
      continue;
    }
    if (b.y == y) {
      if (n.y == y) continue;
      xs->push_back(b.x);
      continue;
    }
    const double x = a.x + static_cast<double>(y - a.y) * (static_cast<double>(b.x) - a.x) /
                               (static_cast<double>(b.y) - a.y);
    xs->push_back(qm_trunc_to_int(std::round(x)));
  }
}

}  // namespace

void CMyDC::Polygon(POINT* points, int count, int fill, uint32_t color) {
  if (!points || count <= 0) return;
  try {
    // Rings: a later point equal to the ring's first closes it.
    std::vector<std::pair<int, int>> rings;  // first index, point count
    for (int start = 0; start < count;) {
      int end = start + 1;
      while (end < count && !same(points[end], points[start])) ++end;
      if (end < count) ++end;  // the closing point belongs to the ring
      rings.emplace_back(start, end - start);
      start = end;
    }
    int64_t ymin = std::min<int64_t>(points[0].y, m_draw.bottom), ymax = std::max<int64_t>(points[0].y, -1);
    for (int i = 0; i < count; ++i) {
      ymin = std::min<int64_t>(ymin, points[i].y);
      ymax = std::max<int64_t>(ymax, points[i].y);
    }
    std::vector<std::vector<POINT>> work;
    work.reserve(rings.size());
    for (const auto& r : rings) work.push_back(work_list(points + r.first, r.second));

    if (fill) {
      const uint32_t saved = m_value;
      if (color != 0xFFFFFFFFu) SetColor(color);
      // The first and last scan lines are left to the outline; lines outside
      // the draw rectangle would draw nothing.
      const int64_t y0 = std::max<int64_t>(ymin + 1, m_draw.top), y1 = std::min<int64_t>(ymax - 1, m_draw.bottom - 1);
      std::vector<int64_t> xs;
      for (int64_t y = y0; y <= y1; ++y) {
        xs.clear();
        for (const auto& c : work) crossings(c, y, &xs);
        if (xs.size() < 2) continue;
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
          if (xs[i + 1] + 1 < m_draw.left || xs[i] >= m_draw.right) continue;
          const int64_t s = std::max<int64_t>(xs[i], m_draw.left);
          const int64_t e = std::min<int64_t>(xs[i + 1] + 1, m_draw.right - 1);
          if (s < e) (this->*m_hline)(static_cast<int>(y), static_cast<int>(s), static_cast<int>(e));
        }
      }
      m_value = saved;
    }
    for (const auto& r : rings) {
      const POINT* p = points + r.first;
      for (int l = 1; l < r.second; ++l) Line(p[l - 1].x, p[l - 1].y, p[l].x, p[l].y);
      Line(p[0].x, p[0].y, p[r.second - 1].x, p[r.second - 1].y);
    }
  } catch (const std::bad_alloc&) {
    // Nothing is drawn when the work lists cannot be made.
  }
}
