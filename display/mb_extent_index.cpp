// The extent index: entries sorted along a Z-order curve through their
// centres, then packed bottom-up, a handful of entries to a leaf and a
// handful of nodes to a parent. Sorting is what a rebuild costs, so a
// rebuild after a repaint that changed the list stays a small multiple of
// one walk of the list.
//
// The curve runs over the centres' coordinates mapped to integers in their
// order (the bit patterns of the doubles, flipped so that they sort as the
// values do), not over a grid fitted to the extents: a few entities far away
// from the rest do not squeeze the rest into one cell.
//
// The leaves keep each entry's corners as the entity had them, and the
// index is rebuilt whenever any entity's extents may have changed, so the
// exact test on them is the test on the entity. A node's box holds the least
// and greatest coordinates of its corners, so a rectangle stored out of
// normal form is still inside it. A box is judged by the very sums the exact
// test forms (corner minus or plus tol), and since rounding never reverses
// an order, a box that holds an entry's corners passes whenever the entry's
// exact test does: nothing the snap would find is passed over.
#include "display/mb_extent_index.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "database/mb_drawable.h"
#include "geometry/as_void_list.h"

namespace {

constexpr uint32_t kFanOut = 8;

// The upper 32 bits of the double's pattern, ordered as the values are.
uint32_t ordered_key(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  bits = (bits >> 63) ? ~bits : bits | (uint64_t(1) << 63);
  return static_cast<uint32_t>(bits >> 32);
}

// The bits of v spread to the even positions of the result.
uint64_t spread(uint32_t v) {
  uint64_t x = v;
  x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
  x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
  x = (x | (x << 4)) & 0x0F0F0F0F0F0F0F0Full;
  x = (x | (x << 2)) & 0x3333333333333333ull;
  x = (x | (x << 1)) & 0x5555555555555555ull;
  return x;
}

}  // namespace

void MB_Extent_Index::clear() {
  entries_.clear();
  extents_.clear();
  unbounded_.clear();
  nodes_.clear();
}

void MB_Extent_Index::build(const As_Void_List& list) {
  clear();
  curve_.clear();
  // Room for all at once: growing by steps would copy a large list's
  // arrays several times over.
  const size_t count = static_cast<size_t>(list.count());
  entries_.reserve(count);
  extents_.reserve(count);
  curve_.reserve(count);
  uint32_t order = 0;
  for (As_Void_Node* n = list.head(); n; n = n->next(), ++order) {
    MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
    const As_Rect& r = e->rect();
    if (!(std::isfinite(r.lt().x()) && std::isfinite(r.lt().y()) && std::isfinite(r.rb().x()) &&
          std::isfinite(r.rb().y()))) {
      unbounded_.push_back(Entry{e, order});
      continue;
    }
    const uint32_t entry = static_cast<uint32_t>(entries_.size());
    entries_.push_back(Entry{e, order});
    extents_.push_back(Extents{r.lt().x(), r.lt().y(), r.rb().x(), r.rb().y(), e, entry});
    const double centre_x = r.lt().x() / 2 + r.rb().x() / 2, centre_y = r.lt().y() / 2 + r.rb().y() / 2;
    curve_.emplace_back(spread(ordered_key(centre_x)) << 1 | spread(ordered_key(centre_y)), entry);
  }
  if (entries_.empty()) return;
  sort_curve();
  // The extents in curve order (the extents of entry i were pushed at i).
  extents_scratch_.clear();
  extents_scratch_.reserve(extents_.size());
  for (const Keyed& k : curve_) extents_scratch_.push_back(extents_[k.second]);
  extents_.swap(extents_scratch_);

  const uint32_t indexed = static_cast<uint32_t>(extents_.size());
  auto box_of = [](const Extents& x) {
    return Box{std::min(x.lt_x, x.rb_x), std::min(x.lt_y, x.rb_y), std::max(x.lt_x, x.rb_x), std::max(x.lt_y, x.rb_y)};
  };
  auto join = [](Box& into, const Box& b) {
    into.min_x = std::min(into.min_x, b.min_x);
    into.min_y = std::min(into.min_y, b.min_y);
    into.max_x = std::max(into.max_x, b.max_x);
    into.max_y = std::max(into.max_y, b.max_y);
  };
  nodes_.reserve(indexed / (kFanOut - 1) + 2);
  for (uint32_t first = 0; first < indexed; first += kFanOut) {
    Node leaf{box_of(extents_[first]), first, std::min(kFanOut, indexed - first), true};
    for (uint32_t i = first + 1; i < first + leaf.count; ++i) join(leaf.box, box_of(extents_[i]));
    nodes_.push_back(leaf);
  }
  // Each level packs the one below it; the root comes last.
  for (uint32_t level = 0, level_end = static_cast<uint32_t>(nodes_.size()); level_end - level > 1;) {
    for (uint32_t first = level; first < level_end; first += kFanOut) {
      Node parent{nodes_[first].box, first, std::min(kFanOut, level_end - first), false};
      for (uint32_t i = first + 1; i < first + parent.count; ++i) join(parent.box, nodes_[i].box);
      nodes_.push_back(parent);
    }
    level = level_end;
    level_end = static_cast<uint32_t>(nodes_.size());
  }
}

