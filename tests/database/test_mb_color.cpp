#include <gtest/gtest.h>

#include "database/fileformat/mb_file_io.h"
#include "database/mb_color.h"
#include "database/mb_undo_redo.h"

namespace {

using Mode = MB_Color::MB_Color_Map_Mode;

// A map of a given size, for tests; the maps a file defines are made the
// same way by the file pass.
class Sized_Map : public MB_Color_Map {
 public:
  Sized_Map(int n, const MB_RGBA32* colors) { assign(n, colors); }
};

MB_RGBA32 rgb(int r, int g, int b) { return MB_RGBA32(r, g, b, 255); }

TEST(MBColor, PaletteEntriesFollowTheFileVersion) {
  struct Case {
    int version, index;
    MB_RGBA32 expect;
  } cases[] = {
      {38, 0, rgb(0, 0, 0)},        {38, 9, rgb(166, 202, 240)},  {38, 10, rgb(0, 0, 0)},
      {38, 11, rgb(0, 0, 51)},      {38, 16, rgb(0, 51, 0)},      {38, 180, rgb(204, 204, 102)},
      {38, 190, rgb(255, 0, 0)},    {38, 225, rgb(255, 255, 255)}, {38, 226, rgb(0, 0, 0)},
      {38, 244, rgb(241, 241, 241)}, {38, 246, rgb(255, 251, 240)}, {38, 249, rgb(255, 0, 0)},
      {38, 251, rgb(255, 255, 0)},  {38, 255, rgb(255, 255, 255)},
      {37, 1, rgb(255, 0, 0)},      {37, 9, rgb(220, 220, 220)},  {37, 10, rgb(255, 0, 0)},
      {37, 11, rgb(255, 127, 127)}, {37, 20, rgb(255, 63, 0)},    {37, 21, rgb(255, 159, 127)},
      {37, 37, rgb(149, 112, 74)},  {37, 38, rgb(114, 57, 0)},    {37, 50, rgb(255, 255, 0)},
      {37, 90, rgb(0, 255, 0)},     {37, 188, rgb(28, 0, 114)},   {37, 189, rgb(71, 57, 114)},
      {37, 239, rgb(114, 57, 86)},  {37, 250, rgb(84, 84, 84)},   {37, 251, rgb(118, 118, 118)},
      {0, 255, rgb(255, 255, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " entry " << c.index);
    MB_Color_Map map(c.version);
    EXPECT_EQ(map.size(), 256);
    EXPECT_EQ(map.serial(), -1);
    EXPECT_EQ(map.map(static_cast<unsigned char>(c.index)).word, c.expect.word);
  }
  EXPECT_EQ(MB_Color_Map().map(251), rgb(255, 255, 0));
}

TEST(MBColor, EachMapModeFindsItsIndexOrMinusOne) {
  MB_Color_Map current(38);
  MB_RGBA32 red = rgb(255, 0, 0);
  struct Case {
    Mode mode;
    MB_RGBA32 color;
    int expect;
  } cases[] = {
      {MB_Color::MAP_CUBE, red, 180},
      {MB_Color::MAP_EXACT_CUBE, red, -1},
      {MB_Color::MAP_EXACT, red, 190},
      {MB_Color::MAP_NEAREST, red, 190},
      {MB_Color::MAP_EXACT_CUBE, rgb(0, 0, 0), 0},
      {MB_Color::MAP_CUBE, rgb(204, 204, 102), 170},
      {MB_Color::MAP_EXACT, rgb(250, 1, 1), -1},
      {MB_Color::MAP_NEAREST, rgb(250, 1, 1), 190},
      {MB_Color::MAP_NONE, red, -1},
      {static_cast<Mode>(9), red, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode);
    EXPECT_EQ(MB_Color::map_to_index(c.color, c.mode, current), c.expect);
  }
}

TEST(MBColor, SmallMapsAreNeverReadPastTheirEnd) {
  const MB_RGBA32 colors[] = {rgb(255, 0, 0), rgb(0, 0, 255)};
  Sized_Map small(2, colors);
  MB_RGBA32 white = rgb(255, 255, 255);  // cube index 215, past the map
  EXPECT_EQ(MB_Color::map_to_index(white, MB_Color::MAP_EXACT_CUBE, small), -1);
  EXPECT_EQ(MB_Color::map_to_index(white, MB_Color::MAP_EXACT, small), -1);
  EXPECT_EQ(MB_Color::map_to_index(white, MB_Color::MAP_NEAREST, small), 0);
  EXPECT_EQ(MB_Color::map_to_index(colors[1], MB_Color::MAP_EXACT, small), 1);
  EXPECT_EQ(small.map(300 % 256).word, 255u);
  for (int index : {-5, -1, 2, 1000}) {
    MB_Color c(index, small);
    EXPECT_EQ(c.rgba(), rgb(255, 255, 255));  // left as it was
    EXPECT_EQ(small.closest_index(c), 0);     // nearest to white, by search
  }
  MB_Color_Map empty;
  empty.clear();
  EXPECT_EQ(empty.size(), 0);
  EXPECT_EQ(empty.serial(), -2);
  EXPECT_EQ(empty.closest_index(MB_Color()), -1);
  EXPECT_EQ(MB_Color::map_to_index(white, MB_Color::MAP_NEAREST, empty), -1);
}

TEST(MBColor, ClosestIndexPrefersTheColoursOwnIndexThenTheLowestNearest) {
  MB_Color_Map current(38);
  // Entry 245 and 255 are both white; an index that points at an equal entry
  // is the answer, otherwise the lowest equal entry wins.
  EXPECT_EQ(current.closest_index(MB_Color(255, current)), 255);
  EXPECT_EQ(current.closest_index(MB_Color(255, 255, 255, MB_Color::MAP_NONE)), 225);
  const MB_RGBA32 pair[] = {rgb(10, 0, 0), rgb(30, 0, 0)};
  Sized_Map two(2, pair);
  EXPECT_EQ(two.closest_index(MB_Color(20, 0, 0, MB_Color::MAP_NONE)), 0);
  EXPECT_EQ(two.closest_index(MB_Color(21, 0, 0, MB_Color::MAP_NONE)), 1);
}

TEST(MBColor, ColoursAreEqualOnlyWithTheSameIndexAndDefaultToWhite) {
  MB_Color def;
  EXPECT_EQ(def.rgba(), rgb(255, 255, 255));
  EXPECT_EQ(def.index(), -1);
  EXPECT_EQ(def.value(), 0);
  EXPECT_EQ(MB_Color(7).value(), 7);
  EXPECT_EQ(MB_Color(1, 2, 3, MB_Color::MAP_NEAREST).value(), 0);
  MB_Color_Map map;
  MB_Color a(190, map), b(255, 0, 0, MB_Color::MAP_NONE);
  EXPECT_EQ(a.rgba(), b.rgba());
  EXPECT_FALSE(a == b);  // the indexes differ
  b.set(190, map);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == static_cast<const MB_Attribute&>(map));
  EXPECT_EQ(MB_RGBA32(1.0f, 0.5f, 0.0f, 1.0f), MB_RGBA32(255, 127, 0, 255));
  EXPECT_EQ(MB_RGB(1.0f, 0.5f, 0.0f), MB_RGB(255, 127, 0));
  MB_RGBA32 w;
  EXPECT_EQ(w.word, 0u);
  w = MB_RGB(1, 2, 3);
  EXPECT_EQ(w, MB_RGBA32(1, 2, 3, 255));
  EXPECT_EQ(MB_RGBA32(0x1FF, -1, 0, 0).word, 0xFFFF0000u);
}

TEST(MBColor, MapCopiesOwnTheirEntriesAndCompareBySerial) {
  MB_Color_Map a(38), b(37);
  EXPECT_TRUE(a == b);  // built-in maps share the serial -1
  MB_Color_Map c(a);
  EXPECT_TRUE(c == a);
  EXPECT_NE(c.map(), a.map());
  c = b;
  EXPECT_EQ(c.map(251), rgb(118, 118, 118));
  c = c;
  EXPECT_EQ(c.size(), 256);
  const MB_RGBA32 one[] = {rgb(1, 1, 1)};
  Sized_Map s1(1, one), s2(1, one);
  EXPECT_TRUE(s1 == s2);
}

}  // namespace

