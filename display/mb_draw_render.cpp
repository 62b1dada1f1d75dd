// The renderer: binding to a window, the fit rule and the zoom operations,
// the repaint through the off-screen surface, and raster export.
#include "display/mb_draw_render.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <ximage.h>

#include "database/entities/mb_block.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "database/mb_settings.h"
#include "display/interaction/mb_mouse_tool.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_view_history.h"

namespace {

bool finite_vec(const As_Vec& v) { return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z()); }

// The image type of a file name (ximage.h); any other name is JPEG.
DWORD export_format(const char* path) {
  const DWORD f = qm_picture_format(path);
  return f != CXIMAGE_FORMAT_UNKNOWN ? f : static_cast<DWORD>(CXIMAGE_FORMAT_JPG);
}

// Calls f(entity) for every entity of the list, in order.
template <class F>
void for_each_entity(MB_Object_List& list, F f) {
  for (MB_Object* o = list.head(); o; o = o->next())
    if (o->is_drawable()) f(static_cast<MB_Drawable*>(o));
}

// How far ahead of the object drawn a repaint asks for memory, and how many
// cache lines of an entity and of its display node it asks for.
constexpr size_t kFetchAhead = 20;
constexpr size_t kEntityLines = 4;
constexpr size_t kNodeLines = 3;

void prefetch_line(uintptr_t at) { __builtin_prefetch(reinterpret_cast<const void*>(at)); }

}  // namespace

MB_Draw_Render::MB_Draw_Render() : view_undo_redo_(new MB_View_Undo_Redo) { view_undo_redo_->init(this); }

MB_Draw_Render::~MB_Draw_Render() {
  if (mem_dc_ && own_mem_dc_) {
    if (old_bitmap_) SelectObject(mem_dc_, old_bitmap_);
    DeleteDC(mem_dc_);
  }
  if (mem_bitmap_) DeleteObject(mem_bitmap_);
  if (bk_brush_) DeleteObject(bk_brush_);
  delete view_undo_redo_;
}

void MB_Draw_Render::init(MB_Operation* operation, MB_Layout* layout) {
  operation_ = operation;
  wnd_ = operation ? operation->wnd() : nullptr;
  drawing_ = operation ? operation->drawing() : nullptr;
  layout_ = layout;
  if (!wnd_) return;
  compute_transf();
  HDC hdc = GetDC(wnd_);
  init_quick_dc(hdc);
  ReleaseDC(wnd_, hdc);
}

void MB_Draw_Render::set_drw_rect(const RECT& r) {
  const As_Tran inv = screen_to_drawing();
  drw_rect_.set_rect(As_Pt(r.left, r.top, 0.0) * inv, As_Pt(r.right, r.bottom, 0.0) * inv);
}

void MB_Draw_Render::init_quick_dc(HDC hdc) {
  RECT rc = {0, 0, 0, 0};
  GetClientRect(wnd_, &rc);
  scr_rect_ = {rc.left, rc.top, rc.right + 1, rc.bottom + 1};
  set_drw_rect(rc);
  quick_dc_.DeleteDC();
  quick_dc_.CreateCompatibleDC(hdc, rc.right - rc.left, rc.bottom - rc.top, 0);
  quick_dc_.SetColor(0);
  quick_dc_.FillRect(&scr_rect_);
}

void MB_Draw_Render::resize_quick_dc(HDC hdc, RECT& rect) {
  scr_rect_ = {rect.left, rect.top, rect.right + 1, rect.bottom + 1};
  quick_dc_.DeleteDC();
  quick_dc_.CreateCompatibleDC(hdc, rect.right - rect.left, rect.bottom - rect.top, 0);
  set_drw_rect(rect);
}

void MB_Draw_Render::set_dc_rect(const RECT& rect, HDC hdc) {
  scr_rect_ = rect;
  if (mem_dc_ && own_mem_dc_) {
    if (old_bitmap_) SelectObject(mem_dc_, old_bitmap_);
    DeleteDC(mem_dc_);
    old_bitmap_ = nullptr;
  }
  mem_dc_ = hdc;
  own_mem_dc_ = false;
}

void MB_Draw_Render::get_dc_rect(RECT& rect) const {
  if (wnd_) {
    GetClientRect(wnd_, &rect);
  } else {
    rect = scr_rect_;
  }
}

