// The base of every interactive tool, and the snap candidates it finds.
//
// The operation hands each mouse message of its window to the active
// tool's process_mouse_event, which records the cursor, runs the object
// snap when snapping is on and dispatches to one of the virtual handlers.
// A handler may delete its own tool (or make a new tool, which deletes
// this one): nothing touches the tool after the handler returns.
//
// The tool's two rubber bands (feedback and snap markers) use the current
// renderer of the tool's operation; the operation rebinds them whenever it
// replaces its renderers, so they never reach a freed one.
//
// MB_Relation is one snap candidate: its kind, the entities it lies on and
// its point (the snapped point). Tools and relations cannot be copied.
#pragma once

#include <cstdint>

#include "database/entities/mb_curve_util.h"
#include "database/mb_string.h"
#include "display/interaction/mb_rubber_band.h"
#include "geometry/as_pt.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

class MB_Draw_Render;
class MB_Drawable;
class MB_Drawing;
class MB_Operation;

class MB_Relation {
 public:
  MB_Relation() = default;
  MB_Relation(uint16_t type, MB_Drawing* drawing) : type_(type), drawing_(drawing) {}
  MB_Relation(const MB_Relation&) = delete;
  MB_Relation& operator=(const MB_Relation&) = delete;
  virtual ~MB_Relation() = default;

  uint16_t type() const { return type_; }
  const As_Pt& ret_pos() const { return ret_pos_; }
  void ret_pos(const As_Pt& p) { ret_pos_ = p; }
  As_Void_List& ent_list() { return ent_list_; }
  MB_Drawing* drawing() const { return drawing_; }
  void drawing(MB_Drawing* d) { drawing_ = d; }
  // The snapped point: the pick's point, or ret_pos for an intersection.
  const As_Pt& snap_point() const { return type_ == MB_SNAP_INTERSECTION ? ret_pos_ : pick_pos_; }
  void pick_pos(const As_Pt& p) { pick_pos_ = p; }
  MB_Drawable* first_entity() const { return static_cast<MB_Drawable*>(ent_list_.first()); }

  // A marker of the first entity (a line or a polyline of lines).
  void add_draw_note_to_rubber(MB_Rubber& rubber);
  // Same kind, same number of entities and same first entity.
  bool is_same(const MB_Relation& other) const;

 private:
  uint16_t type_ = 0;
  As_Pt reserved_[2];
  As_Void_List ent_list_;  // MB_Drawable*, not owned
  MB_Drawing* drawing_ = nullptr;
  As_Pt ret_pos_;
  As_Pt pick_pos_;
};

class MB_Mouse_Tool {
 public:
  // The snap aperture in pixels.
  static double m_snap_tol;

  // Registers with the operation as its only and active tool (every other
  // tool of the operation is deleted).
  MB_Mouse_Tool(long tag, const MB_String& title, MB_Operation* operation);
  // Registers nowhere; its creator sets the operation.
  MB_Mouse_Tool();
  MB_Mouse_Tool(const MB_Mouse_Tool&) = delete;
  MB_Mouse_Tool& operator=(const MB_Mouse_Tool&) = delete;
  virtual ~MB_Mouse_Tool();

  virtual int process_mouse_event(int msg, int x, int y, const As_Pt& point, int flags);
  virtual int process_keyboard_event(int msg, unsigned key, unsigned repeat, unsigned flags);
  virtual void lbuttondown(int) {}
  virtual void lbuttonup(int) {}
  virtual void lbuttondblclk(int) {}
  virtual void rbuttondown(int) {}
  virtual void rbuttonup(int) {}
  virtual void rbuttondblclk(int) {}
  virtual void mousemove(int) {}
  virtual void draw(HDC) {}

  // Ends the tool: the operation frees it once the event being handled is
  // done (at once when none is); a tool without an operation frees itself.
  void end();
  bool is_snap() const { return snap_; }
  void is_snap(bool on) { snap_ = on; }
  void snap_start();
  void snap_stop();
  void snap_restart();
  void restart();
  bool clear_pos_list();

  MB_Relation* get_relation() const { return static_cast<MB_Relation*>(relation_list_.first()); }
  MB_Drawable* get_snap_entity() const;
  As_Void_List& relation_list() { return relation_list_; }
  static void clear_relation_list(As_Void_List& list);
  void highlight_relation();

  // The snap pass at a drawing point (the cursor).
  void process_snap(const As_Pt& point);

  MB_Operation* operation() const { return operation_; }
  void operation(MB_Operation* op);
  long tag() const { return tag_; }
  void tag(unsigned long t) { tag_ = static_cast<long>(t); }
  const MB_String& title() const { return title_; }
  const As_Pt& cur_pos() const { return cur_pos_; }
  const As_Pt& snap_pos() const { return snap_pos_; }
  int client_x() const { return client_x_; }
  int client_y() const { return client_y_; }
  As_Pt_List& pos_list() { return pos_list_; }
  MB_Rubber& rubber() { return rubber_; }
  MB_Rubber& snap_rubber() { return snap_rubber_; }
  MB_Drawing* drawing() const;
  MB_Draw_Render* draw_render() const;
  // Erases the feedback on screen, drops the shapes of an open frame and
  // the snap candidates: done before entities they show leave the drawing.
  void drop_feedback();
  // drop_feedback, then binds both rubber bands to a renderer (the
  // operation does this while the old renderer is still alive).
  void bind_renderer(MB_Draw_Render* render);

 protected:
  void create_relation();
  void deal_with_relation(MB_Relation* r);
  bool is_same_relation() const;
  void add_relation();

 private:
  MB_Operation* operation_ = nullptr;
  MB_String title_;
  long tag_ = 0;
  As_Pt cur_pos_;
  int client_x_ = 0, client_y_ = 0;
  As_Pt snap_pos_;
  As_Pt_List pos_list_;
  MB_Rubber rubber_;
  As_Void_List relation_list_;  // MB_Relation*, owned
  MB_Rubber snap_rubber_;
  As_Void_List new_relations_;  // MB_Relation*, owned
  bool snap_ = false;
  double snap_aperture_ = 0.0;  // of the pass under way, in drawing units
};

// The snap aperture in drawing units of the active operation's view; 0
// without one.
double api_mb_get_snap_tol();
// One snap pass at the point on the renderer's view: the snapped point, its
// kind and entity. False when nothing was found.
bool api_get_snap_pos(MB_Draw_Render& render, As_Pt point, As_Pt& snap, int& type, As_Void_List& entities);
