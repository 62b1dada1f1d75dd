// Multi-line text: inline codes, wrapping and placing.
#include "exchange/cadbridge/dxf_mtext.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

#include "database/entities/mb_line.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_ocs.h"

namespace {

// A 24-bit colour of the file (0xRRGGBB) as a GDI colour.
int64_t true_color(int rgb) { return int64_t(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF)); }

// The kernel's CJK TrueType font, which draws CJK faces it cannot name.
constexpr char kCjkFontFile[] = "simsun.ttf";

// Braces nested deeper than this are read as if they were not there.
constexpr size_t kMaxDepth = 64;
// Baseline to baseline, of the capital height, at a spacing factor of 1.
constexpr double kLineSpacing = 5.0 / 3.0;
constexpr double kMinSpacing = 0.25, kMaxSpacing = 4.0;

class Decoder {
 public:
  Decoder(const std::string& raw, const Dxf_Mtext_Format& base) : s_(raw), format_(base), base_color_(base.color) {
    out_.emplace_back();
  }

  std::vector<Dxf_Mtext_Paragraph> run(bool* cut) {
    while (i_ < s_.size() && !cut_) step();
    if (cut) *cut = cut_;
    return std::move(out_);
  }

 private:
  void step() {
    const unsigned char c = static_cast<unsigned char>(s_[i_]);
    if (c >= 0x81 && c <= 0xFE) {
      // A double-byte character whole: its second byte may be '\\' or a brace.
      if (i_ + 1 < s_.size()) append(s_.substr(i_, 2));
      i_ += 2;
      return;
    }
    if (c >= 0x80) {  // a byte of its own (the missing-character byte 0xFF)
      append(s_.substr(i_++, 1));
      return;
    }
    ++i_;
    switch (c) {
      case '{':
        if (stack_.size() < kMaxDepth) {
          stack_.push_back(format_);
        } else {
          ++ignored_;
        }
        return;
      case '}':
        if (ignored_ > 0) {
          --ignored_;
        } else if (!stack_.empty()) {
          format_ = stack_.back();
          stack_.pop_back();
        }
        return;
      case '^': caret(); return;
      case '\t': append(" "); return;
      case '\\': code(); return;
      default: append(std::string(1, char(c))); return;
    }
  }

  // "^I" is a tab, "^J" a new line, "^ " a caret.
  void caret() {
    const char k = i_ < s_.size() ? s_[i_] : '\0';
    if (k == 'I' || k == 'J' || k == ' ') ++i_;
    if (k == 'I') {
      append(" ");
    } else if (k == 'J') {
      paragraph();
    } else {
      append("^");
    }
  }

  void code() {
    if (i_ >= s_.size()) return;
    const char k = s_[i_++];
    switch (k) {
      case 'P':
      case 'X': paragraph(); return;
      case 'N':
        paragraph();
        out_.back().column_break = true;
        return;
      case '~': append(std::string(1, kDxfNoBreak)); return;
      case '\\':
      case '{':
      case '}': append(std::string(1, k)); return;
      case 'L': format_.strokes |= kDxfUnderline; return;
      case 'l': format_.strokes &= ~kDxfUnderline; return;
      case 'O': format_.strokes |= kDxfOverline; return;
      case 'o': format_.strokes &= ~kDxfOverline; return;
      case 'K': format_.strokes |= kDxfStrikeThrough; return;
      case 'k': format_.strokes &= ~kDxfStrikeThrough; return;
      case 'p': paragraph_code(argument()); return;
      case 'f':
      case 'F': font_switch(k, argument()); return;
      case 'A':
      case 'a':
      case 'T': number(true); return;
      case 'H': scaled(format_.height, number(true)); return;
      case 'W': scaled(format_.width, number(true)); return;
      case 'Q': format_.oblique = dxf_real(number(false)) * kDxfDegree; return;
      case 'C': {
        const std::string v = number(false);
        if (v.empty()) return;
        const int aci = dxf_integer(v);
        format_.color = aci == kDxfByBlock || aci == kDxfByLayer ? base_color_ : int64_t(dxf_aci_color(aci));
        return;
      }
      case 'c': {
        // Written with red in the low byte (\c255; is red), as a GDI
        // colour is, unlike group 420's 0xRRGGBB.
        const std::string v = number(false);
        if (v.empty()) return;
        format_.color = int64_t(uint32_t(dxf_integer(v)) & 0xFFFFFFu);
        return;
      }
      case 'S': stacked(argument()); return;
      case 'U':
      case 'u':
      case 'M':
      case 'm':
        // Kept whole for the kernel's text, which draws the code point.
        append(std::string("\\") + k);
        return;
      default: append(std::string("\\") + k); return;
    }
  }

