// Flat API creators of points, lines, solids, texts, blocks, inserts and
// table entries; the make functions of straight entities and texts.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "api/api_create.h"
#include "api/api_create_curves.h"
#include "api/api_hatch.h"
#include "api/api_make.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_dimension.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_point.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/mb_color.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_settings.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_loop.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

namespace {

template <class T>
T* as(intptr_t e) {
  return reinterpret_cast<T*>(e);
}

void expect_points(const As_Pt_Set& set, const std::vector<As_Pt>& want) {
  ASSERT_EQ(set.count(), static_cast<int>(want.size()));
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(set.points()[i].x(), want[i].x()) << "point " << i;
    EXPECT_EQ(set.points()[i].y(), want[i].y()) << "point " << i;
    EXPECT_EQ(set.points()[i].z(), want[i].z()) << "point " << i;
  }
}

int entity_count(MB_Drawing& d) { return d.object_list().count(); }

TEST(ApiCreate, WithoutACurrentDrawingNothingIsMade) {
  ASSERT_EQ(g_current_drawing, nullptr);
  const double p[3] = {1, 2, 0};
  double x[3] = {0, 1, 2}, y[3] = {0, 1, 0};
  As_Pt pts[2] = {As_Pt(0, 0, 0), As_Pt(1, 1, 0)};
  double zeros[2] = {0, 0};
  As_Pt c(0, 0, 0);
  As_Void_List loops, entities;
  As_Loop loop(pts, 2);
  loops.add(&loop);
  MB_Line held(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  entities.add(&held);
  MB_Solid* solid = nullptr;
  MB_Point* point = nullptr;
  MB_Line* line = nullptr;
  MB_Lines* lines = nullptr;
  MB_Polyline* pline = nullptr;
  MB_Text* text = nullptr;
  MB_Block* block = nullptr;
  MB_Insert* insert = nullptr;
  MB_Text_Style* style = nullptr;
  MB_Layer* layer = nullptr;
  MB_Drawable* entity = &held;
  const std::vector<std::function<intptr_t()>> calls = {
      [&] { return intptr_t(api_mb_create_solid(solid, p, p, p, p, 4)); },
      [&] { return api_mb_create_solid(x, y, 3); },
      [&] { return intptr_t(api_mb_create_point(point, p)); },
      [&] { return api_mb_create_point(c); },
      [&] { return intptr_t(api_mb_create_line(line, c, c)); },
      [&] { return intptr_t(api_mb_create_line(line, p, p)); },
      [&] { return api_mb_create_lines(x, y, 3); },
      [&] { return intptr_t(api_mb_create_lines(lines, 3)); },
      [&] { return api_mb_create_rect(0, 0, 1, 1); },
      [&] { return api_mb_create_circle(0, 0, 1); },
      [&] { return api_mb_create_arc(p, 1, 0, 1); },
      [&] { return api_mb_create_ellipse(c, 2, 1, 0); },
      [&] { return api_mb_create_ellipse_arc(c, 2, 1, 0, 0, 1); },
      [&] { return api_mb_create_bspline(pts, 2, 0, 0, 0, 0, 0, 0); },
      [&] { return intptr_t(api_mb_create_polyline(pline, 2, false)); },
      [&] { return api_mb_create_polyline(2, pts, zeros, zeros, zeros, 0); },
      [&] { return intptr_t(api_mb_create_hatch(loops, nullptr, 1, 0, 0)); },
      [&] { return intptr_t(api_mb_create_text(text, "t", nullptr, p, 1, 1, 0)); },
      [&] { return intptr_t(api_mb_create_block(block, "b", p)); },
      [&] { return intptr_t(api_mb_end_block(block)); },
      [&] { return api_mb_create_block("b", "d", c, entities); },
      [&] { return intptr_t(api_mb_create_insert(insert, p, 1, 1, 1, 0, "b")); },
      [&] { return api_mb_create_insert("b", c, 1, 1, 1, 0, true); },
      [&] { return intptr_t(api_mb_create_text_style(style, "s", "txt.shx", "", 1, 1, 0, 0, 0, 0)); },
      [&] { return intptr_t(api_mb_create_layer(layer, "l", 0, 0, true, false, false)); },
      [&] { return intptr_t(api_set_drawable_prop(entity, 5, 0, 0)); },
      [&] { return api_mb_create_dimension("t", "b", "s", p, p, p, p, p, p, p, 0, 0, 0, 0, 0, 0, 0); },
      [&] {
        const int32_t colors[3] = {};
        const unsigned short ints[13] = {};
        const double reals[16] = {};
        return api_mb_create_dim_style("s", "t", colors, ints, reals);
      },
  };
  for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i](), 0) << "call " << i;
  EXPECT_TRUE(solid == nullptr && point == nullptr && line == nullptr && lines == nullptr && pline == nullptr &&
              text == nullptr && block == nullptr && insert == nullptr && style == nullptr && layer == nullptr);
  EXPECT_EQ(held.general().color(), MB_General().color());
  // By layer, with no drawing to hold the layer: the current colour.
  EXPECT_EQ(api_mb_get_color_byindex(256, 0), static_cast<COLORREF>(g_system_setting.get_long_val(MB_CURRENT_COLOR)));
}

