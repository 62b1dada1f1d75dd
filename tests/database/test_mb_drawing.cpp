// The drawing: the current drawing, its tables and look-ups, building the
// display, and the running origin of the native format.
#include <gtest/gtest.h>

#include <memory>

#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_linetype.h"
#include "database/mb_rendition.h"
#include "test_entity.h"

TEST(Drawing, EachNewDrawingIsCurrentAndDyingClearsIt) {
  auto first = std::make_unique<MB_Drawing>();
  EXPECT_EQ(g_current_drawing, first.get());
  auto second = std::make_unique<MB_Drawing>(MB_String("plan.kzf"));
  EXPECT_EQ(g_current_drawing, second.get());
  EXPECT_STREQ(second->filename().ascii(), "plan.kzf");
  first.reset();
  EXPECT_EQ(g_current_drawing, second.get());
  second.reset();
  EXPECT_EQ(g_current_drawing, nullptr);
}

TEST(Drawing, FreesEveryListItOwns) {
  MB_Drawing d;
  MB_Object_List* lists[] = {&d.object_list(),    &d.hide_list(),       &d.named_view_list(), &d.view_port_list(),
                             &d.layout_list(),    &d.block_list(),      &d.layer_list(),      &d.dim_style_list(),
                             &d.text_style_list(), &d.shp_list(),       &d.line_type_list(),  &d.mline_type_list(),
                             &d.hatch_type_list()};
  for (MB_Object_List* l : lists) {
    l->add_tail(new MB_Named_View);
    l->add_tail(new MB_Width(1.0));
  }
  d.object_list().add_tail(new Test_Line);
  // The leak checker reports anything left behind.
}

