// Markup import: styles carried to the objects after them, polylines and
// texts as the format describes them, the base drawing through the outside
// loader, what is skipped, failures, and round trips through export.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "database/nodes/mb_draw_node.h"
#include "exchange/markup/markupio.h"
#include "qm_user.h"
#include "tests/markup/markup_fixture.h"
#include "tests/support/big_font_fixtures.h"
#include "tests/support/test_pictures.h"
#include "tests/support/test_temp.h"

namespace {

const std::string kTags = "<redline:Tags><redline:Tag dateTime=\"x\"/></redline:Tags>";

// A markup document around the given Objects content.
std::string markup(const std::string& objects, const std::string& base = "\"plan.dwg\"") {
  return "<?xml version=\"1.0\"?>\n<redline:RedlineMarkup xmlns:redline=\"urn:t\">\n  <redline:BaseDocument>" + base +
         "</redline:BaseDocument>\n  <redline:Objects>\n" + objects +
         "\n  </redline:Objects>\n</redline:RedlineMarkup>\n";
}

std::string style(const std::string& styles) { return "<redline:Style styles=\"" + styles + "\"/>"; }

std::string point(double x, double y) {
  return "<redline:Point2d x=\"" + markup_number(x) + "\" y=\"" + markup_number(y) + "\"/>";
}

std::string polyline(const std::string& inner) {
  return "<redline:Polyline markupPlaneName=\"Model\">" + inner + "</redline:Polyline>";
}

std::string text(const char* content, const std::string& inner) {
  return std::string("<redline:Text textContent=\"") + content + "\" height=\"9\" width=\"9\">" + inner +
         "</redline:Text>";
}

class MarkupImport : public MarkupTest {
 protected:
  bool load(const std::string& document, MB_Drawing* into = nullptr) {
    const std::string path = temp("in.rml");
    write_all(path, document);
    CString markup(path);
    return api_mb_load_xml(markup, into ? into : &drawing_, base_);
  }
  std::vector<MB_Polyline*> polylines() { return all<MB_Polyline>(MB_Object::ID_POLYLINE); }
  std::vector<MB_Text*> texts(MB_Drawing* of = nullptr) { return all<MB_Text>(MB_Object::ID_TEXT, of); }
  template <class T>
  std::vector<T*> all(MB_Object::MB_ID id, MB_Drawing* of = nullptr) {
    std::vector<T*> out;
    for (MB_Object* o = (of ? of : &drawing_)->object_list().head(); o; o = o->next()) {
      if (o->object_id() == id) out.push_back(static_cast<T*>(o));
    }
    return out;
  }
  CString base_;
};

TEST_F(MarkupImport, APolylineTakesTheWeightOfTheStyleBeforeIt) {
  ASSERT_TRUE(
      load(markup(style(markup_polyline_style(0.1)) + polyline(kTags + point(0, 0) + point(5, 1) + point(7, -2)))));
  ASSERT_EQ(polylines().size(), 1u);
  MB_Polyline* p = polylines()[0];
  ASSERT_EQ(p->count(), 3);
  EXPECT_FALSE(p->closed());
  const double xs[] = {0, 5, 7}, ys[] = {0, 1, -2};
  for (int i = 0; i < 3; ++i) {
    const MB_Pline_Pos& v = p->pline_pos()[i];
    EXPECT_EQ(v.point.x(), xs[i]);
    EXPECT_EQ(v.point.y(), ys[i]);
    EXPECT_NEAR(v.start_width, 3.0, 1e-12);
    EXPECT_NEAR(v.end_width, 3.0, 1e-12);
    EXPECT_EQ(v.bulge, 0.0);
  }
  EXPECT_STREQ(p->get_string(MB_PROP_XDATA_TEXT), kMarkupMark);
  EXPECT_EQ(p->general().display_color(), 255);
  EXPECT_EQ(g_current_drawing, &drawing_);
}

// More points than one polyline holds: the stroke is kept whole, in pieces
// that meet, and the log says so.
TEST_F(MarkupImport, APolylineLongerThanOneCanHoldIsKeptInPiecesThatMeet) {
  const size_t most = MB_Polyline::kMaxCount, total = 2 * most;  // needs three pieces
  std::string points;
  for (size_t i = 0; i < total; ++i) points += point(static_cast<double>(i), static_cast<double>(i % 7));
  std::remove("kzf.log");
  ASSERT_TRUE(load(markup(polyline(points))));
  const std::vector<MB_Polyline*> pieces = polylines();
  ASSERT_EQ(pieces.size(), 3u);
  size_t next = 0;  // the input point each piece should start at
  for (MB_Polyline* p : pieces) {
    ASSERT_GT(p->count(), 1);
    EXPECT_EQ(p->pline_pos()[0].point.x(), static_cast<double>(next));
    next += static_cast<size_t>(p->count()) - 1;
    EXPECT_STREQ(p->get_string(MB_PROP_XDATA_TEXT), kMarkupMark);
  }
  EXPECT_EQ(next, total - 1) << "the last piece ends at the last point";
  EXPECT_EQ(pieces[0]->count(), static_cast<int>(most));
  const std::string log = read_all("kzf.log");
  EXPECT_NE(log.find("markup: a polyline of " + std::to_string(total) + " points is kept as 3 polylines"),
            std::string::npos)
      << log;
}

TEST_F(MarkupImport, ATextTakesTheHeightOfTheStyleBeforeIt) {
  ASSERT_TRUE(load(markup(style(markup_text_style(84.736427)) + text("note &amp; \xE4\xB8\xAD", kTags + point(2, 3)))));
  ASSERT_EQ(texts().size(), 1u);
  MB_Text* t = texts()[0];
  EXPECT_NEAR(t->text_style().height(), 84.736427 * 0.0118013, 1e-12);
  EXPECT_EQ(t->base_pos().x(), 2);
  EXPECT_EQ(t->base_pos().y(), 3);
  EXPECT_EQ(t->bytes(), "note & \xD6\xD0");
  EXPECT_STREQ(t->text_style().name().ascii(), "DEFAULT_STYLE");
  EXPECT_EQ(t->text_style().width_scale(), 1.0);
  EXPECT_EQ(t->text_style().ali_flag(), 32);
  EXPECT_STREQ(t->get_string(MB_PROP_XDATA_TEXT), kMarkupMark) << "texts are marked too";
}

// A character GBK lacks is kept as its escape, as DXF text keeps it, so
// that it draws from a big font or a face that has it.
TEST_F(MarkupImport, ATextKeepsTheCharactersGbkLacksAsEscapes) {
  ASSERT_TRUE(load(markup(text("\xEB\x8F\x84 \xE4\xB8\xAD", kTags + point(0, 0)))));
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_EQ(texts()[0]->bytes(), "\\U+B3C4 \xD6\xD0");  // 도 中
}

// A text of a document whose base drawing's default style names a big font
// draws each fixture's character, written in UTF-8 as documents write it,
// as the big font's glyph for its code in the font's own code page (the
// glyph where the text's alignment puts it).
TEST_F(MarkupImport, TextsDrawTheirGlyphsInTheBigFontsCodePage) {
  const std::string main = temp("main.shx");
  ASSERT_TRUE(big_font_fixture::write_compiled(big_font_fixture::kMainSource, main));
  for (const big_font_fixture::Character& c : big_font_fixture::kCharacters) {
    SCOPED_TRACE(c.fixture->file);
    const std::string big = temp(c.fixture->file), base = temp("big_font_base.dxf");
    ASSERT_TRUE(big_font_fixture::write_compiled(c.fixture->source, big));
    write_all(base, big_font_fixture::style_dxf("AC1015", c.dxf_code_page, "DEFAULT_STYLE", main, big, ""));
    const std::string document =
        markup(style(markup_text_style(10 * kMarkupHeightPerTextHeight)) + text(c.utf8, kTags + point(100, 50)),
               "\"" + base + "\"");
    MB_Drawing drawing;  // a drawing of its own: no style of another fixture's base drawing
    ASSERT_TRUE(load(document, &drawing));
    ASSERT_EQ(texts(&drawing).size(), 1u);
    MB_Text* t = texts(&drawing)[0];
    MB_Font_Library* font = t->text_style().big_font_lib();
    ASSERT_NE(font, nullptr) << "the base drawing's style names the big font";
    const std::vector<As_Pt> expected =
        big_font_fixture::glyph(*font, c.code, t->base_pos(), t->text_style().height(), t->text_style().width_scale())
            .points;
    ASSERT_FALSE(expected.empty());
    t->build_draw();
    auto* node = static_cast<MB_Draw_Lines_Sets*>(t->draw_node());
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->pts_count(), expected.size());
    const As_Vec shift = node->points()[0] - expected[0];
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_NEAR(node->points()[i].x(), expected[i].x() + shift.x(), 1e-9) << "point " << i;
      EXPECT_NEAR(node->points()[i].y(), expected[i].y() + shift.y(), 1e-9) << "point " << i;
    }
    qm_keep_picture(drawing, 240, 160, big_font_fixture::picture(*c.fixture, "markup"));
  }
}

