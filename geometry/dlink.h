// Link surgery shared by the kernel's doubly linked lists (pointer lists,
// point lists). A list is a head and a tail; its node type is reached through
// a links type L with static next(n), prev(n), set_next(n, x), set_prev(n, x),
// so each node class keeps its own accessor names. Nothing here allocates;
// dlink_free deletes the nodes.
#pragma once

namespace dlink {

// Links node before `before`, or at the tail when `before` is null.
template <class L, class Node>
void link_before(Node*& head, Node*& tail, Node* node, Node* before) {
  Node* prev = before ? L::prev(before) : tail;
  L::set_prev(node, prev);
  L::set_next(node, before);
  if (before)
    L::set_prev(before, node);
  else
    tail = node;
  if (prev)
    L::set_next(prev, node);
  else
    head = node;
}

// Unlinks node from the list and deletes it; returns the node that followed.
template <class L, class Node>
Node* unlink(Node*& head, Node*& tail, Node* node) {
  Node* prev = L::prev(node);
  Node* next = L::next(node);
  if (prev)
    L::set_next(prev, next);
  else
    head = next;
  if (next)
    L::set_prev(next, prev);
  else
    tail = prev;
  delete node;
  return next;
}

template <class L, class Node>
void free_all(Node*& head, Node*& tail) {
  for (Node* n = head; n;) {
    Node* next = L::next(n);
    delete n;
    n = next;
  }
  head = tail = nullptr;
}

template <class L, class Node>
void reverse(Node*& head, Node*& tail) {
  for (Node* n = head; n;) {
    Node* next = L::next(n);
    L::set_next(n, L::prev(n));
    L::set_prev(n, next);
    n = next;
  }
  Node* old_head = head;
  head = tail;
  tail = old_head;
}

// The node at a 0-based index; null when out of range.
template <class L, class Node>
Node* at(Node* head, int index) {
  if (index < 0) return nullptr;
  Node* n = head;
  for (; n && index > 0; --index) n = L::next(n);
  return n;
}

template <class L, class Node>
int count(const Node* head) {
  int c = 0;
  for (const Node* n = head; n; n = L::next(n)) ++c;
  return c;
}

}  // namespace dlink
