// One view of a drawing on one window.
//
// The renderer owns the view transform (drawing coordinates to client
// pixels, y down), the zoom transform the user changes by zooming and
// panning, an off-screen surface on which every repaint is composed before
// one block transfer to the window, the drawing rectangle the window shows,
// the entities the last repaint drew, the coordinate-system icon and the view
// history. The view transform is rebuilt from the zoom transform and the
// client size by compute_transf (the fit rule); zooming and panning change
// the zoom transform and rebuild it. Scalings stay within [1e-9, 1e11]
// pixels per drawing unit, so the inverse view never divides by zero.
//
// MB_Draw_Render_List is the owning list of an operation's renderers, with
// one current renderer. Renderers hold GDI objects and cannot be copied.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/mb_cs_icon.h"
#include "display/mb_extent_index.h"
#include "geometry/as_rect.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"
#include "surface/cmydc.h"

class MB_Drawable;
class MB_Drawing;
class MB_Layout;
class MB_Object_List;
class MB_Operation;
class MB_View_Undo_Redo;

class MB_Draw_Render {
 public:
  // Zoom scalings outside this range are refused.
  static constexpr double kMinScale = 1e-9;
  static constexpr double kMaxScale = 1e11;

  MB_Draw_Render();
  MB_Draw_Render(const MB_Draw_Render&) = delete;
  MB_Draw_Render& operator=(const MB_Draw_Render&) = delete;
  ~MB_Draw_Render();

  // Takes the window and the drawing from the operation; with a window,
  // fits the view and makes the surface at the client size.
  void init(MB_Operation* operation, MB_Layout* layout);
  void init_quick_dc(HDC hdc);
  // The window's size handler: a new surface for the client rectangle; the
  // view transform is left to compute_transf.
  void resize_quick_dc(HDC hdc, RECT& rect);
  // A window-less renderer: its client rectangle and DC.
  void set_dc_rect(const RECT& rect, HDC hdc);
  void get_dc_rect(RECT& rect) const;
  HDC get_dc() const;
  void release_dc(HDC hdc) const;
  void update_draw_render(HDC hdc);

  MB_Operation* operation() const { return operation_; }
  // The entities the last repaint drew (the selection at the head) and
  // those drawn one at a time since.
  const As_Void_List& display_list() const { return display_list_; }
  void clear_display_list();
  // Takes every entry of the entity out of the display list.
  void remove_from_display_list(MB_Drawable* entity);
  // Takes out the entries for which pred(MB_Drawable*) is true.
  template <class Pred>
  void remove_from_display_list_if(Pred pred) {
    for (As_Void_Node* n = display_list_.head(); n;) {
      if (pred(static_cast<MB_Drawable*>(n->entity()))) {
        n = display_list_.remove_node(n);
        ++display_generation_;
      } else {
        n = n->next();
      }
    }
  }
  // The index over the extents of the display list, rebuilt first when the
  // list or some entity's extents changed since it was built.
  const MB_Extent_Index& extent_index();
  bool printing() const { return printing_; }
  void printing(bool on) { printing_ = on; }
  bool update_flag() {
    const bool was = update_flag_;
    update_flag_ = false;
    return was;
  }
  As_Tran& drawing_to_screen() { return drawing_to_screen_; }
  As_Tran screen_to_drawing() const { return drawing_to_screen_.inverse(); }
  As_Tran zoom_transf() const { return zoom_transf_; }
  void zoom_transf(const As_Tran& t) { zoom_transf_ = t; }
  As_Tran& zoom3d_transf() { return zoom3d_transf_; }
  bool zoom3d_flag() const { return zoom3d_flag_; }
  void zoom3d_flag(bool on) { zoom3d_flag_ = on; }
  As_Void_List& mark_list() { return mark_list_; }
  MB_Coor_Lines& coor_lines() { return coor_lines_; }
  MB_Drawing* drawing() const { return drawing_; }
  void drawing(MB_Drawing* d) { drawing_ = d; }
  MB_Layout* layout() const { return layout_; }
  void layout(MB_Layout* l) { layout_ = l; }
  HWND wnd() const { return wnd_; }
  void wnd(HWND w) { wnd_ = w; }
  const RECT& scr_rect() const { return scr_rect_; }
  const As_Rect& drw_rect() const { return drw_rect_; }
  CMyDC& quick_dc() { return quick_dc_; }
  HDC get_quick_dc() const { return quick_dc_.GetDC(); }
  MB_View_Undo_Redo* view_undo_redo() const { return view_undo_redo_; }
  MB_Draw_Render* next() const { return next_; }
  void next(MB_Draw_Render* r) { next_ = r; }
  MB_Draw_Render* prev() const { return prev_; }
  void prev(MB_Draw_Render* r) { prev_ = r; }

