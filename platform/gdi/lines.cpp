// Lines with pens: the current position, LineTo, Polyline, PolylineTo and
// PolyBezier, cosmetic dash styles and wide pens.
//
// Cosmetic pens (width 0 or 1) draw with the shared line algorithm of
// qm_raster.h: start pixel in, end pixel out, so the segments of a polyline
// meet without touching a vertex twice. Dash styles run 18/6 (dash), 3/3
// (dot), 9/6/3/6 and 9/3/3/3/3/3 pixels, measured along the major axis from
// the first point and carried from segment to segment; gaps take the
// background colour in OPAQUE mode. Wide pens (width > 1) draw solid with
// round ends and joins, every pixel of one call once.
#include "gdi_internal.h"

#include <qm_raster.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qmgdi {

namespace {

struct DashPattern {
  int count;
  int runs[6];
  int period;
};

const DashPattern* dash_of(UINT style) {
  static const DashPattern kDash = {2, {18, 6}, 24};
  static const DashPattern kDot = {2, {3, 3}, 6};
  static const DashPattern kDashDot = {4, {9, 6, 3, 6}, 24};
  static const DashPattern kDashDotDot = {6, {9, 3, 3, 3, 3, 3}, 24};
  switch (style) {
    case PS_DASH: return &kDash;
    case PS_DOT: return &kDot;
    case PS_DASHDOT: return &kDashDot;
    case PS_DASHDOTDOT: return &kDashDotDot;
    default: return nullptr;
  }
}

bool dash_on(const DashPattern* d, int64_t pos) {
  int64_t k = pos % d->period;
  for (int i = 0; i < d->count; ++i) {
    if (k < d->runs[i]) return (i & 1) == 0;
    k -= d->runs[i];
  }
  return false;
}

bool wide(const Dc* dc) { return dc->pen->width > 1; }

// What a cosmetic line does with each pixel it walks: kPen, kGap or nothing.
struct StyleState {
  const DashPattern* dash;
  bool opaque;
  int64_t base;  // pattern position at the caller's start point
  int sx, sy;    // the caller's start point
  uint8_t at(int x, int y) const {
    if (!dash) return Coverage::kPen;
    const int64_t along = std::max(std::llabs(int64_t(x) - sx), std::llabs(int64_t(y) - sy));
    if (dash_on(dash, base + along)) return Coverage::kPen;
    return opaque ? Coverage::kGap : Coverage::kNone;
  }
};

struct PaintCursor {
  Painter& p;
  const StyleState& st;
  uint32_t pen, gap;
  int x, y, dy;
  void plot() {
    const uint8_t c = st.at(x, y);
    if (c == Coverage::kPen) p.pixel(x, y, pen);
    else if (c == Coverage::kGap) p.pixel(x, y, gap);
  }
  void step(bool right, bool row) {
    x += right;
    y += row ? dy : 0;
  }
};

// The common case, a solid pen copied onto 32-bit pixels: the same pixels
// as PaintCursor, without its per-pixel dispatch (pages at printer
// resolution have millions of them).
struct SolidCursor32 {
  const Surface& s;
  uint32_t pen;
  int x, y, dy;
  void plot() {
    if (!s.contains(x, y)) return;
    uint8_t* px = s.row(y) + 4 * static_cast<ptrdiff_t>(x);
    uint32_t old;
    std::memcpy(&old, px, 4);
    const uint32_t v = (old & ~s.value_mask) | (pen & s.value_mask);
    std::memcpy(px, &v, 4);
  }
  void step(bool right, bool row) {
    x += right;
    y += row ? dy : 0;
  }
};

struct MarkCursor {
  Coverage& cov;
  const StyleState& st;
  int x, y, dy;
  void plot() {
    const uint8_t c = st.at(x, y);
    if (c != Coverage::kNone) cov.mark(x, y, c);
  }
  void step(bool right, bool row) {
    x += right;
    y += row ? dy : 0;
  }
};

// Lines clip to one pixel beyond the surface, so that the end a clip makes
// (which is left out like any end) never falls on a visible pixel; plotting
// skips the ring of pixels outside.
bool clip_to_surface(const Surface& s, int x1, int y1, int x2, int y2, QmLine* l) {
  return qm_clip_line(x1, y1, x2, y2, -1, -1, s.width + 1, s.height + 1, l);
}

int64_t major_length(int x1, int y1, int x2, int y2) {
  return std::max(std::llabs(int64_t(x2) - x1), std::llabs(int64_t(y2) - y1));
}

StyleState style_for(const Dc* dc, int x, int y, int64_t base) {
  return StyleState{dash_of(dc->pen->style), dc->bk_mode == OPAQUE, base, x, y};
}

// Marks the pixels within half the pen width of a segment (round ends).
void mark_capsule(Coverage& cov, double ax, double ay, double bx, double by, double r) {
  const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
  const double eps = 1e-9;
  int64_t y0 = static_cast<int64_t>(std::floor(std::min(ay, by) - r));
  int64_t y1 = static_cast<int64_t>(std::ceil(std::max(ay, by) + r));
  y0 = std::max<int64_t>(y0, cov.y0());
  y1 = std::min<int64_t>(y1, cov.y1() - 1);
  for (int64_t yi = y0; yi <= y1; ++yi) {
    const double y = static_cast<double>(yi);
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    auto disk = [&](double cx, double cy) {
      const double h2 = r * r - (y - cy) * (y - cy);
      if (h2 < -eps) return;
      const double h = std::sqrt(std::max(0.0, h2));
      lo = std::min(lo, cx - h);
      hi = std::max(hi, cx + h);
    };
    disk(ax, ay);
    disk(bx, by);
    if (len > 0) {
      // The band: projection within the segment and distance within r.
      double blo = -HUGE_VAL, bhi = HUGE_VAL;
      const double ry = y - ay;
      auto clamp_to = [&](double c0, double c1, double coef) {
        // c0 <= (x - ax) * coef + k <= c1, for k already moved into c0, c1.
        if (coef == 0) {
          if (c0 > eps || c1 < -eps) { blo = HUGE_VAL; bhi = -HUGE_VAL; }
          return;
        }
        double u = c0 / coef, v = c1 / coef;
        if (u > v) std::swap(u, v);
        blo = std::max(blo, ax + u);
        bhi = std::min(bhi, ax + v);
      };
      clamp_to(-ry * dy, len2 - ry * dy, dx);
      clamp_to(ry * dx - r * len, ry * dx + r * len, dy);
      if (blo <= bhi) {
        lo = std::min(lo, blo);
        hi = std::max(hi, bhi);
      }
    }
    if (lo > hi) continue;
    const double xa = std::ceil(lo - eps), xb = std::floor(hi + eps);
    if (xb < cov.x0() || xa >= cov.x1()) continue;
    cov.mark_span(static_cast<int>(yi), static_cast<int>(std::max<double>(xa, cov.x0())),
                  static_cast<int>(std::min<double>(xb + 1, cov.x1())), Coverage::kPen);
  }
}

void mark_wide_polyline(const Dc* dc, const POINT* pts, size_t n, bool closed, Coverage* cov) {
  const double r = dc->pen->width / 2.0;
  // Even widths sit half a pixel up and left of the path.
  const double shift = (dc->pen->width % 2 == 0) ? -0.5 : 0.0;
  for (size_t i = 0; i + 1 < n || (closed && i < n && n > 1); ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % n];
    mark_capsule(*cov, a.x + shift, a.y + shift, b.x + shift, b.y + shift, r);
  }
  if (n == 1) mark_capsule(*cov, pts[0].x + shift, pts[0].y + shift, pts[0].x + shift, pts[0].y + shift, r);
}

