// The shape source (SHP) writer: a whole font into a text-mode file, or one
// shape into the text of the code view. One formatter turns a definition into
// its header line and tokens; a sink decides where they go (the file wraps
// tokens at 79 columns and ends the last line, the code view does neither).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "fonttool/shx_reader.h"

namespace fontlathe {

// Decompiles the font at inputPath into shape source at outputPath. The text
// for the user (success or failure) goes into message; the result says
// whether the run succeeded. The output is refused when it names the input
// file, and is created only once the input is known to be a font.
bool DecompileFontFile(const char* inputPath, const char* outputPath, std::string& message);

// The source of one code (given in hexadecimal) of the font, or an error
// message; false on failure.
bool DecodeCodeView(const char* fontPath, const char* hexCode, std::string& message);

// Writes the source of one shape into text (replacing what it held), without
// wrapping and without a line end after the last value. False when the
// definition cannot be reached or is malformed.
bool DecodeShapeText(FILE* stream, std::string* text, const ShapeEntry& entry, bool isUnifont,
                     bool isBigFont, bool isExtendedBigFont);

// Where the formatter's text goes.
class SourceSink {
 public:
  virtual ~SourceSink() = default;
  virtual void Text(const char* text) = 0;  // written as it stands
  virtual void StartTokens() = 0;           // a shape's token list begins
  virtual void WriteToken(const char* token) = 0;
  virtual void EndShape() = 0;  // the shape's text is complete
};

// How subshape references are read: a unifont's carry a two-byte code, an
// extended big font's a 0, a two-byte code and four bytes of placement.
struct ShapeForm {
  bool unifont = false;
  bool extendedBigFont = false;
};

// Formats one definition: its header line, then its values (code 0) or its
// tokens. Operands are read only within the definition.
void FormatShapeSource(uint32_t code, const ShapeDefinition& def, const ShapeForm& form,
                       SourceSink& sink);

// The output file, written in text mode as on the original platform (every
// "\n" goes out as CR LF) in pieces of 64 KiB. A failed write prints
// "Write output error!\n" on standard output and ends the process with
// status 1.
class TextModeFile {
 public:
  TextModeFile() = default;
  TextModeFile(const TextModeFile&) = delete;
  TextModeFile& operator=(const TextModeFile&) = delete;
  ~TextModeFile();
  bool Open(const char* path);
  void Write(const char* text);
  void Close();

 private:
  static constexpr size_t kFlushSize = 1 << 16;
  void Flush();

  FILE* file_ = nullptr;
  std::string buffer_;
};

}  // namespace fontlathe
