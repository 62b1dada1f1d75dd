// The outside drawing loader: entities, widths, layers and blocks of
// hand-made files; malformed and hostile files; DWG and other refusals; the
// real files of librecad-data against the counts ezdxf reports.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "database/entities/mb_block.h"
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "database/mb_layer.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "tests/cadbridge/dxf_fixture.h"

namespace {

using ID = MB_Object;

const std::string kLine = "0\nLINE\n8\n0\n10\n1\n20\n2\n11\n3\n21\n4\n";

TEST(Cadbridge, LightAndClassicPolylinesKeepBulgesAndWidths) {
  Dxf_Load load;
  load.text(
      dxf_entities("0\nLWPOLYLINE\n8\n0\n90\n3\n70\n1\n43\n0.5\n"
                   "10\n0\n20\n0\n40\n1\n41\n2\n42\n0.25\n10\n10\n20\n0\n10\n10\n20\n5\n"
                   "0\nPOLYLINE\n8\n0\n66\n1\n70\n0\n40\n3\n41\n4\n"
                   "0\nVERTEX\n8\n0\n10\n1\n20\n1\n42\n-"
                   "1\n0\nVERTEX\n8\n0\n10\n2\n20\n2\n40\n7\n41\n8\n0\nSEQEND\n"));
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.result, kCadbridgeLoaded);
  ASSERT_EQ(load.counts()[ID::ID_POLYLINE], 2);
  MB_Polyline* light = load.first<MB_Polyline>(ID::ID_POLYLINE);
  MB_Polyline* classic = static_cast<MB_Polyline*>(light->next());
  ASSERT_EQ(light->count(), 3);
  EXPECT_TRUE(light->closed());
  const struct {
    double x, y, bulge, start, end;
  } light_expected[] = {{0, 0, 0.25, 1, 2}, {10, 0, 0, 0.5, 0.5}, {10, 5, 0, 0.5, 0.5}};
  for (int i = 0; i < 3; ++i) {
    const MB_Pline_Pos& v = light->pline_pos()[i];
    EXPECT_EQ(v.point.x(), light_expected[i].x);
    EXPECT_EQ(v.point.y(), light_expected[i].y);
    EXPECT_EQ(v.bulge, light_expected[i].bulge);
    EXPECT_EQ(v.start_width, light_expected[i].start);
    EXPECT_EQ(v.end_width, light_expected[i].end);
  }
  ASSERT_EQ(classic->count(), 2);
  EXPECT_FALSE(classic->closed());
  EXPECT_EQ(classic->pline_pos()[0].bulge, -1.0);
  EXPECT_EQ(classic->pline_pos()[0].start_width, 3.0);  // the polyline's default
  EXPECT_EQ(classic->pline_pos()[0].end_width, 4.0);
  EXPECT_EQ(classic->pline_pos()[1].start_width, 7.0);  // the vertex's own
  EXPECT_EQ(classic->pline_pos()[1].end_width, 8.0);
}

