// Object snap: the candidates the entities' picks offer around the cursor,
// ordered by kind, with the crossings of curve entities in front; the
// snapped point is the point of the first candidate.
//
// The aperture is m_snap_tol pixels, in drawing units of the current view,
// for picks and crossings alike. Each unordered pair of distinct curve
// entities is intersected once per pass, and a crossing found twice is kept
// once. The entities are those of the renderer's display list whose extents
// meet the aperture, found through its extent index, in list order.
#include <cmath>
#include <vector>

#include "database/entities/mb_block.h"
#include "database/mb_drawable.h"
#include "display/interaction/mb_mouse_tool.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "display/mb_extent_index.h"
#include "geometry/geom_algo.h"

namespace {

bool is_curve(const MB_Drawable* e) {
  if (e->object_type() != MB_Object::TYPE_GEOM) return false;
  switch (e->object_id()) {
    case MB_Object::ID_LINE:
    case MB_Object::ID_LINES:
    case MB_Object::ID_CIRCLE:
    case MB_Object::ID_ARC:
    case MB_Object::ID_BSPLINE:
    case MB_Object::ID_ELLIPSE_ARC:
    case MB_Object::ID_ELLIPSE:
    case MB_Object::ID_POLYLINE: return true;
    default: return false;
  }
}

double aperture(MB_Draw_Render* render) {
  if (!render) return 0.0;
  const double tol = render->screen_to_drawing().scaling() * MB_Mouse_Tool::m_snap_tol;
  return std::isfinite(tol) && tol > 0.0 ? tol : 0.0;
}

}  // namespace

// ---- MB_Relation ----

void MB_Relation::add_draw_note_to_rubber(MB_Rubber& rubber) {
  MB_Drawable* e = first_entity();
  if (!e || e->object_type() != MB_Object::TYPE_GEOM) return;
  const As_Pt_Set& pts = static_cast<MB_Geom*>(e)->edge();
  int n = 0;
  if (e->object_id() == MB_Object::ID_LINE) n = pts.count() >= 2 ? 2 : 0;
  if (e->object_id() == MB_Object::ID_LINES) n = pts.count();
  if (n <= 0) return;
  As_Pt* copy = new As_Pt[n];
  for (int i = 0; i < n; ++i) copy[i] = pts.points()[i];
  MB_Rubber_Lines* shape = new MB_Rubber_Lines(copy, n);
  shape->set_prop(0, 0, 0x00FF00);
  rubber.add_node_to_newlist(shape);
}

bool MB_Relation::is_same(const MB_Relation& other) const {
  if (ent_list_.is_empty() || other.ent_list_.is_empty()) return false;
  return type_ == other.type_ && ent_list_.count() == other.ent_list_.count() &&
         ent_list_.first() == other.ent_list_.first();
}

// ---- The snap pass ----

void MB_Mouse_Tool::process_snap(const As_Pt& point) {
  cur_pos_ = point;
  snap_pos_ = point;
  create_relation();
  if (is_same_relation()) {
    clear_relation_list(new_relations_);
  } else {
    clear_relation_list(relation_list_);
    add_relation();
  }
  if (MB_Relation* r = get_relation()) snap_pos_ = r->snap_point();
}

void MB_Mouse_Tool::create_relation() {
  clear_relation_list(new_relations_);
  MB_Draw_Render* render = draw_render();
  snap_aperture_ = aperture(render);
  if (!render || snap_aperture_ <= 0.0) return;
  const double tol = snap_aperture_;
  // The entries of the display list whose extents meet the aperture, in
  // list order: the order decides which of equal candidates comes first.
  std::vector<MB_Drawable*> near;
  render->extent_index().query(cur_pos_, tol, near);
  MB_Walk_Pass pass;  // one object budget for the whole pick
  for (MB_Drawable* e : near) {
    As_Pt found;
    int kind = 0, index = 0;
    if (!e->pick(cur_pos_, pos_list_, tol, found, kind, index)) continue;
    MB_Relation* rel = new MB_Relation(static_cast<uint16_t>(kind), drawing());
    rel->ent_list().add(e);
    rel->pick_pos(found);
    deal_with_relation(rel);
  }
}

void MB_Mouse_Tool::deal_with_relation(MB_Relation* r) {
  MB_Relation* first = static_cast<MB_Relation*>(new_relations_.first());
  if (first && r->type() < first->type()) {
    new_relations_.addHead(r);
  } else {
    new_relations_.add(r);
  }
  MB_Drawable* b = r->first_entity();
  if (!b || !is_curve(b) || r->type() == MB_SNAP_INTERSECTION) return;
  // Cross the new entity with every other curve entity met so far, each
  // pair once: an entity already offered by an earlier candidate has been
  // crossed with the others already.
  As_Void_List others;
  for (As_Void_Node* n = new_relations_.head(); n; n = n->next()) {
    MB_Relation* rel = static_cast<MB_Relation*>(n->entity());
    if (rel == r || rel->type() == MB_SNAP_INTERSECTION) continue;
    MB_Drawable* a = rel->first_entity();
    if (a == b) return;
    if (a && is_curve(a)) others.addIfAbsent(a);
  }
  const double tol = snap_aperture_;
  for (As_Void_Node* n = others.head(); n; n = n->next()) {
    MB_Geom* a = static_cast<MB_Geom*>(n->entity());
    MB_Geom* g = static_cast<MB_Geom*>(b);
    As_Pt_List crossings;
    if (!api_mb_lines_intersection(a->edge().points(), a->edge().count(), g->edge().points(), g->edge().count(),
                                   crossings))
      continue;
    for (As_Pt_Node* p = crossings.head(); p; p = p->next()) {
      const As_Pt q = p->point();
      if ((q - cur_pos_).len() > tol) continue;
      bool known = false;
      for (As_Void_Node* m = new_relations_.head(); m && !known; m = m->next()) {
        MB_Relation* rel = static_cast<MB_Relation*>(m->entity());
        known = rel->type() == MB_SNAP_INTERSECTION && same_point(rel->ret_pos(), q, resabs);
      }
      if (known) continue;
      MB_Relation* x = new MB_Relation(MB_SNAP_INTERSECTION, drawing());
      x->ret_pos(q);
      x->ent_list().add(a);
      x->ent_list().add(b);
      new_relations_.addHead(x);
    }
  }
}

bool MB_Mouse_Tool::is_same_relation() const {
  if (new_relations_.is_empty() || new_relations_.count() != relation_list_.count()) return false;
  const MB_Relation* a = static_cast<const MB_Relation*>(new_relations_.first());
  const MB_Relation* b = static_cast<const MB_Relation*>(relation_list_.first());
  return a->is_same(*b);
}

void MB_Mouse_Tool::add_relation() {
  relation_list_.append(new_relations_);
  new_relations_.emptyYourself();
}

// ---- Flat functions ----

double api_mb_get_snap_tol() {
  if (!g_active_operation) return 0.0;
  return aperture(g_active_operation->draw_render());
}

bool api_get_snap_pos(MB_Draw_Render& render, As_Pt point, As_Pt& snap, int& type, As_Void_List& entities) {
  MB_Mouse_Tool tool;
  tool.operation(render.operation());
  tool.process_snap(point);
  MB_Relation* r = tool.get_relation();
  if (!r) return false;
  snap = tool.snap_pos();
  type = r->type();
  MB_Drawable* e = r->first_entity();
  if (!e) return false;
  entities.add(e);
  return true;
}
