// The flat drawing primitives: thin GDI call sequences over truncated
// device coordinates.
#include "surface/api_draw.h"

#include <qm_raster.h>

#include <cmath>
#include <vector>

namespace {

// An int offset from an int, clamped instead of overflowing.
int add(int v, int64_t d) {
  const int64_t r = static_cast<int64_t>(v) + d;
  return r > INT32_MAX ? INT32_MAX : (r < INT32_MIN ? INT32_MIN : static_cast<int>(r));
}

void stroke(HDC hdc, int x1, int y1, int x2, int y2) {
  MoveToEx(hdc, x1, y1, nullptr);
  LineTo(hdc, x2, y2);
}

const double kKappa = 0.5522847498308;

// Draws a figure, or when filled makes it a path that is stroked with the
// pen and filled with the brush.
template <class Draw>
void draw_or_fill(HDC hdc, int filled, Draw draw) {
  if (!filled) {
    draw();
    return;
  }
  BeginPath(hdc);
  draw();
  EndPath(hdc);
  StrokeAndFillPath(hdc);
}

}  // namespace

void api_mb_draw_point(HDC hdc, As_Pt pos, int style, int size, int filled) {
  const int x = qm_trunc_to_int(pos.x()), y = qm_trunc_to_int(pos.y());
  const int64_t s = size;
  switch (style) {
    case 0:
      if (filled) {
        Rectangle(hdc, add(x, -s), add(y, -s), add(x, s), add(y, s));
      } else {
        MoveToEx(hdc, add(x, -s), add(y, -s), nullptr);
        LineTo(hdc, add(x, s), add(y, -s));
        LineTo(hdc, add(x, s), add(y, s));
        LineTo(hdc, add(x, -s), add(y, s));
        LineTo(hdc, add(x, -s), add(y, -s));
      }
      break;
    case 1:
      if (size == 3 && !filled) {
        stroke(hdc, add(x, -1), add(y, -2), add(x, 2), add(y, -2));
        stroke(hdc, add(x, -1), add(y, 2), add(x, 2), add(y, 2));
        stroke(hdc, add(x, -2), add(y, -1), add(x, -2), add(y, 2));
        stroke(hdc, add(x, 2), add(y, -1), add(x, 2), add(y, 2));
      } else if (size == 3) {
        stroke(hdc, add(x, -1), add(y, -2), add(x, 2), add(y, -2));
        stroke(hdc, add(x, -2), add(y, -1), add(x, 3), add(y, -1));
        stroke(hdc, add(x, -2), y, add(x, 3), y);
        stroke(hdc, add(x, -2), add(y, 1), add(x, 3), add(y, 1));
        stroke(hdc, add(x, -1), add(y, 2), add(x, 2), add(y, 2));
      } else if (filled) {
        Ellipse(hdc, add(x, -s), add(y, -s), add(x, s), add(y, s));
      }
      break;
    case 2:
      // One pixel further out at the far ends, which LineTo leaves out.
      stroke(hdc, x, add(y, -s), x, add(y, s + 1));
      stroke(hdc, add(x, -s), y, add(x, s + 1), y);
      break;
    case 3:
      stroke(hdc, add(x, -s), add(y, -s), add(x, s + 1), add(y, s + 1));
      stroke(hdc, add(x, -s), add(y, s), add(x, s + 1), add(y, -s - 1));
      break;
    default:
      break;
  }
}

void api_mb_draw_rect(HDC hdc, As_Pt corner1, As_Pt corner2, double, int filled) {
  const int x1 = qm_trunc_to_int(corner1.x()), y1 = qm_trunc_to_int(corner1.y());
  const int x2 = qm_trunc_to_int(corner2.x()), y2 = qm_trunc_to_int(corner2.y());
  const POINT pts[5] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
  draw_or_fill(hdc, filled, [&] { Polyline(hdc, pts, 5); });
}

void api_mb_draw_triangle(HDC hdc, As_Pt p1, As_Pt p2, As_Pt p3, int filled) {
  const POINT pts[4] = {{qm_trunc_to_int(p1.x()), qm_trunc_to_int(p1.y())},
                        {qm_trunc_to_int(p2.x()), qm_trunc_to_int(p2.y())},
                        {qm_trunc_to_int(p3.x()), qm_trunc_to_int(p3.y())},
                        {qm_trunc_to_int(p1.x()), qm_trunc_to_int(p1.y())}};
  if (filled) Polygon(hdc, pts, 4);
  else Polyline(hdc, pts, 4);
}