namespace {

// A copied colour map is a new object of the command being recorded; a
// copied colour is a value and is not reported.
TEST(MBColor, CopiesOfMapsAreReportedCopiesOfColoursAreNot) {
  MB_Color_Map map;
  MB_Color color;
  MB_Undo_Redo store;
  store.rec_cmd_begin("copy");
  MB_Color_Map map_copy(map);
  MB_Color color_copy(color);
  MB_Command* cmd = store.recording();
  ASSERT_NE(cmd->head(), nullptr);
  EXPECT_EQ(cmd->head(), cmd->tail());
  EXPECT_EQ(cmd->head()->right_object(), &map_copy);
  store.rec_cmd_end();
}

}  // namespace

// Maps a pass makes from its colours: numbered by the pass, MB_RGB taken
// opaque, old entries replaced; the pass's rendition takes one over.
TEST(MBColor, PassMapsFromColoursAndTheDefaultProcess) {
  MB_File_IO io;
  const MB_RGBA32 four[] = {MB_RGBA32(1, 2, 3, 4), MB_RGBA32(5, 6, 7, 8), MB_RGBA32(9, 10, 11, 12),
                            MB_RGBA32(13, 14, 15, 16)};
  const MB_RGB two[] = {MB_RGB(200, 100, 50), MB_RGB(0, 0, 0)};
  MB_Color_Map a(4, four, io);
  MB_Color_Map b(2, two, io);
  EXPECT_EQ(a.size(), 4);
  EXPECT_EQ(a.map(3), four[3]);
  EXPECT_EQ(b.size(), 2);
  EXPECT_EQ(b.map(0), MB_RGBA32(200, 100, 50, 255));
  EXPECT_EQ(b.map(2), MB_RGBA32(255u)) << "past the end";
  EXPECT_EQ(b.serial(), a.serial() + 1) << "numbered within the pass";

  MB_Color_Map c;
  EXPECT_TRUE(c.set(2, two, io));
  EXPECT_EQ(c.size(), 2);
  EXPECT_EQ(c.serial(), b.serial() + 1);
  EXPECT_TRUE(c.set(4, four, io));
  EXPECT_EQ(c.size(), 4);
  EXPECT_EQ(c.map(1), four[1]);
  EXPECT_FALSE(c.set(3, static_cast<const MB_RGBA32*>(nullptr), io)) << "no colours to take";
  EXPECT_EQ(c.size(), 0);

  io.rendition()->changed(0);
  EXPECT_EQ(MB_Color_Map::default_process(a, io), MB_SUCCESS);
  EXPECT_EQ(io.rendition()->color_map().size(), 4);
  EXPECT_EQ(io.rendition()->color_map().map(2), four[2]);
  EXPECT_EQ(io.rendition()->changed(), MB_Rendition::CHANGED_COLOR_MAP);
}
