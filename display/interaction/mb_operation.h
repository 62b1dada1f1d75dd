// The editing context of one window: it owns the current drawing, the
// renderers of the window, the mouse tools (the first is the active one),
// the selection and the undo store of the drawing.
//
// The operation constructed last is g_active_operation; it clears the
// global when it dies. Renderers are freed only after every tool has let go
// of them (tools are rebound to the new current renderer), and an entity
// that leaves the drawing leaves the selection and every display list with
// it, so nothing here ever reaches a freed renderer or entity. A tool that
// ends, or is replaced by a new tool, while one of its handlers runs stays
// alive until the operation's dispatch of that event returns; it is freed
// then, so no handler ever runs on a freed tool. It cannot be copied.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "database/mb_string.h"
#include "display/mb_draw_render.h"
#include "geometry/as_pt.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"

class MB_Drawable;
class MB_Drawing;
class MB_Mouse_Tool;
class MB_Object;
class MB_Undo_Redo;

class MB_Operation {
 public:
  MB_Operation();
  MB_Operation(const MB_Operation&) = delete;
  MB_Operation& operator=(const MB_Operation&) = delete;
  virtual ~MB_Operation();

  // Takes the drawing over (owned from now on) and binds the window.
  void init(HWND wnd, MB_Drawing* drawing);
  void init(HWND wnd, const char* name);

  MB_Drawing* drawing() const { return drawing_; }
  // Replaces the drawing pointer; the old drawing is not deleted.
  void drawing(MB_Drawing* d);
  HWND wnd() const { return wnd_; }
  As_Void_List& selection() { return selection_; }
  MB_Draw_Render_List& draw_render_list() { return draw_render_list_; }
  MB_Draw_Render* draw_render() const { return draw_render_list_.cur(); }
  MB_Draw_Render* cur_draw_render() const { return draw_render(); }
  MB_Undo_Redo* undo_redo() const { return undo_redo_; }
  As_Void_List& mousetool_list() { return mousetool_list_; }

  // A new empty drawing with a new undo store (recording through it) and
  // new renderers; the old drawing and store are freed.
  void create_drawing(const char* name);
  // The same with a drawing the caller made (read, say), which the operation
  // takes; null makes a new empty drawing named "".
  void adopt_drawing(MB_Drawing* drawing);
  bool close_drawing();
  // Reads a native file into the drawing as it stands (a new drawing when
  // there is none). The read's own result: false when the file cannot be
  // read or is malformed (what was read stays), or for a null path.
  bool load_kzf(const char* path);
  // Writes the drawing as a native file; false for a null path, without a
  // drawing or when writing fails.
  bool save_kzf(const char* path);
  // Why the last load_kzf or save_kzf failed, in words (MB_File_IO::reason);
  // empty after success.
  const std::string& file_error() const { return file_error_; }
  void rebuild_draw_render_list(MB_Drawing* drawing, HWND wnd);
  void build_draw();
  void draw(HDC hdc);
  void draw_object(MB_Drawable* entity);
  void redraw_object(MB_Drawable* entity);
  void redraw_list(As_Void_List& list);
  void invalidate();
  void redraw_all() { invalidate(); }
  void redraw_rect() { invalidate(); }

  // Tools.
  void add_tool(MB_Mouse_Tool* tool);
  void add_tool(long tag, const MB_String& title);
  void pop_tool(MB_Mouse_Tool* unused);
  void clear_all_tools();
  // Takes the tool out of the operation and frees it, at once or, while an
  // event is being dispatched, when that dispatch returns.
  void end_tool(MB_Mouse_Tool* tool);
  MB_Mouse_Tool* get_active_tool() const;
  long get_active_tool_id() const;
  const char* get_active_tool_title() const;
  MB_Drawable* get_snap_entity() const;
  void set_snap(int) {}

