// The coordinate-system icon: on the origin, or 10 pixels in from the
// lower-left corner, always the same size on screen.
#include "display/mb_cs_icon.h"

#include "view_fixture.h"

TEST_F(ViewTest, IconSitsOnTheOriginAtTwoPixelsPerUnit) {
  render()->zoom_window(As_Pt(-100, 100, 0), As_Pt(100, -100, 0));
  paint();
  MB_Coor_Lines& icon = render()->coor_lines();
  const As_Tran t = icon.icon_transf(render()->drawing_to_screen(), *render());
  const As_Pt origin = to_screen(As_Pt(0, 0, 0));
  const As_Pt corner = As_Pt(0, 0, 0) * t;
  EXPECT_NEAR(corner.x(), origin.x(), 1e-9);
  EXPECT_NEAR(corner.y(), origin.y(), 1e-9);
  const As_Pt tip = As_Pt(8.23, 53.76, 0) * t;
  EXPECT_NEAR(tip.x() - corner.x(), 16.46, 1e-9);
  EXPECT_NEAR(tip.y() - corner.y(), -107.52, 1e-9);
  render()->scale_view(8.0, 400, 300);
  const As_Tran zoomed = icon.icon_transf(render()->drawing_to_screen(), *render());
  EXPECT_NEAR((As_Pt(8.23, 53.76, 0) * zoomed - As_Pt(0, 0, 0) * zoomed).y(), -107.52, 1e-9);
}

TEST_F(ViewTest, IconMovesToTheLowerLeftCornerAndDrawsInGrey) {
  render()->zoom_window(As_Pt(1000, 1100, 0), As_Pt(1100, 1000, 0));
  paint();
  const As_Tran t = render()->coor_lines().icon_transf(render()->drawing_to_screen(), *render());
  const As_Pt corner = As_Pt(0, 0, 0) * t;
  const As_Pt lower_left = to_screen(As_Pt(render()->drw_rect().lt().x(), render()->drw_rect().rb().y(), 0));
  EXPECT_NEAR(corner.x(), lower_left.x() + 10, 1e-6);
  EXPECT_NEAR(corner.y(), lower_left.y() - 10, 1e-6);
  HDC hdc = GetDC(wnd);
  render()->coor_lines().draw(hdc, render()->drawing_to_screen(), *render());
  ReleaseDC(wnd, hdc);
  const std::vector<uint32_t> win = window_pixels();
  // The x arrow's lower edge runs along the row of the corner.
  EXPECT_EQ(win[size_t(corner.y()) * 800 + size_t(corner.x()) + 20], 0xAAAAAAu);
}
