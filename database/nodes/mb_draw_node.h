// Display-list nodes: the primitives an entity turns into when it is built
// for drawing, in drawing coordinates. Each node draws itself onto the
// off-screen surface (CMyDC) or onto a device context through a view
// transform (points truncated toward zero, clamped to the int range), knows
// its bounding rectangle once build_rect has run, and can be picked.
//
// Every colour a node is given passes the near-background rule: a colour
// within 100 of the background (both as packed 32-bit integers) is stored as
// its complement, so that nothing vanishes against the background.
//
// A node owns its rectangle and its points; copies are deep. A transform or
// image node only refers to its inner node or raster and never frees it. A
// group node owns its children and cannot be copied. MB_Draw_List links
// nodes through their own links and deletes them only through kill and
// kill_all.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include <qm_raster.h>

#include "database/mb_display_color.h"
#include "geometry/as_pt.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_rect.h"
#include "geometry/as_tran.h"
#include "surface/device_point.h"

class CMyDC;
class CxImage;
class MB_Drawable;
class MB_Line_Type;
class MB_Text;

class MB_Draw_Node {
 public:
  enum Draw_Node_ID : int32_t {
    DRAW_POINT = 1,
    DRAW_LINES_SET = 2,
    DRAW_LINES_SETS = 3,
    DRAW_SOLID = 4,
    DRAW_SOLIDS = 5,
    DRAW_TRANS = 6,  // also the image node
    DRAW_TTF_TEXT = 7,
    DRAW_NODES = 8,
  };

  MB_Draw_Node() = default;
  MB_Draw_Node(int32_t color, MB_Drawable* owner)
      : color_(mb_display_color(color, MB_Background_Match::kNear)), drawable_(owner) {}
  // Copies colour, owner, flag and rectangle; the copy is in no list.
  MB_Draw_Node(const MB_Draw_Node& other);
  MB_Draw_Node& operator=(const MB_Draw_Node& other);
  virtual ~MB_Draw_Node() = default;

  virtual Draw_Node_ID draw_node_id() const = 0;
  virtual void draw(CMyDC&, const As_Tran&) {}
  virtual void draw(HDC, const As_Tran&) {}
  virtual void build_rect() {}
  virtual bool pick(const As_Pt&, As_Pt&, double) { return false; }

  int32_t color() const { return color_; }
  void color(int32_t c) { color_ = mb_display_color(c, MB_Background_Match::kNear); }
  // Applies the rule again, for a background that changed.
  void build_color() { color_ = mb_display_color(color_, MB_Background_Match::kNear); }
  char flag() const { return flag_; }
  void flag(char f) { flag_ = f; }
  MB_Draw_Node* prev() const { return prev_; }
  MB_Draw_Node* next() const { return next_; }
  void prev(MB_Draw_Node* n) { prev_ = n; }
  void next(MB_Draw_Node* n) { next_ = n; }
  MB_Drawable* drawable() const { return drawable_; }
  void drawable(MB_Drawable* d) { drawable_ = d; }
  // Null until build_rect.
  As_Rect* rect() const { return rect_.get(); }
  double diagonal_len() const { return rect_ ? rect_->diagonal_len() : 0.0; }

 protected:
  void set_rect(const As_Rect& r) { rect_.reset(new As_Rect(r)); }
  void drop_rect() { rect_.reset(); }
  // The bounding rectangle of the points in normal form (left-top corner
  // first, for two points as for more); none for no points.
  void rect_of(const As_Pt* pts, int n);

 private:
  int32_t color_ = 0;
  MB_Draw_Node* prev_ = nullptr;
  MB_Draw_Node* next_ = nullptr;
  MB_Drawable* drawable_ = nullptr;
  std::unique_ptr<As_Rect> rect_;
  char flag_ = 0;
};

// A point that draws nothing and is never picked.
class MB_Draw_Point : public MB_Draw_Node {
 public:
  MB_Draw_Point() = default;
  explicit MB_Draw_Point(const As_Pt& p) : point_(p) {}
  Draw_Node_ID draw_node_id() const override { return DRAW_POINT; }
  const As_Pt& point() const { return point_; }

 private:
  As_Pt point_;
};

// One polyline.
class MB_Draw_Lines_Set : public MB_Draw_Node, public As_Pt_Set {
 public:
  MB_Draw_Lines_Set() = default;
  MB_Draw_Lines_Set(const As_Pt* points, int count, int32_t color, MB_Drawable* owner);

