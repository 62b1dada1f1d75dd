// Markup export: the template filled with the drawing's markup entities.
//
// The template is read as a document and given its base drawing and time
// stamp; its objects, which can number in the hundreds of thousands, are
// then written as text straight into the file, in the place an empty
// element holds among the template's objects, line for line as the
// document would write them had they been made as nodes.
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "database/mb_resource.h"
#include "exchange/markup/markup_format.h"
#include "exchange/markup/markupio.h"
#include "exchange/markup/xml_document.h"
#include "qm_file.h"
#include "qm_text.h"

namespace {

// Kernel text is GBK; names given by the user may already be UTF-8.
std::string path_to_utf8(const char* path) {
  if (!path) return std::string();
  return qm_is_utf8(path) ? std::string(path) : qm_gbk_to_utf8(path);
}

// The indentation one level deeper, as the document writes it.
constexpr const char* kIndentStep = "  ";

// Writes the objects as the document's text: each element on a line of its
// own at the objects' indentation, its children one step deeper, each
// object's tags the same lines every time (the template's tag with a
// pending status).
class Markup_Writer {
 public:
  Markup_Writer(Xml_Document& doc, std::string indent, std::string tags, FILE* out)
      : doc_(doc), indent_(std::move(indent)), child_(indent_ + kIndentStep), tags_(std::move(tags)), out_(out) {
    buffer_.reserve(kFlushBytes + 4096);
  }

  void polyline(const MB_Polyline& p) {
    style(markup_polyline_style(p.pline_pos()[0].start_width * kMarkupWeightPerWidth));
    open_line(indent_, kMarkupPolyline);
    buffer_ += " markupPlaneName=\"Model\">\n";
    buffer_ += tags_;
    for (int i = 0; i < p.count(); ++i) point(p.pline_pos()[i].point);
    close_line(indent_, kMarkupPolyline);
    flush_when_full();
  }

  void text(const MB_Text& t) {
    const double height = t.text_style().height();
    style(markup_text_style(height * kMarkupHeightPerTextHeight));
    open_line(indent_, kMarkupText);
    buffer_ += " rotation=\"0.000000\" scale=\"1.000000\" markupPlaneName=\"Model\" textContent=\"";
    buffer_ += doc_.document().attribute_text(qm_gbk_to_utf8(t.bytes()));
    const std::string size = markup_number(height);
    buffer_ += "\" height=\"" + size + "\" width=\"" + size + "\">\n";
    buffer_ += tags_;
    point(t.base_pos());
    close_line(indent_, kMarkupText);
    flush_when_full();
  }

  // Writes what is left; false when any write failed.
  bool finish() {
    flush();
    return ok_;
  }

 private:
  static constexpr size_t kFlushBytes = 1 << 16;

  // Style strings and numbers are ASCII letters, digits and punctuation
  // that need no escaping.
  void style(const std::string& styles) {
    open_line(indent_, kMarkupStyle);
    buffer_ += " styles=\"" + styles + "\"/>\n";
  }

  void point(const As_Pt& p) {
    open_line(child_, kMarkupPoint);
    buffer_ += " x=\"" + markup_number(p.x()) + "\" y=\"" + markup_number(p.y()) + "\"/>\n";
  }

  void open_line(const std::string& indent, const char* name) {
    buffer_ += indent;
    buffer_ += '<';
    buffer_ += name;
  }

  void close_line(const std::string& indent, const char* name) {
    buffer_ += indent;
    buffer_ += "</";
    buffer_ += name;
    buffer_ += ">\n";
  }

  void flush_when_full() {
    if (buffer_.size() >= kFlushBytes) flush();
  }

  void flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) ok_ = false;
    buffer_.clear();
  }

  Xml_Document& doc_;
  const std::string indent_, child_, tags_;
  FILE* out_;
  std::string buffer_;
  bool ok_ = true;
};

