#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>
#include <vector>

#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_search_loops.h"
#include "loop_fixtures.h"

namespace {

using namespace loop_fixtures;

static_assert(!std::is_copy_constructible<As_Search_Loops>::value, "a search owns its objects");
static_assert(!std::is_copy_assignable<As_Search_Loops>::value, "a search owns its objects");

struct Seg {
  double x0, y0, x1, y1;
};

// A search over the segments, prepared by the five steps.
class Search {
 public:
  explicit Search(std::initializer_list<Seg> segs) {
    for (const Seg& s : segs) search_.segment_list().add(new As_Segment(As_Pt(s.x0, s.y0, 0), As_Pt(s.x1, s.y1, 0)));
    search_.init();
  }
  As_Search_Loops& operator*() { return search_; }
  As_Search_Loops* operator->() { return &search_; }
  const As_Loop& result(int i) { return *static_cast<As_Loop*>(search_.result_list().get(i)); }
  As_Intersect_Point* point(int i) { return static_cast<As_Intersect_Point*>(search_.intersect_list().get(i)); }

 private:
  As_Search_Loops search_;
};

const std::initializer_list<Seg> kSquare = {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 0, 1}, {0, 1, 0, 0}};

TEST(SearchLoops, SquareInEitherMode) {
  for (bool maximal : {true, false}) {
    SCOPED_TRACE(maximal);
    Search s(kSquare);
    ASSERT_EQ(s->intersect_list().size(), 4);
    // Rightmost first, the top before the bottom.
    EXPECT_EQ(s.point(0)->pos().y(), 1);
    EXPECT_EQ(s.point(1)->pos().x(), 1);
    EXPECT_EQ(s.point(1)->pos().y(), 0);
    // The top right corner's leftward relation never starts a walk.
    As_Intersect_Relation* left = s.point(0)->relation_to(s.point(2));
    ASSERT_NE(left, nullptr);
    EXPECT_DOUBLE_EQ(left->angle(), qm_pi);
    EXPECT_EQ(left->state(), -1);
    maximal ? s->search_max_loops() : s->search_min_loops();
    ASSERT_EQ(s->result_list().size(), 1);
    // Found from the bottom right corner going up: counter-clockwise.
    EXPECT_TRUE(HasVertices(s.result(0), {{1, 0}, {1, 1}, {0, 1}, {0, 0}}));
  }
}

// A stray segment ending on a side, or at a corner, dangles and is pruned
// without taking the square with it.
TEST(SearchLoops, StraySegmentsArePruned) {
  const Seg strays[] = {{0.5, 1, 0.5, 3}, {1, 1, 2, 2}, {0, 0, -1, -3}, {-1, 0.5, 0.5, 0.5}};
  for (const Seg& stray : strays) {
    for (bool maximal : {true, false}) {
      SCOPED_TRACE(testing::Message() << stray.x1 << " " << stray.y1 << " " << maximal);
      Search s({kSquare.begin()[0], kSquare.begin()[1], kSquare.begin()[2], kSquare.begin()[3], stray});
      maximal ? s->search_max_loops() : s->search_min_loops();
      ASSERT_EQ(s->result_list().size(), 1);
      EXPECT_TRUE(HasVertices(s.result(0), {{1, 0}, {1, 1}, {0, 1}, {0, 0}}));
    }
  }
}

// A dangling chain of two segments prunes back through both.
TEST(SearchLoops, DanglingChainsArePrunedInTurn) {
  Search s({{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 0, 1}, {0, 1, 0, 0}, {0.5, 1, 0.5, 2}, {0, 2, 1, 3}, {0.25, 1.5, 2, 4}});
  s->search_min_loops();
  ASSERT_EQ(s->result_list().size(), 1);
  EXPECT_DOUBLE_EQ(s.result(0).area(), 1);
}

TEST(SearchLoops, ZeroLengthAndNonFiniteSegmentsGoFirst) {
  As_Search_Loops search;
  const double nan = std::nan(""), inf = HUGE_VAL;
  search.segment_list().add(new As_Segment(As_Pt(0, 0, 0), As_Pt(1, 0, 0)));
  search.segment_list().add(new As_Segment(As_Pt(0.5, 0, 0), As_Pt(0.5, 5e-7, 0)));
  search.segment_list().add(new As_Segment(As_Pt(0.5, nan, 0), As_Pt(0.5, 1, 0)));
  search.segment_list().add(new As_Segment(As_Pt(0.5, -1, 0), As_Pt(inf, 1, 0)));
  search.remove_error_segment();
  EXPECT_EQ(search.segment_list().size(), 1);
}

