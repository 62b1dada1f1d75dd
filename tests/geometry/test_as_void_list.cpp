#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "geometry/as_void_list.h"
#include "list_check.h"

namespace {

int slots[10];
void* E(int i) { return &slots[i]; }

As_Void_List Make(const std::vector<int>& ids) {
  As_Void_List l;
  for (int i : ids) l.add(E(i));
  return l;
}

std::vector<int> Ids(const As_Void_List& l) {
  std::vector<int> ids;
  for (As_Void_Node* n = l.head(); n; n = n->next()) ids.push_back(static_cast<int>(static_cast<int*>(n->entity()) - slots));
  return ids;
}

struct Surgery {
  std::string name;
  std::vector<int> before;
  std::function<bool(As_Void_List&)> op;
  bool result;
  std::vector<int> after;
};

TEST(AsVoidList, SurgeryKeepsLinksAndOrder) {
  const std::vector<Surgery> cases = {
      {"add to empty", {}, [](As_Void_List& l) { return l.add(E(1)); }, true, {1}},
      {"addHead", {1, 2}, [](As_Void_List& l) { return l.addHead(E(0)); }, true, {0, 1, 2}},
      {"addHead to empty", {}, [](As_Void_List& l) { return l.addHead(E(0)); }, true, {0}},
      {"addIfAbsent new", {1}, [](As_Void_List& l) { return l.addIfAbsent(E(2)); }, true, {1, 2}},
      {"addIfAbsent present", {1, 2}, [](As_Void_List& l) { return l.addIfAbsent(E(1)); }, false, {1, 2}},
      {"insert 0 into empty", {}, [](As_Void_List& l) { return l.insert(E(4), 0); }, true, {4}},
      {"insert 0 is new head", {1, 2}, [](As_Void_List& l) { return l.insert(E(4), 0); }, true, {4, 1, 2}},
      {"insert inner", {1, 2, 3}, [](As_Void_List& l) { return l.insert(E(4), 2); }, true, {1, 2, 4, 3}},
      {"insert at size appends", {1, 2}, [](As_Void_List& l) { return l.insert(E(4), 2); }, true, {1, 2, 4}},
      {"insert past end appends", {1, 2}, [](As_Void_List& l) { return l.insert(E(4), 5); }, true, {1, 2, 4}},
      {"insert negative refused", {1, 2}, [](As_Void_List& l) { return l.insert(E(4), -1); }, false, {1, 2}},
      {"insert before head", {1, 2}, [](As_Void_List& l) { return l.insert(E(4), l.head()); }, true, {4, 1, 2}},
      {"insert before tail", {1, 2}, [](As_Void_List& l) { return l.insert(E(4), l.tail()); }, true, {1, 4, 2}},
      {"put replaces", {1, 2, 3}, [](As_Void_List& l) { return l.put(E(7), 1); }, true, {1, 7, 3}},
      {"put past end appends", {1}, [](As_Void_List& l) { return l.put(E(7), 4); }, true, {1, 7}},
      {"put negative refused", {1}, [](As_Void_List& l) { return l.put(E(7), -1); }, false, {1}},
      {"removeAt only", {1}, [](As_Void_List& l) { return l.removeAt(0); }, true, {}},
      {"removeAt head", {1, 2, 3}, [](As_Void_List& l) { return l.removeAt(0); }, true, {2, 3}},
      {"removeAt inner", {1, 2, 3}, [](As_Void_List& l) { return l.removeAt(1); }, true, {1, 3}},
      {"removeAt tail", {1, 2, 3}, [](As_Void_List& l) { return l.removeAt(2); }, true, {1, 2}},
      {"removeAt past end", {1, 2, 3}, [](As_Void_List& l) { return l.removeAt(3); }, false, {1, 2, 3}},
      {"removeAt negative", {1, 2, 3}, [](As_Void_List& l) { return l.removeAt(-1); }, false, {1, 2, 3}},
      {"removeAt on empty", {}, [](As_Void_List& l) { return l.removeAt(0); }, false, {}},
      {"removeValue first of two", {1, 2, 1}, [](As_Void_List& l) { return l.removeValue(E(1)); }, true, {2, 1}},
      {"removeValue tail", {1, 2}, [](As_Void_List& l) { return l.removeValue(E(2)); }, true, {1}},
      {"removeValue absent", {1, 2}, [](As_Void_List& l) { return l.removeValue(E(5)); }, false, {1, 2}},
      {"remove_node inner returns next",
       {1, 2, 3},
       [](As_Void_List& l) { return l.remove_node(l.head()->next()) == l.tail(); },
       true,
       {1, 3}},
      {"remove_node tail returns null", {1, 2}, [](As_Void_List& l) { return l.remove_node(l.tail()) == nullptr; },
       true, {1}},
      {"remove_node only", {1}, [](As_Void_List& l) { return l.remove_node(l.head()) == nullptr; }, true, {}},
      {"reverse empty", {}, [](As_Void_List& l) { l.reverse(); return true; }, true, {}},
      {"reverse one", {1}, [](As_Void_List& l) { l.reverse(); return true; }, true, {1}},
      {"reverse many", {1, 2, 3, 4}, [](As_Void_List& l) { l.reverse(); return true; }, true, {4, 3, 2, 1}},
      {"append other", {1}, [](As_Void_List& l) { l.append(Make({2, 3})); return true; }, true, {1, 2, 3}},
      {"append itself doubles", {1, 2}, [](As_Void_List& l) { l.append(l); return true; }, true, {1, 2, 1, 2}},
      {"append empty to itself", {}, [](As_Void_List& l) { l.append(l); return true; }, true, {}},
      {"emptyYourself", {1, 2}, [](As_Void_List& l) { l.emptyYourself(); return l.is_empty(); }, true, {}},
  };
  for (const Surgery& c : cases) {
    SCOPED_TRACE(c.name);
    As_Void_List l = Make(c.before);
    EXPECT_EQ(c.op(l), c.result);
    EXPECT_EQ(Ids(l), c.after);
    EXPECT_TRUE(list_check::Linked(l));
  }
}

TEST(AsVoidList, FindGivesTheFirstIndexAndOutOfRangeGetsGiveNull) {
  As_Void_List l = Make({3, 1, 3});
  EXPECT_EQ(l.size(), 3);
  EXPECT_EQ(l.find(E(3)), 0);
  EXPECT_EQ(l.find(E(1)), 1);
  EXPECT_EQ(l.find(E(9)), -1);
  EXPECT_TRUE(l.contains(E(1)));
  EXPECT_FALSE(l.contains(E(9)));
  EXPECT_EQ(l.get(2), E(3));
  EXPECT_EQ(l.get(-1), nullptr);
  EXPECT_EQ(l.get(3), nullptr);
  EXPECT_EQ(l.first(), E(3));
  EXPECT_EQ(l.last(), E(3));
  As_Void_List empty;
  EXPECT_EQ(empty.first(), nullptr);
  EXPECT_EQ(empty.last(), nullptr);
  EXPECT_EQ(empty.size(), 0);
}

TEST(AsVoidList, CopiesOwnTheirNodes) {
  As_Void_List src = Make({1, 2});
  As_Void_List target = Make({7, 8, 9});
  src.copy(target);  // the target's old nodes go first
  EXPECT_EQ(Ids(target), (std::vector<int>{1, 2}));
  EXPECT_NE(target.head(), src.head());
  src.copy(src);  // onto itself: nothing lost
  EXPECT_EQ(Ids(src), (std::vector<int>{1, 2}));

  As_Void_List copied(src);
  copied.add(E(5));
  EXPECT_EQ(Ids(src), (std::vector<int>{1, 2}));
  EXPECT_NE(copied.head(), src.head());

  As_Void_List assigned = Make({4});
  assigned = src;
  EXPECT_EQ(Ids(assigned), (std::vector<int>{1, 2}));
  assigned = assigned;
  EXPECT_EQ(Ids(assigned), (std::vector<int>{1, 2}));
  EXPECT_TRUE(list_check::Linked(assigned));
}

TEST(AsVoidList, DestroyingLeavesEntitiesAlone) {
  int* owned = new int(42);
  {
    As_Void_List l;
    l.add(owned);
    l.add(owned);
  }
  EXPECT_EQ(*owned, 42);
  delete owned;
}

TEST(AsUserLists, IdsCountUpAndWrapAndCopiesKeepIdAndBuffer) {
  As_User_Entity_List a, b;
  EXPECT_EQ(static_cast<uint16_t>(a.id() + 1), b.id());
  for (int i = 0; i < As_User_List::kBufferSize; ++i) ASSERT_EQ(a.buffer()[i], 0);

  a.list().add(E(1));
  a.buffer()[0] = 'q';
  As_User_Entity_List c(a);
  EXPECT_EQ(c.id(), a.id());
  EXPECT_EQ(c.buffer()[0], 'q');
  EXPECT_EQ(c.list().first(), E(1));
  EXPECT_NE(c.list().head(), a.list().head());
  b = a;
  EXPECT_EQ(b.id(), a.id());
  EXPECT_EQ(b.list().size(), 1);

  uint16_t saved = As_User_Entity_List::m_id_no;
  As_User_Entity_List::m_id_no = 65535;
  As_User_Entity_List last, wrapped;
  EXPECT_EQ(last.id(), 65535);
  EXPECT_EQ(wrapped.id(), 0);
  As_User_Entity_List::m_id_no = saved;

  ASSERT_EQ(g_user_ptlist_list, nullptr);
  EXPECT_EQ(get_user_point_list(0), nullptr);
  As_User_Point_List p1, p2;
  p1.id(5);
  p2.id(9);
  EXPECT_EQ(p1.id(), 5);
  As_Void_List held;
  held.add(&p1);
  held.add(&p2);
  g_user_ptlist_list = &held;
  EXPECT_EQ(get_user_point_list(9), &p2);
  EXPECT_EQ(get_user_point_list(5), &p1);
  EXPECT_EQ(get_user_point_list(1), nullptr);
  g_user_ptlist_list = nullptr;
  EXPECT_TRUE(g_user_entity_list.is_empty());
}

}  // namespace
