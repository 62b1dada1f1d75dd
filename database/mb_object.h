// The object model of the drawing database.
//
// Every stored thing is an MB_Object. An object sits in at most one
// MB_Object_List at a time through its own two links; the list owns what it
// holds and records itself in the object, so membership is known in constant
// time and no list is ever left pointing at a freed or foreign object. An
// object reports its creation (from its constructor), its removal (through
// lose) and its coming change (modify_cmd) to the undo store that is
// recording, g_undo_redo; while that is null the reports do nothing.
//
// Copy construction and assignment copy values only: a copy starts unlinked
// and the links of an assigned object stay as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "database/mb_result.h"
#include "database/mb_string.h"

class MB_Object_List;

class MB_Object {
 public:
  // Class numbers that the file format and the editing code switch on.
  enum MB_ID : int32_t {
    ID_NONE = 0,
    ID_ARC = 3,
    ID_BLOCK_BEGIN = 6,
    ID_BLOCK = 7,
    ID_BLOCK_END = 8,
    ID_BLOCK_NAME = 9,
    ID_BSPLINE = 10,
    ID_COLOR = 13,
    ID_COLOR_MAP = 14,
    ID_CIRCLE = 18,
    ID_DIM_STYLE = 21,
    ID_DIMENSION = 22,
    ID_DRAWING_INFO = 24,
    ID_DISPLAY_WIDTH = 25,
    ID_ELLIPSE = 27,
    ID_ELLIPSE_ARC = 28,
    ID_FONT = 39,  // every font library and MB_Font_Char
    ID_HATCH = 44,
    ID_INSERT = 45,
    ID_MINSERT = 46,
    ID_IMAGE = 47,
    ID_LAYER = 48,
    ID_LAYER_ID = 49,
    ID_LINE = 50,
    ID_LINES = 51,  // MB_Lines and MB_Mlines
    ID_LINE_SCALE = 52,
    ID_XLINE = 53,
    ID_RAY = 55,
    ID_LINE_TYPE = 56,
    ID_NAMED_VIEW = 63,
    ID_POLYLINE = 70,
    ID_SOLID = 78,
    ID_TEXT = 87,
    ID_TEXT_STYLE = 90,
    ID_TEXT_STYLE_NAME = 91,
    ID_TIMESTAMP = 92,
    ID_THICKNESS = 93,
    ID_MTEXT = 94,
    ID_POINT = 95,
    ID_POLYGON_MESH = 97,
    ID_FACE = 98,
    ID_WIDTH = 105,
  };

  // Categories; the entity categories are exactly 6 to 9.
  enum MB_Type : int32_t {
    TYPE_ATTRIBUTE = 1,
    TYPE_NAMED_ATTRIBUTE = 2,
    TYPE_VIEW = 4,  // named views and time stamps
    TYPE_HEADER = 5,
    TYPE_GEOM = 6,
    TYPE_TEXT = 7,
    TYPE_IMAGE = 8,
    TYPE_INSERT = 9,
  };

  // Objects come from pools of equal-sized blocks, one pool per 8 bytes of
  // size (a drawing holds millions of small objects of a few sizes); large
  // objects and every object of an address-checking build come from the
  // plain heap. A block goes back to its pool when the object is destroyed
  // and serves the next object of its size; pools keep their memory.
  static void* operator new(size_t n);
  static void* operator new(size_t n, const std::nothrow_t&) noexcept;
  static void* operator new(size_t, void* at) noexcept { return at; }
  static void operator delete(void* p, size_t n) noexcept;
  // Bytes of the pools (0 in an address-checking build): held in blocks of
  // live objects, reserved in slabs, and of those mapped apart from the heap.
  struct Pool_Stats {
    size_t live = 0;
    size_t reserved = 0;
    size_t mapped = 0;
  };
  static Pool_Stats pool_stats();

  // Starts unlinked and reports its creation to the recording undo store.
  MB_Object();
  // Starts unlinked and reports nothing.
  MB_Object(const MB_Object&);
  // Keeps this object's links.
  MB_Object& operator=(const MB_Object&) { return *this; }
  // An object still in a list takes itself out of it first, and the command
  // being recorded lets go of it.
  virtual ~MB_Object();

