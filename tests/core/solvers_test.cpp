#include <gtest/gtest.h>

#include <complex>
#include <string>
#include <vector>

#include "core/solvers.h"

namespace {

using Complex = std::complex<double>;

// Every expected root is matched by a distinct computed root within tolerance.
void ExpectSameRoots(const std::vector<Complex>& computed, const std::vector<Complex>& expected, double tolerance,
                     const std::string& what) {
    ASSERT_EQ(computed.size(), expected.size()) << what;
    std::vector<bool> used(computed.size(), false);
    for (const Complex& e : expected) {
        size_t best = computed.size();
        for (size_t i = 0; i < computed.size(); ++i)
            if (!used[i] && (best == computed.size() || std::abs(computed[i] - e) < std::abs(computed[best] - e)))
                best = i;
        ASSERT_LT(std::abs(computed[best] - e), tolerance) << what << ": no root near " << e;
        used[best] = true;
    }
}

template <size_t N>
std::vector<Complex> ToComplex(const RealPair (&roots)[N]) {
    std::vector<Complex> out;
    for (const RealPair& r : roots) out.emplace_back(r.re, r.im);
    return out;
}

// The real parts of the first count roots: what the float forms must give.
std::vector<Complex> RealRoots(const std::vector<Complex>& roots, int count) {
    std::vector<Complex> out;
    for (int i = 0; i < count; ++i) out.emplace_back(roots[i].real(), 0.0);
    return out;
}

constexpr Real kUnwritten = 12345.0f;

struct Form {
    const char* name;
    double tolerance;
};
// Roots that come from square roots of resolvent roots near zero lose about
// half their digits: the quartics are held to looser tolerances.
constexpr Form kFastCubic{"fast", 0.03};
constexpr Form kExactCubic{"exact", 2e-4};
constexpr Form kFastQuartic{"fast", 0.08};
constexpr Form kExactQuartic{"exact", 2e-3};

struct CubicCase {
    const char* name;
    Real a, b, c;
    int realCount;
    std::vector<Complex> roots; // in the solver's order
};

const std::vector<CubicCase>& CubicCases() {
    static const std::vector<CubicCase> cases = {
        {"(x-1)(x-2)(x-3)", -6, 11, -6, 3, {1, 3, 2}},
        {"x^3-1", 0, 0, -1, 1, {1, {-0.5, -0.8660254}, {-0.5, 0.8660254}}},
        {"x^3+1", 0, 0, 1, 1, {-1, {0.5, 0.8660254}, {0.5, -0.8660254}}},
        {"(x-1)^2(x+2)", 0, -3, 2, 3, {-2, 1, 1}},
        {"(x+1)^2(x-2)", 0, -3, -2, 3, {-1, -1, 2}},
        {"(x+4)(x^2+2x+2)", 6, 10, 8, 1, {-4, {-1, 1}, {-1, -1}}},
    };
    return cases;
}

void CheckCubic(const CubicCase& c, const Form& form, int (*complexForm)(Real, Real, Real, RealPair (&)[3]),
                int (*floatForm)(Real, Real, Real, Real (&)[3])) {
    const std::string what = std::string(form.name) + " " + c.name;
    RealPair pairs[3];
    ASSERT_EQ(complexForm(c.a, c.b, c.c, pairs), c.realCount) << what;
    const std::vector<Complex> computed = ToComplex(pairs);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_LT(std::abs(computed[i] - c.roots[i]), form.tolerance) << what << " root " << i << " = " << computed[i];

    Real roots[3] = {kUnwritten, kUnwritten, kUnwritten};
    ASSERT_EQ(floatForm(c.a, c.b, c.c, roots), c.realCount) << what;
    for (int i = 0; i < 3; ++i) {
        if (i < c.realCount)
            EXPECT_EQ(roots[i], pairs[i].re) << what << " root " << i;
        else
            EXPECT_EQ(roots[i], kUnwritten) << what << ": wrote past the real roots";
    }
}

struct QuarticCase {
    const char* name;
    Real A, B, C, D;
    int realCount;
    std::vector<Complex> roots;
};

const std::vector<QuarticCase>& QuarticCases() {
    static const std::vector<QuarticCase> cases = {
        {"x^4-5x^2+4", 0, -5, 0, 4, 4, {1, -1, 2, -2}},
        {"(x-1)(x-2)(x-3)(x-4)", -10, 35, -50, 24, 4, {1, 2, 3, 4}},
        {"(x+3)(x-0.5)(x-2)(x-7)", -6.5f, -10, 48.5f, -21, 4, {-3, 0.5, 2, 7}},
        {"x^4+1", 0, 0, 0, 1, 0, {{0.7071068, 0.7071068}, {0.7071068, -0.7071068}, {-0.7071068, 0.7071068}, {-0.7071068, -0.7071068}}},
        {"(x^2+1)(x^2+4)", 0, 5, 0, 4, 0, {{0, 1}, {0, -1}, {0, 2}, {0, -2}}},
        {"(x^2+2x+5)(x^2-2x+2)", 0, 3, -6, 10, 0, {{-1, 2}, {-1, -2}, {1, 1}, {1, -1}}},
        {"(x^2+1)^2", 0, 2, 0, 1, 0, {{0, 1}, {0, -1}, {0, 1}, {0, -1}}},
        {"(x+1)^2(x^2-2x+5)", 0, 2, 8, 5, 2, {-1, -1, {1, 2}, {1, -2}}}, // a double resolvent root
        {"x^4-1", 0, 0, 0, -1, 2, {1, -1, {0, 1}, {0, -1}}},
        {"(x-1)(x-2)(x^2+1)", -3, 3, -3, 2, 2, {1, 2, {0, 1}, {0, -1}}},
        {"(x+1)(x-4)(x^2-2x+1.25)", -5, 3.25f, 4.25f, -5, 2, {-1, 4, {1, 0.5}, {1, -0.5}}},
    };
    return cases;
}

void CheckQuartic(const QuarticCase& c, const Form& form,
                  int (*complexForm)(Real, Real, Real, Real, RealPair (&)[4]),
                  int (*floatForm)(Real, Real, Real, Real, Real (&)[4])) {
    const std::string what = std::string(form.name) + " " + c.name;
    RealPair pairs[4];
    ASSERT_EQ(complexForm(c.A, c.B, c.C, c.D, pairs), c.realCount) << what;
    const std::vector<Complex> computed = ToComplex(pairs);
    ExpectSameRoots(computed, c.roots, form.tolerance, what);
    for (int i = 0; i < c.realCount; ++i) EXPECT_EQ(pairs[i].im, 0.0f) << what << ": real roots come first";

    Real roots[4] = {kUnwritten, kUnwritten, kUnwritten, kUnwritten};
    ASSERT_EQ(floatForm(c.A, c.B, c.C, c.D, roots), c.realCount) << what;
    std::vector<Complex> real;
    for (int i = 0; i < 4; ++i) {
        if (i < c.realCount)
            real.emplace_back(roots[i], 0.0);
        else
            EXPECT_EQ(roots[i], kUnwritten) << what << ": wrote past the real roots";
    }
    ExpectSameRoots(real, RealRoots(computed, c.realCount), 1e-30, what + " (float form)");
}

} // namespace

TEST(SolveCubic, ExactFormsGiveRootsInTheirOrder) {
    for (const CubicCase& c : CubicCases()) CheckCubic(c, kExactCubic, SolveCubicComplex, SolveCubic);
}

TEST(SolveCubic, FastFormsAgreeWithinTablePrecision) {
    for (const CubicCase& c : CubicCases()) CheckCubic(c, kFastCubic, SolveCubicComplexFast, SolveCubicFast);
}

TEST(SolveQuartic, ExactForms) {
    for (const QuarticCase& c : QuarticCases()) CheckQuartic(c, kExactQuartic, SolveQuarticComplex, SolveQuartic);
}

TEST(SolveQuartic, ExactCubicFormsUseTablesForTheirOwnArithmetic) {
    for (const QuarticCase& c : QuarticCases())
        CheckQuartic(c, kFastQuartic, SolveQuarticComplexExactCubic, SolveQuarticExactCubic);
}

TEST(SolveQuartic, FastForms) {
    for (const QuarticCase& c : QuarticCases()) CheckQuartic(c, kFastQuartic, SolveQuarticComplexFast, SolveQuarticFast);
}
