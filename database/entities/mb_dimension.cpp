// Dimensions, dimension styles and the arrow head.
#include "database/entities/mb_dimension.h"

#include <cmath>
#include <cstdio>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fileformat/mb_fifo_rendition.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "geometry/geom_algo.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"

MB_Arrow g_arrow;

namespace {

// The pass's opcode of a dimension style record.
constexpr unsigned char kDimStyleOpcode = 'Q';

// printf's text of a number, as long as it needs to be.
std::string format_number(const char* format, int places, double value) {
  const int n = std::snprintf(nullptr, 0, format, places, value);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(&out[0], out.size(), format, places, value);
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Dimension styles.

int MB_Dim_Style::decimal_places() const {
  const int places = ints_[kDecimalPlaces];
  return places > kMaxDecimalPlaces ? kMaxDecimalPlaces : places;
}

void MB_Dim_Style::build(MB_Drawing* drawing) {
  MB_Object* first = drawing ? drawing->text_style_list().head() : nullptr;
  text_style_ = static_cast<MB_Text_Style*>(first);
}

MB_Result MB_Dim_Style::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  if (MB_Result r = io.write(kDimStyleOpcode)) return r;
  if (MB_Result r = name_.serialize(io, 0)) return r;
  for (int32_t v : colors_) {
    if (MB_Result r = io.write(v)) return r;
  }
  for (uint16_t v : ints_) {
    if (MB_Result r = io.write(static_cast<unsigned short>(v))) return r;
  }
  for (double v : reals_) {
    if (MB_Result r = io.write_double(v)) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_Dim_Style::materialize(const MB_Opcode&, MB_File_IO& io) {
  // Everything is read before the style changes, so a short record leaves
  // it as it was.
  MB_Dim_Style read;
  if (MB_Result r = read.name_.materialize(io)) return r;
  for (int32_t& v : read.colors_) {
    if (MB_Result r = io.read(v)) return r;
  }
  for (uint16_t& v : read.ints_) {
    unsigned short u;
    if (MB_Result r = io.read(u)) return r;
    v = u;
  }
  for (double& v : read.reals_) {
    if (MB_Result r = io.read_double(v)) return r;
  }
  read.text_style_ = text_style_;
  *this = read;
  return MB_SUCCESS;
}

MB_Result MB_Dim_Style::process(MB_File_IO& io) {
  if (!io.drawing()) return MB_BAD_STATE;
  io.drawing()->dim_style_list().add_tail(this);
  return MB_SUCCESS;
}

// ---------------------------------------------------------------------------
// Dimensions.

MB_Dimension::MB_Dimension(const MB_Dimension& other) : MB_Drawable(other) { copy_values(other); }

MB_Dimension& MB_Dimension::operator=(const MB_Dimension& other) {
  if (this == &other) return *this;
  MB_Drawable::operator=(other);
  copy_values(other);
  return *this;
}

MB_Dimension::~MB_Dimension() {
  MB_Undo_Pause pause;
  delete insert_;
  texts_.kill_all();
}

void MB_Dimension::copy_values(const MB_Dimension& other) {
  dim_text_ = other.dim_text_;
  has_dim_text_ = other.has_dim_text_;
  pseundo_blk_ = other.pseundo_blk_;
  spare_name_ = other.spare_name_;
  definition_pt_ = other.definition_pt_;
  text_mid_ = other.text_mid_;
  insert_pt_ = other.insert_pt_;
  dim_pt2_ = other.dim_pt2_;
  dim_pt3_ = other.dim_pt3_;
  dim_pt4_ = other.dim_pt4_;
  leader_len_ = other.leader_len_;
  dim_angle_ = other.dim_angle_;
  hor_dir_ = other.hor_dir_;
  oblique_angle_ = other.oblique_angle_;
  text_angle_ = other.text_angle_;
  block_angle_ = other.block_angle_;
  flag_ = other.flag_;
  measurement_ = other.measurement_;
  style_ = other.style_;
  // The insert and the texts belong to one dimension: the copy has its own
  // insert and makes its own texts when it is built.
  MB_Undo_Pause pause;
  delete insert_;
  insert_ = other.insert_ ? new MB_Insert(*other.insert_) : nullptr;
  texts_.kill_all();
}

void MB_Dimension::dim_text(const char* text) {
  dim_text_ = MB_String(text ? text : "");
  has_dim_text_ = true;
}

void MB_Dimension::dim_style(MB_Drawing& drawing, const char* name) {
  MB_Object* first = drawing.text_style_list().head();
  if (!first) return;
  style_.text_style(static_cast<MB_Text_Style*>(first));
  if (!name) return;
  for (MB_Object* o = drawing.dim_style_list().head(); o; o = o->next()) {
    auto* style = static_cast<MB_Dim_Style*>(o);
    if (mb_same_name(style->char_name(), name)) {
      style->copy_to(style_);
      return;
    }
  }
}

void MB_Dimension::block_name(const char* name, MB_Drawing& drawing) {
  MB_Block* block = drawing.find_block(name);
  if (!block) return;
  MB_Undo_Pause pause;
  delete insert_;
  insert_ = new MB_Insert(As_Pt(), 0.0, 1.0, 1.0, 1.0);
  insert_->block(block);
}

bool MB_Dimension::is_horizontal() const {
  return is_zero_value(definition_pt_.x() - dim_pt2_.x()) || is_zero_value(definition_pt_.x() - dim_pt3_.x());
}

void MB_Dimension::measure() {
  if (measurement_ != 0.0) return;
  if (flag_ == kLinear) {
    measurement_ = is_horizontal() ? std::fabs(dim_pt2_.x() - dim_pt3_.x()) : std::fabs(dim_pt2_.y() - dim_pt3_.y());
  } else if (flag_ == kAligned) {
    const As_Vec d = dim_pt3_ - dim_pt2_;
    measurement_ = std::sqrt(d.x() * d.x() + d.y() * d.y() + d.z() * d.z());
  }
}

std::string MB_Dimension::text() const {
  if (has_dim_text_ && !mb_same_name(dim_text_.ascii(), "<>")) return dim_text_.ascii() ? dim_text_.ascii() : "";
  const int places = style_.decimal_places();
  if (places > 0) return format_number("%.*f", places, measurement_);
  // Whole units, truncated toward zero, at any magnitude (+ 0.0 drops the
  // sign of a negative zero).
  return format_number("%.*f", 0, std::trunc(measurement_) + 0.0);
}

void MB_Dimension::build_draw() {
  measure();
  MB_Undo_Pause pause;
  if (insert_) {
    insert_->point(insert_pt_);
    const int32_t colour = style_.color()[MB_Dim_Style::kDimLineColor];
    insert_->general().color(colour);
    insert_->general().display_color(colour);
    insert_->build_transf();
    insert_->build_draw();
  }
  texts_.kill_all();
  if (MB_Text_Style* text_style = style_.text_style()) {
    auto* label = new MB_Text(text_mid_, MB_String(text().c_str()));
    label->init_text_style(text_style);
    label->text_style().height(style_.real_val()[MB_Dim_Style::kTextHeight]);
    label->text_style().angle(text_angle_);
    label->text_style().ali_flag(MB_Text_Style::kCentred);
    const int32_t colour = style_.color()[MB_Dim_Style::kTextColor];
    label->general().color(colour);
    label->general().display_color(colour);
    label->build_draw();
    texts_.add_tail(label);
  }
  if (insert_) edit_rect() = insert_->rect();
}

void MB_Dimension::draw(HDC hdc, CMyDC& dc, As_Tran& view) {
  if (insert_) insert_->draw(hdc, dc, view);
  for (MB_Object* o = texts_.head(); o; o = o->next()) static_cast<MB_Text*>(o)->draw(hdc, dc, view);
}

MB_Dimension::Lines MB_Dimension::lines() const {
  Lines out;
  As_Pt& a = out.dim_line[0];
  As_Pt& b = out.dim_line[1];
  if (flag_ == kLinear) {
    if (is_horizontal()) {
      a = As_Pt(dim_pt2_.x(), definition_pt_.y(), 0.0);
      b = As_Pt(dim_pt3_.x(), definition_pt_.y(), 0.0);
    } else {
      a = As_Pt(definition_pt_.x(), dim_pt2_.y(), 0.0);
      b = As_Pt(definition_pt_.x(), dim_pt3_.y(), 0.0);
    }
  } else {
    const As_Vec along = text_mid_ - definition_pt_;
    const As_Uvec u(along.x(), along.y(), along.z());
    a = proj_pt_to_line(dim_pt2_, definition_pt_, u);
    b = proj_pt_to_line(dim_pt3_, definition_pt_, u);
  }
  const double extension = style_.real_val()[MB_Dim_Style::kExtension];
  const double gap = style_.real_val()[MB_Dim_Style::kGap];
  const As_Vec to_a = a - dim_pt2_, to_b = b - dim_pt3_;
  const As_Vec u = As_Uvec(to_a.x(), to_a.y(), to_a.z());
  const As_Vec v = As_Uvec(to_b.x(), to_b.y(), to_b.z());
  out.extension_a[0] = dim_pt2_ + gap * u;
  out.extension_a[1] = a + extension * u;
  out.extension_b[0] = dim_pt3_ + gap * v;
  out.extension_b[1] = b + extension * v;
  return out;
}

void MB_Dimension::draw_dim_line(HDC, CMyDC& dc, As_Tran& view) {
  const Lines l = lines();
  // A linear dimension draws in the style's colours, an aligned one in the
  // surface's current colour.
  const bool coloured = flag_ == kLinear;
  if (coloured) dc.SetColor(static_cast<uint32_t>(style_.color()[MB_Dim_Style::kExtensionColor]));
  dc.LinePt(l.extension_a[0] * view, l.extension_a[1] * view);
  dc.SetPixelPt(dim_pt2_ * view);
  dc.LinePt(l.extension_b[0] * view, l.extension_b[1] * view);
  dc.SetPixelPt(dim_pt3_ * view);
  if (coloured) dc.SetColor(static_cast<uint32_t>(style_.color()[MB_Dim_Style::kDimLineColor]));
  dc.LinePt(l.dim_line[0] * view, l.dim_line[1] * view);
}

// ---------------------------------------------------------------------------
// The arrow head.

void MB_Arrow::draw(HDC hdc, As_Tran& t, unsigned char, As_Pt& tip, const As_Uvec& dir, const double& length,
                    const double& width) {
  const As_Vec across = cross3(dir, As_Vec(0.0, 0.0, 1.0));
  const As_Vec p = As_Uvec(across.x(), across.y(), across.z());
  const As_Pt base = tip + length * As_Vec(dir);
  base_left_ = base + (width / 2) * p;
  base_right_ = base - (width / 2) * p;
  api_mb_draw_triangle(hdc, tip * t, base_left_ * t, base_right_ * t, 1);
}
