// Dimensions: a measured distance shown through a generated block insert
// (the dimension's lines) and a generated text (the value), in the look of a
// copy of a dimension style.
//
// A dimension style is a table entry of the drawing; a dimension keeps its
// own copy of one. The measured value is computed once (while it is 0) from
// the measured points: a linear dimension measures along x or y, chosen by
// where its definition point lies; an aligned one measures the distance.
// Each build regenerates the text. The dimension owns its insert and its
// texts; a copy rebuilds its own.
//
// Dimensions are not stored in the native format (their record reads as
// nothing); dimension styles are.
//
// MB_Arrow draws the filled head every dimension line ends in; one
// instance, g_arrow, serves the kernel.
#pragma once

#include <cstdint>
#include <string>

#include "database/mb_drawable.h"
#include "database/mb_object.h"
#include "database/mb_string.h"
#include "geometry/as_pt.h"

class MB_Drawing;
class MB_Insert;
class MB_Text_Style;

class MB_Dim_Style : public MB_Attribute {
 public:
  // Entries of color(), int_val() and real_val() that the kernel uses.
  enum Color_Index { kExtensionColor = 0, kTextColor = 1, kDimLineColor = 2, kColorCount = 3 };
  enum Int_Index { kDecimalPlaces = 4, kIntCount = 13 };
  enum Real_Index { kExtension = 5, kGap = 6, kTextHeight = 15, kRealCount = 16 };
  // Decimal places beyond this are formatted as this many.
  static constexpr int kMaxDecimalPlaces = 15;

  // Empty name, no text style, every value 0.
  MB_Dim_Style() = default;
  MB_Dim_Style(const MB_Dim_Style&) = default;
  MB_Dim_Style& operator=(const MB_Dim_Style&) = default;

  MB_ID object_id() const override { return ID_DIM_STYLE; }
  // 'Q': the name, the colours, the 16-bit values and the doubles; the text
  // style is not stored.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  // Appends the style to the drawing's dimension styles.
  MB_Result process(MB_File_IO& io) override;

  const MB_String& name() const { return name_; }
  void name(const char* n) { name_ = MB_String(n); }
  const char* char_name() const { return name_.ascii(); }
  int32_t* color() { return colors_; }
  const int32_t* color() const { return colors_; }
  uint16_t* int_val() { return ints_; }
  const uint16_t* int_val() const { return ints_; }
  double* real_val() { return reals_; }
  const double* real_val() const { return reals_; }
  // Shared, not owned.
  MB_Text_Style* text_style() const { return text_style_; }
  void text_style(MB_Text_Style* s) { text_style_ = s; }
  // The name, the values and the text style.
  using MB_Object::copy_to;
  void copy_to(MB_Dim_Style& other) const { other = *this; }
  // The text style becomes the drawing's first one (null when it has none).
  void build(MB_Drawing* drawing);

  // The decimal places of measured texts, within 0 to kMaxDecimalPlaces.
  int decimal_places() const;

 private:
  MB_String name_;
  int32_t colors_[kColorCount] = {};
  uint16_t ints_[kIntCount] = {};
  double reals_[kRealCount] = {};
  MB_Text_Style* text_style_ = nullptr;
};

class MB_Dimension : public MB_Drawable {
 public:
  enum Kind : unsigned char { kLinear = 0, kAligned = 1 };

  MB_Dimension() = default;
  // A copy has its own insert (a copy of the other's) and no texts until it
  // is built.
  MB_Dimension(const MB_Dimension& other);
  MB_Dimension& operator=(const MB_Dimension& other);
  ~MB_Dimension() override;

  MB_ID object_id() const override { return ID_DIMENSION; }
  MB_Type object_type() const override { return TYPE_TEXT; }
  // Not stored: writing writes nothing, reading reads nothing and leaves the
  // object to the pass.
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

  bool pick(const As_Pt&, As_Pt_List&, double, As_Pt&, int&, int&) override { return false; }
  void translate(const As_Tran&) override {}
  // Measures (while the measurement is 0), places and rebuilds the insert,
  // and regenerates the text; the extents become the insert's.
  void build_draw() override;
  // The insert, then the texts.
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
  // The extension lines with a pixel at each measured point, and the
  // dimension line, straight onto the surface through the view.
  void draw_dim_line(HDC hdc, CMyDC& dc, As_Tran& view);
  // What draw_dim_line draws, in drawing coordinates: each extension line
  // from its gap off the measured point to its extension past the dimension
  // line, and the dimension line between its ends.
  struct Lines {
    As_Pt extension_a[2], extension_b[2], dim_line[2];
  };
  Lines lines() const;

