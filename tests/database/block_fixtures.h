// Fixtures for the block and insert tests: a two-point line entity that
// moves, picks and counts its live instances, and a helper that builds a
// block into a drawing.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/mb_drawing.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_pt_list.h"

class Seg : public MB_Geom {
 public:
  static inline int live = 0;

  Seg(const As_Pt& a = As_Pt(), const As_Pt& b = As_Pt()) : a_(a), b_(b) { ++live; }
  Seg(const Seg& o) : MB_Geom(o), a_(o.a_), b_(o.b_) { ++live; }
  ~Seg() override { --live; }

  MB_ID object_id() const override { return ID_LINE; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

  bool copy_to(MB_Object*& target) override {
    if (!target) {
      target = new Seg(a_, b_);
    } else if (Seg* t = dynamic_cast<Seg*>(target)) {
      t->a_ = a_;
      t->b_ = b_;
    } else {
      return false;
    }
    return MB_Geom::copy_to(target);
  }

  void build_draw() override {
    const As_Pt pts[2] = {a_, b_};
    auto* node = new MB_Draw_Lines_Set(pts, 2, general().display_color(), this);
    node->build_rect();
    edit_rect() = *node->rect();
    draw_node(node);
  }

  bool pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) override {
    if (!draw_node() || !draw_node()->pick(p, found, tol)) return false;
    kind = MB_SNAP_NEAREST;
    return true;
  }

  void translate(const As_Tran& t) override {
    modify_cmd();
    a_ = a_ * t;
    b_ = b_ * t;
  }

  const As_Pt& a() const { return a_; }
  const As_Pt& b() const { return b_; }

 private:
  As_Pt a_, b_;
};

// A block of the given segments (owned by the block), appended to the
// drawing's block list.
inline MB_Block* add_block(MB_Drawing& d, const char* name, const As_Pt& base,
                           std::initializer_list<MB_Object*> objects) {
  auto* b = new MB_Block(base, MB_String(name), MB_String("DESC"));
  for (MB_Object* o : objects) b->object_list().add_tail(o);
  d.block_list().add_tail(b);
  return b;
}

inline MB_Insert* insert_of(MB_Block* b, const As_Pt& at, double angle = 0.0, double sx = 1.0, double sy = 1.0,
                            double sz = 1.0) {
  auto* i = new MB_Insert(at, angle, sx, sy, sz);
  i->block(b);
  return i;
}

inline std::string xy(const As_Pt& p) {
  auto r = [](double v) { return std::round(v * 1e6) / 1e6 + 0.0; };
  char buf[64];
  std::snprintf(buf, sizeof buf, "(%.6g,%.6g)", r(p.x()), r(p.y()));
  return buf;
}