  Draw_Node_ID draw_node_id() const override { return DRAW_LINES_SET; }
  // SetColor with the node colour, then the polyline.
  void draw(CMyDC& dc, const As_Tran& t) override;
  // MoveToEx and LineTo for two points, else Polyline, with the DC's pen.
  void draw(HDC hdc, const As_Tran& t) override;
  void build_rect() override;
  // The first segment (in order) whose box grown by tol holds p: one of its
  // ends closer than tol, else its perpendicular foot closer than tol.
  bool pick(const As_Pt& p, As_Pt& hit, double tol) override;

 private:
  // A line's two points, beside the node's colour, so that a repaint reads
  // one block per line; longer polylines keep theirs on the heap.
  static constexpr int kInline = 2;
  As_Pt inline_[kInline];
};

// Several polylines in one buffer, optionally filled.
class MB_Draw_Lines_Sets : public MB_Draw_Node, public As_Pt_Sets {
 public:
  MB_Draw_Lines_Sets() = default;
  MB_Draw_Lines_Sets(int32_t color, MB_Drawable* owner) : MB_Draw_Node(color, owner) {}
  // The polyline cut by the line type's pattern at the scale.
  MB_Draw_Lines_Sets(const As_Pt* points, int count, int32_t color, double scale, const MB_Line_Type* line_type,
                     MB_Drawable* owner);

  Draw_Node_ID draw_node_id() const override { return DRAW_LINES_SETS; }
  // Runs of one point are passed over; filled runs of more than two points
  // are filled in the node colour; outlines in the surface's colour.
  void draw(CMyDC& dc, const As_Tran& t) override;
  // Runs of one point become one pixel in the pen's colour; filled runs
  // whose ends meet are filled in the node colour, outlined with the pen.
  void draw(HDC hdc, const As_Tran& t) override;
  void build_rect() override;
  bool pick(const As_Pt& p, As_Pt& hit, double tol) override { return snap(p, hit, tol); }

 private:
  // f(points, count) for every run, in order.
  template <class F>
  void for_each_run(F f) const {
    const As_Pt* run = points();
    for (unsigned long s = 0; s < ptset_count(); ++s) {
      const int n = static_cast<int>(vals()[s]);
      f(run, n);
      run += n;
    }
  }
};

// One filled polygon (vertices not repeated at the end).
class MB_Draw_Solid : public MB_Draw_Node, public As_Pt_Set {
 public:
  MB_Draw_Solid() = default;
  MB_Draw_Solid(const As_Pt* points, int count, int32_t color, MB_Drawable* owner);

  Draw_Node_ID draw_node_id() const override { return DRAW_SOLID; }
  // A mask fills with the views' background colour as it is when drawn,
  // whatever its own colour.
  bool mask() const { return mask_; }
  void mask(bool m) { mask_ = m; }
  int32_t fill_color() const { return mask_ ? mb_background_color() : color(); }
  // Nothing for fewer than three vertices.
  void draw(CMyDC& dc, const As_Tran& t) override;
  void draw(HDC hdc, const As_Tran& t) override;
  void build_rect() override;
  // p inside the polygon; hit is not written.
  bool pick(const As_Pt& p, As_Pt& hit, double tol) override;

 private:
  bool mask_ = false;
};

// Keeps nothing and draws nothing.
class MB_Draw_Solids : public MB_Draw_Node, public As_Pt_Sets {
 public:
  MB_Draw_Solids() = default;
  MB_Draw_Solids(const As_Pt*, int, int32_t, double, const MB_Line_Type*, MB_Drawable*) {}
  Draw_Node_ID draw_node_id() const override { return DRAW_SOLIDS; }
};

// Another node under a transform (the transform applied first, then the
// view's). The inner node is not owned.
class MB_Draw_Trans : public MB_Draw_Node {
 public:
  MB_Draw_Trans() = default;
  MB_Draw_Trans(const As_Tran& t, MB_Draw_Node* inner, int32_t color, MB_Drawable* owner)
      : MB_Draw_Node(color, owner), inner_(inner), tran_(t) {}

  Draw_Node_ID draw_node_id() const override { return DRAW_TRANS; }
  void draw(CMyDC& dc, const As_Tran& t) override;
  void draw(HDC hdc, const As_Tran& t) override;
  // The inner rectangle under the transform; none without one.
  void build_rect() override;

