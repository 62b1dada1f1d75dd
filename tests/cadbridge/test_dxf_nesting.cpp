// A small DXF whose blocks insert each other nine times over nine levels
// (82 inserts, 387 million lines if expanded): it loads, builds and draws
// at once, the walk cut by the kernel's object budget.
#include <gtest/gtest.h>

#include <string>

#include "database/mb_drawable.h"
#include "surface/cmydc.h"
#include "tests/cadbridge/dxf_fixture.h"
#include "tests/surface/surface_probe.h"

namespace {

std::string nested_blocks() {
  std::string s = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nL0\n70\n0\n10\n0\n20\n0\n"
                  "0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDBLK\n";
  for (int level = 1; level <= 9; ++level) {
    s += "0\nBLOCK\n8\n0\n2\nL" + std::to_string(level) + "\n70\n0\n10\n0\n20\n0\n";
    for (int k = 0; k < 9; ++k)
      s += "0\nINSERT\n8\n0\n2\nL" + std::to_string(level - 1) + "\n10\n" + std::to_string(k) + "\n20\n0\n";
    s += "0\nENDBLK\n";
  }
  return s + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nINSERT\n8\n0\n2\nL9\n10\n0\n20\n0\n0\nENDSEC\n0\nEOF\n";
}

TEST(DxfNesting, BlocksThatMultiplyDrawWithinTheBudget) {
  Dxf_Load load;
  load.text(nested_blocks(), "nested.dxf");
  ASSERT_TRUE(load.ok);
  EXPECT_FALSE(dxf_painted(*load.drawing, 64, 64).empty());
}

}  // namespace
