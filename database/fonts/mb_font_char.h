// One glyph kept as point lists: the strokes of a shape font compiled from
// source. While the glyph is built each pen-down stroke is a position list;
// conver_list_to_set packs the lists of two or more points into point sets.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

#include "database/mb_object.h"
#include "geometry/as_pt.h"
#include "geometry/as_pt_set.h"

class As_Tran;
class As_Void_List;

class MB_Font_Char : public MB_Attribute {
 public:
  MB_Font_Char() = default;
  explicit MB_Font_Char(unsigned short code) : code_(code) {}
  MB_Font_Char(const MB_Font_Char&) = default;
  MB_Font_Char& operator=(const MB_Font_Char&) = default;

  MB_ID object_id() const override { return ID_FONT; }
  MB_Result serialize(MB_File_IO&) const override;
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

  unsigned short code() const { return code_; }
  const As_Pt_Sets& point_sets() const { return sets_; }
  const As_Pt& end_pos() const { return end_; }
  size_t pos_list_count() const { return lists_.size(); }

  // Starts a new, empty position list.
  void new_pos_list() { lists_.emplace_back(); }
  // Appends (x, y, 0) to the last position list, starting one when none.
  void add_pos(double x, double y);
  void set_end_pos(double x, double y) { end_ = As_Pt(x, y, 0.0); }
  // The scale the glyph's first stroke was drawn at (Shape_Glyph).
  double draw_scale() const { return draw_scale_; }
  void draw_scale(double s) { draw_scale_ = s; }
  // Drops the lists of fewer than two points and packs the others, in order,
  // into the point sets; with no list left the sets stay as they were.
  void conver_list_to_set();

  // Appends a new As_Pt_Sets* (owned by the caller) of the glyph's points
  // mapped by t and moved by pen, when the glyph has sets; then the pen
  // becomes end x t + pen.
  void char_2_pts_sets(As_Void_List& out, const As_Tran& t, As_Pt& pen) const;
  // Draws the sets scaled, turned by angle (radians) and moved to pen, then
  // mapped by view; the pen then moves by the end position under the same
  // transform without view.
  void draw(HDC hdc, const As_Tran& view, double scale, double angle, As_Pt& pen) const;

 private:
  unsigned short code_ = 0;
  As_Pt_Sets sets_;
  As_Pt end_;
  double draw_scale_ = 0;
  std::vector<std::vector<As_Pt>> lists_;
};
