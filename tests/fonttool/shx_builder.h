// Test fonts built byte by byte: shape fonts, big fonts and unifonts from a
// list of shapes, and a scratch folder to write them into.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

namespace shxtest {

using Bytes = std::vector<uint8_t>;

struct Shape {
  uint16_t code;
  std::string name;
  Bytes spec;  // the specification bytes, ending with their 0
};

inline void PutWord(Bytes& b, uint32_t w) {
  b.push_back(static_cast<uint8_t>(w & 0xFF));
  b.push_back(static_cast<uint8_t>((w >> 8) & 0xFF));
}

inline void PutDword(Bytes& b, uint32_t d) {
  PutWord(b, d & 0xFFFF);
  PutWord(b, d >> 16);
}

inline void PutText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

inline Bytes Definition(const Shape& s) {
  Bytes d(s.name.begin(), s.name.end());
  d.push_back(0);
  d.insert(d.end(), s.spec.begin(), s.spec.end());
  return d;
}

inline Bytes ShapesFont(const std::vector<Shape>& shapes, const char* version = "1.0") {
  Bytes b;
  PutText(b, std::string("AutoCAD-86 shapes ") + version + "\r\n\x1a");
  uint32_t first = shapes.empty() ? 0 : shapes.front().code;
  uint32_t last = shapes.empty() ? 0 : shapes.back().code;
  PutWord(b, first);
  PutWord(b, last);
  PutWord(b, static_cast<uint32_t>(shapes.size()));
  for (const Shape& s : shapes) {
    PutWord(b, s.code);
    PutWord(b, static_cast<uint32_t>(Definition(s).size()));
  }
  for (const Shape& s : shapes) {
    Bytes d = Definition(s);
    b.insert(b.end(), d.begin(), d.end());
  }
  return b;
}

// A big font; a shape with code 0xFFFF and no spec stands for an empty slot.
// The definitions are stored in reverse order, so that file order and index
// order differ.
inline Bytes BigFont(const std::vector<Shape>& shapes, const std::vector<uint16_t>& ranges,
                     uint32_t count_override = 0xFFFFFFFF) {
  Bytes b;
  PutText(b, "AutoCAD-86 bigfont 1.0\r\n\x1a");
  uint32_t n = count_override != 0xFFFFFFFF ? count_override : static_cast<uint32_t>(shapes.size());
  PutWord(b, 8);
  PutWord(b, n);
  PutWord(b, static_cast<uint32_t>(ranges.size() / 2));
  for (uint16_t r : ranges) PutWord(b, r);
  size_t index_at = b.size();
  b.resize(b.size() + 8 * shapes.size());
  std::vector<uint32_t> offsets(shapes.size(), 0);
  for (size_t i = shapes.size(); i-- > 0;) {
    if (shapes[i].spec.empty()) continue;
    offsets[i] = static_cast<uint32_t>(b.size());
    Bytes d = Definition(shapes[i]);
    b.insert(b.end(), d.begin(), d.end());
  }
  for (size_t i = 0; i < shapes.size(); ++i) {
    Bytes e;
    bool empty = shapes[i].spec.empty();
    PutWord(e, shapes[i].code);
    PutWord(e, empty ? 0 : static_cast<uint32_t>(Definition(shapes[i]).size()));
    PutDword(e, offsets[i]);
    std::copy(e.begin(), e.end(), b.begin() + static_cast<long>(index_at + 8 * i));
  }
  return b;
}

inline Bytes Unifont(const std::string& name, const Bytes& info, const std::vector<Shape>& shapes) {
  Bytes b;
  PutText(b, "AutoCAD-86 unifont 1.0\r\n\x1a");
  PutDword(b, static_cast<uint32_t>(shapes.size() + 1));
  PutWord(b, static_cast<uint32_t>(name.size() + 1 + info.size()));
  PutText(b, name);
  b.push_back(0);
  b.insert(b.end(), info.begin(), info.end());
  for (const Shape& s : shapes) {
    Bytes d = Definition(s);
    PutWord(b, s.code);
    PutWord(b, static_cast<uint32_t>(d.size()));
    b.insert(b.end(), d.begin(), d.end());
  }
  return b;
}

// A folder of its own for one test, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/fonttool_test_XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const Bytes& bytes) const {
    std::string p = File(name);
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return p;
  }

 private:
  std::string path_;
};

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace shxtest
