// Colours that annotation parts take from their dimension style.
#include <gtest/gtest.h>

#include <string>

#include "exchange/cadbridge/dxf_builder.h"
#include "tests/cadbridge/dxf_fixture.h"

// A leader's line and arrow take the colour of dimension lines (DIMCLRD) of
// its style or of its own override; of BYBLOCK or BYLAYER, the leader's.
TEST(DxfAnnotationColours, LeaderTakesTheDimensionLineColour) {
  const uint32_t red = dxf_aci_color(1), green = dxf_aci_color(3), blue = dxf_aci_color(5);
  struct Case {
    const char* what;
    const char* style_colour;  // DIMCLRD of the style "S"
    const char* override_groups;
    uint32_t drawn;
  };
  const Case cases[] = {
      {"of the style", "3", "", green},
      {"of its override", "3", "1001\nACAD\n1000\nDSTYLE\n1002\n{\n1070\n41\n1040\n2\n1070\n176\n1070\n5\n1002\n}\n",
       blue},
      {"BYBLOCK: the leader's", "0", "", red},
      {"BYLAYER: the leader's", "256", "", red},
      {"an override of BYBLOCK: the leader's", "3", "1001\nACAD\n1000\nDSTYLE\n1002\n{\n1070\n176\n1070\n0\n1002\n}\n",
       red},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Dxf_Load load;
    load.text(
        std::string("0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nDIMSTYLE\n70\n1\n0\nDIMSTYLE\n2\nS\n70\n0\n176\n") +
        c.style_colour + "\n0\nENDTAB\n0\nENDSEC\n" +
        dxf_entities(std::string("0\nLEADER\n8\n0\n62\n1\n3\nS\n71\n1\n72\n0\n76\n2\n10\n0\n20\n0\n30\n0\n10\n10\n"
                                 "20\n10\n30\n0\n") +
                     c.override_groups));
    ASSERT_TRUE(load.ok);
    size_t parts = 0;
    for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next(), ++parts) {
      EXPECT_EQ(uint32_t(static_cast<MB_Drawable*>(o)->general().display_color()), c.drawn);
    }
    EXPECT_EQ(parts, 2u);  // the line and its arrow
  }
}
