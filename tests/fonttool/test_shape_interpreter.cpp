#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fonttool/shape_interpreter.h"
#include "tests/fonttool/shx_builder.h"

using namespace shxtest;
using namespace fontlathe;

namespace {

struct Segment {
  int x0, y0, x1, y1;
  bool operator==(const Segment& o) const {
    return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
  }
};

std::ostream& operator<<(std::ostream& os, const Segment& s) {
  return os << "(" << s.x0 << "," << s.y0 << ")-(" << s.x1 << "," << s.y1 << ")";
}

class RecordingCanvas : public ShapeCanvas {
 public:
  void DrawSegment(int x0, int y0, int x1, int y1) override {
    segments.push_back({x0, y0, x1, y1});
  }
  std::vector<Segment> segments;
};

// A shape font of character height 10 holding the shape as code 'A' (and
// "?" as a short stroke down).
Bytes FontWith(const Bytes& spec, std::vector<Shape> more = {}) {
  std::vector<Shape> shapes{{0, "F", {10, 2, 0, 0}}, {63, "", {0x1C, 0}}, {65, "", spec}};
  shapes.insert(shapes.end(), more.begin(), more.end());
  return ShapesFont(shapes);
}

struct Drawn {
  bool ok;
  std::vector<Segment> segments;
  double x, y;
  std::string message;
};

// Draws code 'A' at base point (100, 100), `unit` pixels per shape unit.
Drawn Draw(const Bytes& font, double unit, CharacterStyle style = CharacterStyle(),
           const char* hex = "41") {
  ScratchDir dir;
  std::string path = dir.Write("f.shx", font);
  RecordingCanvas canvas;
  Drawn d{false, {}, 100, 100, ""};
  d.ok = DrawCodeView(path.c_str(), hex, d.message, &d.x, &d.y, style, unit * 10, &canvas);
  d.segments = canvas.segments;
  return d;
}

}  // namespace

TEST(ShapeInterpreter, VectorByteMovesAndDrawsFromThePenDownStart) {
  Drawn d = Draw(FontWith({0x14, 0}), 10);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 100, 90}}));
  EXPECT_DOUBLE_EQ(d.x, 100);
  EXPECT_DOUBLE_EQ(d.y, 90);
  // Odd directions have a minor component of one half.
  d = Draw(FontWith({0x21, 0x23, 0}), 10);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 120, 90}, {120, 90, 130, 70}}));
}

TEST(ShapeInterpreter, PositionStackHoldsFour) {
  // Four pushes at the start, a fifth after moving right is ignored, so the
  // pop returns to the start; pops on an empty stack change nothing.
  Drawn d = Draw(FontWith({5, 5, 5, 5, 2, 0x10, 5, 6, 6, 6, 6, 6, 6, 1, 0x14, 0}), 10);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 100, 90}}));
}

TEST(ShapeInterpreter, SkippedCommandsAndEndings) {
  // 14 skips the next command of horizontal text, operands included.
  Drawn d = Draw(FontWith({14, 0x14, 14, 8, 5, 5, 0x10, 0}), 10);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 110, 100}}));
  CharacterStyle vertical;
  vertical.horizontal = false;
  d = Draw(FontWith({14, 0x14, 0}), 10, vertical);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 100, 90}}));
  // A subshape reference to code 0 draws nothing and the shape goes on.
  d = Draw(FontWith({7, 0, 0x10, 0}), 10);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 110, 100}}));
  // Opcode 15 ends the shape with failure; the base point stays.
  d = Draw(FontWith({0x10, 15, 0x10, 0}, {}), 10, CharacterStyle(), "a0");
  EXPECT_FALSE(d.ok);
  // 0 ends the shape: what follows is not drawn.
  d = Draw(FontWith({0x10, 0, 0x10}), 10);
  EXPECT_EQ(d.segments.size(), 1u);
  // A shape cut short by its definition stops there.
  d = Draw(FontWith({8, 1}), 10);
  EXPECT_TRUE(d.ok);
  EXPECT_TRUE(d.segments.empty());
}

