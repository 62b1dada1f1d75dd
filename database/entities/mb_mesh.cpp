// The polygon mesh: its grid, its row and column display and copies.
#include "database/entities/mb_mesh.h"

#include <climits>
#include <vector>

#include "database/entities/mb_entity_copy.h"
#include "database/nodes/mb_draw_node.h"

MB_Polygon_Mesh::MB_Polygon_Mesh(int m, int n) : m_(m), n_(n) {
  if (m > 0 && n > 0 && int64_t(m) * n <= INT_MAX) init(m * n);
}

As_Pt MB_Polygon_Mesh::get_point(int i, int j) const {
  if (i < 0 || j < 0 || i >= m_ || j >= n_) return As_Pt();
  const int64_t k = int64_t(i) * n_ + j;
  return k < count() ? points()[k] : As_Pt();
}

void MB_Polygon_Mesh::build_draw_node() {
  if (m_ <= 0 || n_ <= 0 || int64_t(m_) * n_ > count()) {
    draw_node(nullptr);
    return;
  }
  std::vector<As_Pt> pts;
  std::vector<unsigned long> counts;
  for (int i = 0; i < m_; ++i) {
    for (int j = 0; j < n_; ++j) pts.push_back(get_point(i, j));
    if (n_closed_) pts.push_back(get_point(i, 0));
    counts.push_back(n_ + (n_closed_ ? 1 : 0));
  }
  for (int j = 0; j < n_; ++j) {
    for (int i = 0; i < m_; ++i) pts.push_back(get_point(i, j));
    if (m_closed_) pts.push_back(get_point(0, j));
    counts.push_back(m_ + (m_closed_ ? 1 : 0));
  }
  MB_Draw_Lines_Sets* node = new MB_Draw_Lines_Sets(general().display_color(), this);
  node->init(static_cast<unsigned long>(counts.size()), counts.data(), pts.data());
  node->build_rect();
  if (node->rect()) edit_rect() = *node->rect();
  draw_node(node);
}

void MB_Polygon_Mesh::build_draw() {
  if (count() > 0) build_draw_node();
}

bool MB_Polygon_Mesh::copy_to(MB_Object*& target) {
  return mb_entity_copy_to(*this, target, [this](MB_Polygon_Mesh& t) {
    t.As_Pt_Set::operator=(*this);
    t.m_ = m_;
    t.n_ = n_;
    t.m_closed_ = m_closed_;
    t.n_closed_ = n_closed_;
    t.flag16_ = flag16_;
  });
}
