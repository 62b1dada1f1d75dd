// The pools MB_Object's operator new takes its blocks from.
//
// One free list per size class of 8 bytes up to kLargest; a class without
// a free block cuts the next one from its current slab, and takes a new slab
// when that is used up, each twice the size of the one before up to kMaxSlab
// (a small drawing holds little, a large one takes few slabs). Slabs of
// kHugeSlab and more are mapped on their own and asked for huge pages: the
// first touch of a drawing of millions of objects then faults once per huge
// page instead of once per page. Slabs are never given back: their blocks
// serve later objects of the same size. A spin lock guards the classes, as
// objects may be made and destroyed on any thread.
#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "database/mb_object.h"

#if defined(__SANITIZE_ADDRESS__)
#define MB_POOLED_OBJECTS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MB_POOLED_OBJECTS 0
#endif
#endif
#ifndef MB_POOLED_OBJECTS
#define MB_POOLED_OBJECTS 1
#endif

namespace {

// Blocks are 8-byte aligned, as database objects hold nothing that needs more
// (pointers, 32-bit numbers and doubles), so an object of 200 bytes takes 200.
constexpr size_t kGrain = 8;
constexpr size_t kLargest = 1024;
constexpr size_t kClasses = kLargest / kGrain;
constexpr size_t kFirstSlab = 64 * 1024;
constexpr size_t kHugeSlab = 2 * 1024 * 1024;
constexpr size_t kMaxSlab = 16 * 1024 * 1024;

struct Free_Block {
  Free_Block* next;
};

struct Pools {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
  Free_Block* free[kClasses] = {};
  char* next[kClasses] = {};
  char* end[kClasses] = {};
  size_t slab[kClasses] = {};  // the size of the class's last slab
  size_t live = 0;
  size_t reserved = 0;
  size_t mapped = 0;
};

// Never destroyed: objects may die during the process's exit.
Pools& pools() {
  static Pools* p = new Pools;
  return *p;
}

class Lock {
 public:
  explicit Lock(Pools& p) : p_(p) {
    while (p_.busy.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~Lock() { p_.busy.clear(std::memory_order_release); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  Pools& p_;
};

// A slab of n bytes; null when there is no room. Huge slabs are mapped at a
// huge page's alignment.
char* new_slab(Pools& p, size_t n) {
  if (n < kHugeSlab) {
    char* slab = static_cast<char*>(std::malloc(n));
    if (slab) p.reserved += n;
    return slab;
  }
  void* m = mmap(nullptr, n + kHugeSlab, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) return nullptr;
  char* raw = static_cast<char*>(m);
  const uintptr_t at = (reinterpret_cast<uintptr_t>(raw) + kHugeSlab - 1) & ~uintptr_t(kHugeSlab - 1);
  char* slab = reinterpret_cast<char*>(at);
  if (slab > raw) munmap(raw, size_t(slab - raw));
  const size_t tail = size_t(raw + n + kHugeSlab - (slab + n));
  if (tail) munmap(slab + n, tail);
  madvise(slab, n, MADV_HUGEPAGE);
  p.reserved += n;
  p.mapped += n;
  return slab;
}

size_t class_of(size_t n) { return (n + kGrain - 1) / kGrain - 1; }

bool pooled(size_t n) { return MB_POOLED_OBJECTS && n > 0 && n <= kLargest; }

// Null when the heap has no room for a new slab.
void* take(size_t n) {
  const size_t c = class_of(n);
  const size_t size = (c + 1) * kGrain;
  Pools& p = pools();
  Lock lock(p);
  if (Free_Block* b = p.free[c]) {
    p.free[c] = b->next;
    p.live += size;
    return b;
  }
  if (p.end[c] - p.next[c] < static_cast<std::ptrdiff_t>(size)) {
    const size_t grown = p.slab[c] ? std::min(p.slab[c] * 2, kMaxSlab) : kFirstSlab;
    char* slab = new_slab(p, grown);
    if (!slab) return nullptr;
    p.slab[c] = grown;
    p.next[c] = slab;
    p.end[c] = slab + grown / size * size;
  }
  void* b = p.next[c];
  p.next[c] += size;
  p.live += size;
  return b;
}

void give_back(void* block, size_t n) {
  const size_t c = class_of(n);
  Pools& p = pools();
  Lock lock(p);
  Free_Block* b = static_cast<Free_Block*>(block);
  b->next = p.free[c];
  p.free[c] = b;
  p.live -= (c + 1) * kGrain;
}

}  // namespace

void* MB_Object::operator new(size_t n) {
  if (!pooled(n)) return ::operator new(n);
  if (void* b = take(n)) return b;
  throw std::bad_alloc();
}

void* MB_Object::operator new(size_t n, const std::nothrow_t&) noexcept {
  if (!pooled(n)) return ::operator new(n, std::nothrow);
  return take(n);
}

void MB_Object::operator delete(void* p, size_t n) noexcept {
  if (!p) return;
  if (!pooled(n)) {
    ::operator delete(p);
    return;
  }
  give_back(p, n);
}

MB_Object::Pool_Stats MB_Object::pool_stats() {
  Pools& p = pools();
  Lock lock(p);
  Pool_Stats s;
  s.live = p.live;
  s.reserved = p.reserved;
  s.mapped = p.mapped;
  return s;
}
