// Object coordinate systems: the arbitrary axis algorithm and the projection
// of each kind onto the drawing's plane.
#include "exchange/cadbridge/dxf_ocs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "exchange/cadbridge/dxf_record.h"

namespace {

// Below this in x and y the normal counts as the world's Z for choosing the
// plane's X axis (the format's own bound).
constexpr double kArbitraryBound = 1.0 / 64.0;
// A normal this close to (0, 0, +-1) keeps lengths and angles exactly.
constexpr double kFlat = 1e-12;
// A projected ellipse rounder than this is a circle; flatter, a line.
constexpr double kRound = 1e-9;
constexpr double kEdgeOn = 1e-9;
// Points of a bulge arc of a polyline in a tilted plane, of a full turn.
constexpr int kTurnSteps = 72;

As_Vec unit(const As_Vec& v) {
  const double l = std::sqrt(v.x() * v.x() + v.y() * v.y() + v.z() * v.z());
  return l > 0.0 ? As_Vec(v.x() / l, v.y() / l, v.z() / l) : v;
}

double dot(const As_Vec& a, const As_Vec& b) { return a.x() * b.x() + a.y() * b.y() + a.z() * b.z(); }

As_Vec flat(const As_Vec& v) { return As_Vec(v.x(), v.y(), 0.0); }

// A polyline whose arcs are replaced by their points, so that a projection
// that does not keep circles can move each point.
void straighten(MB_Polyline& pl) {
  const int n = pl.count();
  const MB_Pline_Pos* pos = pl.pline_pos();
  bool any = false;
  for (int i = 0; i < n; ++i) any = any || pos[i].bulge != 0.0;
  if (!any) return;
  std::vector<MB_Pline_Pos> out;
  for (int i = 0; i < n; ++i) {
    const MB_Pline_Pos& a = pos[i];
    out.push_back(a);
    out.back().bulge = 0.0;
    const bool last = i + 1 == n;
    if (a.bulge == 0.0 || (last && !pl.closed())) continue;
    const MB_Pline_Pos& b = pos[last ? 0 : i + 1];
    // The arc's centre and sweep from its chord and bulge (tan of a quarter
    // of the sweep).
    const double dx = b.point.x() - a.point.x(), dy = b.point.y() - a.point.y();
    const double chord = std::hypot(dx, dy);
    if (chord <= 0.0) continue;
    const double sweep = 4.0 * std::atan(a.bulge);
    const double radius = chord / (2.0 * std::sin(std::fabs(sweep) / 2.0));
    const double mx = (a.point.x() + b.point.x()) / 2, my = (a.point.y() + b.point.y()) / 2;
    // From the chord's middle to the centre: left of the chord for a
    // counter-clockwise arc of less than half a turn.
    const double off = radius * std::cos(sweep / 2.0) * (a.bulge > 0.0 ? 1.0 : -1.0);
    const double cx = mx - dy / chord * off, cy = my + dx / chord * off;
    const double a0 = std::atan2(a.point.y() - cy, a.point.x() - cx);
    const int steps = std::max(2, int(std::ceil(std::fabs(sweep) / (2.0 * qm_pi) * kTurnSteps)));
    for (int k = 1; k < steps; ++k) {
      MB_Pline_Pos p = a;
      p.bulge = 0.0;
      const double t = a0 + sweep * k / steps;
      p.point = As_Pt(cx + radius * std::cos(t), cy + radius * std::sin(t), a.point.z());
      out.push_back(p);
    }
  }
  const size_t count = std::min(out.size(), size_t(MB_Polyline::kMaxCount));
  if (!pl.resize(uint32_t(count))) return;
  std::copy(out.begin(), out.begin() + long(count), pl.pline_pos());
}

}  // namespace

