// The decoder: a resumable state machine over the token stream. The history
// is a linear buffer that slides its newest 64 KiB down when full; matches
// are resolved to a distance back from its end and checked against the
// window before any byte is copied, and a source closer than the match
// length repeats bytes just written, one at a time. Compressed input is read
// from the source in chunks; whole tokens are decoded without saving state
// when both the input chunk and the caller's buffer have room for the
// largest token.
#include "database/fileformat/kzf_codec.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "database/fileformat/kzf_dictionary.h"

using namespace kzf_lz;

namespace {

constexpr int kHistCap = kWindow + 256 * 1024;
constexpr int kInChunk = 16 * 1024;
constexpr int kMaxTokenInput = 1 + 1 + kMaxLiterals + 1 + 2;
constexpr int kMaxTokenOutput = kMaxLiterals + kMaxMatch;

}  // namespace

MB_LZ_Decompressor::MB_LZ_Decompressor(MB_Byte_Source* source, int file_version)
    : source_(source), front_offsets_(file_version < kMinEncoderVersion) {}

MB_LZ_Decompressor::~MB_LZ_Decompressor() = default;

MB_Result MB_LZ_Decompressor::start() {
  if (!source_) return MB_BAD_STATE;
  if (!hist_) hist_.reset(new (std::nothrow) uint8_t[kHistCap]);
  if (!in_) in_.reset(new (std::nothrow) uint8_t[kInChunk]);
  if (!hist_ || !in_) return MB_NO_MEMORY;
  std::memcpy(hist_.get(), kzf_preset_dictionary(), kKzfDictionarySize);
  hist_len_ = kKzfDictionarySize;
  in_pos_ = in_len_ = 0;
  step_ = Step::kToken;
  return MB_SUCCESS;
}

MB_Result MB_LZ_Decompressor::refill() {
  int got = 0;
  MB_Result r = source_->read(kInChunk, got, in_.get());
  in_pos_ = 0;
  in_len_ = std::clamp(got, 0, kInChunk);
  if (in_len_ > 0) return MB_SUCCESS;
  return r ? r : MB_SHORT_READ;
}

MB_Result MB_LZ_Decompressor::next_byte(uint8_t& b) {
  if (in_pos_ == in_len_)
    if (MB_Result r = refill()) return r;
  b = in_[in_pos_++];
  return MB_SUCCESS;
}

// Resolves a match offset to a distance back; false when the source would
// lie outside the history.
bool MB_LZ_Decompressor::set_source(uint32_t offset) {
  uint32_t window = uint32_t(std::min(hist_len_, kWindow));
  if (offset >= window) return false;
  distance_ = front_offsets_ ? window - offset : offset + 1;
  return true;
}

void MB_LZ_Decompressor::make_room(int n) {
  if (hist_len_ + n <= kHistCap) return;
  std::memmove(hist_.get(), hist_.get() + hist_len_ - kWindow, kWindow);
  hist_len_ = kWindow;
}

// Appends n bytes of the current match to the history and to out.
static inline void copy_match(uint8_t* hist, int& hist_len, uint32_t distance, int n,
                              uint8_t* out) {
  uint8_t* dst = hist + hist_len;
  const uint8_t* src = dst - distance;
  if (distance >= uint32_t(n)) {
    std::memcpy(dst, src, size_t(n));
  } else {
    for (int i = 0; i < n; ++i) dst[i] = src[i];
  }
  std::memcpy(out, dst, size_t(n));
  hist_len += n;
}

// Decodes whole tokens straight from the input chunk while it holds the
// largest token and out has room for its bytes; stops at the end token, at a
// bad offset (step kEnded or kFailed) or when either runs short.
int MB_LZ_Decompressor::fast_tokens(uint8_t* out, int want) {
  int produced = 0;
  const uint8_t* in = in_.get();
  while (in_len_ - in_pos_ >= kMaxTokenInput && want - produced >= kMaxTokenOutput) {
    int ip = in_pos_;
    uint8_t token = in[ip++];
    if (token == kBlockEndToken) {
      in_pos_ = ip;
      step_ = Step::kEnded;
      break;
    }
    int literals = token & 15;
    if (literals == 15) literals += in[ip++];
    if (literals) {
      make_room(literals);
      std::memcpy(hist_.get() + hist_len_, in + ip, size_t(literals));
      std::memcpy(out + produced, in + ip, size_t(literals));
      hist_len_ += literals;
      produced += literals;
      ip += literals;
    }
    int code = token >> 4;
    if (code) {
      int length = code == 15 ? 18 + in[ip++] : code + 3;
      uint32_t offset = in[ip] | uint32_t(in[ip + 1]) << 8;
      ip += 2;
      in_pos_ = ip;
      if (!set_source(offset)) {
        step_ = Step::kFailed;
        break;
      }
      make_room(length);
      copy_match(hist_.get(), hist_len_, distance_, length, out + produced);
      produced += length;
    }
    in_pos_ = ip;
  }
  return produced;
}

