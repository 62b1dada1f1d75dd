// quillmark_host, run as a user runs it: it shows a drawing in the control,
// replays a script of input and writes what the control shows; its errors
// name the file and say why.
#include <ximage.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_polyline.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "exchange/markup/markupio.h"
#include "tests/support/one_shot_server.h"
#include "tests/support/program_run.h"
#include "tests/support/shell_output.h"
#include "tests/support/test_temp.h"

namespace {

// A colour none of the toolbar pictures has.
constexpr COLORREF kLineColor = RGB(255, 128, 0);
const COLORREF kButtonFace = ::GetSysColor(COLOR_BTNFACE);

class HostProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    // The container finds the control through the build tree's registry
    // (ctest names it too; this serves a direct run).
    setenv("QM_REGISTRY", QM_BUILD_REGISTRY, 0);
    dir_ = qm_test_temp("host_program");
    std::string mk = "mkdir -p '" + dir_ + "'";
    ASSERT_EQ(std::system(mk.c_str()), 0);
  }
  void TearDown() override {
    std::string rm = "rm -rf '" + dir_ + "'";
    std::system(rm.c_str());
  }
  program_test::Outcome host(const std::vector<std::string>& args) {
    return program_test::run(QM_HOST_PROGRAM, args, dir_);
  }
  // A drawing of a long green line across the middle, with a short red
  // one at its centre.
  std::string drawing() {
    const std::string path = dir_ + "/line.kzf";
    MB_Drawing d;
    MB_Line* across = new MB_Line(As_Pt(0, 50, 0), As_Pt(200, 50, 0));
    across->general().color(int32_t(RGB(0, 255, 0)));
    d.add_object(across);
    MB_Line* centre = new MB_Line(As_Pt(90, 60, 0), As_Pt(110, 60, 0));
    centre->general().color(int32_t(kLineColor));
    d.add_object(centre);
    MB_File_IO io;
    io.drawing(&d);
    std::string name = path;
    EXPECT_TRUE(io.save_kzf(&name[0]));
    return path;
  }
  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ + "/" + name) << text; }
  std::string dir_;
};

// How many pixels of the colour lie in the rows [top, bottom), from the
// column `left` on (left of it lie the toolbars' edges).
int count_in_rows(const CxImage& image, COLORREF c, int top, int bottom, int left = 0) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < static_cast<int>(image.GetWidth()); ++x) n += image.GetPixelColor(x, y) == c;
  return n;
}

TEST_F(HostProgram, ShowsTheDrawingBetweenTheToolbars) {
  const std::string picture = dir_ + "/shot.png";
  auto r = host({"--size", "400x300", "--screenshot", picture, drawing()});
  ASSERT_EQ(r.status, 0) << r.err;
  CxImage image;
  ASSERT_TRUE(image.Load(picture.c_str(), CXIMAGE_FORMAT_PNG));
  ASSERT_EQ(image.GetWidth(), 400u);
  ASSERT_EQ(image.GetHeight(), 300u);
  // The standard toolbar along the top, the creation toolbar along the
  // bottom, the modify toolbar down the left; the drawing in between.
  EXPECT_EQ(image.GetPixelColor(200, 1), kButtonFace);
  EXPECT_EQ(image.GetPixelColor(200, 298), kButtonFace);
  EXPECT_EQ(image.GetPixelColor(1, 150), kButtonFace);
  EXPECT_GT(count_in_rows(image, kLineColor, 22, 278), 10);
  EXPECT_EQ(count_in_rows(image, kLineColor, 0, 22), 0);
}

TEST_F(HostProgram, AScriptedWheelStepZoomsTheView) {
  const std::string plain = dir_ + "/plain.png", zoomed = dir_ + "/zoomed.png";
  const std::string line = drawing();
  ASSERT_EQ(host({"--size", "400x300", "--screenshot", plain, line}).status, 0);
  write("zoom.txt", "# one notch towards the screen over the view\nmove 310 150\nwheel 310 150 120\n");
  auto r = host({"--size", "400x300", "--script", dir_ + "/zoom.txt", "--screenshot", zoomed, line});
  ASSERT_EQ(r.status, 0) << r.err;
  CxImage a, b;
  ASSERT_TRUE(a.Load(plain.c_str(), CXIMAGE_FORMAT_PNG));
  ASSERT_TRUE(b.Load(zoomed.c_str(), CXIMAGE_FORMAT_PNG));
  // Zoomed in by 1.2 about its middle, the short line is longer on screen.
  const int before = count_in_rows(a, kLineColor, 22, 278), after = count_in_rows(b, kLineColor, 22, 278);
  EXPECT_NEAR(after, before * 1.2, 2.0);
}