TEST(Drawing, LayersAreFoundByNameInAnyCaseOrByIndex) {
  MB_Drawing d;
  auto* layer0 = new MB_Layer;
  auto* first_a = new MB_Layer(MB_String("a"));
  auto* second_a = new MB_Layer(MB_String("A"));
  d.layer_list().add_tail(layer0);
  d.layer_list().add_tail(new MB_Named_View);  // not a layer: passed over
  d.layer_list().add_tail(first_a);
  d.layer_list().add_tail(second_a);

  EXPECT_EQ(d.find_layer("LAYER0"), layer0);
  EXPECT_EQ(d.find_layer("LaYeR0"), layer0);
  EXPECT_EQ(d.find_layer("A"), first_a);
  EXPECT_EQ(d.find_layer("b"), nullptr);
  EXPECT_EQ(d.find_layer(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(d.find_layer(0ul), layer0);
  EXPECT_EQ(d.find_layer(2ul), second_a);
  EXPECT_EQ(d.find_layer(3ul), nullptr);
  EXPECT_EQ(d.find_block(nullptr), nullptr);
  EXPECT_EQ(d.find_block("anything"), nullptr);
  EXPECT_EQ(d.find_text_style(nullptr), nullptr);
}

TEST(Drawing, LineTypesAreFoundInAnyCaseAndByLayerMeansTheLayers) {
  MB_Drawing d;
  auto* dashed = new MB_Line_Type;
  dashed->name("dashed");
  auto* named_bylayer = new MB_Line_Type;
  named_bylayer->name("bylayer");
  d.line_type_list().add_tail(dashed);
  d.line_type_list().add_tail(named_bylayer);
  MB_Layer layer;
  MB_Line_Type layer_type;
  layer.line_type(&layer_type);

  EXPECT_EQ(d.find_line_type("DASHED", nullptr), dashed);
  EXPECT_EQ(d.find_line_type("ByLayer", &layer), &layer_type);
  EXPECT_EQ(d.find_line_type("BYLAYER", nullptr), named_bylayer);
  EXPECT_EQ(d.find_line_type("dashdot", &layer), nullptr);
  EXPECT_EQ(d.find_line_type(nullptr, &layer), nullptr);
}

TEST(Drawing, ObjectsGoToTheEntityList) {
  MB_Drawing d;
  d.add_object(nullptr);
  EXPECT_TRUE(d.object_list().is_empty());
  auto* e = new Test_Line;
  d.add_object_merge(e);
  EXPECT_EQ(d.object_list().tail(), e);
  EXPECT_EQ(&d.get_active_object_list(), &d.object_list());
}

// The drawing's layouts: the active one's objects are the ones edited, and
// the drawing destroys its layouts with their objects.
TEST(Drawing, TheActiveLayoutsObjectsAreEditedAndLayoutsDieWithTheDrawing) {
  auto* sheet = new MB_Layout;
  sheet->name() = MB_String("Sheet 1");
  auto* on_sheet = new Test_Line;
  sheet->object_list().add_tail(on_sheet);
  {
    MB_Drawing d;
    d.layout_list().add_tail(sheet);
    EXPECT_EQ(d.layout_list().head(), sheet);
    d.active_layout(sheet);
    EXPECT_EQ(&d.get_active_object_list(), &sheet->object_list());
    EXPECT_TRUE(sheet->object_list().contains(on_sheet));
    d.active_layout(nullptr);
    EXPECT_EQ(&d.get_active_object_list(), &d.object_list());
  }
  // Destroyed with the drawing (the address checker reports a leak otherwise).
}

TEST(Drawing, BuildDrawHidesEntitiesOnInvisibleLayers) {
  MB_Drawing d;
  auto* frozen = new MB_Layer(MB_String("frozen"));
  frozen->visibility(true);
  frozen->freeze(true);
  auto* shown = new MB_Layer(MB_String("shown"));
  shown->visibility(true);
  d.layer_list().add_tail(frozen);
  d.layer_list().add_tail(shown);

  auto* on_frozen = new Test_Line(As_Pt(0, 0, 0), As_Pt(1, 1, 0));
  on_frozen->general().layer(frozen);
  auto* on_shown = new Test_Line(As_Pt(0, 0, 0), As_Pt(2, 3, 0));
  on_shown->general().layer(shown);
  on_shown->general().display_color(0);  // the background: drawn in its complement
  d.add_object(on_frozen);
  d.add_object(on_shown);
  d.object_list().add_tail(new MB_Width);  // not an entity: passed over

  d.build_draw();
  EXPECT_EQ(on_frozen->flag(), 0);
  EXPECT_EQ(on_shown->flag(), 1);
  ASSERT_NE(on_shown->draw_node(), nullptr);
  EXPECT_EQ(on_shown->general().display_color(), 0xFFFFFF);
  EXPECT_EQ(on_shown->rect().lt().y(), 3.0);

  frozen->freeze(false);
  d.build_layer(frozen);
  EXPECT_EQ(on_frozen->flag(), 1);
  shown->visibility(false);
  d.build_layer(shown);
  EXPECT_EQ(on_shown->flag(), 0);
  d.build_layer(nullptr);
}

TEST(Drawing, PositionsAreWrittenAndReadRelativeToTheLastOne) {
  MB_Drawing d;
  As_Pt a(5, 5, 0), b(7, 4, 1);
  d.fo_position(a);
  d.fo_position(b);
  EXPECT_TRUE(same_point(a, As_Pt(5, 5, 0), 0.0));
  EXPECT_TRUE(same_point(b, As_Pt(2, -1, 1), 0.0));
  d.reset_origin();
  d.fi_position(a);
  d.fi_position(b);
  EXPECT_TRUE(same_point(a, As_Pt(5, 5, 0), 0.0));
  EXPECT_TRUE(same_point(b, As_Pt(7, 4, 1), 0.0));
}

TEST(Drawing, SummaryStartsFilledJoinsRevisionsAndFlagTwoStopsTextExport) {
  MB_Drawing d;
  MB_Drawing_Info& info = d.info();
  EXPECT_STREQ(info.entry(MB_Drawing_Info::DESCRIPTION).ascii(), "Descpiption");
  EXPECT_STREQ(info.entry(MB_Drawing_Info::REVISION2).ascii(), "123");
  info.major_revision(3);
  info.minor_revision(7);
  EXPECT_EQ(info.decimal_revision(), 307);
  EXPECT_TRUE(info.is_expore_text());
  info.flag(2);
  EXPECT_FALSE(info.is_expore_text());
}
