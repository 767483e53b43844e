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
    const Real k = FastReciprocal(a);
    return SolveCubicFast(b * k, c * k, d * k, roots);
}
int SolveCubicGeneral(Real a, Real b, Real c, Real d, Real (&roots)[3]) {
    const Real k = 1.0f / a;
    return SolveCubic(b * k, c * k, d * k, roots);
}
int SolveCubicGeneralComplexFast(Real a, Real b, Real c, Real d, RealPair (&roots)[3]) {
    const Real k = FastReciprocal(a);
    return SolveCubicComplexFast(b * k, c * k, d * k, roots);
}
int SolveCubicGeneralComplex(Real a, Real b, Real c, Real d, RealPair (&roots)[3]) {
    const Real k = 1.0f / a;
    return SolveCubicComplex(b * k, c * k, d * k, roots);
}

int SolveQuarticGeneralFast(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]) {
    const Real k = FastReciprocal(a);
    return SolveQuarticFast(b * k, c * k, d * k, e * k, roots);
}
int SolveQuarticGeneralFastExactResolvent(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]) {
    const Real k = FastReciprocal(a);
    return SolveQuarticExactCubic(b * k, c * k, d * k, e * k, roots);
}
int SolveQuarticGeneral(Real a, Real b, Real c, Real d, Real e, Real (&roots)[4]) {
    const Real k = 1.0f / a;
    return SolveQuartic(b * k, c * k, d * k, e * k, roots);
}
int SolveQuarticGeneralComplexFast(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]) {
    const Real k = FastReciprocal(a);
    return SolveQuarticComplexFast(b * k, c * k, d * k, e * k, roots);
}
int SolveQuarticGeneralComplexFastExactResolvent(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]) {
    const Real k = FastReciprocal(a);
    return SolveQuarticComplexExactCubic(b * k, c * k, d * k, e * k, roots);
}
int SolveQuarticGeneralComplex(Real a, Real b, Real c, Real d, Real e, RealPair (&roots)[4]) {
    const Real k = 1.0f / a;
    return SolveQuarticComplex(b * k, c * k, d * k, e * k, roots);
}