MB_Result MB_LZ_Decompressor::read(int n, int& got, void* buf) {
  if (!hist_ || (n > 0 && !buf)) return MB_BAD_STATE;
  uint8_t* out = static_cast<uint8_t*>(buf);
  int produced = 0;
  MB_Result r = MB_SUCCESS;
  uint8_t b = 0;
  while (produced < n && !r) {
    switch (step_) {
      case Step::kToken:
        if (in_len_ - in_pos_ >= kMaxTokenInput && n - produced >= kMaxTokenOutput) {
          produced += fast_tokens(out + produced, n - produced);
          break;
        }
        if ((r = next_byte(token_))) break;
        if (token_ == kBlockEndToken) {
          step_ = Step::kEnded;
          break;
        }
        literals_ = token_ & 15;
        step_ = literals_ == 0 ? Step::kMatch : literals_ == 15 ? Step::kLiteralExt : Step::kLiterals;
        break;
      case Step::kLiteralExt:
        if ((r = next_byte(b))) break;
        literals_ += b;
        step_ = Step::kLiterals;
        break;
      case Step::kLiterals: {
        if (in_pos_ == in_len_ && (r = refill())) break;
        int k = std::min({literals_, n - produced, in_len_ - in_pos_});
        make_room(k);
        std::memcpy(hist_.get() + hist_len_, in_.get() + in_pos_, size_t(k));
        std::memcpy(out + produced, in_.get() + in_pos_, size_t(k));
        hist_len_ += k;
        in_pos_ += k;
        produced += k;
        literals_ -= k;
        if (literals_ == 0) step_ = Step::kMatch;
        break;
      }
      case Step::kMatch: {
        int code = token_ >> 4;
        length_ = code == 15 ? 18 : code + 3;
        step_ = code == 0 ? Step::kToken : code == 15 ? Step::kMatchExt : Step::kOffsetLow;
        break;
      }
      case Step::kMatchExt:
        if ((r = next_byte(b))) break;
        length_ += b;
        step_ = Step::kOffsetLow;
        break;
      case Step::kOffsetLow:
        if ((r = next_byte(offset_low_))) break;
        step_ = Step::kOffsetHigh;
        break;
      case Step::kOffsetHigh:
        if ((r = next_byte(b))) break;
        step_ = set_source(offset_low_ | uint32_t(b) << 8) ? Step::kCopy : Step::kFailed;
        break;
      case Step::kCopy: {
        int k = std::min(length_, n - produced);
        make_room(k);
        copy_match(hist_.get(), hist_len_, distance_, k, out + produced);
        produced += k;
        length_ -= k;
        if (length_ == 0) step_ = Step::kToken;
        break;
      }
      case Step::kEnded:
        r = MB_END_OF_BLOCK;
        break;
      case Step::kFailed:
        r = MB_SYNTAX_ERROR;
        break;
    }
  }
  got += produced;
  return r;
}

MB_Result MB_LZ_Decompressor::read_block_end() {
  if (step_ != Step::kEnded) return MB_BAD_STATE;
  uint8_t b = 0;
  if (next_byte(b)) return MB_SHORT_READ;
  if (b == kBlockClose) return MB_SUCCESS;
  --in_pos_;  // leave the stray byte to the caller
  return MB_SYNTAX_ERROR;
}

int MB_LZ_Decompressor::leftover(const uint8_t** bytes) const {
  *bytes = in_ ? in_.get() + in_pos_ : nullptr;
  return in_len_ - in_pos_;
}

void MB_LZ_Decompressor::take_leftover() { in_pos_ = in_len_; }
