// Common points of two curves and fillet trimming between them. The Newton
// intersector replaces each curve by its osculating circle or tangent line
// and solves the step on those shapes exactly (line-line, line-circle,
// circle-circle). A pair of curves picks a closed-form solver when both
// curves report line or circle data (Kind 0 or 2); otherwise it runs the
// Newton intersector from every pair of sample parameters. Results go into
// two parallel parameter lists in the callers' order.
#pragma once

#include "geometry/curves/curve_project.h"

class CRunMemo;
class CFrameCache;

class CCurveIntersector : public CLibObject {
 public:
  // tol 0: iterate until the steps converge.
  CCurveIntersector(const CCurve& c1, const CCurve& c2, double tol);
  // From (t1, t2): 0 when the iteration stopped or converged and both
  // parameters lie on their curves; 14 otherwise (20 steps at most).
  int Run(double t1, double t2);
  // Run, then the acceptance: not tangential, and within tol of each other.
  int Solve(double t1, double t2, double tol);

  double t1 = 0.0, t2 = 0.0, dt1 = 0.0, dt2 = 0.0;
  CurveFrame f1, f2;
  bool stop = false;
  double e = 0.0;
  double dist2 = 0.0;

  // A search from many seeds spares work that gives the same answers: the
  // frames at the next run's start, taken once per seed (used by that run
  // only), frames kept by parameter, and a memo of how runs ended. A frame
  // is a function of its parameter and the iteration one of its
  // parameters, so a run that reaches parameters another run passed ends as
  // that one did; a memo answer sets t1 and t2 only.
  // With frames kept, every frame comes from their source, which may
  // differ from TakeFrame's by rounding.
  const CurveFrame* start1 = nullptr;
  const CurveFrame* start2 = nullptr;
  CFrameCache* frames1 = nullptr;
  CFrameCache* frames2 = nullptr;
  CRunMemo* memo = nullptr;
  // The crossings a search has listed, in its callers' order (swapped: the
  // first list holds curve 2's parameters). A solve that comes to one of
  // them as AddParamPair sees it could only list it again: it stops there
  // and answers 14.
  const CDoubleArray* listed1 = nullptr;
  const CDoubleArray* listed2 = nullptr;
  bool listed_swapped = false;
  // The last solve stopped at a listed crossing.
  bool StoppedAtListed() const { return stopped_at_listed_; }
  // (t1, t2) is a listed crossing.
  bool Listed() const;

 protected:
  virtual void StraightStep(int which);
  virtual void CircleStep(int which);
  virtual void LineLineStep();
  virtual void LineCircleStep(int line);
  virtual void CircleCircleStep();
  virtual bool CloseEnough() const { return dist2 <= e; }

 private:
  int Iterate(double a, double b, CRunMemo* recall);
  // The acceptance of a run's end.
  int Accept(double tol);
  int Frame(int which, double t, CurveFrame& f) const;

  const CCurve& c1_;
  const CCurve& c2_;
  // The parameters f1 and f2 were taken at.
  double frame_t1_ = 0.0, frame_t2_ = 0.0;
  bool frames_taken_ = false;
  // The iterations of the last run, the parameters each started from, and
  // how it ended: by the step cap, or as a memo entry told.
  int steps_ = 0;
  double trail_[kNewtonSteps][2] = {};
  bool capped_ = false;
  int recalled_steps_ = 0;  // 0: not answered by the memo
  int recalled_status_ = 0;
  bool stopped_at_listed_ = false;
};

// Adds (t1, t2) unless the same crossing is already there: both parameters
// within 1e-9, where the two ends of a closed curve's range are one point.
// c1 and c2, when given, are the curves of the two lists.
int AddParamPair(CDoubleArray& list1, CDoubleArray& list2, double t1, double t2, const CCurve* c1 = nullptr,
                 const CCurve* c2 = nullptr);
// The lists hold that crossing: AddParamPair would add nothing.
bool HasParamPair(const CDoubleArray& list1, const CDoubleArray& list2, double t1, double t2,
                  const CCurve* c1 = nullptr, const CCurve* c2 = nullptr);

class CCurvePair : public CLibObject {
 public:
  CCurvePair(const CCurve& c1, const CCurve& c2, bool swapped) : c1_(c1), c2_(c2), swapped_(swapped) {}
  // Trim parameters of a fillet of radius r (reduced when it does not fit)
  // between the end of curve 1 and the start of curve 2, searched within
  // the fractions a and b of their ranges at the joint.
  virtual int FilletTrim(double a, double b, double& r, double& t1, double& t2) const;
  virtual int Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const;
  bool Swapped() const { return swapped_; }

 protected:
  int Add(CDoubleArray& list1, CDoubleArray& list2, double t1, double t2) const;

  const CCurve& c1_;
  const CCurve& c2_;
  bool swapped_;
};

class CLineLinePair : public CCurvePair {
 public:
  using CCurvePair::CCurvePair;
  int FilletTrim(double a, double b, double& r, double& t1, double& t2) const override;
  int Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const override;
};

// Curve 1 is the line, curve 2 the circle.
class CLineCirclePair : public CCurvePair {
 public:
  using CCurvePair::CCurvePair;
  int Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const override;
};

class CCircleCirclePair : public CCurvePair {
 public:
  using CCurvePair::CCurvePair;
  int Intersect(CDoubleArray& list1, CDoubleArray& list2, double tol) const override;
};

// A new pair (owned by the caller) chosen by the kinds; with allow_swap the
// curve of the smaller kind comes first.
int MakeCurvePair(const CCurve& c1, const CCurve& c2, bool allow_swap, CCurvePair*& pair);
// Crossings of the two curves and the contacts of their end points, added
// to the lists; a crossing on a closed curve's seam is listed once.
int IntersectCurves(const CCurve& c1, const CCurve& c2, CDoubleArray& list1, CDoubleArray& list2, double tol);
// Folds an intersection parameter into the four extremes of
// CCurve::IntersectionRange: the smallest and largest positive (t >= 0) and
// negative ones; with skip_zero an extreme within 1e-9 of 0 stays.
void FoldIntersectionRange(double t, bool skip_zero, double& min_pos, double& max_pos, double& min_neg,
                           double& max_neg);
