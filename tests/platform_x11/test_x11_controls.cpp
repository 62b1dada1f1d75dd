// The common controls of quillmark_host on an X display (an Xvfb server of
// the test's own), used through real input sent through the server (XTest):
// the side panel's tabs show their pages, a combo box opens its list as a
// window of its own and takes an entry picked from it, and the insert-block
// dialog's thumbnails scroll by the scroll bar's arrow and by its thumb.
#include <gtest/gtest.h>
#include <ximage.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/test_temp.h"
#include "tests/support/xvfb_server.h"

// After the test framework: Xlib's macros (None, Bool) would break it.
#include "tests/platform_x11/x11_fixture.h"

#include <X11/keysym.h>

namespace {

using x11_test::Background;

// The host is 400 by 300: the side panel's tabs lie along its bottom, at
// y 260 (属性, 图库, 设置 from the left); the library page's combo box
// (图库类型) has its arrow at (189, 162).
constexpr int kTabsY = 260;
constexpr int kTabX[] = {47, 81, 115};
constexpr int kComboArrowX = 189, kComboArrowY = 162;
// A point of the page: the property list (white), the library's
// thumbnail strip (black) or the settings page (the button face).
constexpr int kPageX = 150, kPageY = 140;

class ControlsOnX : public x11_test::HostTest {
 protected:
  std::string folder_name() const override { return "controls_x11"; }

  std::unique_ptr<Background> start_host(const std::string& script = "") {
    std::vector<std::string> args{"--size", "400x300"};
    if (!script.empty()) {
      std::ofstream(dir_ + "/on_x.txt") << script;
      args.insert(args.end(), {"--script", dir_ + "/on_x.txt"});
    }
    args.push_back(sample_);
    return std::make_unique<Background>(QM_HOST_PROGRAM, args, server_->name(), dir_);
  }

  // The pixels of a window's part (its whole when w or h is 0), as 0x00RRGGBB.
  std::vector<uint32_t> grab(Window win, int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    XImage* img = XGetImage(dpy_, win, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!img) return out;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) out.push_back(static_cast<uint32_t>(XGetPixel(img, i, j) & 0xFFFFFF));
    XDestroyImage(img);
    return out;
  }
  uint32_t pixel(Window win, int x, int y) {
    const std::vector<uint32_t> p = grab(win, x, y, 1, 1);
    return p.empty() ? 0xFF000000u : p[0];
  }
  // How many pixels of the window differ from the picture.
  long differing(Window win, const CxImage& picture) {
    const int w = static_cast<int>(picture.GetWidth()), h = static_cast<int>(picture.GetHeight());
    const std::vector<uint32_t> shown = grab(win, 0, 0, w, h);
    if (shown.empty()) return -1;
    long n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const COLORREF want = picture.GetPixelColor(x, y);
        const uint32_t p = shown[static_cast<size_t>(y * w + x)];
        n += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) != want;
      }
    return n;
  }
  void click(Window win, int x, int y) {
    x11_test::move_to(dpy_, win, x, y);
    x11_test::press(dpy_, 1);
  }
};

