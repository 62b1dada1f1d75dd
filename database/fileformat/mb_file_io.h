// One read pass or one write pass over a native-format drawing file.
//
// The file object owns the open C stream and two byte buffers in front of
// it: reads are served from a 64 KiB input buffer (then through the block
// decoder while a compressed block is being read), writes collect in an
// output buffer (through the block encoder while the compression flag is
// set). On top of that sit the primitive readers and writers with which every
// object record puts its operands into the file: little-endian integers,
// IEEE doubles, counts, colours and points delta-coded against the last point
// of the pass. A short read puts back what it got and answers 1, so a caller
// can retry; the logical position counts every byte consumed.
//
// A pass is bound to one drawing; open() starts from a clean state (the
// attribute state, the delta origin and the counters are reset), close()
// finishes the compressed block and writes the end record. The passes
// themselves (load_kzf, save_kzf) and the opcode tokenizer live beside this
// file (mb_kzf_pass.cpp, mb_opcode.h). Nothing here throws.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "database/fileformat/mb_fifo_rendition.h"
#include "database/fileformat/mb_opcode.h"
#include "database/mb_result.h"
#include "geometry/as_pt.h"
#include "qm_file.h"

class As_Pt_Set;
class As_Pt_Sets;
class MB_Block;
class MB_Drawable;
class MB_Drawing;
class MB_LZ_Compressor;
class MB_LZ_Decompressor;
class MB_Object;
struct MB_RGBA32;

struct MB_File_Heuristics {
  uint8_t compression = 0;   // non-zero: writes go through the encoder
  uint8_t binary = 0xFF;     // non-zero: the binary form
  int32_t target_version = 100;
};

class MB_File_IO {
 public:
  enum MB_File_mode : int32_t { MODE_CLOSED = 0, MODE_READ = 1, MODE_WRITE = 2 };

  // Largest count or length a record may give for one array: anything
  // larger is malformed data.
  static constexpr int32_t kMaxArray = 1 << 26;

  MB_File_IO();
  virtual ~MB_File_IO();
  MB_File_IO(const MB_File_IO&) = delete;
  MB_File_IO& operator=(const MB_File_IO&) = delete;

  // Whole passes. False without a drawing, when the file cannot be opened,
  // read or written, or when the data is malformed; a failed load keeps in
  // the drawing what was read before the failure. result() tells why, and
  // reason() in words for a message: the system's reason when the file
  // itself failed ("No such file or directory", "is a directory", "No space
  // left on device"), else what was wrong with the data ("not a drawing",
  // "truncated at byte 812", "the data is damaged (record 7)"); empty after
  // success.
  bool load_kzf(const char* path);
  bool save_kzf(char* path);
  MB_Result result() const { return result_; }
  const std::string& reason() const { return reason_; }

  MB_Drawing* drawing() const { return drawing_; }
  void drawing(MB_Drawing* d);
  MB_Block* block() const { return block_; }
  void block(MB_Block* b) { block_ = b; }
  MB_File_mode file_mode() const { return mode_; }
  void set_file_mode(MB_File_mode m) { mode_ = m; }
  MB_File_Heuristics& heuristics() { return heuristics_; }
  // Also installs that version's colour map into the pass's rendition.
  void set_target_version(int32_t v);
  MB_Rendition& desired_rendition() { return *desired_rendition_; }
  MB_Rendition* rendition() { return rendition_.get(); }
  MB_FIFO_Rendition& fifo_rendition() { return fifo_; }
  // 100 x major + minor of the file being read.
  int32_t file_version() const { return rendition_->decimal_revision(); }

  static int32_t toolkit_major_revision() { return 1; }
  static int32_t toolkit_minor_revision() { return 0; }
  static int32_t toolkit_decimal_revision() { return 100; }

  const MB_Opcode& opcode() const { return opcode_; }
  MB_Object* object() const { return object_; }
  MB_Object* current_object() const { return object_; }
  // The current object's process() took it over: the pass forgets it.
  void release_object() { object_ = nullptr; }
  int32_t next_incarnation() { return incarnation_++; }

