// The font tool's dialog as a user drives it: headless, through its controls,
// the scripted file and folder choosers and the message boxes it shows.
#include <gtest/gtest.h>
#include <qm_user.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fonttool/shp_writer.h"
#include "fonttool/tool_dialogs.h"
#include "tests/data_paths.h"
#include "tests/fonttool/shx_builder.h"
#include "tests/support/file_bytes.h"

using namespace shxtest;
using namespace fontlathe;

namespace {

const Shape kInfo{0, "FONT", {8, 2, 0, 0}};
// "A": down 4 units, then right 4.
const Bytes kFont = ShapesFont({kInfo, {65, "A", {1, 0x4C, 0x40, 0}}});
const char kSourceOfA[] = "*65,4,A\n1,04c,040,0";
const char kDone[] = "Decompiled OK!\nThanks for use!";

class ToolShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterToolResources();
    AfxClearDialogs();
    qm_user_reset();
  }
  void TearDown() override {
    AfxClearDialogs();
    AfxDeleteTempObjects();
    qm_user_reset();
    EXPECT_EQ(qm_user_window_count(), 0u);
  }

  // Runs the main dialog; the script acts as the user and leaves it open
  // (the dialog is then closed as by its close box).
  static void Run(const std::function<void(CMainDialog&)>& script, char separator = '/') {
    CMainDialog dialog(nullptr, separator);
    AfxPushDialogScript(kDialogMain, [&](CDialog& d) { script(static_cast<CMainDialog&>(d)); });
    dialog.DoModal();
  }

  static HWND Item(CDialog& d, UINT id) { return ::GetDlgItem(d.m_hWnd, static_cast<int>(id)); }
  static std::string Text(CDialog& d, UINT id) {
    CString s;
    d.GetDlgItemText(static_cast<int>(id), s);
    return s.str();
  }
  static void Press(CDialog& d, UINT id) { ::SendMessageA(Item(d, id), BM_CLICK, 0, 0); }
  static void Type(CDialog& d, UINT id, const std::string& s) { qm_user_type(Item(d, id), s.c_str()); }
  static bool Enabled(CDialog& d, UINT id) { return ::IsWindowEnabled(Item(d, id)) != FALSE; }
  static bool Shown(CDialog& d, UINT id) { return ::IsWindowVisible(Item(d, id)) != FALSE; }

  // The message boxes shown, as "caption: text".
  static std::vector<std::string> Boxes() {
    std::vector<std::string> out;
    for (const QmMessageBox& b : qm_user_message_boxes()) out.push_back(b.caption + ": " + b.text);
    return out;
  }

  // The lit pixels of the canvas (not black, not the red guide line).
  static int LitCanvasPixels(const CMainDialog& d) {
    int lit = 0;
    const CPreviewCanvas& c = d.canvas();
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) lit += GetPixel(c.dc(), x, y) == 0xFFFFFF;
    return lit;
  }
  // The canvas pixels as the dialog shows them on the screen.
  static std::vector<uint32_t> ShownCanvas(CMainDialog& d) {
    std::vector<uint32_t> image, part;
    int w = 0, h = 0;
    if (!qm_user_window_image(d.m_hWnd, &image, &w, &h)) return part;
    const CRect r = d.canvas_rect();
    for (int y = r.top; y < r.bottom && y < h; ++y)
      for (int x = r.left; x < r.right && x < w; ++x) part.push_back(image[static_cast<size_t>(y * w + x)]);
    return part;
  }
};

