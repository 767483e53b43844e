// Burning states, emitters, lights and texture animation.

#include <limits>

#include "Tv/client/teamtable.h"
#include "core/clock.h"
#include "tests/tv/client_effects_fixture.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class ClientDispatchAppearance : public ClientEffectsTest {
protected:
    ClientObject* MakeNamed(int32_t id, const char* name) {
        ObjectDefinition* definition = MakeDefinition(name, 1, false, false, true);
        TvBuildClientObject(0, *definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, id);
        return TvFindClientObject(id);
    }
};

TEST_F(ClientDispatchAppearance, StatesSetTheirValueEndTimeAndSounds) {
    ClientObject* barrel = MakeNamed(1, "barrel");
    ClientObject* box = MakeNamed(2, "TechnoBox small");
    const uint64_t now = GameClock.GetTime();
    const uint64_t second = static_cast<uint64_t>(CurrentTicksPerSecond());

    Dispatch(Record(99, {1}));
    EXPECT_EQ(barrel->State, 1);
    EXPECT_NEAR(static_cast<double>(barrel->StateEndTime), static_cast<double>(now + 17 * second), 1.0);
    Dispatch(Record(97, {1}));
    EXPECT_EQ(barrel->State, 2);
    EXPECT_NEAR(static_cast<double>(barrel->StateEndTime), static_cast<double>(now + second), 1.0);
    Dispatch(Record(96, {1}));
    EXPECT_EQ(barrel->State, 4);
    seen.sounds.clear();

    // Back to normal: the cooling sound only from another state, no click for a technobox.
    Dispatch(Record(98, {1}));
    Dispatch(Record(98, {1}));
    Dispatch(Record(98, {2}));
    EXPECT_EQ(barrel->State, 0);
    EXPECT_EQ(box->State, 0);
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{37, ""}, {78, ""}, {78, ""}}));
}

TEST_F(ClientDispatchAppearance, TextureAnimationNeedsPairsAndFiniteValues) {
    MakeClientObject(3);
    const auto animate = [](int32_t count, std::initializer_list<float> values) {
        ByteWriter w = Record(197, {3, count});
        for (float v : values) w.F32(v);
        return w;
    };
    ExpectDropped(animate(0, {}));
    ExpectDropped(animate(1, {0.5f, kNaN}));
    Dispatch(animate(2, {0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(Calls("textureAnimation"), 1);
}

TEST_F(ClientDispatchAppearance, LightsRefuseColoursThatAreNotFinite) {
    const auto light = [](int32_t type, float red, float period) {
        ByteWriter w = Record(type);
        WritePosition(w, {1, 1, 1});
        for (int i = 0; i < (type == 193 ? 2 : 1); ++i) {
            w.U32(0);
            w.F32(red);
            w.F32(0);
            w.F32(0);
            w.F32(1);
            w.U32(2);
        }
        if (type == 193) w.F32(period);
        return w;
    };
    ExpectDropped(light(192, kNaN, 0));
    ExpectDropped(light(193, 1.0f, kNaN));
    Dispatch(light(192, 1.0f, 0));
    Dispatch(light(193, 1.0f, 0.5f));
    EXPECT_EQ(seen.calls, (std::vector<std::string>{"steadyLight", "blinkingLight"}));
}

TEST_F(ClientDispatchAppearance, CoronaWithATrackThatIsNoTrackObjectOnlyAddsTheCorona) {
    MakeClientObject(3);
    MakeClientObject(4);
    ByteWriter w = Record(198, {3, 4});
    w.U32(0);
    for (float v : {1.0f, 0.0f, 0.0f, 0.6f}) w.F32(v);
    w.U32(2);
    w.Bytes("lightdum", 9);
    Dispatch(w);
    EXPECT_TRUE(drops.reasons.empty());
    EXPECT_EQ(TvFindClientObject(3)->Emitter, nullptr); // no model: no corona
}

} // namespace
