// The select tool.
#include "control/tools/select_tool.h"

#include <afxwin.h>

#include <vector>

#include "control/control_texts.h"
#include "control/side_panel_bar.h"
#include "control/wait_cursor.h"
#include "database/entities/mb_line.h"
#include "display/interaction/mb_operation.h"
#include "geometry/as_tran.h"

namespace {

// The selected lines with an end at `p`, each with the end that stays.
struct Line_End {
  MB_Line* line;
  bool start;  // the pressed end is the start
};

std::vector<Line_End> line_ends_at(As_Void_List& selection, const As_Pt& p) {
  std::vector<Line_End> ends;
  for (As_Void_Node* n = selection.head(); n; n = n->next()) {
    MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
    if (!e || e->object_id() != MB_Object::ID_LINE) continue;
    MB_Line* line = static_cast<MB_Line*>(e);
    if (same_point(p, line->start(), resabs))
      ends.push_back({line, true});
    else if (same_point(p, line->end(), resabs))
      ends.push_back({line, false});
  }
  return ends;
}

}  // namespace

SelectTool::SelectTool(long tool_id, const MB_String& title, MB_Operation* operation)
    : ControlTool(tool_id, title, operation) {
  is_snap(true);
}

void SelectTool::lbuttondown(int) {
  MB_Operation* op = operation();
  if (!op) return;
  pos_list().add_tail(snap_pos());
  MB_Drawable* entity = get_snap_entity();
  if (!entity || box_pending_) {
    box_pending_ = true;
    op->clear_selectlist(true);
    op->redraw_all();
  } else {
    op->add_entity_to_selection(entity, true);
    // The side bar may be gone (or never made, headless): checked each time.
    if (SidePanelBar* bar = SidePanelBar::current()) bar->panel().show_properties(entity);
    box_pending_ = false;
  }
  if (pos_list().count() == 2 && box_pending_) {
    rubber().reset();
    Wait_Cursor wait;
    const As_Pt a = pos_list().head()->point(), b = pos_list().head()->next()->point();
    op->rect_select(a, b, true);
    op->redraw_all();
    clear_pos_list();
    box_pending_ = false;
  }
}

void SelectTool::lbuttonup(int) {
  MB_Operation* op = operation();
  if (!op || pos_list().count() != 1 || box_pending_) return;
  const As_Pt pressed = pos_list().head()->point();
  const As_Pt to = snap_pos();
  rubber().reset();
  if (same_point(pressed, to, resabs)) {
    // A plain click: nothing moved, so no empty command is recorded.
    clear_pos_list();
    return;
  }
  {
    Undo_Command command(op, quill::kTextDrag);
    const std::vector<Line_End> ends = line_ends_at(op->selection(), pressed);
    for (const Line_End& e : ends) {
      if (e.start)
        e.line->start(to);
      else
        e.line->end(to);
      e.line->build_draw();
    }
    if (ends.empty()) {
      const As_Tran move = translate_transf(to - pressed);
      for (As_Void_Node* n = op->selection().head(); n; n = n->next()) {
        MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
        if (!e) continue;
        e->translate(move);
        e->build_draw();
      }
    }
  }
  op->redraw_all();
  clear_pos_list();
}

void SelectTool::rbuttondown(int) {
  // A box being drawn is cancelled: its band goes from the screen.
  rubber().reset();
  box_pending_ = false;
  clear_pos_list();
}

void SelectTool::mousemove(int) {
  MB_Operation* op = operation();
  if (!op || pos_list().count() != 1) return;
  const As_Pt pressed = pos_list().head()->point();
  const As_Pt at = snap_pos();
  rubber().draw_begin();
  if (!op->selection().is_empty()) {
    const std::vector<Line_End> ends = line_ends_at(op->selection(), pressed);
    for (const Line_End& e : ends) rubber().draw_line(e.start ? e.line->end() : e.line->start(), at);
    if (ends.empty()) rubber().draw_entity_list(op->selection(), translate_transf(at - pressed));
  } else {
    rubber().draw_rect(pressed, at);
  }
  rubber().draw_end();
}