TEST(ToolPaths, SourceFilesAndFoldersWithEitherSeparator) {
  EXPECT_EQ(SourcePathBesideFont("C:\\fonts\\romans.shx"), "C:\\fonts\\romans.shp");
  EXPECT_EQ(SourcePathBesideFont("C:\\fonts\\ROMANS.SHX"), "C:\\fonts\\ROMANS.SHP");
  EXPECT_EQ(SourcePathBesideFont("/fonts/romans.shx"), "/fonts/romans.shp");
  EXPECT_EQ(SourcePathBesideFont("/fonts/romans.fnt"), "");
  EXPECT_EQ(SourcePathBesideFont(""), "");
  struct Case {
    char separator;
    const char* folder;
    const char* name;
    const char* source;
  } cases[] = {
      {'\\', "D:\\out", "romans.shx", "D:\\out\\romans.shp"},
      {'\\', "D:\\", "romans.shx", "D:\\romans.shp"},
      {'\\', "D:\\out", "ROMANS.SHX", "D:\\out\\ROMANS.SHP"},
      {'\\', "D:\\out", "romans.fnt", "D:\\out\\romans.fnt"},  // other last characters stay
      {'\\', "D:\\out", "x", "D:\\out"},                       // a one-character name: the folder
      {'\\', "D:\\out", "", "D:\\out"},
      {'/', "/out", "romans.shx", "/out/romans.shp"},
      {'/', "/", "romans.shx", "/romans.shp"},
      {'/', "/out/", "romans.shx", "/out/romans.shp"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SourcePathInFolder(c.folder, c.name, c.separator), c.source) << c.folder << " " << c.name;
  EXPECT_EQ(FolderOf("C:\\fonts\\romans.shx", '\\'), "C:\\fonts");
  EXPECT_EQ(FileNameOf("C:\\fonts\\romans.shx", '\\'), "romans.shx");
  EXPECT_EQ(FolderOf("/fonts/romans.shx"), "/fonts");
  EXPECT_EQ(FolderOf("/romans.shx"), "/");
  EXPECT_EQ(FileNameOf("romans.shx"), "romans.shx");
  EXPECT_EQ(WithoutTrailingSeparator("D:\\", '\\'), "D:");
  EXPECT_EQ(WithoutTrailingSeparator("/out/"), "/out");
  EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
}

TEST_F(ToolShellTest, TheDialogsShowTheirTextsAndTooltips) {
  Run([](CMainDialog& d) {
    CString title;
    d.GetWindowText(title);
    EXPECT_EQ(title, "fontlathe");
    const struct {
      UINT id;
      const char* text;
      const char* tip;
    } controls[] = {
        {kButtonExit, "&Exit", "Exit"},
        {kRadioDecompile, "&File decompile", "Decompile the compiled shape file to shape file"},
        {kRadioCodeView, "&Code view",
         "View the graph of the gived hex code and\nget the decompiled codes of the hex code"},
        {kRadioPreview, "Pre&view",
         "View the graph of  the text string .If it is\n a bigfont,you must specify both  the regular "
         "font and the bigfont file "},
        {kButtonFont, "SH&X Filename...", "Select the regular font file."},
        {kEditFont, "", "Fill the shx font filename in"},
        {kButtonSecond, "SH&P Filename...", "Select the bigfont file or the shape file path"},
        {kEditSecond, "", "Fill the shp font filename or the big font filename in"},
        {kStaticResult, "", "View the text's graph or view the result of decompile operation"},
        {kLabelText, "Preview", ""},
        {kEditText, "", "Fill in the preview text string or hex code of the text"},
        {kButtonRun, "&Decompile", "Do the selected function!"},
    };
    for (const auto& c : controls) {
      EXPECT_EQ(Text(d, c.id), c.text) << c.id;
      EXPECT_EQ(d.TipOf(c.id), c.tip) << c.id;
    }
    // File decompile at the start: its radio checked, the text edit off.
    EXPECT_EQ(d.mode(), kModeDecompile);
    EXPECT_EQ(::SendMessageA(Item(d, kRadioDecompile), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(Enabled(d, kEditText));
    EXPECT_FALSE(Enabled(d, kLabelText));
    EXPECT_EQ(d.canvas().width(), CanvasSize().cx);
    EXPECT_EQ(d.canvas().height(), CanvasSize().cy);
    // The system menu ends with a separator and the about entry.
    HMENU system = ::GetSystemMenu(d.m_hWnd, FALSE);
    const int items = ::GetMenuItemCount(system);
    ASSERT_GE(items, 2);
    EXPECT_EQ(::GetMenuState(system, static_cast<UINT>(items - 2), MF_BYPOSITION) & MF_SEPARATOR,
              static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(::GetMenuItemID(system, items - 1), kCommandAbout);
    char entry[64] = "";
    ::GetMenuStringA(system, kCommandAbout, entry, sizeof entry, MF_BYCOMMAND);
    EXPECT_STREQ(entry, "&About fontlathe...");
    // The about box from the system menu's command.
    AfxPushDialogScript(kDialogAbout, [](CDialog& about) {
      std::vector<std::string> texts;
      for (HWND h = ::GetWindow(about.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        char buffer[128] = "";
        ::GetWindowTextA(h, buffer, sizeof buffer);
        texts.push_back(buffer);
      }
      EXPECT_NE(std::find(texts.begin(), texts.end(), "fontlathe Version 2.02"), texts.end());
      Press(about, IDOK);
    });
    d.SendMessage(WM_SYSCOMMAND, kCommandAbout, 0);
  });
  ASSERT_EQ(AfxDialogsShown().size(), 2u);
  EXPECT_EQ(AfxDialogsShown()[1].id, kDialogAbout);
  EXPECT_EQ(AfxDialogsShown()[1].caption, "About fontlathe");
  EXPECT_EQ(AfxDialogsShown()[1].result, IDOK);
}

// The program icon's pixels as they show over the dialog's face.
void ExpectIconAt(HWND window, int x, int y, const char* where) {
  QmPixels icon;
  ASSERT_TRUE(qm_user_icon_pixels(::LoadIconA(nullptr, MAKEINTRESOURCEA(kIconProgram)), &icon)) << where;
  ::ShowWindow(window, SW_SHOW);
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  std::vector<uint32_t> shown;
  int w = 0, h = 0;
  ASSERT_TRUE(qm_user_window_image(window, &shown, &w, &h)) << where;
  RECT client;
  ::GetClientRect(window, &client);
  POINT origin = {0, 0};
  ::ClientToScreen(window, &origin);
  RECT frame;
  ::GetWindowRect(window, &frame);
  x += origin.x - frame.left, y += origin.y - frame.top;
  int same = 0, opaque = 0;
  for (int iy = 0; iy < icon.height; ++iy)
    for (int ix = 0; ix < icon.width; ++ix) {
      const uint32_t p = icon.argb[size_t(iy) * size_t(icon.width) + size_t(ix)];
      if ((p >> 24) != 255 || x + ix >= w || y + iy >= h) continue;
      ++opaque;
      same += (shown[size_t(y + iy) * size_t(w) + size_t(x + ix)] & 0xFFFFFF) == (p & 0xFFFFFF);
    }
  EXPECT_GT(opaque, 500) << where;
  EXPECT_EQ(same, opaque) << where;
}

TEST_F(ToolShellTest, TheProgramIconShowsOnTheWindowMinimisedDraggedAndInTheAboutBox) {
  Run([](CMainDialog& d) {
    const HICON icon = reinterpret_cast<HICON>(d.SendMessage(WM_GETICON, ICON_BIG));
    ASSERT_TRUE(icon);
    EXPECT_EQ(reinterpret_cast<HICON>(d.SendMessage(WM_GETICON, ICON_SMALL)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(d.SendMessage(WM_QUERYDRAGICON)), icon);
    // Minimised, the icon in the middle of the client area.
    d.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(d.IsIconic());
    RECT client;
    d.GetClientRect(&client);
    ExpectIconAt(d.m_hWnd, (client.right - 32 + 1) / 2, (client.bottom - 32 + 1) / 2, "minimised");
    d.ShowWindow(SW_RESTORE);
    EXPECT_FALSE(d.IsIconic());
    AfxPushDialogScript(kDialogAbout, [](CDialog& about) {
      for (HWND h = ::GetWindow(about.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if ((::GetWindowLongA(h, GWL_STYLE) & 0x1F) == SS_ICON) {
          RECT r;
          ::GetWindowRect(h, &r);
          POINT at = {r.left, r.top};
          ::ScreenToClient(about.m_hWnd, &at);
          ExpectIconAt(about.m_hWnd, at.x, at.y, "about box");
        }
      Press(about, IDOK);
    });
    d.SendMessage(WM_SYSCOMMAND, kCommandAbout, 0);
  });
}

TEST_F(ToolShellTest, AltSpaceOpensTheSystemMenuWhoseLastItemIsTheAboutBox) {
  bool about_shown = false;
  Run([&](CMainDialog& d) {
    AfxPushDialogScript(kDialogAbout, [&](CDialog& about) {
      about_shown = true;
      Press(about, IDOK);
    });
    // Walked as a person would: End reaches the item added last.
    qm_user_on_popup([](HWND) {
      for (UINT vk : {static_cast<UINT>(VK_END), static_cast<UINT>(VK_RETURN)})
        qm_user_key(nullptr, vk, true), qm_user_key(nullptr, vk, false);
    });
    ::SetFocus(Item(d, kEditFont));
    qm_user_key(nullptr, VK_MENU, true);
    qm_user_key(nullptr, VK_SPACE, true);
    qm_user_key(nullptr, VK_SPACE, false);
    qm_user_key(nullptr, VK_MENU, false);
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (::IsDialogMessageA(d.m_hWnd, &m)) continue;
      ::TranslateMessage(&m);
      ::DispatchMessageA(&m);
    }
  });
  EXPECT_TRUE(about_shown);
}

TEST_F(ToolShellTest, ATooltipShowsForTheControlThePointerRestsOnThroughTheRelay) {
  Run([](CMainDialog& d) {
    HWND tip = d.TipWindow();
    ASSERT_TRUE(tip);
    d.ShowWindow(SW_SHOW);
    auto move_over = [&](UINT id) {
      POINT at = {4, 4};
      ::ClientToScreen(Item(d, id), &at);
      ::SetCursorPos(at.x, at.y);
      MSG m = {Item(d, id), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4), 0, at};
      d.PreTranslateMessage(&m);
    };
    auto wait = [](DWORD ms) {
      qm_user_advance_clock(ms);
      MSG m;
      while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
    };
    char text[256] = "";
    move_over(kButtonRun);
    wait(::GetDoubleClickTime());
    ASSERT_TRUE(::IsWindowVisible(tip));
    ::GetWindowTextA(tip, text, sizeof text);
    EXPECT_STREQ(text, "Do the selected function!");
    // Over another control the tip follows after the delay.
    move_over(kEditFont);
    EXPECT_FALSE(::IsWindowVisible(tip));
    wait(::GetDoubleClickTime());
    ::GetWindowTextA(tip, text, sizeof text);
    EXPECT_STREQ(text, "Fill the shx font filename in");
    // The label 1015 has no tip: nothing shows over it.
    move_over(kLabelText);
    wait(::GetDoubleClickTime());
    EXPECT_FALSE(::IsWindowVisible(tip));
  });
}

TEST_F(ToolShellTest, EachModeSetsItsControlsAndChoosingItAgainChangesNothing) {
  struct Look {
    UINT radio;
    int mode;
    const char* second_caption;
    bool second_enabled;
    bool text_enabled;
    const char* label;
    bool result_shown;
    const char* run_caption;
  };
  // Through every change of mode, and back to the first.
  const Look looks[] = {
      {kRadioCodeView, kModeCodeView, "&BIG Filename...", false, true, "HEX Code", false, "CodeView"},
      {kRadioPreview, kModePreview, "&BIG Filename...", true, true, "Preview", false, "TextView"},
      {kRadioDecompile, kModeDecompile, "SH&P Filename...", true, false, "Preview", true, "Decompile"},
      {kRadioPreview, kModePreview, "&BIG Filename...", true, true, "Preview", false, "TextView"},
      {kRadioCodeView, kModeCodeView, "&BIG Filename...", false, true, "HEX Code", false, "CodeView"},
      {kRadioDecompile, kModeDecompile, "SH&P Filename...", true, false, "HEX Code", true, "Decompile"},
  };
  Run([&](CMainDialog& d) {
    for (const Look& look : looks) {
      d.SetDlgItemText(kEditSecond, "left from before");  // also where it is read-only
      d.SetDlgItemText(kEditText, "12");  // also where the edit takes no typing
      d.SetDlgItemText(kStaticResult, "old result");
      Press(d, look.radio);
      const std::string at = "mode " + std::to_string(look.mode);
      EXPECT_EQ(d.mode(), look.mode) << at;
      EXPECT_EQ(Text(d, kButtonSecond), look.second_caption) << at;
      EXPECT_EQ(Enabled(d, kButtonSecond), look.second_enabled) << at;
      EXPECT_EQ(Text(d, kEditSecond), "") << at;
      // The code view's source is shown, not typed.
      EXPECT_EQ((::GetWindowLongA(::GetDlgItem(d.m_hWnd, kEditSecond), GWL_STYLE) & ES_READONLY) != 0,
                look.mode == kModeCodeView)
          << at;
      EXPECT_EQ(Enabled(d, kEditText), look.text_enabled) << at;
      EXPECT_EQ(Enabled(d, kLabelText), look.text_enabled) << at;
      EXPECT_EQ(Text(d, kLabelText), look.label) << at;
      EXPECT_EQ(Text(d, kEditText), look.mode == kModeCodeView ? "" : "12") << at;
      EXPECT_EQ(Shown(d, kStaticResult), look.result_shown) << at;
      if (look.result_shown) {
        EXPECT_EQ(Text(d, kStaticResult), "") << at;
      }
      EXPECT_EQ(Text(d, kButtonRun), look.run_caption) << at;
      // The mode that is active already: nothing changes.
      d.SetDlgItemText(kEditSecond, "kept");
      d.SetDlgItemText(kEditText, "3f");
      d.SetDlgItemText(kStaticResult, "kept");
      Press(d, look.radio);
      EXPECT_EQ(Text(d, kEditSecond), "kept") << at;
      EXPECT_EQ(Text(d, kEditText), "3f") << at;
      EXPECT_EQ(Text(d, kStaticResult), "kept") << at;
      EXPECT_EQ(d.mode(), look.mode) << at;
    }
  });
}

TEST_F(ToolShellTest, TheCodeEditTakesAtMostFourHexDigitsInCodeView) {
  Run([](CMainDialog& d) {
    Press(d, kRadioCodeView);
    HWND edit = Item(d, kEditText);
    struct Step {
      const char* typed;
      const char* kept;
    } steps[] = {
        {"1", "1"},        {"1a", "1a"},     {"1a2", "1a2"}, {"1a2b", "1a2b"},  // a-f keep their case
        {"1a2b3", "1a2b"},                                                      // a fifth character
        {"1a2G", "1a2b"},                                                       // not a hex digit
        {"1a2 ", "1a2b"},  {"1a2-", "1a2b"}, {"F0", "F0"},   {"", ""},
    };
    for (const Step& s : steps) {
      Type(d, kEditText, s.typed);
      EXPECT_EQ(Text(d, kEditText), s.kept) << s.typed;
    }
    // The caret is put back where it was, within the text put back.
    Type(d, kEditText, "ab");
    Type(d, kEditText, "abz");
    DWORD start = 9, end = 9;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(Text(d, kEditText), "ab");
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 2u);
    // The preview text is free, up to 40 characters.
    Press(d, kRadioPreview);
    Type(d, kEditText, "Hello, world");
    EXPECT_EQ(Text(d, kEditText), "Hello, world");
    Type(d, kEditText, std::string(45, 'w'));
    EXPECT_EQ(Text(d, kEditText), std::string(40, 'w'));
    Type(d, kEditFont, std::string(300, 'f'));
    EXPECT_EQ(Text(d, kEditFont).size(), 260u);
    Type(d, kEditSecond, std::string(1100, 's'));
    EXPECT_EQ(Text(d, kEditSecond).size(), 1024u);
  });
}

TEST_F(ToolShellTest, ChoosersFillThePathsWithTheirOwnSeparator) {
  Run(
      [](CMainDialog& d) {
        qm_user_push_file_dialog_answer("C:\\fonts\\romans.shx");
        Press(d, kButtonFont);
        EXPECT_EQ(Text(d, kEditFont), "C:\\fonts\\romans.shx");
        EXPECT_EQ(Text(d, kEditSecond), "C:\\fonts\\romans.shp");
        EXPECT_EQ(d.last_directory(), "C:\\fonts");
        for (const char* folder : {"D:\\out", "D:\\", "E:\\"}) qm_user_push_folder_answer(folder);
        Press(d, kButtonSecond);
        EXPECT_EQ(Text(d, kEditSecond), "D:\\out\\romans.shp");
        Press(d, kButtonSecond);
        EXPECT_EQ(Text(d, kEditSecond), "D:\\romans.shp");
        Press(d, kButtonSecond);
        qm_user_push_folder_answer(nullptr);  // cancelled: nothing changes
        Press(d, kButtonSecond);
        EXPECT_EQ(Text(d, kEditSecond), "E:\\romans.shp");
        qm_user_push_file_dialog_answer("C:\\FONTS\\ROMANS.SHX");
        Press(d, kButtonFont);
        EXPECT_EQ(Text(d, kEditSecond), "C:\\FONTS\\ROMANS.SHP");
        // Preview: the big font's file.
        Press(d, kRadioPreview);
        qm_user_push_file_dialog_answer("C:\\big\\hz.shx");
        Press(d, kButtonSecond);
        EXPECT_EQ(Text(d, kEditSecond), "C:\\big\\hz.shx");
        EXPECT_EQ(d.last_directory(), "C:\\big");
        EXPECT_EQ(Text(d, kEditFont), "C:\\FONTS\\ROMANS.SHX");  // the font stays
      },
      '\\');
  const std::vector<QmFileDialog>& files = qm_user_file_dialogs();
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].title, "Please select a SHX file");
  EXPECT_EQ(files[0].filter, std::string("Compiled shape File (*.shx)\0*.shx", 33));
  EXPECT_EQ(files[0].flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
  EXPECT_FALSE(files[0].save);
  EXPECT_EQ(files[1].initial_dir, "E:\\");  // the folder as chosen
  EXPECT_EQ(files[2].title, "Please select a BIG Shx file");
  const std::vector<QmFolderDialog>& folders = qm_user_folder_dialogs();
  ASSERT_EQ(folders.size(), 4u);
  // Each starts where the last choice was, without a separator at its end.
  const char* initial[] = {"C:\\fonts", "D:\\out", "D:", "E:"};
  for (size_t i = 0; i < folders.size(); ++i) {
    EXPECT_EQ(folders[i].caption, "Please select a folder") << i;
    EXPECT_EQ(folders[i].title, "SHP file directory:") << i;
    EXPECT_EQ(folders[i].initial_selection, initial[i]) << i;
    EXPECT_EQ(folders[i].flags, static_cast<DWORD>(BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS)) << i;
  }
  EXPECT_FALSE(folders[3].chosen);
}

TEST_F(ToolShellTest, AFontPathTypedNamesTheSourceAndStartsTheFolderChooser) {
  Run(
      [](CMainDialog& d) {
        Type(d, kEditFont, "/data/fonts/txt.shx");
        qm_user_push_folder_answer("/out");
        Press(d, kButtonSecond);
        EXPECT_EQ(Text(d, kEditSecond), "/out/txt.shp");
      },
      '/');
  ASSERT_EQ(qm_user_folder_dialogs().size(), 1u);
  EXPECT_EQ(qm_user_folder_dialogs()[0].initial_selection, "/data/fonts");
}

TEST_F(ToolShellTest, DecompileRunsAndReportsInTheResultArea) {
  ScratchDir dir;
  const std::string font = dir.Write("font.shx", kFont);
  Run([&](CMainDialog& d) {
    // Missing names are told in a box.
    Press(d, kButtonRun);
    Type(d, kEditFont, font);
    Press(d, kButtonRun);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"ERROR!: Wrong filename", "ERROR!: Wrong filename"}));
    qm_user_clear_message_boxes();
    // A font that cannot be read, then an output that is the font itself: each
    // run ends with its reason in the result area and the dialog goes on.
    Type(d, kEditFont, dir.File("none.shx"));
    Type(d, kEditSecond, dir.File("out.shp"));
    Press(d, kButtonRun);
    EXPECT_EQ(Text(d, kStaticResult).rfind("Cannot open " + dir.File("none.shx") + " for read!", 0), 0u)
        << Text(d, kStaticResult);
    Type(d, kEditFont, font);
    Type(d, kEditSecond, dir.File("./font.shx"));
    Press(d, kButtonRun);
    EXPECT_EQ(Text(d, kStaticResult), "Cannot open " + dir.File("./font.shx") + " for write! (it is the input font)");
    EXPECT_EQ(read_all(font), std::string(kFont.begin(), kFont.end()));
    EXPECT_FALSE(Exists(dir.File("out.shp")));
    // Chosen through the chooser, the output lies beside the font.
    qm_user_push_file_dialog_answer(font.c_str());
    Press(d, kButtonFont);
    EXPECT_EQ(Text(d, kEditSecond), dir.File("font.shp"));
    Press(d, kButtonRun);
    EXPECT_EQ(Text(d, kStaticResult), kDone);
    EXPECT_TRUE(Boxes().empty());
  });
  EXPECT_EQ(read_all(dir.File("font.shp")), "*0,4,FONT\r\n8,2,0,0\r\n*65,4,A\r\n1,04c,040,0\r\n");
}

// A font named by one character gives the chosen folder alone as the output,
// which the decompile then reports it cannot write.
TEST_F(ToolShellTest, AOneCharacterFontNameGivesTheFolderAsTheOutput) {
  ScratchDir dir;
  const std::string font = dir.Write("x", kFont);
  const std::string folder = dir.File("out");
  std::filesystem::create_directory(folder);
  Run([&](CMainDialog& d) {
    qm_user_push_file_dialog_answer(font.c_str());
    Press(d, kButtonFont);
    EXPECT_EQ(Text(d, kEditSecond), dir.File("p"));  // its last character made 'p'
    qm_user_push_folder_answer(folder.c_str());
    Press(d, kButtonSecond);
    EXPECT_EQ(Text(d, kEditSecond), folder);
    Press(d, kButtonRun);
    EXPECT_EQ(Text(d, kStaticResult).rfind("Cannot open " + folder + " for write!", 0), 0u)
        << Text(d, kStaticResult);
  });
  EXPECT_EQ(read_all(font), std::string(kFont.begin(), kFont.end()));
}

TEST_F(ToolShellTest, CodeViewShowsTheSourceAndTheGlyph) {
  ScratchDir dir;
  const std::string font = dir.Write("font.shx", kFont);
  Run([&](CMainDialog& d) {
    Press(d, kRadioCodeView);
    Press(d, kButtonRun);  // no font
    Type(d, kEditFont, font);
    Press(d, kButtonRun);  // no code
    Type(d, kEditText, "42");
    Press(d, kButtonRun);  // no such code
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"ERROR!: Wrong filename", "ERROR!: Wrong HEX Code",
                                                 "ERROR!: Cannot find code   42 in " + font + "\n"}));
    EXPECT_EQ(Text(d, kEditSecond), "");
    EXPECT_EQ(LitCanvasPixels(d), 0);
    qm_user_clear_message_boxes();
    Type(d, kEditText, "41");
    Press(d, kButtonRun);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Text(d, kEditSecond), kSourceOfA);
    // 4 units down and 4 across at 0.4 x the canvas height for 8 units.
    EXPECT_GT(LitCanvasPixels(d), 8);
    // What the canvas holds is what the dialog shows where the result text was.
    std::vector<uint32_t> shown = ShownCanvas(d);
    ASSERT_EQ(shown.size(), static_cast<size_t>(CanvasSize().cx * CanvasSize().cy));
    EXPECT_EQ(static_cast<int>(std::count(shown.begin(), shown.end(), 0xFFFFFFu)), LitCanvasPixels(d));
    // The red guide line, where the glyph does not cross it.
    EXPECT_GT(std::count(shown.begin(), shown.end(), 0xFF0000u), CanvasSize().cx - 8);
  });
}

