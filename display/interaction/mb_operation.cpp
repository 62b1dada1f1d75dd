// The editing context: drawing, renderers, tools, selection and undo.
#include "display/interaction/mb_operation.h"

#include <algorithm>

#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "database/nodes/mb_draw_node.h"
#include "display/interaction/mb_mouse_tool.h"
#include "display/mb_view_history.h"
#include "geometry/as_pt_list.h"
#include "geometry/geom_algo.h"

MB_Operation* g_active_operation = nullptr;
bool g_enter_key_flag = false;

namespace {

// Calls f(tool) for a copy of the tool list, so that f may change it.
template <class F>
void for_each_tool(As_Void_List& tools, F f) {
  As_Void_List copy(tools);
  for (As_Void_Node* n = copy.head(); n; n = n->next()) f(static_cast<MB_Mouse_Tool*>(n->entity()));
}

bool is_entity(const MB_Object* o) {
  const MB_Object::MB_Type t = o->object_type();
  return t >= MB_Object::TYPE_GEOM && t <= MB_Object::TYPE_INSERT;
}

}  // namespace

MB_Operation::MB_Operation() {
  g_undo_redo = nullptr;
  g_active_operation = this;
}

MB_Operation::~MB_Operation() {
  if (drawing_) tell_leaving(Leaving::DRAWING);
  leave_listener_ = nullptr;
  clear_all_tools();
  free_ended_tools();
  delete_undo_store();
  close_drawing();
  draw_render_list_.kill_all();
  if (g_active_operation == this) g_active_operation = nullptr;
}

void MB_Operation::delete_undo_store() {
  delete undo_redo_;  // clears g_undo_redo when it points there
  undo_redo_ = nullptr;
}

void MB_Operation::init(HWND wnd, MB_Drawing* drawing) {
  if (drawing_ && drawing_ != drawing) {
    tell_leaving(Leaving::DRAWING);
    // The records of the old drawing's store cannot replay on another one.
    const bool had_store = undo_redo_ != nullptr;
    clear_selectlist(false);
    free_renderers();
    delete_undo_store();
    delete drawing_;
    if (had_store) undo_redo_ = new MB_Undo_Redo(drawing);
  }
  drawing_ = drawing;
  wnd_ = wnd;
  if (undo_redo_) undo_redo_->drawing(drawing);
  rebuild_draw_render_list(drawing, wnd);
}

void MB_Operation::init(HWND wnd, const char* name) {
  create_drawing(name);
  wnd_ = wnd;
  if (undo_redo_) undo_redo_->drawing(drawing_);
  rebuild_draw_render_list(drawing_, wnd);
}

void MB_Operation::drawing(MB_Drawing* d) {
  if (d != drawing_) tell_leaving(Leaving::DRAWING);
  drawing_ = d;
  if (undo_redo_) undo_redo_->drawing(d);
  for (MB_Draw_Render* r = draw_render_list_.head(); r; r = r->next()) {
    r->clear_display_list();
    r->drawing(d);
  }
}

void MB_Operation::create_drawing(const char* name) {
  release_drawing(nullptr);
  drawing_ = new MB_Drawing(MB_String(name ? name : ""));
  start_drawing();
}

void MB_Operation::adopt_drawing(MB_Drawing* drawing) {
  if (!drawing) {
    create_drawing("");
    return;
  }
  release_drawing(drawing);
  drawing_ = drawing;
  g_current_drawing = drawing;
  start_drawing();
}

void MB_Operation::release_drawing(const MB_Drawing* keep) {
  if (drawing_) tell_leaving(Leaving::DRAWING);
  clear_selectlist(false);
  free_renderers();
  delete_undo_store();
  if (drawing_ != keep) delete drawing_;
  drawing_ = nullptr;
  g_undo_redo = nullptr;
}

void MB_Operation::start_drawing() {
  undo_redo_ = new MB_Undo_Redo(drawing_);
  g_undo_redo = undo_redo_;
  rebuild_draw_render_list(drawing_, wnd_);
}

bool MB_Operation::close_drawing() {
  release_drawing(nullptr);
  return true;
}

void MB_Operation::free_renderers() {
  // The tools erase their feedback while their renderer still lives.
  for_each_tool(mousetool_list_, [](MB_Mouse_Tool* t) { t->bind_renderer(nullptr); });
  draw_render_list_.kill_all();
}

