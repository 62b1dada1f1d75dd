// quillmark_host on an X display (an Xvfb server of the test's own): the X
// window shows the very pixels the headless picture of the same steps holds,
// real input sent through the server (XTest) draws as the same input
// injected headless does, and a display that refuses, goes away or is
// resized to extremes ends or bends the program cleanly.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <ximage.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "tests/support/program_run.h"
#include "tests/support/test_temp.h"
#include "tests/support/xvfb_server.h"

// After the test framework: Xlib's macros (None, Bool) would break it.
#include "tests/platform_x11/x11_fixture.h"

#include <X11/keysym.h>

namespace {

using x11_test::Background;

constexpr int kWidth = 400, kHeight = 300;

long differing_pictures(const CxImage& a, const CxImage& b) {
  long n = 0;
  for (unsigned y = 0; y < a.GetHeight(); ++y)
    for (unsigned x = 0; x < a.GetWidth(); ++x)
      n += a.GetPixelColor(static_cast<long>(x), static_cast<long>(y)) !=
           b.GetPixelColor(static_cast<long>(x), static_cast<long>(y));
  return n;
}

class HostOnX : public x11_test::HostTest {
 protected:
  std::string folder_name() const override { return "host_x11"; }

  std::unique_ptr<Background> start_host(const std::string& drawing = "") {
    return std::make_unique<Background>(
        QM_HOST_PROGRAM, std::vector<std::string>{"--size", "400x300", drawing.empty() ? sample_ : drawing}, server_->name(), dir_);
  }

  // The host's window once it is on screen, 0 when it is not within the time;
  // or the first other window shown, when `other`.
  Window find_window(bool other = false, int seconds = 60) {
    return x11_test::find_window(dpy_, "Quillmark", other, seconds);
  }

