// Line-type patterns and the dash walker.
#include "database/mb_linetype.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/as_pt.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_pt_set.h"

namespace {

void copy_text(char* dst, const char* src) {
  size_t n = src ? strnlen(src, MB_Line_Type::kTextSize - 1) : 0;
  if (n) std::memcpy(dst, src, n);
  dst[n] = 0;
}

// A position on a polyline of at least two points, moved forward by
// distance. Each step either finishes the distance inside a segment or
// passes to the next segment, so a walk ends after at most one step per
// segment.
class Polyline_Walker {
 public:
  Polyline_Walker(const As_Pt* pts, int n) : pts_(pts), n_(n), seg_(n - 1), after_(n - 1) {
    double sum = 0.0;
    for (int k = n - 2; k >= 0; --k) {
      seg_[k] = (pts[k + 1] - pts[k]).len();
      after_[k] = sum;
      sum += seg_[k];
    }
    total_ = sum;
  }

  double total() const { return total_; }
  double remaining() const { return (seg_[i_] - off_) + after_[i_]; }
  As_Pt here() const { return point_at(i_, off_); }

  // Puts the position on the segment nearest to p, at the foot of p.
  void place_near(const As_Pt& p) {
    double best = -1.0;
    for (int k = 0; k + 1 < n_; ++k) {
      double t = 0.0;
      if (seg_[k] > 0.0) {
        t = ((p - pts_[k]) % (pts_[k + 1] - pts_[k])) / seg_[k];
        t = t < 0.0 ? 0.0 : (t > seg_[k] ? seg_[k] : t);
      }
      double d = (p - point_at(k, t)).len();
      if (best < 0.0 || d < best) {
        best = d;
        i_ = k;
        off_ = t;
      }
    }
  }

  // Moves `len` forward, appending the vertices passed and the point
  // reached to out when given. True when the end of the polyline was reached.
  bool walk(double len, std::vector<As_Pt>* out) {
    double need = len;
    for (;;) {
      double rem = seg_[i_] - off_;
      if (rem > need) {
        off_ += need;
        if (out) out->push_back(point_at(i_, off_));
        return false;
      }
      need -= rem;
      if (i_ + 2 >= n_) {
        off_ = seg_[i_];
        if (out) out->push_back(pts_[n_ - 1]);
        return true;
      }
      ++i_;
      off_ = 0.0;
      if (out) out->push_back(pts_[i_]);
      if (!(need > 0.0)) return false;
    }
  }

 private:
  As_Pt point_at(int k, double off) const {
    if (!(seg_[k] > 0.0)) return pts_[k];
    return pts_[k] + (pts_[k + 1] - pts_[k]) * (off / seg_[k]);
  }

  const As_Pt* pts_;
  int n_;
  std::vector<double> seg_;    // length of segment k
  std::vector<double> after_;  // length of the segments after k
  double total_ = 0.0;
  int i_ = 0;
  double off_ = 0.0;
};

void solid(const As_Pt* points, int count, As_Pt_Sets& out) {
  if (points && count > 0) {
    out.init(static_cast<unsigned long>(count), points);
  } else {
    out.free();
  }
}

}  // namespace

// ---------------------------------------------------------------------------

MB_Linetype_Node::MB_Linetype_Node(double val, double scale, double rotang, double xoffset, double yoffset,
                                   short shape_flag, short complexshapecode)
    : val_(val),
      complexshapecode_(complexshapecode),
      scale_(scale),
      rotang_(rotang),
      xoffset_(xoffset),
      yoffset_(yoffset),
      shape_flag_(shape_flag) {}

// ---------------------------------------------------------------------------

MB_Linetype_Loop::MB_Linetype_Loop(const MB_Linetype_Loop& other) { *this = other; }

MB_Linetype_Loop& MB_Linetype_Loop::operator=(const MB_Linetype_Loop& other) {
  if (this == &other) return *this;
  free();
  if (MB_Linetype_Node* n = other.head_) {
    do {
      add(new MB_Linetype_Node(*n));
      n = n->next();
    } while (n && n != other.head_);
  }
  return *this;
}

MB_Linetype_Loop::~MB_Linetype_Loop() { free(); }