  // Takes this object out of whichever list holds it (normally `list`) and
  // disposes of it: the recording undo store keeps it when it recorded the
  // removal, otherwise it is destroyed. The object must not be used after.
  virtual void lose(MB_Object_List& list);
  virtual MB_ID object_id() const = 0;
  virtual MB_Type object_type() const = 0;
  virtual MB_Result serialize(MB_File_IO& io) const = 0;
  virtual MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) = 0;
  // Reads the unwanted operand through materialize.
  virtual MB_Result skip_operand(const MB_Opcode& op, MB_File_IO& io);
  virtual MB_Result process(MB_File_IO& io) = 0;
  // With a null target makes a new deep copy and stores it there; with an
  // object as target copies this object's state into it. The base makes no
  // copy, leaves the target alone and returns true.
  virtual bool copy_to(MB_Object*& target);

  // An entity: of one of the entity categories.
  bool is_drawable() const {
    const MB_Type t = object_type();
    return t >= TYPE_GEOM && t <= TYPE_INSERT;
  }

  // Reports to g_undo_redo; nothing while it is null. delete_cmd answers
  // whether the undo store now holds this object (then it must not be
  // destroyed by the caller).
  void create_cmd();
  bool delete_cmd();
  void modify_cmd();
  void bakup() { modify_cmd(); }

  MB_Object* next() const { return next_; }
  MB_Object* previous() const { return previous_; }
  // The list that holds this object, or null.
  MB_Object_List* owner_list() const { return owner_; }

  // A number that names this object to callers outside the process's
  // address space (the automation interface) for as long as it lives:
  // positive, given out on the first request, never given to another object,
  // not copied and never written to a file. 0 once every positive 32-bit
  // number has been given out.
  uint32_t handle();
  // The live object that was given the handle, or null: a handle of an
  // object that died names nothing, whatever now lives at its address.
  static MB_Object* from_handle(uint32_t handle);

 private:
  friend class MB_Object_List;

  MB_Object* next_ = nullptr;
  MB_Object* previous_ = nullptr;
  MB_Object_List* owner_ = nullptr;
  uint32_t handle_ = 0;
};

// An owning, intrusive, doubly linked list of objects. kill_ operations
// destroy, remove only unlinks; the destructor destroys what is left. An
// object that is not in this list is never touched by its operations.
class MB_Object_List {
 public:
  MB_Object_List() = default;
  MB_Object_List(const MB_Object_List&) = delete;
  MB_Object_List& operator=(const MB_Object_List&) = delete;
  ~MB_Object_List() { kill_all(); }

  MB_Object* head() const { return head_; }
  MB_Object* tail() const { return tail_; }

  // Link at the tail or head; null is ignored. An object held by another
  // list (or this one) is first taken out of it.
  void add_tail(MB_Object* object);
  void add_head(MB_Object* object);
  // Link just before `before`, at the tail when `before` is null or not in
  // this list.
  void add_before(MB_Object* object, MB_Object* before);
  // Unlinks the object when this list holds it (true); false otherwise.
  bool remove(MB_Object* object);
  bool contains(const MB_Object* object) const {
    return object && object->owner_ == this;
  }
  // The n-th object from the head, null when n is out of range.
  MB_Object* get(int n) const;
  int32_t count() const { return count_; }
  bool is_empty() const { return head_ == nullptr && tail_ == nullptr; }
  // Changes whenever an object is linked into or out of this list, to a
  // value no list has had before: a list's address and version name what it
  // holds, so a walk over it can be kept until the version moves.
  uint64_t version() const { return version_; }

  void kill_head();
  void kill_tail();
  // Unlinks and destroys the object when this list holds it; nothing else.
  void kill_object(MB_Object* object);
  void kill_all();

 private:
  struct Links;
  void unlink(MB_Object* object);

  MB_Object* head_ = nullptr;
  MB_Object* tail_ = nullptr;
  int32_t count_ = 0;
  uint64_t version_ = ++version_clock_;
  static inline uint64_t version_clock_ = 0;
};

// The base of table entries and attribute values. Attributes that compare
// override operator==; the base treats any two as equal.
class MB_Attribute : public MB_Object {
 public:
  MB_Attribute() = default;
  MB_Attribute(const MB_Attribute&) = default;
  MB_Attribute& operator=(const MB_Attribute&) = default;

  MB_Type object_type() const override { return TYPE_ATTRIBUTE; }
  virtual bool operator==(const MB_Attribute&) const { return true; }
  bool operator!=(const MB_Attribute& other) const { return !(*this == other); }
};

// A named attribute. Default objects are numbered 0, 1, 2... in order of
// creation (the 16-bit counter wraps); a copy keeps its source's number.
class MB_Attribute_Head : public MB_Attribute {
 public:
  MB_Attribute_Head();
  MB_Attribute_Head(const MB_Attribute_Head&) = default;
  MB_Attribute_Head& operator=(const MB_Attribute_Head&) = default;

  MB_Type object_type() const override { return TYPE_NAMED_ATTRIBUTE; }

  MB_String& name() { return name_; }
  const MB_String& name() const { return name_; }
  void name(const MB_String& n) { name_ = n; }
  uint16_t number() const { return number_; }

  static uint16_t m_static_no;

 protected:
  MB_String name_;
  uint16_t number_;
};