void MB_Operation::rebuild_draw_render_list(MB_Drawing*, HWND) {
  free_renderers();
  MB_Draw_Render* r = new MB_Draw_Render;
  r->init(this, nullptr);
  draw_render_list_.add(r);
  for_each_tool(mousetool_list_, [r](MB_Mouse_Tool* t) { t->bind_renderer(r); });
}

void MB_Operation::build_draw() {
  if (drawing_) drawing_->build_draw();
}

void MB_Operation::draw(HDC hdc) {
  if (MB_Draw_Render* r = draw_render()) r->draw(hdc);
}

void MB_Operation::draw_object(MB_Drawable* entity) {
  if (MB_Draw_Render* r = draw_render()) r->draw_object(entity);
}

void MB_Operation::redraw_object(MB_Drawable* entity) {
  if (MB_Draw_Render* r = draw_render()) r->redraw_object(entity);
}

void MB_Operation::redraw_list(As_Void_List& list) {
  if (MB_Draw_Render* r = draw_render()) r->redraw_list(list);
}

void MB_Operation::invalidate() {
  if (MB_Draw_Render* r = draw_render()) r->invalidate();
}

// ---- Tools ----

void MB_Operation::add_tool(MB_Mouse_Tool* tool) {
  if (tool) mousetool_list_.addIfAbsent(tool);
}

void MB_Operation::add_tool(long tag, const MB_String& title) { new MB_Mouse_Tool(tag, title, this); }

void MB_Operation::pop_tool(MB_Mouse_Tool*) {
  if (!mousetool_list_.is_empty()) mousetool_list_.remove_node(mousetool_list_.head());
}

void MB_Operation::clear_all_tools() {
  for_each_tool(mousetool_list_, [this](MB_Mouse_Tool* t) { end_tool(t); });
  mousetool_list_.emptyYourself();
}

void MB_Operation::end_tool(MB_Mouse_Tool* tool) {
  if (!tool) return;
  mousetool_list_.removeValue(tool);
  if (dispatching_ > 0) {
    ended_tools_.addIfAbsent(tool);
  } else {
    delete tool;
  }
}

void MB_Operation::free_ended_tools() {
  As_Void_List ended(ended_tools_);
  ended_tools_.emptyYourself();
  for_each_tool(ended, [](MB_Mouse_Tool* t) { delete t; });
}

MB_Mouse_Tool* MB_Operation::get_active_tool() const { return static_cast<MB_Mouse_Tool*>(mousetool_list_.first()); }

long MB_Operation::get_active_tool_id() const {
  MB_Mouse_Tool* t = get_active_tool();
  return t ? t->tag() : -1;
}

const char* MB_Operation::get_active_tool_title() const {
  MB_Mouse_Tool* t = get_active_tool();
  return t ? t->title().ascii() : "No tool!";
}

MB_Drawable* MB_Operation::get_snap_entity() const {
  MB_Mouse_Tool* t = get_active_tool();
  return t ? t->get_snap_entity() : nullptr;
}

// ---- Events ----

int MB_Operation::process_mouse_event(int msg, unsigned flags, POINT& point) {
  MB_Mouse_Tool* tool = get_active_tool();
  if (!tool) return 0;
  if (msg < 0x200 || msg > 0x206) return 1;
  const As_Pt at = As_Pt(point.x, point.y, 0.0) * screen_to_drawing();
  ++dispatching_;
  tool->process_mouse_event(msg, point.x, point.y, at, static_cast<int>(flags));
  if (--dispatching_ == 0) free_ended_tools();
  return 1;
}

int MB_Operation::process_event(int msg, int x, int y, int flags) {
  POINT p = {x, y};
  return process_mouse_event(msg, static_cast<unsigned>(flags), p);
}

int MB_Operation::process_event(MSG* msg) {
  if (!msg) return 0;
  POINT p = msg->pt;
  ScreenToClient(wnd_, &p);
  return process_mouse_event(static_cast<int>(msg->message), 0, p);
}

int MB_Operation::process_keyboard_event(int msg, unsigned key, unsigned repeat, unsigned flags) {
  MB_Mouse_Tool* tool = get_active_tool();
  if (!tool) return 0;
  ++dispatching_;
  tool->process_keyboard_event(msg, key, repeat, flags);
  if (--dispatching_ == 0) free_ended_tools();
  return 1;
}

