// The interpreter works on the definition bytes read into memory, so that it
// never reads past a definition or the file. The current point is kept in
// pixels relative to the base point, y down, unslanted; strokes are slanted,
// rotated and rounded only when they are drawn.
#include "fonttool/shape_interpreter.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <qm_text.h>

#include "database/fonts/mb_big_font_code_page.h"
#include "database/fonts/mb_shape_code.h"

namespace fontlathe {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr size_t kStackDepth = 4;

// Shape-axis direction of each vector byte's low nibble (x right, y up).
const double kDirections[16][2] = {{1, 0},  {1, 0.5},  {1, 1},  {0.5, 1},   {0, 1},   {-0.5, 1},
                                   {-1, 1}, {-1, 0.5}, {-1, 0}, {-1, -0.5}, {-1, -1}, {-0.5, -1},
                                   {0, -1}, {0.5, -1}, {1, -1}, {1, -0.5}};

// Truncates toward zero into the int range; not a number gives 0.
int ToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (v <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

int Signed(uint8_t b) { return static_cast<int8_t>(b); }

// Work one character may do, whatever its bytes say: subshape calls (each
// may call others) and strokes. Past the budget nothing more is drawn.
struct Budget {
  int subshapes = kMaxSubshapeCalls;
  long strokes = kMaxStrokes;
  // The pen's scale at the character's first stroke; 0 before it.
  double first_scale = 0;
};

// Pen position, scale and position stack: shared by a character and the
// plain subshapes it calls.
struct PenState {
  double cx = 0, cy = 0;
  double scale = 1.0;
  bool penDown = true;
  std::vector<std::pair<double, double>> stack;
};

class Interpreter {
 public:
  Interpreter(FILE* stream, ShapeCanvas* canvas, const CharacterStyle& style, double x, double y,
              double unit, bool extendedBigFont, bool isUnifont, double fontHeight, int depth,
              Budget* budget)
      : stream_(stream),
        canvas_(canvas),
        style_(style),
        x_(x),
        y_(y),
        unit_(unit),
        extended_(extendedBigFont),
        unifont_(isUnifont),
        font_height_(fontHeight),
        depth_(depth),
        budget_(budget) {
    slant_factor_ = style.slant == 0 ? 0 : 1.0 / std::tan((90 - style.slant) * (-kPi / 180));
    sin_r_ = std::sin(-style.rotation);
    cos_r_ = std::cos(-style.rotation);
    ox_ = ToInt(x + 0.5);
    oy_ = ToInt(y + 0.5);
  }

  // Runs the specification bytes; false when opcode 15 ends the shape.
  bool Run(const ShapeDefinition& def, PenState& pen);

  // Moves the base point to the end of the pen, rounded to whole pixels
  // (half up, so that a pen 10 pixels up or left ends 10 pixels away).
  void Advance(const PenState& pen, double* x, double* y) const {
    double ix = ToInt(std::floor(pen.cx + 0.5)), iy = ToInt(std::floor(pen.cy + 0.5));
    *x = ix * cos_r_ - iy * sin_r_ + ox_;
    *y = ix * sin_r_ + iy * cos_r_ + oy_;
  }

 private:
  void ToCanvas(double px, double py, double* col, double* row) const {
    double X = px + slant_factor_ * py, Y = py;
    *col = X * cos_r_ - Y * sin_r_ + ox_ + 0.5;
    *row = X * sin_r_ + Y * cos_r_ + oy_ + 0.5;
  }

  // Moves the pen to (nx, ny), drawing a stroke when it is down.
  void LineTo(PenState& pen, double nx, double ny) {
    if (pen.penDown && budget_->first_scale == 0) budget_->first_scale = pen.scale;
    if (pen.penDown && budget_->strokes > 0) {
      --budget_->strokes;
      double c0, r0, c1, r1;
      ToCanvas(pen.cx, pen.cy, &c0, &r0);
      ToCanvas(nx, ny, &c1, &r1);
      if (std::isfinite(c0) && std::isfinite(r0) && std::isfinite(c1) && std::isfinite(r1)) {
        canvas_->DrawSegment(ToInt(c0), ToInt(r0), ToInt(c1), ToInt(r1));
      }
    }
    pen.cx = nx;
    pen.cy = ny;
  }

  // Chords from the centre at angle a0 in `count` steps, then the exact end.
  // Angles are in shape axes (y up).
  void Arc(PenState& pen, double ccx, double ccy, double rx, double ry, double a0, double step,
           int count, double a1) {
    for (int i = 1; i <= count && Drawing(pen); ++i) {
      double a = a0 + i * step;
      LineTo(pen, ccx + std::cos(a) * rx, ccy - std::sin(a) * ry);
    }
    pen.cx = ccx + std::cos(a1) * rx;
    pen.cy = ccy - std::sin(a1) * ry;
  }

  // Chords are only worth working out while they are drawn: an arc with the
  // pen up, or past the stroke budget, just moves the pen to its end.
  bool Drawing(const PenState& pen) const { return pen.penDown && budget_->strokes > 0; }

  static int ChordCount(double pixels) {
    if (!(pixels > 0)) return 0;
    return pixels + 0.5 >= kMaxArcChords ? kMaxArcChords : static_cast<int>(pixels + 0.5);
  }

  void OctantArc(PenState& pen, uint8_t r, uint8_t o);
  void FractionalArc(PenState& pen, const uint8_t* b);
  void Bulge(PenState& pen, int dx, int dy, int bulge);
  bool LoadSubshape(uint32_t code, ShapeDefinition* def);
  void Subshape(PenState& pen, uint32_t code);
  void PlacedSubshape(const PenState& pen, uint32_t code, const uint8_t* place);

  FILE* stream_;
  ShapeCanvas* canvas_;
  CharacterStyle style_;
  double x_, y_;
  double unit_;
  bool extended_;
  bool unifont_;
  double font_height_;
  int depth_;
  Budget* budget_;
  double slant_factor_, sin_r_, cos_r_;
  int ox_, oy_;
};

void Interpreter::OctantArc(PenState& pen, uint8_t r, uint8_t o) {
  double u = unit_ * pen.scale, w = style_.widthFactor;
  double s = (o & 0x80) ? -1 : 1;
  int k = (o >> 4) & 7, n = o & 15;
  double a0 = k * kPi / 4;
  double sweep = n == 0 ? 2 * kPi : s * n * kPi / 4;
  double radius = r * u;
  double ccx = pen.cx - std::cos(a0) * radius * w, ccy = pen.cy + std::sin(a0) * radius;
  int count = ChordCount(std::fabs(sweep) * r * u);
  double step = count > 0 ? std::fabs(sweep) * s / count : 0;
  Arc(pen, ccx, ccy, radius * w, radius, a0, step, count, a0 + sweep);
}

void Interpreter::FractionalArc(PenState& pen, const uint8_t* b) {
  double u = unit_ * pen.scale, w = style_.widthFactor;
  int t = b[0], e = b[1], o = b[4];
  double radius_units = b[2] * 256.0 + b[3];
  double s = (o & 0x80) ? -1 : 1;
  int k = (o >> 4) & 7;
  // Octants counted (0: all eight); with an end offset the last of them is
  // the partial one.
  int m = o % 8 == 0 ? 8 : o % 8;
  if (e != 0) m -= 1;
  double a0 = k * kPi / 4 + s * t * kPi / 1024;
  double a1 = k * kPi / 4 + s * m * kPi / 4 + s * e * kPi / 1024;
  double radius = radius_units * u;
  double ccx = pen.cx - std::cos(a0) * radius * w, ccy = pen.cy + std::sin(a0) * radius;
  double sweep = std::fabs(a1 - a0);
  int count = ChordCount(sweep * radius_units * u);
  double step = count > 0 ? sweep * s / count : 0;
  Arc(pen, ccx, ccy, radius * w, radius, a0, step, count, a1);
}

void Interpreter::Bulge(PenState& pen, int dx, int dy, int bulge) {
  double u = unit_ * pen.scale, w = style_.widthFactor;
  double ex = pen.cx + dx * u * w, ey = pen.cy - dy * u;
  if (bulge == 0) {
    LineTo(pen, ex, ey);
    return;
  }
  double chord = std::sqrt(static_cast<double>(dx * dx + dy * dy));
  double b = std::abs(bulge) / 127.0;
  double sweep = 4 * std::atan(b);
  double sense = bulge <= 0 ? 1 : -1;
  double c = std::atan2(-dy, dx) - (sweep + kPi) * sense / 2;
  if (c < 0) c += 2 * kPi;
  double rho = chord * (b * b + 1) / (4 * b);
  // Screen-axis angles here: a point at angle a is centre + (cos a, sin a).
  double ccx = pen.cx - std::cos(c) * rho * u * w, ccy = pen.cy - std::sin(c) * rho * u;
  int count = ChordCount(std::fabs(sweep) * rho * u);
  double step = count > 0 ? std::fabs(sweep) * sense / count : 0;
  for (int i = 1; i <= count && Drawing(pen); ++i) {
    double a = c + i * step;
    LineTo(pen, ccx + std::cos(a) * rho * u * w, ccy + std::sin(a) * rho * u);
  }
  pen.cx = ex;
  pen.cy = ey;
}

// Reads the definition of a subshape, within the depth and the budget of
// the character; code 0 (the font information) is never drawn.
bool Interpreter::LoadSubshape(uint32_t code, ShapeDefinition* def) {
  if (code == 0 || depth_ >= kMaxSubshapeDepth || budget_->subshapes <= 0) return false;
  --budget_->subshapes;
  ShapeEntry entry;
  bool unifont = false;
  return FindShapeEntry(stream_, code, &entry, &unifont) &&
         def->Read(stream_, entry) == ShapeDefinition::kOk;
}

// A subshape drawn on from the caller's pen with the caller's scale and stack.
void Interpreter::Subshape(PenState& pen, uint32_t code) {
  ShapeDefinition def;
  if (!LoadSubshape(code, &def)) return;
  Interpreter inner(stream_, canvas_, style_, x_, y_, unit_, extended_, unifont_, font_height_,
                    depth_ + 1, budget_);
  inner.Run(def, pen);
}

// An extended big-font subshape: its own pen from a base point moved by the
// origin (not rotated), scaled to height h and width w.
void Interpreter::PlacedSubshape(const PenState& pen, uint32_t code, const uint8_t* place) {
  double origin_x = place[0], origin_y = place[1], w = place[2], h = place[3];
  ShapeDefinition def;
  if (h == 0 || font_height_ <= 0 || !LoadSubshape(code, &def)) return;
  CharacterStyle style = style_;
  style.widthFactor = style_.widthFactor * w / h;
  double x = x_ + origin_x * unit_ * style_.widthFactor * pen.scale;
  double y = y_ - origin_y * unit_ * pen.scale;
  PenState own;
  own.scale = pen.scale * h / font_height_;
  Interpreter inner(stream_, canvas_, style, x, y, unit_, extended_, unifont_, h, depth_ + 1,
                    budget_);
  inner.Run(def, own);
}

bool Interpreter::Run(const ShapeDefinition& def, PenState& pen) {
  const uint32_t end = def.spec_available();
  uint32_t at = 0;
  uint8_t v[6];
  auto take = [&](int n) {
    if (end - at < static_cast<uint32_t>(n)) {
      at = end;
      return false;
    }
    for (int i = 0; i < n; ++i) v[i] = def.spec(at++);
    return true;
  };
  bool execute = true;
  while (at < end) {
    uint8_t op = def.spec(at++);
    if (op == SHAPE_END) break;
    if (op == SHAPE_UNUSED) return false;  // the tool draws no further
    if (op == SHAPE_VERTICAL_ONLY) {
      execute = !style_.horizontal;
      continue;
    }
    if (!execute) {
      execute = true;
      switch (op) {
        case SHAPE_DIVIDE:
        case SHAPE_MULTIPLY: take(1); break;
        case SHAPE_SUBSHAPE:
          if (take(1)) {
            if (extended_ && v[0] == 0)
              take(6);
            else if (unifont_)
              take(1);
          }
          break;
        case SHAPE_DISPLACEMENT:
        case SHAPE_OCTANT_ARC: take(2); break;
        case SHAPE_DISPLACEMENTS:
          while (take(2) && (v[0] != 0 || v[1] != 0)) {
          }
          break;
        case SHAPE_FRACTIONAL_ARC: take(5); break;
        case SHAPE_BULGE_ARC: take(3); break;
        case SHAPE_BULGE_ARCS:
          while (take(2) && (v[0] != 0 || v[1] != 0) && take(1)) {
          }
          break;
        default:
          break;
      }
      continue;
    }
    double u = unit_ * pen.scale, w = style_.widthFactor;
    switch (op) {
      case SHAPE_PEN_DOWN: pen.penDown = true; break;
      case SHAPE_PEN_UP: pen.penDown = false; break;
      case SHAPE_DIVIDE:
        if (take(1) && v[0] != 0) pen.scale /= v[0];
        break;
      case SHAPE_MULTIPLY:
        if (take(1)) pen.scale *= v[0];
        break;
      case SHAPE_PUSH:
        if (pen.stack.size() < kStackDepth) pen.stack.emplace_back(pen.cx, pen.cy);
        break;
      case SHAPE_POP:
        if (!pen.stack.empty()) {
          pen.cx = pen.stack.back().first;
          pen.cy = pen.stack.back().second;
          pen.stack.pop_back();
        }
        break;
      case SHAPE_SUBSHAPE: {
        if (!take(1)) break;
        pen.penDown = true;
        if (extended_ && v[0] == 0) {
          if (take(6)) PlacedSubshape(pen, v[0] * 256u + v[1], v + 2);
        } else if (unifont_) {
          uint8_t hi = v[0];
          if (take(1)) Subshape(pen, hi * 256u + v[0]);
        } else {
          Subshape(pen, v[0]);
        }
        break;
      }
      case SHAPE_DISPLACEMENT:
        if (take(2)) LineTo(pen, pen.cx + Signed(v[0]) * u * w, pen.cy - Signed(v[1]) * u);
        break;
      case SHAPE_DISPLACEMENTS:
        while (take(2) && (v[0] != 0 || v[1] != 0)) {
          LineTo(pen, pen.cx + Signed(v[0]) * u * w, pen.cy - Signed(v[1]) * u);
        }
        break;
      case SHAPE_OCTANT_ARC:
        if (take(2)) OctantArc(pen, v[0], v[1]);
        break;
      case SHAPE_FRACTIONAL_ARC:
        if (take(5)) FractionalArc(pen, v);
        break;
      case SHAPE_BULGE_ARC:
        if (take(3)) Bulge(pen, Signed(v[0]), Signed(v[1]), Signed(v[2]));
        break;
      case SHAPE_BULGE_ARCS:
        while (take(2) && (v[0] != 0 || v[1] != 0)) {
          int dx = Signed(v[0]), dy = Signed(v[1]);
          if (!take(1)) break;
          Bulge(pen, dx, dy, Signed(v[0]));
        }
        break;
      default: {  // vector byte: length in the high nibble, direction in the low
        double length = op >> 4;
        const double* d = kDirections[op & 15];
        LineTo(pen, pen.cx + length * d[0] * u * w, pen.cy - length * d[1] * u);
        break;
      }
    }
  }
  return true;
}

}  // namespace

namespace {

bool RunShapeBytes(const ShapeEntry& entry, FILE* stream, double* x, double* y, const CharacterStyle& style,
                   double unit, bool extendedBigFont, ShapeCanvas* canvas, double fontHeight, bool isUnifont,
                   bool isBigFont, double* firstScale) {
  ShapeDefinition def;
  if (def.Read(stream, entry) != ShapeDefinition::kOk) return false;
  if (entry.code == 0) return true;
  Budget budget;
  Interpreter interpreter(stream, canvas, style, *x, *y, unit, extendedBigFont && isBigFont,
                          isUnifont, fontHeight, 0, &budget);
  PenState pen;
  const bool ran = interpreter.Run(def, pen);
  if (firstScale != nullptr) *firstScale = budget.first_scale;
  if (!ran) return false;
  interpreter.Advance(pen, x, y);
  return true;
}

}  // namespace

bool DrawShapeBytes(const ShapeEntry& entry, FILE* stream, double* x, double* y, const CharacterStyle& style,
                    double unit, bool extendedBigFont, ShapeCanvas* canvas, double fontHeight, bool isUnifont,
                    bool isBigFont) {
  return RunShapeBytes(entry, stream, x, y, style, unit, extendedBigFont, canvas, fontHeight, isUnifont, isBigFont,
                       nullptr);
}

bool DrawCharacter(FILE* stream, uint32_t code, std::string* message, double* x, double* y,
                   const CharacterStyle& style, double unit, bool extendedBigFont,
                   ShapeCanvas* canvas, double fontHeight) {
  ShapeEntry entry;
  bool unifont = false, big = false, found = false;
  const char* missing = "";
  switch (DetectFontKind(stream)) {
    case FontKind::kShapes:
      found = FindShapesCode(code, stream, &entry) == 0;
      missing = "Cannot find code %u .";
      break;
    case FontKind::kUnifont:
      unifont = true;
      found = std::fseek(stream, kUnifontHeaderSkip, SEEK_SET) == 0 &&
              FindUnifontCode(code, stream, &entry) == 0;
      missing = "Cannot find code %u";
      break;
    case FontKind::kBigFont: {
      big = true;
      BigFontHeader header;
      found = std::fseek(stream, kBigFontHeaderSkip, SEEK_SET) == 0 &&
              SkipBigFontHeader(stream, &header) &&
              FindBigFontCode(code, stream, &entry, header.count) >= 0;
      missing = "Cannot find code %u.";
      break;
    }
    case FontKind::kUnknown:
      return false;
  }
  if (!found) {
    if (message != nullptr) *message = Format(missing, code);
    return false;
  }
  return DrawShapeBytes(entry, stream, x, y, style, unit, big && extendedBigFont, canvas,
                        fontHeight, unifont, big);
}

namespace {

// The character height and width of an open font; false, with a message
// naming that font, when it gives none to draw with.
bool FontHeight(FILE* font, const char* path, uint32_t* h, uint32_t* w, bool* extended, std::string* message) {
  std::string why;
  if (!ReadFontHeight(font, h, w, extended))
    why = WithReason("Get height data ERROR!", Format("%s: no readable font information (shape 0)", path));
  else if (*h == 0 || *w == 0)
    why = WithReason("Text height data ERROR!", Format("%s: a character height or width of 0", path));
  if (why.empty()) return true;
  if (message != nullptr) *message = why;
  return false;
}

}  // namespace

namespace {

// The characters of a text as the preview reads them: Unicode code points,
// from UTF-8 (when the text is UTF-8) or from GBK. A byte that makes no
// character is kBadCode.
constexpr uint32_t kBadCode = 0xFFFFFFFF;

std::vector<uint32_t> PreviewCharacters(const char* text, TextEncoding encoding) {
  std::vector<uint32_t> codes;
  const std::string bytes = text;
  const std::u16string units =
      encoding == TextEncoding::kUtf8 && qm_is_utf8(bytes) ? qm_utf8_to_utf16(bytes) : qm_gbk_to_utf16(bytes);
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    codes.push_back(c == 0xFFFD ? kBadCode : c);
  }
  return codes;
}

// What the preview knows of its big font: whether it is one, the code page
// its codes are in (mb_big_font_code_page.h), its lead-byte ranges, and its
// height above and depth below the baseline.
struct BigFontFacts {
  bool isBigFont = false;
  MB_Code_Page page = MB_Code_Page::kGbk;
  std::vector<MB_Lead_Range> ranges;
  uint32_t above = 0, below = 0;
};

BigFontFacts ReadBigFontFacts(FILE* big, const char* path) {
  BigFontFacts f;
  BigFontHeader header;
  ShapeEntry entry;
  ShapeDefinition def;
  if (DetectFontKind(big) != FontKind::kBigFont || std::fseek(big, kBigFontHeaderSkip, SEEK_SET) != 0 ||
      !SkipBigFontHeader(big, &header)) {
    return f;
  }
  for (size_t i = 0; i + 1 < header.ranges.size(); i += 2) {
    if (header.ranges[i] <= 0xFF && header.ranges[i + 1] <= 0xFF) {
      f.ranges.push_back(
          MB_Lead_Range{static_cast<uint8_t>(header.ranges[i]), static_cast<uint8_t>(header.ranges[i + 1])});
    }
  }
  if (FindBigFontCode(0, big, &entry, header.count) < 0 || def.Read(big, entry) != ShapeDefinition::kOk ||
      def.spec_available() < 2) {
    return f;
  }
  f.isBigFont = true;
  f.above = def.spec(0);
  f.below = def.spec(1);
  f.page = mb_big_font_code_page(path, f.ranges, MB_Code_Page::kUnknown);
  return f;
}

// The big font's code of a character: its double-byte code in the font's
// code page when the lead byte is one of the font's; else 0.
uint32_t BigFontCode(const BigFontFacts& f, uint32_t c) {
  const uint32_t code = f.isBigFont ? mb_code_page_code(f.page, c) : 0;
  return code && mb_big_font_lead_byte(f.ranges, f.page, static_cast<uint8_t>(code >> 8)) ? code : 0;
}

class NoCanvas : public ShapeCanvas {
 public:
  void DrawSegment(int, int, int, int) override {}
};

// Draws the big font's glyph of a code `height` pixels tall, sized as the
// kernel sizes it: by the font's height above the baseline, or, for a font
// that gives none, by its cell at the scale its first stroke is drawn at
// (big_font_cell_units). False when the font lacks the code.
bool DrawBigGlyph(FILE* big, const BigFontFacts& f, uint32_t code, double* x, double* y, const CharacterStyle& style,
                  double height, bool extended, ShapeCanvas* canvas) {
  BigFontHeader header;
  ShapeEntry entry;
  if (std::fseek(big, kBigFontHeaderSkip, SEEK_SET) != 0 || !SkipBigFontHeader(big, &header) ||
      FindBigFontCode(code, big, &entry, header.count) < 0) {
    return false;
  }
  const double fontHeight = f.above != 0 ? f.above : f.below != 0 ? f.below : 1.0;
  double units = fontHeight;
  if (f.above == 0) {
    NoCanvas none;
    double scale = 0, dx = *x, dy = *y;
    RunShapeBytes(entry, big, &dx, &dy, style, 1.0, extended, &none, fontHeight, false, true, &scale);
    units = big_font_cell_units(f.below, scale);
  }
  return RunShapeBytes(entry, big, x, y, style, height / units, extended, canvas, fontHeight, false, true, nullptr);
}

// The mark of a character the font lacks: a box in a cell `width` pixels
// wide and `height` tall on the base point, which then moves past the cell.
void DrawMissingMark(ShapeCanvas* canvas, double* x, double* y, double width, double height,
                     const CharacterStyle& style) {
  const double c = std::cos(-style.rotation), s = std::sin(-style.rotation);
  auto at = [&](double u, double v, int* col, int* row) {
    *col = ToInt(*x + u * c - v * s + 0.5);
    *row = ToInt(*y + u * s + v * c + 0.5);
  };
  const double u0 = 0.1 * width, u1 = 0.9 * width, v0 = 0, v1 = -height;
  const double corners[5][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}, {u0, v0}};
  for (int k = 0; canvas != nullptr && k < 4; ++k) {
    int c0, r0, c1, r1;
    at(corners[k][0], corners[k][1], &c0, &r0);
    at(corners[k + 1][0], corners[k + 1][1], &c1, &r1);
    canvas->DrawSegment(c0, r0, c1, r1);
  }
  *x += width * c;
  *y += width * s;
}

}  // namespace

