// POINT records drawn as the file's point mode and size ask, in the point's
// own colour.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "exchange/cadbridge/dxf_builder.h"
#include "tests/cadbridge/dxf_fixture.h"

namespace {

using Pixel = std::pair<int, int>;

// A file whose header sets the point mode and size, and extents 200 high
// when asked, with a layer RED of colour 1 and one point at (20, 20).
std::string point_file(int mode, const char* size, bool extents, const std::string& point_groups) {
  std::string header =
      "0\nSECTION\n2\nHEADER\n9\n$PDMODE\n70\n" + std::to_string(mode) + "\n9\n$PDSIZE\n40\n" + size + "\n";
  if (extents) header += "9\n$EXTMIN\n10\n0\n20\n0\n30\n0\n9\n$EXTMAX\n10\n200\n20\n200\n30\n0\n";
  header += "0\nENDSEC\n";
  const std::string tables =
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n2\n"
      "0\nLAYER\n2\nRED\n70\n0\n62\n1\n6\nCONTINUOUS\n"
      "0\nLAYER\n2\nDefpoints\n70\n0\n62\n3\n6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n";
  return header + tables + dxf_entities("0\nPOINT\n" + point_groups + "10\n20\n20\n20\n30\n0\n");
}

// A GDI colour (0x00BBGGRR) as the surface stores it (0x00RRGGBB).
uint32_t on_surface(uint32_t colorref) {
  return ((colorref & 0xFFu) << 16) | (colorref & 0xFF00u) | ((colorref >> 16) & 0xFFu);
}

}  // namespace

TEST(DxfPoints, MarkShapeSizeAndColour) {
  const uint32_t red = dxf_aci_color(1), green = dxf_aci_color(3), blue = dxf_aci_color(5);
  const uint32_t orange = 0x0080FFu;  // true colour 0xFF8000 as 0x00BBGGRR
  struct Case {
    const char* what;
    int mode;
    const char* size;
    bool extents;
    const char* groups;
    uint32_t colour;
    std::vector<Pixel> inked;  // each in the colour
    std::vector<Pixel> blank;
    size_t most;  // pixels painted at most
  };
  const Case cases[] = {
      {"a dot of its layer's colour", 0, "5", false, "8\nRED\n62\n256\n", red, {{20, 20}}, {{21, 20}}, 1},
      {"nothing", 1, "5", false, "8\nRED\n", red, {}, {{20, 20}}, 0},
      {"a plus reaching the size out",
       2,
       "5",
       false,
       "8\n0\n62\n3\n",
       green,
       {{20, 20}, {16, 20}, {24, 20}, {20, 16}, {20, 24}},
       {{18, 18}, {27, 20}},
       22},
      {"a cross of a true colour",
       3,
       "5",
       false,
       "8\nRED\n62\n1\n420\n16744448\n",
       orange,
       {{17, 17}, {23, 23}, {23, 17}, {17, 23}},
       {{20, 17}, {27, 27}},
       22},
      {"a tick half the size up", 4, "8", false, "8\n0\n62\n5\n", blue, {{20, 20}, {20, 23}}, {{20, 26}, {20, 17}}, 5},
      {"a dot in a square of the size",
       64,
       "10",
       false,
       "8\n0\n62\n3\n",
       green,
       {{20, 20}, {15, 15}, {25, 18}, {18, 25}},
       {{20, 22}},
       45},
      {"nothing in a circle of the size", 33, "10", false, "8\nRED\n", red, {{25, 20}, {15, 20}}, {{20, 20}}, 60},
      {"a size of 0 is 5% of the extents' height", 2, "0", true, "8\nRED\n", red, {{29, 20}}, {{32, 20}}, 50},
      {"a negative size a percentage of it", 2, "-10", true, "8\nRED\n", red, {{39, 20}}, {{42, 20}}, 90},
      {"a relative size without extents is one unit", 2, "0", false, "8\nRED\n", red, {{20, 20}}, {{23, 20}}, 6},
      {"a definition point is not drawn", 0, "5", false, "8\nDefpoints\n", green, {}, {{20, 20}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Dxf_Load load;
    load.text(point_file(c.mode, c.size, c.extents, c.groups));
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.loader.entity_count(), 1u);
    const auto painted = dxf_painted_colours(*load.drawing, 60, 60);
    for (const Pixel& p : c.inked) {
      const auto it = painted.find(p);
      ASSERT_NE(it, painted.end()) << p.first << "," << p.second;
      EXPECT_EQ(it->second, on_surface(c.colour)) << p.first << "," << p.second;
    }
    for (const Pixel& p : c.blank) EXPECT_EQ(painted.count(p), 0u) << p.first << "," << p.second;
    EXPECT_LE(painted.size(), c.most);
    for (const auto& p : painted) EXPECT_EQ(p.second, on_surface(c.colour)) << p.first.first << "," << p.first.second;
  }
}
