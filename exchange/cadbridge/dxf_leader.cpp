// Leaders and multileaders: lines with arrow heads, and the multileader's
// text. A LEADER's text is an MTEXT record of its own.
#include <cmath>
#include <memory>
#include <vector>

#include "database/entities/mb_bspline.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_solid.h"
#include "exchange/cadbridge/dxf_annotations.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_mtext.h"

namespace {

// An arrow head is a third as wide as it is long.
constexpr double kArrowHalfWidth = 1.0 / 6.0;
constexpr int kLeaderWithArrow = 1;
constexpr int kLeaderSpline = 1;
// Attachment of a multileader's text: its top left at the text location.
constexpr int kAttachTopLeft = 1;

// A line through the points: a polyline, or a spline passing through them.
void path(const std::vector<As_Pt>& points, bool spline, const Dxf_Record& r, Dxf_Target& target, int64_t color = -1) {
  if (points.size() < 2) return;
  if (points.size() == 2 && !spline) {
    target.place(new MB_Line(points[0], points[1]), r, color);
    return;
  }
  if (spline && points.size() >= 3) {
    MB_Bspline* s = new MB_Bspline(0, int(points.size()));
    std::copy(points.begin(), points.end(), s->fitpts().points());
    target.place(s, r, color);
    return;
  }
  const size_t n = std::min(points.size(), size_t(MB_Polyline::kMaxCount));
  MB_Pline_Pos* array = new MB_Pline_Pos[n];
  for (size_t i = 0; i < n; ++i) array[i].point = points[i];
  target.place(new MB_Polyline(false, uint16_t(n), array), r, color);
}

}  // namespace

void dxf_add_arrow(const As_Pt& tip, const As_Pt& from, double size, const Dxf_Record& r, Dxf_Target& target,
                   int64_t color) {
  const double dx = tip.x() - from.x(), dy = tip.y() - from.y(), length = std::hypot(dx, dy);
  if (!(size > 0.0) || length < 1e-12) return;
  const double ux = dx / length, uy = dy / length;
  const As_Pt back(tip.x() - ux * size, tip.y() - uy * size, tip.z());
  const double w = size * kArrowHalfWidth;
  const As_Pt left(back.x() - uy * w, back.y() + ux * w, tip.z()), right(back.x() + uy * w, back.y() - ux * w, tip.z());
  target.place(new MB_Solid(tip, left, right, right), r, color);
}

void dxf_add_leader(const Dxf_Record& r, Dxf_Target& target) {
  std::vector<As_Pt> points;
  const std::vector<std::string> xs = r.texts(10), ys = r.texts(20);
  for (size_t i = 0; i < xs.size(); ++i) {
    points.emplace_back(dxf_real(xs[i]), i < ys.size() ? dxf_real(ys[i]) : 0.0, 0.0);
  }
  if (points.size() < 2) {
    target.skip("LEADER with fewer than two vertices");
    return;
  }
  // The line and arrow take the colour of dimension lines; of BYBLOCK (or
  // BYLAYER) they take the leader's own, as the parts of a dimension do.
  const Dxf_Dim_Style& style = target.header().dim_style(r.text(3));
  const int line_color = dxf_dim_override(r, kDimLineColorCode, style.line_color);
  const bool own = line_color <= kDxfByBlock || line_color >= kDxfByLayer;
  const int64_t color = own ? -1 : int64_t(dxf_aci_color(line_color));
  path(points, r.integer(72, 0) == kLeaderSpline, r, target, color);
  if (r.integer(71, kLeaderWithArrow) == kLeaderWithArrow) {
    dxf_add_arrow(points[0], points[1], style.arrow * style.scale, r, target, color);
  }
}

