// The file object's stream layer and primitives.
//
// Reading: put-back ring, then the decoded bytes of the compressed block (a
// 64 KiB buffer filled by the decoder while the block lasts), then the
// decoder's leftovers, then the 64 KiB input buffer over fread. When no
// put-back byte or skip is pending, a read of a field is one memcpy from
// whichever buffer is current. Writing: through a staging buffer into the
// encoder while the compression flag is set, else into the output buffer
// over fwrite.
#include "database/fileformat/mb_file_io.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "database/fileformat/kzf_codec.h"
#include "database/fileformat/mb_format_records.h"
#include "database/mb_color.h"
#include "database/mb_drawing.h"
#include "geometry/as_pt_set.h"
#include "qm_file.h"

namespace {
constexpr size_t kChunk = 65536;
}

class MB_File_IO::Sink : public MB_Byte_Sink {
 public:
  explicit Sink(MB_File_IO& io) : io_(io) {}
  MB_Result write(int n, const void* bytes) override { return io_.plain_write(n, bytes); }

 private:
  MB_File_IO& io_;
};

class MB_File_IO::Source : public MB_Byte_Source {
 public:
  explicit Source(MB_File_IO& io) : io_(io) {}
  MB_Result read(int n, int& got, void* buf) override { return io_.raw_read(n, got, buf); }

 private:
  MB_File_IO& io_;
};

MB_File_IO::MB_File_IO() : fifo_(nullptr) {
  // The renditions hold stored objects; making them is not an edit.
  MB_Undo_Pause pause;
  desired_rendition_.reset(new MB_Rendition());
  rendition_.reset(new MB_Rendition());
  fifo_.file_io(this);
  set_target_version(100);
}

MB_File_IO::~MB_File_IO() {
  MB_Undo_Pause pause;
  close();
  dispose_object();
  rendition_.reset();
  desired_rendition_.reset();
}

void MB_File_IO::drawing(MB_Drawing* d) {
  drawing_ = d;
  fifo_.drawing(d);
}

const int32_t g_app_version = MB_File_IO::toolkit_decimal_revision();
const int32_t g_open_version = MB_File_IO::toolkit_decimal_revision();
const int32_t g_save_version = MB_File_IO::toolkit_decimal_revision();

void MB_File_IO::set_target_version(int32_t v) {
  MB_Undo_Pause pause;
  heuristics_.target_version = v;
  MB_Color_Map palette(v);
  MB_Color_Map::default_process(palette, *this);
}

void MB_File_IO::dump_delayed_drawable() {
  // No writer of this kernel delays a drawable; the pointer is never owned.
  delayed_ = nullptr;
}

void MB_File_IO::dispose_object() {
  if (object_ && !object_->owner_list()) delete object_;
  object_ = nullptr;
}

void MB_File_IO::reset_pass_state() {
  fifo_.reset();
  last_ = As_Pt();
  paren_count_ = 0;
  tab_level_ = 0;
  data_decompression_ = 0;
  delayed_ = nullptr;
  first_opcode_read_ = 0;
  opcode_ = MB_Opcode();
  position_ = 0;
  pending_skip_ = 0;
  opcode_start_ = 0;
  opcode_count_ = 0;
  count_state_ = 0;
  put_back_.clear();
  put_back_pos_ = 0;
  in_pos_ = in_len_ = 0;
  dec_pos_ = dec_len_ = 0;
  block_ended_ = false;
  leftover_.clear();
  leftover_pos_ = 0;
  out_.clear();
  zin_.clear();
  write_failure_ = MB_SUCCESS;
  sys_errno_ = 0;
  file_bytes_ = 0;
}

