#include "geometry/curves/numeric_array.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

// ---- CDoubleArray ----

CDoubleArray::CDoubleArray(int n) {
  if (n <= 0) return;
  items_ = new (std::nothrow) double[n]();
  if (items_) count_ = capacity_ = n;
}

CDoubleArray::CDoubleArray(const CDoubleArray& other) : CLibObject(other), growth_(other.growth_) {
  if (other.count_ <= 0) return;
  items_ = new (std::nothrow) double[other.count_];
  if (!items_) return;
  std::memcpy(items_, other.items_, sizeof(double) * other.count_);
  count_ = capacity_ = other.count_;
}

CDoubleArray& CDoubleArray::operator=(const CDoubleArray& other) {
  if (this == &other) return *this;
  CDoubleArray copy(other);
  SwapItems(copy);
  return *this;
}

CDoubleArray::~CDoubleArray() { delete[] items_; }

void CDoubleArray::SwapItems(CDoubleArray& other) {
  std::swap(count_, other.count_);
  std::swap(capacity_, other.capacity_);
  std::swap(items_, other.items_);
}

int CDoubleArray::Reserve(int needed) {
  if (needed <= capacity_) return kCurveOk;
  int cap = capacity_ + std::max(growth_, needed - capacity_);
  double* block = new (std::nothrow) double[cap];
  if (!block) return kCurveNoMemory;
  if (count_ > 0) std::memcpy(block, items_, sizeof(double) * count_);
  delete[] items_;
  items_ = block;
  capacity_ = cap;
  return kCurveOk;
}

int CDoubleArray::Append(double x) { return InsertAt(x, count_); }

int CDoubleArray::InsertAt(double x, int index) {
  if (index < 0 || index > count_) return kCurveBadArgument;
  int st = MakeRoom(index, 1);
  if (st == kCurveOk) items_[index] = x;
  return st;
}

int CDoubleArray::MakeRoom(int index, int n) {
  if (index < 0 || n < 0) return kCurveBadArgument;
  int base = std::max(count_, index);
  int st = Reserve(base + n);
  if (st != kCurveOk) return st;
  for (int i = count_; i < base; ++i) items_[i] = 0.0;
  count_ = base;
  std::memmove(items_ + index + n, items_ + index, sizeof(double) * (count_ - index));
  for (int i = 0; i < n; ++i) items_[index + i] = 0.0;
  count_ += n;
  return kCurveOk;
}

bool CDoubleArray::Find(double x, double tol, int& index) const {
  if (count_ == 0 || items_[0] - tol > x) {
    index = -1;
    return false;
  }
  int lo = 0, hi = count_;  // items[lo] - tol <= x; items[hi] - tol > x (hi past the end)
  while (hi - lo > 1) {
    int mid = lo + (hi - lo) / 2;
    if (items_[mid] - tol <= x)
      lo = mid;
    else
      hi = mid;
  }
  index = lo;
  return std::fabs(x - items_[lo]) < tol;
}

int CDoubleArray::InsertUnique(double x, double tol, int& index) {
  if (count_ == 0) {
    index = 0;
    return Append(x);
  }
  int at;
  if (Find(x, tol, at)) {
    index = at;
    return kCurveOk;
  }
  int st = InsertAt(x, at + 1);
  if (st == kCurveOk) index = at + 1;
  return st;
}

int CDoubleArray::Span(double x, int lo, int hi) const {
  lo = std::max(lo, 0);
  hi = std::min(hi, count_);
  if (hi <= lo || items_[lo] > x) return lo;
  while (hi - lo > 1) {
    int mid = lo + (hi - lo) / 2;
    if (items_[mid] <= x)
      lo = mid;
    else
      hi = mid;
  }
  return lo;
}

int CDoubleArray::RemoveAt(int index, int n) {
  if (index < 0 || index >= count_) return n <= 0 ? kCurveOk : kCurveBadArgument;
  if (n <= 0) return kCurveOk;
  n = std::min(n, count_ - index);
  if (n >= count_) {
    Clear();
    return kCurveOk;
  }
  std::memmove(items_ + index, items_ + index + n, sizeof(double) * (count_ - index - n));
  count_ -= n;
  return kCurveOk;
}

void CDoubleArray::Clear() {
  delete[] items_;
  items_ = nullptr;
  count_ = capacity_ = 0;
}

void CDoubleArray::Reverse() { std::reverse(items_, items_ + count_); }

int CDoubleArray::ShrinkToFit() {
  if (capacity_ == count_) return kCurveOk;
  if (count_ == 0) {
    Clear();
    return kCurveOk;
  }
  double* block = new (std::nothrow) double[count_];
  if (!block) return kCurveNoMemory;
  std::memcpy(block, items_, sizeof(double) * count_);
  delete[] items_;
  items_ = block;
  capacity_ = count_;
  return kCurveOk;
}

// ---- CPointArray ----

CPointArray::CPointArray(int n) {
  if (n <= 0) return;
  items_ = new (std::nothrow) double[n][3]();
  if (items_) count_ = capacity_ = n;
}

