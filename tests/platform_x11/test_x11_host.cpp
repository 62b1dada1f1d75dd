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

#include <X11/extensions/Xfixes.h>
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

class HostOnX : public x11_test::DisplayTest {
 protected:
  void SetUp() override {
    dir_ = qm_test_temp("host_x11");
    ASSERT_EQ(std::system(("mkdir -p '" + dir_ + "'").c_str()), 0);
    // The sample drawing, as the render example saves it.
    auto r = program_test::run(QM_RENDER_PROGRAM, {"-o", "sample.png"}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    sample_ = dir_ + "/sample.kzf";
    open_display();
  }
  void TearDown() override {
    DisplayTest::TearDown();
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  // The headless picture of the steps (a script, maybe empty), taken once
  // the control's idle work (a timer that updates the toolbars) has run, as
  // it has on a display by the time the picture settles.
  CxImage headless(const std::string& script) {
    std::ofstream(dir_ + "/steps.txt") << script << "wait 1000\n";
    const std::string shot = dir_ + "/headless.png";
    auto r = program_test::run(
        QM_HOST_PROGRAM,
        {"--headless", "--size", "400x300", "--script", dir_ + "/steps.txt", "--screenshot", shot, sample_}, dir_);
    EXPECT_EQ(r.status, 0) << r.err;
    CxImage image;
    EXPECT_TRUE(image.Load(shot.c_str(), CXIMAGE_FORMAT_PNG));
    return image;
  }

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

  std::string dir_, sample_;
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

// The first viewable top-level window whose _NET_WM_NAME is `utf8`; 0 when
// none shows within the time (looked for at least once).
Window find_by_net_name(Display* dpy, const std::string& utf8, int seconds) {
  const Atom net_name = XInternAtom(dpy, "_NET_WM_NAME", False), utf8_string = XInternAtom(dpy, "UTF8_STRING", False);
  const auto deadline = x11_test::Clock::now() + std::chrono::seconds(seconds);
  // A window may go between listing it and reading it: that error is no failure.
  struct Quiet {
    XErrorHandler old = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    ~Quiet() { XSetErrorHandler(old); }
  } quiet;
  for (bool first = true; first || x11_test::Clock::now() < deadline; first = false) {
    Window root_back, parent, *children = nullptr, found = 0;
    unsigned n = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root_back, &parent, &children, &n)) {
      for (unsigned i = 0; i < n && !found; ++i) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        XWindowAttributes a;
        if (XGetWindowProperty(dpy, children[i], net_name, 0, 256, False, utf8_string, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
          if (std::string(reinterpret_cast<char*>(data), count) == utf8 &&
              XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable)
            found = children[i];
          XFree(data);
        }
      }
      if (children) XFree(children);
    }
    XSync(dpy, False);
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

TEST_F(HostOnX, AToolbarButtonHoveredShowsItsTooltipWindow) {
  // The standard toolbar's first button: a new drawing.
  constexpr int kNewX = 11, kNewY = 11;
  const char kNewTip[] = "\xe6\x96\xb0\xe5\xbb\xba\xe6\x96\x87\xe4\xbb\xb6";  // 新建文件
  const CxImage picture = headless(at("move", kNewX, kNewY));
  auto host = start_host();
  const Window w = find_window();
  ASSERT_NE(w, 0u) << host->err();
  ASSERT_EQ(settle(w, headless("")), 0);
  move_to(w, kNewX, kNewY);
  // After the system's delay a tip of its own shows by the pointer: a
  // window the window manager leaves alone, the button's text its name.
  const Window tip = find_by_net_name(dpy_, kNewTip, 10);
  ASSERT_NE(tip, 0u) << host->err();
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, tip, &a));
  EXPECT_TRUE(a.override_redirect);
  int tx = 0, ty = 0;
  Window child;
  XTranslateCoordinates(dpy_, tip, w, 0, 0, &tx, &ty, &child);
  EXPECT_GT(ty, kNewY) << "below the pointer";
  // It shows what the headless picture shows there.
  const long n = x11_test::settle(
      [&] {
        XImage* img = XGetImage(dpy_, tip, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                                AllPlanes, ZPixmap);
        if (!img) return -1L;
        long differ = 0;
        for (int y = 0; y < a.height; ++y)
          for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(img, x, y);
            differ += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) != picture.GetPixelColor(tx + x, ty + y);
          }
        XDestroyImage(img);
        return differ;
      },
      30);
  EXPECT_EQ(n, 0);
  // A click takes it away.
  press(Button1);
  EXPECT_EQ(x11_test::settle([&] { return find_by_net_name(dpy_, kNewTip, 0) ? 1L : 0L; }, 30), 0);
  close_window(w);
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(HostOnX, AToolShowsItsOwnCursorPicture) {
  // The standard toolbar's pan button, then the view.
  constexpr int kPanX = 5 * 23 + 11, kPanY = 11;
  const std::string program = QM_HOST_PROGRAM;
  const std::string file = program.substr(0, program.rfind('/')) + "/pictures/cursor_pan_view0.png";
  CxImage want;
  ASSERT_TRUE(want.Load(file.c_str(), CXIMAGE_FORMAT_PNG)) << file;
  auto host = start_host();
  const Window w = find_window();
  ASSERT_NE(w, 0u) << host->err();
  ASSERT_EQ(settle(w, headless("")), 0);
  move_to(w, kPanX, kPanY);
  press(Button1);
  move_to(w, kViewX, kViewY);
  move_to(w, kViewX + 1, kViewY);
  // The pointer over the view shows the open hand as drawn, its hot spot
  // in the middle; dark pixels black, light ones white, the rest clear.
  const long n = x11_test::settle(
      [&] {
        XFixesCursorImage* c = XFixesGetCursorImage(dpy_);
        if (!c) return -1L;
        long differ = 0;
        if (c->width != want.GetWidth() || c->height != want.GetHeight() || c->xhot != 15 || c->yhot != 15) {
          differ = 1;
        } else {
          for (long y = 0; y < static_cast<long>(c->height); ++y)
            for (long x = 0; x < static_cast<long>(c->width); ++x) {
              const unsigned long got = c->pixels[y * c->width + x] & 0xFFFFFFFFul;
              const COLORREF colour = want.GetPixelColor(x, y);
              const unsigned long expect =
                  want.AlphaGet(x, y) < 128 ? 0ul : (colour == RGB(0, 0, 0) ? 0xFF000000ul : 0xFFFFFFFFul);
              differ += got != expect;
            }
        }
        XFree(c);
        return differ;
      },
      30);
  EXPECT_EQ(n, 0);
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
