// The base of every entity.
//
// MB_General (mb_general.h) holds the attributes every entity carries,
// taken from the system settings when the entity is made. MB_Drawable adds
// identity numbers, an optional text, real value and block of extended data,
// the display state flag (0 hidden, 1 normal, 2 selected), the objects
// nested in the entity, its display node and its extents, and the virtual operations every entity class fills in:
// picking, building and drawing its display, and reading or writing its
// properties by number. A property number no class handles reads as zero,
// null or the origin and writes nothing.
//
// An entity owns its display node, its extended data and its nested object
// list. Copies (the copy constructor, assignment, copy_to) copy values and
// nest copies of the nested objects; a copy has no display node until
// build_draw.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/mb_general.h"
#include "database/mb_object.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_rect.h"

class As_Pt_List;
class As_Tran;
class CMyDC;
class MB_Draw_Node;
class MB_Drawing;
class MB_Layer;
class MB_Line_Type;
class MB_URL;

// Property numbers of the get and set operations. The base handles the
// real value, the user id and the extended-data text; each entity class the
// numbers of its own properties; a number a class does not handle reads as
// zero, null or the origin and writes nothing.
enum : int32_t {
  MB_PROP_START = -1,
  MB_PROP_END = -2,
  MB_PROP_CENTER = -3,
  MB_PROP_MIDDLE = -4,
  MB_PROP_IMAGE_CENTER = -6,
  MB_PROP_TOP_LEFT = -9,
  MB_PROP_BOTTOM_RIGHT = -10,
  MB_PROP_LENGTH = -100,  // or the perimeter
  MB_PROP_AREA = -101,
  MB_PROP_ANGLE = -102,   // a line's direction, an arc's sweep, an image's rotation
  MB_PROP_RADIUS = -103,  // the minor half-axis of an ellipse
  MB_PROP_MAJOR = -104,
  MB_PROP_WIDTH = -109,
  MB_PROP_HEIGHT = -110,
  MB_PROP_REAL_VAL = -114,
  MB_PROP_USER_ID = -205,
  MB_PROP_PIXEL_HEIGHT = -206,
  MB_PROP_PIXEL_WIDTH = -207,
  MB_PROP_ALPHA = -208,   // an image's blend value, 0 to 65535
  MB_PROP_XDATA_TEXT = -302,
};

// The kinds of point a pick answers, and the snap kinds of the mouse tools.
enum : int {
  MB_SNAP_POINT = 12,         // a point entity
  MB_SNAP_START = 13,         // the start of a segment or curve
  MB_SNAP_END = 14,           // its end
  MB_SNAP_CENTER = 16,        // the centre of a circle, arc or ellipse
  MB_SNAP_INTERSECTION = 20,  // where two entities cross (a snap, never a pick)
  MB_SNAP_VERTEX = 22,        // a vertex of a polyline, solid or face
  MB_SNAP_NEAREST = 31,       // the nearest point of an edge
  MB_SNAP_ON_CIRCLE = 33,     // the nearest point of a circle or arc
  MB_SNAP_ON_CURVE = 35,      // the nearest point of another curve
  MB_SNAP_INSIDE = 50,        // inside a filled area
  MB_SNAP_TEXT = 51,          // a text's insertion point
};

// Bytes carried with an entity, kept with a 0 byte behind them.
class MB_Xdata {
 public:
  MB_Xdata() = default;
  MB_Xdata(const MB_Xdata& other) { buffer(other.data_, other.length_); }
  MB_Xdata& operator=(const MB_Xdata& other);
  ~MB_Xdata() { free(); }

  // Keeps a copy of n bytes; n <= 0 or no bytes empties.
  void buffer(const char* bytes, int n);
  void free();
  int length() const { return length_; }
  const char* data() const { return data_; }
  bool is_empty() const { return length_ == 0; }

  MB_Result serialize(MB_File_IO& io) const;
  MB_Result materialize(MB_File_IO& io);

 private:
  int32_t length_ = 0;
  char* data_ = nullptr;
};

