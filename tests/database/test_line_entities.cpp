// Lines, chains, rays and points: picking, properties, display, copies and
// undoable changes.
#include <gtest/gtest.h>

#include <memory>

#include <windows.h>

#include <cmath>

#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_point.h"
#include "database/mb_drawing.h"
#include "surface/cmydc.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "tests/platform_gdi/gdi_fixture.h"

namespace {

struct Pick {
  bool hit = false;
  As_Pt at;
  int kind = -1;
};

Pick pick(MB_Drawable& e, const As_Pt& p, double tol) {
  As_Pt_List list;
  Pick r;
  int extra = 0;
  r.hit = e.pick(p, list, tol, r.at, r.kind, extra);
  return r;
}

// A white 16 x 16 32-bit memory DC.
struct Canvas : TestSurface {
  Canvas() : TestSurface(16, -16, 32) { clear(0xFFFFFF); }
  int count_not_white() const { return static_cast<int>(painted(0xFFFFFF).size()); }
};

}  // namespace

TEST(LineEntity, PickFindsEndsThenTheSegmentWithinTheTolerance) {
  MB_Line line(As_Pt(0, 0, 0), As_Pt(10, 0, 0));
  struct Case {
    As_Pt p;
    bool hit;
    int kind;
    As_Pt at;
  } cases[] = {
      {As_Pt(0.05, 0.05, 0), true, 13, As_Pt(0, 0, 0)},
      {As_Pt(9.95, 0, 0), true, 14, As_Pt(10, 0, 0)},
      {As_Pt(5, 0.05, 0), true, 31, As_Pt(5, 0, 0)},
      {As_Pt(5, 0.1, 0), false, -1, As_Pt()},     // exactly tol from the line
      {As_Pt(-0.1, 0, 0), true, 31, As_Pt(-0.1, 0, 0)},  // on the box edge, on the line
      {As_Pt(-0.2, 0, 0), false, -1, As_Pt()},
      {As_Pt(5, 3, 0), false, -1, As_Pt()},
  };
  for (const Case& c : cases) {
    Pick r = pick(line, c.p, 0.1);
    EXPECT_EQ(r.hit, c.hit) << c.p.x() << "," << c.p.y();
    if (!c.hit) continue;
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_NEAR(r.at.x(), c.at.x(), 1e-12);
    EXPECT_NEAR(r.at.y(), c.at.y(), 1e-12);
  }
  MB_Line dot(As_Pt(1, 1, 0), As_Pt(1, 1, 0));
  EXPECT_EQ(pick(dot, As_Pt(1, 1.05, 0), 0.1).kind, MB_SNAP_START);
  EXPECT_EQ(dot.get_real(MB_PROP_LENGTH), 0.0);
  EXPECT_FALSE(pick(dot, As_Pt(1, 1.1, 0), 0.1).hit);  // exactly tol from the start
  MB_Ray ray(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  EXPECT_FALSE(pick(ray, As_Pt(0, 0, 0), 1).hit);
}

TEST(LineEntity, PropertiesGiveLengthAngleAndEnds) {
  MB_Line line(As_Pt(1, 1, 0), As_Pt(1, 3, 0));
  line.real_val(2.5);
  EXPECT_EQ(line.get_point(MB_PROP_START).y(), 1);
  EXPECT_EQ(line.get_point(MB_PROP_END).y(), 3);
  EXPECT_EQ(line.get_point(MB_PROP_MIDDLE).y(), 2);
  EXPECT_EQ(line.get_real(MB_PROP_LENGTH), 2);
  EXPECT_NEAR(line.get_real(MB_PROP_ANGLE), M_PI / 2, 1e-12);
  EXPECT_EQ(line.get_real(MB_PROP_REAL_VAL), 2.5);
  EXPECT_EQ(line.get_real(MB_PROP_RADIUS), 0);
  EXPECT_EQ(line.get_point(MB_PROP_CENTER).x(), 0);

  MB_Lines chain(3);
  const As_Pt v[3] = {As_Pt(0, 0, 0), As_Pt(3, 4, 0), As_Pt(3, 0, 0)};
  chain.init(3, v);
  EXPECT_EQ(chain.get_real(MB_PROP_LENGTH), 9);  // no closing segment
  chain.closed(true);
  EXPECT_EQ(chain.get_real(MB_PROP_LENGTH), 9);
  EXPECT_NEAR(chain.get_real(MB_PROP_ANGLE), std::atan2(4, 3), 1e-12);
  EXPECT_EQ(chain.start().x(), 0);
  EXPECT_EQ(chain.end().x(), 3);
  MB_Lines one(1);
  EXPECT_EQ(one.get_real(MB_PROP_LENGTH), 0);
  one.build_draw();
  EXPECT_EQ(one.edge().count(), 1);
}

TEST(LineEntity, ChainsPickVerticesThenSegmentsAndPointsPickOnlyWithin) {
  MB_Lines chain(3);
  const As_Pt v[3] = {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(10, 10, 0)};
  chain.init(3, v);
  chain.build_draw();
  EXPECT_EQ(chain.rect().rb().x(), 10);
  Pick r = pick(chain, As_Pt(10.05, 0, 0), 0.1);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.kind, MB_SNAP_VERTEX);
  r = pick(chain, As_Pt(4, 0.05, 0), 0.1);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.kind, MB_SNAP_NEAREST);
  EXPECT_FALSE(pick(chain, As_Pt(4, 4, 0), 0.1).hit);

  MB_Point point(As_Pt(2, 3, 0));
  r = pick(point, As_Pt(2.05, 3, 0), 0.1);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.kind, MB_SNAP_POINT);
  EXPECT_FALSE(pick(point, As_Pt(2.1, 3, 0), 0.1).hit);
  point.build_draw();
  EXPECT_NEAR(point.rect().lt().x(), 2 - 1e-5, 1e-12);
  EXPECT_NEAR(point.rect().lt().y(), 3 + 1e-5, 1e-12);
  EXPECT_NEAR(point.rect().rb().x(), 2 + 1e-5, 1e-12);
}

