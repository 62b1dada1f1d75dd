// MESH records: the edges of their faces, as the kernel's faces.
#include <algorithm>
#include <vector>

#include "database/entities/mb_face.h"
#include "database/entities/mb_line.h"
#include "exchange/cadbridge/dxf_annotations.h"

namespace {

// Faces of more corners than this are drawn as their first ones.
constexpr int kMaxCorners = 4096;

}  // namespace

// The record's groups in order: 92 the vertex count and that many points
// (10/20/30), 93 the size of the face list and that many 90 groups (each
// face its corner count, then its vertex indexes from 0); what follows
// (edges, creases) is not needed to draw the faces' outlines.
void dxf_add_mesh(const Dxf_Record& r, Dxf_Target& target) {
  std::vector<As_Pt> points;
  std::vector<int> list;
  int section = 0;  // 92 or 93 while reading that list
  size_t left = 0;
  for (const Dxf_Group& g : r.groups) {
    if (g.code == 92 || g.code == 93) {
      section = g.code;
      left = size_t(std::max(0, dxf_integer(g.value)));
      continue;
    }
    if (section == 92 && left > 0 && g.code == 10) {
      points.emplace_back(dxf_real(g.value), 0.0, 0.0);
    } else if (section == 92 && !points.empty() && (g.code == 20 || g.code == 30)) {
      As_Pt& p = points.back();
      p = g.code == 20 ? As_Pt(p.x(), dxf_real(g.value), p.z()) : As_Pt(p.x(), p.y(), dxf_real(g.value));
      if (g.code == 30) --left;
    } else if (section == 93 && left > 0 && g.code == 90) {
      list.push_back(dxf_integer(g.value));
      --left;
    } else if (g.code != 20 && g.code != 30 && g.code != 90) {
      section = 0;
    }
  }
  bool any = false;
  for (size_t i = 0; i < list.size();) {
    const int n = std::min(list[i], kMaxCorners);
    if (n < 1) break;
    std::vector<As_Pt> corners;
    for (size_t k = i + 1; k <= i + size_t(n) && k < list.size(); ++k) {
      if (list[k] >= 0 && size_t(list[k]) < points.size()) corners.push_back(points[size_t(list[k])]);
    }
    i += size_t(list[i]) + 1;
    if (corners.size() < 2) continue;
    MB_Face* face = new MB_Face(int(corners.size()));
    std::copy(corners.begin(), corners.end(), face->points());
    target.place(face, r);
    any = true;
  }
  if (!any) target.skip("MESH without faces");
}
