// Glyphs kept as point lists.
#include "database/fonts/mb_font_char.h"

#include <wingdi.h>

#include <cmath>

#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"
#include "surface/device_point.h"

void MB_Font_Char::add_pos(double x, double y) {
  if (lists_.empty()) lists_.emplace_back();
  lists_.back().emplace_back(x, y, 0.0);
}

void MB_Font_Char::conver_list_to_set() {
  std::vector<unsigned long> counts;
  std::vector<As_Pt> points;
  for (const std::vector<As_Pt>& l : lists_) {
    if (l.size() < 2) continue;
    counts.push_back(static_cast<unsigned long>(l.size()));
    points.insert(points.end(), l.begin(), l.end());
  }
  lists_.clear();
  if (!counts.empty()) sets_.init(static_cast<unsigned long>(counts.size()), counts.data(), points.data());
}

void MB_Font_Char::char_2_pts_sets(As_Void_List& out, const As_Tran& t, As_Pt& pen) const {
  const As_Vec move(pen.x(), pen.y(), pen.z());
  if (sets_.ptset_count() > 0) {
    As_Pt_Sets* copy = new As_Pt_Sets(sets_);
    for (unsigned long i = 0; i < copy->pts_count(); ++i) copy->points()[i] = copy->points()[i] * t + move;
    out.add(copy);
  }
  pen = end_ * t + move;
}

void MB_Font_Char::draw(HDC hdc, const As_Tran& view, double scale, double angle, As_Pt& pen) const {
  const As_Tran place = scale_transf(scale, scale, 1.0) * rotate_transf(angle, As_Vec(0, 0, 1)) *
                        translate_transf(As_Vec(pen.x(), pen.y(), pen.z()));
  const As_Tran all = place * view;
  std::vector<POINT> pts;
  unsigned long at = 0;
  for (unsigned long s = 0; s < sets_.ptset_count(); ++s) {
    const unsigned long n = sets_.vals()[s];
    pts.clear();
    for (unsigned long k = 0; k < n; ++k) {
      pts.push_back(mb_device_point(sets_.points()[at + k], all));
    }
    at += n;
    if (hdc && pts.size() >= 2) Polyline(hdc, pts.data(), static_cast<int>(pts.size()));
  }
  pen = end_ * place;
}
