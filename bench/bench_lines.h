// The drawing of the display benchmarks: 100,000 short line-like entities
// spread over a 1920 x 1080 area, each drawn as one polyline node.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/nodes/mb_draw_node.h"
#include "surface/cmydc.h"

namespace bench_lines {

constexpr int kCount = 100000;
constexpr int kWidth = 1920, kHeight = 1080;

// The smallest line-like entity: two points drawn as one polyline node.
class Bench_Line : public MB_Geom {
 public:
  Bench_Line(const As_Pt& a, const As_Pt& b) {
    pts_[0] = a;
    pts_[1] = b;
  }
  MB_ID object_id() const override { return ID_LINE; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  void build_draw() override {
    auto* node = new MB_Draw_Lines_Set(pts_, 2, general().display_color(), this);
    node->build_rect();
    edit_rect() = *node->rect();
    draw_node(node);
  }
  const As_Pt* pts() const { return pts_; }

 private:
  As_Pt pts_[2];
};

// Segments of 4 to 19 pixels in every direction, spread over the surface.
inline std::vector<std::pair<As_Pt, As_Pt>> segments(int count = kCount) {
  std::vector<std::pair<As_Pt, As_Pt>> out;
  out.reserve(size_t(count));
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  for (int i = 0; i < count; ++i) {
    double x = next() % kWidth, y = next() % kHeight;
    double dx = int(next() % 31) - 15, dy = int(next() % 31) - 15;
    if (dx == 0 && dy == 0) dx = 4;
    out.emplace_back(As_Pt(x, y, 0), As_Pt(x + dx, y + dy, 0));
  }
  return out;
}

// Draws every entity of the drawing onto the surface in its display colour,
// with no view logic around it: the work a repaint cannot avoid.
inline void draw_nodes(MB_Drawing& d, CMyDC& dc) {
  As_Tran view;
  for (MB_Object* o = d.object_list().head(); o; o = o->next()) {
    MB_Drawable* e = static_cast<MB_Drawable*>(o);
    dc.SetColor(static_cast<uint32_t>(e->general().display_color()));
    e->draw(nullptr, dc, view);
  }
}

}  // namespace bench_lines