TEST_F(HostProgram, AScriptDrawsWithTheToolsAndUndoesOneOfThem) {
  // A line, a circle and a polyline, each started by its toolbar command.
  const std::string draw =
      "command 32780\nclick 250 60\nclick 380 60\n"
      "command 32801\nclick 300 150\nclick 330 150\n"
      "command 32786\nclick 250 220\nclick 300 260\nclick 380 230\nrclick 380 230\n";
  write("draw.txt", draw);
  write("undo.txt", draw + "command 32826\n");
  const std::string drawn = dir_ + "/drawn.png", undone = dir_ + "/undone.png";
  ASSERT_EQ(host({"--size", "400x300", "--script", dir_ + "/draw.txt", "--screenshot", drawn}).status, 0);
  auto r = host({"--size", "400x300", "--script", dir_ + "/undo.txt", "--screenshot", undone});
  ASSERT_EQ(r.status, 0) << r.err;
  CxImage a, b;
  ASSERT_TRUE(a.Load(drawn.c_str(), CXIMAGE_FORMAT_PNG));
  ASSERT_TRUE(b.Load(undone.c_str(), CXIMAGE_FORMAT_PNG));
  const COLORREF white = RGB(255, 255, 255);
  // The polyline's rows hold white pixels only before the undo; the line's
  // and the circle's stay.
  constexpr int kViewLeft = 230;
  EXPECT_GT(count_in_rows(a, white, 215, 265, kViewLeft), 50);
  EXPECT_EQ(count_in_rows(b, white, 215, 265, kViewLeft), 0);
  EXPECT_GT(count_in_rows(b, white, 55, 65, kViewLeft), 100);
  EXPECT_GT(count_in_rows(b, white, 115, 185, kViewLeft), 50);
}

TEST_F(HostProgram, OpensEveryKindByItsExtension) {
  write("part.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n100\n21\n40\n0\nENDSEC\n0\nEOF\n");
  write("plot.plt", "IN;SP1;PU0,0;PD4000,0,4000,2000;PU;");
  const COLORREF white = RGB(255, 255, 255);
  // White pixels the frame shows on its own (button highlights) count too.
  const std::string empty = dir_ + "/empty.png";
  ASSERT_EQ(host({"--size", "400x300", "--screenshot", empty}).status, 0);
  CxImage frame;
  ASSERT_TRUE(frame.Load(empty.c_str(), CXIMAGE_FORMAT_PNG));
  const int frame_white = count_in_rows(frame, white, 22, 278);
  for (const char* name : {"part.dxf", "plot.plt"}) {
    const std::string picture = dir_ + "/" + name + ".png";
    auto r = host({"--size", "400x300", "--screenshot", picture, dir_ + "/" + name});
    ASSERT_EQ(r.status, 0) << name << ": " << r.err;
    CxImage image;
    ASSERT_TRUE(image.Load(picture.c_str(), CXIMAGE_FORMAT_PNG));
    EXPECT_GT(count_in_rows(image, white, 22, 278), frame_white + 20) << name;
  }
}

// A markup document markupio wrote, a PNG and a JPEG, and real files of
// other programs where the machine has them: each opens by its extension
// and shows in the control.
TEST_F(HostProgram, MarkupImagesAndRealFilesShowInTheControl) {
  const std::string shot_empty = dir_ + "/empty.png";
  ASSERT_EQ(host({"--size", "400x300", "--screenshot", shot_empty}).status, 0);
  CxImage frame;
  ASSERT_TRUE(frame.Load(shot_empty.c_str(), CXIMAGE_FORMAT_PNG));
  // The pixels that differ from the empty control's.
  const auto changed = [&](const std::string& path) {
    const std::string shot = path + ".shot.png";
    auto r = host({"--size", "400x300", "--screenshot", shot, path});
    EXPECT_EQ(r.status, 0) << path << ": " << r.err;
    CxImage image;
    if (!image.Load(shot.c_str(), CXIMAGE_FORMAT_PNG)) return -1;
    int n = 0;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) n += image.GetPixelColor(x, y) != frame.GetPixelColor(x, y);
    return n;
  };

  MB_Drawing markup;
  MB_Pline_Pos* vertices = new MB_Pline_Pos[3];
  vertices[0].point = As_Pt(0, 0, 0);
  vertices[1].point = As_Pt(100, 40, 0);
  vertices[2].point = As_Pt(0, 80, 0);
  auto* redline = new MB_Polyline(false, 3, vertices);
  redline->set_string(MB_PROP_XDATA_TEXT, "@redline");
  markup.add_object(redline);
  const std::string rml = dir_ + "/notes.rml";
  ASSERT_TRUE(api_mb_save_xml(&markup, "", rml.c_str()));
  EXPECT_GT(changed(rml), 20) << "markup";

  for (const auto& [name, format] : {std::pair{"picture.png", CXIMAGE_FORMAT_PNG}, {"photo.jpg", CXIMAGE_FORMAT_JPG}}) {
    CxImage picture;
    ASSERT_TRUE(picture.Create(60, 40, 24, format));
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x) picture.SetPixelColor(x, y, RGB(200, 30, 30));
    const std::string path = dir_ + "/" + name;
    ASSERT_TRUE(picture.Save(path.c_str(), format));
    EXPECT_GT(changed(path), 1000) << name;
  }

  const std::string plot = "/usr/share/doc/hp2xx/hp-tests/arcs.hp";
  const std::string dxf = "/usr/share/librecad/library/elektro/relay-iso/Relay.dxf";
  if (!std::ifstream(plot) || !std::ifstream(dxf))
    GTEST_SKIP() << "install hp2xx and librecad-data (bash tools/setup.sh) for the real files";
  const std::string copied = dir_ + "/arcs.plt";  // plots are known by .plt and .hgl
  ASSERT_EQ(std::system(("cp '" + plot + "' '" + copied + "'").c_str()), 0);
  EXPECT_GT(changed(copied), 50) << plot;
  EXPECT_GT(changed(dxf), 50) << dxf;
}

