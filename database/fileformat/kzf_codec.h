// The native format's compression codec: a byte-oriented LZ scheme of
// literal runs and back-references into a 64 KiB history that starts preset
// with the fixed dictionary (kzf_dictionary.h).
//
// Token stream (all counts unsigned bytes):
//   token        low nibble L: literal count, 15 = 15 + an extension byte;
//                high nibble M: 0 no match, 1-14 match length M + 3,
//                15 = length 18 + an extension byte
//   [lit ext]    when L = 15
//   literals     L (+ extension) raw bytes
//   [match ext]  when M = 15
//   [offset]     2 bytes little-endian when M != 0: the distance back from the
//                end of the history minus 1 (format version 23 on), or the
//                position counted from the oldest history byte (22 and below)
//   0x00         ends the block; the file's "}" follows it
//
// The codec knows nothing of the file object: the encoder writes to a byte
// sink, the decoder pulls compressed bytes from a byte source, and the file
// pass adapts its own stream to both. Both ends stream: bytes go in and come
// out in chunks of any size, and a decoder whose source runs dry keeps its
// state so that a later call can carry on.
//
// In a file pass: the first compressed write makes an MB_LZ_Compressor over
// the file's stream and calls start(); every later write is compress();
// close() calls finish() before the plain end record. Reading, the marker
// record makes an MB_LZ_Decompressor over the file's stream (start()); reads
// go through read() until it answers 19; then read_block_end() checks the
// "}", the bytes leftover() offers are served before the stream's own, and
// reading goes on plainly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "database/mb_result.h"

// Where the encoder's output goes. write() answers 0 when all n bytes were
// taken, else a failure code (8 for a short write).
class MB_Byte_Sink {
 public:
  virtual ~MB_Byte_Sink() = default;
  virtual MB_Result write(int n, const void* bytes) = 0;
};

// Where the decoder's compressed input comes from. read() stores up to n
// bytes, sets got to their number and answers 0; at the end of the data it
// sets got to 0 and answers the read code (1, 3 or 4).
class MB_Byte_Source {
 public:
  virtual ~MB_Byte_Source() = default;
  virtual MB_Result read(int n, int& got, void* buf) = 0;
};

namespace kzf_lz {
constexpr int kWindow = 65536;        // history bytes kept
constexpr int kMinMatch = 4;
constexpr int kMaxMatch = 273;        // 18 + 255
constexpr int kMaxLiterals = 270;     // 15 + 255
constexpr int kMaxCandidates = 12;    // hash-chain entries that may fail to lengthen a match
constexpr int kLazyCandidates = 4;    // the same for the one-byte look-ahead
constexpr int kMinEncoderVersion = 23;  // older files count offsets from the front
constexpr int kFullPresetVersion = 37;  // from here on the whole dictionary is preset
constexpr int kBlockEndToken = 0x00;
constexpr uint8_t kBlockClose = '}';
// The marker record that opens a compressed block: "{", length 0, code 16.
constexpr uint8_t kMarker[7] = {'{', 0, 0, 0, 0, 16, 0};
}  // namespace kzf_lz

// Encoder: one per write pass. start() writes the marker record and presets
// the history; compress() takes bytes in chunks of any size; finish() writes
// the rest, the end token and "}" and returns the encoder to its state
// before start() (its memory is kept for another block). The token stream
// does not depend on how the input is chunked. Output is buffered up to
// 64 KiB before it goes to the sink. A failing sink write is reported (8) by
// that call and by every later one: the stream has lost bytes.
class MB_LZ_Compressor {
 public:
  // target_version is the format version being written (100 x major +
  // minor); start() refuses versions below 23 with 10.
  MB_LZ_Compressor(MB_Byte_Sink* sink, int target_version);
  virtual ~MB_LZ_Compressor();
  MB_LZ_Compressor(const MB_LZ_Compressor&) = delete;
  MB_LZ_Compressor& operator=(const MB_LZ_Compressor&) = delete;

  virtual MB_Result start();
  virtual MB_Result finish();
  virtual MB_Result compress(int n, const void* bytes);

 private:
  struct State;
  MB_Result encode(bool final);
  void emit_match();
  MB_Result flush_output();

  MB_Byte_Sink* sink_;
  int target_version_;
  MB_Result failure_ = 0;
  bool started_ = false;
  std::unique_ptr<State> s_;
};

// Decoder: one per read pass. start() presets the history with the whole
// dictionary; read() decodes up to n bytes and adds their number to got. It
// answers 0 once n bytes are produced, 19 at the end token (the bytes before
// it are delivered), 2 for a match that reaches outside the history, or the
// source's read code when the compressed data ends inside the block.
// Compressed bytes the decoder took from its source beyond the end token are
// offered back by leftover(); read_block_end() consumes the "}" that must
// follow the end token from them (or from the source).
class MB_LZ_Decompressor {
 public:
  // file_version decides how match offsets count (see the token stream).
  MB_LZ_Decompressor(MB_Byte_Source* source, int file_version);
  virtual ~MB_LZ_Decompressor();
  MB_LZ_Decompressor(const MB_LZ_Decompressor&) = delete;
  MB_LZ_Decompressor& operator=(const MB_LZ_Decompressor&) = delete;

  virtual MB_Result start();
  virtual MB_Result read(int n, int& got, void* buf);

  // After 19: 0 when the next byte is "}", 2 for another byte, 1 when no
  // byte is left.
  MB_Result read_block_end();
  // The compressed input read ahead and not consumed; valid until the next
  // call. The caller takes it over with take_leftover().
  int leftover(const uint8_t** bytes) const;
  void take_leftover();

 private:
  enum class Step : uint8_t {
    kToken, kLiteralExt, kLiterals, kMatch, kMatchExt, kOffsetLow, kOffsetHigh, kCopy,
    kEnded, kFailed,
  };
  MB_Result next_byte(uint8_t& b);
  MB_Result refill();
  bool set_source(uint32_t offset);
  void make_room(int n);
  int fast_tokens(uint8_t* out, int want);

  MB_Byte_Source* source_;
  bool front_offsets_;  // files of version 22 and below
  Step step_ = Step::kToken;
  uint8_t token_ = 0;
  uint8_t offset_low_ = 0;
  int literals_ = 0;      // literals still to copy
  int length_ = 0;        // match bytes still to copy
  uint32_t distance_ = 0; // distance back of the match source
  std::unique_ptr<uint8_t[]> hist_;
  int hist_len_ = 0;
  std::unique_ptr<uint8_t[]> in_;
  int in_pos_ = 0, in_len_ = 0;
};

// Whole-buffer forms of the two streams, for callers that hold all the data.
// kzf_compress writes the marker record, the tokens, the end token and "}".
MB_Result kzf_compress(const uint8_t* data, size_t n, int target_version,
                       std::vector<uint8_t>& out);
// kzf_decompress decodes a block from just after its marker record through
// the "}"; answers 0 when both were found, else the decoder's result (the
// bytes decoded so far are kept in out). consumed, when given, receives the
// number of block bytes used.
MB_Result kzf_decompress(const uint8_t* block, size_t n, int file_version,
                         std::vector<uint8_t>& out, size_t* consumed = nullptr);
