// Decompiling: the header lines of each font kind, one header line and one
// token list per shape, and the code view of one shape.
#include "fonttool/shp_writer.h"

#include <qm_file.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace fontlathe {

namespace {

constexpr int kMaxColumn = 79;
constexpr int kProgressStep = 20;

const char kNotAFont[] = "not a shape font";

// The output file, written in text mode as on the original platform (every
// "\n" goes out as CR LF) in pieces of 64 KiB to a temporary file beside the
// target, which Commit() puts in the target's place. The first failed write
// is kept (its errno) and later ones are not tried; the temporary file goes
// when the object does, unless committed.
class TextModeFile {
 public:
  bool Open(const char* path) { return writer_.open(path, "w"); }
  void Write(const char* text) {
    buffer_ += text;
    if (buffer_.size() >= kFlushSize) Flush();
  }
  bool ok() const { return error_ == 0; }
  // The errno of the first failure, 0 when there was none.
  int error() const { return error_; }
  // Completes the file; false (see error()) when a write, the flush or the
  // rename failed, the target then as it was.
  bool Commit() {
    Flush();
    if (error_ == 0 && !writer_.commit()) error_ = errno != 0 ? errno : EIO;
    writer_.discard();
    return error_ == 0;
  }

 private:
  static constexpr size_t kFlushSize = 1 << 16;
  void Flush() {
    if (error_ == 0 && !buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), writer_.stream()) != buffer_.size()) {
      error_ = errno != 0 ? errno : EIO;
    }
    buffer_.clear();
  }

  QmFileWriter writer_;
  std::string buffer_;
  int error_ = 0;
};

// The decompile output of one shape, kept until the shape is known to be
// whole: tokens wrap so that no line passes 79 characters, and a shape whose
// bytes ran out before its 0 still ends its line.
class FileSink : public SourceSink {
 public:
  explicit FileSink(std::string& text) : text_(text) {}
  void Text(const char* text) override {
    text_ += text;
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
  std::string& text_;
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
// end of the definition ends the shape); false when they ran out because the
// file ended.
bool FormatTokens(const ShapeDefinition& def, const ShapeForm& form, SourceSink& sink) {
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
      case SHAPE_END: token("0"); return true;
      case SHAPE_PEN_DOWN:
      case SHAPE_PEN_UP:
      case SHAPE_PUSH:
      case SHAPE_POP:
      case SHAPE_VERTICAL_ONLY: token(Format("%d,", op)); break;
      case SHAPE_DIVIDE:
      case SHAPE_MULTIPLY:
        token(Format("%d,", op));
        more = operand("%d,", false);
        break;
      case SHAPE_SUBSHAPE:
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
      case SHAPE_DISPLACEMENT:
        token("8,");
        more = operand("(%d,", true) && operand("%d),", true);
        break;
      case SHAPE_DISPLACEMENTS:
        token("9,");
        for (int dx = 1; more && (dx != 0 || b != 0);) {
          more = operand("(%d,", true) && (dx = b, operand("%d),", true));
        }
        break;
      case SHAPE_OCTANT_ARC:
        token("10,");
        more = operand("(%u,", false) && octant();
        break;
      case SHAPE_FRACTIONAL_ARC:
        token("11,");
        more = operand("(%d,", false) && operand("%d,", false) && operand("%d,", false) &&
               operand("%d,", false) && octant();
        break;
      case SHAPE_BULGE_ARC:
        token("12,");
        more = operand("(%d,", true) && operand("%d,", true) && operand("%d),", true);
        break;
      case SHAPE_BULGE_ARCS:
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
    if (!more) break;
  }
  return !reader.cut_short();
}

// Reads one definition into def and formats it. False when it cannot be
// used: problem then says why (a position that cannot be reached is
// kSeekFailed).
bool FormatDefinition(FILE* stream, const ShapeEntry& entry, const ShapeForm& form,
                      SourceSink& sink, ShapeDefinition* def, ShapeProblem* problem) {
  problem->status = def->Read(stream, entry);
  if (problem->status == ShapeDefinition::kOk && !FormatShapeSource(entry.code, *def, form, sink)) {
    problem->status = ShapeDefinition::kCutShort;
  }
  if (problem->status == ShapeDefinition::kOk) return true;
  problem->reason = def->Reason(problem->status);
  return false;
}

// One decompile run: the input, the output and the kind flags of this file.
// A damaged shape (one whose name has no end or is too long, whose bytes run
// past the end of the file, or whose position cannot be reached) is left
// out: a comment line stands in its place, naming it and the damage, and the
// run goes on with the next, as fonts with a few damaged records are still
// worth their intact shapes.
class Decompiler {
 public:
  Decompiler(FILE* input, TextModeFile& output) : input_(input), output_(output), sink_(shape_) {}

