// A text file the kernel writes diagnostic output to: time stamps, lines of
// text and segments, each ending with "\r\n". The file is opened in text mode
// as on the original platform, so every "\n" reaches the disk as CR LF. One
// object owns one stream; it is not copied.
#pragma once

#include <cstdint>
#include <cstdio>

#include "geometry/as_pt.h"

class As_File {
 public:
  As_File() = default;
  // Opens with create_file when `create`, else with open_or_create.
  As_File(const char* path, bool create);
  As_File(const As_File&) = delete;
  As_File& operator=(const As_File&) = delete;
  virtual ~As_File();

  // Opens for appending; true when the file opened. A stream already open
  // is closed first.
  bool open_or_create(const char* path);
  // Opens for writing, emptying the file; true when the file opened.
  bool create_file(const char* path);
  // Closes the stream; the stream's result, or EOF when none was open.
  int close();
  bool is_open() const { return stream_ != nullptr; }

  // Each write is false when no stream is open.
  // ";;year-month-day hour:minute:second" in UTC.
  bool write_current_time();
  bool write_text(const char* text);
  // "ax,ay,az,bx,by,bz,n" with four decimals.
  bool write_segment(const As_Pt& a, const As_Pt& b, int32_t n);
  // Read nothing; true.
  bool read_segment(As_Pt& a, As_Pt& b, int32_t& n);
  bool load_file(const char* path);

 private:
  bool open(const char* path, const char* mode);

  FILE* stream_ = nullptr;
};
