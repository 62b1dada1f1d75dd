// The kernel's string value: names, text contents, file names.
//
// A string holds its characters either as 8-bit bytes (form 1) or as 16-bit
// units (form 2, used only when some unit is 128 or above); form 0 is the
// empty string, which holds no buffer. The 8-bit bytes are GBK text and are
// kept exactly as given: no code-page conversion happens here. Widening an
// 8-bit string for a 16-bit caller zero-extends each byte into a second
// buffer that is kept beside the bytes, so a pointer from ascii() stays valid
// after unicode() and the other way round; both buffers live until the string
// is next set or destroyed. Every buffer is NUL-terminated and owned; copies
// are deep.
#pragma once

#include <cstdint>

#include "database/mb_result.h"

class MB_String {
 public:
  // The empty string; assigning it empties a string.
  static const MB_String kNull;

  constexpr MB_String() {}
  MB_String(const char* text);
  MB_String(const unsigned char* text);
  MB_String(const unsigned short* text);
  MB_String(int n, const char* text);
  MB_String(int n, const unsigned char* text);
  MB_String(int n, const unsigned short* text);
  MB_String(const MB_String& other);
  MB_String(MB_String&& other) noexcept;
  ~MB_String();

  // Each setter first empties the string. A null text, or n <= 0, leaves it
  // empty (form 0).
  void set(int n, const unsigned char* text);
  void set(int n, const char* text);
  // 16-bit text whose units are all below 128 is kept as 8-bit text.
  void set(int n, const unsigned short* text);
  void set(const MB_String& other);

  MB_String& operator=(const char* text);
  MB_String& operator=(const unsigned char* text);
  MB_String& operator=(const unsigned short* text);
  MB_String& operator=(const MB_String& other);
  MB_String& operator=(MB_String&& other) noexcept;

  int form() const { return form_; }
  int length() const { return length_; }
  bool is_empty() const { return length_ == 0; }
  // True for 8-bit text (form 1).
  bool is_ascii() const { return form_ == 1; }
  // The 8-bit text; null for an empty string or a 16-bit one.
  const char* ascii() const { return reinterpret_cast<const char*>(narrow_); }
  // The text as 16-bit units, widening 8-bit text on first use; null for an
  // empty string.
  const unsigned short* unicode() const;
  operator const unsigned short*() const { return unicode(); }

  // Equal when the forms, the lengths and every character are equal.
  bool operator==(const MB_String& other) const;
  bool operator==(const char* text) const;
  bool operator!=(const MB_String& other) const { return !(*this == other); }
  bool operator!=(const char* text) const { return !(*this == text); }

  // Each helper looks at n characters; n <= 0 or a null text gives true for
  // is_ascii and null for the conversions. The conversions return a new
  // buffer of n + 1 elements ending in 0, freed by the caller with delete[].
  static bool is_ascii(int n, const unsigned short* text);
  static bool is_ascii(int n, const char* text);
  static unsigned char* to_ascii(int n, const unsigned short* text);
  static unsigned short* to_unicode(int n, const unsigned char* text);
  // The value of a hexadecimal digit; any other byte gives 0.
  static int to_binary(unsigned char c);

  // The native-format record: a 32-bit byte count, then the bytes.
  MB_Result serialize(MB_File_IO& io, char unused) const;
  MB_Result materialize(MB_File_IO& io);

 private:
  void clear();

  int32_t reserved_ = 0;
  int32_t form_ = 0;
  int32_t length_ = 0;
  mutable unsigned short* wide_ = nullptr;
  unsigned char* narrow_ = nullptr;
};

// Code-page conversion between GBK text and 16-bit units. No conversion is
// done here: each writes an empty text and returns true.
bool char2unicode(const char* in, char* out);
bool unicode2char(const char* in, char* out);
