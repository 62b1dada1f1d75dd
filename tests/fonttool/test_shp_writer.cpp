#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fonttool/shp_writer.h"
#include "tests/fonttool/shx_builder.h"

using namespace shxtest;
using fontlathe::DecodeCodeView;
using fontlathe::DecompileFontFile;

namespace {

const Shape kInfo{0, "FONT", {8, 2, 0, 0}};

// Decompiles the font and returns the output text ("" when nothing was made).
std::string Decompile(const Bytes& font, std::string* message = nullptr, bool* ok = nullptr) {
  ScratchDir dir;
  std::string in = dir.Write("in.shx", font), out = dir.File("out.shp");
  std::string msg;
  bool result = DecompileFontFile(in.c_str(), out.c_str(), msg);
  if (message != nullptr) *message = msg;
  if (ok != nullptr) *ok = result;
  return Exists(out) ? read_all(out) : std::string();
}

std::string CodeView(const Bytes& font, const char* hex, bool* ok = nullptr) {
  ScratchDir dir;
  std::string in = dir.Write("in.shx", font);
  std::string msg;
  bool result = DecodeCodeView(in.c_str(), hex, msg);
  if (ok != nullptr) *ok = result;
  return msg;
}

}  // namespace

TEST(ShpWriter, ShapeWithNameAndWithout) {
  std::string text =
      Decompile(ShapesFont({kInfo, {65, "A", {2, 0x14, 0}}, {66, "", {2, 0x14, 0}}}));
  EXPECT_EQ(text, "*0,4,FONT\r\n8,2,0,0\r\n*65,3,A\r\n2,014,0\r\n*66,3\r\n2,014,0\r\n");
}

TEST(ShpWriter, TokensOfEveryOpcode) {
  struct Case {
    Bytes spec;
    const char* tokens;
  };
  const Case cases[] = {
      {{1, 2, 5, 6, 14, 0}, "1,2,5,6,14,0"},
      {{3, 2, 4, 200, 0}, "3,2,4,200,0"},
      {{7, 65, 0}, "7,65,0"},
      {{7, 0, 0}, "7,0,0"},
      {{8, 0xFD, 5, 0}, "8,(-3,5),0"},
      {{9, 1, 0xFF, 0x80, 0x7F, 0, 0, 0}, "9,(1,-1),(-128,127),(0,0),0"},
      {{10, 5, 0xA3, 0}, "10,(5,-023),0"},
      {{10, 5, 0x23, 0}, "10,(5,023),0"},
      {{10, 200, 0x80, 0}, "10,(200,-000),0"},
      {{11, 10, 200, 0, 5, 0x92, 0}, "11,(10,200,0,5,-012),0"},
      {{12, 0xFB, 3, 0x81, 0}, "12,(-5,3,-127),0"},
      {{13, 1, 2, 3, 0, 0, 0}, "13,(1,2,3),(0,0),0"},
      {{13, 1, 2, 3, 4, 0xFF, 0x9C, 0, 0, 0}, "13,(1,2,3),(4,-1,-100),(0,0),0"},
      {{0x14, 0xF0, 15, 0xAB, 0}, "014,0f0,00f,0ab,0"},
      // Operands cut off by the end of the definition end the shape.
      {{8, 1}, "8,(1,"},
      {{9, 1, 2, 3}, "9,(1,2),(3,"},
      {{13, 1, 2}, "13,(1,2,"},
  };
  for (const Case& c : cases) {
    Bytes font = ShapesFont({kInfo, {65, "A", c.spec}});
    std::string expected = "*65," + std::to_string(c.spec.size()) + ",A\n" + c.tokens;
    EXPECT_EQ(CodeView(font, "41"), expected) << c.tokens;
  }
}

TEST(ShpWriter, SubshapeReferencesOfBigFontsAndUnifonts) {
  // An extended big font (shape 0 with five bytes): 7,0 carries a two-byte
  // code and four placement bytes.
  Bytes ext =
      BigFont({{0, "BIG", {8, 2, 0, 10, 0}}, {0x8141, "", {7, 0, 0x81, 0x42, 2, 3, 0xF0, 4, 0}}},
              {0x81, 0xFE});
  EXPECT_EQ(CodeView(ext, "8141"), "*33089,9\n7,0,08142,2,3,-16,4,0");
  // A plain big font writes the one-byte form.
  Bytes plain = BigFont({{0, "BIG", {8, 2, 0, 0}}, {0x8141, "", {7, 0, 2, 0}}}, {0x81, 0xFE});
  EXPECT_EQ(CodeView(plain, "8141"), "*33089,4\n7,0,2,0");
  // A unifont reference always carries a two-byte code.
  Bytes uni = Unifont("u", {8, 2, 2, 0, 0, 0}, {{0x41, "", {7, 0, 65, 7, 0x12, 0x34, 0}}});
  EXPECT_EQ(CodeView(uni, "41"), "*65,7\n7,(0,65),7,(18,52),0");
}

