// Line types: a named dash pattern and the cutting of a polyline into the
// pieces it draws.
//
// The pattern is a ring of elements (MB_Linetype_Loop owns its nodes; the
// last node leads back to the head): a positive length is a dash, 0 a dot,
// a negative length a gap of that size. Only the length takes part in
// drawing; the fields of complex elements (shapes and texts along the line)
// are carried for callers.
//
// render_line_type walks the polyline by segment index and the distance
// carried from one element to the next, so it always ends: a pattern that
// would not move along the line (an empty ring, only dots, a scale that is
// not positive) or one that would make more pieces than kMaxPieces draws
// the line solid instead. A dash that leaves less than its own length of
// the line behind is stretched to the end, and a gap that leaves no more
// than its own length ends the line, so no sliver is drawn after either.
#pragma once

#include <cstdint>

#include "database/mb_object.h"

class As_Pt;
class As_Pt_List;
class As_Pt_Sets;
class MB_Font_Char;
class MB_Text_Style;

class MB_Linetype_Node {
 public:
  MB_Linetype_Node() = default;
  MB_Linetype_Node(double val, double scale, double rotang, double xoffset, double yoffset, short shape_flag,
                   short complexshapecode);
  // Copies the values; a copy is in no ring and an assigned node keeps its
  // place in its own.
  MB_Linetype_Node(const MB_Linetype_Node&) = default;
  MB_Linetype_Node& operator=(const MB_Linetype_Node&) = default;
  virtual ~MB_Linetype_Node() = default;

  MB_Linetype_Node* previous() const { return links_.previous; }
  MB_Linetype_Node* next() const { return links_.next; }
  void previous(MB_Linetype_Node* n) { links_.previous = n; }
  void next(MB_Linetype_Node* n) { links_.next = n; }

  double val() const { return val_; }
  void val(double v) { val_ = v; }
  double complexshapecode() const { return complexshapecode_; }
  void complexshapecode(short c) { complexshapecode_ = c; }
  double scale() const { return scale_; }
  void scale(double v) { scale_ = v; }
  double rotang() const { return rotang_; }
  void rotang(double v) { rotang_ = v; }
  double xoffset() const { return xoffset_; }
  void xoffset(double v) { xoffset_ = v; }
  double yoffset() const { return yoffset_; }
  void yoffset(double v) { yoffset_ = v; }
  short shape_flag() const { return shape_flag_; }
  void shape_flag(short v) { shape_flag_ = v; }
  uint16_t stroffset() const { return stroffset_; }
  void stroffset(uint16_t v) { stroffset_ = v; }
  MB_Text_Style* text_style() const { return text_style_; }
  void text_style(MB_Text_Style* s) { text_style_ = s; }
  MB_Font_Char* shape_char() const { return shape_char_; }
  void shape_char(MB_Font_Char* c) { shape_char_ = c; }

 private:
  // Ring links, which copying leaves alone.
  struct Links {
    MB_Linetype_Node* previous = nullptr;
    MB_Linetype_Node* next = nullptr;
    Links() = default;
    Links(const Links&) {}
    Links& operator=(const Links&) { return *this; }
  };

  Links links_;
  double val_ = 0.0;
  int16_t complexshapecode_ = 0;
  double scale_ = 0.0, rotang_ = 0.0, xoffset_ = 0.0, yoffset_ = 0.0;
  int16_t shape_flag_ = 0;
  uint16_t stroffset_ = 0;
  MB_Text_Style* text_style_ = nullptr;
  MB_Font_Char* shape_char_ = nullptr;
};

class MB_Linetype_Loop {
 public:
  MB_Linetype_Loop() = default;
  // Copies every node into a ring of its own.
  MB_Linetype_Loop(const MB_Linetype_Loop& other);
  MB_Linetype_Loop& operator=(const MB_Linetype_Loop& other);
  // Frees every node once round the ring.
  virtual ~MB_Linetype_Loop();

  MB_Linetype_Node* head() const { return head_; }
  // Appends the node at the end of the ring (before the head) and takes it
  // over; null is ignored.
  void add(MB_Linetype_Node* node);
  // Nodes once round the ring; 0 when empty.
  int count() const;
  void free();

 private:
  MB_Linetype_Node* head_ = nullptr;
};

class MB_Line_Type : public MB_Attribute {
 public:
  static constexpr int kTextSize = 256;
  // More pieces than this along one polyline draw it solid.
  static constexpr long kMaxPieces = 1L << 20;

  MB_Line_Type() = default;
  MB_Line_Type(const MB_Line_Type&) = default;
  MB_Line_Type& operator=(const MB_Line_Type&) = default;

  MB_ID object_id() const override { return ID_LINE_TYPE; }

  const char* name() const { return name_; }
  const char* desc() const { return desc_; }
  // Copy in at most 255 bytes; null empties.
  void name(const char* text);
  void desc(const char* text);
  uint16_t index() const { return index_; }
  void index(uint16_t i) { index_ = i; }
  double scale() const { return scale_; }
  void scale(double s) { scale_ = s; }
  double pattern_length() const { return pattern_length_; }
  void pattern_length(double l) { pattern_length_ = l; }
  // True when some element of the pattern is a gap: the line draws broken.
  bool has_gaps() const;
  MB_Linetype_Loop& linetype_loop() { return loop_; }
  const MB_Linetype_Loop& linetype_loop() const { return loop_; }

  // "name,description": the first piece becomes the name, the second the
  // description (empty when absent). The pattern is not read from it.
  bool init_dec(const char* definition);

  // Cuts the polyline into the pieces of the pattern at `scale`, one point
  // set each, into out. False, with out one copy of the polyline, when the
  // line is drawn solid: shorter than scale x pattern_length, fewer than
  // two points, not of finite length, or a pattern that cannot be walked.
  bool render_line_type(const As_Pt* points, int count, double scale, As_Pt_Sets& out) const;
  // Appends `start` and the points of the polyline for `length` from it
  // (start is taken on the nearest segment) to out. False when the walk
  // reached the end of the polyline.
  bool get_point_of_pts(const As_Pt* points, int count, const As_Pt& start, double length, As_Pt_List& out) const;

  // Line types are not stored in the native file.
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  uint16_t index_ = 0;
  char name_[kTextSize] = {};
  char desc_[kTextSize] = {};
  double pattern_length_ = 0.0;
  MB_Linetype_Loop loop_;
  double scale_ = 1.0;
};
