// Multi-line text: inline codes, wrapping and placing.
#include "exchange/cadbridge/dxf_mtext.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "database/entities/mb_text.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_codes.h"

namespace {

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
    if (c >= 0x80) {
      // A double-byte character whole: its second byte may be '\\' or a brace.
      if (i_ + 1 < s_.size()) append(s_.substr(i_, 2));
      i_ += 2;
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
      case '^':
        caret();
        return;
      case '\t':
        append(" ");
        return;
      case '\\':
        code();
        return;
      default:
        append(std::string(1, char(c)));
        return;
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
      case 'N':
      case 'X':
        paragraph();
        return;
      case '~':
        append(std::string(1, kDxfNoBreak));
        return;
      case '\\':
      case '{':
      case '}':
        append(std::string(1, k));
        return;
      case 'L':
      case 'l':
      case 'O':
      case 'o':
      case 'K':
      case 'k':
        return;
      case 'p':
        paragraph_code(argument());
        return;
      case 'f':
      case 'F':
      case 'A':
      case 'a':
      case 'T':
        argument();
        return;
      case 'H':
        scaled(format_.height, argument());
        return;
      case 'W':
        scaled(format_.width, argument());
        return;
      case 'Q':
        format_.oblique = dxf_real(argument()) * kDxfDegree;
        return;
      case 'C': {
        const int aci = dxf_integer(argument());
        format_.color = aci == kDxfByBlock || aci == kDxfByLayer ? base_color_ : int64_t(dxf_aci_color(aci));
        return;
      }
      case 'c': {
        const int rgb = dxf_integer(argument());
        format_.color = int64_t(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
        return;
      }
      case 'S':
        stacked(argument());
        return;
      case 'U':
      case 'u':
      case 'M':
      case 'm':
        // Kept whole for the kernel's text, which draws the code point.
        append(std::string("\\") + k);
        return;
      default:
        append(std::string("\\") + k);
        return;
    }
  }

  // The value of a code, up to its ';' (or the end).
  std::string argument() {
    const size_t end = s_.find(';', i_);
    std::string v = s_.substr(i_, end == std::string::npos ? std::string::npos : end - i_);
    i_ = end == std::string::npos ? s_.size() : end + 1;
    return v;
  }

  // "2.5" sets the value, "0.5x" scales it; nothing sound changes nothing.
  static void scaled(double& value, const std::string& v) {
    if (v.empty()) return;
    const bool relative = v.back() == 'x' || v.back() == 'X';
    const double d = dxf_real(relative ? v.substr(0, v.size() - 1) : v);
    if (!(d > 0.0) || !std::isfinite(d)) return;
    value = relative ? value * d : d;
  }

  // "1/2", "1#2" and "1^2" written on one line; an empty side leaves its
  // separator out ("2^" is a superscript 2).
  void stacked(const std::string& v) {
    const size_t sep = v.find_first_of("/#^");
    if (sep == std::string::npos) {
      append(v);
      return;
    }
    const std::string top = v.substr(0, sep), bottom = v.substr(sep + 1);
    if (top.empty() || bottom.empty()) {
      append(top + bottom);
    } else {
      append(top + "/" + bottom);
    }
  }

  // "\p...;" holds indents, tabs and, after 'q', the alignment of this
  // paragraph and those after it.
  void paragraph_code(const std::string& v) {
    const size_t q = v.find('q');
    if (q == std::string::npos || q + 1 >= v.size()) return;
    switch (v[q + 1]) {
      case 'c':
        align_ = Dxf_Paragraph_Align::kCenter;
        break;
      case 'r':
        align_ = Dxf_Paragraph_Align::kRight;
        break;
      case 'l':
      case 'j':
      case 'd':
        align_ = Dxf_Paragraph_Align::kLeft;
        break;
      default:
        return;
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
    if (!p.empty() && p.back().format == format_) {
      p.back().text += text;
    } else {
      p.push_back(Dxf_Mtext_Piece{text, format_});
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
};

using Line = std::vector<Word>;

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
    const auto key = std::make_pair(f.height, f.width);
    auto it = spaces_.find(key);
    if (it != spaces_.end()) return it->second;
    const double s = std::max(0.0, width("i i", f) - width("ii", f));
    spaces_.emplace(key, s);
    return s;
  }

  Dxf_Text_Look look(const Dxf_Mtext_Format& f) const {
    Dxf_Text_Look l;
    l.style = style_;
    l.height = f.height;
    l.width = f.width;
    l.oblique = f.oblique;
    return l;
  }

 private:
  Dxf_Target& target_;
  std::string style_;
  std::map<std::pair<double, double>, double> spaces_;
};

// The words of a paragraph, split at spaces (non-breaking ones excepted).
std::vector<Word> words_of(const Dxf_Mtext_Paragraph& p) {
  std::vector<Word> words;
  bool space = false;
  for (const Dxf_Mtext_Piece& piece : p.pieces) {
    size_t start = 0;
    while (start <= piece.text.size()) {
      size_t end = piece.text.find(' ', start);
      if (end == std::string::npos) end = piece.text.size();
      if (end > start) {
        words.push_back(Word{piece.text.substr(start, end - start), piece.format, space, 0.0});
        space = false;
      }
      if (end < piece.text.size()) space = true;
      start = end + 1;
    }
  }
  return words;
}

}  // namespace

std::vector<Dxf_Mtext_Paragraph> dxf_mtext_decode(const std::string& raw, const Dxf_Mtext_Format& base, bool* cut) {
  return Decoder(raw, base).run(cut);
}