// The main job's scenario: zoom, a line drawn with the line button, undone
// and redone, then saved natively, as a plot and as a picture; each file
// reads back with the line in it.
TEST_F(HostProgram, TheFirstMinuteScenarioDrawsAndSavesThreeWays) {
  const std::string line = drawing();  // line.kzf, two lines
  auto r = host({"--size", "800x600", "--script", QM_FIRST_MINUTE_SCRIPT, line});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("ExportHpgl = 0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ExportImage = 0"), std::string::npos) << r.out;

  MB_Drawing saved;
  MB_File_IO io;
  io.drawing(&saved);
  const std::string native = dir_ + "/line.qlf";
  ASSERT_TRUE(io.load_kzf(native.c_str())) << native;
  EXPECT_EQ(saved.object_list().count(), 3) << "the two lines and the one drawn";

  std::ifstream plot(dir_ + "/first_minute.plt");
  std::string text((std::istreambuf_iterator<char>(plot)), std::istreambuf_iterator<char>());
  EXPECT_GE(std::count(text.begin(), text.end(), 'D'), 3) << "a pen-down stroke a line";
  CxImage picture;
  ASSERT_TRUE(picture.Load((dir_ + "/first_minute.png").c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_EQ(picture.GetWidth(), 800u);
}

// Whether a pixel of the colour lies within one pixel of each of a few
// points along the segment from a to b; the points missed, as "x,y".
std::string missed_along(const CxImage& image, COLORREF c, POINT a, POINT b) {
  std::string missed;
  for (double t : {0.2, 0.4, 0.6, 0.8}) {
    const int x = static_cast<int>(std::lround(a.x + (b.x - a.x) * t));
    const int y = static_cast<int>(std::lround(a.y + (b.y - a.y) * t));
    bool seen = false;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) seen = seen || image.GetPixelColor(x + dx, y + dy) == c;
    if (!seen) missed += std::to_string(x) + "," + std::to_string(y) + " ";
  }
  return missed;
}

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