  // How many pixels of the window's top-left picture-sized part differ from
  // the picture; -1 when the window cannot be read.
  long differing(Window w, const CxImage& picture) {
    const int pw = static_cast<int>(picture.GetWidth()), ph = static_cast<int>(picture.GetHeight());
    XImage* img = XGetImage(dpy_, w, 0, 0, static_cast<unsigned>(pw), static_cast<unsigned>(ph), AllPlanes, ZPixmap);
    if (!img) return -1;
    long n = 0;
    for (int y = 0; y < ph; ++y)
      for (int x = 0; x < pw; ++x) {
        const unsigned long p = XGetPixel(img, x, y);
        const COLORREF want = picture.GetPixelColor(x, y);
        n += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) != want;
      }
    // To look at a difference: QM_X11_DUMP=where.png writes the window there
    // and the picture beside it (where.png.want.png).
    if (n && getenv("QM_X11_DUMP")) {
      CxImage d;
      d.Create(static_cast<DWORD>(pw), static_cast<DWORD>(ph), 24);
      for (int y = 0; y < ph; ++y)
        for (int x = 0; x < pw; ++x) {
          const unsigned long p = XGetPixel(img, x, y);
          d.SetPixelColor(x, y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
      d.Save(getenv("QM_X11_DUMP"), CXIMAGE_FORMAT_PNG);
      CxImage copy = picture;
      copy.Save((std::string(getenv("QM_X11_DUMP")) + ".want.png").c_str(), CXIMAGE_FORMAT_PNG);
    }
    XDestroyImage(img);
    return n;
  }

  // Waits until the window shows the picture; the pixels that still differ.
  long settle(Window w, const CxImage& picture, int seconds = 60) {
    return x11_test::settle([&] { return differing(w, picture); }, seconds);
  }

  void close_window(Window w) { x11_test::close_window(dpy_, w); }
  void move_to(Window w, int x, int y) { x11_test::move_to(dpy_, w, x, y); }
  void press(unsigned button) { x11_test::press(dpy_, button); }
};

TEST_F(HostOnX, TheWindowShowsWhatTheHeadlessPictureShows) {
  const CxImage picture = headless("");
  auto host = start_host();
  const Window w = find_window();
  ASSERT_NE(w, 0u) << host->err();
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, w, &a));
  EXPECT_EQ(a.width, kWidth);
  EXPECT_EQ(a.height, kHeight);
  EXPECT_EQ(settle(w, picture), 0);
  // Covered and shown again, the window repaints from its own pixels.
  XUnmapWindow(dpy_, w);
  XSync(dpy_, False);
  XMapWindow(dpy_, w);
  XSync(dpy_, False);
  EXPECT_EQ(settle(w, picture), 0);
  close_window(w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

// A point of the view, the creation toolbar's line button, and the two ends
// of the line drawn, in the host's client pixels.
constexpr int kViewX = 310, kViewY = 150;
constexpr int kLineButtonX = 83, kLineButtonY = 289;
constexpr int kFromX = 250, kFromY = 60, kToX = 380, kToY = 250;

std::string at(const char* verb, int x, int y) {
  return std::string(verb) + " " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

TEST_F(HostOnX, RealInputDrawsAsInjectedInputDoes) {
  const std::string zoom =
      at("move", kViewX, kViewY) + "wheel " + std::to_string(kViewX) + " " + std::to_string(kViewY) + " 120\n";
  const std::string button = at("move", kLineButtonX, kLineButtonY) + at("click", kLineButtonX, kLineButtonY);
  const std::string line =
      at("move", kFromX, kFromY) + at("click", kFromX, kFromY) + at("move", kToX, kToY) + at("click", kToX, kToY);
  const CxImage untouched = headless("");
  const CxImage picture = headless(zoom + button + line);
  // The steps zoom, and the button makes the clicks draw a line.
  ASSERT_GT(differing_pictures(untouched, picture), 0);
  ASSERT_GT(differing_pictures(headless(zoom + line), picture), 0);
  auto host = start_host();
  const Window w = find_window();
  ASSERT_NE(w, 0u) << host->err();
  ASSERT_EQ(settle(w, untouched), 0);
  move_to(w, kViewX, kViewY);
  press(Button4);  // one wheel step towards the screen
  move_to(w, kLineButtonX, kLineButtonY);
  press(Button1);
  move_to(w, kFromX, kFromY);
  press(Button1);
  move_to(w, kToX, kToY);
  press(Button1);
  EXPECT_EQ(settle(w, picture), 0);
  close_window(w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(HostOnX, AResizedWindowNeitherVanishesNorGrowsPastItsLimit) {
  auto host = start_host();
  const Window w = find_window();
  ASSERT_NE(w, 0u) << host->err();
  const CxImage picture = headless("");
  ASSERT_EQ(settle(w, picture), 0);
  // Far past the largest image the display makes, then small again: the
  // program follows both and still answers.
  XResizeWindow(dpy_, w, 20000, 20000);
  XSync(dpy_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  XResizeWindow(dpy_, w, 1, 1);
  XSync(dpy_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  XResizeWindow(dpy_, w, kWidth, kHeight);
  XSync(dpy_, False);
  EXPECT_EQ(settle(w, picture), 0);
  close_window(w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(HostOnX, AMessageBoxIsAWindowTheUserAnswers) {
  // A drawing that is not there: the control says so in a message box.
  auto host = start_host(dir_ + "/missing.kzf");
  const Window box = find_window(true);
  ASSERT_NE(box, 0u) << host->err();
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, box, &a));
  EXPECT_GT(a.width, 100);
  EXPECT_GT(a.height, 40);
  // The program waits for the answer.
  EXPECT_EQ(host->finish(1), -1);
  // Enter, typed over the box, presses its default button.
  move_to(box, a.width / 2, a.height / 3);
  x11_test::type_keys(dpy_, {XK_Return});
  EXPECT_EQ(host->finish(60), 1);
  EXPECT_NE(host->err().find("missing.kzf"), std::string::npos) << host->err();
}

TEST_F(HostOnX, ALostDisplayIsSaidAndTheProgramEnds) {
  auto host = start_host();
  ASSERT_NE(find_window(), 0u) << host->err();
  XCloseDisplay(dpy_);
  dpy_ = nullptr;
  server_->stop();
  EXPECT_EQ(host->finish(60), 1);
  EXPECT_NE(host->err().find("connection to the X display was lost"), std::string::npos) << host->err();
}

}  // namespace

// Without Xvfb: a display that cannot be reached.
TEST(HostDisplayChoice, ARefusedDisplayIsSaidAndHeadlessIsTheFallback) {
  const std::string dir = qm_test_temp("host_x11_refused");
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  const std::string shot = dir + "/shot.png";
  // A display number no server has.
  setenv("DISPLAY", ":59999", 1);
  unsetenv("QM_HEADLESS");
  auto fallback = program_test::run(QM_HOST_PROGRAM, {"--size", "100x80", "--screenshot", shot}, dir);
  EXPECT_EQ(fallback.status, 0) << fallback.err;
  EXPECT_NE(fallback.err.find(":59999 cannot be used"), std::string::npos) << fallback.err;
  EXPECT_NE(fallback.err.find("going on without a display"), std::string::npos) << fallback.err;
  EXPECT_EQ(access(shot.c_str(), F_OK), 0);
  // Insisting on the display, the program ends without one.
  setenv("QM_HEADLESS", "0", 1);
  auto insisted = program_test::run(QM_HOST_PROGRAM, {"--size", "100x80"}, dir);
  EXPECT_EQ(insisted.status, 1);
  EXPECT_NE(insisted.err.find(":59999 cannot be used"), std::string::npos) << insisted.err;
  // --headless wins over the environment and the display is not tried.
  auto headless = program_test::run(QM_HOST_PROGRAM, {"--headless", "--size", "100x80"}, dir);
  EXPECT_EQ(headless.status, 0) << headless.err;
  EXPECT_EQ(headless.err, "");
  unsetenv("QM_HEADLESS");
  unsetenv("DISPLAY");
  std::system(("rm -rf '" + dir + "'").c_str());
}
