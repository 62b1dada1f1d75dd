// The encoder. The history is a linear buffer of absolute positions that
// slides down when full, by whole windows, so that candidate comparisons
// run over contiguous bytes. Each hash bucket holds its newest position and
// each position the one before it in its bucket (kept per ring slot,
// position mod 65,536): chains run newest first and end at the first
// position older than the window, so a byte leaving the window costs
// nothing, and a slot is only reused by a position a whole window newer,
// after its own has left. The chains count positions from the buffer's
// base, as 32-bit numbers, and are moved down with it. One of 131,072
// buckets is chosen by a multiplicative hash of a position's four bytes,
// which spreads numbers alike in many bytes over all of them, so that a
// chain holds few positions whose bytes differ; a walk still checks the
// bytes of each candidate. The bytes hashed are read from the input (the
// pending input keeps the three history bytes before it), not from history
// just written.
//
// A match search gives up after 12 candidates that do not lengthen its
// match, and starts only when a match of the longest length could be read
// from the pending input (or at the end), so the output is the same however
// the input is chunked. A short match is first compared with the one
// starting a byte later (one step of lazy matching, giving up after 4). The
// bounds trade a few percent of the compressed size for a save some three
// times faster on drawings full of numbers alike in many bytes, whose
// chains are long. Literals are not copied anywhere: the pending ones are
// always the newest bytes of the history.
#include "database/fileformat/kzf_codec.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "database/fileformat/kzf_dictionary.h"

using namespace kzf_lz;

namespace {

constexpr int kRing = kWindow;                   // nodes, one per history byte
constexpr int kHashBits = 17;                    // twice as many buckets as nodes
constexpr int kBuckets = 1 << kHashBits;
constexpr int kHistCap = kWindow + 256 * 1024;   // linear buffer before sliding
constexpr int32_t kNone = -1;
constexpr size_t kOutFlush = 64 * 1024;
constexpr int kInputPiece = 64 * 1024;           // largest piece taken into pending at once
constexpr int kLookahead = kMaxMatch + 1;        // pending bytes needed before a search
constexpr int kLazyBelow = 64;                   // matches this short try the next byte too
constexpr int kKeyBack = kMinMatch - 1;          // history bytes kept before the pending input

// Hash of the four bytes starting at p, below kBuckets.
inline uint32_t hash4(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return (v * 2654435761u) >> (32 - kHashBits);
}

// Bytes a[i] == b[i] from 0, at most limit.
inline int match_length(const uint8_t* a, const uint8_t* b, int limit) {
  int i = 0;
  while (i + 8 <= limit) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (uint64_t d = x ^ y) return i + (__builtin_ctzll(d) >> 3);
    i += 8;
  }
  while (i < limit && a[i] == b[i]) ++i;
  return i;
}

}  // namespace

struct MB_LZ_Compressor::State {
  // History: absolute positions [lo, hi), byte at hist[pos - base]; base is
  // a whole number of windows, so a position's ring slot is also that of
  // its offset from base.
  std::unique_ptr<uint8_t[]> hist{new uint8_t[kHistCap]};
  int64_t base = 0, lo = 0, hi = 0;
  // Chain positions count from base.
  std::unique_ptr<int32_t[]> head{new int32_t[kBuckets]};  // per hash: the newest position
  std::unique_ptr<int32_t[]> older{new int32_t[kRing]};    // per ring slot: the one before
  int literals = 0;  // pending literals: the newest bytes of the history

  // Input not yet encoded from pending_pos on, after the three newest bytes
  // of the history (once there are three), so that every position's four
  // bytes are read from one buffer.
  std::vector<uint8_t> pending;
  size_t pending_pos = 0;

  // The match being chosen.
  int64_t best_pos = 0;
  int best_len = 0;

  std::unique_ptr<uint8_t[]> out{new uint8_t[kOutFlush + 2 * (kMaxLiterals + kMaxMatch)]};
  size_t out_len = 0;

  State() { pending.reserve(2 * kInputPiece + kLookahead + kKeyBack); }

  // Empty history, chains and buffers; the memory stays for another block.
  void clear() {
    std::fill(head.get(), head.get() + kBuckets, kNone);
    base = lo = hi = 0;
    literals = 0;
    pending.clear();
    pending_pos = 0;
    best_len = 0;
    out_len = 0;
  }

  void put(uint8_t b) { out[out_len++] = b; }

