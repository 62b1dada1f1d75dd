// Number forms, style strings and the time stamp of the markup format.
#include "exchange/markup/markup_format.h"

#include <charconv>

#include "database/mb_drawable.h"
#include "database/mb_names.h"
#include "exchange/markup/xml_document.h"

namespace {

Markup_Clock g_clock = nullptr;

std::string fixed(double value, int decimals) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("0");
}

}  // namespace

bool markup_is_marked(MB_Drawable& entity) {
  const char* mark = entity.get_string(MB_PROP_XDATA_TEXT);
  return mark && mb_same_name(mark, kMarkupMark);
}

std::string markup_time_stamp(const SYSTEMTIME& t) {
  return std::to_string(t.wYear) + "-" + std::to_string(t.wMonth) + "-" + std::to_string(t.wDay) + "T" +
         std::to_string(t.wHour) + ":" + std::to_string(t.wMinute) + ":" + std::to_string(t.wSecond) + "--8:00";
}

std::string markup_polyline_style(double weight) { return kMarkupPolylineStyle + fixed(weight, 8); }

std::string markup_text_style(double height) { return kMarkupTextStyleHead + fixed(height, 6) + kMarkupTextStyleTail; }

std::string markup_number(double value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("0");
}

bool markup_style_field(const std::string& styles, int n, double& value) {
  size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    pos = styles.find(':', pos);
    if (pos == std::string::npos) return false;
    ++pos;
  }
  const size_t end = styles.find(';', pos);
  return markup_read_number(styles.substr(pos, end == std::string::npos ? std::string::npos : end - pos), value);
}

Markup_Clock markup_clock(Markup_Clock clock) {
  Markup_Clock old = g_clock;
  g_clock = clock;
  return old;
}

void markup_now(SYSTEMTIME* t) {
  if (g_clock) {
    g_clock(t);
  } else {
    GetSystemTime(t);
  }
}
