// The renderer: the fit rule, zooming and panning, the repaint and export.
#include <ximage.h>

#include <cstdio>
#include <string>

#include "display/mb_view_history.h"
#include "tests/surface/surface_probe.h"
#include "view_fixture.h"
#include "tests/support/test_temp.h"

namespace {

void expect_near_pt(const As_Pt& a, double x, double y, double tol = 1e-6) {
  EXPECT_NEAR(a.x(), x, tol);
  EXPECT_NEAR(a.y(), y, tol);
}

}  // namespace

TEST_F(ViewTest, FitOfAnEmptyZoomAt800By600) {
  const double s = std::min(600 / 290.0, 800 / 210.0);
  const double oy = s * 210 + (800 - s * 210) * 0.5;
  expect_near_pt(to_screen(As_Pt(0, 0, 0)), 0.0, oy);
  expect_near_pt(to_screen(As_Pt(10, 20, 0)), 10.0, oy - 20);
  EXPECT_EQ(int(oy), 617);
  // The drawing rectangle is the part under the client area.
  expect_near_pt(render()->drw_rect().lt(), 0, oy);
  expect_near_pt(render()->drw_rect().rb(), 800, oy - 600);
}

TEST_F(ViewTest, DegenerateClientKeepsTheView) {
  render()->zoom_transf(scale_transf(3.0));
  MoveWindow(wnd, 0, 0, 1, 400, FALSE);
  const As_Tran before = render()->drawing_to_screen();
  render()->compute_transf();
  EXPECT_EQ(render()->drawing_to_screen(), before);
}

TEST_F(ViewTest, ZoomAllFitsAndCentresTheExtents) {
  add_line(As_Pt(0, 50, 0), As_Pt(100, 0, 0));
  Snap_Line* hidden = add_line(As_Pt(-1000, -1000, 0), As_Pt(-900, -900, 0));
  hidden->flag(0);
  op->zoom_all();
  // The extents span the pixels from the first to the last: 100 units on
  // 799 pixels, their edges on the middles of columns 0 and 799, where
  // truncation keeps them in the view.
  EXPECT_NEAR(render()->drawing_to_screen().scaling(), 7.99, 1e-9);
  expect_near_pt(to_screen(As_Pt(50, 25, 0)), 400, 300, 1e-6);
  expect_near_pt(to_screen(As_Pt(0, 50, 0)), 0.5, 100.25, 1e-6);
  expect_near_pt(to_screen(As_Pt(100, 0, 0)), 799.5, 499.75, 1e-6);
}

// Every side of a square zoomed all shows on the surface: the outermost
// rows and columns it reaches are inside the view.
TEST_F(ViewTest, ZoomAllKeepsEveryStrokeOfTheExtentsInTheView) {
  const As_Pt a(0, 0, 0), b(100, 0, 0), c(100, 100, 0), d(0, 100, 0);
  for (auto [p, q] : {std::pair{a, b}, {b, c}, {c, d}, {d, a}}) add_line(p, q, 0xFFFFFF);
  op->zoom_all();
  paint();
  Probe probe(render()->quick_dc());
  const auto ink = [&](int x, int y) { return (probe.at(x, y) & 0xFFFFFF) != 0; };
  // 600 rows hold the square's height: its sides at columns 100 and 699.
  EXPECT_TRUE(ink(400, 0)) << "top side";
  EXPECT_TRUE(ink(400, 599)) << "bottom side";
  EXPECT_TRUE(ink(100, 300)) << "left side";
  EXPECT_TRUE(ink(699, 300)) << "right side";
}

TEST_F(ViewTest, ZoomAllOnNothingOrOnOnePointChangesNothing) {
  const As_Tran before = render()->drawing_to_screen();
  op->zoom_all();
  EXPECT_EQ(render()->drawing_to_screen(), before);
  add_line(As_Pt(5, 5, 0), As_Pt(5, 5, 0));
  op->zoom_all();
  const As_Tran& t = render()->drawing_to_screen();
  EXPECT_TRUE(std::isfinite(t.scaling()));
  EXPECT_NEAR(t.scaling(), 1.0, 1e-12);
  expect_near_pt(to_screen(As_Pt(5, 5, 0)), 400, 300, 1e-6);
}

TEST_F(ViewTest, ZoomWindowIgnoresCornerOrder) {
  render()->zoom_window(As_Pt(-3, 7, 0), As_Pt(12, -2, 0));
  const As_Tran a = render()->drawing_to_screen();
  render()->zoom_transf(As_Tran());
  render()->compute_transf();
  render()->zoom_window(As_Pt(12, -2, 0), As_Pt(-3, 7, 0));
  const As_Tran b = render()->drawing_to_screen();
  EXPECT_NEAR(a.scaling(), b.scaling(), 1e-9);
  expect_near_pt(As_Pt(4.5, 2.5, 0) * a, 400, 300, 1e-6);
  expect_near_pt(As_Pt(4.5, 2.5, 0) * b, 400, 300, 1e-6);
}

