// The rotate, mirror and polar array tools.
#include "control/tools/editing_tools.h"

#include <cmath>
#include <optional>

#include "control/control_texts.h"
#include "display/interaction/mb_operation.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const As_Vec kNormal(0, 0, 1);

// The transform that applies `t` about `centre` instead of the origin.
As_Tran about(const As_Pt& centre, const As_Tran& t) {
  const As_Vec to_origin = As_Pt(0, 0, 0) - centre;
  return translate_transf(to_origin) * t * translate_transf(As_Vec(0, 0, 0) - to_origin);
}

As_Tran turn_about(const As_Pt& centre, double angle) { return about(centre, rotate_transf(angle, kNormal)); }

// The rotation about `centre` that turns the direction centre -> reference
// into centre -> target; none when either point lies on the centre.
std::optional<As_Tran> rotation(const As_Pt& centre, const As_Pt& reference, const As_Pt& target) {
  if (same_point(centre, reference, resabs) || same_point(centre, target, resabs)) return std::nullopt;
  return turn_about(centre, angle_between(centre - reference, centre - target, As_Uvec(0, 0, 1)));
}

// The reflection in the line through a and b; none when they coincide.
std::optional<As_Tran> reflection(const As_Pt& a, const As_Pt& b) {
  if (same_point(a, b, resabs)) return std::nullopt;
  const As_Vec along = a - b;
  const As_Vec normal(along.y(), -along.x(), 0);  // (a - b) x (0, 0, 1)
  return about(a, reflect_transf(normal));
}

}  // namespace

// ---- Rotate ----

void RotateTool::lbuttondown(int) {
  pos_list().add_tail(cur_pos());
  if (pos_list().count() < 3) return;
  const As_Pt c = pos_list().head()->point(), r = pos_list().head()->next()->point();
  if (std::optional<As_Tran> t = rotation(c, r, cur_pos())) {
    Undo_Command command(operation(), quill::kTextRotate);
    copy_selection(*t);
  }
  clear_pos_list();
}

void RotateTool::rbuttondown(int) {
  clear_pos_list();
  end();
}

void RotateTool::mousemove(int) {
  MB_Operation* op = operation();
  const int n = pos_list().count();
  if (!op || op->selection().is_empty() || n < 1) return;
  const As_Pt c = pos_list().head()->point();
  rubber().draw_begin();
  if (n == 2)
    if (std::optional<As_Tran> t = rotation(c, pos_list().head()->next()->point(), cur_pos()))
      rubber().draw_entity_list(op->selection(), *t);
  rubber().draw_line(cur_pos(), c);
  rubber().draw_end();
}

// ---- Mirror ----

void MirrorTool::lbuttondown(int) {
  pos_list().add_tail(cur_pos());
  if (pos_list().count() < 2) return;
  if (std::optional<As_Tran> t = reflection(pos_list().head()->point(), cur_pos())) {
    Undo_Command command(operation(), quill::kTextMirror);
    copy_selection(*t);
  }
  clear_pos_list();
}

void MirrorTool::rbuttondown(int) {
  clear_pos_list();
  end();
}

void MirrorTool::mousemove(int) {
  MB_Operation* op = operation();
  if (!op || op->selection().is_empty() || pos_list().count() != 1) return;
  const As_Pt a = pos_list().head()->point();
  rubber().draw_begin();
  if (std::optional<As_Tran> t = reflection(a, cur_pos())) rubber().draw_entity_list(op->selection(), *t);
  rubber().draw_line(cur_pos(), a);
  rubber().draw_end();
}

// ---- Polar array ----

void PolarArrayTool::lbuttondown(int) {
  pos_list().add_tail(cur_pos());
  if (pos_list().count() != 1) return;
  const As_Pt centre = cur_pos();
  const double step = 2 * kPi / copy_count_;
  {
    Undo_Command command(operation(), quill::kTextArray);
    for (int i = 1; i < copy_count_; ++i) copy_selection(turn_about(centre, i * step));
  }
  clear_pos_list();
}

void PolarArrayTool::rbuttondown(int) { end(); }

void PolarArrayTool::mousemove(int) {
  MB_Operation* op = operation();
  if (!op || op->selection().is_empty()) return;
  const double step = 2 * kPi / copy_count_;
  rubber().draw_begin();
  for (int i = 1; i < copy_count_; ++i) rubber().draw_entity_list(op->selection(), turn_about(cur_pos(), i * step));
  rubber().draw_end();
}