  bool bigFont = false;
  bool extendedBigFont = false;
  // The shapes left out.
  uint32_t skipped = 0;

  // Writes one shape, or the comment of a damaged one. False when a write
  // failed.
  bool WriteShapeSource(const ShapeEntry& entry, bool isUnifont) {
    ShapeForm form;
    form.unifont = isUnifont;
    form.extendedBigFont = extendedBigFont;
    ShapeDefinition def;
    ShapeProblem problem;
    shape_.clear();
    if (FormatDefinition(input_, entry, form, sink_, &def, &problem)) {
      output_.Write(shape_.c_str());
      if (entry.code == 0 && def.spec_length() == 5 && bigFont) extendedBigFont = true;
    } else {
      if (problem.status == ShapeDefinition::kSeekFailed) std::printf("Invalid address found,Error!\n");
      Skip(problem.reason, 1);
    }
    return output_.ok();
  }

  // The `count` shapes that the font lists but the file ends before: one
  // comment for them all, as their codes are not in the file. False when a
  // write failed.
  bool Missing(uint32_t count) {
    if (count > 0) Skip(Format("%u more shapes, as the file ends at byte %ld", count, StreamSize(input_)), count);
    return output_.ok();
  }

  void Text(const std::string& text) { output_.Write(text.c_str()); }

 private:
  void Skip(const std::string& reason, uint32_t count) {
    Text("; skipped: " + reason + "\n");
    skipped += count;
  }

  FILE* input_;
  TextModeFile& output_;
  std::string shape_;  // the text of the shape being formatted
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
// refused before anything is written; why says what is wrong with it.
bool ReadLayout(FILE* input, FontLayout* layout, std::string* why) {
  layout->kind = DetectFontKind(input);
  switch (layout->kind) {
    case FontKind::kShapes:
      return ReadShapesIndex(input, &layout->shapes, why);
    case FontKind::kBigFont: {
      if (std::fseek(input, kBigFontHeaderSkip, SEEK_SET) != 0 ||
          !SkipBigFontHeader(input, &layout->big, why)) {
        return false;
      }
      layout->big_entries.resize(layout->big.count);
      for (ShapeEntry& e : layout->big_entries) {
        if (!ReadBigFontEntry(input, &e)) {
          *why = TruncatedAt(input);
          return false;
        }
      }
      IsExtendedBigFont(input, &layout->extended);
      return true;
    }
    case FontKind::kUnifont:
      return std::fseek(input, kUnifontHeaderSkip, SEEK_SET) == 0 &&
             ReadUnifontHeader(input, &layout->uni, why);
    case FontKind::kUnknown:
      break;
  }
  *why = kNotAFont;
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
    return out.Missing(uni.count - 1);
  }
  // The shapes lie one behind the other: one that runs past the end of the
  // file leaves the rest of the count where the file does not reach.
  for (uint32_t i = 1; i < uni.count; ++i) {
    ShapeEntry e;
    if (!ReadUnifontEntry(input, &e)) return out.Missing(uni.count - i);
    if (!out.WriteShapeSource(e, true)) return false;
    if (std::fseek(input, static_cast<long>(e.offset) + e.length, SEEK_SET) != 0) {
      return out.Missing(uni.count - i - 1);
    }
  }
  return true;
}

}  // namespace

bool FormatShapeSource(uint32_t code, const ShapeDefinition& def, const ShapeForm& form,
                       SourceSink& sink) {
  std::string header = Format("*%u,%u", code, def.spec_length());
  if (!def.name().empty()) header += "," + def.name();
  sink.Text((header + "\n").c_str());
  bool whole = true;
  if (code == 0) {
    SpecByteReader reader(def);
    std::string values;
    for (int b; (b = reader.ReadSpecByte()) >= 0;) {
      if (!values.empty()) values += ",";
      values += Format("%u", static_cast<unsigned>(b));
    }
    sink.Text(values.c_str());
    whole = !reader.cut_short();
  } else {
    sink.StartTokens();
    whole = FormatTokens(def, form, sink);
  }
  sink.EndShape();
  return whole;
}

