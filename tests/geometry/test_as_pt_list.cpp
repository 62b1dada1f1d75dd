#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"
#include "list_check.h"

namespace {

using Pts = std::vector<std::pair<double, double>>;

As_Pt_List Make(const Pts& pts) {
  As_Pt_List l;
  for (auto& p : pts) l.add_tail(As_Pt(p.first, p.second, 0));
  return l;
}

Pts Xy(const As_Pt_List& l) {
  Pts out;
  for (As_Pt_Node* n = l.head(); n; n = n->next()) out.emplace_back(n->point().x(), n->point().y());
  return out;
}

struct MergeCase {
  std::string name;
  Pts a, b;
  bool result;
  Pts a_after, b_after;
};

TEST(AsPtList, MergeJoinsAtSharedEnds) {
  const std::vector<MergeCase> cases = {
      {"first with first", {{1, 0}, {0, 0}}, {{1, 0}, {2, 0}}, true,
       {{0, 0}, {1, 0}, {1, 0}, {2, 0}}, {{1, 0}, {2, 0}}},
      {"first with last", {{1, 0}, {0, 0}}, {{2, 0}, {1, 0}}, true,
       {{0, 0}, {1, 0}, {1, 0}, {2, 0}}, {{1, 0}, {2, 0}}},
      {"last with first", {{0, 0}, {1, 0}}, {{1, 0}, {2, 0}}, true,
       {{0, 0}, {1, 0}, {1, 0}, {2, 0}}, {{1, 0}, {2, 0}}},
      {"last with last leaves other reversed", {{0, 0}, {1, 0}}, {{2, 0}, {1, 0}}, true,
       {{0, 0}, {1, 0}, {1, 0}, {2, 0}}, {{1, 0}, {2, 0}}},
      {"ends within resabs", {{0, 0}, {1, 0}}, {{1 + 5e-7, 0}, {2, 0}}, true,
       {{0, 0}, {1, 0}, {1 + 5e-7, 0}, {2, 0}}, {{1 + 5e-7, 0}, {2, 0}}},
      {"no common end", {{0, 0}, {1, 0}}, {{5, 5}, {6, 6}}, false, {{0, 0}, {1, 0}}, {{5, 5}, {6, 6}}},
      {"this empty", {}, {{0, 0}}, false, {}, {{0, 0}}},
      {"other empty", {{0, 0}}, {}, true, {{0, 0}}, {}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    As_Pt_List a = Make(c.a), b = Make(c.b);
    EXPECT_EQ(a.merge_list(b), c.result);
    EXPECT_EQ(Xy(a), c.a_after);
    EXPECT_EQ(Xy(b), c.b_after);
    EXPECT_TRUE(list_check::Linked(a));
    EXPECT_TRUE(list_check::Linked(b));
  }
}

TEST(AsPtList, AddingAListToItselfIsBounded) {
  As_Pt_List l = Make({{0, 0}, {1, 0}});
  EXPECT_FALSE(l.merge_list(l));
  EXPECT_EQ(Xy(l), (Pts{{0, 0}, {1, 0}}));
  l.add_list0(l);
  EXPECT_EQ(Xy(l), (Pts{{0, 0}, {1, 0}, {0, 0}, {1, 0}}));
  l.add_list(l);
  EXPECT_EQ(l.count(), 4);
  EXPECT_TRUE(list_check::Linked(l));
}

TEST(AsPtList, AddingAndRemovingKeepsLinks) {
  As_Pt_List l;
  l.add_if_absent(As_Pt(0, 0, 0));
  l.add_if_absent(As_Pt(1e-7, 0, 0));  // the same point within resabs
  EXPECT_EQ(l.count(), 1);
  l.add_list(Make({{0, 0}, {2, 0}, {2, 0}, {3, 0}}));
  EXPECT_EQ(Xy(l), (Pts{{0, 0}, {2, 0}, {3, 0}}));
  l.add_list0(Make({{3, 0}}));
  EXPECT_EQ(l.count(), 4);
  l.add_tail(static_cast<As_Pt_Node*>(nullptr));
  l.add_tail(new As_Pt_Node(As_Pt(9, 9, 0)));
  EXPECT_TRUE(list_check::Linked(l));
  EXPECT_EQ(l.get(4)->point().x(), 9);
  EXPECT_EQ(l.get(5), nullptr);
  EXPECT_EQ(l.get(-1), nullptr);

  l.kill_head();
  EXPECT_EQ(Xy(l), (Pts{{2, 0}, {3, 0}, {3, 0}, {9, 9}}));
  l.remove_tail();
  EXPECT_EQ(Xy(l), (Pts{{2, 0}, {3, 0}, {3, 0}}));
  EXPECT_TRUE(list_check::Linked(l));
  l.reverse();
  EXPECT_EQ(Xy(l), (Pts{{3, 0}, {3, 0}, {2, 0}}));
  EXPECT_TRUE(list_check::Linked(l));
  l.remove_tail();
  l.kill_head();
  l.kill_head();
  EXPECT_TRUE(l.is_empty());
  EXPECT_TRUE(list_check::Linked(l));
  l.kill_head();
  l.remove_tail();
  EXPECT_TRUE(l.is_empty());

  As_Pt_Set set(3);
  set.points()[1] = As_Pt(1, 1, 0);
  l.add_ptset(set);
  EXPECT_EQ(Xy(l), (Pts{{0, 0}, {1, 1}}));
}

TEST(AsPtList, CopiesAreDeep) {
  As_Pt_List a = Make({{1, 2}, {3, 4}});
  As_Pt_List b(a);
  b.head()->point().x() = 7;
  EXPECT_EQ(a.head()->point().x(), 1);
  As_Pt_List c = Make({{5, 5}});
  c = a;
  EXPECT_EQ(Xy(c), Xy(a));
  EXPECT_NE(c.head(), a.head());
  c = c;
  EXPECT_EQ(Xy(c), Xy(a));
  EXPECT_TRUE(list_check::Linked(c));
}

TEST(AsPtSet, EmptyInitKeepsPointsAndOutOfRangeReadsGiveTheOrigin) {
  As_Pt_Set s;
  EXPECT_EQ(s.count(), 0);
  EXPECT_EQ(s.points(), nullptr);
  EXPECT_TRUE(s.add_point(As_Pt(1, 2, 3)));
  EXPECT_EQ(s.count(), 1);
  EXPECT_TRUE(s.add_point(As_Pt(4, 5, 6)));
  EXPECT_EQ(s[1].x(), 4);
  EXPECT_TRUE(s.add_point(s.points()[0]));  // a point of the set itself
  EXPECT_EQ(s.end_pos().z(), 3);
  EXPECT_EQ(s.start_pos().y(), 2);

  As_Pt_List empty;
  s.init(empty);  // keeps the old points
  EXPECT_EQ(s.count(), 3);
  s.init(As_Pt_List(Make({{7, 8}, {9, 10}})));
  EXPECT_EQ(s.count(), 2);
  EXPECT_EQ(s[1].y(), 10);

  s.init(1, s.points() + 1);  // from its own array
  EXPECT_EQ(s.count(), 1);
  EXPECT_EQ(s[0].x(), 9);

  As_Pt p0(1, 1, 0), p1(2, 2, 0);
  As_Void_List ptrs;
  s.init(ptrs);
  EXPECT_EQ(s.count(), 1);
  ptrs.add(&p0);
  ptrs.add(&p1);
  s.init(ptrs);
  EXPECT_EQ(s.count(), 2);
  EXPECT_EQ(s.find_point(As_Pt(2, 2 + 1e-7, 0)), 1);
  EXPECT_EQ(s.find_point(As_Pt(3, 3, 0)), -1);

  As_Pt_Set copy(s);
  copy.points()[0] = As_Pt(-1, -1, 0);
  EXPECT_EQ(s[0].x(), 1);
  copy = s;
  copy = copy;
  EXPECT_EQ(copy[0].x(), 1);
  EXPECT_NE(copy.points(), s.points());

  // Out-of-range reads answer the origin rather than memory past the array.
  EXPECT_EQ(s[2].x(), 0);
  EXPECT_EQ(s[-1].x(), 0);
  s.free();
  EXPECT_EQ(s.count(), 0);
  EXPECT_EQ(s.end_pos().x(), 0);
  s.init(-3);
  EXPECT_EQ(s.points(), nullptr);
  s.init(2);
  EXPECT_EQ(s.count(), 2);
  EXPECT_EQ(s[1].x(), 0);
}

TEST(AsPtSet, SnapPrefersEndPointsThenTheFootAndIgnoresZeroLengthSegments) {
  const As_Pt line[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
  As_Pt_Set s(3, line);
  As_Pt out(9, 9, 9);
  ASSERT_TRUE(s.snap_lines(As_Pt(0.5, 0.01, 0), 0.1, out));
  EXPECT_DOUBLE_EQ(out.x(), 0.5);
  EXPECT_EQ(out.y(), 0.0);
  EXPECT_FALSE(s.snap_lines(As_Pt(0.5, 0.01, 0), 0.005, out));
  // End points come before the foot; the first matching segment wins.
  ASSERT_TRUE(s.snap_lines(As_Pt(0.98, 0.02, 0), 0.05, out));
  EXPECT_EQ(out.x(), 1.0);
  EXPECT_EQ(out.y(), 0.0);
  ASSERT_TRUE(s.snap_lines(As_Pt(0.97, 0.5, 0), 0.05, out));
  EXPECT_EQ(out.x(), 1.0);
  EXPECT_DOUBLE_EQ(out.y(), 0.5);
  // A zero-length segment offers only its point, no foot off to the side.
  const As_Pt dot[] = {{0, 0, 0}, {0, 0, 0}};
  As_Pt_Set d(2, dot);
  EXPECT_FALSE(d.snap_lines(As_Pt(0.05, 0.05, 0), 0.06, out));
  EXPECT_FALSE(As_Pt_Set(1, line).snap_lines(line[0], 1.0, out));
}

TEST(AsPtSets, PointsPastTheirSetReadTheOriginAndSnapFindsEndsAndFeet) {
  const unsigned long counts[] = {1, 3};
  const As_Pt pts[] = {{5, 5, 0}, {0, 0, 0}, {2, 0, 0}, {2, 2, 0}};
  As_Pt_Sets s(2, counts, pts);
  EXPECT_EQ(s.ptset_count(), 2u);
  EXPECT_EQ(s.pts_count(), 4u);
  EXPECT_FALSE(s.is_filled());
  EXPECT_EQ(s.get_point(1, 0).x(), 0);
  EXPECT_EQ(s.get_point(1, 2).y(), 2);
  EXPECT_EQ(s.get_point(0, 0).x(), 5);
  EXPECT_EQ(s.get_point(0, 1).x(), 0);  // past its set: the origin
  EXPECT_EQ(s.get_point(2, 0).x(), 0);

  As_Pt out;
  ASSERT_TRUE(s.snap(As_Pt(5.01, 5, 0), out, 0.1));
  EXPECT_EQ(out.x(), 5);
  ASSERT_TRUE(s.snap(As_Pt(1, 0.05, 0), out, 0.1));
  EXPECT_DOUBLE_EQ(out.x(), 1);
  EXPECT_EQ(out.y(), 0);
  EXPECT_FALSE(s.snap(As_Pt(1, 1, 0), out, 0.1));

  s.is_filled(true);
  As_Pt_Sets copy(s);
  EXPECT_TRUE(copy.is_filled());
  EXPECT_NE(copy.points(), s.points());
  copy = copy;
  EXPECT_EQ(copy.get_point(1, 1).x(), 2);
  copy.init(2, copy.points() + 2);  // one set, from its own points
  EXPECT_EQ(copy.ptset_count(), 1u);
  EXPECT_EQ(copy.pts_count(), 2u);
  EXPECT_EQ(copy.get_point(0, 1).y(), 2);
  EXPECT_FALSE(copy.is_filled());
  copy.free();
  EXPECT_EQ(copy.points(), nullptr);
  EXPECT_EQ(copy.vals(), nullptr);
  EXPECT_EQ(copy.pts_count(), 0u);
}

TEST(AsPtSets, EmptyListsBecomeEmptySetsThatSnapSkips) {
  As_Pt_Sets s;
  s.is_filled(true);
  As_Void_List lists;
  EXPECT_FALSE(s.init_by_ptlists(lists));
  As_Pt_List a = Make({{0, 0}, {1, 0}}), empty, b = Make({{3, 3}});
  lists.add(&a);
  lists.add(&empty);
  lists.add(&b);
  ASSERT_TRUE(s.init_by_ptlists(lists));
  EXPECT_TRUE(s.is_filled());
  EXPECT_EQ(s.ptset_count(), 3u);
  EXPECT_EQ(s.vals()[1], 0u);
  EXPECT_EQ(s.get_point(2, 0).x(), 3);
  As_Pt out;
  EXPECT_TRUE(s.snap(As_Pt(3, 3.01, 0), out, 0.1));  // past the empty set
  EXPECT_EQ(out.y(), 3);
}

TEST(AsPtContainers, TransformsMapEveryPoint) {
  const As_Tran shift = translate_transf(As_Vec(10, 20, 0));
  As_Pt_List l = Make({{1, 2}, {3, 4}});
  l.translate(shift);
  EXPECT_EQ(Xy(l), (Pts{{11, 22}, {13, 24}}));
  l.translate(rotate_transf(half_pi, As_Vec(0, 0, 1)));
  EXPECT_NEAR(l.head()->point().x(), -22, 1e-12);
  EXPECT_NEAR(l.head()->point().y(), 11, 1e-12);

  const As_Pt pts[] = {{5, 5, 0}, {0, 0, 0}, {2, 0, 0}, {2, 2, 0}};
  As_Pt_Set set(4, pts);
  set.translate(shift);
  EXPECT_EQ(set[3].x(), 12);
  EXPECT_EQ(set[3].y(), 22);

  const unsigned long counts[] = {1, 3};
  As_Pt_Sets sets(2, counts, pts);
  As_Void_List lists;
  sets.set_to_list(lists, As_Tran());
  sets.set_to_list(lists, shift);
  ASSERT_EQ(lists.size(), 4);
  auto list_at = [&](int i) { return static_cast<As_Pt_List*>(lists.get(i)); };
  EXPECT_EQ(Xy(*list_at(0)), (Pts{{5, 5}}));
  EXPECT_EQ(Xy(*list_at(1)), (Pts{{0, 0}, {2, 0}, {2, 2}}));
  EXPECT_EQ(Xy(*list_at(3)), (Pts{{10, 20}, {12, 20}, {12, 22}}));
  for (As_Void_Node* n = lists.head(); n; n = n->next()) delete static_cast<As_Pt_List*>(n->entity());

  // The mapped snap answers in mapped coordinates; the stored points stay.
  As_Pt out;
  ASSERT_TRUE(sets.snap(As_Pt(11, 20.05, 0), out, shift, 0.1));
  EXPECT_DOUBLE_EQ(out.x(), 11);
  EXPECT_DOUBLE_EQ(out.y(), 20);
  ASSERT_TRUE(sets.snap(As_Pt(15, 25, 0), out, shift, 0.1));
  EXPECT_EQ(out.x(), 15);
  EXPECT_FALSE(sets.snap(As_Pt(1, 0.05, 0), out, shift, 0.1));
  EXPECT_TRUE(sets.snap(As_Pt(1, 0.05, 0), out, As_Tran(), 0.1));
  EXPECT_EQ(sets.get_point(0, 0).x(), 5);
}

}  // namespace