HDC MB_Draw_Render::get_dc() const { return wnd_ ? GetDC(wnd_) : mem_dc_; }

void MB_Draw_Render::release_dc(HDC hdc) const {
  if (wnd_) ReleaseDC(wnd_, hdc);
}

void MB_Draw_Render::update_draw_render(HDC hdc) {
  if (mem_dc_ && own_mem_dc_) {
    if (old_bitmap_) SelectObject(mem_dc_, old_bitmap_);
    DeleteDC(mem_dc_);
  }
  if (mem_bitmap_) DeleteObject(mem_bitmap_);
  if (bk_brush_) DeleteObject(bk_brush_);
  mem_dc_ = CreateCompatibleDC(hdc);
  own_mem_dc_ = true;
  mem_bitmap_ = CreateCompatibleBitmap(hdc, scr_rect_.right, scr_rect_.bottom);
  old_bitmap_ = mem_dc_ && mem_bitmap_ ? SelectObject(mem_dc_, mem_bitmap_) : nullptr;
  bk_brush_ = CreateSolidBrush(static_cast<COLORREF>(g_system_setting.get_long_val(MB_BACKGROUND_COLOR)));
  if (mem_dc_) SetBkMode(mem_dc_, TRANSPARENT);
}

MB_Object_List* MB_Draw_Render::active_list() const { return drawing_ ? &drawing_->get_active_object_list() : nullptr; }

// ---- Painting ----

void MB_Draw_Render::compose(HDC hdc, bool with_selection) {
  MB_Walk_Pass pass;  // one object budget for the whole paint
  quick_dc_.SetColor(static_cast<uint32_t>(g_system_setting.get_long_val(MB_BACKGROUND_COLOR)));
  quick_dc_.FillRect(&scr_rect_);
  set_drw_rect(scr_rect_);
  // The display list is refilled in place: its nodes are reused from the
  // head and the ones left over are freed. A repaint that draws what the
  // last one drew leaves the list as it was, and its index with it.
  As_Void_Node* reuse = display_list_.head();
  bool changed = false;
  if (MB_Object_List* list = active_list()) {
    size_t i = 0;
    for (MB_Object* o = list->head(); o; o = o->next(), ++i) {
      if (i + kFetchAhead < fetch_hints_.size()) {
        // An entity and its display node are a few cache lines each; an
        // address that no longer holds them makes the repaint slower, never
        // wrong.
        const Fetch_Hint& h = fetch_hints_[i + kFetchAhead];
        for (size_t line = 0; line < kEntityLines; ++line) prefetch_line(h.object + 64 * line);
        if (h.node)
          for (size_t line = 0; line < kNodeLines; ++line) prefetch_line(h.node + 64 * line);
      }
      MB_Drawable* e = o->is_drawable() ? static_cast<MB_Drawable*>(o) : nullptr;
      const Fetch_Hint hint{reinterpret_cast<uintptr_t>(o), e ? reinterpret_cast<uintptr_t>(e->draw_node()) : 0};
      if (i < fetch_hints_.size()) {
        // Stored only when changed: an unchanged list writes no memory.
        Fetch_Hint& kept = fetch_hints_[i];
        if (kept.object != hint.object || kept.node != hint.node) kept = hint;
      } else {
        fetch_hints_.push_back(hint);
      }
      if (!e) continue;
      if (e->flag() != 1 || !drw_rect_.intersect_rect(&e->rect())) continue;
      quick_dc_.SetColor(static_cast<uint32_t>(e->general().display_color()));
      e->draw(nullptr, quick_dc_, drawing_to_screen_);
      if (reuse) {
        // Written only when changed, as the fetch hints.
        if (reuse->entity() != e) {
          reuse->entity(e);
          changed = true;
        }
        reuse = reuse->next();
      } else {
        display_list_.add(e);
        changed = true;
      }
    }
    fetch_hints_.resize(i);
  }
  changed = changed || reuse != nullptr;
  while (reuse) reuse = display_list_.remove_node(reuse);
  if (changed) ++display_generation_;
  if (with_selection && operation_) {
    quick_dc_.SetLineStyleDashed(1);
    const uint32_t selection_color = static_cast<uint32_t>(g_system_setting.get_long_val(MB_SELECTION_COLOR));
    for (As_Void_Node* n = operation_->selection().head(); n; n = n->next()) {
      MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
      if (!drw_rect_.intersect_rect(&e->rect())) continue;
      quick_dc_.SetColor(selection_color);
      e->draw(nullptr, quick_dc_, drawing_to_screen_);
      display_list_.addHead(e);
      ++display_generation_;
    }
    quick_dc_.SetLineStyleDashed(0);
    if (MB_Mouse_Tool* tool = operation_->get_active_tool()) {
      HDC surface = quick_dc_.GetDC();
      tool->draw(surface);
      // The feedback on screen survives the repaint.
      if (tool->rubber().draw_render() == this) tool->rubber().redraw_on(surface);
      if (tool->snap_rubber().draw_render() == this) tool->snap_rubber().redraw_on(surface);
    }
  }
  if (hdc && quick_dc_.GetDC()) {
    BitBlt(hdc, 0, 0, scr_rect_.right - scr_rect_.left, scr_rect_.bottom - scr_rect_.top, quick_dc_.GetDC(), 0, 0,
           SRCCOPY);
  }
}

