#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "database/fonts/mb_font_library.h"
#include "database/fonts/mb_ttf_name.h"
#include "database/mb_names.h"
#include "database/mb_resource.h"
#include "database/mb_settings.h"
#include "database/mb_string.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_file.h"
#include "geometry/as_log.h"

#include <windows.h>
#include "tests/support/file_bytes.h"
#include "tests/support/test_temp.h"

namespace {

// The folders made by make_dir, removed with what they hold when the test
// program ends (each test runs as a program of its own).
struct Made_Dirs {
  std::vector<std::string> dirs;
  ~Made_Dirs() {
    for (const std::string& d : dirs) std::system(("rm -rf '" + d + "'").c_str());
  }
};

// A fresh folder under the test temp folder.
std::string make_dir(const char* name) {
  static Made_Dirs made;
  std::string dir = qm_test_temp(name);
  std::string cmd = "mkdir -p '" + dir + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  made.dirs.push_back(dir);
  return dir + "/";
}

TEST(MBSystem, SettingsStartWithTheDocumentedColoursPrecisionsAndScales) {
  const MB_System_Setting s;
  EXPECT_EQ(s.get_long_val(MB_BACKGROUND_COLOR), 0x000000);  // black
  EXPECT_EQ(s.get_long_val(MB_CURRENT_COLOR), 0xFFFFFF);     // white
  EXPECT_EQ(s.get_long_val(MB_RUBBER_COLOR), 0x00FF00);      // green
  EXPECT_EQ(s.get_long_val(MB_SELECTION_COLOR), 0x0000FF);   // red (0x00BBGGRR)
  EXPECT_EQ(s.get_long_val(MB_ARC_PRECISION), 30);
  EXPECT_EQ(s.get_long_val(MB_DEFAULT_PRECISION), 60);              // circles among them
  EXPECT_EQ(s.get_long_val(MB_System_Setting::kFlagsIndex), 0x80);  // the flags word
  EXPECT_EQ(s.get_real_val(MB_LINE_SCALE), 2.0);
  EXPECT_EQ(s.get_real_val(MB_WIDTH), 0.4);
  EXPECT_FALSE(s.explode_text());
  // The process-wide settings start from the same values.
  EXPECT_EQ(g_system_setting.get_long_val(MB_DEFAULT_PRECISION), 60);
  EXPECT_EQ(g_system_resource.setting().get_long_val(MB_CURRENT_COLOR), 0xFFFFFF);
}

TEST(MBSystem, SettingIndexesOutOfRangeReadZeroAndWriteNothing) {
  MB_System_Setting s;
  for (int i : {-1, 26, 1000}) {
    s.set_long_val(i, 7);
    EXPECT_EQ(s.get_long_val(i), 0);
  }
  for (int i : {-1, 10}) {
    s.set_short_val(i, 7);
    EXPECT_EQ(s.get_short_val(i), 0);
  }
  for (int i : {-1, 5}) {
    s.set_real_val(i, 7.0);
    EXPECT_EQ(s.get_real_val(i), 0.0);
  }
  EXPECT_EQ(s.get_long_val(25), 0x80);
  EXPECT_EQ(s.get_real_val(4), 0.0);
  MB_System_Setting copy(s);
  copy.set_long_val(0, 5);
  EXPECT_EQ(s.get_long_val(0), 0);
}

TEST(MBSystem, FlagBitsSetAndClearOnlyTheirMaskInTheFlagsWord) {
  MB_System_Setting s;
  s.set_bool_val(0x4, true);
  EXPECT_TRUE(s.get_bool_val(0x4));
  EXPECT_TRUE(s.get_bool_val(0x80));
  s.set_bool_val(0x80, false);
  EXPECT_FALSE(s.get_bool_val(0x80));
  EXPECT_TRUE(s.get_bool_val(0x84));
  EXPECT_EQ(s.get_long_val(25), 0x4);
}

TEST(MBSystem, KernelFoldersFollowTheLibraryOrTheEnvironment) {
  char dir[MAX_PATH], support[MAX_PATH], fonts[MAX_PATH];
  ASSERT_TRUE(get_system_dir(dir));
  ASSERT_TRUE(get_support_dir(support));
  ASSERT_TRUE(get_fonts_dir(fonts));
  std::string d = dir;
  EXPECT_EQ(d.back(), '/');
  EXPECT_EQ(std::string(support), d + "support/");
  EXPECT_EQ(std::string(fonts), d + "fonts/");
  // The folder is the one that holds the kernel library.
  EXPECT_TRUE(std::ifstream(d + "libvellex.so").good()) << d;
  EXPECT_STREQ(g_system_resource.system_dir(), dir);
  EXPECT_STREQ(g_system_resource.fonts_dir(), fonts);

  setenv("QM_KERNEL_DIR", "/opt/qm", 1);
  EXPECT_TRUE(get_support_dir(support));
  EXPECT_STREQ(support, "/opt/qm/support/");
  std::string longer = "/" + std::string(300, 'x');
  setenv("QM_KERNEL_DIR", longer.c_str(), 1);
  EXPECT_FALSE(get_fonts_dir(fonts));
  EXPECT_STREQ(fonts, "");
  unsetenv("QM_KERNEL_DIR");
}

TEST(MBSystem, FileNameAndExtensionSplitAtEitherSeparator) {
  struct Case {
    const char* path;
    const char* ext;
    bool is_ext;
    const char* name;
  } cases[] = {
      {"fonts\\gb.big.SHX", "shx", true, "gb.big.SHX"},
      {"txt.shx", "SHX", true, "txt.shx"},
      {"README", "shx", false, "README"},
      {"/usr/share/fonts/a.ttf", "TTF", true, "a.ttf"},
      {"c:\\fonts/mixed\\b.shp", "shp", true, "b.shp"},
      {"dir/", "", false, ""},
      {"name.", "", true, "name."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(is_file_ext(c.path, c.ext), c.is_ext);
    char out[MAX_PATH] = "junk";
    EXPECT_TRUE(get_fname_by_pathstr(c.path, out));
    EXPECT_STREQ(out, c.name);
  }
  char out[MAX_PATH];
  EXPECT_FALSE(get_fname_by_pathstr(nullptr, out));
  EXPECT_FALSE(is_file_ext(nullptr, "shx"));
  EXPECT_TRUE(char2unicode("abc", out));
  EXPECT_STREQ(out, "");
}

TEST(MBSystem, NamesIgnoreCaseButNotGbkTrailBytes) {
  EXPECT_TRUE(mb_same_name("TxT.Shx", "txt.SHX"));
  EXPECT_FALSE(mb_same_name("txt.shx", "txt.sh"));
  EXPECT_TRUE(mb_same_name("\xCB\xCE.ttf", "\xCB\xCE.TTF"));
  // 0x81 0x61 and 0x81 0x41 are two different GBK characters.
  EXPECT_FALSE(mb_same_name("\x81\x61", "\x81\x41"));
  EXPECT_FALSE(mb_same_name("a", nullptr));
}

// What the entries `write` makes in a fresh folder leave in its log.
template <class Write>
std::string log_written_in(const char* folder, Write write) {
  const std::string dir = make_dir(folder);
  char old[MAX_PATH * 4];
  EXPECT_NE(getcwd(old, sizeof old), nullptr);
  EXPECT_EQ(chdir(dir.c_str()), 0);
  std::remove("kzf.log");
  write();
  const std::string log = read_all("kzf.log");
  EXPECT_EQ(chdir(old), 0);
  return log;
}

TEST(MBSystem, LogEntriesAreFramedTextModeLines) {
  const std::string log = log_written_in("log", [] {
    message_out("Error open the shp file:", "a.shp", nullptr, false);
    message_out("at ", As_Pt(1, -2.5, 0.00004), "", false);
    message_out("x", "y", "z", true);
  });
  // The log is a text-mode file: each "\n" of "\r\n" becomes CR LF.
  const std::string first =
      "---------------\r\r\nError open the shp file:a.shp\r\r\n"
      "---------------\r\r\nat x:1.0000  y:-2.5000  z:0.0000\r\r\n";
  ASSERT_EQ(log.compare(0, first.size(), first), 0) << log;
  std::string stamped = log.substr(first.size());
  EXPECT_EQ(stamped.compare(0, 14, std::string(14, '-')), 0);
  EXPECT_NE(stamped[14], '-');
  EXPECT_NE(stamped.find("---------------\r\r\nxyz\r\r\n"), std::string::npos);
}

TEST(MBSystem, LogTimeStampsAreZeroPadded) {
  const std::string log = log_written_in("log_stamp", [] { message_out("x", "y", "z", true); });
  // 14 dashes, then YYYY-MM-DD HH:MM:SS: every field keeps its width.
  ASSERT_GE(log.size(), 33u) << log;
  const std::string stamp = log.substr(14, 19);
  for (size_t i = 0; i < stamp.size(); ++i) {
    const char want = i == 4 || i == 7 ? '-' : i == 10 ? ' ' : i == 13 || i == 16 ? ':' : '0';
    if (want == '0')
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(stamp[i]))) << stamp;
    else
      EXPECT_EQ(stamp[i], want) << stamp;
  }
}