CPointArray::CPointArray(const CPointArray& other) : CLibObject(other), growth_(other.growth_) {
  if (other.count_ <= 0) return;
  items_ = new (std::nothrow) double[other.count_][3];
  if (!items_) return;
  std::memcpy(items_, other.items_, sizeof(double[3]) * other.count_);
  count_ = capacity_ = other.count_;
}

CPointArray& CPointArray::operator=(const CPointArray& other) {
  if (this == &other) return *this;
  CPointArray copy(other);
  SwapItems(copy);
  growth_ = other.growth_;
  return *this;
}

CPointArray::~CPointArray() { delete[] items_; }

void CPointArray::SwapItems(CPointArray& other) {
  std::swap(count_, other.count_);
  std::swap(capacity_, other.capacity_);
  std::swap(items_, other.items_);
}

int CPointArray::Reserve(int needed) {
  if (needed <= capacity_) return kCurveOk;
  int cap = capacity_ + std::max(growth_, needed - capacity_);
  double(*block)[3] = new (std::nothrow) double[cap][3];
  if (!block) return kCurveNoMemory;
  if (count_ > 0) std::memcpy(block, items_, sizeof(double[3]) * count_);
  delete[] items_;
  items_ = block;
  capacity_ = cap;
  return kCurveOk;
}

int CPointArray::InsertRaw(int at, int n) {
  int st = Reserve(count_ + n);
  if (st != kCurveOk) return st;
  std::memmove(items_ + at + n, items_ + at, sizeof(double[3]) * (count_ - at));
  std::memset(items_ + at, 0, sizeof(double[3]) * n);
  count_ += n;
  return kCurveOk;
}

double* CPointArray::GetFolded(int i) const {
  int k = Fold(i);
  return k < 0 ? nullptr : items_[k];
}

int CPointArray::Set(int i, const double p[3]) {
  double* q = Get(i);
  if (!q) return kCurveBadArgument;
  q[0] = p[0];
  q[1] = p[1];
  q[2] = p[2];
  return kCurveOk;
}

int CPointArray::InsertAt(const double p[3], int i) {
  double copy[3] = {p[0], p[1], p[2]};  // p may point into this array
  int at = count_ > 0 ? Fold(i) : 0;
  int st = InsertRaw(at, 1);
  if (st == kCurveOk) Set(at, copy);
  return st;
}

int CPointArray::Insert(int i, int n) {
  if (n < 0) return kCurveBadArgument;
  return InsertRaw(count_ > 0 ? Fold(i) : 0, n);
}

int CPointArray::Append(const double p[3]) {
  double copy[3] = {p[0], p[1], p[2]};
  int st = InsertRaw(count_, 1);
  if (st == kCurveOk) Set(count_ - 1, copy);
  return st;
}

int CPointArray::Remove(int i, int n) {
  int at = Fold(i);
  if (at < 0) return kCurveBadArgument;
  if (n <= 0) return kCurveOk;
  n = std::min(n, count_ - at);
  std::memmove(items_ + at, items_ + at + n, sizeof(double[3]) * (count_ - at - n));
  count_ -= n;
  return kCurveOk;
}

int CPointArray::RemoveWrapped(int i, int n) {
  int at = Fold(i);
  if (at < 0) return kCurveBadArgument;
  if (n <= 0) return kCurveOk;
  n = std::min(n, count_);
  int first = std::min(n, count_ - at);
  Remove(at, first);
  if (n > first) Remove(0, n - first);
  return kCurveOk;
}

namespace {
void ReversePoints(double (*p)[3], int lo, int hi) {
  for (--hi; lo < hi; ++lo, --hi)
    for (int c = 0; c < 3; ++c) std::swap(p[lo][c], p[hi][c]);
}
}  // namespace

int CPointArray::Rotate(int k) {
  if (count_ == 0) return kCurveBadArgument;
  int s = Fold(k);
  ReversePoints(items_, 0, s);
  ReversePoints(items_, s, count_);
  ReversePoints(items_, 0, count_);
  return kCurveOk;
}

void CPointArray::Reverse() { ReversePoints(items_, 0, count_); }

int CPointArray::ShrinkToFit() {
  if (capacity_ == count_) return kCurveOk;
  if (count_ == 0) {
    Clear();
    return kCurveOk;
  }
  double(*block)[3] = new (std::nothrow) double[count_][3];
  if (!block) return kCurveNoMemory;
  std::memcpy(block, items_, sizeof(double[3]) * count_);
  delete[] items_;
  items_ = block;
  capacity_ = count_;
  return kCurveOk;
}

void CPointArray::Clear() {
  delete[] items_;
  items_ = nullptr;
  count_ = capacity_ = 0;
}

void WriteInt32(unsigned char*& cursor, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) *cursor++ = static_cast<unsigned char>(u >> (8 * i));
}

void WriteDouble(unsigned char*& cursor, double v) {
  uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  for (int i = 0; i < 8; ++i) *cursor++ = static_cast<unsigned char>(u >> (8 * i));
}

void CPointArray::Write(unsigned char*& cursor) const {
  WriteInt32(cursor, count_);
  for (int i = 0; i < count_; ++i)
    for (int c = 0; c < 3; ++c) WriteDouble(cursor, items_[i][c]);
}
