// Text styles, style names and texts in native files: exact record bytes,
// round trips through shape, big and TrueType fonts, the stroke-storing
// setting, and damaged records.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fileformat/mb_file_io.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"
#include "database/mb_drawing.h"
#include "database/mb_resource.h"
#include "database/mb_settings.h"
#include "database/nodes/mb_draw_node.h"
#include "kzf_file_support.h"
#include "tests/data_paths.h"
#include "tests/fonts/font_builder.h"

using namespace kzf_file_test;

namespace {

void append_string(Bytes& b, const std::string& s) {
  append_long(b, uint32_t(s.size()));
  b.insert(b.end(), s.begin(), s.end());
}

const char kTtfPath[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Font files of this test in a folder of their own, loaded through the
// system resource's cache by full path. Names are unique to the process,
// since the cache knows a library by its file name.
bool have_ttf() {
  struct stat st;
  return stat(kTtfPath, &st) == 0;
}

class Fonts {
 public:
  static Fonts& get() {
    static Fonts f;
    return f;
  }
  std::string main, big;
  // The TrueType font above as a collection of one face ("" without it).
  std::string collection;

 private:
  Fonts() {
    char dir[] = "/tmp/qm_textrec_XXXXXX";
    dir_ = mkdtemp(dir) ? dir : "/tmp";
    using font_test::Shape;
    // 'A' an up stroke, 'B' a bulge, 176 (degree) a right stroke.
    main = write("qmtr_main.shx", font_test::shapes_font(
                                          8, 2, {{65, "A", {1, 0x14, 0x44, 2, 0x10, 0}},
                                                 {66, "B", {1, 12, 4, 4, 60, 2, 0x40, 0}},
                                                 {176, "DEG", {1, 0x10, 2, 0x10, 0}}}));
    // GBK codes 0xB0A1 and 0xD6D0 and the escape code 0x4E2D.
    big = write("qmtr_big.shx", font_test::big_font(8, 2, {{0xB0A1, "", {1, 0x12, 0x1E, 2, 0x20, 0}},
                                                           {0xD6D0, "", {1, 0x14, 0x10, 0x1C, 2, 0x20, 0}},
                                                           {0x4E2D, "", {1, 0x80, 2, 0x80, 0}}}));
    if (have_ttf()) collection = write("qmtr_face.ttc", collection_of(kTtfPath));
  }
  ~Fonts() {
    std::remove(main.c_str());
    std::remove(big.c_str());
    if (!collection.empty()) std::remove(collection.c_str());
    rmdir(dir_.c_str());
  }
  std::string write(const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir_ + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }
  // A collection holding one font file's face: the collection's header,
  // then the face with its table offsets moved past that header.
  static std::vector<uint8_t> collection_of(const char* ttf) {
    std::vector<uint8_t> face;
    if (FILE* f = std::fopen(ttf, "rb")) {
      int c;
      while ((c = std::fgetc(f)) != EOF) face.push_back(uint8_t(c));
      std::fclose(f);
    }
    constexpr uint32_t kHeader = 16;
    std::vector<uint8_t> out = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, kHeader};
    if (face.size() < 12) return out;
    const size_t tables = size_t(face[4]) << 8 | face[5];
    for (size_t i = 0; i < tables && 12 + 16 * i + 16 <= face.size(); ++i) {
      uint8_t* at = &face[12 + 16 * i + 8];
      const uint32_t off = (uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3]) + kHeader;
      for (int k = 0; k < 4; ++k) at[k] = uint8_t(off >> (24 - 8 * k));
    }
    out.insert(out.end(), face.begin(), face.end());
    return out;
  }
  std::string dir_;
};

MB_Text_Style* style(const char* name, const char* font, const char* big, double h, double w, double oblique,
                     double angle, int32_t font_style = 0, int32_t ali = 0) {
  MB_Text_Style* s = new MB_Text_Style(name, font, big, h, w, oblique, angle, 0, 0);
  s->font_style(font_style);
  s->ali_flag(ali);
  return s;
}

MB_Text* text(MB_Drawing& d, const char* style_name, const As_Pt& at, const MB_String& s) {
  MB_Text* t = new MB_Text(at, s);
  EXPECT_TRUE(t->init_text_style(d, style_name)) << style_name;
  d.object_list().add_tail(t);
  return t;
}

