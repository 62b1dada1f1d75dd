// Fuzz target for the compression codec. The first input byte picks the
// mode and the second the chunk sizes; the rest is either a compressed
// block fed to the decoder (which must end with a result code, never read
// outside its history, and never produce more than a token can), or data
// that must survive an encode and decode round trip unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "database/fileformat/kzf_codec.h"

namespace {

class Chunked_Source : public MB_Byte_Source {
 public:
  void reset(const uint8_t* d, size_t n, int chunk) {
    d_ = d, n_ = n, chunk_ = chunk, pos_ = 0;
  }
  MB_Result read(int n, int& got, void* buf) override {
    size_t k = std::min({n_ - pos_, size_t(n), size_t(chunk_)});
    if (k) std::memcpy(buf, d_ + pos_, k);
    pos_ += k;
    got = int(k);
    return k ? MB_SUCCESS : MB_AT_END;
  }

 private:
  const uint8_t* d_ = nullptr;
  size_t n_ = 0, pos_ = 0;
  int chunk_ = 1;
};

class Vector_Sink : public MB_Byte_Sink {
 public:
  std::vector<uint8_t> data;
  MB_Result write(int n, const void* b) override {
    data.insert(data.end(), static_cast<const uint8_t*>(b), static_cast<const uint8_t*>(b) + n);
    return MB_SUCCESS;
  }
};

void check(bool ok) {
  if (!ok) std::abort();
}

// The codec objects live across runs (allocating their buffers anew for
// every input would dominate the run time); start() resets them.
Chunked_Source source;
MB_LZ_Decompressor decoder_v100(&source, 100);
MB_LZ_Decompressor decoder_v22(&source, 22);
Vector_Sink sink;
MB_LZ_Compressor encoder_v100(&sink, 100);
MB_LZ_Compressor encoder_v30(&sink, 30);

// Decodes with reads of varying size; answers the final result.
MB_Result decode(const uint8_t* d, size_t n, int version, int source_chunk, int read_size,
                 std::vector<uint8_t>& out) {
  source.reset(d, n, source_chunk);
  MB_LZ_Decompressor& dec = version < 23 ? decoder_v22 : decoder_v100;
  check(dec.start() == 0);
  MB_Result r = 0;
  static std::vector<uint8_t> buf;
  buf.resize(size_t(read_size) + 1024);
  for (int i = 0; !r; ++i) {
    int want = 1 + (read_size + 97 * i) % (read_size + 1024);
    int got = 0;
    r = dec.read(want, got, buf.data());
    check(got >= 0 && got <= want);
    out.insert(out.end(), buf.begin(), buf.begin() + got);
    // At most 270 literal bytes or 273 match bytes per input byte.
    check(out.size() <= 273 * n + 273);
  }
  if (r == MB_END_OF_BLOCK) {
    MB_Result e = dec.read_block_end();
    check(e == 0 || e == 1 || e == 2);
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  uint8_t mode = data[0];
  int chunk = 1 + data[1];
  data += 2;
  size -= 2;
  if (mode & 0x80) {
    sink.data.clear();
    MB_LZ_Compressor& enc = mode & 1 ? encoder_v30 : encoder_v100;
    check(enc.start() == 0);
    for (size_t at = 0; at < size; at += size_t(chunk))
      check(enc.compress(int(std::min(size - at, size_t(chunk))), data + at) == 0);
    check(enc.finish() == 0);
    std::vector<uint8_t> out;
    const std::vector<uint8_t> s = sink.data;
    check(decode(s.data() + 7, s.size() - 7, 100, chunk, 1 + mode % 61, out) == MB_END_OF_BLOCK);
    check(out.size() == size && (size == 0 || std::memcmp(out.data(), data, size) == 0));
  } else {
    std::vector<uint8_t> out;
    MB_Result r = decode(data, size, mode & 1 ? 22 : 100, chunk, 1 + (mode >> 1), out);
    check(r == MB_END_OF_BLOCK || r == MB_SYNTAX_ERROR || r == MB_AT_END);
  }
  return 0;
}
