// Markup export writes its objects as text: the file must be, byte for
// byte, the document that building every object as a node would write.
// The node-building writer here is the reference, over a table of
// templates and drawings.
#include <gtest/gtest.h>

#include <functional>

#include "database/mb_names.h"
#include "database/mb_resource.h"
#include "exchange/markup/markupio.h"
#include "exchange/markup/xml_document.h"
#include "qm_text.h"
#include "qm_xml.h"
#include "tests/markup/markup_fixture.h"

namespace {

// The objects as nodes, the whole document written by the XML library.
bool save_as_nodes(MB_Drawing& drawing, const char* base_document, const std::string& target) {
  char support[MAX_PATH];
  if (!get_support_dir(support)) return false;
  Xml_Document doc((std::string(support) + kMarkupTemplate).c_str());
  QmXmlNode base, tag, objects;
  if (doc.xml_find_node(kMarkupBaseDocument, base) != Xml_Document::kFound ||
      doc.xml_find_node(kMarkupTag, tag) != Xml_Document::kFound ||
      doc.xml_find_node(kMarkupObjects, objects) != Xml_Document::kFound) {
    return false;
  }
  base.set_text("\"" + std::string(base_document) + "\"");
  SYSTEMTIME now;
  markup_now(&now);
  tag.set_attribute("dateTime", markup_time_stamp(now));
  auto tags = [&tag](QmXmlNode element) {
    element.append_element(kMarkupTags).append_copy(tag).append_element(kMarkupStatus).set_attribute("state",
                                                                                                     "pending");
  };
  auto point = [](QmXmlNode element, const As_Pt& p) {
    QmXmlNode n = element.append_element(kMarkupPoint);
    n.set_attribute("x", markup_number(p.x()));
    n.set_attribute("y", markup_number(p.y()));
  };
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    const char* mark = static_cast<MB_Drawable*>(o)->get_string(MB_PROP_XDATA_TEXT);
    if (!mark || !mb_same_name(mark, kMarkupMark)) continue;
    if (o->object_id() == MB_Object::ID_POLYLINE) {
      const MB_Polyline& p = *static_cast<MB_Polyline*>(o);
      if (p.count() == 0) continue;
      objects.append_element(kMarkupStyle)
          .set_attribute("styles", markup_polyline_style(p.pline_pos()[0].start_width * kMarkupWeightPerWidth));
      QmXmlNode e = objects.append_element(kMarkupPolyline);
      e.set_attribute("markupPlaneName", "Model");
      tags(e);
      for (int i = 0; i < p.count(); ++i) point(e, p.pline_pos()[i].point);
    } else if (o->object_id() == MB_Object::ID_TEXT) {
      const MB_Text& t = *static_cast<MB_Text*>(o);
      const double height = t.text_style().height();
      objects.append_element(kMarkupStyle)
          .set_attribute("styles", markup_text_style(height * kMarkupHeightPerTextHeight));
      QmXmlNode e = objects.append_element(kMarkupText);
      e.set_attribute("rotation", "0.000000");
      e.set_attribute("scale", "1.000000");
      e.set_attribute("markupPlaneName", "Model");
      e.set_attribute("textContent", qm_gbk_to_utf8(t.bytes()));
      e.set_attribute("height", markup_number(height));
      e.set_attribute("width", markup_number(height));
      tags(e);
      point(e, t.base_pos());
    }
  }
  return doc.xml_save_document(target.c_str());
}

class MarkupStream : public MarkupTest {};

TEST_F(MarkupStream, TheWrittenFileIsTheDocumentOfNodesByteForByte) {
  const char* const kDefault = nullptr;  // the kernel's own template
  const char* const templates[] = {
      kDefault,
      // Compact, without a declaration; objects already there; a tag with
      // more to copy; objects deeper down; text the writer must escape.
      "<redline:RedlineMarkup xmlns:redline=\"urn:x\"><redline:BaseDocument/><redline:Tag dateTime=\"\" "
      "by=\"\xE4\xB8\xAD &amp; &lt;x&gt;\"><redline:Note>kept</redline:Note></redline:Tag><a><b><redline:Objects>"
      "<redline:Style styles=\"old\"/></redline:Objects></b></a><after/></redline:RedlineMarkup>",
      "<?xml version=\"1.0\"?>\n<m><redline:BaseDocument/><redline:Tag dateTime=\"\"/><redline:Objects>"
      "<!-- kept --></redline:Objects></m>",
  };
  const std::function<void()> drawings[] = {
      [] {},
      [this] { add_polyline({}, 1.0); },  // nothing to write
      [this] {
        add_polyline({As_Pt(0, 0, 0), As_Pt(10, 5, 0), As_Pt(2.5, -1, 0)}, 1.5);
        add_polyline({As_Pt(1, 1, 0)}, 1.0, nullptr);
        add_text("a<b & \"c\"\x01\t\n\r> \xD6\xD0\xCE\xC4 \xFF", As_Pt(2, 3, 0), 0.1, "@REDLINE");
        add_polyline({As_Pt(1e300, -1e-300, 0), As_Pt(1.0 / 3, 2.0 / 3, 0)}, 0.0);
        add_text("", As_Pt(-2, 1e20, 0), 7.25);
      },
      [this] {
        for (int i = 0; i < 3000; ++i) add_polyline({As_Pt(i, i * 0.5, 0), As_Pt(-i, i * 1e-3, 0)}, i * 0.01);
      },
  };
  int case_number = 0;
  for (const char* tmpl : templates) {
    if (tmpl) use_template(tmpl);
    for (const auto& make : drawings) {
      SCOPED_TRACE("case " + std::to_string(case_number++));
      drawing_.object_list().kill_all();
      make();
      const std::string streamed = temp("streamed.rml"), nodes = temp("nodes.rml");
      ASSERT_TRUE(api_mb_save_xml(&drawing_, "plan \xE4\xB8\xAD.dwg", streamed.c_str()));
      ASSERT_TRUE(save_as_nodes(drawing_, "plan \xE4\xB8\xAD.dwg", nodes));
      EXPECT_EQ(read_all(streamed), read_all(nodes));
      if (tmpl != templates[2]) {  // that one binds no prefix
        EXPECT_TRUE(xmllint_accepts(streamed));
      }
    }
  }
}

}  // namespace