TEST_F(ToolShellTest, PreviewDrawsDoubleByteCharactersFromTheFontWhenNoBigFontIsGiven) {
  ScratchDir dir;
  // A big font holding its information (code 0) and one double-byte glyph.
  const std::string big =
      dir.Write("big.shx", BigFont({{0, "BIG", {8, 2, 0, 0}}, {0xA1A2, "", {1, 0x8C, 0x80, 0}}}, {0xA1, 0xA1}));
  std::vector<uint32_t> alone, with_itself;
  Run([&](CMainDialog& d) {
    Press(d, kRadioPreview);
    Type(d, kEditText, "\xA1\xA2");
    Press(d, kButtonRun);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"ERROR!: Wrong filename"});
    Type(d, kEditFont, big);
    Press(d, kButtonRun);
    EXPECT_GT(LitCanvasPixels(d), 8);
    alone = ShownCanvas(d);
    Type(d, kEditSecond, big);
    Press(d, kButtonRun);
    with_itself = ShownCanvas(d);
    // A font that cannot be read leaves the guide line and says why.
    Type(d, kEditFont, dir.File("none.shx"));
    Press(d, kButtonRun);
    EXPECT_EQ(LitCanvasPixels(d), 0);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].rfind("ERROR!: ", 0), 0u) << Boxes()[1];
    EXPECT_NE(Boxes()[1].find("none.shx"), std::string::npos) << Boxes()[1];
  });
  ASSERT_FALSE(alone.empty());
  EXPECT_EQ(alone, with_itself);
}