// True while a rubber band draws one of its inverting passes (the display's
// rubber band sets it): an entity that cannot be drawn inverted, such as an
// image, draws a substitute.
extern bool g_is_rubbering;

// True while an entity draws through draw_in_own_colour (pictures and
// metafiles: each entity in its colour). Otherwise an entity drawn on a
// device context takes the context's pen, and so does every entity an insert
// draws: printing draws the whole drawing so, in the printer's one pen.
bool mb_drawing_in_own_colours();

class MB_Drawable : public MB_Object {
 public:
  // Bits of the save flag: which optional items follow an entity's record.
  enum : uint32_t { SAVE_ID = 0x1, SAVE_USER_ID = 0x2, SAVE_STRING = 0x4, SAVE_REAL = 0x8, SAVE_XDATA = 0x10 };
  // Carries no item: it marks a solid that covers what lies beneath it with
  // the background (readers that do not know it draw the solid in its
  // colour).
  static constexpr uint32_t SAVE_MASK = 0x20;

  MB_Drawable();
  MB_Drawable(const MB_Drawable& other);
  MB_Drawable& operator=(const MB_Drawable& other);
  ~MB_Drawable() override;

  // The shared part of every entity copy into an existing target entity:
  // identity, owner, optional items, nested objects and general attributes.
  // False for a null target.
  bool copy_to(MB_Object*& target) override;

