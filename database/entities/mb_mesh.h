// The polygon mesh: an M by N grid of vertices (vertex (i, j) is element
// i * N + j of its As_Pt_Set side), optionally closed in either direction.
// It is shown as the polylines of its rows and columns in one multi-polyline
// node. The file keeps the grid size (low bytes) and the closed flags only,
// so a mesh read back has no vertices. Copies are deep.
#pragma once

#include <cstdint>

#include "database/mb_drawable.h"
#include "geometry/as_pt_set.h"

class MB_Polygon_Mesh : public MB_Geom, public As_Pt_Set {
 public:
  MB_Polygon_Mesh() = default;
  // m * n zeroed vertices (none when either is not positive), both open.
  MB_Polygon_Mesh(int m, int n);
  MB_Polygon_Mesh(const MB_Polygon_Mesh&) = default;
  MB_Polygon_Mesh& operator=(const MB_Polygon_Mesh&) = default;

  MB_ID object_id() const override { return ID_POLYGON_MESH; }
  using MB_Geom::draw;
  using MB_Geom::get_point;

  int m_count() const { return m_; }
  int n_count() const { return n_; }
  bool meshm_closed() const { return m_closed_; }
  void meshm_closed(bool c) { m_closed_ = c; }
  bool meshn_closed() const { return n_closed_; }
  void meshn_closed(bool c) { n_closed_ = c; }
  int16_t flag16() const { return flag16_; }
  // Vertex (i, j); the origin when (i, j) lies outside the grid or the
  // vertices do not fill it.
  As_Pt get_point(int i, int j) const;
  // Does nothing.
  void add_point(As_Pt&, int) {}

  // The row polylines, then the column polylines (each closed back to its
  // first vertex when the mesh is closed that way), one count per polyline;
  // made into the display node. Nothing when the vertices do not fill the grid.
  virtual void build_draw_node();
  void build_draw() override;
  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }
  void translate(const As_Tran&) override {}
  bool copy_to(MB_Object*& target) override;

  // Record 'U': attributes, M and N as one byte each, the closed flags.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;

 private:
  int32_t m_ = 0;
  int32_t n_ = 0;
  bool m_closed_ = false;
  bool n_closed_ = false;
  int16_t flag16_ = 0;
};