// A log name planted in a shared folder (a link of either kind to another
// file, a pipe, a folder) is left alone: nothing is written through it, nothing blocks, and
// standard error says why once.
TEST(MBSystem, ALogThatIsNoRegularFileIsLeftAlone) {
  const std::string dir = make_dir("log_hostile");
  const std::string victim = dir + "victim.txt";
  std::ofstream(victim) << "keep me";
  struct Case {
    const char* what;
    std::string make;
  } cases[] = {
      {"a symbolic link", "ln -s '" + victim + "' kzf.log"},
      {"a hard link", "ln '" + victim + "' kzf.log"},
      {"a pipe", "mkfifo kzf.log"},
      {"a folder", "mkdir kzf.log"},
  };
  char old[MAX_PATH * 4];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  testing::internal::CaptureStderr();
  for (const Case& c : cases) {
    ASSERT_EQ(std::system(("rm -rf kzf.log && " + c.make).c_str()), 0) << c.what;
    message_out("planted ", "entry", nullptr, true);
    struct stat st;
    EXPECT_EQ(lstat("kzf.log", &st), 0) << c.what;
    EXPECT_FALSE(S_ISREG(st.st_mode) && st.st_nlink == 1) << c.what << ": replaced by a file";
  }
  const std::string said = testing::internal::GetCapturedStderr();
  std::system("rm -rf kzf.log");
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(read_all(victim), "keep me");
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("kzf.log: is a symbolic link"), std::string::npos) << said;
}

