// The encoder. The history is a linear buffer of absolute positions that
// slides down when full, so that candidate comparisons run over contiguous
// bytes. Each hash bucket holds its newest position and each position the
// one before it in its bucket (kept per ring slot, position mod 65,536):
// chains run newest first and end at the first position older than the
// window, so a byte leaving the window costs nothing, and a slot is only
// reused by a position a whole window newer, after its own has left. The
// chains count positions from the buffer's base, as 32-bit numbers, and are
// moved down with it. A match search gives up after 12 candidates that do
// not lengthen its match, and starts only when a match of the longest length could be read from the
// pending input (or at the end), so the output is the same however the
// input is chunked. A short match is first compared with the one starting a
// byte later (one step of lazy matching, giving up after 4). The bounds
// trade a few percent of the compressed size for a save some three times
// faster on drawings full of numbers alike in many bytes, whose chains are
// long. Literals are not copied anywhere: the pending ones are always the
// newest bytes of the history.
#include "database/fileformat/kzf_codec.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "database/fileformat/kzf_dictionary.h"

using namespace kzf_lz;

namespace {

constexpr int kRing = kWindow;                   // nodes, one per history byte
constexpr int kHistCap = kWindow + 256 * 1024;   // linear buffer before sliding
constexpr int32_t kNone = -1;
constexpr size_t kOutFlush = 64 * 1024;
constexpr int kInputPiece = 64 * 1024;           // largest piece taken into pending at once
constexpr int kLookahead = kMaxMatch + 1;        // pending bytes needed before a search
constexpr int kLazyBelow = 64;                   // matches this short try the next byte too

// Hash of the four bytes starting at p, below 65,536.
inline uint32_t hash4(const uint8_t* p) {
  return p[0] ^ ((p[1] ^ ((p[2] ^ (uint32_t(p[3]) << 3)) << 2)) << 3);
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
  // History: absolute positions [lo, hi), byte at hist[pos - base].
  std::unique_ptr<uint8_t[]> hist{new uint8_t[kHistCap]};
  int64_t base = 0, lo = 0, hi = 0;
  // Chain positions count from base.
  std::unique_ptr<int32_t[]> head{new int32_t[kRing]};   // per hash: the newest position
  std::unique_ptr<int32_t[]> older{new int32_t[kRing]};  // per ring slot: the one before
  int literals = 0;  // pending literals: the newest bytes of the history

  std::vector<uint8_t> pending;
  size_t pending_pos = 0;

  // The match being chosen.
  int64_t best_pos = 0;
  int best_len = 0;

  std::vector<uint8_t> out;

  State() {
    pending.reserve(2 * kInputPiece + kLookahead);
    out.reserve(kOutFlush + 2 * (kMaxLiterals + kMaxMatch));
  }

  // Empty history, chains and buffers; the memory stays for another block.
  void clear() {
    std::fill(head.get(), head.get() + kRing, kNone);
    base = lo = hi = 0;
    literals = 0;
    pending.clear();
    pending_pos = 0;
    best_len = 0;
    out.clear();
  }

  void link(int64_t p) {
    int32_t& newest = head[hash4(&hist[p - base])];
    older[p & (kRing - 1)] = newest;
    newest = int32_t(p - base);
  }

  // The buffer's base moves up by `by`: positions below it are older than
  // the window and end their chains.
  void rebase(int32_t by) {
    for (int32_t* t : {head.get(), older.get()})
      for (int i = 0; i < kRing; ++i) t[i] = t[i] >= by ? t[i] - by : kNone;
  }

  // Appends bytes to the history, dropping the oldest beyond the window.
  // n is at most the dictionary size or a match length.
  void add(const uint8_t* bytes, int n) {
    if (hi - base + n > kHistCap) {
      int64_t keep = std::max<int64_t>(lo, hi + n - kWindow);
      std::memmove(hist.get(), hist.get() + (keep - base), size_t(hi - keep));
      rebase(int32_t(keep - base));
      base = keep;
    }
    std::memcpy(&hist[hi - base], bytes, size_t(n));
    for (int64_t end = hi + n; hi < end;) {
      if (hi - lo == kWindow) ++lo;
      ++hi;
      if (hi - lo >= kMinMatch) link(hi - kMinMatch);
    }
  }

  void put_literals() {
    out.insert(out.end(), &hist[hi - literals - base], &hist[hi - base]);
    literals = 0;
  }

  void put_literal_count(int n) {
    if (n >= 15) out.push_back(uint8_t(n - 15));
  }

  // Walks the chain from `cand` for the longest match of the pending bytes
  // `in`; the newest candidate wins a tie. The walk gives up after
  // `candidates` candidates that do not improve the match; each one that
  // does lengthens it, so a walk stays within candidates + 273 steps and a
  // run of equal bytes still finds its longest match far down its chain.
  void walk(int32_t cand, const uint8_t* in, int avail, int candidates) {
    int most = std::min(avail, kMaxMatch);
    const int32_t oldest = int32_t(lo - base);
    for (int missed = 0; cand >= oldest && missed < candidates;) {
      const int64_t p = base + cand;
      cand = older[p & (kRing - 1)];
      int limit = int(std::min<int64_t>(hi - p, most));
      const uint8_t* h = &hist[p - base];
      ++missed;
      // A candidate can only win if it matches at the current best length.
      if (best_len >= limit || h[best_len] != in[best_len]) continue;
      int count = match_length(h, in, limit);
      if (count > best_len) {
        --missed;
        best_len = count;
        best_pos = p;
        if (count == most) return;
      }
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
  s_->clear();
  started_ = true;
  for (uint8_t b : kMarker) s_->out.push_back(b);
  int from = target_version_ >= kFullPresetVersion ? 0 : kKzfDictionaryShortStart;
  s_->add(kzf_preset_dictionary() + from, kKzfDictionarySize - from);
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
      s.pending.erase(s.pending.begin(), s.pending.begin() + long(s.pending_pos));
      s.pending_pos = 0;
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
    s.out.push_back(uint8_t(std::min(s.literals, 15)));
    s.put_literal_count(s.literals);
    s.put_literals();
  }
  if (!r) {
    s.out.push_back(kBlockEndToken);
    s.out.push_back(kBlockClose);
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
      s.add(in, 1);
      ++s.pending_pos;
      if (++s.literals == kMaxLiterals) {
        s.out.push_back(0x0F);
        s.put_literal_count(kMaxLiterals);
        s.put_literals();
      }
    }
    if (s.out.size() >= kOutFlush)
      if (MB_Result r = flush_output()) return r;
  }
}

void MB_LZ_Compressor::emit_match() {
  State& s = *s_;
  int len = s.best_len;
  uint32_t offset = uint32_t(s.hi - s.best_pos - 1);
  s.out.push_back(uint8_t((std::min(len - 3, 15) << 4) | std::min(s.literals, 15)));
  s.put_literal_count(s.literals);
  s.put_literals();
  if (len >= 18) s.out.push_back(uint8_t(len - 18));
  s.out.push_back(uint8_t(offset & 0xFF));
  s.out.push_back(uint8_t(offset >> 8));
  s.add(s.pending.data() + s.pending_pos, len);
  s.pending_pos += size_t(len);
  s.best_len = 0;
}

MB_Result MB_LZ_Compressor::flush_output() {
  State& s = *s_;
  if (s.out.empty()) return MB_SUCCESS;
  MB_Result r = sink_->write(int(s.out.size()), s.out.data());
  s.out.clear();
  if (r) failure_ = r;
  return r;
}