// A big font's glyph is sized as the text preview and the kernel size it
// (DrawBigGlyph), so that the code view shows what text draws; a code the
// big font lacks takes the path of other fonts, which says so.
bool DrawCodeView(const char* fontPath, const char* hexCode, std::string& message, double* x,
                  double* y, const CharacterStyle& style, double height, ShapeCanvas* canvas) {
  FILE* font = OpenFontForRead(fontPath, "Cannot open %s for read!", &message);
  if (font == nullptr) return false;
  uint32_t h = 0, w = 0;
  bool extended = false, ok = false;
  if (FontHeight(font, fontPath, &h, &w, &extended, &message)) {
    double unit = height / h;
    uint32_t code = ParseHexCode(hexCode);
    const BigFontFacts big = ReadBigFontFacts(font, fontPath);
    if (big.isBigFont && code != 0 && DrawBigGlyph(font, big, code, x, y, style, height, extended, canvas)) {
      ok = true;
    } else if (code >= 0xA0) {
      ok = DrawCharacter(font, code, &message, x, y, style, unit, extended, canvas, h);
    } else {
      CharacterStyle narrow = style;
      narrow.widthFactor = style.widthFactor * w / h;
      ok = DrawCharacter(font, code, &message, x, y, narrow, unit, extended, canvas, h) ||
           DrawCharacter(font, '?', &message, x, y, narrow, unit, extended, canvas, h);
    }
  }
  std::fclose(font);
  return ok;
}