TEST_F(MarkupImport, BadStylesAndStrayChildrenAreSkippedAndWeightsCarryOn) {
  const std::string light = polyline(kTags + point(0, 0) + point(1, 1));
  const struct {
    const char* name;
    std::string objects;
    int polylines;
    double width;  // of the last polyline
  } cases[] = {
      {"no style before: a thin line", light, 1, 0.0},
      {"too few fields", style("ALColor:255; ALWeight:0.2") + light, 1, 0.0},
      {"style as the last child", light + style(markup_polyline_style(0.2)), 1, 0.0},
      {"style with a comment after it", style(markup_polyline_style(0.2)) + "<!-- c -->" + light, 1, 0.0},
      {"weight carries on", style(markup_polyline_style(0.2)) + light + light, 2, 6.0},
      {"other kinds skipped, case counts",
       "<redline:Circle/><redline:polyline>" + kTags + point(0, 0) + "</redline:polyline>" + light, 1, 0.0},
      {"no points", polyline(kTags), 0, 0.0},
      {"a point without y", polyline(kTags + point(0, 0) + "<redline:Point2d x=\"1\"/>"), 0, 0.0},
      {"a point with a word for x", polyline(kTags + "<redline:Point2d x=\"a\" y=\"1\"/>"), 0, 0.0},
      {"no Tags and comments between points", polyline(point(0, 0) + "<!-- c -->" + point(1, 1) + "<redline:Other/>"),
       1, 0.0},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    drawing_.object_list().kill_all();
    ASSERT_TRUE(load(markup(t.objects)));
    ASSERT_EQ(int(polylines().size()), t.polylines);
    if (t.polylines) {
      MB_Polyline* p = polylines().back();
      EXPECT_EQ(p->count(), 2);
      EXPECT_NEAR(p->pline_pos()[1].start_width, t.width, 1e-9);
    }
  }
  drawing_.object_list().kill_all();
  ASSERT_TRUE(load(markup(text("t", point(1, 2)))));
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_NEAR(texts()[0]->text_style().height(), 1.0, 1e-6) << "text height 1 before any style";
}