  // The value of a code, up to its ';' (or the end).
  std::string argument() {
    const size_t end = s_.find(';', i_);
    std::string v = s_.substr(i_, end == std::string::npos ? std::string::npos : end - i_);
    i_ = end == std::string::npos ? s_.size() : end + 1;
    return v;
  }

  // The number of a code, which ends where its digits end ("\C1red" is red
  // "red"), and the ';' after it if there is one. `relative` takes a
  // trailing 'x' too.
  std::string number(bool relative) {
    const size_t start = i_;
    if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
    bool exponent = false;
    while (i_ < s_.size()) {
      const char c = s_[i_];
      if ((c >= '0' && c <= '9') || c == '.') {
        ++i_;
      } else if ((c == 'e' || c == 'E') && !exponent && i_ + 1 < s_.size() &&
                 ((s_[i_ + 1] >= '0' && s_[i_ + 1] <= '9') || s_[i_ + 1] == '+' || s_[i_ + 1] == '-')) {
        exponent = true;
        i_ += 2;
      } else {
        break;
      }
    }
    if (relative && i_ < s_.size() && (s_[i_] == 'x' || s_[i_] == 'X')) ++i_;
    std::string v = s_.substr(start, i_ - start);
    if (i_ < s_.size() && s_[i_] == ';') ++i_;
    return v;
  }

  // "\\fSimSun|b0|i0;" names a TrueType family, "\\Fromans;" a shape font
  // (a name with an extension is a font file either way); bold, italic,
  // code page and pitch are left out. No name changes nothing.
  void font_switch(char k, const std::string& v) {
    std::string name = v.substr(0, v.find('|'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty()) return;
    const bool ascii =
        std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (name.find('.') != std::string::npos) {
      format_.font = name;
    } else if (k == 'F') {
      format_.font = name + ".shx";
    } else {
      // A family named in Chinese (or another script) is a CJK face.
      format_.font = ascii ? name + ".ttf" : kCjkFontFile;
    }
  }

  // "2.5" sets the value, "0.5x" scales it; nothing sound changes nothing.
  static void scaled(double& value, const std::string& v) {
    if (v.empty()) return;
    const bool relative = v.back() == 'x' || v.back() == 'X';
    const double d = dxf_real(relative ? v.substr(0, v.size() - 1) : v);
    if (!(d > 0.0) || !std::isfinite(d)) return;
    value = relative ? value * d : d;
  }

  // "1/2", "1#2" and "1^2": the upper part up to the first separator not
  // escaped by a backslash, the lower part after it; without a separator
  // the text is plain. "2^" is a 2 standing high, "^2" one standing low.
  void stacked(const std::string& v) {
    std::string upper, lower;
    Dxf_Stack kind = Dxf_Stack::kNone;
    for (size_t k = 0; k < v.size(); ++k) {
      char c = v[k];
      bool escaped = false;
      if (c == '\\' && k + 1 < v.size()) {
        c = v[++k];
        escaped = true;
      }
      std::string& side = kind == Dxf_Stack::kNone ? upper : lower;
      if (static_cast<unsigned char>(c) >= 0x80 && k + 1 < v.size()) {
        side += v.substr(k, 2);
        ++k;
      } else if (kind == Dxf_Stack::kNone && !escaped && (c == '^' || c == '/' || c == '#')) {
        kind = c == '^' ? Dxf_Stack::kOver : c == '/' ? Dxf_Stack::kLine : Dxf_Stack::kSlanted;
      } else {
        side += c;
      }
    }
    if (kind == Dxf_Stack::kNone) {
      append(upper);
      return;
    }
    out_.back().pieces.push_back(Dxf_Mtext_Piece{upper, format_, kind, lower});
  }

  // "\p...;" holds indents, tabs and, after 'q', the alignment of this
  // paragraph and those after it.
  void paragraph_code(const std::string& v) {
    const size_t q = v.find('q');
    if (q == std::string::npos || q + 1 >= v.size()) return;
    switch (v[q + 1]) {
      case 'c': align_ = Dxf_Paragraph_Align::kCenter; break;
      case 'r': align_ = Dxf_Paragraph_Align::kRight; break;
      case 'l':
      case 'j':
      case 'd': align_ = Dxf_Paragraph_Align::kLeft; break;
      default: return;
    }
    out_.back().align = align_;
  }

  void paragraph() {
    if (out_.size() >= kDxfMaxMtextLines) {
      cut_ = true;
      return;
    }
    out_.emplace_back();
    out_.back().align = align_;
  }

  void append(const std::string& text) {
    std::vector<Dxf_Mtext_Piece>& p = out_.back().pieces;
    if (!p.empty() && p.back().format == format_ && p.back().stack == Dxf_Stack::kNone) {
      p.back().text += text;
    } else {
      p.push_back(Dxf_Mtext_Piece{text, format_, Dxf_Stack::kNone, std::string()});
    }
  }

  const std::string& s_;
  size_t i_ = 0;
  Dxf_Mtext_Format format_;
  const int64_t base_color_;
  std::vector<Dxf_Mtext_Format> stack_;
  size_t ignored_ = 0;
  bool cut_ = false;
  Dxf_Paragraph_Align align_ = Dxf_Paragraph_Align::kAttachment;
  std::vector<Dxf_Mtext_Paragraph> out_;
};

struct Word {
  std::string text;
  Dxf_Mtext_Format format;
  bool space_before;
  double width;
  Dxf_Stack stack = Dxf_Stack::kNone;
  std::string lower;                // of a stack
  Dxf_Mtext_Format space_format{};  // of the space before: its strokes run over it
};

struct Line {
  std::vector<Word> words;
  Dxf_Paragraph_Align align = Dxf_Paragraph_Align::kAttachment;
  bool column_break = false;
};

std::string shown(std::string text) {
  std::replace(text.begin(), text.end(), kDxfNoBreak, ' ');
  return text;
}

// Measures texts of one style, remembering the width of a space per look.
class Measure {
 public:
  Measure(Dxf_Target& target, const std::string& style) : target_(target), style_(style) {}

