// The drawing: ownership of its lists, look-ups, display building and the
// running origin of the native format.
#include "database/mb_drawing.h"

#include "database/fonts/mb_glyph_budget.h"
#include "database/mb_drawable.h"
#include "database/mb_layer.h"
#include "database/mb_linetype.h"
#include "database/mb_names.h"

MB_Drawing* g_current_drawing = nullptr;

namespace {

bool same_name(const MB_String* a, const char* b) { return a && a->ascii() && mb_same_name(a->ascii(), b); }

// The object of the list as a T when its class number is kId, else null.
template <class T, MB_Object::MB_ID kId>
T* as(MB_Object* o) {
  return o->object_id() == kId ? static_cast<T*>(o) : nullptr;
}

// The first object of the list that `to` makes a T of and that matches.
template <class T, class Match>
T* first_in(MB_Object_List& list, T* (*to)(MB_Object*), Match match) {
  for (MB_Object* o = list.head(); o; o = o->next()) {
    T* t = to(o);
    if (t && match(t)) return t;
  }
  return nullptr;
}

}  // namespace

MB_Drawing_Info::MB_Drawing_Info() {
  static const char* const kInitial[kEntryCount] = {"Title",    "Descpiption", "Comments", "Author",
                                                    "Keywords", "Copyright",   "123",      "123"};
  for (int i = 0; i < kEntryCount; ++i) entries_[i] = kInitial[i];
}

// ---------------------------------------------------------------------------

MB_Drawing::MB_Drawing() : zoom_(translate_transf(As_Vec(0.0, 0.0, 0.0))) { g_current_drawing = this; }

MB_Drawing::MB_Drawing(const MB_String& name) : filename_(name) { g_current_drawing = this; }

MB_Drawing::~MB_Drawing() {
  if (g_current_drawing == this) g_current_drawing = nullptr;
  // Entities first, a layout's too: they refer to blocks, layers and styles.
  object_list_.kill_all();
  active_layout_ = nullptr;
  layout_list_.kill_all();
  // A block still being defined that is not yet in the table.
  mb_block_free_unlisted(temp_block_);
  temp_block_ = nullptr;
  hide_list_.kill_all();
  block_list_.kill_all();
  layer_list_.kill_all();
  dim_style_list_.kill_all();
  view_port_list_.kill_all();
  named_view_list_.kill_all();
  text_style_list_.kill_all();
  shp_list_.kill_all();
  line_type_list_.kill_all();
  mline_type_list_.kill_all();
  hatch_type_list_.kill_all();
}

void MB_Drawing::add_object(MB_Object* object) {
  if (!object) return;
  MB_Object_List* block = mb_block_object_list(temp_block_);
  (block ? *block : object_list_).add_tail(object);
  note_edit();
}

MB_Object_List& MB_Drawing::get_active_object_list() {
  if (MB_Object_List* block = mb_block_object_list(temp_block_)) return *block;
  if (active_layout_) return active_layout_->object_list();
  return object_list_;
}

MB_Block* MB_Drawing::find_block(const char* name) {
  if (!name) return nullptr;
  return first_in(block_list_, mb_to_block, [name](MB_Block* b) { return same_name(mb_block_name(b), name); });
}

MB_Layer* MB_Drawing::find_layer(const char* name) {
  if (!name) return nullptr;
  return first_in(layer_list_, as<MB_Layer, MB_Object::ID_LAYER>,
                  [name](MB_Layer* l) { return same_name(&l->name(), name); });
}

MB_Layer* MB_Drawing::find_layer(unsigned long n) {
  unsigned long i = 0;
  return first_in(layer_list_, as<MB_Layer, MB_Object::ID_LAYER>, [&i, n](MB_Layer*) { return i++ == n; });
}

MB_Text_Style* MB_Drawing::find_text_style(const char* name) {
  if (!name) return nullptr;
  return first_in(text_style_list_, mb_to_text_style,
                  [name](MB_Text_Style* t) { return same_name(mb_text_style_name(t), name); });
}

MB_Line_Type* MB_Drawing::find_line_type(const char* name, MB_Layer* layer) {
  if (!name) return nullptr;
  if (layer && mb_same_name(name, "bylayer")) return layer->line_type();
  return first_in(line_type_list_, as<MB_Line_Type, MB_Object::ID_LINE_TYPE>,
                  [name](MB_Line_Type* t) { return mb_same_name(t->name(), name); });
}

void MB_Drawing::build_draw() {
  MB_Glyph_Budget budget(MB_Glyph_Budget::kBuild);
  for (MB_Object* o = block_list_.head(); o; o = o->next()) mb_block_build_draw(mb_to_block(o));
  for (MB_Object* o = object_list_.head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    MB_Drawable* e = static_cast<MB_Drawable*>(o);
    MB_Layer* layer = e->general().layer();
    if (layer && !layer->visibility()) e->flag(0);
    e->build_draw();
    e->build_color();
  }
}

void MB_Drawing::build_layer(MB_Layer* layer) {
  if (!layer) return;
  for (MB_Object* o = get_active_object_list().head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    MB_Drawable* e = static_cast<MB_Drawable*>(o);
    if (e->general().layer() == layer) e->flag(layer->visibility() ? 1 : 0);
  }
}

void MB_Drawing::build_color() {
  for (MB_Object* o = object_list_.head(); o; o = o->next()) {
    if (o->is_drawable()) static_cast<MB_Drawable*>(o)->build_color();
  }
}

void MB_Drawing::fo_position(As_Pt& p) {
  As_Pt previous = origin_;
  origin_ = p;
  p.x() -= previous.x();
  p.y() -= previous.y();
}

void MB_Drawing::fi_position(As_Pt& p) {
  p.x() += origin_.x();
  p.y() += origin_.y();
  origin_ = p;
}