TEST(ApiCreate, BlockBracketCollectsTheCreations) {
  MB_Drawing d;
  api_mb_create_circle(0, 0, 1);
  const double base[3] = {1, 1, 0};
  MB_Block* block = nullptr;
  ASSERT_TRUE(api_mb_create_block(block, "door", base));
  EXPECT_EQ(d.temp_block(), block);
  EXPECT_EQ(block->desc().ascii(), std::string(" "));
  EXPECT_FALSE(d.block_list().contains(block));

  // A second block while one is open is refused; the first stays open.
  MB_Block* other = nullptr;
  EXPECT_FALSE(api_mb_create_block(other, "window", base));
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(d.temp_block(), block);

  MB_Line* line = nullptr;
  ASSERT_TRUE(api_mb_create_line(line, As_Pt(0, 0, 0), As_Pt(1, 0, 0)));
  const intptr_t rect = api_mb_create_rect(0, 0, 10, 5);
  const intptr_t circle = api_mb_create_circle(0, 0, 2);
  EXPECT_EQ(entity_count(d), 1);
  ASSERT_EQ(block->object_list().count(), 3);
  EXPECT_EQ(block->object_list().head(), line);
  EXPECT_EQ(block->object_list().get(1), as<MB_Object>(rect));
  EXPECT_EQ(block->object_list().tail(), as<MB_Object>(circle));

  MB_Block* stranger = reinterpret_cast<MB_Block*>(circle);
  EXPECT_FALSE(api_mb_end_block(stranger));
  ASSERT_TRUE(api_mb_end_block(block));
  EXPECT_EQ(d.temp_block(), nullptr);
  EXPECT_EQ(d.block_list().tail(), block);
  EXPECT_FALSE(api_mb_end_block(block));  // twice
  EXPECT_EQ(d.block_list().count(), 1);

  api_mb_create_point(As_Pt(3, 3, 0));
  EXPECT_EQ(entity_count(d), 2);
  EXPECT_EQ(block->object_list().count(), 3);

  // A block left open dies with its drawing.
  MB_Block* open = nullptr;
  EXPECT_TRUE(api_mb_create_block(open, "left open", base));
  api_mb_create_circle(0, 0, 3);
}

