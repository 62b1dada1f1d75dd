// The XML document stand-in over libxml2: parsing from memory with no
// network, DTD or external entity, look-ups by qualified name, editing, and
// writing the document whole.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "qm_file.h"
#include "qm_xml.h"

namespace {

// No network, blank text not kept, no messages on standard error. Entities
// are not substituted, DTDs not loaded and libxml2's size and expansion
// limits stay in force (no XML_PARSE_NOENT, XML_PARSE_DTDLOAD or
// XML_PARSE_HUGE).
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
// Documents are read whole into memory; larger ones are refused.
constexpr size_t kMaxFileBytes = size_t(1) << 30;

// External entities and DTDs are never fetched, whatever a document asks.
xmlParserInputPtr refuse_external(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

void init_library() {
  static const bool done = [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(refuse_external);
    return true;
  }();
  (void)done;
}

const char* chars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }
const xmlChar* xml(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && is_xml_space(s[a])) ++a;
  while (b > a && is_xml_space(s[b - 1])) --b;
  return s.substr(a, b - a);
}

std::string qualified_name(const xmlNode* n) {
  if (!n || n->type != XML_ELEMENT_NODE || !n->name) return std::string();
  std::string name = chars(n->name);
  if (n->ns && n->ns->prefix) return std::string(chars(n->ns->prefix)) + ":" + name;
  return name;
}

// The next node in document order below `top`, descending into children.
xmlNode* next_in_order(xmlNode* n, const xmlNode* top) {
  if (n->children && n->type == XML_ELEMENT_NODE) return n->children;
  while (n && n != top) {
    if (n->next) return n->next;
    n = n->parent;
  }
  return nullptr;
}

void append_utf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

bool allowed_in_xml(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// Printable ASCII (with tab, line feed and carriage return) needs no
// checking character by character.
bool is_valid_text(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x7F || (c < 0x20 && c != '\t' && c != '\n' && c != '\r')) return false;
  }
  return true;
}

}  // namespace

std::string qm_xml_valid_text(std::string_view text) {
  constexpr uint32_t kReplacement = 0xFFFD;
  std::string out;
  out.reserve(text.size());
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    uint32_t c = 0;
    size_t len = 0;
    uint32_t min = 0;
    if (b < 0x80) {
      c = b, len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F, len = 2, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F, len = 3, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07, len = 4, min = 0x10000;
    }
    bool ok = len > 0 && i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      ok = (s[i + k] & 0xC0) == 0x80;
      c = (c << 6) | (s[i + k] & 0x3F);
    }
    ok = ok && c >= min && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF;
    if (!ok) {
      append_utf8(out, kReplacement);
      ++i;
      continue;
    }
    if (allowed_in_xml(c)) out.append(text.data() + i, len);
    i += len;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Nodes

bool QmXmlNode::is_element() const { return node_ && node_->type == XML_ELEMENT_NODE; }

std::string QmXmlNode::name() const { return qualified_name(node_); }

namespace {

// An element's name after its prefix: the local name, or for a prefix bound
// to no namespace (kept as part of the name) what follows the last ':'.
std::string_view base_view(const xmlNode* n) {
  if (!n || n->type != XML_ELEMENT_NODE || !n->name) return std::string_view();
  std::string_view name(chars(n->name));
  const size_t colon = name.rfind(':');
  if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
  return name;
}

}  // namespace

std::string QmXmlNode::base_name() const { return std::string(base_view(node_)); }

bool QmXmlNode::has_base_name(std::string_view base) const { return base_view(node_) == base; }

std::vector<QmXmlNode> QmXmlNode::children() const {
  std::vector<QmXmlNode> out;
  if (!node_ || node_->type != XML_ELEMENT_NODE) return out;
  for (xmlNode* c = node_->children; c; c = c->next) {
    switch (c->type) {
      case XML_TEXT_NODE:
        if (!xmlIsBlankNode(c)) out.emplace_back(c);
        break;
      case XML_ELEMENT_NODE:
      case XML_CDATA_SECTION_NODE:
      case XML_COMMENT_NODE:
      case XML_PI_NODE:
      case XML_ENTITY_REF_NODE:
        out.emplace_back(c);
        break;
      default:
        break;
    }
  }
  return out;
}

std::string QmXmlNode::text() const {
  if (!node_) return std::string();
  if (node_->type == XML_TEXT_NODE || node_->type == XML_CDATA_SECTION_NODE) {
    return trimmed(node_->content ? chars(node_->content) : "");
  }
  if (node_->type != XML_ELEMENT_NODE) return std::string();
  std::string out;
  for (xmlNode* n = node_->children; n; n = next_in_order(n, node_)) {
    if ((n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) && n->content) out += chars(n->content);
  }
  return trimmed(out);
}

