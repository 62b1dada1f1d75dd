#include "geometry/curves/band_matrix.h"

#include <cmath>
#include <new>

namespace {
constexpr double kPivotTol = 1e-9;
}

// ---- CMatrixStore ----

CMatrixStore::CMatrixStore(int rows, int columns, int& status) {
  if (rows <= 0 || columns <= 0) {
    status = kCurveBadArgument;
    return;
  }
  row_ = new (std::nothrow) double*[rows];
  block_ = new (std::nothrow) double[static_cast<size_t>(rows) * columns]();
  if (!row_ || !block_) {
    delete[] row_;
    delete[] block_;
    row_ = nullptr;
    block_ = nullptr;
    status = kCurveNoMemory;
    return;
  }
  rows_ = rows;
  columns_ = columns;
  for (int i = 0; i < rows; ++i) row_[i] = block_ + static_cast<size_t>(i) * columns;
  status = kCurveOk;
}

CMatrixStore::~CMatrixStore() {
  delete[] row_;
  delete[] block_;
}

// ---- CLinearSystem ----

int CLinearSystem::Solve(CPointArray& points, int start) const {
  int n = Size();
  if (start < 0 || points.Count() - start < n) return kCurveBadArgument;
  for (int c = 0; c < 3; ++c) {
    int st = SolveStrided(&points.Data()[start][c], 3);
    if (st != kCurveOk) return st;
  }
  return kCurveOk;
}

// ---- CBandMatrix ----

CBandMatrix::CBandMatrix(int n, int a, int& status) {
  if (n <= 0 || a < 0) {
    status = kCurveBadArgument;
    return;
  }
  if (a >= n) a = n - 1;
  int stored = (a + 1) * (2 * n - a) - n;
  base_ = new (std::nothrow) std::ptrdiff_t[n];
  block_ = new (std::nothrow) double[stored]();
  if (!base_ || !block_) {
    delete[] base_;
    delete[] block_;
    base_ = nullptr;
    block_ = nullptr;
    status = kCurveNoMemory;
    return;
  }
  n_ = n;
  a_ = a;
  stored_ = stored;
  std::ptrdiff_t offset = 0;
  for (int i = 0; i < n; ++i) {
    base_[i] = offset - First(i);
    offset += Last(i) - First(i) + 1;
  }
  status = kCurveOk;
}

CBandMatrix::~CBandMatrix() {
  delete[] base_;
  delete[] block_;
}

double& CBandMatrix::At(int i, int j) {
  if (!InBand(i, j)) {
    scratch_ = 0.0;
    return scratch_;
  }
  return Raw(i, j);
}

double CBandMatrix::Get(int i, int j) const { return InBand(i, j) ? Raw(i, j) : 0.0; }

int CBandMatrix::Factor() {
  if (factored_) return kCurveOk;
  if (n_ == 0 || std::fabs(Raw(0, 0)) <= kPivotTol) return kCurveUnsupported;
  for (int i = 1; i < n_; ++i) {
    for (int j = First(i); j < i; ++j) {
      double& lij = Raw(i, j);
      if (lij == 0.0) continue;
      lij /= Raw(j, j);
      int kend = Last(j);
      for (int k = j + 1; k <= kend; ++k) {
        double ujk = Raw(j, k);
        if (ujk != 0.0) Raw(i, k) -= lij * ujk;
      }
    }
    if (std::fabs(Raw(i, i)) <= kPivotTol) return kCurveUnsupported;
  }
  factored_ = true;
  return kCurveOk;
}

void CBandMatrix::ForwardL(double* b, int stride) const {
  for (int i = 1; i < n_; ++i) {
    double s = 0.0;
    for (int j = First(i); j < i; ++j) s += Raw(i, j) * b[j * stride];
    b[i * stride] -= s;
  }
}

void CBandMatrix::BackwardU(double* b, int stride) const {
  for (int i = n_ - 1; i >= 0; --i) {
    double s = 0.0;
    int jend = Last(i);
    for (int j = i + 1; j <= jend; ++j) s += Raw(i, j) * b[j * stride];
    b[i * stride] = (b[i * stride] - s) / Raw(i, i);
  }
}

int CBandMatrix::SolveStrided(double* b, int stride) const {
  if (!factored_) return kCurveUnsupported;
  ForwardL(b, stride);
  BackwardU(b, stride);
  return kCurveOk;
}

// ---- CDenseMatrix ----

CDenseMatrix::CDenseMatrix(int n, int& status) : store_(n, n, status) {
  if (status == kCurveOk) n_ = n;
}

double& CDenseMatrix::At(int i, int j) {
  if (i < 0 || j < 0 || i >= n_ || j >= n_) {
    scratch_ = 0.0;
    return scratch_;
  }
  return store_[i][j];
}

double CDenseMatrix::Get(int i, int j) const {
  return (i < 0 || j < 0 || i >= n_ || j >= n_) ? 0.0 : store_[i][j];
}

int CDenseMatrix::Factor() {
  if (factored_) return kCurveOk;
  if (n_ == 0 || std::fabs(store_[0][0]) <= kPivotTol) return kCurveUnsupported;
  for (int i = 1; i < n_; ++i) {
    double* ri = store_[i];
    for (int j = 0; j < i; ++j) {
      if (ri[j] == 0.0) continue;
      const double* rj = store_[j];
      ri[j] /= rj[j];
      for (int k = j + 1; k < n_; ++k)
        if (rj[k] != 0.0) ri[k] -= ri[j] * rj[k];
    }
    if (std::fabs(ri[i]) <= kPivotTol) return kCurveUnsupported;
  }
  factored_ = true;
  return kCurveOk;
}