  double width(const std::string& text, const Dxf_Mtext_Format& f) {
    return text.empty() ? 0.0 : target_.width(shown(text), look(f));
  }

  double space(const Dxf_Mtext_Format& f) {
    const auto key = std::make_tuple(f.height, f.width, f.font);
    auto it = spaces_.find(key);
    if (it != spaces_.end()) return it->second;
    const double s = std::max(0.0, width("i i", f) - width("ii", f));
    spaces_.emplace(key, s);
    return s;
  }

  // A word's width; a stack is as wide as its wider part, or as both
  // parts side by side when slanted.
  double width(const Word& w) {
    if (w.stack == Dxf_Stack::kNone) return width(w.text, w.format);
    const double upper = width(w.text, w.format), lower = width(w.lower, w.format);
    return w.stack == Dxf_Stack::kSlanted ? upper + lower : std::max(upper, lower);
  }

  // How far the next character stands from a word's start: its width
  // before another copy of itself.
  double advance(const Word& w) {
    if (w.stack != Dxf_Stack::kNone) return width(w);
    return width(w.text + w.text, w.format) - width(w.text, w.format);
  }

  Dxf_Text_Look look(const Dxf_Mtext_Format& f) const {
    Dxf_Text_Look l;
    l.style = target_.font_style(style_, f.font);
    l.height = f.height;
    l.width = f.width;
    l.oblique = f.oblique;
    return l;
  }