  // Events: 0 without an active tool; 1 otherwise (messages outside
  // 0x200..0x206 reach no tool).
  int process_mouse_event(int msg, unsigned flags, POINT& point);
  int process_event(int msg, int x, int y, int flags);
  int process_event(MSG* msg);
  int process_keyboard_event(int msg, unsigned key, unsigned repeat, unsigned flags);

  // Selection.
  bool add_entity_to_selection(MB_Drawable* entity, bool redraw);
  bool clear_selectlist(bool redraw);
  bool rect_select(const As_Pt& a, const As_Pt& b, bool redraw);
  // Takes the object out of the list that holds it, the selection and every
  // renderer's display list; the recording undo store keeps it, otherwise
  // it is freed. Only entities (types 6 to 9) are deleted.
  bool delete_object(MB_Object* object, bool redraw);
  bool delete_object_list(As_Void_List& list, bool redraw);
  bool delete_selection();
  bool get_snap_pos(As_Pt, As_Pt&, int&, As_Void_List&) { return false; }

  // View (nothing without a current renderer).
  void compute_transf();
  void zoom_window(const As_Pt& a, const As_Pt& b);
  void zoom_all();
  void scale_view(double factor);
  void scale_view(double factor, int x, int y);
  void pan_view(const As_Pt& from, const As_Pt& to);
  // The identity without a current renderer.
  As_Tran screen_to_drawing() const;
  As_Tran drawing_to_screen() const;
  void record_trans();
  void display_previous_view();
  void display_next_view();
  bool is_can_previous_view() const;
  bool is_can_next_view() const;

  // Undo (nothing without a store). Undo and redo also drop the entities
  // that left the drawing from the selection and the display lists.
  void rec_cmd_begin(const char* name);
  void rec_cmd_end();
  void rec_cmd_pause();
  void rec_cmd_continue();
  void undo(As_Void_List& touched);
  void redo(As_Void_List& touched);
  bool is_can_undo() const;
  bool is_can_redo() const;

  // Takes the entity out of the selection and every display list.
  void forget_entity(MB_Drawable* entity);

  // What leaves the drawing, told to whoever keeps entity pointers of it
  // outside the kernel (a property panel) while they are still valid:
  // ENTITY, that entity is being taken out (it may be freed right after);
  // STEPPED, an undo or redo step has just taken entities out, or a new
  // command is about to free those an undo took out: such entities are
  // detached (owner_list() is null) and still alive during the call;
  // DRAWING, the drawing and all its entities are about to be freed or
  // replaced. One listener; a new one replaces it, null removes it.
  enum class Leaving { ENTITY, STEPPED, DRAWING };
  using Leave_Listener = std::function<void(Leaving what, MB_Drawable* entity)>;
  void leave_listener(Leave_Listener listener) { leave_listener_ = std::move(listener); }

 private:
  // Lets go of the drawing (freed unless it is `keep`), its undo store and
  // renderers; no drawing is left.
  void release_drawing(const MB_Drawing* keep);
  // A new undo store (recording) and new renderers for the drawing.
  void start_drawing();
  void free_renderers();
  void rebind_tools();
  void drop_detached();
  void delete_undo_store();
  // Frees the tools ended during a dispatch, once no dispatch runs.
  void free_ended_tools();
  void tell_leaving(Leaving what, MB_Drawable* entity = nullptr);

  MB_Drawing* drawing_ = nullptr;
  HWND wnd_ = nullptr;
  MB_Draw_Render_List draw_render_list_;
  As_Void_List mousetool_list_;
  As_Void_List ended_tools_;  // ended during a dispatch, owned
  int dispatching_ = 0;
  As_Void_List selection_;
  MB_Undo_Redo* undo_redo_ = nullptr;
  std::string file_error_;
  Leave_Listener leave_listener_;
};

// The operation constructed last, or null.
extern MB_Operation* g_active_operation;
// The keyboard mode of a drawing view: zoom (true) or pan (false). The
// kernel keeps it for its views and never reads it itself.
extern bool g_enter_key_flag;