TEST(ShapeInterpreter, OpcodeFifteenKeepsTheBasePoint) {
  Bytes font = ShapesFont({{0, "F", {10, 2, 0, 0}}, {0xA0, "", {0x10, 15, 0}}});
  Drawn d = Draw(font, 10, CharacterStyle(), "a0");
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.segments.size(), 1u);
  EXPECT_EQ(d.x, 100);
  EXPECT_EQ(d.y, 100);
}

TEST(ShapeInterpreter, OctantArcs) {
  // A full circle of radius 1 at 10 pixels a unit: the arc length in chords,
  // starting and ending at the pen.
  Drawn d = Draw(FontWith({10, 1, 0x00, 0}), 10);
  ASSERT_EQ(d.segments.size(), 63u);
  EXPECT_EQ(d.segments.front().x0, 100);
  EXPECT_EQ(d.segments.front().y0, 100);
  EXPECT_EQ(d.segments.back().x1, 100);
  EXPECT_EQ(d.segments.back().y1, 100);
  int left = 1000, top = 1000;
  for (const Segment& s : d.segments) {
    left = std::min(left, s.x1);
    top = std::min(top, s.y1);
  }
  EXPECT_EQ(left, 80);  // octant 0 starts at the circle's right, its centre 10 left
  EXPECT_EQ(top, 90);
  // Counter-clockwise quarter from octant 0: ends up and left; clockwise ends down and left.
  d = Draw(FontWith({10, 1, 0x02, 0}), 10);
  EXPECT_EQ(d.segments.back().x1, 90);
  EXPECT_EQ(d.segments.back().y1, 90);
  d = Draw(FontWith({10, 1, 0x82, 0}), 10);
  EXPECT_EQ(d.segments.back().x1, 90);
  EXPECT_EQ(d.segments.back().y1, 110);
  // Rounded to no chord: nothing drawn, the pen moves to the end.
  d = Draw(FontWith({10, 1, 0x02, 0}), 0.1);
  EXPECT_TRUE(d.segments.empty());
}

TEST(ShapeInterpreter, FractionalArcs) {
  // Whole octants only: the same quarter as octant arc 10,(1,002).
  Drawn d = Draw(FontWith({11, 0, 0, 0, 1, 0x02, 0}), 10);
  EXPECT_EQ(d.segments.size(), 16u);
  EXPECT_EQ(d.segments.back().x1, 90);
  EXPECT_EQ(d.segments.back().y1, 90);
  // An end offset of half an octant takes one whole octant less: the arc
  // ends at 3/8 of a half turn.
  d = Draw(FontWith({11, 0, 128, 0, 1, 0x02, 0x10, 0}), 10);
  ASSERT_GE(d.segments.size(), 2u);
  EXPECT_EQ(d.segments[d.segments.size() - 2].x1, 94);
  EXPECT_EQ(d.segments[d.segments.size() - 2].y1, 91);
  EXPECT_EQ(d.segments.back(), (Segment{94, 91, 104, 91}));
  // No octant counted and no end offset: a full circle, which leaves the pen
  // where it started (a dot in real fonts).
  d = Draw(FontWith({11, 0, 0, 0, 1, 0x00, 0x10, 0}), 10);
  ASSERT_GE(d.segments.size(), 2u);
  EXPECT_EQ(d.segments.back(), (Segment{100, 100, 110, 100}));
}

TEST(ShapeInterpreter, BulgeArcs) {
  Drawn d = Draw(FontWith({12, 10, 0, 0, 0}), 1);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 110, 100}}));
  // A positive bulge of 127 is a counter-clockwise half circle: below the
  // chord on the screen, ending at the chord's end.
  d = Draw(FontWith({12, 10, 0, 127, 0}), 1);
  ASSERT_FALSE(d.segments.empty());
  int bottom = 0, top = 1000;
  for (const Segment& s : d.segments) {
    bottom = std::max(bottom, s.y1);
    top = std::min(top, s.y1);
  }
  EXPECT_EQ(bottom, 105);
  EXPECT_EQ(top, 100);
  EXPECT_EQ(d.segments.back().x1, 110);
  EXPECT_EQ(d.segments.back().y1, 100);
  EXPECT_DOUBLE_EQ(d.x, 110);
  // The bulge list: a straight piece then a negative (clockwise) half circle.
  d = Draw(FontWith({13, 10, 0, 0, 0, 10, 0x81, 0, 0, 0}), 1);
  ASSERT_GT(d.segments.size(), 2u);
  EXPECT_EQ(d.segments.front(), (Segment{100, 100, 110, 100}));
  int left = 1000;
  for (const Segment& s : d.segments) left = std::min(left, s.x1);
  EXPECT_EQ(left, 105);
  EXPECT_EQ(d.segments.back().x1, 110);
  EXPECT_EQ(d.segments.back().y1, 90);
}

