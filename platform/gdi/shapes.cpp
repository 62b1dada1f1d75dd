// Closed shapes and paths: Polygon, Rectangle, Ellipse, Arc and the path
// calls (BeginPath ... StrokeAndFillPath).
//
// A shape is gathered into a Coverage first (outline pixels from the pen,
// inside pixels from the brush, the outline winning) and painted once, so a
// mix mode such as R2_NOTXORPEN sees every pixel one time and a second
// drawing restores the surface. Only rows and columns inside the surface are
// ever visited, however far outside the shape's coordinates lie.
//
// Pixel rules: a pixel is inside a polygon when its centre (x, y) is, with
// the left and top edges in and the right and bottom edges out; Rectangle
// and Ellipse exclude the right column and bottom row of their box, and with
// the null pen they fill one pixel less to the right and bottom.
#include "gdi_internal.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qmgdi {

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Crossing {
  double x;
  int dir;
};

// The surface window a set of figures can touch.
Coverage window_for(const Surface& s, const std::vector<Figure>& figs, int margin) {
  Box box;
  for (const Figure& f : figs)
    for (const POINT& p : f.pts) box.add(p.x, p.y);
  return coverage_window(s, box, margin);
}

int pen_margin(const Dc* dc) { return dc->pen && dc->pen->width > 1 ? dc->pen->width : 1; }

void add_span(Coverage* cov, int y, double xl, double xr, uint8_t c) {
  // Pixels whose centre lies in [xl, xr).
  const double a = std::ceil(xl), b = std::ceil(xr);
  const double lo = std::max<double>(a, cov->x0()), hi = std::min<double>(b, cov->x1());
  if (lo < hi) cov->mark_span(y, static_cast<int>(lo), static_cast<int>(hi), c);
}

// The ellipse inscribed in a box [l, r) x [t, b): centred between the pixel
// centres of the box's first and last column (row), with radii reaching the
// outer edges of those pixels; each row's pixels as a closed interval.
struct EllipseShape {
  double cx, cy, a, b;
  EllipseShape(int64_t l, int64_t t, int64_t r, int64_t bo)
      : cx(static_cast<double>(l + r - 1) / 2.0),
        cy(static_cast<double>(t + bo - 1) / 2.0),
        a(static_cast<double>(r - l) / 2.0),
        b(static_cast<double>(bo - t) / 2.0) {}
  bool row(int64_t y, double grow, int64_t* lo, int64_t* hi) const {
    const double eps = 1e-9;
    const double ra = a + grow, rb = b + grow, dy = static_cast<double>(y) - cy;
    if (ra < -eps || rb < -eps) return false;
    double hw;
    if (rb <= eps) {
      if (std::fabs(dy) > eps) return false;
      hw = std::max(ra, 0.0);
    } else {
      const double t = 1.0 - (dy / rb) * (dy / rb);
      if (t < -eps) return false;
      hw = std::max(ra, 0.0) * std::sqrt(std::max(0.0, t));
    }
    *lo = static_cast<int64_t>(std::ceil(cx - hw - eps));
    *hi = static_cast<int64_t>(std::floor(cx + hw + eps));
    return *lo <= *hi;
  }
};

// Marks an ellipse outline (filtered by keep) and, when fill, its inside.
template <class Keep>
void mark_ellipse(const EllipseShape& e, int width, bool outline, bool fill, Coverage* cov, Keep keep) {
  for (int y = cov->y0(); y < cov->y1(); ++y) {
    int64_t lo, hi;
    // The inside: pixels of the ellipse not on its outline.
    int64_t ilo = 1, ihi = 0;
    int64_t olo = 1, ohi = 0;
    if (!outline) {
      if (e.row(y, 0, &lo, &hi)) { ilo = lo; ihi = hi; }
    } else if (width <= 1) {
      if (e.row(y, 0, &lo, &hi)) {
        olo = lo; ohi = hi;
        int64_t ulo, uhi, dlo, dhi;
        if (e.row(y - 1, 0, &ulo, &uhi) && e.row(y + 1, 0, &dlo, &dhi)) {
          ilo = std::max({lo + 1, ulo, dlo});
          ihi = std::min({hi - 1, uhi, dhi});
        }
      }
    } else {
      const double half = (width - 1) / 2.0;
      if (e.row(y, half, &lo, &hi)) { olo = lo; ohi = hi; }
      if (e.row(y, -half - 1, &lo, &hi)) { ilo = lo; ihi = hi; }
    }
    if (fill && ilo <= ihi)
      cov->mark_span(y, static_cast<int>(std::max<int64_t>(ilo, cov->x0())),
                     static_cast<int>(std::min<int64_t>(ihi + 1, cov->x1())), Coverage::kFill);
    if (olo > ohi) continue;
    const int64_t x0 = std::max<int64_t>(olo, cov->x0()), x1 = std::min<int64_t>(ohi, cov->x1() - 1);
    for (int64_t x = x0; x <= x1; ++x)
      if ((x < ilo || x > ihi) && keep(static_cast<int>(x), y)) cov->mark(static_cast<int>(x), y, Coverage::kPen);
  }
}

