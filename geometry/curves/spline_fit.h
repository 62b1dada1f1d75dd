// Spline fitting front end: an interpolating cubic B-spline through fit
// points (chord-length parameters, optional end tangents, open or closed),
// its control points, its full clamped knot sequence and a polyline that
// follows it. GetFittingSpline computes the curve; gr_splinegen2 copies the
// results into malloc-ed arrays (the caller frees them with free);
// Generate_Spline holds inputs and outputs for the entity and rubber band.
#pragma once

#include "geometry/curves/nurbs.h"

// Library status to the exported result: 0 -> 0, 2 -> -2, 2100 -> -1,
// 2105 -> 933, anything else -> -3.
int map_fit_status(int status);

// The curve through the points. Points closer than tolerance (at least 1e-9)
// to the previous kept point are skipped. A null tangent, or one of length
// <= 1e-9, means a free end with zero second derivative. closed: the last
// kept point closes the curve, and the tangent of the periodic interpolant
// at the start is used at both ends and written back into both (non-null)
// tangent arrays. On success curve is a new curve owned by the caller; on
// failure it is null. 2100 for fewer than 2 kept points (4 when closed).
long GetFittingSpline(int n, double (*points)[3], double tolerance, double* const start_tangent,
                      double* const end_tangent, int closed, CNURBS*& curve);

// Tessellates the curve within 1 / (2 tessellation^2) into a malloc-ed array.
// Returns a mapped result; on failure the array is null and the count 0.
int tessellate_fitted_curve(const CNURBS& curve, double tessellation, int* count, double (**points)[3]);

// Fits and copies the control points, the knots (control count + 4, the
// full clamped sequence) and the tessellated points into new malloc-ed
// arrays. Null outputs (counts or arrays) are skipped. On failure no array
// survives: the control and knot outputs are null with zero counts, and the
// tessellated outputs are unchanged when the fit itself failed. The degree is
// not used: the fit is always cubic.
int gr_splinegen2(int degree, int n, double (*fit)[3], double tolerance, double* const start_tangent,
                  double* const end_tangent, int closed, double tessellation, int* tessellated_count,
                  double (**tessellated_points)[3], int* control_count, double (**control_points)[3],
                  int* knot_count, double** knots);

// Inputs and outputs of one fit. The generator owns its fit buffer (new[])
// and the three output arrays (malloc).
class Generate_Spline {
 public:
  Generate_Spline();
  Generate_Spline(int degree, int count, double tolerance, double* const start_tangent,
                  double* const end_tangent, int closed, double tessellation);
  ~Generate_Spline();
  Generate_Spline(const Generate_Spline&) = delete;
  Generate_Spline& operator=(const Generate_Spline&) = delete;

  // Releases every buffer, then does what the constructor does.
  void init(int degree, int count, double tolerance, double* const start_tangent, double* const end_tangent,
            int closed, double tessellation);
  // Fits the fit points; nothing when count is 0. Earlier outputs are
  // released first; on failure the outputs are null with zero counts.
  void generate();
  // The fit point buffer of count points, filled by the caller.
  double (*fpt())[3] { return fit_points; }

  int degree = 3;
  int count = 0;
  double (*fit_points)[3] = nullptr;
  double tolerance = 0.1;
  double start_tangent[3] = {0.0, 0.0, 0.0};
  double end_tangent[3] = {0.0, 0.0, 0.0};
  int closed = 0;
  double tessellation = 0.1;
  int tessellated_count = 0;
  double (*tessellated_points)[3] = nullptr;
  int control_count = 0;
  double (*control_points)[3] = nullptr;
  int knot_count = 0;
  double* knots = nullptr;

 private:
  void assign(int degree, int count, double tolerance, double* const start_tangent, double* const end_tangent,
              int closed, double tessellation);
  void release_outputs();
};

extern Generate_Spline g_computer_spline;
