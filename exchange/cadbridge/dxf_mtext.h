// Multi-line text: the inline codes of an MTEXT string read into paragraphs
// of pieces of one look, the paragraphs wrapped into lines at the reference
// width and set into columns, and each line's pieces made kernel texts at
// the attachment point. Stacked fractions stand one part over the other
// (or beside it, slanted) with their divider; underline, overline and
// strike-through are drawn as lines; the background fill and frame are
// drawn beneath the text; a paragraph's alignment is kept; font switches
// draw their run in the font they name; tracking and indent codes are read
// and dropped. Lines break at spaces and between two CJK characters, but
// never before closing punctuation nor after opening punctuation.
// "\U+XXXX" escapes and "%%" codes stay for the kernel's text to draw.
// Unbalanced braces are forgiven; paragraphs past kDxfMaxMtextLines are
// left out. A code taking a number ends where its number ends, its ';'
// being optional.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/cadbridge/dxf_text.h"

constexpr size_t kDxfMaxMtextLines = 10000;

// Lines drawn along a run of text (bits of Dxf_Mtext_Format::strokes).
enum Dxf_Mtext_Stroke { kDxfUnderline = 1, kDxfStrikeThrough = 2, kDxfOverline = 4 };

struct Dxf_Mtext_Format {
  double height = 2.5;
  double width = 1.0;    // width factor
  double oblique = 0.0;  // radians
  int64_t color = -1;    // 0x00BBGGRR, or -1 for the entity's colour
  int strokes = 0;       // Dxf_Mtext_Stroke bits
  std::string font;      // the font file a font switch names; empty: the style's
  bool operator==(const Dxf_Mtext_Format& o) const {
    return height == o.height && width == o.width && oblique == o.oblique && color == o.color && strokes == o.strokes &&
           font == o.font;
  }
};

// How the two parts of a stacked piece stand: the upper over the lower
// without a line ('^'), over it with a line ('/'), or beside it with a
// slanted line ('#').
enum class Dxf_Stack { kNone, kOver, kLine, kSlanted };

struct Dxf_Mtext_Piece {
  std::string text;  // GBK; a non-breaking space is kDxfNoBreak; the upper part of a stack
  Dxf_Mtext_Format format;
  Dxf_Stack stack = Dxf_Stack::kNone;
  std::string lower;  // of a stack
};

// How a paragraph's lines stand in the text's column: as the attachment
// point says, or as the paragraph's own code ("\pqc;") says.
enum class Dxf_Paragraph_Align { kAttachment, kLeft, kCenter, kRight };

struct Dxf_Mtext_Paragraph {
  std::vector<Dxf_Mtext_Piece> pieces;
  Dxf_Paragraph_Align align = Dxf_Paragraph_Align::kAttachment;
  bool column_break = false;  // begun by "\N": starts the next column of a text that has columns
};

constexpr char kDxfNoBreak = '\x1F';

// The paragraphs of an MTEXT string; `cut` (optional) tells whether
// paragraphs past the limit were left out.
std::vector<Dxf_Mtext_Paragraph> dxf_mtext_decode(const std::string& raw, const Dxf_Mtext_Format& base,
                                                  bool* cut = nullptr);
// The paragraphs as plain text, one string each (non-breaking spaces as
// spaces).
std::vector<std::string> dxf_mtext_plain(const std::string& raw);

// The columns a multi-line text is set in: static ones each take the text
// up to the next column break; dynamic ones take as many lines as their
// height holds, the rest flowing on into further columns.
enum class Dxf_Column_Kind { kNone = 0, kStatic = 1, kDynamic = 2 };

struct Dxf_Mtext_Columns {
  Dxf_Column_Kind kind = Dxf_Column_Kind::kNone;
  double width = 0.0;           // of each column; 0: the reference width
  double gutter = 0.0;          // between columns
  double height = 0.0;          // of each column; 0: as tall as its lines
  std::vector<double> heights;  // of the first columns, when given one by one
};

// The fill behind a multi-line text: a rectangle around each column, wider
// by `margin` on every side, and the frame around it.
struct Dxf_Mtext_Fill {
  int64_t color = -1;  // 0x00BBGGRR; -1: no fill
  bool mask = false;   // filled with the view's background instead
  double margin = 0.0;
  bool frame = false;
};

// Where and how a multi-line text stands.
struct Dxf_Mtext_Frame {
  As_Pt insert;
  double angle = 0.0;      // radians
  double height = 2.5;     // of capitals
  double box_width = 0.0;  // reference width; 0: no wrapping
  int attachment = 1;      // 1..9: top, middle, bottom rows of left, centre, right
  double spacing = 1.0;    // line spacing factor
  std::string style;
  Dxf_Mtext_Columns columns;
  Dxf_Mtext_Fill fill;
};

// Places the text's lines as kernel texts with the layer and colour of
// `from`.
void dxf_place_mtext(const std::string& raw, const Dxf_Mtext_Frame& frame, const Dxf_Record& from, Dxf_Target& target);
// An MTEXT record: its text is the continuation groups (3) in order, then
// the last group 1.
void dxf_add_mtext(const Dxf_Record& record, Dxf_Target& target);
