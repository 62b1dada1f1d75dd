// Reading a TrueType font's family name from its "name" table.
//
// The file is untrusted: every offset, count and length is checked against
// the file before it is used, all in 64-bit arithmetic that cannot overflow,
// and nothing but the chosen name is read. A table or record that does not
// lie inside the file ends the search with no name.
#include "database/fonts/mb_ttf_name.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "database/mb_names.h"
#include "qm_file.h"
#include "qm_text.h"

namespace {

constexpr uint16_t kUsEnglish = 1033;

class Font_File {
 public:
  explicit Font_File(FILE* f) : f_(f) {
    if (f_ && std::fseek(f_, 0, SEEK_END) == 0) {
      long n = std::ftell(f_);
      size_ = n > 0 ? static_cast<uint64_t>(n) : 0;
    }
  }
  ~Font_File() {
    if (f_) std::fclose(f_);
  }
  Font_File(const Font_File&) = delete;
  Font_File& operator=(const Font_File&) = delete;

  bool holds(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  bool read(uint64_t offset, void* out, size_t n) const {
    if (!f_ || !holds(offset, n)) return false;
    if (std::fseek(f_, static_cast<long>(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, n, f_) == n;
  }
  bool u16(uint64_t offset, uint16_t& v) const {
    unsigned char b[2];
    if (!read(offset, b, 2)) return false;
    v = static_cast<uint16_t>(b[0] << 8 | b[1]);
    return true;
  }
  bool u32(uint64_t offset, uint32_t& v) const {
    unsigned char b[4];
    if (!read(offset, b, 4)) return false;
    v = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    return true;
  }

 private:
  FILE* f_;
  uint64_t size_ = 0;
};

struct Name_Ref {
  bool found = false;
  uint64_t offset = 0;
  uint16_t length = 0;
};

// Finds the offset and length of the "name" table: of the first face of a
// collection (".ttc"), else of the file's one face.
bool find_name_table(const Font_File& file, uint64_t& offset, uint64_t& length) {
  char tag[4];
  uint64_t face = 0;
  if (!file.read(0, tag, 4)) return false;
  if (std::memcmp(tag, "ttcf", 4) == 0) {
    uint32_t count, first;
    if (!file.u32(8, count) || count == 0 || !file.u32(12, first)) return false;
    face = first;
  }
  uint16_t tables;
  if (!file.u16(face + 4, tables)) return false;
  for (uint32_t i = 0; i < tables; ++i) {
    uint64_t rec = face + 12 + 16ull * i;
    uint32_t off, len;
    if (!file.read(rec, tag, 4) || !file.u32(rec + 8, off) || !file.u32(rec + 12, len)) return false;
    if (std::memcmp(tag, "name", 4) == 0) {
      if (!file.holds(off, len)) return false;
      offset = off;
      length = len;
      return true;
    }
  }
  return false;
}

// Reads a name of big-endian UTF-16 units.
bool read_name(const Font_File& file, const Name_Ref& ref, std::u16string& out) {
  size_t units = ref.length / 2;
  std::string bytes(units * 2, '\0');
  if (units == 0 || !file.read(ref.offset, &bytes[0], bytes.size())) return false;
  out.resize(units);
  for (size_t i = 0; i < units; ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) << 8 |
                                   static_cast<unsigned char>(bytes[2 * i + 1]));
  }
  return true;
}

// Copies 8-bit GBK text into `out`, cutting it before a character that would
// not fit whole.
void copy_gbk(const std::string& text, char* out, size_t out_size) {
  size_t n = 0;
  while (n < text.size()) {
    size_t step = static_cast<unsigned char>(text[n]) >= 0x81 && n + 1 < text.size() ? 2 : 1;
    if (n + step >= out_size) break;
    n += step;
  }
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

}  // namespace

bool get_ttf_name_by_path(const char* path, uint16_t language, char* out, size_t out_size) {
  if (!path || !out || out_size == 0) return false;
  Font_File file(qm_fopen(path, "rb"));
  uint64_t table, table_length;
  if (!find_name_table(file, table, table_length) || table_length < 6) return false;
  uint16_t count, storage;
  if (!file.u16(table + 2, count) || !file.u16(table + 4, storage)) return false;
  const uint64_t table_end = table + table_length;

  Name_Ref english, local;
  for (uint32_t i = 0; i < count; ++i) {
    uint64_t rec = table + 6 + 12ull * i;
    if (rec + 12 > table_end) break;
    uint16_t v[6];  // platform, encoding, language, name id, length, offset
    for (int k = 0; k < 6; ++k) {
      if (!file.u16(rec + 2 * k, v[k])) return false;
    }
    if (v[0] != 3 || v[1] != 1 || v[3] != 1) continue;
    Name_Ref ref;
    ref.offset = table + storage + v[5];
    ref.length = v[4];
    if (ref.offset + ref.length > table_end || ref.length < 2) continue;
    ref.found = true;
    if (v[2] == kUsEnglish && !english.found) {
      english = ref;
      if (language == kUsEnglish) break;
    }
    if (v[2] == language && !local.found) local = ref;
    if (english.found && local.found) break;
  }

  std::u16string name;
  const Name_Ref& chosen = local.found ? local : english;
  if (!chosen.found || !read_name(file, chosen, name)) return false;
  copy_gbk(qm_utf16_to_gbk(name), out, out_size);
  return true;
}

bool get_ttf_name_by_file(const char* file_name, char* out, size_t out_size) {
  if (!file_name) return false;
  char windows[MAX_PATH];
  UINT n = GetWindowsDirectoryA(windows, sizeof windows);
  if (n == 0 || n >= sizeof windows) return false;
  std::string path = std::string(windows) + "/fonts/" + file_name;
  return get_ttf_name_by_path(path.c_str(), GetSystemDefaultLangID(), out, out_size);
}

void get_ttf_name_of_missing_file(const char* file_name, char* out, size_t out_size) {
  if (!out || out_size == 0) return;
  static const struct {
    const char* stem;
    const char* face;
  } kChineseFiles[] = {
      {"simsun", "SimSun"},     {"nsimsun", "NSimSun"},          {"simhei", "SimHei"},
      {"simfang", "FangSong"},  {"simkai", "KaiTi"},             {"fangsong_gb2312", "FangSong_GB2312"},
      {"kaiti_gb2312", "KaiTi_GB2312"}, {"msyh", "Microsoft YaHei"}, {"msyhbd", "Microsoft YaHei"},
      {"mingliu", "MingLiU"},   {"simsunb", "SimSun"},           {"msgothic", "MS Gothic"},
      {"msmincho", "MS Mincho"}, {"batang", "Batang"},           {"gulim", "Gulim"},
  };
  std::string stem = file_name ? file_name : "";
  const size_t slash = stem.find_last_of("/\\");
  if (slash != std::string::npos) stem.erase(0, slash + 1);
  const size_t dot = stem.rfind('.');
  if (dot != std::string::npos) stem.erase(dot);
  std::string face = "Arial";
  for (const auto& known : kChineseFiles) {
    if (mb_same_name(stem.c_str(), known.stem)) face = known.face;
  }
  copy_gbk(face, out, out_size);
}
