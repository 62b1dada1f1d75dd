// A small stored object for tests: an int value, a live-object count, a deep
// copy and a setter that reports its change as entity setters do.
#pragma once

#include <string>

#include "database/mb_object.h"

class Counted : public MB_Object {
 public:
  static inline int live = 0;

  explicit Counted(int v = 0) : value_(v) { ++live; }
  Counted(const Counted& o) : MB_Object(o), value_(o.value_) { ++live; }
  Counted& operator=(const Counted&) = default;
  ~Counted() override { --live; }

  int value() const { return value_; }
  void set(int v) {
    modify_cmd();
    value_ = v;
  }

  MB_ID object_id() const override { return ID_LINE; }
  MB_Type object_type() const override { return TYPE_GEOM; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  bool copy_to(MB_Object*& target) override {
    if (!target) {
      target = new Counted(*this);
    } else if (Counted* c = dynamic_cast<Counted*>(target)) {
      c->value_ = value_;
    }
    return true;
  }

 private:
  int value_;
};

// The values of a list from head to tail, checking the links both ways and
// the count.
inline std::string values_of(const MB_Object_List& list) {
  std::string s;
  const MB_Object* prev = nullptr;
  int n = 0;
  for (const MB_Object* o = list.head(); o; prev = o, o = o->next(), ++n) {
    if (o->previous() != prev || o->owner_list() != &list) return "broken";
    if (!s.empty()) s += ",";
    s += std::to_string(static_cast<const Counted*>(o)->value());
  }
  if (list.tail() != prev || list.count() != n) return "broken";
  return s;
}
