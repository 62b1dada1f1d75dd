// Inserts: a block placed in the drawing at a point, turned by an angle and
// scaled (a negative x or y scale mirrors).
//
// An insert keeps no display node of its own: it draws and picks the
// objects of its block through the product of the block's transform (base
// point to the origin) and its own, and its extents are the block's moved
// by its transform. The block is not owned. Walks into the block go through
// MB_Block_Visit (mb_block.h), so a block that inserts itself is drawn,
// picked and measured once and never recursed into without end.
//
// A multiple insert repeats the block in a grid of cells; it keeps the cell
// positions and transforms for callers and is neither drawn, picked nor
// stored in files.
#pragma once

#include <cstdint>
#include <vector>

#include "database/mb_drawable.h"
#include "geometry/as_tran.h"

class MB_Block;
class MB_Insert;

// The object as an insert (single or multiple), else null.
MB_Insert* mb_to_insert(MB_Object* object);

// A snap request: the point and aperture a snap is sought at, the kinds of
// snap point wanted, and what was found.
struct MB_Snap {
  As_Pt at;
  double aperture = 0.0;
  int32_t kinds = 0;
  As_Pt found;
  int32_t found_kind = 0;
};

class MB_Insert : public MB_Drawable {
 public:
  // At the origin, angle 0, scales 1, no block, identity transform.
  MB_Insert() = default;
  // No block; the transform is built later.
  MB_Insert(const As_Pt& point, double angle, double x_scale, double y_scale, double z_scale);
  MB_Insert(const MB_Insert&) = default;
  MB_Insert& operator=(const MB_Insert&) = default;

  MB_ID object_id() const override { return ID_INSERT; }
  MB_Type object_type() const override { return TYPE_INSERT; }

  // Nothing without a block; else the attributes, the block's name when it
  // changed ("J"), then "I".
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  // Binds the block of the pass's block name, builds the transform and
  // joins the block being read, else the entity list.
  MB_Result process(MB_File_IO& io) override;
  // Into an insert: its block, point, angle and scales, then the shared
  // drawable part. A null target receives a new insert of the same block.
  // Another kind of target is left alone (false).
  bool copy_to(MB_Object*& target) override;

  // The first shown object of the block hit within tol of p, found through
  // the insert's placement; `found` is the hit in drawing coordinates.
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  // An insert offers no snap of its own: false, the request untouched.
  bool pick(MB_Snap&, const As_Tran&) { return false; }
  // Only the extents: the block's (built first when not yet built) moved by
  // the transform.
  void build_draw() override;
  // A square marker at the insertion point, on a device context only.
  void draw_key_point(HDC hdc, CMyDC& dc, const As_Tran& view) override;
  // Each shown object of the block (flag not 0: hidden objects, such as
  // those on layers that are off or frozen, are kept but not drawn) in its
  // own drawn colour through block, insert and view: on a device context
  // (export, print) with a pen of that colour, on the surface unless the
  // display flag is set. When the pass's object budget is spent
  // (MB_Walk_Pass), the insert draws only its frame: the block's extents
  // through the placement, in the colour set for it.
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
  // Reports the change, then maps the insertion point; a transform that
  // turns, scales or mirrors also turns and scales the insert with it.
  void translate(const As_Tran& t) override;
  As_Pt get_point(int) const override { return As_Pt(); }
  double get_real(int) const override { return 0.0; }
  int32_t get_int(int) const override { return 0; }

  // Copies of the block's objects, placed as the insert places them, built
  // and added to the drawing's active list. The insert stays.
  void explode(MB_Drawing* drawing);

  const As_Pt& point() const { return point_; }
  void point(const As_Pt& p) { point_ = p; }
  double angle() const { return angle_; }
  void angle(double a) { angle_ = a; }
  const double* scale() const { return scale_; }
  void scale(const double* s);
  MB_Block* block() const { return block_; }
  void block(MB_Block* b) { block_ = b; }
  // The drawing's block of that name (any case); a new empty block at the
  // tail of the block list when there is none.
  void block(const MB_String& name, MB_Drawing& drawing);
  const As_Tran& trans() const { return trans_; }
  bool display_flag() const { return display_flag_; }
  void display_flag(bool on) { display_flag_ = on; }

  // Scale by the absolute scales, mirror for a negative x then y scale,
  // turn by the angle, move to the insertion point.
  void build_transf();
  // Block transform then insert transform: where the block's objects go.
  As_Tran placement() const;

 protected:
  // A bound block with objects in it, or null.
  MB_Block* drawn_block() const;
  // The block's extents as placed: four sides through the view.
  void draw_frame(HDC hdc, CMyDC& dc, const As_Tran& view);

 private:
  As_Pt point_;
  double angle_ = 0.0;
  double scale_[3] = {1.0, 1.0, 1.0};
  MB_Block* block_ = nullptr;
  As_Tran trans_;
  bool display_flag_ = false;
};

class MB_Minsert : public MB_Insert {
 public:
  // Grids of more cells than this keep no cells.
  static constexpr int64_t kMaxCells = int64_t(1) << 18;

  // The cells row by row, each column of a row in turn.
  MB_Minsert(const As_Pt& point, double angle, double x_scale, double y_scale, double z_scale, uint16_t columns,
             double column_spacing, uint16_t rows, double row_spacing);

  MB_ID object_id() const override { return ID_MINSERT; }

  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  bool copy_to(MB_Object*&) override { return false; }
  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }
  void build_draw() override {}
  void draw(HDC, CMyDC&, As_Tran&) override {}

  uint16_t columns() const { return columns_; }
  uint16_t rows() const { return rows_; }
  double column_spacing() const { return column_spacing_; }
  double row_spacing() const { return row_spacing_; }
  int32_t cell_count() const { return static_cast<int32_t>(cell_pos_.size()); }
  const As_Pt* cell_positions() const { return cell_pos_.empty() ? nullptr : cell_pos_.data(); }
  const As_Tran* cell_transforms() const { return cell_tran_.empty() ? nullptr : cell_tran_.data(); }

 private:
  uint16_t columns_ = 0;
  uint16_t rows_ = 0;
  double column_spacing_ = 0.0;
  double row_spacing_ = 0.0;
  std::vector<As_Pt> cell_pos_;
  std::vector<As_Tran> cell_tran_;
};
