// Rubber-band feedback: frames, erasing by a second drawing, the shapes'
// construction rules.
#include "display/interaction/mb_rubber_band.h"

#include "view_fixture.h"

namespace {

class RubberTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    add_line(As_Pt(0, 0, 0), As_Pt(200, 100, 0), 0x00FFFF);
    paint();
    before = window_pixels();
    rubber.draw_render(render());
  }
  void TearDown() override {
    rubber.draw_render(nullptr);
    ViewTest::TearDown();
  }
  int changed() {
    const std::vector<uint32_t> now = window_pixels();
    int n = 0;
    for (size_t i = 0; i < now.size(); ++i) n += now[i] != before[i];
    return n;
  }
  std::vector<uint32_t> before;
  MB_Rubber rubber;
};

// Records whether the inverting pass was on while it drew.
class Watch_Node : public MB_Rubber_Node {
 public:
  explicit Watch_Node(bool* seen) : seen_(seen) {}
  void draw(HDC, const As_Tran&) override { *seen_ = g_is_rubbering; }

 private:
  bool* seen_;
};

}  // namespace

TEST_F(RubberTest, EveryShapeDrawnTwiceRestoresTheWindow) {
  As_Pt_List pts;
  pts.add_tail(As_Pt(5, 5, 0));
  pts.add_tail(As_Pt(80, 20, 0));
  pts.add_tail(As_Pt(40, 60, 0));
  const int styles[] = {PS_SOLID, PS_DASH, PS_DOT};
  for (int style : styles) {
    for (int width = 0; width <= 2; ++width) {
      MB_Rubber::set_style(style);
      MB_Rubber::set_width(width);
      rubber.draw_begin();
      rubber.draw_line(As_Pt(0, 0, 0), As_Pt(150, 90, 0));
      rubber.draw_rect(As_Pt(10, 80, 0), As_Pt(120, 10, 0));
      rubber.draw_lines(pts, As_Pt(100, 100, 0), true);
      rubber.draw_spline(pts, As_Pt(100, 100, 0), render()->drawing_to_screen());
      rubber.draw_arc(As_Pt(50, 50, 0), As_Pt(90, 50, 0), As_Pt(50, 95, 0));
      rubber.draw_circle(As_Pt(60, 40, 0), 33.3);
      rubber.draw_ellipse(As_Pt(60, 40, 0), As_Pt(100, 60, 0), As_Pt(70, 60, 0));
      rubber.add_node_to_newlist(new MB_Rubber_Point(As_Pt(30, 30, 0), 1, 0));
      rubber.draw_end();
      EXPECT_GT(changed(), 200) << style << " " << width;
      rubber.reset();
      EXPECT_EQ(changed(), 0) << style << " " << width;
    }
  }
}

TEST_F(RubberTest, FramesShowTheNewShapesAndEraseTheOld) {
  rubber.draw_end();  // without a frame: nothing
  EXPECT_EQ(changed(), 0);
  EXPECT_FALSE(g_is_rubbering);
  rubber.draw_line(As_Pt(0, 50, 0), As_Pt(100, 50, 0));  // outside a frame: dropped
  EXPECT_TRUE(rubber.new_list().is_empty());
  rubber.draw_begin();
  rubber.draw_line(As_Pt(0, 50, 0), As_Pt(100, 50, 0));
  rubber.draw_end();
  const int one = changed();
  EXPECT_GT(one, 50);
  // Shown in the rubber-band colour over the background.
  const As_Pt mid = to_screen(As_Pt(50, 50, 0));
  EXPECT_EQ(window_pixels()[size_t(mid.y()) * 800 + size_t(mid.x())], rgb_of(0x00FF00));
  rubber.draw_begin();
  rubber.draw_line(As_Pt(0, 50, 0), As_Pt(100, 50, 0));
  rubber.draw_end();
  EXPECT_EQ(changed(), one);  // the same shape once
  rubber.draw_begin();
  rubber.draw_end();  // an empty frame erases
  EXPECT_EQ(changed(), 0);
}

TEST_F(RubberTest, EveryInvertingPassIsMarked) {
  bool seen = false;
  rubber.draw_begin();
  rubber.add_node_to_newlist(new Watch_Node(&seen));
  rubber.draw_end();
  EXPECT_TRUE(seen);
  seen = false;
  rubber.reset();
  EXPECT_TRUE(seen);
  EXPECT_FALSE(g_is_rubbering);
}

TEST_F(RubberTest, ARepaintKeepsTheFeedbackInStep) {
  MB_Mouse_Tool* tool = new MB_Mouse_Tool(-1, MB_String("t"), op.get());
  tool->rubber().draw_begin();
  tool->rubber().draw_rect(As_Pt(10, 80, 0), As_Pt(120, 10, 0));
  tool->rubber().draw_end();
  paint();  // the repaint shows the rectangle again
  EXPECT_GT(changed(), 100);
  tool->rubber().reset();
  EXPECT_EQ(changed(), 0);
}

TEST_F(RubberTest, WithoutARendererNothingIsDrawn) {
  MB_Rubber lone;
  lone.draw_begin();
  lone.draw_line(As_Pt(0, 0, 0), As_Pt(10, 10, 0));
  lone.draw_end();
  EXPECT_EQ(lone.old_list().count(), 1);
  lone.reset();
  EXPECT_EQ(changed(), 0);
}

TEST(RubberShapes, ConstructionRules) {
  As_Pt_List one;
  one.add_tail(As_Pt(1, 2, 0));
  MB_Rubber_Lines closed(one, true, As_Pt(5, 5, 0));
  ASSERT_EQ(closed.count(), 3);
  EXPECT_TRUE(same_point(closed.points()[0], As_Pt(1, 2, 0), 0.0));
  EXPECT_TRUE(same_point(closed.points()[1], As_Pt(5, 5, 0), 0.0));
  EXPECT_TRUE(same_point(closed.points()[2], As_Pt(1, 2, 0), 0.0));
  As_Pt_List none;
  MB_Rubber_Lines empty(none, true, As_Pt(5, 5, 0));
  EXPECT_EQ(empty.points(), nullptr);
  MB_Rubber_Arc arc(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(0, 3, 0));
  EXPECT_DOUBLE_EQ(arc.radius(), 10.0);
  EXPECT_NEAR(arc.end().y(), 10.0, 1e-12);
  // The preview circle has the radius of the circle being made.
  MB_Rubber_Circle circle(As_Pt(0, 0, 0), As_Pt(7.9, 0, 0));
  EXPECT_DOUBLE_EQ(circle.radius(), 7.9);
  MB_Rubber_Ellipse tiny(As_Pt(1, 1, 0), As_Pt(1, 1 + 1e-7, 0), As_Pt(3, 3, 0));
  EXPECT_EQ(tiny.major(), 0.0);
  EXPECT_EQ(tiny.minor(), 0.0);
  MB_Rubber_Ellipse flat(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(4, 0, 0));
  EXPECT_EQ(flat.minor(), 0.0);
  MB_Rubber_Ellipse beyond(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(20, 5, 0));
  EXPECT_EQ(beyond.minor(), 0.0);
  MB_Rubber_Ellipse round(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(0, 6, 0));
  EXPECT_NEAR(round.minor(), 6.0, 1e-12);
  MB_Rubber_Spline no_spline(none, As_Pt(), As_Tran());
  EXPECT_EQ(no_spline.count(), 0);
}
