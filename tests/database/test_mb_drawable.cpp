// The drawable base: general attributes, property numbers, the display
// colour, layers, precision, copies and undo of an attribute change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_settings.h"
#include "database/mb_undo_redo.h"
#include "test_entity.h"
#include "tests/support/background.h"

// Callers outside the kernel (scripts, the control's automation, stored
// drawings) name properties and snap kinds by number: the names must keep them.
static_assert(MB_PROP_START == -1 && MB_PROP_END == -2 && MB_PROP_CENTER == -3 && MB_PROP_MIDDLE == -4 &&
              MB_PROP_IMAGE_CENTER == -6 && MB_PROP_LENGTH == -100 && MB_PROP_AREA == -101 &&
              MB_PROP_ANGLE == -102 && MB_PROP_RADIUS == -103 && MB_PROP_MAJOR == -104 && MB_PROP_WIDTH == -109 &&
              MB_PROP_HEIGHT == -110 && MB_PROP_REAL_VAL == -114 && MB_PROP_USER_ID == -205 &&
              MB_PROP_ALPHA == -208 && MB_PROP_XDATA_TEXT == -302);
static_assert(MB_SNAP_POINT == 12 && MB_SNAP_START == 13 && MB_SNAP_END == 14 && MB_SNAP_CENTER == 16 &&
              MB_SNAP_INTERSECTION == 20 && MB_SNAP_VERTEX == 22 && MB_SNAP_NEAREST == 31 &&
              MB_SNAP_ON_CIRCLE == 33 && MB_SNAP_ON_CURVE == 35 && MB_SNAP_INSIDE == 50 && MB_SNAP_TEXT == 51);
static_assert(MB_BACKGROUND_COLOR == 0 && MB_CURRENT_COLOR == 1 && MB_RUBBER_COLOR == 2 && MB_SELECTION_COLOR == 3);

TEST(Drawable, DefaultsFromTheSettings) {
  Test_Line e;
  EXPECT_EQ(e.general().color(), 0xFFFFFF);
  EXPECT_EQ(e.general().display_color(), 0xFFFFFF);
  EXPECT_EQ(e.general().line_scale(), 2.0);
  EXPECT_EQ(e.general().width(), 0.4);
  EXPECT_EQ(e.general().thickness(), 0.0);
  EXPECT_EQ(e.flag(), 1);
  EXPECT_EQ(e.object_type(), MB_Object::TYPE_GEOM);
  EXPECT_EQ(e.draw_node(), nullptr);
  EXPECT_EQ(e.object_list(), nullptr);
}

// Entities share the records of their attributes: a change to one entity
// must reach only that entity, and every value must come back bit for bit.
TEST(Drawable, AttributesAreEachEntitysOwnAndExact) {
  Test_Line a, b;
  MB_Layer layer;
  a.general().width(-0.0);
  a.general().thickness(std::numeric_limits<double>::quiet_NaN());
  a.general().line_scale(1e-300);
  a.general().display_width(7);
  a.general().layer(&layer);
  EXPECT_TRUE(std::signbit(a.general().width()));
  EXPECT_TRUE(std::isnan(a.general().thickness()));
  EXPECT_EQ(a.general().line_scale(), 1e-300);
  EXPECT_EQ(a.general().display_width(), 7);
  EXPECT_EQ(a.general().layer(), &layer);
  // b still has the settings' values, and a copy of a is a until it changes.
  EXPECT_EQ(b.general().width(), 0.4);
  EXPECT_EQ(b.general().layer(), nullptr);
  MB_General c = a.general();
  c.width(0.0);
  EXPECT_FALSE(std::signbit(c.width()));
  EXPECT_TRUE(std::signbit(a.general().width()));
  EXPECT_TRUE(std::isnan(c.thickness()));
  // Back to the settings' values: equal to b in every attribute.
  a.general().width(0.4);
  a.general().thickness(0.0);
  a.general().line_scale(2.0);
  a.general().display_width(b.general().display_width());
  a.general().layer(nullptr);
  EXPECT_EQ(a.general().width(), b.general().width());
  EXPECT_FALSE(std::signbit(a.general().thickness()));
}

