// Texts of DXF records as kernel texts: the target every kind the loader
// builds itself places into, the header values they fall back on, and the
// layout shared by single-line texts, attributes, multi-line texts,
// dimensions and leaders. A kernel text starts at its base point on its
// baseline; the DXF alignments are turned into that base point here, from
// the measured width of the laid-out strokes. Heights below the baseline
// and of lower-case letters follow the common reader's font measurements
// (a third and two thirds of the capital height).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "exchange/cadbridge/dxf_record.h"
#include "geometry/as_pt.h"

class Dxf_Builder;
class MB_Block;
class MB_Drawable;
class MB_Drawing;
class MB_Text;

// Sizes of a dimension style: of the text and of the arrow heads, each to
// be multiplied by the scale.
struct Dxf_Dim_Style {
  double text = 2.5;   // DIMTXT
  double arrow = 2.5;  // DIMASZ
  double scale = 1.0;  // DIMSCALE
  int decimals = 2;    // DIMDEC: of a measurement shown
  int line_color = 0;  // DIMCLRD: colour number of dimension and leader lines
};

// The value a dimension or leader record overrides its style's variable of
// the group code with (extended data "DSTYLE" of the application ACAD), or
// the fallback.
int dxf_dim_override(const Dxf_Record& r, int code, int fallback);

// Drawing-wide values of the header that texts and dimensions fall back on,
// and the dimension styles of the tables.
struct Dxf_Header {
  double text_size = 2.5;  // $TEXTSIZE
  Dxf_Dim_Style dim;       // $DIMTXT, $DIMASZ, $DIMSCALE, $DIMDEC
  std::map<std::string, Dxf_Dim_Style> dim_styles;  // by upper-case name
  // $DWGCODEPAGE: the code page of the big fonts the styles name when the
  // fonts do not tell their own; 0 when the header names none.
  unsigned code_page = 0;
  // Reads the variables from the HEADER section's record.
  void read(const Dxf_Record& header);
  // Adds the style of a DIMSTYLE record.
  void add_dim_style(const Dxf_Record& record);
  // The named style; the header's values for a name not known.
  const Dxf_Dim_Style& dim_style(const std::string& name) const;
};

// Where the entities of one record go: the block being defined or the
// drawing, with the layer and colour the record gives.
struct Dxf_Text_Look;

class Dxf_Target {
 public:
  Dxf_Target(MB_Drawing& drawing, Dxf_Builder& builder, const Dxf_Header& header)
      : drawing_(drawing), builder_(builder), header_(header) {}

  MB_Drawing& drawing() { return drawing_; }
  Dxf_Builder& builder() { return builder_; }
  const Dxf_Header& header() const { return header_; }
  MB_Block* block() const { return block_; }
  void block(MB_Block* b) { block_ = b; }
  // Appends the entity with the layer and colour of `from`; a colour of 0 or
  // more (0x00BBGGRR) replaces the record's.
  void place(MB_Drawable* entity, const Dxf_Record& from, int64_t color = -1);
  // The last entity the geometry pass placed for the record of the handle
  // (group 5), or null.
  MB_Drawable* placed_for(const std::string& handle) const;
  // The insert whose attributes follow, or null, and the layer its record
  // names: an attribute on layer 0 draws on the insert's layer, one of
  // BYBLOCK colour or line type takes the insert's, as the block's objects
  // do, and it hides with the insert.
  void attributes_of(const MB_Drawable* insert, const std::string& layer) {
    owner_ = insert;
    owner_layer_ = layer;
  }
  // Counts a record of `kind` that was left out, and why.
  void skip(const std::string& kind) { ++skipped_[kind]; }
  const std::map<std::string, size_t>& skipped() const { return skipped_; }
  // Counts a record drawn otherwise than its kind asks, and how.
  void note(const std::string& what) { ++noted_[what]; }
  const std::map<std::string, size_t>& noted() const { return noted_; }
  size_t placed() const { return placed_; }
  // The width dxf_text_width gives a text of the look, remembered: the same
  // words recur throughout a drawing.
  double width(const std::string& gbk, const Dxf_Text_Look& look);
  // The height of the lower-case letters of the style's font, of its
  // capital height: a TrueType face's own, else kDxfXHeight; remembered.
  double x_height(const std::string& style);
  // The name of a style like `style` drawing in another font: the font
  // file an MTEXT font switch names, found as a STYLE record's font is
  // found. Made in the drawing once per pair; `style` itself for no font.
  std::string font_style(const std::string& style, const std::string& font);

 private:
  MB_Drawing& drawing_;
  Dxf_Builder& builder_;
  const Dxf_Header& header_;
  MB_Block* block_ = nullptr;
  const MB_Drawable* owner_ = nullptr;
  std::string owner_layer_;
  std::map<std::string, size_t> skipped_;
  std::map<std::string, size_t> noted_;
  size_t placed_ = 0;
  std::unordered_map<std::string, double> widths_;
  std::unordered_map<std::string, double> x_heights_;
  std::map<std::pair<std::string, std::string>, std::string> font_styles_;
};

// How a text stands against its anchor.
enum class Dxf_Halign { kLeft, kCenter, kRight };
enum class Dxf_Valign { kTop, kLowerMiddle, kUpperMiddle, kBaseline, kBottom };

constexpr double kDxfDescender = 1.0 / 3.0;  // below the baseline, of the height
constexpr double kDxfXHeight = 2.0 / 3.0;    // lower-case letters of shape fonts, of the height

struct Dxf_Text_Look {
  std::string style;
  double height = 2.5;
  double width = 1.0;    // width factor
  double oblique = 0.0;  // radians
};

// A text in the look's style, at (0, 0) and angle 0.
std::unique_ptr<MB_Text> dxf_new_text(MB_Drawing& drawing, const std::string& gbk, const Dxf_Text_Look& look);
// The right edge of the text's strokes laid out from x = 0; 0 for none.
double dxf_text_width(MB_Text& text);
// Puts the text's base at (x, y) of the frame at `origin` turned by `angle`;
// the text is left without a display, as loaded entities are.
void dxf_frame_text(MB_Text& text, const As_Pt& origin, double angle, double x, double y);
// The left end of a line of `width` against its anchor.
double dxf_line_start(Dxf_Halign h, double width);
// The anchor's height in a layout whose lines have baselines from
// `first_baseline` down to `last_baseline`, the first of capital height `cap`
// and lower-case letters `x_height` of that.
double dxf_anchor_y(Dxf_Valign v, double first_baseline, double cap, double last_baseline, double x_height);

// The bit of an attribute definition's flags (group 70) that makes it
// constant: its inserts carry no attribute for it.
constexpr int kDxfAttributeConstant = 2;

// TEXT, ATTRIB and ATTDEF records (an attribute definition shows its tag,
// or in a block, when constant, its value); invisible attributes are
// counted as skipped.
void dxf_add_text(const Dxf_Record& record, Dxf_Target& target);
// A text style of the drawing made for each STYLE record, its fonts mapped
// to what is installed as the kernel maps them.
void dxf_add_style(const Dxf_Record& record, Dxf_Target& target);
// The style a text of a style the file lacks draws in (any case), when the
// file has it.
constexpr char kDxfStandardStyle[] = "Standard";
