// The original C runtime's pseudo-random generator, as an object that its
// user owns (the process's rand() is untouched): a linear congruential
// generator state = state * 214013 + 2531011 (mod 2^32) whose result is bits
// 16..30 of the state, so results lie in 0..32767. A fresh generator behaves
// as after seeding with 1.
#pragma once

#include <cstdint>

class QmRand {
 public:
  static constexpr int kMax = 32767;

  explicit QmRand(uint32_t seed = 1) : state_(seed) {}
  void seed(uint32_t seed) { state_ = seed; }
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};
