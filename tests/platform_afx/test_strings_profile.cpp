// GBK strings, finding files and the profile store of the application.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <qm_user.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// "中\x5c" style trail bytes: 0x5C ('\\') and 0x41 ('A') occur as the second
// byte of real GBK characters (U+5F0C is 0x8F 0x5C, U+4E2A is 0x82 0x41).
const char kTrailBackslash[] = "\x8f\x5c";
const char kTrailA[] = "\x82\x41";

TEST(CStringGbk, SearchesAndCasesStepOverTwoByteCharacters) {
  const CString path = CString("c:\\") + kTrailBackslash + "\\a.DWG";
  EXPECT_EQ(path.ReverseFind('\\'), 5);  // not the trail byte at 4
  EXPECT_EQ(path.Find('\\', 3), 5);
  EXPECT_EQ(path.Find("\\"), 2);
  EXPECT_EQ(CString(kTrailBackslash).Find('\\'), -1);
  CString mixed = CString("AB") + kTrailA + "Cd";
  mixed.MakeLower();
  EXPECT_EQ(mixed, CString("ab") + kTrailA + "cd");  // the trail 'A' untouched
  mixed.MakeUpper();
  EXPECT_EQ(mixed, CString("AB") + kTrailA + "CD");
  CString r = CString("x") + kTrailBackslash + "\\y";
  EXPECT_EQ(r.Replace("\\", "/"), 1);
  EXPECT_EQ(r, CString("x") + kTrailBackslash + "/y");
}