// A radix sort by key, 16 bits a pass; a pass in which every key has the same
// digit is left out.
void MB_Extent_Index::sort_curve() {
  constexpr uint32_t kDigits = 1u << 16;
  sort_scratch_.resize(curve_.size());
  for (int shift = 0; shift < 64; shift += 16) {
    digit_counts_.assign(kDigits + 1, 0);
    for (const Keyed& k : curve_) ++digit_counts_[((k.first >> shift) & (kDigits - 1)) + 1];
    if (std::find(digit_counts_.begin(), digit_counts_.end(), curve_.size()) != digit_counts_.end()) continue;
    for (uint32_t d = 1; d <= kDigits; ++d) digit_counts_[d] += digit_counts_[d - 1];
    for (const Keyed& k : curve_) sort_scratch_[digit_counts_[(k.first >> shift) & (kDigits - 1)]++] = k;
    curve_.swap(sort_scratch_);
  }
}

void MB_Extent_Index::query(const As_Pt& p, double tol, std::vector<MB_Drawable*>& out) const {
  out.clear();
  found_.clear();
  const double x = p.x(), y = p.y();
  auto box_meets = [&](const Box& b) {
    return b.min_x - tol <= x && x <= b.max_x + tol && b.min_y - tol <= y && y <= b.max_y + tol;
  };
  if (!nodes_.empty()) {
    stack_.clear();
    stack_.push_back(static_cast<uint32_t>(nodes_.size() - 1));
    while (!stack_.empty()) {
      const Node& node = nodes_[stack_.back()];
      stack_.pop_back();
      if (!box_meets(node.box)) continue;
      for (uint32_t i = node.first; i < node.first + node.count; ++i) {
        if (!node.leaf) {
          stack_.push_back(i);
          continue;
        }
        const Extents& e = extents_[i];
        if (mb_extents_meet_aperture(e.lt_x, e.lt_y, e.rb_x, e.rb_y, p, tol)) found_.emplace_back(e.entry, e.entity);
      }
    }
  }
  // entries_ is in list order, and so is unbounded_: merge the two.
  std::sort(found_.begin(), found_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  out.reserve(found_.size());
  auto next = found_.begin();
  for (const Entry& u : unbounded_) {
    if (!mb_extents_meet_aperture(u.entity->rect(), p, tol)) continue;
    for (; next != found_.end() && entries_[next->first].order < u.order; ++next) out.push_back(next->second);
    out.push_back(u.entity);
  }
  for (; next != found_.end(); ++next) out.push_back(next->second);
}
