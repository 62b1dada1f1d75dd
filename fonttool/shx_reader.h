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

#include "database/fonts/mb_shape_opcodes.h"

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
// Records of the layouts, each of little-endian fields.
constexpr uint32_t kShapesEntrySize = 4;                      // code, length
constexpr long kBigFontRangesStart = kBigFontHeaderSkip + 4;  // behind the entry and range counts
constexpr uint32_t kBigFontRangeSize = 4;                     // first and last lead-in byte
constexpr uint32_t kBigFontEntrySize = 8;                     // code, length, 32-bit offset
constexpr uint32_t kMaxShapesEntries = 256;
constexpr size_t kNameBufferSize = 80;  // a name and its 0 must fit
constexpr uint32_t kUnifontInfoBytes = 6;

// The size of an open stream in bytes (its position is kept); -1 on failure.
long StreamSize(FILE* stream);

// Opens a font for reading ("rb"; regular files only, so a pipe or a device
// never blocks). On failure `message` gets `format` with the path for its %s
// and the reason ("Cannot open f.shx for read! (is a directory)").
FILE* OpenFontForRead(const char* path, const char* format, std::string* message);

// "truncated at byte N", N being where the open font ends: the reason given
// when a header, an index or a definition runs past the end of the file.
std::string TruncatedAt(FILE* stream);

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
// not fit in the file; why (when given) then says which.
bool ReadShapesIndex(FILE* stream, ShapesHeader* header, std::string* why = nullptr);

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
// index does not fit in the file (why, when given, then says so).
bool SkipBigFontHeader(FILE* stream, BigFontHeader* header, std::string* why = nullptr);

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
// name without its 0; why (when given) then says which.
bool ReadUnifontHeader(FILE* stream, UnifontHeader* header, std::string* why = nullptr);

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

// The largest character code a font can hold (codes are 16-bit).
constexpr uint32_t kMaxShapeCode = 0xFFFF;

// A character code given by a user: hexadecimal digits (after an optional
// "0x"), nothing else, at most kMaxShapeCode. False for anything else.
bool ParseShapeCode(const char* text, uint32_t* code);

// ---- definitions -------------------------------------------------------------

// The bytes of one definition as far as the file holds them.
class ShapeDefinition {
 public:
  enum Status {
    kOk,
    kSeekFailed,  // the offset cannot be reached
    kCutShort,    // the file ends inside the name
    kBadName,     // no 0 inside the definition
    kLongName,    // a name too long for 80 bytes
  };

  // Reads the definition of the entry. The status says what was found.
  Status Read(FILE* stream, const ShapeEntry& entry);

  // What is wrong with the definition read last, in words for a message
  // ("shape 65 is truncated at byte 42"): the reason for the status Read
  // gave, or kCutShort for specification bytes the file does not hold.
  std::string Reason(Status status) const;

  const std::string& name() const { return name_; }
  uint32_t spec_length() const { return spec_length_; }
  // Specification bytes present in the file (at most spec_length()).
  uint32_t spec_available() const { return static_cast<uint32_t>(bytes_.size()) - spec_start_; }
  uint8_t spec(uint32_t i) const { return bytes_[spec_start_ + i]; }

 private:
  std::vector<uint8_t> bytes_;
  ShapeEntry entry_;
  long file_end_ = -1;  // the size of the file when it ends inside the definition
  std::string name_;
  uint32_t spec_start_ = 0;
  uint32_t spec_length_ = 0;
};

// Hands out the specification bytes of one definition in order; -1 past the
// definition's end. A byte the definition holds but the file does not is a
// read error: the reader answers -1 from there on and cut_short() is true.
class SpecByteReader {
 public:
  explicit SpecByteReader(const ShapeDefinition& def) : def_(def) {}
  int ReadSpecByte();
  uint32_t count() const { return index_; }
  bool cut_short() const { return cut_short_; }

 private:
  const ShapeDefinition& def_;
  uint32_t index_ = 0;
  bool cut_short_ = false;
};

// printf into a string of any length (messages, tokens).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A message followed by its reason in brackets ("Wrong format of f.shx! (not
// a shape font)"); the message alone when there is no reason.
std::string WithReason(const std::string& message, const std::string& reason);

}  // namespace fontlathe
