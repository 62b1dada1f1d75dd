// Writing plot files: the exact bytes, the grouping by colour, the chaining
// of strokes, points, texts and inserts, failures, and a read back.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cmath>
#include <limits>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_point.h"
#include "database/entities/mb_text.h"
#include "database/nodes/mb_draw_node.h"
#include "hpgl_support.h"

namespace {

using hpgl_test::Chain;
using hpgl_test::ScratchDir;

const std::string kPreamble("\x1b.(;\x1b.I81;;17:\x1b.N;19:IN;", 24);
const std::string kTrailer = "PUPA0,0;SP";
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 0x0000FF;

template <class E>
E* built(E* e, int32_t color = kWhite) {
  e->general().color(color);
  e->general().display_color(color);
  e->build_draw();
  return e;
}

template <class E>
E* add(MB_Drawing& d, E* e, int32_t color = kWhite) {
  d.add_object(built(e, color));
  return e;
}

MB_Line* line(double x0, double y0, double x1, double y1) { return new MB_Line(As_Pt(x0, y0, 0), As_Pt(x1, y1, 0)); }

// The bytes written for the current drawing.
std::string written() {
  ScratchDir dir;
  const std::string path = dir.file("out.plt");
  EXPECT_TRUE(api_mb_save_hpgl_file(path.c_str()));
  return read_all(path);
}

// What lies between preamble and trailer.
std::string body() {
  const std::string all = written();
  EXPECT_EQ(all.substr(0, kPreamble.size()), kPreamble);
  EXPECT_GE(all.size(), kPreamble.size() + kTrailer.size());
  EXPECT_EQ(all.substr(all.size() - kTrailer.size()), kTrailer);
  return all.substr(kPreamble.size(), all.size() - kPreamble.size() - kTrailer.size());
}

TEST(HpglExport, EmptyDrawingIsPreambleAndTrailer) {
  MB_Drawing d;
  const std::string bytes = written();
  EXPECT_EQ(bytes.size(), 34u);
  EXPECT_EQ(bytes, kPreamble + kTrailer);
}

TEST(HpglExport, ExportsAreFoundByName) {
  void* self = dlopen("libpenplot.so", RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(self, nullptr);
  EXPECT_NE(dlsym(self, "api_mb_load_hpgl_file"), nullptr);
  EXPECT_NE(dlsym(self, "api_mb_save_hpgl_file"), nullptr);
  dlclose(self);
}

TEST(HpglExport, ALineIsDrawnWithPenOneWhateverItsColour) {
  for (int32_t color : {kWhite, kRed}) {
    SCOPED_TRACE(color);
    MB_Drawing d;
    add(d, line(0, 0, 10, 5), color);
    EXPECT_EQ(written(), kPreamble + "SP1;PU0,0;PD400,200;" + kTrailer);
  }
}

TEST(HpglExport, WhiteFirstThenEveryOtherColour) {
  MB_Drawing d;
  add(d, line(0, 0, 0, 1), kRed);
  add(d, line(5, 5, 6, 5), -1);
  add(d, line(0, 0, 1, 0), kWhite);
  add(d, line(7, 7, 8, 7), -2);
  EXPECT_EQ(body(), "SP1;PU0,0;PD40,0;SP1;PU0,0;PD0,40;PU200,200;PD240,200;PU280,280;PD320,280;");
}

TEST(HpglExport, ChainingJoinsAtMostTwoStrokes) {
  struct Case {
    const char* name;
    std::vector<std::array<double, 4>> lines;
    std::string body;
  };
  const Case cases[] = {
      {"last meets first", {{0, 0, 1, 0}, {1, 0, 1, 1}}, "SP1;PU0,0;PD40,0,40,0,40,40;"},
      {"first meets first", {{0, 0, 1, 0}, {0, 0, 0, 1}}, "SP1;PU40,0;PD0,0,0,0,0,40;"},
      {"first meets last", {{0, 0, 1, 0}, {0, 1, 0, 0}}, "SP1;PU40,0;PD0,0,0,0,0,40;"},
      {"last meets last", {{0, 0, 1, 0}, {1, 1, 1, 0}}, "SP1;PU0,0;PD40,0,40,0,40,40;"},
      {"a stroke between two joins both", {{0, 0, 1, 0}, {2, 0, 3, 0}, {1, 0, 2, 0}},
       "SP1;PU120,0;PD80,0,80,0,40,0,40,0,0,0;"},
      {"a joined end is no end", {{5, 5, 6, 6}, {1, 0, 2, 0}, {1, 0, 1, 9}, {0, 0, 1, 0}},
       "SP1;PU200,200;PD240,240;PU80,0;PD40,0,40,0,40,360;PU0,0;PD40,0;"},
      {"ends within resabs meet", {{0, 0, 1, 0}, {1 + 5e-7, 0, 2, 0}}, "SP1;PU0,0;PD40,0,40,0,80,0;"},
      {"apart", {{0, 0, 1, 0}, {1.001, 0, 2, 0}}, "SP1;PU0,0;PD40,0;PU40,0;PD80,0;"},
      {"a closed square", {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 0, 1}, {0, 1, 0, 0}},
       "SP1;PU0,40;PD40,40,40,40,40,0,40,0,0,0,0,0,0,40;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MB_Drawing d;
    for (const auto& l : c.lines) add(d, line(l[0], l[1], l[2], l[3]));
    EXPECT_EQ(body(), c.body);
  }
}

TEST(HpglExport, CoordinatesTruncateAndClamp) {
  MB_Drawing d;
  add(d, line(-0.5, 0.026, -0.026, 0));
  add(d, line(1e10, -1e10, std::numeric_limits<double>::infinity(), 0.0));
  EXPECT_EQ(body(), "SP1;PU-20,1;PD-1,0;PU2147483647,-2147483648;PD2147483647,0;");
}

TEST(HpglExport, PointIsATick) {
  MB_Drawing d;
  add(d, new MB_Point(As_Pt(2, 3, 0)));
  EXPECT_EQ(body(), "SP1;PU80,120;PD80,160;");
}

TEST(HpglExport, TextStrokesChainAmongThemselves) {
  MB_Drawing d;
  add(d, line(9, 9, 10, 9));
  MB_Text* text = new MB_Text(As_Pt(0, 0, 0), MB_String("T"));
  text->general().display_color(kWhite);
  auto* node = new MB_Draw_Lines_Sets(kWhite, text);
  const unsigned long counts[3] = {2, 2, 2};
  const As_Pt pts[6] = {As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(1, 0, 0), As_Pt(1, 1, 0), As_Pt(8, 9, 0), As_Pt(9, 9, 0)};
  node->init(3, counts, pts);
  text->draw_node(node);
  d.add_object(text);
  // A text without a display writes nothing.
  d.add_object(new MB_Text(As_Pt(0, 0, 0), MB_String("")));
  // Its pieces join each other but not the line before it.
  EXPECT_EQ(body(), "SP1;PU360,360;PD400,360;PU0,0;PD40,0,40,0,40,40;PU320,360;PD360,360;");
}

TEST(HpglExport, InsertsPlaceTheirBlocks) {
  MB_Drawing d;
  // A: a line and a point. B: A inserted at (5,0). The drawing: B at (0,10)
  // scaled 2, and A at (10,0).
  MB_Block* a = new MB_Block(As_Pt(), MB_String("A"), MB_String(""));
  d.block_list().add_tail(a);
  a->object_list().add_tail(built(line(0, 0, 1, 0)));
  MB_Block* b = new MB_Block(As_Pt(), MB_String("B"), MB_String(""));
  d.block_list().add_tail(b);
  auto place = [](MB_Block* blk, As_Pt at, double scale) {
    MB_Insert* i = new MB_Insert(at, 0.0, scale, scale, scale);
    i->block(blk);
    i->build_transf();
    return i;
  };
  b->object_list().add_tail(place(a, As_Pt(5, 0, 0), 1));
  d.add_object(place(b, As_Pt(0, 10, 0), 2));
  d.add_object(place(a, As_Pt(10, 0, 0), 1));
  d.add_object(new MB_Insert(As_Pt(3, 3, 0), 0.0, 1, 1, 1));  // no block
  // C inserts itself: its line is written once.
  MB_Block* c = new MB_Block(As_Pt(), MB_String("C"), MB_String(""));
  d.block_list().add_tail(c);
  c->object_list().add_tail(built(line(0, 0, 0, 1)));
  c->object_list().add_tail(place(c, As_Pt(0, 0, 0), 1));
  d.add_object(place(c, As_Pt(30, 0, 0), 1));
  EXPECT_EQ(body(), "SP1;PU400,400;PD480,400;PU400,0;PD440,0;PU1200,0;PD1200,40;");
}

TEST(HpglExport, FailuresAnswerFalseAndKeepTheOldFile) {
  ScratchDir dir;
  {
    MB_Drawing d;
    add(d, line(0, 0, 1, 0));
    EXPECT_FALSE(api_mb_save_hpgl_file(nullptr));
    EXPECT_FALSE(api_mb_save_hpgl_file(dir.file("no/such/folder/out.plt").c_str()));
    EXPECT_FALSE(api_mb_save_hpgl_file(dir.file("").c_str())) << "a folder";
    // A full device: the write fails and is reported.
    if (access("/dev/full", W_OK) == 0) {
      EXPECT_FALSE(api_mb_save_hpgl_file("/dev/full"));
    }
  }
  const std::string old = dir.write("old.plt", "PU0,0;PD1,1;");
  EXPECT_FALSE(api_mb_save_hpgl_file(old.c_str())) << "no current drawing";
  EXPECT_EQ(read_all(old), "PU0,0;PD1,1;");
}

TEST(HpglExport, ReplacesAFileWhole) {
  ScratchDir dir;
  const std::string path = dir.write("out.plt", std::string(100000, 'x'));
  MB_Drawing d;
  add(d, line(0, 0, 1, 0));
  ASSERT_TRUE(api_mb_save_hpgl_file(path.c_str()));
  EXPECT_EQ(read_all(path), kPreamble + "SP1;PU0,0;PD40,0;" + kTrailer);
  EXPECT_FALSE(std::filesystem::exists(path + ".~plt"));
}

// What is written reads back as the same chains, 40 times larger.
TEST(HpglExport, ReadsBackAsTheSameChains) {
  ScratchDir dir;
  const std::string path = dir.file("round.plt");
  std::vector<Chain> expected;
  {
    MB_Drawing d;
    add(d, line(0, 0, 1, 0));
    add(d, line(5, 5, 5, 6), kRed);
    add(d, line(1, 0, 1, 2));
    add(d, new MB_Point(As_Pt(-3, -4, 0)), kRed);
    ASSERT_TRUE(api_mb_save_hpgl_file(path.c_str()));
    expected = {{{0, 0}, {40, 0}, {40, 0}, {40, 80}}, {{200, 200}, {200, 240}}, {{-120, -160}, {-120, -120}}};
  }
  MB_Drawing back;
  ASSERT_TRUE(api_mb_load_hpgl_file(path.c_str()));
  EXPECT_EQ(hpgl_test::chains_of(back), expected);
}

}  // namespace
