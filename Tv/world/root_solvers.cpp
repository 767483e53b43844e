#include "Tv/world/root_solvers.h"

#include <cmath>
#include <type_traits>
#include <utility>

namespace {

// The arithmetic of the two families.
struct Exact {
    static Real Sqrt(Real x) { return std::sqrt(x); }
    static Real Reciprocal(Real x) { return 1.0f / x; }
    static Real Divide(Real x, Real y) { return x / y; }
};
struct Fast {
    static Real Sqrt(Real x) { return FastSqrt(x); }
    static Real Reciprocal(Real x) { return FastReciprocal(x); }
    static Real Divide(Real x, Real y) { return x * FastReciprocal(y); }
};

// The two real roots, smaller first; false (roots unset) for a negative discriminant.
template <class A>
bool RealRoots(Real p, Real q, Real& first, Real& second) {
    const Real discriminant = p * p - 4.0f * q;
    if (discriminant < 0.0f) return false;
    const Real s = A::Sqrt(discriminant);
    if (p > 0.0f) {
        first = -(p + s) * 0.5f;
        second = A::Divide(q, first);
    } else if (p < 0.0f) {
        second = (s - p) * 0.5f;
        first = A::Divide(q, second);
    } else {
        first = -s * 0.5f;
        second = s * 0.5f;
    }
    return true;
}

template <class A>
int Real2(Real p, Real q, Real (&roots)[2]) {
    Real first, second;
    if (!RealRoots<A>(p, q, first, second)) return 0;
    roots[0] = first;
    roots[1] = second;
    return 2;
}

template <class A>
int Complex2(Real p, Real q, RealPair (&roots)[2]) {
    Real first, second;
    if (RealRoots<A>(p, q, first, second)) {
        roots[0] = {first, 0.0f};
        roots[1] = {second, 0.0f};
        return 2;
    }
    const Real re = -p * 0.5f;
    const Real im = A::Sqrt(4.0f * q - p * p) * 0.5f;
    roots[0] = {re, -im};
    roots[1] = {re, im};
    return 0;
}

template <class A, class Root>
int General2(Real a, Real b, Real c, Root (&roots)[2], int (*monic)(Real, Real, Root (&)[2])) {
    const Real inverse = A::Reciprocal(a);
    const int count = monic(b * inverse, c * inverse, roots);
    // The complex forms always write their pair; the real ones only two real roots.
    if (a < 0.0f && (count == 2 || std::is_same_v<Root, RealPair>)) std::swap(roots[0], roots[1]);
    return count;
}

// The monic cubic and quartic: every coefficient times k = 1/a.
template <class Root>
int Cubic(Real k, Real b, Real c, Real d, Root (&roots)[3], int (*monic)(Real, Real, Real, Root (&)[3])) {
    return monic(b * k, c * k, d * k, roots);
}
template <class Root>
int Quartic(Real k, Real b, Real c, Real d, Real e, Root (&roots)[4],
            int (*monic)(Real, Real, Real, Real, Root (&)[4])) {
    return monic(b * k, c * k, d * k, e * k, roots);
}

} // namespace

int SolveQuadratic(Real p, Real q, Real (&roots)[2]) { return Real2<Fast>(p, q, roots); }
int SolveQuadraticExact(Real p, Real q, Real (&roots)[2]) { return Real2<Exact>(p, q, roots); }
int SolveQuadraticComplexFast(Real p, Real q, RealPair (&roots)[2]) { return Complex2<Fast>(p, q, roots); }
int SolveQuadraticComplex(Real p, Real q, RealPair (&roots)[2]) { return Complex2<Exact>(p, q, roots); }

int SolveQuadraticGeneralFast(Real a, Real b, Real c, Real (&roots)[2]) {
    return General2<Fast>(a, b, c, roots, SolveQuadratic);
}
int SolveQuadraticGeneral(Real a, Real b, Real c, Real (&roots)[2]) {
    return General2<Exact>(a, b, c, roots, SolveQuadraticExact);
}
int SolveQuadraticGeneralComplexFast(Real a, Real b, Real c, RealPair (&roots)[2]) {
    return General2<Fast>(a, b, c, roots, SolveQuadraticComplexFast);
}
int SolveQuadraticGeneralComplex(Real a, Real b, Real c, RealPair (&roots)[2]) {
    return General2<Exact>(a, b, c, roots, SolveQuadraticComplex);
}

int SolveCubicGeneralFast(Real a, Real b, Real c, Real d, Real (&roots)[3]) {
    return Cubic(FastReciprocal(a), b, c, d, roots, SolveCubicFast);
}
int SolveCubicGeneral(Real a, Real b, Real c, Real d, Real (&roots)[3]) {
    return Cubic(1.0f / a, b, c, d, roots, SolveCubic);
}
int SolveCubicGeneralComplexFast(Real a, Real b, Real c, Real d, RealPair (&roots)[3]) {
    return Cubic(FastReciprocal(a), b, c, d, roots, SolveCubicComplexFast);
}
int SolveCubicGeneralComplex(Real a, Real b, Real c, Real d, RealPair (&roots)[3]) {
    return Cubic(1.0f / a, b, c, d, roots, SolveCubicComplex);
}

int SolveQuarticGeneralFast(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]) {
    return Quartic(FastReciprocal(a), b, c, d, e, roots, SolveQuarticFast);
}
int SolveQuarticGeneralFastExactResolvent(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]) {
    return Quartic(FastReciprocal(a), b, c, d, e, roots, SolveQuarticExactCubic);
}
int SolveQuarticGeneral(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]) {
    return Quartic(1.0f / a, b, c, d, e, roots, SolveQuartic);
}
int SolveQuarticGeneralComplexFast(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]) {
    return Quartic(FastReciprocal(a), b, c, d, e, roots, SolveQuarticComplexFast);
}
int SolveQuarticGeneralComplexFastExactResolvent(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]) {
    return Quartic(FastReciprocal(a), b, c, d, e, roots, SolveQuarticComplexExactCubic);
}
int SolveQuarticGeneralComplex(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]) {
    return Quartic(1.0f / a, b, c, d, e, roots, SolveQuarticComplex);
}
