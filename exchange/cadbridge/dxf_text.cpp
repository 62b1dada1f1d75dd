// Single-line texts, attributes and text styles of DXF records, and the
// layout the other text-bearing kinds share.
#include "exchange/cadbridge/dxf_text.h"

#include <dxflib/dl_attributes.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fonts/mb_font_library.h"
#include "database/mb_drawing.h"
#include "database/mb_resource.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_encoding.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "exchange/cadbridge/dxf_ocs.h"
#include "geometry/as_rect.h"
#include "qm_file.h"

namespace {

// Bits of the attribute flags (group 70) and of the text generation flags
// (group 71).
constexpr int kAttributeInvisible = 1;
constexpr int kBackwards = 2;
constexpr int kUpsideDown = 4;
constexpr int kMaxDecimals = 8;
constexpr size_t kMaxRememberedWidths = 1 << 16;
// Bits of a STYLE record's flags: an entry for a shape file, not a style;
// a style whose characters stand in a column.
constexpr int kShapeFileEntry = 1;
constexpr int kVerticalStyle = 4;
// Horizontal justification codes of TEXT (group 72).
enum Text_Halign { kHLeft = 0, kHCenter = 1, kHRight = 2, kHAligned = 3, kHMiddle = 4, kHFit = 5 };
// Vertical justification codes (group 73; 74 for attributes).
enum Text_Valign { kVBaseline = 0, kVBottom = 1, kVMiddle = 2, kVTop = 3 };

As_Pt point_of(const Dxf_Record& r, int x_code, const As_Pt& fallback) {
  if (!r.has(x_code)) return fallback;
  return As_Pt(r.real(x_code, 0.0), r.real(x_code + 10, 0.0), r.real(x_code + 20, 0.0));
}

// A font file name of a STYLE record as the kernel's font cache knows it:
// a bare name is a shape font.
std::string font_file(std::string name) {
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.erase(0, 1);
  if (name.empty() || name.find('.') != std::string::npos) return name;
  return name + ".shx";
}

// The installed TrueType face that draws a style whose shape font the
// kernel's fonts folder lacks: a sans-serif face of about the cap height and
// width of the usual Latin shape fonts (txt, simplex, romans, gbenor), where
// the kernel's own shape font, made for kanji, draws Latin small and narrow.
// It is the face GDI gives a Latin face it lacks (CreateFontA).
constexpr char kLatinStandIn[] = "DejaVuSans.ttf";

bool is_shape_font(const std::string& file) {
  const size_t dot = file.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = file.substr(dot + 1);
  for (char& c : ext) c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext == "shx" || ext == "shp";
}

bool in_fonts_folder(const std::string& file) {
  return qm_is_regular_file(qm_map_path(g_system_resource.font_path(file.c_str()).c_str()).c_str());
}

// The main font of a style of the file (a font file name): the shape font it
// names when the fonts folder has it, or when the folder has the big font it
// names (a big font draws only beside a shape font); else the installed
// Latin stand-in; else the name, which the kernel's own fallback draws.
std::string style_font(const std::string& font, const std::string& big) {
  if (!is_shape_font(font) || in_fonts_folder(font) || (!big.empty() && in_fonts_folder(big))) return font;
  char installed[MAX_PATH];
  return QmGdiFindFontFile(kLatinStandIn, installed, sizeof installed) > 0 ? kLatinStandIn : font;
}

std::string upper_case(std::string s) {
  for (char& c : s) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
  return s;
}

// An angle of degrees in (-180, 180], as radians.
double normalised_radians(double degrees) {
  double a = std::fmod(degrees, 360.0);
  if (a > 180.0) a -= 360.0;
  if (a <= -180.0) a += 360.0;
  return a * kDxfDegree;
}

}  // namespace

void Dxf_Header::read(const Dxf_Record& header) {
  const std::string_view* name = nullptr;
  for (const Dxf_Group& g : header.groups) {
    if (g.code == 9) {
      name = &g.value;
      continue;
    }
    if (name && *name == "$DIMDEC" && g.code == 70) dim.decimals = std::clamp(dxf_integer(g.value), 0, kMaxDecimals);
    if (name && *name == "$DIMCLRD" && g.code == 70) dim.line_color = dxf_integer(g.value);
    if (name && *name == "$DWGCODEPAGE" && g.code == 3) code_page = Dxf_Text_Codec::code_page_number(g.value);
    if (!name || g.code != 40) continue;
    const double v = dxf_real(g.value);
    if (v <= 0.0) continue;
    if (*name == "$TEXTSIZE") text_size = v;
    if (*name == "$DIMTXT") dim.text = v;
    if (*name == "$DIMASZ") dim.arrow = v;
    if (*name == "$DIMSCALE") dim.scale = v;
  }
}

