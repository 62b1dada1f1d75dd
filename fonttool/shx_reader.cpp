// Recognition, header and index walks of the three SHX kinds, the font
// information of shape 0 and the definition reader. Every walk is bounded by
// its count and by the file; a header that does not fit is refused.
#include "fonttool/shx_reader.h"

#include <qm_file.h>

#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace fontlathe {

namespace {

const char kShapesSignature[] = "AutoCAD-86 shapes 1.";  // 1.0 and 1.1
const char kBigFontSignature[] = "AutoCAD-86 bigfont ";  // any version
const char kUnifontSignature[] = "AutoCAD-86 unifont 1";

bool Matches(const char* read, size_t got, const char* signature) {
  size_t n = std::strlen(signature);
  return got >= n && std::memcmp(read, signature, n) == 0;
}

bool Seek(FILE* stream, long offset) { return std::fseek(stream, offset, SEEK_SET) == 0; }

// True when [offset, offset + bytes) lies inside the file.
bool Fits(FILE* stream, uint64_t offset, uint64_t bytes) {
  long size = StreamSize(stream);
  return size >= 0 && offset + bytes <= static_cast<uint64_t>(size);
}

// Reads the little-endian fields of one record in their order. After the
// first field the file does not hold, no later field is read or written.
class FieldReader {
 public:
  explicit FieldReader(FILE* stream) : stream_(stream) {}
  FieldReader& Word(uint32_t* v) {
    if (ok_) ok_ = ReadWordLE(v, stream_);
    return *this;
  }
  // A 32-bit field: its low word first.
  FieldReader& Dword(uint32_t* v) {
    uint32_t lo = 0, hi = 0;
    if (Word(&lo).Word(&hi).ok_) *v = lo | (hi << 16);
    return *this;
  }
  bool ok() const { return ok_; }

 private:
  FILE* stream_;
  bool ok_ = true;
};

// Gives a reason (when one is wanted) and fails.
bool Refuse(std::string* why, const std::string& reason) {
  if (why != nullptr) *why = reason;
  return false;
}

}  // namespace

int FindUnifontShape(uint32_t code, FILE* stream, ShapeEntry* entry, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    ShapeEntry e;
    if (!ReadUnifontEntry(stream, &e)) return -1;
    if (e.code == code) {
      *entry = e;
      return 0;
    }
    if (!Seek(stream, static_cast<long>(e.offset) + e.length)) return -1;
  }
  return -1;
}

