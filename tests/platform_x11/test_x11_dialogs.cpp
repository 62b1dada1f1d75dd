// Dialogs on an X display (an Xvfb server of the test's own): fontlathe's
// dialog shows the very pixels of the same dialog headless, its controls
// painted by the window system; a click sent through the server (XTest)
// answers as the same click headless does, and its code view draws a glyph
// on its canvas as `fontlathe -g` does; and the open, colour, font, folder
// and print dialogs, with no scripted answer, are windows the user answers.
#include <afxwin.h>
#include <commdlg.h>
#include <gtest/gtest.h>
#include <qm_display.h>
#include <qm_user.h>
#include <shlobj.h>
#include <ximage.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "fonttool/tool_dialogs.h"
#include "tests/support/test_temp.h"
#include "tests/support/xvfb_server.h"

// After the test framework: Xlib's macros (None, Bool) would break it.
#include "tests/platform_x11/x11_fixture.h"

#include <X11/keysym.h>

namespace {

using x11_test::Background;

// A picture of a window: its size and top-down rows of 0x00RRGGBB.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  RECT mode_radio = {0, 0, 0, 0}, font_button = {0, 0, 0, 0};  // in the window's pixels
  RECT font_edit = {0, 0, 0, 0}, text_edit = {0, 0, 0, 0}, canvas = {0, 0, 0, 0};
  RECT second_edit = {0, 0, 0, 0};
};

// How many rows of text a field shows in a picture: the bands of rows
// holding black ink inside `r`, borders and scroll bar left out.
int text_rows(const Picture& p, const RECT& r, LONG scroll_bar) {
  int bands = 0;
  bool in_band = false;
  for (LONG y = r.top + 3; y < r.bottom - 3; ++y) {
    bool ink = false;
    for (LONG x = r.left + 3; x < r.right - 3 - scroll_bar && !ink; ++x)
      ink = p.pixels[static_cast<size_t>(y * p.width + x)] == 0;
    bands += ink && !in_band;
    in_band = ink;
  }
  return bands;
}

long differing(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  long n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

class FontlatheOnX : public x11_test::DisplayTest {
 protected:
  void SetUp() override {
    dir_ = qm_test_temp("fontlathe_x11");
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ + "/a.shx") << "";
    open_display();
  }
  void TearDown() override {
    DisplayTest::TearDown();
    AfxClearDialogs();
    AfxDeleteTempObjects();
    qm_user_reset();
    std::filesystem::remove_all(dir_);
  }

  // The main dialog headless, as the program shows it (the focus on its
  // first tab stop), after `act`.
  Picture headless(const std::function<void(CDialog&)>& act) {
    fontlathe::RegisterToolResources();
    Picture p;
    fontlathe::CMainDialog dialog;
    AfxPushDialogScript(fontlathe::kDialogMain, [&](CDialog& d) {
      if (HWND first = GetNextDlgTabItem(d.m_hWnd, nullptr, FALSE)) SetFocus(first);
      act(d);
      pump();
      EXPECT_TRUE(qm_user_window_image(d.m_hWnd, &p.pixels, &p.width, &p.height));
      p.mode_radio = place(d, fontlathe::kRadioCodeView);
      p.font_button = place(d, fontlathe::kButtonFont);
      p.font_edit = place(d, fontlathe::kEditFont);
      p.text_edit = place(d, fontlathe::kEditText);
      p.canvas = place(d, fontlathe::kStaticResult);
      p.second_edit = place(d, fontlathe::kEditSecond);
    });
    dialog.DoModal();
    return p;
  }

  static void pump() {
    MSG m;
    for (int guard = 0; guard < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  // Where a control lies in its dialog's window pixels.
  static RECT place(CDialog& d, UINT id) {
    RECT dialog, item;
    GetWindowRect(d.m_hWnd, &dialog);
    GetWindowRect(GetDlgItem(d.m_hWnd, static_cast<int>(id)), &item);
    return RECT{item.left - dialog.left, item.top - dialog.top, item.right - dialog.left, item.bottom - dialog.top};
  }
  // A click on a control headless, as the pointer gives it: at the point
  // `at` of the window, pressed and let go.
  static void click(CDialog& d, UINT id, POINT at) {
    HWND h = GetDlgItem(d.m_hWnd, static_cast<int>(id));
    const RECT r = place(d, id);
    const LPARAM where = MAKELPARAM(at.x - r.left, at.y - r.top);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageA(h, WM_LBUTTONUP, 0, where);
  }
  // The point of the radio button's mark, and the middle of a button.
  static POINT mark_of(const RECT& r) { return POINT{r.left + 6, (r.top + r.bottom) / 2}; }
  static POINT middle_of(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  Picture shown(Window w) {
    Picture p;
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy_, w, &a)) return p;
    XImage* img =
        XGetImage(dpy_, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!img) return p;
    p.width = a.width, p.height = a.height;
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) p.pixels.push_back(static_cast<uint32_t>(XGetPixel(img, x, y) & 0xFFFFFF));
    XDestroyImage(img);
    return p;
  }
  // Waits until the window shows the picture; the pixels that still differ
  // (-1 for another size).
  long settle(Window w, const Picture& want, int seconds = 60) {
    const long n = x11_test::settle([&] { return differing(shown(w), want); }, seconds);
    // To look at a difference: QM_X11_DUMP=where writes the window to
    // where.ppm and the picture to where.want.ppm.
    if (const char* dump = getenv("QM_X11_DUMP"); dump && n != 0) {
      write_ppm(std::string(dump) + ".ppm", shown(w));
      write_ppm(std::string(dump) + ".want.ppm", want);
    }
    return n;
  }
  static void write_ppm(const std::string& path, const Picture& p) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << p.width << " " << p.height << "\n255\n";
    for (uint32_t v : p.pixels)
      out.put(static_cast<char>(v >> 16)).put(static_cast<char>(v >> 8)).put(static_cast<char>(v));
  }
  std::unique_ptr<Background> start() {
    return std::make_unique<Background>(FONTLATHE_PROGRAM, std::vector<std::string>{}, server_->name(), dir_);
  }
  void click_at(Window w, POINT p) {
    x11_test::move_to(dpy_, w, p.x, p.y);
    x11_test::press(dpy_, Button1);
  }

  std::string dir_;
};

