// Reading HPGL plot files into the current drawing.
//
// A byte tokenizer cuts the file into instructions: two letters (a run of
// letters such as PUPA is its two-letter instructions in order) and the
// numbers that follow them up to the next instruction. Numbers may carry a
// sign and decimals; commas, blanks, CR, LF and every other byte that is not
// a letter end a number. ';' ends a number but not the instruction, so the
// pairs of "PD40,0;40,0;" all belong to the PD. Label text (LB, BL) is
// skipped up to the label terminator (ETX unless DT set another), SM's symbol
// character is skipped, and a device-control sequence (ESC '.' and a code)
// is an instruction of its own that is dropped.
//
// Each instruction is interpreted as soon as the next one begins (and at the
// end of the file) with one pen: up, absolute, at the origin at the start.
// PU and PD set the pen, PA and PR set absolute or relative coordinates, and
// the coordinates of all four move the pen in the mode of the last PA or PR;
// a move with the pen down makes a white chain of lines from the pen through
// the points. CI makes a circle at the pen. The arcs AA and AR are not
// drawn, but they move the pen to the arc's end, so what follows them lands
// where the plotter puts it.
#include <qm_file.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <new>
#include <vector>

#include "database/entities/mb_circle.h"
#include "database/entities/mb_lines.h"
#include "database/mb_drawing.h"
#include "exchange/hpgl/penplot.h"