std::string Format(const char* format, ...) {
  char buffer[160];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<size_t>(n));
  std::string out(static_cast<size_t>(n) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(&out[0], out.size(), format, args);
  va_end(args);
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string WithReason(const std::string& message, const std::string& reason) {
  return reason.empty() ? message : message + " (" + reason + ")";
}

FILE* OpenFontForRead(const char* path, const char* format, std::string* message) {
  FILE* stream = qm_fopen(path, "rb");
  if (stream == nullptr && message != nullptr) {
    *message = WithReason(Format(format, path), qm_file_error(path, errno));
  }
  return stream;
}

std::string TruncatedAt(FILE* stream) {
  return Format("truncated at byte %ld", StreamSize(stream));
}

long StreamSize(FILE* stream) {
  long here = std::ftell(stream);
  if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return -1;
  long size = std::ftell(stream);
  std::fseek(stream, here, SEEK_SET);
  return size;
}

bool ReadWordLE(uint32_t* word, FILE* stream) {
  int lo = std::fgetc(stream);
  int hi = std::fgetc(stream);
  *word = static_cast<uint32_t>(lo & 0xFF) + static_cast<uint32_t>(hi & 0xFF) * 256u;
  return lo != EOF && hi != EOF;
}

FontKind DetectFontKind(FILE* stream) {
  char head[kSignatureLength];
  if (!Seek(stream, 0)) return FontKind::kUnknown;
  size_t got = std::fread(head, 1, sizeof head, stream);
  if (Matches(head, got, kShapesSignature)) return FontKind::kShapes;
  if (Matches(head, got, kBigFontSignature)) return FontKind::kBigFont;
  if (Matches(head, got, kUnifontSignature)) return FontKind::kUnifont;
  return FontKind::kUnknown;
}

bool ReadShapesIndex(FILE* stream, ShapesHeader* header, std::string* why) {
  *header = ShapesHeader();
  if (!FieldReader(stream).Word(&header->first_code).Word(&header->last_code).Word(&header->count).ok()) {
    return Refuse(why, TruncatedAt(stream));
  }
  if (header->count > kMaxShapesEntries) {
    return Refuse(why, Format("%u shapes, more than a shape font holds", header->count));
  }
  const uint32_t index_size = kShapesEntrySize * header->count;
  if (!Fits(stream, kShapesIndexStart, index_size)) return Refuse(why, TruncatedAt(stream));
  // The definitions follow the index, one after another in its order.
  uint32_t offset = kShapesIndexStart + index_size;
  header->index.resize(header->count);
  for (ShapeEntry& e : header->index) {
    if (!FieldReader(stream).Word(&e.code).Word(&e.length).ok()) return false;
    e.offset = offset;
    offset += e.length;
  }
  return true;
}

int FindShapesCode(uint32_t code, FILE* stream, ShapeEntry* entry) {
  ShapesHeader header;
  if (!ReadShapesIndex(stream, &header)) return -1;
  for (const ShapeEntry& e : header.index) {
    if (e.code == code) {
      *entry = e;
      return 0;
    }
  }
  return -1;
}

bool SkipBigFontHeader(FILE* stream, BigFontHeader* header, std::string* why) {
  *header = BigFontHeader();
  if (!FieldReader(stream).Word(&header->count).Word(&header->range_count).ok() ||
      !Fits(stream, kBigFontRangesStart,
            uint64_t{kBigFontRangeSize} * header->range_count + uint64_t{kBigFontEntrySize} * header->count)) {
    return Refuse(why, TruncatedAt(stream));
  }
  header->ranges.resize(2u * header->range_count);
  for (uint32_t& r : header->ranges) {
    if (!ReadWordLE(&r, stream)) return Refuse(why, TruncatedAt(stream));
  }
  return true;
}

bool ReadBigFontEntry(FILE* stream, ShapeEntry* entry) {
  return FieldReader(stream).Word(&entry->code).Word(&entry->length).Dword(&entry->offset).ok();
}

int FindBigFontCode(uint32_t code, FILE* stream, ShapeEntry* entry, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    ShapeEntry e;
    if (!ReadBigFontEntry(stream, &e)) return -1;
    if (e.length != 0 && e.code == code) {
      *entry = e;
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool IsExtendedBigFont(FILE* stream, bool* extended) {
  *extended = false;
  if (DetectFontKind(stream) != FontKind::kBigFont) return false;
  BigFontHeader header;
  ShapeEntry entry;
  if (!Seek(stream, kBigFontHeaderSkip) || !SkipBigFontHeader(stream, &header)) return false;
  if (FindBigFontCode(0, stream, &entry, header.count) < 0) return false;
  ShapeDefinition def;
  if (def.Read(stream, entry) != ShapeDefinition::kOk) return false;
  *extended = def.spec_length() == 5;
  return true;
}

bool ReadUnifontHeader(FILE* stream, UnifontHeader* header, std::string* why) {
  *header = UnifontHeader();
  // The count is a 32-bit field of which the low word is taken.
  uint32_t high = 0;
  if (!FieldReader(stream).Word(&header->count).Word(&high).Word(&header->info_length).ok()) {
    return Refuse(why, TruncatedAt(stream));
  }
  if (header->count == 0) return Refuse(why, "a shape count of 0");
  if (header->info_length < kUnifontInfoBytes + 1) {
    return Refuse(why, Format("a font information block of %u bytes", header->info_length));
  }
  header->info_offset = static_cast<uint32_t>(std::ftell(stream));
  std::vector<uint8_t> block(header->info_length);
  if (std::fread(block.data(), 1, block.size(), stream) != block.size()) {
    return Refuse(why, TruncatedAt(stream));
  }
  size_t name_room = block.size() - kUnifontInfoBytes;
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(block.data(), 0, name_room));
  if (end == nullptr) return Refuse(why, "a font name without its end");
  header->name.assign(block.begin(), block.begin() + (end - block.data()));
  std::memcpy(header->info, block.data() + name_room, kUnifontInfoBytes);
  return true;
}

bool ReadUnifontEntry(FILE* stream, ShapeEntry* entry) {
  if (!FieldReader(stream).Word(&entry->code).Word(&entry->length).ok()) return false;
  long here = std::ftell(stream);
  if (here < 0) return false;
  entry->offset = static_cast<uint32_t>(here);
  return true;
}

int FindUnifontCode(uint32_t code, FILE* stream, ShapeEntry* entry) {
  UnifontHeader header;
  if (!ReadUnifontHeader(stream, &header)) return -1;
  if (code == 0) {
    entry->code = 0;
    entry->length = header.info_length;
    entry->offset = header.info_offset;
    return 0;
  }
  return FindUnifontShape(code, stream, entry, header.count - 1);
}

bool FindShapeEntry(FILE* stream, uint32_t code, ShapeEntry* entry, bool* isUnifont) {
  *isUnifont = false;
  switch (DetectFontKind(stream)) {
    case FontKind::kShapes:
      return FindShapesCode(code, stream, entry) == 0;
    case FontKind::kBigFont: {
      if (code == 0) return false;
      BigFontHeader header;
      if (!Seek(stream, kBigFontHeaderSkip) || !SkipBigFontHeader(stream, &header)) return false;
      return FindBigFontCode(code, stream, entry, header.count) >= 0;
    }
    case FontKind::kUnifont: {
      *isUnifont = true;
      UnifontHeader header;
      if (!Seek(stream, kUnifontHeaderSkip) || !ReadUnifontHeader(stream, &header)) return false;
      return FindUnifontShape(code, stream, entry, header.count - 1) == 0;
    }
    case FontKind::kUnknown:
      break;
  }
  return false;
}

bool ReadFontHeight(FILE* stream, uint32_t* height, uint32_t* width, bool* extended) {
  *extended = false;
  uint32_t h = 0;
  FontKind kind = DetectFontKind(stream);
  if (kind == FontKind::kUnifont) {
    UnifontHeader header;
    if (!Seek(stream, kUnifontHeaderSkip) || !ReadUnifontHeader(stream, &header)) return false;
    h = header.info[0] != 0 ? header.info[0] : 8;
    *height = *width = h;
    return true;
  }
  ShapeEntry entry;
  if (kind == FontKind::kShapes) {
    ShapesHeader header;
    if (!ReadShapesIndex(stream, &header) || header.index.empty() || header.index[0].code != 0) {
      return false;
    }
    entry = header.index[0];
  } else if (kind == FontKind::kBigFont) {
    BigFontHeader header;
    if (!Seek(stream, kBigFontHeaderSkip) || !SkipBigFontHeader(stream, &header) ||
        FindBigFontCode(0, stream, &entry, header.count) < 0) {
      return false;
    }
  } else {
    return false;
  }
  ShapeDefinition def;
  if (def.Read(stream, entry) != ShapeDefinition::kOk) return false;
  uint32_t m = def.spec_length();
  bool ext = kind == FontKind::kBigFont && m == 5;
  if (m < 3 || def.spec_available() < (ext ? 4u : 2u)) return false;
  *extended = ext;
  h = def.spec(0) != 0 ? def.spec(0) : 8;
  *height = *width = h;
  if (ext) *width = def.spec(3);
  return true;
}

uint32_t ParseHexCode(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
      std::isxdigit(static_cast<unsigned char>(p[2]))) {
    p += 2;
  }
  uint64_t value = 0;
  for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p) {
    int c = static_cast<unsigned char>(*p);
    int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}

bool ParseShapeCode(const char* text, uint32_t* code) {
  const char* p = text;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;
  if (*p == 0) return false;
  uint32_t value = 0;
  for (; *p != 0; ++p) {
    int c = static_cast<unsigned char>(*p);
    if (!std::isxdigit(c)) return false;
    value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    if (value > kMaxShapeCode) return false;
  }
  *code = value;
  return true;
}

ShapeDefinition::Status ShapeDefinition::Read(FILE* stream, const ShapeEntry& entry) {
  bytes_.clear();
  name_.clear();
  entry_ = entry;
  file_end_ = -1;
  spec_start_ = spec_length_ = 0;
  if (!Seek(stream, static_cast<long>(entry.offset))) return kSeekFailed;
  bytes_.resize(entry.length);
  bytes_.resize(std::fread(bytes_.data(), 1, bytes_.size(), stream));
  if (bytes_.size() < entry.length) file_end_ = StreamSize(stream);
  const uint8_t* nul =
      bytes_.empty() ? nullptr
                     : static_cast<const uint8_t*>(std::memchr(bytes_.data(), 0, bytes_.size()));
  if (nul == nullptr) {
    bool short_read = bytes_.size() < entry.length;
    bytes_.clear();
    return short_read ? kCutShort : kBadName;
  }
  size_t name_length = static_cast<size_t>(nul - bytes_.data());
  if (name_length >= kNameBufferSize) return kLongName;
  name_.assign(bytes_.begin(), bytes_.begin() + static_cast<long>(name_length));
  spec_start_ = static_cast<uint32_t>(name_length + 1);
  spec_length_ = entry.length - spec_start_;
  return kOk;
}

std::string ShapeDefinition::Reason(Status status) const {
  switch (status) {
    case kOk:
      break;
    case kSeekFailed:
      return Format("shape %u lies at byte %u, which cannot be reached", entry_.code,
                    entry_.offset);
    case kCutShort:
      return Format("shape %u is truncated at byte %ld", entry_.code, file_end_);
    case kBadName:
      return Format("shape %u has no end to its name", entry_.code);
    case kLongName:
      return Format("shape %u has a name of %zu bytes or more", entry_.code, kNameBufferSize);
  }
  return std::string();
}

int SpecByteReader::ReadSpecByte() {
  if (cut_short_ || index_ >= def_.spec_length()) return -1;
  if (index_ >= def_.spec_available()) {
    cut_short_ = true;
    return -1;
  }
  return def_.spec(index_++);
}

}  // namespace fontlathe