  // Nothing when the drawing has no text style; otherwise the style copy
  // takes the drawing's first text style and, when a name is given, the
  // values of the drawing's first dimension style of that name (any case).
  void dim_style(MB_Drawing& drawing, const char* name);
  MB_Dim_Style& style() { return style_; }
  const MB_Dim_Style& style() const { return style_; }
  // A new insert of the drawing's block of that name (any case) at the
  // origin replaces the insert; an unknown block changes nothing.
  void block_name(const char* name, MB_Drawing& drawing);

  // Whether a linear dimension measures along x: its definition point lies
  // on the vertical of a measured point. Measuring and drawing both ask.
  bool is_horizontal() const;
  // The text a build generates: the set text, or the measurement formatted
  // with the style's decimal places.
  std::string text() const;

  void dim_text(const char* text);
  const MB_String& dim_text() const { return dim_text_; }
  bool has_dim_text() const { return has_dim_text_; }
  const MB_String& pseundo_blk() const { return pseundo_blk_; }
  const As_Pt& definition_pt() const { return definition_pt_; }
  void definition_pt(const As_Pt& p) { definition_pt_ = p; }
  const As_Pt& text_mid() const { return text_mid_; }
  void text_mid(const As_Pt& p) { text_mid_ = p; }
  const As_Pt& insert_pt() const { return insert_pt_; }
  void insert_pt(const As_Pt& p) { insert_pt_ = p; }
  const As_Pt& dim_pt2() const { return dim_pt2_; }
  void dim_pt2(const As_Pt& p) { dim_pt2_ = p; }
  const As_Pt& dim_pt3() const { return dim_pt3_; }
  void dim_pt3(const As_Pt& p) { dim_pt3_ = p; }
  const As_Pt& dim_pt4() const { return dim_pt4_; }
  void dim_pt4(const As_Pt& p) { dim_pt4_ = p; }
  double leader_len() const { return leader_len_; }
  double dim_angle() const { return dim_angle_; }
  double hor_dir() const { return hor_dir_; }
  double oblique_angle() const { return oblique_angle_; }
  double text_angle() const { return text_angle_; }
  void text_angle(double a) { text_angle_ = a; }
  double block_angle() const { return block_angle_; }
  unsigned char flag() const { return flag_; }
  void flag(unsigned char f) { flag_ = f; }
  double measurement() const { return measurement_; }
  void measurement(double m) { measurement_ = m; }
  MB_Insert* insert() const { return insert_; }
  // The generated texts.
  const MB_Object_List& texts() const { return texts_; }

 private:
  void copy_values(const MB_Dimension& other);
  void measure();

  MB_String dim_text_;
  bool has_dim_text_ = false;
  MB_String pseundo_blk_;
  MB_String spare_name_;
  As_Pt definition_pt_, text_mid_, insert_pt_, dim_pt2_, dim_pt3_, dim_pt4_;
  double leader_len_ = 0.0, dim_angle_ = 0.0, hor_dir_ = 0.0, oblique_angle_ = 0.0, text_angle_ = 0.0,
         block_angle_ = 0.0;
  unsigned char flag_ = kLinear;
  double measurement_ = 0.0;
  MB_Insert* insert_ = nullptr;
  MB_Dim_Style style_;
  MB_Object_List texts_;
};

class MB_Arrow {
 public:
  MB_Arrow() = default;
  virtual ~MB_Arrow() = default;
  // Fills the triangle of the tip and the two corners of its base, `length`
  // back along `dir` and `width` apart, each mapped through t.
  void draw(HDC hdc, As_Tran& t, unsigned char, As_Pt& tip, const As_Uvec& dir, const double& length,
            const double& width);
  // The corners of the base of the last head drawn, before the transform.
  const As_Pt& base_left() const { return base_left_; }
  const As_Pt& base_right() const { return base_right_; }

 private:
  As_Pt base_left_, base_right_;
};

extern MB_Arrow g_arrow;