TEST(MBSystem, TextFileCreatesAppendsAndEmpties) {
  std::string path = make_dir("asfile") + "out.txt";
  {
    As_File f;
    EXPECT_FALSE(f.write_text("nothing open"));
    EXPECT_EQ(f.close(), EOF);
    EXPECT_FALSE(f.open_or_create("/nonexistent-folder/x.txt"));
    ASSERT_TRUE(f.create_file(path.c_str()));
    EXPECT_TRUE(f.write_text("line"));
    EXPECT_TRUE(f.write_segment(As_Pt(1, 2, 3), As_Pt(-1, 0.5, 0), 7));
    EXPECT_EQ(f.close(), 0);
  }
  {
    As_File f(path.c_str(), false);  // appends
    EXPECT_TRUE(f.is_open());
    EXPECT_TRUE(f.write_current_time());
  }
  std::string text = read_all(path);
  const std::string head =
      "line\r\r\n1.0000,2.0000,3.0000,-1.0000,0.5000,0.0000,7\r\r\n;;";
  EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
  EXPECT_EQ(text.substr(text.size() - 3), "\r\r\n");
  As_File again(path.c_str(), true);  // empties the file
  again.close();
  EXPECT_EQ(read_all(path), "");
}

// A font library for tests that counts how many exist.
class Test_Font : public MB_Font_Library {
 public:
  static inline int live = 0;
  static inline std::string last_path;
  Test_Font() { ++live; }
  ~Test_Font() override { --live; }
  int font_type() const override { return 4; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

  static MB_Font_Library* load(const char* path, const char* file_name) {
    last_path = path;
    if (std::strstr(file_name, "bad")) return nullptr;
    Test_Font* f = new Test_Font;
    f->file_name(file_name);
    return f;
  }
};

TEST(MBSystem, FontCacheRefusesBadNamesFindsAnyCaseAndOwnsWhatItLoads) {
  MB_Font_Loader old_shx = MB_System_Resource::font_loader("shx", Test_Font::load);
  MB_Font_Loader old_shp = MB_System_Resource::font_loader("SHP", Test_Font::load);
  MB_Font_Loader old_ttf = MB_System_Resource::font_loader("TTF", nullptr);  // no maker: refused
  EXPECT_EQ(MB_System_Resource::font_loader("otf", Test_Font::load), nullptr);
  {
    MB_System_Resource res;
    EXPECT_EQ(res.get_fontlib("txt.shx"), nullptr);
    for (const char* refused : {"*.shx", ".shx", "?a.shx", "\\a.shx", "", "a.otf", "noext",
                                "bad.shx", "a.ttf"}) {
      EXPECT_EQ(res.load_font(refused), nullptr) << refused;
    }
    MB_Font_Library* a = res.load_font("txt.shx");
    MB_Font_Library* b = res.load_font("txt.shx");  // no look-up between: two libraries
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(res.fontlib_list().size(), 2);
    EXPECT_EQ(res.get_fontlib("TXT.SHX"), a);

    MB_Font_Library* full = res.load_font("/usr/share/qm/fonts\\GBCBIG.SHX");
    ASSERT_NE(full, nullptr);
    EXPECT_STREQ(full->file_name(), "GBCBIG.SHX");
    EXPECT_EQ(Test_Font::last_path, "/usr/share/qm/fonts\\GBCBIG.SHX");
    EXPECT_EQ(res.get_fontlib("gbcbig.shx"), full);
    {
      MB_Undo_Redo store;
      store.rec_cmd_begin("text");
      EXPECT_NE(res.load_font("x/simplex.shp"), nullptr);
      EXPECT_EQ(store.recording()->head(), nullptr);  // the cache's, not the command's
      store.rec_cmd_end();
    }
    EXPECT_EQ(Test_Font::live, 4);
    res.free();
    EXPECT_EQ(Test_Font::live, 0);
    EXPECT_TRUE(res.fontlib_list().is_empty());
    res.load_font("romans.shx");
  }
  EXPECT_EQ(Test_Font::live, 0);  // the destructor frees the cache
  MB_System_Resource::font_loader("SHX", old_shx);
  MB_System_Resource::font_loader("SHP", old_shp);
  MB_System_Resource::font_loader("TTF", old_ttf);
}

TEST(MBSystem, FontsThatDoNotLoadAreListedWithTheReason) {
  char tmpl[] = "/tmp/qm_fonts_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  std::ofstream(dir + "/text.shx") << "hello, no font";
  ASSERT_EQ(mkdir((dir + "/folder.shx").c_str(), 0755), 0);
  {
    MB_System_Resource res;
    const struct {
      std::string file, reason;
    } cases[] = {
        {dir + "/missing.shx", "No such file or directory"},
        {dir + "/folder.shx", "is a directory"},
        {dir + "/text.shx", "not a font this kernel reads"},
    };
    for (const auto& c : cases) {
      EXPECT_EQ(res.load_font(c.file.c_str()), nullptr);
      EXPECT_EQ(res.load_font(c.file.c_str()), nullptr);  // listed once
    }
    ASSERT_EQ(res.font_failures().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
      EXPECT_EQ(res.font_failures()[i].file, cases[i].file);
      EXPECT_EQ(res.font_failures()[i].reason, cases[i].reason);
    }
    res.free();
    EXPECT_TRUE(res.font_failures().empty());
  }
  EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}

// A font a drawing names with a folder is that exact file when it exists;
// else only its file name is looked up, in the fonts folder. A spelling in
// another case is never searched for outside the fonts folder.
TEST(MBSystem, AFontNamedWithAFolderIsThatFileOrTheFontsFoldersOwn) {
  char tmpl[] = "/tmp/qm_font_path_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  std::ofstream(dir + "/text.shx") << "outside the fonts folder";
  {
    MB_System_Resource res;
    const std::string fonts = res.fonts_dir();
    ASSERT_FALSE(fonts.empty());
    const struct {
      std::string name, path;
    } cases[] = {
        {"txt.shx", fonts + "txt.shx"},
        {dir + "/text.shx", dir + "/text.shx"},
        {"/dev/zero", "/dev/zero"},  // exists as given: the reader refuses a device
        {dir + "/TEXT.SHX", fonts + "TEXT.SHX"},
        {dir + "/none/zero.shx", fonts + "zero.shx"},
        {"/dev/ZERO.shx", fonts + "ZERO.shx"},
        {"C:\\Fonts\\Romans.shx", fonts + "Romans.shx"},
    };
    for (const auto& c : cases) EXPECT_EQ(res.font_path(c.name.c_str()), c.path) << c.name;
    EXPECT_EQ(res.load_font((dir + "/TEXT.SHX").c_str()), nullptr);
    ASSERT_EQ(res.font_failures().size(), 1u);
    // In the fonts folder a name is found without regard to case.
    EXPECT_NE(res.load_font("/elsewhere/KST32B.SHX"), nullptr);
    EXPECT_EQ(res.font_failures().size(), 1u);
    EXPECT_EQ(res.font_failures()[0].reason, "No such file or directory") << "the file outside is not read";
  }
  EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}

// ---------------------------------------------------------------------------
// TrueType family names

const char kDejaVu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

uint16_t be16(const std::string& d, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(d[at]) << 8 | static_cast<unsigned char>(d[at + 1]));
}
uint32_t be32(const std::string& d, size_t at) { return uint32_t(be16(d, at)) << 16 | be16(d, at + 2); }
void put16(std::string& d, size_t at, uint16_t v) {
  d[at] = static_cast<char>(v >> 8);
  d[at + 1] = static_cast<char>(v);
}
void put32(std::string& d, size_t at, uint32_t v) {
  put16(d, at, static_cast<uint16_t>(v >> 16));
  put16(d, at + 2, static_cast<uint16_t>(v));
}

