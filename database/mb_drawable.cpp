// The extended data and the drawable base.
#include "database/mb_drawable.h"

#include <cstring>
#include <new>

#include "database/mb_display_color.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_linetype.h"
#include "database/mb_settings.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_void_list.h"

bool g_is_rubbering = false;

MB_Xdata& MB_Xdata::operator=(const MB_Xdata& other) {
  if (this != &other) buffer(other.data_, other.length_);
  return *this;
}

void MB_Xdata::buffer(const char* bytes, int n) {
  char* copy = nullptr;
  if (bytes && n > 0) {
    copy = new (std::nothrow) char[static_cast<size_t>(n) + 1];
    if (!copy) return;
    std::memcpy(copy, bytes, static_cast<size_t>(n));
    copy[n] = 0;
  }
  free();
  data_ = copy;
  length_ = copy ? n : 0;
}

void MB_Xdata::free() {
  delete[] data_;
  data_ = nullptr;
  length_ = 0;
}

// ---------------------------------------------------------------------------

MB_Drawable::MB_Drawable() = default;

MB_Drawable::MB_Drawable(const MB_Drawable& other) : MB_Object(other) { copy_values(other); }

MB_Drawable& MB_Drawable::operator=(const MB_Drawable& other) {
  if (this != &other) {
    MB_Object::operator=(other);
    copy_values(other);
  }
  return *this;
}

MB_Drawable::~MB_Drawable() {
  delete draw_node_;
  delete seldom_;
}

MB_Drawable::Seldom::~Seldom() { delete nested; }

const MB_Drawable::Seldom& MB_Drawable::no_seldom() {
  static const Seldom none;
  return none;
}

MB_Drawable::Seldom& MB_Drawable::edit_seldom() {
  if (!seldom_) seldom_ = new Seldom;
  return *seldom_;
}

namespace {

// A list of new copies of the objects of `from`, in order; null for null.
MB_Object_List* copy_list(MB_Object_List* from) {
  if (!from) return nullptr;
  MB_Object_List* list = new MB_Object_List;
  for (MB_Object* o = from->head(); o; o = o->next()) {
    MB_Object* copy = nullptr;
    o->copy_to(copy);
    list->add_tail(copy);
  }
  return list;
}

}  // namespace

void MB_Drawable::copy_seldom(const MB_Drawable& o) {
  if (!o.seldom_ && !seldom_) return;
  const Seldom& from = o.seldom();
  Seldom& to = edit_seldom();
  to.user_id = from.user_id;
  to.string = from.string;
  to.real_val = from.real_val;
  to.xdata = from.xdata;
  to.owner = from.owner;
  object_list(copy_list(from.nested));
}

void MB_Drawable::copy_values(const MB_Drawable& o) {
  general_ = o.general_;
  save_flag_ = o.save_flag_;
  id_ = o.id_;
  copy_seldom(o);
  flag_ = o.flag_;
  draw_node(nullptr);
  draw_precision(o.draw_precision());
  edit_rect() = o.rect_;
}

bool MB_Drawable::copy_to(MB_Object*& target) {
  if (!target || target == this || !target->is_drawable()) return target == this;
  MB_Drawable* t = static_cast<MB_Drawable*>(target);
  t->id_ = id_;
  t->copy_seldom(*this);
  general_.copy_to(t->general_);
  return true;
}

bool MB_Drawable::pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) { return false; }

As_Pt MB_Drawable::get_point(int) const { return As_Pt(); }

double MB_Drawable::get_real(int id) const { return id == MB_PROP_REAL_VAL ? real_val() : 0.0; }

int32_t MB_Drawable::get_int(int id) const { return id == MB_PROP_USER_ID ? static_cast<int32_t>(user_id()) : 0; }

const char* MB_Drawable::get_string(int id) { return id == MB_PROP_XDATA_TEXT ? seldom().xdata.data() : nullptr; }

void MB_Drawable::set_real(int32_t id, double value) {
  if (id == MB_PROP_REAL_VAL) real_val(value);
}

void MB_Drawable::set_int(int32_t id, int32_t value) {
  if (id == MB_PROP_USER_ID) user_id(static_cast<uint32_t>(value));
}

void MB_Drawable::set_point(int32_t, const As_Pt&) {}

void MB_Drawable::set_string(int32_t id, const char* text) {
  if (id == MB_PROP_XDATA_TEXT && text) xdata().buffer(text, static_cast<int>(std::strlen(text)));
}

void MB_Drawable::flag(uint16_t f) {
  flag_ = f;
  if (draw_node_) draw_node_->flag(static_cast<char>(f));
}

