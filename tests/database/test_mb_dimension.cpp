// Dimensions: measuring, the generated text, the lines drawn, copies, the
// arrow head, and dimension-style records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "database/entities/mb_block.h"
#include "database/entities/mb_dimension.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/mb_drawing.h"
#include "surface/cmydc.h"
#include "kzf_file_support.h"
#include "tests/support/expect_pt.h"
#include "tests/surface/surface_probe.h"

using namespace kzf_file_test;

namespace {

MB_Dimension linear(const As_Pt& p2, const As_Pt& p3, const As_Pt& definition) {
  MB_Dimension d;
  d.dim_pt2(p2);
  d.dim_pt3(p3);
  d.definition_pt(definition);
  return d;
}

// The single generated text of a built dimension, or "(none)".
std::string generated(const MB_Dimension& d) {
  const MB_Object* o = d.texts().head();
  if (!o) return "(none)";
  EXPECT_EQ(o->next(), nullptr);
  const char* s = static_cast<const MB_Text*>(o)->string().ascii();
  return s ? s : "";
}

// The raw 32-bit pixel of a colour reference (0x00BBGGRR).
uint32_t raw(uint32_t colour) { return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF); }

}  // namespace

TEST(Dimension, MeasuresAlongTheAxisItsDefinitionPointChooses) {
  struct Case {
    As_Pt p2, p3, definition;
    unsigned char kind;
    double want;
  };
  const Case cases[] = {
      {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(5, 3, 0), MB_Dimension::kLinear, 0.0},   // vertical
      {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(0, 3, 0), MB_Dimension::kLinear, 10.0},  // horizontal
      {As_Pt(0, 0, 0), As_Pt(10, 4, 0), As_Pt(10, 9, 0), MB_Dimension::kLinear, 10.0},
      {As_Pt(0, 0, 0), As_Pt(10, 4, 0), As_Pt(-2, 9, 0), MB_Dimension::kLinear, 4.0},
      {As_Pt(1, 1, 0), As_Pt(4, 5, 0), As_Pt(0, 0, 0), MB_Dimension::kAligned, 5.0},
      // A definition point a hair off a measured point's vertical is on it,
      // for measuring as for drawing.
      {As_Pt(0, 0, 0), As_Pt(10, 4, 0), As_Pt(1e-12, 9, 0), MB_Dimension::kLinear, 10.0},
  };
  for (const Case& c : cases) {
    MB_Dimension d = linear(c.p2, c.p3, c.definition);
    d.flag(c.kind);
    d.build_draw();
    EXPECT_DOUBLE_EQ(d.measurement(), c.want) << c.definition.x();
    if (c.kind == MB_Dimension::kLinear) {
      // The line is drawn along the axis that was measured.
      const MB_Dimension::Lines l = d.lines();
      if (d.is_horizontal())
        EXPECT_EQ(l.dim_line[0].y(), c.definition.y());
      else
        EXPECT_EQ(l.dim_line[0].x(), c.definition.x());
    }
  }
  // A measurement once set is never recomputed.
  MB_Dimension d = linear(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(0, 3, 0));
  d.measurement(7.5);
  d.build_draw();
  EXPECT_EQ(d.measurement(), 7.5);
}

TEST(Dimension, TextIsTheSetTextOrTheFormattedMeasurement) {
  struct Case {
    double value;
    int places;
    const char* set;  // null: never set
    const char* want;
  };
  const Case cases[] = {
      {10.0, 2, nullptr, "10.00"}, {9.99, 0, nullptr, "9"},     {-0.5, 0, nullptr, "0"},
      {12.5, 1, "<>", "12.5"},     {12.5, 1, "ABC", "ABC"},     {12.5, 1, "", ""},
      {1.0, 65535, nullptr, "1.000000000000000"},  // places are clamped
      {1e20, 0, nullptr, "100000000000000000000"},  // beyond any int, no overflow
  };
  for (const Case& c : cases) {
    MB_Dimension d;
    d.measurement(c.value);
    d.style().int_val()[MB_Dim_Style::kDecimalPlaces] = static_cast<uint16_t>(c.places);
    if (c.set) d.dim_text(c.set);
    EXPECT_EQ(d.text(), c.want) << c.value << " " << c.places;
  }
}

