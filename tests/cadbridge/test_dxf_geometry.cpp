// Geometry as writers author it: object coordinate systems, block contents
// that take their insert's layer and colour, insert arrays, hatch pens,
// bulge arcs, face edges, meshes and construction lines.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "database/entities/mb_block.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_face.h"
#include "database/entities/mb_hatch.h"
#include "database/entities/mb_hatch_pattern.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_mesh.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/mb_settings.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "exchange/cadbridge/dxf_ocs.h"
#include "tests/cadbridge/dxf_fixture.h"

namespace {

using ID = MB_Object;

constexpr char kMirror[] = "210\n0\n220\n0\n230\n-1\n";

// The top-level entities of one kind, in file order.
template <class T>
std::vector<T*> all(const Dxf_Load& load, MB_Object::MB_ID id) {
  std::vector<T*> out;
  for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next())
    if (o->object_id() == id) out.push_back(static_cast<T*>(o));
  return out;
}

void expect_xy(const As_Pt& p, double x, double y) {
  EXPECT_NEAR(p.x(), x, 1e-9);
  EXPECT_NEAR(p.y(), y, 1e-9);
}

double turn(double a) { return std::remainder(a, 2 * qm_pi); }

// An extrusion of (0, 0, -1) is the mirror image about the Y axis: each
// planar kind lands there, turning the other way.
TEST(DxfOcs, MirroredEntitiesLandMirroredAboutY) {
  Dxf_Load load;
  load.text(dxf_entities(std::string("0\nCIRCLE\n8\n0\n10\n10\n20\n5\n40\n2\n") + kMirror +
                         "0\nARC\n8\n0\n10\n10\n20\n5\n40\n2\n50\n0\n51\n90\n" + kMirror +
                         "0\nLWPOLYLINE\n8\n0\n90\n2\n70\n0\n10\n1\n20\n1\n42\n0.5\n10\n3\n20\n1\n" + kMirror +
                         "0\nTEXT\n8\n0\n10\n10\n20\n5\n40\n2\n1\nAB\n" + kMirror +
                         "0\nSOLID\n8\n0\n10\n1\n20\n0\n11\n2\n21\n0\n12\n1\n22\n1\n13\n2\n23\n1\n" + kMirror +
                         "0\nELLIPSE\n8\n0\n10\n10\n20\n0\n11\n4\n21\n0\n40\n0.5\n41\n0\n42\n1.5707963267948966\n" +
                         kMirror + "0\nINSERT\n8\n0\n2\nB\n10\n10\n20\n0\n" + kMirror));
  ASSERT_TRUE(load.ok);
  MB_Circle* circle = load.first<MB_Circle>(ID::ID_CIRCLE);
  ASSERT_NE(circle, nullptr);
  expect_xy(circle->center(), -10, 5);
  MB_Arc* arc = load.first<MB_Arc>(ID::ID_ARC);
  ASSERT_NE(arc, nullptr);
  expect_xy(arc->center(), -10, 5);
  EXPECT_NEAR(turn(arc->start_angle() - qm_pi / 2), 0, 1e-9);
  EXPECT_NEAR(turn(arc->end_angle() - qm_pi), 0, 1e-9);
  MB_Polyline* pl = load.first<MB_Polyline>(ID::ID_POLYLINE);
  ASSERT_NE(pl, nullptr);
  expect_xy(pl->pline_pos()[0].point, -1, 1);
  expect_xy(pl->pline_pos()[1].point, -3, 1);
  EXPECT_EQ(pl->pline_pos()[0].bulge, -0.5);
  MB_Text* text = load.first<MB_Text>(ID::ID_TEXT);
  ASSERT_NE(text, nullptr);
  expect_xy(text->base_pos(), -10, 5);
  // Mirrored along its line: it runs towards -x.
  EXPECT_LT(text->text_style().width_scale(), 0.0);
  EXPECT_NEAR(std::cos(text->text_style().angle()), 1.0, 1e-9);
  MB_Solid* solid = load.first<MB_Solid>(ID::ID_SOLID);
  ASSERT_NE(solid, nullptr);
  expect_xy(solid->points()[0], -1, 0);
  expect_xy(solid->points()[1], -2, 0);
  // Centre and major axis are the world's: the quarter runs below the axis.
  MB_Ellipse_Arc* ellipse = load.first<MB_Ellipse_Arc>(ID::ID_ELLIPSE_ARC);
  ASSERT_NE(ellipse, nullptr);
  EXPECT_NEAR(ellipse->major(), 4, 1e-9);
  EXPECT_NEAR(ellipse->minor(), 2, 1e-9);
  EXPECT_NEAR(turn(ellipse->angle() + ellipse->start_angle() + qm_pi / 2), 0, 1e-9);
  EXPECT_NEAR(turn(ellipse->angle() + ellipse->end_angle()), 0, 1e-9);
  MB_Insert* insert = load.first<MB_Insert>(ID::ID_INSERT);
  ASSERT_NE(insert, nullptr);
  expect_xy(insert->point(), -10, 0);
  // The block's X axis points to -x, its Y axis stays up.
  const As_Vec x = As_Vec(1, 0, 0) * insert->trans(), y = As_Vec(0, 1, 0) * insert->trans();
  expect_xy(As_Pt(x.x(), x.y(), 0), -1, 0);
  expect_xy(As_Pt(y.x(), y.y(), 0), 0, 1);
}