TEST(Cadbridge, LayerColoursAndVisibilityCarryOverAndPaperSpaceIsSkipped) {
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n"
      "0\nLAYER\n2\nWalls\n70\n0\n62\n1\n6\nCONTINUOUS\n"
      "0\nLAYER\n2\nHidden\n70\n0\n62\n-"
      "3\n6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n"
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nDOOR\n70\n0\n10\n5\n20\n5\n" +
      kLine +
      "0\nENDBLK\n0\nENDSEC\n"
      "0\nSECTION\n2\nENTITIES\n"
      "0\nLINE\n8\nWalls\n62\n256\n10\n0\n20\n0\n11\n1\n21\n1\n"
      "0\nLINE\n8\nHidden\n62\n5\n10\n0\n20\n0\n11\n1\n21\n1\n"
      "0\nINSERT\n8\n0\n2\nDOOR\n10\n1\n20\n2\n50\n90\n"
      "0\nINSERT\n8\n0\n2\nWINDOW\n10\n1\n20\n2\n"
      "0\nTEXT\n8\n0\n10\n3\n20\n4\n40\n2.5\n1\nNote\n"
      "0\nCIRCLE\n8\n0\n67\n1\n10\n0\n20\n0\n40\n1\n"
      "0\nENDSEC\n0\nEOF\n");
  ASSERT_TRUE(load.ok);
  MB_Layer* walls = load.drawing->find_layer("Walls");
  MB_Layer* hidden = load.drawing->find_layer("Hidden");
  ASSERT_TRUE(walls && hidden);
  EXPECT_EQ(walls->color(), 0x0000FFu);  // index 1, red, as 0x00BBGGRR
  EXPECT_TRUE(walls->visibility());
  EXPECT_FALSE(hidden->visibility());
  EXPECT_EQ(hidden->color(), 0x00FF00u);  // index 3, green
  auto c = load.counts();
  EXPECT_EQ(c[ID::ID_LINE], 2);
  EXPECT_EQ(c[ID::ID_INSERT], 2);
  EXPECT_EQ(c[ID::ID_TEXT], 1);
  EXPECT_EQ(c[ID::ID_CIRCLE], 0) << "paper-space entities are skipped";
  EXPECT_EQ(load.loader.skipped().at("paper space entity"), 1u);
  MB_Line* by_layer = load.first<MB_Line>(ID::ID_LINE);
  EXPECT_EQ(uint32_t(by_layer->general().color()), 0x0000FFu);
  MB_Line* on_hidden = static_cast<MB_Line*>(by_layer->next());
  EXPECT_EQ(uint32_t(on_hidden->general().color()), 0xFF0000u);  // index 5, blue
  EXPECT_EQ(on_hidden->flag(), 0) << "an entity on a layer that is off is hidden";
  MB_Insert* door = load.first<MB_Insert>(ID::ID_INSERT);
  ASSERT_NE(door->block(), nullptr);
  EXPECT_EQ(door->block()->object_list().head()->object_id(), ID::ID_LINE);
  EXPECT_NEAR(door->angle(), 1.5707963267948966, 1e-12);
  EXPECT_NE(static_cast<MB_Insert*>(door->next())->block(), nullptr) << "an unknown block becomes an empty one";
  MB_Text* text = load.first<MB_Text>(ID::ID_TEXT);
  EXPECT_STREQ(text->string().ascii(), "Note");
  EXPECT_EQ(text->text_style().height(), 2.5);
}

TEST(Cadbridge, AciIndexesGiveTheirStandardColoursAndZeroGivesWhite) {
  const struct {
    int index;
    uint32_t colorref;
  } cases[] = {{1, 0x0000FF},  {3, 0x00FF00},       {5, 0xFF0000},      {7, 0xFFFFFF},   {8, 0x808080},
               {10, 0x0000FF}, {11, 0x7F7FFF},      {13, 0x5252A5},     {250, 0x333333}, {0, 0xFFFFFF},
               {-3, 0x00FF00}, {INT_MIN, 0xFFFFFF}, {INT_MAX, 0xFFFFFF}};
  for (const auto& t : cases) EXPECT_EQ(dxf_aci_color(t.index), t.colorref) << t.index;
  // The most negative colour, on a layer and on an entity, loads.
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nL\n70\n0\n62\n-2147483648\n6\nCONTINUOUS\n"
      "0\nENDTAB\n0\nENDSEC\n" +
      dxf_entities("0\nLINE\n8\nL\n62\n-2147483648\n10\n0\n20\n0\n11\n1\n21\n1\n"));
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.counts()[ID::ID_LINE], 1);
}

