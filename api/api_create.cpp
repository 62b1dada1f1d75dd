// Flat API for making entities and table entries in the current drawing.
#include "api/api_create.h"

#include <algorithm>

#include "api/api_append.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_dimension.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_point.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/mb_color.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_settings.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_loop.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"

namespace {

// Colour indexes that mean "the colour of the layer".
constexpr short kByLayer = 256;
constexpr short kByLayerOld = -1;

// Points (x[i], y[i], 0) of two coordinate arrays.
As_Pt xy_point(const double* x, const double* y, int i) { return As_Pt(x[i], y[i], 0.0); }

MB_Insert* new_insert(const As_Pt& position, double x_scale, double y_scale, double z_scale, double angle,
                      const char* block_name) {
  MB_Insert* insert = new MB_Insert(position, angle, x_scale, y_scale, z_scale);
  insert->block(MB_String(block_name), *g_current_drawing);
  insert->build_transf();
  return insert;
}

}  // namespace

// ---- Points, lines and solids ----

bool api_mb_create_solid(MB_Solid*& solid, const double* p1, const double* p2, const double* p3, const double* p4,
                         int count) {
  if (!g_current_drawing || !p1 || !p2 || !p3 || !p4 || count < 4) return false;
  MB_Solid* s = new MB_Solid(count);
  const double* corners[4] = {p1, p2, p3, p4};
  for (int i = 0; i < 4; ++i) s->points()[i] = As_Pt(corners[i]);
  api_appended(s, false);
  solid = s;
  return true;
}

intptr_t api_mb_create_solid(double* x, double* y, int count) {
  if (!g_current_drawing || !x || !y || count < 1) return 0;
  As_Loop outline;
  for (int i = 0; i < count; ++i) outline.add(xy_point(x, y, i));
  return api_appended(new MB_Solid(outline), true);
}

bool api_mb_create_point(MB_Point*& point, const double* xyz) {
  if (!g_current_drawing || !xyz) return false;
  point = new MB_Point(As_Pt(xyz));
  api_appended(point, false);
  return true;
}

intptr_t api_mb_create_point(const As_Pt& p) {
  if (!g_current_drawing) return 0;
  return api_appended(new MB_Point(p), true);
}

bool api_mb_create_line(MB_Line*& line, const As_Pt& start, const As_Pt& end) {
  if (!g_current_drawing) return false;
  line = new MB_Line(start, end);
  api_appended(line, true);
  return true;
}

bool api_mb_create_line(MB_Line*& line, const double* start, const double* end) {
  if (!g_current_drawing || !start || !end) return false;
  line = new MB_Line(As_Pt(start), As_Pt(end));
  api_appended(line, false);
  return true;
}

intptr_t api_mb_create_lines(double* x, double* y, int32_t count) {
  if (!g_current_drawing || !x || !y || count < 2) return 0;
  MB_Lines* lines = new MB_Lines(count);
  for (int i = 0; i < count; ++i) lines->points()[i] = xy_point(x, y, i);
  return api_appended(lines, true);
}

bool api_mb_create_lines(MB_Lines*& lines, int count) {
  if (!g_current_drawing || count < 2) return false;
  lines = new MB_Lines(count);
  api_appended(lines, false);
  return true;
}

intptr_t api_mb_create_rect(double x1, double y1, double x2, double y2) {
  double x[5] = {x1, x2, x2, x1, x1};
  double y[5] = {y1, y1, y2, y2, y1};
  return api_mb_create_lines(x, y, 5);
}

bool api_mb_set_ptset_pos(MB_Drawable*& entity, int index, double x, double y, double z) {
  if (!entity) return false;
  if (entity->object_id() != MB_Object::ID_LINES) return true;
  MB_Lines* lines = static_cast<MB_Lines*>(entity);
  if (index < 0 || index >= lines->count()) return false;
  lines->points()[index] = As_Pt(x, y, z);
  return true;
}

// ---- Text ----

bool api_mb_create_text(MB_Text*& text, const char* string, const char* style_name, const double* position,
                        double height, double width_scale, double angle) {
  if (!g_current_drawing || !string || !position) return false;
  MB_Text* t = new MB_Text(As_Pt(position), MB_String(string));
  t->init_text_style(*g_current_drawing, style_name);
  t->text_style().height(height);
  t->text_style().width_scale(width_scale);
  t->text_style().angle(angle);
  api_appended(t, false);
  text = t;
  return true;
}

// ---- Blocks and inserts ----

bool api_mb_create_block(MB_Block*& block, const char* name, const double* base) {
  if (!g_current_drawing || !name || !base || g_current_drawing->temp_block()) return false;
  block = new MB_Block(As_Pt(base), MB_String(name), MB_String(" "));
  g_current_drawing->temp_block(block);
  return true;
}

bool api_mb_end_block(MB_Block*& block) {
  if (!g_current_drawing || !block || g_current_drawing->temp_block() != block) return false;
  mb_close_block_definition(*g_current_drawing, block);
  return true;
}