TEST_F(ViewTest, ScaleViewKeepsThePointUnderThePixel) {
  const int pixels[][2] = {{0, 0}, {799, 599}, {123, 456}, {400, 300}};
  for (const auto& p : pixels) {
    const As_Pt under = to_drawing(p[0], p[1]);
    const double k = render()->drawing_to_screen().scaling();
    render()->scale_view(2.0, p[0], p[1]);
    EXPECT_NEAR(render()->drawing_to_screen().scaling(), 2 * k, 1e-9 * k);
    expect_near_pt(to_screen(under), p[0], p[1], 1e-6);
  }
}

TEST_F(ViewTest, ScaleViewRefusesFactorsThatBreakTheView) {
  const As_Tran before = render()->drawing_to_screen();
  const double bad[] = {0.0, -2.0, NAN, INFINITY, 1e12, 1e-10};
  for (double f : bad) {
    render()->scale_view(f, 10, 10);
    render()->scale_view(f);
    render()->set_zoom_transf(As_Vec(), f);
    EXPECT_EQ(render()->drawing_to_screen(), before) << f;
  }
  // Many wheel steps stop at the limit instead of reaching infinity.
  for (int i = 0; i < 200; ++i) render()->scale_view(1.25, 400, 300);
  EXPECT_LE(render()->zoom_transf().scaling(), MB_Draw_Render::kMaxScale);
  EXPECT_TRUE(std::isfinite(render()->screen_to_drawing().scaling()));
}

TEST_F(ViewTest, PanMovesFromOntoTo) {
  const As_Pt from(3, 4, 0), to(-20, 11, 0);
  const As_Pt where_to = to_screen(to);
  op->pan_view(from, to);
  expect_near_pt(to_screen(from), where_to.x(), where_to.y(), 1e-9);
}

TEST_F(ViewTest, RepaintLandsOnTheWindowAsComposed) {
  g_system_setting.set_long_val(MB_BACKGROUND_COLOR, 0x102030);
  add_line(As_Pt(10, 10, 0), As_Pt(200, 120, 0), 0x00FF00);
  Snap_Line* off = add_line(As_Pt(5000, 5000, 0), As_Pt(5001, 5001, 0));
  Snap_Line* hidden = add_line(As_Pt(20, 20, 0), As_Pt(30, 90, 0), 0x0000FF);
  hidden->flag(0);
  paint();
  const std::vector<uint32_t> win = window_pixels();
  ASSERT_EQ(win.size(), 800u * 600u);
  Probe probe(render()->quick_dc());
  ASSERT_EQ(probe.width, 800);
  size_t line_pixels = 0, red = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const uint32_t px = win[size_t(y) * 800 + x];
      ASSERT_EQ(px, probe.at(x, y) & 0xFFFFFF) << x << "," << y;
      line_pixels += px == rgb_of(0x00FF00);
      red += px == rgb_of(0x0000FF);
    }
  EXPECT_GT(line_pixels, 150u);
  EXPECT_EQ(red, 0u);
  EXPECT_EQ(win[0], rgb_of(0x102030));
  EXPECT_FALSE(render()->display_list().contains(off));
  EXPECT_FALSE(render()->display_list().contains(hidden));
  EXPECT_EQ(render()->display_list().count(), 1);
}

// A repaint remembers where the last one found the entities; after entities
// are deleted and others made (perhaps where the deleted ones lay) it must
// draw from the list as it is now, exactly as the repaint after it does.
TEST_F(ViewTest, RepaintAfterTheListChangedDrawsTheListAsItIs) {
  std::vector<Snap_Line*> lines;
  for (int i = 0; i < 80; ++i)
    lines.push_back(add_line(As_Pt(10 + 7 * i, 10, 0), As_Pt(20 + 7 * i, 300, 0), 0x00FF00));
  op->zoom_all();
  paint();
  for (size_t i = 0; i < lines.size(); i += 2) {
    ASSERT_TRUE(op->drawing()->object_list().remove(lines[i]));
    render()->remove_from_display_list(lines[i]);
    delete lines[i];
  }
  for (int i = 0; i < 30; ++i) add_line(As_Pt(15, 20 + 9 * i, 0), As_Pt(560, 25 + 9 * i, 0), 0x0000FF);
  paint();
  const std::vector<uint32_t> after_change = window_pixels();
  EXPECT_EQ(render()->display_list().count(), 70);
  paint();
  EXPECT_EQ(window_pixels(), after_change);
  EXPECT_EQ(render()->display_list().count(), 70);
}

