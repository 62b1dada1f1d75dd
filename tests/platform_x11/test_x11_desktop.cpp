// quillmark_host on an X display as a person uses a desktop: a popup menu is
// a window of its own that the keys walk and pick from, a modal dialog keeps
// its owner from taking input, and a window resized lays the control out
// again as it would be laid out at that size from the start.
#include <gtest/gtest.h>
#include <ximage.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/test_temp.h"
#include "tests/support/xvfb_server.h"

// After the test framework: Xlib's macros (None, Bool) would break it.
#include "tests/platform_x11/x11_fixture.h"

#include <X11/keysym.h>

namespace {

using x11_test::Background;

// The standard toolbar along the top: the interface-menu button is its
// sixteenth, 23 pixels a button.
constexpr int kMenuButtonX = 15 * 23 + 11, kMenuButtonY = 11;
// A point of the side panel's property list (white while the panel shows).
constexpr int kPanelX = 150, kPanelY = 140;
// A point of the drawing view where no entity lies.
constexpr int kViewX = 310, kViewY = 60;
// How thick a toolbar is, and where the side panel ends.
constexpr int kBar = 22, kPanelRight = 215;

class DesktopOnX : public x11_test::HostTest {
 protected:
  std::string folder_name() const override { return "desktop_x11"; }
  std::unique_ptr<Background> start_host() {
    return std::make_unique<Background>(QM_HOST_PROGRAM, std::vector<std::string>{"--size", "400x300", sample_},
                                        server_->name(), dir_);
  }
  // The override-redirect windows shown (menus, lists, tips); or, when
  // `framed`, the other windows shown but the host's (dialogs).
  std::vector<Window> popups(bool framed = false) {
    std::vector<Window> out;
    Window root_back, parent, *children = nullptr;
    unsigned n = 0;
    if (XQueryTree(dpy_, DefaultRootWindow(dpy_), &root_back, &parent, &children, &n)) {
      for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        char* title = nullptr;
        const bool host = XFetchName(dpy_, children[i], &title) && title && std::string(title) == "Quillmark";
        if (title) XFree(title);
        if (XGetWindowAttributes(dpy_, children[i], &a) && a.map_state == IsViewable &&
            (framed ? !a.override_redirect && !host : a.override_redirect != 0))
          out.push_back(children[i]);
      }
      if (children) XFree(children);
    }
    return out;
  }
  // The first popup (or dialog) shown within the time, 0 for none.
  Window wait_popup(int seconds, bool framed = false) {
    const auto deadline = x11_test::Clock::now() + std::chrono::seconds(seconds);
    while (x11_test::Clock::now() < deadline) {
      const std::vector<Window> p = popups(framed);
      if (!p.empty()) return p.front();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
  }
  uint32_t pixel(Window w, int x, int y) {
    XImage* img = XGetImage(dpy_, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0xFF000000u;
    const uint32_t p = static_cast<uint32_t>(XGetPixel(img, 0, 0) & 0xFFFFFF);
    XDestroyImage(img);
    return p;
  }
  long differing(Window w, const CxImage& picture) { return x11_test::differing(dpy_, w, picture); }
  // How many pixels inside r differ from the picture.
  long differing_in(Window w, const CxImage& picture, const RECT& r) {
    XImage* img = XGetImage(dpy_, w, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                            static_cast<unsigned>(r.bottom - r.top), AllPlanes, ZPixmap);
    if (!img) return -1;
    long n = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
      for (LONG x = r.left; x < r.right; ++x) {
        const unsigned long p = XGetPixel(img, x - r.left, y - r.top);
        n += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) != picture.GetPixelColor(x, y);
      }
    XDestroyImage(img);
    return n;
  }
  // The headless picture of the host started at that size.
  CxImage headless_at(int width, int height) {
    std::ofstream(dir_ + "/steps.txt") << "wait 1000\n";
    const std::string shot = dir_ + "/headless.png";
    auto r = program_test::run(QM_HOST_PROGRAM,
                               {"--headless", "--size", std::to_string(width) + "x" + std::to_string(height),
                                "--script", dir_ + "/steps.txt", "--screenshot", shot, sample_},
                               dir_);
    EXPECT_EQ(r.status, 0) << r.err;
    CxImage image;
    EXPECT_TRUE(image.Load(shot.c_str(), CXIMAGE_FORMAT_PNG));
    return image;
  }
  // The host's window once it shows what it painted first; 0 when it does
  // not show.
  Window shown(const Background& host) {
    const Window w = x11_test::find_window(dpy_, "Quillmark");
    if (!w) return 0;
    EXPECT_EQ(x11_test::settle([&, picture = headless("")] { return differing(w, picture); }, 30), 0) << host.err();
    return w;
  }
  void click(Window w, int x, int y) {
    x11_test::move_to(dpy_, w, x, y);
    x11_test::press(dpy_, 1);
  }
};

TEST_F(DesktopOnX, ThePopupMenuIsAWindowTheKeysWalkAndPickFrom) {
  auto host = start_host();
  const Window w = shown(*host);
  ASSERT_NE(w, 0u) << host->err();
  ASSERT_EQ(pixel(w, kPanelX, kPanelY), 0xFFFFFFu) << "the side panel shows";
  click(w, kMenuButtonX, kMenuButtonY);
  const Window menu = wait_popup(30);
  ASSERT_NE(menu, 0u) << host->err();
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, menu, &a));
  EXPECT_GT(a.height, 6 * 15) << "eight items";
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(dpy_, menu, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
  EXPECT_LE(x + a.width, DisplayWidth(dpy_, DefaultScreen(dpy_))) << "on the screen";
  // Walked down two items: the second shows hot.
  x11_test::type_keys(dpy_, {XK_Down, XK_Down});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  x11_test::save_screen(dpy_, "popup_menu");
  // Home, then from the creation bar to the modify bar, the markup bar (greyed) and the
  // side panel: Enter hides the panel.
  x11_test::type_keys(dpy_, {XK_Home, XK_Down, XK_Down, XK_Down, XK_Return});
  EXPECT_EQ(x11_test::settle([&] { return popups().empty() ? 0L : 1L; }, 30), 0) << "the menu went";
  EXPECT_EQ(x11_test::settle([&] { return pixel(w, kPanelX, kPanelY) != 0xFFFFFFu ? 0L : 1L; }, 30), 0)
      << "the side panel went";
  // Opened again, Escape and a click outside leave everything as it was.
  click(w, kMenuButtonX, kMenuButtonY);
  ASSERT_NE(wait_popup(30), 0u);
  x11_test::type_keys(dpy_, {XK_Escape});
  EXPECT_EQ(x11_test::settle([&] { return popups().empty() ? 0L : 1L; }, 30), 0);
  click(w, kMenuButtonX, kMenuButtonY);
  ASSERT_NE(wait_popup(30), 0u);
  click(w, 200, 200);
  EXPECT_EQ(x11_test::settle([&] { return popups().empty() ? 0L : 1L; }, 30), 0);
  EXPECT_NE(pixel(w, kPanelX, kPanelY), 0xFFFFFFu) << "the side panel stays hidden";
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(DesktopOnX, AClickInTheViewGivesItTheKeys) {
  auto host = start_host();
  const Window w = shown(*host);
  ASSERT_NE(w, 0u) << host->err();
  // The view's picture, then a click in it (on nothing) and an arrow: the
  // drawing pans, as the same steps do headless.
  const CxImage before = headless("");
  click(w, kViewX, kViewY);
  x11_test::type_keys(dpy_, {XK_Up});
  const CxImage panned = headless("click " + std::to_string(kViewX) + " " + std::to_string(kViewY) + "\nkey up\n");
  // All but the few pixels the pointer's own marks may take where it rests.
  constexpr long kPointerMarks = 64;
  EXPECT_LE(x11_test::settle([&] { return differing(w, panned) <= kPointerMarks ? 0L : 1L; }, 30), 0);
  EXPECT_LE(differing(w, panned), kPointerMarks);
  EXPECT_GT(differing(w, before), 1000) << "the drawing moved";
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(DesktopOnX, AMenuOpenedAtTheScreensCornerStaysOnTheScreen) {
  auto host = start_host();
  const Window w = shown(*host);
  ASSERT_NE(w, 0u) << host->err();
  const int screen_w = DisplayWidth(dpy_, DefaultScreen(dpy_)), screen_h = DisplayHeight(dpy_, DefaultScreen(dpy_));
  XMoveWindow(dpy_, w, screen_w - 400, screen_h - 300);
  XSync(dpy_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  // The menu button lies by the screen's right edge: the menu opens to the
  // pointer's left rather than past the edge.
  click(w, kMenuButtonX, kMenuButtonY);
  const Window menu = wait_popup(30);
  ASSERT_NE(menu, 0u) << host->err();
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, menu, &a));
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(dpy_, menu, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
  EXPECT_GE(x, 0);
  EXPECT_LE(x + a.width, screen_w);
  EXPECT_LE(y + a.height, screen_h);
  x11_test::type_keys(dpy_, {XK_Escape});
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(DesktopOnX, WhileTheVersionBoxIsOpenTheToolbarTakesNoClick) {
  auto host = start_host();
  const Window w = shown(*host);
  ASSERT_NE(w, 0u) << host->err();
  // The interface menu's last item opens the version box.
  click(w, kMenuButtonX, kMenuButtonY);
  ASSERT_NE(wait_popup(30), 0u);
  x11_test::type_keys(dpy_, {XK_End, XK_Return});
  const Window box = wait_popup(30, true);
  ASSERT_NE(box, 0u) << host->err();
  // The toolbar's menu button pressed meanwhile opens nothing.
  click(w, kMenuButtonX, kMenuButtonY);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(popups().empty());
  // Escape, typed with the pointer still over the owner, reaches the box as
  // the keys reach the active dialog on Windows; once the box is closed the
  // button answers again.
  x11_test::type_keys(dpy_, {XK_Escape});
  EXPECT_EQ(x11_test::settle([&] { return popups(true).empty() ? 0L : 1L; }, 30), 0);
  click(w, kMenuButtonX, kMenuButtonY);
  EXPECT_NE(wait_popup(30), 0u);
  x11_test::type_keys(dpy_, {XK_Escape});
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(DesktopOnX, AResizedWindowIsLaidOutAsAtThatSizeFromTheStart) {
  auto host = start_host();
  const Window w = shown(*host);
  ASSERT_NE(w, 0u) << host->err();
  struct Size {
    int width, height;
  };
  for (const Size s : {Size{560, 420}, Size{340, 240}}) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
    XResizeWindow(dpy_, w, static_cast<unsigned>(s.width), static_cast<unsigned>(s.height));
    XSync(dpy_, False);
    // The toolbars along the top, the left and the bottom, and the side
    // panel's tabs along its bottom, as at that size from the start (the
    // panel keeps the split of its list); the view fills the rest (a resize keeps the view's
    // scale, so the drawing itself may differ).
    const CxImage picture = headless_at(s.width, s.height);
    const RECT bars[] = {{0, 0, s.width, kBar},
                         {0, 0, kBar, s.height},
                         {0, s.height - kBar, s.width, s.height},
                         {0, s.height - 2 * kBar, kPanelRight, s.height}};
    for (const RECT& r : bars)
      EXPECT_EQ(x11_test::settle([&] { return differing_in(w, picture, r); }, 30), 0)
          << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_EQ(pixel(w, s.width - 4, s.height - kBar - 4), 0u) << "the view reaches the corner";
    x11_test::save_screen(dpy_, "resized_" + std::to_string(s.width) + "x" + std::to_string(s.height));
  }
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

}  // namespace