// The surface window a polyline can touch.
Coverage coverage_for(const Surface& s, const POINT* pts, size_t n, int margin) {
  Box box;
  for (size_t i = 0; i < n; ++i) box.add(pts[i].x, pts[i].y);
  return coverage_window(s, box, margin);
}

// One cosmetic line walked into a coverage, its pattern starting at base.
void mark_cosmetic(const Dc* dc, const Surface& s, int x1, int y1, int x2, int y2, int64_t base, Coverage* cov) {
  QmLine l;
  if (!clip_to_surface(s, x1, y1, x2, y2, &l)) return;
  const StyleState st = style_for(dc, x1, y1, base);
  MarkCursor c{*cov, st, l.x1, l.y1, l.y2 >= l.y1 ? 1 : -1};
  qm_walk_line(l, c);
}

}  // namespace

bool pen_draws(const Dc* dc) { return dc->pen && dc->pen->style != PS_NULL; }

void draw_pen_line(Dc* dc, int x1, int y1, int x2, int y2) {
  Surface* s = dc->target();
  if (!pen_draws(dc) || !s) return;
  const int64_t base = dc->style_pos;
  dc->style_pos = static_cast<int>((base + major_length(x1, y1, x2, y2)) % 24);
  Painter p(*s, dc->rop2);
  const uint32_t pen = s->from_rgb(dc->pen->color);
  if (wide(dc)) {
    const POINT pts[2] = {{x1, y1}, {x2, y2}};
    Coverage cov = coverage_for(*s, pts, 2, dc->pen->width);
    mark_wide_polyline(dc, pts, 2, false, &cov);
    cov.paint(p, 0, 0, pen);
    return;
  }
  QmLine l;
  if (!clip_to_surface(*s, x1, y1, x2, y2, &l)) return;
  const StyleState st = style_for(dc, x1, y1, base);
  if (!st.dash && dc->rop2 == R2_COPYPEN && s->bpp == 32) {
    SolidCursor32 c{*s, pen, l.x1, l.y1, l.y2 >= l.y1 ? 1 : -1};
    qm_walk_line(l, c);
    return;
  }
  PaintCursor c{p, st, pen, s->from_rgb(dc->bk_color), l.x1, l.y1, l.y2 >= l.y1 ? 1 : -1};
  qm_walk_line(l, c);
}