void QmXmlNode::set_text(const std::string& text) {
  if (!is_element()) return;
  for (xmlNode* c = node_->children; c;) {
    xmlNode* next = c->next;
    xmlUnlinkNode(c);
    xmlFreeNode(c);
    c = next;
  }
  const std::string* valid = &text;
  std::string made;
  if (!is_valid_text(text)) valid = &(made = qm_xml_valid_text(text));
  xmlAddChild(node_, xmlNewDocText(node_->doc, xml(valid->c_str())));
}

bool QmXmlNode::attribute(const char* name, std::string& value) const {
  if (!is_element() || !name) return false;
  xmlChar* v = xmlGetProp(node_, xml(name));
  if (!v) return false;
  value = chars(v);
  xmlFree(v);
  return true;
}

void QmXmlNode::set_attribute(const char* name, const std::string& value) {
  if (!is_element() || !name) return;
  if (is_valid_text(value)) {
    xmlSetProp(node_, xml(name), xml(value.c_str()));
  } else {
    xmlSetProp(node_, xml(name), xml(qm_xml_valid_text(value).c_str()));
  }
}

QmXmlNode QmXmlNode::append_element(const std::string& qualified) {
  if (!is_element() || qualified.empty()) return QmXmlNode();
  const size_t colon = qualified.find(':');
  xmlNs* ns = nullptr;
  if (colon != std::string::npos) ns = xmlSearchNs(node_->doc, node_, xml(qualified.substr(0, colon).c_str()));
  const std::string local = ns ? qualified.substr(colon + 1) : qualified;
  xmlNode* child = xmlNewDocNode(node_->doc, ns, xml(local.c_str()), nullptr);
  if (!child) return QmXmlNode();
  return QmXmlNode(xmlAddChild(node_, child));
}

QmXmlNode QmXmlNode::append_copy(const QmXmlNode& source) {
  if (!is_element() || !source.node_) return QmXmlNode();
  // Cloned against its new parent, so that prefixes in scope there are
  // used rather than declared again on the copy.
  xmlNode* copy = nullptr;
  if (xmlDOMWrapCloneNode(nullptr, source.node_->doc, source.node_, &copy, node_->doc, node_, 1, 0) != 0 || !copy) {
    copy = xmlDocCopyNode(source.node_, node_->doc, 1);
  }
  if (!copy) return QmXmlNode();
  return QmXmlNode(xmlAddChild(node_, copy));
}

namespace {

// While it lives, the document's text is written as saving writes it: in
// UTF-8, so characters outside ASCII stand as they are rather than as
// character references (libxml2 writes references into a document that
// declares no encoding).
class WrittenAsSaved {
 public:
  explicit WrittenAsSaved(xmlDoc* doc) : doc_(doc), old_(doc ? doc->encoding : nullptr) {
    if (doc_) doc_->encoding = xml("UTF-8");
  }
  ~WrittenAsSaved() {
    if (doc_) doc_->encoding = old_;
  }
  WrittenAsSaved(const WrittenAsSaved&) = delete;
  WrittenAsSaved& operator=(const WrittenAsSaved&) = delete;

 private:
  xmlDoc* doc_;
  const xmlChar* old_;
};

}  // namespace

void QmXmlNode::remove() {
  if (!node_) return;
  xmlUnlinkNode(node_);
  xmlFreeNode(node_);
  node_ = nullptr;
}

std::string QmXmlNode::to_text() const {
  if (!is_element()) return std::string();
  int depth = 0;
  for (const xmlNode* p = node_->parent; p && p->type == XML_ELEMENT_NODE; p = p->parent) ++depth;
  xmlBufferPtr buf = xmlBufferCreate();
  if (!buf) return std::string();
  WrittenAsSaved as_saved(node_->doc);
  std::string out;
  if (xmlNodeDump(buf, node_->doc, node_, depth, 1) >= 0) out.assign(chars(xmlBufferContent(buf)), size_t(xmlBufferLength(buf)));
  xmlBufferFree(buf);
  return out;
}

// ---------------------------------------------------------------------------
// Documents

QmXmlDocument::~QmXmlDocument() {
  if (doc_) xmlFreeDoc(doc_);
}

bool QmXmlDocument::parse_file(const char* path) {
  if (doc_) xmlFreeDoc(doc_);
  doc_ = nullptr;
  std::string bytes;
  if (!qm_read_file(path, bytes, kMaxFileBytes)) {
    reason_ = std::string("the file cannot be read: ") + (path ? path : "(no name)");
    return false;
  }
  return parse_text(bytes);
}

