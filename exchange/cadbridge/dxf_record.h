// The records of a guarded DXF text (dxf_guard.h), read back for the kinds
// the loader builds itself rather than through dxflib: a record is a 0 group
// and the groups after it up to the next 0 group. The guard has already
// checked every number, so the accessors convert without further checks.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One group of a record; the value is a view into the text it was read from.
struct Dxf_Group {
  int code;
  std::string_view value;
};

struct Dxf_Record {
  std::string type;  // the value of the 0 group
  std::vector<Dxf_Group> groups;

  // The value of the first group of the code, or null.
  const std::string_view* find(int code) const;
  bool has(int code) const { return find(code) != nullptr; }
  std::string text(int code, const std::string& fallback = std::string()) const;
  double real(int code, double fallback) const;
  int integer(int code, int fallback) const;
  // Every value of the code, in order.
  std::vector<std::string> texts(int code) const;
  // The record split at its first `101` "Embedded Object" group: an object
  // written inside the record (the columns of a multi-line text), whose
  // groups reuse the record's codes with other meanings. `own` keeps the
  // groups before it, `embedded` the groups after it (empty without one).
  void split_embedded(Dxf_Record& own, Dxf_Record& embedded) const;
};

// The subclass marker group that opens an object embedded in a record.
constexpr int kDxfEmbeddedMarker = 101;

double dxf_real(std::string_view value);
int dxf_integer(std::string_view value);

// Calls `each` for every record of the text in order; the records' values
// are views into `text`.
void dxf_each_record(const std::string& text, const std::function<void(const Dxf_Record&)>& each);
