// Markup export: the format's strings, numbers and element order, what is
// and is not written, the template left alone, and failures that write
// nothing.
#include <gtest/gtest.h>

#include "database/mb_resource.h"
#include "exchange/markup/markupio.h"
#include "exchange/markup/xml_document.h"
#include "qm_xml.h"
#include "tests/markup/markup_fixture.h"
#include "tests/support/test_temp.h"

namespace {

std::vector<std::string> names(const std::vector<QmXmlNode>& nodes) {
  std::vector<std::string> out;
  for (const QmXmlNode& n : nodes) out.push_back(n.name());
  return out;
}

std::string attr(const QmXmlNode& n, const char* name) {
  std::string v = "(none)";
  n.attribute(name, v);
  return v;
}

TEST(MarkupFormat, StylesAndNumbersHaveTheirExactTextAndFieldsReadBack) {
  SYSTEMTIME t;
  markup_fixed_time(&t);
  EXPECT_EQ(markup_time_stamp(t), "2005-5-7T9:5:3--8:00");
  EXPECT_EQ(markup_polyline_style(0.05),
            "ALColor:255; ALEndArrowScale:1; ALEndArrowType:None; ALEndType:Round; ALJoinType:Round; "
            "ALPattern:Solid; ALPatternScale:1.41073; ALStartArrowScale:1; ALStartArrowType:None; "
            "ALWeight:0.05000000");
  EXPECT_EQ(markup_text_style(84.73642734275037),
            "AFFillColor:16777215; AFFillPattern:None; AFPatternColor:0; ALColor:0; ALEndArrowScale:1; "
            "ALEndArrowType:None; ALEndType:Round; ALJoinType:Round; ALPattern:None; ALPatternScale:1.41073; "
            "ALStartArrowScale:1; ALStartArrowType:None; ALWeight:0; ATBold:0; ATCharset:134; ATColor:255; "
            "ATFace:Arial; ATHeight:84.736427; ATItalic:0; ATJustify:Left; ATPitchAndFamily:0; ATUnderline:0; "
            "ATVJustify:Top;");
  const struct {
    double value;
    const char* text;
  } numbers[] = {{1, "1"}, {12.5, "12.5"}, {-3, "-3"}, {0.1, "0.1"}, {1e20, "1e+20"}, {1.0 / 3, "0.333333333333333"}};
  for (const auto& n : numbers) EXPECT_EQ(markup_number(n.value), n.text);
  double v = 0;
  EXPECT_TRUE(markup_style_field(markup_polyline_style(0.1), kMarkupWeightField, v));
  EXPECT_EQ(v, 0.1);
  EXPECT_TRUE(markup_style_field(markup_text_style(84.736427), kMarkupHeightField, v));
  EXPECT_EQ(v, 84.736427);
  v = 7;
  EXPECT_FALSE(markup_style_field("a:1; b:2", 3, v));
  EXPECT_FALSE(markup_style_field("a:1; b:x", 2, v));
  EXPECT_EQ(v, 7);
}

TEST_F(MarkupTest, WritesMarkedPolylinesAndTextsInOrder) {
  add_polyline({As_Pt(0, 0, 0), As_Pt(10, 5, 0), As_Pt(2.5, -1, 0)}, 1.5);
  add_polyline({As_Pt(1, 1, 0)}, 1.0, nullptr);        // no mark
  add_polyline({As_Pt(1, 1, 0)}, 1.0, "@redlines");    // another string
  add_text("check", As_Pt(2, 3, 0), 1.0, "@REDLINE");  // the mark in any case
  add_text("other", As_Pt(2, 3, 0), 1.0, nullptr);
  add_polyline({}, 1.0);  // no vertices: nothing at all
  const std::string out = temp("export.rml");
  ASSERT_TRUE(api_mb_save_xml(&drawing_, "/plans/a.dwg", out.c_str()));
  EXPECT_TRUE(xmllint_accepts(out));

  QmXmlDocument doc;
  ASSERT_TRUE(doc.parse_file(out.c_str())) << doc.reason();
  EXPECT_EQ(doc.find_child("redline:RedlineMarkup", "redline:BaseDocument").text(), "\"/plans/a.dwg\"");
  EXPECT_EQ(attr(doc.find("redline:Tag"), "dateTime"), "2005-5-7T9:5:3--8:00");
  std::vector<QmXmlNode> objects = doc.find("redline:Objects").children();
  ASSERT_EQ(names(objects),
            (std::vector<std::string>{"redline:Style", "redline:Polyline", "redline:Style", "redline:Text"}));
  const std::string weight = attr(objects[0], "styles");
  EXPECT_EQ(weight.substr(weight.size() - 19), "ALWeight:0.05000000");
  QmXmlNode polyline = objects[1];
  EXPECT_EQ(attr(polyline, "markupPlaneName"), "Model");
  std::vector<QmXmlNode> kids = polyline.children();
  ASSERT_EQ(names(kids),
            (std::vector<std::string>{"redline:Tags", "redline:Point2d", "redline:Point2d", "redline:Point2d"}));
  QmXmlNode tag = kids[0].children().at(0);
  EXPECT_EQ(tag.name(), "redline:Tag");
  EXPECT_EQ(attr(tag, "dateTime"), "2005-5-7T9:5:3--8:00");
  EXPECT_EQ(names(tag.children()), std::vector<std::string>{"redline:Status"});
  EXPECT_EQ(attr(tag.children()[0], "state"), "pending");
  EXPECT_EQ(attr(kids[2], "x"), "10");
  EXPECT_EQ(attr(kids[3], "x"), "2.5");
  EXPECT_EQ(attr(kids[3], "y"), "-1");
  EXPECT_NE(attr(objects[2], "styles").find("ATHeight:84.736427;"), std::string::npos);
  QmXmlNode text = objects[3];
  EXPECT_EQ(attr(text, "textContent"), "check");
  EXPECT_EQ(attr(text, "height"), "1");
  EXPECT_EQ(attr(text, "width"), "1");
  const std::string raw = read_all(out);
  EXPECT_NE(raw.find("<redline:Text rotation=\"0.000000\" scale=\"1.000000\" markupPlaneName=\"Model\" "
                     "textContent=\"check\" height=\"1\" width=\"1\">"),
            std::string::npos)
      << raw;
}

TEST_F(MarkupTest, AnEmptyDrawingFillsOnlyTheBaseAndTheStamp) {
  const std::string out = temp("empty.rml");
  ASSERT_TRUE(api_mb_save_xml(&drawing_, nullptr, out.c_str()));
  QmXmlDocument doc;
  ASSERT_TRUE(doc.parse_file(out.c_str()));
  EXPECT_EQ(doc.find("redline:BaseDocument").text(), "\"\"");
  EXPECT_TRUE(doc.find("redline:Objects").children().empty());
  EXPECT_EQ(attr(doc.find("redline:Tag"), "dateTime"), "2005-5-7T9:5:3--8:00");
}

TEST_F(MarkupTest, TextsXmlCannotHoldAreMadeValid) {
  add_text("a<b & \"c\"\x01 \xD6\xD0\xCE\xC4", As_Pt(0, 0, 0), 2.0);  // with GBK characters
  const std::string out = temp("escaped.rml");
  ASSERT_TRUE(api_mb_save_xml(&drawing_, "C:\\plans\\\xD6\xD0.dwg", out.c_str()));
  EXPECT_TRUE(xmllint_accepts(out));
  QmXmlDocument doc;
  ASSERT_TRUE(doc.parse_file(out.c_str())) << doc.reason();
  EXPECT_EQ(attr(doc.find("redline:Text"), "textContent"), "a<b & \"c\" \xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(doc.find("redline:BaseDocument").text(), "\"C:\\plans\\\xE4\xB8\xAD.dwg\"");
}

TEST_F(MarkupTest, TheTemplateIsNeverWritten) {
  char support[MAX_PATH];
  ASSERT_TRUE(get_support_dir(support));
  const std::string tmpl = std::string(support) + "sample.xml";
  const std::string before = read_all(tmpl);
  ASSERT_FALSE(before.empty()) << "missing " << tmpl;
  add_polyline({As_Pt(0, 0, 0), As_Pt(1, 1, 0)}, 0.3);
  EXPECT_TRUE(api_mb_save_xml(&drawing_, "a.dwg", temp("t.rml").c_str()));
  EXPECT_FALSE(api_mb_save_xml(&drawing_, "a.dwg", ""));
  EXPECT_FALSE(api_mb_save_xml(&drawing_, "a.dwg", nullptr));
  EXPECT_FALSE(api_mb_save_xml(nullptr, "a.dwg", temp("none.rml").c_str()));
  EXPECT_FALSE(markup_file_exists(qm_test_temp("none.rml")));
  EXPECT_FALSE(api_mb_save_xml(&drawing_, "a.dwg", "/nonexistent/folder/out.rml")) << "the save's own result";
  EXPECT_EQ(read_all(tmpl), before);
}

TEST_F(MarkupTest, ATemplateLackingAnElementOrMissingWritesNothingAndIsNamed) {
  const struct {
    const char* name;
    const char* text;
  } cases[] = {
      {"no BaseDocument",
       "<redline:RedlineMarkup xmlns:redline=\"urn:t\"><redline:Tag/><redline:Objects/></redline:RedlineMarkup>"},
      {"no Tag",
       "<redline:RedlineMarkup xmlns:redline=\"urn:t\"><redline:BaseDocument/><redline:Objects/>"
       "</redline:RedlineMarkup>"},
      {"no Objects",
       "<redline:RedlineMarkup xmlns:redline=\"urn:t\"><redline:BaseDocument/><redline:Tag/></redline:RedlineMarkup>"},
      {"not well-formed", "<redline:RedlineMarkup"},
  };
  add_polyline({As_Pt(0, 0, 0), As_Pt(1, 1, 0)}, 0.3);
  const std::string tmpl = qm_test_temp("markup_kernel/") + "support/sample.xml";
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    use_template(t.text);
    const std::string out = temp("lacking.rml");
    std::string why;
    EXPECT_FALSE(api_mb_save_xml(&drawing_, "a.dwg", out.c_str(), why));
    EXPECT_FALSE(markup_file_exists(out));
    EXPECT_EQ(why, "the markup template cannot be read: " + tmpl + ": it lacks BaseDocument, Tag or Objects");
  }
  // An install without the template: the reason names the file it lacks.
  std::remove(tmpl.c_str());
  const std::string out = temp("lacking.rml");
  std::string why;
  EXPECT_FALSE(api_mb_save_xml(&drawing_, "a.dwg", out.c_str(), why));
  EXPECT_FALSE(markup_file_exists(out));
  EXPECT_EQ(why, "the markup template cannot be read: " + tmpl + ": No such file or directory");
}

}  // namespace