TEST_F(FontlatheOnX, TheDialogShowsItsHeadlessPixelsAndAnswersAModeClick) {
  const Picture untouched = headless([](CDialog&) {});
  int mode = -1;
  const Picture code_view = headless([&](CDialog& d) {
    click(d, fontlathe::kRadioCodeView, mark_of(untouched.mode_radio));
    mode = static_cast<fontlathe::CMainDialog&>(d).mode();
  });
  ASSERT_EQ(mode, fontlathe::kModeCodeView);
  ASSERT_GT(differing(untouched, code_view), 0);
  auto program = start();
  const Window w = x11_test::find_window(dpy_, "fontlathe");
  ASSERT_NE(w, 0u) << program->err();
  EXPECT_EQ(settle(w, untouched), 0);
  click_at(w, mark_of(untouched.mode_radio));
  EXPECT_EQ(settle(w, code_view), 0);
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(program->finish(60), 0) << program->err();
}

TEST_F(FontlatheOnX, TheOpenDialogTakesATypedPath) {
  const std::string chosen = (std::filesystem::weakly_canonical(dir_) / "a.shx").string();
  const Picture untouched = headless([](CDialog&) {});
  std::string font;
  const Picture picked = headless([&](CDialog& d) {
    qm_user_push_file_dialog_answer(chosen.c_str());
    click(d, fontlathe::kButtonFont, middle_of(untouched.font_button));
    CString s;
    d.GetDlgItemText(fontlathe::kEditFont, s);
    font = s.str();
  });
  ASSERT_EQ(font, chosen);
  auto program = start();
  const Window w = x11_test::find_window(dpy_, "fontlathe");
  ASSERT_NE(w, 0u) << program->err();
  ASSERT_EQ(settle(w, untouched), 0);
  click_at(w, middle_of(untouched.font_button));
  const Window open = x11_test::find_window(dpy_, "Please select a SHX file");
  ASSERT_NE(open, 0u) << program->err();
  // The name typed where the pointer is over the dialog, then Enter.
  x11_test::move_to(dpy_, open, 40, 250);
  x11_test::type_keys(dpy_, {XK_a, XK_period, XK_s, XK_h, XK_x, XK_Return});
  EXPECT_EQ(settle(w, picked), 0);
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(program->finish(60), 0) << program->err();
}

