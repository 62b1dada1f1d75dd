#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "fonttool/shp_writer.h"
#include "fonttool/shx_reader.h"
#include "tests/fonttool/shx_builder.h"

using namespace shxtest;
using namespace fontlathe;

namespace {

const Shape kInfo{0, "FONT", {8, 2, 0, 0}};

struct OpenFont {
  explicit OpenFont(const Bytes& bytes)
      : path(dir.Write("f.shx", bytes)), f(std::fopen(path.c_str(), "rb")) {}
  ~OpenFont() { std::fclose(f); }
  ScratchDir dir;
  std::string path;
  FILE* f;
};

}  // namespace

TEST(ShxReader, RecognisesEachKindBySignature) {
  struct Case {
    std::string head;
    FontKind kind;
  };
  const Case cases[] = {
      {"AutoCAD-86 shapes 1.0\r\n\x1a", FontKind::kShapes},
      {"AutoCAD-86 shapes 1.1\r\n\x1a", FontKind::kShapes},
      {"AutoCAD-86 bigfont 1.0\r\n\x1a", FontKind::kBigFont},
      {"AutoCAD-86 bigfont 9.9\r\n\x1a", FontKind::kBigFont},
      {"AutoCAD-86 bigfont ", FontKind::kBigFont},
      {"AutoCAD-86 unifont 1.0\r\n\x1a", FontKind::kUnifont},
      {"AutoCAD-86 shapes 2.0\r\n\x1a", FontKind::kUnknown},
      {"autocad-86 shapes 1.0\r\n\x1a", FontKind::kUnknown},
      {"AutoCAD-86 shapes", FontKind::kUnknown},
      {"plain text\n", FontKind::kUnknown},
      {"", FontKind::kUnknown},
  };
  for (const Case& c : cases) {
    OpenFont font(Bytes(c.head.begin(), c.head.end()));
    EXPECT_EQ(DetectFontKind(font.f), c.kind) << c.head;
  }
}

TEST(ShxReader, FontHeightOfEachKind) {
  struct Case {
    Bytes font;
    bool ok;
    uint32_t height, width;
    bool extended;
  };
  const Case cases[] = {
      {ShapesFont({{0, "F", {21, 7, 2, 0}}, {65, "", {0x14, 0}}}), true, 21, 21, false},
      {ShapesFont({{0, "F", {0, 7, 2, 0}}}), true, 8, 8, false},  // 0 counts as 8
      {ShapesFont({{65, "", {0x14, 0}}, {0, "F", {21, 7, 2, 0}}}), false, 0, 0,
       false},                                                // not first
      {ShapesFont({{0, "F", {21, 0}}}), false, 0, 0, false},  // too short
      {BigFont({{0x8141, "", {0x14, 0}}, {0, "B", {16, 2, 0, 0}}}, {0x81, 0xFE}), true, 16, 16,
       false},
      {BigFont({{0, "B", {16, 2, 0, 12, 0}}}, {0x81, 0xFE}), true, 16, 12, true},
      {BigFont({{0x8141, "", {0x14, 0}}}, {0x81, 0xFE}), false, 0, 0, false},
      {Unifont("u", {32, 0, 2, 0, 0, 0}, {}), true, 32, 32, false},
      {Unifont("u", {0, 0, 2, 0, 0, 0}, {}), true, 8, 8, false},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const Case& c = cases[i];
    OpenFont font(c.font);
    uint32_t h = 0, w = 0;
    bool ext = false;
    EXPECT_EQ(ReadFontHeight(font.f, &h, &w, &ext), c.ok) << i;
    if (c.ok) {
      EXPECT_EQ(h, c.height) << i;
      EXPECT_EQ(w, c.width) << i;
      EXPECT_EQ(ext, c.extended) << i;
    }
  }
}

