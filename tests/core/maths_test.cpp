#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <numbers>

#include "core/maths.h"
#include "platform/fpu.h"

namespace {

// Read by a static initialiser of this file: the tables must be ready before
// ordinary static initialisers run.
const Real sineReadAtStaticInit = MathTables.Sine[1024];

uint32_t Bits(Real x) { return std::bit_cast<uint32_t>(x); }

// True when the float is the round-to-nearest value of exact (within half a
// unit in the last place; exact zeros of the tables are allowed the error of the double reference).
bool IsNearestFloat(Real f, double exact) {
    const double halfUlp = 0.5 * (std::nextafter(std::fabs(f), INFINITY) - std::fabs(f));
    return std::fabs(f - exact) <= halfUlp * (1.0 + 1e-6) + 1e-15;
}

} // namespace

TEST(MathTables, AreReadyForOtherStaticInitialisers) { EXPECT_EQ(sineReadAtStaticInit, 1.0f); }

TEST(MathTables, BuildingThemSetsTheGamesFloatingPointMode) {
    std::fesetround(FE_TONEAREST);
    MathTables::Build();
    EXPECT_TRUE(plat::IsGameFpuMode());
}

TEST(MathTables, SineTableHoldsNearestRoundedSinesOverOneAndAQuarterTurns) {
    for (int i = 0; i < 4096; ++i) {
        ASSERT_TRUE(IsNearestFloat(MathTables.Sine[i], std::sin(2.0 * std::numbers::pi * i / 4096.0))) << i;
        ASSERT_EQ(Bits(MathTables.Sine[(i + 2048) % 4096]), Bits(MathTables.Sine[i]) ^ 0x80000000u) << i;
    }
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(MathTables.Sine[4096 + i], MathTables.Sine[i]) << i;
    EXPECT_EQ(MathTables.Sine[1024], 1.0f);
    EXPECT_EQ(MathTables.Sine[3072], -1.0f);
    EXPECT_EQ(MathTables.Cosine, MathTables.Sine + 1024);
    EXPECT_EQ(MathTables.Cosine[0], 1.0f);
    EXPECT_EQ(CosineOf(2048), -1.0f);
    EXPECT_EQ(SineOf(-1024), -1.0f); // negative angles wrap through the mask
    EXPECT_EQ(SineOf(4096 + 1024), 1.0f);
}

TEST(MathTables, ArcCosineGivesTheAngleInTurnUnits) {
    for (int k = 0; k <= 4096; ++k) {
        const double x = (k - 2048) / 2048.0;
        ASSERT_TRUE(IsNearestFloat(MathTables.ArcCosine[k], std::acos(x) * 2048.0 / std::numbers::pi)) << k;
    }
    EXPECT_EQ(MathTables.ArcCosine[0], 2048.0f);
    EXPECT_EQ(MathTables.ArcCosine[2048], 1024.0f);
    EXPECT_EQ(MathTables.ArcCosine[4096], 0.0f);
}

TEST(FastFunctions, ExactValuesAndBitPatterns) {
    struct Case {
        const char* name;
        Real (*f)(Real);
        Real x;
        uint32_t bits;
    };
    const Case cases[] = {
        {"InvSqrt(4)", FastInvSqrt, 4.0f, Bits(0.5f)},
        {"InvSqrt(16)", FastInvSqrt, 16.0f, Bits(0.25f)},
        {"InvSqrt(1)", FastInvSqrt, 1.0f, Bits(1.0f)}, // the table's carry into the exponent
        {"InvSqrt(2)", FastInvSqrt, 2.0f, 0x3F3504F2u}, // 0.70710671: the low mantissa bit dropped
        {"Reciprocal(2)", FastReciprocal, 2.0f, Bits(0.5f)},
        {"Reciprocal(-2)", FastReciprocal, -2.0f, Bits(-0.5f)},
        {"Reciprocal(1)", FastReciprocal, 1.0f, Bits(1.0f)},
        {"Reciprocal(3)", FastReciprocal, 3.0f, 0x3EAAAAAAu},
        {"Sqrt(4)", FastSqrt, 4.0f, Bits(2.0f)},
        {"Sqrt(2)", FastSqrt, 2.0f, 0x3FB504F2u}, // 1.4142134
        {"Sqrt(-4)", FastSqrt, -4.0f, Bits(2.0f)}, // the sign bit is ignored
        {"CubeRoot(8)", FastCubeRoot, 8.0f, Bits(2.0f)},
        {"CubeRoot(1)", FastCubeRoot, 1.0f, Bits(1.0f)},
        {"CubeRoot(-27)", FastCubeRoot, -27.0f, Bits(FastCubeRoot(27.0f))},
    };
    for (const Case& c : cases) EXPECT_EQ(Bits(c.f(c.x)), c.bits) << c.name << " = " << c.f(c.x);
}