std::vector<As_Pt> strokes_of(MB_Text& t) {
  t.build_draw();
  auto* node = static_cast<MB_Draw_Lines_Sets*>(t.draw_node());
  std::vector<As_Pt> out;
  if (node) out.assign(node->points(), node->points() + node->pts_count());
  return out;
}

void expect_same_style(const MB_Text_Style& got, const MB_Text_Style& want, double tol = 0) {
  EXPECT_TRUE(got.name() == want.name());
  EXPECT_EQ(got.font_lib(), want.font_lib());
  EXPECT_EQ(got.big_font_lib(), want.big_font_lib());
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(got.reals()[i], want.reals()[i], tol) << i;
  EXPECT_EQ(got.font_style(), want.font_style());
  EXPECT_EQ(got.ali_flag(), want.ali_flag());
}

struct Stroke_Setting {
  explicit Stroke_Setting(bool on) : saved(g_system_setting.explode_text()) { g_system_setting.explode_text(on); }
  ~Stroke_Setting() { g_system_setting.explode_text(saved); }
  bool saved;
};

}  // namespace

TEST(TextRecords, StyleAndStyleNameRecordsHaveTheirExactBytes) {
  MB_Shx_Library txt;
  txt.name() = MB_String("txt.shx");
  auto style_record = [](const char* font, const char* big, int32_t font_style, int32_t ali) {
    Bytes b = {'u'};
    append_string(b, "STANDARD");
    append_string(b, font);
    append_string(b, big);
    for (double v : {10.0, 1.0, 0.0, 0.0}) append_double(b, v);
    append_long(b, uint32_t(font_style));
    append_long(b, uint32_t(ali));
    return b;
  };
  MB_Text_Style s;
  s.name("STANDARD");
  s.font_lib(&txt);
  s.width_scale(1.0);
  EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { EXPECT_EQ(s.serialize(io), MB_SUCCESS); }),
            style_record("txt.shx", "*no font", 0, 0));

  // A TrueType main font is named by its file; a style name record.
  if (have_ttf()) {
    MB_TTF_Library ttf("DejaVuSans.ttf", kTtfPath);
    s.font_lib(&ttf);
    s.big_font_lib(&txt);
    s.font_style(MB_Text_Style::kVertical);
    s.ali_flag(MB_Text_Style::kCentred);
    EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { s.serialize(io); }), style_record("DejaVuSans.ttf", "txt.shx", 0x100, 2));
  }
  MB_Drawing d;
  Bytes n = {'w'};
  append_string(n, "Notes");
  EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { MB_Text_Style_Name("Notes", d).serialize(io); }), n);
}

TEST(TextRecords, StyleRecordsPrecedeTheTextAndRepeatOnlyWhenChanged) {
  MB_Text t(As_Pt(3, 4, 0), MB_String("Hi"));
  MB_Text_Style& s = t.text_style();
  s.name("S");
  s.height(2.5);
  s.width_scale(1.0);  // the pass's value: no record
  s.angle(0.5);
  s.oblique_angle(0.25);
  s.font_style(0x100);
  s.ali_flag(2);
  Bytes want = {0x03, 0xFF, 0xFF, 0xFF, 0x00, 'i'};
  append_double(want, 2.0);
  want.push_back('j');
  append_double(want, 0.4);
  want.push_back('H');
  append_double(want, 2.5);
  want.push_back('d');
  append_double(want, 0.5);
  want.push_back('A');
  append_double(want, 0.25);
  want.push_back('b');
  append_long(want, 2);
  want.push_back('o');
  append_long(want, 0x100);
  want.push_back('w');
  append_string(want, "S");
  want.insert(want.end(), {'T', 0, 0, 0, 0});
  append_double(want, 3);
  append_double(want, 4);
  append_string(want, "Hi");
  EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { EXPECT_EQ(t.serialize(io), MB_SUCCESS); }), want);

  // The same text again writes only the text record, its position relative
  // to the last one; an empty text writes nothing.
  Bytes again = {'T', 0, 0, 0, 0};
  append_double(again, 0);
  append_double(again, 0);
  append_string(again, "Hi");
  MB_Text empty(As_Pt(1, 1, 0), MB_String(""));
  const Bytes both = write_pass_body([&](MB_File_IO& io) {
    t.serialize(io);
    EXPECT_EQ(empty.serialize(io), MB_SUCCESS);
    t.serialize(io);
  });
  ASSERT_GE(both.size(), 2 * again.size());
  EXPECT_EQ(Bytes(both.end() - long(again.size()), both.end()), again);
  EXPECT_EQ(both.size(), want.size() + again.size());
}