TEST(Cadbridge, SplineOfControlPointsRunsFromFirstToLastPoint) {
  Dxf_Load load;
  load.text(
      dxf_entities("0\nSPLINE\n8\n0\n70\n8\n71\n3\n72\n8\n73\n4\n74\n0\n"
                   "40\n0\n40\n0\n40\n0\n40\n0\n40\n1\n40\n1\n40\n1\n40\n1\n"
                   "10\n0\n20\n0\n10\n1\n20\n2\n10\n3\n20\n2\n10\n4\n20\n0\n"));
  ASSERT_TRUE(load.ok);
  MB_Bspline* s = load.first<MB_Bspline>(ID::ID_BSPLINE);
  ASSERT_NE(s, nullptr);
  const As_Pt_Set& fit = s->fitpts();
  ASSERT_GT(fit.count(), 8);
  EXPECT_NEAR(fit.points()[0].x(), 0.0, 1e-12);
  EXPECT_NEAR(fit.points()[fit.count() - 1].x(), 4.0, 1e-12);
  EXPECT_NEAR(fit.points()[fit.count() / 2].y(), 1.5,
              1e-12);  // the cubic's middle
}

TEST(Cadbridge, Utf8TextOfNewerDrawingsBecomesGbk) {
  Dxf_Load load;
  load.text("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1021\n0\nENDSEC\n" +
            dxf_entities("0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\n\xE4\xB8\xAD\n"));
  MB_Text* text = load.first<MB_Text>(ID::ID_TEXT);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->bytes(), "\xD6\xD0");
}

// Each malformed file loads its sound records (a record cut by a broken
// group code is left out with everything after it), reports the file as
// read in part, and never crashes.
TEST(Cadbridge, MalformedFilesLoadWhatTheyCan) {
  const std::string huge_count = "0\nLWPOLYLINE\n8\n0\n90\n2147483647\n10\n0\n20\n0\n";
  const struct {
    const char* name;
    std::string bytes;
    int result;  // -1: refused
    int lines;
    int polylines;
  } cases[] = {
      {"clean", dxf_entities(kLine + kLine), kCadbridgeLoaded, 2, 0},
      {"no EOF", "0\nSECTION\n2\nENTITIES\n" + kLine + kLine, kCadbridgePartly, 1, 0},
      {"cut inside a group", "0\nSECTION\n2\nENTITIES\n" + kLine + kLine + "0\nLINE\n10", kCadbridgePartly, 2, 0},
      {"code not a number", "0\nSECTION\n2\nENTITIES\n" + kLine + kLine + "x1\n0\n" + kLine + "0\nEOF\n",
       kCadbridgePartly, 1, 0},
      {"code out of range", "0\nSECTION\n2\nENTITIES\n" + kLine + kLine + "5000\n0\n" + kLine + "0\nEOF\n",
       kCadbridgePartly, 1, 0},
      {"huge vertex count", dxf_entities(kLine + huge_count + kLine), kCadbridgePartly, 2, 0},
      {"negative vertex count", dxf_entities("0\nLWPOLYLINE\n90\n-5\n10\n0\n20\n0\n42\n1\n" + kLine), kCadbridgePartly,
       1, 0},
      {"bulge before the first vertex", dxf_entities("0\nLWPOLYLINE\n90\n2\n42\n1\n10\n0\n20\n0\n" + kLine),
       kCadbridgePartly, 1, 0},
      {"vertex before the count", dxf_entities("0\nLWPOLYLINE\n10\n0\n20\n0\n90\n1\n" + kLine), kCadbridgePartly, 1, 0},
      {"knot before the count", dxf_entities("0\nSPLINE\n40\n0\n72\n1\n" + kLine), kCadbridgePartly, 1, 0},
      {"huge knot count", dxf_entities("0\nSPLINE\n72\n999999999\n73\n999999999\n" + kLine), kCadbridgePartly, 1, 0},
      {"leader vertex before the count", dxf_entities("0\nLEADER\n10\n0\n20\n0\n76\n2\n" + kLine), kCadbridgePartly, 1,
       0},
      {"coordinate not a number", dxf_entities("0\nLINE\n10\nnan\n20\n0\n11\n1\n21\n1\n" + kLine), kCadbridgePartly, 1,
       0},
      {"infinite coordinate", dxf_entities("0\nLINE\n10\n1e999\n20\n0\n11\n1\n21\n1\n" + kLine), kCadbridgePartly, 1,
       0},
      // Writers in a locale of decimal commas: the number is read with a point.
      {"decimal comma", dxf_entities("0\nLINE\n10\n2,5\n20\n-0,5\n11\n1\n21\n1\n" + kLine), kCadbridgeLoaded, 2, 0},
      {"two commas", dxf_entities("0\nLINE\n10\n2,5,1\n20\n0\n11\n1\n21\n1\n" + kLine), kCadbridgePartly, 1, 0},
      {"comma and point", dxf_entities("0\nLINE\n10\n2,5.1\n20\n0\n11\n1\n21\n1\n" + kLine), kCadbridgePartly, 1, 0},
      {"flag not an integer", dxf_entities("0\nLWPOLYLINE\n90\n1\n70\nclosed\n10\n0\n20\n0\n" + kLine),
       kCadbridgePartly, 1, 0},
      // Kept without it: handles are optional, an odd one only noted.
      {"bad handle", dxf_entities("0\nLINE\n5\nZZ\n10\n0\n20\n0\n11\n1\n21\n1\n" + kLine), kCadbridgeLoaded, 2, 0},
      {"empty handle", dxf_entities("0\nLINE\n5\n\n10\n0\n20\n0\n11\n1\n21\n1\n" + kLine), kCadbridgeLoaded, 2, 0},
      {"long value", dxf_entities("0\nTEXT\n1\n" + std::string(5000, 'a') + "\n" + kLine), kCadbridgePartly, 1, 0},
      {"vertex without polyline", dxf_entities("0\nVERTEX\n10\n0\n20\n0\n" + kLine), kCadbridgePartly, 1, 0},
      {"sound light polyline", dxf_entities("0\nLWPOLYLINE\n90\n2\n10\n0\n20\n0\n10\n1\n20\n1\n"), kCadbridgeLoaded, 0,
       1},
      {"binary", std::string("AutoCAD Binary DXF\r\n\x1a", 21) + std::string(40, '\0'), -1, 0, 0},
      {"empty", "", -1, 0, 0},
      {"text only", "hello\nworld\n", -1, 0, 0},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    Dxf_Load load;
    load.text(t.bytes);
    EXPECT_EQ(load.ok, t.result >= 0);
    EXPECT_EQ(load.result, t.result >= 0 ? t.result : kCadbridgeNotDxf);
    auto c = load.counts();
    EXPECT_EQ(c[ID::ID_LINE], t.lines);
    EXPECT_EQ(c[ID::ID_POLYLINE], t.polylines);
    if (std::string(t.name) == "decimal comma") {
      MB_Line* line = load.first<MB_Line>(ID::ID_LINE);
      ASSERT_NE(line, nullptr);
      EXPECT_DOUBLE_EQ(line->start().x(), 2.5);
      EXPECT_DOUBLE_EQ(line->start().y(), -0.5);
    }
  }
}