  // The repaint: composed on the surface, then copied to hdc.
  void draw(HDC hdc) { compose(hdc, true); }
  void draw_on_quick_dc(HDC hdc) { compose(hdc, true); }
  // The repaint without the selection and the tool's feedback.
  void draw_all(HDC hdc) { compose(hdc, false); }
  // Draws one entity at once onto the window (nothing without a window).
  void draw_object(MB_Drawable* entity);
  void redraw_object(MB_Drawable* entity);
  void redraw_list(As_Void_List& list);
  void redraw_rect(RECT&) {}
  void invalidate();
  void redraw_all() { invalidate(); }
  bool build_color();
  // A plain GDI repaint through a memory DC.
  void draw_on_memdc(HDC hdc);
  void let_us_draw_nonuse_mem(HDC hdc, MB_Drawing& drawing);
  void draw_on_memdc(HDC hdc, As_Rect& rect, MB_Drawing& drawing);
  void draw_drawing(HDC, MB_Drawing&) {}

  // View changes.
  void compute_transf();
  void set_zoom_transf(const As_Vec& v, double factor);
  void zoom_window(const As_Pt& a, const As_Pt& b);
  void zoom_all();
  // A factor that is not finite and positive, or that would take the scaling
  // out of range, changes nothing.
  void scale_view(double factor, int x, int y);
  void scale_view(double factor);
  void pan_view(const As_Pt& from, const As_Pt& to);
  void pan_view(const As_Vec& v);

  // Renders the drawing rectangle into a width x height image and writes it
  // to the file (format by extension: bmp, gif, tif, png; anything else
  // jpeg), or to the clipboard when the path is empty. False when the area
  // or the size is degenerate, or the bitmap, the encoding, the file or the
  // clipboard fails.
  bool export_image(const char* path, const As_Rect& area, long width, long height, short unused,
                    long background);

 private:
  void compose(HDC hdc, bool with_selection);
  bool client_size(int& w, int& h) const;
  // The drawing rectangle under the client rectangle r.
  void set_drw_rect(const RECT& r);
  MB_Object_List* active_list() const;

  MB_Operation* operation_ = nullptr;
  bool update_flag_ = false;
  // Where the objects of the active list and their display nodes lay at the
  // last repaint, in list order: addresses only, never read through (the
  // objects may be gone since), so the next repaint can ask for the memory
  // of the objects ahead of the one it draws.
  struct Fetch_Hint {
    uintptr_t object = 0;
    uintptr_t node = 0;
  };
  std::vector<Fetch_Hint> fetch_hints_;
  As_Void_List display_list_;
  // Counts the changes of display_list_; the index knows the count and the
  // extents generation it was built at.
  uint64_t display_generation_ = 0;
  MB_Extent_Index extent_index_;
  bool index_built_ = false;
  uint64_t indexed_display_generation_ = 0;
  uint64_t indexed_extents_generation_ = 0;
  bool printing_ = false;
  As_Tran drawing_to_screen_;
  As_Tran zoom_transf_;
  As_Tran zoom3d_transf_;
  bool zoom3d_flag_ = false;
  double fit_height_ = 290.0;
  double fit_width_ = 210.0;
  As_Void_List mark_list_;
  MB_Coor_Lines coor_lines_;
  MB_Drawing* drawing_ = nullptr;
  MB_Layout* layout_ = nullptr;
  CMyDC quick_dc_;
  RECT scr_rect_ = {0, 0, 0, 0};
  HWND wnd_ = nullptr;
  As_Rect drw_rect_;
  HDC mem_dc_ = nullptr;
  bool own_mem_dc_ = false;
  HBITMAP mem_bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  HBRUSH bk_brush_ = nullptr;
  MB_Draw_Render* next_ = nullptr;
  MB_Draw_Render* prev_ = nullptr;
  MB_View_Undo_Redo* view_undo_redo_;
};

class MB_Draw_Render_List {
 public:
  MB_Draw_Render_List() = default;
  MB_Draw_Render_List(const MB_Draw_Render_List&) = delete;
  MB_Draw_Render_List& operator=(const MB_Draw_Render_List&) = delete;
  ~MB_Draw_Render_List() { kill_all(); }

  // Links the renderer at the tail and makes it current; null is ignored.
  void add(MB_Draw_Render* render);
  void kill_all();
  // Null: the head; otherwise the first renderer of that layout (the
  // current one stays when none matches).
  void set_cur(MB_Layout* layout);
  MB_Draw_Render* head() const { return head_; }
  MB_Draw_Render* tail() const { return tail_; }
  MB_Draw_Render* cur() const { return cur_; }

 private:
  MB_Draw_Render* head_ = nullptr;
  MB_Draw_Render* tail_ = nullptr;
  MB_Draw_Render* cur_ = nullptr;
};

// How pictures hold an area, the view's zoom all and every export alike: the
// area spans a picture's pixels from the first to the last, so its outermost
// strokes stay in the picture. The span of a side of `pixels`:
// pixels - 1.
double mb_picture_span(long pixels);
// Drawing coordinates (y up) to the pixels (y down) of a width x height
// picture that shows the area whole, centred, at one scale for both axes.
As_Tran mb_picture_transf(const As_Rect& area, long width, long height);

// True when export_image writes the image type a file name asks for by its
// extension (compared without regard to case); any other name gets JPEG data
// or fails.
bool mb_export_type_known(const char* path);
// Those extensions for a message: ".bmp, .gif, .tif, .png, .jpg, .jpeg".
std::string mb_export_types();