TEST(SearchLoops, CoincidentCrossingsShareOnePoint) {
  As_Search_Loops search;
  search.segment_list().add(new As_Segment(As_Pt(-1, 0, 0), As_Pt(1, 0, 0)));
  search.segment_list().add(new As_Segment(As_Pt(0, -1, 0), As_Pt(0, 1, 0)));
  search.segment_list().add(new As_Segment(As_Pt(-1, -1, 0), As_Pt(1, 1, 0)));
  search.remove_error_segment();
  search.bulid_intersect();
  ASSERT_EQ(search.intersect_list().size(), 1);
  As_Intersect_Point* p = static_cast<As_Intersect_Point*>(search.intersect_list().first());
  EXPECT_EQ(p->segment_list().size(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(static_cast<As_Segment*>(search.segment_list().get(i))->intpos_list().first(), p);
  // Every segment holds one point only: the star dangles away entirely.
  search.del_invalid_intersect();
  EXPECT_TRUE(search.intersect_list().is_empty());
}

TEST(SearchLoops, DividedRectangleGivesOneOutlineOrTwoSmallestLoops) {
  const std::initializer_list<Seg> segs = {{0, 0, 2, 0}, {2, 0, 2, 1}, {2, 1, 0, 1}, {0, 1, 0, 0}, {1, 0, 1, 1}};
  Search max(segs);
  max->search_max_loops();
  ASSERT_EQ(max->result_list().size(), 1);
  EXPECT_TRUE(HasVertices(max.result(0), {{2, 0}, {2, 1}, {1, 1}, {0, 1}, {0, 0}, {1, 0}}));

  Search min(segs);
  min->search_min_loops();
  ASSERT_EQ(min->result_list().size(), 2);
  min->order_result_list();
  EXPECT_TRUE(HasVertices(min.result(0), {{1, 0}, {1, 1}, {0, 1}, {0, 0}}));
  EXPECT_TRUE(HasVertices(min.result(1), {{2, 0}, {2, 1}, {1, 1}, {1, 0}}));
}

// A grid of 4 by 4 cells: 16 faces, one outline.
TEST(SearchLoops, GridGivesSixteenCellsOrOneOutlineOrderedLeftToRight) {
  for (bool maximal : {true, false}) {
    As_Search_Loops search;
    for (int i = 0; i <= 4; ++i) {
      search.segment_list().add(new As_Segment(As_Pt(i, -0.5, 0), As_Pt(i, 4.5, 0)));
      search.segment_list().add(new As_Segment(As_Pt(-0.5, i, 0), As_Pt(4.5, i, 0)));
    }
    search.init();
    maximal ? search.search_max_loops() : search.search_min_loops();
    search.order_result_list();
    ASSERT_EQ(search.result_list().size(), maximal ? 1 : 16);
    double area = 0, last_x = -1;
    for (As_Void_Node* n = search.result_list().head(); n; n = n->next()) {
      const As_Loop* loop = static_cast<const As_Loop*>(n->entity());
      area += loop->area();
      EXPECT_GE(loop->rect()->center().x(), last_x);
      last_x = loop->rect()->center().x();
    }
    EXPECT_DOUBLE_EQ(area, 16);
  }
}

TEST(SearchLoops, NestedLoopsFromLoopInputs) {
  As_Loop outer = Box(0, 0, 4, 4), inner = Box(1, 1, 2, 2);
  for (bool maximal : {true, false}) {
    As_Search_Loops search;
    search.input_list().add(&outer);
    search.input_list().add(&inner);
    search.loop2segments();
    EXPECT_EQ(search.segment_list().size(), 8);
    EXPECT_EQ(static_cast<As_Segment*>(search.segment_list().get(5))->parent(), &inner);
    search.init();
    maximal ? search.search_max_loops() : search.search_min_loops();
    search.order_result_list();
    ASSERT_EQ(search.result_list().size(), 2);
    EXPECT_DOUBLE_EQ(static_cast<As_Loop*>(search.result_list().get(0))->area(), 1);
    EXPECT_DOUBLE_EQ(static_cast<As_Loop*>(search.result_list().get(1))->area(), 16);
  }
}

TEST(SearchLoops, PointSetsAndListsGiveTheSameLoopsAsSegments) {
  const As_Pt ring[5] = {As_Pt(0, 0, 0), As_Pt(3, 0, 0), As_Pt(3, 3, 0), As_Pt(0, 3, 0), As_Pt(0, 0, 0)};
  As_Pt_Set set(5, ring);
  As_Search_Loops by_set;
  by_set.input_list().add(&set);
  by_set.ptset2segments();
  EXPECT_EQ(by_set.segment_list().size(), 4);
  by_set.init();
  by_set.search_min_loops();
  ASSERT_EQ(by_set.result_list().size(), 1);
  EXPECT_DOUBLE_EQ(static_cast<As_Loop*>(by_set.result_list().first())->area(), 9);

  As_Pt_List list;
  for (const As_Pt& p : ring) list.add_tail(p);
  As_Search_Loops by_list;
  by_list.input_list().add(&list);
  by_list.ptlist2segments();
  ASSERT_EQ(by_list.segment_list().size(), 4);
  EXPECT_EQ(static_cast<As_Segment*>(by_list.segment_list().first())->parent(), &list);
  by_list.init();
  by_list.search_max_loops();
  EXPECT_EQ(by_list.result_list().size(), 1);
}

// Overlapping collinear sides, repeated segments and open chains end
// cleanly (the sanitizers check that nothing leaks or is read freed).
TEST(SearchLoops, DegenerateInputsEnd) {
  for (bool maximal : {true, false}) {
    Search s({{0, 0, 2, 0}, {1, 0, 3, 0}, {3, 0, 3, 2}, {3, 2, 0, 2}, {0, 2, 0, 0}, {0, 2, 0, 0}, {5, 5, 6, 6}});
    maximal ? s->search_max_loops() : s->search_min_loops();
    for (As_Void_Node* n = s->result_list().head(); n; n = n->next())
      EXPECT_GT(static_cast<As_Loop*>(n->entity())->count(), 2);
  }
  Search open({{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 2, 1}});
  open->search_min_loops();
  EXPECT_TRUE(open->result_list().is_empty());
  EXPECT_TRUE(open->intersect_list().is_empty());
}

TEST(SearchLoops, CallerMayTakeTheResults) {
  As_Loop* taken = nullptr;
  {
    Search s(kSquare);
    s->search_min_loops();
    taken = static_cast<As_Loop*>(s->result_list().first());
    s->result_list().removeValue(taken);
  }
  EXPECT_DOUBLE_EQ(taken->area(), 1);
  delete taken;
}

}  // namespace

namespace {

// Random segments on a coarse grid (so that ends often touch, cross at
// vertices and overlap): every search ends, and no loop is found twice (a
// part joined to the rest at one point used to come out a second time,
// traced clockwise).
TEST(SearchLoops, RandomSegmentsEnd) {
  uint32_t seed = 2024;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<double>((seed >> 16) % static_cast<uint32_t>(range));
  };
  for (int round = 0; round < 60; ++round) {
    for (bool maximal : {true, false}) {
      As_Search_Loops search;
      for (int i = 0; i < 14; ++i)
        search.segment_list().add(new As_Segment(As_Pt(next(6), next(6), 0), As_Pt(next(6), next(6), 0)));
      search.init();
      maximal ? search.search_max_loops() : search.search_min_loops();
      std::vector<const As_Loop*> faces;
      for (As_Void_Node* n = search.result_list().head(); n; n = n->next()) {
        const As_Loop* loop = static_cast<const As_Loop*>(n->entity());
        EXPECT_GT(loop->count(), 2);
        EXPECT_GT(loop->area(), 0.0);
        faces.push_back(loop);
      }
      for (size_t i = 0; i < faces.size(); ++i)
        for (size_t j = i + 1; j < faces.size(); ++j)
          EXPECT_FALSE(faces[i]->is_in_loop(*faces[j]) == 1 && faces[j]->is_in_loop(*faces[i]) == 1)
              << "round " << round;
    }
  }
}

}  // namespace