void MB_Linetype_Loop::add(MB_Linetype_Node* node) {
  if (!node) return;
  if (!head_) {
    head_ = node;
    node->next(node);
    node->previous(node);
    return;
  }
  MB_Linetype_Node* last = head_->previous();
  node->previous(last);
  node->next(head_);
  last->next(node);
  head_->previous(node);
}

int MB_Linetype_Loop::count() const {
  int n = 0;
  if (MB_Linetype_Node* p = head_) {
    do {
      ++n;
      p = p->next();
    } while (p && p != head_);
  }
  return n;
}

void MB_Linetype_Loop::free() {
  MB_Linetype_Node* p = head_;
  head_ = nullptr;
  if (!p) return;
  MB_Linetype_Node* first = p;
  do {
    MB_Linetype_Node* next = p->next();
    delete p;
    p = next;
  } while (p && p != first);
}

// ---------------------------------------------------------------------------

void MB_Line_Type::name(const char* text) { copy_text(name_, text); }

void MB_Line_Type::desc(const char* text) { copy_text(desc_, text); }

bool MB_Line_Type::init_dec(const char* definition) {
  char buf[kTextSize];
  copy_text(buf, definition);
  char* comma = std::strchr(buf, ',');
  if (comma) *comma = 0;
  name(buf);
  if (comma) {
    char* rest = comma + 1;
    if (char* second = std::strchr(rest, ',')) *second = 0;
    desc(rest);
  } else {
    desc("");
  }
  return true;
}

bool MB_Line_Type::has_gaps() const {
  int nodes = loop_.count();
  for (MB_Linetype_Node* n = loop_.head(); n && nodes-- > 0; n = n->next())
    if (n->val() < 0.0) return true;
  return false;
}

bool MB_Line_Type::render_line_type(const As_Pt* points, int count, double scale, As_Pt_Sets& out) const {
  if (!points || count < 2) {
    solid(points, count, out);
    return false;
  }
  Polyline_Walker walker(points, count);
  const double total = walker.total();
  if (!std::isfinite(total) || total < scale * pattern_length_) {
    solid(points, count, out);
    return false;
  }
  // One round of the pattern must move along the line, and the whole line
  // must not take more than kMaxPieces elements.
  double round = 0.0;
  int nodes = loop_.count();
  for (MB_Linetype_Node* n = loop_.head(); n && nodes > 0; n = n->next()) {
    round += std::fabs(n->val());
    if (n->next() == loop_.head()) break;
  }
  round *= scale;
  if (!(round > resabs) || !std::isfinite(round) || total / round * nodes > double(kMaxPieces)) {
    solid(points, count, out);
    return false;
  }

  std::vector<As_Pt> pts;
  std::vector<unsigned long> counts;
  std::vector<As_Pt> piece;
  bool ended = false;
  // Elements too small to move a far point by one unit in the last place
  // are bounded by the count of steps as well.
  long steps = 4 * kMaxPieces;
  for (MB_Linetype_Node* node = loop_.head(); !ended && steps > 0; node = node->next(), --steps) {
    const double len = scale * node->val();
    if (len < 0.0) {
      ended = walker.walk(-len, nullptr) || walker.remaining() <= -len;
      continue;
    }
    piece.assign(1, walker.here());
    if (len > 0.0) {
      ended = walker.walk(len, &piece);
      if (!ended && walker.remaining() < len) ended = walker.walk(walker.remaining(), &piece);
    }
    counts.push_back(piece.size());
    pts.insert(pts.end(), piece.begin(), piece.end());
  }
  out.init(static_cast<unsigned long>(counts.size()), counts.data(), pts.data());
  return true;
}

bool MB_Line_Type::get_point_of_pts(const As_Pt* points, int count, const As_Pt& start, double length,
                                    As_Pt_List& out) const {
  out.add_tail(start);
  if (!points || count < 2) return false;
  Polyline_Walker walker(points, count);
  walker.place_near(start);
  if (!(length > 0.0)) return walker.remaining() > 0.0;
  std::vector<As_Pt> passed;
  bool ended = walker.walk(length, &passed);
  for (const As_Pt& p : passed) out.add_tail(p);
  return !ended;
}