void MB_Draw_Render::draw_object(MB_Drawable* entity) {
  if (!entity || !wnd_) return;
  HDC hdc = GetDC(wnd_);
  entity->draw_in_own_colour(hdc, quick_dc_, drawing_to_screen_);
  if (display_list_.addIfAbsent(entity)) ++display_generation_;
  ReleaseDC(wnd_, hdc);
}

void MB_Draw_Render::redraw_object(MB_Drawable* entity) {
  As_Void_List list;
  list.add(entity);
  redraw_list(list);
}

void MB_Draw_Render::redraw_list(As_Void_List& list) {
  As_Rect extents;
  if (list.is_empty() || !mb_entity_extents(list, extents)) return;
  extents.translate(drawing_to_screen_);
  RECT r;
  extents.conver_to_scr_rect(r);
  redraw_rect(r);
}

void MB_Draw_Render::clear_display_list() {
  display_list_.emptyYourself();
  ++display_generation_;
}

void MB_Draw_Render::remove_from_display_list(MB_Drawable* entity) {
  while (display_list_.removeValue(entity)) ++display_generation_;
}

const MB_Extent_Index& MB_Draw_Render::extent_index() {
  const uint64_t extents = MB_Drawable::extents_generation();
  if (!index_built_ || indexed_display_generation_ != display_generation_ || indexed_extents_generation_ != extents) {
    extent_index_.build(display_list_);
    index_built_ = true;
    indexed_display_generation_ = display_generation_;
    indexed_extents_generation_ = extents;
  }
  return extent_index_;
}

void MB_Draw_Render::invalidate() {
  if (wnd_) InvalidateRect(wnd_, nullptr, TRUE);
}

bool MB_Draw_Render::build_color() {
  if (drawing_) for_each_entity(drawing_->object_list(), [](MB_Drawable* e) { e->build_color(); });
  return true;
}

void MB_Draw_Render::draw_on_memdc(HDC hdc) {
  if (!update_flag_) {
    if (wnd_) GetClientRect(wnd_, &scr_rect_);
    update_draw_render(hdc);
    update_flag_ = true;
  }
  set_drw_rect(scr_rect_);
  if (!mem_dc_) return;
  FillRect(mem_dc_, &scr_rect_, bk_brush_);
  clear_display_list();
  HPEN pen = CreatePen(PS_SOLID, 1, 0xFF00FF);
  HGDIOBJ old = SelectObject(mem_dc_, pen);
  if (!layout_ && drawing_) {
    MB_Walk_Pass pass;
    for_each_entity(drawing_->object_list(), [&](MB_Drawable* e) { e->draw(mem_dc_, quick_dc_, drawing_to_screen_); });
  }
  SelectObject(mem_dc_, old);
  DeleteObject(pen);
  BitBlt(hdc, 0, 0, scr_rect_.right - scr_rect_.left, scr_rect_.bottom - scr_rect_.top, mem_dc_, 0, 0, SRCCOPY);
}

void MB_Draw_Render::let_us_draw_nonuse_mem(HDC hdc, MB_Drawing& drawing) {
  if (!update_flag_) {
    if (wnd_) GetClientRect(wnd_, &scr_rect_);
    update_draw_render(hdc);
    update_flag_ = true;
  }
  draw_drawing(hdc, drawing);
}