TEST_F(MarkupImport, PrettyAndCompactDocumentsGiveTheSameObjects) {
  const std::string objects = style(markup_polyline_style(0.1)) + polyline(kTags + point(0, 0) + point(5, 1));
  std::string compact = markup(objects);
  compact.erase(std::remove(compact.begin(), compact.end(), '\n'), compact.end());
  for (const std::string& doc : {markup(objects), compact}) {
    drawing_.object_list().kill_all();
    ASSERT_TRUE(load(doc));
    ASSERT_EQ(polylines().size(), 1u);
    EXPECT_EQ(polylines()[0]->count(), 2);
    EXPECT_NEAR(polylines()[0]->pline_pos()[0].start_width, 3.0, 1e-12);
  }
}

TEST_F(MarkupImport, TheBaseDrawingIsLoadedIntoTheDrawing) {
  const std::string dxf = temp("base plan.dxf");
  write_all(dxf, "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n");
  ASSERT_TRUE(load(markup(polyline(point(0, 0) + point(1, 1)), "\"" + dxf + "\"")));
  EXPECT_EQ(base_.str(), dxf);
  EXPECT_EQ(all<MB_Line>(MB_Object::ID_LINE).size(), 1u);
  EXPECT_EQ(polylines().size(), 1u);

  const std::string long_path = "/" + std::string(400, 'p') + ".dwg";
  const struct {
    std::string text;
    std::string stored;
  } bases[] = {{"\"a b.dwg\"", "a b.dwg"}, {"plain.dwg", "plain.dwg"}, {"\"", ""}, {"\"\"", ""},
               {"\"open", "open"},         {long_path, long_path}};
  for (const auto& b : bases) {
    EXPECT_TRUE(load(markup("", b.text)));
    EXPECT_EQ(base_.str(), b.stored);
  }
}