namespace {

constexpr unsigned char kEtx = 0x03;
constexpr unsigned char kEsc = 0x1b;
// Chains read from a plot file are white.
constexpr int32_t kPlotColor = 0xFFFFFF;
// Numbers are clamped to the 32-bit range of plotter coordinates.
constexpr double kMaxNumber = 2147483647.0;
// Significant digits a number keeps (exact in a double, so a decimal is
// one correctly rounded division); further digits of the integer part
// still count as powers of ten, further decimals are dropped.
constexpr int kMaxDigits = 15;
// A move with more numbers than this is drawn in pieces, so one endless
// instruction never holds the whole file.
constexpr size_t kMaxPending = size_t(1) << 20;
// The numbers of an arc that move the pen: centre x, y and the angle.
constexpr size_t kArcNumbers = 3;

inline bool is_letter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
inline unsigned char to_upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

constexpr int instruction(unsigned char a, unsigned char b) { return (a << 8) | b; }

enum Instruction : int {
  kPenUp = instruction('P', 'U'),
  kPenDown = instruction('P', 'D'),
  kPlotAbsolute = instruction('P', 'A'),
  kPlotRelative = instruction('P', 'R'),
  kCircle = instruction('C', 'I'),
  kArcAbsolute = instruction('A', 'A'),
  kArcRelative = instruction('A', 'R'),
  kLabel = instruction('L', 'B'),
  kBufferLabel = instruction('B', 'L'),
  kDefineTerminator = instruction('D', 'T'),
  kSymbolMode = instruction('S', 'M'),
};

double power_of_ten(int n) {
  static const double table[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  return n < 23 ? table[n] : std::pow(10.0, n);
}

// The pen of one read.
struct Hpgl_Pen_State {
  bool down = false;
  bool relative = false;
  As_Pt current;
};

class Hpgl_Reader {
 public:
  explicit Hpgl_Reader(MB_Drawing& drawing) : drawing_(drawing) {}

  void feed(const unsigned char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) byte(bytes[i]);
  }

  // The end of the file completes what is still open.
  void finish() {
    if (mode_ == Mode::kNormal && letter_) begin_instruction(instruction(letter_, 0));
    end_number();
    end_instruction();
  }

 private:
  enum class Mode { kNormal, kLabel, kTerminator, kSymbol, kEscape, kEscapeCode };

  void byte(unsigned char c) {
    switch (mode_) {
      case Mode::kNormal:
        break;
      case Mode::kLabel:
        if (c == terminator_) mode_ = Mode::kNormal;
        return;
      case Mode::kTerminator:
        mode_ = Mode::kNormal;
        if (c == ';' || c == 0 || c == '\n' || c == kEsc) {
          terminator_ = kEtx;
          break;
        }
        terminator_ = c;
        return;
      case Mode::kSymbol:
        mode_ = Mode::kNormal;
        if (c == ';') break;
        return;
      case Mode::kEscape:
        mode_ = Mode::kNormal;
        if (c == '.') {
          mode_ = Mode::kEscapeCode;
          return;
        }
        break;
      case Mode::kEscapeCode:
        mode_ = Mode::kNormal;
        begin_instruction(instruction(kEsc, c));
        return;
    }
    if (is_letter(c)) {
      if (letter_) {
        const unsigned char first = letter_;
        letter_ = 0;
        begin_instruction(instruction(first, to_upper(c)));
      } else {
        end_number();
        end_instruction();
        letter_ = to_upper(c);
      }
      return;
    }
    if (letter_) {
      // A letter on its own, as in device-control sequences.
      const unsigned char first = letter_;
      letter_ = 0;
      begin_instruction(instruction(first, 0));
    }
    if (is_digit(c)) {
      if (!in_number_) start_number();
      digit(c - '0');
    } else if (c == '.') {
      if (in_number_ && !dot_) {
        dot_ = true;
      } else {
        end_number();
        start_number();
        dot_ = true;
      }
    } else if (c == '-' || c == '+') {
      end_number();
      start_number();
      negative_ = c == '-';
    } else if (c == kEsc) {
      end_number();
      end_instruction();
      mode_ = Mode::kEscape;
    } else {
      end_number();
    }
  }

  void start_number() {
    in_number_ = true;
    negative_ = false;
    dot_ = false;
    any_digit_ = false;
    mantissa_ = 0;
    significant_ = 0;
    decimals_ = 0;
    dropped_ = 0;
  }

  void digit(int d) {
    any_digit_ = true;
    if (significant_ < kMaxDigits) {
      mantissa_ = mantissa_ * 10 + static_cast<uint64_t>(d);
      if (mantissa_ != 0) ++significant_;
      if (dot_) ++decimals_;
    } else if (!dot_ && dropped_ < 400) {
      ++dropped_;
    }
  }

  // A sign or a point without digits is no number.
  void end_number() {
    if (!in_number_) return;
    in_number_ = false;
    if (!any_digit_ || !active_) return;
    double v = static_cast<double>(mantissa_);
    if (dropped_) v *= power_of_ten(dropped_);
    if (decimals_) v /= power_of_ten(decimals_);
    if (v > kMaxNumber) v = kMaxNumber;
    // Only moves keep all their numbers, CI its first and the arcs their
    // centre and angle; the numbers of every other instruction would be
    // dropped anyway.
    if (!is_move(code_) && (code_ != kCircle || !params_.empty()) &&
        (!is_arc(code_) || params_.size() >= kArcNumbers))
      return;
    params_.push_back(negative_ ? -v : v);
    if (params_.size() >= kMaxPending) {
      interpret();
      params_.clear();
    }
  }

  void begin_instruction(int code) {
    end_number();
    end_instruction();
    active_ = true;
    code_ = code;
    params_.clear();
    if (code == kLabel || code == kBufferLabel) {
      mode_ = Mode::kLabel;
    } else if (code == kDefineTerminator) {
      mode_ = Mode::kTerminator;
    } else if (code == kSymbolMode) {
      mode_ = Mode::kSymbol;
    }
  }

  void end_instruction() {
    if (!active_) return;
    interpret();
    active_ = false;
    params_.clear();
  }

  static bool is_arc(int code) { return code == kArcAbsolute || code == kArcRelative; }

  static bool is_move(int code) {
    return code == kPenUp || code == kPenDown || code == kPlotAbsolute || code == kPlotRelative;
  }

  void interpret() {
    switch (code_) {
      case kPenUp:
        pen_.down = false;
        move();
        break;
      case kPenDown:
        pen_.down = true;
        move();
        break;
      case kPlotAbsolute:
        pen_.relative = false;
        move();
        break;
      case kPlotRelative:
        pen_.relative = true;
        move();
        break;
      case kCircle:
        circle();
        break;
      case kArcAbsolute: case kArcRelative:
        arc_end();
        break;
      default:
        break;
    }
  }

  // The pairs of numbers in the pen's mode; a number without a partner is
  // dropped. With the pen down they are drawn from the pen.
  void move() {
    const size_t n = params_.size() / 2;
    if (n == 0) return;
    As_Pt prev = pen_.current;
    if (!pen_.down) {
      for (size_t i = 0; i < n; ++i) prev = next_point(prev, i);
      pen_.current = prev;
      return;
    }
    MB_Lines* lines = new (std::nothrow) MB_Lines(static_cast<int>(n + 1));
    if (!lines || lines->count() != static_cast<int>(n + 1)) {
      delete lines;
      return;
    }
    As_Pt* pts = lines->points();
    pts[0] = prev;
    for (size_t i = 0; i < n; ++i) pts[i + 1] = prev = next_point(prev, i);
    pen_.current = prev;
    lines->general().color(kPlotColor);
    lines->general().display_color(kPlotColor);
    lines->build_draw();
    drawing_.add_object(lines);
  }

  As_Pt next_point(const As_Pt& prev, size_t pair) const {
    const double x = params_[2 * pair], y = params_[2 * pair + 1];
    return pen_.relative ? As_Pt(prev.x() + x, prev.y() + y, 0.0) : As_Pt(x, y, 0.0);
  }

  // An arc is not drawn, but the pen ends where the plotter's does: turned
  // about the centre (absolute, or relative to the pen for AR) by the angle
  // in degrees, counter-clockwise when positive. The chord angle is not used.
  void arc_end() {
    if (params_.size() < kArcNumbers) return;
    const As_Pt& p = pen_.current;
    const double cx = code_ == kArcRelative ? p.x() + params_[0] : params_[0];
    const double cy = code_ == kArcRelative ? p.y() + params_[1] : params_[1];
    const double a = params_[2] * (qm_pi / 180.0);
    const double dx = p.x() - cx, dy = p.y() - cy, c = std::cos(a), s = std::sin(a);
    pen_.current = As_Pt(cx + dx * c - dy * s, cy + dx * s + dy * c, 0.0);
  }

  // A radius of either sign draws its size; a radius of 0 draws nothing.
  void circle() {
    if (params_.empty()) return;
    const double r = std::fabs(params_[0]);
    if (r == 0.0) return;
    MB_Circle* c = new (std::nothrow) MB_Circle(pen_.current, r);
    if (!c) return;
    c->build_draw();
    drawing_.add_object(c);
  }

  MB_Drawing& drawing_;
  Hpgl_Pen_State pen_;
  Mode mode_ = Mode::kNormal;
  unsigned char terminator_ = kEtx;
  unsigned char letter_ = 0;  // first letter of an instruction being read
  bool active_ = false;       // an instruction is collecting numbers
  int code_ = 0;
  std::vector<double> params_;
  bool in_number_ = false;
  bool negative_ = false;
  bool dot_ = false;
  bool any_digit_ = false;
  uint64_t mantissa_ = 0;
  int significant_ = 0;
  int decimals_ = 0;
  int dropped_ = 0;
};

}  // namespace

bool api_mb_load_hpgl_file(const char* path) {
  if (!path || !g_current_drawing || !qm_is_regular_file(path)) return false;
  FILE* f = qm_fopen(path, "rb");
  if (!f) return false;
  Hpgl_Reader reader(*g_current_drawing);
  static constexpr size_t kChunk = 64 * 1024;
  std::vector<unsigned char> buffer(kChunk);
  size_t n;
  while ((n = std::fread(buffer.data(), 1, kChunk, f)) > 0) reader.feed(buffer.data(), n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  reader.finish();
  return ok;
}
