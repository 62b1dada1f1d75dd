// The creation tool through the view's commands and synthetic mouse
// messages: each kind's entity and its undo command, the rectangle as one
// closed chain, the region at the front of the list, and the right-button
// rules.
#include <cstring>

#include "control/tools/tool_commands.h"
#include "database/entities/mb_lines.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/mb_draw_render.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

class CreationToolTest : public ToolTest {};

TEST_F(CreationToolTest, EachKindMakesItsEntityInOneNamedCommand) {
  struct Case {
    UINT command;
    std::vector<POINT> clicks;
    bool right;  // finished with the right button
    MB_Object::MB_ID made;
    const char* name;
  };
  // Each case clicks where no earlier entity lies, so that snapping keeps
  // its clicks where they are.
  const Case cases[] = {
      {32778, {{50, 50}}, false, MB_Object::ID_POINT, "\xb4\xb4\xbd\xa8\xb5\xe3"},
      {32780, {{50, 50}, {150, 90}}, false, MB_Object::ID_LINE, "\xb4\xb4\xbd\xa8\xd6\xb1\xcf\xdf"},
      {32810, {{50, 50}, {150, 90}}, false, MB_Object::ID_LINES, "\xb4\xb4\xbd\xa8\xbe\xd8\xd0\xce"},
      {32786, {{50, 50}, {150, 90}, {200, 40}}, true, MB_Object::ID_LINES, "\xb4\xb4\xbd\xa8\xd5\xdb\xcf\xdf"},
      {32801, {{100, 100}, {140, 100}}, false, MB_Object::ID_CIRCLE, "\xb4\xb4\xbd\xa8\xd4\xb2"},
      {32803, {{300, 60}, {340, 100}, {300, 140}}, false, MB_Object::ID_CIRCLE, "\xb4\xb4\xbd\xa8\xd4\xb2"},
      {32805, {{400, 200}, {440, 200}, {400, 160}}, false, MB_Object::ID_ARC, "\xb4\xb4\xbd\xa8\xd4\xb2\xbb\xa1"},
      {32809, {{250, 250}, {310, 250}, {250, 230}}, false, MB_Object::ID_ELLIPSE, "\xb4\xb4\xbd\xa8\xd4\xb2"},
      {32808, {{50, 50}, {100, 90}, {150, 40}}, true, MB_Object::ID_BSPLINE, "\xb4\xb4\xbd\xa8" "B\xd1\xf9\xcc\xf5\xcf\xdf"},
  };
  for (const Case& c : cases) {
    command(c.command);
    ASSERT_EQ(op_->get_active_tool_id(), find_tool_command(c.command)->tool) << c.command;
    const int before = count();
    for (const POINT& p : c.clicks) at(WM_LBUTTONDOWN, p.x, p.y);
    if (c.right) at(WM_RBUTTONDOWN, c.clicks.back().x + 1, c.clicks.back().y);
    ASSERT_EQ(count(), before + 1) << c.command;
    EXPECT_EQ(op_->drawing()->object_list().tail()->object_id(), c.made) << c.command;
    EXPECT_STREQ(last_command(), c.name) << c.command;
    EXPECT_EQ(op_->get_active_tool_id(), find_tool_command(c.command)->tool) << "stays for the next entity";
  }
}

TEST_F(CreationToolTest, TheRectangleIsOneClosedChainAndKeepsItsCornerOnARightClick) {
  command(32810);
  at(WM_LBUTTONDOWN, 40, 40);
  at(WM_RBUTTONDOWN, 60, 60);  // the first corner stays, the tool too
  EXPECT_EQ(op_->get_active_tool_id(), -232);
  at(WM_LBUTTONDOWN, 140, 100);
  ASSERT_EQ(count(), 1);
  MB_Lines* r = static_cast<MB_Lines*>(op_->drawing()->object_list().head());
  ASSERT_EQ(r->count(), 5);
  EXPECT_TRUE(same_point(r->start_pos(), r->end_pos(), resabs));
}

TEST_F(CreationToolTest, ARegionGoesToTheFrontAndRightClicksEndToolsOnlyWhenIdle) {
  command(32780);
  at(WM_LBUTTONDOWN, 10, 10);
  at(WM_LBUTTONDOWN, 30, 30);
  command(32799);
  at(WM_LBUTTONDOWN, 50, 50);
  at(WM_RBUTTONDOWN, 50, 50);  // one point: nothing, tool and point stay
  EXPECT_EQ(op_->get_active_tool_id(), -231);
  EXPECT_EQ(count(), 1);
  at(WM_LBUTTONDOWN, 150, 50);
  at(WM_LBUTTONDOWN, 100, 120);
  at(WM_RBUTTONDOWN, 100, 120);
  ASSERT_EQ(count(), 2);
  EXPECT_EQ(op_->drawing()->object_list().head()->object_id(), MB_Object::ID_SOLID);
  at(WM_RBUTTONDOWN, 100, 120);  // nothing pending: the tool ends
  EXPECT_NE(op_->get_active_tool_id(), -231);
  // A fixed-count kind with a click pending ends on the right button too.
  command(32801);
  at(WM_LBUTTONDOWN, 80, 80);
  at(WM_RBUTTONDOWN, 80, 80);
  EXPECT_NE(op_->get_active_tool_id(), -208);
  EXPECT_EQ(count(), 2);
}

TEST_F(CreationToolTest, UndoTakesBackOneEntityAtATime) {
  command(32780);
  at(WM_LBUTTONDOWN, 10, 10);
  at(WM_LBUTTONDOWN, 30, 30);
  at(WM_LBUTTONDOWN, 40, 10);
  at(WM_LBUTTONDOWN, 60, 30);
  ASSERT_EQ(count(), 2);
  command(32826);  // the undo command
  EXPECT_EQ(count(), 1);
  command(32827);
  EXPECT_EQ(count(), 2);
}

}  // namespace
}  // namespace control_test
