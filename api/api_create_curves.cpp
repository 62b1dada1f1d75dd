// Flat API for the curved entities.
#include "api/api_create_curves.h"

#include <cmath>

#include "api/api_append.h"
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_curve_util.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_polyline.h"
#include "database/mb_drawing.h"
#include "geometry/as_pt_list.h"
#include "geometry/geom_algo.h"

namespace {

intptr_t built_and_appended(MB_Drawable* e) { return api_appended(e, true); }

}  // namespace

intptr_t api_mb_create_circle(double x, double y, double radius) {
  if (!g_current_drawing) return 0;
  return built_and_appended(new MB_Circle(As_Pt(x, y, 0.0), radius));
}

intptr_t api_mb_create_arc(const double* centre, double radius, double start_angle, double end_angle) {
  if (!centre || !g_current_drawing) return 0;
  return built_and_appended(new MB_Arc(As_Pt(centre), radius, start_angle, end_angle));
}

intptr_t api_mb_create_ellipse(As_Pt& centre, double major, double minor, double angle) {
  if (!g_current_drawing) return 0;
  return built_and_appended(new MB_Ellipse(centre, major, minor, angle));
}

intptr_t api_mb_create_ellipse_arc(As_Pt& centre, double major, double minor, double angle, double start,
                                   double end) {
  if (!g_current_drawing) return 0;
  return built_and_appended(new MB_Ellipse_Arc(centre, major, minor, angle, start, end));
}

intptr_t api_mb_create_bspline(const As_Pt* points, int count, double sx, double sy, double sz, double ex,
                               double ey, double ez) {
  if (!points || count <= 1 || !g_current_drawing) return 0;
  MB_Bspline* s = new MB_Bspline(count, count);
  for (int i = 0; i < count; ++i) s->fitpts().points()[i] = points[i];
  s->starttangent(sx, sy, sz);
  s->endtangent(ex, ey, ez);
  return built_and_appended(s);
}

bool api_mb_create_polyline(MB_Polyline*& pline, int n, bool closed) {
  if (!g_current_drawing || n < 1 || n > static_cast<int>(MB_Polyline::kMaxCount)) return false;
  pline = api_mb_create_polyline(n);
  pline->closed(closed);
  api_appended(pline, false);
  return true;
}

intptr_t api_mb_create_polyline(int count, As_Pt* points, double* start_widths, double* end_widths,
                                double* bulges, int closed) {
  if (!points || !start_widths || !end_widths || !bulges || !g_current_drawing) return 0;
  if (count < 1 || count > static_cast<int>(MB_Polyline::kMaxCount)) return 0;
  MB_Polyline* p = api_mb_create_polyline(count);
  for (int i = 0; i < count; ++i) {
    MB_Pline_Pos& v = p->pline_pos()[i];
    v.point = points[i];
    v.bulge = bulges[i];
    v.start_width = start_widths[i];
    v.end_width = end_widths[i];
  }
  p->closed(closed == 1);
  return built_and_appended(p);
}

bool api_mb_set_pline_pos(MB_Polyline*& pline, int index, double x, double y, double z) {
  if (!pline || index < 0 || index >= pline->count()) return false;
  pline->pline_pos()[index].point = As_Pt(x, y, z);
  return true;
}

bool api_mb_make_circle(MB_Circle*& circle, const As_Pt& centre, double radius) {
  if (radius > -1e-6 && radius < 1e-6) return false;
  if (!circle) {
    circle = new MB_Circle(centre, radius);
  } else {
    circle->center(centre);
    circle->radius(radius);
  }
  return true;
}

bool api_mb_make_circle_3pt(MB_Circle*& circle, const As_Pt& p1, const As_Pt& p2, const As_Pt& p3) {
  As_Pt centre;
  double radius = 0.0;
  if (!api_mb_get_3ptcircle(p1, p2, p3, centre, radius)) return false;
  return api_mb_make_circle(circle, centre, radius);
}

void api_mb_make_arc(MB_Arc*& arc, const As_Pt& centre, double radius, double start_angle, double end_angle) {
  if (!arc) {
    arc = new MB_Arc(centre, radius, start_angle, end_angle);
    return;
  }
  arc->center(centre);
  arc->radius(radius);
  arc->start_angle(start_angle);
  arc->end_angle(end_angle);
}

void api_mb_make_arc_cse(MB_Arc*& arc, const As_Pt& centre, const As_Pt& start, const As_Pt& end) {
  api_mb_make_arc(arc, centre, (start - centre).len(), mb_polar_angle(start - centre), mb_polar_angle(end - centre));
}

void api_mb_make_arc_sme(MB_Arc*& arc, const As_Pt& start, const As_Pt& middle, const As_Pt& end) {
  if (arc) return;
  As_Pt centre;
  double radius = 0.0;
  if (!api_mb_get_3ptcircle(start, middle, end, centre, radius)) return;
  const double turn = angle_between(start - middle, middle - end, As_Uvec(0.0, 0.0, 1.0));
  if (turn > qm_pi) {
    api_mb_make_arc_cse(arc, centre, end, start);
  } else {
    api_mb_make_arc_cse(arc, centre, start, end);
  }
}

void api_mb_make_arc_sem(MB_Arc*& arc, const As_Pt& start, const As_Pt& end, const As_Pt& middle) {
  api_mb_make_arc_sme(arc, start, middle, end);
}

bool api_mb_make_spline(MB_Bspline*& spline, As_Pt_List& points) {
  if (points.is_empty()) return false;
  if (!spline) {
    spline = new MB_Bspline;
    spline->fitpts().init(points);
  }
  return true;
}
