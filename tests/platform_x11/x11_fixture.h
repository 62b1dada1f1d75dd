// What the X display's tests share: a program run in the background on the
// test's display, and real input sent through the server (XTest).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <ximage.h>

#include <memory>

#include "tests/support/program_run.h"
#include "tests/support/test_temp.h"
#include "tests/support/xvfb_server.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace x11_test {

using Clock = std::chrono::steady_clock;

// A program started in the background on the test's display (QM_HEADLESS=0,
// so it never falls back to headless), killed if still running at the end.
class Background {
 public:
  Background(const char* program, const std::vector<std::string>& args, const std::string& display,
             const std::string& folder) {
    err_ = qm_test_temp("background" + std::to_string(++runs_) + ".stderr");
    std::fflush(nullptr);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      qm_test_child_dies_with(parent);
      if (chdir(folder.c_str()) != 0) _exit(127);
      setenv("DISPLAY", display.c_str(), 1);
      setenv("QM_HEADLESS", "0", 1);
      const int null = open("/dev/null", O_RDWR);
      const int err = open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (null < 0 || err < 0) _exit(127);
      dup2(null, 0), dup2(null, 1), dup2(err, 2);
      std::vector<char*> argv{const_cast<char*>(program)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program, argv.data());
      _exit(127);
    }
  }
  ~Background() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::remove(err_.c_str());
  }
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;
  // The exit status (128 + signal), -1 when still running after `seconds`.
  int finish(int seconds) {
    if (status_ >= 0 || pid_ <= 0) return status_;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    int s = 0;
    while (Clock::now() < deadline) {
      if (waitpid(pid_, &s, WNOHANG) == pid_) {
        status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
  }
  std::string err() const { return program_test::read_all(err_); }

 private:
  static inline int runs_ = 0;
  pid_t pid_ = -1;
  int status_ = -1;
  std::string err_;
};

// A test with an Xvfb server of its own and a connection to it.
class DisplayTest : public ::testing::Test {
 protected:
  // Starts the server and connects; the test is skipped without Xvfb.
  void open_display() {
    server_ = std::make_unique<Xvfb_Server>();
    if (!server_->ok()) GTEST_SKIP() << "no X server for the test: " << server_->why();
    // A window may go between the listing of the windows and a question
    // about it (a dialog closes, a menu drops): that window is simply
    // passed over. Xlib's own handler would end the test process instead.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    dpy_ = XOpenDisplay(server_->name().c_str());
    ASSERT_NE(dpy_, nullptr) << server_->name();
  }
  void TearDown() override {
    if (dpy_) XCloseDisplay(dpy_);
    dpy_ = nullptr;
  }
  std::unique_ptr<Xvfb_Server> server_;
  Display* dpy_ = nullptr;
};

// A test of quillmark_host on the test's display: a folder of its own with
// the sample drawing (as the render example saves it) and the host's
// headless pictures to compare the display with.
class HostTest : public DisplayTest {
 protected:
  void SetUp() override {
    dir_ = qm_test_temp(folder_name());
    ASSERT_EQ(std::system(("mkdir -p '" + dir_ + "'").c_str()), 0);
    auto r = program_test::run(QM_RENDER_PROGRAM, {"-o", "sample.png"}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    sample_ = dir_ + "/sample.kzf";
    open_display();
  }
  void TearDown() override {
    DisplayTest::TearDown();
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  virtual std::string folder_name() const = 0;

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

  std::string dir_, sample_;
};

// How many pixels of the window's top-left picture-sized part differ from
// the picture; -1 when the window cannot be read. To look at a difference:
// QM_X11_DUMP=where.png writes the window there and the picture beside it
// (where.png.want.png).
inline long differing(Display* dpy, Window w, const CxImage& picture) {
  const int pw = static_cast<int>(picture.GetWidth()), ph = static_cast<int>(picture.GetHeight());
  XImage* img = XGetImage(dpy, w, 0, 0, static_cast<unsigned>(pw), static_cast<unsigned>(ph), AllPlanes, ZPixmap);
  if (!img) return -1;
  long n = 0;
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      const unsigned long p = XGetPixel(img, x, y);
      const COLORREF want = picture.GetPixelColor(x, y);
      n += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) != want;
    }
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

// To look at what a test shows: with QM_X11_SHOTS naming a folder, the
// whole screen is written there as NAME.png.
inline void save_screen(Display* dpy, const std::string& name) {
  const char* folder = getenv("QM_X11_SHOTS");
  if (!folder) return;
  const Window root = DefaultRootWindow(dpy);
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, root, &a)) return;
  XImage* img =
      XGetImage(dpy, root, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!img) return;
  CxImage shot;
  shot.Create(static_cast<DWORD>(a.width), static_cast<DWORD>(a.height), 24);
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const unsigned long p = XGetPixel(img, x, y);
      shot.SetPixelColor(x, y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
  XDestroyImage(img);
  shot.Save((std::string(folder) + "/" + name + ".png").c_str(), CXIMAGE_FORMAT_PNG);
}

// The first viewable top-level window whose name is (or, when `other`, is
// not) `name`, passing over `except` (a window of that name the program is
// done with but may not have taken off the display yet); 0 when none shows
// within the time.
inline Window find_window(Display* dpy, const std::string& name, bool other = false, int seconds = 60,
                          Window except = 0) {
  const auto deadline = Clock::now() + std::chrono::seconds(seconds);
  while (Clock::now() < deadline) {
    Window root_back, parent, *children = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root_back, &parent, &children, &n)) {
      for (unsigned i = 0; i < n && !found; ++i) {
        char* title = nullptr;
        XWindowAttributes a;
        if (children[i] != except && XFetchName(dpy, children[i], &title) && title) {
          if ((std::string(title) == name) != other && XGetWindowAttributes(dpy, children[i], &a) &&
              a.map_state == IsViewable)
            found = children[i];
          XFree(title);
        }
      }
      if (children) XFree(children);
    }
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

// Asks `differing` every 100 ms until it answers 0 or the time is up; its
// last answer.
template <typename Differing>
long settle(Differing differing, int seconds) {
  const auto deadline = Clock::now() + std::chrono::seconds(seconds);
  long n = -1;
  while (Clock::now() < deadline) {
    n = differing();
    if (n == 0) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return n;
}

// Asks the window to close, as a window manager's close button does.
inline void close_window(Display* dpy, Window w) {
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, w, False, NoEventMask, &e);
  XSync(dpy, False);
}

// The pointer to a point of the window, as a mouse would move it.
inline void move_to(Display* dpy, Window w, int x, int y) {
  int sx = 0, sy = 0;
  Window child;
  XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), x, y, &sx, &sy, &child);
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), sx, sy, CurrentTime);
  XSync(dpy, False);
}

inline void press(Display* dpy, unsigned button) {
  XTestFakeButtonEvent(dpy, button, True, CurrentTime);
  XTestFakeButtonEvent(dpy, button, False, CurrentTime);
  XSync(dpy, False);
}

// Types the keys of those key symbols, each pressed and let go.
inline void type_keys(Display* dpy, const std::vector<KeySym>& keys) {
  for (KeySym k : keys) {
    const KeyCode code = XKeysymToKeycode(dpy, k);
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  }
  XSync(dpy, False);
}

}  // namespace x11_test