TEST(ApiCreate, SolidsDropRepeatedPointsAndBadCountsCreateNothing) {
  MB_Drawing d;
  expect_points(*as<MB_Lines>(api_mb_create_rect(0, 0, 10, 5)),
                {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(10, 5, 0), As_Pt(0, 5, 0), As_Pt(0, 0, 0)});

  const struct {
    std::vector<double> x, y;
    std::vector<As_Pt> corners;
  } solids[] = {
      // The fifth point repeats the first.
      {{0, 4, 4, 0, 0}, {0, 0, 3, 3, 0}, {As_Pt(0, 0, 0), As_Pt(4, 0, 0), As_Pt(4, 3, 0), As_Pt(0, 3, 0)}},
      // Two equal points in a row count once.
      {{0, 4, 4, 4, 0}, {0, 0, 3, 3, 3}, {As_Pt(0, 0, 0), As_Pt(4, 0, 0), As_Pt(4, 3, 0), As_Pt(0, 3, 0)}},
      {{0, 2, 1}, {0, 0, 2}, {As_Pt(0, 0, 0), As_Pt(2, 0, 0), As_Pt(1, 2, 0)}},
  };
  for (auto s : solids) {
    const intptr_t e = api_mb_create_solid(s.x.data(), s.y.data(), static_cast<int>(s.x.size()));
    ASSERT_NE(e, 0);
    expect_points(*as<MB_Solid>(e), s.corners);
    EXPECT_EQ(as<MB_Object>(e), d.object_list().tail());
  }

  const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {1, 1, 0}, e[3] = {0, 1, 0};
  MB_Solid* solid = nullptr;
  EXPECT_FALSE(api_mb_create_solid(solid, a, b, c, e, 3));
  EXPECT_FALSE(api_mb_create_solid(solid, a, b, nullptr, e, 4));
  EXPECT_EQ(solid, nullptr);
  ASSERT_TRUE(api_mb_create_solid(solid, a, b, c, e, 5));
  expect_points(*solid, {As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(1, 1, 0), As_Pt(0, 1, 0), As_Pt(0, 0, 0)});

  const int before = entity_count(d);
  double x[2] = {0, 1}, y[2] = {0, 1};
  EXPECT_EQ(api_mb_create_lines(x, y, 1), 0);
  EXPECT_EQ(api_mb_create_lines(nullptr, y, 2), 0);
  EXPECT_EQ(api_mb_create_solid(x, nullptr, 2), 0);
  MB_Lines* lines = nullptr;
  EXPECT_FALSE(api_mb_create_lines(lines, 1));
  MB_Polyline* pline = nullptr;
  EXPECT_FALSE(api_mb_create_polyline(pline, 0, false));
  EXPECT_FALSE(api_mb_create_polyline(pline, 0x10000, false));
  As_Pt one[1] = {As_Pt(0, 0, 0)};
  double w[1] = {0};
  EXPECT_EQ(api_mb_create_polyline(0, one, w, w, w, 1), 0);
  EXPECT_EQ(api_mb_create_polyline(1, one, w, nullptr, w, 1), 0);
  EXPECT_EQ(entity_count(d), before);

  // Points of a chain are set one by one, within the chain only.
  ASSERT_TRUE(api_mb_create_lines(lines, 3));
  MB_Drawable* chain = lines;
  EXPECT_TRUE(api_mb_set_ptset_pos(chain, 2, 7, 8, 9));
  for (int bad : {-1, 3}) EXPECT_FALSE(api_mb_set_ptset_pos(chain, bad, 1, 1, 1));
  expect_points(*lines, {As_Pt(0, 0, 0), As_Pt(0, 0, 0), As_Pt(7, 8, 9)});
  MB_Drawable* circle = as<MB_Drawable>(api_mb_create_circle(0, 0, 1));
  EXPECT_TRUE(api_mb_set_ptset_pos(circle, 0, 5, 5, 5));
  EXPECT_EQ(static_cast<MB_Circle*>(circle)->center().x(), 0);
  MB_Drawable* none = nullptr;
  EXPECT_FALSE(api_mb_set_ptset_pos(none, 0, 0, 0, 0));

  ASSERT_TRUE(api_mb_create_polyline(pline, 2, false));
  for (int bad : {-1, 2}) EXPECT_FALSE(api_mb_set_pline_pos(pline, bad, 1, 1, 0));
}