void mark_pen_polyline(Dc* dc, const POINT* pts, size_t n, bool closed, Coverage* cov) {
  Surface* s = dc->target();
  if (!pen_draws(dc) || !s || n == 0) return;
  if (wide(dc)) {
    mark_wide_polyline(dc, pts, n, closed, cov);
    return;
  }
  int64_t base = 0;
  const size_t segments = closed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % n];
    mark_cosmetic(dc, *s, a.x, a.y, b.x, b.y, base, cov);
    base += major_length(a.x, a.y, b.x, b.y);
  }
}

void flatten_beziers(const POINT* pts, size_t n, std::vector<POINT>* out) {
  struct P { double x, y; };
  auto emit = [out](P p) {
    POINT q{qm_trunc_to_int(std::floor(p.x + 0.5)), qm_trunc_to_int(std::floor(p.y + 0.5))};
    if (out->empty() || out->back().x != q.x || out->back().y != q.y) out->push_back(q);
  };
  // Subdivides until the control points lie within a quarter pixel of the
  // chord, at most 2^10 pieces per curve.
  struct Rec {
    static void go(P a, P b, P c, P d, int depth, const decltype(emit)& put) {
      const double ux = d.x - a.x, uy = d.y - a.y, len = std::sqrt(ux * ux + uy * uy);
      auto dist = [&](P p) {
        if (len == 0) return std::hypot(p.x - a.x, p.y - a.y);
        return std::fabs((p.x - a.x) * uy - (p.y - a.y) * ux) / len;
      };
      if (depth >= 10 || (dist(b) <= 0.25 && dist(c) <= 0.25)) {
        put(d);
        return;
      }
      const P ab{(a.x + b.x) / 2, (a.y + b.y) / 2}, bc{(b.x + c.x) / 2, (b.y + c.y) / 2},
          cd{(c.x + d.x) / 2, (c.y + d.y) / 2};
      const P abc{(ab.x + bc.x) / 2, (ab.y + bc.y) / 2}, bcd{(bc.x + cd.x) / 2, (bc.y + cd.y) / 2};
      const P m{(abc.x + bcd.x) / 2, (abc.y + bcd.y) / 2};
      go(a, ab, abc, m, depth + 1, put);
      go(m, bcd, cd, d, depth + 1, put);
    }
  };
  if (n < 4) return;
  emit(P{double(pts[0].x), double(pts[0].y)});
  for (size_t i = 0; i + 3 < n; i += 3) {
    auto p = [&](size_t k) { return P{double(pts[k].x), double(pts[k].y)}; };
    Rec::go(p(i), p(i + 1), p(i + 2), p(i + 3), 0, emit);
  }
}

