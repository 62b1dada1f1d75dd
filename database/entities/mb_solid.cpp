// The solid: construction, measures, offset, picking and display.
#include "database/entities/mb_solid.h"

#include "database/entities/mb_entity_copy.h"

#include <vector>

#include "database/entities/mb_line.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_loop.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

namespace {

struct Shifted {
  As_Pt start, end;
  As_Uvec dir;
};

}  // namespace

void mb_offset_polygon(As_Pt* pts, int n, double d) {
  if (!pts || n < 2) return;
  // Right-hand normals; an edge of no length borrows the one before it.
  std::vector<As_Uvec> normal(n);
  std::vector<bool> has(n, false);
  int any = -1;
  for (int i = 0; i < n; ++i) {
    As_Vec e = pts[(i + 1) % n] - pts[i];
    e.z() = 0.0;
    if (e.len() >= resabs) {
      normal[i] = As_Uvec(e.y(), -e.x(), 0.0);
      has[i] = true;
      any = i;
    }
  }
  if (any < 0) return;
  for (int k = 1; k <= n; ++k) {
    int i = (any + k) % n;
    if (!has[i]) normal[i] = normal[(i + n - 1) % n];
  }
  std::vector<Shifted> edge(n);
  for (int i = 0; i < n; ++i) {
    const As_Pt &a = pts[i], &b = pts[(i + 1) % n];
    As_Vec shift = As_Vec(normal[i]) * d;
    edge[i] = {a - shift, b - shift, normalise(b - a)};
  }
  for (int g = 1; g <= n; ++g) {
    const int h = g < n ? g : 0;
    const Shifted &prev = edge[g - 1], &next = edge[h];
    As_Pt meet;
    pts[h] = api_mb_lines_intersection(prev.start, prev.dir, next.start, next.dir, meet) ? meet : prev.end;
  }
}

void mb_draw_vertex_markers(HDC hdc, const As_Pt_Set& pts, const As_Tran& view) {
  for (int i = 0; hdc && i < pts.count(); ++i) mb_draw_key_marker(hdc, pts.points()[i], view);
}

MB_Solid::MB_Solid(const As_Pt& a, const As_Pt& b, const As_Pt& c, const As_Pt& d) {
  const As_Pt corners[4] = {a, b, c, d};
  init(4, corners);
}

MB_Solid::MB_Solid(const As_Loop& loop) {
  // The closed outline repeats the first vertex at its end.
  std::vector<As_Pt> pts = loop.closed_points();
  if (pts.size() > 1) init(static_cast<int>(pts.size()) - 1, pts.data());
}

As_Loop* MB_Solid::create_loop() const {
  As_Loop* loop = new As_Loop;
  for (int i = 0; i < count(); ++i) loop->add(points()[i]);
  return loop;
}

double MB_Solid::get_real(int id) const {
  if (id == MB_PROP_LENGTH) return cal_perimeter(points(), count());
  if (id == MB_PROP_AREA) return cal_pts_area(points(), count());
  return MB_Geom::get_real(id);
}

void MB_Solid::translate(const As_Tran& t) {
  modify_cmd();
  As_Pt_Set::translate(t);
}

void MB_Solid::build_draw() {
  const int n = count();
  if (n <= 0) return;
  edge().init(n, points());
  edit_rect().init_by_pts(n, points());
  MB_Draw_Solid* node = new MB_Draw_Solid(points(), n, general().display_color(), this);
  node->mask(mask_);
  node->build_rect();
  draw_node(node);
}

bool MB_Solid::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) {
  for (int i = 0; i < count(); ++i) {
    if ((points()[i] - p).len() < tol) {
      found = points()[i];
      kind = MB_SNAP_VERTEX;
      return true;
    }
  }
  if (!is_pos_in_region(p, points(), count())) return false;
  found = p;
  kind = MB_SNAP_INSIDE;
  return true;
}

void MB_Solid::draw_key_point(HDC hdc, CMyDC&, const As_Tran& view) { mb_draw_vertex_markers(hdc, *this, view); }

bool MB_Solid::copy_to(MB_Object*& target) {
  return mb_entity_copy_to(*this, target, [this](MB_Solid& t) {
    t.As_Pt_Set::operator=(*this);
    t.mask_ = mask_;
  });
}