TEST(TextRecords, RoundTripThroughShapeBigAndTrueTypeFonts) {
  const Fonts& f = Fonts::get();
  MB_Drawing d;
  d.text_style_list().add_tail(style("Standard", f.main.c_str(), f.big.c_str(), 2.5, 1.0, 0, 0));
  d.text_style_list().add_tail(style("Leaning", f.main.c_str(), f.big.c_str(), 10, 0.7, 0.3, 1.1, 0, 2));
  d.text_style_list().add_tail(style("Column", f.main.c_str(), f.big.c_str(), 4, 1.5, 0, -0.4, 0x100, 0));
  MB_Text_Style* bare = style("Bare", nullptr, nullptr, 1, 1, 0, 0);
  bare->font_lib(static_cast<MB_Font_Library*>(nullptr));
  bare->big_font_lib(static_cast<MB_Font_Library*>(nullptr));
  d.text_style_list().add_tail(bare);
  const bool ttf = have_ttf();
  if (ttf) d.text_style_list().add_tail(style("Sans", kTtfPath, f.big.c_str(), 6, 0.8, 0.2, 0.6));

  std::vector<MB_Text*> texts;
  texts.push_back(text(d, "Standard", As_Pt(1e5 + 0.1, -3.3, 0), MB_String("AB%%d%%%")));
  texts.push_back(text(d, "LEANING", As_Pt(-7, 12.5, 0), MB_String("A\xB0\xA1" "B\\U+4E2D\xD6\xD0")));
  texts.push_back(text(d, "Column", As_Pt(0.001, 1e-3, 0), MB_String("\xD6\xD0" "A%%c")));
  texts.push_back(text(d, "Bare", As_Pt(2, 2, 0), MB_String("no font")));
  if (ttf) texts.push_back(text(d, "Sans", As_Pt(40, -40, 0), MB_String("Hg %%p")));
  // A text's own values that differ from its style's.
  texts[0]->text_style().angle(M_PI / 3);
  texts[0]->text_style().oblique_angle(-0.2);
  texts[0]->general().color(0x00FF00);
  texts[0]->set_id(9);
  static_cast<MB_Drawable*>(texts[1])->string() = "tag";
  texts[2]->text_style().width_scale(3.25);
  const unsigned short wide[] = {0xB0A1, 'A', 0xD6D0, 0};
  MB_Text* sixteen = text(d, "Standard", As_Pt(5, 6, 0), MB_String(wide));
  ASSERT_EQ(sixteen->string().form(), 2);

  MB_Drawing back;
  MB_Result r;
  ASSERT_TRUE(load(save(d), back, &r)) << r;

  auto styles = objects_of<MB_Text_Style>(back.text_style_list());
  auto want_styles = objects_of<MB_Text_Style>(d.text_style_list());
  ASSERT_EQ(styles.size(), want_styles.size());
  for (size_t i = 0; i < styles.size(); ++i) expect_same_style(*styles[i], *want_styles[i]);
  EXPECT_EQ(styles[3]->font_lib(), nullptr);  // "*no font"

  auto got = objects_of<MB_Text>(back.object_list());
  ASSERT_EQ(got.size(), texts.size() + 1);
  for (size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(got[i]->string() == texts[i]->string());
    EXPECT_EQ(got[i]->string().form(), 1);  // 8-bit text stays 8-bit, GBK bytes as they were
    EXPECT_NEAR(got[i]->base_pos().x(), texts[i]->base_pos().x(), 1e-9);
    EXPECT_NEAR(got[i]->base_pos().y(), texts[i]->base_pos().y(), 1e-9);
    expect_same_style(got[i]->text_style(), texts[i]->text_style(), 0);
    strokes_of(*texts[i]);  // TrueType glyphs are made on first use
    const std::vector<As_Pt> a = strokes_of(*got[i]), b = strokes_of(*texts[i]);
    ASSERT_EQ(a.size(), b.size());
    if (i != 3) {
      EXPECT_FALSE(a.empty());
    }
    for (size_t k = 0; k < a.size(); ++k) {
      EXPECT_NEAR(a[k].x(), b[k].x(), 1e-7);
      EXPECT_NEAR(a[k].y(), b[k].y(), 1e-7);
    }
  }
  EXPECT_EQ(got[0]->general().color(), 0x00FF00);
  EXPECT_EQ(got[0]->id(), 9u);
  EXPECT_TRUE(static_cast<MB_Drawable*>(got[1])->string() == "tag");
  // 16-bit text is stored as the double-byte text it draws as.
  MB_Text* s16 = got.back();
  EXPECT_EQ(s16->bytes(), "\xB0\xA1" "A\xD6\xD0");
  const std::vector<As_Pt> a = strokes_of(*s16), b = strokes_of(*sixteen);
  ASSERT_EQ(a.size(), b.size());
  for (size_t k = 0; k < a.size(); ++k) EXPECT_NEAR(a[k].x(), b[k].x(), 1e-9);
}