TEST(Cadbridge, NestedDefinitionsLoadPartlyAndTheFirstOfARepeatedNameHolds) {
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nBLOCKS\n"
      "0\nBLOCK\n2\nA\n" +
      kLine + "0\nBLOCK\n2\nB\n" + kLine + kLine +
      "0\nENDBLK\n"
      "0\nBLOCK\n2\nA\n" +
      kLine + kLine + kLine +
      "0\nENDBLK\n0\nENDSEC\n"
      "0\nSECTION\n2\nENTITIES\n" +
      kLine + "0\nENDSEC\n0\nEOF\n");
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.result, kCadbridgePartly);
  MB_Block* a = load.drawing->find_block("A");
  MB_Block* b = load.drawing->find_block("B");
  ASSERT_TRUE(a && b);
  auto size = [](MB_Block* blk) {
    int n = 0;
    for (MB_Object* o = blk->object_list().head(); o; o = o->next()) ++n;
    return n;
  };
  EXPECT_EQ(size(a), 1) << "the first definition of a name holds";
  EXPECT_EQ(size(b), 2);
  EXPECT_EQ(load.counts()[ID::ID_LINE], 1);
}

TEST(Cadbridge, RefusalsLeaveTheDrawingAsItWas) {
  const std::string dxf = dxf_temp_path("refusal.dxf");
  dxf_write(dxf, dxf_entities(kLine));
  const std::string dwg = dxf_temp_path("plan.DWG");
  dxf_write(dwg, "AC1015 not read");
  const struct {
    const char* path;
    int result;
  } cases[] = {{dwg.c_str(), kCadbridgeDwgNotRead},
               {"/nonexistent/plan.dxf", kCadbridgeNoFile},
               {"/tmp", kCadbridgeUnknownKind},
               {"", kCadbridgeNoFile},
               {nullptr, kCadbridgeNoFile}};
  for (const auto& t : cases) {
    SCOPED_TRACE(t.path ? t.path : "(null)");
    Dxf_Load load;
    load.drawing->object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 1, 0)));
    MB_Drawing* d = load.drawing.get();
    EXPECT_FALSE(load.loader.drw_marcompopen(d, t.path, &load.result, false));
    EXPECT_EQ(load.result, t.result);
    EXPECT_EQ(d, load.drawing.get());
    EXPECT_EQ(load.counts()[ID::ID_LINE], 1);
  }
  MB_Drawing* none = nullptr;
  MB_Dwg_Load_Save loader;
  int result = -1;
  EXPECT_FALSE(loader.drw_marcompopen(none, dxf.c_str(), &result, false));
  EXPECT_EQ(result, kCadbridgeNoDrawing);
  EXPECT_EQ(none, nullptr);

  // A load adds to what the drawing holds.
  Dxf_Load load;
  load.drawing->object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 1, 0)));
  load.file(dxf);
  EXPECT_TRUE(load.ok);
  EXPECT_EQ(load.counts()[ID::ID_LINE], 2);
  std::remove(dxf.c_str());
  std::remove(dwg.c_str());
}