// A pattern hatch in a plane facing down is the mirror image of its
// pattern too: level lines run the other way, their base and their offset
// along the line mirrored. The base, (-1, 2) as drawn, is given from the
// boundary's lower left corner there, (-4, 0).
TEST(DxfOcs, MirroredHatchPatternsMirrorTheirLines) {
  Dxf_Load load;
  load.text(dxf_entities(
      std::string("0\nHATCH\n8\n0\n10\n0\n20\n0\n30\n0\n") + kMirror +
      "2\nUSER\n70\n0\n71\n0\n91\n1\n92\n2\n72\n0\n73\n1\n93\n3\n10\n0\n20\n0\n10\n4\n20\n0\n10\n0\n20\n4\n97\n0\n"
      "75\n0\n76\n1\n52\n0\n41\n1\n77\n0\n78\n1\n53\n0\n43\n1\n44\n2\n45\n0.5\n46\n1\n49\n0.5\n49\n-0.25\n"));
  ASSERT_TRUE(load.ok);
  MB_Hatch* h = load.first<MB_Hatch>(ID::ID_HATCH);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(h->pattern()->line_list().count(), 1);
  EXPECT_STREQ(static_cast<MB_String*>(h->pattern()->line_list().head()->entity())->ascii(),
               "180, 3, 2, -0.5, 1, 0.5, -0.25");
}

// A tilted plane seen from above: circles become ellipses whose minor axis
// is the radius times the normal's z; a plane seen edge on, a line.
TEST(DxfOcs, TiltedPlanesProjectOntoXy) {
  const struct {
    const char* normal;
    MB_Object::MB_ID kind;
    double minor;
  } cases[] = {
      {"210\n0\n220\n0.6\n230\n0.8\n", ID::ID_ELLIPSE, 0.8},
      {"210\n0.6\n220\n0\n230\n-0.8\n", ID::ID_ELLIPSE, 0.8},
      {"210\n1\n220\n0\n230\n0\n", ID::ID_POLYLINE, 0.0},
      {"210\n0\n220\n0\n230\n5\n", ID::ID_CIRCLE, 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.normal);
    Dxf_Load load;
    load.text(dxf_entities(std::string("0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n1\n") + c.normal));
    ASSERT_TRUE(load.ok);
    auto counts = load.counts();
    ASSERT_EQ(counts[c.kind], 1);
    if (c.kind == ID::ID_ELLIPSE) {
      MB_Ellipse* e = load.first<MB_Ellipse>(ID::ID_ELLIPSE);
      EXPECT_NEAR(e->major(), 1.0, 1e-9);
      EXPECT_NEAR(e->minor(), c.minor, 1e-9);
    }
    if (c.kind == ID::ID_POLYLINE) {
      // Every point on the Y axis, from -1 to 1.
      MB_Polyline* pl = load.first<MB_Polyline>(ID::ID_POLYLINE);
      double low = 1e9, high = -1e9;
      for (int i = 0; i < pl->count(); ++i) {
        EXPECT_NEAR(pl->pline_pos()[i].point.x(), 0.0, 1e-9);
        low = std::min(low, pl->pline_pos()[i].point.y());
        high = std::max(high, pl->pline_pos()[i].point.y());
      }
      EXPECT_NEAR(low, -1.0, 1e-9);
      EXPECT_NEAR(high, 1.0, 1e-9);
    }
  }
}

