// Display-list nodes: colours, rectangles, picking, device-context drawing
// and the node list. Drawing on the off-screen surface is in
// mb_draw_node_surface.cpp.
#include "database/nodes/mb_draw_node.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ximage.h>
#include <vector>

#include "database/entities/mb_text.h"
#include "database/fonts/mb_font_library.h"
#include "database/mb_linetype.h"
#include "geometry/dlink.h"
#include "geometry/geom_algo.h"

namespace {

// A GDI polygon filled with a solid brush of the colour and outlined with
// the DC's pen; the DC's brush is restored.
void fill_polygon(HDC hdc, const POINT* p, int n, int32_t color) {
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color));
  HGDIOBJ old = SelectObject(hdc, brush);
  Polygon(hdc, p, n);
  SelectObject(hdc, old);
  DeleteObject(brush);
}

}  // namespace

// ---------------------------------------------------------------------------

MB_Draw_Node::MB_Draw_Node(const MB_Draw_Node& o)
    : color_(o.color_), drawable_(o.drawable_), rect_(o.rect_ ? new As_Rect(*o.rect_) : nullptr), flag_(o.flag_) {}

MB_Draw_Node& MB_Draw_Node::operator=(const MB_Draw_Node& o) {
  if (this != &o) {
    color_ = o.color_;
    drawable_ = o.drawable_;
    rect_.reset(o.rect_ ? new As_Rect(*o.rect_) : nullptr);
    flag_ = o.flag_;
  }
  return *this;
}

void MB_Draw_Node::rect_of(const As_Pt* pts, int n) {
  if (!pts || n < 1) {
    drop_rect();
    return;
  }
  As_Rect r;
  r.init_by_pts(n, pts);
  set_rect(r);
}

// ---------------------------------------------------------------------------

MB_Draw_Lines_Set::MB_Draw_Lines_Set(const As_Pt* points, int count, int32_t color, MB_Drawable* owner)
    : MB_Draw_Node(color, owner) {
  if (count <= kInline) {
    init_in(count, points, inline_);
  } else {
    init(count, points);
  }
}

void MB_Draw_Lines_Set::draw(HDC hdc, const As_Tran& t) {
  const int n = count();
  if (n < 2) return;
  POINT* p = mb_device_points(points(), n, t);
  if (n == 2) {
    MoveToEx(hdc, p[0].x, p[0].y, nullptr);
    LineTo(hdc, p[1].x, p[1].y);
  } else {
    Polyline(hdc, p, n);
  }
}

void MB_Draw_Lines_Set::build_rect() { rect_of(points(), count()); }