// Text typed in the dialog is GBK: a unifont previews it by its characters'
// code points, as the command line does with the same text in UTF-8.
TEST_F(ToolShellTest, PreviewOfAUnifontDrawsTypedChineseAndKana) {
  const std::string font = std::string(QM_SOURCE_DIR) + "/fonts/kst32b.shx";
  const CSize size = CanvasSize();
  CPreviewCanvas expected;
  ASSERT_TRUE(expected.Create(size.cx, size.cy));
  expected.DrawGuideLine();
  std::string message;
  ASSERT_TRUE(DrawTextLine(expected, font.c_str(), nullptr, "\xE4\xB8\xAD\xE3\x81\x8B", &message,
                           TextEncoding::kUtf8));
  Run([&](CMainDialog& d) {
    Press(d, kRadioPreview);
    d.SetDlgItemText(kEditFont, font.c_str());
    d.SetDlgItemText(kEditText, "\xD6\xD0\xA4\xAB");  // 中か
    Press(d, kButtonRun);
    EXPECT_GT(LitCanvasPixels(d), 50);
    int differ = 0;
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x) differ += GetPixel(d.canvas().dc(), x, y) != GetPixel(expected.dc(), x, y);
    EXPECT_EQ(differ, 0);
  });
}

// The real unifonts, decompiled through the dialog, give what the decompiler
// gives.
TEST_F(ToolShellTest, RealUnifontsDecompileThroughTheDialog) {
  for (const char* name : {"iso3098.shx", "kst32b.shx"}) {
    const std::string font = test_data::shared_font(name);
    QM_SKIP_WITHOUT(font);
    ScratchDir dir;
    std::string message;
    ASSERT_TRUE(DecompileFontFile(font.c_str(), dir.File("direct.shp").c_str(), message)) << message;
    Run([&](CMainDialog& d) {
      qm_user_push_file_dialog_answer(font.c_str());
      Press(d, kButtonFont);
      qm_user_push_folder_answer(dir.File("").c_str());
      Press(d, kButtonSecond);
      EXPECT_EQ(Text(d, kEditSecond), dir.File(std::string(name).substr(0, std::string(name).size() - 1) + "p"));
      Press(d, kButtonRun);
      EXPECT_EQ(Text(d, kStaticResult), kDone) << name;
    });
    const std::string source = read_all(dir.File(std::string(name).substr(0, std::string(name).size() - 1) + "p"));
    EXPECT_GT(source.size(), 1000u) << name;
    EXPECT_EQ(source, read_all(dir.File("direct.shp"))) << name;
  }
}

}  // namespace