// The plane's axes from its normal by the arbitrary axis rule, and the
// angle in the plane of a world direction.
TEST(DxfOcs, ArbitraryAxesFollowTheNormal) {
  const Dxf_Ocs mirror(0, 0, -1);
  EXPECT_TRUE(mirror.flat());
  EXPECT_TRUE(mirror.mirrored());
  expect_xy(mirror.point(As_Pt(3, 4, 0)), -3, 4);
  EXPECT_NEAR(mirror.plane_angle(As_Vec(1, 0, 0)), qm_pi, 1e-12);
  const Dxf_Ocs tilted(0, 0.6, 0.8);
  EXPECT_FALSE(tilted.flat());
  expect_xy(tilted.point(As_Pt(1, 0, 0)), -1, 0);
  expect_xy(tilted.point(As_Pt(0, 1, 0)), 0, -0.8);
  EXPECT_TRUE(Dxf_Ocs(0, 0, 0).world());
  EXPECT_TRUE(Dxf_Ocs(0, 0, 2).world());
}

const char* const kLayers =
    "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n"
    "0\nLAYER\n2\n0\n70\n0\n62\n7\n6\nCONTINUOUS\n"
    "0\nLAYER\n2\nRED\n70\n0\n62\n1\n6\nCONTINUOUS\n"
    "0\nLAYER\n2\nFIXED\n70\n0\n62\n5\n6\nCONTINUOUS\n"
    "0\nLAYER\n2\nOFF\n70\n0\n62\n-3\n6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n";

// Block B: a layer-0 line, a BYBLOCK line, a line of its own layer and
// colour, and a BYBLOCK insert of C, whose line is BYBLOCK too.
const char* const kDoorBlocks =
    "0\nSECTION\n2\nBLOCKS\n"
    "0\nBLOCK\n8\n0\n2\nC\n70\n0\n10\n0\n20\n0\n0\nLINE\n8\n0\n62\n0\n10\n0\n20\n4\n11\n9\n21\n4\n0\nENDBLK\n8\n0\n"
    "0\nBLOCK\n8\n0\n2\nB\n70\n0\n10\n0\n20\n0\n"
    "0\nLINE\n8\n0\n10\n0\n20\n1\n11\n9\n21\n1\n"
    "0\nLINE\n8\n0\n62\n0\n10\n0\n20\n2\n11\n9\n21\n2\n"
    "0\nLINE\n8\nFIXED\n10\n0\n20\n3\n11\n9\n21\n3\n"
    "0\nINSERT\n8\n0\n62\n0\n2\nC\n10\n0\n20\n0\n"
    "0\nENDBLK\n8\n0\n0\nENDSEC\n";

// The colour each of B's objects draws with under the insert, and C's line
// through the nested insert.
TEST(DxfBlocks, ContentsTakeTheirInsertsLayerAndColour) {
  const uint32_t red = dxf_aci_color(1), green = dxf_aci_color(3), blue = dxf_aci_color(5), white = dxf_aci_color(7);
  const struct {
    const char* insert;
    uint32_t layer_zero, by_block, fixed, nested;
    uint16_t shown;
  } cases[] = {
      {"8\n0\n", white, white, blue, white, 1},
      {"8\nRED\n", red, red, blue, red, 1},
      {"8\nRED\n62\n3\n", red, green, blue, green, 1},
      {"8\n0\n62\n3\n", white, green, blue, green, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.insert);
    Dxf_Load load;
    load.text(std::string(kLayers) + kDoorBlocks +
              dxf_entities(std::string("0\nINSERT\n") + c.insert + "2\nB\n10\n0\n20\n0\n"));
    ASSERT_TRUE(load.ok);
    MB_Insert* insert = load.first<MB_Insert>(ID::ID_INSERT);
    ASSERT_NE(insert, nullptr);
    ASSERT_NE(insert->block(), nullptr);
    std::vector<MB_Drawable*> objects;
    for (MB_Object* o = insert->block()->object_list().head(); o; o = o->next())
      objects.push_back(static_cast<MB_Drawable*>(o));
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(uint32_t(objects[0]->general().display_color()), c.layer_zero);
    EXPECT_EQ(uint32_t(objects[1]->general().display_color()), c.by_block);
    EXPECT_EQ(uint32_t(objects[2]->general().display_color()), c.fixed);
    EXPECT_EQ(objects[0]->flag(), c.shown);
    MB_Insert* inner = mb_to_insert(objects[3]);
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(inner->block(), nullptr);
    auto* line = static_cast<MB_Drawable*>(inner->block()->object_list().head());
    EXPECT_EQ(uint32_t(line->general().display_color()), c.nested);
  }
}

