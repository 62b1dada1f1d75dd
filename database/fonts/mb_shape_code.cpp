// Shape byte-code interpreter: see mb_shape_code.h.
#include "database/fonts/mb_shape_code.h"

#include <cmath>

#include "database/fonts/mb_glyph_budget.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

namespace {

int8_t s8(uint8_t b) { return static_cast<int8_t>(b); }

// Arcs are cut into chords of at most this angle, so that no chord strays
// from its arc by more than 0.5% of the radius (r (1 - cos 0.1)).
constexpr double kMaxChordAngle = 0.2;

// Chords for an arc of a sweep.
int chords_for(double sweep) {
  const double n = std::ceil(std::fabs(sweep) / kMaxChordAngle - 1e-9);
  return n < 1 ? 1 : static_cast<int>(n);
}

// Unit moves of the 16 vector directions: the major component 1, the minor
// one 0.5 for odd directions.
const double kDir[16][2] = {{1, 0},     {1, 0.5},   {1, 1},   {0.5, 1},  {0, 1},   {-0.5, 1},
                            {-1, 1},    {-1, 0.5},  {-1, 0},  {-1, -0.5}, {-1, -1}, {-0.5, -1},
                            {0, -1},    {0.5, -1},  {1, -1},  {1, -0.5}};

}  // namespace

struct Shape_Interpreter::State {
  double x = 0, y = 0;
  // Font units to glyph units across and up: equal, but for a shape placed
  // in the box of an extended big-font reference.
  double sx = 1.0, sy = 1.0;
  bool down = true;
  Shape_Stroke stroke;  // the open stroke; empty until the pen moves
  std::vector<As_Pt> stack;
  long steps = 0;
  long limit = 0;  // the steps the budgets allow
  Shape_Glyph* out = nullptr;

  void flush() {
    if (stroke.size() >= 2) out->strokes.push_back(std::move(stroke));
    stroke.clear();
  }
  // Every point is a step.
  void move_to(double nx, double ny) {
    ++steps;
    if (down) {
      if (out->draw_scale == 0) out->draw_scale = sy;
      if (stroke.empty()) stroke.emplace_back(x, y, 0.0);
      stroke.emplace_back(nx, ny, 0.0);
    }
    x = nx;
    y = ny;
  }
  void move_by(double dx, double dy) { move_to(x + dx, y + dy); }
  // A move of (du, dv) font units.
  void move_units(double du, double dv) { move_by(du * sx, dv * sy); }
  // Chords of the arc about (cu, cv) font units from the position, of radius
  // r units, from angle a0 through sweep in `chords` steps; the last point
  // is `end` units from the start, exactly.
  void arc_units(double cu, double cv, double r, double a0, double sweep, int chords, double eu, double ev) {
    const double x0 = x, y0 = y;
    for (int k = 1; k < chords; ++k) {
      const double a = a0 + sweep * k / chords;
      move_to(x0 + (cu + r * std::cos(a)) * sx, y0 + (cv + r * std::sin(a)) * sy);
    }
    move_to(x0 + eu * sx, y0 + ev * sy);
  }
};

void Shape_Interpreter::vector_move(uint8_t code, double* dx, double* dy) {
  const double len = code >> 4;
  *dx = kDir[code & 15][0] * len;
  *dy = kDir[code & 15][1] * len;
}

size_t Shape_Interpreter::skip_code(const uint8_t* data, size_t size, size_t i, Shape_Font_Kind kind) {
  const size_t end = code_end(data, size, i, kind);
  return end < size ? end : size;
}

size_t Shape_Interpreter::code_end(const uint8_t* data, size_t size, size_t i, Shape_Font_Kind kind) {
  if (i >= size) return size + 1;
  size_t n = 0;
  switch (data[i++]) {
    case SHAPE_DIVIDE:
    case SHAPE_MULTIPLY: n = 1; break;
    case SHAPE_SUBSHAPE:
      if (kind == Shape_Font_Kind::kUnifont) n = 2;
      else if (kind == Shape_Font_Kind::kBigFont && i < size && data[i] == 0) n = 7;
      else n = 1;
      break;
    case SHAPE_DISPLACEMENT: n = 2; break;
    case SHAPE_OCTANT_ARC: n = 2; break;
    case SHAPE_FRACTIONAL_ARC: n = 5; break;
    case SHAPE_BULGE_ARC: n = 3; break;
    case SHAPE_DISPLACEMENTS:
      while (i + 1 < size && (data[i] || data[i + 1])) i += 2;
      n = 2;
      break;
    case SHAPE_BULGE_ARCS:
      while (i + 1 < size && (data[i] || data[i + 1])) i += 3;
      n = 2;
      break;
    default: break;
  }
  return i + n;
}

