// Growable arrays of the curve library: CDoubleArray (knots, parameters) and
// CPointArray (control points, three doubles each). Both grow in steps, keep
// their contents when an allocation fails (status 2), and copy deeply. Point
// indices are folded cyclically into 0 .. count-1 (floor modulo), so -1 names
// the last point; an empty point array answers 2100 to every indexed access.
#pragma once

#include <cstdint>

#include "geometry/curves/lib_object.h"

class CDoubleArray : public CLibObject {
 public:
  explicit CDoubleArray(int n = 0);
  CDoubleArray(const CDoubleArray& other);
  CDoubleArray& operator=(const CDoubleArray& other);
  ~CDoubleArray() override;

  int Count() const { return count_; }
  double* Items() { return items_; }
  const double* Items() const { return items_; }
  double& operator[](int i) { return items_[i]; }
  double operator[](int i) const { return items_[i]; }

  int Append(double x);
  int InsertAt(double x, int index);
  // Opens n zeroed items at index, after raising the count to at least index.
  int MakeRoom(int index, int n);
  // Items ascending: found when some item lies within tol of x; index is the
  // largest i with items[i] - tol <= x (-1 when there is none).
  bool Find(double x, double tol, int& index) const;
  int InsertUnique(double x, double tol, int& index);
  // The largest i in [lo, hi) with items[i] <= x (lo when there is none).
  int Span(double x, int lo, int hi) const;
  // Removes up to n items from index on (clamped to the array).
  virtual int RemoveAt(int index, int n);
  void Clear();
  void Reverse();
  virtual int ShrinkToFit();
  // Exchanges contents with another array of the same class.
  void SwapItems(CDoubleArray& other);

 protected:
  int Reserve(int needed);

  int count_ = 0;
  int capacity_ = 0;
  int growth_ = 10;
  double* items_ = nullptr;
};

class CPointArray : public CLibObject {
 public:
  CPointArray() = default;
  explicit CPointArray(int n);
  CPointArray(const CPointArray& other);
  CPointArray& operator=(const CPointArray& other);
  ~CPointArray() override;

  int Count() const { return count_; }
  void SetGrowth(int g) { growth_ = g > 0 ? g : 1; }
  double (*Data())[3] { return items_; }
  const double (*Data() const)[3] { return items_; }
  // i folded into 0 .. count-1; -1 when the array is empty.
  int Fold(int i) const { return count_ > 0 ? FoldIndex(i, count_) : -1; }

  // Null when empty. Inline, a stored index without the folding's
  // division: every evaluation asks for its control points.
  double* Get(int i) { return i >= 0 && i < count_ ? items_[i] : GetFolded(i); }
  const double* Get(int i) const { return i >= 0 && i < count_ ? items_[i] : GetFolded(i); }
  int Set(int i, const double p[3]);
  // Into an empty array both insert at 0.
  int InsertAt(const double p[3], int i);
  int Insert(int i, int n);  // opens n zeroed points at i
  int Append(const double p[3]);
  int Remove(int i, int n);         // up to the end of the array
  int RemoveWrapped(int i, int n);  // continues at index 0
  int Rotate(int k);                // k times: first point to the end
  void Reverse();
  int ShrinkToFit();
  void Clear();
  void SwapItems(CPointArray& other);
  // Count as a 32-bit int, then three doubles per point, little-endian.
  void Write(unsigned char*& cursor) const;
  int ByteSize() const { return 4 + 24 * count_; }
  // Room for needed points without further allocation.
  int Reserve(int needed);

 private:
  int InsertRaw(int at, int n);
  double* GetFolded(int i) const;

  int count_ = 0;
  int capacity_ = 0;
  int growth_ = 10;
  double (*items_)[3] = nullptr;
};

// Little-endian writers of the buffer format.
void WriteInt32(unsigned char*& cursor, int32_t v);
void WriteDouble(unsigned char*& cursor, double v);