// ---- Selection ----

bool MB_Operation::add_entity_to_selection(MB_Drawable* entity, bool redraw) {
  if (!entity) return false;
  selection_.addIfAbsent(entity);
  entity->flag(2);
  if (MB_Draw_Node* node = entity->draw_node()) node->flag(1);
  if (redraw) invalidate();
  return true;
}

bool MB_Operation::clear_selectlist(bool redraw) {
  As_Void_List former;
  for (As_Void_Node* n = selection_.head(); n; n = n->next()) {
    static_cast<MB_Drawable*>(n->entity())->flag(1);
    former.add(n->entity());
  }
  selection_.emptyYourself();
  if (redraw) redraw_list(former);
  return true;
}

bool MB_Operation::rect_select(const As_Pt& a, const As_Pt& b, bool redraw) {
  if (!drawing_) return true;
  const double left = std::min(a.x(), b.x()), right = std::max(a.x(), b.x());
  const double top = std::max(a.y(), b.y()), bottom = std::min(a.y(), b.y());
  As_Rect area;
  area.set_rect(As_Pt(left, top, 0.0), As_Pt(right, bottom, 0.0));
  const bool window = a.x() < b.x();
  const As_Pt outline[5] = {As_Pt(left, top, 0), As_Pt(right, top, 0), As_Pt(right, bottom, 0), As_Pt(left, bottom, 0),
                            As_Pt(left, top, 0)};
  for (MB_Object* o = drawing_->get_active_object_list().head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    MB_Drawable* e = static_cast<MB_Drawable*>(o);
    if (e->flag() == 0) continue;
    const As_Rect& r = e->rect();
    const bool inside = left < r.lt().x() && r.rb().x() < right && r.lt().y() < top && bottom < r.rb().y();
    bool take = inside;
    if (!inside && !window && area.intersect_rect(&r)) {
      if (e->object_type() == MB_Object::TYPE_GEOM) {
        const As_Pt_Set& pts = static_cast<MB_Geom*>(e)->edge();
        As_Pt_List crossings;
        take = pts.count() > 0 && api_mb_lines_intersection(outline, 5, pts.points(), pts.count(), crossings);
      } else if (e->object_id() == MB_Object::ID_TEXT) {
        if (const As_Pt_Sets* sets = dynamic_cast<const As_Pt_Sets*>(e->draw_node())) {
          for (unsigned long i = 0; i < sets->pts_count() && !take; ++i) take = area.pt_in_rect(sets->points()[i], 0.0);
        }
      } else if (e->object_id() == MB_Object::ID_IMAGE) {
        take = true;
      }
    }
    if (take) add_entity_to_selection(e, false);
  }
  if (redraw) redraw_list(selection_);
  return true;
}

void MB_Operation::tell_leaving(Leaving what, MB_Drawable* entity) {
  if (leave_listener_) leave_listener_(what, entity);
}

void MB_Operation::forget_entity(MB_Drawable* entity) {
  tell_leaving(Leaving::ENTITY, entity);
  for_each_tool(mousetool_list_, [](MB_Mouse_Tool* t) { t->drop_feedback(); });
  while (selection_.removeValue(entity)) {
  }
  for (MB_Draw_Render* r = draw_render_list_.head(); r; r = r->next()) r->remove_from_display_list(entity);
}

bool MB_Operation::delete_object(MB_Object* object, bool) {
  if (!object || !is_entity(object)) return object != nullptr;
  forget_entity(static_cast<MB_Drawable*>(object));
  // From the list that holds it (the entities, a block being built or a
  // layout); the recording store keeps it for undo, else it is freed.
  if (MB_Object_List* list = object->owner_list()) object->lose(*list);
  return true;
}

bool MB_Operation::delete_object_list(As_Void_List& list, bool redraw) {
  if (list.is_empty()) return false;
  As_Void_List copy(list);  // the list may be the selection
  for (As_Void_Node* n = copy.head(); n; n = n->next()) delete_object(static_cast<MB_Object*>(n->entity()), false);
  if (redraw) invalidate();
  return true;
}

bool MB_Operation::delete_selection() {
  As_Void_List copy(selection_);
  clear_selectlist(true);
  delete_object_list(copy, true);
  return true;
}