TEST(ShapeInterpreter, SlantWidthAndRotation) {
  CharacterStyle slanted;
  slanted.slant = 15;
  Drawn d = Draw(FontWith({0xA4, 0}), 1, slanted);  // 10 up
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 103, 90}}));
  EXPECT_DOUBLE_EQ(d.x, 100);  // the base point advances unslanted
  CharacterStyle wide;
  wide.widthFactor = 2;
  d = Draw(FontWith({0xA0, 0}), 1, wide);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 120, 100}}));
  CharacterStyle turned;
  turned.rotation = std::acos(-1.0) / 2;
  d = Draw(FontWith({0xA0, 0}), 1, turned);  // right turns to up
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 100, 90}}));
  EXPECT_DOUBLE_EQ(d.y, 90);
}

TEST(ShapeInterpreter, ScaleCommands) {
  Drawn d = Draw(FontWith({4, 3, 0x10, 3, 6, 0x10, 3, 0, 0x10, 0}), 10);
  EXPECT_EQ(d.segments, (std::vector<Segment>{
                            {100, 100, 130, 100}, {130, 100, 135, 100}, {135, 100, 140, 100}}));
}

TEST(ShapeInterpreter, EndlessScaleStaysFinite) {
  // The scale overflows to infinity; strokes that are not numbers are left
  // out and the base point stays a number.
  Bytes spec;
  for (int i = 0; i < 200; ++i) spec.insert(spec.end(), {4, 255});
  spec.insert(spec.end(), {0x14, 0x10, 10, 3, 0x11, 0});
  Drawn d = Draw(FontWith(spec), 10);
  EXPECT_TRUE(d.ok);
  EXPECT_FALSE(std::isnan(d.x));
  EXPECT_FALSE(std::isnan(d.y));
}

TEST(ShapeInterpreter, SubshapesShareThePen) {
  // Shape 66 moves right with the pen up and scales by 2; the caller goes on from there.
  Drawn d = Draw(FontWith({7, 66, 1, 0x14, 0}, {{66, "", {2, 0x10, 4, 2, 0}}}), 10);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{110, 100, 110, 80}}));
  // A shape that calls itself ends; so does one whose references fan out.
  d = Draw(FontWith({0x10, 7, 65, 0}), 1);
  EXPECT_EQ(d.segments.size(), static_cast<size_t>(kMaxSubshapeDepth + 1));
  d = Draw(FontWith({0x10, 7, 65, 7, 65, 7, 65, 7, 65, 0}), 1);
  EXPECT_EQ(d.segments.size(), static_cast<size_t>(kMaxSubshapeCalls + 1));
}

TEST(ShapeInterpreter, ArcsCostNothingWithThePenUpOrPastTheBudget) {
  // Every reference fans out, and every call makes 400 bulges of the most
  // chords an arc may have (some 3 billion chords, minutes of work if they
  // were worked out): with the pen up nothing is drawn, with it down the
  // budget runs out, and either way the pen ends where the arcs end.
  auto spec = [](uint8_t pen) {
    Bytes s{pen, 4, 255};
    for (int i = 0; i < 400; ++i) s.insert(s.end(), {12, 127, 127, 127});
    s.insert(s.end(), {3, 255, 7, 65, 7, 65, 7, 65, 7, 65, 0});
    return s;
  };
  Drawn up = Draw(FontWith(spec(2)), 1);
  EXPECT_TRUE(up.ok);
  EXPECT_TRUE(up.segments.empty());
  Drawn down = Draw(FontWith(spec(1)), 1);
  EXPECT_TRUE(down.ok);
  EXPECT_EQ(down.segments.size(), static_cast<size_t>(kMaxStrokes));
  EXPECT_EQ(down.x, up.x);
  EXPECT_EQ(down.y, up.y);
}

