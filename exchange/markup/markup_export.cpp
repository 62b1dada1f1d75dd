// Markup export: the template filled with the drawing's markup entities.
#include <string>

#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "database/mb_resource.h"
#include "exchange/markup/markup_format.h"
#include "exchange/markup/markupio.h"
#include "exchange/markup/xml_document.h"
#include "qm_text.h"

namespace {

// Kernel text is GBK; names given by the user may already be UTF-8.
std::string path_to_utf8(const char* path) {
  if (!path) return std::string();
  return qm_is_utf8(path) ? std::string(path) : qm_gbk_to_utf8(path);
}

bool is_markup(MB_Drawable& entity) {
  const char* mark = entity.get_string(MB_PROP_XDATA_TEXT);
  return mark && mb_same_name(mark, kMarkupMark);
}

class Markup_Writer {
 public:
  Markup_Writer(QmXmlNode objects, QmXmlNode model_tag) : objects_(objects), model_tag_(model_tag) {}

  void polyline(const MB_Polyline& p) {
    if (p.count() == 0) return;  // neither the object nor its style
    objects_.append_element(kMarkupStyle)
        .set_attribute("styles", markup_polyline_style(p.pline_pos()[0].start_width * kMarkupWeightPerWidth));
    QmXmlNode element = objects_.append_element(kMarkupPolyline);
    element.set_attribute("markupPlaneName", "Model");
    tags(element);
    for (int i = 0; i < p.count(); ++i) point(element, p.pline_pos()[i].point);
  }

  void text(const MB_Text& t) {
    const double height = t.text_style().height();
    objects_.append_element(kMarkupStyle)
        .set_attribute("styles", markup_text_style(height * kMarkupHeightPerTextHeight));
    QmXmlNode element = objects_.append_element(kMarkupText);
    element.set_attribute("rotation", "0.000000");
    element.set_attribute("scale", "1.000000");
    element.set_attribute("markupPlaneName", "Model");
    element.set_attribute("textContent", qm_gbk_to_utf8(t.bytes()));
    element.set_attribute("height", markup_number(height));
    element.set_attribute("width", markup_number(height));
    tags(element);
    point(element, t.base_pos());
  }

 private:
  void tags(QmXmlNode element) {
    QmXmlNode tag = element.append_element(kMarkupTags).append_copy(model_tag_);
    tag.append_element(kMarkupStatus).set_attribute("state", "pending");
  }

  static void point(QmXmlNode element, const As_Pt& p) {
    QmXmlNode point = element.append_element(kMarkupPoint);
    point.set_attribute("x", markup_number(p.x()));
    point.set_attribute("y", markup_number(p.y()));
  }

  QmXmlNode objects_;
  QmXmlNode model_tag_;
};

}  // namespace

bool api_mb_save_xml(MB_Drawing* drawing, const char* base_document, const char* target) {
  if (!drawing || !target || !*target) return false;
  char support[MAX_PATH];
  if (!get_support_dir(support)) return false;
  Xml_Document doc((std::string(support) + kMarkupTemplate).c_str());
  QmXmlNode base, tag, objects;
  if (doc.xml_find_node(kMarkupBaseDocument, base) != Xml_Document::kFound ||
      doc.xml_find_node(kMarkupTag, tag) != Xml_Document::kFound ||
      doc.xml_find_node(kMarkupObjects, objects) != Xml_Document::kFound) {
    return false;
  }
  base.set_text("\"" + path_to_utf8(base_document) + "\"");
  SYSTEMTIME now;
  markup_now(&now);
  tag.set_attribute("dateTime", markup_time_stamp(now));

  Markup_Writer writer(objects, tag);
  for (MB_Object* o = drawing->object_list().head(); o; o = o->next()) {
    MB_Drawable* entity = dynamic_cast<MB_Drawable*>(o);
    if (!entity || !is_markup(*entity)) continue;
    if (o->object_id() == MB_Object::ID_POLYLINE) {
      writer.polyline(*static_cast<MB_Polyline*>(o));
    } else if (o->object_id() == MB_Object::ID_TEXT) {
      writer.text(*static_cast<MB_Text*>(o));
    }
  }
  return doc.xml_save_document(target);
}