// The tags every object carries, as lines at the depth of an object's
// children: made once as nodes under a stand-in object and written by the
// document itself, so the template's tag comes out exactly as it would.
std::string tag_lines(QmXmlNode objects, QmXmlNode model_tag, const std::string& child_indent) {
  QmXmlNode sample = objects.append_element(kMarkupPolyline);
  QmXmlNode tags = sample.append_element(kMarkupTags);
  tags.append_copy(model_tag).append_element(kMarkupStatus).set_attribute("state", "pending");
  std::string lines = child_indent + tags.to_text() + "\n";
  sample.remove();
  return lines;
}

// Calls f with each markup polyline that has points and each markup text,
// in drawing order: the objects the export writes.
template <class F>
void for_each_markup_object(MB_Drawing& drawing, F f) {
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next()) {
    const auto id = o->object_id();
    if (id != MB_Object::ID_POLYLINE && id != MB_Object::ID_TEXT) continue;
    MB_Drawable* entity = static_cast<MB_Drawable*>(o);
    if (!markup_is_marked(*entity)) continue;
    if (id == MB_Object::ID_TEXT || static_cast<MB_Polyline*>(o)->count() > 0) f(*entity);
  }
}

}  // namespace

bool api_mb_save_xml(MB_Drawing* drawing, const char* base_document, const char* target) {
  std::string unused;
  return api_mb_save_xml(drawing, base_document, target, unused);
}

bool api_mb_save_xml(MB_Drawing* drawing, const char* base_document, const char* target, std::string& why) {
  if (!drawing || !target || !*target) return false;
  char support[MAX_PATH];
  if (!get_support_dir(support)) return false;
  const std::string template_path = std::string(support) + kMarkupTemplate;
  // A missing template would read as an empty document: the user is told
  // which file the install lacks, not only that the markup was not written.
  errno = 0;
  if (!Xml_Document::xml_file_exists(template_path.c_str())) {
    const int err = errno ? errno : ENOENT;
    why = kReasonTemplateUnread + template_path + ": " + qm_file_error(template_path.c_str(), err);
    return false;
  }
  Xml_Document doc(template_path.c_str());
  QmXmlNode base, tag, objects;
  if (doc.xml_find_node(kMarkupBaseDocument, base) != Xml_Document::kFound ||
      doc.xml_find_node(kMarkupTag, tag) != Xml_Document::kFound ||
      doc.xml_find_node(kMarkupObjects, objects) != Xml_Document::kFound) {
    why = kReasonTemplateUnread + template_path + ": " + kReasonTemplateIncomplete;
    return false;
  }
  base.set_text("\"" + path_to_utf8(base_document) + "\"");
  SYSTEMTIME now;
  markup_now(&now);
  tag.set_attribute("dateTime", markup_time_stamp(now));

  bool any = false;
  for_each_markup_object(*drawing, [&any](MB_Drawable&) { any = true; });
  if (!any) return doc.xml_save_document(target);  // the template as it is, its Objects empty

  // The objects go where this empty element stands, after any the template has.
  QmXmlNode place = objects.append_element(kMarkupStyle);
  std::string head, indent, tail;
  if (!doc.document().text_around(place, head, indent, tail)) return false;
  place.remove();
  const std::string tags = tag_lines(objects, tag, indent + kIndentStep);

  QmFileWriter writer;
  if (!writer.open(target, "wb")) return false;
  FILE* out = writer.stream();
  bool ok = std::fwrite(head.data(), 1, head.size(), out) == head.size();
  Markup_Writer body(doc, indent, tags, out);
  for_each_markup_object(*drawing, [&body](MB_Drawable& entity) {
    if (entity.object_id() == MB_Object::ID_POLYLINE) {
      body.polyline(static_cast<MB_Polyline&>(entity));
    } else {
      body.text(static_cast<MB_Text&>(entity));
    }
  });
  ok = body.finish() && ok && std::fwrite(tail.data(), 1, tail.size(), out) == tail.size();
  if (!ok) {
    writer.discard();
    return false;
  }
  return writer.commit();
}
