// The extent index the snap finds its entities through: it must answer
// exactly what a walk of the display list with the snap's extents test
// answers, in list order, however the list and the entities changed since
// it was built. The snap consumes that sequence and nothing else of the
// list, so equal sequences give the same snapped point, kind and order.
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "database/entities/mb_line.h"
#include "display/mb_extent_index.h"
#include "view_fixture.h"

namespace {

// The snap's entities the way it found them before it had an index: every
// entry of the list, in order, tested one by one.
std::vector<MB_Drawable*> scan(const As_Void_List& list, const As_Pt& p, double tol) {
  std::vector<MB_Drawable*> out;
  for (As_Void_Node* n = list.head(); n; n = n->next()) {
    MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
    if (mb_extents_meet_aperture(e->rect(), p, tol)) out.push_back(e);
  }
  return out;
}

std::vector<MB_Drawable*> indexed(const MB_Extent_Index& index, const As_Pt& p, double tol) {
  std::vector<MB_Drawable*> out;
  index.query(p, tol, out);
  return out;
}

// Points on, just inside and just outside each side of the widened extents.
std::vector<As_Pt> probes_around(const As_Rect& r, double tol) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<As_Pt> out;
  const double xs[] = {r.lt().x() - tol, r.rb().x() + tol, r.center().x()};
  const double ys[] = {r.rb().y() - tol, r.lt().y() + tol, r.center().y()};
  for (double x : xs) {
    for (double y : ys) {
      for (double dx : {-inf, 0.0, inf}) {
        for (double dy : {-inf, 0.0, inf}) out.emplace_back(std::nextafter(x, dx), std::nextafter(y, dy), 0.0);
      }
    }
  }
  return out;
}

}  // namespace

TEST(ExtentIndex, AnswersWhatAScanOfTheListAnswersInListOrder) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double tol = 1.0;
  // Beyond 2^53 doubles are 2 apart: adding the aperture to this x rounds up
  // a whole step, subtracting it from the next double does not round down.
  const double far = 1.0256393842833338e16;
  struct Case {
    const char* what;
    As_Pt lt, rb;
  };
  const Case cases[] = {
      {"normal form", As_Pt(0, 10, 0), As_Pt(10, 0, 0)},
      {"a point", As_Pt(3, 3, 0), As_Pt(3, 3, 0)},
      {"x reversed by less than the aperture", As_Pt(21.5, 5, 0), As_Pt(20, 4, 0)},
      {"x reversed by more than the aperture", As_Pt(40, 5, 0), As_Pt(30, 4, 0)},
      {"y reversed", As_Pt(50, 1, 0), As_Pt(52, 1.8, 0)},
      {"unbounded to the right", As_Pt(5, 8, 0), As_Pt(inf, 7, 0)},
      {"unbounded below", As_Pt(60, 8, 0), As_Pt(61, -inf, 0)},
      {"a corner not a number", As_Pt(nan, 8, 0), As_Pt(70, 7, 0)},
      {"far out, where adding the aperture rounds", As_Pt(far - 8, far, 0), As_Pt(far, far - 8, 0)},
      {"a point far out", As_Pt(far + 16, far + 16, 0), As_Pt(far + 16, far + 16, 0)},
  };
  std::vector<std::unique_ptr<Test_Line>> owned;
  As_Void_List list;
  for (const Case& c : cases) {
    owned.emplace_back(new Test_Line);
    owned.back()->edit_rect().set_rect(c.lt, c.rb);
  }
  // Enough random extents for a tree several levels deep, overlapping the
  // cases; the first case stands in the list twice.
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> at(-5, 80), size(0, 6);
  for (int i = 0; i < 2000; ++i) {
    const double x = at(rng), y = at(rng);
    owned.emplace_back(new Test_Line);
    owned.back()->edit_rect().set_rect(As_Pt(x, y + size(rng), 0), As_Pt(x + size(rng), y, 0));
  }
  for (auto& e : owned) list.add(e.get());
  list.insert(owned.front().get(), 1000);

  MB_Extent_Index index;
  index.build(list);
  EXPECT_EQ(index.size(), owned.size() + 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const As_Pt& p : probes_around(As_Rect(c.lt, c.rb), tol)) {
      ASSERT_EQ(indexed(index, p, tol), scan(list, p, tol)) << p.x() << ", " << p.y();
    }
  }
  for (int i = 0; i < 500; ++i) {
    const As_Pt p(at(rng), at(rng), 0);
    ASSERT_EQ(indexed(index, p, tol), scan(list, p, tol)) << p.x() << ", " << p.y();
  }
  const As_Pt nowhere(nan, 3, 0);
  EXPECT_TRUE(indexed(index, nowhere, tol).empty());
  index.build(As_Void_List());
  EXPECT_TRUE(indexed(index, As_Pt(3, 3, 0), tol).empty());
}