MB_Result MB_File_IO::open() {
  MB_Undo_Pause pause;
  reset_pass_state();
  if (drawing_) drawing_->reset_origin();
  if (stream_) return MB_ALREADY_OPEN;
  if (path_.empty()) return MB_BAD_MODE;
  if (mode_ == MODE_READ) {
    stream_ = qm_fopen(path_.c_str(), "rb");
  } else if (mode_ == MODE_WRITE) {
    writer_.reset(new QmFileWriter);
    if (writer_->open(path_.c_str(), heuristics_.binary ? "wb" : "w")) stream_ = writer_->stream();
  } else {
    return MB_BAD_MODE;
  }
  if (!stream_) {
    sys_errno_ = errno ? errno : EIO;
    return MB_BAD_MODE;
  }
  if (mode_ == MODE_WRITE) {
    // The header is never compressed.
    const uint8_t flag = heuristics_.compression;
    heuristics_.compression = 0;
    MB_Result r = MB_File_Header().serialize(*this);
    heuristics_.compression = flag;
    return r;
  }
  if (in_.size() < kChunk) in_.resize(kChunk);
  statistics_.reset(new (std::nothrow) Read_Statistics());
  return statistics_ ? MB_SUCCESS : MB_NO_MEMORY;
}

bool MB_File_IO::set_stream_user_data(void* stream) {
  if (mode_ != MODE_READ || !stream_ || !stream) return false;
  if (stream != stream_) std::fclose(stream_);
  stream_ = static_cast<FILE*>(stream);
  return true;
}

MB_Result MB_File_IO::finish_compressor() {
  if (!compressor_) return MB_SUCCESS;
  MB_Result r = MB_SUCCESS;
  if (!zin_.empty()) r = compressor_->compress(int(zin_.size()), zin_.data());
  zin_.clear();
  MB_Result f = compressor_->finish();
  compressor_.reset();
  return r ? r : f;
}

void MB_File_IO::discard_output() {
  if (writer_) writer_->discard();
  stream_ = nullptr;
}

MB_Result MB_File_IO::close() {
  if (mode_ == MODE_CLOSED) return MB_SUCCESS;
  MB_Undo_Pause pause;
  MB_Result r = MB_SUCCESS;
  const uint8_t flag = heuristics_.compression;
  if (mode_ == MODE_WRITE) {
    dump_delayed_drawable();
    heuristics_.compression = 0;
    r = finish_compressor();
  }
  if (!stream_) {
    if (!r) r = MB_NOT_OPEN;
  } else {
    if (mode_ == MODE_WRITE) {
      MB_Result w = plain_write(14, "\r\n(EndOfKZF)\r\n");
      if (!w) w = flush_output();
      if (!r) r = w;
    }
    if (writer_) {
      if (!r && !writer_->commit()) {
        sys_errno_ = errno ? errno : EIO;
        r = MB_SHORT_WRITE;
      }
    } else {
      std::fclose(stream_);
    }
    stream_ = nullptr;
  }
  writer_.reset();
  heuristics_.compression = flag;
  mode_ = MODE_CLOSED;
  position_ = 0;
  paren_count_ = 0;
  opcode_start_ = 0;
  dispose_object();
  rendition_.reset(new MB_Rendition());
  rendition_->color() = MB_Color(255, 255, 255, MB_Color::MAP_NONE);
  statistics_.reset();
  token_.clear();
  token_quote_ = 0;
  token_begun_ = token_escape_ = false;
  decompressor_.reset();
  compressor_.reset();
  data_decompression_ = 0;
  block_ended_ = false;
  return r;
}

// ---- writing ----

MB_Result MB_File_IO::flush_output() {
  if (write_failure_) return write_failure_;
  if (out_.empty()) return MB_SUCCESS;
  if (!stream_ || std::fwrite(out_.data(), 1, out_.size(), stream_) != out_.size()) {
    sys_errno_ = errno ? errno : EIO;
    write_failure_ = MB_SHORT_WRITE;
  }
  out_.clear();
  return write_failure_;
}

MB_Result MB_File_IO::plain_write(int n, const void* bytes) {
  if (write_failure_) return write_failure_;
  if (n <= 0) return MB_SUCCESS;
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  out_.insert(out_.end(), p, p + n);
  return out_.size() >= kChunk ? flush_output() : MB_SUCCESS;
}

MB_Result MB_File_IO::compress_write(int n, const void* bytes) {
  if (n <= 0) return MB_SUCCESS;
  if (heuristics_.compression) {
    if (!compressor_) {
      if (!sink_) sink_.reset(new (std::nothrow) Sink(*this));
      if (!sink_) return MB_NO_MEMORY;
      compressor_.reset(new (std::nothrow) MB_LZ_Compressor(sink_.get(), heuristics_.target_version));
      if (!compressor_) return MB_NO_MEMORY;
      if (MB_Result r = compressor_->start()) return r;
    }
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    zin_.insert(zin_.end(), p, p + n);
    if (zin_.size() < kChunk) return MB_SUCCESS;
    MB_Result r = compressor_->compress(int(zin_.size()), zin_.data());
    zin_.clear();
    return r;
  }
  if (compressor_) {
    if (MB_Result r = finish_compressor()) return r;
  }
  return plain_write(n, bytes);
}