bool QmXmlDocument::parse_text(std::string_view text) {
  init_library();
  if (doc_) xmlFreeDoc(doc_);
  doc_ = nullptr;
  reason_.clear();
  if (text.size() > size_t(INT_MAX)) {
    reason_ = "the document is too large";
    return false;
  }
  xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
  if (!ctxt) {
    reason_ = "out of memory";
    return false;
  }
  xmlDoc* doc = xmlCtxtReadMemory(ctxt, text.data(), int(text.size()), nullptr, nullptr, kParseOptions);
  if (doc && ctxt->wellFormed) {
    doc_ = doc;
  } else {
    if (doc) xmlFreeDoc(doc);
    const xmlError* e = xmlCtxtGetLastError(ctxt);
    reason_ = e && e->message ? trimmed(e->message) : std::string("the document is not well-formed");
    if (e && e->line > 0) reason_ += " (line " + std::to_string(e->line) + ")";
  }
  xmlFreeParserCtxt(ctxt);
  return doc_ != nullptr;
}

QmXmlNode QmXmlDocument::root() const { return QmXmlNode(doc_ ? xmlDocGetRootElement(doc_) : nullptr); }

QmXmlNode QmXmlDocument::find(const std::string& name) const {
  xmlNode* top = doc_ ? xmlDocGetRootElement(doc_) : nullptr;
  for (xmlNode* n = top; n; n = next_in_order(n, top)) {
    if (n->type == XML_ELEMENT_NODE && qualified_name(n) == name) return QmXmlNode(n);
  }
  return QmXmlNode();
}

QmXmlNode QmXmlDocument::find_child(const std::string& parent, const std::string& child) const {
  xmlNode* top = doc_ ? xmlDocGetRootElement(doc_) : nullptr;
  for (xmlNode* n = top; n; n = next_in_order(n, top)) {
    if (n->type == XML_ELEMENT_NODE && n->parent && qualified_name(n) == child && qualified_name(n->parent) == parent) {
      return QmXmlNode(n);
    }
  }
  return QmXmlNode();
}

std::string QmXmlDocument::to_text() const {
  if (!doc_) return std::string();
  xmlChar* mem = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc_, &mem, &size, "UTF-8", 1);
  std::string out = mem && size > 0 ? std::string(chars(mem), size_t(size)) : std::string();
  xmlFree(mem);
  return out;
}

bool QmXmlDocument::text_around(QmXmlNode place, std::string& head, std::string& indent, std::string& tail) const {
  xmlNode* n = place.raw();
  if (!doc_ || !n || n->doc != doc_ || n->type != XML_ELEMENT_NODE || n->children || !n->parent) return false;
  // The place is found in the text by a name nothing else in it has.
  const std::string text = to_text();
  std::string token = "qm-splice";
  for (int i = 0; text.find(token) != std::string::npos; ++i) token = "qm-splice-" + std::to_string(i);
  xmlNs* const ns = n->ns;
  xmlChar* const name = xmlStrdup(n->name);
  xmlNodeSetName(n, xml(token.c_str()));
  n->ns = nullptr;
  const std::string marked = to_text();
  xmlNodeSetName(n, name);
  n->ns = ns;
  xmlFree(name);
  const std::string mark = "<" + token + "/>";
  const size_t at = marked.find(mark);
  if (at == std::string::npos) return false;
  const size_t line = marked.rfind('\n', at);
  const size_t start = line == std::string::npos ? 0 : line + 1;
  size_t end = at + mark.size();
  if (end < marked.size() && marked[end] == '\n') ++end;
  head = marked.substr(0, start);
  indent = marked.substr(start, at - start);
  tail = marked.substr(end);
  return indent.find_first_not_of(' ') == std::string::npos;
}

std::string QmXmlDocument::attribute_text(std::string_view value) const {
  if (!doc_) return std::string();
  const std::string valid = qm_xml_valid_text(value);
  xmlBufferPtr buf = xmlBufferCreate();
  if (!buf) return std::string();
  WrittenAsSaved as_saved(doc_);
  xmlAttrSerializeTxtContent(buf, doc_, nullptr, xml(valid.c_str()));
  std::string out(chars(xmlBufferContent(buf)), size_t(xmlBufferLength(buf)));
  xmlBufferFree(buf);
  return out;
}

bool QmXmlDocument::save_file(const char* path) const {
  if (!doc_ || !path || !*path) return false;
  xmlChar* mem = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc_, &mem, &size, "UTF-8", 1);
  QmFileWriter writer;
  bool ok = mem && size > 0 && writer.open(path, "wb");
  ok = ok && std::fwrite(mem, 1, size_t(size), writer.stream()) == size_t(size) && writer.commit();
  xmlFree(mem);
  return ok;
}
