// quillmark_host on an X display (an Xvfb server of the test's own): the X
// window shows the very pixels the headless picture of the same steps holds,
// real input sent through the server (XTest) draws as the same input
// injected headless does, and a display that refuses, goes away or is
// resized to extremes ends or bends the program cleanly.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <ximage.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

class HostOnX : public x11_test::HostTest {
 protected:
  std::string folder_name() const override { return "host_x11"; }

  // The host on the drawing (the sample when none), replaying the script
  // when one is given.
  std::unique_ptr<Background> start_host(const std::string& drawing = "", const std::string& script = "") {
    std::vector<std::string> args{"--size", "400x300"};
    if (!script.empty()) {
      std::ofstream(dir_ + "/on_x.txt") << script;
      args.insert(args.end(), {"--script", dir_ + "/on_x.txt"});
    }
    args.push_back(drawing.empty() ? sample_ : drawing);
    return std::make_unique<Background>(QM_HOST_PROGRAM, args, server_->name(), dir_);
  }

  // The host's window once it is on screen, 0 when it is not within the time;
  // or the first other window shown, when `other`.
  Window find_window(bool other = false, int seconds = 60) {
    return x11_test::find_window(dpy_, "Quillmark", other, seconds);
  }

  long differing(Window w, const CxImage& picture) { return x11_test::differing(dpy_, w, picture); }

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
  // The line drawn is an unsaved change: the close at the end discards it.
  auto host = start_host("", "answer box no\n");
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

// With an unsaved line, the window manager's close asks whether to save it;
// cancelled, the window stays. Destroyed from outside, the window is asked
// to close the same way, and discarding the line ends the program.
TEST_F(HostOnX, ClosingWithUnsavedChangesAsksAndDestroyedFromOutsideEnds) {
  const std::string edit = "call CreateLine 0 0 100 50\n";
  const CxImage edited = headless(edit);
  auto host = start_host("", edit);
  const Window w = find_window();
  ASSERT_NE(w, 0u) << host->err();
  // Closed only once the edit shows.
  ASSERT_EQ(settle(w, edited), 0);
  // The box's buttons, yes, no and cancel, lie centred in a row at its foot.
  constexpr int kButtonWidth = 75, kGap = 8, kMargin = 12, kButtonHeight = 23;
  const auto answer = [&](bool cancel) {
    const Window box = find_window(true);
    if (!box) return false;
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy_, box, &a)) return false;
    if (cancel) {
      move_to(box, a.width / 2, a.height / 3);
      x11_test::type_keys(dpy_, {XK_Escape});
    } else {
      const int row = 3 * kButtonWidth + 2 * kGap;
      move_to(box, (a.width - row) / 2 + kButtonWidth + kGap + kButtonWidth / 2,
              a.height - kMargin - kButtonHeight / 2);
      press(1);
    }
    return true;
  };
  close_window(w);
  ASSERT_TRUE(answer(true)) << "no question was asked: " << host->err();
  EXPECT_EQ(host->finish(1), -1) << "a cancelled close keeps the program";
  EXPECT_EQ(find_window(false, 5), w);
  XDestroyWindow(dpy_, w);
  XSync(dpy_, False);
  ASSERT_TRUE(answer(false)) << "no question was asked: " << host->err();
  EXPECT_EQ(host->finish(60), 0) << host->err();
}

