// The points text may make: one rule bounds a glyph, a whole text, a whole
// drawing's build and the compiling of a font, so that a small damaged font
// cannot make a text take minutes and gigabytes.
//
// A budget is opened for a scope on the calling thread. Opened while another
// is open, it lies within it: what it spends is spent in every enclosing
// budget too, and it allows no more than they have left. Every point a glyph
// places counts, and so does every code the shape interpreter runs. Once a
// glyph does not fit in what is left, the budget is spent: the rest of the
// text (or of the build) draws no strokes, the pen still advancing.
#pragma once

#include <climits>

class MB_Glyph_Budget {
 public:
  // One glyph of a shape font: far beyond any real glyph (tens of points).
  static constexpr long kGlyph = 1L << 16;
  // One text entity.
  static constexpr long kText = 1L << 19;
  // The texts of one drawing's build together.
  static constexpr long kBuild = 1L << 24;
  // The glyphs of one font compiled from source together.
  static constexpr long kFont = 1L << 22;
  // What is left when no budget is open.
  static constexpr long kUnbounded = LONG_MAX;

  enum Scope {
    kWithin,  // within the budgets open now
    kAlone,   // on its own: what it spends is not spent elsewhere
  };

  explicit MB_Glyph_Budget(long limit, Scope scope = kWithin);
  ~MB_Glyph_Budget();
  MB_Glyph_Budget(const MB_Glyph_Budget&) = delete;
  MB_Glyph_Budget& operator=(const MB_Glyph_Budget&) = delete;

  long left() const { return left_; }

  // What the open budgets still allow together.
  static long available();
  // Spends n (at most what is available) from every open budget.
  static void spend(long n);
  // Spends n when it is available and answers true; otherwise spends all
  // that is left and answers false.
  static bool take(long n);

 private:
  long left_;
  MB_Glyph_Budget* outer_;
  MB_Glyph_Budget* saved_;  // the innermost budget when this one was opened
};
