#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "database/fileformat/kzf_dictionary.h"

namespace {

const uint8_t* dict() { return kzf_preset_dictionary(); }

std::string text_at(int from, int n) { return std::string(reinterpret_cast<const char*>(dict()) + from, size_t(n)); }

// RGBA entry i of the palette that starts at byte `at`.
std::vector<int> entry(int at, int i) {
  const uint8_t* p = dict() + at + 4 * i;
  return {p[0], p[1], p[2], p[3]};
}

constexpr int kFirstMap = 65, kFirstPalette = 73;
constexpr int kSecondMap = 11467, kOlderPalette = 11475, kSecondCurrent = 11475 + 1024;

}  // namespace

// The bytes of the dictionary are part of every compressed file written:
// this value must never change.
TEST(KzfDictionary, ContentIsFrozenAtItsKnownChecksum) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a, 64 bits
  for (int i = 0; i < kKzfDictionarySize; ++i) h = (h ^ dict()[i]) * 1099511628211ull;
  EXPECT_EQ(h, 12476258135630532148ull);
}

TEST(KzfDictionary, EveryKnownNameOccursOnceInTheNameRegions) {
  EXPECT_EQ(text_at(0, 65), "(DashPattern (LineStyle (Copyright (Keywords (Viewport (CodePage ");
  std::string names = text_at(1097, 367);
  EXPECT_EQ(names.rfind("(NamedView ", 0), 0u);
  EXPECT_NE(names.find("(Embed 'image/png' "), std::string::npos);
  EXPECT_NE(names.find("(URL 'http://"), std::string::npos);
  EXPECT_EQ(names.substr(names.size() - 22), "'ftp://ftp.example.com");
  // Every recognised extended ASCII name occurs once in the two name regions.
  const char* known[] = {"KZF V", "EndOfKZF", "Color", "ColorMap", "Author", "Background", "Circle",
                         "Comments", "Copyright", "Creator", "Created", "CodePage", "DashPattern",
                         "Description", "Ellipse", "Embed", "Font", "Image", "Keywords", "Layer",
                         "LinePattern", "LineWeight", "LineStyle", "Modified", "NamedView",
                         "PlotInfo", "SourceCreated", "SourceModified", "SourceFilename",
                         "Subject", "Text", "Title", "URL", "Units", "Viewport", "View"};
  std::string all = text_at(0, 65) + names;
  for (const char* k : known) {
    std::string word = std::string("(") + k + " ";
    size_t at = all.find(word);
    EXPECT_NE(at, std::string::npos) << k;
    EXPECT_EQ(all.find(word, at + 1), std::string::npos) << k;
  }
}

TEST(KzfDictionary, DigitsAreTheLeastDeBruijnSequenceWrapped) {
  std::string digits = text_at(1464, 10003);
  EXPECT_EQ(digits.substr(0, 49), "0000100020003000400050006000700080009001100120013");
  EXPECT_EQ(digits.substr(10000), "000");
  std::vector<int> seen(10000, 0);
  for (int i = 0; i < 10000; ++i) ++seen[std::stoi(digits.substr(size_t(i), 4))];
  for (int v = 0; v < 10000; ++v) ASSERT_EQ(seen[size_t(v)], 1) << v;
}

TEST(KzfDictionary, ColourMapRecordsHoldTheKnownPaletteEntries) {
  const uint8_t first[8] = {'{', 0x04, 0x04, 0, 0, 1, 0, 0};
  const uint8_t second[8] = {'{', 0x04, 0x08, 0, 0, 1, 0, 0};
  EXPECT_EQ(std::memcmp(dict() + kFirstMap, first, 8), 0);
  EXPECT_EQ(std::memcmp(dict() + kSecondMap, second, 8), 0);
  EXPECT_EQ(std::memcmp(dict() + kFirstPalette, dict() + kSecondCurrent, 1024), 0);
  struct Case {
    int at, index;
    std::vector<int> rgba;
  } cases[] = {
      {kFirstPalette, 0, {0, 0, 0, 255}},        {kFirstPalette, 9, {166, 202, 240, 255}},
      {kFirstPalette, 180, {204, 204, 102, 255}}, {kFirstPalette, 190, {255, 0, 0, 255}},
      {kFirstPalette, 226, {0, 0, 0, 255}},       {kFirstPalette, 244, {241, 241, 241, 255}},
      {kFirstPalette, 251, {255, 255, 0, 255}},   {kFirstPalette, 255, {255, 255, 255, 255}},
      {kOlderPalette, 1, {255, 0, 0, 255}},       {kOlderPalette, 10, {255, 0, 0, 255}},
      {kOlderPalette, 11, {255, 127, 127, 255}},  {kOlderPalette, 20, {255, 63, 0, 255}},
      {kOlderPalette, 21, {255, 159, 127, 255}},  {kOlderPalette, 37, {149, 112, 74, 255}},
      {kOlderPalette, 188, {28, 0, 114, 255}},    {kOlderPalette, 189, {71, 57, 114, 255}},
      {kOlderPalette, 239, {114, 57, 86, 255}},   {kOlderPalette, 249, {114, 57, 71, 255}},
      {kOlderPalette, 251, {118, 118, 118, 255}},
  };
  for (const Case& c : cases) EXPECT_EQ(entry(c.at, c.index), c.rgba) << c.at << " " << c.index;
}
