// Fuzz target for the font tool's reading, formatting and interpreting of
// compiled shape fonts. The input is a whole font, opened as a stream over
// the bytes. Its header and index are read as the decompiler reads them;
// every definition is read, formatted into a string and drawn onto a canvas
// that only checks its strokes; then the subshape and height lookups run on
// a few codes. Definitions that the file cuts short are not formatted: the
// tool ends the process on those by design.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fonttool/shape_interpreter.h"
#include "fonttool/shp_writer.h"
#include "fonttool/shx_reader.h"

namespace {

using namespace fontlathe;

void check(bool ok) {
  if (!ok) std::abort();
}

class StringSink : public SourceSink {
 public:
  std::string text;
  void Text(const char* t) override { text += t; }
  void StartTokens() override {}
  void WriteToken(const char* t) override { text += t; }
  void EndShape() override {}
};

class CountingCanvas : public ShapeCanvas {
 public:
  long strokes = 0;
  void DrawSegment(int, int, int, int) override { ++strokes; }
};

// Reads the index of the font as the decompiler does; false when refused.
bool ReadEntries(FILE* f, FontKind kind, std::vector<ShapeEntry>* entries, bool* extended) {
  switch (kind) {
    case FontKind::kShapes: {
      ShapesHeader h;
      if (!ReadShapesIndex(f, &h)) return false;
      check(h.index.size() <= kMaxShapesEntries);
      *entries = h.index;
      return true;
    }
    case FontKind::kBigFont: {
      BigFontHeader h;
      if (std::fseek(f, kBigFontHeaderSkip, SEEK_SET) != 0 || !SkipBigFontHeader(f, &h))
        return false;
      entries->resize(h.count);
      for (ShapeEntry& e : *entries) {
        if (!ReadBigFontEntry(f, &e)) return false;
      }
      IsExtendedBigFont(f, extended);
      return true;
    }
    case FontKind::kUnifont: {
      UnifontHeader h;
      if (std::fseek(f, kUnifontHeaderSkip, SEEK_SET) != 0 || !ReadUnifontHeader(f, &h))
        return false;
      ShapeEntry info;
      info.length = h.info_length;
      info.offset = h.info_offset;
      entries->push_back(info);
      if (std::fseek(f, static_cast<long>(h.info_offset) + h.info_length, SEEK_SET) != 0)
        return true;
      for (uint32_t i = 1; i < h.count; ++i) {
        ShapeEntry e;
        if (!ReadUnifontEntry(f, &e)) break;
        entries->push_back(e);
        if (std::fseek(f, static_cast<long>(e.offset) + e.length, SEEK_SET) != 0) break;
      }
      return true;
    }
    case FontKind::kUnknown:
      break;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  FontKind kind = DetectFontKind(f);
  std::vector<ShapeEntry> entries;
  bool extended = false;
  if (ReadEntries(f, kind, &entries, &extended)) {
    const bool unifont = kind == FontKind::kUnifont, big = kind == FontKind::kBigFont;
    ShapeForm form;
    form.unifont = unifont;
    form.extendedBigFont = big && extended;
    for (const ShapeEntry& e : entries) {
      if (big && e.length == 0) continue;
      ShapeDefinition def;
      if (def.Read(f, e) != ShapeDefinition::kOk) continue;
      check(def.spec_available() <= def.spec_length());
      check(def.name().size() < kNameBufferSize);
      if (def.spec_available() == def.spec_length()) {
        StringSink sink;
        FormatShapeSource(e.code, def, form, sink);
        std::string text;
        check(DecodeShapeText(f, &text, e, unifont, big, extended));
        check(!text.empty());
      }
      CharacterStyle style;
      style.widthFactor = 1.0 + (e.code & 3);
      style.slant = (e.code & 4) ? 15.0 : 0.0;
      style.rotation = (e.code & 8) ? 0.5 : 0.0;
      style.horizontal = (e.code & 16) == 0;
      CountingCanvas canvas;
      double x = 100, y = 100;
      DrawShapeBytes(e, f, &x, &y, style, 2.0, big && extended, &canvas, 8.0, unifont, big);
      check(std::isfinite(x) && std::isfinite(y));
      check(canvas.strokes <= kMaxStrokes + kMaxArcChords);
    }
  }
  // The lookups of the code view and of subshapes, on the first codes of the
  // input's own index and on a few fixed ones.
  uint32_t codes[] = {0, 1, 0x41, 0xA1A1, entries.empty() ? 2u : entries.back().code};
  for (uint32_t code : codes) {
    ShapeEntry e;
    bool uni = false;
    FindShapeEntry(f, code, &e, &uni);
    std::string message;
    CountingCanvas canvas;
    double x = 0, y = 0;
    DrawCharacter(f, code, &message, &x, &y, CharacterStyle(), 1.0, extended, &canvas, 8.0);
  }
  uint32_t height = 0, width = 0;
  bool ext = false;
  if (ReadFontHeight(f, &height, &width, &ext)) check(height > 0);
  std::fclose(f);
  return 0;
}