TEST(ShpWriter, ExtendedFormIsKnownBeforeTheFirstShape) {
  // Code 0 is stored after the shape that refers to it with 7,0.
  Bytes font =
      BigFont({{0x8141, "", {7, 0, 0x81, 0x42, 0, 0, 8, 8, 0}}, {0, "BIG", {8, 2, 0, 10, 0}}},
              {0x81, 0xFE});
  EXPECT_EQ(
      Decompile(font),
      "*BIGFONT 1,1,129,254\r\n*33089,9\r\n7,0,08142,0,0,8,8,0\r\n*0,5,BIG\r\n8,2,0,10,0\r\n");
  // The flags belong to one file: a shape font after it writes the plain form.
  EXPECT_EQ(Decompile(ShapesFont({kInfo, {65, "", {7, 0, 0}}})),
            "*0,4,FONT\r\n8,2,0,0\r\n*65,3\r\n7,0,0\r\n");
}

TEST(ShpWriter, WrapsBeforeColumn80) {
  Bytes spec(19, 0x20);  // 19 tokens "020," make 76 columns
  spec.push_back(14);    // "14," makes 79: no break
  spec.push_back(0);     // "0" would make 80: a new line
  std::string text = Decompile(ShapesFont({kInfo, {65, "", spec}}));
  std::string line;
  for (int i = 0; i < 19; ++i) line += "020,";
  EXPECT_EQ(text, "*0,4,FONT\r\n8,2,0,0\r\n*65,21\r\n" + line + "14,\r\n0\r\n");
  // The code view does not wrap.
  EXPECT_EQ(CodeView(ShapesFont({kInfo, {65, "", spec}}), "41"), "*65,21\n" + line + "14,0");
}

TEST(ShpWriter, ShapeWithoutItsZeroStillEndsItsLine) {
  std::string text = Decompile(ShapesFont({kInfo, {65, "A", {2, 0x14}}, {66, "B", {1, 0}}}));
  EXPECT_EQ(text, "*0,4,FONT\r\n8,2,0,0\r\n*65,2,A\r\n2,014,\r\n*66,2,B\r\n1,0\r\n");
}

TEST(ShpWriter, BigFontHeaderLine) {
  for (uint32_t n : {700u, 701u}) {
    std::vector<Shape> shapes(n, Shape{0xFFFF, "", {}});  // empty slots
    shapes[0] = {0, "BIG", {8, 2, 0, 0}};
    std::string text = Decompile(BigFont(shapes, {0x81, 0xFE}));
    EXPECT_EQ(text, "*BIGFONT 500,1,129,254\r\n*0,4,BIG\r\n8,2,0,0\r\n") << n;
  }
}

TEST(ShpWriter, EmptyBigFontSlotsAreSkipped) {
  Bytes font = BigFont({{0, "BIG", {8, 2, 0, 0}}, {0x8141, "", {}}, {0x8141, "X", {0x14, 0}}},
                       {0x81, 0x82, 0xE0, 0xEF});
  EXPECT_EQ(Decompile(font),
            "*BIGFONT 2,2,129,130,224,239\r\n*0,4,BIG\r\n8,2,0,0\r\n*33089,2,X\r\n014,0\r\n");
  EXPECT_EQ(CodeView(font, "8141"), "*33089,2,X\n014,0");
}

TEST(ShpWriter, UnifontHeaderAndInformationBlock) {
  Bytes font = Unifont("myfont", {200, 0, 2, 0, 0, 255}, {{0x4E00, "", {0x14, 0}}});
  EXPECT_EQ(Decompile(font), "*UNIFONT,6,myfont\r\n200,0,2,0,0,255\r\n*19968,2\r\n014,0\r\n");
  // Code 0 in the code view is the information block.
  EXPECT_EQ(CodeView(font, "0"), "*0,6,myfont\n200,0,2,0,0,255");
}

TEST(ShpWriter, CodeViewMessages) {
  Bytes font = ShapesFont({kInfo, {65, "A", {2, 0x14, 0}}});
  bool ok = true;
  ScratchDir dir;
  std::string path = dir.Write("f.shx", font);
  std::string msg;
  EXPECT_FALSE(DecodeCodeView(path.c_str(), "42", msg));
  EXPECT_EQ(msg, "Cannot find code   42 in " + path + "\n");
  EXPECT_FALSE(DecodeCodeView(dir.File("none.shx").c_str(), "41", msg));
  EXPECT_EQ(msg, "Cannot open " + dir.File("none.shx") + " for read! (No such file or directory)");
  // A big font without shape 0 cannot say which subshape form it uses.
  msg = CodeView(BigFont({{0x8141, "", {0x14, 0}}}, {0x81, 0xFE}), "8141", &ok);
  EXPECT_EQ(msg.rfind("Address ERROR! (/", 0), 0u) << msg;
  EXPECT_NE(msg.find("/in.shx: the big font has no readable shape 0)"), std::string::npos) << msg;
  EXPECT_FALSE(ok);
}

