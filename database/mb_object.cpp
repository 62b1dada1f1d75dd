// MB_Object, MB_Object_List and the attribute bases.
#include "database/mb_object.h"

#include "database/mb_undo_redo.h"
#include <cstddef>
#include <limits>
#include <vector>

#include "geometry/dlink.h"

uint16_t MB_Attribute_Head::m_static_no = 0;

namespace {

// The object of handle h at h - 1, null once it died. Never freed, so that
// objects destroyed during the process's exit still find it.
std::vector<MB_Object*>& handle_slots() {
  static std::vector<MB_Object*>* slots = new std::vector<MB_Object*>;
  return *slots;
}

}  // namespace

MB_Object::MB_Object() { create_cmd(); }

MB_Object::MB_Object(const MB_Object&) {}

MB_Object::~MB_Object() {
  if (handle_) handle_slots()[handle_ - 1] = nullptr;
  if (g_undo_redo) g_undo_redo->destroy_cmd(this);
  if (owner_) owner_->remove(this);
}

uint32_t MB_Object::handle() {
  if (handle_) return handle_;
  std::vector<MB_Object*>& slots = handle_slots();
  if (slots.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) return 0;
  slots.push_back(this);
  handle_ = static_cast<uint32_t>(slots.size());
  return handle_;
}

MB_Object* MB_Object::from_handle(uint32_t handle) {
  const std::vector<MB_Object*>& slots = handle_slots();
  return handle >= 1 && handle <= slots.size() ? slots[handle - 1] : nullptr;
}

void MB_Object::lose(MB_Object_List& list) {
  bool kept = g_undo_redo != nullptr && delete_cmd();
  if (!list.remove(this) && owner_) owner_->remove(this);
  if (!kept) delete this;
}

MB_Result MB_Object::skip_operand(const MB_Opcode& op, MB_File_IO& io) {
  return materialize(op, io);
}

bool MB_Object::copy_to(MB_Object*&) { return true; }

void MB_Object::create_cmd() {
  if (g_undo_redo) g_undo_redo->create_cmd(this);
}

bool MB_Object::delete_cmd() {
  return g_undo_redo && g_undo_redo->delete_cmd(this);
}

void MB_Object::modify_cmd() {
  if (g_undo_redo) g_undo_redo->modify_cmd(this);
}

// ---------------------------------------------------------------------------

struct MB_Object_List::Links {
  static MB_Object* next(const MB_Object* o) { return o->next_; }
  static MB_Object* prev(const MB_Object* o) { return o->previous_; }
  static void set_next(MB_Object* o, MB_Object* n) { o->next_ = n; }
  static void set_prev(MB_Object* o, MB_Object* p) { o->previous_ = p; }
};

void MB_Object_List::add_tail(MB_Object* object) {
  if (!object) return;
  if (object->owner_) object->owner_->unlink(object);
  dlink::link_before<Links>(head_, tail_, object, static_cast<MB_Object*>(nullptr));
  object->owner_ = this;
  ++count_;
  version_ = ++version_clock_;
}

void MB_Object_List::add_before(MB_Object* object, MB_Object* before) {
  if (!object || object == before) return;
  if (!contains(before)) before = nullptr;
  if (object->owner_) object->owner_->unlink(object);
  dlink::link_before<Links>(head_, tail_, object, before);
  object->owner_ = this;
  ++count_;
  version_ = ++version_clock_;
}

void MB_Object_List::add_head(MB_Object* object) {
  if (!object) return;
  if (object->owner_) object->owner_->unlink(object);
  dlink::link_before<Links>(head_, tail_, object, head_);
  object->owner_ = this;
  ++count_;
  version_ = ++version_clock_;
}

void MB_Object_List::unlink(MB_Object* object) {
  if (object->previous_) {
    object->previous_->next_ = object->next_;
  } else {
    head_ = object->next_;
  }
  if (object->next_) {
    object->next_->previous_ = object->previous_;
  } else {
    tail_ = object->previous_;
  }
  object->next_ = nullptr;
  object->previous_ = nullptr;
  object->owner_ = nullptr;
  --count_;
  version_ = ++version_clock_;
}

bool MB_Object_List::remove(MB_Object* object) {
  if (!contains(object)) return false;
  unlink(object);
  return true;
}

MB_Object* MB_Object_List::get(int n) const { return dlink::at<Links>(head_, n); }

void MB_Object_List::kill_head() { kill_object(head_); }

void MB_Object_List::kill_tail() { kill_object(tail_); }

void MB_Object_List::kill_object(MB_Object* object) {
  if (!remove(object)) return;
  delete object;
}

void MB_Object_List::kill_all() {
  while (head_) kill_object(head_);
}

// ---------------------------------------------------------------------------

MB_Attribute_Head::MB_Attribute_Head() : name_("kzf"), number_(m_static_no++) {}