  int32_t paren_count() const { return paren_count_; }
  void set_paren_count(int32_t n) { paren_count_ = n; }
  int32_t increment_paren_count() { return ++paren_count_; }
  int32_t decrement_paren_count() { return --paren_count_; }
  int32_t tab_level() const { return tab_level_; }
  void set_tab_level(int32_t n) { tab_level_ = n; }
  int32_t increment_tab_level() { return ++tab_level_; }
  int32_t decrement_tab_level() { return --tab_level_; }

  int32_t data_decompression() const { return data_decompression_; }
  void set_data_decompression(int32_t code) { data_decompression_ = code; }
  MB_Drawable* delayed_drawable() const { return delayed_; }
  void set_delayed_drawable(MB_Drawable* d) { delayed_ = d; }
  void dump_delayed_drawable();
  void merge_or_delay_drawable(const MB_Drawable&) { dump_delayed_drawable(); }
  char have_read_first_opcode() const { return first_opcode_read_; }
  void set_have_read_first_opcode(char f) { first_opcode_read_ = f; }
  // Bytes consumed by the reader so far, skips included.
  int64_t logical_position() const { return position_; }
  int64_t opcode_start() const { return opcode_start_; }
  int32_t opcode_count() const { return opcode_count_; }

  // What a read pass has met: for each opcode kind (its slot) how often and
  // how many bytes, up to the start of the next opcode. Slots 0 to 255 are
  // the single-byte opcodes; then each known extended ASCII name, the
  // unknown names together, extended binary codes 1 to 8, 16, 17 and 0x123,
  // and the other codes together. Made by open() in read mode, gone with
  // close(); null otherwise.
  struct Read_Statistics {
    static constexpr int kSlots = 305;
    int32_t count[kSlots] = {};
    int64_t bytes[kSlots] = {};
    int64_t last_start = 0;
    int32_t last_slot = -1;
    static int slot_of(const MB_Opcode& op);
  };
  const Read_Statistics* read_statistics() const { return statistics_.get(); }
  // The open C stream of the pass, null when closed. A read pass may be
  // given another stream to read on from (after what it has buffered); it
  // takes it over and closes the one it had. False, taking nothing, for a
  // write pass (its file writer owns its stream) or a closed one.
  void* stream_user_data() const { return stream_; }
  bool set_stream_user_data(void* stream);

  // The file a pass opens; load_kzf and save_kzf set it.
  const char* file_name() const { return path_.c_str(); }
  void file_name(const char* path) { path_ = path ? path : ""; }

  MB_Result open();
  MB_Result close();
  // Abandons the file a write pass was making: close() then leaves the
  // target as it was.
  void discard_output();

  // Write primitives (binary form; little-endian).
  MB_Result write(unsigned char b) { return compress_write(1, &b); }
  MB_Result write(short v) { return write_le(uint16_t(v), 2); }
  MB_Result write(unsigned short v) { return write_le(v, 2); }
  MB_Result write(int32_t v) { return write_le(uint32_t(v), 4); }
  MB_Result write(uint32_t v) { return write_le(v, 4); }
  MB_Result write(int count, const unsigned char* bytes);
  MB_Result write(int count, const unsigned short* units);
  MB_Result write(const char* text);
  MB_Result write_double(double v);
  MB_Result write(MB_RGBA32 c);
  // 1 <= n <= 65791; other counts cannot be written (2).
  MB_Result write_count(int n);
  MB_Result write_position(const As_Pt& p);
  MB_Result write(int count, const As_Pt* pts);
  MB_Result write(const As_Pt_Set& set);
  MB_Result write(const As_Pt_Sets& sets);
  MB_Result write_quoted_string(const unsigned short* text);
  // An attribute record: the opcode byte and the value.
  MB_Result write_record(unsigned char op, double v);
  MB_Result write_record(unsigned char op, int32_t v);