TEST(Dimension, BuildGeneratesOneCentredTextInTheStyleOfTheDrawing) {
  MB_Drawing drawing;
  auto* text_style = new MB_Text_Style("NOTES", "", "", 5.0, 1.0, 0.0, 0.0, 0, 0);
  drawing.text_style_list().add_tail(text_style);
  auto* named = new MB_Dim_Style();
  named->name("Mech");
  named->int_val()[MB_Dim_Style::kDecimalPlaces] = 2;
  named->real_val()[MB_Dim_Style::kTextHeight] = 3.5;
  named->color()[MB_Dim_Style::kTextColor] = 0x00FF00;
  named->build(&drawing);
  drawing.dim_style_list().add_tail(named);

  MB_Dimension d = linear(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(0, 3, 0));
  d.build_draw();
  EXPECT_EQ(generated(d), "(none)");  // no text style yet
  d.dim_style(drawing, "MECH");
  EXPECT_EQ(d.style().text_style(), text_style);
  d.text_mid(As_Pt(5, 3, 0));
  d.text_angle(0.25);
  d.build_draw();
  d.build_draw();  // a rebuild replaces the text
  ASSERT_EQ(generated(d), "10.00");
  const auto* t = static_cast<const MB_Text*>(d.texts().head());
  expect_pt(t->base_pos(), 5, 3, 1e-12);
  EXPECT_EQ(t->text_style().height(), 3.5);
  EXPECT_EQ(t->text_style().angle(), 0.25);
  EXPECT_EQ(t->text_style().ali_flag(), MB_Text_Style::kCentred);
  EXPECT_EQ(t->general().color(), 0x00FF00);

  // A drawing without text styles changes nothing.
  MB_Drawing bare;
  MB_Dimension e;
  e.dim_style(bare, "Mech");
  EXPECT_EQ(e.style().text_style(), nullptr);
}

TEST(Dimension, ExtensionLinesLeaveAGapAndOvershootAndAlignedEndsProject) {
  MB_Dimension d = linear(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(0, 3, 0));
  d.style().real_val()[MB_Dim_Style::kExtension] = 1.0;
  d.style().real_val()[MB_Dim_Style::kGap] = 0.5;
  const MB_Dimension::Lines l = d.lines();
  expect_pt(l.dim_line[0], 0, 3, 1e-12);
  expect_pt(l.dim_line[1], 10, 3, 1e-12);
  expect_pt(l.extension_a[0], 0, 0.5, 1e-12);
  expect_pt(l.extension_a[1], 0, 4, 1e-12);
  expect_pt(l.extension_b[0], 10, 0.5, 1e-12);
  expect_pt(l.extension_b[1], 10, 4, 1e-12);

  // Aligned: the ends are the measured points projected onto the line
  // through the definition point and the text.
  MB_Dimension a = linear(As_Pt(0, 0, 0), As_Pt(4, 4, 0), As_Pt(-1, 1, 0));
  a.flag(MB_Dimension::kAligned);
  a.text_mid(As_Pt(1, 3, 0));
  const MB_Dimension::Lines la = a.lines();
  expect_pt(la.dim_line[0], -1, 1, 1e-12);
  expect_pt(la.dim_line[1], 3, 5, 1e-12);
}

TEST(Dimension, DrawsItsLinesInTheStyleColours) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 40, 40), nullptr);
  MB_Dimension d = linear(As_Pt(5, 5, 0), As_Pt(25, 5, 0), As_Pt(5, 20, 0));
  d.style().real_val()[MB_Dim_Style::kExtension] = 2.0;
  d.style().real_val()[MB_Dim_Style::kGap] = 3.0;
  d.style().color()[MB_Dim_Style::kExtensionColor] = 0x0000FF;
  d.style().color()[MB_Dim_Style::kDimLineColor] = 0x00FF00;
  As_Tran view;
  const Probe surface(dc);
  const uint32_t background = surface.at(0, 0);
  d.draw_dim_line(nullptr, dc, view);
  EXPECT_EQ(surface.at(5, 5), raw(0x0000FF));    // the measured point
  EXPECT_EQ(surface.at(5, 6), background);       // the gap
  EXPECT_EQ(surface.at(5, 10), raw(0x0000FF));   // the extension line
  EXPECT_EQ(surface.at(15, 20), raw(0x00FF00));  // the dimension line
  EXPECT_EQ(surface.at(25, 21), raw(0x0000FF));  // past the dimension line
}

TEST(Dimension, CopiesOwnTheirInsertAndTexts) {
  MB_Drawing drawing;
  drawing.text_style_list().add_tail(new MB_Text_Style("S", "", "", 5.0, 1.0, 0.0, 0.0, 0, 0));
  auto* block = new MB_Block(As_Pt(0, 0, 0), MB_String("*D1"), MB_String(""));
  block->object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 0, 0)));
  drawing.block_list().add_tail(block);

  MB_Dimension d = linear(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(0, 3, 0));
  d.block_name("nope", drawing);
  EXPECT_EQ(d.insert(), nullptr);
  d.block_name("*d1", drawing);
  d.block_name("*D1", drawing);  // the first insert is freed, not leaked
  ASSERT_NE(d.insert(), nullptr);
  EXPECT_EQ(d.insert()->block(), block);
  d.dim_style(drawing, nullptr);
  d.insert_pt(As_Pt(2, 3, 0));
  d.style().color()[MB_Dim_Style::kDimLineColor] = 0x123456;
  d.build_draw();
  expect_pt(d.insert()->point(), 2, 3, 1e-12);
  EXPECT_EQ(d.insert()->general().color(), 0x123456);
  EXPECT_EQ(generated(d), "10");

  MB_Dimension copy(d);
  EXPECT_NE(copy.insert(), d.insert());
  EXPECT_EQ(copy.insert()->block(), block);
  EXPECT_EQ(generated(copy), "(none)");
  copy.build_draw();
  EXPECT_EQ(generated(copy), "10");
  MB_Dimension assigned;
  assigned = copy;
  assigned = assigned;
  EXPECT_NE(assigned.insert(), copy.insert());
  EXPECT_EQ(assigned.measurement(), 10.0);
}