TEST(ShapeInterpreter, UnifontAndExtendedBigFontSubshapes) {
  Bytes uni = Unifont("u", {10, 2, 2, 0, 0, 0},
                      {{0x4E00, "", {0x14, 0}}, {0x41, "", {7, 0x4E, 0x00, 0x10, 0}}});
  Drawn d = Draw(uni, 10);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 100, 90}, {100, 90, 110, 90}}));
  // An extended big font places the subshape at its origin, scaled to its
  // height and width, and the caller's pen stays.
  Bytes big = BigFont({{0, "B", {10, 2, 0, 10, 0}},
                       {0x8141, "", {7, 0, 0x81, 0x42, 2, 3, 10, 5, 0x10, 0}},
                       {0x8142, "", {0xA0, 0xA4, 0}}},
                      {0x81, 0xFE});
  d = Draw(big, 1, CharacterStyle(), "8141");
  EXPECT_EQ(d.segments,
            (std::vector<Segment>{{102, 97, 112, 97}, {112, 97, 112, 92}, {100, 100, 101, 100}}));
}

TEST(ShapeInterpreter, CodeViewFallsBackToQuestionMarkAndPreviewToABox) {
  Drawn d = Draw(FontWith({0x14, 0}), 10, CharacterStyle(), "42");
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.segments, (std::vector<Segment>{{100, 100, 100, 110}}));
  d = Draw(FontWith({0x14, 0}), 10, CharacterStyle(), "8141");
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.message, "Cannot find code 33089 .");

  ScratchDir dir;
  std::string normal = dir.Write("n.shx", FontWith({0x10, 0}));
  std::string big =
      dir.Write("b.shx", BigFont({{0, "B", {5, 2, 0, 0}}, {0xB0A1, "", {0x14, 0}}}, {0xA1, 0xFE}));
  RecordingCanvas canvas;
  double x = 100, y = 100;
  std::string msg;
  // 'A', a big-font character, then a missing one and a lead byte at the
  // end: each a box in a cell of the normal font's width (10), advancing.
  ASSERT_TRUE(PreviewText(normal.c_str(), big.c_str(), "A\xB0\xA1\xB0\xA2\xB0", &msg, &x, &y,
                          CharacterStyle(), 10, &canvas));
  EXPECT_EQ(canvas.segments, (std::vector<Segment>{{100, 100, 101, 100},
                                                   {101, 100, 101, 98},
                                                   {102, 98, 110, 98},
                                                   {110, 98, 110, 88},
                                                   {110, 88, 102, 88},
                                                   {102, 88, 102, 98},
                                                   {112, 98, 120, 98},
                                                   {120, 98, 120, 88},
                                                   {120, 88, 112, 88},
                                                   {112, 88, 112, 98}}));
  EXPECT_DOUBLE_EQ(x, 121);
  // A space the font lacks advances by its width, with no box.
  canvas.segments.clear();
  x = 100;
  ASSERT_TRUE(PreviewText(normal.c_str(), big.c_str(), " A", &msg, &x, &y, CharacterStyle(), 10, &canvas));
  EXPECT_EQ(canvas.segments, (std::vector<Segment>{{110, 98, 111, 98}}));
  EXPECT_FALSE(PreviewText(normal.c_str(), dir.File("none.shx").c_str(), "A", &msg, &x, &y,
                           CharacterStyle(), 10, &canvas));
  EXPECT_EQ(msg, "Cannot open SHX file " + dir.File("none.shx") +
                     " for read! (No such file or directory)");
}