TEST(CStringGbk, EditsAsTheOriginalDoes) {
  struct Case {
    CString got;
    const char* want;
  } cases[] = {
      {CString("  a.dwg \t\r\n").TrimRight(), "  a.dwg"},
      {CString("  a.dwg").TrimLeft(), "a.dwg"},
      {CString("abc").Left(2), "ab"},
      {CString("abc").Left(9), "abc"},
      {CString("abc").Left(-1), ""},
      {CString("abc").Right(1), "c"},
      {CString("abc").Right(5), "abc"},
      {CString("abcdef").Mid(2, 3), "cde"},
      {CString("abc").Mid(7), ""},
      {CString("abc").Mid(1, 99), "bc"},
      {CString("a,b,,").TrimRight(','), "a,b"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
  CString f;
  f.Format("%s=%d (%.2f)", "n", 42, 0.5);
  EXPECT_EQ(f, "n=42 (0.50)");
  CString b;
  char* buf = b.GetBuffer(10);
  std::snprintf(buf, 11, "hi");
  b.ReleaseBuffer();
  EXPECT_EQ(b.GetLength(), 2);
  EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
  BSTR s = CString("\xd6\xd0").AllocSysString();
  EXPECT_EQ(qm_bstr_text(s), u"\u4e2d");
  SysFreeString(s);
  AfxRegisterString(7001, "open %1 failed");
  CString msg;
  AfxFormatString1(msg, 7001, "a.dwg");
  EXPECT_EQ(msg, "open a.dwg failed");
  EXPECT_FALSE(msg.LoadString(7999));
}

std::string make_temp_dir() {
  char tmpl[] = "/tmp/qmafx_XXXXXX";
  return mkdtemp(tmpl);
}

TEST(FileFind, MatchesPatternsWithoutCase) {
  const std::string dir = make_temp_dir();
  for (const char* name : {"a.DWG", "b.dwg", "c.dxf", "dwg"}) std::ofstream(dir + "/" + name) << "x";
  mkdir((dir + "/sub.dwg").c_str(), 0755);
  struct Case {
    std::string pattern;
    std::vector<std::string> names;
  } cases[] = {
      {dir + "/*.dwg", {"a.DWG", "b.dwg", "sub.dwg"}},
      {dir + "\\*.DXF", {"c.dxf"}},
      {dir + "/?.dwg", {"a.DWG", "b.dwg"}},
      {dir + "/*.*", {".", "..", "a.DWG", "b.dwg", "c.dxf", "dwg", "sub.dwg"}},
      {dir + "/*.shx", {}},
      {dir + "/missing/*.*", {}},
  };
  for (const Case& c : cases) {
    CFileFind ff;
    std::vector<std::string> got;
    BOOL more = ff.FindFile(c.pattern.c_str());
    while (more) {
      more = ff.FindNextFile();
      got.push_back(static_cast<LPCSTR>(ff.GetFileName()));
      if (got.back() == "sub.dwg") {
        EXPECT_TRUE(ff.IsDirectory());
      }
      if (got.back() == "a.DWG") {
        EXPECT_EQ(ff.GetFileTitle(), "a");
        const std::string root = c.pattern.substr(0, c.pattern.find_last_of("/\\") + 1);
        EXPECT_EQ(ff.GetFilePath(), (root + "a.DWG").c_str());
      }
    }
    EXPECT_EQ(got, c.names) << c.pattern;
  }
  std::system(("rm -rf " + dir).c_str());
}

TEST(Profile, RoundTripsThroughItsFile) {
  const std::string dir = make_temp_dir();
  const std::string path = dir + "/deep/app.ini";
  {
    QmProfileStore store(path);
    store.Set("BarState", "Bar0", "id=1\nline two\\x");
    store.Set("Settings", "Name", "\xd6\xd0=\t");
    std::string error;
    ASSERT_TRUE(store.Save(&error)) << error;
  }
  QmProfileStore again(path);
  std::string v;
  ASSERT_TRUE(again.Get("barstate", "BAR0", &v));  // sections and entries without case
  EXPECT_EQ(v, "id=1\nline two\\x");
  ASSERT_TRUE(again.Get("Settings", "Name", &v));
  EXPECT_EQ(v, "\xd6\xd0=\t");
  std::system(("rm -rf " + dir).c_str());
}

TEST(Profile, DamagedTextGivesDefaults) {
  CWinApp app("Test");
  QmProfileStore& store = app.Profile();
  const char* damaged[] = {
      "",
      "\x00\xff\xfe garbage",
      "Size=12\n",             // an entry before any section
      "[Bar\nSize=12\n",       // a section that never closes
      "[Bar]\nSize=\\q12\n",   // a bad escape
      "[Bar]\nSize=\\x1\n",    // a short escape
      "[Bar]\nSize=12abc\n",   // not a number
      "[Bar]\nSize=99999999999999999999\n",
      "[Bar]\nBlob=ABC\n",     // an odd number of hex digits
      "[Bar]\nBlob=zz\n",
  };
  for (const char* text : damaged) {
    store.Load(text);
    EXPECT_EQ(app.GetProfileInt("Bar", "Size", 7), 7u) << text;
    BYTE* data = reinterpret_cast<BYTE*>(1);
    UINT n = 5;
    EXPECT_FALSE(app.GetProfileBinary("Bar", "Blob", &data, &n)) << text;
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(n, 0u);
  }
  store.Load("[Bar]\nSize=-3\nBlob=00FF10\n[Other]\nx=1");
  EXPECT_EQ(static_cast<int>(app.GetProfileInt("Bar", "Size", 7)), -3);
  BYTE* data = nullptr;
  UINT n = 0;
  ASSERT_TRUE(app.GetProfileBinary("Bar", "Blob", &data, &n));
  ASSERT_EQ(n, 3u);
  EXPECT_EQ(data[1], 0xFF);
  delete[] data;
  const BYTE blob[] = {1, 2, 0xAB};
  ASSERT_TRUE(app.WriteProfileBinary("Bar", "Blob", blob, 3));
  EXPECT_EQ(app.GetProfileString("Bar", "Blob"), "0102AB");
  ASSERT_TRUE(app.WriteProfileString("Bar", nullptr, nullptr));  // the whole section goes
  EXPECT_EQ(app.GetProfileString("Bar", "Blob", "none"), "none");
  EXPECT_EQ(app.GetProfileString("Other", "x"), "1");
}

TEST(Profile, LivesInTheUsersConfigurationFolder) {
  const std::string dir = make_temp_dir();
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  {
    CWinApp app("Test");
    app.SetRegistryKey("Quill/mark");
    EXPECT_EQ(app.Profile().path(), dir + "/quillmark/Quill_mark.ini");
    ASSERT_TRUE(app.WriteProfileInt("Settings", "Size", 12));
  }
  CWinApp app("Test");
  app.SetRegistryKey("Quill/mark");
  EXPECT_EQ(app.GetProfileInt("Settings", "Size", 0), 12u);
  unsetenv("XDG_CONFIG_HOME");
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace

namespace {

TEST(Choosers, ColourAndFontAnswerFromTheirQueues) {
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.Flags = CC_RGBINIT;
  cc.rgbResult = RGB(1, 2, 3);
  EXPECT_FALSE(ChooseColorA(&cc));  // cancelled
  EXPECT_EQ(cc.rgbResult, RGB(1, 2, 3));
  qm_user_push_color_answer({true, 0xFF00FF00});
  ASSERT_TRUE(ChooseColorA(&cc));
  EXPECT_EQ(cc.rgbResult, 0x0000FF00u);  // a COLORREF has no high byte
  LOGFONTA lf = {};
  std::memcpy(lf.lfFaceName, "Arial", 6);
  CHOOSEFONTA cf = {};
  cf.lStructSize = sizeof cf;
  cf.lpLogFont = &lf;
  cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  qm_user_push_font_answer({true, std::string(40, 'x'), 120, 700, true, RGB(9, 9, 9)});
  ASSERT_TRUE(ChooseFontA(&cf));
  EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'x'));  // cut, terminated
  EXPECT_EQ(lf.lfHeight, -16);  // 12 points at 96 dpi
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(cf.rgbColors, RGB(9, 9, 9));
  ASSERT_EQ(qm_user_choosers_shown().size(), 3u);
  EXPECT_EQ(qm_user_choosers_shown()[2].face, "Arial");
  CFont font;
  EXPECT_TRUE(font.CreateFontIndirect(&lf));
  qm_user_reset();
  EXPECT_TRUE(qm_user_choosers_shown().empty());
}

}  // namespace
