// Link integrity of the kernel's doubly linked lists: the walk forward from
// the head and the walk backward from the tail visit the same nodes in
// opposite order, the head has no previous node and the tail no next one.
#pragma once

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

namespace list_check {

inline As_Void_Node* back(As_Void_Node* n) { return n->previous(); }
inline As_Pt_Node* back(As_Pt_Node* n) { return n->prev(); }

// Bounded walks, so a broken ring fails the test instead of hanging it.
template <class List>
::testing::AssertionResult Linked(const List& list) {
  using Node = std::remove_pointer_t<decltype(list.head())>;
  const size_t kLimit = 100000;
  std::vector<Node*> fwd, bwd;
  for (Node* n = list.head(); n && fwd.size() < kLimit; n = n->next()) fwd.push_back(n);
  for (Node* n = list.tail(); n && bwd.size() < kLimit; n = back(n)) bwd.push_back(n);
  if (fwd.size() == kLimit || bwd.size() == kLimit) return ::testing::AssertionFailure() << "endless links";
  if ((list.head() == nullptr) != (list.tail() == nullptr))
    return ::testing::AssertionFailure() << "only one end set";
  if (list.head() && back(list.head())) return ::testing::AssertionFailure() << "head has a previous node";
  if (list.tail() && list.tail()->next()) return ::testing::AssertionFailure() << "tail has a next node";
  if (fwd.size() != bwd.size())
    return ::testing::AssertionFailure() << "forward walk " << fwd.size() << " nodes, backward " << bwd.size();
  for (size_t i = 0; i < fwd.size(); ++i)
    if (fwd[i] != bwd[bwd.size() - 1 - i]) return ::testing::AssertionFailure() << "walks differ at " << i;
  if (static_cast<size_t>(list.count()) != fwd.size()) return ::testing::AssertionFailure() << "count differs";
  return ::testing::AssertionSuccess();
}

}  // namespace list_check
