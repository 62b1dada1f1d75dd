// The XML document stand-in: the little of a DOM the markup library uses,
// over libxml2, with failures as return values (no exceptions).
//
// Parsing never touches the network, never loads a DTD or an external
// entity, and keeps libxml2's limits on entity expansion; the file is read by
// the platform file layer (Windows-style names work) and parsed from memory.
// Whitespace-only text between elements is not kept, so a pretty-printed and
// a compact document have the same children. Elements are found by their
// qualified name as written ("redline:Tag"), whatever namespace the prefix
// is bound to. All text in and out is UTF-8; text and attribute values set
// here are made valid XML first (see qm_xml_valid_text), so a saved document
// always reads back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

class QmXmlNode {
 public:
  QmXmlNode() = default;
  explicit QmXmlNode(_xmlNode* node) : node_(node) {}

  bool is_null() const { return node_ == nullptr; }
  bool is_element() const;
  // The qualified name of an element as written, else empty.
  std::string name() const;
  // The name after its prefix.
  std::string base_name() const;
  // Whether base_name() is `base`, without making a string.
  bool has_base_name(std::string_view base) const;
  // Elements, text that is not blank, CDATA, comments, processing
  // instructions and entity references, in document order.
  std::vector<QmXmlNode> children() const;
  // The text of the node and its descendants, joined and trimmed of XML
  // whitespace at both ends; entity references are not expanded.
  std::string text() const;
  // The node's children become one text node.
  void set_text(const std::string& text);
  // False (value untouched) when the element lacks the attribute.
  bool attribute(const char* name, std::string& value) const;
  // Replaces the value in place, else adds the attribute at the end.
  void set_attribute(const char* name, const std::string& value);
  // A new element appended as the last child; a prefix is bound to the
  // namespace it has in scope here, else kept as part of the name.
  QmXmlNode append_element(const std::string& qualified_name);
  // A deep copy of the node appended as the last child.
  QmXmlNode append_copy(const QmXmlNode& source);
  // Unlinks the node from its document and frees it with its descendants;
  // this handle becomes null (other handles to it must not be used).
  void remove();
  // The element and its descendants as the document's indented text shows
  // them where the element stands: its first line without the indentation,
  // no line feed after the last.
  std::string to_text() const;

  _xmlNode* raw() const { return node_; }

 private:
  _xmlNode* node_ = nullptr;
};

class QmXmlDocument {
 public:
  QmXmlDocument() = default;
  QmXmlDocument(const QmXmlDocument&) = delete;
  QmXmlDocument& operator=(const QmXmlDocument&) = delete;
  ~QmXmlDocument();

  // Replaces any document held. False when the file cannot be read or is
  // not well-formed; reason() says why (with the line).
  bool parse_file(const char* path);
  bool parse_text(std::string_view text);
  bool is_open() const { return doc_ != nullptr; }
  const std::string& reason() const { return reason_; }

  QmXmlNode root() const;
  // The first element of that qualified name in document order.
  QmXmlNode find(const std::string& name) const;
  // The first element named `child` whose parent is an element named
  // `parent`, in document order.
  QmXmlNode find_child(const std::string& parent, const std::string& child) const;

  // The document as indented UTF-8 text.
  std::string to_text() const;
  // The document's text split around `place`, an element without children:
  // `head` runs to the start of its line, `indent` is that line's
  // indentation and `tail` follows the line. A writer can put a long run of
  // lines there (siblings of `place`, each indented by `indent`) and get the
  // text the document would have with them as nodes. False when `place` is
  // not a childless element of this document.
  bool text_around(QmXmlNode place, std::string& head, std::string& indent, std::string& tail) const;
  // An attribute value as this document's text writes it, without the
  // quotes: made valid XML (see qm_xml_valid_text), then escaped.
  std::string attribute_text(std::string_view value) const;
  // Writes to_text() as the whole new content of the file (see
  // QmFileWriter in qm_file.h). False when nothing is open or the write failed.
  bool save_file(const char* path) const;

 private:
  _xmlDoc* doc_ = nullptr;
  std::string reason_;
};

// UTF-8 text that XML 1.0 can hold: each byte of an ill-formed sequence
// becomes U+FFFD and characters XML forbids (controls other than tab, line
// feed and carriage return, U+FFFE, U+FFFF) are dropped.
std::string qm_xml_valid_text(std::string_view text);
