// A minimal entity for the tests: a two-point line drawn as one polyline
// node, with the copy that editing and undo use.
#pragma once

#include "database/mb_drawable.h"
#include "database/nodes/mb_draw_node.h"

class Test_Line : public MB_Geom {
 public:
  Test_Line(const As_Pt& a = As_Pt(), const As_Pt& b = As_Pt(), MB_ID id = ID_LINE) : id_(id) {
    pts_[0] = a;
    pts_[1] = b;
  }

  MB_ID object_id() const override { return id_; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

  bool copy_to(MB_Object*& target) override {
    if (!target) {
      target = new Test_Line(pts_[0], pts_[1], id_);
    } else if (target->object_id() == id_) {
      Test_Line* t = static_cast<Test_Line*>(target);
      t->pts_[0] = pts_[0];
      t->pts_[1] = pts_[1];
    }
    return MB_Geom::copy_to(target);
  }

  void build_draw() override {
    auto* node = new MB_Draw_Lines_Set(pts_, 2, general().display_color(), this);
    node->build_rect();
    edit_rect() = *node->rect();
    edge().init(2, pts_);
    draw_node(node);
  }

  const As_Pt& start() const { return pts_[0]; }

 private:
  As_Pt pts_[2];
  MB_ID id_;
};
