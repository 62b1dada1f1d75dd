// Polyline: vertices, arc expansion, widened outlines and their mitres,
// picks and transforms.
#include "database/entities/mb_polyline.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "database/entities/mb_curve_util.h"
#include "database/entities/mb_line.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_tessellate.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

MB_Polyline::MB_Polyline(bool closed, uint16_t count, MB_Pline_Pos* vertices)
    : closed_(closed), count_(vertices ? count : 0), pos_(vertices) {}

MB_Polyline::MB_Polyline(const MB_Polyline& other)
    : MB_Geom(other), closed_(other.closed_), global_width_(other.global_width_) {
  if (other.count_ && (pos_ = new (std::nothrow) MB_Pline_Pos[other.count_])) {
    count_ = other.count_;
    std::copy(other.pos_, other.pos_ + count_, pos_);
  }
}

MB_Polyline& MB_Polyline::operator=(const MB_Polyline& other) {
  if (this == &other) return *this;
  MB_Geom::operator=(other);
  if (resize(other.count_)) std::copy(other.pos_, other.pos_ + count_, pos_);
  closed_ = other.closed_;
  global_width_ = other.global_width_;
  return *this;
}

MB_Polyline::~MB_Polyline() { delete[] pos_; }

bool MB_Polyline::resize(uint32_t n) {
  if (n > kMaxCount) return false;
  MB_Pline_Pos* p = nullptr;
  if (n && !(p = new (std::nothrow) MB_Pline_Pos[n])) return false;
  delete[] pos_;
  pos_ = p;
  count_ = static_cast<uint16_t>(n);
  return true;
}

MB_Pline_Pos& MB_Polyline::get_new_pline_pos() {
  spare_ = MB_Pline_Pos();
  if (count_ >= kMaxCount) return spare_;
  MB_Pline_Pos* p = new (std::nothrow) MB_Pline_Pos[count_ + 1u];
  if (!p) return spare_;
  std::copy(pos_, pos_ + count_, p);
  delete[] pos_;
  pos_ = p;
  return pos_[count_++];
}

bool MB_Polyline::copy_to(MB_Object*& target) {
  if (!target) {
    MB_Polyline* t = new MB_Polyline;
    target = t;
    t->closed_ = closed_;
    t->global_width_ = global_width_;
    if (t->resize(count_)) std::copy(pos_, pos_ + count_, t->pos_);
    return mb_copy_drawable(*this, target);
  }
  if (target == this) return true;
  if (target->object_id() != object_id()) return false;
  MB_Polyline* t = static_cast<MB_Polyline*>(target);
  t->modify_cmd();
  if (t->count_ != count_ && !t->resize(count_)) return false;
  std::copy(pos_, pos_ + count_, t->pos_);
  t->closed_ = closed_;
  t->global_width_ = global_width_;
  return mb_copy_drawable(*this, target);
}

bool MB_Polyline::is_have_width() const {
  if (global_width_ > 0.0) return true;
  for (int i = 0; i < count_; ++i) {
    if (pos_[i].start_width > 0.0 || pos_[i].end_width > 0.0) return true;
  }
  return false;
}

void MB_Polyline::convert_arc_2_lines(const MB_Pline_Pos& a, const MB_Pline_Pos& b,
                                      std::vector<MB_Pline_Pos>& out) const {
  const As_Vec c = b.point - a.point;
  As_Pt centre;
  double radius = 0.0;
  const As_Pt m = a.point + c / 2.0;
  const As_Vec u = As_Vec(normalise(cross3(c, As_Vec(0.0, 0.0, 1.0))));
  const As_Pt s = m + u * (c.len() / 2.0 * a.bulge);
  const int n = mb_least_precision(get_draw_precision(), 2);
  std::unique_ptr<As_Pt[]> pts;
  if (!same_point(a.point, b.point, resabs)) pts.reset(new (std::nothrow) As_Pt[n]);
  As_Pt* arc = pts.get();
  bool made = false;
  if (arc && a.bulge > 0.0) {
    made = api_mb_get_3ptcircle(a.point, s, b.point, centre, radius) &&
           arc_to_ptset(centre, radius, a.point, b.point, static_cast<unsigned long>(n), arc);
  } else if (arc) {
    made = api_mb_get_3ptcircle(b.point, s, a.point, centre, radius) &&
           arc_to_ptset(centre, radius, b.point, a.point, static_cast<unsigned long>(n), arc);
    if (made) api_mb_reverse_pts(arc, n);
  }
  if (!made) {  // no circle: the segment is drawn straight
    MB_Pline_Pos straight = a;
    straight.bulge = 0.0;
    out.push_back(straight);
    return;
  }
  const double step = (a.end_width - a.start_width) / n;
  for (int k = 0; k < n; ++k) {
    MB_Pline_Pos r;
    r.point = As_Pt(arc[k].x(), arc[k].y(), 0.0);
    r.start_width = a.start_width + k * step;
    r.end_width = a.start_width + (k + 1) * step;
    out.push_back(r);
  }
}