// The window of a box [l, r) x [t, b).
Coverage box_window(const Surface& s, int64_t l, int64_t t, int64_t r, int64_t b, int margin) {
  Box box;
  box.add(l, t);
  box.add(r - 1, b - 1);
  return coverage_window(s, box, margin);
}

void normalize(int64_t& l, int64_t& t, int64_t& r, int64_t& b) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
}

bool brush_fills(const Dc* dc) { return dc->brush && dc->brush->style == BS_SOLID; }

void paint(Dc* dc, const Coverage& cov) {
  Surface& s = *dc->target();
  Painter p(s, dc->rop2);
  const uint32_t fill = brush_fills(dc) ? s.from_rgb(dc->brush->color) : 0;
  const uint32_t pen = dc->pen ? s.from_rgb(dc->pen->color) : 0;
  cov.paint(p, fill, s.from_rgb(dc->bk_color), pen);
}

}  // namespace

void mark_fill(const std::vector<Figure>& figs, int fill_mode, Coverage* cov) {
  std::vector<Crossing> xs;
  for (int y = cov->y0(); y < cov->y1(); ++y) {
    xs.clear();
    for (const Figure& f : figs) {
      const size_t n = f.pts.size();
      for (size_t i = 0; i < n && n > 1; ++i) {
        const POINT& a = f.pts[i];
        const POINT& b = f.pts[(i + 1) % n];
        if (a.y == b.y) continue;
        const int64_t ymin = std::min(a.y, b.y), ymax = std::max(a.y, b.y);
        if (y < ymin || y >= ymax) continue;
        // In doubles: a row minus a vertex at the end of the int range
        // overflows int.
        const double x = a.x + (static_cast<double>(y) - a.y) * (static_cast<double>(b.x) - a.x) /
                                   (static_cast<double>(b.y) - a.y);
        xs.push_back(Crossing{x, b.y > a.y ? 1 : -1});
      }
    }
    if (xs.size() < 2) continue;
    std::sort(xs.begin(), xs.end(), [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
    if (fill_mode == WINDING) {
      int wind = 0;
      for (size_t i = 0; i + 1 < xs.size(); ++i) {
        wind += xs[i].dir;
        if (wind != 0) add_span(cov, y, xs[i].x, xs[i + 1].x, Coverage::kFill);
      }
    } else {
      for (size_t i = 0; i + 1 < xs.size(); i += 2) add_span(cov, y, xs[i].x, xs[i + 1].x, Coverage::kFill);
    }
  }
}

void draw_figures(Dc* dc, const std::vector<Figure>& figs, bool stroke, bool fill) {
  Surface* s = dc->target();
  if (!s) return;
  Coverage cov = window_for(*s, figs, pen_margin(dc));
  if (cov.empty()) return;
  if (fill && brush_fills(dc)) mark_fill(figs, dc->fill_mode, &cov);
  if (stroke && pen_draws(dc))
    for (const Figure& f : figs) mark_pen_polyline(dc, f.pts.data(), f.pts.size(), f.closed, &cov);
  paint(dc, cov);
}

}  // namespace qmgdi

using namespace qmgdi;

namespace {

// A closed figure: added to the path being recorded, else outlined and filled.
BOOL closed_figure(Dc* dc, std::vector<POINT> pts) {
  std::vector<Figure> figs(1);
  figs[0].pts = std::move(pts);
  figs[0].closed = true;
  if (dc->path_state == 1) dc->path.push_back(std::move(figs[0]));
  else draw_figures(dc, figs, true, true);
  return TRUE;
}

}  // namespace

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  Dc* dc = find_dc(hdc);
  if (!dc || !points || count < 2) return FALSE;
  return closed_figure(dc, std::vector<POINT>(points, points + count));
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = find_dc(hdc);
  if (!dc) return FALSE;
  int64_t l = left, t = top, r = right, b = bottom;
  normalize(l, t, r, b);
  if (r - l < 1 || b - t < 1) return TRUE;
  // The outline runs through the pixel centres of the box's last column and
  // row, so the fill rule leaves those out.
  auto c = [](int64_t v) { return static_cast<LONG>(std::max<int64_t>(std::min<int64_t>(v, INT32_MAX), INT32_MIN)); };
  return closed_figure(dc, {{c(l), c(t)}, {c(r - 1), c(t)}, {c(r - 1), c(b - 1)}, {c(l), c(b - 1)}});
}

