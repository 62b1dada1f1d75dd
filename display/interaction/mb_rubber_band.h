// Rubber-band feedback: temporary shapes drawn straight onto a window with
// an inverting pen (R2_NOTXORPEN, pen colour ~colour ^ background), so that
// drawing a shape a second time removes it.
//
// A rubber band works in frames: between draw_begin and draw_end the tool
// queues the shapes of the new frame; draw_end erases the previous frame by
// drawing it again, draws the new one and keeps it as the shapes on screen.
// reset erases the shapes on screen. The rubber band owns its shapes.
// g_is_rubbering is true during every inverting pass, so that entities that
// cannot be inverted draw a substitute. A rubber band without a renderer
// keeps its lists and draws nothing. Pen settings live in g_system_setting
// (long 2 colour, short 1 style, short 6 width) and are read when a shape
// is made. Nothing here can be copied.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/as_pt.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"

class As_Pt_List;
class MB_Draw_Render;
class MB_Drawable;

class MB_Rubber_Node {
 public:
  MB_Rubber_Node();
  MB_Rubber_Node(const MB_Rubber_Node&) = delete;
  MB_Rubber_Node& operator=(const MB_Rubber_Node&) = delete;
  virtual ~MB_Rubber_Node() = default;

  virtual void draw(HDC, const As_Tran&) {}

  void set_prop(int style, int width, int32_t colour) {
    style_ = style;
    width_ = width;
    colour_ = colour;
  }
  int style() const { return style_; }
  int width() const { return width_; }
  int32_t colour() const { return colour_; }
  // The pen colour that shows colour() over the background.
  int32_t color() const;
  // The pen colour that turns pixels of colour c into the highlight colour.
  static int32_t highlight_color(int32_t c);

 protected:
  // A pen of this shape's style, width and colour, selected into hdc.
  HGDIOBJ select_pen(HDC hdc, HPEN& pen) const;
  static void restore_pen(HDC hdc, HGDIOBJ old, HPEN pen);

 private:
  int style_;
  int width_;
  int32_t colour_;
};

class MB_Rubber_Point : public MB_Rubber_Node {
 public:
  MB_Rubber_Point(const As_Pt& pt, short style, short other) : pt_(pt), style_(style), other_(other) {}
  void draw(HDC hdc, const As_Tran& t) override;

 private:
  As_Pt pt_;
  short style_;
  [[maybe_unused]] short other_;  // kept as given; the marker uses the style alone
};

class MB_Rubber_Line : public MB_Rubber_Node {
 public:
  MB_Rubber_Line(const As_Pt& a, const As_Pt& b) : start_(a), end_(b) {}
  void draw(HDC hdc, const As_Tran& t) override;

 private:
  As_Pt start_, end_;
};

class MB_Rubber_Lines : public MB_Rubber_Node {
 public:
  MB_Rubber_Lines() = default;
  // Adopts the array (new[]).
  MB_Rubber_Lines(As_Pt* pts, int count) : pts_(pts), count_(pts ? count : 0) {}
  // The points, then the cursor, then the first point again when closed; no
  // array for an empty list.
  MB_Rubber_Lines(const As_Pt_List& pts, bool closed, const As_Pt& current);
  MB_Rubber_Lines(const As_Void_List& pts, bool closed, const As_Pt& current);
  ~MB_Rubber_Lines() override { delete[] pts_; }
  void draw(HDC hdc, const As_Tran& t) override;
  const As_Pt* points() const { return pts_; }
  int count() const { return count_; }

 private:
  As_Pt* pts_ = nullptr;
  int count_ = 0;
};

class MB_Rubber_Rect : public MB_Rubber_Node {
 public:
  MB_Rubber_Rect(const As_Pt& a, const As_Pt& b) : a_(a), b_(b) {}
  void draw(HDC hdc, const As_Tran& t) override;

 private:
  As_Pt a_, b_;
};

class MB_Rubber_Arc : public MB_Rubber_Node {
 public:
  // The end is moved onto the circle through start about the centre.
  MB_Rubber_Arc(const As_Pt& center, const As_Pt& start, const As_Pt& end);
  MB_Rubber_Arc(const As_Pt& center, double radius, const As_Pt& start, const As_Pt& end, int style, int width,
                int32_t colour);
  void draw(HDC hdc, const As_Tran& t) override;
  double radius() const { return radius_; }
  const As_Pt& end() const { return end_; }

 private:
  As_Pt center_;
  double radius_ = 0.0;
  As_Pt start_, end_;
};

class MB_Rubber_Circle : public MB_Rubber_Node {
 public:
  MB_Rubber_Circle(const As_Pt& center, double radius) : center_(center), radius_(radius) {}
  // The radius is the distance of the two points.
  MB_Rubber_Circle(const As_Pt& center, const As_Pt& on_circle);
  void draw(HDC hdc, const As_Tran& t) override;
  double radius() const { return radius_; }

