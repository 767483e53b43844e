#include <gtest/gtest.h>

#include <limits>

#include "Awapi/camera.h"
#include "Awapi/outcodes.h"

namespace {

class OutcodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera.near = 1.0f;
        camera.far = 100.0f;
        AwCurrentCamera = &camera;
    }
    void TearDown() override { AwCurrentCamera = nullptr; }
    AwCamera camera;
};

TEST_F(OutcodeTest, EachEntryTestsOnlyItsPlanes) {
    struct Case {
        int entry;
        float x, y, z;
        uint32_t code;
    };
    const Case cases[] = {
        {3, 1.0f, 0, 0, 2},        {3, -1.0f, 0, 0, 0},       {3, -1.5f, 0, 0, 1},
        {67, 2, 0, 2, 2},          {67, -3, 0, 2, 1},         {67, 1.5f, 0, 2, 0},
        {12, 0, 1.0f, 0, 8},       {12, 0, -2, 0, 4},         {76, 0, 5, 4, 8},
        {48, 0, 0, 50, 0},         {48, 0, 0, 0.5f, 16},      {48, 0, 0, 100, 32},
        {63, -5, 5, 200, 1 | 8 | 32}, {0, -5, 5, 200, 0},     {64, -5, 5, 200, 0},
        {1, 5, -5, 0.5f, 0},       {2, -5, 5, 0.5f, 0},       {127, 6, -7, 5, 2 | 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AwClipOutcodeTable[c.entry](c.x, c.y, c.z), c.code) << "entry " << c.entry;
}

TEST_F(OutcodeTest, NotANumberLiesBeyondTheLowPlanesOnly) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(AwClipOutcodeTable[63](nan, nan, nan), 1u | 4u | 16u);
    EXPECT_EQ(AwClipOutcodeTable[127](nan, 0, 2), 1u);
}

TEST_F(OutcodeTest, DepthPlanesFollowTheCurrentCamera) {
    camera.near = 10.0f;
    EXPECT_EQ(AwClipOutcodeTable[16](0, 0, 5), 16u);
    AwCurrentCamera = nullptr;
    EXPECT_EQ(AwClipOutcodeTable[48](0, 0, 5000), 0u);
}

} // namespace