// The line's display node draws in its own colour over the surface colour,
// so the selection shows as the dash pattern.
TEST_F(ViewTest, SelectionIsDashedAndFirstInTheDisplayList) {
  Snap_Line* a = add_line(As_Pt(10, 300, 0), As_Pt(400, 300, 0), 0xFFFFFF);
  Snap_Line* b = add_line(As_Pt(10, 200, 0), As_Pt(400, 200, 0), 0xFFFFFF);
  op->add_entity_to_selection(b, false);
  paint();
  ASSERT_EQ(render()->display_list().first(), b);
  EXPECT_TRUE(render()->display_list().contains(a));
  const std::vector<uint32_t> win = window_pixels();
  const int row = int(to_screen(As_Pt(0, 200, 0)).y());
  int on = 0, off = 0;
  for (int x = 20; x < 390; ++x) {
    const uint32_t px = win[size_t(row) * 800 + x];
    if (px == 0xFFFFFFu) ++on;
    if (px == 0) ++off;
  }
  EXPECT_GT(on, 100);
  EXPECT_GT(off, 100);
  op->clear_selectlist(false);
  paint();
  const std::vector<uint32_t> after = window_pixels();
  for (int x = 20; x < 390; ++x) ASSERT_EQ(after[size_t(row) * 800 + x], 0xFFFFFFu) << x;
}

TEST_F(ViewTest, ExportedPngMatchesTheSurface) {
  // Ends at pixel centres, so that both transforms truncate alike.
  const double ends[][4] = {{40.5, 30.5, 700.5, 500.5}, {100.5, 550.5, 600.5, 80.5}, {50.5, 300.5, 750.5, 300.5}};
  const int32_t colours[] = {0x00FFFF, 0xFF8000, 0x8080FF};
  Snap_Line* lines[3];
  for (int i = 0; i < 3; ++i)
    lines[i] = add_line(to_drawing(ends[i][0], ends[i][1]), to_drawing(ends[i][2], ends[i][3]), colours[i]);
  paint();
  op->add_entity_to_selection(lines[2], false);
  // An exported area spans the picture's pixels from the middle of the first
  // to the middle of the last: the view's pixels show the area between the
  // middles of its corner pixels.
  As_Rect area;
  area.set_rect(to_drawing(0.5, 0.5), to_drawing(799.5, 599.5));
  const std::string path = qm_test_temp("qm_export.png");
  ASSERT_TRUE(render()->export_image(path.c_str(), area, 800, 600, 0, 0));
  CxImage image(path.c_str(), CXIMAGE_FORMAT_PNG);
  ASSERT_TRUE(image.IsValid());
  ASSERT_EQ(image.GetWidth(), 800u);
  ASSERT_EQ(image.GetHeight(), 600u);
  // The surface draws a line from its end back to its start, GDI from its
  // start: the two pictures may differ only at the lines' two end pixels.
  std::set<std::pair<int, int>> line_ends;
  for (const auto& e : ends) {
    line_ends.insert({int(e[0]), int(e[1])});
    line_ends.insert({int(e[2]), int(e[3])});
  }
  Probe probe(render()->quick_dc());
  int same = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const bool equal = rgb_of(image.GetPixelColor(x, y)) == (probe.at(x, y) & 0xFFFFFF);
      if (equal && probe.at(x, y) & 0xFFFFFF) ++same;
      if (!equal) {
        EXPECT_TRUE(line_ends.count({x, y})) << x << "," << y;
      }
    }
  // The selected line is in the picture although it is selected.
  EXPECT_GT(same, 1500);
  EXPECT_EQ(rgb_of(image.GetPixelColor(400, 300)), rgb_of(0x8080FF));
  std::remove(path.c_str());
}