TEST_F(ControlsOnX, EachSidePanelTabClickedShowsItsPage) {
  auto host = start_host();
  const Window w = x11_test::find_window(dpy_, "Quillmark");
  ASSERT_NE(w, 0u) << host->err();
  struct Tab {
    int index;
    uint32_t page;
  };
  const uint32_t face = 0xD4D0C8;
  // Once the window shows what the program painted first.
  EXPECT_EQ(x11_test::settle([&, picture = headless("")] { return differing(w, picture); }, 30), 0);
  std::string steps;
  for (const Tab& t : {Tab{1, 0x000000}, Tab{2, face}, Tab{0, 0xFFFFFF}}) {
    SCOPED_TRACE(t.index);
    click(w, kTabX[t.index], kTabsY);
    steps += "click " + std::to_string(kTabX[t.index]) + " " + std::to_string(kTabsY) + "\n";
    EXPECT_EQ(x11_test::settle([&] { return pixel(w, kPageX, kPageY) == t.page ? 0L : 1L; }, 30), 0)
        << std::hex << pixel(w, kPageX, kPageY);
    // The very picture the same clicks make headless.
    const CxImage picture = headless(steps);
    EXPECT_EQ(x11_test::settle([&] { return differing(w, picture); }, 30), 0);
  }
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(ControlsOnX, AComboBoxOpensItsListAsAWindowAndTakesTheEntryPicked) {
  auto host = start_host();
  const Window w = x11_test::find_window(dpy_, "Quillmark");
  ASSERT_NE(w, 0u) << host->err();
  EXPECT_EQ(x11_test::settle([&, picture = headless("")] { return differing(w, picture); }, 30), 0);
  click(w, kTabX[1], kTabsY);
  EXPECT_EQ(x11_test::settle([&] { return pixel(w, kPageX, kPageY) == 0 ? 0L : 1L; }, 30), 0) << "the library page";
  click(w, kComboArrowX, kComboArrowY);
  // The list: a window of its own, under the field, no wider than it.
  const Window list = x11_test::find_window(dpy_, "Quillmark", true, 30);
  ASSERT_NE(list, 0u);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, list, &a));
  EXPECT_TRUE(a.override_redirect);
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(dpy_, list, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
  EXPECT_GT(y, kComboArrowY);
  EXPECT_LT(y, kComboArrowY + 20);
  EXPECT_LT(a.width, 150);
  // Its first entry picked: the list goes, the field shows the entry, as
  // the same clicks show headless.
  click(list, 20, 5);
  EXPECT_EQ(x11_test::settle([&] { return x11_test::find_window(dpy_, "Quillmark", true, 1) ? 1L : 0L; }, 30), 0);
  const CxImage picture = headless("click 81 260\nclick 189 162\nclick " + std::to_string(x + 20) + " " +
                                   std::to_string(y + 5) + "\n");
  EXPECT_EQ(x11_test::settle([&] { return differing(w, picture); }, 30), 0);
  const CxImage unpicked = headless("click 81 260\n");
  EXPECT_GT(differing(w, unpicked), 0) << "the field changed";
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(ControlsOnX, InsertBlockThumbnailsScrollByTheArrowAndTheThumb) {
  // Nine blocks (the sample's and eight of lines at different angles): five
  // show at a time. The dialog waits for the user.
  std::string script;
  for (int i = 0; i < 8; ++i)
    script += "call CreateLine 0 0 " + std::to_string(100 - 25 * i) + " " + std::to_string(25 * i) + "\n";
  for (int i = 0; i < 8; ++i)
    script += "call CreateBlock \"B" + std::to_string(i) + "\" 0 0 [" + std::to_string(i + 1) + "] 1 \"d\"\n";
  // The blocks are unsaved changes: the close at the end discards them.
  auto host = start_host("answer box no\n" + script + "command 32773\n");
  const Window dialog = x11_test::find_window(dpy_, "Quillmark", true);
  ASSERT_NE(dialog, 0u) << host->err();
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, dialog, &a));
  // The template is 292 by 130 dialog units; the strip lies at (7, 7, 278,
  // 60), its scroll bar below it at (7, 68, 278, 10).
  const double ux = a.width / 292.0, uy = a.height / 130.0;
  const int strip_x = static_cast<int>(8 * ux), strip_y = static_cast<int>(8 * uy);
  const int strip_w = static_cast<int>(276 * ux), strip_h = static_cast<int>(58 * uy);
  const int bar_y = static_cast<int>(73 * uy), bar_left = static_cast<int>(7 * ux),
            bar_right = static_cast<int>(285 * ux);
  const int arrow = static_cast<int>(10 * uy);
  auto strip = [&] { return grab(dialog, strip_x, strip_y, strip_w, strip_h); };
  // The thumb's right edge: the dark column between the arrows.
  auto thumb_end = [&] {
    const std::vector<uint32_t> row = grab(dialog, 0, bar_y, a.width, 1);
    for (int x = bar_left + arrow + 1; x < bar_right - arrow && x < static_cast<int>(row.size()); ++x)
      if (row[static_cast<size_t>(x)] == 0x404040) return x;
    return -1;
  };
  ASSERT_EQ(x11_test::settle([&] { return thumb_end() > 0 ? 0L : 1L; }, 30), 0);
  const std::vector<uint32_t> first = strip();
  const int start = thumb_end();

  // The right arrow: one cell on.
  click(dialog, bar_right - arrow / 2, bar_y);
  EXPECT_EQ(x11_test::settle([&] { return thumb_end() > start ? 0L : 1L; }, 30), 0);
  EXPECT_EQ(x11_test::settle([&] { return strip() != first ? 0L : 1L; }, 30), 0);
  const std::vector<uint32_t> second = strip();
  const int second_end = thumb_end();

  // The thumb dragged to the right end: the last cells come into view.
  const int from = thumb_end() - arrow / 2;
  x11_test::move_to(dpy_, dialog, from, bar_y);
  XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
  XSync(dpy_, False);
  for (int x = from; x <= bar_right; x += 40) x11_test::move_to(dpy_, dialog, x, bar_y);
  x11_test::move_to(dpy_, dialog, bar_right + 30, bar_y);
  XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
  XSync(dpy_, False);
  // The dialog keeps the last cell's position (8, of nine blocks): the
  // thumb stops eight steps from where it began.
  const int step = second_end - start;
  EXPECT_EQ(x11_test::settle([&] { return std::abs(thumb_end() - (start + 8 * step)) <= 2 ? 0L : 1L; }, 30), 0)
      << thumb_end() << " " << start << " " << step;
  EXPECT_EQ(x11_test::settle([&] { return strip() != second && strip() != first ? 0L : 1L; }, 30), 0);

  // Escape cancels the dialog; the host goes on.
  x11_test::move_to(dpy_, dialog, a.width / 2, a.height / 2);
  x11_test::type_keys(dpy_, {XK_Escape});
  EXPECT_EQ(x11_test::settle([&] { return x11_test::find_window(dpy_, "Quillmark", true, 1) ? 1L : 0L; }, 30), 0);
  const Window w = x11_test::find_window(dpy_, "Quillmark");
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

}  // namespace