TEST_F(HostOnX, ALostDisplayIsSaidAndTheProgramEnds) {
  auto host = start_host();
  ASSERT_NE(find_window(), 0u) << host->err();
  XCloseDisplay(dpy_);
  dpy_ = nullptr;
  server_->stop();
  EXPECT_EQ(host->finish(60), 1);
  EXPECT_NE(host->err().find("quillmark_host: the connection to the X display was lost"), std::string::npos)
      << host->err();
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

namespace {

// A server that lets a client connect (the setup, and the replies Xlib
// waits for while it opens the display) and then dies, before the client's
// first request of its own is answered.
class DyingServer {
 public:
  DyingServer() {
    for (int n = 71; n < 99 && listener_ < 0; ++n) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in a = {};
      a.sin_family = AF_INET;
      a.sin_port = htons(static_cast<uint16_t>(6000 + n));
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(fd, 1) == 0) {
        listener_ = fd;
        display_ = "127.0.0.1:" + std::to_string(n);
      } else {
        close(fd);
      }
    }
    if (listener_ >= 0) thread_ = std::thread([this] { serve(); });
  }
  ~DyingServer() {
    shutdown(listener_, SHUT_RDWR);
    close(listener_);
    if (thread_.joinable()) thread_.join();
  }
  const std::string& display() const { return display_; }

 private:
  static bool read_n(int fd, unsigned char* buf, size_t n) {
    for (size_t got = 0; got < n;) {
      const ssize_t r = read(fd, buf + got, n - got);
      if (r <= 0) return false;
      got += static_cast<size_t>(r);
    }
    return true;
  }
  static void put16(std::vector<unsigned char>& b, size_t at, unsigned v) {
    b[at] = static_cast<unsigned char>(v), b[at + 1] = static_cast<unsigned char>(v >> 8);
  }
  static void put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
  }
  // A little-endian setup of one 64x64 true-colour screen.
  static std::vector<unsigned char> setup() {
    const size_t vendor = 4, formats = 1, depths_bytes = 8 + 24;
    const size_t extra = 32 + vendor + 8 * formats + 40 + depths_bytes;
    std::vector<unsigned char> b(8 + extra, 0);
    b[0] = 1;
    put16(b, 2, 11);
    put16(b, 6, static_cast<unsigned>(extra / 4));
    put32(b, 12, 0x200000);  // resource id base
    put32(b, 16, 0x1FFFFF);  // resource id mask
    put16(b, 24, vendor);
    put16(b, 26, 0xFFFF);  // maximum request length
    b[28] = 1, b[29] = static_cast<unsigned char>(formats), b[32] = 32, b[33] = 32, b[34] = 8, b[35] = 255;
    std::memcpy(&b[40], "fake", 4);
    size_t at = 40 + vendor;
    b[at] = 24, b[at + 1] = 32, b[at + 2] = 32;  // the pixmap format of depth 24
    at += 8;
    put32(b, at, 0x100);     // root
    put32(b, at + 4, 0x20);  // colormap
    put32(b, at + 8, 0xFFFFFF);
    put16(b, at + 20, 64), put16(b, at + 22, 64), put16(b, at + 24, 20), put16(b, at + 26, 20);
    put16(b, at + 28, 1), put16(b, at + 30, 1);
    put32(b, at + 32, 0x21);          // root visual
    b[at + 38] = 24, b[at + 39] = 1;  // root depth, one depth
    at += 40;
    b[at] = 24;
    put16(b, at + 2, 1);
    at += 8;
    put32(b, at, 0x21);
    b[at + 4] = 4, b[at + 5] = 8;  // TrueColor, 8 bits
    put16(b, at + 6, 256);
    put32(b, at + 8, 0xFF0000), put32(b, at + 12, 0xFF00), put32(b, at + 16, 0xFF);
    return b;
  }
  void serve() {
    const int fd = accept(listener_, nullptr, nullptr);
    if (fd < 0) return;
    unsigned char head[12];
    if (read_n(fd, head, sizeof head)) {
      const size_t auth = ((head[6] | head[7] << 8) + 3u) / 4u * 4u + ((head[8] | head[9] << 8) + 3u) / 4u * 4u;
      std::vector<unsigned char> skip(auth);
      const std::vector<unsigned char> reply = setup();
      if (read_n(fd, skip.data(), auth) && write(fd, reply.data(), reply.size()) == ssize_t(reply.size())) {
        // Answer what Xlib asks while it opens the display (extensions it
        // looks for, the resource database: none of them here), and die at
        // the program's first query, for shared memory.
        for (unsigned sequence = 1;; ++sequence) {
          unsigned char req[4];
          if (!read_n(fd, req, 4)) break;
          std::vector<unsigned char> body((size_t(req[2] | req[3] << 8) * 4u) - 4u);
          if (!read_n(fd, body.data(), body.size())) break;
          const bool shared_memory = body.size() >= 11 && std::memcmp(&body[4], "MIT-SHM", 7) == 0;
          constexpr unsigned char kGetProperty = 20, kQueryExtension = 98;
          if (req[0] != kGetProperty && req[0] != kQueryExtension) continue;  // no reply wanted
          if (req[0] == kQueryExtension && shared_memory) break;
          std::vector<unsigned char> r(32, 0);
          r[0] = 1;
          put16(r, 2, sequence);
          if (write(fd, r.data(), r.size()) != ssize_t(r.size())) break;
        }
      }
    }
    close(fd);
  }

  int listener_ = -1;
  std::string display_;
  std::thread thread_;
};

}  // namespace

// A display that dies while the program opens it: the opening fails, and the
// program goes on headless as for a refused display; it never says it ends
// and then runs on.
TEST(HostDisplayChoice, ADisplayLostWhileItOpensIsADisplayThatCannotBeUsed) {
  DyingServer server;
  if (server.display().empty()) GTEST_SKIP() << "no free port for a display";
  const std::string dir = qm_test_temp("host_x11_dying");
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  setenv("DISPLAY", server.display().c_str(), 1);
  unsetenv("QM_HEADLESS");
  auto r = program_test::run(QM_HOST_PROGRAM, {"--size", "100x80", "--screenshot", dir + "/shot.png"}, dir, "", 20);
  unsetenv("DISPLAY");
  std::system(("rm -rf '" + dir + "'").c_str());
  EXPECT_FALSE(r.timed_out) << r.err;
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("the program ends"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("lost while it was being opened"), std::string::npos) << r.err;
}