std::vector<std::string> dxf_mtext_plain(const std::string& raw) {
  std::vector<std::string> out;
  for (const Dxf_Mtext_Paragraph& p : dxf_mtext_decode(raw, Dxf_Mtext_Format())) {
    std::string line;
    for (const Dxf_Mtext_Piece& piece : p.pieces) line += piece.text;
    out.push_back(shown(line));
  }
  return out;
}

void dxf_place_mtext(const std::string& raw, const Dxf_Mtext_Frame& frame, const Dxf_Record& from,
                     Dxf_Target& target) {
  Dxf_Mtext_Format base;
  base.height = frame.height > 0.0 ? frame.height : target.header().text_size;
  bool cut = false;
  const std::vector<Dxf_Mtext_Paragraph> paragraphs = dxf_mtext_decode(raw, base, &cut);
  if (cut) target.skip("MTEXT lines past " + std::to_string(kDxfMaxMtextLines));
  Measure measure(target, frame.style);

  // Paragraphs into lines: greedy at the reference width, one line each
  // without one.
  std::vector<Line> lines;
  std::vector<Dxf_Paragraph_Align> aligns;  // of each line's paragraph
  for (const Dxf_Mtext_Paragraph& p : paragraphs) {
    std::vector<Word> words = words_of(p);
    lines.emplace_back();
    aligns.push_back(p.align);
    if (frame.box_width <= 0.0) {
      lines.back() = std::move(words);
      continue;
    }
    double x = 0.0;
    for (Word& w : words) {
      w.width = measure.width(w.text, w.format);
      const double gap = w.space_before && !lines.back().empty() ? measure.space(w.format) : 0.0;
      if (!lines.back().empty() && x + gap + w.width > frame.box_width) {
        lines.emplace_back();
        aligns.push_back(p.align);
        w.space_before = false;
        x = w.width;
      } else {
        x += gap + w.width;
      }
      lines.back().push_back(std::move(w));
    }
  }
  if (lines.size() > kDxfMaxMtextLines) {
    if (!cut) target.skip("MTEXT lines past " + std::to_string(kDxfMaxMtextLines));
    lines.resize(kDxfMaxMtextLines);
    aligns.resize(kDxfMaxMtextLines);
  }

  // Each line's runs of one look become texts laid from x = 0; then the
  // lines are set against the attachment point.
  struct Run {
    std::unique_ptr<MB_Text> text;
    double x;
    int64_t color;
  };
  struct Laid {
    std::vector<Run> runs;
    double width = 0.0;
    double cap;
  };
  std::vector<Laid> laid(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    Laid& l = laid[i];
    l.cap = base.height;
    double x = 0.0;
    bool first_cap = true;
    for (size_t k = 0; k < lines[i].size();) {
      const Dxf_Mtext_Format& f = lines[i][k].format;
      std::string text;
      double gap = lines[i][k].space_before && k > 0 ? measure.space(f) : 0.0;
      size_t j = k;
      for (; j < lines[i].size() && lines[i][j].format == f; ++j) {
        if (j > k && lines[i][j].space_before) text += ' ';
        text += lines[i][j].text;
      }
      k = j;
      x += gap;
      std::unique_ptr<MB_Text> t = dxf_new_text(target.drawing(), shown(text), measure.look(f));
      const double w = measure.width(text, f);
      l.runs.push_back(Run{std::move(t), x, f.color});
      x += w;
      l.cap = first_cap ? f.height : std::max(l.cap, f.height);
      first_cap = false;
    }
    l.width = x;
  }
  if (laid.empty()) return;
  const double spacing = kLineSpacing * std::clamp(frame.spacing, kMinSpacing, kMaxSpacing);
  std::vector<double> baselines(laid.size());
  baselines[0] = -laid[0].cap;
  for (size_t i = 1; i < laid.size(); ++i) baselines[i] = baselines[i - 1] - spacing * laid[i].cap;

  const int a = frame.attachment >= 1 && frame.attachment <= 9 ? frame.attachment - 1 : 0;
  const Dxf_Halign h = a % 3 == 0 ? Dxf_Halign::kLeft : a % 3 == 1 ? Dxf_Halign::kCenter : Dxf_Halign::kRight;
  const Dxf_Valign v = a / 3 == 0 ? Dxf_Valign::kTop : a / 3 == 1 ? Dxf_Valign::kLowerMiddle : Dxf_Valign::kBottom;
  const double anchor =
      dxf_anchor_y(v, baselines.front(), laid.front().cap, baselines.back(), target.x_height(measure.look(base).style));
  // The column is as wide as the reference width, else as the widest line;
  // the attachment point stands at its left, middle or right.
  double column = frame.box_width;
  if (column <= 0.0) {
    for (const Laid& l : laid) column = std::max(column, l.width);
  }
  const double left = dxf_line_start(h, column);
  for (size_t i = 0; i < laid.size(); ++i) {
    Dxf_Halign line_h = h;
    if (aligns[i] == Dxf_Paragraph_Align::kLeft) line_h = Dxf_Halign::kLeft;
    if (aligns[i] == Dxf_Paragraph_Align::kCenter) line_h = Dxf_Halign::kCenter;
    if (aligns[i] == Dxf_Paragraph_Align::kRight) line_h = Dxf_Halign::kRight;
    // The line's own end against the same point of the column.
    const double start = left - dxf_line_start(line_h, column) + dxf_line_start(line_h, laid[i].width);
    for (Run& run : laid[i].runs) {
      dxf_frame_text(*run.text, frame.insert, frame.angle, start + run.x, baselines[i] - anchor);
      target.place(run.text.release(), from, run.color);
    }
  }
}

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
  frame.angle = dx != 0.0 || dy != 0.0 ? std::atan2(dy, dx) : r.real(50, 0.0) * kDxfDegree;
  dxf_place_mtext(raw, frame, r, target);
}