  MB_Draw_Node* inner() const { return inner_; }
  void inner(MB_Draw_Node* n) { inner_ = n; }
  As_Tran tran() const { return tran_; }
  void tran(const As_Tran& t) { tran_ = t; }

 private:
  MB_Draw_Node* inner_ = nullptr;
  As_Tran tran_;
};

// A raster placed by its centre and extents. The raster is not owned.
class MB_Draw_Image : public MB_Draw_Node {
 public:
  MB_Draw_Image() = default;
  MB_Draw_Image(CxImage* image, const As_Pt& centre, double extent_y, double extent_x, double third,
                MB_Drawable* owner);

  Draw_Node_ID draw_node_id() const override { return DRAW_TRANS; }
  // The raster stretched over the placement rectangle mapped by the view:
  // the centre transformed, the extents times the view's scaling.
  void draw(CMyDC& dc, const As_Tran& t) override;
  void draw(HDC hdc, const As_Tran& t) override;
  // The untransformed placement rectangle.
  void build_rect() override;

  CxImage* image() const { return image_; }
  const As_Pt& centre() const { return centre_; }

 private:
  CxImage* image_ = nullptr;
  As_Pt centre_;
  double extent_y_ = 0.0, extent_x_ = 0.0, third_ = 0.0;
};

// A single-line text drawn with a system font of its style's face at the
// insertion point, in the DC's text colour, background mode and alignment.
// The owner must be an MB_Text (or null, which draws nothing).
class MB_Draw_TTF_Text : public MB_Draw_Node {
 public:
  MB_Draw_TTF_Text() = default;
  MB_Draw_TTF_Text(int32_t color, MB_Text* text);

  Draw_Node_ID draw_node_id() const override { return DRAW_TTF_TEXT; }
  // The off-screen surface gets no text.
  void draw(CMyDC&, const As_Tran&) override {}
  // Font height = the text height times the view's scaling, truncated and
  // kept in the node; the font is made, used and deleted within the call.
  void draw(HDC hdc, const As_Tran& t) override;

  // The height of the last draw; 0 before one.
  int font_height() const { return font_height_; }
  // Two further values, kept at 0.
  int extra(int i) const { return i == 0 || i == 1 ? extra_[i] : 0; }

 private:
  int font_height_ = 0;
  int extra_[2] = {0, 0};
};

// A list of nodes linked through their own links. Destroying the list
// leaves the nodes alone; kill and kill_all delete them.
class MB_Draw_List {
 public:
  MB_Draw_List() = default;
  MB_Draw_List(const MB_Draw_List&) = delete;
  MB_Draw_List& operator=(const MB_Draw_List&) = delete;
  virtual ~MB_Draw_List() = default;

  MB_Draw_Node* head() const { return head_; }
  MB_Draw_Node* tail() const { return tail_; }
  // Null is ignored.
  void add(MB_Draw_Node* node);
  void add_head(MB_Draw_Node* node);
  // Unlinks and deletes a node of this list; null is ignored.
  void kill(MB_Draw_Node* node);
  void kill_all();
  void draw(HDC hdc, const As_Tran& t);
  void insert(MB_Draw_Node*, MB_Drawable*) {}

 private:
  MB_Draw_Node* head_ = nullptr;
  MB_Draw_Node* tail_ = nullptr;
};

// A group of nodes, owned; draws nothing itself.
class MB_Draw_Nodes : public MB_Draw_Node {
 public:
  MB_Draw_Nodes() = default;
  MB_Draw_Nodes(const MB_Draw_Nodes&) = delete;
  MB_Draw_Nodes& operator=(const MB_Draw_Nodes&) = delete;
  ~MB_Draw_Nodes() override { list_.kill_all(); }

  Draw_Node_ID draw_node_id() const override { return DRAW_NODES; }
  MB_Draw_List& node_list() { return list_; }

 private:
  MB_Draw_List list_;
};

// A raster stretched over the rectangle of that centre and size in drawing
// units mapped by the view: the centre transformed, the size times the
// view's scaling, corners truncated toward zero. Nothing for a null raster.
// One pixel in the colour of the device context's pen: what a run of one
// point, or geometry of no extent, draws.
void mb_draw_dot(HDC hdc, POINT at);

void mb_draw_raster(HDC hdc, CxImage* image, const As_Pt& centre, double width, double height, const As_Tran& t);
