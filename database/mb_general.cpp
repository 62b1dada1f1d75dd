// The general attributes and the records entities share.
#include "database/mb_general.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "database/mb_settings.h"

namespace {

using Shared = MB_General::Shared;

uint64_t bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

uint64_t bits(const void* p) { return uint64_t(reinterpret_cast<uintptr_t>(p)); }

bool same(const Shared& a, const Shared& b) {
  return a.display_width == b.display_width && bits(a.line_scale) == bits(b.line_scale) &&
         bits(a.width) == bits(b.width) && bits(a.thickness) == bits(b.thickness) && a.layer == b.layer &&
         a.line_type == b.line_type && a.url == b.url;
}

size_t hash_of(const Shared& s) {
  uint64_t h = 0x9E3779B97F4A7C15u ^ uint32_t(s.display_width);
  const uint64_t words[] = {bits(s.line_scale), bits(s.width),     bits(s.thickness),
                            bits(s.layer),      bits(s.line_type), bits(s.url)};
  for (uint64_t w : words) {
    h ^= w;
    h *= 0xFF51AFD7ED558CCDu;
    h ^= h >> 32;
  }
  return size_t(h);
}

struct Hash {
  size_t operator()(const Shared& s) const { return hash_of(s); }
};
struct Equal {
  bool operator()(const Shared& a, const Shared& b) const { return same(a, b); }
};

// Every record made so far; never destroyed, as entities may live until the
// process ends. The set's nodes do not move, so a record's address holds.
struct Records {
  std::mutex lock;
  std::unordered_set<Shared, Hash, Equal> set;
};

Records& records() {
  static Records* r = new Records;
  return *r;
}

// Records asked for lately: the last one of each caller, and 16 by their
// hash, so that the run of entities of one load or one command finds its
// record without the lock. They are plain pointers to records that never
// die: threads may replace each other's, which only costs a lookup.
using Remembered = std::atomic<const Shared*>;
constexpr size_t kRemembered = 16;
Remembered remembered[kRemembered];
Remembered last_defaults{nullptr};
Remembered last_changed{nullptr};

// The record of these values, made on first use.
const Shared* record_of(const Shared& values, Remembered& last) {
  const Shared* r = last.load(std::memory_order_acquire);
  if (r && same(*r, values)) return r;
  Remembered& slot = remembered[hash_of(values) % kRemembered];
  r = slot.load(std::memory_order_acquire);
  if (!r || !same(*r, values)) {
    Records& all = records();
    std::lock_guard<std::mutex> hold(all.lock);
    r = &*all.set.insert(values).first;
    slot.store(r, std::memory_order_release);
  }
  last.store(r, std::memory_order_release);
  return r;
}

Shared settings_values() {
  Shared s;
  s.display_width = g_system_setting.get_long_val(MB_DISPLAY_WIDTH);
  s.line_scale = g_system_setting.get_real_val(MB_LINE_SCALE);
  s.width = g_system_setting.get_real_val(MB_WIDTH);
  s.thickness = g_system_setting.get_real_val(MB_THICKNESS);
  return s;
}

// Every new entity starts with the settings' record: the last one made is
// checked in line before any lookup.
const Shared* defaults_record() {
  const Shared values = settings_values();
  const Shared* r = last_defaults.load(std::memory_order_acquire);
  return r && same(*r, values) ? r : record_of(values, last_defaults);
}

}  // namespace

MB_General::MB_General()
    : shared_(defaults_record()),
      color_(g_system_setting.get_long_val(MB_CURRENT_COLOR)),
      display_color_(color_) {}

void MB_General::shared(const Shared& values) { shared_ = record_of(values, last_changed); }

void MB_General::read_shared(int32_t display_width, double line_scale, double width, double thickness,
                             Read_Memo& memo) {
  // The record the memo started from fixes the values not read.
  if (memo.from == shared_ && memo.display_width == display_width && bits(memo.line_scale) == bits(line_scale) &&
      bits(memo.width) == bits(width) && bits(memo.thickness) == bits(thickness)) {
    shared_ = memo.to;
    return;
  }
  Shared values = *shared_;
  values.display_width = display_width;
  values.line_scale = line_scale;
  values.width = width;
  values.thickness = thickness;
  memo = {shared_, nullptr, display_width, line_scale, width, thickness};
  shared(values);
  memo.to = shared_;
}