void api_mb_draw_ellipse(HDC hdc, As_Pt centre, double radius_x, double radius_y, double rotation, int filled) {
  const double ox = qm_trunc_to_int(radius_x * kKappa), oy = qm_trunc_to_int(radius_y * kKappa);
  const double cx = qm_trunc_to_int(centre.x()), cy = qm_trunc_to_int(centre.y());
  const double left = qm_trunc_to_int(cx - radius_x), top = qm_trunc_to_int(cy - radius_y);
  const double right = qm_trunc_to_int(cx + radius_x), bottom = qm_trunc_to_int(cy + radius_y);
  const double ctrl[13][2] = {{left, cy},         {left, cy - oy},    {cx - ox, top},     {cx, top},
                              {cx + ox, top},     {right, cy - oy},   {right, cy},        {right, cy + oy},
                              {cx + ox, bottom},  {cx, bottom},       {cx - ox, bottom},  {left, cy + oy},
                              {left, cy}};
  // The angle 2 pi - rotation, reduced to [0, 2 pi): rotation 0 turns by
  // exactly nothing, so the control points keep their integer values.
  const double theta = std::fmod(two_pi - rotation, two_pi);
  const double c = std::cos(theta), s = std::sin(theta);
  POINT pts[13];
  for (int i = 0; i < 13; ++i) {
    const double dx = ctrl[i][0] - cx, dy = ctrl[i][1] - cy;
    pts[i].x = qm_trunc_to_int(cx + dx * c + dy * s);
    pts[i].y = qm_trunc_to_int(cy + dx * s - dy * c);
  }
  draw_or_fill(hdc, filled, [&] { PolyBezier(hdc, pts, 13); });
}

void api_mb_draw_ellipse(HDC hdc, As_Pt centre, double radius_x, double radius_y, double start, double end,
                         double rotation) {
  if (start == end) {
    api_mb_draw_ellipse(hdc, centre, radius_x, radius_y, rotation, 0);
    return;
  }
  const double s = start - rotation, e = end - rotation;
  const double span = s < e ? e - s : e + two_pi - s;
  const double step = span / 63;
  const As_Tran turn = rotate_transf(rotation, As_Vec(0, 0, 1));
  // 1 / r^2 of the ellipse at angle t; a zero radius contributes nothing
  // along the axis it does not reach (a flat ellipse is a segment).
  auto term = [](double trig, double radius) { return trig == 0 ? 0.0 : trig * trig / (radius * radius); };
  POINT pts[64];
  for (int i = 0; i < 64; ++i) {
    const double t = s + i * step;
    const double ct = std::cos(t), st = std::sin(t);
    const double inv = term(st, radius_y) + term(ct, radius_x);
    const double r = inv > 0 && std::isfinite(inv) ? std::sqrt(1 / inv) : 0.0;
    const As_Pt q = As_Pt(r * ct, r * st, 0) * turn;
    pts[i].x = qm_trunc_to_int(centre.x() + q.x());
    pts[i].y = qm_trunc_to_int(centre.y() + q.y());
  }
  Polyline(hdc, pts, 64);
}

void api_mb_draw_ellipse_ex(HDC hdc, As_Pt centre, double radius_x, double radius_y, double rotation, double start,
                            double end, As_Tran transform) {
  if (!std::isfinite(start) || !std::isfinite(end)) return;
  if (start > end) start -= two_pi;
  // At most one full turn: 99 steps and the end point.
  if (end - start > two_pi) start = end - two_pi;
  const double step = two_pi / 99;
  const double cr = std::cos(rotation), sr = std::sin(rotation);
  auto point = [&](double t) {
    const double ex = std::cos(t) * radius_x, ey = std::sin(t) * radius_y;
    const As_Pt p = As_Pt(centre.x() + cr * ex - sr * ey, centre.y() + sr * ex + cr * ey, centre.z()) * transform;
    return POINT{qm_trunc_to_int(p.x()), qm_trunc_to_int(p.y())};
  };
  std::vector<POINT> pts;
  pts.reserve(101);
  for (int i = 0; i < 100; ++i) {
    const double t = start + i * step;
    if (!(t < end)) break;
    pts.push_back(point(t));
  }
  pts.push_back(point(end));
  Polyline(hdc, pts.data(), static_cast<int>(pts.size()));
}

void draw_gdi_circle(HDC hdc, double x, double y, double radius, int filled) {
  // The box reaches radius pixels on each side of the centre pixel; its
  // right and bottom edges are exclusive.
  const int cx = qm_trunc_to_int(x), cy = qm_trunc_to_int(y), r = qm_trunc_to_int(std::fabs(radius));
  const int l = add(cx, -int64_t(r)), t = add(cy, -int64_t(r));
  const int rr = add(cx, int64_t(r) + 1), b = add(cy, int64_t(r) + 1);
  if (filled) Ellipse(hdc, l, t, rr, b);
  else Arc(hdc, l, t, rr, b, rr, cy, rr, cy);
}