void Dxf_Header::add_dim_style(const Dxf_Record& r) {
  const std::string name = upper_case(r.text(2));
  if (name.empty() || dim_styles.count(name)) return;
  // Each value as the header gives it unless the style sets its own.
  Dxf_Dim_Style s = dim;
  if (r.real(140, 0.0) > 0.0) s.text = r.real(140, 0.0);
  if (r.real(41, 0.0) > 0.0) s.arrow = r.real(41, 0.0);
  if (r.real(40, 0.0) > 0.0) s.scale = r.real(40, 0.0);
  if (r.has(271)) s.decimals = std::clamp(r.integer(271, 2), 0, kMaxDecimals);
  if (r.has(kDimLineColorCode)) s.line_color = r.integer(kDimLineColorCode, 0);
  dim_styles.emplace(name, s);
}

int dxf_dim_override(const Dxf_Record& r, int code, int fallback) {
  // Pairs of a 1070 group naming the variable by its DIMSTYLE group code and
  // a group of its value, between "{" and "}" after "DSTYLE".
  const std::vector<Dxf_Group>& g = r.groups;
  bool in_style = false;
  for (size_t k = 0; k < g.size(); ++k) {
    if (g[k].code == kXdataString && g[k].value == "DSTYLE") in_style = true;
    if (!in_style) continue;
    if (g[k].code == kXdataControl && g[k].value == "}") break;
    if (g[k].code == kXdataInteger && k + 1 < g.size() && dxf_integer(g[k].value) == code) {
      return dxf_integer(g[k + 1].value);
    }
    if (g[k].code == kXdataInteger) ++k;  // a value: skipped with its name
  }
  return fallback;
}

const Dxf_Dim_Style& Dxf_Header::dim_style(const std::string& name) const {
  auto it = dim_styles.find(upper_case(name));
  return it != dim_styles.end() ? it->second : dim;
}

void Dxf_Target::place(MB_Drawable* entity, const Dxf_Record& from, int64_t color) {
  // Texts lie in the plane of their extrusion: a single-line text's points
  // are the plane's; a multi-line text's insertion point is the world's and
  // its lines are laid out in the plane about it.
  const bool single = from.type == "TEXT" || from.type == "ATTRIB" || from.type == "ATTDEF";
  if (single || from.type == "MTEXT") {
    const Dxf_Ocs ocs = Dxf_Ocs::of(from);
    if (!ocs.world() && single) entity = ocs.place(entity);
    if (!ocs.world() && !single)
      entity = ocs.place_about(entity, As_Pt(from.real(10, 0.0), from.real(20, 0.0), from.real(30, 0.0)));
  }
  const bool attribute = owner_ && !block_ && from.type == "ATTRIB";
  std::string layer = from.text(8, "0");
  if (attribute && layer == "0") layer = owner_layer_;
  const DL_Attributes attributes(layer, from.integer(62, kDxfByLayer), from.integer(420, -1), from.integer(370, -1),
                                 from.text(6, "BYLAYER"));
  builder_.place_in(entity, attributes, block_);
  if (attribute) {
    // Inside a block the objects' inheritance resolves these with the block.
    const MB_General& given = owner_->general();
    MB_General& g = entity->general();
    if (from.integer(420, -1) < 0 && from.integer(62, kDxfByLayer) == kDxfByBlock) {
      g.color(given.color());
      g.display_color(given.color());
    }
    if (dxf_upper(from.text(6, "BYLAYER")) == "BYBLOCK") g.line_type(given.line_type());
    // They belong to the insert: hidden with it when its layer is off.
    if (owner_->flag() == 0) entity->flag(0);
  }
  if (color >= 0) {
    entity->general().color(int32_t(color));
    entity->general().display_color(int32_t(color));
  }
  ++placed_;
}

MB_Drawable* Dxf_Target::placed_for(const std::string& handle) const {
  if (handle.empty() || handle.size() > 8) return nullptr;
  char* end = nullptr;
  const unsigned long n = std::strtoul(handle.c_str(), &end, 16);
  if (*end || n > unsigned(INT32_MAX)) return nullptr;
  return builder_.placed_for(int(n));
}

double Dxf_Target::width(const std::string& gbk, const Dxf_Text_Look& look) {
  std::string key = look.style;
  key += '\0';
  key += gbk;
  for (double v : {look.height, look.width, look.oblique}) key.append(reinterpret_cast<const char*>(&v), sizeof v);
  auto it = widths_.find(key);
  if (it != widths_.end()) return it->second;
  // Bounded: a drawing of ever new words starts the memory afresh.
  if (widths_.size() >= kMaxRememberedWidths) widths_.clear();
  std::unique_ptr<MB_Text> text = dxf_new_text(drawing_, gbk, look);
  const double w = dxf_text_width(*text);
  widths_.emplace(std::move(key), w);
  return w;
}