namespace {

// Marks and paints the ellipse of a box [l, r) x [t, b), its outline pixels
// filtered by keep(x, y).
template <class Keep>
void draw_ellipse(Dc* dc, int64_t l, int64_t t, int64_t r, int64_t b, bool outline, bool fill, Keep keep) {
  if (r - l < 1 || b - t < 1) return;
  Coverage cov = box_window(*dc->target(), l, t, r, b, outline ? pen_margin(dc) : 0);
  if (cov.empty()) return;
  mark_ellipse(EllipseShape(l, t, r, b), dc->pen ? dc->pen->width : 1, outline, fill, &cov, keep);
  paint(dc, cov);
}

}  // namespace

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = find_dc(hdc);
  if (!dc || dc->path_state == 1) return FALSE;
  int64_t l = left, t = top, r = right, b = bottom;
  normalize(l, t, r, b);
  const bool outline = pen_draws(dc);
  if (!outline) {
    --r;
    --b;
  }
  draw_ellipse(dc, l, t, r, b, outline, brush_fills(dc), [](int, int) { return true; });
  return TRUE;
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int x_start, int y_start, int x_end, int y_end) {
  Dc* dc = find_dc(hdc);
  if (!dc || dc->path_state == 1) return FALSE;
  int64_t l = left, t = top, r = right, b = bottom;
  normalize(l, t, r, b);
  if (!pen_draws(dc)) return TRUE;
  const EllipseShape e(l, t, r, b);
  // Angles as seen on screen (y up), from the centre to each radial point.
  auto angle = [&e](double x, double y) { return std::atan2(e.cy - y, x - e.cx); };
  const double a0 = angle(x_start, y_start), a1 = angle(x_end, y_end);
  const bool ccw = dc->arc_dir == AD_COUNTERCLOCKWISE;
  auto wrap = [](double v) {
    v = std::fmod(v, kTwoPi);
    return v < 0 ? v + kTwoPi : v;
  };
  const double sweep = ccw ? wrap(a1 - a0) : wrap(a0 - a1);
  const bool full = sweep == 0.0;
  draw_ellipse(dc, l, t, r, b, true, false, [&](int x, int y) {
    if (full) return true;
    const double a = angle(x, y);
    return (ccw ? wrap(a - a0) : wrap(a0 - a)) <= sweep + 1e-9;
  });
  return TRUE;
}

namespace {

// Drops any path and enters a path state (0 none, 1 recording).
BOOL reset_path(HDC hdc, int state) {
  Dc* dc = find_dc(hdc);
  if (!dc) return FALSE;
  dc->path.clear();
  dc->path_state = state;
  return TRUE;
}

}  // namespace

BOOL BeginPath(HDC hdc) { return reset_path(hdc, 1); }

BOOL EndPath(HDC hdc) {
  Dc* dc = find_dc(hdc);
  if (!dc || dc->path_state != 1) return FALSE;
  // A figure of one point (a lone MoveToEx) draws nothing.
  dc->path.erase(std::remove_if(dc->path.begin(), dc->path.end(), [](const Figure& f) { return f.pts.size() < 2; }),
                 dc->path.end());
  dc->path_state = 2;
  return TRUE;
}

BOOL AbortPath(HDC hdc) { return reset_path(hdc, 0); }

BOOL CloseFigure(HDC hdc) {
  Dc* dc = find_dc(hdc);
  if (!dc || dc->path_state != 1 || dc->path.empty()) return FALSE;
  dc->path.back().closed = true;
  return TRUE;
}

namespace {

BOOL finish_path(HDC hdc, bool stroke, bool fill) {
  Dc* dc = find_dc(hdc);
  if (!dc || dc->path_state != 2) return FALSE;
  std::vector<Figure> figs;
  figs.swap(dc->path);
  dc->path_state = 0;
  // Filling closes every figure.
  if (fill)
    for (Figure& f : figs) f.closed = true;
  draw_figures(dc, figs, stroke, fill);
  return TRUE;
}

}  // namespace

BOOL StrokePath(HDC hdc) { return finish_path(hdc, true, false); }
BOOL FillPath(HDC hdc) { return finish_path(hdc, false, true); }
BOOL StrokeAndFillPath(HDC hdc) { return finish_path(hdc, true, true); }