  // Links positions p to end into their chains; key holds p's four bytes
  // and those of the positions after it.
  void link(int32_t p, int32_t end, const uint8_t* key) {
    for (; p <= end; ++p, ++key) {
      int32_t& newest = head[hash4(key)];
      older[p & (kRing - 1)] = newest;
      newest = p;
    }
  }

  // The buffer's base moves up by `by`: positions below it are older than
  // the window and end their chains.
  void rebase(int32_t by) {
    for (int i = 0; i < kBuckets; ++i) head[i] = head[i] >= by ? head[i] - by : kNone;
    for (int i = 0; i < kRing; ++i) older[i] = older[i] >= by ? older[i] - by : kNone;
  }

  // Slides the history down by whole windows, keeping the window; called
  // when the buffer is full, so more than a window lies below lo.
  void make_room() {
    const int32_t by = int32_t(lo - base) & ~(kRing - 1);
    std::memmove(hist.get(), hist.get() + by, size_t(hi - base - by));
    rebase(by);
    base += by;
  }

  // Appends n bytes to the history, dropping the oldest beyond the window,
  // and links the positions whose four bytes are now in it. The bytes just
  // before `bytes`, up to three, must be the newest of the history. n is at
  // most the dictionary size or a match length.
  void add(const uint8_t* bytes, int n) {
    if (hi - base + n > kHistCap) make_room();
    std::memcpy(&hist[hi - base], bytes, size_t(n));
    const int64_t from = std::max<int64_t>(hi - kKeyBack, 0);
    const uint8_t* key = bytes - (hi - from);
    hi += n;
    lo = std::max(lo, hi - kWindow);
    link(int32_t(from - base), int32_t(hi - base) - kMinMatch, key);
  }

  // add() for one byte of pending input.
  void add_literal(const uint8_t* in) {
    if (hi - base == kHistCap) make_room();
    hist[hi - base] = *in;
    ++hi;
    if (hi - lo > kWindow) ++lo;
    const int32_t p = int32_t(hi - base) - kMinMatch;
    if (p >= 0) link(p, p, in - kKeyBack);
  }

  void put_literals() {
    std::memcpy(&out[out_len], &hist[hi - literals - base], size_t(literals));
    out_len += size_t(literals);
    literals = 0;
  }

  void put_literal_count(int n) {
    if (n >= 15) put(uint8_t(n - 15));
  }

  // Walks the chain from `cand` for the longest match of the pending bytes
  // `in`; the newest candidate wins a tie. The walk gives up after
  // `candidates` candidates that do not improve the match; each one that
  // does lengthens it, so a walk stays within candidates + 273 steps and a
  // run of equal bytes still finds its longest match far down its chain.
  void walk(int32_t cand, const uint8_t* in, int avail, int candidates) {
    const int most = std::min(avail, kMaxMatch);
    const int32_t oldest = int32_t(lo - base);
    const int32_t top = int32_t(hi - base);
    const uint8_t* const h0 = hist.get();
    const int32_t* const chain = older.get();
    int len = best_len;
    // No candidate can be longer than the bytes there are: nothing to read.
    if (len >= most) return;
    int32_t at = -1;
    // A candidate can only win if it matches the four bytes ending at the
    // current best length.
    uint32_t want;
    std::memcpy(&want, in + len - 3, 4);
    for (int left = candidates; cand >= oldest;) {
      const int32_t p = cand;
      cand = chain[p & (kRing - 1)];
      const int limit = std::min(top - p, most);
      uint32_t got;
      if (len < limit && (std::memcpy(&got, h0 + p + len - 3, 4), got == want)) {
        const int count = match_length(h0 + p, in, limit);
        if (count > len) {
          len = count;
          at = p;
          if (count == most) break;
          std::memcpy(&want, in + len - 3, 4);
          continue;
        }
      }
      if (--left == 0) break;
    }
    if (at >= 0) {
      best_len = len;
      best_pos = base + at;
    }
  }
};

MB_LZ_Compressor::MB_LZ_Compressor(MB_Byte_Sink* sink, int target_version)
    : sink_(sink), target_version_(target_version) {}

MB_LZ_Compressor::~MB_LZ_Compressor() = default;