TEST(LineEntity, PointsLinesRaysAndXlinesDraw) {
  As_Tran view;
  CMyDC surface;
  {
    Canvas c;
    MB_Point point(As_Pt(5.7, 6.2, 0));
    point.draw(c.dc, surface, view);
    EXPECT_EQ(GetPixel(c.dc, 5, 6), 0xFF0000u);
    EXPECT_EQ(c.count_not_white(), 5);
  }
  {
    Canvas c;
    MB_Line line(As_Pt(2, 2, 0), As_Pt(12, 2, 0));
    line.build_draw();
    line.draw(c.dc, surface, view);
    EXPECT_GE(c.count_not_white(), 10);
    Canvas k;
    line.draw_key_point(k.dc, surface, view);
    EXPECT_GT(k.count_not_white(), 0);
    line.draw_key_point(nullptr, surface, view);  // nothing to draw on
  }
  // A ray from its base to the edge of the device, an xline edge to edge;
  // their extents are the base point alone.
  const struct {
    bool both;
    int first;  // the first pixel of row 2 drawn
  } unbounded[] = {{false, 2}, {true, 0}};
  for (const auto& u : unbounded) {
    SCOPED_TRACE(u.both ? "xline" : "ray");
    Canvas c;
    std::unique_ptr<MB_Line> line(u.both ? static_cast<MB_Line*>(new MB_Xline(As_Pt(2, 2, 0), As_Pt(12, 2, 0)))
                                         : new MB_Ray(As_Pt(2, 2, 0), As_Pt(12, 2, 0)));
    line->build_draw();
    EXPECT_EQ(line->rect().lt().x(), 2);
    EXPECT_EQ(line->rect().rb().x(), 2);
    line->draw(c.dc, surface, view);
    EXPECT_EQ(c.count_not_white(), 16 - u.first);
    for (int x = u.first; x < 16; ++x) EXPECT_NE(GetPixel(c.dc, x, 2), 0xFFFFFFu) << x;
  }
}

TEST(LineEntity, CopiesKeepFieldsAndMlinesCopyAsLines) {
  MB_Ray ray(As_Pt(1, 2, 0), As_Pt(3, 4, 0));
  ray.general().color(0x0000FF);
  MB_Object* copy = nullptr;
  EXPECT_TRUE(ray.copy_to(copy));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->object_id(), MB_Object::ID_LINE);
  EXPECT_EQ(static_cast<MB_Line*>(copy)->end().y(), 4);
  EXPECT_EQ(static_cast<MB_Line*>(copy)->general().color(), 0x0000FF);
  MB_Line other;
  MB_Object* target = &other;
  MB_Line(As_Pt(5, 5, 0), As_Pt(6, 6, 0)).copy_to(target);
  EXPECT_EQ(other.start().x(), 5);
  delete copy;

  MB_Mlines ml(2);
  ml.closed(true);
  copy = nullptr;
  ml.copy_to(copy);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(dynamic_cast<MB_Lines*>(copy), nullptr);
  EXPECT_EQ(dynamic_cast<MB_Mlines*>(copy), nullptr);
  EXPECT_TRUE(static_cast<MB_Lines*>(copy)->closed());
  EXPECT_EQ(static_cast<MB_Lines*>(copy)->count(), 2);
  delete copy;

  copy = nullptr;
  MB_Point(As_Pt(7, 8, 0)).copy_to(copy);
  EXPECT_EQ(static_cast<MB_Point*>(copy)->pos().y(), 8);
  delete copy;
}

TEST(LineEntity, TranslateIsUndoable) {
  MB_Drawing d;
  MB_Line* line = new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  MB_Lines* chain = new MB_Lines(2);
  MB_Point* point = new MB_Point(As_Pt(2, 2, 0));
  d.object_list().add_tail(line);
  d.object_list().add_tail(chain);
  d.object_list().add_tail(point);
  MB_Undo_Redo undo(&d);
  undo.rec_cmd_begin("move");
  const As_Tran shift = translate_transf(As_Vec(5, 0, 0));
  line->translate(shift);
  chain->translate(shift);
  point->translate(shift);
  undo.rec_cmd_end();
  EXPECT_EQ(line->start().x(), 5);
  EXPECT_EQ(chain->points()[1].x(), 5);
  EXPECT_EQ(point->pos().x(), 7);
  As_Void_List touched;
  undo.undo(touched);
  // Undo may restore through copies in the list; look the entities up again.
  auto* l = dynamic_cast<MB_Line*>(d.object_list().head());
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->start().x(), 0);
  auto* p = dynamic_cast<MB_Point*>(d.object_list().tail());
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->pos().x(), 2);
}