TEST(ShxReader, LookupsOfEachKind) {
  ShapeEntry e;
  bool unifont = true;
  {
    OpenFont font(ShapesFont({kInfo, {65, "A", {2, 0x14, 0}}, {66, "", {0x14, 0}}}));
    ASSERT_TRUE(FindShapeEntry(font.f, 66, &e, &unifont));
    EXPECT_EQ(e.code, 66u);
    EXPECT_EQ(e.length, 3u);
    EXPECT_EQ(e.offset, 30u + 12 + 9 + 5);
    EXPECT_FALSE(unifont);
    EXPECT_FALSE(FindShapeEntry(font.f, 67, &e, &unifont));
  }
  {
    // An empty slot with the wanted code is passed over; code 0 is never a subshape.
    OpenFont font(BigFont({{0, "B", {8, 2, 0, 0}}, {0x8141, "", {}}, {0x8141, "X", {0x14, 0}}},
                          {0x81, 0xFE}));
    ASSERT_TRUE(FindShapeEntry(font.f, 0x8141, &e, &unifont));
    EXPECT_EQ(e.length, 4u);
    EXPECT_FALSE(FindShapeEntry(font.f, 0, &e, &unifont));
    bool ext = true;
    EXPECT_TRUE(IsExtendedBigFont(font.f, &ext));
    EXPECT_FALSE(ext);
  }
  {
    OpenFont font(
        Unifont("u", {8, 0, 2, 0, 0, 0}, {{0x41, "", {0x14, 0}}, {0x4E00, "", {0x24, 0}}}));
    ASSERT_TRUE(FindShapeEntry(font.f, 0x4E00, &e, &unifont));
    EXPECT_TRUE(unifont);
    EXPECT_EQ(e.length, 3u);
    std::fseek(font.f, kUnifontHeaderSkip, SEEK_SET);
    ASSERT_EQ(FindUnifontCode(0, font.f, &e), 0);
    EXPECT_EQ(e.length, 8u);  // the information block
    EXPECT_EQ(e.offset, 31u);
  }
}

TEST(ShxReader, DefinitionOfLengthZeroIsABadName) {
  // One index entry of length 0: nothing to read, and no name in it.
  Bytes bytes;
  PutText(bytes, "AutoCAD-86 shapes 1.0\r\n\x1a");
  for (uint32_t w : {0x41u, 0x41u, 1u, 0x41u, 0u}) PutWord(bytes, w);
  OpenFont font(bytes);
  ShapeEntry e;
  std::fseek(font.f, kSignatureLength, SEEK_SET);
  ASSERT_EQ(FindShapesCode(0x41, font.f, &e), 0);
  EXPECT_EQ(e.length, 0u);
  ShapeDefinition def;
  EXPECT_EQ(def.Read(font.f, e), ShapeDefinition::kBadName);
  std::string text, message;
  EXPECT_FALSE(DecodeShapeText(font.f, &text, e, false, false, false));
  EXPECT_TRUE(DecompileFontFile(font.path.c_str(), font.dir.File("f.shp").c_str(), message));
  EXPECT_EQ(message, "Decompiled OK!\nThanks for use!\nSkipped 1 damaged shape.");
  EXPECT_EQ(read_all(font.dir.File("f.shp")), "; skipped: shape 65 has no end to its name\r\n");
}

TEST(ShxReader, ParseHexCode) {
  EXPECT_EQ(ParseHexCode("1a2b"), 0x1A2Bu);
  EXPECT_EQ(ParseHexCode("FF"), 0xFFu);
  EXPECT_EQ(ParseHexCode(" 41"), 0x41u);
  EXPECT_EQ(ParseHexCode("zz"), 0u);
  EXPECT_EQ(ParseHexCode("123456789"), 0xFFFFFFFFu);
  // A code given by a user is all hexadecimal and fits a font.
  struct Case {
    const char* text;
    bool ok;
    uint32_t code;
  };
  const Case cases[] = {{"41", true, 0x41}, {"0x41", true, 0x41}, {"0XfFfF", true, 0xFFFF},
                        {"0", true, 0},     {"10000", false, 0},  {"", false, 0},
                        {"0x", false, 0},   {"-1", false, 0},     {" 41", false, 0},
                        {"41 ", false, 0},  {"zz", false, 0},     {"000000041", true, 0x41}};
  for (const Case& c : cases) {
    uint32_t code = 0xDEAD;
    EXPECT_EQ(ParseShapeCode(c.text, &code), c.ok) << c.text;
    EXPECT_EQ(code, c.ok ? c.code : 0xDEAD) << c.text;
  }
}