void MB_Draw_Render::draw_on_memdc(HDC hdc, As_Rect& rect, MB_Drawing& drawing) {
  drw_rect_ = rect;
  draw_drawing(hdc, drawing);
}

// ---- View changes ----

bool MB_Draw_Render::client_size(int& w, int& h) const {
  RECT rc = scr_rect_;
  if (wnd_) GetClientRect(wnd_, &rc);
  h = rc.bottom - rc.top;
  w = rc.right - rc.left;
  return true;
}

void MB_Draw_Render::compute_transf() {
  int w = 0, h = 0;
  client_size(w, h);
  if (h <= 1 || w <= 1 || std::fabs(fit_height_) < 0.001 || std::fabs(fit_width_) < 0.001) return;
  const double s = std::min(h / fit_height_, w / fit_width_);
  const double ox = (h - s * fit_height_) * 0.5;
  const double oy = s * fit_width_ + (w - s * fit_width_) * 0.5;
  drawing_to_screen_ = translate_transf(zoom_transf_.translation()) * scale_transf(zoom_transf_.scaling()) *
                       reflect_transf(As_Vec(0.0, 1.0, 0.0)) * translate_transf(As_Vec(ox, oy, 0.0));
}

void MB_Draw_Render::set_zoom_transf(const As_Vec& v, double factor) {
  const double k = zoom_transf_.scaling() * factor;
  if (!(k >= kMinScale && k <= kMaxScale) || !finite_vec(v)) return;
  zoom_transf_ = zoom_transf_ * translate_transf(v) * scale_transf(factor);
  compute_transf();
}

void MB_Draw_Render::zoom_window(const As_Pt& a, const As_Pt& b) {
  const double k = drawing_to_screen_.scaling();
  const double dx = std::fabs(a.x() - b.x()) * k, dy = std::fabs(a.y() - b.y()) * k;
  RECT rc = scr_rect_;
  if (wnd_) GetClientRect(wnd_, &rc);
  const int h = rc.bottom - rc.top, w = rc.right - rc.left;
  if (h == 0 || w == 0) return;
  // The window's pixels from the first to the last: the rectangle's edges
  // land inside the view (mb_picture_span). A zero extent does not limit the
  // factor; both zero leave the scale.
  const double span_y = mb_picture_span(h), span_x = mb_picture_span(w);
  const double fy = dy > 0.0 ? span_y / dy : HUGE_VAL, fx = dx > 0.0 ? span_x / dx : HUGE_VAL;
  set_zoom_transf(As_Vec(), std::min(fy, fx));
  const As_Pt c = (a + (b - a) / 2.0) * drawing_to_screen_;
  const As_Pt centre(rc.left + w / 2.0, rc.top + h / 2.0, 0.0);
  set_zoom_transf((centre - c) * screen_to_drawing(), 1.0);
}

void MB_Draw_Render::zoom_all() {
  MB_Object_List* list = active_list();
  if (!list) return;
  As_Rect_Union extents;
  for_each_entity(*list, [&](MB_Drawable* e) {
    if (e->flag() != 0) extents.add(e->rect());
  });
  if (!extents.any()) return;
  zoom_window(extents.rect().lt(), extents.rect().rb());
  invalidate();
}

void MB_Draw_Render::scale_view(double factor, int x, int y) {
  const double k = zoom_transf_.scaling() * factor;
  if (!std::isfinite(factor) || factor <= 0.0 || !(k >= kMinScale && k <= kMaxScale)) return;
  const As_Pt pixel(x, y, 0.0);
  const As_Pt d_old = pixel * screen_to_drawing();
  zoom_transf_ = zoom_transf_ * scale_transf(factor);
  compute_transf();
  const As_Pt d_new = pixel * screen_to_drawing();
  zoom_transf_ = zoom_transf_ * translate_transf(d_new - d_old);
  compute_transf();
}

void MB_Draw_Render::scale_view(double factor) {
  scale_view(factor, scr_rect_.left + (scr_rect_.right - scr_rect_.left) / 2,
             scr_rect_.top + (scr_rect_.bottom - scr_rect_.top) / 2);
}