// Layer-0 objects show on the insert's layer even when layer 0 itself is
// off; an insert on a layer that is off hides with all it holds. The
// block's own objects are not changed.
TEST(DxfBlocks, LayerZeroContentsShowAndHideWithTheInsertsLayer) {
  std::string layers = kLayers;
  const std::string shown = "2\n0\n70\n0\n62\n7\n";
  layers.replace(layers.find(shown), shown.size(), "2\n0\n70\n0\n62\n-7\n");
  Dxf_Load load;
  load.text(layers + kDoorBlocks +
            dxf_entities("0\nINSERT\n8\nRED\n2\nB\n10\n0\n20\n0\n0\nINSERT\n8\n0\n2\nB\n10\n0\n20\n20\n"));
  ASSERT_TRUE(load.ok);
  std::set<int> rows;
  for (const auto& p : dxf_painted(*load.drawing, 16, 32)) rows.insert(p.second);
  // The painting helper draws hidden entities too: under the insert on
  // layer 0 only B's line of its own layer FIXED (y = 23) draws.
  EXPECT_EQ(rows, (std::set<int>{1, 2, 3, 4, 23}));
  auto inserts = all<MB_Insert>(load, ID::ID_INSERT);
  ASSERT_EQ(inserts.size(), 2u);
  EXPECT_EQ(inserts[0]->flag(), 1);
  EXPECT_EQ(inserts[1]->flag(), 0);
  MB_Block* b = load.drawing->find_block("B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(static_cast<MB_Drawable*>(b->object_list().head())->flag(), 0);
}

// MINSERT: columns along the turned X axis, rows along its Y axis.
TEST(DxfBlocks, ArraysInsertEveryCell) {
  Dxf_Load load;
  load.text(std::string(kDoorBlocks) +
            dxf_entities("0\nINSERT\n8\n0\n2\nB\n10\n1\n20\n2\n50\n90\n70\n2\n71\n3\n44\n5\n45\n10\n"));
  ASSERT_TRUE(load.ok);
  std::set<std::pair<long, long>> points;
  for (MB_Insert* i : all<MB_Insert>(load, ID::ID_INSERT))
    points.insert({std::lround(i->point().x()), std::lround(i->point().y())});
  EXPECT_EQ(points, (std::set<std::pair<long, long>>{{1, 2}, {1, 7}, {-9, 2}, {-9, 7}, {-19, 2}, {-19, 7}}));
}

// An insert's attributes on layer 0 draw on the insert's layer and those of
// BYBLOCK colour take the insert's colour, as its block's objects do; others
// keep their own. They hide with the insert.
TEST(DxfBlocks, AttributesTakeTheirInsertsLayerZeroAndByBlockColour) {
  const uint32_t red = dxf_aci_color(1), green = dxf_aci_color(3), blue = dxf_aci_color(5), white = dxf_aci_color(7);
  const struct {
    const char* insert;
    const char* attribute;
    uint32_t drawn;
    uint16_t shown;
  } cases[] = {
      {"8\n0\n62\n1\n", "8\n0\n62\n0\n", red, 1},
      {"8\nRED\n", "8\n0\n62\n0\n", red, 1},
      {"8\nRED\n62\n3\n", "8\nFIXED\n62\n0\n", green, 1},
      {"8\n0\n62\n3\n", "8\n0\n", white, 1},
      {"8\n0\n62\n3\n", "8\n0\n62\n5\n", blue, 1},
      {"8\nOFF\n62\n3\n", "8\n0\n62\n5\n", blue, 0},
      {"8\nRED\n62\n3\n", "8\n0\n", red, 1},
      {"8\nFIXED\n", "8\nRED\n", red, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.insert) + "/" + c.attribute);
    Dxf_Load load;
    load.text(std::string(kLayers) + kDoorBlocks +
              dxf_entities(std::string("0\nINSERT\n5\n2A\n") + c.insert + "66\n1\n2\nB\n10\n0\n20\n0\n" +
                           "0\nATTRIB\n5\n2B\n" + c.attribute + "10\n0\n20\n0\n40\n2\n1\nR1\n2\nREF\n70\n0\n" +
                           "0\nSEQEND\n5\n2C\n8\n0\n"));
    ASSERT_TRUE(load.ok);
    MB_Text* text = load.first<MB_Text>(ID::ID_TEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(uint32_t(text->general().display_color()), c.drawn);
    EXPECT_EQ(static_cast<MB_Drawable*>(text)->flag(), c.shown);
  }
}

// Arc-length and jogged radius dimensions draw the block that holds their
// picture, as every dimension does.
TEST(DxfBlocks, EveryDimensionKindDrawsItsBlock) {
  const std::string block =
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\n*D1\n70\n1\n10\n0\n20\n0\n"
      "0\nARC\n8\n0\n10\n0\n20\n0\n40\n5\n50\n0\n51\n90\n0\nENDBLK\n8\n0\n0\nENDSEC\n";
  for (const char* kind : {"DIMENSION", "ARC_DIMENSION", "LARGE_RADIAL_DIMENSION"}) {
    SCOPED_TRACE(kind);
    Dxf_Load load;
    load.text(block + dxf_entities(std::string("0\n") + kind + "\n8\n0\n2\n*D1\n10\n0\n20\n0\n70\n5\n"));
    ASSERT_TRUE(load.ok);
    MB_Insert* insert = load.first<MB_Insert>(ID::ID_INSERT);
    ASSERT_NE(insert, nullptr);
    ASSERT_NE(insert->block(), nullptr);
    EXPECT_EQ(insert->block()->name().ascii(), std::string("*D1"));
  }
}

// The arrays of a file share one budget of inserts: many arrays, each within
// an array's cap, cannot multiply it. Past the budget an array is its first
// cell, and the reason is said once.
TEST(DxfBlocks, ArraysShareOneBudget) {
  Dxf_Guarded guarded;
  ASSERT_TRUE(dxf_guard(dxf_entities(""), guarded));
  MB_Drawing drawing;
  Dxf_Builder builder(drawing, guarded);
  builder.array_budget(10);
  for (int k = 0; k < 4; ++k) builder.addInsert(DL_InsertData("B", 0, 0, 0, 1, 1, 1, 0, 3, 2, 1, 1));
  builder.addInsert(DL_InsertData("B", 5, 5, 0, 1, 1, 1, 0, 1, 1, 0, 0));
  builder.finish();
  size_t inserts = 0;
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next()) inserts += o->object_id() == ID::ID_INSERT;
  EXPECT_EQ(inserts, 6u + 4u + 1u + 1u + 1u);  // whole, cut, first cells, the plain insert
  ASSERT_EQ(builder.problems().size(), 1u);
  EXPECT_NE(builder.problems()[0].find("draws its first 4"), std::string::npos) << builder.problems()[0];
}

