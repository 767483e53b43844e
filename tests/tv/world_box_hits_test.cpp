#include <gtest/gtest.h>

#include <cmath>

#include "Tv/world/intersection.h"

namespace {

const Vector3 kMin(0, 0, 0), kMax(1, 1, 1);
const Vector3 kUnset(7, 7, 7);

HitRecord Record(Real t) { return HitRecord{t, kUnset}; }

void ExpectVector(const Vector3& expected, const Vector3& actual, const char* what) {
    EXPECT_NEAR(expected.x, actual.x, 2e-3) << what;
    EXPECT_NEAR(expected.y, actual.y, 2e-3) << what;
    EXPECT_NEAR(expected.z, actual.z, 2e-3) << what;
}

TEST(SegmentHitBox, AStartInsideHitsAtZeroWithTheNormalAwayFromTheCentre) {
    HitRecord r = Record(1);
    ASSERT_TRUE(SegmentHitBox(r, kMin, kMax, Vector3(0.9f, 0.5f, 0.5f), Vector3(-5, 0, 0)));
    EXPECT_EQ(0.0f, r.t);
    ExpectVector(Vector3(1, 0, 0), r.normal, "inside");

    r = Record(1);
    ASSERT_TRUE(SegmentHitBox(r, kMin, kMax, Vector3(0.5f, 0.5f, 0.5f), Vector3(1, 0, 0)));
    EXPECT_EQ(0.0f, r.t);
    ExpectVector(Vector3(0, 0, 0), r.normal, "at the centre");
    // A start on a face counts as inside.
    r = Record(1);
    ASSERT_TRUE(SegmentHitBox(r, kMin, kMax, Vector3(1, 0.5f, 0.5f), Vector3(1, 0, 0)));
    EXPECT_EQ(0.0f, r.t);
}

TEST(SegmentHitBox, FacesHitWithinTheLimitWithTheirOutwardNormals) {
    struct Case {
        const char* name;
        Vector3 a, d;
        Real limit;
        bool hit;
        Real t;
        Vector3 normal;
    };
    const Case cases[] = {
        {"-x face", {-1, 0.5f, 0.5f}, {2, 0, 0}, 1, true, 0.5f, {-1, 0, 0}},
        {"+z face", {0.5f, 0.5f, 3}, {0, 0, -4}, 1, true, 0.5f, {0, 0, 1}},
        {"-y face", {0.5f, -1, 0.5f}, {0, 4, 0}, 1, true, 0.25f, {0, -1, 0}},
        {"hit at exactly the limit", {-1, 0.5f, 0.5f}, {2, 0, 0}, 0.5f, true, 0.5f, {-1, 0, 0}},
        {"beyond the limit", {-1, 0.5f, 0.5f}, {2, 0, 0}, 0.4f, false, 0, {}},
        {"moving away", {-1, 0.5f, 0.5f}, {-2, 0, 0}, 1, false, 0, {}},
        {"beside the box", {-1, 2, 0.5f}, {2, 0, 0}, 1, false, 0, {}},
        // Entering the -x face exactly at its maximum y: the half-open face
        // misses, and the +y face (closed) takes the hit.
        {"-x face edge", {-1, 1.5f, 0.5f}, {2, -1, 0}, 1, true, 0.5f, {0, 1, 0}},
        // The same point on the +x face: closed, so it hits there.
        {"+x face edge", {2, 1.5f, 0.5f}, {-2, -1, 0}, 1, true, 0.5f, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        HitRecord r = Record(c.limit);
        ASSERT_EQ(c.hit, SegmentHitBox(r, kMin, kMax, c.a, c.d)) << c.name;
        if (!c.hit) {
            EXPECT_EQ(c.limit, r.t) << c.name;
            continue;
        }
        EXPECT_FLOAT_EQ(c.t, r.t) << c.name;
        ExpectVector(c.normal, r.normal, c.name);
    }
}

TEST(BallisticHitBox, WithNegativeAccelerationTheLaterCrossingIsTriedFirst) {
    // y(t) = -1 + 3t - t^2 crosses the -y face (y = 0) at 0.382 and 2.618; the
    // later comes first, so a limit of 1 leaves no hit although 0.382 is within it.
    const Vector3 p(0.5f, -1, 0.5f), v(0, 3, 0), g(0, -2, 0);
    HitRecord r = Record(10);
    ASSERT_TRUE(BallisticHitBox(r, kMin, kMax, p, v, g));
    EXPECT_NEAR(2.618, r.t, 1e-3);
    ExpectVector(Vector3(0, -1, 0), r.normal, "later crossing");

    r = Record(1);
    EXPECT_FALSE(BallisticHitBox(r, kMin, kMax, p, v, g));
    EXPECT_EQ(1.0f, r.t);
}

TEST(BallisticHitBox, FallingOntoTheTopFaceAndStartingInside) {
    // Thrown sideways above the box, falling with gravity (+y is down): lands on the -y face.
    HitRecord r = Record(10);
    ASSERT_TRUE(BallisticHitBox(r, kMin, kMax, Vector3(0.1f, -2, 0.5f), Vector3(0.2f, 0, 0), Vector3(0, 9.81f, 0)));
    EXPECT_NEAR(std::sqrt(4 / 9.81), r.t, 1e-4);
    ExpectVector(Vector3(0, -1, 0), r.normal, "landing");

    // Still, and zero acceleration on every axis: only the start inside can hit.
    r = Record(10);
    ASSERT_TRUE(BallisticHitBox(r, kMin, kMax, Vector3(0.25f, 0.5f, 0.5f), Vector3(0, 0, 0), Vector3(0, 0, 0)));
    EXPECT_EQ(0.0f, r.t);
    ExpectVector(Vector3(-1, 0, 0), r.normal, "inside");
    r = Record(10);
    EXPECT_FALSE(BallisticHitBox(r, kMin, kMax, Vector3(-0.5f, 0.5f, 0.5f), Vector3(0, 0, 0), Vector3(0, 0, 0)));
    // Moving away along an axis with acceleration that keeps it away never enters.
    r = Record(10);
    EXPECT_FALSE(BallisticHitBox(r, kMin, kMax, Vector3(2, 0.5f, 0.5f), Vector3(1, 0, 0), Vector3(0.5f, 0, 0)));
}

TEST(SegmentHitSphere, NearestCrossingOrTheStartInside) {
    HitRecord r = Record(1);
    ASSERT_TRUE(SegmentHitSphere(r, Vector3(0, 0, 5), 1, Vector3(0, 0, 0), Vector3(0, 0, 10)));
    EXPECT_NEAR(0.4, r.t, 1e-6);
    ExpectVector(Vector3(0, 0, -1), r.normal, "front");

    r = Record(0.3f);
    EXPECT_FALSE(SegmentHitSphere(r, Vector3(0, 0, 5), 1, Vector3(0, 0, 0), Vector3(0, 0, 10)));
    r = Record(1);
    EXPECT_FALSE(SegmentHitSphere(r, Vector3(0, 3, 5), 1, Vector3(0, 0, 0), Vector3(0, 0, 10)));
    r = Record(1);
    EXPECT_FALSE(SegmentHitSphere(r, Vector3(0, 0, -5), 1, Vector3(0, 0, 0), Vector3(0, 0, 10)));

    r = Record(1);
    ASSERT_TRUE(SegmentHitSphere(r, Vector3(0, 0, 0), 2, Vector3(0, 1, 0), Vector3(0, 0, 10)));
    EXPECT_EQ(0.0f, r.t);
    ExpectVector(Vector3(0, 1, 0), r.normal, "inside");
}

} // namespace