// A text made in a style the drawing does not hold (the text tool's and the
// automation's texts take the fallback style) reads back with the fallback
// style's fonts, its own values and the style name it was saved under, and
// draws as it drew.
TEST(TextRecords, ATextInAStyleTheDrawingLacksReadsBackInTheFallbackStyle) {
  MB_Drawing d;
  MB_Text* made = new MB_Text(As_Pt(3, 4, 0), MB_String("AB"));
  EXPECT_FALSE(made->init_text_style(d, "Absent"));
  d.object_list().add_tail(made);
  made->text_style().name("Kept name");
  made->text_style().height(12);
  made->text_style().angle(0.5);
  ASSERT_NE(made->text_style().font_lib(), nullptr);
  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  auto got = objects_of<MB_Text>(back.object_list());
  ASSERT_EQ(got.size(), 1u);
  const MB_Text_Style& style = got[0]->text_style();
  EXPECT_EQ(style.font_lib(), mb_default_text_style().font_lib());
  EXPECT_EQ(style.big_font_lib(), mb_default_text_style().big_font_lib());
  EXPECT_TRUE(style.name() == MB_String("Kept name"));
  EXPECT_DOUBLE_EQ(style.height(), 12);
  EXPECT_DOUBLE_EQ(style.angle(), 0.5);
  const std::vector<As_Pt> a = strokes_of(*got[0]), b = strokes_of(*made);
  ASSERT_FALSE(a.empty());
  ASSERT_EQ(a.size(), b.size());
  for (size_t k = 0; k < a.size(); ++k) EXPECT_NEAR(a[k].x(), b[k].x(), 1e-9);
}