 private:
  Dxf_Target& target_;
  std::string style_;
  std::map<std::tuple<double, double, std::string>, double> spaces_;
};

// A stack's parts are each of the text's height; stacked one over the
// other they stand in a cell this many times both heights tall, the
// divider halfway up.
constexpr double kStackCell = 1.2;

// How tall a word stands above its baseline, of its height.
double word_height(const Word& w) {
  if (w.stack == Dxf_Stack::kNone) return 1.0;
  return w.stack == Dxf_Stack::kSlanted ? 2.0 : 2.0 * kStackCell;
}

// Underline and overline stand this much of the height off the text.
constexpr double kStrokeGap = 0.2;

// Double-byte punctuation (GBK) that closes, which no line starts with:
// ，。、；：？！）》」』】〕〉”’．…～％｝］
constexpr uint16_t kClosing[] = {0xA3AC, 0xA1A3, 0xA1A2, 0xA3BB, 0xA3BA, 0xA3BF, 0xA3A1, 0xA3A9,
                                 0xA1B7, 0xA1B9, 0xA1BB, 0xA1BF, 0xA1B3, 0xA1B5, 0xA1B1, 0xA1AF,
                                 0xA3AE, 0xA1AD, 0xA1AB, 0xA3A5, 0xA3FD, 0xA3DD};
// And that opens, which no line ends with: （《「『【〔〈“‘［｛
constexpr uint16_t kOpening[] = {0xA3A8, 0xA1B6, 0xA1B8, 0xA1BA, 0xA1BE, 0xA1B2,
                                 0xA1B4, 0xA1B0, 0xA1AE, 0xA3DB, 0xA3FB};

template <size_t N>
bool one_of(const uint16_t (&set)[N], uint16_t code) {
  return std::find(std::begin(set), std::end(set), code) != std::end(set);
}

// A run of text without spaces cut where a line may break: between two
// double-byte (CJK) characters, unless the second closes or the first
// opens.
std::vector<std::string> breakable_parts(const std::string& run) {
  std::vector<std::string> parts(1);
  uint16_t previous = 0;  // the double-byte character before, or 0
  for (size_t i = 0; i < run.size();) {
    const unsigned char lead = static_cast<unsigned char>(run[i]);
    const size_t n = lead >= 0x80 && i + 1 < run.size() ? 2 : 1;
    const uint16_t code = n == 2 ? uint16_t(lead << 8 | static_cast<unsigned char>(run[i + 1])) : uint16_t(0);
    if (code && previous && !parts.back().empty() && !one_of(kClosing, code) && !one_of(kOpening, previous)) {
      parts.emplace_back();
    }
    parts.back().append(run, i, n);
    previous = code;
    i += n;
  }
  return parts;
}

// The words of a paragraph, split at spaces (non-breaking ones excepted)
// and where CJK text may break; a stack is one word.
std::vector<Word> words_of(const Dxf_Mtext_Paragraph& p) {
  std::vector<Word> words;
  bool space = false;
  Dxf_Mtext_Format space_format;
  for (const Dxf_Mtext_Piece& piece : p.pieces) {
    if (piece.stack != Dxf_Stack::kNone) {
      words.push_back(Word{piece.text, piece.format, space, 0.0, piece.stack, piece.lower, space_format});
      space = false;
      continue;
    }
    size_t start = 0;
    while (start <= piece.text.size()) {
      size_t end = piece.text.find(' ', start);
      if (end == std::string::npos) end = piece.text.size();
      if (end > start) {
        for (std::string& part : breakable_parts(piece.text.substr(start, end - start))) {
          words.push_back(Word{std::move(part), piece.format, space, 0.0, Dxf_Stack::kNone, {}, space_format});
          space = false;
        }
      }
      if (end < piece.text.size()) {
        space = true;
        space_format = piece.format;
      }
      start = end + 1;
    }
  }
  return words;
}

// A text, a line or a fill of a laid-out line, at x along it and y above
// its baseline.
struct Laid_Text {
  std::unique_ptr<MB_Text> text;
  double x, y;
  int64_t color;
};
struct Laid_Segment {
  double x1, y1, x2, y2;
  int64_t color;
};

struct Laid {
  std::vector<Laid_Text> texts;
  std::vector<Laid_Segment> segments;
  double width = 0.0;
  double cap;  // how far the line stands above its baseline
  Dxf_Paragraph_Align align;
  bool column_break;
};

// Lays out one line's words from x = 0: runs of one look become single
// texts; stacks their parts and divider; strokes their lines.
Laid lay_line(Line& line, Measure& measure, MB_Drawing& drawing, double base_height) {
  Laid l;
  l.cap = base_height;
  l.align = line.align;
  l.column_break = line.column_break;
  std::vector<Word>& words = line.words;
  double x = 0.0;
  bool first_cap = true;
  // A stroke that goes on where the same stroke ended lengthens it.
  std::vector<size_t> stroke_segments;
  auto stroke = [&l, &stroke_segments](double x1, double x2, double y, int64_t color) {
    for (size_t i : stroke_segments) {
      Laid_Segment& s = l.segments[i];
      if (s.x2 == x1 && s.y1 == y && s.color == color) {
        s.x2 = x2;
        return;
      }
    }
    stroke_segments.push_back(l.segments.size());
    l.segments.push_back(Laid_Segment{x1, y, x2, y, color});
  };
  auto strokes = [&stroke](const Dxf_Mtext_Format& f, double x1, double x2) {
    const double h = f.height;
    if (f.strokes & kDxfUnderline) stroke(x1, x2, -h * kStrokeGap, f.color);
    if (f.strokes & kDxfStrikeThrough) stroke(x1, x2, h / 2, f.color);
    if (f.strokes & kDxfOverline) stroke(x1, x2, h * (1 + kStrokeGap), f.color);
  };
  for (size_t k = 0; k < words.size();) {
    const Dxf_Mtext_Format& f = words[k].format;
    const double gap = words[k].space_before && k > 0 ? measure.space(f) : 0.0;
    // The space between two words has the strokes it was written with:
    // "\Lone two\l" is underlined throughout, "\Oone\o \Otwo" not over
    // its space.
    if (gap > 0.0) strokes(words[k].space_format, x, x + gap);
    x += gap;
    const double from = x;
    const double tall = word_height(words[k]) * f.height;
    l.cap = first_cap ? tall : std::max(l.cap, tall);
    first_cap = false;
    if (words[k].stack != Dxf_Stack::kNone) {
      const Word& w = words[k];
      const double h = f.height, upper = measure.width(w.text, f), lower = measure.width(w.lower, f);
      const double width = measure.width(w);
      auto part = [&](const std::string& text, double px, double py) {
        if (!text.empty())
          l.texts.push_back(Laid_Text{dxf_new_text(drawing, shown(text), measure.look(f)), px, py, f.color});
      };
      if (w.stack == Dxf_Stack::kSlanted) {
        part(w.text, x, h);
        part(w.lower, x + upper, 0.0);
        const double d = std::min(width, 2 * h) / 2;
        l.segments.push_back(Laid_Segment{x + upper - d, h - d, x + upper + d, h + d, f.color});
      } else {
        part(w.text, x + (width - upper) / 2, (2 * kStackCell - 1) * h);
        part(w.lower, x + (width - lower) / 2, 0.0);
        if (w.stack == Dxf_Stack::kLine) {
          l.segments.push_back(Laid_Segment{x, kStackCell * h, x + width, kStackCell * h, f.color});
        }
      }
      strokes(f, from, x + width);
      x += width;
      ++k;
      continue;
    }
    std::string text;
    size_t j = k;
    for (; j < words.size() && words[j].format == f && words[j].stack == Dxf_Stack::kNone &&
           (j == k || !words[j].space_before || words[j].space_format.strokes == f.strokes);
         ++j) {
      if (j > k && words[j].space_before) text += ' ';
      text += words[j].text;
    }
    k = j;
    const double w = measure.width(text, f);
    l.texts.push_back(Laid_Text{dxf_new_text(drawing, shown(text), measure.look(f)), x, 0.0, f.color});
    strokes(f, from, x + w);
    x += w;
  }
  l.width = x;
  return l;
}

}  // namespace

