// Fuzz target for the XML document stand-in: any bytes are parsed; a
// document that parses is walked (children, names, text, attributes,
// look-ups), edited, written out and must parse again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qm_xml.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void walk(const QmXmlNode& node, int depth) {
  if (depth > 300) return;
  std::string value;
  node.attribute("x", value);
  node.text();
  for (const QmXmlNode& child : node.children()) {
    child.name();
    child.base_name();
    walk(child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QmXmlDocument doc;
  if (!doc.parse_text(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  QmXmlNode root = doc.root();
  walk(root, 0);
  doc.find(root.name());
  doc.find_child(root.name(), "redline:Objects");
  root.append_element("redline:Style").set_attribute("styles", std::string(reinterpret_cast<const char*>(data), size));
  if (!root.children().empty()) root.append_copy(root.children()[0]);
  QmXmlDocument again;
  check(again.parse_text(doc.to_text()));
  return 0;
}
