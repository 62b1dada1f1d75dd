// Builds small compiled shape fonts byte by byte, for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace font_test {

struct Shape {
  uint16_t code;
  std::string name;
  std::vector<uint8_t> bytes;  // the shape's codes
  std::vector<uint8_t> record() const {
    std::vector<uint8_t> r(name.begin(), name.end());
    r.push_back(0);
    r.insert(r.end(), bytes.begin(), bytes.end());
    return r;
  }
};

inline void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}
inline void put_sig(std::vector<uint8_t>& v, const std::string& sig) {
  v.insert(v.end(), sig.begin(), sig.end());
  v.push_back(0x0D);
  v.push_back(0x0A);
  v.push_back(0x1A);
}

// A shape font: shape 0 carries above, below and modes.
inline std::vector<uint8_t> shapes_font(uint8_t above, uint8_t below, const std::vector<Shape>& shapes,
                                        const std::string& sig = "AutoCAD-86 shapes 1.0") {
  std::vector<Shape> all = {{0, "T", {above, below, 0, 0}}};
  all.insert(all.end(), shapes.begin(), shapes.end());
  std::vector<uint8_t> v;
  put_sig(v, sig);
  put16(v, 0);
  put16(v, all.back().code);
  put16(v, static_cast<uint32_t>(all.size()));
  for (const Shape& s : all) {
    put16(v, s.code);
    put16(v, static_cast<uint32_t>(s.record().size()));
  }
  for (const Shape& s : all) {
    std::vector<uint8_t> r = s.record();
    v.insert(v.end(), r.begin(), r.end());
  }
  return v;
}

// A big font with its escape ranges (lead bytes 0x81 to 0xFE unless given);
// the information shape comes first.
inline std::vector<uint8_t> big_font(uint8_t above, uint8_t below, const std::vector<Shape>& shapes, uint16_t word = 8,
                                     uint8_t cell_width = 0,
                                     const std::vector<std::pair<uint8_t, uint8_t>>& ranges = {{0x81, 0xFE}}) {
  std::vector<Shape> all = {{0, "BF", {above, below, 0, cell_width}}};
  all.insert(all.end(), shapes.begin(), shapes.end());
  std::vector<uint8_t> v;
  put_sig(v, "AutoCAD-86 bigfont 1.0");
  put16(v, word);
  put16(v, static_cast<uint32_t>(all.size()));
  put16(v, static_cast<uint32_t>(ranges.size()));
  for (const auto& r : ranges) {
    put16(v, r.first);
    put16(v, r.second);
  }
  uint32_t off = static_cast<uint32_t>(v.size() + 8 * all.size());
  for (const Shape& s : all) {
    put16(v, s.code);
    put16(v, static_cast<uint32_t>(s.record().size()));
    put32(v, off);
    off += static_cast<uint32_t>(s.record().size());
  }
  for (const Shape& s : all) {
    std::vector<uint8_t> r = s.record();
    v.insert(v.end(), r.begin(), r.end());
  }
  return v;
}

inline std::vector<uint8_t> unifont(uint8_t above, uint8_t below, const std::vector<Shape>& shapes) {
  std::vector<uint8_t> v;
  put_sig(v, "AutoCAD-86 unifont 1.0");
  put32(v, static_cast<uint32_t>(shapes.size() + 1));
  const std::vector<uint8_t> info = {'U', 0, above, below, 0, 0, 0, 0};
  put16(v, static_cast<uint32_t>(info.size()));
  v.insert(v.end(), info.begin(), info.end());
  for (const Shape& s : shapes) {
    std::vector<uint8_t> r = s.record();
    put16(v, s.code);
    put16(v, static_cast<uint32_t>(r.size()));
    v.insert(v.end(), r.begin(), r.end());
  }
  return v;
}

}  // namespace font_test