// Where the parts of a font's family name live.
struct Layout {
  size_t name_record = 0;  // the table record of "name"
  size_t table = 0;        // the name table
  size_t windows = 0;      // the Windows family-name record
  size_t string = 0;       // its text
};

Layout layout_of(const std::string& d) {
  Layout l;
  for (size_t i = 0; i < be16(d, 4); ++i) {
    size_t r = 12 + 16 * i;
    if (d.compare(r, 4, "name") == 0) l.name_record = r;
  }
  l.table = be32(d, l.name_record + 8);
  for (size_t j = 0; j < be16(d, l.table + 2); ++j) {
    size_t r = l.table + 6 + 12 * j;
    if (be16(d, r) == 3 && be16(d, r + 2) == 1 && be16(d, r + 4) == 1033 && be16(d, r + 6) == 1) l.windows = r;
  }
  l.string = l.table + be16(d, l.table + 4) + be16(d, l.windows + 10);
  return l;
}

std::string name_of(const std::string& path, uint16_t lang = 1033, size_t size = 64) {
  char out[80];
  std::memset(out, '#', sizeof out);
  if (!get_ttf_name_by_path(path.c_str(), lang, out, size)) {
    EXPECT_EQ(out[0], '#');  // untouched
    return "(none)";
  }
  EXPECT_EQ(out[size], '#');  // nothing past the output
  return out;
}