  virtual bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra);
  virtual void build_draw() {}
  virtual void draw_key_point(HDC, CMyDC&, const As_Tran&) {}
  virtual void draw(HDC, CMyDC&, As_Tran&) {}
  // draw() on a device context with a pen of the entity's own display
  // colour, the context's pen restored after it; the entities an insert
  // draws take their own colours too (mb_drawing_in_own_colours).
  void draw_in_own_colour(HDC hdc, CMyDC& dc, As_Tran& view);
  virtual As_Pt get_point(int id) const;
  virtual double get_real(int id) const;
  virtual int32_t get_int(int id) const;
  virtual const char* get_string(int id);
  virtual void translate(const As_Tran&) {}
  virtual void rebuild(MB_Drawing*) {}
  virtual void set_real(int32_t id, double value);
  virtual void set_int(int32_t id, int32_t value);
  virtual void set_point(int32_t id, const As_Pt& p);
  virtual void set_string(int32_t id, const char* text);

  MB_General& general() { return general_; }
  const MB_General& general() const { return general_; }

  uint16_t flag() const { return flag_; }
  // Also copies the flag into the display node.
  void flag(uint16_t f);
  bool is_selected() const { return flag_ == 2; }

  // The layer of exactly that name (case counts) or id in the drawing's
  // layer table; an invisible layer hides the entity. Nothing changes when
  // there is none.
  void set_layer(const MB_String& name, MB_Drawing& drawing);
  void set_layer(uint16_t id, MB_Drawing& drawing);

  int32_t get_draw_precision() const {
    const int32_t n = draw_precision();
    return n > 0 ? n : get_def_draw_precision();
  }
  int32_t get_def_draw_precision() const;
  int32_t draw_precision() const { return seldom().draw_precision; }
  void draw_precision(int32_t n) {
    if (n || seldom_) edit_seldom().draw_precision = n;
  }

  // The complement of the display colour when it equals the background.
  void build_color();
  uint32_t build_save_flag();
  uint32_t save_flag() const { return save_flag_; }

  // With a line type that has gaps, a display node of the outline's dashes
  // at the line type's scale; otherwise the display node is discarded and
  // the entity draws its outline directly.
  void build_draw_node_with_ltype(As_Pt_Set& pts);
  void build_draw_node(const As_Pt*, int, bool) {}
  void build_draw_node(unsigned long, const unsigned long*, const As_Pt*) {}

  uint32_t id() const { return id_; }
  void set_id(uint32_t v) { id_ = v; }
  uint32_t user_id() const { return seldom().user_id; }
  void user_id(uint32_t v) {
    if (v || seldom_) edit_seldom().user_id = v;
  }
  // The writable text and extended data make room for the seldom-set items.
  MB_String& string() { return edit_seldom().string; }
  const MB_String& string() const { return seldom().string; }
  double real_val() const { return seldom().real_val; }
  void real_val(double v) {
    if (v != 0.0 || seldom_) edit_seldom().real_val = v;
  }
  MB_Xdata& xdata() { return edit_seldom().xdata; }
  const MB_Xdata& xdata() const { return seldom().xdata; }
  MB_Drawable* owner() const { return seldom().owner; }
  void owner(MB_Drawable* o) {
    if (o || seldom_) edit_seldom().owner = o;
  }
  // Nested objects; owned. Setting a list frees the one it replaces.
  MB_Object_List* object_list() const { return seldom().nested; }
  void object_list(MB_Object_List* list);
  MB_Draw_Node* draw_node() const { return draw_node_; }
  // Takes the node over, freeing the one it replaces.
  void draw_node(MB_Draw_Node* node);
  const As_Rect& rect() const { return rect_; }
  // The extents for writing. Every write of any entity's extents passes
  // here (or through a copy) and is counted, so an index built over extents
  // can tell that it is out of date without walking the entities.
  As_Rect& edit_rect() {
    ++extents_generation_;
    return rect_;
  }
  // Changes whenever some entity's extents may have changed.
  static uint64_t extents_generation() { return extents_generation_; }

  // The optional items after an entity's own record, and back; `marks`
  // (item-less bits such as SAVE_MASK) join the flag written.
  MB_Result save_xdata(MB_File_IO& io, uint32_t marks = 0);
  MB_Result read_xdata(const MB_Opcode& op, MB_File_IO& io);

 private:
  // The items most entities leave at their defaults, kept apart and made on
  // the first write of one of them, so that the common entity stays small.
  struct Seldom {
    Seldom() = default;
    Seldom(const Seldom&) = delete;
    Seldom& operator=(const Seldom&) = delete;
    ~Seldom();

    uint32_t user_id = 0;
    int32_t draw_precision = 0;
    double real_val = 0.0;
    MB_String string;
    MB_Xdata xdata;
    MB_Drawable* owner = nullptr;
    MB_Object_List* nested = nullptr;  // owned
  };
  const Seldom& seldom() const { return seldom_ ? *seldom_ : no_seldom(); }
  Seldom& edit_seldom();
  static const Seldom& no_seldom();

  void copy_values(const MB_Drawable& other);
  // The seldom-set items of `o`, a copy of its nested objects among them.
  void copy_seldom(const MB_Drawable& o);
  template <class Match>
  void set_layer_where(MB_Drawing& drawing, Match match);

  // The first fields fill the padding at the end of MB_Object.
  uint32_t save_flag_ = 0;
  uint32_t id_ = 0;
  uint16_t flag_ = 1;
  MB_General general_;
  Seldom* seldom_ = nullptr;
  MB_Draw_Node* draw_node_ = nullptr;
  As_Rect rect_;
  static inline uint64_t extents_generation_ = 0;
};

// An entity drawn from one outline of points.
class MB_Geom : public MB_Drawable {
 public:
  MB_Geom() = default;
  MB_Geom(const MB_Geom&) = default;
  MB_Geom& operator=(const MB_Geom&) = default;

  MB_Type object_type() const override { return TYPE_GEOM; }

  As_Pt_Set& edge() { return edge_; }
  const As_Pt_Set& edge() const { return edge_; }
  As_Pt_Set& segment_set() { return edge_; }

  // Through the display node when there is one; else the outline, on the
  // device context when it is given, else on the surface.
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;

 private:
  As_Pt_Set edge_;
};

// The union of the extents of the entities of a list (objects that are not
// entities are passed over); false, with `rect` unchanged, when it holds none.
bool mb_entity_extents(MB_Object_List& list, As_Rect& rect);
// The same for a list of MB_Drawable*; null entries are passed over.
bool mb_entity_extents(As_Void_List& list, As_Rect& rect);
