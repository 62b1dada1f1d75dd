// The point entity: one position, drawn as a blue mark and hit near it.
// Read from a file it takes no attributes from the pass.
#pragma once

#include "database/mb_drawable.h"

class MB_Point : public MB_Geom {
 public:
  MB_Point() = default;
  explicit MB_Point(As_Pt position) : pos_(position) {}
  MB_Point(const MB_Point&) = default;
  MB_Point& operator=(const MB_Point&) = default;

  MB_ID object_id() const override { return ID_POINT; }

  As_Pt point() const { return pos_; }
  As_Pt pos() const { return pos_; }
  // Stores without reporting a change.
  void point(As_Pt p) { pos_ = p; }

  // 0x19: attributes (when they changed), optional items, the position.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  static MB_Result default_process(MB_Point*, MB_File_IO&) { return MB_SUCCESS; }
  bool copy_to(MB_Object*& target) override;

  // The position (12).
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  void build_draw() override;
  // With a device context a five-pixel blue cross, else one surface pixel.
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
  void translate(const As_Tran& t) override;

 private:
  As_Pt pos_;
};