// Threads that set attributes at once each see their own values.
TEST(Drawable, AttributesSetOnManyThreadsStayApart) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      Test_Line e;
      for (int i = 0; i < 2000; ++i) {
        const double w = t * 10000 + i;
        e.general().width(w);
        e.general().display_width(t);
        if (e.general().width() != w || e.general().display_width() != t) ++wrong[size_t(t)];
      }
    });
  }
  for (std::thread& th : threads) th.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(Drawable, UnknownPropertyNumbersReadNeutralAndWriteNothing) {
  Test_Line e;
  e.set_real(MB_PROP_REAL_VAL, 2.5);
  e.set_int(MB_PROP_USER_ID, 77);
  e.set_string(MB_PROP_XDATA_TEXT, "note");
  EXPECT_EQ(e.get_real(MB_PROP_REAL_VAL), 2.5);
  EXPECT_EQ(e.get_int(MB_PROP_USER_ID), 77);
  EXPECT_STREQ(e.get_string(MB_PROP_XDATA_TEXT), "note");
  EXPECT_EQ(e.xdata().length(), 4);

  // Numbers nobody handles read as neutral values and write nothing.
  for (int id : {0, -1, -100, -113, -206, -301, 5}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(e.get_real(id), 0.0);
    EXPECT_EQ(e.get_int(id), 0);
    EXPECT_EQ(e.get_string(id), nullptr);
    EXPECT_TRUE(same_point(e.get_point(id), As_Pt(), 0.0));
    e.set_real(id, 9.0);
    e.set_int(id, 9);
    e.set_string(id, "x");
    e.set_point(id, As_Pt(9, 9, 9));
  }
  e.set_string(MB_PROP_XDATA_TEXT, nullptr);
  EXPECT_EQ(e.get_real(MB_PROP_REAL_VAL), 2.5);
  EXPECT_EQ(e.get_int(MB_PROP_USER_ID), 77);
  EXPECT_STREQ(e.get_string(MB_PROP_XDATA_TEXT), "note");
  EXPECT_EQ(e.real_val(), 2.5);
  EXPECT_EQ(e.user_id(), 77u);
}

TEST(Drawable, DisplayColourComplementsTheBackgroundOnly) {
  struct Case {
    int32_t background, display, expected;
  } cases[] = {
      {0x000000, 0x000000, 0xFFFFFF}, {0x000000, 0x000001, 0x000001}, {0x000000, 0x123456, 0x123456},
      {0xFFFFFF, 0xFFFFFF, 0x000000}, {0xFFFFFF, 0x000000, 0x000000}, {0x0000FF, 0x0000FF, 0xFFFF00},
  };
  for (const Case& c : cases) {
    Background bg(c.background);
    Test_Line e;
    e.general().display_color(c.display);
    e.build_color();
    EXPECT_EQ(e.general().display_color(), c.expected) << std::hex << c.background << " " << c.display;
    EXPECT_EQ(e.general().color(), 0xFFFFFF);
  }
}

TEST(Drawable, SaveFlagHasOneBitPerFieldThatIsSet) {
  Test_Line e;
  EXPECT_EQ(e.build_save_flag(), 0u);
  e.user_id(3);
  EXPECT_EQ(e.build_save_flag(), 0x2u);
  e.set_id(1);
  e.string() = "s";
  e.real_val(0.5);
  e.xdata().buffer("ab", 2);
  EXPECT_EQ(e.build_save_flag(), 0x1Fu);
  EXPECT_EQ(e.save_flag(), 0x1Fu);
}

TEST(Drawable, EachClassHasItsDefaultPrecisionAndNegativeRestoresIt) {
  struct Case {
    MB_Object::MB_ID id;
    int32_t expected;
  } cases[] = {{MB_Object::ID_ARC, 30},      {MB_Object::ID_BSPLINE, 100}, {MB_Object::ID_ELLIPSE, 80},
               {MB_Object::ID_ELLIPSE_ARC, 60}, {MB_Object::ID_POLYLINE, 10}, {MB_Object::ID_CIRCLE, 60},
               {MB_Object::ID_LINE, 60}};
  for (const Case& c : cases) {
    Test_Line e(As_Pt(), As_Pt(), c.id);
    EXPECT_EQ(e.get_draw_precision(), c.expected) << c.id;
    e.draw_precision(12);
    EXPECT_EQ(e.get_draw_precision(), 12);
    e.draw_precision(-3);
    EXPECT_EQ(e.get_draw_precision(), c.expected);
  }
}

TEST(Drawable, SetLayerComparesNamesExactly) {
  MB_Drawing drawing;
  auto* shown = new MB_Layer(MB_String("Walls"));
  shown->visibility(true);
  shown->id(4);
  auto* hidden = new MB_Layer(MB_String("hidden"));
  hidden->id(5);
  drawing.layer_list().add_tail(shown);
  drawing.layer_list().add_tail(hidden);

  Test_Line e;
  e.flag(2);
  e.set_layer(MB_String("walls"), drawing);
  EXPECT_EQ(e.general().layer(), nullptr);
  e.set_layer(MB_String("Walls"), drawing);
  EXPECT_EQ(e.general().layer(), shown);
  EXPECT_EQ(e.flag(), 2) << "a visible layer leaves the flag alone";
  e.set_layer(uint16_t(5), drawing);
  EXPECT_EQ(e.general().layer(), hidden);
  EXPECT_EQ(e.flag(), 0);
  e.set_layer(uint16_t(99), drawing);
  EXPECT_EQ(e.general().layer(), hidden);
}