Shape_Glyph Shape_Interpreter::run(const uint8_t* data, size_t size) {
  MB_Glyph_Budget glyph(MB_Glyph_Budget::kGlyph);
  Shape_Glyph g;
  State s;
  s.out = &g;
  s.limit = MB_Glyph_Budget::available();
  exec(s, data, size, 0);
  g.cost = s.steps;
  g.cut = s.steps > s.limit;
  MB_Glyph_Budget::spend(s.steps);
  s.flush();
  g.end = As_Pt(s.x, s.y, 0.0);
  return g;
}

// A subshape starts with the pen down, as every shape does, and leaves the
// caller its final pen state, position and scale.
void Shape_Interpreter::subshape(State& s, uint32_t code, int depth) {
  if (depth >= kMaxDepth || code == 0) return;
  const std::vector<uint8_t>* bytes = lookup_(code);
  if (!bytes || bytes->empty()) return;
  s.down = true;
  exec(s, bytes->data(), bytes->size(), depth + 1);
}

bool Shape_Interpreter::exec(State& s, const uint8_t* d, size_t n, int depth) {
  size_t i = 0;
  while (i < n) {
    if (++s.steps > s.limit) return false;
    const uint8_t code = d[i];
    // Operands cut off by the end of the shape end it; the lists of
    // displacements and bulge arcs run the entries they have.
    const size_t next = code_end(d, n, i, kind_);
    if (next > n && code != SHAPE_DISPLACEMENTS && code != SHAPE_BULGE_ARCS) break;
    const uint8_t* op = d + i + 1;
    switch (code) {
      case SHAPE_END:
        if (depth == 0) s.flush();
        return true;
      case SHAPE_PEN_DOWN: s.down = true; break;
      case SHAPE_PEN_UP:
        s.flush();
        s.down = false;
        break;
      case SHAPE_DIVIDE:
        if (op[0]) {
          s.sx /= op[0];
          s.sy /= op[0];
        }
        break;
      case SHAPE_MULTIPLY:
        if (op[0]) {
          s.sx *= op[0];
          s.sy *= op[0];
        }
        break;
      case SHAPE_PUSH:
        if (s.stack.size() < kMaxStack) s.stack.emplace_back(s.x, s.y, 0.0);
        break;
      case SHAPE_POP:
        if (!s.stack.empty()) {
          s.flush();
          s.x = s.stack.back().x();
          s.y = s.stack.back().y();
          s.stack.pop_back();
        }
        break;
      case SHAPE_SUBSHAPE:
        if (kind_ == Shape_Font_Kind::kUnifont) {
          subshape(s, uint32_t(op[0]) << 8 | op[1], depth);
        } else if (kind_ == Shape_Font_Kind::kBigFont && op[0] == 0) {
          // Extended reference: the shape drawn in the box (x, y, w, h) whose
          // corner is offset from the position, scaled to fill it across by
          // w against the cell's width and up by h against its height. The
          // position and the pen do not change.
          const double x = s.x, y = s.y, sx = s.sx, sy = s.sy;
          const bool down = s.down;
          s.flush();
          s.x += op[3] * sx;
          s.y += op[4] * sy;
          s.sx = sx * op[5] / cell_width_;
          s.sy = sy * op[6] / font_height_;
          subshape(s, uint32_t(op[1]) << 8 | op[2], depth);
          s.flush();
          s.x = x;
          s.y = y;
          s.sx = sx;
          s.sy = sy;
          s.down = down;
        } else {
          subshape(s, op[0], depth);
        }
        break;
      case SHAPE_DISPLACEMENT: s.move_units(s8(op[0]), s8(op[1])); break;
      case SHAPE_DISPLACEMENTS:
        for (size_t k = i + 1; k + 1 < n && (d[k] || d[k + 1]) && s.steps <= s.limit; k += 2) {
          s.move_units(s8(d[k]), s8(d[k + 1]));
        }
        break;
      case SHAPE_OCTANT_ARC: {
        // Octants of a circle of radius r from octant so; the end comes from
        // the exact table.
        const double r = op[0];
        const uint8_t c = op[1];
        const int turn = (c & 0x80) ? -1 : 1;
        const int so = (c >> 4) & 7;
        const int count = (c & 0x0F) ? (c & 0x0F) : 8;
        const As_Pt& from = unit_circle_pts[2 * so];
        const As_Pt& to = unit_circle_pts[((2 * (so + turn * count)) % 16 + 16) % 16];
        const double cu = -r * from.x(), cv = -r * from.y();
        s.arc_units(cu, cv, r, so * qm_pi / 4, turn * count * qm_pi / 4, count * chords_for(qm_pi / 4),
                    cu + r * to.x(), cv + r * to.y());
        break;
      }
      case SHAPE_FRACTIONAL_ARC: {
        // From octant so plus a start offset, over the octants counted (0:
        // all eight) to an end offset in 256ths of an octant; with an end
        // offset the last octant counted is the partial one.
        const double r = op[2] * 256.0 + op[3];
        const uint8_t c = op[4];
        const double sense = (c & 0x80) ? -1.0 : 1.0;
        const int so = (c >> 4) & 7;
        const int octants = (c & 7) ? (c & 7) : 8;
        const int m = op[1] ? octants - 1 : octants;
        const double a0 = so * qm_pi / 4 + sense * op[0] * qm_pi / 1024;
        const double a1 = so * qm_pi / 4 + sense * m * qm_pi / 4 + sense * op[1] * qm_pi / 1024;
        const double cu = -r * std::cos(a0), cv = -r * std::sin(a0);
        s.arc_units(cu, cv, r, a0, a1 - a0, chords_for(a1 - a0), cu + r * std::cos(a1), cv + r * std::sin(a1));
        break;
      }
      case SHAPE_BULGE_ARC:
      case SHAPE_BULGE_ARCS: {
        size_t k = i + 1;
        do {
          if (s.steps > s.limit) break;
          if (code == SHAPE_BULGE_ARCS && (k + 1 >= n || (d[k] == 0 && d[k + 1] == 0))) break;
          if (k + 2 >= n) break;
          const double dx = s8(d[k]), dy = s8(d[k + 1]);
          const int b = s8(d[k + 2]);
          k += 3;
          const double len = std::hypot(dx, dy);
          if (len == 0) continue;  // no chord: no move
          if (b == 0) {
            s.move_units(dx, dy);
            continue;
          }
          // Sagitta h to the right of the chord for a positive bulge; the
          // arc runs counter-clockwise then, clockwise for a negative one.
          // Worked in font units from the position.
          const double h = len * b / 254.0, half = len / 2;
          const double nx = dy / len, ny = -dx / len;
          const double rad = (half * half + h * h) / (2 * std::fabs(h));
          const double off = h - (h > 0 ? rad : -rad);
          const double cu = dx / 2 + nx * off, cv = dy / 2 + ny * off;
          const double as = std::atan2(-cv, -cu);
          const double ae = std::atan2(dy - cv, dx - cu);
          double sweep = b > 0 ? ae - as : as - ae;
          while (sweep <= 0) sweep += two_pi;
          while (sweep > two_pi) sweep -= two_pi;
          if (b < 0) sweep = -sweep;
          s.arc_units(cu, cv, rad, as, sweep, chords_for(sweep), dx, dy);
        } while (code == SHAPE_BULGE_ARCS);
        break;
      }
      case SHAPE_VERTICAL_ONLY:
        // Vertical text only: the next code is skipped with its operands.
        i = skip_code(d, n, next, kind_);
        continue;
      case SHAPE_UNUSED: break;
      default:
        if (code >= SHAPE_FIRST_VECTOR) {
          double dx, dy;
          vector_move(code, &dx, &dy);
          s.move_units(dx, dy);
        }
        break;
    }
    i = next;
  }
  return true;
}

void place_shape_glyph(const Shape_Glyph& g, double sx, double sy, As_Void_List& out, As_Pt& pen,
                       double height, double, bool vertical) {
  for (const Shape_Stroke& stroke : g.strokes) {
    As_Pt_List* list = new As_Pt_List;
    for (const As_Pt& p : stroke) list->add_tail(placed_point(p, sx, sy, pen));
    out.add(list);
  }
  advance_pen(g.end, sx, sy, pen, height, vertical);
}

void place_shape_glyph(const Shape_Glyph& g, double sx, double sy, std::vector<unsigned long>& counts,
                       std::vector<As_Pt>& pts, As_Pt& pen, double height, bool vertical) {
  for (const Shape_Stroke& stroke : g.strokes) {
    counts.push_back(static_cast<unsigned long>(stroke.size()));
    for (const As_Pt& p : stroke) pts.push_back(placed_point(p, sx, sy, pen));
  }
  advance_pen(g.end, sx, sy, pen, height, vertical);
}
