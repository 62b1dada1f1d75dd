// The hatch entity: ownership, copies, building and drawing its lines.
#include "database/entities/mb_hatch.h"

#include "database/entities/mb_entity_copy.h"
#include "geometry/as_loop.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"
#include "surface/cmydc.h"
#include "surface/pt_draw.h"

#include <vector>

MB_Hatch::MB_Hatch() : pattern_(new Hatch_Pattern) {}

MB_Hatch::MB_Hatch(const MB_Hatch& other) : MB_Geom(other), pattern_(nullptr) { copy_fields(other); }

MB_Hatch& MB_Hatch::operator=(const MB_Hatch& other) {
  if (this == &other) return *this;
  MB_Geom::operator=(other);
  copy_fields(other);
  return *this;
}

MB_Hatch::~MB_Hatch() {
  free_loops();
  free_lines();
  delete pattern_;
}

void MB_Hatch::copy_fields(const MB_Hatch& o) {
  // Copies first, so that nothing is lost should o share storage with us.
  As_Void_List loops, lines;
  for (As_Void_Node* n = o.loops_.head(); n; n = n->next())
    if (n->entity()) loops.add(new As_Loop(*static_cast<As_Loop*>(n->entity())));
  for (As_Void_Node* n = o.lines_.head(); n; n = n->next())
    lines.add(new As_Pt_Sets(*static_cast<As_Pt_Sets*>(n->entity())));
  Hatch_Pattern* pattern = o.pattern_ ? new Hatch_Pattern(*o.pattern_) : nullptr;
  free_loops();
  free_lines();
  delete pattern_;
  loops_ = loops;
  lines_ = lines;
  pattern_ = pattern;
  type_ = o.type_;
  scale_ = o.scale_;
  angle_ = o.angle_;
  base_pos_ = o.base_pos_;
  boundary_only_ = o.boundary_only_;
  pen_in_colour_ = o.pen_in_colour_;
}

void MB_Hatch::free_loops() {
  for (As_Void_Node* n = loops_.head(); n; n = n->next()) delete static_cast<As_Loop*>(n->entity());
  loops_.emptyYourself();
}

void MB_Hatch::free_lines() {
  for (As_Void_Node* n = lines_.head(); n; n = n->next()) delete static_cast<As_Pt_Sets*>(n->entity());
  lines_.emptyYourself();
}

void MB_Hatch::pattern(Hatch_Pattern* p) {
  if (p == pattern_) return;
  delete pattern_;
  pattern_ = p;
}

void MB_Hatch::translate(const As_Tran& t) {
  modify_cmd();
  for (As_Void_Node* n = loops_.head(); n; n = n->next())
    if (n->entity()) static_cast<As_Loop*>(n->entity())->translate(t);
}

void MB_Hatch::build_draw() {
  As_Pt lt, rb;
  if (!pattern_ || !api_mb_get_loops_rect_pos(loops_, lt, rb)) return;
  for (As_Void_Node* n = loops_.head(); n; n = n->next())
    if (n->entity()) static_cast<As_Loop*>(n->entity())->build_rect();
  free_lines();
  boundary_only_ = !pattern_->build_lines(loops_, lines_);
  if (boundary_only_) {
    for (As_Void_Node* n = loops_.head(); n; n = n->next()) {
      const As_Loop* loop = static_cast<const As_Loop*>(n->entity());
      if (!loop || loop->is_empty()) continue;
      std::vector<As_Pt> pts = loop->closed_points();
      As_Pt_Sets* outline = new As_Pt_Sets;
      outline->init(static_cast<unsigned long>(pts.size()), pts.data());
      lines_.add(outline);
    }
  }
  edit_rect().set_rect(lt, rb);
  draw_node(nullptr);
}

void MB_Hatch::draw(HDC target, CMyDC& dc, As_Tran& view) {
  // On the device context given (a picture, a page), else on the surface.
  HDC hdc = target ? target : dc.GetDC();
  if (!hdc) return;
  const COLORREF kHatchPen = 0xffff;  // yellow
  HPEN pen = CreatePen(PS_SOLID, 1, pen_in_colour_ ? COLORREF(general().display_color()) : kHatchPen);
  HGDIOBJ old = SelectObject(hdc, pen);
  const As_Tran t(view);
  for (As_Void_Node* n = lines_.head(); n; n = n->next())
    draw_points(hdc, *static_cast<const As_Pt_Sets*>(n->entity()), t, general().display_color());
  SelectObject(hdc, old);
  DeleteObject(pen);
}

bool MB_Hatch::copy_to(MB_Object*& target) {
  return mb_entity_copy_to(*this, target, [this](MB_Hatch& t) { t.copy_fields(*this); });
}