MB_Result MB_LZ_Compressor::start() {
  if (started_ || !sink_ || target_version_ < kMinEncoderVersion) return MB_BAD_STATE;
  if (failure_) return failure_;
  try {
    if (!s_) s_.reset(new State);
  } catch (const std::bad_alloc&) {
    return MB_NO_MEMORY;
  }
  State& s = *s_;
  s.clear();
  started_ = true;
  for (uint8_t b : kMarker) s.put(b);
  const int from = target_version_ >= kFullPresetVersion ? 0 : kKzfDictionaryShortStart;
  const uint8_t* preset = kzf_preset_dictionary() + from;
  const int n = kKzfDictionarySize - from;
  s.add(preset, n);
  s.pending.insert(s.pending.end(), preset + n - kKeyBack, preset + n);
  s.pending_pos = kKeyBack;
  return MB_SUCCESS;
}

MB_Result MB_LZ_Compressor::compress(int n, const void* bytes) {
  if (failure_) return failure_;
  if (!started_ || n < 0 || (n > 0 && !bytes)) return MB_BAD_STATE;
  const uint8_t* src = static_cast<const uint8_t*>(bytes);
  State& s = *s_;
  while (n > 0) {
    int piece = std::min(n, kInputPiece);
    if (s.pending_pos >= size_t(kInputPiece) || s.pending.size() + size_t(piece) > s.pending.capacity()) {
      s.pending.erase(s.pending.begin(), s.pending.begin() + long(s.pending_pos - kKeyBack));
      s.pending_pos = kKeyBack;
    }
    s.pending.insert(s.pending.end(), src, src + piece);
    src += piece;
    n -= piece;
    if (MB_Result r = encode(false)) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_LZ_Compressor::finish() {
  if (failure_) return failure_;
  if (!started_) return MB_BAD_STATE;
  MB_Result r = encode(true);
  State& s = *s_;
  if (!r && s.literals > 0) {
    s.put(uint8_t(std::min(s.literals, 15)));
    s.put_literal_count(s.literals);
    s.put_literals();
  }
  if (!r) {
    s.put(kBlockEndToken);
    s.put(kBlockClose);
    r = flush_output();
  }
  s.clear();
  started_ = false;
  return r;
}

// Consumes pending input while a whole longest match and the byte after it
// fit in it (all of it when final), so every match is chosen knowing its
// full length.
MB_Result MB_LZ_Compressor::encode(bool final) {
  State& s = *s_;
  for (;;) {
    const uint8_t* in = s.pending.data() + s.pending_pos;
    int avail = int(s.pending.size() - s.pending_pos);
    if (avail == 0 || (!final && avail < kLookahead)) return MB_SUCCESS;
    s.best_len = kMinMatch - 1;
    if (avail >= kMinMatch) s.walk(s.head[hash4(in)], in, avail, kMaxCandidates);
    if (s.best_len >= kMinMatch && s.best_len < kLazyBelow && avail > kMinMatch) {
      // One byte of look-ahead: a longer match starting at the next byte
      // wins, and this byte goes out as a literal.
      int64_t pos = s.best_pos;
      int len = s.best_len;
      s.walk(s.head[hash4(in + 1)], in + 1, avail - 1, kLazyCandidates);
      if (s.best_len > len) {
        s.best_len = 0;
      } else {
        s.best_pos = pos;
        s.best_len = len;
      }
    }
    if (s.best_len >= kMinMatch) {
      emit_match();
    } else {
      s.add_literal(in);
      ++s.pending_pos;
      if (++s.literals == kMaxLiterals) {
        s.put(0x0F);
        s.put_literal_count(kMaxLiterals);
        s.put_literals();
      }
    }
    if (s.out_len >= kOutFlush)
      if (MB_Result r = flush_output()) return r;
  }
}

void MB_LZ_Compressor::emit_match() {
  State& s = *s_;
  int len = s.best_len;
  uint32_t offset = uint32_t(s.hi - s.best_pos - 1);
  s.put(uint8_t((std::min(len - 3, 15) << 4) | std::min(s.literals, 15)));
  s.put_literal_count(s.literals);
  s.put_literals();
  if (len >= 18) s.put(uint8_t(len - 18));
  s.put(uint8_t(offset & 0xFF));
  s.put(uint8_t(offset >> 8));
  s.add(s.pending.data() + s.pending_pos, len);
  s.pending_pos += size_t(len);
  s.best_len = 0;
}

MB_Result MB_LZ_Compressor::flush_output() {
  State& s = *s_;
  if (s.out_len == 0) return MB_SUCCESS;
  MB_Result r = sink_->write(int(s.out_len), s.out.get());
  s.out_len = 0;
  if (r) failure_ = r;
  return r;
}