MB_Result MB_File_IO::write_le(uint32_t v, int size) {
  unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return compress_write(size, b);
}

MB_Result MB_File_IO::write(int count, const unsigned char* bytes) {
  if (count <= 0) return MB_SUCCESS;
  return bytes ? compress_write(count, bytes) : MB_SYNTAX_ERROR;
}

MB_Result MB_File_IO::write(int count, const unsigned short* units) {
  for (int i = 0; i < count; ++i) {
    if (MB_Result r = write(units[i])) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::write(const char* text) {
  return text ? compress_write(int(std::strlen(text)), text) : MB_SUCCESS;
}

MB_Result MB_File_IO::write_double(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  unsigned char b[8];
  for (int i = 0; i < 8; ++i) b[i] = uint8_t(bits >> (8 * i));
  return compress_write(8, b);
}

MB_Result MB_File_IO::write(MB_RGBA32 c) {
  unsigned char b[4] = {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()), uint8_t(c.alpha())};
  return compress_write(4, b);
}

MB_Result MB_File_IO::write_record(unsigned char op, double v) {
  if (MB_Result r = write(op)) return r;
  return write_double(v);
}

MB_Result MB_File_IO::write_record(unsigned char op, int32_t v) {
  if (MB_Result r = write(op)) return r;
  return write(v);
}

MB_Result MB_File_IO::write_count(int n) {
  if (n < 1 || n > 65791) return MB_SYNTAX_ERROR;
  if (n < 256) return write(static_cast<unsigned char>(n));
  if (MB_Result r = write(static_cast<unsigned char>(0))) return r;
  return write(static_cast<unsigned short>(n - 256));
}

MB_Result MB_File_IO::write_position(const As_Pt& p) {
  const double dx = p.x() - last_.x(), dy = p.y() - last_.y();
  // The next point is coded against what a reader reconstructs here, so
  // rounding does not build up along the pass.
  last_ = As_Pt(last_.x() + dx, last_.y() + dy, p.z());
  if (MB_Result r = write_double(dx)) return r;
  return write_double(dy);
}

MB_Result MB_File_IO::write(int count, const As_Pt* pts) {
  for (int i = 0; i < count; ++i) {
    for (int k = 0; k < 3; ++k) {
      if (MB_Result r = write_double(pts[i].coordinate(k))) return r;
    }
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::write(const As_Pt_Set& set) {
  if (MB_Result r = write(int32_t(set.count()))) return r;
  for (int i = 0; i < set.count(); ++i) {
    if (MB_Result r = write_position(set.points()[i])) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::write(const As_Pt_Sets& sets) {
  const uint32_t n = uint32_t(sets.ptset_count());
  if (MB_Result r = write(n)) return r;
  if (MB_Result r = write(static_cast<unsigned char>(sets.is_filled() ? 1 : 0))) return r;
  for (uint32_t i = 0; i < n; ++i) {
    if (MB_Result r = write(uint32_t(sets.vals()[i]))) return r;
  }
  for (unsigned long i = 0; i < sets.pts_count(); ++i) {
    if (MB_Result r = write_position(sets.points()[i])) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::write_quoted_string(const unsigned short* text) {
  int32_t n = 0;
  while (text && text[n]) ++n;
  if (!heuristics_.binary) {
    static const char kHex[] = "0123456789ABCDEF";
    if (MB_Result r = write(static_cast<unsigned char>('"'))) return r;
    for (int i = 0; i < n; ++i) {
      const char d[4] = {kHex[text[i] >> 12], kHex[(text[i] >> 8) & 15], kHex[(text[i] >> 4) & 15],
                         kHex[text[i] & 15]};
      if (MB_Result r = compress_write(4, d)) return r;
    }
    return write(static_cast<unsigned char>('"'));
  }
  if (MB_Result r = write(static_cast<unsigned char>('{'))) return r;
  if (MB_Result r = write(n)) return r;
  if (MB_Result r = write(n, text)) return r;
  return write(static_cast<unsigned char>('}'));
}

MB_Result MB_File_IO::write_ascii(int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", int(v));
  return write(buf);
}

MB_Result MB_File_IO::write_ascii(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.11g", v);
  if (char* comma = std::strchr(buf, ',')) *comma = '.';
  return write(buf);
}

MB_Result MB_File_IO::write_ascii(MB_RGBA32 c) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", c.red(), c.green(), c.blue(), c.alpha());
  return write(buf);
}

MB_Result MB_File_IO::write_hex(unsigned char b) {
  static const char kHex[] = "0123456789ABCDEF";
  const char d[2] = {kHex[b >> 4], kHex[b & 15]};
  return compress_write(2, d);
}

MB_Result MB_File_IO::write_hex(int count, const unsigned char* bytes) {
  for (int i = 0; i < count; ++i) {
    if (i % 30 == 0) {
      if (MB_Result r = write_tab_level()) return r;
      if (MB_Result r = write(static_cast<unsigned char>('\t'))) return r;
    }
    if (MB_Result r = write_hex(bytes[i])) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::write_quoted_string(const char* s, char force) {
  if (!s || !*s) return write("''");
  if (!force && s[0] != '"' && !std::strpbrk(s, " '()\\{}")) return write(s);
  if (MB_Result r = write(static_cast<unsigned char>('\''))) return r;
  for (const char* c = s; *c; ++c) {
    if (*c == '\\' || *c == '\'') {
      if (MB_Result r = write(static_cast<unsigned char>('\\'))) return r;
    }
    if (MB_Result r = write(static_cast<unsigned char>(*c))) return r;
  }
  return write(static_cast<unsigned char>('\''));
}

MB_Result MB_File_IO::write_tab_level() {
  if (heuristics_.binary) return MB_SUCCESS;
  if (MB_Result r = write("\r\n")) return r;
  for (int i = 0; i < tab_level_; ++i) {
    if (MB_Result r = write(static_cast<unsigned char>(' '))) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::write_geom_tab_level() {
  if (heuristics_.binary) return MB_SUCCESS;
  if (MB_Result r = write_tab_level()) return r;
  return write("   ");
}

// ---- reading ----

MB_Result MB_File_IO::raw_read(int n, int& got, void* buf) {
  got = 0;
  uint8_t* out = static_cast<uint8_t*>(buf);
  while (got < n) {
    if (leftover_pos_ < leftover_.size()) {
      size_t k = std::min(size_t(n - got), leftover_.size() - leftover_pos_);
      std::memcpy(out + got, leftover_.data() + leftover_pos_, k);
      leftover_pos_ += k;
      got += int(k);
      if (leftover_pos_ == leftover_.size()) leftover_.clear(), leftover_pos_ = 0;
      continue;
    }
    if (in_pos_ == in_len_) {
      if (!stream_) break;
      if (in_.size() < kChunk) in_.resize(kChunk);
      in_pos_ = 0;
      in_len_ = std::fread(in_.data(), 1, in_.size(), stream_);
      file_bytes_ += int64_t(in_len_);
      if (in_len_ == 0) {
        if (got > 0) return MB_SUCCESS;
        if (!std::ferror(stream_)) return MB_AT_END;
        sys_errno_ = errno ? errno : EIO;
        return MB_NO_BYTE;
      }
    }
    size_t k = std::min(size_t(n - got), in_len_ - in_pos_);
    std::memcpy(out + got, in_.data() + in_pos_, k);
    in_pos_ += k;
    got += int(k);
  }
  return got > 0 || n == 0 ? MB_SUCCESS : MB_AT_END;
}

MB_Result MB_File_IO::shut_down_decompression() {
  if (!decompressor_) return MB_SUCCESS;
  MB_Result r = decompressor_->read_block_end();
  const uint8_t* rest = nullptr;
  const int k = decompressor_->leftover(&rest);
  if (k > 0) {
    // Served before the stream's own bytes.
    std::vector<uint8_t> keep(rest, rest + k);
    keep.insert(keep.end(), leftover_.begin() + long(leftover_pos_), leftover_.end());
    leftover_.swap(keep);
    leftover_pos_ = 0;
  }
  decompressor_->take_leftover();
  decompressor_.reset();
  return r;
}

MB_Result MB_File_IO::decompress_read(int n, int& got, void* buf) {
  got = 0;
  uint8_t* out = static_cast<uint8_t*>(buf);
  while (got < n) {
    if (dec_pos_ < dec_len_) {
      size_t k = std::min(size_t(n - got), dec_len_ - dec_pos_);
      std::memcpy(out + got, dec_.data() + dec_pos_, k);
      dec_pos_ += k;
      got += int(k);
      continue;
    }
    if (block_ended_) {
      // The block's last decoded bytes are consumed: plain bytes follow.
      block_ended_ = false;
      data_decompression_ = 0;
      continue;
    }
    if (data_decompression_) {
      if (!decompressor_) {
        if (!source_) source_.reset(new (std::nothrow) Source(*this));
        if (!source_) return MB_NO_MEMORY;
        decompressor_.reset(new (std::nothrow) MB_LZ_Decompressor(source_.get(), file_version()));
        if (!decompressor_) return MB_NO_MEMORY;
        if (MB_Result r = decompressor_->start()) return r;
      }
      if (dec_.size() < kChunk) dec_.resize(kChunk);
      int made = 0;
      MB_Result r = decompressor_->read(int(dec_.size()), made, dec_.data());
      dec_pos_ = 0;
      dec_len_ = size_t(made);
      if (r == MB_END_OF_BLOCK) {
        // The block stays open for the reader until its bytes are used.
        block_ended_ = true;
        if (MB_Result s = shut_down_decompression()) return s;
      } else if (r) {
        if (made > 0) continue;  // deliver what came; the failure repeats next time
        return r;
      }
      continue;
    }
    if (decompressor_) {
      if (MB_Result s = shut_down_decompression()) return s;
    }
    int k = 0;
    MB_Result r = raw_read(n - got, k, out + got);
    got += k;
    return got == n ? MB_SUCCESS : r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::decompress_seek(int n, int& done) {
  done = 0;
  uint8_t scratch[4096];
  while (done < n) {
    int got = 0;
    MB_Result r = decompress_read(std::min(n - done, int(sizeof scratch)), got, scratch);
    done += got;
    if (r) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::put_back(int n, const unsigned char* bytes) {
  if (n <= 0) return MB_SUCCESS;
  if (put_back_pos_ == put_back_.size()) put_back_.clear(), put_back_pos_ = 0;
  put_back_.insert(put_back_.end(), bytes, bytes + n);
  position_ -= n;
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read_across(int n, unsigned char* buf) {
  if (n <= 0) return n == 0 ? MB_SUCCESS : MB_SYNTAX_ERROR;
  if (!pending_skip_ && put_back_pos_ == put_back_.size()) {
    if (dec_pos_ == dec_len_ && !data_decompression_ && !decompressor_ &&
        leftover_pos_ == leftover_.size() && in_pos_ + size_t(n) <= in_len_) {
      std::memcpy(buf, in_.data() + in_pos_, size_t(n));
      in_pos_ += size_t(n);
      position_ += n;
      return MB_SUCCESS;
    }
  }
  while (pending_skip_ > 0) {
    if (put_back_pos_ < put_back_.size()) {
      size_t k = size_t(std::min<int64_t>(pending_skip_, int64_t(put_back_.size() - put_back_pos_)));
      put_back_pos_ += k;
      pending_skip_ -= int64_t(k);
      continue;
    }
    int done = 0;
    MB_Result r = decompress_seek(int(std::min<int64_t>(pending_skip_, 1 << 30)), done);
    pending_skip_ -= done;
    if (r || done == 0) return MB_SHORT_READ;
  }
  int got = 0;
  if (put_back_pos_ < put_back_.size()) {
    size_t k = std::min(size_t(n), put_back_.size() - put_back_pos_);
    std::memcpy(buf, put_back_.data() + put_back_pos_, k);
    put_back_pos_ += k;
    got = int(k);
    if (put_back_pos_ == put_back_.size()) put_back_.clear(), put_back_pos_ = 0;
  }
  MB_Result r = MB_SUCCESS;
  if (got < n) {
    int k = 0;
    r = decompress_read(n - got, k, buf + got);
    got += k;
  }
  if (got < n) {
    position_ += got;  // put_back steps it back again
    put_back(got, buf);
    return r == MB_SYNTAX_ERROR || r == MB_NO_MEMORY ? r : MB_SHORT_READ;
  }
  position_ += n;
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read(short& v) {
  unsigned short u;
  MB_Result r = read(u);
  if (!r) v = short(u);
  return r;
}

MB_Result MB_File_IO::read(unsigned short& v) {
  unsigned char b[2];
  MB_Result r = read(2, b);
  if (!r) v = static_cast<unsigned short>(b[0] | (b[1] << 8));
  return r;
}

MB_Result MB_File_IO::read(uint32_t& v) {
  unsigned char b[4];
  MB_Result r = read(4, b);
  if (!r) v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
  return r;
}

MB_Result MB_File_IO::read(int32_t& v) {
  uint32_t u;
  MB_Result r = read(u);
  if (!r) v = int32_t(u);
  return r;
}

MB_Result MB_File_IO::read_double(double& v) {
  unsigned char b[8];
  MB_Result r = read(8, b);
  if (r) return r;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t(b[i]) << (8 * i);
  std::memcpy(&v, &bits, 8);
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read_sized_bytes(std::vector<unsigned char>& out) {
  int32_t n;
  if (MB_Result r = read(n)) return r;
  if (n < 0 || n > kMaxArray) return MB_SYNTAX_ERROR;
  out.clear();
  for (int32_t done = 0; done < n;) {
    const int32_t k = std::min<int32_t>(n - done, 65536);
    out.resize(size_t(done + k));
    if (MB_Result r = read(k, out.data() + done)) return r;
    done += k;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read(MB_RGBA32& c) {
  unsigned char b[4];
  MB_Result r = read(4, b);
  if (r) return r;
  if (file_version() <= 32) {
    c = MB_RGBA32(b[2], b[1], b[0], b[3]);
  } else {
    c = MB_RGBA32(b[0], b[1], b[2], b[3]);
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read(int n, MB_RGBA32* colors) {
  for (int i = 0; i < n; ++i) {
    if (MB_Result r = read(colors[i])) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read_count(int32_t& n) {
  if (count_state_ == 0) {
    unsigned char b;
    if (MB_Result r = read(b)) return r;
    if (b != 0) {
      n = b;
      return MB_SUCCESS;
    }
    count_state_ = 1;
  }
  if (count_state_ != 1) return MB_BAD_STATE;
  unsigned short v;
  if (MB_Result r = read(v)) return r;
  count_state_ = 0;
  n = int32_t(v) + 256;
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read_position(As_Pt& p) {
  unsigned char b[16];
  if (MB_Result r = read(16, b)) return r;
  double d[2];
  for (int k = 0; k < 2; ++k) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t(b[8 * k + i]) << (8 * i);
    std::memcpy(&d[k], &bits, 8);
  }
  // The sums are kept in registers: reading the point back from the entity
  // just written would wait on its stores.
  const double x = last_.x() + d[0];
  const double y = last_.y() + d[1];
  last_ = As_Pt(x, y, p.z());
  p.x() = x;
  p.y() = y;
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read(int n, As_Pt* pts) {
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < 3; ++k) {
      if (MB_Result r = read_double(pts[i].coordinate(k))) return r;
    }
  }
  return MB_SUCCESS;
}

namespace {
// Points read one by one into an array that grows only as they arrive.
MB_Result read_points(MB_File_IO& io, int64_t n, std::vector<As_Pt>& out) {
  out.clear();
  out.reserve(size_t(std::min<int64_t>(n, 4096)));
  for (int64_t i = 0; i < n; ++i) {
    As_Pt p;
    if (MB_Result r = io.read_position(p)) return r;
    out.push_back(p);
  }
  return MB_SUCCESS;
}
}  // namespace

MB_Result MB_File_IO::read(As_Pt_Set& set) {
  int32_t n;
  if (MB_Result r = read(n)) return r;
  if (n < 0 || n > kMaxArray) return MB_SYNTAX_ERROR;
  std::vector<As_Pt> pts;
  if (MB_Result r = read_points(*this, n, pts)) return r;
  if (n == 0) {
    set.free();
  } else {
    set.init(n, pts.data());
    if (set.count() != n) return MB_NO_MEMORY;
  }
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read(As_Pt_Sets& sets) {
  int32_t n;
  if (MB_Result r = read(n)) return r;
  if (n < 0 || n > kMaxArray) return MB_SYNTAX_ERROR;
  unsigned char filled;
  if (MB_Result r = read(filled)) return r;
  std::vector<unsigned long> counts;
  counts.reserve(size_t(std::min(n, 4096)));
  int64_t total = 0;
  for (int32_t i = 0; i < n; ++i) {
    uint32_t c;
    if (MB_Result r = read(c)) return r;
    total += c;
    if (total > kMaxArray) return MB_SYNTAX_ERROR;
    counts.push_back(c);
  }
  std::vector<As_Pt> pts;
  if (MB_Result r = read_points(*this, total, pts)) return r;
  sets.init(static_cast<unsigned long>(n), counts.data(), pts.data());
  sets.is_filled(filled != 0);
  return MB_SUCCESS;
}

MB_Result MB_File_IO::read(char*& token, int max, char allow_paren) {
  token = nullptr;
  if (!token_begun_) {
    if (MB_Result r = eat_whitespace()) return r;
    token_.clear();
    token_quote_ = 0;
    token_escape_ = false;
    token_begun_ = true;
  }
  // A token that fails is over; the next call starts a new one.
  auto fail = [this](MB_Result r) {
    token_begun_ = false;
    return r;
  };
  for (;;) {
    unsigned char b;
    if (MB_Result r = read(b)) return r;  // short: the token stays in progress
    if (token_escape_) {
      token_escape_ = false;
    } else if (b == '\\') {
      token_escape_ = true;
      continue;
    } else if (token_quote_) {
      if (b == token_quote_) break;
    } else if (b == ' ' || b == ')') {
      if (MB_Result r = put_back(b)) return fail(r);
      break;
    } else if ((b == '\'' || b == '"') && token_.empty()) {
      token_quote_ = static_cast<char>(b);
      continue;
    } else if (b == '\'' || b == '{' || (b == '(' && !(token_.empty() && allow_paren))) {
      return fail(MB_SYNTAX_ERROR);
    }
    if (static_cast<int>(token_.size()) >= max) return fail(MB_SYNTAX_ERROR);
    token_.push_back(static_cast<char>(b));
  }
  token_begun_ = false;
  token = new (std::nothrow) char[token_.size() + 1];
  if (!token) return MB_NO_MEMORY;
  std::memcpy(token, token_.c_str(), token_.size() + 1);
  return MB_SUCCESS;
}

MB_Result MB_File_IO::eat_whitespace() {
  for (;;) {
    if (!pending_skip_ && put_back_pos_ == put_back_.size()) {
      std::vector<uint8_t>* buf = nullptr;
      size_t* pos = nullptr;
      size_t len = 0;
      if (dec_pos_ < dec_len_) {
        buf = &dec_, pos = &dec_pos_, len = dec_len_;
      } else if (!data_decompression_ && !decompressor_ && leftover_pos_ == leftover_.size() &&
                 in_pos_ < in_len_) {
        buf = &in_, pos = &in_pos_, len = in_len_;
      }
      if (buf) {
        while (*pos < len && MB_Opcode::is_whitespace((*buf)[*pos])) ++*pos, ++position_;
        if (*pos < len) return MB_SUCCESS;
        continue;
      }
    }
    unsigned char b;
    if (MB_Result r = read(b)) return r;
    if (!MB_Opcode::is_whitespace(b)) return put_back(b);
  }
}

MB_Result MB_File_IO::skip_past_matching_paren(int level) {
  bool escaped = false, quoted = false;
  for (;;) {
    unsigned char b;
    if (MB_Result r = read(b)) return r;
    if (escaped) {
      escaped = false;
      continue;
    }
    if (b == '\\') {
      escaped = true;
    } else if (b == '\'') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (b == '(') {
      increment_paren_count();
    } else if (b == ')') {
      if (decrement_paren_count() <= level) return MB_SUCCESS;
    } else if (b == '{') {
      int32_t length;
      if (MB_Result r = read(length)) {
        put_back(b);
        return r;
      }
      if (length <= 0) return MB_SYNTAX_ERROR;
      skip(length);
    }
  }
}