// Code view by a click, the font and code 41 typed, and Enter: the canvas
// shows what `fontlathe -g` draws, where the dialog keeps its canvas.
TEST_F(FontlatheOnX, CodeViewShowsTheGlyphOfTheCodeRun) {
  std::filesystem::copy_file(QM_SOURCE_DIR "/fonts/kst32b.shx", dir_ + "/k.shx");
  const std::string glyph_png = dir_ + "/glyph.png";
  const program_test::Outcome drawn =
      program_test::run(FONTLATHE_PROGRAM, {"-g", "k.shx", "41", "glyph.png"}, dir_, "", 60);
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  CxImage image;
  ASSERT_TRUE(image.Load(glyph_png.c_str(), CXIMAGE_FORMAT_PNG));
  const Picture layout = headless([](CDialog&) {});
  auto program = start();
  const Window w = x11_test::find_window(dpy_, "fontlathe");
  ASSERT_NE(w, 0u) << program->err();
  ASSERT_EQ(settle(w, layout), 0);
  click_at(w, mark_of(layout.mode_radio));
  click_at(w, middle_of(layout.font_edit));
  x11_test::type_keys(dpy_, {XK_k, XK_period, XK_s, XK_h, XK_x});
  click_at(w, middle_of(layout.text_edit));
  x11_test::type_keys(dpy_, {XK_4, XK_1, XK_Return});
  // The canvas's pixels against the picture's, with the glyph lit in both.
  const RECT& c = layout.canvas;
  ASSERT_EQ(static_cast<LONG>(image.GetWidth()), c.right - c.left);
  ASSERT_EQ(static_cast<LONG>(image.GetHeight()), c.bottom - c.top);
  long lit = 0;
  const long left = x11_test::settle(
      [&] {
        const Picture now = shown(w);
        if (now.width != layout.width || now.height != layout.height) return -1L;
        long n = 0;
        lit = 0;
        for (LONG y = c.top; y < c.bottom; ++y)
          for (LONG x = c.left; x < c.right; ++x) {
            const COLORREF want = image.GetPixelColor(x - c.left, y - c.top);
            const uint32_t rgb = static_cast<uint32_t>(GetRValue(want)) << 16 |
                                 static_cast<uint32_t>(GetGValue(want)) << 8 | GetBValue(want);
            lit += rgb == 0xFFFFFF;
            n += now.pixels[static_cast<size_t>(y * now.width + x)] != rgb;
          }
        return n;
      },
      60);
  EXPECT_EQ(left, 0);
  EXPECT_GT(lit, 20);
  // The source shows in rows: its header and the start of its tokens.
  EXPECT_GE(text_rows(shown(w), layout.second_edit, GetSystemMetrics(SM_CXVSCROLL)), 2);
  x11_test::close_window(dpy_, w);
  EXPECT_EQ(program->finish(60), 0) << program->err();
}

}  // namespace

// The colour and font dialogs with no scripted answer, run by a program of
// the test's own on the display, answered through the server.
class ChoosersOnX : public x11_test::DisplayTest {
 protected:
  void SetUp() override { open_display(); }
  // A child still running when the test ends (a failed assertion returns
  // early) is killed, so it never outlives the test on a live display.
  void TearDown() override {
    if (child_ > 0) kill(child_, SIGKILL), waitpid(child_, nullptr, 0);
    child_ = -1;
    DisplayTest::TearDown();
  }
  // Runs `body` in a child process on the test's display.
  pid_t start(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t parent = getpid();
    child_ = fork();
    if (child_ == 0) {
      qm_test_child_dies_with(parent);
      setenv("DISPLAY", server_->name().c_str(), 1);
      setenv("QM_HEADLESS", "0", 1);
      if (qm_display_start(nullptr, nullptr) != QM_BACKEND_X11) _exit(3);
      body();
      qm_display_stop();
      _exit(0);
    }
    return child_;
  }
  // Whether the child ended well within the time (killed otherwise, and
  // said so).
  bool ended_well(pid_t child) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool ended = false;
    while (!(ended = waitpid(child, &status, WNOHANG) == child) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!ended) {
      ADD_FAILURE() << "the dialogs' process did not end within 60 s: killed";
      return false;
    }
    child_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  pid_t child_ = -1;
};