Dxf_Ocs::Dxf_Ocs(double nx, double ny, double nz) {
  const double l = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (!(l > 1e-12) || !std::isfinite(l)) return;
  n_ = As_Vec(nx / l, ny / l, nz / l);
  const As_Vec wy(0.0, 1.0, 0.0), wz(0.0, 0.0, 1.0);
  ax_ = unit(std::fabs(n_.x()) < kArbitraryBound && std::fabs(n_.y()) < kArbitraryBound ? cross3(wy, n_)
                                                                                        : cross3(wz, n_));
  ay_ = unit(cross3(n_, ax_));
  flat_ = std::fabs(n_.x()) < kFlat && std::fabs(n_.y()) < kFlat;
  world_ = flat_ && n_.z() > 0.0;
  mirrored_ = ax_.x() * ay_.y() - ax_.y() * ay_.x() < 0.0;
  if (world_) *this = Dxf_Ocs();
}

Dxf_Ocs Dxf_Ocs::of(const Dxf_Record& r) { return Dxf_Ocs(r.real(210, 0.0), r.real(220, 0.0), r.real(230, 1.0)); }

As_Pt Dxf_Ocs::point(const As_Pt& p) const {
  if (world_) return p;
  return As_Pt(p.x() * ax_.x() + p.y() * ay_.x() + p.z() * n_.x(), p.x() * ax_.y() + p.y() * ay_.y() + p.z() * n_.y(),
               p.x() * ax_.z() + p.y() * ay_.z() + p.z() * n_.z());
}

As_Vec Dxf_Ocs::vector(const As_Vec& v) const {
  if (world_) return v;
  return As_Vec(v.x() * ax_.x() + v.y() * ay_.x() + v.z() * n_.x(), v.x() * ax_.y() + v.y() * ay_.y() + v.z() * n_.y(),
                v.x() * ax_.z() + v.y() * ay_.z() + v.z() * n_.z());
}

double Dxf_Ocs::plane_angle(const As_Vec& w) const { return std::atan2(dot(w, ay_), dot(w, ax_)); }

As_Tran Dxf_Ocs::transform() const {
  if (world_) return As_Tran();
  // Rows are the images of the plane's axes; z keeps the world's height of
  // the point so that the matrix stays invertible.
  const matrix m(As_Vec(ax_.x(), ax_.y(), 0.0), As_Vec(ay_.x(), ay_.y(), 0.0), As_Vec(n_.x(), n_.y(), 1.0));
  return As_Tran(m, As_Vec(), 1.0, true, mirrored_, !flat_);
}

MB_Geom* dxf_projected_ellipse(const As_Pt& c, const As_Vec& u3, const As_Vec& v3, double t0, double t1, bool whole) {
  const As_Vec u = flat(u3), v = flat(v3);
  const As_Pt centre(c.x(), c.y(), c.z());
  // Principal half-axes a, b of the conjugate pair: t = s + phi.
  const double phi = 0.5 * std::atan2(2.0 * dot(u, v), dot(u, u) - dot(v, v));
  const double cp = std::cos(phi), sp = std::sin(phi);
  As_Vec a(u.x() * cp + v.x() * sp, u.y() * cp + v.y() * sp, 0.0);
  As_Vec b(-u.x() * sp + v.x() * cp, -u.y() * sp + v.y() * cp, 0.0);
  double s0 = t0 - phi, s1 = t1 - phi;
  double la = std::hypot(a.x(), a.y()), lb = std::hypot(b.x(), b.y());
  if (lb > la) {
    // b the longer: a quarter turn on, b becomes the major axis.
    const As_Vec major = b;
    b = As_Vec(-a.x(), -a.y(), 0.0);
    a = major;
    std::swap(la, lb);
    s0 -= qm_pi / 2;
    s1 -= qm_pi / 2;
  }
  if (!(la > 0.0)) return nullptr;
  const bool reversed = a.x() * b.y() - a.y() * b.x() < 0.0;
  if (reversed) {
    // Turning clockwise on the drawing: the same points counter-clockwise.
    const double from = -s1;
    s1 = -s0;
    s0 = from;
  }
  const double axis_angle = std::atan2(a.y(), a.x());
  if (lb / la > 1.0 - kRound) {
    if (whole) return new MB_Circle(centre, la);
    return new MB_Arc(centre, la, axis_angle + s0, axis_angle + s1);
  }
  if (lb / la > kEdgeOn) {
    if (whole) return new MB_Ellipse(centre, la, lb, axis_angle);
    return new MB_Ellipse_Arc(centre, la, lb, axis_angle, s0, s1);
  }
  // Seen edge on: the points along the major axis.
  if (whole) {
    s0 = 0.0;
    s1 = 2.0 * qm_pi;
  }
  while (s1 <= s0) s1 += 2.0 * qm_pi;
  const int steps = std::max(2, int(std::ceil((s1 - s0) / (2.0 * qm_pi) * kTurnSteps)));
  MB_Pline_Pos* pos = new MB_Pline_Pos[size_t(steps) + 1];
  for (int k = 0; k <= steps; ++k) {
    const double s = s0 + (s1 - s0) * k / steps;
    pos[k].point = As_Pt(centre.x() + a.x() * std::cos(s), centre.y() + a.y() * std::cos(s), centre.z());
  }
  return new MB_Polyline(false, uint16_t(steps + 1), pos);
}