void CDenseMatrix::ForwardL(double* b, int stride) const {
  for (int i = 1; i < n_; ++i) {
    double s = 0.0;
    for (int j = 0; j < i; ++j) s += store_[i][j] * b[j * stride];
    b[i * stride] -= s;
  }
}

void CDenseMatrix::BackwardU(double* b, int stride) const {
  for (int i = n_ - 1; i >= 0; --i) {
    double s = 0.0;
    for (int j = i + 1; j < n_; ++j) s += store_[i][j] * b[j * stride];
    b[i * stride] = (b[i * stride] - s) / store_[i][i];
  }
}

int CDenseMatrix::SolveStrided(double* b, int stride) const {
  if (!factored_) return kCurveUnsupported;
  ForwardL(b, stride);
  BackwardU(b, stride);
  return kCurveOk;
}

// ---- CBorderedBandMatrix ----

namespace {
int CoreSize(const CBandMatrix* core) { return core ? core->Size() : 0; }
int BorderSize(const CBandMatrix* core, int m) { return core && m > 0 && core->Size() > 0 ? m : 0; }
}  // namespace

CBorderedBandMatrix::CBorderedBandMatrix(CBandMatrix* core, int m, int& status)
    : core_(core),
      rows_(BorderSize(core, m), CoreSize(core), status),
      columns_(BorderSize(core, m), CoreSize(core), status),
      corner_(BorderSize(core, m), status) {
  // The members answer 2100 themselves for a null core or m <= 0; an
  // allocation failure of one of them shows as an empty store.
  if (!core || m <= 0 || core->Size() <= 0) {
    status = kCurveBadArgument;
    return;
  }
  if (rows_.Rows() != m || columns_.Rows() != m || corner_.Size() != m) {
    status = kCurveNoMemory;
    return;
  }
  n_ = core->Size();
  m_ = m;
  status = kCurveOk;
}

double& CBorderedBandMatrix::At(int i, int j) {
  int total = n_ + m_;
  if (total == 0) return corner_.At(-1, -1);
  i = FoldIndex(i, total);
  j = FoldIndex(j, total);
  if (i >= n_ && j < n_) return rows_[i - n_][j];
  if (i >= n_) return corner_.At(i - n_, j - n_);
  if (j >= n_) return columns_[j - n_][i];
  return core_->At(i, j);
}

double CBorderedBandMatrix::Get(int i, int j) const {
  int total = n_ + m_;
  if (total == 0) return 0.0;
  i = FoldIndex(i, total);
  j = FoldIndex(j, total);
  if (i >= n_ && j < n_) return rows_[i - n_][j];
  if (i >= n_) return corner_.Get(i - n_, j - n_);
  if (j >= n_) return columns_[j - n_][i];
  return core_->Get(i, j);
}

int CBorderedBandMatrix::Factor() {
  if (factored_) return kCurveOk;
  if (m_ == 0) return kCurveBadArgument;
  int st = core_->Factor();
  if (st != kCurveOk) return st;
  const CBandMatrix& b = *core_;
  for (int k = 0; k < m_; ++k) {
    // C := L^-1 C (column k) and R := R U^-1 (row k).
    b.ForwardL(columns_[k], 1);
    double* r = rows_[k];
    for (int j = 0; j < n_; ++j) {
      double s = 0.0;
      for (int l = b.First(j); l < j; ++l) s += b.Raw(l, j) * r[l];
      r[j] = (r[j] - s) / b.Raw(j, j);
    }
  }
  for (int i = 0; i < m_; ++i)
    for (int j = 0; j < m_; ++j) {
      double s = 0.0;
      const double* r = rows_[i];
      const double* c = columns_[j];
      for (int l = 0; l < n_; ++l) s += r[l] * c[l];
      corner_.At(i, j) -= s;
    }
  st = corner_.Factor();
  if (st != kCurveOk) return st;
  factored_ = true;
  return kCurveOk;
}

int CBorderedBandMatrix::SolveStrided(double* x, int stride) const {
  if (!factored_) return kCurveUnsupported;
  const CBandMatrix& b = *core_;
  b.ForwardL(x, stride);
  for (int k = 0; k < m_; ++k) {
    double s = 0.0;
    const double* r = rows_[k];
    for (int l = 0; l < n_; ++l) s += r[l] * x[l * stride];
    x[(n_ + k) * stride] -= s;
  }
  double* tail = x + static_cast<std::ptrdiff_t>(n_) * stride;
  corner_.ForwardL(tail, stride);
  corner_.BackwardU(tail, stride);
  for (int i = n_ - 1; i >= 0; --i) {
    double s = 0.0;
    for (int j = i + 1; j <= b.Last(i); ++j) s += b.Raw(i, j) * x[j * stride];
    for (int k = 0; k < m_; ++k) s += columns_[k][i] * x[(n_ + k) * stride];
    x[i * stride] = (x[i * stride] - s) / b.Raw(i, i);
  }
  return kCurveOk;
}
