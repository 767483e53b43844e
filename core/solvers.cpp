#include "core/solvers.h"

#include <algorithm>
#include <cmath>

#include "core/numeric.h"

namespace {

// Table arithmetic: no division, root or trigonometric call.
struct FastArithmetic {
    static Real Sqrt(Real x) { return FastSqrt(x); } // of the magnitude
    static Real Divide(Real n, Real d) { return n * FastReciprocal(d); }
    static Real CubeRoot(Real x) { return FastCubeRoot(x); } // of the magnitude
    // cos and sin of acos(rho) / 3 for |rho| < 1, as an angle index.
    static void ThirdOfArcCos(Real rho, Real& cosPhi, Real& sinPhi) {
        const Real third = MathTables.ArcCosine[2048 + FloorToInt(rho * 2048.0f)] * 0.33333334f;
        const int32_t phi = FloorToInt(third) & AngleMask;
        cosPhi = CosineOf(phi);
        sinPhi = SineOf(phi);
    }
};

// The floating-point unit's arithmetic.
struct ExactArithmetic {
    static Real Sqrt(Real x) { return std::sqrt(std::fabs(x)); }
    static Real Divide(Real n, Real d) { return n / d; }
    static Real CubeRoot(Real x) { return static_cast<Real>(std::pow(std::fabs(static_cast<double>(x)), 0.3333333432674408)); }
    static void ThirdOfArcCos(Real rho, Real& cosPhi, Real& sinPhi) {
        const Real phi = static_cast<Real>(std::acos(static_cast<double>(rho))) / 3.0f;
        cosPhi = std::cos(phi);
        sinPhi = std::sin(phi);
    }
};

template <class Arithmetic>
int SolveCubicWith(Real a, Real b, Real c, RealPair (&roots)[3]) {
    const Real R = a * (a * a * 0.037037037f) - a * (b * 0.16666667f) + c * 0.5f; // a^3/27 - ab/6 + c/2
    const Real Q = a * a * 0.11111111f - b * 0.33333334f;                        // a^2/9 - b/3
    const Real s = a * 0.33333334f;
    const Real R2 = R * R, Q3 = Q * Q * Q;

    if (R2 > Q3) {
        const Real h = Arithmetic::Sqrt(R2 - Q3);
        const Real U = R < 0.0f ? Arithmetic::CubeRoot(h - R) : -Arithmetic::CubeRoot(R + h);
        const Real V = Arithmetic::Divide(Q, U);
        const Real re = -(U + V) * 0.5f - s, im = 0.8660254f * (U - V);
        roots[0] = {U + V - s, 0.0f};
        roots[1] = {re, -im};
        roots[2] = {re, im};
        return 1;
    }

    const Real k = Arithmetic::Sqrt(Q);
    const Real rho = Arithmetic::Divide(R, k * k * k);
    Real x0, x1, x2;
    if (std::fabs(rho) < 1.0f && R2 != Q3) {
        Real cosPhi, sinPhi;
        Arithmetic::ThirdOfArcCos(rho, cosPhi, sinPhi);
        x0 = -2.0f * k * cosPhi - s;
        x1 = k * (cosPhi + 1.7320508f * sinPhi) - s;
        x2 = k * (cosPhi - 1.7320508f * sinPhi) - s;
    } else if (R < 0.0f) { // a double root: R^2 = Q^3
        x0 = -k - s;
        x1 = -k - s;
        x2 = 2.0f * k - s;
    } else {
        x0 = -2.0f * k - s;
        x1 = k - s;
        x2 = k - s;
    }
    roots[0] = {x0, 0.0f};
    roots[1] = {x1, 0.0f};
    roots[2] = {x2, 0.0f};
    return 3;
}

using ComplexCubic = int (*)(Real, Real, Real, RealPair (&)[3]);

// Roots of the depressed quartic y^4 + p y^2 + q y + r (x = y - o) are
// y = +/-sqrt(-z1) +/- sqrt(-z2) +/- sqrt(-z3), z the roots of the resolvent
// cubic, with the signs whose product has the sign of -q.
template <class Arithmetic>
class QuarticRoots {
public:
    QuarticRoots(Real q, Real o, RealPair (&roots)[4]) : q_(q), o_(o), roots_(roots) {}

    // All three resolvent roots real.
    int FromThreeReal(Real z1, Real z2, Real z3) {
        if (z2 + z3 > 0.0f) {
            z1 = std::min(z1, 0.0f);
            const Real u = Arithmetic::Sqrt(std::max(z2, 0.0f)), v = Arithmetic::Sqrt(std::max(z3, 0.0f));
            const Real W = SignOfQ(Arithmetic::Sqrt(z1));
            const Real outer = u + v;
            if (v - u != 0.0f) {
                Set(-W - o_, -(v - u), -W - o_, v - u, W - o_, -outer, W - o_, outer);
                return 0;
            }
            if (outer != 0.0f) {
                Set(-W - o_, 0.0f, -W - o_, 0.0f, W - o_, -outer, W - o_, outer);
                return 2;
            }
            Set(-W - o_, 0.0f, -W - o_, 0.0f, W - o_, 0.0f, W - o_, 0.0f);
            return 4;
        }
        const Real u = Arithmetic::Sqrt(std::min(z2, 0.0f)), v = Arithmetic::Sqrt(std::min(z3, 0.0f));
        const Real W = -SignOfQ(Arithmetic::Sqrt(z1));
        Set((u - W) - v - o_, 0.0f, (v - W) - u - o_, 0.0f, (W - u) - v - o_, 0.0f, W + u + v - o_, 0.0f);
        return 4;
    }

