// As_File: one owned stdio stream opened through the platform's file layer.
#include "geometry/as_file.h"

#include <windows.h>

#include "qm_file.h"

As_File::As_File(const char* path, bool create) {
  if (create) {
    create_file(path);
  } else {
    open_or_create(path);
  }
}

As_File::~As_File() { close(); }

bool As_File::open(const char* path, const char* mode) {
  close();
  if (path) stream_ = qm_fopen(path, mode);
  return stream_ != nullptr;
}

bool As_File::open_or_create(const char* path) { return open(path, "a+ t"); }

bool As_File::create_file(const char* path) { return open(path, "w+ t"); }

int As_File::close() {
  if (!stream_) return EOF;
  int result = std::fclose(stream_);
  stream_ = nullptr;
  return result;
}

bool As_File::write_current_time() {
  if (!stream_) return false;
  SYSTEMTIME t;
  GetSystemTime(&t);
  std::fprintf(stream_, ";;%d-%d-%d %d:%d:%d\r\n", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
               t.wSecond);
  return true;
}

bool As_File::write_text(const char* text) {
  if (!stream_) return false;
  std::fprintf(stream_, "%s\r\n", text ? text : "");
  return true;
}

bool As_File::write_segment(const As_Pt& a, const As_Pt& b, int32_t n) {
  if (!stream_) return false;
  std::fprintf(stream_, "%.4f,%.4f,%.4f,%.4f,%.4f,%.4f,%d\r\n", a.x(), a.y(), a.z(), b.x(), b.y(),
               b.z(), static_cast<int>(n));
  return true;
}

bool As_File::read_segment(As_Pt&, As_Pt&, int32_t&) { return true; }

bool As_File::load_file(const char*) { return true; }
