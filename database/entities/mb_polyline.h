// Polyline entity: a chain of vertices whose segments may be circular arcs
// (a bulge per vertex: the tangent of a quarter of the included angle,
// positive for counter-clockwise) and may widen linearly along each segment
// (a start and an end width per vertex).
//
// The display expands arcs into chords at the draw precision (at least 2);
// with any width every chord becomes a filled quadrilateral, mitred with its
// neighbour at their shared corner. A bulge between coincident vertices or
// on the last vertex of an open polyline draws nothing curved. The vertex
// count is 16-bit: a polyline never grows past 65,535 vertices. copy_to into
// an existing polyline resizes its vertex array to the source and copies the
// closed flag, which is how undo restores it.
#pragma once

#include <cstdint>
#include <vector>

#include "database/mb_drawable.h"

struct MB_Pline_Pos {
  As_Pt point;
  double bulge = 0.0;
  double start_width = 0.0;
  double end_width = 0.0;
};

class MB_Polyline : public MB_Geom {
 public:
  static constexpr uint32_t kMaxCount = 0xFFFF;

  MB_Polyline() = default;
  // Takes over the array of `count` vertices (made with new[]).
  MB_Polyline(bool closed, uint16_t count, MB_Pline_Pos* vertices);
  MB_Polyline(const MB_Polyline& other);
  MB_Polyline& operator=(const MB_Polyline& other);
  ~MB_Polyline() override;

  MB_ID object_id() const override { return ID_POLYLINE; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  bool copy_to(MB_Object*& target) override;

  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& hit, int& kind, int& extra) override;
  void build_draw() override;
  void draw_key_point(HDC dc, CMyDC& surface, const As_Tran& view) override;
  void translate(const As_Tran& t) override;

  bool closed() const { return closed_; }
  void closed(bool c) { closed_ = c; }
  uint16_t count() const { return count_; }
  MB_Pline_Pos* pline_pos() { return pos_; }
  const MB_Pline_Pos* pline_pos() const { return pos_; }
  double global_width() const { return global_width_; }
  void global_width(double w) { global_width_ = w; }

  // Appends one zeroed vertex and returns it for the caller to fill. At
  // 65,535 vertices (or without memory) nothing is added and the record
  // returned belongs to no vertex.
  MB_Pline_Pos& get_new_pline_pos();
  // The vertex array becomes n zeroed records; false (nothing changes) when
  // n is out of range or memory is exhausted.
  bool resize(uint32_t n);

  // A global width above 0, or a positive width at any vertex.
  bool is_have_width() const;

  static MB_Result default_process(MB_Polyline&, MB_File_IO&) { return MB_SUCCESS; }

 private:
  // Segment outlines, all points in one array: a widened segment is the
  // five points A, B, C, D, A; a thin one its two ends.
  struct Outlines {
    std::vector<As_Pt> pts;
    std::vector<unsigned long> counts;
    std::vector<size_t> starts;
  };

  void convert_arc_2_lines(const MB_Pline_Pos& a, const MB_Pline_Pos& b, std::vector<MB_Pline_Pos>& out) const;
  static void cal_pline_segment(const std::vector<MB_Pline_Pos>& lines, Outlines& outlines);
  static void deal_with_ptlists(Outlines& outlines);

  bool closed_ = false;
  uint16_t count_ = 0;
  MB_Pline_Pos* pos_ = nullptr;
  double global_width_ = 0.0;
  MB_Pline_Pos spare_;
};

// A new open polyline of n zeroed vertices (n is cut to 0 .. 65,535); no
// display, in no drawing.
MB_Polyline* api_mb_create_polyline(int n);
