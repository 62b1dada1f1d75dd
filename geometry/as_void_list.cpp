#include "geometry/as_void_list.h"

#include <cstring>

#include "geometry/dlink.h"

As_Void_List::As_Void_List(const As_Void_List& other) { append(other); }

As_Void_List& As_Void_List::operator=(const As_Void_List& other) {
  other.copy(*this);
  return *this;
}

As_Void_List::~As_Void_List() { emptyYourself(); }

namespace {

struct Links {
  static As_Void_Node* next(const As_Void_Node* n) { return n->next(); }
  static As_Void_Node* prev(const As_Void_Node* n) { return n->previous(); }
  static void set_next(As_Void_Node* n, As_Void_Node* x) { n->next(x); }
  static void set_prev(As_Void_Node* n, As_Void_Node* x) { n->previous(x); }
};

}  // namespace

void As_Void_List::emptyYourself() { dlink::free_all<Links>(head_, tail_); }

void As_Void_List::link_before(As_Void_Node* node, As_Void_Node* before) {
  dlink::link_before<Links>(head_, tail_, node, before);
}

As_Void_Node* As_Void_List::node_at(int index) const { return dlink::at<Links>(head_, index); }

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
  dlink::unlink<Links>(head_, tail_, n);
  return true;
}

bool As_Void_List::removeValue(void* entity) {
  for (As_Void_Node* n = head_; n; n = n->next()) {
    if (n->entity() == entity) {
      dlink::unlink<Links>(head_, tail_, n);
      return true;
    }
  }
  return false;
}

As_Void_Node* As_Void_List::remove_node(As_Void_Node* node) {
  return node ? dlink::unlink<Links>(head_, tail_, node) : nullptr;
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

int As_Void_List::size() const { return dlink::count<Links>(head_); }

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

void As_Void_List::reverse() { dlink::reverse<Links>(head_, tail_); }

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
