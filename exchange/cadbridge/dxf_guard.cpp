// The DXF guard: group pairs read and checked record by record, kept records
// written out as clean text for dxflib.
#include "exchange/cadbridge/dxf_guard.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "exchange/cadbridge/dxf_encoding.h"

namespace {

constexpr size_t kMaxProblems = 50;
// Polyline flags (group 70) of meshes, and vertex flags of their records.
constexpr int kPolygonMesh = 16;
constexpr int kPolyfaceMesh = 64;
constexpr int kPolygonMeshVertex = 64;
constexpr int kPolyfaceVertex = 128;
constexpr size_t kMaxMeshItems = 65535;
constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";
// Drawings of this version and later keep their text as UTF-8.
constexpr std::string_view kFirstUtf8Version = "AC1021";

struct Pair {
  int code;
  std::string value;
  size_t line;  // of the group code, from 1
};

enum class Value_Kind { kText, kReal, kInt, kHandle };

Value_Kind kind_of(int code) {
  if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
      (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059)) {
    return Value_Kind::kReal;
  }
  if ((code >= 60 && code <= 99) || (code >= 160 && code <= 179) || (code >= 270 && code <= 299) ||
      (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 420 && code <= 459) ||
      (code >= 1060 && code <= 1071)) {
    return Value_Kind::kInt;
  }
  if (code == 5 || code == 105) return Value_Kind::kHandle;
  return Value_Kind::kText;
}

// Text groups whose bytes are names or words of the drawing.
bool is_text_code(int code) {
  return (code >= 1 && code <= 9) || code == 100 || code == 102 || (code >= 300 && code <= 309) ||
         (code >= 1000 && code <= 1009);
}

// Text groups whose blanks at either end belong to the text: a multi-line
// text is cut into groups anywhere, between words too.
bool keeps_blanks(int code) { return code == 1 || code == 3; }

// One line as dxflib sees it: leading blanks and trailing line ends and
// blanks stripped (only the line end with `keep_blanks`). False at the end
// of the bytes.
class Line_Reader {
 public:
  explicit Line_Reader(const std::string& bytes) : bytes_(bytes) {}
  bool next(std::string_view& out, bool keep_blanks = false) {
    if (pos_ >= bytes_.size()) return false;
    const char* base = bytes_.data();
    const void* nl = std::memchr(base + pos_, '\n', bytes_.size() - pos_);
    size_t end = nl ? size_t(static_cast<const char*>(nl) - base) : bytes_.size();
    size_t a = pos_, b = end;
    if (keep_blanks) {
      if (b > a && base[b - 1] == '\r') --b;
    } else {
      while (a < b && (base[a] == ' ' || base[a] == '\t')) ++a;
      while (b > a && (base[b - 1] == '\r' || base[b - 1] == ' ' || base[b - 1] == '\t')) --b;
    }
    out = std::string_view(base + a, b - a);
    pos_ = nl ? end + 1 : end;
    ++line_;
    return true;
  }
  size_t line() const { return line_; }

 private:
  const std::string& bytes_;
  size_t pos_ = 0;
  size_t line_ = 0;
};

bool parse_code(std::string_view v, int& code) {
  if (v.empty() || v.size() > 4) return false;
  int n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > kDxfMaxGroupCode) return false;
  code = n;
  return true;
}