// Every cut of a font: a header or an index cut short is a format error
// that says where the file ends, with no output; a cut among the shapes
// keeps the whole shapes before it and leaves out, with a comment, each
// shape that the cut reaches.
TEST(ShxReader, TruncatedFontsKeepTheirWholeShapes) {
  struct Case {
    Bytes font;
    size_t header_end;
    std::vector<size_t> shape_ends;  // where each shape's record ends
  };
  const Case cases[] = {
      // FONT [42, 51), A [51, 56), 66 [56, 61).
      {ShapesFont({kInfo, {65, "A", {2, 0x14, 0}}, {66, "", {8, 1, 2, 0}}}), 30 + 12, {51, 56, 61}},
      // Stored in reverse: 0x8141 [59, 62), BIG [62, 70); 0xFFFF is an empty slot.
      {BigFont({{0, "BIG", {8, 2, 0, 0}}, {0x8141, "", {0x14, 0}}, {0xFFFF, "", {}}}, {0x81, 0xFE}),
       31 + 4 + 24,
       {62, 70}},
      // Each shape behind its 4-byte header: 0x41 [39, 46), 0x42 [46, 56).
      {Unifont("u", {8, 0, 2, 0, 0, 0}, {{0x41, "", {0x14, 0}}, {0x42, "B", {8, 1, 2, 0}}}), 31 + 8, {46, 56}},
  };
  for (const Case& c : cases) {
    for (size_t cut = 0; cut < c.font.size(); ++cut) {
      ScratchDir dir;
      std::string in =
          dir.Write("in.shx", Bytes(c.font.begin(), c.font.begin() + static_cast<long>(cut)));
      std::string out = dir.File("out.shp"), msg;
      const size_t signature = c.font[11] == 'b' ? 19 : 20;  // "bigfont " or "shapes 1."
      if (cut < c.header_end) {
        EXPECT_FALSE(DecompileFontFile(in.c_str(), out.c_str(), msg)) << cut;
        EXPECT_FALSE(Exists(out)) << cut;
        EXPECT_EQ(msg,
                  "Wrong format of " + in + "! (" +
                      (cut < signature ? std::string("not a shape font") : "truncated at byte " + std::to_string(cut)) +
                      ")")
            << cut;
        continue;
      }
      size_t cut_off = 0;
      for (size_t end : c.shape_ends) cut_off += end > cut ? 1 : 0;
      EXPECT_TRUE(DecompileFontFile(in.c_str(), out.c_str(), msg)) << cut;
      EXPECT_EQ(msg, "Decompiled OK!\nThanks for use!\nSkipped " + std::to_string(cut_off) + " damaged shape" +
                         (cut_off == 1 ? "." : "s."))
          << cut;
      // The shapes written and those left out are all the shapes.
      const std::string text = read_all(out);
      size_t written = 0;
      for (size_t at = 0; (at = text.find('*', at)) != std::string::npos; ++at) {
        written += std::isdigit(static_cast<unsigned char>(text[at + 1])) ? 1 : 0;
      }
      EXPECT_EQ(written + cut_off, c.shape_ends.size()) << cut << text;
      EXPECT_NE(text.find("; skipped: "), std::string::npos) << cut;
    }
  }
}

TEST(ShxReader, CodeViewOfADefinitionPastTheEnd) {
  Bytes font = ShapesFont({kInfo, {65, "A", {2, 0x14, 0x14}}});
  font[36] = 40;  // shape A claims 40 bytes; the file ends before its 0
  OpenFont f(font);
  std::string msg;
  EXPECT_FALSE(DecodeCodeView(f.path.c_str(), "41", msg));
  EXPECT_EQ(msg, "Read SHX file error! (" + f.path + ": shape 65 is truncated at byte " +
                     std::to_string(font.size()) + ")");
}

TEST(ShxReader, WriteFailureIsReported) {
  std::vector<Shape> shapes{kInfo};
  Bytes spec(60, 0x14);
  spec.push_back(0);
  for (uint16_t c = 1; c < 200; ++c) shapes.push_back({c, "NAME", spec});
  OpenFont f(ShapesFont(shapes));
  std::string msg;
  EXPECT_FALSE(DecompileFontFile(f.path.c_str(), "/dev/full", msg));
  EXPECT_EQ(msg, "Write output error! (/dev/full: No space left on device)");
}
