// The coordinate-system icon: its fixed outline and its placement.
#include "display/mb_cs_icon.h"

#include <cmath>

#include "database/nodes/mb_draw_node.h"
#include "display/mb_draw_render.h"

namespace {

const double kIcon[MB_Coor_Lines::kPoints][2] = {
    // y arrow
    {0, 0}, {0, 41.74}, {-3.8, 41.74}, {8.23, 53.76}, {20.8, 41.74}, {16.46, 41.74}, {16.46, 0},
    // x arrow
    {0, 16.46}, {41.74, 16.46}, {41.74, 20.26}, {53.76, 8.23}, {41.74, -4.43}, {41.74, 0}, {0, 0},
    // X
    {42.24, 12}, {34.83, 4.4},
    {43.04, 4.4}, {36, 12},
    // Y
    {5.68, 45.4}, {8.61, 42.45}, {12.13, 45.38},
    {8.61, 37.77}, {8.61, 42.45},
    // W
    {5.135, 26.52}, {5.14, 18.09}, {8.77, 21.92}, {13.15, 19}, {13.15, 26.62}};
const int kCounts[MB_Coor_Lines::kPolylines] = {7, 7, 2, 2, 3, 2, 5};
constexpr COLORREF kIconColor = 0xAAAAAA;

}  // namespace

MB_Coor_Lines::MB_Coor_Lines() : points_(new As_Pt[kPoints]), counts_(new int[kPolylines]) {
  for (int i = 0; i < kPoints; ++i) points_[i] = As_Pt(kIcon[i][0], kIcon[i][1], 0.0);
  for (int i = 0; i < kPolylines; ++i) counts_[i] = kCounts[i];
}

MB_Coor_Lines::~MB_Coor_Lines() {
  delete[] points_;
  delete[] counts_;
}

As_Tran MB_Coor_Lines::icon_transf(const As_Tran& view, MB_Draw_Render& render) const {
  const double s = view.scaling();
  As_Tran t = scale_transf(20.0 / (s * 10.0));
  const As_Rect& r = render.drw_rect();
  const double left = std::fmin(r.lt().x(), r.rb().x()), right = std::fmax(r.lt().x(), r.rb().x());
  const double top = std::fmax(r.lt().y(), r.rb().y()), bottom = std::fmin(r.lt().y(), r.rb().y());
  if (left > 0 || right < 0 || bottom > 0 || top < 0) {
    const double d = 1.0 / s;  // drawing units per pixel
    t = t * translate_transf(As_Vec(left + 10.0 * d, bottom + 10.0 * d, 0.0));
  }
  return t * view;
}

void MB_Coor_Lines::draw(HDC hdc, const As_Tran& view, MB_Draw_Render& render) const {
  const double s = view.scaling();
  if (polyline_count_ <= 0 || !std::isfinite(s) || s <= 0.0) return;
  const As_Tran t = icon_transf(view, render);
  HPEN pen = CreatePen(PS_SOLID, 0, kIconColor);
  HGDIOBJ old = SelectObject(hdc, pen);
  const As_Pt* run = points_;
  for (int i = 0; i < polyline_count_; ++i) {
    POINT* p = mb_device_points(run, counts_[i], t);
    Polyline(hdc, p, counts_[i]);
    run += counts_[i];
  }
  SelectObject(hdc, old);
  DeleteObject(pen);
}
