// Straight-line entities: MB_Line (one segment), and the two-point
// construction lines MB_Ray and MB_Xline, which share its fields and its
// geometric operations but have no display node and no hit test: they draw
// across whatever the view shows, from the base point one way (a ray) or
// both ways (an xline). A ray is stored
// as a line record without attributes (it reads back as a line); an xline is
// not stored.
#pragma once

#include "database/mb_drawable.h"

class MB_Line : public MB_Geom {
 public:
  MB_Line() = default;
  MB_Line(As_Pt start, As_Pt end) : pts_{start, end} {}
  // Each array holds x, y, z.
  MB_Line(double* start, double* end) : pts_{As_Pt(start), As_Pt(end)} {}
  MB_Line(const MB_Line&) = default;
  MB_Line& operator=(const MB_Line&) = default;

  MB_ID object_id() const override { return ID_LINE; }

  As_Pt start() const { return pts_[0]; }
  As_Pt end() const { return pts_[1]; }
  // Report the change to the undo store, then store.
  void start(const As_Pt& p);
  void end(const As_Pt& p);
  // Start and end, contiguous.
  const As_Pt* points() const { return pts_; }

  // 'L': attributes (when they changed), optional items, two positions.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  // Hands the entity to the reading drawing.
  MB_Result process(MB_File_IO& io) override;
  static MB_Result default_process(MB_Line*, MB_File_IO&) { return MB_SUCCESS; }
  // A new MB_Line with this geometry, or this geometry and the general
  // attributes into an existing line.
  bool copy_to(MB_Object*& target) override;

  // Start (13), end (14), then a point on the segment (31).
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  void build_draw() override;
  void draw_key_point(HDC hdc, CMyDC& dc, const As_Tran& view) override;
  // -1 start, -2 end, -4 midpoint.
  As_Pt get_point(int id) const override;
  // -100 length, -102 direction angle.
  double get_real(int id) const override;
  void translate(const As_Tran& t) override;

 protected:
  MB_Result write_record(MB_File_IO& io) const;
  MB_Result read_record(const MB_Opcode& op, MB_File_IO& io);

 private:
  As_Pt pts_[2];  // start, end
};

class MB_Ray : public MB_Line {
 public:
  MB_Ray() = default;
  MB_Ray(As_Pt base, As_Pt second) : MB_Line(base, second) {}
  MB_Ray(const MB_Ray&) = default;

  MB_ID object_id() const override { return ID_RAY; }
  // A line record with no attribute records before it.
  MB_Result serialize(MB_File_IO& io) const override { return write_record(io); }
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override { return read_record(op, io); }
  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }
  // The extents are the base point alone: a line without end widens no
  // view. It draws from its base through its second point to the edge of
  // what the device shows.
  void build_draw() override;
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
};

class MB_Xline : public MB_Line {
 public:
  MB_Xline() = default;
  MB_Xline(As_Pt base, As_Pt second) : MB_Line(base, second) {}
  MB_Xline(const MB_Xline&) = default;

  MB_ID object_id() const override { return ID_XLINE; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }
  // As a ray's, through the base point both ways.
  void build_draw() override;
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
};

// Appends a freshly read entity to the reading drawing (the block being
// read, else the entity list).
MB_Result mb_entity_read_process(MB_Drawable& entity, MB_File_IO& io);
// Marks a defining point: mapped through the view, a 3-pixel outline square.
void mb_draw_key_marker(HDC hdc, const As_Pt& p, const As_Tran& view);