double Dxf_Target::x_height(const std::string& style) {
  auto it = x_heights_.find(style);
  if (it != x_heights_.end()) return it->second;
  if (x_heights_.size() >= kMaxRememberedWidths) x_heights_.clear();
  Dxf_Text_Look look;
  look.style = style;
  look.height = 1.0;
  std::unique_ptr<MB_Text> x = dxf_new_text(drawing_, "x", look);
  double ratio = kDxfXHeight;
  const MB_Font_Library* font = x->text_style().font_lib();
  if (font && font->is_ttf_font()) {
    x->build_draw();
    const double top = x->rect().lt().y() - x->base_pos().y();
    if (x->draw_node() && top > 0.0 && top <= 1.0) ratio = top;
  }
  x_heights_.emplace(style, ratio);
  return ratio;
}

std::unique_ptr<MB_Text> dxf_new_text(MB_Drawing& drawing, const std::string& gbk, const Dxf_Text_Look& look) {
  auto text = std::make_unique<MB_Text>(As_Pt(0.0, 0.0, 0.0), MB_String(gbk.c_str()));
  // A style the file lacks: its STANDARD, as DXF readers take it, else the
  // kernel's default style.
  if (!text->init_text_style(drawing, look.style.c_str())) text->init_text_style(drawing, kDxfStandardStyle);
  MB_Text_Style& s = text->text_style();
  s.height(look.height);
  s.width_scale(look.width);
  s.oblique_angle(look.oblique);
  s.angle(0.0);
  return text;
}

double dxf_text_width(MB_Text& text) {
  text.build_draw();
  return text.draw_node() ? std::max(0.0, text.rect().rb().x() - text.base_pos().x()) : 0.0;
}

void dxf_frame_text(MB_Text& text, const As_Pt& origin, double angle, double x, double y) {
  const double c = std::cos(angle), s = std::sin(angle);
  text.base_pos(As_Pt(origin.x() + x * c - y * s, origin.y() + x * s + y * c, origin.z()));
  text.text_style().angle(angle);
  // Loaded entities have no display until the caller builds it; the one
  // made for measuring stood elsewhere.
  text.draw_node(nullptr);
  text.edit_rect() = As_Rect(text.base_pos(), text.base_pos());
}

double dxf_line_start(Dxf_Halign h, double width) {
  switch (h) {
    case Dxf_Halign::kCenter:
      return -width / 2;
    case Dxf_Halign::kRight:
      return -width;
    default:
      return 0.0;
  }
}

double dxf_anchor_y(Dxf_Valign v, double first_baseline, double cap, double last_baseline, double x_height) {
  switch (v) {
    case Dxf_Valign::kTop:
      return first_baseline + cap;
    case Dxf_Valign::kLowerMiddle:
      return (first_baseline + cap * x_height + last_baseline) / 2;
    case Dxf_Valign::kUpperMiddle:
      return (first_baseline + cap + last_baseline) / 2;
    case Dxf_Valign::kBottom:
      return last_baseline - cap * kDxfDescender;
    default:
      return last_baseline;
  }
}

