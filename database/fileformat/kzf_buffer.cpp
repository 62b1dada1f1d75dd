// Whole-buffer compression and decompression: the streaming codec run over
// a vector sink and a memory source.
#include <algorithm>
#include <cstring>
#include <new>

#include "database/fileformat/kzf_codec.h"

namespace {

class Vector_Sink : public MB_Byte_Sink {
 public:
  explicit Vector_Sink(std::vector<uint8_t>& out) : out_(out) {}
  MB_Result write(int n, const void* bytes) override {
    const uint8_t* b = static_cast<const uint8_t*>(bytes);
    try {
      out_.insert(out_.end(), b, b + n);
    } catch (const std::bad_alloc&) {
      return MB_NO_MEMORY;
    }
    return MB_SUCCESS;
  }

 private:
  std::vector<uint8_t>& out_;
};

class Memory_Source : public MB_Byte_Source {
 public:
  Memory_Source(const uint8_t* data, size_t n) : data_(data), n_(n) {}
  MB_Result read(int n, int& got, void* buf) override {
    size_t k = std::min(n_ - pos_, size_t(std::max(n, 0)));
    if (k) std::memcpy(buf, data_ + pos_, k);
    pos_ += k;
    got = int(k);
    return k ? MB_SUCCESS : MB_AT_END;
  }
  size_t pos() const { return pos_; }

 private:
  const uint8_t* data_;
  size_t n_, pos_ = 0;
};

}  // namespace

MB_Result kzf_compress(const uint8_t* data, size_t n, int target_version,
                       std::vector<uint8_t>& out) {
  Vector_Sink sink(out);
  MB_LZ_Compressor encoder(&sink, target_version);
  MB_Result r = encoder.start();
  for (size_t done = 0; !r && done < n;) {
    int piece = int(std::min<size_t>(n - done, 1 << 20));
    r = encoder.compress(piece, data + done);
    done += size_t(piece);
  }
  return r ? r : encoder.finish();
}

MB_Result kzf_decompress(const uint8_t* block, size_t n, int file_version,
                         std::vector<uint8_t>& out, size_t* consumed) {
  Memory_Source source(block, n);
  MB_LZ_Decompressor decoder(&source, file_version);
  MB_Result r = decoder.start();
  while (!r) {
    size_t at = out.size();
    try {
      out.resize(at + 64 * 1024);
    } catch (const std::bad_alloc&) {
      return MB_NO_MEMORY;
    }
    int got = 0;
    r = decoder.read(64 * 1024, got, out.data() + at);
    out.resize(at + size_t(got));
  }
  if (r == MB_END_OF_BLOCK) r = decoder.read_block_end();
  if (consumed) {
    const uint8_t* rest = nullptr;
    *consumed = source.pos() - size_t(decoder.leftover(&rest));
  }
  return r;
}
