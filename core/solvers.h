#pragma once
// Closed-form roots of monic cubics x^3 + a x^2 + b x + c and quartics
// x^4 + A x^3 + B x^2 + C x + D in single precision.
//
// Each solver returns the number of real roots (cubics 1 or 3, quartics 0, 2
// or 4). The float forms write only that many roots; the RealPair forms always
// write all of them, the real roots first.
//
// "Fast" forms take square roots, cube roots, reciprocals and the cubic's
// angle from the MathTables (table precision: about 10 bits for roots, 11 for
// reciprocals, 4,096 steps per turn). The plain forms use the floating-point
// unit. The "ExactCubic" quartics use the tables for their own arithmetic but
// the exact complex cubic for the resolvent.
//
// Root order of the cubics: with one real root it comes first, followed (in
// the RealPair forms) by the conjugate pair. With three, -2k cos(phi) - a/3, then k (cos(phi) +/- sqrt(3) sin(phi)) - a/3
// (the trigonometric method; for x^3 - 6x^2 + 11x - 6 the order is 1, 3, 2).
//
// Pure functions of their arguments and the read-only tables: safe on any thread.

#include "core/maths.h"

// A root: real part, imaginary part.
struct RealPair {
    Real re, im;
};

int SolveCubicFast(Real a, Real b, Real c, Real (&roots)[3]);
int SolveCubic(Real a, Real b, Real c, Real (&roots)[3]);
int SolveCubicComplexFast(Real a, Real b, Real c, RealPair (&roots)[3]);
int SolveCubicComplex(Real a, Real b, Real c, RealPair (&roots)[3]);

int SolveQuarticFast(Real A, Real B, Real C, Real D, Real (&roots)[4]);
int SolveQuarticExactCubic(Real A, Real B, Real C, Real D, Real (&roots)[4]);
int SolveQuartic(Real A, Real B, Real C, Real D, Real (&roots)[4]);
int SolveQuarticComplexFast(Real A, Real B, Real C, Real D, RealPair (&roots)[4]);
int SolveQuarticComplexExactCubic(Real A, Real B, Real C, Real D, RealPair (&roots)[4]);
int SolveQuarticComplex(Real A, Real B, Real C, Real D, RealPair (&roots)[4]);