TEST(Arrow, FillsTheTriangleOfItsTipAndBase) {
  CMyDC dc;
  HDC hdc = make_surface(dc, 40, 40);
  ASSERT_NE(hdc, nullptr);
  As_Tran view;
  const uint32_t background = Probe(dc).at(0, 0);
  As_Pt tip(0, 0, 0);
  g_arrow.draw(hdc, view, 0, tip, As_Uvec(1, 0, 0), 2.0, 1.0);
  expect_pt(g_arrow.base_left(), 2, -0.5, 1e-12);
  expect_pt(g_arrow.base_right(), 2, 0.5, 1e-12);
  // A larger head is filled with the DC's brush.
  HBRUSH brush = CreateSolidBrush(0x0000FF);
  HGDIOBJ old = SelectObject(hdc, brush);
  As_Pt tip2(5, 20, 0);
  g_arrow.draw(hdc, view, 0, tip2, As_Uvec(1, 0, 0), 20.0, 10.0);
  const Probe surface(dc);
  EXPECT_EQ(surface.at(20, 20) & 0xFFFFFF, raw(0x0000FF));
  EXPECT_EQ(surface.at(20, 30), background);
  SelectObject(hdc, old);
  DeleteObject(brush);
}

TEST(DimStyleRecords, StyleRecordRoundTripsAndOlderOpcodesReadTheSame) {
  MB_Drawing d;
  auto* style = new MB_Dim_Style();
  style->name("ISO-25");
  for (int i = 0; i < MB_Dim_Style::kColorCount; ++i) style->color()[i] = 0x10 + i;
  for (int i = 0; i < MB_Dim_Style::kIntCount; ++i) style->int_val()[i] = uint16_t(100 + i);
  for (int i = 0; i < MB_Dim_Style::kRealCount; ++i) style->real_val()[i] = 0.5 + i;
  auto* text_style = new MB_Text_Style("S", "", "", 5.0, 1.0, 0.0, 0.0, 0, 0);
  d.text_style_list().add_tail(text_style);
  style->build(&d);
  d.dim_style_list().add_tail(style);

  Bytes want = {'Q'};
  append_long(want, 6);
  for (char c : std::string("ISO-25")) want.push_back(uint8_t(c));
  for (int i = 0; i < 3; ++i) append_long(want, uint32_t(0x10 + i));
  for (int i = 0; i < 13; ++i) {
    want.push_back(uint8_t(100 + i));
    want.push_back(0);
  }
  for (int i = 0; i < 16; ++i) append_double(want, 0.5 + i);
  const Bytes file = save(d);
  Bytes body;
  ASSERT_TRUE(payload(file, body));
  EXPECT_NE(std::search(body.begin(), body.end(), want.begin(), want.end()), body.end());

  MB_Drawing back;
  ASSERT_TRUE(load(file, back));
  auto styles = objects_of<MB_Dim_Style>(back.dim_style_list());
  ASSERT_EQ(styles.size(), 1u);
  EXPECT_STREQ(styles[0]->char_name(), "ISO-25");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(styles[0]->color()[i], 0x10 + i);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(styles[0]->int_val()[i], 100 + i);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(styles[0]->real_val()[i], 0.5 + i);
  EXPECT_EQ(styles[0]->text_style(), nullptr);  // not stored

  // The older opcodes read the same record; a dimension record reads as
  // nothing and is freed by the pass (the leak check sees it).
  for (uint8_t op : {uint8_t(0x18), uint8_t('x')}) {
    Bytes older = want;
    older[0] = op;
    older.push_back('X');
    MB_Drawing o;
    ASSERT_TRUE(load(uncompressed_file(older), o)) << int(op);
    EXPECT_EQ(objects_of<MB_Dim_Style>(o.dim_style_list()).size(), 1u);
    EXPECT_EQ(o.object_list().head(), nullptr);
  }
  // A record cut short ends the load cleanly.
  load_damaged(file, 7, [](MB_Drawing&) {});
}