TEST(ShpWriter, InputOrOutputThatCannotBeOpened) {
  ScratchDir dir;
  std::string in = dir.Write("font.shx", ShapesFont({kInfo})), missing = dir.File("none.shx");
  std::string out = dir.File("no/such/folder/out.shp"), msg;
  EXPECT_FALSE(DecompileFontFile(missing.c_str(), dir.File("a.shp").c_str(), msg));
  EXPECT_EQ(msg, "Cannot open " + missing + " for read! (No such file or directory)");
  EXPECT_FALSE(Exists(dir.File("a.shp")));
  EXPECT_FALSE(DecompileFontFile(in.c_str(), out.c_str(), msg));
  EXPECT_EQ(msg, "Cannot open " + out + " for write! (No such file or directory)");
  EXPECT_FALSE(DecompileFontFile(in.c_str(), dir.File("").c_str(), msg));
  EXPECT_EQ(msg, "Cannot open " + dir.File("") + " for write! (is a directory)");
}

TEST(ShpWriter, OutputNamingTheInputIsRefused) {
  ScratchDir dir;
  Bytes font = ShapesFont({kInfo, {65, "A", {2, 0x14, 0}}});
  std::string in = dir.Write("font.shx", font);
  ASSERT_EQ(link(in.c_str(), dir.File("alias.shx").c_str()), 0);
  ASSERT_EQ(symlink(in.c_str(), dir.File("link.shx").c_str()), 0);
  for (std::string out :
       {in, dir.File("./font.shx"), dir.File("alias.shx"), dir.File("link.shx")}) {
    std::string msg;
    EXPECT_FALSE(DecompileFontFile(in.c_str(), out.c_str(), msg));
    EXPECT_EQ(msg, "Cannot open " + out + " for write! (it is the input font)");
    EXPECT_EQ(read_all(in), std::string(font.begin(), font.end()));
  }
}

TEST(ShpWriter, FormatErrorsLeaveNoOutput) {
  std::vector<Shape> many(257, Shape{1, "", {0}});
  Bytes long_info = Unifont("u", {8, 2, 2, 0, 0, 0}, {});
  long_info[29] = 6;  // an information block too short for six bytes and a name
  Bytes no_count = Unifont("u", {8, 2, 2, 0, 0, 0}, {});
  no_count[25] = 0;
  Bytes no_nul = Unifont("u", {8, 2, 2, 0, 0, 0}, {});
  no_nul[32] = 'x';  // the font name's 0
  const Bytes info_only = ShapesFont({kInfo});
  const Bytes short_index = BigFont({{0, "BIG", {8, 2, 0, 0}}}, {0x81, 0xFE}, 5);
  struct Case {
    Bytes font;
    std::string reason;
  };
  const Case cases[] = {
      {Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, "not a shape font"},
      {Bytes{}, "not a shape font"},
      {ShapesFont(many), "257 shapes, more than a shape font holds"},
      {long_info, "a font information block of 6 bytes"},
      {no_count, "a shape count of 0"},
      {no_nul, "a font name without its end"},
      {Bytes(info_only.begin(), info_only.begin() + 28), "truncated at byte 28"},
      {short_index, "truncated at byte " + std::to_string(short_index.size())},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    std::string in = dir.Write("in.shx", c.font), out = dir.File("out.shp");
    const std::string expected = "Wrong format of " + in + "! (" + c.reason + ")";
    std::string msg;
    EXPECT_FALSE(DecompileFontFile(in.c_str(), out.c_str(), msg));
    EXPECT_EQ(msg, expected);
    EXPECT_FALSE(Exists(out));
    EXPECT_FALSE(DecodeCodeView(in.c_str(), "41", msg));
    EXPECT_EQ(msg, expected);
  }
}

TEST(ShpWriter, MalformedShapeNamesAreLeftOutWithAComment) {
  // A name of 80 bytes and a definition without any 0.
  Bytes no_nul = ShapesFont({kInfo, {65, "ABC", {}}});
  no_nul.pop_back();  // drop the name's 0 and shorten the entry to match
  no_nul[36] -= 1;
  const std::pair<Bytes, std::string> cases[] = {
      {ShapesFont({kInfo, {65, std::string(80, 'n'), {0x14, 0}}}), "shape 65 has a name of 80 bytes or more"},
      {no_nul, "shape 65 has no end to its name"}};
  for (const auto& [font, reason] : cases) {
    std::string msg;
    bool ok = false;
    EXPECT_EQ(Decompile(font, &msg, &ok), "*0,4,FONT\r\n8,2,0,0\r\n; skipped: " + reason + "\r\n");
    EXPECT_TRUE(ok);
    EXPECT_EQ(msg, "Decompiled OK!\nThanks for use!\nSkipped 1 damaged shape.");
  }
  // A name of 79 bytes fits.
  std::string msg;
  bool ok = false;
  Decompile(ShapesFont({kInfo, {65, std::string(79, 'n'), {0x14, 0}}}), &msg, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(msg, "Decompiled OK!\nThanks for use!");
}
