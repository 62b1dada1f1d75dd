// MB_String: two owned buffers and the rules that move text between them.
#include "database/mb_string.h"

#include <cstring>
#include <new>
#include <utility>

const MB_String MB_String::kNull;

namespace {

int wide_length(const unsigned short* text) {
  int n = 0;
  if (text) {
    while (text[n]) ++n;
  }
  return n;
}

int narrow_length(const void* text) {
  return text ? static_cast<int>(std::strlen(static_cast<const char*>(text))) : 0;
}

}  // namespace

MB_String::MB_String(const char* text) { set(narrow_length(text), text); }
MB_String::MB_String(const unsigned char* text) { set(narrow_length(text), text); }
MB_String::MB_String(const unsigned short* text) { set(wide_length(text), text); }
MB_String::MB_String(int n, const char* text) { set(n, text); }
MB_String::MB_String(int n, const unsigned char* text) { set(n, text); }
MB_String::MB_String(int n, const unsigned short* text) { set(n, text); }
MB_String::MB_String(const MB_String& other) { set(other); }

MB_String::MB_String(MB_String&& other) noexcept
    : form_(other.form_), length_(other.length_), wide_(other.wide_), narrow_(other.narrow_) {
  other.form_ = other.length_ = 0;
  other.wide_ = nullptr;
  other.narrow_ = nullptr;
}

MB_String::~MB_String() { clear(); }

void MB_String::clear() {
  delete[] wide_;
  delete[] narrow_;
  wide_ = nullptr;
  narrow_ = nullptr;
  form_ = 0;
  length_ = 0;
  reserved_ = 0;
}

// The setters build the new buffer before freeing the old ones, so a string
// may be set from its own text.
void MB_String::set(int n, const unsigned char* text) {
  unsigned char* buf = nullptr;
  if (text && n > 0) {
    buf = new (std::nothrow) unsigned char[static_cast<size_t>(n) + 1];
    if (buf) {
      std::memcpy(buf, text, static_cast<size_t>(n));
      buf[n] = 0;
    }
  }
  clear();
  if (!buf) return;
  narrow_ = buf;
  length_ = n;
  form_ = 1;
}

void MB_String::set(int n, const char* text) {
  set(n, reinterpret_cast<const unsigned char*>(text));
}

void MB_String::set(int n, const unsigned short* text) {
  if (!text || n <= 0) {
    clear();
    return;
  }
  if (is_ascii(n, text)) {
    unsigned char* buf = to_ascii(n, text);
    clear();
    if (!buf) return;
    narrow_ = buf;
    form_ = 1;
  } else {
    unsigned short* buf = new (std::nothrow) unsigned short[static_cast<size_t>(n) + 1];
    if (buf) {
      std::memcpy(buf, text, static_cast<size_t>(n) * sizeof(unsigned short));
      buf[n] = 0;
    }
    clear();
    if (!buf) return;
    wide_ = buf;
    form_ = 2;
  }
  length_ = n;
}

void MB_String::set(const MB_String& other) {
  if (&other == this) return;
  if (other.form_ == 2) {
    set(other.length_, other.wide_);
  } else {
    set(other.length_, other.narrow_);
  }
}

MB_String& MB_String::operator=(const char* text) {
  set(narrow_length(text), text);
  return *this;
}

MB_String& MB_String::operator=(const unsigned char* text) {
  set(narrow_length(text), text);
  return *this;
}

MB_String& MB_String::operator=(const unsigned short* text) {
  set(wide_length(text), text);
  return *this;
}

MB_String& MB_String::operator=(const MB_String& other) {
  set(other);
  return *this;
}

MB_String& MB_String::operator=(MB_String&& other) noexcept {
  if (&other != this) {
    clear();
    std::swap(form_, other.form_);
    std::swap(length_, other.length_);
    std::swap(wide_, other.wide_);
    std::swap(narrow_, other.narrow_);
  }
  return *this;
}

const unsigned short* MB_String::unicode() const {
  if (form_ == 1 && !wide_) wide_ = to_unicode(length_, narrow_);
  return wide_;
}

bool MB_String::operator==(const MB_String& other) const {
  if (form_ != other.form_ || length_ != other.length_) return false;
  if (length_ == 0) return true;
  if (form_ == 1) return std::memcmp(narrow_, other.narrow_, static_cast<size_t>(length_)) == 0;
  return std::memcmp(wide_, other.wide_, static_cast<size_t>(length_) * sizeof(unsigned short)) == 0;
}

bool MB_String::operator==(const char* text) const { return *this == MB_String(text); }

bool MB_String::is_ascii(int n, const unsigned short* text) {
  for (int i = 0; text && i < n; ++i) {
    if (text[i] >= 128) return false;
  }
  return true;
}

bool MB_String::is_ascii(int n, const char* text) {
  for (int i = 0; text && i < n; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 128) return false;
  }
  return true;
}

unsigned char* MB_String::to_ascii(int n, const unsigned short* text) {
  if (!text || n <= 0) return nullptr;
  unsigned char* buf = new (std::nothrow) unsigned char[static_cast<size_t>(n) + 1];
  if (!buf) return nullptr;
  for (int i = 0; i < n; ++i) buf[i] = static_cast<unsigned char>(text[i] & 0xFF);
  buf[n] = 0;
  return buf;
}

unsigned short* MB_String::to_unicode(int n, const unsigned char* text) {
  if (!text || n <= 0) return nullptr;
  unsigned short* buf = new (std::nothrow) unsigned short[static_cast<size_t>(n) + 1];
  if (!buf) return nullptr;
  for (int i = 0; i < n; ++i) buf[i] = text[i];
  buf[n] = 0;
  return buf;
}

int MB_String::to_binary(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

bool char2unicode(const char*, char* out) {
  if (out) out[0] = 0;
  return true;
}

bool unicode2char(const char*, char* out) {
  if (out) out[0] = 0;
  return true;
}