// Fonts the kernel's fonts folder lacks fall back to the default text and
// big fonts; where those are missing too (the folder holds only the kernel's
// own font), the kernel's font draws under the default's name, so the text
// is drawn and a file read and saved again names the fonts it named.
TEST(TextRecords, MissingFontsDrawWithTheKernelsOwnFont) {
  MB_Font_Library* own = mb_font_from_cache(MB_System_Resource::kShippedFont, nullptr);
  ASSERT_NE(own, nullptr) << "no " << MB_System_Resource::kShippedFont << " in " << g_system_resource.fonts_dir();
  EXPECT_TRUE(own->name() == MB_String(MB_System_Resource::kShippedFont));
  struct Case {
    const char *font, *big, *font_named, *big_named;
  } cases[] = {
      {"txt.shx", "ae.shx", "txt.shx", "ae.shx"},
      {"TXT.SHX", "qm_absent_big.shx", "txt.shx", "ae.shx"},
      {"qm_absent.shx", "", "txt.shx", "ae.shx"},
      {"qm_absent.shp", "qm_absent_big.shp", "txt.shx", "ae.shx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.font);
    MB_Drawing d;
    d.text_style_list().add_tail(style("Notes", c.font, c.big, 5, 1, 0, 0));
    // A Latin letter from the main font, a kanji (U+4E2D) from the big font.
    MB_Text* latin = text(d, "Notes", As_Pt(0, 0, 0), MB_String("A"));
    MB_Text* kanji = text(d, "Notes", As_Pt(0, 0, 0), MB_String("\\U+4E2D"));
    EXPECT_FALSE(strokes_of(*latin).empty());
    EXPECT_FALSE(strokes_of(*kanji).empty());
    MB_Drawing back;
    ASSERT_TRUE(load(save(d), back));
    MB_Text_Style* read = back.find_text_style("Notes");
    ASSERT_NE(read, nullptr);
    ASSERT_NE(read->font_lib(), nullptr);
    ASSERT_NE(read->big_font_lib(), nullptr);
    EXPECT_STREQ(read->font_lib()->file_name(), c.font_named);
    EXPECT_STREQ(read->big_font_lib()->file_name(), c.big_named);
    EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { read->serialize(io); }),
              write_pass_body([&](MB_File_IO& io) { d.text_style_list().head()->serialize(io); }));
  }
  // Each default is loaded once and shared.
  EXPECT_EQ(mb_font_from_cache("qm_absent.shx", "txt.shx"), mb_font_from_cache("txt.shx", nullptr));
}

// A style naming a collection draws its face, by full path and by file
// name, as a style naming the face's own file does; the usual collections
// of Chinese, Japanese and Korean faces draw from an installed face when
// they are not at hand, never from the default shape font.
TEST(TextRecords, CollectionsDrawTheirFaceThroughAStyle) {
  const Fonts& f = Fonts::get();
  if (f.collection.empty()) GTEST_SKIP() << kTtfPath << " is not installed";
  MB_Drawing d;
  d.text_style_list().add_tail(style("Ttc", f.collection.c_str(), "", 5, 1, 0, 0));
  d.text_style_list().add_tail(style("Ttf", kTtfPath, "", 5, 1, 0, 0));
  MB_Text* ttc = text(d, "Ttc", As_Pt(1, 2, 0), MB_String("Quill 42"));
  MB_Text* ttf = text(d, "Ttf", As_Pt(1, 2, 0), MB_String("Quill 42"));
  ASSERT_NE(ttc->text_style().font_lib(), nullptr);
  EXPECT_TRUE(ttc->text_style().font_lib()->is_ttf_font());
  EXPECT_TRUE(ttc->text_style().font_lib()->name() == ttf->text_style().font_lib()->name());
  const std::vector<As_Pt> want = strokes_of(*ttf), got = strokes_of(*ttc);
  ASSERT_FALSE(want.empty());
  ASSERT_EQ(got.size(), want.size());
  for (size_t k = 0; k < got.size(); ++k) {
    EXPECT_NEAR(got[k].x(), want[k].x(), 1e-9);
    EXPECT_NEAR(got[k].y(), want[k].y(), 1e-9);
  }

  char installed[MAX_PATH] = {};
  std::vector<std::string> names = {"simsun.ttc", "msgothic.ttc", "mingliu.ttc", "wqy-microhei.ttc"};
  if (QmGdiFindFontFile("wqy-microhei.ttc", installed, sizeof installed) > 0) names.push_back(installed);
  std::vector<As_Pt> hanzi;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    MB_Drawing cjk;
    cjk.text_style_list().add_tail(style("Cjk", name.c_str(), "", 5, 1, 0, 0));
    MB_Text* t = text(cjk, "Cjk", As_Pt(0, 0, 0), MB_String("\xD6\xD0"));
    ASSERT_NE(t->text_style().font_lib(), nullptr);
    EXPECT_TRUE(t->text_style().font_lib()->is_ttf_font());
    EXPECT_FALSE(strokes_of(*t).empty());
    if (name == installed) {
      EXPECT_EQ(strokes_of(*t).size(), hanzi.size());  // the same face by name and by path
    }
    if (name == "wqy-microhei.ttc") hanzi = strokes_of(*t);
  }
}

