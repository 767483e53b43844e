#pragma once
// Scalars, vectors, colours and the maths tables.
//
// The game computes in 32-bit floats with integer angles of 4,096 units per
// turn. Sines, cosines and arc cosines come from tables, and the fast
// reciprocal, reciprocal square root, square root and cube root are a few
// integer operations on the float's bits plus one read of a 1,024-entry
// mantissa table (about 10 significant bits for the root family, 11 for the
// reciprocal; the lowest mantissa bit of a result is always 0).

#include <bit>
#include <cstdint>
#include <numbers>

using Real = float;

// Angles: integers of 4,096 units per turn; an angle's table index is its value AND 4095.
constexpr Real AngleZero = 0.0f;
constexpr Real AngleFullTurn = 4096.0f;
constexpr Real AngleQuarterTurn = 1024.0f;
constexpr int32_t AngleMask = 4095;
constexpr Real AngleUnitsPerRadian = AngleFullTurn / (2.0f * std::numbers::pi_v<Real>);
constexpr Real RadiansPerAngleUnit = 2.0f * std::numbers::pi_v<Real> / AngleFullTurn;

// Gravity in metres per second squared (y grows downward, so falling is +y).
constexpr Real Gravity = 9.81f;

struct Vector3 {
    Real x, y, z;

    Vector3() = default; // leaves the components unset
    constexpr Vector3(Real x_, Real y_, Real z_) : x(x_), y(y_), z(z_) {}
};
static_assert(sizeof(Vector3) == 12);

constexpr Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr Vector3 operator*(const Vector3& v, Real s) { return {v.x * s, v.y * s, v.z * s}; }
constexpr Vector3 operator*(Real s, const Vector3& v) { return v * s; }
constexpr Real Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Real DistanceSquared(const Vector3& a, const Vector3& b) { return Dot(a - b, a - b); }
constexpr Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A colour kept as a packed ARGB value, as four floats, or both; the flags
// say which of the two forms is current.
struct Colour {
    static constexpr uint32_t kPackedValid = 1;
    static constexpr uint32_t kFloatsValid = 2;

    uint32_t Packed; // bits 24-31 alpha, 16-23 red, 8-15 green, 0-7 blue
    Real Red, Green, Blue, Alpha; // 0.0 to 1.0
    uint32_t Flags;

    // White, held as floats.
    constexpr Colour() : Packed(0), Red(1.0f), Green(1.0f), Blue(1.0f), Alpha(1.0f), Flags(kFloatsValid) {}

    static constexpr Colour FromFloats(Real red, Real green, Real blue, Real alpha) {
        Colour c;
        c.Red = red;
        c.Green = green;
        c.Blue = blue;
        c.Alpha = alpha;
        return c;
    }

    // Sets the packed value; the floats are no longer current.
    void SetBytes(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    // The packed value, or one built from the floats (each float x 255,
    // truncated and held to 0..255) when the packed value is not current; not stored.
    uint32_t GetPacked() const;
    // Makes the floats current from the packed bytes (byte x 1/255) unless they already are.
    void UpdateFloats();
    Real GetRed() { UpdateFloats(); return Red; }
    Real GetGreen() { UpdateFloats(); return Green; }
    Real GetBlue() { UpdateFloats(); return Blue; }
    Real GetAlpha() { UpdateFloats(); return Alpha; }
    // Sets alpha in whichever forms are current (packed: alpha x 255, truncated and held to 0..255).
    void SetAlpha(Real alpha);
    // out = this colour's floats x factor, held as floats only.
    void Scale(Colour& out, Real factor);
};
static_assert(sizeof(Colour) == 24);

// The one global set of tables (an object named like its class, so the tables
// read as MathTables.Sine and the builder as MathTables::Build). Filled before
// any ordinary static initialiser runs and read-only afterwards: every thread
// reads it without a lock.
class MathTables {
public:
    // Entry i (0..4095) is sin(2*pi*i/4096); entries 4096..5119 repeat 0..1023.
    Real Sine[5120]{};
    // Cosine[a AND 4095] is the cosine of angle a.
    const Real* Cosine = Sine + 1024;
    // Entry k is acos((k - 2048) / 2048) in angle units; read at 2048 + (x x 2048 as an integer).
    Real ArcCosine[4097]{};
    uint32_t RsqrtMantissa[1024]{};
    uint32_t ReciprocalMantissa[1024]{};
    uint32_t SqrtMantissa[1024]{};
    uint32_t CubeRootMantissa[1536]{};
    uint32_t CubeRootExponent[256]{};

    // Fills the tables once, computing with round-to-nearest whatever the
    // calling thread's mode is, then sets the calling thread to the game's
    // floating-point mode (later calls only set the mode). Runs at start-up
    // in every program that links the core library.
    static void Build();
};
extern constinit class MathTables MathTables;

// The 4x4 identity in Direct3D's row order.
constexpr Real IdentityMatrix4[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

inline Real SineOf(int32_t angle) { return MathTables.Sine[angle & AngleMask]; }
inline Real CosineOf(int32_t angle) { return MathTables.Cosine[angle & AngleMask]; }

// 1/sqrt(x) for x > 0. The index joins the exponent's lowest bit to the top 9
// mantissa bits; the entry for x = 1 (0x00800000) carries into the exponent.
inline Real FastInvSqrt(Real x) {
    const uint32_t b = std::bit_cast<uint32_t>(x);
    const uint32_t exponent = ((0xBE000000u - (b & 0x7F800000u)) >> 1) & 0x7F800000u;
    return std::bit_cast<Real>(exponent + MathTables.RsqrtMantissa[(b >> 14) & 0x3FF]);
}

// 1/x for x != 0, sign preserved.
inline Real FastReciprocal(Real x) {
    const uint32_t b = std::bit_cast<uint32_t>(x);
    const uint32_t exponent = ((0xFE800000u - (b & 0x7F800000u)) & 0x7F800000u) | (b & 0x80000000u);
    return std::bit_cast<Real>(exponent + MathTables.ReciprocalMantissa[(b >> 13) & 0x3FF]);
}

// sqrt(|x|): the sign bit is ignored.
inline Real FastSqrt(Real x) {
    const uint32_t b = std::bit_cast<uint32_t>(x);
    const uint32_t exponent = (((b & 0x7F800000u) + 0x3F800000u) >> 1) & 0x7F800000u;
    return std::bit_cast<Real>(exponent | MathTables.SqrtMantissa[(b >> 14) & 0x3FF]);
}

// Cube root of |x|: the sign bit is ignored (callers apply the sign themselves).
inline Real FastCubeRoot(Real x) {
    const uint32_t b = std::bit_cast<uint32_t>(x) & 0x7FFFFFFFu;
    const uint32_t exponent = MathTables.CubeRootExponent[b >> 23];
    // The exponent's residue modulo 3 picks one of three octaves of the mantissa table.
    return std::bit_cast<Real>(exponent | MathTables.CubeRootMantissa[(b - 3 * exponent + 0x7F000000u) >> 14]);
}
