// The XML document stand-in: children without blank text, look-ups by the
// name as written, editing that always gives valid XML, hostile documents
// and files written whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "qm_xml.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_temp.h"

namespace {

const char kCompact[] =
    "<?xml version=\"1.0\"?><r:Root xmlns:r=\"urn:test\"><r:A>x</r:A><!-- note --><r:B k=\"1\"><r:A>y</r:A></r:B>"
    "</r:Root>";
const char kPretty[] =
    "<?xml version=\"1.0\"?>\n<r:Root xmlns:r=\"urn:test\">\n  <r:A>x</r:A>\n  <!-- note -->\n"
    "  <r:B k=\"1\">\n    <r:A>y</r:A>\n  </r:B>\n</r:Root>\n";


TEST(XmlDocument, PrettyAndCompactDocumentsHaveTheSameChildren) {
  for (const char* text : {kCompact, kPretty}) {
    QmXmlDocument doc;
    ASSERT_TRUE(doc.parse_text(text)) << doc.reason();
    std::vector<QmXmlNode> kids = doc.root().children();
    ASSERT_EQ(kids.size(), 3u);
    EXPECT_EQ(kids[0].name(), "r:A");
    EXPECT_EQ(kids[0].base_name(), "A");
    EXPECT_FALSE(kids[1].is_element()) << "the comment is a child";
    EXPECT_EQ(kids[2].name(), "r:B");
    EXPECT_EQ(kids[2].children().size(), 1u);
  }
}

TEST(XmlDocument, LookUpsByTheNameAsWritten) {
  QmXmlDocument doc;
  ASSERT_TRUE(doc.parse_text(kPretty));
  EXPECT_EQ(doc.find("r:A").text(), "x");
  EXPECT_EQ(doc.find_child("r:B", "r:A").text(), "y");
  EXPECT_EQ(doc.find_child("r:Root", "r:A").text(), "x");
  EXPECT_TRUE(doc.find("A").is_null()) << "the prefix is part of the name";
  EXPECT_TRUE(doc.find("r:Missing").is_null());
  std::string v;
  EXPECT_TRUE(doc.find("r:B").attribute("k", v));
  EXPECT_EQ(v, "1");
  EXPECT_FALSE(doc.find("r:B").attribute("missing", v));
  // A prefix no declaration binds is still matched as written.
  QmXmlDocument loose;
  ASSERT_TRUE(loose.parse_text("<p:Root><p:Item>1</p:Item></p:Root>")) << loose.reason();
  EXPECT_EQ(loose.find_child("p:Root", "p:Item").text(), "1");
  EXPECT_EQ(loose.find("p:Item").base_name(), "Item");
  // Nothing is found in a document that failed or was never opened.
  QmXmlDocument empty;
  EXPECT_TRUE(empty.find("r:A").is_null());
  EXPECT_TRUE(empty.root().children().empty());
  EXPECT_FALSE(empty.save_file("/tmp/never.xml"));
}

TEST(XmlDocument, MalformedDocumentsSayWhyWithTheLine) {
  QmXmlDocument doc;
  EXPECT_FALSE(doc.parse_text("<a>\n<b></a>"));
  EXPECT_NE(doc.reason().find("line 2"), std::string::npos) << doc.reason();
  EXPECT_FALSE(doc.is_open());
  EXPECT_FALSE(doc.parse_file("/nonexistent/doc.xml"));
  EXPECT_NE(doc.reason().find("/nonexistent/doc.xml"), std::string::npos);
  EXPECT_FALSE(doc.parse_file("/tmp")) << "a folder is not a document";
}

TEST(XmlDocument, HostileDocumentsAreRefusedOrReadWithoutExpansion) {
  const std::string secret = qm_test_temp("qm_xml_secret.txt");
  std::ofstream(secret) << "SECRET-CONTENT";
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\">";
  const char* prev = "a";
  const char* names[] = {"b", "c", "d", "e", "f", "g", "h", "i", "j"};
  for (const char* n : names) {
    laughs += std::string("<!ENTITY ") + n + " \"";
    for (int k = 0; k < 10; ++k) laughs += std::string("&") + prev + ";";
    laughs += "\">";
    prev = n;
  }
  laughs += "]><l><x v=\"&j;\">&j;</x></l>";
  const std::string external =
      "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY s SYSTEM \"file://" + secret + "\">]><r><t>&s;</t></r>";
  const std::string external_dtd = "<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"file://" + secret + "\"><r><t/></r>";
  for (const std::string& text : {laughs, external, external_dtd}) {
    QmXmlDocument doc;
    if (!doc.parse_text(text)) continue;  // refused
    EXPECT_EQ(doc.to_text().find("SECRET"), std::string::npos);
    EXPECT_LT(doc.root().text().size(), 1000u) << "nothing was expanded";
  }
  std::remove(secret.c_str());
}

TEST(XmlDocument, EditsEscapeAndSaveValidXml) {
  QmXmlDocument doc;
  ASSERT_TRUE(doc.parse_text(kPretty));
  QmXmlNode b = doc.find("r:B");
  QmXmlNode made = b.append_element("r:C");
  made.set_attribute("text", "a<b & \"c\"\x01\nd");
  made.set_attribute("text", "a<b & \"c\"\x01\nd!");  // replaced in place
  made.set_attribute("z", "2");
  QmXmlNode a = doc.find("r:A");
  a.set_text("<&>\xff");
  b.append_copy(a);
  const std::string path = qm_test_temp("qm_xml_saved.xml");
  ASSERT_TRUE(doc.save_file(path.c_str()));
  const std::string saved = read_all(path);
  EXPECT_NE(saved.find("<r:C text=\"a&lt;b &amp; &quot;c&quot;&#10;d!\" z=\"2\"/>"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("xmlns:r", saved.find("xmlns:r") + 1), std::string::npos) << "no second declaration";
  if (std::system("command -v xmllint > /dev/null") == 0) {
    EXPECT_EQ(std::system(("xmllint --noout " + path).c_str()), 0);
  }
  QmXmlDocument back;
  ASSERT_TRUE(back.parse_file(path.c_str())) << back.reason();
  std::string v;
  ASSERT_TRUE(back.find("r:C").attribute("text", v));
  EXPECT_EQ(v, "a<b & \"c\"\nd!");
  EXPECT_EQ(back.find("r:A").text(), "<&>\xEF\xBF\xBD");
  EXPECT_EQ(back.find_child("r:B", "r:A").text(), "y");
  std::remove(path.c_str());
}

TEST(XmlDocument, ValidText) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain", "plain"},
      {"tab\tlf\ncr\r", "tab\tlf\ncr\r"},
      {"bell\x07"
       "end",
       "bellend"},
      {"\xE4\xB8\xAD", "\xE4\xB8\xAD"},
      {"\xE4\xB8", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xC0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // surrogate
      {"\xEF\xBF\xBE", ""},                                      // U+FFFE
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
  };
  for (const auto& t : cases) EXPECT_EQ(qm_xml_valid_text(t.in), t.out) << t.in;
}

}  // namespace