TEST_F(MarkupImport, FailuresKeepTheBaseDrawingAndOnlyParseErrorsAreShown) {
  // No Objects: false, with the base drawing still read and its path kept.
  const std::string dxf = temp("only.dxf");
  write_all(dxf, "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n");
  EXPECT_FALSE(load("<redline:RedlineMarkup xmlns:redline=\"urn:t\"><redline:BaseDocument>\"" + dxf +
                    "\"</redline:BaseDocument></redline:RedlineMarkup>"));
  EXPECT_EQ(base_.str(), dxf);
  EXPECT_EQ(all<MB_Line>(MB_Object::ID_LINE).size(), 1u);

  // A missing file reads as an empty document, silently.
  qm_user_clear_message_boxes();
  base_ = "kept?";
  CString missing(qm_test_temp("no such.rml"));
  EXPECT_FALSE(api_mb_load_xml(missing, &drawing_, base_));
  EXPECT_EQ(base_.str(), "");
  EXPECT_TRUE(qm_user_message_boxes().empty());

  // A document that does not parse shows why, under the error caption.
  EXPECT_FALSE(load("<redline:RedlineMarkup>\n<broken"));
  ASSERT_EQ(qm_user_message_boxes().size(), 1u);
  EXPECT_EQ(qm_user_message_boxes()[0].caption, "\xB4\xED\xCE\xF3\xCC\xE1\xCA\xBE");
  EXPECT_NE(qm_user_message_boxes()[0].text.find("line 2"), std::string::npos);
  EXPECT_EQ(qm_user_message_boxes()[0].type, UINT(MB_OK | MB_ICONERROR));

  CString any(temp("x.rml"));
  EXPECT_FALSE(api_mb_load_xml(any, nullptr, base_));
}