void MB_Draw_Render::pan_view(const As_Vec& v) {
  if (!finite_vec(v)) return;
  zoom_transf_ = zoom_transf_ * translate_transf(v) * scale_transf(1.0);
  compute_transf();
}

void MB_Draw_Render::pan_view(const As_Pt& from, const As_Pt& to) { pan_view(to - from); }

// ---- Export ----

bool MB_Draw_Render::export_image(const char* path, const As_Rect& area, long width, long height, short,
                                  long background) {
  const double wd = std::fabs(area.rb().x() - area.lt().x());
  const double hd = std::fabs(area.lt().y() - area.rb().y());
  if (!(wd >= 0.001) || !(hd >= 0.001) || width <= 1 || height <= 1 || width > INT_MAX || height > INT_MAX)
    return false;
  As_Tran m = mb_picture_transf(area, width, height);

  HDC wdc = GetDC(wnd_);
  HDC memdc = wdc ? CreateCompatibleDC(wdc) : nullptr;
  HBITMAP bitmap = memdc ? CreateCompatibleBitmap(wdc, static_cast<int>(width), static_cast<int>(height)) : nullptr;
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old_bitmap = SelectObject(memdc, bitmap);
    RECT all = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(background));
    FillRect(memdc, &all, brush);
    DeleteObject(brush);
    if (MB_Object_List* list = active_list()) {
      MB_Walk_Pass pass;
      // Selected entities belong to the picture as much as the others.
      for_each_entity(*list, [&](MB_Drawable* e) {
        if (e->flag() == 0) return;
        e->draw_in_own_colour(memdc, quick_dc_, m);
      });
    }
    SelectObject(memdc, old_bitmap);
    if (path && path[0]) {
      CxImage image(0);
      ok = image.CreateFromHBITMAP(bitmap) && image.Save(path, export_format(path));
      DeleteObject(bitmap);
    } else if (!OpenClipboard(wnd_)) {
      ok = false;
      DeleteObject(bitmap);
    } else {
      EmptyClipboard();
      ok = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
      CloseClipboard();
      if (!ok) DeleteObject(bitmap);
    }
  }
  if (memdc) DeleteDC(memdc);
  if (wdc) ReleaseDC(wnd_, wdc);
  return ok;
}

double mb_picture_span(long pixels) { return static_cast<double>(pixels) - 1.0; }

As_Tran mb_picture_transf(const As_Rect& area, long width, long height) {
  const double wd = std::fabs(area.rb().x() - area.lt().x());
  const double hd = std::fabs(area.lt().y() - area.rb().y());
  const double s = std::min(mb_picture_span(width) / wd, mb_picture_span(height) / hd);
  const As_Pt c = area.lt() + (area.rb() - area.lt()) / 2.0;
  // The centre of the area on the centre of the picture: with the span of
  // width - 1 pixels, the area's edges fall on the middles of the first and
  // last pixels, so truncation to pixels keeps both in the picture.
  return translate_transf(As_Pt() - c) * scale_transf(s) * reflect_transf(As_Vec(0.0, 1.0, 0.0)) *
         translate_transf(As_Vec(static_cast<double>(width) / 2.0, static_cast<double>(height) / 2.0, 0.0));
}

bool mb_export_type_known(const char* path) { return qm_picture_format(path) != CXIMAGE_FORMAT_UNKNOWN; }

std::string mb_export_types() { return qm_picture_extensions(); }

// ---- The render list ----

void MB_Draw_Render_List::add(MB_Draw_Render* render) {
  if (!render) return;
  cur_ = render;
  render->next(nullptr);
  render->prev(tail_);
  if (tail_) {
    tail_->next(render);
  } else {
    head_ = render;
  }
  tail_ = render;
}

void MB_Draw_Render_List::kill_all() {
  MB_Draw_Render* r = head_;
  head_ = tail_ = cur_ = nullptr;
  while (r) {
    MB_Draw_Render* next = r->next();
    delete r;
    r = next;
  }
}

void MB_Draw_Render_List::set_cur(MB_Layout* layout) {
  if (!layout) {
    cur_ = head_;
    return;
  }
  for (MB_Draw_Render* r = head_; r; r = r->next())
    if (r->layout() == layout) {
      cur_ = r;
      return;
    }
}