TEST(ApiCreate, BlocksCopyEntitiesToTheBaseAndLooseInsertsAreNotRecorded) {
  MB_Drawing d;
  MB_Line* line = nullptr;
  ASSERT_TRUE(api_mb_create_line(line, As_Pt(10, 10, 0), As_Pt(12, 10, 0)));
  As_Void_List picked;
  EXPECT_EQ(api_mb_create_block("empty", "", As_Pt(), picked), 0);
  picked.add(line);
  MB_Block* block = as<MB_Block>(api_mb_create_block("mark", "a mark", As_Pt(10, 10, 0), picked));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(d.block_list().tail(), block);
  EXPECT_EQ(block->base_pos().x(), 0);
  MB_Line* copy = dynamic_cast<MB_Line*>(block->object_list().head());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, line);
  EXPECT_EQ(copy->start().x(), 0);
  EXPECT_EQ(copy->end().x(), 2);
  EXPECT_EQ(line->start().x(), 10);  // the original stays where it was
  EXPECT_EQ(d.object_list().head(), line);

  // A negative x scale mirrors the block: its point (2, 0) lands at (-2, 0)
  // about the insertion point, turned by the angle.
  const double at[3] = {5, 5, 0};
  MB_Insert* insert = nullptr;
  ASSERT_TRUE(api_mb_create_insert(insert, at, -1, 1, 1, qm_pi / 2, "MARK"));
  EXPECT_EQ(insert->block(), block);
  EXPECT_EQ(d.object_list().tail(), insert);
  const As_Pt placed = As_Pt(2, 0, 0) * insert->trans();
  EXPECT_NEAR(placed.x(), 5, 1e-12);
  EXPECT_NEAR(placed.y(), 3, 1e-12);

  // Not appended: in no list, and not recorded, so the caller may free it.
  MB_Undo_Redo store(&d);
  store.rec_cmd_begin("insert");
  const int before = entity_count(d);
  MB_Insert* loose = as<MB_Insert>(api_mb_create_insert("mark", As_Pt(0, 0, 0), 1, 1, 1, 0, false));
  ASSERT_NE(loose, nullptr);
  store.rec_cmd_end();
  EXPECT_EQ(loose->owner_list(), nullptr);
  EXPECT_EQ(loose->block(), block);
  EXPECT_EQ(entity_count(d), before);
  delete loose;
  As_Void_List touched;
  store.undo(touched);
  store.redo(touched);
  EXPECT_EQ(entity_count(d), before);
}

TEST(ApiCreate, CreationsInsideACommandUndoAndRedo) {
  MB_Drawing d;
  MB_Undo_Redo store(&d);
  store.rec_cmd_begin("draw");
  MB_Line* line = nullptr;
  api_mb_create_line(line, As_Pt(0, 0, 0), As_Pt(1, 1, 0));
  const intptr_t rect = api_mb_create_rect(0, 0, 2, 2);
  const intptr_t point = api_mb_create_point(As_Pt(4, 4, 0));
  store.rec_cmd_end();
  ASSERT_EQ(entity_count(d), 3);
  As_Void_List touched;
  store.undo(touched);
  EXPECT_EQ(entity_count(d), 0);
  store.redo(touched);
  ASSERT_EQ(entity_count(d), 3);
  EXPECT_EQ(d.object_list().head(), line);
  EXPECT_EQ(d.object_list().get(1), as<MB_Object>(rect));
  EXPECT_EQ(d.object_list().tail(), as<MB_Object>(point));
}