 private:
  As_Pt center_;
  double radius_;
};

class MB_Rubber_Ellipse : public MB_Rubber_Node {
 public:
  MB_Rubber_Ellipse(const As_Pt& center, double major, double minor, double angle, double start, double end)
      : center_(center), major_(major), minor_(minor), angle_(angle), start_(start), end_(end) {}
  // By centre, axis end and a point on the ellipse; a point that no ellipse
  // of that major axis passes through gives a minor radius of 0.
  MB_Rubber_Ellipse(const As_Pt& center, const As_Pt& axis_end, const As_Pt& through);
  void draw(HDC hdc, const As_Tran& t) override;
  double major() const { return major_; }
  double minor() const { return minor_; }

 private:
  As_Pt center_;
  double major_ = 0, minor_ = 0, angle_ = 0;
  // Kept as given: the feedback is always the full ellipse.
  [[maybe_unused]] double start_ = 0, end_ = 0;
};

class MB_Rubber_Spline : public MB_Rubber_Node {
 public:
  MB_Rubber_Spline() = default;
  // The fitted curve through the points and the cursor, fixed in device
  // pixels through t.
  MB_Rubber_Spline(const As_Pt_List& pts, const As_Pt& current, const As_Tran& t);
  ~MB_Rubber_Spline() override { delete[] pts_; }
  void draw(HDC hdc, const As_Tran& t) override;
  int count() const { return count_; }

 private:
  POINT* pts_ = nullptr;
  int count_ = 0;
};

class MB_Rubber_Coor : public MB_Rubber_Node {
 public:
  explicit MB_Rubber_Coor(const As_Pt& pt) : pt_(pt) {}

 private:
  As_Pt pt_;
};

class MB_Rubber_Entity_List : public MB_Rubber_Node {
 public:
  MB_Rubber_Entity_List() = default;
  MB_Rubber_Entity_List(const As_Void_List& entities, const As_Tran& transf, bool highlight)
      : entities_(entities), transf_(transf), highlight_(highlight) {}
  void draw(HDC hdc, const As_Tran& view) override;

 private:
  As_Void_List entities_;  // MB_Drawable*, not owned
  As_Tran transf_;
  bool highlight_ = false;
};

class MB_Rubber {
 public:
  MB_Rubber() = default;
  MB_Rubber(const MB_Rubber&) = delete;
  MB_Rubber& operator=(const MB_Rubber&) = delete;
  ~MB_Rubber();

  void draw_render(MB_Draw_Render* render) { render_ = render; }
  MB_Draw_Render* draw_render() const { return render_; }

  static void set_color(int32_t c);
  static int32_t get_color();
  static void set_style(int s);
  static int get_style();
  static void set_width(int w);
  static int get_width();

  void draw_begin() { begun_ = true; }
  bool is_begun() const { return begun_; }
  // Queued while a frame is open; destroyed at once otherwise.
  void add_node_to_newlist(MB_Rubber_Node* node);
  void draw_line(const As_Pt& a, const As_Pt& b);
  void draw_rect(const As_Pt& a, const As_Pt& b);
  void draw_lines(const As_Pt_List& pts, const As_Pt& current, bool closed);
  void draw_spline(const As_Pt_List& pts, const As_Pt& current, const As_Tran& t);
  void draw_arc(const As_Pt& center, const As_Pt& start, const As_Pt& end);
  void draw_circle(const As_Pt& center, double radius);
  void draw_ellipse(const As_Pt& center, const As_Pt& axis_end, const As_Pt& through);
  void draw_entity_list(const As_Void_List& entities, const As_Tran& t);
  void highlight_entity_list(const As_Void_List& entities);
  void draw_entity(MB_Drawable*, const As_Tran&) {}
  void draw_end();
  void reset();
  // reset, and the shapes of an open frame are dropped.
  void drop();

  // Inverting pass of the shapes of the list onto the renderer's window
  // (or its memory DC without a window).
  void draw(As_Void_List& list);
  // The same pass onto a given DC (a repaint's surface).
  void draw_on(HDC hdc, As_Void_List& list);
  // The shapes on screen drawn again onto a repaint's surface, so that what
  // the window shows matches what this rubber band believes it shows.
  void redraw_on(HDC hdc) { draw_on(hdc, old_list_); }
  static void delete_drw_list(As_Void_List& list);
  // Moves the shapes of new_list to the end of old_list.
  void copylist_new_to_old();
  As_Void_List& new_list() { return new_list_; }
  As_Void_List& old_list() { return old_list_; }

 private:
  bool begun_ = false;
  As_Void_List new_list_;  // MB_Rubber_Node*, owned
  As_Void_List old_list_;  // MB_Rubber_Node*, owned
  MB_Draw_Render* render_ = nullptr;
};