bool DecompileFontFile(const char* inputPath, const char* outputPath, std::string& message) {
  FILE* input = OpenFontForRead(inputPath, "Cannot open %s for read!", &message);
  if (input == nullptr) return false;
  bool ok = false;
  FontLayout layout;
  TextModeFile output;
  std::string why;
  if (qm_same_file(inputPath, outputPath)) {
    message = WithReason(Format("Cannot open %s for write!", outputPath), "it is the input font");
  } else if (!ReadLayout(input, &layout, &why)) {
    message = WithReason(Format("Wrong format of %s!", inputPath), why);
  } else if (!output.Open(outputPath)) {
    message = WithReason(Format("Cannot open %s for write!", outputPath),
                         qm_file_error(outputPath, errno));
  } else {
    Decompiler decompiler(input, output);
    ok = WriteFont(input, layout, decompiler) && output.Commit();
    if (!ok) {
      message = WithReason("Write output error!", Format("%s: %s", outputPath, std::strerror(output.error())));
    } else {
      message = "Decompiled OK!\nThanks for use!";
      const uint32_t n = decompiler.skipped;
      if (n > 0) message += Format("\nSkipped %u damaged shape%s.", n, n == 1 ? "" : "s");
    }
  }
  std::fclose(input);
  return ok;
}

bool DecodeShapeText(FILE* stream, std::string* text, const ShapeEntry& entry, bool isUnifont,
                     bool isBigFont, bool isExtendedBigFont, ShapeProblem* problem) {
  ShapeForm form;
  form.unifont = isUnifont;
  form.extendedBigFont = isBigFont && isExtendedBigFont;
  std::string source;
  StringSink sink(&source);
  ShapeDefinition def;
  ShapeProblem own;
  if (!FormatDefinition(stream, entry, form, sink, &def, problem != nullptr ? problem : &own)) {
    return false;
  }
  *text = source;
  return true;
}

bool DecodeCodeView(const char* fontPath, const char* hexCode, std::string& message) {
  FILE* input = OpenFontForRead(fontPath, "Cannot open %s for read!", &message);
  if (input == nullptr) return false;
  uint32_t code = ParseHexCode(hexCode);
  ShapeEntry entry;
  std::string why;
  bool found = false, format_ok = true, unifont = false, big = false, extended = false;
  switch (DetectFontKind(input)) {
    case FontKind::kShapes: {
      ShapesHeader header;
      format_ok = ReadShapesIndex(input, &header, &why);
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
      format_ok = std::fseek(input, kBigFontHeaderSkip, SEEK_SET) == 0 &&
                  SkipBigFontHeader(input, &header, &why);
      found = format_ok && FindBigFontCode(code, input, &entry, header.count) >= 0;
      break;
    }
    case FontKind::kUnifont: {
      UnifontHeader header;
      unifont = true;
      format_ok = std::fseek(input, kUnifontHeaderSkip, SEEK_SET) == 0 &&
                  ReadUnifontHeader(input, &header, &why);
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
      why = kNotAFont;
      break;
  }
  bool ok = false;
  ShapeProblem problem;
  if (!format_ok) {
    message = WithReason(Format("Wrong format of %s!", fontPath), why);
  } else if (!found) {
    message = Format("Cannot find code %4x in %s\n", code, fontPath);
  } else if (big && !IsExtendedBigFont(input, &extended)) {
    message =
        WithReason("Address ERROR!", Format("%s: the big font has no readable shape 0", fontPath));
  } else if (DecodeShapeText(input, &message, entry, unifont, big, extended, &problem)) {
    ok = true;
  } else {
    message = WithReason(
        problem.status == ShapeDefinition::kCutShort ? "Read SHX file error!" : "Address ERROR!",
        Format("%s: %s", fontPath, problem.reason.c_str()));
  }
  std::fclose(input);
  return ok;
}

}  // namespace fontlathe
