// Reading plot files: the chains and circles made, the tokenizer's reading
// of numbers, mnemonics, labels and device-control sequences, and failures.
#include <sys/stat.h>

#include <array>

#include "database/entities/mb_block.h"
#include "hpgl_support.h"

namespace {

using hpgl_test::Chain;
using hpgl_test::chains_of;
using hpgl_test::circles_of;
using hpgl_test::ScratchDir;

// Reads the bytes as a plot file into a fresh drawing.
std::vector<Chain> read_chains(const std::string& bytes, bool* ok = nullptr) {
  ScratchDir dir;
  MB_Drawing drawing;
  const bool loaded = api_mb_load_hpgl_file(dir.write("in.plt", bytes).c_str());
  if (ok) *ok = loaded;
  EXPECT_TRUE(loaded);
  return chains_of(drawing);
}

struct ChainCase {
  const char* name;
  std::string bytes;
  std::vector<Chain> chains;
};

TEST(HpglImport, ChainsDrawnByPenMoves) {
  const ChainCase cases[] = {
      {"pen up then down", "IN;SP1;PU0,0;PD100,0,100,100;PU;", {{{0, 0}, {100, 0}, {100, 100}}}},
      {"relative offsets chain", "PU10,10;PD;PR5,0,0,5;PU;", {{{10, 10}, {15, 10}, {15, 15}}}},
      {"lower case", "pu0,0;pd10,0;PU;", {{{0, 0}, {10, 0}}}},
      {"pen down and relative in one run", "PDPR10,0,0,10;PU;", {{{0, 0}, {10, 0}, {10, 10}}}},
      {"pen up and absolute in one run", "PR;PUPA10,10;PD20,10;", {{{10, 10}, {20, 10}}}},
      {"absolute then pen up in one run", "PAPU10,10;PD20,10;", {{{10, 10}, {20, 10}}}},
      {"PU and PD follow PR", "PR;PU10,10;PD5,0;PU;PD0,5;", {{{10, 10}, {15, 10}}, {{15, 10}, {15, 15}}}},
      {"PU and PD follow PA again", "PR5,5;PA;PD10,10;", {{{5, 5}, {10, 10}}}},
      {"PA draws while the pen is down", "PU0,0;PD;PA4,0;PR0,4;", {{{0, 0}, {4, 0}}, {{4, 0}, {4, 4}}}},
      {"decimals", "PU0,0;PD10.5,0;PU;", {{{0, 0}, {10.5, 0}}}},
      {"a point starts a number", "PU0,0;PD.5,1;", {{{0, 0}, {0.5, 1}}}},
      {"blanks separate numbers", "PU0,0;PD10 20;", {{{0, 0}, {10, 20}}}},
      {"CR LF and blanks around numbers", "PU 0 , 0;\r\nPD 10 , 20 ,\r\n30 40;\r\n", {{{0, 0}, {10, 20}, {30, 40}}}},
      {"signs", "PU-5,-5;PD-10.25,+3;", {{{-5, -5}, {-10.25, 3}}}},
      {"a sign ends a number", "PU0,0;PD10-5;", {{{0, 0}, {10, -5}}}},
      {"the last instruction is drawn at the end", "PU0,0;PD100,100;", {{{0, 0}, {100, 100}}}},
      {"numbers before the first instruction are dropped", "10,20,30;PU0,0;PD1,1;", {{{0, 0}, {1, 1}}}},
      {"an unpaired number makes no point", "PU0,0;PD5,5,7;", {{{0, 0}, {5, 5}}}},
      {"numbers beyond 32 bits are clamped", "PU0,0;PD99999999999999999999999999,-99999999999;",
       {{{0, 0}, {2147483647.0, -2147483647.0}}}},
      {"long decimals keep 15 digits", "PU0,0;PD0.000001,1.2345678901234567890123;",
       {{{0, 0}, {1e-6, 1.23456789012345}}}},
      {"a label is skipped to ETX", "PU0,0;LBHello PD99,99; world\x03PD10,0;", {{{0, 0}, {10, 0}}}},
      {"DT sets the label terminator", "DT*;PU0,0;LBtext PU5,5* PD5,5;DT;LBmore*PD\x03PD6,6;",
       {{{0, 0}, {5, 5}}, {{5, 5}, {6, 6}}}},
      {"SM takes one symbol character", "SMP;PU0,0;SMD;PD3,3;SM;", {{{0, 0}, {3, 3}}}},
      {"device-control sequences are dropped", "\x1b.(;\x1b.I81;;17:\x1b.N;19:\x1b.YPU0,0;PD7,0;\x1b.J",
       {{{0, 0}, {7, 0}}}},
      {"bytes above 0x7F separate", "PU0,0;\xe4\xb8\xad\xff" "PD1,1;", {{{0, 0}, {1, 1}}}},
      {"the old writer's semicolon pairs", "\x1b.(;\x1b.I81;;17:\x1b.N;19:IN;SP1;PU0,0;PD40,0;40,0;40,40;PUPA0,0;SP",
       {{{0, 0}, {40, 0}, {40, 0}, {40, 40}}}},
      {"the writer's comma pairs", "\x1b.(;\x1b.I81;;17:\x1b.N;19:IN;SP1;PU0,0;PD40,0,40,0,40,40;PUPA0,0;SP",
       {{{0, 0}, {40, 0}, {40, 0}, {40, 40}}}},
      {"empty file", "", {}},
      {"only device control and IN", "\x1b.(;\x1b.I81;;17:IN;", {}},
      {"PD without coordinates draws nothing", "PU3,3;PD;PU;PD;", {}},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(read_chains(c.bytes), c.chains);
  }
}

TEST(HpglImport, ChainsAreWhite) {
  ScratchDir dir;
  MB_Drawing drawing;
  ASSERT_TRUE(api_mb_load_hpgl_file(dir.write("in.plt", "PU0,0;PD1,1;").c_str()));
  const MB_Object* o = drawing.object_list().head();
  ASSERT_NE(o, nullptr);
  const auto* l = static_cast<const MB_Lines*>(o);
  EXPECT_EQ(l->general().color(), 0xFFFFFF);
  EXPECT_EQ(l->general().display_color(), 0xFFFFFF);
  EXPECT_EQ(l->edge().count(), 2) << "the chain's display is built";
}

TEST(HpglImport, CirclesTakeTheAbsoluteRadiusAndZeroOrMissingMakeNone) {
  struct Case {
    const char* bytes;
    std::vector<std::array<double, 3>> circles;  // x, y, radius
  };
  const Case cases[] = {
      {"PU20,30;CI50;PU;", {{20, 30, 50}}},
      {"PU20,30;CI-50;", {{20, 30, 50}}},
      {"PU0,0;PD;CI5,10;PD2,0;", {{0, 0, 5}}},
      {"CI0;CI;CI0.0,5;", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    ScratchDir dir;
    MB_Drawing drawing;
    ASSERT_TRUE(api_mb_load_hpgl_file(dir.write("in.plt", c.bytes).c_str()));
    std::vector<std::array<double, 3>> got;
    for (const MB_Circle* ci : circles_of(drawing)) got.push_back({ci->center().x(), ci->center().y(), ci->radius()});
    EXPECT_EQ(got, c.circles);
  }
}

TEST(HpglImport, EndlessInputIsCutNeverOverrun) {
  // A run of letters is read two at a time; an endless number keeps its
  // leading digits; an endless move is drawn in pieces that join.
  std::string bytes = "PU0,0;" + std::string(100000, 'Q') + "PD1,1;LB" + std::string(5000, 'x') + "\x03PD" +
                      std::string(5000, '9') + ",0;PU0,0;PD";
  const int pairs = 600000;
  for (int i = 1; i <= pairs; ++i) bytes += std::to_string(i % 1000) + "," + std::to_string(i / 1000) + ",";
  const std::vector<Chain> chains = read_chains(bytes);
  ASSERT_EQ(chains.size(), 4u);
  EXPECT_EQ(chains[0], (Chain{{0, 0}, {1, 1}}));
  EXPECT_EQ(chains[1], (Chain{{1, 1}, {2147483647.0, 0}}));
  size_t points = 0;
  for (size_t i = 2; i < chains.size(); ++i) points += chains[i].size() - 1;
  EXPECT_EQ(points, static_cast<size_t>(pairs));
  EXPECT_EQ(chains[2].back(), chains[3].front());
  EXPECT_EQ(chains[3].back(), (std::pair<double, double>(0, 600)));
}

TEST(HpglImport, ReadOnlyFileLoads) {
  ScratchDir dir;
  const std::string path = dir.write("ro.plt", "PU0,0;PD1,0;");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  MB_Drawing drawing;
  EXPECT_TRUE(api_mb_load_hpgl_file(path.c_str()));
  EXPECT_EQ(chains_of(drawing).size(), 1u);
}

TEST(HpglImport, FailuresChangeNothing) {
  ScratchDir dir;
  const std::string good = dir.write("in.plt", "PU0,0;PD1,0;");
  {
    MB_Drawing drawing;
    EXPECT_FALSE(api_mb_load_hpgl_file(nullptr));
    EXPECT_FALSE(api_mb_load_hpgl_file(dir.file("missing.plt").c_str()));
    EXPECT_FALSE(api_mb_load_hpgl_file(dir.file("").c_str())) << "a folder is no plot file";
    EXPECT_TRUE(drawing.object_list().is_empty());
  }
  ASSERT_EQ(g_current_drawing, nullptr);
  EXPECT_FALSE(api_mb_load_hpgl_file(good.c_str())) << "no current drawing";
}

TEST(HpglImport, BlockBeingBuiltReceivesTheEntities) {
  ScratchDir dir;
  MB_Drawing drawing;
  MB_Block* block = new MB_Block(As_Pt(), MB_String("B"), MB_String(""));
  drawing.temp_block(block);
  ASSERT_TRUE(api_mb_load_hpgl_file(dir.write("in.plt", "PU0,0;PD1,0;CI2;").c_str()));
  drawing.temp_block(nullptr);
  EXPECT_TRUE(drawing.object_list().is_empty());
  EXPECT_EQ(block->object_list().count(), 2);
  delete block;
}

}  // namespace
