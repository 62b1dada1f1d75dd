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
// for the user (success or failure, with the file and the reason) goes into
// message; the result says whether the run succeeded. The output is refused
// when it names the input file (through any spelling or link). The source is
// written to a temporary file beside the output and replaces it only when
// complete, so a failed run leaves an existing output as it was. A font whose
// header or index cannot be read is refused whole ("Wrong format of ...!");
// a damaged shape is left out, a comment line ("; skipped: shape 65 has no
// end to its name") standing in its place, and the success message ends with
// the count of shapes left out ("Skipped 2 damaged shapes.").
bool DecompileFontFile(const char* inputPath, const char* outputPath, std::string& message);

// The source of one code (given in hexadecimal) of the font, or an error
// message; false on failure.
bool DecodeCodeView(const char* fontPath, const char* hexCode, std::string& message);

// Why a definition could not be written: the status of reading it (kCutShort
// also for specification bytes the file does not hold) and the reason in
// words ("shape 65 is truncated at byte 42").
struct ShapeProblem {
  ShapeDefinition::Status status = ShapeDefinition::kOk;
  std::string reason;
};

// Writes the source of one shape into text (replacing what it held), without
// wrapping and without a line end after the last value. False when the
// definition cannot be reached, is malformed or runs past the end of the
// file; problem (when given) then says which.
bool DecodeShapeText(FILE* stream, std::string* text, const ShapeEntry& entry, bool isUnifont,
                     bool isBigFont, bool isExtendedBigFont, ShapeProblem* problem = nullptr);

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
// tokens. Operands are read only within the definition. False when the
// definition's bytes run past the end of the file (the text then stops
// there).
bool FormatShapeSource(uint32_t code, const ShapeDefinition& def, const ShapeForm& form,
                       SourceSink& sink);

}  // namespace fontlathe