// A pattern hatch draws in its own colour, as a line of that colour does.
TEST(DxfHatchPen, PatternLinesDrawInTheHatchColour) {
  Dxf_Load load;
  load.text(
      dxf_entities("0\nLINE\n8\n0\n62\n1\n10\n1\n20\n30\n11\n30\n21\n30\n"
                   "0\nHATCH\n8\n0\n62\n1\n10\n0\n20\n0\n30\n0\n2\nUSER\n70\n0\n71\n0\n91\n1\n"
                   "92\n2\n72\n0\n73\n1\n93\n4\n10\n2\n20\n2\n10\n20\n20\n2\n10\n20\n20\n20\n10\n2\n20\n20\n97\n0\n"
                   "75\n0\n76\n1\n52\n0\n41\n1\n77\n0\n78\n1\n53\n45\n43\n0\n44\n0\n45\n-2\n46\n2\n79\n0\n"));
  ASSERT_TRUE(load.ok);
  // One colour over the hatch's lines and the line's.
  std::set<uint32_t> colours;
  const auto painted = dxf_painted_colours(*load.drawing, 40, 40);
  for (const auto& p : painted) colours.insert(p.second);
  EXPECT_GT(painted.size(), 60u);
  EXPECT_EQ(colours.size(), 1u);
}