bool PreviewText(const char* fontPath, const char* bigFontPath, const char* text,
                 std::string* message, double* x, double* y, const CharacterStyle& style,
                 double height, ShapeCanvas* canvas, TextEncoding encoding) {
  const char* cannot_open = "Cannot open SHX file %s for read!";
  FILE* normal = OpenFontForRead(fontPath, cannot_open, message);
  if (normal == nullptr) return false;
  FILE* big = OpenFontForRead(bigFontPath, cannot_open, message);
  if (big == nullptr) {
    std::fclose(normal);
    return false;
  }
  uint32_t hn = 0, wn = 0, hb = 0, wb = 0;
  bool ext_normal = false, ext_big = false;
  // Each font answers for itself: a broken big font is named, not the main one.
  bool ok = FontHeight(normal, fontPath, &hn, &wn, &ext_normal, message) &&
            FontHeight(big, bigFontPath, &hb, &wb, &ext_big, message);
  if (ok) {
    const bool unifont = DetectFontKind(normal) == FontKind::kUnifont;
    const BigFontFacts facts = ReadBigFontFacts(big, bigFontPath);
    double unit_normal = height / hn;
    CharacterStyle narrow = style;
    narrow.widthFactor = style.widthFactor * wn / hn;
    // A character no font has advances by the font's width.
    const double cell = wn * unit_normal * style.widthFactor;
    for (uint32_t c : PreviewCharacters(text, encoding)) {
      bool drawn = false;
      if (c != kBadCode) {
        // The big font first, by the code of the character in its own code
        // page; then the normal font: a unifont by the code point, a font
        // of GBK codes by the character's GBK code.
        const uint32_t code = BigFontCode(facts, c);
        drawn = code != 0 && DrawBigGlyph(big, facts, code, x, y, style, height, ext_big, canvas);
        const uint32_t own = unifont || c < 0x80 ? c : mb_code_page_code(MB_Code_Page::kGbk, c);
        if (!drawn && own != 0) {
          drawn = DrawCharacter(normal, own, message, x, y, narrow, unit_normal, ext_normal, canvas, hn);
        }
      }
      if (drawn) continue;
      if (c == ' ') {
        DrawMissingMark(nullptr, x, y, cell, height, style);  // a space the font lacks: room, no mark
      } else {
        DrawMissingMark(canvas, x, y, cell, height, style);
      }
    }
  }
  std::fclose(big);
  std::fclose(normal);
  return ok;
}

}  // namespace fontlathe