TEST(FastFunctions, StayWithinTableAccuracyOverManyOctaves) {
    // Stepping by a factor that is not a power of two visits every exponent
    // parity and many table entries; a wrong exponent or table half is off by far more.
    const double tolerance = 1.0 / 512.0;
    for (double x = 1e-30; x < 1e30; x *= 1.0173) {
        const Real f = static_cast<Real>(x);
        const double v = f;
        ASSERT_NEAR(FastInvSqrt(f) * std::sqrt(v), 1.0, tolerance) << v;
        ASSERT_NEAR(FastReciprocal(f) * v, 1.0, tolerance) << v;
        ASSERT_NEAR(FastReciprocal(-f) * v, -1.0, tolerance) << v;
        ASSERT_NEAR(FastSqrt(f) / std::sqrt(v), 1.0, tolerance) << v;
        ASSERT_NEAR(FastCubeRoot(f) / std::cbrt(v), 1.0, tolerance) << v;
        ASSERT_EQ(Bits(FastSqrt(f)) & 1u, 0u) << v;
    }
}

TEST(Vector3, ArithmeticDotAndCross) {
    const Vector3 a(1, 2, 3), b(4, -5, 6);
    const Vector3 sum = a + b, diff = a - b, scaled = 2.0f * a, c = Cross(a, b);
    EXPECT_EQ(sum.x, 5.0f);
    EXPECT_EQ(sum.y, -3.0f);
    EXPECT_EQ(sum.z, 9.0f);
    EXPECT_EQ(diff.y, 7.0f);
    EXPECT_EQ(scaled.z, 6.0f);
    EXPECT_EQ(Dot(a, b), 12.0f);
    EXPECT_EQ(c.x, 27.0f); // 2*6 - 3*(-5)
    EXPECT_EQ(c.y, 6.0f);  // 3*4 - 1*6
    EXPECT_EQ(c.z, -13.0f); // 1*(-5) - 2*4
    EXPECT_EQ(Dot(c, a), 0.0f);
    EXPECT_EQ(Dot(c, b), 0.0f);
}

TEST(Colour, DefaultIsWhiteHeldAsFloats) {
    Colour c;
    EXPECT_EQ(c.Flags, Colour::kFloatsValid);
    EXPECT_EQ(c.GetPacked(), 0xFFFFFFFFu);
    const Colour f = Colour::FromFloats(0.25f, 0.5f, 0.75f, 1.0f);
    EXPECT_EQ(f.Flags, Colour::kFloatsValid);
    EXPECT_EQ(f.GetPacked(), 0xFF3F7FBFu); // 63.75, 127.5, 191.25 truncated
}

TEST(Colour, PackedBytesBecomeFloatsOnDemand) {
    Colour c;
    c.SetBytes(255, 0, 0, 128);
    EXPECT_EQ(c.Flags, Colour::kPackedValid);
    EXPECT_EQ(c.GetPacked(), 0x80FF0000u);
    EXPECT_NEAR(c.GetAlpha(), 128.0 / 255.0, 1e-6);
    EXPECT_EQ(c.Flags, Colour::kPackedValid | Colour::kFloatsValid);
    EXPECT_EQ(c.GetRed(), 1.0f);
    EXPECT_EQ(c.GetGreen(), 0.0f);
    EXPECT_EQ(c.GetBlue(), 0.0f);
}

TEST(Colour, FloatsThatAreCurrentAreNotOverwritten) {
    Colour c = Colour::FromFloats(0.1f, 0.2f, 0.3f, 0.4f);
    c.Packed = 0x12345678; // stale
    c.UpdateFloats();
    EXPECT_EQ(c.Red, 0.1f);
    EXPECT_EQ(c.Alpha, 0.4f);
    EXPECT_EQ(c.Flags, Colour::kFloatsValid);
}

TEST(Colour, OutOfRangeFloatsPackWithoutSpillingIntoOtherChannels) {
    const Colour c = Colour::FromFloats(1.5f, -0.2f, NAN, 2.54f);
    EXPECT_EQ(c.GetPacked(), 0xFFFF0000u);
}

TEST(Colour, SetAlphaUpdatesEveryCurrentForm) {
    Colour both;
    both.SetBytes(10, 20, 30, 40);
    both.UpdateFloats();
    both.SetAlpha(0.5f);
    EXPECT_EQ(both.Alpha, 0.5f);
    EXPECT_EQ(both.GetPacked(), 0x7F0A141Eu);

    Colour floats = Colour::FromFloats(0, 0, 0, 0);
    floats.Packed = 0x11223344;
    floats.SetAlpha(1.0f);
    EXPECT_EQ(floats.Alpha, 1.0f);
    EXPECT_EQ(floats.Packed, 0x11223344u); // stale packed value left alone
}

TEST(Colour, ScaleMultipliesTheFloatsAndDropsThePackedForm) {
    Colour c;
    c.SetBytes(255, 0, 255, 255);
    Colour out;
    c.Scale(out, 0.5f);
    EXPECT_EQ(out.Flags, Colour::kFloatsValid);
    EXPECT_EQ(out.Red, 0.5f);
    EXPECT_EQ(out.Green, 0.0f);
    EXPECT_EQ(out.Alpha, 0.5f);
    EXPECT_EQ(c.Flags, Colour::kPackedValid | Colour::kFloatsValid); // the source's floats were made current
}
