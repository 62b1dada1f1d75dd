// The hatch entity: a region bounded by closed loops (outer loops and holes)
// filled with the lines of a hatch pattern.
//
// The hatch owns its loops, its pattern and the built lines (As_Pt_Sets of
// dash pieces, see Hatch_Pattern::build_lines). build_draw makes the lines from the
// pattern and the loops; translate maps the loops only, so the lines follow
// on the next build_draw. A pattern that would make more lines than its
// bounds allow (Hatch_Pattern::kMaxLines, kMaxPieces) leaves the hatch with
// its boundary outlines as its lines, so a mistyped scale never stalls the
// view. Copies are deep. The hatch has no record in the native file.
#pragma once

#include "database/entities/mb_hatch_pattern.h"
#include "database/mb_drawable.h"
#include "geometry/as_void_list.h"

class MB_Hatch : public MB_Geom {
 public:
  MB_Hatch();
  explicit MB_Hatch(int) : MB_Hatch() {}
  MB_Hatch(const MB_Hatch& other);
  MB_Hatch& operator=(const MB_Hatch& other);
  ~MB_Hatch() override;

  MB_ID object_id() const override { return ID_HATCH; }

  // The boundary loops (As_Loop*), owned: a loop added here is freed with
  // the hatch.
  As_Void_List& loop_list() { return loops_; }
  const As_Void_List& loop_list() const { return loops_; }
  // The built lines (As_Pt_Sets*), owned.
  const As_Void_List& line_sets() const { return lines_; }
  // True when the last build fell back to the boundary outlines.
  bool boundary_only() const { return boundary_only_; }

  int type() const { return type_; }
  void type(int t) { type_ = t; }
  double scale() const { return scale_; }
  void scale(double s) { scale_ = s; }
  double angle() const { return angle_; }
  void angle(double a) { angle_ = a; }
  const As_Pt& base_pos() const { return base_pos_; }
  void base_pos(const As_Pt& p) { base_pos_ = p; }
  Hatch_Pattern* pattern() const { return pattern_; }
  // Takes the pattern over, freeing the one it replaces; null leaves none.
  void pattern(Hatch_Pattern* p);
  // Lines drawn with a pen of the display colour instead of the yellow
  // hatch pen (hatches of drawings read from other formats, whose lines
  // have a colour of their own); off unless set, not stored.
  bool pen_in_colour() const { return pen_in_colour_; }
  void pen_in_colour(bool on) { pen_in_colour_ = on; }

  // Records the change, then maps every loop.
  void translate(const As_Tran& t) override;
  // Nothing without a loop with vertices or without a pattern; otherwise the
  // lines are rebuilt, the extents become the loops' and the display node
  // is dropped.
  void build_draw() override;
  // The lines on hdc (the surface's device context when null) with a
  // yellow pen (see pen_in_colour), filled runs in the display colour.
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
  // A hatch is never picked.
  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }
  // A new deep copy for a null target; into a hatch, every field (loops,
  // pattern, lines) is replaced by a copy of this one's.
  bool copy_to(MB_Object*& target) override;

  // Not stored: writes and reads nothing.
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  void copy_fields(const MB_Hatch& other);
  void free_loops();
  void free_lines();

  As_Void_List loops_;
  int type_ = 0;
  double scale_ = 1.0;
  double angle_ = 0.0;
  As_Pt base_pos_;
  Hatch_Pattern* pattern_;
  As_Void_List lines_;
  bool boundary_only_ = false;
  bool pen_in_colour_ = false;
};
