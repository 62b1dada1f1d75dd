// Multi-line text: the inline codes of an MTEXT string read into paragraphs
// of pieces of one look, the paragraphs wrapped into lines at the reference
// width, and each line's pieces made kernel texts at the attachment point.
// Stacked fractions are written on one line ("1/2"); underline, overline,
// strike-through, font, tracking and indent codes are read and dropped, a
// paragraph's alignment kept;
// "\U+XXXX" escapes and "%%" codes stay for the kernel's text to draw.
// Unbalanced braces are forgiven; paragraphs past kDxfMaxMtextLines are
// left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/cadbridge/dxf_text.h"

constexpr size_t kDxfMaxMtextLines = 10000;

struct Dxf_Mtext_Format {
  double height = 2.5;
  double width = 1.0;    // width factor
  double oblique = 0.0;  // radians
  int64_t color = -1;    // 0x00BBGGRR, or -1 for the entity's colour
  bool operator==(const Dxf_Mtext_Format& o) const {
    return height == o.height && width == o.width && oblique == o.oblique && color == o.color;
  }
};

struct Dxf_Mtext_Piece {
  std::string text;  // GBK; a non-breaking space is kDxfNoBreak
  Dxf_Mtext_Format format;
};

// How a paragraph's lines stand in the text's column: as the attachment
// point says, or as the paragraph's own code ("\pqc;") says.
enum class Dxf_Paragraph_Align { kAttachment, kLeft, kCenter, kRight };

struct Dxf_Mtext_Paragraph {
  std::vector<Dxf_Mtext_Piece> pieces;
  Dxf_Paragraph_Align align = Dxf_Paragraph_Align::kAttachment;
};

constexpr char kDxfNoBreak = '\x1F';

// The paragraphs of an MTEXT string; `cut` (optional) tells whether
// paragraphs past the limit were left out.
std::vector<Dxf_Mtext_Paragraph> dxf_mtext_decode(const std::string& raw, const Dxf_Mtext_Format& base,
                                                   bool* cut = nullptr);
// The paragraphs as plain text, one string each (non-breaking spaces as
// spaces).
std::vector<std::string> dxf_mtext_plain(const std::string& raw);

// Where and how a multi-line text stands.
struct Dxf_Mtext_Frame {
  As_Pt insert;
  double angle = 0.0;       // radians
  double height = 2.5;      // of capitals
  double box_width = 0.0;   // reference width; 0: no wrapping
  int attachment = 1;       // 1..9: top, middle, bottom rows of left, centre, right
  double spacing = 1.0;     // line spacing factor
  std::string style;
};

// Places the text's lines as kernel texts with the layer and colour of
// `from`.
void dxf_place_mtext(const std::string& raw, const Dxf_Mtext_Frame& frame, const Dxf_Record& from,
                     Dxf_Target& target);
// An MTEXT record: its text is the continuation groups (3) in order, then
// the last group 1.
void dxf_add_mtext(const Dxf_Record& record, Dxf_Target& target);