TEST(Drawable, FlagReachesTheDisplayNode) {
  Test_Line e(As_Pt(0, 0, 0), As_Pt(1, 1, 0));
  e.build_draw();
  ASSERT_NE(e.draw_node(), nullptr);
  e.flag(2);
  EXPECT_TRUE(e.is_selected());
  EXPECT_EQ(e.draw_node()->flag(), 2);
  e.build_draw();  // the old node is freed
  e.build_draw_node_with_ltype(e.edge());
  EXPECT_EQ(e.draw_node(), nullptr);
}

TEST(Drawable, CopiesOwnWhatTheyHold) {
  Test_Line e(As_Pt(0, 0, 0), As_Pt(1, 1, 0));
  e.xdata().buffer("xdata", 5);
  e.object_list(new MB_Object_List);
  e.object_list()->add_tail(new Test_Line(As_Pt(2, 2, 0), As_Pt(3, 3, 0)));
  e.build_draw();

  Test_Line copy(e);
  EXPECT_EQ(copy.draw_node(), nullptr);
  EXPECT_NE(copy.xdata().data(), e.xdata().data());
  EXPECT_STREQ(copy.xdata().data(), "xdata");
  ASSERT_NE(copy.object_list(), nullptr);
  ASSERT_NE(copy.object_list(), e.object_list());
  ASSERT_EQ(copy.object_list()->count(), 1);
  EXPECT_NE(copy.object_list()->head(), e.object_list()->head());

  Test_Line assigned;
  assigned.build_draw();
  assigned = e;
  EXPECT_EQ(assigned.draw_node(), nullptr);
  EXPECT_EQ(assigned.object_list()->count(), 1);
  assigned = assigned;
  EXPECT_STREQ(assigned.xdata().data(), "xdata");

  MB_Object* target = nullptr;
  EXPECT_FALSE(static_cast<MB_Drawable&>(e).MB_Drawable::copy_to(target));
  ASSERT_TRUE(e.copy_to(target));
  Test_Line* made = static_cast<Test_Line*>(target);
  EXPECT_TRUE(same_point(made->start(), As_Pt(0, 0, 0), 0.0));
  EXPECT_STREQ(made->get_string(MB_PROP_XDATA_TEXT), "xdata");
  EXPECT_EQ(made->object_list()->count(), 1);
  delete made;
}

// The items few entities set live apart from the entity: copying an entity
// that has none onto one that has them must still clear every one of them.
TEST(Drawable, CopyOfAPlainEntityClearsTheSeldomItems) {
  const Test_Line plain(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  EXPECT_EQ(plain.user_id(), 0u);
  EXPECT_TRUE(plain.string().is_empty());
  EXPECT_TRUE(plain.xdata().is_empty());
  EXPECT_EQ(plain.object_list(), nullptr);
  EXPECT_EQ(plain.owner(), nullptr);

  auto fill = [](Test_Line& e, Test_Line* owner) {
    e.user_id(7);
    e.string() = "s";
    e.real_val(2.5);
    e.xdata().buffer("x", 1);
    e.owner(owner);
    e.draw_precision(5);
    e.object_list(new MB_Object_List);
    e.object_list()->add_tail(new Test_Line);
  };
  auto expect_plain = [](const Test_Line& e) {
    EXPECT_EQ(e.user_id(), 0u);
    EXPECT_TRUE(e.string().is_empty());
    EXPECT_EQ(e.real_val(), 0.0);
    EXPECT_TRUE(e.xdata().is_empty());
    EXPECT_EQ(e.owner(), nullptr);
    EXPECT_EQ(e.object_list(), nullptr);
  };
  Test_Line owner;
  Test_Line assigned;
  fill(assigned, &owner);
  EXPECT_EQ(assigned.owner(), &owner);
  EXPECT_EQ(assigned.get_draw_precision(), 5);
  assigned = plain;
  expect_plain(assigned);
  EXPECT_EQ(assigned.draw_precision(), 0);

  Test_Line target;
  fill(target, &owner);
  MB_Object* t = &target;
  ASSERT_TRUE(const_cast<Test_Line&>(plain).MB_Drawable::copy_to(t));
  expect_plain(target);
  EXPECT_EQ(target.draw_precision(), 5);  // not an item a copy_to carries
}

TEST(Drawable, UndoRestoresAnAttributeChange) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  auto* e = new Test_Line(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  drawing.object_list().add_tail(e);
  e->general().color(0x00FF00);
  e->general().display_color(0x00FF00);

  store.rec_cmd_begin("colour");
  e->bakup();
  e->general().color(0x0000FF);
  e->general().display_color(0x0000FF);
  e->set_int(MB_PROP_USER_ID, 12);
  store.rec_cmd_end();

  As_Void_List touched;
  store.undo(touched);
  EXPECT_EQ(e->general().color(), 0x00FF00);
  EXPECT_EQ(e->general().display_color(), 0x00FF00);
  EXPECT_EQ(e->user_id(), 0u);
  EXPECT_EQ(touched.first(), e);

  store.redo(touched);
  EXPECT_EQ(e->general().color(), 0x0000FF);
  EXPECT_EQ(e->general().display_color(), 0x0000FF);
  EXPECT_EQ(e->user_id(), 12u);
}
