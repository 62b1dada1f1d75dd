#include <windows.h>

#include <sys/time.h>
#include <time.h>

static void fill_systemtime(const struct tm& t, long millis, SYSTEMTIME* st) {
  st->wYear = static_cast<WORD>(t.tm_year + 1900);
  st->wMonth = static_cast<WORD>(t.tm_mon + 1);
  st->wDayOfWeek = static_cast<WORD>(t.tm_wday);
  st->wDay = static_cast<WORD>(t.tm_mday);
  st->wHour = static_cast<WORD>(t.tm_hour);
  st->wMinute = static_cast<WORD>(t.tm_min);
  st->wSecond = static_cast<WORD>(t.tm_sec);
  st->wMilliseconds = static_cast<WORD>(millis);
}

void GetLocalTime(SYSTEMTIME* st) {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  struct tm t;
  time_t secs = tv.tv_sec;
  localtime_r(&secs, &t);
  fill_systemtime(t, tv.tv_usec / 1000, st);
}

void GetSystemTime(SYSTEMTIME* st) {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  struct tm t;
  time_t secs = tv.tv_sec;
  gmtime_r(&secs, &t);
  fill_systemtime(t, tv.tv_usec / 1000, st);
}

DWORD GetTickCount() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<DWORD>(ts.tv_sec * 1000ull + ts.tv_nsec / 1000000);
}