bool parse_real(std::string_view v, double& out) {
  if (!v.empty() && v[0] == '+') v.remove_prefix(1);
  const char* end = v.data() + v.size();
  auto r = std::from_chars(v.data(), end, out, std::chars_format::general);
  return r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

bool parse_int(std::string_view v, int64_t& out) {
  if (!v.empty() && v[0] == '+') v.remove_prefix(1);
  const char* end = v.data() + v.size();
  auto r = std::from_chars(v.data(), end, out);
  return r.ec == std::errc() && r.ptr == end;
}

bool is_handle(std::string_view v) {
  if (v.empty() || v.size() > 16) return false;
  for (char c : v) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

std::string at_line(size_t line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

class Guard {
 public:
  Guard(const std::string& bytes, Dxf_Guarded& out) : bytes_(bytes), out_(out) {
    // No count in a file can exceed the number of groups it holds.
    size_t lines = 1;
    for (char c : bytes) lines += c == '\n';
    max_count_ = int64_t(lines / 2);
  }

  bool run() {
    if (bytes_.compare(0, kBinarySentinel.size(), kBinarySentinel) == 0) {
      problem("binary DXF is not read");
      return false;
    }
    Line_Reader reader(bytes_);
    std::string_view code_text, value;
    bool ended = false;
    while (reader.next(code_text)) {
      size_t line = reader.line();
      int code = 0;
      if (!parse_code(code_text, code)) {
        problem(at_line(line, "group code \"" + std::string(code_text.substr(0, 20)) +
                                  "\" is not a number from 0 to 1071; the rest "
                                  "of the file is not read"));
        record_.clear();
        break;
      }
      if (!reader.next(value, keeps_blanks(code))) {
        problem(at_line(line, "the file ends inside a group"));
        record_.clear();
        break;
      }
      std::string text(value);
      if (text.size() > kDxfMaxValue) {
        problem(at_line(line + 1, "a value of " + std::to_string(text.size()) + " bytes is cut to " +
                                      std::to_string(kDxfMaxValue)));
        text.resize(kDxfMaxValue);
      }
      if (code == 0) {
        finish_record();
        if (text == "EOF") {
          ended = true;
          break;
        }
      }
      record_.push_back(Pair{code, std::move(text), line});
    }
    if (!ended && !record_.empty()) {
      problem("the file ends without EOF; its last record is left out");
      record_.clear();
    }
    if (in_block_) out_.text += "0\nENDBLK\n";
    out_.text += "0\nEOF\n";
    if (dropped_notes_ > 0) out_.notes.push_back("and " + std::to_string(dropped_notes_) + " more notes");
    if (dropped_problems_ > 0) {
      out_.problems.push_back("and " + std::to_string(dropped_problems_) + " more problems");
    }
    return groups_ > 0;
  }

 private:
  void problem(const std::string& text) {
    if (out_.problems.size() < kMaxProblems) {
      out_.problems.push_back(text);
    } else {
      ++dropped_problems_;
    }
  }

  // What was read otherwise than written, with nothing lost.
  void note(const std::string& text) {
    if (out_.notes.size() < kMaxProblems) {
      out_.notes.push_back(text);
    } else {
      ++dropped_notes_;
    }
  }

  // Checks the record gathered so far and writes it out when it is sound.
  void finish_record() {
    if (record_.empty()) return;
    std::string why;
    const std::string type = record_[0].code == 0 ? record_[0].value : std::string();
    if (check_values(type, why) && check_structure(type, why)) {
      write_record(type);
    } else {
      problem(at_line(record_[0].line, (type.empty() ? std::string("record") : type) + " left out: " + why));
    }
    record_.clear();
  }

  // Every number in range. A handle that is not one (empty, or not
  // hexadecimal: handles are optional in old files and some writers fill
  // them oddly) is left out with a note; the record stays. A DIMSTYLE
  // record's group 5 is its arrow block's name, not a handle.
  bool check_values(const std::string& type, std::string& why) {
    odd_handles_.clear();
    for (size_t i = 0; i < record_.size(); ++i) {
      const Pair& p = record_[i];
      double d;
      int64_t n;
      switch (kind_of(p.code)) {
        case Value_Kind::kReal:
          if (!parse_real(p.value, d) && !read_decimal_comma(record_[i], d)) {
            return fail(why, p, "is not a finite number");
          }
          break;
        case Value_Kind::kInt:
          if (!parse_int(p.value, n) || (p.code < 160 || p.code > 169 ? n < INT32_MIN || n > INT32_MAX : false)) {
            return fail(why, p, "is not an integer in range");
          }
          break;
        case Value_Kind::kHandle:
          if (!is_handle(p.value)) {
            odd_handles_.push_back(i);
            if (type != "DIMSTYLE" || p.code != 5) {
              note(at_line(p.line, (type.empty() ? std::string("record") : type) + ": group " + std::to_string(p.code) +
                                       " \"" + p.value.substr(0, 40) +
                                       "\" is not a handle; the record is kept without it"));
            }
          }
          break;
        case Value_Kind::kText:
          break;
      }
    }
    return true;
  }

  // Writers that format numbers in a locale of decimal commas write "2,5"
  // for 2.5; such a number reads as its point form, which is handed on.
  bool read_decimal_comma(Pair& p, double& d) {
    const size_t comma = p.value.find(',');
    if (comma == std::string::npos || p.value.find_first_of(",.", comma + 1) != std::string::npos ||
        p.value.find('.') != std::string::npos) {
      return false;
    }
    std::string point = p.value;
    point[comma] = '.';
    if (!parse_real(point, d)) return false;
    if (!comma_noted_)
      note(at_line(p.line, "numbers with a decimal comma (\"" + p.value + "\") are read as with a point"));
    comma_noted_ = true;
    p.value = std::move(point);
    return true;
  }

  static bool fail(std::string& why, const Pair& p, const char* what) {
    why = "group " + std::to_string(p.code) + " \"" + p.value.substr(0, 40) + "\" " + what;
    return false;
  }

  bool count_ok(const Pair& p, int64_t& n, std::string& why) {
    parse_int(p.value, n);
    if (n < 0 || n > max_count_) {
      why = "count " + p.value + " of group " + std::to_string(p.code) + " is out of range";
      return false;
    }
    return true;
  }

  // Counts before the groups they count, and each count within what the file
  // can hold; block definitions not nested; vertices only inside a polyline.
  bool check_structure(const std::string& type, std::string& why) {
    pending_light_.clear();
    if (type == "LWPOLYLINE") return check_light(why);
    if (type == "SPLINE") return check_counted(why, {{72, {40}}, {73, {10, 20, 30, 41}}, {74, {11, 21, 31}}});
    if (type == "LEADER") return check_counted(why, {{76, {10, 20, 30}}});
    if (type == "ENDBLK" && !in_block_) {
      why = "no block definition is open";
      return false;
    }
    if (type == "VERTEX" && !in_polyline_) {
      why = "no polyline is open";
      return false;
    }
    return true;
  }

  struct Counted {
    int count_code;
    std::vector<int> data_codes;
  };

  bool check_counted(std::string& why, const std::vector<Counted>& rules) {
    std::vector<bool> seen(rules.size(), false);
    for (size_t i = 1; i < record_.size(); ++i) {
      const Pair& p = record_[i];
      for (size_t r = 0; r < rules.size(); ++r) {
        int64_t n;
        if (p.code == rules[r].count_code) {
          if (!count_ok(p, n, why)) return false;
          seen[r] = true;
        }
        for (int c : rules[r].data_codes) {
          if (p.code == c && !seen[r]) {
            why = "group " + std::to_string(c) + " comes before its count (group " +
                  std::to_string(rules[r].count_code) + ")";
            return false;
          }
        }
      }
    }
    return true;
  }

  // A light polyline: vertices counted by group 90 before any vertex group;
  // a bulge or width only after its vertex. The widths are kept on the way,
  // indexed as dxflib indexes the vertices.
  bool check_light(std::string& why) {
    int64_t count = -1, index = -1;
    double constant = 0.0;
    for (size_t i = 1; i < record_.size(); ++i) {
      const Pair& p = record_[i];
      int64_t n;
      double d = 0.0;
      switch (p.code) {
        case 90:
          if (!count_ok(p, n, why)) return false;
          if (n == 0) {
            why = "no vertices";
            return false;
          }
          count = n;
          index = -1;
          pending_light_.clear();
          break;
        case 10:
        case 20:
        case 30:
        case 40:
        case 41:
        case 42:
          if (count < 0) {
            why = "group " + std::to_string(p.code) + " comes before the vertex count (group 90)";
            return false;
          }
          if (p.code == 10 && index < count - 1) {
            ++index;
            pending_light_.push_back(Dxf_Width{-1.0, -1.0});
          }
          if (index < 0 && (p.code == 40 || p.code == 41 || p.code == 42)) {
            why = "group " + std::to_string(p.code) + " comes before the first vertex";
            return false;
          }
          parse_real(p.value, d);
          if (p.code == 40) pending_light_[size_t(index)].start = d;
          if (p.code == 41) pending_light_[size_t(index)].end = d;
          break;
        case 43:
          parse_real(p.value, constant);
          break;
        default:
          break;
      }
    }
    for (Dxf_Width& w : pending_light_) {
      if (w.start < 0.0) w.start = constant;
      if (w.end < 0.0) w.end = constant;
    }
    return true;
  }

  const std::string* value_of(int code) const {
    for (size_t i = 1; i < record_.size(); ++i) {
      if (record_[i].code == code) return &record_[i].value;
    }
    return nullptr;
  }

  int int_of(int code, int fallback) const {
    const std::string* v = value_of(code);
    int64_t n;
    return v && parse_int(*v, n) ? int(n) : fallback;
  }

  // A vertex of the open mesh: a face record (flag 128 alone) of a polyface
  // mesh, else a vertex of either kind. Meshes stop growing at the kernel's
  // vertex limit.
  void add_mesh_vertex(int flags) {
    Dxf_Mesh& mesh = out_.meshes.back();
    if (mesh.points.size() + mesh.faces.size() >= kMaxMeshItems) return;
    if ((flags & kPolyfaceVertex) && !(flags & kPolygonMeshVertex)) {
      mesh.faces.push_back({int_of(71, 0), int_of(72, 0), int_of(73, 0), int_of(74, 0)});
    } else {
      mesh.points.emplace_back(real_of(10, 0.0), real_of(20, 0.0), real_of(30, 0.0));
    }
  }

  double real_of(int code, double fallback) const {
    const std::string* v = value_of(code);
    double d;
    return v && parse_real(*v, d) ? d : fallback;
  }

  void write_record(const std::string& type) {
    // Nesting: a definition left open closes before the next one opens.
    if (type == "BLOCK") {
      if (in_block_) {
        problem(at_line(record_[0].line, "block definition inside another; the open one is closed first"));
        out_.text += "0\nENDBLK\n";
      }
      in_block_ = true;
    } else if (type == "ENDBLK") {
      in_block_ = false;
    }
    if (type == "POLYLINE") {
      in_polyline_ = true;
      polyline_default_ = Dxf_Width{real_of(40, 0.0), real_of(41, 0.0)};
      const int flags = int_of(70, 0);
      in_mesh_ = (flags & (kPolygonMesh | kPolyfaceMesh)) != 0;
      if (in_mesh_) out_.meshes.push_back(Dxf_Mesh{flags, int_of(71, 0), int_of(72, 0), {}, {}});
    } else if (type == "VERTEX") {
      int64_t flags = 0;
      if (const std::string* f = value_of(70)) parse_int(*f, flags);
      if (in_mesh_) add_mesh_vertex(int(flags));
      if (!((flags & 128) && !(flags & 64))) {
        out_.vertex_widths.push_back(
            Dxf_Width{real_of(40, polyline_default_.start), real_of(41, polyline_default_.end)});
      }
    } else if (type != "SEQEND") {
      in_polyline_ = false;
      in_mesh_ = false;
    }
    if (type == "3DFACE") out_.face_edges.push_back(int_of(70, 0));
    if (type == "LWPOLYLINE") out_.light_widths.push_back(pending_light_);
    if (type == "LWPOLYLINE" || type == "POLYLINE") out_.polyline_light.push_back(type == "LWPOLYLINE");

    size_t keep = record_.size();
    if (type == "HATCH") keep = read_hatch();
    if (type == "IMAGEDEF" && value_of(5) && value_of(1)) out_.picture_files[dxf_upper(*value_of(5))] = *value_of(1);
    size_t index = 0, odd = 0;
    for (const Pair& p : record_) {
      if (keep-- == 0) break;
      if (odd < odd_handles_.size() && odd_handles_[odd] == index++) {
        ++odd;
        continue;
      }
      if (p.code == 1 && version_next_) {
        // Text groups keep their blanks; the version is the word itself.
        const size_t start = std::min(p.value.find_first_not_of(" \t"), p.value.size());
        codec_.utf8(p.value.compare(start, kFirstUtf8Version.size(), kFirstUtf8Version) >= 0);
        version_next_ = false;
      }
      if (p.code == 3 && code_page_next_) {
        codec_.code_page(p.value);
        code_page_next_ = false;
      }
      if (p.code == 9) {
        version_next_ = p.value == "$ACADVER";
        code_page_next_ = p.value == "$DWGCODEPAGE";
      }
      out_.text += std::to_string(p.code);
      out_.text += '\n';
      // A text with a backslash may hold "\M+nXXXX" escapes, which become
      // their characters whatever the file's code page.
      const bool escapes = p.value.find('\\') != std::string::npos;
      if (is_text_code(p.code) && ((codec_.converts() && !is_ascii(p.value)) || escapes)) {
        out_.text += fitted(codec_.to_gbk(p.value), p.line);
      } else {
        out_.text += p.value;
      }
      out_.text += '\n';
      ++groups_;
    }
  }

  // The hatch of the record, kept for the builder; how many leading groups
  // dxflib is handed (those before the boundaries).
  size_t read_hatch() {
    std::vector<Dxf_Group> groups;
    groups.reserve(record_.size());
    size_t head = record_.size();
    for (size_t i = 0; i < record_.size(); ++i) {
      groups.push_back(Dxf_Group{record_[i].code, record_[i].value});
      if (record_[i].code == 91 && head == record_.size()) head = i;
    }
    out_.hatches.push_back(dxf_read_hatch(groups));
    for (const std::string& p : out_.hatches.back().problems) problem(at_line(record_[0].line, "HATCH: " + p));
    return head;
  }

  // Converted text within the longest value dxflib takes, cut between
  // characters (a double-byte character or a "\U+XXXX" escape is whole).
  std::string fitted(std::string text, size_t line) {
    if (text.size() <= kDxfMaxValue) return text;
    size_t end = 0;
    while (end < text.size()) {
      const unsigned char c = static_cast<unsigned char>(text[end]);
      const size_t step = c >= 0x80 ? 2 : c == '\\' && text.compare(end, 3, "\\U+") == 0 ? 7 : 1;
      if (end + step > kDxfMaxValue) break;
      end += step;
    }
    problem(at_line(line + 1, "a text of " + std::to_string(text.size()) + " bytes after conversion is cut to " +
                                  std::to_string(end)));
    text.resize(end);
    return text;
  }

  static bool is_ascii(const std::string& s) {
    for (unsigned char c : s) {
      if (c >= 0x80) return false;
    }
    return true;
  }

  const std::string& bytes_;
  Dxf_Guarded& out_;
  std::vector<Pair> record_;
  // Indexes in record_ of handle groups that hold no handle.
  std::vector<size_t> odd_handles_;
  std::vector<Dxf_Width> pending_light_;
  Dxf_Width polyline_default_;
  int64_t max_count_ = 0;
  size_t groups_ = 0;
  size_t dropped_problems_ = 0;
  size_t dropped_notes_ = 0;
  bool comma_noted_ = false;
  bool in_block_ = false;
  bool in_polyline_ = false;
  bool in_mesh_ = false;
  Dxf_Text_Codec codec_;
  bool version_next_ = false;
  bool code_page_next_ = false;
};

}  // namespace

std::string dxf_upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return s;
}

bool dxf_guard(const std::string& bytes, Dxf_Guarded& out) {
  out = Dxf_Guarded();
  out.text.reserve(bytes.size() + 16);
  return Guard(bytes, out).run();
}