TEST(ApiCreate, UnknownStylesFallBackToTheDefaultAndColourIndexesResolve) {
  MB_Drawing d;
  MB_Text_Style* style = nullptr;
  ASSERT_TRUE(api_mb_create_text_style(style, "Notes", "txt.shx", "", 2.5, 0.8, 0.1, 0.2, 7, 9));
  EXPECT_EQ(d.text_style_list().tail(), style);
  EXPECT_EQ(style->ali_flag(), 0);
  EXPECT_EQ(style->font_style(), 0);

  const double at[3] = {1, 2, 0};
  const struct {
    const char* style;
    const char* copied;
  } texts[] = {{"NOTES", "Notes"}, {"missing", "DEFAULT_STYLE"}, {nullptr, "DEFAULT_STYLE"}};
  for (const auto& t : texts) {
    MB_Text* text = nullptr;
    ASSERT_TRUE(api_mb_create_text(text, "label", t.style, at, 4, 0.5, 0.25));
    EXPECT_EQ(text->text_style().name().ascii(), std::string(t.copied));
    EXPECT_EQ(text->text_style().height(), 4);
    EXPECT_EQ(text->text_style().width_scale(), 0.5);
    EXPECT_EQ(text->text_style().angle(), 0.25);
    EXPECT_EQ(text->base_pos().y(), 2);
    EXPECT_EQ(d.object_list().tail(), text);
  }
  MB_Text* none = nullptr;
  EXPECT_FALSE(api_mb_create_text(none, nullptr, "Notes", at, 1, 1, 0));

  MB_Layer* walls = nullptr;
  ASSERT_TRUE(api_mb_create_layer(walls, "walls", 0x123456, 3, false, true, false));
  EXPECT_EQ(d.layer_list().tail(), walls);
  EXPECT_EQ(walls->color(), 0x123456u);
  EXPECT_FALSE(walls->visibility());
  EXPECT_TRUE(walls->lock());

  const COLORREF current = static_cast<COLORREF>(g_system_setting.get_long_val(MB_CURRENT_COLOR));
  const MB_RGBA32 one = MB_Color_Map::current_palette()[1];
  const struct {
    short index, layer;
    COLORREF colour;
  } colours[] = {
      {256, 0, 0x123456}, {-1, 0, 0x123456}, {1, 0, RGB(one.red(), one.green(), one.blue())},
      {256, 1, current},  {-1, -3, current}, {257, 0, current},
      {-2, 0, current},
  };
  for (const auto& c : colours) {
    EXPECT_EQ(api_mb_get_color_byindex(c.index, c.layer), c.colour) << c.index << " " << c.layer;
  }

  MB_Drawable* circle = as<MB_Drawable>(api_mb_create_circle(0, 0, 1));
  EXPECT_TRUE(api_set_drawable_prop(circle, 0xFF, 0, 0));
  EXPECT_EQ(circle->general().color(), 0xFF);
  EXPECT_EQ(circle->general().display_color(), 0xFF);
  EXPECT_EQ(circle->general().layer(), walls);
  EXPECT_TRUE(api_set_drawable_prop(circle, 0xFF, 0, 4));
  EXPECT_EQ(circle->general().layer(), nullptr);
  MB_Drawable* nothing = nullptr;
  EXPECT_FALSE(api_set_drawable_prop(nothing, 0, 0, 0));
}

