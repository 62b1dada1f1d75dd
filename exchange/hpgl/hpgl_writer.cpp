// Writing the current drawing as an HPGL plot file.
//
// Every line, curve and point of the entity list and of the blocks of its
// inserts (each nested insert placed through all the inserts above it), and
// every text drawn as strokes, becomes a pen stroke. White strokes are
// gathered in one list and all others in a second; each list chains its
// strokes end to end. The file is the device-control preamble and IN;, then
// for each list that is not empty "SP1;" and its strokes, each as
// "PU x,y;PD x1,y1,x2,y2,...;", then the trailer "PUPA0,0;SP". Coordinates
// are 40 plotter units per drawing unit, truncated toward zero and clamped
// to the 32-bit range; nothing separates the instructions.
#include <qm_file.h>
#include <qm_raster.h>

#include <charconv>
#include <cstdio>
#include <string>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_point.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/nodes/mb_draw_node.h"
#include "exchange/hpgl/hpgl_strokes.h"
#include "exchange/hpgl/penplot.h"
#include "geometry/as_tran.h"

namespace {

// Plotter units per drawing unit (0.025 mm each: a drawing unit is 1 mm).
constexpr double kUnitsPerDrawingUnit = 40.0;
constexpr int32_t kWhite = 0xFFFFFF;
// Plotter on, handshake with block size 81 and the characters 17 and 19,
// then initialise.
constexpr char kPreamble[] = "\x1b.(;\x1b.I81;;17:\x1b.N;19:IN;";
constexpr char kPenString[] = "SP1;";
constexpr char kTrailer[] = "PUPA0,0;SP";
// Bytes gathered before they are written out.
constexpr size_t kFlushSize = size_t(1) << 20;

// White strokes, then every other colour.
struct Hpgl_Slots {
  Hpgl_Stroke_List white;
  Hpgl_Stroke_List rest;
  Hpgl_Stroke_List& of(const MB_Drawable& e) { return e.general().display_color() == kWhite ? white : rest; }
};

As_Pt place(const As_Pt& p, const As_Tran* t) { return t ? p * *t : p; }

// The objects of a text's display, chained among themselves.
void collect_text(MB_Drawable& text, const As_Tran* t, Hpgl_Stroke_List& out) {
  MB_Draw_Node* node = text.draw_node();
  if (!node || node->draw_node_id() != MB_Draw_Node::DRAW_LINES_SETS) return;
  const auto* sets = static_cast<const MB_Draw_Lines_Sets*>(node);
  Hpgl_Stroke_List pieces;
  const As_Pt* run = sets->points();
  unsigned long left = sets->pts_count();
  for (unsigned long s = 0; s < sets->ptset_count() && run; ++s) {
    const unsigned long n = sets->vals()[s];
    if (n > left) break;
    Hpgl_Stroke piece;
    for (unsigned long k = 0; k < n; ++k) piece.push_back(place(run[k], t));
    pieces.add(std::move(piece));
    run += n;
    left -= n;
  }
  out.append(pieces);
}

void collect(MB_Object* o, const As_Tran* t, Hpgl_Slots& slots) {
  if (!o || !o->is_drawable()) return;
  MB_Drawable& e = *static_cast<MB_Drawable*>(o);
  if (o->object_type() == MB_Object::TYPE_GEOM) {
    if (o->object_id() == MB_Object::ID_POINT) {
      // A point is a vertical tick one drawing unit long.
      const As_Pt p = static_cast<MB_Point*>(o)->point();
      const As_Pt tick[2] = {place(p, t), place(As_Pt(p.x(), p.y() + 1.0, 0.0), t)};
      slots.of(e).append(Hpgl_Stroke(tick, 2));
      return;
    }
    const As_Pt_Set& edge = static_cast<MB_Geom*>(o)->edge();
    if (edge.count() < 1 || !edge.points()) return;
    Hpgl_Stroke stroke;
    for (int i = 0; i < edge.count(); ++i) stroke.push_back(place(edge.points()[i], t));
    slots.of(e).add(std::move(stroke));
  } else if (o->object_id() == MB_Object::ID_TEXT) {
    collect_text(e, t, slots.of(e));
  } else if (o->object_id() == MB_Object::ID_INSERT) {
    MB_Insert* insert = static_cast<MB_Insert*>(o);
    MB_Block* block = insert->block();
    // A block already being walked, or nested too deep, is not entered;
    // past the export's object budget the insert is written as its frame.
    MB_Block_Visit visit(block);
    if (!visit.ok()) {
      if (!visit.over_budget()) return;
      const As_Rect& r = block->rect();
      const As_Tran framed = t ? insert->trans() * *t : insert->trans();
      const As_Pt corners[5] = {r.lt(), As_Pt(r.rb().x(), r.lt().y(), 0.0), r.rb(), As_Pt(r.lt().x(), r.rb().y(), 0.0),
                                r.lt()};
      Hpgl_Stroke stroke;
      for (const As_Pt& c : corners) stroke.push_back(place(c, &framed));
      slots.of(e).add(std::move(stroke));
      return;
    }
    const As_Tran placed = t ? insert->placement() * *t : insert->placement();
    for (MB_Object* inner = block->object_list().head(); inner; inner = inner->next()) collect(inner, &placed, slots);
  }
}

// Bytes of the file, written out in large pieces; the first failure sticks.
class Hpgl_Output {
 public:
  explicit Hpgl_Output(FILE* f) : f_(f) { bytes_.reserve(kFlushSize + 64); }

  void text(const char* s) { bytes_ += s; }
  void number(double v) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, qm_trunc_to_int(v * kUnitsPerDrawingUnit));
    bytes_.append(buf, r.ptr);
  }
  void point(const As_Pt& p) {
    number(p.x());
    bytes_ += ',';
    number(p.y());
  }
  void strokes(const Hpgl_Stroke_List& list) {
    list.for_each([&](const Hpgl_Stroke& s) {
      if (s.count() < 2) return;
      text("PU");
      point(s.front());
      text(";PD");
      for (int i = 1; i < s.count(); ++i) {
        if (i > 1) bytes_ += ',';
        point(s.at(i));
      }
      bytes_ += ';';
      if (bytes_.size() >= kFlushSize) flush();
    });
  }
  void group(const Hpgl_Stroke_List& list) {
    if (list.empty()) return;
    text(kPenString);
    strokes(list);
  }
  bool flush() {
    if (!bytes_.empty() && ok_ && std::fwrite(bytes_.data(), 1, bytes_.size(), f_) != bytes_.size()) ok_ = false;
    bytes_.clear();
    return ok_;
  }

 private:
  FILE* f_;
  std::string bytes_;
  bool ok_ = true;
};

}  // namespace

// The file is replaced only by a complete new one (QmFileWriter), so a
// failed save leaves the file that was there before.
bool api_mb_save_hpgl_file(const char* path) {
  if (!path || !g_current_drawing) return false;
  Hpgl_Slots slots;
  {
    MB_Walk_Pass pass;  // one object budget for the whole export
    for (MB_Object* o = g_current_drawing->object_list().head(); o; o = o->next()) collect(o, nullptr, slots);
  }

  QmFileWriter file;
  if (!file.open(path, "wb")) return false;
  Hpgl_Output out(file.stream());
  out.text(kPreamble);
  out.group(slots.white);
  out.group(slots.rest);
  out.text(kTrailer);
  return out.flush() && file.commit();
}