void MB_Polyline::cal_pline_segment(const std::vector<MB_Pline_Pos>& lines, Outlines& outlines) {
  const size_t n = lines.empty() ? 0 : lines.size() - 1;
  outlines.pts.reserve(5 * n);
  outlines.counts.reserve(n);
  outlines.starts.reserve(n);
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const MB_Pline_Pos& p = lines[i];
    const MB_Pline_Pos& q = lines[i + 1];
    if (same_point(p.point, q.point, resabs)) continue;
    outlines.starts.push_back(outlines.pts.size());
    if (p.start_width != 0.0 || p.end_width != 0.0) {
      const As_Vec d = As_Vec(normalise(cross3(q.point - p.point, As_Vec(0.0, 0.0, 1.0))));
      const As_Pt a = p.point + d * (p.start_width / 2.0);
      outlines.pts.insert(outlines.pts.end(), {a, q.point + d * (p.end_width / 2.0), q.point - d * (p.end_width / 2.0),
                                               p.point - d * (p.start_width / 2.0), a});
      outlines.counts.push_back(5);
    } else {
      outlines.pts.insert(outlines.pts.end(), {p.point, q.point});
      outlines.counts.push_back(2);
    }
  }
}

void MB_Polyline::deal_with_ptlists(Outlines& outlines) {
  for (size_t i = 0; i + 1 < outlines.counts.size(); ++i) {
    if (outlines.counts[i] == 2 || outlines.counts[i + 1] == 2) continue;
    As_Pt* x = &outlines.pts[outlines.starts[i]];
    As_Pt* y = &outlines.pts[outlines.starts[i + 1]];
    if (same_point(x[1], x[2], resabs) || same_point(y[0], y[3], resabs)) continue;
    As_Pt meet;
    const As_Uvec xr = normalise(x[1] - x[0]), yr = normalise(y[1] - y[0]);
    if (!antiparallel(yr, xr, resnor) && api_mb_lines_intersection(x[0], xr, y[0], yr, meet)) {
      x[1] = meet;
      y[0] = meet;
      y[4] = meet;
    }
    const As_Uvec xl = normalise(x[2] - x[3]), yl = normalise(y[2] - y[3]);
    if (antiparallel(yl, xl, resnor)) continue;
    if (api_mb_lines_intersection(x[3], xl, y[3], yl, meet)) {
      x[2] = meet;
      y[3] = meet;
    }
  }
}

void MB_Polyline::build_draw() {
  if (count_ < 2) return;
  std::vector<MB_Pline_Pos> lines;
  lines.reserve(count_);
  const int last = count_ - 1;
  for (int i = 0; i < count_; ++i) {
    const MB_Pline_Pos& v = pos_[i];
    const bool arc = v.bulge >= resabs || v.bulge <= -resabs;
    if (arc && i < last) {
      convert_arc_2_lines(v, pos_[i + 1], lines);
    } else if (arc && closed_) {
      convert_arc_2_lines(v, pos_[0], lines);
    } else {
      // The bulge of the last vertex of an open polyline leads nowhere.
      lines.push_back(v);
      if (count_ > 2 && closed_ && i == last) lines.push_back(pos_[0]);
    }
  }
  std::vector<As_Pt> pts(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) pts[i] = lines[i].point;
  const int n = static_cast<int>(pts.size());
  draw_node(nullptr);
  if (!is_have_width()) {
    mb_set_display(*this, n, pts.data());
    return;
  }
  Outlines outlines;
  cal_pline_segment(lines, outlines);
  deal_with_ptlists(outlines);
  edge().init(n, pts.data());
  edit_rect().init_by_pts(n, pts.data());
  auto* node = new MB_Draw_Lines_Sets(general().color(), this);
  if (!outlines.counts.empty()) node->init(outlines.counts.size(), outlines.counts.data(), outlines.pts.data());
  node->is_filled(true);
  node->build_rect();
  draw_node(node);
}

bool MB_Polyline::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& hit, int& kind, int&) {
  for (int i = 0; i < count_; ++i) {
    if ((pos_[i].point - p).len() < tol) {
      hit = pos_[i].point;
      kind = MB_SNAP_VERTEX;
      return true;
    }
  }
  if (!edge().snap_lines(p, tol, hit)) return false;
  kind = MB_SNAP_ON_CURVE;
  return true;
}

void MB_Polyline::draw_key_point(HDC dc, CMyDC&, const As_Tran& view) {
  if (!dc) return;
  for (int i = 0; i < count_; ++i) mb_draw_key_marker(dc, pos_[i].point, view);
}

void MB_Polyline::translate(const As_Tran& t) {
  modify_cmd();
  // A mirror image turns every arc the other way.
  const bool reflect = !t.identity() && t.reflect();
  for (int i = 0; i < count_; ++i) {
    pos_[i].point *= t;
    if (reflect) pos_[i].bulge = -pos_[i].bulge;
  }
}

MB_Polyline* api_mb_create_polyline(int n) {
  MB_Polyline* p = new MB_Polyline;
  p->resize(static_cast<uint32_t>(std::clamp(n, 0, static_cast<int>(MB_Polyline::kMaxCount))));
  return p;
}