TEST_F(MarkupImport, ExportedDocumentsReadBackAndSaveAgainWhole) {
  add_polyline({As_Pt(0, 0, 0), As_Pt(10.25, 5, 0), As_Pt(-3, 1e-3, 0)}, 1.5);
  add_text("first \xD6\xD0", As_Pt(2, 3, 0), 2.5);
  add_polyline({As_Pt(1, 2, 0), As_Pt(3, 4, 0)}, 0.7);
  const std::string first = temp("first.rml");
  ASSERT_TRUE(api_mb_save_xml(&drawing_, "base.dwg", first.c_str()));

  MB_Drawing read;
  CString base, first_path(first);
  ASSERT_TRUE(api_mb_load_xml(first_path, &read, base));
  EXPECT_EQ(base.str(), "base.dwg");
  std::vector<MB_Object*> in, out;
  for (MB_Object* o = drawing_.object_list().head(); o; o = o->next()) in.push_back(o);
  for (MB_Object* o = read.object_list().head(); o; o = o->next()) out.push_back(o);
  ASSERT_EQ(in.size(), out.size());
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_EQ(in[i]->object_id(), out[i]->object_id());
    if (in[i]->object_id() == MB_Object::ID_POLYLINE) {
      auto* a = static_cast<MB_Polyline*>(in[i]);
      auto* b = static_cast<MB_Polyline*>(out[i]);
      ASSERT_EQ(a->count(), b->count());
      for (int k = 0; k < a->count(); ++k) {
        EXPECT_EQ(a->pline_pos()[k].point.x(), b->pline_pos()[k].point.x());
        EXPECT_EQ(a->pline_pos()[k].point.y(), b->pline_pos()[k].point.y());
        EXPECT_NEAR(b->pline_pos()[k].start_width, a->pline_pos()[0].start_width, 1.5e-7);
        EXPECT_NEAR(b->pline_pos()[k].end_width, a->pline_pos()[0].start_width, 1.5e-7);
      }
    } else {
      auto* a = static_cast<MB_Text*>(in[i]);
      auto* b = static_cast<MB_Text*>(out[i]);
      EXPECT_EQ(a->bytes(), b->bytes());
      EXPECT_EQ(a->base_pos().x(), b->base_pos().x());
      EXPECT_EQ(a->base_pos().y(), b->base_pos().y());
      EXPECT_NEAR(a->text_style().height(), b->text_style().height(), 1e-6);
    }
  }
  // Saved again, the document keeps every object.
  const std::string second = temp("second.rml");
  ASSERT_TRUE(api_mb_save_xml(&read, base, second.c_str()));
  EXPECT_TRUE(xmllint_accepts(second));
  const std::string a = read_all(first), b = read_all(second);
  EXPECT_EQ(std::count(a.begin(), a.end(), '<'), std::count(b.begin(), b.end(), '<'));
  EXPECT_NE(b.find("textContent=\"first \xE4\xB8\xAD\""), std::string::npos);
}

// A drawing saved natively with its markup becomes the base of the markup
// saved after it: opening that markup, whether the base is read for it or is
// the drawing open already, shows each markup object once, and saving it
// again writes each once, however often the round trip is made. Objects the
// document itself holds twice stay twice.
TEST_F(MarkupImport, AMarkupOverABaseSavedWithItKeepsOneCopyOfEachObject) {
  drawing_.object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(50, 50, 0)));
  add_polyline({As_Pt(0, 0, 0), As_Pt(10.25, 5, 0), As_Pt(-3, 1.0 / 3, 0)}, 1.5);
  add_text("note", As_Pt(2, 3, 0), 2.5);
  const std::string base = temp("base.kzf");
  {
    MB_File_IO io;
    io.drawing(&drawing_);
    ASSERT_TRUE(io.save_kzf(const_cast<char*>(base.c_str()))) << io.reason();
  }
  std::string document = temp("round0.rml");
  ASSERT_TRUE(api_mb_save_xml(&drawing_, base.c_str(), document.c_str()));
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    MB_Drawing read;
    CString base_read, path(document);
    ASSERT_TRUE(api_mb_load_xml(path, &read, base_read));
    int lines = 0, polylines = 0, texts = 0;
    for (MB_Object* o = read.object_list().head(); o; o = o->next()) {
      lines += o->object_id() == MB_Object::ID_LINE;
      polylines += o->object_id() == MB_Object::ID_POLYLINE;
      texts += o->object_id() == MB_Object::ID_TEXT;
    }
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(polylines, 1);
    EXPECT_EQ(texts, 1);
    document = temp("round" + std::to_string(round) + ".rml");
    ASSERT_TRUE(api_mb_save_xml(&read, base_read, document.c_str()));
    const std::string written = read_all(document);
    EXPECT_EQ(written.find("<redline:Polyline"), written.rfind("<redline:Polyline")) << written;
  }

  // The markup over the drawing open already (its base), and a document
  // holding one stroke twice: the held copy stands for one of them.
  const std::string twice = style("a:1") + polyline(point(0, 0) + point(10.25, 5) + point(-3, 1.0 / 3)) + style("a:1") +
                            polyline(point(0, 0) + point(10.25, 5) + point(-3, 1.0 / 3));
  ASSERT_TRUE(load(markup(twice, "")));
  EXPECT_EQ(polylines().size(), 2u);
}

}  // namespace