TEST(CadbridgeRealFiles, EveryFileLoads) {
  namespace fs = std::filesystem;
  if (!fs::is_directory(QM_LIBRECAD_DIR)) GTEST_SKIP() << "missing " QM_LIBRECAD_DIR " (Debian librecad-data)";
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(QM_LIBRECAD_DIR)) {
    if (!e.is_regular_file() || e.path().extension() != ".dxf") continue;
    ++files;
    Dxf_Load load;
    load.file(e.path().string());
    EXPECT_TRUE(load.ok) << e.path();
  }
  EXPECT_GT(files, 1000);
}

TEST(CadbridgeRealFiles, CountsMatchEzdxf) {
  if (!std::filesystem::is_directory(QM_LIBRECAD_DIR)) {
    GTEST_SKIP() << "missing " QM_LIBRECAD_DIR " (Debian librecad-data)";
  }
  std::ifstream table(QM_CADBRIDGE_TEST_DIR "/ezdxf_counts.txt");
  ASSERT_TRUE(table) << "missing the table ezdxf_counts.txt";
  std::string line;
  int rows = 0;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string file;
    int lines, circles, arcs, polylines, texts, inserts;
    ASSERT_TRUE(in >> file >> lines >> circles >> arcs >> polylines >> texts >> inserts) << line;
    SCOPED_TRACE(file);
    Dxf_Load load;
    load.file(std::string(QM_LIBRECAD_DIR "/") + file);
    ASSERT_TRUE(load.ok);
    auto c = load.counts();
    EXPECT_EQ(c[ID::ID_LINE], lines);
    EXPECT_EQ(c[ID::ID_CIRCLE], circles);
    EXPECT_EQ(c[ID::ID_ARC], arcs);
    EXPECT_EQ(c[ID::ID_POLYLINE], polylines);
    // Multi-line texts make texts too: the single-line ones are counted.
    const auto& made = load.loader.converted();
    EXPECT_EQ(made.count("TEXT") ? made.at("TEXT") : 0u, size_t(texts));
    EXPECT_EQ(c[ID::ID_INSERT], inserts);
    ++rows;
  }
  EXPECT_GE(rows, 5);
}

}  // namespace