    // One real resolvent root z1 and the pair sigma -/+ i tau.
    int FromOneReal(Real z1, Real sigma, Real tau) {
        if (z1 >= 0.0f && z1 > std::fabs(tau)) return FromThreeReal(sigma, sigma, z1);
        if (z1 >= 0.0f) z1 = 0.0f;
        // G and J: twice the real and imaginary parts of sqrt(-sigma + i tau),
        // each computed from the side where no cancellation occurs.
        const Real m = Arithmetic::Sqrt(sigma * sigma + tau * tau);
        Real G, J;
        if (sigma < 0.0f) {
            G = Arithmetic::Sqrt(2.0f * (m - sigma));
            J = Arithmetic::Divide(2.0f * tau, G);
        } else {
            const Real half = Arithmetic::Sqrt((sigma + m) * 0.5f);
            G = Arithmetic::Divide(tau, half);
            J = 2.0f * half;
        }
        const Real H = -SignOfQ(Arithmetic::Sqrt(z1));
        Set(G + H - o_, 0.0f, H - G - o_, 0.0f, -H - o_, -J, -H - o_, J);
        return 2;
    }

private:
    // The magnitude with q's sign (q = 0 counts as positive).
    Real SignOfQ(Real magnitude) const { return q_ < 0.0f ? -magnitude : magnitude; }

    void Set(Real r0, Real i0, Real r1, Real i1, Real r2, Real i2, Real r3, Real i3) {
        roots_[0] = {r0, i0};
        roots_[1] = {r1, i1};
        roots_[2] = {r2, i2};
        roots_[3] = {r3, i3};
    }

    Real q_, o_;
    RealPair (&roots_)[4];
};

template <class Arithmetic>
int SolveQuarticWith(ComplexCubic cubic, Real A, Real B, Real C, Real D, RealPair (&roots)[4]) {
    // Depressed form y^4 + p y^2 + q y + r with x = y - A/4.
    const Real AB = A * B, A3 = A * A * A;
    const Real q = C - AB * 0.5f + A3 * 0.125f;
    const Real p2 = 2.0f * B - 0.75f * (A * A);                          // 2p
    const Real r16 = 16.0f * D - 4.0f * A * C + A * AB - A3 * (A * 0.1875f); // 16r

    RealPair z[3];
    const int realResolventRoots = cubic(-p2 * 0.25f, (p2 * p2 - r16) * 0.015625f, q * (q * 0.015625f), z);
    QuarticRoots<Arithmetic> quartic(q, A * 0.25f, roots);
    if (realResolventRoots == 1) return quartic.FromOneReal(z[0].re, z[2].re, z[2].im);
    return quartic.FromThreeReal(z[0].re, z[1].re, z[2].re);
}

// The float forms: the real roots, which the complex forms put first.
template <size_t N>
int RealParts(const RealPair (&pairs)[N], int count, Real (&roots)[N]) {
    for (int i = 0; i < count; ++i) roots[i] = pairs[i].re;
    return count;
}

} // namespace

int SolveCubicComplexFast(Real a, Real b, Real c, RealPair (&roots)[3]) {
    return SolveCubicWith<FastArithmetic>(a, b, c, roots);
}

int SolveCubicComplex(Real a, Real b, Real c, RealPair (&roots)[3]) {
    return SolveCubicWith<ExactArithmetic>(a, b, c, roots);
}

int SolveCubicFast(Real a, Real b, Real c, Real (&roots)[3]) {
    RealPair pairs[3];
    return RealParts(pairs, SolveCubicComplexFast(a, b, c, pairs), roots);
}

int SolveCubic(Real a, Real b, Real c, Real (&roots)[3]) {
    RealPair pairs[3];
    return RealParts(pairs, SolveCubicComplex(a, b, c, pairs), roots);
}

int SolveQuarticComplexFast(Real A, Real B, Real C, Real D, RealPair (&roots)[4]) {
    return SolveQuarticWith<FastArithmetic>(SolveCubicComplexFast, A, B, C, D, roots);
}

int SolveQuarticComplexExactCubic(Real A, Real B, Real C, Real D, RealPair (&roots)[4]) {
    return SolveQuarticWith<FastArithmetic>(SolveCubicComplex, A, B, C, D, roots);
}

int SolveQuarticComplex(Real A, Real B, Real C, Real D, RealPair (&roots)[4]) {
    return SolveQuarticWith<ExactArithmetic>(SolveCubicComplex, A, B, C, D, roots);
}

int SolveQuarticFast(Real A, Real B, Real C, Real D, Real (&roots)[4]) {
    RealPair pairs[4];
    return RealParts(pairs, SolveQuarticComplexFast(A, B, C, D, pairs), roots);
}

int SolveQuarticExactCubic(Real A, Real B, Real C, Real D, Real (&roots)[4]) {
    RealPair pairs[4];
    return RealParts(pairs, SolveQuarticComplexExactCubic(A, B, C, D, pairs), roots);
}

int SolveQuartic(Real A, Real B, Real C, Real D, Real (&roots)[4]) {
    RealPair pairs[4];
    return RealParts(pairs, SolveQuarticComplex(A, B, C, D, pairs), roots);
}