void dxf_add_text(const Dxf_Record& record, Dxf_Target& target) {
  // The multi-line text newer attributes embed reuses the codes of the
  // attribute's own alignment point and sizes.
  Dxf_Record r, embedded;
  record.split_embedded(r, embedded);
  const bool attribute = r.type == "ATTRIB" || r.type == "ATTDEF";
  if (attribute && (r.integer(70, 0) & kAttributeInvisible)) {
    target.skip("invisible " + r.type);
    return;
  }
  // A definition standing alone shows its tag; in a block it is the template
  // of its inserts' attributes, except a constant one, which has no
  // attribute and draws its value with the block.
  const bool tag = r.type == "ATTDEF" && !(target.block() && (r.integer(70, 0) & kDxfAttributeConstant));
  const std::string string = tag ? r.text(2) : r.text(1);
  if (string.empty()) return;
  Dxf_Text_Look look;
  look.style = r.text(7, "Standard");
  look.height = r.real(40, 0.0) > 0.0 ? r.real(40, 0.0) : target.header().text_size;
  // Measured upright: a slant widens the strokes, not the text.
  std::unique_ptr<MB_Text> text = dxf_new_text(target.drawing(), string, look);
  const double natural = target.width(string, look);
  text->text_style().oblique_angle(normalised_radians(r.real(51, 0.0)));

  const As_Pt p1 = point_of(r, 10, As_Pt(0.0, 0.0, 0.0));
  const As_Pt p2 = point_of(r, 11, p1);
  const int h = r.integer(72, kHLeft);
  const int v = r.integer(attribute ? 74 : 73, kVBaseline);
  double width = r.real(41, 1.0) > 0.0 ? r.real(41, 1.0) : 1.0;
  double height = look.height;
  double angle = r.real(50, 0.0) * kDxfDegree;
  As_Pt origin = h == kHLeft && v == kVBaseline ? p1 : p2;
  Dxf_Halign halign = h == kHRight ? Dxf_Halign::kRight : h == kHLeft ? Dxf_Halign::kLeft : Dxf_Halign::kCenter;
  Dxf_Valign valign = v == kVTop      ? Dxf_Valign::kTop
                      : v == kVMiddle ? Dxf_Valign::kUpperMiddle
                      : v == kVBottom ? Dxf_Valign::kBottom
                                      : Dxf_Valign::kBaseline;
  if (h == kHMiddle) valign = Dxf_Valign::kLowerMiddle;
  if (h == kHAligned || h == kHFit) {
    // Stretched between the two points, centred on their middle.
    valign = Dxf_Valign::kBaseline;
    const double dx = p2.x() - p1.x(), dy = p2.y() - p1.y(), length = std::hypot(dx, dy);
    origin = As_Pt((p1.x() + p2.x()) / 2, (p1.y() + p2.y()) / 2, p1.z());
    if (length > 1e-9) angle = std::atan2(dy, dx);
    if (length > 1e-9 && natural > 1e-9) {
      const double stretch = length / natural;
      if (h == kHFit) {
        width = stretch;
      } else {
        width = 1.0;
        height *= stretch;
      }
    }
  }
  const double line = natural * width * height / look.height;
  double x = dxf_line_start(halign, line);
  double y = -dxf_anchor_y(valign, -height, height, -height, target.x_height(look.style)) - height;
  // Mirrored about the anchor. The kernel's text mirrors along its line
  // through a negative width; upside down is that turned half a turn.
  const int flags = r.integer(71, 0);
  const bool backwards = (flags & kBackwards) != 0, upside_down = (flags & kUpsideDown) != 0;
  if (backwards) x = -x;
  if (upside_down) y = -y;
  if (backwards != upside_down) width = -width;
  text->text_style().width_scale(width);
  text->text_style().height(height);
  dxf_frame_text(*text, origin, angle, x, y);
  if (upside_down) text->text_style().angle(angle + qm_pi);
  target.place(text.release(), r);
}

std::string Dxf_Target::font_style(const std::string& style, const std::string& font) {
  if (font.empty()) return style;
  const auto key = std::make_pair(style, font);
  auto it = font_styles_.find(key);
  if (it != font_styles_.end()) return it->second;
  const MB_Text_Style* base = drawing_.find_text_style(style.c_str());
  if (!base) base = drawing_.find_text_style(kDxfStandardStyle);
  const std::string named = font_file(font);
  const MB_Font_Library* big = base ? base->big_font_lib() : nullptr;
  const std::string big_file = big && big->file_name() ? big->file_name() : std::string();
  const std::string file = style_font(named, big_file);
  const std::string name = (base ? std::string(base->name().ascii()) : style) + "|" + named;
  if (!drawing_.find_text_style(name.c_str())) {
    if (file != named) note("MTEXT font " + named + ", not installed, drawn with " + file);
    drawing_.text_style_list().add_tail(new MB_Text_Style(
        name.c_str(), file.c_str(), big_file.empty() ? nullptr : big_file.c_str(), base ? base->height() : 0.0,
        base ? base->width_scale() : 1.0, base ? base->oblique_angle() : 0.0, 0.0, 0, 0));
  }
  font_styles_.emplace(key, name);
  return name;
}

void dxf_add_style(const Dxf_Record& r, Dxf_Target& target) {
  MB_Drawing& drawing = target.drawing();
  const std::string name = r.text(2);
  if (name.empty() || (r.integer(70, 0) & kShapeFileEntry) || drawing.find_text_style(name.c_str())) return;
  const std::string given = font_file(r.text(3));
  const std::string named = given.empty() ? "txt.shx" : given;
  const std::string big = font_file(r.text(4));
  const std::string font = style_font(named, big);
  if (font != named) target.note("STYLE of " + named + ", not installed, drawn with " + font);
  MB_Text_Style* style =
      new MB_Text_Style(name.c_str(), font.c_str(), big.empty() ? nullptr : big.c_str(),
                        r.real(40, 0.0), r.real(41, 1.0) > 0.0 ? r.real(41, 1.0) : 1.0,
                        normalised_radians(r.real(50, 0.0)), 0.0, 0, 0);
  style->drawing_code_page(mb_double_byte_code_page(target.header().code_page));
  if (r.integer(70, 0) & kVerticalStyle) style->font_style(style->font_style() | MB_Text_Style::kVertical);
  drawing.text_style_list().add_tail(style);
}