  // ASCII form (writing only).
  MB_Result write_ascii(int32_t v);
  MB_Result write_ascii(double v);
  MB_Result write_ascii(MB_RGBA32 c);
  MB_Result write_hex(unsigned char b);
  MB_Result write_hex(int count, const unsigned char* bytes);
  MB_Result write_quoted_string(const char* text, char force);
  MB_Result write_tab_level();
  MB_Result write_geom_tab_level();

  // Read primitives (binary form).
  MB_Result read(unsigned char& b) { return read(1, &b); }
  MB_Result read(short& v);
  MB_Result read(unsigned short& v);
  MB_Result read(int32_t& v);
  MB_Result read(uint32_t& v);
  // Most reads are served from the decoded block at hand, here; the rest
  // (put-back bytes, a pending skip, the next block, plain bytes) by
  // read_across.
  MB_Result read(int n, unsigned char* bytes) {
    if (n > 0 && !pending_skip_ && put_back_pos_ == put_back_.size() && dec_len_ - dec_pos_ >= size_t(n)) {
      std::memcpy(bytes, dec_.data() + dec_pos_, size_t(n));
      dec_pos_ += size_t(n);
      position_ += n;
      return MB_SUCCESS;
    }
    return read_across(n, bytes);
  }
  MB_Result read(int n, char* bytes) { return read(n, reinterpret_cast<unsigned char*>(bytes)); }
  MB_Result read_double(double& v);
  MB_Result read_value(double& v) { return read_double(v); }
  MB_Result read_value(int32_t& v) { return read(v); }
  // A 32-bit length and that many bytes; the length is checked and the
  // bytes are gathered as they arrive.
  MB_Result read_sized_bytes(std::vector<unsigned char>& out);
  MB_Result read(MB_RGBA32& c);
  MB_Result read(int n, MB_RGBA32* colors);
  MB_Result read_count(int32_t& n);
  MB_Result read_position(As_Pt& p);
  MB_Result read(int n, As_Pt* pts);
  // Counts are checked before anything is allocated; on failure the set is
  // left as it was.
  MB_Result read(As_Pt_Set& set);
  MB_Result read(As_Pt_Sets& sets);
  // One ASCII string token, in a new char array the caller delete[]s: a
  // quoted string ('...' or "...", the quotes dropped) or the bytes up to a
  // blank or ")" (put back). A backslash takes the next byte literally. More
  // than max bytes, "{", an apostrophe inside an unquoted token, or "("
  // (unless first and allow_paren) is MB_SYNTAX_ERROR. A read that ends
  // short leaves the token in progress for the next call.
  MB_Result read(char*& token, int max, char allow_paren);

  // The point the next position is coded against.
  const As_Pt& last_position() const { return last_; }

  // Stream-level operations.
  MB_Result put_back(int n, const unsigned char* bytes);
  MB_Result put_back(const unsigned char& b) { return put_back(1, &b); }
  void skip(int n) {
    if (n > 0) position_ += n, pending_skip_ += n;
  }
  MB_Result eat_whitespace();
  // Skips the blanks in the decoded block at hand and answers the byte after
  // them without taking it; -1 when that byte is not at hand (eat_whitespace
  // then skips any blanks left).
  int peek_past_blanks() {
    if (pending_skip_ || put_back_pos_ != put_back_.size()) return -1;
    size_t p = dec_pos_;
    while (p < dec_len_ && MB_Opcode::is_whitespace(dec_[p])) ++p;
    position_ += int64_t(p - dec_pos_);
    dec_pos_ = p;
    return p < dec_len_ ? dec_[p] : -1;
  }
  MB_Result skip_past_matching_paren(int level);

  // The tokenizer and dispatcher steps of a read pass.
  MB_Result process_next_object();
  MB_Result get_next_object();
  MB_Result get_next_object_shell();