bool MB_Draw_Lines_Set::pick(const As_Pt& at, As_Pt& hit, double tol) {
  const int n = count();
  const As_Pt* pts = points();
  for (int i = 0; i + 1 < n; ++i) {
    const As_Pt& a = pts[i];
    const As_Pt& b = pts[i + 1];
    if (at.x() < std::min(a.x(), b.x()) - tol || at.x() > std::max(a.x(), b.x()) + tol ||
        at.y() < std::min(a.y(), b.y()) - tol || at.y() > std::max(a.y(), b.y()) + tol)
      continue;
    if ((at - a).len() < tol) {
      hit = a;
      return true;
    }
    if ((at - b).len() < tol) {
      hit = b;
      return true;
    }
    As_Vec d = a - b;
    if (d.len() < resabs) continue;  // a point segment has no line to project on
    As_Pt foot = proj_pt_to_line(at, a, As_Uvec(d.x(), d.y(), d.z()));
    if ((at - foot).len() < tol) {
      hit = foot;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------

MB_Draw_Lines_Sets::MB_Draw_Lines_Sets(const As_Pt* points, int count, int32_t color, double scale,
                                       const MB_Line_Type* line_type, MB_Drawable* owner)
    : MB_Draw_Node(color, owner) {
  if (line_type) {
    line_type->render_line_type(points, count, scale, *this);
  } else if (points && count > 0) {
    init(static_cast<unsigned long>(count), points);
  }
}

void mb_draw_dot(HDC hdc, POINT at) {
  COLORREF pen_color = 0;
  LOGPEN pen;
  if (GetObject(GetCurrentObject(hdc, OBJ_PEN), sizeof(pen), &pen) == sizeof(pen)) pen_color = pen.lopnColor;
  SetPixel(hdc, at.x, at.y, pen_color);
}

void MB_Draw_Lines_Sets::draw(HDC hdc, const As_Tran& t) {
  for_each_run([&](const As_Pt* pts, int n) {
    if (n < 1) return;
    POINT* p = mb_device_points(pts, n, t);
    if (n == 1) {
      mb_draw_dot(hdc, p[0]);
    } else if (is_filled() && n > 2 && same_point(pts[0], pts[n - 1], resabs)) {
      fill_polygon(hdc, p, n, color());
    } else {
      Polyline(hdc, p, n);
    }
  });
}

void MB_Draw_Lines_Sets::build_rect() { rect_of(points(), ptset_count() ? static_cast<int>(pts_count()) : 0); }

// ---------------------------------------------------------------------------

MB_Draw_Solid::MB_Draw_Solid(const As_Pt* points, int count, int32_t color, MB_Drawable* owner)
    : MB_Draw_Node(color, owner), As_Pt_Set(count, points) {}

void MB_Draw_Solid::draw(HDC hdc, const As_Tran& t) {
  const int n = count();
  if (n < 3) return;
  POINT* p = mb_device_points(points(), n, t, 1);
  p[n] = p[0];
  if (!mask()) {
    fill_polygon(hdc, p, n + 1, color());
    return;
  }
  // A mask's outline is the background too.
  HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(fill_color()));
  HGDIOBJ old = SelectObject(hdc, pen);
  fill_polygon(hdc, p, n + 1, fill_color());
  SelectObject(hdc, old);
  DeleteObject(pen);
}

void MB_Draw_Solid::build_rect() { rect_of(points(), count()); }

bool MB_Draw_Solid::pick(const As_Pt& p, As_Pt&, double) { return is_pos_in_region(p, points(), count()); }

// ---------------------------------------------------------------------------

void MB_Draw_Trans::draw(HDC hdc, const As_Tran& t) {
  if (inner_) inner_->draw(hdc, tran_ * t);
}

void MB_Draw_Trans::build_rect() {
  if (!inner_ || !inner_->rect()) {
    drop_rect();
    return;
  }
  As_Rect r(*inner_->rect());
  r.translate(tran_);
  set_rect(r);
}

// ---------------------------------------------------------------------------

MB_Draw_Image::MB_Draw_Image(CxImage* image, const As_Pt& centre, double extent_y, double extent_x, double third,
                             MB_Drawable* owner)
    : image_(image), centre_(centre), extent_y_(extent_y), extent_x_(extent_x), third_(third) {
  drawable(owner);
}

void MB_Draw_Image::build_rect() {
  As_Rect r;
  r.set_rect(As_Pt(centre_.x() - extent_x_ / 2, centre_.y() + extent_y_ / 2, 0.0),
             As_Pt(centre_.x() + extent_x_ / 2, centre_.y() - extent_y_ / 2, 0.0));
  set_rect(r);
}

void MB_Draw_Image::draw(HDC hdc, const As_Tran& t) { mb_draw_raster(hdc, image_, centre_, extent_x_, extent_y_, t); }

void mb_draw_raster(HDC hdc, CxImage* image, const As_Pt& centre, double width_units, double height_units,
                    const As_Tran& t) {
  if (!image) return;
  const As_Pt c = centre * t;
  const double s = t.scaling();
  const double hw = s * width_units / 2, hh = s * height_units / 2;
  const int left = qm_trunc_to_int(c.x() - hw), top = qm_trunc_to_int(c.y() - hh);
  const int right = qm_trunc_to_int(c.x() + hw), bottom = qm_trunc_to_int(c.y() + hh);
  // Differences of clamped ends, taken in 64 bits and clamped again.
  const long width = static_cast<long>(std::clamp<int64_t>(int64_t(right) - left, INT32_MIN, INT32_MAX));
  const long height = static_cast<long>(std::clamp<int64_t>(int64_t(bottom) - top, INT32_MIN, INT32_MAX));
  image->Draw(hdc, left, top, width, height, nullptr);
}

// ---------------------------------------------------------------------------

MB_Draw_TTF_Text::MB_Draw_TTF_Text(int32_t color, MB_Text* text) : MB_Draw_Node(color, text) {}

void MB_Draw_TTF_Text::draw(HDC hdc, const As_Tran& t) {
  const MB_Text* text = dynamic_cast<const MB_Text*>(drawable());
  if (!text) return;
  const POINT at = mb_device_point(text->base_pos(), t);
  font_height_ = qm_trunc_to_int(text->text_style().height() * t.scaling());
  MB_Font_Library* lib = text->text_style().font_lib();
  const char* face = lib ? lib->name().ascii() : "";
  HFONT font = CreateFontA(font_height_, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, face ? face : "");
  if (!font) return;
  HGDIOBJ old = SelectObject(hdc, font);
  const std::string bytes = text->bytes();
  TextOutA(hdc, at.x, at.y, bytes.c_str(), static_cast<int>(std::strlen(bytes.c_str())));
  if (old) SelectObject(hdc, old);
  DeleteObject(font);
}

// ---------------------------------------------------------------------------

namespace {

struct Node_Links {
  static MB_Draw_Node* next(const MB_Draw_Node* n) { return n->next(); }
  static MB_Draw_Node* prev(const MB_Draw_Node* n) { return n->prev(); }
  static void set_next(MB_Draw_Node* n, MB_Draw_Node* x) { n->next(x); }
  static void set_prev(MB_Draw_Node* n, MB_Draw_Node* x) { n->prev(x); }
};

}  // namespace

void MB_Draw_List::add(MB_Draw_Node* node) {
  if (node) dlink::link_before<Node_Links>(head_, tail_, node, static_cast<MB_Draw_Node*>(nullptr));
}

void MB_Draw_List::add_head(MB_Draw_Node* node) {
  if (node) dlink::link_before<Node_Links>(head_, tail_, node, head_);
}

void MB_Draw_List::kill(MB_Draw_Node* node) {
  MB_Draw_Node* n = head_;
  while (n && n != node) n = n->next();
  if (n) dlink::unlink<Node_Links>(head_, tail_, n);  // nothing for a node of another list
}

void MB_Draw_List::kill_all() { dlink::free_all<Node_Links>(head_, tail_); }

void MB_Draw_List::draw(HDC hdc, const As_Tran& t) {
  for (MB_Draw_Node* n = head_; n; n = n->next()) n->draw(hdc, t);
}
