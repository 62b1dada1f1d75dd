// A compiled font written as source by the font tool and compiled by the
// kernel draws every glyph as the compiled font does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "database/fonts/mb_font_char.h"
#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "fonttool/shp_writer.h"
#include "tests/fonts/font_builder.h"

using namespace font_test;

namespace {

// A file of the test's own, removed with the object.
class Temp {
 public:
  explicit Temp(const char* suffix) {
    char name[] = "/tmp/qm_roundtrip_XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    std::remove(name);
    path_ = std::string(name) + suffix;
  }
  ~Temp() { std::remove(path_.c_str()); }
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

// The strokes of a source glyph, one point list after another.
std::vector<As_Pt> points_of(const MB_Font_Char& c) {
  const As_Pt_Sets& sets = c.point_sets();
  unsigned long n = 0;
  for (unsigned long s = 0; s < sets.ptset_count(); ++s) n += sets.vals()[s];
  return std::vector<As_Pt>(sets.points(), sets.points() + n);
}

}  // namespace

TEST(FontRoundTrip, UnifontReferencesToWideCodesKeepTheirCode) {
  // 0x41 calls the euro sign 0x20AC, whose code does not fit in one byte.
  const std::vector<uint8_t> font =
      unifont(8, 2, {{0x20AC, "", {0x24, 0x30, 0}}, {0x41, "", {0x14, 7, 0x20, 0xAC, 0x10, 0}}});
  Temp shx(".shx"), shp(".shp");
  FILE* f = std::fopen(shx.path(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(font.data(), 1, font.size(), f);
  std::fclose(f);
  std::string message;
  ASSERT_TRUE(fontlathe::DecompileFontFile(shx.path(), shp.path(), message)) << message;

  MB_Shx_Library compiled;
  ASSERT_TRUE(compiled.load_shx_bytes(font.data(), font.size()));
  MB_Shp_Library source(shp.path());
  for (uint32_t code : {0x41u, 0x20ACu}) {
    ASSERT_NE(source.shape_bytes(code), nullptr) << code;
    EXPECT_EQ(*source.shape_bytes(code), compiled.find(code)->data()) << code;
    Shape_Glyph g;
    ASSERT_TRUE(compiled.glyph(code, &g));
    std::vector<As_Pt> want;
    for (const Shape_Stroke& s : g.strokes) want.insert(want.end(), s.begin(), s.end());
    const std::vector<As_Pt> got = points_of(*source.font_char_set(static_cast<unsigned short>(code)));
    ASSERT_EQ(got.size(), want.size()) << code;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_DOUBLE_EQ(got[i].x(), want[i].x()) << code << " " << i;
      EXPECT_DOUBLE_EQ(got[i].y(), want[i].y()) << code << " " << i;
    }
  }
}