  // Every write ends here: through the encoder while the compression flag
  // is set, else plainly.
  MB_Result compress_write(int n, const void* bytes);
  MB_Result decompress_read(int n, int& got, void* buf);
  MB_Result decompress_seek(int n, int& done);
  MB_Result shut_down_decompression();

 private:
  class Sink;
  class Source;
  friend class Sink;
  friend class Source;

  MB_Result write_le(uint32_t v, int size);
  MB_Result plain_write(int n, const void* bytes);
  MB_Result flush_output();
  // Up to n bytes of the file (after any decoder leftovers); 3 at the end.
  MB_Result raw_read(int n, int& got, void* buf);
  // read() where the decoded block at hand does not hold the bytes.
  MB_Result read_across(int n, unsigned char* bytes);
  MB_Result finish_compressor();
  void dispose_object();
  void reset_pass_state();
  // Binds the path to the pass and the drawing and opens.
  MB_Result begin_pass(MB_File_mode mode, const char* path);
  MB_Result save_lists();
  // Sets reason() for a pass that ended with r.
  void note_reason(MB_Result r);

  MB_Drawing* drawing_ = nullptr;
  MB_Block* block_ = nullptr;
  MB_File_mode mode_ = MODE_CLOSED;
  MB_File_Heuristics heuristics_;
  std::unique_ptr<MB_Rendition> desired_rendition_;
  std::unique_ptr<MB_Rendition> rendition_;
  MB_Opcode opcode_;
  MB_Object* object_ = nullptr;
  int32_t incarnation_ = 1;
  int32_t paren_count_ = 0;
  int32_t tab_level_ = 0;
  int32_t data_decompression_ = 0;
  MB_Drawable* delayed_ = nullptr;
  char first_opcode_read_ = 0;
  MB_FIFO_Rendition fifo_;
  As_Pt last_;
  MB_Result result_ = MB_SUCCESS;
  std::string reason_;
  int sys_errno_ = 0;       // the system's error of a failed open, read or write
  int64_t file_bytes_ = 0;  // bytes read from the file by this pass

  FILE* stream_ = nullptr;
  std::unique_ptr<Read_Statistics> statistics_;
  // The string token being read: its bytes, its quote, and whether it began.
  std::string token_;
  char token_quote_ = 0;
  bool token_begun_ = false;
  bool token_escape_ = false;
  // A write pass fills a new file that replaces the target only when the
  // pass closes with every byte written; discard_output() abandons it.
  std::unique_ptr<QmFileWriter> writer_;
  std::vector<uint8_t> out_;           // plain bytes not yet written
  MB_Result write_failure_ = MB_SUCCESS;
  std::unique_ptr<Sink> sink_;
  std::unique_ptr<MB_LZ_Compressor> compressor_;
  std::vector<uint8_t> zin_;           // bytes waiting for the encoder
  std::string path_;

  std::vector<uint8_t> in_;            // file bytes read ahead
  size_t in_pos_ = 0, in_len_ = 0;
  bool at_eof_ = false;
  std::vector<uint8_t> leftover_;      // decoder read-ahead past its block
  size_t leftover_pos_ = 0;
  std::unique_ptr<Source> source_;
  std::unique_ptr<MB_LZ_Decompressor> decompressor_;
  std::vector<uint8_t> dec_;           // decoded bytes of the block
  size_t dec_pos_ = 0, dec_len_ = 0;
  bool block_ended_ = false;           // the decoder met the end token

  std::vector<uint8_t> put_back_;      // served oldest first from put_back_pos_
  size_t put_back_pos_ = 0;
  int64_t position_ = 0;               // logical position
  int64_t pending_skip_ = 0;           // bytes to drop before the next read
  int64_t opcode_start_ = 0;
  int32_t opcode_count_ = 0;
  int32_t count_state_ = 0;
};

// The kernel's version and the native-format versions it reads and writes,
// as the version dialog shows them.
extern const int32_t g_app_version;
extern const int32_t g_open_version;
extern const int32_t g_save_version;