TEST(MBSystem, TrueTypeFamilyNameIsTheUsEnglishOneCutToFit) {
  EXPECT_EQ(name_of(kDejaVu), "DejaVu Sans");
  // Only US English names: the English one, whatever the system language.
  EXPECT_EQ(name_of(kDejaVu, 2052), "DejaVu Sans");
  EXPECT_EQ(name_of(kDejaVu, 1033, 6), "DejaV");
  EXPECT_EQ(name_of("/nonexistent.ttf"), "(none)");

  setenv("QM_WINDOWS_DIR", "/usr/share", 1);
  char out[32] = "kept";
  EXPECT_TRUE(get_ttf_name_by_file("truetype/dejavu/DejaVuSans.ttf", out, sizeof out));
  EXPECT_STREQ(out, "DejaVu Sans");
  std::strcpy(out, "kept");
  EXPECT_FALSE(get_ttf_name_by_file("missing.ttf", out, sizeof out));
  EXPECT_STREQ(out, "kept");
  unsetenv("QM_WINDOWS_DIR");
}

TEST(MBSystem, DamagedTrueTypeFontsGiveNoNameOrOnlyWhatFitsTheFile) {
  const std::string font = read_all(kDejaVu);
  ASSERT_GT(font.size(), 1000u);
  const Layout l = layout_of(font);
  ASSERT_NE(l.windows, 0u);
  struct Case {
    const char* what;
    long keep;   // keep this many bytes (-1: all)
    size_t at;   // patch position
    int width;   // 0 none, 2 or 4 bytes
    uint32_t value;
    const char* expect;
  } cases[] = {
      {"empty file", 0, 0, 0, 0, "(none)"},
      {"cut in the header", 4, 0, 0, 0, "(none)"},
      {"cut in the table records", long(l.name_record + 9), 0, 0, 0, "(none)"},
      {"cut in the name table header", long(l.table + 3), 0, 0, 0, "(none)"},
      {"cut before the family record", long(l.windows + 3), 0, 0, 0, "(none)"},
      {"cut in the family text", long(l.string + 9), 0, 0, 0, "(none)"},
      {"no tables", -1, 4, 2, 0, "(none)"},
      {"table count past the records", -1, 4, 2, 0xFFFF, "DejaVu Sans"},
      {"name table past the end", -1, l.name_record + 8, 4, 0xFFFFFFF0u, "(none)"},
      {"name table longer than the file", -1, l.name_record + 12, 4, 0xFFFFFFFFu, "(none)"},
      {"name table too short for its records", -1, l.name_record + 12, 4, 8, "(none)"},
      {"record count past the table", -1, l.table + 2, 2, 0xFFFF, "DejaVu Sans"},
      {"storage past the table", -1, l.table + 4, 2, 0xFFFF, "(none)"},
      {"family text longer than the table", -1, l.windows + 8, 2, 0xFFFF, "(none)"},
      {"family text past the table", -1, l.windows + 10, 2, 0xFFFF, "(none)"},
      {"family text of one byte", -1, l.windows + 8, 2, 1, "(none)"},
      {"family text of an odd length", -1, l.windows + 8, 2, 21, "DejaVu San"},
      {"family text of zero units", -1, l.windows + 8, 2, 0, "(none)"},
  };
  std::string dir = make_dir("ttf");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = font;
    if (c.keep >= 0) bytes.resize(static_cast<size_t>(c.keep));
    if (c.width == 2) put16(bytes, c.at, static_cast<uint16_t>(c.value));
    if (c.width == 4) put32(bytes, c.at, c.value);
    std::string path = dir + "damaged.ttf";
    write_all(path, bytes);
    EXPECT_EQ(name_of(path), c.expect);
  }
}

