// The coordinate-system icon of a view: outlined X and Y arrows with their
// letters and a W, as seven fixed polylines in icon units. It is drawn on
// the drawing origin when the origin is in view, else 10 pixels in from the
// view's lower-left corner, always at two pixels per icon unit.
#pragma once

#include <windows.h>

#include "geometry/as_pt.h"
#include "geometry/as_tran.h"

class MB_Draw_Render;

class MB_Coor_Lines {
 public:
  static constexpr int kPolylines = 7;
  static constexpr int kPoints = 28;

  MB_Coor_Lines();
  MB_Coor_Lines(const MB_Coor_Lines&) = delete;
  MB_Coor_Lines& operator=(const MB_Coor_Lines&) = delete;
  virtual ~MB_Coor_Lines();

  // Draws with a light grey pen; nothing for a view whose scaling is not
  // finite and positive.
  void draw(HDC hdc, const As_Tran& view, MB_Draw_Render& render) const;
  // The transform from icon units to client pixels for this view.
  As_Tran icon_transf(const As_Tran& view, MB_Draw_Render& render) const;

  const As_Pt* points() const { return points_; }
  const int* counts() const { return counts_; }
  int polyline_count() const { return polyline_count_; }

 private:
  As_Pt* points_;
  int* counts_;
  int polyline_count_ = kPolylines;
};
