// Decompiling the real unifonts gives sources that stand for the same bytes,
// shape by shape, as the sources they were compiled from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "fonttool/shp_writer.h"
#include "tests/data_paths.h"
#include "tests/fonttool/shx_builder.h"

using namespace shxtest;

namespace {

struct SourceShape {
  long length = -1;
  Bytes bytes;
};

// A number is decimal, or hexadecimal with a leading 0; a leading '-' negates.
long Number(const std::string& token) {
  bool negative = !token.empty() && token[0] == '-';
  std::string digits = negative ? token.substr(1) : token;
  long v = std::strtol(digits.c_str(), nullptr, digits.size() > 1 && digits[0] == '0' ? 16 : 10);
  return negative ? -v : v;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : line) {
    if (c == ',' || c == '(' || c == ')' || c == ' ' || c == '\t') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

// The bytes each shape stands for, by code; the unifont information line
// under code -1.
std::map<long, SourceShape> ParseSource(const std::string& text) {
  std::map<long, SourceShape> shapes;
  SourceShape* current = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    line = line.substr(0, line.find(';'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '*') {
      std::vector<std::string> fields = Split(line.substr(1));
      if (fields.empty()) continue;
      long code = fields[0] == "UNIFONT" ? -1 : Number(fields[0]);
      current = &shapes[code];
      if (code >= 0 && fields.size() > 1) current->length = Number(fields[1]);
      continue;
    }
    if (current == nullptr) continue;
    for (const std::string& t : Split(line))
      current->bytes.push_back(static_cast<uint8_t>(Number(t) & 0xFF));
  }
  return shapes;
}

// `base` is the path of the font without its extension.
void ExpectSameShapes(const std::string& base) {
  const std::string name = base.substr(base.find_last_of('/') + 1);
  ScratchDir dir;
  std::string out = dir.File("out.shp"), msg;
  ASSERT_TRUE(fontlathe::DecompileFontFile((base + ".shx").c_str(), out.c_str(), msg)) << msg;
  std::string text = read_all(out);
  EXPECT_EQ(text.find("\n\n"), std::string::npos);
  EXPECT_EQ(text.find("\r\r"), std::string::npos);
  std::map<long, SourceShape> ours = ParseSource(text);
  std::map<long, SourceShape> theirs = ParseSource(read_all(base + ".shp"));
  ASSERT_GT(theirs.size(), 100u);
  ASSERT_EQ(ours.size(), theirs.size());
  int mismatches = 0;
  for (const auto& [code, shape] : theirs) {
    auto it = ours.find(code);
    bool same =
        it != ours.end() && it->second.bytes == shape.bytes && it->second.length == shape.length;
    if (!same && ++mismatches <= 5) ADD_FAILURE() << name << ": shape " << code << " differs";
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

TEST(RealFonts, Iso3098DecompilesToItsSource) {
  QM_SKIP_WITHOUT(test_data::shared_font("iso3098.shx"));
  ExpectSameShapes(test_data::shared_font("iso3098"));
}

TEST(RealFonts, Kst32bDecompilesToItsSource) { ExpectSameShapes(test_data::repo_font("kst32b")); }
