// The markup library's document wrapper: one XML document opened from a
// file (or made empty), the look-ups the markup reader and writer need, and
// saving. Every look-up on a document that failed to open, or that lacks the
// node asked for, answers "not found"; nothing throws.
#pragma once

#include <string>
#include <vector>

#include "qm_xml.h"

class Xml_Document {
 public:
  static constexpr int kFound = 0;
  static constexpr int kNotFound = -1;

  // Nothing open.
  Xml_Document() = default;
  // Opens the path with the root name "xmlRoot"; whether that worked is
  // not kept (a failed parse leaves an empty wrapper that finds nothing).
  explicit Xml_Document(const char* path);
  Xml_Document(const Xml_Document&) = delete;
  Xml_Document& operator=(const Xml_Document&) = delete;
  virtual ~Xml_Document() = default;

  // False, changing nothing, when a document is already open. A path that
  // names no existing file gives a document of one empty root element of
  // that name (true). A file that does not parse shows the parser's reason
  // in an error message box and gives false.
  bool xml_open_document(const char* path, const char* root);
  // True when the path names a regular file that can be opened for reading.
  static bool xml_file_exists(const char* path);

  // The first element of that qualified name in document order.
  int xml_find_node(const std::string& name, QmXmlNode& out) const;
  // The first `child` element under a `parent` element: its text, and the
  // value of the attribute when one is named (empty when it has none).
  int xml_read_node(const std::string& parent, const std::string& child, const char* attribute, std::string& text,
                    std::string& value) const;
  std::string xml_get_value(const std::string& parent, const std::string& child, const char* attribute) const;
  // The text of the BaseDocument element directly under the root element
  // RedlineMarkup; empty when there is none.
  std::string xml_get_base_document() const;
  // The children of the first Objects element; none when there is none.
  std::vector<QmXmlNode> xml_get_object_nodes() const;
  // Whether the document has an Objects element at all.
  bool xml_has_objects() const;
  static size_t xml_node_list_length(const std::vector<QmXmlNode>& list) { return list.size(); }
  // The "x" and "y" of the child at the index. False for an index out of
  // range or a point without a readable x or y.
  static bool xml_read_point_coordinate(const QmXmlNode& node, size_t index, double& x, double& y);
  // The "x" and "y" of a point element, read independently of the locale.
  static bool xml_read_point(const QmXmlNode& point, double& x, double& y);

  // Saves to the path, or to the stored one when the path is null or empty;
  // the stored path becomes the one given. False when nothing is open or
  // the file could not be written.
  bool xml_save_document(const char* path);

  QmXmlDocument& document() { return document_; }
  const std::string& path() const { return path_; }

 private:
  QmXmlDocument document_;
  std::string path_;
  std::string root_;
};

// A number as C's atof reads one (leading blanks, an optional sign, digits,
// a fraction, an exponent; trailing text ignored), in the C locale whatever
// the process's locale. False when no number starts the text.
bool markup_read_number(const std::string& text, double& out);
