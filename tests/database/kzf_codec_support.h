// Test doubles and helpers around the streaming codec: a sink and a source
// with adjustable chunking and failures, chunked encode and decode, and a
// token parser for checking stream structure.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "database/fileformat/kzf_codec.h"

namespace kzf_test {

using Bytes = std::vector<uint8_t>;

inline Bytes bytes_of(const std::string& s) { return Bytes(s.begin(), s.end()); }

class Sink : public MB_Byte_Sink {
 public:
  Bytes data;
  int fail_after = -1;  // calls that succeed before writes fail
  MB_Result write(int n, const void* bytes) override {
    if (fail_after == 0) return MB_SHORT_WRITE;
    if (fail_after > 0) --fail_after;
    const uint8_t* b = static_cast<const uint8_t*>(bytes);
    data.insert(data.end(), b, b + n);
    return MB_SUCCESS;
  }
};

// Serves `data` at most `chunk` bytes a call; at its end answers end_code.
class Source : public MB_Byte_Source {
 public:
  Bytes data;
  size_t pos = 0;
  int chunk = 1 << 30;
  MB_Result end_code = MB_AT_END;
  int calls = 0;
  MB_Result read(int n, int& got, void* buf) override {
    ++calls;
    size_t k = std::min({data.size() - pos, size_t(n), size_t(chunk)});
    if (k) std::memcpy(buf, data.data() + pos, k);
    pos += k;
    got = int(k);
    return k ? MB_SUCCESS : end_code;
  }
};

// Sizes of successive pieces: a fixed size, or (size 0) sizes drawn from
// a seeded generator in 1..max_random.
struct Chunking {
  int size;
  int max_random = 0;
};

class Chunker {
 public:
  Chunker(Chunking c, unsigned seed) : c_(c), rng_(seed) {}
  int next() {
    if (c_.size > 0) return c_.size;
    return std::uniform_int_distribution<int>(1, c_.max_random)(rng_);
  }

 private:
  Chunking c_;
  std::mt19937 rng_;
};

inline Bytes encode(const Bytes& in, Chunking writes = {1 << 30}, int version = 100) {
  Sink sink;
  MB_LZ_Compressor enc(&sink, version);
  EXPECT_EQ(enc.start(), 0);
  Chunker ch(writes, 7);
  for (size_t at = 0; at < in.size();) {
    size_t k = std::min(in.size() - at, size_t(ch.next()));
    EXPECT_EQ(enc.compress(int(k), in.data() + at), 0);
    at += k;
  }
  EXPECT_EQ(enc.finish(), 0);
  return sink.data;
}

struct Decoded {
  MB_Result result = 0;  // the first non-zero read result (19 at the end token)
  MB_Result block_end = -1;
  Bytes out;
  Bytes leftover;
};

// Decodes a block given without its marker record, reading in pieces.
inline Decoded decode(const Bytes& block, int version = 100, Chunking reads = {1 << 16},
                      int source_chunk = 1 << 30) {
  Source src;
  src.data = block;
  src.chunk = source_chunk;
  MB_LZ_Decompressor dec(&src, version);
  Decoded d;
  EXPECT_EQ(dec.start(), 0);
  Chunker ch(reads, 11);
  Bytes buf;
  while (!d.result) {
    int n = ch.next();
    buf.assign(size_t(n), 0);
    int got = 0;
    d.result = dec.read(n, got, buf.data());
    EXPECT_TRUE(got >= 0 && got <= n);
    d.out.insert(d.out.end(), buf.begin(), buf.begin() + got);
  }
  if (d.result == MB_END_OF_BLOCK) {
    d.block_end = dec.read_block_end();
    const uint8_t* rest = nullptr;
    int k = dec.leftover(&rest);
    d.leftover.assign(rest, rest + k);
    d.leftover.insert(d.leftover.end(), src.data.begin() + long(src.pos), src.data.end());
  }
  return d;
}

// The block of an encoder's output: everything after the marker record.
inline Bytes block_of(const Bytes& encoded) {
  return Bytes(encoded.begin() + std::min<long>(7, long(encoded.size())), encoded.end());
}

struct Token {
  int literals = 0;
  int length = 0;   // 0: no match
  int offset = -1;
};

// Splits a well-formed block (after the marker) into tokens up to the end
// token; `end` receives the position after the end token.
inline std::vector<Token> tokens_of(const Bytes& b, size_t* end = nullptr) {
  std::vector<Token> ts;
  size_t i = 0;
  while (i < b.size() && b[i] != 0) {
    Token t;
    int tok = b[i++];
    t.literals = tok & 15;
    if (t.literals == 15) t.literals += b.at(i++);
    i += size_t(t.literals);
    int m = tok >> 4;
    if (m) {
      t.length = m == 15 ? 18 + b.at(i++) : m + 3;
      t.offset = b.at(i) | b.at(i + 1) << 8;
      i += 2;
    }
    ts.push_back(t);
  }
  if (end) *end = i + 1;
  return ts;
}

// Data generators, deterministic by seed.
inline Bytes random_bytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& x : b) x = uint8_t(rng());
  return b;
}

inline Bytes text_like(size_t n, unsigned seed) {
  static const char* words[] = {"(Layer ", "line", "circle", "text", "the", "drawing", "of",
                                "0.25", "scale", "\r\n", "block", "insert", "style", "12.5",
                                "arc ", " ", "wall", "door", "(Font ", "'Standard'"};
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) {
    const char* w = words[rng() % 20];
    b.insert(b.end(), w, w + std::strlen(w));
    if (rng() % 3 == 0) b.push_back(' ');
  }
  b.resize(n);
  return b;
}

// Records shaped like saved line entities: opcode, a flag word, two delta
// coded points as doubles, mostly on a grid, now and then a colour record.
inline Bytes record_like(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes b;
  auto put = [&b](const void* p, size_t k) {
    const uint8_t* q = static_cast<const uint8_t*>(p);
    b.insert(b.end(), q, q + k);
  };
  while (b.size() < n) {
    if (rng() % 16 == 0) {
      b.push_back(0x03);
      uint32_t colour = rng() % 8 * 0x1F1F1F;
      put(&colour, 4);
    }
    b.push_back('L');
    uint32_t flag = 0;
    put(&flag, 4);
    for (int i = 0; i < 4; ++i) {
      double d = rng() % 4 == 0 ? std::ldexp(double(rng()), -20) : double(int(rng() % 200) - 100) * 0.5;
      put(&d, 8);
    }
  }
  b.resize(n);
  return b;
}

}  // namespace kzf_test
