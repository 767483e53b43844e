#pragma once
// Quadratic solvers, and the general-coefficient front ends of the monic
// cubic and quartic solvers of core/solvers.h.
//
// Quadratics are x^2 + p x + q (monic) or a x^2 + b x + c (general). Neither
// root is computed by subtracting two nearly equal numbers: the root of larger
// magnitude comes from -(p + sign(p) s) / 2 and the other from q divided by it.
// The real forms return 2 with the smaller root first, or 0 for a negative
// discriminant, writing nothing. The complex forms return the same 2, or 0
// with the pair -p/2 -+ i sqrt(-discriminant)/2 (negative imaginary part first).
// The general forms divide by a (which must not be 0) and swap the two roots
// when a is negative. "Fast" forms take square roots and reciprocals from the
// MathTables; the others compute them exactly.
//
// The cubic and quartic front ends divide every coefficient by a and hand the
// monic equation to the core solvers, keeping their root order.
//
// Coefficients come first, then the roots, as in core/solvers.h. Pure
// functions: safe on any thread.

#include "core/maths.h"
#include "core/solvers.h"

int SolveQuadratic(Real p, Real q, Real (&roots)[2]);
int SolveQuadraticExact(Real p, Real q, Real (&roots)[2]);
int SolveQuadraticComplexFast(Real p, Real q, RealPair (&roots)[2]);
int SolveQuadraticComplex(Real p, Real q, RealPair (&roots)[2]);
int SolveQuadraticGeneralFast(Real a, Real b, Real c, Real (&roots)[2]);
int SolveQuadraticGeneral(Real a, Real b, Real c, Real (&roots)[2]);
int SolveQuadraticGeneralComplexFast(Real a, Real b, Real c, RealPair (&roots)[2]);
int SolveQuadraticGeneralComplex(Real a, Real b, Real c, RealPair (&roots)[2]);

int SolveCubicGeneralFast(Real a, Real b, Real c, Real d, Real (&roots)[3]);
int SolveCubicGeneral(Real a, Real b, Real c, Real d, Real (&roots)[3]);
int SolveCubicGeneralComplexFast(Real a, Real b, Real c, Real d, RealPair (&roots)[3]);
int SolveCubicGeneralComplex(Real a, Real b, Real c, Real d, RealPair (&roots)[3]);

int SolveQuarticGeneralFast(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]);
int SolveQuarticGeneralFastExactResolvent(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]);
int SolveQuarticGeneral(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]);
int SolveQuarticGeneralComplexFast(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]);
int SolveQuarticGeneralComplexFastExactResolvent(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]);
int SolveQuarticGeneralComplex(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]);
