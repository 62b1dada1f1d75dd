// The mouse tool base: registration with the operation, message dispatch,
// the snap switch and the rubber bands.
#include "display/interaction/mb_mouse_tool.h"

#include "database/mb_drawable.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"

double MB_Mouse_Tool::m_snap_tol = 5.0;

MB_Mouse_Tool::MB_Mouse_Tool(long tag, const MB_String& title, MB_Operation* operation)
    : operation_(operation), title_(title), tag_(tag) {
  if (!operation_) return;
  operation_->clear_all_tools();
  operation_->add_tool(this);
  bind_renderer(operation_->draw_render());
}

MB_Mouse_Tool::MB_Mouse_Tool() = default;

MB_Mouse_Tool::~MB_Mouse_Tool() {
  snap_stop();
  rubber_.reset();
  if (operation_) operation_->mousetool_list().removeValue(this);
  clear_relation_list(new_relations_);
}

void MB_Mouse_Tool::operation(MB_Operation* op) {
  operation_ = op;
  bind_renderer(op ? op->draw_render() : nullptr);
}

void MB_Mouse_Tool::end() {
  if (operation_)
    operation_->end_tool(this);
  else
    delete this;
}

MB_Drawing* MB_Mouse_Tool::drawing() const { return operation_ ? operation_->drawing() : nullptr; }

MB_Draw_Render* MB_Mouse_Tool::draw_render() const { return operation_ ? operation_->draw_render() : nullptr; }

void MB_Mouse_Tool::drop_feedback() {
  rubber_.drop();
  snap_rubber_.drop();
  clear_relation_list(relation_list_);
  clear_relation_list(new_relations_);
}

void MB_Mouse_Tool::bind_renderer(MB_Draw_Render* render) {
  drop_feedback();
  rubber_.draw_render(render);
  snap_rubber_.draw_render(render);
}

int MB_Mouse_Tool::process_mouse_event(int msg, int x, int y, const As_Pt& point, int flags) {
  client_x_ = x;
  client_y_ = y;
  cur_pos_ = point;
  snap_pos_ = point;
  if (snap_) process_snap(point);
  // The handler may delete this tool: it is the last thing done here.
  switch (msg) {
    case 0x200: mousemove(flags); break;
    case 0x201: lbuttondown(flags); break;
    case 0x202: lbuttonup(flags); break;
    case 0x203: lbuttondblclk(flags); break;
    case 0x204: rbuttondown(flags); break;
    case 0x205: rbuttonup(flags); break;
    case 0x206: rbuttondblclk(flags); break;
    default: break;
  }
  return 1;
}

int MB_Mouse_Tool::process_keyboard_event(int msg, unsigned key, unsigned, unsigned) {
  if (key == 0x10) {
    if (msg == 0x100) snap_ = false;
    if (msg == 0x101) snap_ = true;
  }
  return 0;
}

void MB_Mouse_Tool::snap_start() {
  snap_rubber_.reset();
  snap_ = true;
}

void MB_Mouse_Tool::snap_stop() {
  snap_ = false;
  clear_relation_list(new_relations_);
  clear_relation_list(relation_list_);
  snap_rubber_.reset();
}

void MB_Mouse_Tool::snap_restart() {
  clear_relation_list(new_relations_);
  clear_relation_list(relation_list_);
  snap_rubber_.reset();
  snap_ = true;
}

void MB_Mouse_Tool::restart() {
  clear_pos_list();
  snap_restart();
}

bool MB_Mouse_Tool::clear_pos_list() {
  pos_list_.kill_all();
  return true;
}

MB_Drawable* MB_Mouse_Tool::get_snap_entity() const {
  MB_Relation* r = get_relation();
  return r ? r->first_entity() : nullptr;
}

void MB_Mouse_Tool::clear_relation_list(As_Void_List& list) {
  for (As_Void_Node* n = list.head(); n; n = n->next()) delete static_cast<MB_Relation*>(n->entity());
  list.emptyYourself();
}

void MB_Mouse_Tool::highlight_relation() {
  snap_rubber_.reset();
  MB_Relation* r = get_relation();
  if (!r || r->ent_list().is_empty()) return;
  snap_rubber_.draw_begin();
  snap_rubber_.highlight_entity_list(r->ent_list());
  snap_rubber_.draw_end();
}
