// The text of a DXF file as the kernel's GBK. Drawings of 2007 and later
// keep their text as UTF-8; older ones in the code page their header names
// ($DWGCODEPAGE, e.g. ANSI_1252), or GBK itself (ANSI_936, or none named).
// Each character GBK lacks becomes a "\U+XXXX" escape, which unifonts and
// TrueType faces draw, so no character is lost; a byte that is not valid in
// the source encoding becomes '?'.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

class Dxf_Text_Codec {
 public:
  Dxf_Text_Codec() = default;
  ~Dxf_Text_Codec();
  Dxf_Text_Codec(const Dxf_Text_Codec&) = delete;
  Dxf_Text_Codec& operator=(const Dxf_Text_Codec&) = delete;

  // UTF-8 text (a drawing of 2007 or later) or not.
  void utf8(bool on);
  // The header's code page name; an unknown name leaves the text as it is.
  void code_page(std::string_view name);
  // False when the text passes unchanged (GBK source).
  bool converts() const { return utf8_ || source_ != nullptr; }
  std::string to_gbk(std::string_view text);

  // The iconv name of a DXF code page name ("ANSI_1252" is "CP1252"); empty
  // for GBK itself and for names not known.
  static std::string charset_of(std::string_view code_page);
  // The number of a DXF code page name ("ANSI_950" is 950); 0 for a name
  // not of that form.
  static unsigned code_page_number(std::string_view code_page);

 private:
  void close();
  void append_code(uint32_t code, std::string& out);

  bool utf8_ = false;
  void* source_ = nullptr;  // iconv: the code page to UTF-32
  std::map<uint32_t, std::string> known_;
};