// ---- View ----

void MB_Operation::compute_transf() {
  if (MB_Draw_Render* r = draw_render()) r->compute_transf();
}
void MB_Operation::zoom_window(const As_Pt& a, const As_Pt& b) {
  if (MB_Draw_Render* r = draw_render()) r->zoom_window(a, b);
}
void MB_Operation::zoom_all() {
  if (MB_Draw_Render* r = draw_render()) r->zoom_all();
}
void MB_Operation::scale_view(double factor) {
  if (MB_Draw_Render* r = draw_render()) r->scale_view(factor);
}
void MB_Operation::scale_view(double factor, int x, int y) {
  if (MB_Draw_Render* r = draw_render()) r->scale_view(factor, x, y);
}
void MB_Operation::pan_view(const As_Pt& from, const As_Pt& to) {
  if (MB_Draw_Render* r = draw_render()) r->pan_view(from, to);
}

As_Tran MB_Operation::screen_to_drawing() const {
  MB_Draw_Render* r = draw_render();
  return r ? r->screen_to_drawing() : As_Tran();
}

As_Tran MB_Operation::drawing_to_screen() const {
  MB_Draw_Render* r = draw_render();
  return r ? r->drawing_to_screen() : As_Tran();
}

void MB_Operation::record_trans() {
  if (MB_Draw_Render* r = draw_render()) r->view_undo_redo()->add_trans();
}

void MB_Operation::display_previous_view() {
  MB_Draw_Render* r = draw_render();
  if (!r) return;
  r->view_undo_redo()->previous_view();
  invalidate();
}

void MB_Operation::display_next_view() {
  MB_Draw_Render* r = draw_render();
  if (!r) return;
  r->view_undo_redo()->next_view();
  invalidate();
}

bool MB_Operation::is_can_previous_view() const {
  MB_Draw_Render* r = draw_render();
  return r && r->view_undo_redo()->is_can_previous();
}

bool MB_Operation::is_can_next_view() const {
  MB_Draw_Render* r = draw_render();
  return r && r->view_undo_redo()->is_can_next();
}

// ---- Undo ----

void MB_Operation::drop_detached() {
  // A detached entity goes back to the normal display state as it leaves.
  auto drop = [](MB_Drawable* e) {
    if (e->owner_list() != nullptr) return false;
    e->flag(1);
    return true;
  };
  for (As_Void_Node* n = selection_.head(); n;) {
    if (drop(static_cast<MB_Drawable*>(n->entity()))) {
      n = selection_.remove_node(n);
    } else {
      n = n->next();
    }
  }
  for (MB_Draw_Render* r = draw_render_list_.head(); r; r = r->next()) r->remove_from_display_list_if(drop);
}

void MB_Operation::rec_cmd_begin(const char* name) {
  if (!undo_redo_) return;
  // The store frees the undone commands' detached entities now.
  tell_leaving(Leaving::STEPPED);
  drop_detached();
  undo_redo_->rec_cmd_begin(name);
}
void MB_Operation::rec_cmd_end() {
  if (undo_redo_) undo_redo_->rec_cmd_end();
}
void MB_Operation::rec_cmd_pause() {
  if (undo_redo_) undo_redo_->rec_cmd_pause();
}
void MB_Operation::rec_cmd_continue() {
  if (undo_redo_) undo_redo_->rec_cmd_continue();
}

void MB_Operation::undo(As_Void_List& touched) {
  if (!undo_redo_) return;
  for_each_tool(mousetool_list_, [](MB_Mouse_Tool* t) { t->drop_feedback(); });
  undo_redo_->undo(touched);
  drop_detached();
  tell_leaving(Leaving::STEPPED);
}

void MB_Operation::redo(As_Void_List& touched) {
  if (!undo_redo_) return;
  for_each_tool(mousetool_list_, [](MB_Mouse_Tool* t) { t->drop_feedback(); });
  undo_redo_->redo(touched);
  drop_detached();
  tell_leaving(Leaving::STEPPED);
}

bool MB_Operation::is_can_undo() const { return undo_redo_ && undo_redo_->is_can_undo(); }
bool MB_Operation::is_can_redo() const { return undo_redo_ && undo_redo_->is_can_redo(); }