template <class Match>
void MB_Drawable::set_layer_where(MB_Drawing& drawing, Match match) {
  for (MB_Object* o = drawing.layer_list().head(); o; o = o->next()) {
    if (o->object_id() != ID_LAYER) continue;
    MB_Layer* layer = static_cast<MB_Layer*>(o);
    if (!match(*layer)) continue;
    general_.layer(layer);
    if (!layer->visibility()) flag(0);
    return;
  }
}

void MB_Drawable::set_layer(const MB_String& name, MB_Drawing& drawing) {
  set_layer_where(drawing, [&name](const MB_Layer& l) { return l.name() == name; });
}

void MB_Drawable::set_layer(uint16_t id, MB_Drawing& drawing) {
  set_layer_where(drawing, [id](const MB_Layer& l) { return l.id() == id; });
}

int32_t MB_Drawable::get_def_draw_precision() const {
  switch (object_id()) {
    case ID_ARC: return g_system_setting.get_long_val(MB_ARC_PRECISION);
    case ID_BSPLINE: return g_system_setting.get_long_val(MB_SPLINE_PRECISION);
    case ID_ELLIPSE: return g_system_setting.get_long_val(MB_ELLIPSE_PRECISION);
    case ID_ELLIPSE_ARC: return g_system_setting.get_long_val(MB_ELLIPSE_ARC_PRECISION);
    case ID_POLYLINE: return g_system_setting.get_long_val(MB_POLYLINE_ARC_PRECISION);
    default: return g_system_setting.get_long_val(MB_DEFAULT_PRECISION);
  }
}

void MB_Drawable::build_color() {
  general_.display_color(mb_display_color(general_.display_color(), MB_Background_Match::kEqual));
}

uint32_t MB_Drawable::build_save_flag() {
  uint32_t f = 0;
  if (id_ != 0) f |= SAVE_ID;
  const Seldom& s = seldom();
  if (s.user_id != 0) f |= SAVE_USER_ID;
  if (!s.string.is_empty()) f |= SAVE_STRING;
  if (s.real_val != 0.0) f |= SAVE_REAL;
  if (!s.xdata.is_empty()) f |= SAVE_XDATA;
  save_flag_ = f;
  return f;
}

void MB_Drawable::build_draw_node_with_ltype(As_Pt_Set& pts) {
  const MB_Line_Type* type = general().line_type();
  if (!type || !type->has_gaps() || pts.count() < 2) {
    draw_node(nullptr);
    return;
  }
  auto* node = new MB_Draw_Lines_Sets(pts.points(), pts.count(), general().display_color(), type->scale(), type, this);
  node->build_rect();
  draw_node(node);
}

void MB_Drawable::object_list(MB_Object_List* list) {
  if (list == object_list()) return;
  Seldom& s = edit_seldom();
  delete s.nested;
  s.nested = list;
}

void MB_Drawable::draw_node(MB_Draw_Node* node) {
  if (node == draw_node_) return;
  delete draw_node_;
  draw_node_ = node;
}

namespace {

bool take_union(const As_Rect_Union& u, As_Rect& rect) {
  if (u.any()) rect = u.rect();
  return u.any();
}

}  // namespace

bool mb_entity_extents(MB_Object_List& list, As_Rect& rect) {
  As_Rect_Union u;
  for (MB_Object* o = list.head(); o; o = o->next()) {
    if (o->is_drawable()) u.add(static_cast<MB_Drawable*>(o)->rect());
  }
  return take_union(u, rect);
}

bool mb_entity_extents(As_Void_List& list, As_Rect& rect) {
  As_Rect_Union u;
  for (As_Void_Node* n = list.head(); n; n = n->next()) {
    if (n->entity()) u.add(static_cast<const MB_Drawable*>(n->entity())->rect());
  }
  return take_union(u, rect);
}

namespace {
// How many draw_in_own_colour calls are under way (one thread draws).
int g_own_colour_depth = 0;
}  // namespace

bool mb_drawing_in_own_colours() { return g_own_colour_depth > 0; }

void MB_Drawable::draw_in_own_colour(HDC hdc, CMyDC& dc, As_Tran& view) {
  HPEN pen = CreatePen(PS_SOLID, 0, static_cast<COLORREF>(general().display_color()));
  HGDIOBJ old = SelectObject(hdc, pen);
  ++g_own_colour_depth;
  draw(hdc, dc, view);
  --g_own_colour_depth;
  SelectObject(hdc, old);
  DeleteObject(pen);
}