// The mark-up scenario: a line coloured in the property panel and another
// through automation, a block defined of the selection and inserted from the
// library page and through automation, a freehand redline, then the save
// button four times. What the screen shows and each saved file agree.
TEST_F(HostProgram, TheMarkUpScenarioColoursBlocksRedlinesAndSavesFourWays) {
  const std::string shot = dir_ + "/shot.png";
  auto r = host({"--size", "800x600", "--script", QM_MARK_UP_SCRIPT, "--screenshot", shot});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("SetObjectColor = 1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("GetObjectCount = 5"), std::string::npos) << r.out;

  // Blue, as the colour dialog answered, where the lines lie on screen: the
  // one coloured in the panel, the one coloured through automation and the
  // block's line placed from the library.
  const COLORREF blue = RGB(0, 0, 255);
  CxImage image;
  ASSERT_TRUE(image.Load(shot.c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_EQ(missed_along(image, blue, {380, 240}, {660, 430}), "") << "the line coloured in the panel";
  EXPECT_EQ(missed_along(image, blue, {380, 170}, {660, 360}), "") << "the line coloured through automation";
  EXPECT_EQ(missed_along(image, blue, {450, 60}, {730, 250}), "") << "the block inserted from the library";
  EXPECT_EQ(missed_along(image, RGB(255, 255, 255), {300, 500}, {350, 480}), "") << "the redline";

  MB_Drawing saved;
  MB_File_IO io;
  io.drawing(&saved);
  const std::string native = dir_ + "/mark_up.qlf";
  ASSERT_TRUE(io.load_kzf(native.c_str())) << native;
  MB_Block* mark = saved.find_block("Mark");
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->object_list().count(), 1) << "the selected line";
  std::vector<int32_t> line_colours;
  int inserts = 0, redlines = 0;
  for (MB_Object* o = saved.object_list().head(); o; o = o->next()) {
    if (o->object_id() == MB_Object::ID_LINE) line_colours.push_back(static_cast<MB_Line*>(o)->general().color());
    if (o->object_id() == MB_Object::ID_INSERT) inserts += static_cast<MB_Insert*>(o)->block() == mark;
    if (o->object_id() == MB_Object::ID_POLYLINE) {
      auto* p = static_cast<MB_Polyline*>(o);
      const char* tag = p->get_string(MB_PROP_XDATA_TEXT);
      redlines += tag && std::string(tag) == "@redline" && p->count() == 4;
    }
  }
  // The panel's colour and automation's are one and the same value.
  EXPECT_EQ(line_colours, (std::vector<int32_t>{int32_t(blue), int32_t(blue)}));
  EXPECT_EQ(inserts, 2) << "from the library and through automation";
  EXPECT_EQ(redlines, 1);

  // The plot strokes the four lines and the redline, one pen-down each.
  EXPECT_EQ(count_of(read_text(dir_ + "/mark_up.plt"), "PD"), 5);

  // The markup document holds the redline alone, over the drawing saved
  // just before it as its base (its five entities, the redline among them):
  // opened, the redline shows once.
  MB_Drawing markup;
  CString base, markup_path(dir_ + "/mark_up.rml");
  ASSERT_TRUE(api_mb_load_xml(markup_path, &markup, base));
  EXPECT_EQ(std::string(base), dir_ + "/mark_up.qlf");
  EXPECT_EQ(markup.object_list().count(), 5);
  std::vector<MB_Polyline*> markup_polylines;
  for (MB_Object* o = markup.object_list().head(); o; o = o->next())
    if (o->object_id() == MB_Object::ID_POLYLINE) markup_polylines.push_back(static_cast<MB_Polyline*>(o));
  ASSERT_EQ(markup_polylines.size(), 1u);
  EXPECT_EQ(markup_polylines[0]->count(), 4);

  CxImage picture;
  ASSERT_TRUE(picture.Load((dir_ + "/mark_up.png").c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_EQ(picture.GetWidth(), 500u);
  EXPECT_EQ(picture.GetHeight(), 500u);
}

// The saved drawing reopened in the host, its markup opened over it and
// pages 1 to 2 printed to a PDF file: the view knows no page count, so one
// page comes out, with the drawing on it.
TEST_F(HostProgram, TheMarkedUpDrawingReopensAndPrintsItsFirstPage) {
  ASSERT_EQ(host({"--size", "800x600", "--script", QM_MARK_UP_SCRIPT}).status, 0);
  const std::string shot = dir_ + "/reopened.png";
  auto r = host({"--size", "800x600", "--script", QM_REOPEN_PRINT_SCRIPT, "--screenshot", shot, dir_ + "/mark_up.qlf"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("GetObjectCount = 5\nGetObjectCount = 5\n"), std::string::npos)
      << "the native file's five entities; the markup's redline is the one saved in it\n"
      << r.out;
  CxImage image;
  ASSERT_TRUE(image.Load(shot.c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_GT(count_in_rows(image, RGB(0, 0, 255), 22, 578, 230), 300) << "the blue lines, zoomed to fit";

  const std::string pdf = dir_ + "/mark_up.pdf";
  ASSERT_TRUE(std::ifstream(pdf)) << pdf;
  if (!have_program("pdfinfo") || !have_program("pdftoppm"))
    GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are not installed";
  EXPECT_EQ(pdf_pages(pdf), 1);
  // The page, small and grey: not blank.
  shell_output("pdftoppm -gray -r 30 -f 1 -l 1 '" + pdf + "' '" + dir_ + "/page'");
  int w = 0, h = 0;
  std::vector<unsigned char> page;
  ASSERT_TRUE(read_pgm(dir_ + "/page-1.pgm", &w, &h, &page)) << "page-1.pgm";
  EXPECT_GT(std::count_if(page.begin(), page.end(), [](unsigned char c) { return c < 250; }), 200)
      << "thin lines come out grey";
}

TEST_F(HostProgram, UsageErrorsAndUnreadableFilesAreNamed) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
  };
  write("bad.txt", "move 1 2\nfly 3 4\n");
  const Case cases[] = {
      {{"--size", "0x10"}, 2, "--size"},
      {{"--frobnicate"}, 2, "unknown option"},
      {{"a.kzf", "b.kzf"}, 2, "only one drawing"},
      {{"--script", dir_ + "/bad.txt"}, 2, "line 2: unknown step \"fly\""},
      {{"--script", dir_ + "/none.txt"}, 1, "none.txt"},
      {{dir_ + "/missing.kzf"}, 1, "(No such file or directory)"},  // the English reason beside the view's own
      {{dir_ + "/missing.dxf"}, 1, "missing.dxf: \xe6\x89\x93\xe5\xbc\x80"},  // 打开失败...: the view's own message
      // Files of no kind the control opens say so rather than show nothing.
      {{dir_ + "/notes.txt"}, 1, "notes.txt: no reader takes this extension"},
      {{dir_ + "/plan.DWG"}, 1, "plan.DWG: DWG drawings are not read; save it as DXF"},
      {{"--progid", "QUILLMARKOCX.NoSuchControl.1"}, 1, "QUILLMARKOCX.NoSuchControl.1 is not registered in"},
  };
  write("notes.txt", "just some words\n");
  write("plan.DWG", "AC1015 and more");
  for (const Case& c : cases) {
    auto r = host(c.args);
    EXPECT_EQ(r.status, c.status) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
}

TEST_F(HostProgram, AScriptCallsTheAutomationMembersByName) {
  write("calls_ok.txt",
        "call GetObjectCount\n"
        "call id=CreateLine 0 0 100 50\n"
        "call GetObjectType $id\n"
        "call CreateLines [0,10,20] [0, 10, 0] 3\n"
        "call GetRect -1 [0,0,0,0]\n"
        "call SetString $id -302 \"note \xe4\xb8\xad\xe6\x96\x87 \\\"q\\\"\"\n"
        "call GetString $id -302\n"
        "call GetText $id 0 \"abcd\"\n"
        "put DisplayCreateBar 0\n"
        "call DisplayCreateBar\n"
        "call CreateHatch \"ANSI31\" 0 1 1 [3] [0,10,0] [0,0,10]\n"
        "call GetObjectCount\n"
        "call ZoomAll\n"
        "call RedrawAll\n");
  auto r = host({"--size", "400x300", "--script", dir_ + "/calls_ok.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream out(r.out);
  std::vector<std::string> lines;
  for (std::string l; std::getline(out, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 13u) << r.out;
  EXPECT_EQ(lines[0], "GetObjectCount = 0");
  EXPECT_EQ(lines[1].rfind("CreateLine = ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "GetObjectType = 1");
  EXPECT_EQ(lines[3].rfind("CreateLines = ", 0), 0u) << lines[3];
  EXPECT_EQ(lines[4], "GetRect = 0 [0, 50, 100, 0]");
  EXPECT_EQ(lines[5], "SetString = 1");
  EXPECT_EQ(lines[6], "GetString = \"note \xe4\xb8\xad\xe6\x96\x87 \"q\"\"");
  EXPECT_EQ(lines[7], "GetText = 0 \"12cd\"");
  EXPECT_EQ(lines[8], "DisplayCreateBar = false");
  EXPECT_EQ(lines[9].rfind("CreateHatch = ", 0), 0u) << lines[9];
  EXPECT_EQ(lines[10], "GetObjectCount = 3");
  EXPECT_EQ(lines[11], "ZoomAll");
  EXPECT_EQ(lines[12], "RedrawAll");

  struct Case {
    const char* script;
    const char* says;
  } refused[] = {
      {"call GetObjectCount\ncall Fly 1\n", "line 2: the control has no member \"Fly\""},
      {"call CreateLine 0 0\n", "line 1: CreateLine takes 4 arguments"},
      {"call CreateLines 1 2 3\n", "line 1: argument 1 of CreateLines (1) cannot be passed"},
      {"call GetObjectType $nothing\n", "line 1: argument 1 of GetObjectType"},
      {"call CreateCircle \"x\" 0 1\n", "line 1: CreateCircle refused the call"},
      {"put GetObjectCount 1\n", "line 1: \"GetObjectCount\" is no property"},
      {"call \"open\n", "line 1: malformed \"call\" step"},
      {"put DisplayCreateBar\n", "line 1: malformed \"put\" step"},
      {"answer color 0 0 256\n", "line 1: malformed \"answer\" step"},
      {"answer print 2 1\n", "line 1: malformed \"answer\" step"},
      {"answer mail \"x\"\n", "line 1: malformed \"answer\" step"},
      {"type 221 unquoted\n", "line 1: malformed \"type\" step"},
      {"dialog 207\npress 1\n", "line 1: the dialog's steps have no \"end\""},
      {"end\n", "line 1: \"end\" closes no dialog"},
      {"press 9999\n", "line 1: no window has the item number 9999"},
      {"pick 238 7\n", "line 1: item 238 has no entry 7 to pick"},
      // A step of a dialog fails while the dialog is open.
      {"dialog 2\n  type 9999 \"x\"\nend\ncall AboutBox\n", "line 2: no window has the item number 9999"},
  };
  for (const Case& c : refused) {
    write("refused.txt", c.script);
    auto e = host({"--script", dir_ + "/refused.txt"});
    EXPECT_EQ(e.status, 2) << c.script;
    EXPECT_NE(e.err.find(c.says), std::string::npos) << e.err;
    EXPECT_NE(e.err.find("refused.txt"), std::string::npos) << e.err;
  }
}

// The bytes of every regular file in a folder (links, pipes and folders
// are never opened), by name; the kernel's log may grow.
std::map<std::string, std::string> regular_files(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name != "kzf.log" && std::filesystem::is_regular_file(e.symlink_status()))
      files[name] = program_test::read_all(e.path().string());
  }
  return files;
}

// The lines of a text that begin with a prefix.
std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (l.rfind(prefix, 0) == 0) found.push_back(l);
  return found;
}

// Each way the control and its container write (the picture, the save
// button, the image and plot exports, printing to a file) aimed at one
// target: none replaces the drawing, the markup's base or the script, each
// failure is a line naming the target with the reason, the members answer
// their failure values, the status is 1 and no file changes. The one write
// allowed onto the drawing is the save button's save in place, over the
// drawing's own file by any name that resolves to it.
TEST_F(HostProgram, NoWriteReplacesAnInputAndEveryFailedWriteIsNamed) {
  const std::string line = drawing();
  write("markup.txt", "answer file \"markup.rml\"\ncommand 32781\n");
  ASSERT_EQ(host({"--script", "markup.txt", line}).status, 0);
  ASSERT_EQ(std::system(("cd '" + dir_ + "' && ln -s line.kzf link.kzf && ln line.kzf hard.kzf && mkdir folder.png " +
                         "&& mkfifo pipe.png && mkdir ro && chmod 555 ro")
                            .c_str()),
            0);
  struct Case {
    std::string opened, target, reason;
    bool every;             // every write gives the reason (else at least one)
    bool in_place = false;  // the save button saves the drawing over its own file
  } cases[] = {
      // A hard link of another name first: a save in place splits it off.
      {"line.kzf", "hard.kzf", "would replace the open drawing", true},
      {"line.kzf", "line.kzf", "would replace the open drawing", true, true},
      {"line.kzf", "./line.kzf", "would replace the open drawing", true, true},
      {"line.kzf", "link.kzf", "would replace the open drawing", true, true},
      {"line.kzf", dir_ + "/writes.txt", "would replace the running script", true},
      {"markup.rml", "line.kzf", "would replace the base drawing of the open markup", true},
      {"line.kzf", "folder.png", "is a directory", true},
      {"line.kzf", "pipe.png", "is a pipe", true},
      {"line.kzf", "/dev/full", "No space left on device", false},  // the save button has no writer for it
      {"line.kzf", "ro/new.png", "Permission denied", true},
  };
  for (const Case& c : cases) {
    if (c.target == "ro/new.png" && geteuid() == 0) {
      std::printf("the read-only folder is skipped: permission bits do not stop root\n");
      continue;
    }
    const std::string t = "\"" + c.target + "\"";
    write("writes.txt", "call ExportImage " + t + " 300 200 0 0\ncall ExportHpgl " + t + " 0\nanswer file " + t +
                            "\ncommand 32781\nanswer print 1 1\nanswer file " + t + "\ncall PrintAll 1 0\n");
    auto before = regular_files(dir_);
    auto r = host({"--script", dir_ + "/writes.txt", "--screenshot", c.target, c.opened});
    EXPECT_EQ(r.status, 1) << c.target << "\n" << r.err;
    EXPECT_EQ(lines_starting(r.out, "ExportImage = -1").size(), 1u) << r.out;
    EXPECT_EQ(lines_starting(r.out, "ExportHpgl = -1").size(), 1u) << r.out;
    EXPECT_EQ(lines_starting(r.out, "PrintAll = 0").size(), 1u) << r.out;
    const auto said = lines_starting(r.err, "quillmark_host: " + c.target + ": ");
    EXPECT_EQ(said.size(), c.in_place ? 4u : 5u) << c.target << "\n" << r.err;
    const auto with_reason = std::count_if(said.begin(), said.end(),
                                           [&](const std::string& l) { return l.find(c.reason) != std::string::npos; });
    EXPECT_GE(with_reason, c.every ? static_cast<long>(said.size()) : 1) << r.err;
    if (c.reason.rfind("would replace", 0) == 0) {
      EXPECT_NE(r.err.find(c.reason + " "), std::string::npos) << "the protected file is named too: " << r.err;
    }
    auto after = regular_files(dir_);
    if (c.in_place) before.erase("line.kzf"), after.erase("line.kzf");
    EXPECT_EQ(after, before) << c.target;
  }
}

// The container ends with status 1 on a drawing it could not read, whatever
// its kind, and names the file with the reader's reason (the view's tests
// go through every kind in every damaged form).
TEST_F(HostProgram, AnUnreadableDrawingEndsWithItsReason) {
  std::string noise(300, '\0');
  unsigned seed = 12345;
  for (char& b : noise) b = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  for (const char* ext : {"kzf", "dxf", "plt", "png", "rml"}) write(std::string("noise.") + ext, noise);
  ASSERT_EQ(mkfifo((dir_ + "/pipe.dxf").c_str(), 0644), 0);
  std::filesystem::create_directory(dir_ + "/folder.kzf");
  struct Case {
    std::string path;
    const char* reason;
  } cases[] = {
      {dir_ + "/noise.kzf", "not a drawing"},
      {dir_ + "/noise.dxf", "holds no DXF data"},
      {dir_ + "/noise.plt", "holds nothing a plotter would draw"},
      {dir_ + "/noise.png", "does not decode as an image"},
      {dir_ + "/noise.rml", "is not a markup document"},
      {dir_ + "/pipe.dxf", "is a pipe"},
      {dir_ + "/folder.kzf", "is a directory"},
      {"/dev/zero", "is a device"},
      {"http://127.0.0.1:1/plan.kzf", "URL"},  // nothing listens on port 1
  };
  for (const Case& c : cases) {
    auto r = host({c.path});
    EXPECT_EQ(r.status, 1) << c.path << "\n" << r.err;
    EXPECT_NE(r.err.find("quillmark_host: " + c.path + ": " + c.reason), std::string::npos) << r.err;
  }
}

// An address that cannot be fetched is named with the download's own reason
// in English beside the control's words.
TEST_F(HostProgram, AFailedDownloadSaysWhy) {
  OneShotServer missing("gone", "404 Not Found");
  ASSERT_GT(missing.port(), 0);
  struct Case {
    std::string url;
    const char* reason;
  } cases[] = {
      {"http://127.0.0.1:1/plan.kzf", "connect to 127.0.0.1 port 1"},  // nothing listens on port 1
      {"http://127.0.0.1:" + std::to_string(missing.port()) + "/plan.dxf", "the server answered with HTTP status 404"},
  };
  for (const Case& c : cases) {
    auto r = host({c.url});
    EXPECT_EQ(r.status, 1) << c.url << "\n" << r.err;
    const size_t named = r.err.find("quillmark_host: " + c.url + ": URL");
    ASSERT_NE(named, std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.reason, named), std::string::npos) << r.err;
  }
}

TEST_F(HostProgram, ALongScriptIsRefusedWithTheLimitAndFullOutputIsAnError) {
  write("long.txt", std::string((1 << 20) + 1, '#'));
  auto r = host({"--script", dir_ + "/long.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("long.txt: is larger than the 1 MiB a script may have"), std::string::npos) << r.err;
  write("count.txt", "call GetObjectCount\n");
  r = program_test::run(QM_HOST_PROGRAM, {"--script", dir_ + "/count.txt"}, dir_, "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write to standard output: No space left on device"), std::string::npos) << r.err;
}

// A drawing with unsaved changes is not dropped in silence: closing the
// window, the new button and opening another drawing ask first, and each
// answer does what it says (yes saves with the save button, no discards,
// cancel keeps the drawing and the window). A drawing only looked at, or
// saved since its last edit, goes without a question.
TEST_F(HostProgram, UnsavedChangesAreAskedAboutBeforeTheDrawingGoes) {
  const std::string line = drawing();
  const std::string drawn = "command 32780\nclick 380 240\nclick 660 430\nrclick 660 430\n";
  struct Case {
    const char* name;
    std::string steps;
    bool open_line;     // the container opens line.kzf first
    const char* count;  // the count the last step prints; null when the window closed before it
    bool saved;         // saved.qlf was written
  } cases[] = {
      {"close, discard", drawn + "answer box no\nclose\n", false, nullptr, false},
      {"close, cancel", drawn + "answer box cancel\nclose\n", false, "GetObjectCount = 1", false},
      {"close, save", drawn + "answer box yes\nanswer file \"saved.qlf\"\nclose\n", false, nullptr, true},
      // Yes, but the save dialog cancelled: nothing saved, nothing closed.
      {"close, save cancelled", drawn + "answer box yes\nclose\n", false, "GetObjectCount = 1", false},
      {"new, cancel", drawn + "answer box cancel\ncommand 32833\n", false, "GetObjectCount = 1", false},
      {"new, discard", drawn + "answer box no\ncommand 32833\n", false, "GetObjectCount = 0", false},
      {"new, save", drawn + "answer box yes\nanswer file \"saved.qlf\"\ncommand 32833\n", false, "GetObjectCount = 0",
       true},
      {"open, cancel", "call CreateLine 0 0 10 10\nanswer file \"line.kzf\"\nanswer box cancel\ncommand 32779\n", false,
       "GetObjectCount = 1", false},
      {"open, discard", "call CreateLine 0 0 10 10\nanswer file \"line.kzf\"\nanswer box no\ncommand 32779\n", false,
       "GetObjectCount = 2", false},
      // Changed outside the undo store, through automation.
      {"recoloured", "call SetObjectColor -1 255\nanswer box cancel\nclose\n", true, "GetObjectCount = 2", false},
      // Looked at only: the queued cancel is never asked for.
      {"unedited", "wheel 400 300 120\nclick 500 300\nanswer box cancel\nclose\n", true, nullptr, false},
      {"saved after the edit", drawn + "answer file \"saved.qlf\"\ncommand 32781\nanswer box cancel\nclose\n", false,
       nullptr, true},
      {"undone edit still unsaved", drawn + "command 32826\nanswer box cancel\nclose\n", false, "GetObjectCount = 0",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove((dir_ + "/saved.qlf").c_str());
    write("steps.txt", c.steps + "call GetObjectCount\n");
    std::vector<std::string> args = {"--script", "steps.txt"};
    if (c.open_line) args.push_back(line);
    auto r = host(args);
    EXPECT_EQ(r.status, 0) << r.err;
    if (c.count) {
      EXPECT_NE(r.out.find(c.count), std::string::npos) << r.out;
    } else {
      EXPECT_EQ(r.out.find("GetObjectCount"), std::string::npos) << "the window closed: " << r.out;
    }
    EXPECT_EQ(std::filesystem::exists(dir_ + "/saved.qlf"), c.saved);
  }
}

// Printing to the printer hands the pages to the system's print queue;
// where there is none the user is told to print to a file, never nothing.
TEST_F(HostProgram, PrintingToAPrinterWithoutAPrintQueueSaysToPrintToAFile) {
  write("print.txt", "call CreateLine 0 0 100 50\nanswer print 1 1 printer\ncommand 57607\n");
  setenv("QM_PRINT_QUEUE", "qm-no-such-lp", 1);
  auto r = host({"--script", "print.txt"});
  unsetenv("QM_PRINT_QUEUE");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("the printer: there is no print queue here (qm-no-such-lp is not installed): print to a file"),
            std::string::npos)
      << r.err;
}

// A markup's base drawing: the drawing saved with the save button is the
// base of the markups saved after it, and a markup opens over its base read
// by its kind (native through the kernel, DXF through the outside loader);
// a base that cannot be read is said, with the status 1.
TEST_F(HostProgram, AMarkupOpensOverItsBaseByKindAndAnUnreadableBaseIsSaid) {
  drawing();
  write("save.txt", "answer file \"plan.qlf\"\ncommand 32781\nanswer file \"plan.rml\"\ncommand 32781\n");
  auto r = host({"--script", "save.txt", "line.kzf"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(program_test::read_all(dir_ + "/plan.rml").find("BaseDocument>\"" + dir_ + "/plan.qlf\"<"),
            std::string::npos)
      << program_test::read_all(dir_ + "/plan.rml");
  write("part.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n5\n21\n5\n0\nENDSEC\n0\nEOF\n");
  write("damaged.qlf", "\x01\x02(KZF V01.00\x7f garbage");
  const auto markup = [&](const std::string& name, const std::string& base) {
    write(name, "<?xml version=\"1.0\"?><redline:RedlineMarkup xmlns:redline=\"urn:t\"><redline:BaseDocument>\"" +
                    base + "\"</redline:BaseDocument><redline:Objects/></redline:RedlineMarkup>");
    return name;
  };
  struct Case {
    std::string markup;
    int status;
    const char* says;  // the count printed, or the reason on standard error
  } cases[] = {
      {"plan.rml", 0, "GetObjectCount = 2"},
      {markup("dxf.rml", dir_ + "/part.dxf"), 0, "GetObjectCount = 1"},
      {markup("lost.rml", dir_ + "/gone.qlf"), 1, "its base drawing cannot be read: "},
      {markup("damaged.rml", dir_ + "/damaged.qlf"), 1, "its base drawing cannot be read: "},
      {markup("plot.rml", dir_ + "/save.txt"), 1, "no reader takes this extension"},
  };
  write("count.txt", "call GetObjectCount\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.markup);
    r = host({"--script", "count.txt", c.markup});
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE((c.status ? r.err : r.out).find(c.says), std::string::npos) << r.out << r.err;
  }
  EXPECT_EQ(program_test::read_all(dir_ + "/kzf.log").find("no file name"), std::string::npos);
}

}  // namespace