// The metafile export holds the same picture as the PNG export of the view.
TEST_F(ViewTest, MetafileExportShowsWhatThePngExportShows) {
  add_line(As_Pt(0, 0, 0), As_Pt(100, 100, 0));
  add_line(As_Pt(0, 100, 0), As_Pt(100, 0, 0));
  As_Rect area;
  area.set_rect(As_Pt(0, 100, 0), As_Pt(100, 0, 0));
  const std::string dir = qm_test_temp("");
  const std::string png = dir + "view.png", wmf = dir + "view.wmf";
  ASSERT_TRUE(render()->export_image(png.c_str(), area, 64, 48, 0, 0x202020));
  ASSERT_TRUE(render()->export_image(wmf.c_str(), area, 64, 48, 0, 0x202020));
  CxImage a(png.c_str(), CXIMAGE_FORMAT_PNG), b(wmf.c_str(), CXIMAGE_FORMAT_WMF);
  ASSERT_TRUE(a.IsValid());
  ASSERT_TRUE(b.IsValid());
  ASSERT_EQ(b.GetWidth(), a.GetWidth());
  ASSERT_EQ(b.GetHeight(), a.GetHeight());
  int differ = 0, drawn = 0;
  for (long y = 0; y < long(a.GetHeight()); ++y)
    for (long x = 0; x < long(a.GetWidth()); ++x) {
      differ += a.GetPixelColor(x, y) != b.GetPixelColor(x, y);
      drawn += b.GetPixelColor(x, y) != a.GetPixelColor(0, 0);
    }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(drawn, 40) << "the two lines are in it";
  std::remove(png.c_str());
  std::remove(wmf.c_str());
}

TEST_F(ViewTest, ExportFormatsAndFailures) {
  add_line(As_Pt(0, 0, 0), As_Pt(100, 100, 0));
  As_Rect area;
  area.set_rect(As_Pt(0, 100, 0), As_Pt(100, 0, 0));
  const std::string dir = qm_test_temp("");
  struct Case {
    const char* name;
    bool ok;
    DWORD format;
  } cases[] = {{"a.Png", true, CXIMAGE_FORMAT_PNG}, {"a.BMP", true, CXIMAGE_FORMAT_BMP},
               {"a.jpeg", true, CXIMAGE_FORMAT_JPG}, {"noext", true, CXIMAGE_FORMAT_JPG},
               {"a.Wmf", true, CXIMAGE_FORMAT_WMF}};
  for (const Case& c : cases) {
    const std::string path = dir + c.name;
    EXPECT_EQ(render()->export_image(path.c_str(), area, 50, 40, 0, 0xFFFFFF), c.ok) << c.name;
    if (c.ok) {
      CxImage image(path.c_str(), c.format);
      EXPECT_TRUE(image.IsValid()) << c.name;
      EXPECT_EQ(image.GetPixelColor(0, 0), 0xFFFFFFu) << c.name;
    }
    std::remove(path.c_str());
  }
  As_Rect thin;
  thin.set_rect(As_Pt(0, 100, 0), As_Pt(0.0005, 0, 0));
  EXPECT_FALSE(render()->export_image((dir + "t.png").c_str(), thin, 50, 40, 0, 0));
  EXPECT_FALSE(render()->export_image((dir + "t.png").c_str(), area, 1, 40, 0, 0));
  EXPECT_FALSE(render()->export_image((dir + "no/such/dir/t.png").c_str(), area, 50, 40, 0, 0));
  // A bitmap too large to make.
  EXPECT_FALSE(render()->export_image((dir + "t.png").c_str(), area, 100000, 100000, 0, 0));
  EXPECT_FALSE(render()->export_image((dir + "t.png").c_str(), area, 1L << 40, 100, 0, 0));
}

TEST_F(ViewTest, ExportToTheClipboard) {
  add_line(As_Pt(0, 0, 0), As_Pt(100, 100, 0));
  As_Rect area;
  area.set_rect(As_Pt(0, 100, 0), As_Pt(100, 0, 0));
  ASSERT_TRUE(render()->export_image("", area, 60, 60, 0, 0));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_NE(GetClipboardData(CF_BITMAP), nullptr);
  // While someone else holds the clipboard, the export fails and the bitmap
  // it made is freed (the leak check sees it otherwise).
  EXPECT_FALSE(render()->export_image("", area, 60, 60, 0, 0));
  CloseClipboard();
}

TEST_F(ViewTest, RenderList) {
  MB_Draw_Render_List list;
  list.add(nullptr);
  EXPECT_EQ(list.head(), nullptr);
  MB_Draw_Render* a = new MB_Draw_Render;
  MB_Draw_Render* b = new MB_Draw_Render;
  b->layout(reinterpret_cast<MB_Layout*>(b));
  list.add(a);
  list.add(b);
  EXPECT_EQ(list.cur(), b);
  list.set_cur(nullptr);
  EXPECT_EQ(list.cur(), a);
  list.set_cur(reinterpret_cast<MB_Layout*>(b));
  EXPECT_EQ(list.cur(), b);
  list.set_cur(reinterpret_cast<MB_Layout*>(a));
  EXPECT_EQ(list.cur(), b);
  EXPECT_EQ(a->next(), b);
  EXPECT_EQ(b->prev(), a);
}
