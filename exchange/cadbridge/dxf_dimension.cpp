// Dimensions: the geometry block every writer makes for a dimension, else
// the dimension's own points and text; tables by their geometry block.
#include <cmath>
#include <cstdio>
#include <string>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "exchange/cadbridge/dxf_annotations.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_mtext.h"

namespace {

// Dimension kinds (the low bits of group 70).
enum Dimension_Kind { kRotated = 0, kAligned = 1, kAngular = 2, kDiameter = 3, kRadius = 4, kAngular3 = 5, kOrdinate = 6 };
constexpr int kKindMask = 7;
constexpr int kAttachMiddleCentre = 5;

As_Pt point_of(const Dxf_Record& r, int x_code) {
  return As_Pt(r.real(x_code, 0.0), r.real(x_code + 10, 0.0), r.real(x_code + 20, 0.0));
}

As_Pt plus(const As_Pt& a, double x, double y) { return As_Pt(a.x() + x, a.y() + y, a.z()); }

// The measurement with the style's decimals, trailing zeros left out; an
// angle (measured in radians) in degrees.
std::string measurement(const Dxf_Record& r, int decimals) {
  const int kind = r.integer(70, 0) & kKindMask;
  const bool angle = kind == kAngular || kind == kAngular3;
  const double value = r.real(42, 0.0) * (angle ? 1.0 / kDxfDegree : 1.0);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return angle ? s + "%%d" : s;
}

// The text shown: the override with "<>" standing for the measurement; a
// lone space hides the text.
std::string dimension_text(const Dxf_Record& r, int decimals) {
  const std::string value = measurement(r, decimals);
  std::string text = r.text(1);
  if (text.empty()) return value;
  if (text == " ") return std::string();
  const size_t at = text.find("<>");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

void line(const As_Pt& a, const As_Pt& b, const Dxf_Record& r, Dxf_Target& target) {
  target.place(new MB_Line(a, b), r);
}

// Extension lines from the two origins to the dimension line through
// `on_line` along `angle`, the dimension line between them, and its arrows.
void linear(const Dxf_Record& r, double angle, Dxf_Target& target) {
  const As_Pt on_line = point_of(r, 10), a = point_of(r, 13), b = point_of(r, 14);
  const double ux = std::cos(angle), uy = std::sin(angle);
  auto foot = [&](const As_Pt& p) {
    const double t = (p.x() - on_line.x()) * ux + (p.y() - on_line.y()) * uy;
    return plus(on_line, t * ux, t * uy);
  };
  const As_Pt fa = foot(a), fb = foot(b);
  line(a, fa, r, target);
  line(b, fb, r, target);
  line(fa, fb, r, target);
  const Dxf_Dim_Style& style = target.header().dim_style(r.text(3));
  const double size = style.arrow * style.scale;
  dxf_add_arrow(fa, fb, size, r, target);
  dxf_add_arrow(fb, fa, size, r, target);
}

void plain(const Dxf_Record& r, Dxf_Target& target) {
  const int kind = r.integer(70, 0) & kKindMask;
  double text_angle = 0.0;
  switch (kind) {
    case kRotated:
      text_angle = r.real(50, 0.0) * kDxfDegree;
      linear(r, text_angle, target);
      break;
    case kAligned: {
      const As_Pt a = point_of(r, 13), b = point_of(r, 14);
      text_angle = std::atan2(b.y() - a.y(), b.x() - a.x());
      linear(r, text_angle, target);
      break;
    }
    case kDiameter:
    case kRadius: {
      const As_Pt a = point_of(r, 10), b = point_of(r, 15);
      line(a, b, r, target);
      const Dxf_Dim_Style& style = target.header().dim_style(r.text(3));
      dxf_add_arrow(b, a, style.arrow * style.scale, r, target);
      break;
    }
    case kAngular:
      line(point_of(r, 13), point_of(r, 14), r, target);
      line(point_of(r, 15), point_of(r, 10), r, target);
      break;
    case kAngular3:
      line(point_of(r, 15), point_of(r, 13), r, target);
      line(point_of(r, 15), point_of(r, 14), r, target);
      break;
    case kOrdinate:
      line(point_of(r, 13), point_of(r, 14), r, target);
      break;
    default:
      break;
  }
  const Dxf_Dim_Style& style = target.header().dim_style(r.text(3));
  const std::string text = dimension_text(r, style.decimals);
  if (text.empty()) return;
  Dxf_Mtext_Frame frame;
  frame.insert = point_of(r, 11);
  frame.angle = r.has(53) ? r.real(53, 0.0) * kDxfDegree : std::remainder(text_angle, qm_pi);
  frame.height = style.text * style.scale;
  frame.attachment = kAttachMiddleCentre;
  frame.style = r.text(7, "Standard");
  dxf_place_mtext(text, frame, r, target);
}

}  // namespace

void dxf_add_dimension(const Dxf_Record& r, Dxf_Target& target) {
  const std::string name = r.text(2);
  MB_Block* block = name.empty() ? nullptr : target.drawing().find_block(name.c_str());
  if (!block || block->object_list().is_empty()) {
    target.note(name.empty() ? "DIMENSION without a block, drawn from its points"
                             : "DIMENSION naming a missing or empty block, drawn from its points");
    plain(r, target);
    return;
  }
  // The block holds the dimension where it stands; a clone given an
  // insertion point is moved by it.
  const As_Pt at = r.has(12) ? point_of(r, 12) : As_Pt(0.0, 0.0, 0.0);
  const As_Pt& base = block->base_pos();
  MB_Insert* insert = new MB_Insert(As_Pt(at.x() + base.x(), at.y() + base.y(), at.z() + base.z()), 0.0, 1.0, 1.0, 1.0);
  insert->block(MB_String(name.c_str()), target.drawing());
  insert->build_transf();
  target.place(insert, r);
}

void dxf_add_table(const Dxf_Record& r, Dxf_Target& target) {
  const std::string name = r.text(2);
  MB_Block* block = name.empty() ? nullptr : target.drawing().find_block(name.c_str());
  if (!block || block->object_list().is_empty()) {
    target.skip("ACAD_TABLE without its block");
    return;
  }
  auto scale = [&r](int code) {
    const double s = r.real(code, 1.0);
    return s != 0.0 && std::isfinite(s) ? s : 1.0;
  };
  MB_Insert* insert = new MB_Insert(point_of(r, 10), r.real(50, 0.0) * kDxfDegree, scale(41), scale(42), scale(43));
  insert->block(MB_String(name.c_str()), target.drawing());
  insert->build_transf();
  target.place(insert, r);
}
