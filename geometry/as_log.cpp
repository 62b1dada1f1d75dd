// The diagnostic log, "kzf.log" in the current folder, opened for each entry.
// The folder may be shared, so the log is only ever a regular file reached
// without a symbolic link and with no other name: anything else planted
// under that name (a link of either kind) is left alone, and standard error
// says so once.
#include "geometry/as_log.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "qm_file.h"

namespace {

constexpr const char* kLogName = "kzf.log";

void write_stamp(FILE* f) {
  SYSTEMTIME t;
  GetSystemTime(&t);
  std::fprintf(f, "--------------%04d-%02d-%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
               t.wSecond);
}

void write_entry(const char* text1, const char* text2, const char* text3, bool stamp) {
  FILE* f = qm_fopen_regular(kLogName, "a+ t");
  if (!f) {
    static bool told = false;
    if (!told)
      std::fprintf(stderr, "%s: %s; the log is left alone\n", kLogName, qm_file_error(kLogName, errno).c_str());
    told = true;
    return;
  }
  if (stamp) write_stamp(f);
  std::fputs("---------------\r\n", f);
  std::fputs(text1 ? text1 : "", f);
  std::fputs(text2 ? text2 : "", f);
  std::fputs(text3 ? text3 : "", f);
  std::fputs("\r\n", f);
  std::fclose(f);
}

}  // namespace

void message_out(const char* text1, const char* text2, const char* text3, bool stamp) {
  write_entry(text1, text2, text3, stamp);
}

void message_out(const char* text1, const As_Pt& p, const char* text3, bool stamp) {
  char point[128];
  std::snprintf(point, sizeof point, "x:%.4f  y:%.4f  z:%.4f", p.x(), p.y(), p.z());
  write_entry(text1, point, text3, stamp);
}