intptr_t api_mb_create_block(const char* name, const char* description, const As_Pt& base,
                             As_Void_List& entities) {
  if (!g_current_drawing || entities.is_empty()) return 0;
  MB_Block* block = new MB_Block(As_Pt(), MB_String(name), MB_String(description));
  const As_Tran to_origin = translate_transf(As_Pt() - base);
  for (As_Void_Node* n = entities.head(); n; n = n->next()) {
    MB_Drawable* entity = static_cast<MB_Drawable*>(n->entity());
    MB_Object* copy = nullptr;
    if (!entity || !entity->copy_to(copy) || !copy) continue;
    if (!copy->is_drawable()) {
      delete copy;
      continue;
    }
    MB_Drawable* placed = static_cast<MB_Drawable*>(copy);
    placed->translate(to_origin);
    placed->build_draw();
    block->object_list().add_tail(placed);
  }
  g_current_drawing->block_list().add_tail(block);
  return api_handle(block);
}

bool api_mb_create_insert(MB_Insert*& insert, const double* position, double x_scale, double y_scale,
                          double z_scale, double angle, const char* block_name) {
  if (!g_current_drawing || !position || !block_name) return false;
  insert = new_insert(As_Pt(position), x_scale, y_scale, z_scale, angle, block_name);
  api_appended(insert, false);
  return true;
}

intptr_t api_mb_create_insert(const char* block_name, const As_Pt& position, double x_scale, double y_scale,
                              double z_scale, double angle, bool append) {
  if (!g_current_drawing || !block_name) return 0;
  MB_Insert* insert = new_insert(position, x_scale, y_scale, z_scale, angle, block_name);
  if (append) return api_appended(insert, true);
  // The caller keeps it: an undo record of its creation would later free it.
  if (g_undo_redo) g_undo_redo->destroy_cmd(insert);
  insert->build_draw();
  return api_handle(insert);
}

// ---- Dimensions ----

intptr_t api_mb_create_dimension(const char* text, const char* block_name, const char* style_name,
                                 const double* definition, const double* text_mid, const double* insert,
                                 const double*, const double* pt2, const double* pt3, const double* pt4, double,
                                 double, double, double, double, double, int) {
  if (!g_current_drawing || !definition || !text_mid || !insert || !pt2 || !pt3 || !pt4) return 0;
  MB_Dimension* d = new MB_Dimension();
  if (text) d->dim_text(text);
  if (block_name) d->block_name(block_name, *g_current_drawing);
  d->definition_pt(As_Pt(definition));
  d->text_mid(As_Pt(text_mid));
  d->insert_pt(As_Pt(insert));
  d->dim_pt2(As_Pt(pt2));
  d->dim_pt3(As_Pt(pt3));
  d->dim_pt4(As_Pt(pt4));
  d->dim_style(*g_current_drawing, style_name);
  return api_appended(d, false);
}

// ---- Tables ----

intptr_t api_mb_create_dim_style(const char* name, const char* text_style, const int32_t* colors,
                                 const unsigned short* ints, const double* reals) {
  if (!g_current_drawing || !colors || !ints || !reals) return 0;
  MB_Dim_Style* style = new MB_Dim_Style();
  style->name(name ? name : "");
  std::copy(colors, colors + MB_Dim_Style::kColorCount, style->color());
  std::copy(ints, ints + MB_Dim_Style::kIntCount, style->int_val());
  std::copy(reals, reals + MB_Dim_Style::kRealCount, style->real_val());
  style->text_style(g_current_drawing->find_text_style(text_style));
  g_current_drawing->dim_style_list().add_tail(style);
  return api_handle(style);
}

bool api_mb_create_text_style(MB_Text_Style*& style, const char* name, const char* font, const char* big_font,
                              double height, double width_scale, double oblique_angle, double angle, int32_t,
                              int32_t) {
  if (!g_current_drawing) return false;
  style = new MB_Text_Style(name, font, big_font, height, width_scale, oblique_angle, angle, 0, 0);
  g_current_drawing->text_style_list().add_tail(style);
  return true;
}

bool api_mb_create_layer(MB_Layer*& layer, const char* name, int32_t color, unsigned short, bool visible,
                         bool locked, bool frozen) {
  if (!g_current_drawing) return false;
  MB_Layer* l = new MB_Layer(MB_String(name));
  l->color(static_cast<uint32_t>(color));
  l->visibility(visible);
  l->lock(locked);
  l->freeze(frozen);
  g_current_drawing->layer_list().add_tail(l);
  layer = l;
  return true;
}

// ---- Colours and attributes ----

COLORREF api_mb_get_color_byindex(short index, short layer) {
  const COLORREF current = static_cast<COLORREF>(g_system_setting.get_long_val(MB_CURRENT_COLOR));
  if (index == kByLayer || index == kByLayerOld) {
    MB_Layer* l = g_current_drawing && layer >= 0
                      ? g_current_drawing->find_layer(static_cast<unsigned long>(layer))
                      : nullptr;
    return l ? l->color() : current;
  }
  if (index < 0 || index >= MB_Color_Map::kPaletteSize) return current;
  const MB_RGBA32 c = MB_Color_Map::current_palette()[index];
  return RGB(c.red(), c.green(), c.blue());
}

bool api_set_drawable_prop(MB_Drawable*& entity, int32_t color, int32_t, int32_t layer) {
  if (!entity || !g_current_drawing) return false;
  entity->general().color(color);
  entity->general().display_color(color);
  entity->general().layer(layer >= 0 ? g_current_drawing->find_layer(static_cast<unsigned long>(layer)) : nullptr);
  return true;
}
