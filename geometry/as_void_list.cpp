#include "geometry/as_void_list.h"

#include <cstring>

As_Void_List::As_Void_List(const As_Void_List& other) { append(other); }

As_Void_List& As_Void_List::operator=(const As_Void_List& other) {
  other.copy(*this);
  return *this;
}

As_Void_List::~As_Void_List() { emptyYourself(); }

void As_Void_List::emptyYourself() {
  As_Void_Node* n = head_;
  while (n) {
    As_Void_Node* next = n->next();
    delete n;
    n = next;
  }
  head_ = tail_ = nullptr;
}

// Links a new node before `before`, or at the tail when `before` is null.
void As_Void_List::link_before(As_Void_Node* node, As_Void_Node* before) {
  if (!before) {
    node->previous(tail_);
    node->next(nullptr);
    if (tail_)
      tail_->next(node);
    else
      head_ = node;
    tail_ = node;
    return;
  }
  As_Void_Node* prev = before->previous();
  node->previous(prev);
  node->next(before);
  before->previous(node);
  if (prev)
    prev->next(node);
  else
    head_ = node;
}

void As_Void_List::unlink(As_Void_Node* node) {
  As_Void_Node* prev = node->previous();
  As_Void_Node* next = node->next();
  if (prev)
    prev->next(next);
  else
    head_ = next;
  if (next)
    next->previous(prev);
  else
    tail_ = prev;
  delete node;
}

As_Void_Node* As_Void_List::node_at(int index) const {
  if (index < 0) return nullptr;
  As_Void_Node* n = head_;
  while (n && index > 0) {
    n = n->next();
    --index;
  }
  return n;
}

bool As_Void_List::add(void* entity) {
  link_before(new As_Void_Node(entity), nullptr);
  return true;
}

bool As_Void_List::addHead(void* entity) {
  link_before(new As_Void_Node(entity), head_);
  return true;
}

bool As_Void_List::addIfAbsent(void* entity) {
  if (contains(entity)) return false;
  return add(entity);
}

bool As_Void_List::insert(void* entity, int index) {
  if (index < 0) return false;
  link_before(new As_Void_Node(entity), node_at(index));
  return true;
}

bool As_Void_List::insert(void* entity, As_Void_Node* before) {
  link_before(new As_Void_Node(entity), before);
  return true;
}

bool As_Void_List::put(void* entity, int index) {
  if (index < 0) return false;
  if (As_Void_Node* n = node_at(index))
    n->entity(entity);
  else
    add(entity);
  return true;
}

bool As_Void_List::removeAt(int index) {
  As_Void_Node* n = node_at(index);
  if (!n) return false;
  unlink(n);
  return true;
}

bool As_Void_List::removeValue(void* entity) {
  for (As_Void_Node* n = head_; n; n = n->next()) {
    if (n->entity() == entity) {
      unlink(n);
      return true;
    }
  }
  return false;
}

As_Void_Node* As_Void_List::remove_node(As_Void_Node* node) {
  if (!node) return nullptr;
  As_Void_Node* next = node->next();
  unlink(node);
  return next;
}

int As_Void_List::find(void* entity) const {
  int i = 0;
  for (As_Void_Node* n = head_; n; n = n->next(), ++i)
    if (n->entity() == entity) return i;
  return -1;
}

void* As_Void_List::get(int index) const {
  As_Void_Node* n = node_at(index);
  return n ? n->entity() : nullptr;
}

int As_Void_List::size() const {
  int count = 0;
  for (As_Void_Node* n = head_; n; n = n->next()) ++count;
  return count;
}

void As_Void_List::copy(As_Void_List& target) const {
  if (&target == this) return;
  target.emptyYourself();
  target.append(*this);
}

void As_Void_List::append(const As_Void_List& other) {
  // Count first: when other is this list, the walk must stop at the old tail.
  int n = other.size();
  As_Void_Node* node = other.head_;
  for (int i = 0; i < n; ++i, node = node->next()) add(node->entity());
}

void As_Void_List::reverse() {
  As_Void_Node* n = head_;
  while (n) {
    As_Void_Node* next = n->next();
    n->next(n->previous());
    n->previous(next);
    n = next;
  }
  As_Void_Node* old_head = head_;
  head_ = tail_;
  tail_ = old_head;
}

As_User_List::As_User_List(const As_User_List& other) : id_(other.id_) {
  other.list_.copy(list_);
  std::memcpy(buffer_, other.buffer_, sizeof buffer_);
}

As_User_List& As_User_List::operator=(const As_User_List& other) {
  if (this != &other) {
    other.list_.copy(list_);
    std::memcpy(buffer_, other.buffer_, sizeof buffer_);
    id_ = other.id_;
  }
  return *this;
}

As_User_List::~As_User_List() = default;

uint16_t As_User_Entity_List::m_id_no = 0;

As_User_Entity_List::As_User_Entity_List() { id_ = m_id_no++; }

As_Void_List g_user_entity_list;
As_Void_List* g_user_ptlist_list = nullptr;

As_User_Point_List* get_user_point_list(unsigned short id) {
  if (!g_user_ptlist_list) return nullptr;
  for (As_Void_Node* n = g_user_ptlist_list->head(); n; n = n->next()) {
    auto* list = static_cast<As_User_Point_List*>(n->entity());
    if (list && list->id() == id) return list;
  }
  return nullptr;
}