std::vector<Dxf_Mtext_Paragraph> dxf_mtext_decode(const std::string& raw, const Dxf_Mtext_Format& base, bool* cut) {
  return Decoder(raw, base).run(cut);
}

std::vector<std::string> dxf_mtext_plain(const std::string& raw) {
  std::vector<std::string> out;
  for (const Dxf_Mtext_Paragraph& p : dxf_mtext_decode(raw, Dxf_Mtext_Format())) {
    std::string line;
    for (const Dxf_Mtext_Piece& piece : p.pieces) {
      line += piece.text;
      if (piece.stack != Dxf_Stack::kNone && !piece.text.empty() && !piece.lower.empty()) line += '/';
      line += piece.lower;
    }
    out.push_back(shown(line));
  }
  return out;
}

void dxf_place_mtext(const std::string& raw, const Dxf_Mtext_Frame& frame, const Dxf_Record& from, Dxf_Target& target) {
  Dxf_Mtext_Format base;
  base.height = frame.height > 0.0 ? frame.height : target.header().text_size;
  bool cut = false;
  const std::vector<Dxf_Mtext_Paragraph> paragraphs = dxf_mtext_decode(raw, base, &cut);
  if (cut) target.skip("MTEXT lines past " + std::to_string(kDxfMaxMtextLines));
  Measure measure(target, frame.style);
  const Dxf_Mtext_Columns& columns = frame.columns;
  const bool in_columns = columns.kind != Dxf_Column_Kind::kNone;
  // Lines wrap at the column's width, else at the reference width.
  const double wrap = in_columns && columns.width > 0.0 ? columns.width : frame.box_width;

  // Paragraphs into lines: greedy at the wrapping width, one line each
  // without one.
  std::vector<Line> lines;
  for (const Dxf_Mtext_Paragraph& p : paragraphs) {
    std::vector<Word> words = words_of(p);
    lines.emplace_back();
    lines.back().align = p.align;
    lines.back().column_break = p.column_break && in_columns;
    if (wrap <= 0.0) {
      lines.back().words = std::move(words);
      continue;
    }
    // x: where the line's ink ends so far. Parts glued to the one before
    // (no space between) stand one advance after it; `glued` is where the
    // run of them starts plus their advances.
    double x = 0.0, glued = 0.0;
    for (Word& w : words) {
      w.width = measure.width(w);
      const std::vector<Word>& line = lines.back().words;
      const bool joined = !line.empty() && !w.space_before && line.back().format == w.format &&
                          line.back().stack == Dxf_Stack::kNone && w.stack == Dxf_Stack::kNone;
      const double gap = w.space_before && !line.empty() ? measure.space(w.format) : 0.0;
      const double end = joined ? glued + w.width : x + gap + w.width;
      if (!line.empty() && end > wrap) {
        lines.emplace_back();
        lines.back().align = p.align;
        w.space_before = false;
        x = w.width;
        glued = 0.0;
      } else {
        if (!joined) glued = x + gap;
        x = end;
      }
      glued += measure.advance(w);
      lines.back().words.push_back(std::move(w));
    }
  }
  if (lines.size() > kDxfMaxMtextLines) {
    if (!cut) target.skip("MTEXT lines past " + std::to_string(kDxfMaxMtextLines));
    lines.resize(kDxfMaxMtextLines);
  }
  if (lines.empty()) return;

  std::vector<Laid> laid;
  laid.reserve(lines.size());
  for (Line& line : lines) laid.push_back(lay_line(line, measure, target.drawing(), base.height));

  // Lines down their columns: a column break, or in dynamic columns a line
  // reaching below the column's height, starts the next column.
  const double spacing = kLineSpacing * std::clamp(frame.spacing, kMinSpacing, kMaxSpacing);
  auto column_height = [&columns](size_t c) {
    if (c < columns.heights.size()) return c + 1 == columns.heights.size() ? 0.0 : columns.heights[c];
    return columns.height;
  };
  std::vector<double> baselines(laid.size());
  std::vector<size_t> column_of(laid.size());
  std::vector<double> column_bottom(1, 0.0);
  size_t column = 0;
  for (size_t i = 0; i < laid.size(); ++i) {
    double baseline = i == 0 ? -laid[i].cap : baselines[i - 1] - spacing * laid[i].cap;
    const bool first_in_column = i == 0 || laid[i].column_break;
    bool next = i > 0 && laid[i].column_break;
    if (!next && i > 0 && columns.kind == Dxf_Column_Kind::kDynamic && column_of[i - 1] == column) {
      const double height = column_height(column);
      next = height > 0.0 && -baseline > height + 1e-9 && !first_in_column;
    }
    if (next && column + 1 < kDxfMaxMtextLines) {
      ++column;
      column_bottom.push_back(0.0);
      baseline = -laid[i].cap;
    }
    baselines[i] = baseline;
    column_of[i] = column;
    column_bottom[column] = std::min(column_bottom[column], baseline);
  }

  const int a = frame.attachment >= 1 && frame.attachment <= 9 ? frame.attachment - 1 : 0;
  const Dxf_Halign h = a % 3 == 0 ? Dxf_Halign::kLeft : a % 3 == 1 ? Dxf_Halign::kCenter : Dxf_Halign::kRight;
  const Dxf_Valign v = a / 3 == 0 ? Dxf_Valign::kTop : a / 3 == 1 ? Dxf_Valign::kLowerMiddle : Dxf_Valign::kBottom;
  double lowest = baselines.back();
  for (double b : column_bottom) lowest = std::min(lowest, b);
  const double anchor =
      dxf_anchor_y(v, baselines.front(), laid.front().cap, lowest, target.x_height(measure.look(base).style));
  // A column is as wide as the column width, the reference width, else as
  // the widest line; the attachment point stands at the left, middle or
  // right of all the columns.
  double width = in_columns && columns.width > 0.0 ? columns.width : frame.box_width;
  if (width <= 0.0) {
    for (const Laid& l : laid) width = std::max(width, l.width);
  }
  const double pitch = width + (in_columns ? std::max(0.0, columns.gutter) : 0.0);
  const double left = dxf_line_start(h, pitch * double(column + 1) - (pitch - width));
  const double c = std::cos(frame.angle), s = std::sin(frame.angle);
  auto at = [&](double x, double y) {
    y -= anchor;
    return As_Pt(frame.insert.x() + x * c - y * s, frame.insert.y() + x * s + y * c, frame.insert.z());
  };

  // The fill and frame beneath each column, from its top to its last
  // baseline (or its height), wider by the margin.
  const Dxf_Mtext_Fill& fill = frame.fill;
  if (fill.color >= 0 || fill.mask || fill.frame) {
    for (size_t k = 0; k <= column; ++k) {
      const double m = fill.margin, x1 = left + pitch * double(k) - m, x2 = x1 + width + 2 * m, y1 = m;
      const double fixed = in_columns ? column_height(k) : 0.0;
      const double y2 = (fixed > 0.0 ? -fixed : column_bottom[k]) - m;
      const As_Pt corners[4] = {at(x1, y1), at(x2, y1), at(x2, y2), at(x1, y2)};
      if (fill.color >= 0 || fill.mask) {
        MB_Solid* solid = new MB_Solid(corners[0], corners[1], corners[2], corners[3]);
        solid->mask(fill.mask);
        target.place(solid, from, fill.color);
      }
      if (fill.frame) {
        for (int e = 0; e < 4; ++e) target.place(new MB_Line(corners[e], corners[(e + 1) % 4]), from);
      }
    }
  }

  for (size_t i = 0; i < laid.size(); ++i) {
    Dxf_Halign line_h = h;
    if (laid[i].align == Dxf_Paragraph_Align::kLeft) line_h = Dxf_Halign::kLeft;
    if (laid[i].align == Dxf_Paragraph_Align::kCenter) line_h = Dxf_Halign::kCenter;
    if (laid[i].align == Dxf_Paragraph_Align::kRight) line_h = Dxf_Halign::kRight;
    // The line's own end against the same point of its column.
    const double start =
        left + pitch * double(column_of[i]) - dxf_line_start(line_h, width) + dxf_line_start(line_h, laid[i].width);
    for (Laid_Text& t : laid[i].texts) {
      dxf_frame_text(*t.text, frame.insert, frame.angle, start + t.x, baselines[i] + t.y - anchor);
      target.place(t.text.release(), from, t.color);
    }
    for (const Laid_Segment& g : laid[i].segments) {
      target.place(new MB_Line(at(start + g.x1, baselines[i] + g.y1), at(start + g.x2, baselines[i] + g.y2)), from,
                   g.color);
    }
  }
}
namespace {

// Bits of an MTEXT's background flags (group 90).
constexpr int kFillColor = 1, kFillCanvas = 2, kFillFrame = 16;
// The fill reaches this many text heights past the text, less one.
constexpr double kFillScale = 1.5;

Dxf_Column_Kind column_kind(int k) {
  return k == 1 ? Dxf_Column_Kind::kStatic : k == 2 ? Dxf_Column_Kind::kDynamic : Dxf_Column_Kind::kNone;
}

// The columns of an MTEXT: in the embedded object, or in the extended data
// older versions write them to (markers of the group they stand for, each
// followed by its value).
Dxf_Mtext_Columns columns_of(const Dxf_Record& own, const Dxf_Record& embedded) {
  Dxf_Mtext_Columns c;
  c.height = std::max(0.0, own.real(46, 0.0));
  if (embedded.has(71)) {
    c.kind = column_kind(embedded.integer(71, 0));
    c.width = embedded.real(44, 0.0);
    c.gutter = embedded.real(45, 0.0);
    const size_t count = size_t(std::clamp(embedded.integer(72, 0), 0, int(kDxfMaxMtextLines)));
    for (const Dxf_Group& g : embedded.groups) {
      if (g.code == 46 && c.heights.size() < count) c.heights.push_back(dxf_real(g.value));
    }
    return c;
  }
  const std::vector<Dxf_Group>& g = own.groups;
  bool in_info = false;
  for (size_t k = 0; k < g.size(); ++k) {
    if (g[k].code == 1000) {
      if (g[k].value == "ACAD_MTEXT_COLUMN_INFO_BEGIN") in_info = true;
      if (g[k].value == "ACAD_MTEXT_COLUMN_INFO_END") in_info = false;
      if (g[k].value == "ACAD_MTEXT_DEFINED_HEIGHT_BEGIN" && k + 2 < g.size() && dxf_integer(g[k + 1].value) == 46) {
        c.height = std::max(0.0, dxf_real(g[k + 2].value));
      }
      continue;
    }
    if (!in_info || g[k].code != 1070 || k + 1 >= g.size()) continue;
    const int marker = dxf_integer(g[k].value);
    const std::string_view value = g[++k].value;
    if (marker == 75) c.kind = column_kind(dxf_integer(value));
    if (marker == 48) c.width = dxf_real(value);
    if (marker == 49) c.gutter = dxf_real(value);
    if (marker == 50) {
      const size_t count = size_t(std::clamp(dxf_integer(value), 0, int(kDxfMaxMtextLines)));
      while (c.heights.size() < count && k + 1 < g.size() && g[k + 1].code == 1040) {
        c.heights.push_back(dxf_real(g[++k].value));
      }
    }
  }
  return c;
}

// The background fill of an MTEXT: in its colour, or in the view's own
// colour, which hides what lies beneath.
Dxf_Mtext_Fill fill_of(const Dxf_Record& own, double height) {
  Dxf_Mtext_Fill f;
  const int flags = own.integer(90, 0);
  f.frame = (flags & kFillFrame) != 0;
  if (flags & (kFillColor | kFillCanvas)) f.margin = height * std::max(0.0, own.real(45, kFillScale) - 1.0);
  f.mask = (flags & kFillColor) && (flags & kFillCanvas);
  if ((flags & kFillColor) && !f.mask) {
    if (own.has(421)) {
      const int rgb = own.integer(421, 0);
      f.color = true_color(rgb);
    } else if (own.has(63)) {
      f.color = int64_t(dxf_aci_color(own.integer(63, 0)));
    }
  }
  return f;
}

}  // namespace