MB_Drawable* Dxf_Ocs::place(MB_Drawable* e) const {
  if (world_ || !e) return e;
  const As_Tran t = transform();
  switch (e->object_id()) {
    case MB_Object::ID_CIRCLE:
    case MB_Object::ID_ARC: {
      if (flat_) break;
      MB_Circle* circle = static_cast<MB_Circle*>(e);
      const bool whole = e->object_id() == MB_Object::ID_CIRCLE;
      const double r = circle->radius();
      double a0 = 0.0, a1 = 0.0;
      if (!whole) {
        a0 = static_cast<MB_Arc*>(e)->start_angle();
        a1 = static_cast<MB_Arc*>(e)->end_angle();
        while (a1 <= a0) a1 += 2.0 * qm_pi;
      }
      MB_Geom* made = dxf_projected_ellipse(point(circle->center()), ax_ * r, ay_ * r, a0, a1, whole);
      delete e;
      return made;
    }
    case MB_Object::ID_POLYLINE:
      if (!flat_) straighten(*static_cast<MB_Polyline*>(e));
      break;
    case MB_Object::ID_TEXT: {
      // The text's own frame, its run along the line (backwards when the
      // width is negative) and its up, carried over; a frame turned over
      // becomes a text mirrored along its line.
      MB_Text* text = static_cast<MB_Text*>(e);
      MB_Text_Style& style = text->text_style();
      const double angle = style.angle(), width = style.width_scale();
      const double run_sign = width < 0.0 ? -1.0 : 1.0;
      const As_Vec run = vector(As_Vec(run_sign * std::cos(angle), run_sign * std::sin(angle), 0.0));
      const As_Vec up = vector(As_Vec(-std::sin(angle), std::cos(angle), 0.0));
      const bool turned_over = run.x() * up.y() - run.y() * up.x() < 0.0;
      const double run_angle = std::atan2(run.y(), run.x());
      text->base_pos(point(text->base_pos()));
      style.angle(turned_over ? run_angle + qm_pi : run_angle);
      style.width_scale(turned_over ? -std::fabs(width) : std::fabs(width));
      return e;
    }
    default: break;
  }
  e->translate(t);
  if (MB_Insert* insert = mb_to_insert(e)) insert->build_transf();
  return e;
}

MB_Drawable* Dxf_Ocs::place_about(MB_Drawable* e, const As_Pt& origin) const {
  if (world_ || !e) return e;
  e->translate(translate_transf(As_Vec(-origin.x(), -origin.y(), -origin.z())));
  e = place(e);
  if (e) e->translate(translate_transf(As_Vec(origin.x(), origin.y(), origin.z())));
  return e;
}