// Bulge arcs are drawn with as many points as an arc of its own; a face's
// invisible edges are left out; meshes draw their visible edges; an XLINE
// is a construction line.
TEST(DxfEdges, BulgesFacesMeshesAndXlines) {
  const std::string polyface =
      "0\nPOLYLINE\n8\n0\n66\n1\n70\n64\n71\n4\n72\n2\n"
      "0\nVERTEX\n8\n0\n10\n0\n20\n0\n70\n192\n0\nVERTEX\n8\n0\n10\n10\n20\n0\n70\n192\n"
      "0\nVERTEX\n8\n0\n10\n10\n20\n10\n70\n192\n0\nVERTEX\n8\n0\n10\n0\n20\n10\n70\n192\n"
      "0\nVERTEX\n8\n0\n10\n0\n20\n0\n70\n128\n71\n1\n72\n2\n73\n3\n"
      "0\nVERTEX\n8\n0\n10\n0\n20\n0\n70\n128\n71\n1\n72\n-3\n73\n4\n0\nSEQEND\n";
  std::string grid = "0\nPOLYLINE\n8\n0\n66\n1\n70\n16\n71\n2\n72\n3\n";
  for (int i = 0; i < 6; ++i)
    grid += "0\nVERTEX\n8\n0\n10\n" + std::to_string(i / 3) + "\n20\n" + std::to_string(i % 3) + "\n70\n64\n";
  grid += "0\nSEQEND\n";
  const std::string mesh =
      "0\nMESH\n8\n0\n71\n2\n72\n0\n91\n0\n92\n4\n10\n0\n20\n0\n30\n0\n10\n1\n20\n0\n30\n0\n10\n1\n20\n1\n30\n0\n"
      "10\n0\n20\n1\n30\n1\n93\n8\n90\n3\n90\n0\n90\n1\n90\n2\n90\n3\n90\n0\n90\n2\n90\n3\n94\n0\n";
  const struct {
    const char* name;
    std::string groups;
    MB_Object::MB_ID kind;
    int count;
  } cases[] = {
      {"face, all edges", "0\n3DFACE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n0\n12\n1\n22\n1\n13\n0\n23\n1\n", ID::ID_FACE, 1},
      {"face, edges 1 and 3 hidden", "0\n3DFACE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n0\n12\n1\n22\n1\n13\n0\n23\n1\n70\n5\n",
       ID::ID_LINE, 2},
      {"polyface: a face and a face less its hidden edge", polyface, ID::ID_FACE, 1},
      {"polyface lines", polyface, ID::ID_LINE, 2},
      {"polygon mesh", grid, ID::ID_POLYGON_MESH, 1},
      {"mesh", mesh, ID::ID_FACE, 2},
      {"xline", "0\nXLINE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n1\n21\n0\n31\n0\n", ID::ID_XLINE, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dxf_Load load;
    load.text(dxf_entities(c.groups));
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.counts()[c.kind], c.count);
  }
  Dxf_Load hidden;
  hidden.text(dxf_entities("0\n3DFACE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n0\n12\n1\n22\n1\n13\n0\n23\n1\n70\n5\n"));
  // Edges from corner 1 to 2 and from corner 3 to 0 are the ones shown.
  auto lines = all<MB_Line>(hidden, ID::ID_LINE);
  ASSERT_EQ(lines.size(), 2u);
  expect_xy(lines[0]->start(), 1, 0);
  expect_xy(lines[0]->end(), 1, 1);
  expect_xy(lines[1]->start(), 0, 1);
  expect_xy(lines[1]->end(), 0, 0);

  Dxf_Load donut;
  donut.text(dxf_entities("0\nLWPOLYLINE\n8\n0\n90\n2\n70\n1\n10\n0\n20\n0\n42\n1\n10\n10\n20\n0\n42\n1\n"));
  MB_Polyline* pl = donut.first<MB_Polyline>(ID::ID_POLYLINE);
  ASSERT_NE(pl, nullptr);
  EXPECT_EQ(pl->get_draw_precision(), g_system_setting.get_long_val(MB_ARC_PRECISION));
  MB_Polygon_Mesh* m = nullptr;
  Dxf_Load g;
  g.text(dxf_entities(grid));
  m = g.first<MB_Polygon_Mesh>(ID::ID_POLYGON_MESH);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->m_count(), 2);
  EXPECT_EQ(m->n_count(), 3);
  expect_xy(m->get_point(1, 2), 1, 2);
}

// Handles are optional in old files: a DIMSTYLE record's group 5 (its arrow
// block there) keeps the style, and the load is whole.
TEST(DxfHandles, OldDimensionStylesKeepTheirArrowName) {
  Dxf_Log_Folder folder;
  Dxf_Load load;
  load.text(
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nDIMSTYLE\n70\n1\n0\nDIMSTYLE\n2\nBIG\n5\nOPEN\n70\n0\n140\n7\n0\nENDTAB\n"
      "0\nENDSEC\n" +
      dxf_entities("0\nLINE\n5\n\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n"));
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.result, kCadbridgeLoaded);
  EXPECT_EQ(load.counts()[ID::ID_LINE], 1);
  const std::string log = folder.log();
  EXPECT_EQ(log.find("DIMSTYLE"), std::string::npos) << log;
  EXPECT_NE(log.find("is not a handle; the record is kept"), std::string::npos) << log;
}

}  // namespace
