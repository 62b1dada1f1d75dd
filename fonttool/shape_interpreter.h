// The shape interpreter of the font tool: runs the specification bytes of a
// shape (opcodes 0 to 14 and vector bytes) and hands every visible stroke, in
// canvas pixels, to a ShapeCanvas. Shape units become pixels through the
// character's unit, width factor, slant and rotation; the base point advances
// by the character. Also the drawing of one code (the code view) and of a
// text with a normal font and a big font (the preview).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "fonttool/shx_reader.h"

namespace fontlathe {

// Where the strokes go. A stroke covers its start and its end pixel.
class ShapeCanvas {
 public:
  virtual ~ShapeCanvas() = default;
  virtual void DrawSegment(int x0, int y0, int x1, int y1) = 0;
};

// How a character is set: horizontal or vertical text, width factor, slant
// in degrees, rotation in radians (positive turns counter-clockwise).
struct CharacterStyle {
  bool horizontal = true;
  double widthFactor = 1.0;
  double slant = 0.0;
  double rotation = 0.0;
};

// Subshape references nest at most this deep; a deeper one draws nothing.
constexpr int kMaxSubshapeDepth = 16;
// Subshape calls of one character at most (references may fan out).
constexpr int kMaxSubshapeCalls = 1024;
// Chords drawn for one arc at most, and strokes for one character.
constexpr int kMaxArcChords = 8192;
constexpr long kMaxStrokes = 1L << 20;

// Draws the shape of the entry with its base point at (*x, *y) and advances
// the base point by the pen's end. unit is pixels per shape unit. False when
// the definition cannot be read or the shape holds opcode 15 (the base point
// then stays).
bool DrawShapeBytes(const ShapeEntry& entry, FILE* stream, double* x, double* y,
                    const CharacterStyle& style, double unit, bool extendedBigFont,
                    ShapeCanvas* canvas, double fontHeight, bool isUnifont, bool isBigFont);

// Finds the code in the open font and draws it; the lookup's message when the
// code is missing.
bool DrawCharacter(FILE* stream, uint32_t code, std::string* message, double* x, double* y,
                   const CharacterStyle& style, double unit, bool extendedBigFont,
                   ShapeCanvas* canvas, double fontHeight);

// Draws the code (hexadecimal text) of the font at a character height of
// `height` pixels; a code below 0xA0 that cannot be drawn is drawn as "?".
bool DrawCodeView(const char* fontPath, const char* hexCode, std::string& message, double* x,
                  double* y, const CharacterStyle& style, double height, ShapeCanvas* canvas);

// How the bytes of a previewed text are encoded: GBK as typed in the dialog,
// UTF-8 as given on the command line.
enum class TextEncoding { kGbk, kUtf8 };

// Draws a text, character by character, as the kernel draws it. A character
// whose code in the big font's own code page (mb_big_font_code_page.h) has
// a lead byte of the big font's ranges, and which the big font has, is drawn
// from it at the scale the kernel gives big-font glyphs; any other from the
// normal font: a unifont by its Unicode code point, a font of GBK codes by
// its GBK code. A character that cannot be drawn (a byte that makes no
// character included) shows a box and advances by the normal font's width;
// a space the font lacks advances so without a box.
bool PreviewText(const char* fontPath, const char* bigFontPath, const char* text,
                 std::string* message, double* x, double* y, const CharacterStyle& style,
                 double height, ShapeCanvas* canvas, TextEncoding encoding = TextEncoding::kGbk);

}  // namespace fontlathe