void dxf_add_mtext(const Dxf_Record& record, Dxf_Target& target) {
  // The embedded object's groups 10, 11 and 40 to 46 are its own location
  // and sizes, not the text's.
  Dxf_Record r, embedded;
  record.split_embedded(r, embedded);
  std::string raw;
  for (const std::string& chunk : r.texts(3)) raw += chunk;
  raw += r.text(1);
  Dxf_Mtext_Frame frame;
  frame.insert = As_Pt(r.real(10, 0.0), r.real(20, 0.0), r.real(30, 0.0));
  frame.height = r.real(40, 0.0);
  frame.box_width = r.real(41, 0.0);
  frame.attachment = r.integer(71, 1);
  frame.spacing = r.real(44, 1.0);
  frame.style = r.text(7, "Standard");
  const double dx = r.real(11, 0.0), dy = r.real(21, 0.0);
  // The direction is the world's (its X axis when neither it nor an angle
  // is given); the angle is the text's plane's.
  frame.angle = dx != 0.0 || dy != 0.0 ? Dxf_Ocs::of(r).plane_angle(As_Vec(dx, dy, r.real(31, 0.0)))
                : r.has(50)            ? r.real(50, 0.0) * kDxfDegree
                                       : Dxf_Ocs::of(r).plane_angle(As_Vec(1.0, 0.0, 0.0));
  frame.columns = columns_of(r, embedded);
  frame.fill = fill_of(r, frame.height > 0.0 ? frame.height : target.header().text_size);
  dxf_place_mtext(raw, frame, r, target);
}