// A multileader's groups nest in named parts ("CONTEXT_DATA{", "LEADER{",
// "LEADER_LINE{", each closed by its own "}" group): read in order, keeping
// the part each group belongs to.
void dxf_add_mleader(const Dxf_Record& r, Dxf_Target& target) {
  enum Part { kOutside, kContext, kLeader, kLine };
  Part part = kOutside;
  std::vector<std::vector<As_Pt>> lines;
  std::vector<As_Pt> current;
  As_Pt last_point, dogleg(1.0, 0.0, 0.0);
  double dogleg_length = 0.0;
  bool have_last = false;
  std::string text;
  double text_height = 0.0, arrow = 0.0, text_angle = 0.0, text_width = 0.0;
  As_Pt text_at, text_direction(1.0, 0.0, 0.0);
  bool has_text = false;
  const std::vector<Dxf_Group>& g = r.groups;
  auto y_of = [&](size_t i, int code) { return i + 1 < g.size() && g[i + 1].code == code ? dxf_real(g[i + 1].value) : 0.0; };
  auto finish_leader = [&]() {
    for (std::vector<As_Pt>& l : lines) {
      if (have_last && !l.empty()) l.push_back(last_point);
    }
    for (const std::vector<As_Pt>& l : lines) {
      path(l, false, r, target);
      if (l.size() >= 2 && arrow > 0.0) dxf_add_arrow(l[0], l[1], arrow, r, target);
    }
    // The landing runs from the last point towards the text.
    if (have_last && dogleg_length > 0.0) {
      path({last_point, As_Pt(last_point.x() + dogleg.x() * dogleg_length, last_point.y() + dogleg.y() * dogleg_length,
                              0.0)},
           false, r, target);
    }
    lines.clear();
    have_last = false;
    dogleg_length = 0.0;
  };
  for (size_t i = 0; i < g.size(); ++i) {
    const Dxf_Group& x = g[i];
    if (x.code == 300 && x.value == "CONTEXT_DATA{") part = kContext;
    else if (x.code == 302 && x.value == "LEADER{") part = kLeader;
    else if (x.code == 304 && x.value == "LEADER_LINE{") {
      part = kLine;
      current.clear();
    } else if (x.code == 305 && part == kLine) {
      lines.push_back(current);
      part = kLeader;
    } else if (x.code == 303 && part == kLeader) {
      finish_leader();
      part = kContext;
    } else if (x.code == 301) {
      part = kOutside;
    } else if (part == kLine && x.code == 10) {
      current.emplace_back(dxf_real(x.value), y_of(i, 20), 0.0);
    } else if (part == kLeader && x.code == 10) {
      last_point = As_Pt(dxf_real(x.value), y_of(i, 20), 0.0);
      have_last = true;
    } else if (part == kLeader && x.code == 11) {
      dogleg = As_Pt(dxf_real(x.value), y_of(i, 21), 0.0);
    } else if (part == kLeader && x.code == 40) {
      dogleg_length = dxf_real(x.value);
    } else if (part == kContext && x.code == 304) {
      text = x.value;
      has_text = true;
    } else if (part == kContext && x.code == 41) {
      text_height = dxf_real(x.value);
    } else if (part == kContext && x.code == 140) {
      arrow = dxf_real(x.value);
    } else if (part == kContext && x.code == 12) {
      text_at = As_Pt(dxf_real(x.value), y_of(i, 22), 0.0);
    } else if (part == kContext && x.code == 13) {
      text_direction = As_Pt(dxf_real(x.value), y_of(i, 23), 0.0);
    } else if (part == kContext && x.code == 42) {
      text_angle = dxf_real(x.value);
    } else if (part == kContext && x.code == 43) {
      text_width = dxf_real(x.value);
    }
  }
  if (part == kLine) lines.push_back(current);
  if (part == kLine || part == kLeader) finish_leader();
  if (!has_text || text.empty()) return;
  Dxf_Mtext_Frame frame;
  frame.insert = text_at;
  frame.height = text_height;
  frame.box_width = text_width;
  frame.attachment = kAttachTopLeft;
  frame.style = "Standard";
  frame.angle = text_direction.x() != 0.0 || text_direction.y() != 0.0
                    ? std::atan2(text_direction.y(), text_direction.x())
                    : text_angle * kDxfDegree;
  dxf_place_mtext(text, frame, r, target);
}
