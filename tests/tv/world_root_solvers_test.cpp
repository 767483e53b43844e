#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Tv/world/root_solvers.h"

namespace {

constexpr Real kUnwritten = 12345.0f;

TEST(QuadraticSolvers, RealRootsComeSmallerFirstAndNegativeDiscriminantsWriteNothing) {
    struct Case {
        const char* name;
        int (*solve)(Real, Real, Real (&)[2]);
        double tolerance;
    };
    for (const Case& c : {Case{"exact", SolveQuadraticExact, 0.0}, Case{"fast", SolveQuadratic, 2e-3}}) {
        Real roots[2] = {kUnwritten, kUnwritten};
        ASSERT_EQ(2, c.solve(-3, 2, roots)) << c.name;
        EXPECT_NEAR(1.0, roots[0], c.tolerance) << c.name;
        EXPECT_NEAR(2.0, roots[1], c.tolerance) << c.name;
        ASSERT_EQ(2, c.solve(3, 2, roots)) << c.name;
        EXPECT_NEAR(-2.0, roots[0], c.tolerance) << c.name;
        EXPECT_NEAR(-1.0, roots[1], c.tolerance) << c.name;
        ASSERT_EQ(2, c.solve(0, -4, roots)) << c.name;
        EXPECT_NEAR(-2.0, roots[0], c.tolerance) << c.name;
        EXPECT_NEAR(2.0, roots[1], c.tolerance) << c.name;

        Real untouched[2] = {kUnwritten, kUnwritten};
        EXPECT_EQ(0, c.solve(0, 1, untouched)) << c.name;
        EXPECT_EQ(kUnwritten, untouched[0]) << c.name;
        EXPECT_EQ(kUnwritten, untouched[1]) << c.name;
    }
}

TEST(QuadraticSolvers, TheSmallRootKeepsItsPrecisionBesideALargeOne) {
    // x^2 + 10^4 x + 1: the naive (-p + s) / 2 would lose every digit of -1e-4.
    Real roots[2];
    ASSERT_EQ(2, SolveQuadraticExact(1e4f, 1.0f, roots));
    EXPECT_NEAR(-1e4, roots[0], 1e-2);
    EXPECT_NEAR(-1e-4, roots[1], 1e-9);
    ASSERT_EQ(2, SolveQuadraticExact(-1e4f, 1.0f, roots));
    EXPECT_NEAR(1e-4, roots[0], 1e-9);
}

TEST(QuadraticSolvers, ComplexFormsGiveTheConjugatePairWithTheNegativeImaginaryPartFirst) {
    for (auto solve : {SolveQuadraticComplex, SolveQuadraticComplexFast}) {
        RealPair roots[2];
        EXPECT_EQ(0, solve(0, 1, roots));
        EXPECT_FLOAT_EQ(0.0f, roots[0].re);
        EXPECT_NEAR(-1.0, roots[0].im, 2e-3);
        EXPECT_NEAR(1.0, roots[1].im, 2e-3);
        EXPECT_EQ(0, solve(2, 5, roots)); // -1 -+ 2i
        EXPECT_FLOAT_EQ(-1.0f, roots[0].re);
        EXPECT_NEAR(-2.0, roots[0].im, 4e-3);
        ASSERT_EQ(2, solve(-3, 2, roots));
        EXPECT_NEAR(1.0, roots[0].re, 2e-3);
        EXPECT_EQ(0.0f, roots[1].im);
    }
}

TEST(QuadraticSolvers, GeneralFormsSwapTheRootsWhenTheLeadingCoefficientIsNegative) {
    Real roots[2];
    ASSERT_EQ(2, SolveQuadraticGeneral(-1, 3, -2, roots));
    EXPECT_FLOAT_EQ(2.0f, roots[0]);
    EXPECT_FLOAT_EQ(1.0f, roots[1]);
    ASSERT_EQ(2, SolveQuadraticGeneral(2, -6, 4, roots));
    EXPECT_FLOAT_EQ(1.0f, roots[0]);
    EXPECT_FLOAT_EQ(2.0f, roots[1]);
    ASSERT_EQ(2, SolveQuadraticGeneralFast(-1, 3, -2, roots));
    EXPECT_NEAR(2.0, roots[0], 2e-3);
    EXPECT_NEAR(1.0, roots[1], 2e-3);

    RealPair pairs[2];
    EXPECT_EQ(0, SolveQuadraticGeneralComplex(-2, 0, -2, pairs)); // -2(x^2 + 1): the pair comes swapped
    EXPECT_NEAR(1.0, pairs[0].im, 1e-6);
    EXPECT_NEAR(-1.0, pairs[1].im, 1e-6);
    EXPECT_EQ(0, SolveQuadraticGeneralComplexFast(-2, 0, -2, pairs));
    EXPECT_NEAR(1.0, pairs[0].im, 2e-3);
}

TEST(CubicAndQuarticFrontEnds, DivideByTheLeadingCoefficientAndKeepTheMonicOrder) {
    // 2 (x - 1)(x - 2)(x - 3): the monic solver's order is 1, 3, 2.
    Real cubic[3];
    ASSERT_EQ(3, SolveCubicGeneral(2, -12, 22, -12, cubic));
    EXPECT_NEAR(1.0, cubic[0], 1e-4);
    EXPECT_NEAR(3.0, cubic[1], 1e-4);
    EXPECT_NEAR(2.0, cubic[2], 1e-4);
    ASSERT_EQ(3, SolveCubicGeneralFast(2, -12, 22, -12, cubic));
    EXPECT_NEAR(3.0, cubic[1], 0.03);
    RealPair cubicPairs[3];
    EXPECT_EQ(1, SolveCubicGeneralComplex(-1, 0, 0, 1, cubicPairs)); // -(x^3 - 1)
    EXPECT_NEAR(1.0, cubicPairs[0].re, 1e-4);
    EXPECT_EQ(1, SolveCubicGeneralComplexFast(-1, 0, 0, 1, cubicPairs));
    EXPECT_NEAR(1.0, cubicPairs[0].re, 0.03);

    // -(x^4 - 5x^2 + 4): roots -2, -1, 1, 2 in some order.
    using Quartic = int (*)(Real, Real, Real, Real, Real, Real (&)[4]);
    for (Quartic solve : {SolveQuarticGeneral, SolveQuarticGeneralFast, SolveQuarticGeneralFastExactResolvent}) {
        Real roots[4];
        ASSERT_EQ(4, solve(-1, 0, 5, 0, -4, roots));
        Real sum = 0, product = 1;
        for (Real r : roots) sum += r, product *= r;
        EXPECT_NEAR(0.0, sum, 0.1);
        EXPECT_NEAR(4.0, product, 0.3);
    }
    using QuarticComplex = int (*)(Real, Real, Real, Real, Real, RealPair (&)[4]);
    for (QuarticComplex solve : {SolveQuarticGeneralComplex, SolveQuarticGeneralComplexFast,
                                 SolveQuarticGeneralComplexFastExactResolvent}) {
        RealPair roots[4];
        EXPECT_EQ(0, solve(2, 0, 0, 0, 2, roots)); // 2 (x^4 + 1)
        for (const RealPair& r : roots) EXPECT_NEAR(0.7071, std::fabs(r.re), 0.08);
    }
}

} // namespace
