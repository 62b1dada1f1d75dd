// Records of the guarded text.
#include "exchange/cadbridge/dxf_record.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

double dxf_real(std::string_view value) {
  const char* s = value.data();
  const char* end = s + value.size();
  if (s != end && *s == '+') ++s;
  double d = 0.0;
  std::from_chars(s, end, d, std::chars_format::general);
  return d;
}

int dxf_integer(std::string_view value) {
  const char* s = value.data();
  const char* end = s + value.size();
  if (s != end && *s == '+') ++s;
  int64_t n = 0;
  std::from_chars(s, end, n);
  if (n > INT32_MAX) return INT32_MAX;
  if (n < INT32_MIN) return INT32_MIN;
  return int(n);
}

const std::string_view* Dxf_Record::find(int code) const {
  for (const Dxf_Group& g : groups) {
    if (g.code == code) return &g.value;
  }
  return nullptr;
}

std::string Dxf_Record::text(int code, const std::string& fallback) const {
  const std::string_view* v = find(code);
  return v ? std::string(*v) : fallback;
}

double Dxf_Record::real(int code, double fallback) const {
  const std::string_view* v = find(code);
  return v ? dxf_real(*v) : fallback;
}

int Dxf_Record::integer(int code, int fallback) const {
  const std::string_view* v = find(code);
  return v ? dxf_integer(*v) : fallback;
}

std::vector<std::string> Dxf_Record::texts(int code) const {
  std::vector<std::string> out;
  for (const Dxf_Group& g : groups) {
    if (g.code == code) out.emplace_back(g.value);
  }
  return out;
}

void Dxf_Record::split_embedded(Dxf_Record& own, Dxf_Record& embedded) const {
  auto at = std::find_if(groups.begin(), groups.end(), [](const Dxf_Group& g) {
    return g.code == kDxfEmbeddedMarker && g.value == "Embedded Object";
  });
  own.type = embedded.type = type;
  own.groups.assign(groups.begin(), at);
  embedded.groups.assign(at == groups.end() ? at : at + 1, groups.end());
}

void dxf_each_record(const std::string& text, const std::function<void(const Dxf_Record&)>& each) {
  Dxf_Record record;
  size_t pos = 0;
  // The guarded text is "code\nvalue\n" pairs, one group a pair.
  auto line = [&](std::string_view& out) {
    if (pos >= text.size()) return false;
    const void* nl = std::memchr(text.data() + pos, '\n', text.size() - pos);
    const size_t end = nl ? size_t(static_cast<const char*>(nl) - text.data()) : text.size();
    out = std::string_view(text).substr(pos, end - pos);
    pos = end + 1;
    return true;
  };
  std::string_view code, value;
  while (line(code) && line(value)) {
    const int c = dxf_integer(code);
    if (c == 0) {
      if (!record.type.empty()) each(record);
      record.type = std::string(value);
      record.groups.clear();
      continue;
    }
    record.groups.push_back(Dxf_Group{c, value});
  }
  if (!record.type.empty()) each(record);
}
