// The kernel's general container: a doubly linked list of untyped pointers.
//
// The list owns its nodes and never what they point to; an entry's identity is
// its pointer value, and the same pointer may stand more than once. Sizes are
// counted by walking and never cached, so a caller may relink nodes through
// the head and tail setters. Copies get nodes of their own holding the same
// pointers. Operations that walk one list while adding to another take a
// count first, so a list may be appended to itself.
//
// The user lists are numbered collections that a host keeps in the kernel;
// no kernel operation fills them.
#pragma once

#include <cstdint>

class As_Void_Node {
 public:
  As_Void_Node() = default;
  explicit As_Void_Node(void* entity) : entity_(entity) {}

  As_Void_Node* next() const { return next_; }
  As_Void_Node* previous() const { return previous_; }
  void* entity() const { return entity_; }
  void next(As_Void_Node* n) { next_ = n; }
  void previous(As_Void_Node* n) { previous_ = n; }
  void entity(void* e) { entity_ = e; }

 private:
  As_Void_Node* next_ = nullptr;
  As_Void_Node* previous_ = nullptr;
  void* entity_ = nullptr;
};

class As_Void_List {
 public:
  As_Void_List() = default;
  As_Void_List(const As_Void_List& other);
  As_Void_List& operator=(const As_Void_List& other);
  ~As_Void_List();

  As_Void_Node* head() const { return head_; }
  As_Void_Node* tail() const { return tail_; }
  void head(As_Void_Node* n) { head_ = n; }
  void tail(As_Void_Node* n) { tail_ = n; }

  // Frees every node; the entities are left alone.
  void emptyYourself();
  void clear() { emptyYourself(); }

  bool add(void* entity);
  bool add_tail(void* entity) { return add(entity); }
  bool addHead(void* entity);
  // Appends unless some node holds the pointer; true when added.
  bool addIfAbsent(void* entity);
  void pushIfAbsent(void* entity) { addIfAbsent(entity); }
  // Inserts before the node at index; an index at or past the end appends.
  // A negative index is refused (false, nothing changes).
  bool insert(void* entity, int index);
  // Inserts before a node of this list; a null node appends.
  bool insert(void* entity, As_Void_Node* before);
  // Replaces the entity at index; an index past the end appends. A negative
  // index is refused.
  bool put(void* entity, int index);
  bool removeAt(int index);
  // Removes the first node holding the pointer; true when one was removed.
  bool removeValue(void* entity);
  // Unlinks and frees a node of this list; returns the node that followed it.
  As_Void_Node* remove_node(As_Void_Node* node);

  int find(void* entity) const;
  bool contains(void* entity) const { return find(entity) >= 0; }
  void* first() const { return head_ ? head_->entity() : nullptr; }
  void* last() const { return tail_ ? tail_->entity() : nullptr; }
  void* get(int index) const;
  int size() const;
  int count() const { return size(); }
  bool is_empty() const { return head_ == nullptr; }

  // Empties the target, then appends every entity of this list in order.
  // Copying a list onto itself leaves it as it is.
  void copy(As_Void_List& target) const;
  // Appends every entity of other in order; other is unchanged. A list
  // appended to itself is doubled.
  void append(const As_Void_List& other);
  void reverse();

 private:
  As_Void_Node* node_at(int index) const;
  void link_before(As_Void_Node* node, As_Void_Node* before);

  As_Void_Node* head_ = nullptr;
  As_Void_Node* tail_ = nullptr;
};

// A numbered collection kept for a host: a list, a buffer for the host's own
// use and an id.
class As_User_List {
 public:
  static constexpr int kBufferSize = 256;

  As_User_List() = default;
  As_User_List(const As_User_List& other);
  As_User_List& operator=(const As_User_List& other);
  virtual ~As_User_List();

  As_Void_List& list() { return list_; }
  const As_Void_List& list() const { return list_; }
  char* buffer() { return buffer_; }
  const char* buffer() const { return buffer_; }
  unsigned short id() const { return id_; }

 protected:
  As_Void_List list_;
  char buffer_[kBufferSize] = {};
  uint16_t id_ = 0;
};

// A list of entities; each new one takes the next number of m_id_no.
class As_User_Entity_List : public As_User_List {
 public:
  As_User_Entity_List();
  As_User_Entity_List(const As_User_Entity_List&) = default;
  As_User_Entity_List& operator=(const As_User_Entity_List&) = default;

  static uint16_t m_id_no;
};

// A list of point lists; its id is set by the host.
class As_User_Point_List : public As_User_List {
 public:
  void id(unsigned short v) { id_ = v; }
  using As_User_List::id;
};

// Collections exported for the host: entity lists, and the point lists the
// host hands in (null until it does).
extern As_Void_List g_user_entity_list;
extern As_Void_List* g_user_ptlist_list;

// The first point list of *g_user_ptlist_list with the id; null when none.
As_User_Point_List* get_user_point_list(unsigned short id);