// A drawing of random lines edited at random: lines made, deleted and
// moved in commands, commands undone and redone, the selection drawn in
// front, with and without a repaint in between. After every step the
// renderer's index answers as a scan of its display list does.
TEST_F(ViewTest, SnapEntitiesMatchAScanThroughEditsUndoAndRedo) {
  render()->zoom_window(As_Pt(0, 100, 0), As_Pt(100, 0, 0));
  std::mt19937 rng(20261211);
  std::uniform_real_distribution<double> at(0, 100), step(-8, 8);
  auto random_point = [&] { return As_Pt(at(rng), at(rng), 0); };
  auto make_line = [&] {
    const As_Pt a = random_point();
    return add_line<MB_Line>(a, a + As_Vec(step(rng), step(rng), 0));
  };
  auto drawn = [&]() -> std::vector<MB_Line*> {
    std::vector<MB_Line*> out;
    for (MB_Object* o = op->drawing()->object_list().head(); o; o = o->next()) out.push_back(static_cast<MB_Line*>(o));
    return out;
  };
  auto pick_one = [&](const std::vector<MB_Line*>& lines) {
    return lines[std::uniform_int_distribution<size_t>(0, lines.size() - 1)(rng)];
  };
  auto rebuild = [](As_Void_List& touched) {
    for (As_Void_Node* n = touched.head(); n; n = n->next()) static_cast<MB_Drawable*>(n->entity())->build_draw();
  };
  for (int i = 0; i < 400; ++i) make_line();
  paint();
  const double tol = api_mb_get_snap_tol();
  ASSERT_GT(tol, 0.0);

  int steps_checked = 0;
  for (int round = 0; round < 120; ++round) {
    const std::vector<MB_Line*> lines = drawn();
    As_Void_List touched;
    switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
      case 0:  // a line made and drawn at once
        op->rec_cmd_begin("make");
        op->draw_object(make_line());
        op->rec_cmd_end();
        break;
      case 1:  // a few lines deleted
        op->rec_cmd_begin("delete");
        for (int k = 0; k < 3 && !lines.empty(); ++k) op->delete_object(pick_one(lines), false);
        op->rec_cmd_end();
        break;
      case 2: {  // a line moved, shown where it was until the next repaint
        if (lines.empty()) break;
        MB_Line* l = pick_one(lines);
        op->rec_cmd_begin("move");
        const As_Vec by(step(rng), step(rng), 0);
        l->start(l->start() + by);
        l->end(l->end() + by);
        l->build_draw();
        op->rec_cmd_end();
        break;
      }
      case 3:
        op->undo(touched);
        rebuild(touched);
        break;
      case 4:
        op->redo(touched);
        rebuild(touched);
        break;
      case 5:  // selected lines drawn again in front of the list
        if (!lines.empty()) op->add_entity_to_selection(pick_one(lines), false);
        paint();
        break;
      default:
        op->clear_selectlist(false);
        paint();
        break;
    }
    if (round % 3 == 0) paint();
    const As_Void_List& list = render()->display_list();
    std::vector<As_Pt> probes;
    for (int k = 0; k < 10; ++k) probes.push_back(random_point());
    for (MB_Line* l : drawn()) {
      if (probes.size() >= 30) break;
      if (std::uniform_int_distribution<int>(0, 20)(rng) == 0) probes.push_back(l->end() + As_Vec(tol / 2, 0, 0));
    }
    for (const As_Pt& p : probes) {
      ASSERT_EQ(indexed(render()->extent_index(), p, tol), scan(list, p, tol))
          << "round " << round << " at " << p.x() << ", " << p.y();
    }
    ++steps_checked;
  }
  EXPECT_EQ(steps_checked, 120);
}

TEST_F(ViewTest, SnapFindsAMovedLineWhereItIsBeforeAnyRepaint) {
  render()->zoom_window(As_Pt(0, 50, 0), As_Pt(100, 0, 0));  // 7.99 pixels a unit
  MB_Line* line = add_line<MB_Line>(As_Pt(10, 10, 0), As_Pt(60, 10, 0));
  paint();
  MB_Mouse_Tool* tool = new MB_Mouse_Tool(-1, MB_String("t"), op.get());
  tool->snap_start();
  const As_Tran view = render()->drawing_to_screen();
  auto snap_at = [&](const As_Pt& p) {
    const As_Pt s = p * view;
    POINT pixel{int(s.x()), int(s.y())};
    op->process_mouse_event(0x200, 0, pixel);
    return tool->get_snap_entity();
  };
  EXPECT_EQ(snap_at(As_Pt(10, 10, 0)), line);  // the index is built here
  line->start(As_Pt(10, 30, 0));
  line->end(As_Pt(60, 30, 0));
  line->build_draw();
  EXPECT_EQ(snap_at(As_Pt(10, 30, 0)), line);
  EXPECT_EQ(tool->get_relation()->type(), MB_SNAP_START);
  EXPECT_EQ(snap_at(As_Pt(10, 10, 0)), nullptr);
}