// UTF-8 text for a font of GBK codes is converted first: the big font draws
// its character as it draws the same text typed in GBK.
TEST(ShapeInterpreter, Utf8TextReachesABigFontAsGbk) {
  ScratchDir dir;
  std::string normal = dir.Write("n.shx", FontWith({0x10, 0}));
  std::string big =
      dir.Write("b.shx", BigFont({{0, "B", {5, 2, 0, 0}}, {0xB0A1, "", {0x14, 0}}}, {0xA1, 0xFE}));
  std::vector<Segment> drawn[2];
  const struct {
    const char* text;
    TextEncoding encoding;
  } cases[] = {{"A\xE5\x95\x8A", TextEncoding::kUtf8}, {"A\xB0\xA1", TextEncoding::kGbk}};  // "A啊"
  for (int i = 0; i < 2; ++i) {
    RecordingCanvas canvas;
    double x = 100, y = 100;
    std::string msg;
    ASSERT_TRUE(PreviewText(normal.c_str(), big.c_str(), cases[i].text, &msg, &x, &y, CharacterStyle(), 10, &canvas,
                            cases[i].encoding));
    drawn[i] = canvas.segments;
  }
  EXPECT_EQ(drawn[0], (std::vector<Segment>{{100, 100, 101, 100}, {101, 100, 101, 98}}));
  EXPECT_EQ(drawn[1], drawn[0]);
}

// A unifont previews a text by the Unicode code points of its characters,
// typed as GBK or given as UTF-8: the same strokes as its glyphs of those
// codes drawn one after another, as the code view draws them.
TEST(ShapeInterpreter, UnifontPreviewsDrawTheGlyphsOfTheUnicodeCodes) {
  const std::string font = std::string(QM_SOURCE_DIR) + "/fonts/kst32b.shx";
  RecordingCanvas glyphs;
  std::string msg;
  double x = 3, y = 36;
  for (const char* code : {"4e2d", "6587", "5b57", "304b", "306a"}) {
    ASSERT_TRUE(DrawCodeView(font.c_str(), code, msg, &x, &y, CharacterStyle(), 28.8, &glyphs)) << code;
  }
  ASSERT_FALSE(glyphs.segments.empty());
  const struct {
    const char* text;
    TextEncoding encoding;
  } cases[] = {{"\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE3\x81\x8B\xE3\x81\xAA", TextEncoding::kUtf8},
               {"\xD6\xD0\xCE\xC4\xD7\xD6\xA4\xAB\xA4\xCA", TextEncoding::kGbk}};
  for (const auto& c : cases) {
    RecordingCanvas text;
    double tx = 3, ty = 36;
    ASSERT_TRUE(PreviewText(font.c_str(), font.c_str(), c.text, &msg, &tx, &ty, CharacterStyle(), 28.8, &text,
                            c.encoding));
    EXPECT_EQ(text.segments, glyphs.segments);
    EXPECT_DOUBLE_EQ(tx, x);
  }
}

TEST(ShapeInterpreter, ArbitraryBytesEndQuickly) {
  // Random definitions (a fixed seed) in every kind of font: every run ends,
  // within its definition, whatever the bytes say.
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<uint8_t>(seed >> 16);
  };
  ScratchDir dir;
  for (int round = 0; round < 300; ++round) {
    Bytes spec(1 + next() % 40);
    for (uint8_t& b : spec) b = next();
    // Scales near the limit of what the bytes can say.
    if (round % 3 == 0) spec.insert(spec.begin(), {4, 255, 4, 255, 4, 255, 4, 255});
    Bytes fonts[] = {
        FontWith(spec, {{1, "", spec}, {2, "", spec}}),
        BigFont({{0, "B", {10, 2, 0, 10, 0}}, {0xB0A1, "", spec}, {1, "", spec}}, {0xA1, 0xFE}),
        Unifont("u", {10, 2, 2, 0, 0, 0}, {{0x41, "", spec}, {0x100, "", spec}}),
    };
    for (const Bytes& font : fonts) {
      std::string path = dir.Write("r.shx", font);
      RecordingCanvas canvas;
      double x = 100, y = 100;
      std::string msg;
      DrawCodeView(path.c_str(), font[19] == 'b' ? "b0a1" : "41", msg, &x, &y, CharacterStyle(), 50,
                   &canvas);
      EXPECT_LE(canvas.segments.size(), static_cast<size_t>(kMaxStrokes));
    }
  }
}
