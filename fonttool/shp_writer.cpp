// Decompiling: the header lines of each font kind, one header line and one
// token list per shape, and the code view of one shape.
#include "fonttool/shp_writer.h"

#include <qm_file.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace fontlathe {

namespace {

constexpr int kMaxColumn = 79;
constexpr int kProgressStep = 20;

[[noreturn]] void FailWrite() {
  std::printf("Write output error!\n");
  std::fflush(stdout);
  std::exit(1);
}

// True when both paths name one existing file (hard links included).
bool SameFile(const char* a, const char* b) {
  struct stat sa, sb;
  if (stat(qm_map_path(a).c_str(), &sa) != 0 || stat(qm_map_path(b).c_str(), &sb) != 0)
    return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The decompile output: tokens wrap so that no line passes 79 characters, and
// a shape whose bytes ran out before its 0 still ends its line.
class FileSink : public SourceSink {
 public:
  explicit FileSink(TextModeFile& file) : file_(file) {}
  void Text(const char* text) override {
    file_.Write(text);
    size_t n = std::strlen(text);
    if (n > 0) line_open_ = text[n - 1] != '\n';
  }
  void StartTokens() override { column_ = 0; }
  void WriteToken(const char* token) override {
    int n = static_cast<int>(std::strlen(token));
    if (column_ + n > kMaxColumn) {
      Text("\n");
      column_ = n;
    } else {
      column_ += n;
    }
    Text(token);
  }
  void EndShape() override {
    if (line_open_) Text("\n");
  }

 private:
  TextModeFile& file_;
  int column_ = 0;
  bool line_open_ = false;
};

// The code view's text: no wrapping, no line end after the last value.
class StringSink : public SourceSink {
 public:
  explicit StringSink(std::string* text) : text_(text) {}
  void Text(const char* text) override { *text_ += text; }
  void StartTokens() override {}
  void WriteToken(const char* token) override { *text_ += token; }
  void EndShape() override {}

 private:
  std::string* text_;
};

int Signed(int byte) { return static_cast<int8_t>(static_cast<uint8_t>(byte)); }

// The token list of a shape other than code 0. Returns when the 0 has been
// written or when the definition's bytes run out (a command cut off by the
// end of the definition ends the shape).
void FormatTokens(const ShapeDefinition& def, const ShapeForm& form, SourceSink& sink) {
  SpecByteReader reader(def);
  auto token = [&](const std::string& text) { sink.WriteToken(text.c_str()); };
  int b = 0;  // the operand read last
  auto read = [&] { return (b = reader.ReadSpecByte()) >= 0; };
  // Reads one operand and writes it, taken as signed or unsigned.
  auto operand = [&](const char* format, bool is_signed) {
    if (!read()) return false;
    token(Format(format, is_signed ? Signed(b) : b));
    return true;
  };
  auto octant = [&] {
    if (!read()) return false;
    token(b < 0x80 ? Format("0%02x),", b) : Format("-0%02x),", b - 0x80));
    return true;
  };
  for (int op; (op = reader.ReadSpecByte()) >= 0;) {
    bool more = true;
    switch (op) {
      case 0:
        token("0");
        return;
      case 1:
      case 2:
      case 5:
      case 6:
      case 14:
        token(Format("%d,", op));
        break;
      case 3:
      case 4:
        token(Format("%d,", op));
        more = operand("%d,", false);
        break;
      case 7:
        token("7,");
        if (form.unifont) {
          more = operand("(%d,", false) && operand("%d),", false);
        } else if ((more = operand("%d,", false)) && form.extendedBigFont && b == 0) {
          int hi = 0;
          more = read() && (hi = b, read());
          if (more) token(Format("0%02x%02x,", hi, b));
          for (int i = 0; i < 4 && more; ++i) more = operand("%d,", true);
        }
        break;
      case 8:
        token("8,");
        more = operand("(%d,", true) && operand("%d),", true);
        break;
      case 9:
        token("9,");
        for (int dx = 1; more && (dx != 0 || b != 0);) {
          more = operand("(%d,", true) && (dx = b, operand("%d),", true));
        }
        break;
      case 10:
        token("10,");
        more = operand("(%u,", false) && octant();
        break;
      case 11:
        token("11,");
        more = operand("(%d,", false) && operand("%d,", false) && operand("%d,", false) &&
               operand("%d,", false) && octant();
        break;
      case 12:
        token("12,");
        more = operand("(%d,", true) && operand("%d,", true) && operand("%d),", true);
        break;
      case 13:
        // Triples up to a (0, 0) pair, which has no third byte.
        token("13,");
        for (bool end = false; more && !end;) {
          more = operand("(%d,", true);
          int dx = b;
          if (more && (more = read())) {
            end = dx == 0 && b == 0;
            token(Format(end ? "%d)," : "%d,", Signed(b)));
            if (!end) more = operand("%d),", true);
          }
        }
        break;
      default:
        token(Format("0%02x,", op));
        break;
    }
    if (!more) return;
  }
}

// One decompile run: the input, the output and the kind flags of this file.
class Decompiler {
 public:
  Decompiler(FILE* input, TextModeFile& output) : input_(input), sink_(output) {}

  bool bigFont = false;
  bool extendedBigFont = false;

  // Writes one shape. False for a malformed definition (the run stops);
  // a position that cannot be reached is reported and the shape left out.
  bool WriteShapeSource(const ShapeEntry& entry, bool isUnifont) {
    ShapeDefinition def;
    switch (def.Read(input_, entry)) {
      case ShapeDefinition::kSeekFailed:
        std::printf("Invalid address found,Error!\n");
        return true;
      case ShapeDefinition::kCutShort:
        FailRead();
      case ShapeDefinition::kBadName:
        return false;
      case ShapeDefinition::kOk:
        break;
    }
    if (entry.code == 0 && def.spec_length() == 5 && bigFont) extendedBigFont = true;
    ShapeForm form;
    form.unifont = isUnifont;
    form.extendedBigFont = extendedBigFont;
    FormatShapeSource(entry.code, def, form, sink_);
    return true;
  }

  void Text(const std::string& text) { sink_.Text(text.c_str()); }

 private:
  FILE* input_;
  FileSink sink_;
};

struct FontLayout {
  FontKind kind = FontKind::kUnknown;
  ShapesHeader shapes;
  BigFontHeader big;
  std::vector<ShapeEntry> big_entries;
  bool extended = false;
  UnifontHeader uni;
};

// Reads the header and the index of the font so that a malformed font is
// refused before anything is written.
bool ReadLayout(FILE* input, FontLayout* layout) {
  layout->kind = DetectFontKind(input);
  switch (layout->kind) {
    case FontKind::kShapes:
      return ReadShapesIndex(input, &layout->shapes);
    case FontKind::kBigFont: {
      if (std::fseek(input, kBigFontHeaderSkip, SEEK_SET) != 0 ||
          !SkipBigFontHeader(input, &layout->big)) {
        return false;
      }
      layout->big_entries.resize(layout->big.count);
      for (ShapeEntry& e : layout->big_entries) {
        if (!ReadBigFontEntry(input, &e)) return false;
      }
      IsExtendedBigFont(input, &layout->extended);
      return true;
    }
    case FontKind::kUnifont:
      return std::fseek(input, kUnifontHeaderSkip, SEEK_SET) == 0 &&
             ReadUnifontHeader(input, &layout->uni);
    case FontKind::kUnknown:
      break;
  }
  return false;
}

bool WriteFont(FILE* input, const FontLayout& layout, Decompiler& out) {
  if (layout.kind == FontKind::kShapes) {
    for (size_t i = 0; i < layout.shapes.index.size(); ++i) {
      if (i % kProgressStep == 0) std::printf("*");
      if (!out.WriteShapeSource(layout.shapes.index[i], false)) return false;
    }
    return true;
  }
  if (layout.kind == FontKind::kBigFont) {
    out.bigFont = true;
    out.extendedBigFont = layout.extended;
    uint32_t n = layout.big.count;
    std::string header = Format("*BIGFONT %u,%u", static_cast<unsigned>(n * 0.7142857142857143),
                                layout.big.range_count);
    for (uint32_t r : layout.big.ranges) header += Format(",%u", r);
    out.Text(header + "\n");
    for (size_t i = 0; i < layout.big_entries.size(); ++i) {
      const ShapeEntry& e = layout.big_entries[i];
      if (e.length == 0) continue;
      if (i % kProgressStep == 0) std::printf("*");
      if (!out.WriteShapeSource(e, false)) return false;
    }
    return true;
  }
  const UnifontHeader& uni = layout.uni;
  out.Text("*UNIFONT,6," + uni.name + "\n");
  std::string info;
  for (uint32_t i = 0; i < kUnifontInfoBytes; ++i) {
    info += Format(i + 1 < kUnifontInfoBytes ? "%u," : "%u\n", uni.info[i]);
  }
  out.Text(info);
  if (std::fseek(input, static_cast<long>(uni.info_offset + uni.info_length), SEEK_SET) != 0) {
    FailRead();
  }
  for (uint32_t i = 1; i < uni.count; ++i) {
    ShapeEntry e;
    if (!ReadUnifontEntry(input, &e)) FailRead();
    if (!out.WriteShapeSource(e, true)) return false;
    if (std::fseek(input, static_cast<long>(e.offset) + e.length, SEEK_SET) != 0) FailRead();
  }
  return true;
}

}  // namespace

void FormatShapeSource(uint32_t code, const ShapeDefinition& def, const ShapeForm& form,
                       SourceSink& sink) {
  std::string header = Format("*%u,%u", code, def.spec_length());
  if (!def.name().empty()) header += "," + def.name();
  sink.Text((header + "\n").c_str());
  if (code == 0) {
    SpecByteReader reader(def);
    std::string values;
    for (int b; (b = reader.ReadSpecByte()) >= 0;) {
      if (!values.empty()) values += ",";
      values += Format("%u", static_cast<unsigned>(b));
    }
    sink.Text(values.c_str());
  } else {
    sink.StartTokens();
    FormatTokens(def, form, sink);
  }
  sink.EndShape();
}

bool DecompileFontFile(const char* inputPath, const char* outputPath, std::string& message) {
  FILE* input = qm_fopen(inputPath, "rb");
  if (input == nullptr) {
    message = Format("Cannot open %s for read!", inputPath);
    return false;
  }
  bool ok = false;
  FontLayout layout;
  TextModeFile output;
  if (SameFile(inputPath, outputPath)) {
    message = Format("Cannot open %s for write!", outputPath);
  } else if (!ReadLayout(input, &layout)) {
    message = Format("Wrong format of %s!", inputPath);
  } else if (!output.Open(outputPath)) {
    message = Format("Cannot open %s for write!", outputPath);
  } else {
    Decompiler decompiler(input, output);
    ok = WriteFont(input, layout, decompiler);
    message = ok ? std::string("Decompiled OK!\nThanks for use!")
                 : Format("Wrong format of %s!", inputPath);
    output.Close();
  }
  std::fclose(input);
  return ok;
}

bool DecodeShapeText(FILE* stream, std::string* text, const ShapeEntry& entry, bool isUnifont,
                     bool isBigFont, bool isExtendedBigFont) {
  ShapeDefinition def;
  switch (def.Read(stream, entry)) {
    case ShapeDefinition::kCutShort:
      FailRead();
    case ShapeDefinition::kSeekFailed:
    case ShapeDefinition::kBadName:
      return false;
    case ShapeDefinition::kOk:
      break;
  }
  ShapeForm form;
  form.unifont = isUnifont;
  form.extendedBigFont = isBigFont && isExtendedBigFont;
  text->clear();
  StringSink sink(text);
  FormatShapeSource(entry.code, def, form, sink);
  return true;
}

bool DecodeCodeView(const char* fontPath, const char* hexCode, std::string& message) {
  FILE* input = qm_fopen(fontPath, "rb");
  if (input == nullptr) {
    message = Format("Cannot open %s for read!", fontPath);
    return false;
  }
  uint32_t code = ParseHexCode(hexCode);
  ShapeEntry entry;
  bool found = false, format_ok = true, unifont = false, big = false, extended = false;
  switch (DetectFontKind(input)) {
    case FontKind::kShapes: {
      ShapesHeader header;
      format_ok = ReadShapesIndex(input, &header);
      for (const ShapeEntry& e : header.index) {
        if (e.code == code) {
          entry = e;
          found = true;
          break;
        }
      }
      break;
    }
    case FontKind::kBigFont: {
      BigFontHeader header;
      big = true;
      format_ok =
          std::fseek(input, kBigFontHeaderSkip, SEEK_SET) == 0 && SkipBigFontHeader(input, &header);
      found = format_ok && FindBigFontCode(code, input, &entry, header.count) >= 0;
      break;
    }
    case FontKind::kUnifont: {
      UnifontHeader header;
      unifont = true;
      format_ok =
          std::fseek(input, kUnifontHeaderSkip, SEEK_SET) == 0 && ReadUnifontHeader(input, &header);
      if (format_ok && code == 0) {
        entry.length = header.info_length;
        entry.offset = header.info_offset;
        found = true;
      } else if (format_ok) {
        found = FindUnifontShape(code, input, &entry, header.count - 1) == 0;
      }
      break;
    }
    case FontKind::kUnknown:
      format_ok = false;
      break;
  }
  bool ok = false;
  if (!format_ok) {
    message = Format("Wrong format of %s!", fontPath);
  } else if (!found) {
    message = Format("Cannot find code %4x in %s\n", code, fontPath);
  } else if (big && !IsExtendedBigFont(input, &extended)) {
    message = "Address ERROR!";
  } else {
    std::string text;
    ok = DecodeShapeText(input, &text, entry, unifont, big, extended);
    message = ok ? text : std::string("Address ERROR!");
  }
  std::fclose(input);
  return ok;
}

TextModeFile::~TextModeFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool TextModeFile::Open(const char* path) {
  file_ = qm_fopen(path, "wt");
  return file_ != nullptr;
}

void TextModeFile::Write(const char* text) {
  buffer_ += text;
  if (buffer_.size() >= kFlushSize) Flush();
}

void TextModeFile::Flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    FailWrite();
  }
  buffer_.clear();
}

void TextModeFile::Close() {
  if (file_ == nullptr) return;
  Flush();
  FILE* f = file_;
  file_ = nullptr;
  if (std::fclose(f) != 0) FailWrite();
}

}  // namespace fontlathe
