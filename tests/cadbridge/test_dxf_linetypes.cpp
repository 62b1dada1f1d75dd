// Line types from the file's LTYPE table, resolved through BYLAYER, and
// entities of frozen layers kept but not drawn, in blocks too.
#include <gtest/gtest.h>

#include <string>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/mb_layer.h"
#include "database/mb_linetype.h"
#include "database/nodes/mb_draw_node.h"
#include "tests/cadbridge/dxf_fixture.h"

namespace {

using ID = MB_Object;

const std::string kTables =
    "0\nSECTION\n2\nHEADER\n9\n$LTSCALE\n40\n2\n0\nENDSEC\n"
    "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLTYPE\n70\n2\n"
    "0\nLTYPE\n2\nContinuous\n70\n0\n3\nSolid\n72\n65\n73\n0\n40\n0\n"
    "0\nLTYPE\n2\nDASHED\n70\n0\n3\n__ __\n72\n65\n73\n2\n40\n0.75\n49\n0.5\n74\n0\n49\n-0.25\n74\n0\n"
    "0\nENDTAB\n0\nTABLE\n2\nLAYER\n70\n2\n"
    "0\nLAYER\n2\nHidden\n70\n0\n62\n1\n6\nDASHED\n"
    "0\nLAYER\n2\nIce\n70\n1\n62\n2\n6\nContinuous\n"
    "0\nENDTAB\n0\nENDSEC\n";

std::string line(const char* layer, const char* type) {
  return std::string("0\nLINE\n8\n") + layer + "\n6\n" + type + "\n10\n0\n20\n0\n11\n30\n21\n0\n";
}

TEST(DxfLineTypes, EntitiesDrawWithTheirResolvedLineType) {
  Dxf_Load load;
  load.text(kTables + "0\nSECTION\n2\nENTITIES\n" + line("0", "DASHED") + line("Hidden", "BYLAYER") +
            line("Hidden", "Continuous") + line("0", "BYLAYER") + line("0", "NOSUCHTYPE") + line("Ice", "DASHED") +
            "0\nENDSEC\n0\nEOF\n");
  ASSERT_TRUE(load.ok);
  const struct {
    bool dashed;
    int flag;
  } expected[] = {{true, 1}, {true, 1}, {false, 1}, {false, 1}, {false, 1}, {true, 0}};
  int i = 0;
  for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next(), ++i) {
    SCOPED_TRACE(i);
    ASSERT_LT(i, 6);
    MB_Line* e = static_cast<MB_Line*>(o);
    const MB_Line_Type* type = e->general().line_type();
    EXPECT_EQ(type != nullptr, expected[i].dashed);
    // The frozen layer's line stays in the drawing, not drawn.
    EXPECT_EQ(e->flag(), expected[i].flag);
    e->build_draw();
    if (!expected[i].dashed) {
      EXPECT_EQ(e->draw_node(), nullptr);
      continue;
    }
    EXPECT_STREQ(type->name(), "DASHED");
    EXPECT_EQ(type->scale(), 2.0);  // $LTSCALE
    // 30 units of a 1.5-unit round at scale 2: 20 dashes.
    auto* node = dynamic_cast<MB_Draw_Lines_Sets*>(e->draw_node());
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->ptset_count(), 20u);
  }
  EXPECT_EQ(i, 6);
}

// Inside a block too: the insert draws the block's lines of shown layers
// only, and the block keeps the others.
TEST(DxfLineTypes, BlockEntitiesOfFrozenLayersAreNotDrawn) {
  Dxf_Load load;
  load.text(kTables +
            "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nB\n70\n0\n10\n0\n20\n0\n"
            "0\nLINE\n8\nIce\n10\n0\n20\n2\n11\n20\n21\n2\n"
            "0\nLINE\n8\n0\n10\n0\n20\n6\n11\n20\n21\n6\n0\nENDBLK\n8\n0\n0\nENDSEC\n"
            "0\nSECTION\n2\nENTITIES\n0\nINSERT\n8\n0\n2\nB\n10\n4\n20\n0\n0\nENDSEC\n0\nEOF\n");
  ASSERT_TRUE(load.ok);
  auto* insert = load.first<MB_Insert>(ID::ID_INSERT);
  ASSERT_NE(insert, nullptr);
  ASSERT_NE(insert->block(), nullptr);
  EXPECT_EQ(insert->block()->object_list().count(), 2);
  PixelSet rows;
  for (const auto& p : dxf_painted(*load.drawing, 32, 16)) rows.insert({0, p.second});
  EXPECT_EQ(rows, (PixelSet{{0, 6}}));
}

}  // namespace