// A vertical style stacks its characters top to bottom in every font kind:
// each character is drawn as it is alone, moved down the column by 1.2
// heights per character, the column hanging from the base point, which
// stands half a cell right of its left edge and one height above the first
// character's baseline.
TEST(TextRecords, VerticalStylesStackTheirCharactersInEveryFontKind) {
  const Fonts& f = Fonts::get();
  const std::string unifont = test_data::repo_font("kst32b.shx");
  struct Case {
    const char *kind, *font, *big, *text;
    size_t first;  // the bytes of the first character
  } cases[] = {
      {"shapes", f.main.c_str(), "", "AB", 1},
      {"big font", f.main.c_str(), f.big.c_str(), "\xB0\xA1\xD6\xD0", 2},
      {"unifont", unifont.c_str(), "", "AB", 1},
      {"truetype", kTtfPath, "", "AB", 1},
  };
  constexpr double kH = 4, kW = 1.5;
  const As_Pt base(10, 20, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    if (std::string(c.kind) == "truetype" && !have_ttf()) continue;
    MB_Drawing d;
    d.text_style_list().add_tail(style("Flat", c.font, c.big, kH, kW, 0, 0));
    d.text_style_list().add_tail(style("Column", c.font, c.big, kH, kW, 0, 0, MB_Text_Style::kVertical));
    const std::string chars = c.text;
    const std::vector<As_Pt> first = strokes_of(*text(d, "Flat", base, MB_String(chars.substr(0, c.first).c_str())));
    const std::vector<As_Pt> second = strokes_of(*text(d, "Flat", base, MB_String(chars.substr(c.first).c_str())));
    const std::vector<As_Pt> column = strokes_of(*text(d, "Column", base, MB_String(c.text)));
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    ASSERT_EQ(column.size(), first.size() + second.size());
    for (size_t k = 0; k < column.size(); ++k) {
      const bool in_first = k < first.size();
      const As_Pt& alone = in_first ? first[k] : second[k - first.size()];
      const double down = kH + (in_first ? 0 : 1.2 * kH);
      EXPECT_NEAR(column[k].x(), alone.x() - kW * kH / 2, 1e-9) << k;
      EXPECT_NEAR(column[k].y(), alone.y() - down, 1e-9) << k;
    }
  }
}

TEST(TextRecords, FontFilesAreNeverWritten) {
  const std::string shx = test_data::shared_font("iso3098.shx"), uni = test_data::repo_font("kst32b.shx");
  QM_SKIP_WITHOUT(shx);
  auto bytes_of_file = [](const std::string& p) {
    Bytes b;
    if (FILE* f = std::fopen(p.c_str(), "rb")) {
      int c;
      while ((c = std::fgetc(f)) != EOF) b.push_back(uint8_t(c));
      std::fclose(f);
    }
    return b;
  };
  const Bytes before_shx = bytes_of_file(shx), before_uni = bytes_of_file(uni);
  ASSERT_FALSE(before_shx.empty());
  MB_Drawing d;
  d.text_style_list().add_tail(style("Iso", shx.c_str(), uni.c_str(), 5, 1, 0, 0));
  MB_Text* t = text(d, "Iso", As_Pt(1, 2, 0), MB_String("Quillmark 42"));
  const std::vector<As_Pt> want = strokes_of(*t);
  EXPECT_FALSE(want.empty());
  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  auto got = objects_of<MB_Text>(back.object_list());
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(strokes_of(*got[0]).size(), want.size());
  // The libraries themselves have a one-byte record and write nothing else.
  MB_Font_Library* lib = t->text_style().font_lib();
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { EXPECT_EQ(lib->serialize(io), MB_SUCCESS); }), Bytes{'f'});
  EXPECT_EQ(bytes_of_file(shx), before_shx);
  EXPECT_EQ(bytes_of_file(uni), before_uni);
}