// A small font with a name table only: US English "Song" and, in Chinese
// (2052), the two characters U+5B8B U+4F53.
std::string two_language_font() {
  const uint16_t english[] = {'S', 'o', 'n', 'g'};
  const uint16_t chinese[] = {0x5B8B, 0x4F53};
  std::string table(6 + 2 * 12, '\0');
  put16(table, 2, 2);
  put16(table, 4, static_cast<uint16_t>(table.size()));
  const uint16_t records[2][6] = {{3, 1, 2052, 1, 4, 8}, {3, 1, 1033, 1, 8, 0}};
  for (int r = 0; r < 2; ++r)
    for (int k = 0; k < 6; ++k) put16(table, 6 + 12 * r + 2 * k, records[r][k]);
  std::string storage(12, '\0');
  for (int i = 0; i < 4; ++i) put16(storage, 2 * i, english[i]);
  for (int i = 0; i < 2; ++i) put16(storage, 8 + 2 * i, chinese[i]);
  table += storage;
  std::string font(12 + 16, '\0');
  put16(font, 4, 1);
  font.replace(12, 4, "name");
  put32(font, 12 + 8, static_cast<uint32_t>(font.size()));
  put32(font, 12 + 12, static_cast<uint32_t>(table.size()));
  return font + table;
}

TEST(MBSystem, TrueTypeNameInTheSystemLanguage) {
  std::string path = make_dir("ttf2") + "song.ttf";
  write_all(path, two_language_font());
  EXPECT_EQ(name_of(path, 1033), "Song");
  EXPECT_EQ(name_of(path, 2052), "\xCB\xCE\xCC\xE5");  // GBK
  EXPECT_EQ(name_of(path, 1041), "Song");
  // Cut to fit: a double-byte character is never split.
  EXPECT_EQ(name_of(path, 2052, 4), "\xCB\xCE");
}

}  // namespace
