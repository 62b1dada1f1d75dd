// Extents queries over one entity and over lists of entities.
#include <gtest/gtest.h>

#include "../database/test_entity.h"
#include "database/mb_layer.h"
#include "database/mb_linetype.h"
#include "api/api_extents.h"

#include <memory>

namespace {

Test_Line* entity(double l, double t, double r, double b) {
  auto* e = new Test_Line;
  e->edit_rect().set_rect(As_Pt(l, t, 0), As_Pt(r, b, 0));
  return e;
}

bool same_rect(const As_Rect& r, double l, double t, double ri, double b) {
  return same_point(r.lt(), As_Pt(l, t, 0), 0.0) && same_point(r.rb(), As_Pt(ri, b, 0), 0.0);
}

}  // namespace

TEST(Extents, ADrawableGivesItsExtentsAndAnythingElseLeavesTheRect) {
  std::unique_ptr<Test_Line> e(entity(0, 10, 5, 0));
  As_Rect r(As_Pt(-1, -1, 0), As_Pt(-2, -2, 0));
  api_mb_get_entity_rect(e.get(), r, nullptr);
  EXPECT_TRUE(same_rect(r, 0, 10, 5, 0));

  As_Rect kept(As_Pt(1, 2, 0), As_Pt(3, 0, 0));
  MB_Layer layer;
  api_mb_get_entity_rect(&layer, kept, nullptr);
  EXPECT_TRUE(same_rect(kept, 1, 2, 3, 0));
  api_mb_get_entity_rect(nullptr, kept, nullptr);
  EXPECT_TRUE(same_rect(kept, 1, 2, 3, 0));
  MB_Line_Type other;
  api_mb_get_entity_rect(&other, kept, nullptr);
  EXPECT_TRUE(same_rect(kept, 1, 2, 3, 0));
}

TEST(Extents, ListsUnionTheirEntities) {
  MB_Object_List objects;
  As_Void_List pointers;
  As_Rect r(As_Pt(7, 7, 0), As_Pt(8, 6, 0));

  EXPECT_FALSE(api_mb_get_entity_list_rect(objects, r));
  EXPECT_FALSE(api_mb_get_entity_list_rect(pointers, r));
  EXPECT_TRUE(same_rect(r, 7, 7, 8, 6)) << "an empty list leaves the rectangle";

  objects.add_tail(new MB_Layer);  // not an entity: passed over
  EXPECT_FALSE(api_mb_get_entity_list_rect(objects, r));

  Test_Line* a = entity(0, 10, 5, 0);
  objects.add_tail(a);
  pointers.add(a);
  EXPECT_TRUE(api_mb_get_entity_list_rect(objects, r));
  EXPECT_TRUE(same_rect(r, 0, 10, 5, 0));

  Test_Line* b = entity(3, 12, 8, 2);
  objects.add_tail(b);
  pointers.add(nullptr);
  pointers.add(b);
  EXPECT_TRUE(api_mb_get_entity_list_rect(objects, r));
  EXPECT_TRUE(same_rect(r, 0, 12, 8, 0));
  As_Rect from_pointers;
  EXPECT_TRUE(api_mb_get_entity_list_rect(pointers, from_pointers));
  EXPECT_TRUE(same_rect(from_pointers, 0, 12, 8, 0));
}