TEST(ApiMake, MakeReusesTheGivenEntityAndNeverAppendsIt) {
  MB_Drawing d;
  As_Pt_List pts;
  MB_Lines* lines = nullptr;
  MB_Solid* solid = nullptr;
  EXPECT_FALSE(api_mb_make_lines(lines, pts));
  EXPECT_FALSE(api_mb_make_solid(solid, pts));
  EXPECT_TRUE(lines == nullptr && solid == nullptr);
  pts.add(As_Pt(0, 0, 0));
  pts.add(As_Pt(1, 0, 0));
  ASSERT_TRUE(api_mb_make_lines(lines, pts));
  ASSERT_TRUE(api_mb_make_solid(solid, pts));
  pts.add(As_Pt(1, 1, 0));
  MB_Lines* kept = lines;
  ASSERT_TRUE(api_mb_make_lines(lines, pts));
  EXPECT_EQ(lines, kept);
  expect_points(*lines, {As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(1, 1, 0)});
  ASSERT_TRUE(api_mb_make_solid(solid, pts));
  EXPECT_EQ(solid->count(), 3);
  EXPECT_EQ(entity_count(d), 0);  // never appended
  delete lines;
  delete solid;

  // Updating a line records its state before for undo.
  MB_Line* line = nullptr;
  api_mb_make_line(line, As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  d.add_object(line);
  MB_Undo_Redo store(&d);
  store.rec_cmd_begin("drag");
  MB_Line* same = line;
  api_mb_make_line(same, As_Pt(5, 5, 0), As_Pt(6, 6, 0));
  store.rec_cmd_end();
  EXPECT_EQ(same, line);
  EXPECT_EQ(line->end().x(), 6);
  As_Void_List touched;
  store.undo(touched);
  EXPECT_EQ(line->start().x(), 0);
  EXPECT_EQ(line->end().x(), 1);

  MB_Text_Style* style = nullptr;
  api_mb_create_text_style(style, "Big", "txt.shx", "", 9, 1, 0, 0, 0, 0);
  const struct {
    const char* style;
    const char* copied;
  } texts[] = {{"big", "Big"}, {nullptr, "DEFAULT_STYLE"}};
  for (const auto& t : texts) {
    MB_Text* text = nullptr;
    char word[] = "note";
    ASSERT_TRUE(api_mb_make_text(text, word, As_Pt(1, 1, 0), const_cast<char*>(t.style), 3, d));
    EXPECT_EQ(text->text_style().name().ascii(), std::string(t.copied));
    EXPECT_EQ(text->text_style().height(), 3);
    MB_Text* existing = text;
    char other[] = "other";
    EXPECT_TRUE(api_mb_make_text(text, other, As_Pt(0, 0, 0), nullptr, 1, d));
    EXPECT_EQ(text, existing);
    EXPECT_EQ(text->text_style().height(), 3);
    delete text;
  }
  MB_Text* none = nullptr;
  EXPECT_FALSE(api_mb_make_text(none, nullptr, As_Pt(), nullptr, 1, d));
}

}  // namespace

TEST(ApiCreate, DimensionsTakeTheNamedStyleInAnyCaseAndMeasureWhenBuilt) {
  MB_Drawing d;
  const int32_t colors[3] = {1, 2, 3};
  unsigned short ints[13] = {};
  double reals[16] = {};
  ints[MB_Dim_Style::kDecimalPlaces] = 1;
  reals[MB_Dim_Style::kTextHeight] = 2.5;
  EXPECT_EQ(api_mb_create_dim_style("S", "T", nullptr, ints, reals), 0);
  MB_Dim_Style* style = as<MB_Dim_Style>(api_mb_create_dim_style("Mech", "none", colors, ints, reals));
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(d.dim_style_list().tail(), style);
  EXPECT_EQ(style->color()[2], 3);
  EXPECT_EQ(style->int_val()[MB_Dim_Style::kDecimalPlaces], 1);
  EXPECT_EQ(style->text_style(), nullptr);  // no text style of that name

  // Without a text style in the drawing, the dimension keeps its own style.
  const double def[3] = {0, 3, 0}, mid[3] = {5, 3, 0}, at[3] = {1, 1, 0}, p2[3] = {0, 0, 0}, p3[3] = {10, 0, 0};
  MB_Dimension* bare = as<MB_Dimension>(
      api_mb_create_dimension(nullptr, "none", "mech", def, mid, at, nullptr, p2, p3, p3, 0, 0, 0, 0, 0, 0, 0));
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->style().text_style(), nullptr);
  EXPECT_EQ(bare->insert(), nullptr);

  MB_Text_Style* text_style = nullptr;
  ASSERT_TRUE(api_mb_create_text_style(text_style, "T", "", "", 1, 1, 0, 0, 0, 0));
  MB_Dimension* dim = as<MB_Dimension>(
      api_mb_create_dimension("<>", nullptr, "MECH", def, mid, at, nullptr, p2, p3, p3, 0, 0, 0, 0, 0, 0, 0));
  ASSERT_NE(dim, nullptr);
  EXPECT_EQ(d.object_list().tail(), dim);
  EXPECT_EQ(dim->dim_pt3().x(), 10.0);
  EXPECT_EQ(dim->text_mid().x(), 5.0);
  EXPECT_EQ(dim->insert_pt().y(), 1.0);
  EXPECT_EQ(dim->style().color()[0], 1);  // the named style's values
  dim->build_draw();
  EXPECT_EQ(dim->text(), "10.0");
}