TEST_F(ChoosersOnX, TheUserPicksAColourAndTypesAFace) {
  Display* dpy = dpy_;
  const std::string answers = qm_test_temp("choosers_x11.txt");
  const pid_t child = start([&] {
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    const BOOL color = ChooseColorA(&cc);
    LOGFONTA lf = {};
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.lpLogFont = &lf;
    const BOOL font = ChooseFontA(&cf);
    std::ofstream(answers) << color << " " << std::hex << cc.rgbResult << std::dec << " " << font << " "
                           << lf.lfFaceName << " " << cf.iPointSize << "\n";
  });
  ASSERT_GT(child, 0);
  // Red, the tenth of the basic colours, picked in the list; then OK.
  const Window colors = x11_test::find_window(dpy, "Color");
  ASSERT_NE(colors, 0u);
  x11_test::move_to(dpy, colors, 40, 11 + 9 * 16 + 8);
  x11_test::press(dpy, Button1);
  x11_test::type_keys(dpy, {XK_Return});
  // A face typed over the one offered, the size left; then Enter.
  const Window fonts = x11_test::find_window(dpy, "Font");
  ASSERT_NE(fonts, 0u);
  x11_test::move_to(dpy, fonts, 150, 20);
  x11_test::type_keys(dpy, {XK_q, XK_m, XK_Return});
  EXPECT_TRUE(ended_well(child));
  EXPECT_EQ(program_test::read_all(answers), "1 ff 1 qm 100\n");
  std::remove(answers.c_str());
}

