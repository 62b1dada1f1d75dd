// Chains of straight segments. MB_Lines holds its vertices as its second
// base (an As_Pt_Set) and a closed flag that is not stored by the file
// format (a chain reads back open). MB_Mlines is a chain that is neither
// stored nor drawn nor hit.
#pragma once

#include "database/mb_drawable.h"
#include "geometry/as_pt_set.h"

class MB_Lines : public MB_Geom, public As_Pt_Set {
 public:
  MB_Lines() = default;
  // n vertices at the origin, open.
  explicit MB_Lines(int n) : As_Pt_Set(n) {}
  MB_Lines(const MB_Lines&) = default;
  MB_Lines& operator=(const MB_Lines&) = default;

  using MB_Geom::draw;

  MB_ID object_id() const override { return ID_LINES; }

  bool closed() const { return closed_; }
  // Reports the change to the undo store, then stores.
  void closed(bool c);
  // The first and the last vertex; the chain must have one.
  virtual As_Pt start() const { return (*this)[0]; }
  virtual As_Pt end() const { return (*this)[count() - 1]; }

  // 'l': attributes (when they changed), optional items, the vertices.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  static MB_Result default_process(MB_Lines*, MB_File_IO&) { return MB_SUCCESS; }
  bool copy_to(MB_Object*& target) override;

  // A vertex (22), then a point on the display polyline (31).
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  void build_draw() override;
  void draw_key_point(HDC hdc, CMyDC& dc, const As_Tran& view) override;
  // -100 the length of the chain, -102 the angle of its first segment.
  double get_real(int id) const override;
  void translate(const As_Tran& t) override;

 private:
  bool closed_ = false;
};

class MB_Mlines : public MB_Lines {
 public:
  MB_Mlines() = default;
  explicit MB_Mlines(int n) : MB_Lines(n) {}
  MB_Mlines(const MB_Mlines&) = default;

  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }
  void build_draw() override {}
};
