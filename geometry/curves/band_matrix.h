// Linear systems of the curve library, factorised by LU without pivoting
// (Doolittle: L with a unit diagonal overwrites the lower part, U the upper):
// a band matrix, a dense matrix, and a band matrix bordered by a few dense rows
// and columns for cyclic systems. A pivot of magnitude <= 1e-9 answers -1.
// Zero elements are skipped, so the band costs O(n a^2) to factor and O(n a)
// to solve. Solves run on a vector or on the x, y and z columns of a point
// array in place.
#pragma once

#include <cstddef>

#include "geometry/curves/lib_object.h"
#include "geometry/curves/numeric_array.h"

// rows x columns doubles in one zeroed block, reached through row pointers.
class CMatrixStore : public CLibObject {
 public:
  // status 2100 for a size that holds no element, 2 when allocation fails;
  // both pointers stay null then.
  CMatrixStore(int rows, int columns, int& status);
  ~CMatrixStore() override;
  CMatrixStore(const CMatrixStore&) = delete;
  CMatrixStore& operator=(const CMatrixStore&) = delete;

  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  double* operator[](int i) { return row_[i]; }
  const double* operator[](int i) const { return row_[i]; }

 private:
  int rows_ = 0, columns_ = 0;
  double** row_ = nullptr;
  double* block_ = nullptr;
};

// Common face of the three square systems.
class CLinearSystem : public CLibObject {
 public:
  virtual int Size() const = 0;
  // Element (i, j) for writing. Outside the stored pattern it is a scratch
  // cell reset to 0.0 on every such access, so such reads always give 0.
  virtual double& At(int i, int j) = 0;
  virtual double Get(int i, int j) const = 0;
  virtual int Factor() = 0;
  // Solves in place for the right side b[0], b[stride], ... (Factor first).
  virtual int SolveStrided(double* b, int stride) const = 0;

  int Solve(double* b) const { return SolveStrided(b, 1); }
  // Each coordinate of the points from index start on is a right side; the
  // array must hold start + Size() points.
  int Solve(CPointArray& points, int start) const;
  bool IsFactored() const { return factored_; }

 protected:
  bool factored_ = false;
};

class CBandMatrix : public CLinearSystem {
 public:
  // Half-bandwidth a; a >= n is lowered to n - 1. 2100 for n <= 0 or a < 0.
  CBandMatrix(int n, int a, int& status);
  ~CBandMatrix() override;
  CBandMatrix(const CBandMatrix&) = delete;
  CBandMatrix& operator=(const CBandMatrix&) = delete;

  int Size() const override { return n_; }
  int HalfBandwidth() const { return a_; }
  int StoredCount() const { return stored_; }
  double& At(int i, int j) override;
  double Get(int i, int j) const override;
  int Factor() override;
  int SolveStrided(double* b, int stride) const override;

  // The factor's parts for the bordered system (valid after Factor).
  bool InBand(int i, int j) const { return i >= 0 && j >= 0 && i < n_ && j < n_ && i - j <= a_ && j - i <= a_; }
  double& Raw(int i, int j) { return block_[base_[i] + j]; }
  double Raw(int i, int j) const { return block_[base_[i] + j]; }
  int First(int i) const { return i > a_ ? i - a_ : 0; }
  int Last(int i) const { return i + a_ < n_ ? i + a_ : n_ - 1; }
  void ForwardL(double* b, int stride) const;
  void BackwardU(double* b, int stride) const;

 private:
  int n_ = 0, a_ = 0, stored_ = 0;
  std::ptrdiff_t* base_ = nullptr;  // index of element (i, 0) in the block, may be negative
  double* block_ = nullptr;
  double scratch_ = 0.0;
};

class CDenseMatrix : public CLinearSystem {
 public:
  CDenseMatrix(int n, int& status);

  int Size() const override { return n_; }
  double& At(int i, int j) override;
  double Get(int i, int j) const override;
  int Factor() override;
  int SolveStrided(double* b, int stride) const override;
  void ForwardL(double* b, int stride) const;
  void BackwardU(double* b, int stride) const;

 private:
  int n_ = 0;
  CMatrixStore store_;
  double scratch_ = 0.0;
};

// [B C; R D] with the band core B (not owned; it must outlive this matrix),
// m dense border rows R and columns C and the m x m corner D. Indices are
// folded cyclically modulo n + m, so a periodic system writes its wrap-around
// elements with plain indices -1 and N.
class CBorderedBandMatrix : public CLinearSystem {
 public:
  // 2100 for a null core or m <= 0.
  CBorderedBandMatrix(CBandMatrix* core, int m, int& status);

  int Size() const override { return n_ + m_; }
  double& At(int i, int j) override;
  double Get(int i, int j) const override;
  int Factor() override;
  int SolveStrided(double* b, int stride) const override;

 private:
  CBandMatrix* core_;
  int n_ = 0, m_ = 0;
  CMatrixStore rows_;     // R[k][j] = element (n + k, j)
  CMatrixStore columns_;  // C[k][i] = element (i, n + k)
  CDenseMatrix corner_;
};
