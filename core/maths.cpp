#include "core/maths.h"

#include <cfenv>
#include <cmath>

#include "platform/fpu.h"

constinit class MathTables MathTables;

namespace {

constexpr uint32_t kMantissaBits1To22 = 0x007FFFFEu;

uint32_t Bits(Real x) { return std::bit_cast<uint32_t>(x); }
Real FromBits(uint32_t b) { return std::bit_cast<Real>(b); }

// The table values are defined as round-to-nearest results; the game threads
// run rounding down, so the builder sets the mode it needs and restores the caller's.
class NearestRounding {
public:
    NearestRounding() : saved_(std::fegetround()) { std::fesetround(FE_TONEAREST); }
    ~NearestRounding() { std::fesetround(saved_); }
    NearestRounding(const NearestRounding&) = delete;
    NearestRounding& operator=(const NearestRounding&) = delete;

private:
    int saved_;
};

// A mantissa-table entry: the result's mantissa bits 1 to 22, or the carry
// into the exponent when the result is exactly 1.0.
uint32_t MantissaEntry(Real r) { return r == 1.0f ? 0x00800000u : Bits(r) & kMantissaBits1To22; }

void FillTables(class MathTables& t) {
    NearestRounding nearest;

    // Sines in extended precision, rounded to float; the second half is the first negated.
    for (int i = 0; i < 2048; ++i) {
        const Real s = static_cast<Real>(std::sin(static_cast<long double>(i) * 0.0015339807878856412L));
        t.Sine[i] = s;
        t.Sine[i + 2048] = -s;
        if (i < 1024) t.Sine[i + 4096] = s;
    }

    // x runs from 1.0 down to -1.0 in exact steps of 1/2048.
    const long double pi = std::acos(-1.0L);
    for (int k = 4096; k >= 0; --k) {
        const long double x = static_cast<long double>(k - 2048) / 2048.0L;
        t.ArcCosine[k] = static_cast<Real>(std::acos(x) * 2048.0L * (1.0L / pi));
    }

    for (uint32_t e = 0; e < 1024; ++e) {
        const Real halfToTwo = FromBits(0x3F000000u | (e << 14)); // [0.5, 2): exponent parity and 9 mantissa bits
        const Real oneToTwo = FromBits(0x3F800000u | (e << 13));  // [1, 2): 10 mantissa bits
        t.RsqrtMantissa[e] = MantissaEntry(static_cast<Real>(1.0L / std::sqrt(static_cast<long double>(halfToTwo))));
        t.ReciprocalMantissa[e] = MantissaEntry(static_cast<Real>(1.0L / oneToTwo));
        t.SqrtMantissa[e] = Bits(static_cast<Real>(std::sqrt(static_cast<long double>(halfToTwo)))) & kMantissaBits1To22;
    }

    for (uint32_t j = 0; j < 256; ++j) t.CubeRootExponent[j] = ((j + 254) / 3) << 23;

    // Three octaves, [1, 8), 512 entries each.
    for (uint32_t k = 0; k < 1536; ++k) {
        const Real x = FromBits(0x3F800000u + k * 0x4000u);
        t.CubeRootMantissa[k] =
            Bits(static_cast<Real>(std::pow(static_cast<long double>(x), 0.3333333432674408L))) & kMantissaBits1To22;
    }
}

} // namespace

void MathTables::Build() {
    static const bool built = (FillTables(::MathTables), true);
    (void)built;
    // The mode the whole program computes in, from start-up on.
    plat::SetGameFpuMode();
}

// Runs before the ordinary static initialisers, so those may use the tables
// and compute in the game's mode. Every program that links the core library
// runs it: core's link options name it (core/CMakeLists.txt), so the linker
// takes this file even into a program that uses nothing else of it.
extern "C" [[gnu::constructor(101)]] void CoreStartUp() { MathTables::Build(); }

void Colour::SetBytes(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    Packed = uint32_t{alpha} << 24 | uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
    Flags = kPackedValid;
}

namespace {

// A float component as a byte: x 255, truncated, held to 0..255 so that a
// component outside 0..1 cannot spill into its neighbours' bits.
uint32_t ComponentByte(Real v) {
    const Real scaled = v * 255.0f;
    if (!(scaled > 0.0f)) return 0; // also NaN
    if (scaled >= 255.0f) return 255;
    return static_cast<uint32_t>(scaled);
}

constexpr Real kByteToUnit = std::bit_cast<Real>(0x3B808081u); // 1/255

} // namespace

uint32_t Colour::GetPacked() const {
    if (Flags & kPackedValid) return Packed;
    return ComponentByte(Alpha) << 24 | ComponentByte(Red) << 16 | ComponentByte(Green) << 8 | ComponentByte(Blue);
}

void Colour::UpdateFloats() {
    if ((Flags & ~kFloatsValid) == 0) return;
    Alpha = static_cast<Real>(Packed >> 24) * kByteToUnit;
    Red = static_cast<Real>((Packed >> 16) & 0xFF) * kByteToUnit;
    Green = static_cast<Real>((Packed >> 8) & 0xFF) * kByteToUnit;
    Blue = static_cast<Real>(Packed & 0xFF) * kByteToUnit;
    Flags |= kFloatsValid;
}

void Colour::SetAlpha(Real alpha) {
    if (Flags & kFloatsValid) Alpha = alpha;
    if (Flags & kPackedValid) Packed = (Packed & 0x00FFFFFFu) | ComponentByte(alpha) << 24;
}

void Colour::Scale(Colour& out, Real factor) {
    UpdateFloats();
    out = FromFloats(Red * factor, Green * factor, Blue * factor, Alpha * factor);
}
