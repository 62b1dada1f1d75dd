// The points text may make: see mb_glyph_budget.h.
#include "database/fonts/mb_glyph_budget.h"

#include <algorithm>

namespace {

thread_local MB_Glyph_Budget* g_innermost = nullptr;

}  // namespace

MB_Glyph_Budget::MB_Glyph_Budget(long limit, Scope scope)
    : left_(std::max(limit, 0L)), outer_(scope == kWithin ? g_innermost : nullptr), saved_(g_innermost) {
  g_innermost = this;
}

MB_Glyph_Budget::~MB_Glyph_Budget() { g_innermost = saved_; }

long MB_Glyph_Budget::available() {
  long n = kUnbounded;
  for (const MB_Glyph_Budget* b = g_innermost; b; b = b->outer_) n = std::min(n, b->left_);
  return n;
}

void MB_Glyph_Budget::spend(long n) {
  n = std::min(n, available());
  if (n <= 0) return;
  for (MB_Glyph_Budget* b = g_innermost; b; b = b->outer_) b->left_ -= n;
}

bool MB_Glyph_Budget::take(long n) {
  const long have = available();
  spend(std::min(n, have));
  return n <= have;
}