// The sixteenth basic colour, below the colour list's fold, reached with End;
// then the save dialog's file type changed, which lists that type's files.
TEST_F(ChoosersOnX, TheLastColourAndAnotherFileTypeAreWithinReach) {
  Display* dpy = dpy_;
  const std::string top = qm_test_temp("file_types_x11");
  std::filesystem::create_directories(top);
  std::ofstream(top + "/plan.kzf") << "x";
  std::ofstream(top + "/view.png") << "x";
  const std::string answers = qm_test_temp("file_types_x11.txt");
  const pid_t child = start([&] {
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    const BOOL color = ChooseColorA(&cc);
    char path[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = "Drawings (*.kzf)\0*.kzf\0Pictures (*.png)\0*.png\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = top.c_str();
    const BOOL saved = GetSaveFileNameA(&ofn);
    std::ofstream(answers) << color << " " << std::hex << cc.rgbResult << std::dec << " " << saved << " "
                           << std::filesystem::path(path).filename().string() << " " << ofn.nFilterIndex << "\n";
  });
  ASSERT_GT(child, 0);
  const Window colors = x11_test::find_window(dpy, "Color");
  ASSERT_NE(colors, 0u);
  x11_test::move_to(dpy, colors, 40, 40);
  x11_test::type_keys(dpy, {XK_End, XK_Return});
  // The name field has the focus; Tab reaches the type, Down takes the
  // next one; the list's second row (after ../) is then view.png.
  const Window save = x11_test::find_window(dpy, "Save As");
  ASSERT_NE(save, 0u);
  x11_test::move_to(dpy, save, 200, 250);
  x11_test::type_keys(dpy, {XK_Tab, XK_Down});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  x11_test::save_screen(dpy, "file_types");
  x11_test::move_to(dpy, save, 40, 28 + 2 + 16 + 8);
  x11_test::press(dpy, Button1);
  x11_test::type_keys(dpy, {XK_Return});
  EXPECT_TRUE(ended_well(child));
  EXPECT_EQ(program_test::read_all(answers), "1 ffffff 1 view.png 2\n");
  std::filesystem::remove_all(top);
  std::remove(answers.c_str());
}

// The folder chooser and the print dialog with no scripted answer: the user
// walks into a folder with the mouse, picks one below it, types the path of
// another; then prints a range of pages to a file in two copies.
TEST_F(ChoosersOnX, TheUserWalksToAFolderAndChoosesPagesToPrint) {
  Display* dpy = dpy_;
  const std::string top = qm_test_temp("folders_x11");
  std::filesystem::create_directories(top + "/alpha/inner");
  std::filesystem::create_directories(top + "/beta");
  const std::string root = std::filesystem::weakly_canonical(top).string();
  const std::string answers = qm_test_temp("folders_x11.txt");
  const pid_t child = start([&] {
    std::ofstream out(answers);
    for (int i = 0; i < 2; ++i) {
      LPITEMIDLIST top_item = ILCreateFromPathA(root.c_str());
      BROWSEINFOA bi = {};
      bi.pidlRoot = top_item;
      bi.lpszTitle = i == 0 ? "Walk" : "Type";
      LPITEMIDLIST item = SHBrowseForFolderA(&bi);
      char path[MAX_PATH] = "";
      if (item) SHGetPathFromIDListA(item, path);
      out << (item ? path : "cancelled") << std::endl;
      ILFree(item);
      ILFree(top_item);
    }
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_NOSELECTION;
    pd.nMinPage = 1, pd.nMaxPage = 9, pd.nFromPage = 1, pd.nToPage = 9, pd.nCopies = 1;
    const BOOL printed = PrintDlgA(&pd);
    out << printed << " " << std::hex << pd.Flags << std::dec << " " << pd.nFromPage << "-" << pd.nToPage << " x"
        << pd.nCopies << "\n";
  });
  ASSERT_GT(child, 0);
  const auto row = [](int n) { return 64 + 2 + 8 + 16 * n; };  // the middle of a list row
  // At the root: alpha/ and beta/. Into alpha by a double click, then its
  // inner/ (after ../) picked, and OK.
  Window browser = x11_test::find_window(dpy, "Browse for Folder");
  ASSERT_NE(browser, 0u) << "no first folder chooser within 60 s";
  x11_test::move_to(dpy, browser, 40, row(0));
  x11_test::press(dpy, Button1);
  x11_test::press(dpy, Button1);
  x11_test::move_to(dpy, browser, 40, row(1));
  x11_test::press(dpy, Button1);
  x11_test::type_keys(dpy, {XK_Return});
  // The second, once the first has answered and a new one shows (typed
  // before it shows, the keys would go to no window): a path typed over
  // the one shown (relative to the folder listed), and Enter.
  ASSERT_EQ(x11_test::settle([&] { return program_test::read_all(answers).empty() ? 1L : 0L; }, 60), 0)
      << "no answer from the first folder chooser within 60 s";
  browser = x11_test::find_window(dpy, "Browse for Folder", false, 60, browser);
  ASSERT_NE(browser, 0u) << "no second folder chooser within 60 s";
  x11_test::move_to(dpy, browser, 340, 308);
  x11_test::press(dpy, Button1);
  std::vector<KeySym> keys(root.size() + 2, XK_BackSpace);
  keys.insert(keys.begin(), XK_End);
  keys.insert(keys.end(), {XK_b, XK_e, XK_t, XK_a, XK_Return});
  x11_test::type_keys(dpy, keys);
  // Print: to a file, pages 2 to 3, two copies.
  const Window print = x11_test::find_window(dpy, "Print");
  ASSERT_NE(print, 0u) << "no print dialog within 60 s; answers so far: " << program_test::read_all(answers);
  x11_test::move_to(dpy, print, 80, 50);  // print to file
  x11_test::press(dpy, Button1);
  x11_test::move_to(dpy, print, 28, 134);  // pages
  x11_test::press(dpy, Button1);
  const auto retype = [&](int x, int y, KeySym digit) {
    x11_test::move_to(dpy, print, x, y);
    x11_test::press(dpy, Button1);
    x11_test::type_keys(dpy, {XK_End, XK_BackSpace, XK_BackSpace, XK_BackSpace, digit});
  };
  // A last page before the first is refused with a message box (a second
  // window called "Print"), answered with Enter; the dialog stays.
  retype(130, 164, XK_2);
  retype(214, 164, XK_0);
  x11_test::type_keys(dpy, {XK_Return});
  const auto box = [&] {
    Window root_back, parent, *children = nullptr, found = 0;
    unsigned n = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root_back, &parent, &children, &n))
      for (unsigned i = 0; i < n && !found; ++i) {
        char* title = nullptr;
        XWindowAttributes a;
        if (children[i] != print && XFetchName(dpy, children[i], &title) && title) {
          if (std::string(title) == "Print" && XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable)
            found = children[i];
          XFree(title);
        }
      }
    if (children) XFree(children);
    return found;
  };
  ASSERT_EQ(x11_test::settle([&] { return box() ? 0L : 1L; }, 60), 0) << "no refusal shown within 60 s";
  x11_test::move_to(dpy, box(), 20, 20);
  x11_test::type_keys(dpy, {XK_Return});
  ASSERT_EQ(x11_test::settle([&] { return box() ? 1L : 0L; }, 60), 0) << "the refusal still shown after 60 s";
  retype(214, 164, XK_3);
  retype(308, 128, XK_2);
  x11_test::type_keys(dpy, {XK_Return});
  EXPECT_TRUE(ended_well(child));
  EXPECT_EQ(program_test::read_all(answers), root + "/alpha/inner\n" + root + "/beta\n1 26 2-3 x2\n");
  std::remove(answers.c_str());
  std::filesystem::remove_all(top);
}