// Draws an open polyline with the pen: segment by segment for cosmetic pens
// (the pattern carried along), as one set of pixels for wide pens.
void draw_polyline(Dc* dc, const POINT* pts, size_t n) {
  Surface* s = dc->target();
  if (!pen_draws(dc) || !s || n < 2) return;
  if (wide(dc)) {
    Painter p(*s, dc->rop2);
    Coverage cov = coverage_for(*s, pts, n, dc->pen->width);
    mark_wide_polyline(dc, pts, n, false, &cov);
    cov.paint(p, 0, 0, s->from_rgb(dc->pen->color));
    return;
  }
  for (size_t i = 0; i + 1 < n; ++i) draw_pen_line(dc, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y);
}

}  // namespace qmgdi

using namespace qmgdi;

namespace {

// While a path is recorded, drawing calls add to it instead of drawing.
Figure& current_figure(Dc* dc) {
  if (dc->path.empty() || dc->path.back().closed) {
    dc->path.push_back(Figure{});
    dc->path.back().pts.push_back(dc->pos);
  }
  return dc->path.back();
}

void start_figure(Dc* dc, const POINT& p) {
  if (!dc->path.empty() && dc->path.back().pts.size() < 2 && !dc->path.back().closed) dc->path.pop_back();
  dc->path.push_back(Figure{});
  dc->path.back().pts.push_back(p);
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
  Dc* dc = find_dc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->pos;
  dc->pos = POINT{x, y};
  dc->style_pos = 0;
  if (dc->path_state == 1) start_figure(dc, dc->pos);
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  Dc* dc = find_dc(hdc);
  if (!dc) return FALSE;
  if (dc->path_state == 1) current_figure(dc).pts.push_back(POINT{x, y});
  else draw_pen_line(dc, dc->pos.x, dc->pos.y, x, y);
  dc->pos = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
  Dc* dc = find_dc(hdc);
  if (!dc || !points || count < 2) return FALSE;
  if (dc->path_state == 1) {
    start_figure(dc, points[0]);
    dc->path.back().pts.assign(points, points + count);
    return TRUE;
  }
  const int saved = dc->style_pos;
  dc->style_pos = 0;
  draw_polyline(dc, points, static_cast<size_t>(count));
  dc->style_pos = saved;
  return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count) {
  Dc* dc = find_dc(hdc);
  if (!dc || !points || count == 0) return FALSE;
  if (dc->path_state == 1) {
    Figure& f = current_figure(dc);
    f.pts.insert(f.pts.end(), points, points + count);
  } else {
    std::vector<POINT> pts;
    pts.reserve(count + 1);
    pts.push_back(dc->pos);
    pts.insert(pts.end(), points, points + count);
    draw_polyline(dc, pts.data(), pts.size());
  }
  dc->pos = points[count - 1];
  return TRUE;
}

BOOL PolyBezier(HDC hdc, const POINT* points, DWORD count) {
  Dc* dc = find_dc(hdc);
  if (!dc || !points || count < 4 || (count - 1) % 3 != 0) return FALSE;
  std::vector<POINT> flat;
  flatten_beziers(points, count, &flat);
  if (dc->path_state == 1) {
    start_figure(dc, flat[0]);
    dc->path.back().pts = flat;
    return TRUE;
  }
  const int saved = dc->style_pos;
  dc->style_pos = 0;
  draw_polyline(dc, flat.data(), flat.size());
  dc->style_pos = saved;
  return TRUE;
}
