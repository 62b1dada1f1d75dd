// The markup document wrapper over the XML document stand-in.
#include "exchange/markup/xml_document.h"

#include <windows.h>

#include <charconv>
#include <cmath>

#include "exchange/markup/markup_format.h"
#include "qm_file.h"
#include "qm_text.h"

namespace {

// "错误提示" ("error") in GBK: the caption of a parse failure.
const char kErrorCaption[] = "\xB4\xED\xCE\xF3\xCC\xE1\xCA\xBE";

}  // namespace

bool markup_read_number(const std::string& text, double& out) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  const char* end = text.data() + text.size();
  double value = 0.0;
  auto r = std::from_chars(text.data() + i, end, value, std::chars_format::general);
  if (r.ec != std::errc() || !std::isfinite(value)) return false;
  out = value;
  return true;
}

Xml_Document::Xml_Document(const char* path) { xml_open_document(path, "xmlRoot"); }

bool Xml_Document::xml_open_document(const char* path, const char* root) {
  if (document_.is_open()) return false;
  path_ = path ? path : "";
  root_ = root ? root : "";
  bool ok;
  if (xml_file_exists(path)) {
    ok = document_.parse_file(path);
  } else {
    ok = document_.parse_text("<?xml version=\"1.0\" ?><" + root_ + "></" + root_ + ">");
  }
  if (!ok) {
    const std::string reason = qm_utf8_to_gbk(document_.reason());
    MessageBoxA(nullptr, reason.c_str(), kErrorCaption, MB_OK | MB_ICONERROR);
  }
  return ok;
}

bool Xml_Document::xml_file_exists(const char* path) {
  if (!path || !qm_is_regular_file(path)) return false;
  FILE* f = qm_fopen(path, "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

int Xml_Document::xml_find_node(const std::string& name, QmXmlNode& out) const {
  out = document_.find(name);
  return out.is_null() ? kNotFound : kFound;
}

int Xml_Document::xml_read_node(const std::string& parent, const std::string& child, const char* attribute,
                                std::string& text, std::string& value) const {
  std::string parent_name = parent;
  if (!parent_name.empty() && parent_name.back() == '/') parent_name.pop_back();
  QmXmlNode node = document_.find_child(parent_name, child);
  if (node.is_null()) return kNotFound;
  text = node.text();
  if (attribute && !node.attribute(attribute, value)) value.clear();
  return kFound;
}

std::string Xml_Document::xml_get_value(const std::string& parent, const std::string& child,
                                        const char* attribute) const {
  std::string text, value;
  xml_read_node(parent, child, attribute, text, value);
  return text;
}

std::string Xml_Document::xml_get_base_document() const {
  return xml_get_value(kMarkupRoot, kMarkupBaseDocument, nullptr);
}

std::vector<QmXmlNode> Xml_Document::xml_get_object_nodes() const {
  QmXmlNode objects;
  if (xml_find_node(kMarkupObjects, objects) != kFound) return {};
  return objects.children();
}

bool Xml_Document::xml_has_objects() const {
  QmXmlNode objects;
  return xml_find_node(kMarkupObjects, objects) == kFound;
}

bool Xml_Document::xml_read_point(const QmXmlNode& point, double& x, double& y) {
  std::string xs, ys;
  double px, py;
  if (!point.attribute("x", xs) || !point.attribute("y", ys)) return false;
  if (!markup_read_number(xs, px) || !markup_read_number(ys, py)) return false;
  x = px;
  y = py;
  return true;
}

bool Xml_Document::xml_read_point_coordinate(const QmXmlNode& node, size_t index, double& x, double& y) {
  const std::vector<QmXmlNode> children = node.children();
  return index < children.size() && xml_read_point(children[index], x, y);
}

bool Xml_Document::xml_save_document(const char* path) {
  if (!document_.is_open()) return false;
  if (path && *path) path_ = path;
  return document_.save_file(path_.c_str());
}
