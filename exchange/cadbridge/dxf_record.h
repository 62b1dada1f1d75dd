// The records of a guarded DXF text (dxf_guard.h), read back for the kinds
// the loader builds itself rather than through dxflib: a record is a 0 group
// and the groups after it up to the next 0 group. The guard has already
// checked every number, so the accessors convert without further checks.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Dxf_Group {
  int code;
  std::string value;
};

struct Dxf_Record {
  std::string type;  // the value of the 0 group
  std::vector<Dxf_Group> groups;

  // The first group of the code, or null.
  const std::string* find(int code) const;
  bool has(int code) const { return find(code) != nullptr; }
  std::string text(int code, const std::string& fallback = std::string()) const;
  double real(int code, double fallback) const;
  int integer(int code, int fallback) const;
  // Every value of the code, in order.
  std::vector<std::string> texts(int code) const;
};

double dxf_real(const std::string& value);
int dxf_integer(const std::string& value);

// Calls `each` for every record of the text in order.
void dxf_each_record(const std::string& text, const std::function<void(const Dxf_Record&)>& each);
