// The font tool's reading layer for compiled shape fonts (SHX): shape fonts,
// big fonts and unifonts. Fonts are walked on C streams opened "rb"; every
// number is little-endian. Each header, count and index is checked against
// the file before it is used, so a malformed font is a format error and never
// a read outside the file or a walk that does not end. Definitions are read
// whole into memory (bounded by the file) and handed to the writer and the
// interpreter as a ShapeDefinition.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fontlathe {

enum class FontKind { kUnknown, kShapes, kBigFont, kUnifont };

// One index entry: the shape number, the byte length of its definition (name,
// its 0, the specification bytes) and the absolute file position.
struct ShapeEntry {
  uint32_t code = 0;
  uint32_t length = 0;
  uint32_t offset = 0;
};

// Fixed sizes of the layouts.
constexpr long kSignatureLength = 24;    // bytes read for recognition
constexpr long kShapesIndexStart = 30;   // signature + first, last, count
constexpr long kBigFontHeaderSkip = 27;  // signature + one unused word
constexpr long kUnifontHeaderSkip = 25;  // signature
constexpr uint32_t kMaxShapesEntries = 256;
constexpr size_t kNameBufferSize = 80;  // a name and its 0 must fit
constexpr uint32_t kUnifontInfoBytes = 6;

// The size of an open stream in bytes (its position is kept); -1 on failure.
long StreamSize(FILE* stream);

// Reads one 16-bit little-endian word. A missing byte reads as 255, as the
// C runtime's end-of-file value does; the result says whether both were read.
bool ReadWordLE(uint32_t* word, FILE* stream);

// Recognises the kind by the leading signature text (the stream is left
// behind the 24 bytes read).
FontKind DetectFontKind(FILE* stream);

// ---- shape fonts -----------------------------------------------------------

struct ShapesHeader {
  uint32_t first_code = 0;
  uint32_t last_code = 0;
  uint32_t count = 0;
  std::vector<ShapeEntry> index;
};

// Reads the header behind the signature and the whole index (stream at 24).
// False for a header cut short, more than 256 entries or an index that does
// not fit in the file.
bool ReadShapesIndex(FILE* stream, ShapesHeader* header);

// Walks the index (stream at 24) for the first entry of that code: 0 found,
// -1 not found or malformed header.
int FindShapesCode(uint32_t code, FILE* stream, ShapeEntry* entry);

// ---- big fonts -------------------------------------------------------------

struct BigFontHeader {
  uint32_t count = 0;  // index entries, empty slots included
  uint32_t range_count = 0;
  std::vector<uint32_t> ranges;  // first and last lead-in byte of each range
};

// Reads the entry count, the range count and the ranges (stream at 27) and
// leaves the stream at the first index entry. False when the header or the
// index does not fit in the file.
bool SkipBigFontHeader(FILE* stream, BigFontHeader* header);

// Reads one 8-byte index entry; false on a short read.
bool ReadBigFontEntry(FILE* stream, ShapeEntry* entry);

// Walks count entries from the current position for the first nonzero-length
// entry of that code: its index, or -1.
int FindBigFontCode(uint32_t code, FILE* stream, ShapeEntry* entry, uint32_t count);

// True when the big font has a shape 0; extended is true when that shape has
// exactly five specification bytes.
bool IsExtendedBigFont(FILE* stream, bool* extended);

// ---- unifonts --------------------------------------------------------------

struct UnifontHeader {
  uint32_t count = 0;        // shapes, the information block included
  uint32_t info_length = 0;  // L: name, its 0, six information bytes
  std::string name;
  uint8_t info[kUnifontInfoBytes] = {};
  uint32_t info_offset = 0;  // file position of the information block
};

// Reads the count, the information length and the information block (stream
// at 25) and leaves the stream at the first shape. False for a header cut
// short, a count of 0, a block shorter than 7 bytes or past the file, or a
// name without its 0.
bool ReadUnifontHeader(FILE* stream, UnifontHeader* header);

// Reads one shape header (code, length) and sets the offset to the position
// behind it; false on a short read.
bool ReadUnifontEntry(FILE* stream, ShapeEntry* entry);

// Walks `count` shapes from the current position for the code: 0 found, -1
// not (or the shapes end early).
int FindUnifontShape(uint32_t code, FILE* stream, ShapeEntry* entry, uint32_t count);

// The code-view walk (stream at 25): code 0 is the information block, any
// other code is searched among the shapes. 0 found, -1 not.
int FindUnifontCode(uint32_t code, FILE* stream, ShapeEntry* entry);

// ---- every kind --------------------------------------------------------------

// Subshape lookup: detects the kind of the open font and finds the code.
// Code 0 of a big font is never looked up.
bool FindShapeEntry(FILE* stream, uint32_t code, ShapeEntry* entry, bool* isUnifont);

// The character height and width of the open font from shape 0 (or the
// unifont information block); a height of 0 counts as 8. False when the font
// information cannot be read.
bool ReadFontHeight(FILE* stream, uint32_t* height, uint32_t* width, bool* extended);

// A character code written in hexadecimal; text that is not hexadecimal
// gives 0, a value past 32 bits gives 0xFFFFFFFF.
uint32_t ParseHexCode(const char* text);

// ---- definitions -------------------------------------------------------------

// The bytes of one definition as far as the file holds them.
class ShapeDefinition {
 public:
  enum Status {
    kOk,
    kSeekFailed,  // the offset cannot be reached
    kCutShort,    // the file ends inside the name
    kBadName,     // no 0 inside the definition, or a name too long for 80 bytes
  };

  // Reads the definition of the entry. The status says what was found.
  Status Read(FILE* stream, const ShapeEntry& entry);

  const std::string& name() const { return name_; }
  uint32_t spec_length() const { return spec_length_; }
  // Specification bytes present in the file (at most spec_length()).
  uint32_t spec_available() const { return static_cast<uint32_t>(bytes_.size()) - spec_start_; }
  uint8_t spec(uint32_t i) const { return bytes_[spec_start_ + i]; }

 private:
  std::vector<uint8_t> bytes_;
  std::string name_;
  uint32_t spec_start_ = 0;
  uint32_t spec_length_ = 0;
};

// Hands out the specification bytes of one definition in order. A byte the
// definition holds but the file does not is a read error: the line
// "Read SHX file error!\n" goes to standard output and the process ends with
// status 1. Past the definition's end the reader answers -1.
class SpecByteReader {
 public:
  explicit SpecByteReader(const ShapeDefinition& def) : def_(def) {}
  int ReadSpecByte();
  uint32_t count() const { return index_; }

 private:
  const ShapeDefinition& def_;
  uint32_t index_ = 0;
};

// Prints "Read SHX file error!\n" on standard output and ends the process
// with status 1.
[[noreturn]] void FailRead();

// printf into a string of any length (messages, tokens).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace fontlathe