TEST(TextRecords, WithStrokeStoringOnBuiltTextsSaveAsTheirStrokes) {
  EXPECT_FALSE(g_system_setting.explode_text());  // off unless asked for
  const Fonts& f = Fonts::get();
  MB_Drawing d;
  d.text_style_list().add_tail(style("Standard", f.main.c_str(), f.big.c_str(), 3, 1, 0.2, 0.7));
  MB_Text* drawn = text(d, "Standard", As_Pt(4, 5, 0), MB_String("AB\xB0\xA1"));
  const std::vector<As_Pt> want = strokes_of(*drawn);
  ASSERT_FALSE(want.empty());
  text(d, "Standard", As_Pt(1, 1, 0), MB_String("A"));  // never built: no strokes
  Stroke_Setting on(true);
  Bytes file = save(d);
  MB_Drawing back;
  ASSERT_TRUE(load(file, back));
  auto got = objects_of<MB_Text>(back.object_list());
  ASSERT_EQ(got.size(), 1u);  // a text without strokes is not stored
  auto* node = static_cast<MB_Draw_Lines_Sets*>(got[0]->draw_node());
  ASSERT_NE(node, nullptr);
  ASSERT_EQ(node->pts_count(), want.size());
  for (size_t k = 0; k < want.size(); ++k) {
    EXPECT_NEAR(node->points()[k].x(), want[k].x(), 1e-9);
    EXPECT_NEAR(node->points()[k].y(), want[k].y(), 1e-9);
  }
  EXPECT_NEAR(got[0]->rect().rb().x(), drawn->rect().rb().x(), 1e-9);
}

TEST(TextRecords, HostileCountsFailBeforeAllocating) {
  for (uint32_t n : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0x10000000u}) {
    Bytes style_rec = {'u'};
    append_long(style_rec, n);
    Bytes font_rec = {'u'};
    append_string(font_rec, "S");
    append_long(font_rec, n);
    Bytes name_rec = {'w'};
    append_long(name_rec, n);
    Bytes text_rec = {'T', 0, 0, 0, 0};
    append_double(text_rec, 1);
    append_double(text_rec, 2);
    append_long(text_rec, n);
    Bytes strokes = {'T', 0, 0, 0, 0};
    append_double(strokes, 1);
    append_double(strokes, 2);
    append_string(strokes, "A");
    append_long(strokes, n);
    for (const Bytes& body : {style_rec, font_rec, name_rec, text_rec}) {
      MB_Drawing d;
      EXPECT_FALSE(load(uncompressed_file(body), d));
      EXPECT_EQ(d.object_list().count(), 0);
      EXPECT_EQ(d.text_style_list().count(), 0);
    }
    Stroke_Setting on(true);
    MB_Drawing d;
    EXPECT_FALSE(load(uncompressed_file(strokes), d));
    EXPECT_EQ(d.object_list().count(), 0);
  }
}

TEST(TextRecords, DamagedRecordsEndCleanly) {
  const Fonts& f = Fonts::get();
  MB_Drawing d;
  d.text_style_list().add_tail(style("Standard", f.main.c_str(), f.big.c_str(), 3, 0.9, 0.2, 0.7, 0x100, 2));
  MB_Text* a = text(d, "Standard", As_Pt(4, 5, 0), MB_String("A\xB0\xA1%%d"));
  static_cast<MB_Drawable*>(a)->string() = "note";
  text(d, "Standard", As_Pt(-1, 8, 0), MB_String("B"));

  for (bool strokes : {false, true}) {
    Stroke_Setting setting(strokes);
    for (MB_Object* o = d.object_list().head(); o; o = o->next()) static_cast<MB_Text*>(o)->build_draw();
    const Bytes compressed = save(d);
    Bytes body;
    ASSERT_TRUE(payload(compressed, body));
    const Bytes plain = uncompressed_file(body);
    MB_Drawing whole;
    ASSERT_TRUE(load(plain, whole));
    ASSERT_EQ(whole.object_list().count(), 2);
    ASSERT_EQ(whole.text_style_list().count(), 1);

    for (const Bytes* file : {&plain, &compressed}) {
      if (strokes && file == &compressed) continue;
      load_damaged(
          *file, 2026,
          [](MB_Drawing& part) {
            EXPECT_LE(part.object_list().count(), 2);
            EXPECT_LE(part.text_style_list().count(), 1);
          },
          [](MB_Drawing& any) {
            // Whatever was read is whole: it lays out and draws.
            for (MB_Object* o = any.object_list().head(); o; o = o->next()) {
              if (MB_Text* t = dynamic_cast<MB_Text*>(o)) t->build_draw();
            }
          });
    }
  }
}
