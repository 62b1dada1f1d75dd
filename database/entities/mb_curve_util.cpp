// Helpers shared by the curved entities.
#include "database/entities/mb_curve_util.h"

#include <cmath>

#include "geometry/geom_algo.h"

void mb_set_display(MB_Geom& g, int n, const As_Pt* pts) {
  g.edge().init(n, pts);
  g.edit_rect().init_by_pts(n, pts);
  g.build_draw_node_with_ltype(g.edge());
}

double mb_polar_angle(const As_Vec& v) {
  if (!(std::hypot(v.x(), v.y()) >= resnor)) return 0.0;
  return angle_between(As_Uvec(1.0, 0.0, 0.0), normalise(As_Vec(v.x(), v.y(), 0.0)), As_Uvec(0.0, 0.0, 1.0));
}

bool mb_copy_drawable(MB_Drawable& from, MB_Object*& target) {
  if (!from.MB_Drawable::copy_to(target)) return false;
  static_cast<MB_Drawable*>(target)->draw_precision(from.draw_precision());
  return true;
}
