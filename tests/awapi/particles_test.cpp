#include <gtest/gtest.h>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/camera.h"
#include "Awapi/particles.h"
#include "core/clock.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/scene_fixture.h"
#include "platform/virtual_clock.h"

namespace {

TEST(ParticleEmissionScale, ThrottlesAboveHalfThePool) {
    const struct {
        int32_t live, scale;
    } cases[] = {{0, 65536}, {2048, 65536}, {2049, 65504}, {3072, 32768}, {4090, 655}, {4096, 655}};
    for (const auto& c : cases) EXPECT_EQ(AwParticleEmissionScale(c.live), c.scale) << c.live;
}

// The camera looks down +z from (0, 0, -10); particles live above the floor at y = 0.
class ParticleTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        RecalibrateClocks(0);
        AwParticlesInit();
        ASSERT_NE(ParticleTypes, nullptr);
        ParticleFloorHeight = 0.0f;
        ticksPerSecond = CurrentTicksPerSecond();
    }
    void TearDown() override {
        AwParticlesShutdown();
        SceneTest::TearDown();
    }
    // A still, counted emitter of type 7 (no walk, no acceleration, no variation).
    AwParticleEmitter* Spawn(int32_t count, float rate = 1000.0f, const Vector3& at = {0, -1, 0}) {
        AwParticleParams params;
        params.type = 7;
        params.state = kEmitCounted;
        params.countdown = count;
        params.rate = rate;
        return AwSpawnParticleEmitter(params, at, camera);
    }
    size_t DrawFrame() {
        backend->ResetRecords();
        AwCurrentCamera = camera;
        AwDevice.Direct3DDevice->BeginScene();
        AwParticlesRender();
        AwDevice.Direct3DDevice->EndScene();
        size_t indices = 0;
        for (const plat::RecordedDraw& draw : backend->Draws()) indices += draw.indexCount;
        return indices;
    }
    plat::VirtualClock clock;
    int32_t ticksPerSecond = 0;
};

TEST_F(ParticleTest, EmittersAreOnlyCreatedWhereTheCameraSees) {
    AwParticleParams params;
    EXPECT_EQ(AwSpawnParticleEmitter(params, {0, -1, -20}, camera), nullptr) << "behind the camera";
    EXPECT_EQ(AwSpawnParticleEmitter(params, {50, -1, 0}, camera), nullptr) << "off screen";
    EXPECT_EQ(AwSpawnParticleEmitter(params, {0, -1, 500}, camera), nullptr) << "beyond the far plane";
    AwParticleEmitter* seen = AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->colourMode, 1) << "type 0's own colour mode";
    EXPECT_EQ(ParticleTypes[0].firstEmitter, seen);

    params.rate = static_cast<float>(ticksPerSecond) * 4.0f;
    AwParticleEmitter* fast = AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
    ASSERT_NE(fast, nullptr);
    EXPECT_EQ(fast->interval, 1);
}

TEST_F(ParticleTest, ACountedEmitterEmitsItsCountThenEndsAfterTheLife) {
    AwParticleEmitter* emitter = Spawn(10);
    ASSERT_NE(emitter, nullptr);
    AwParticlesUpdate(ticksPerSecond / 10); // room for 100 at 1000 a second
    EXPECT_EQ(AwLiveParticles(), 10);
    EXPECT_EQ(emitter->state, kEmitStopping);
    EXPECT_EQ(DrawFrame(), 60u);

    // Type 7 lives one second: the emitter ends once its particles can have died.
    AwParticlesUpdate(ticksPerSecond / 2);
    EXPECT_EQ(AwLiveParticles(), 10);
    AwParticlesUpdate(ticksPerSecond);
    EXPECT_EQ(AwLiveParticles(), 0);
    AwParticlesUpdate(ticksPerSecond);
    EXPECT_EQ(ParticleTypes[7].firstEmitter, nullptr);
}

TEST_F(ParticleTest, AnEmptyPoolOnlyMeansFewerParticles) {
    for (int i = 0; i < 3; ++i) ASSERT_NE(Spawn(2000, 1e6f), nullptr);
    AwParticlesUpdate(ticksPerSecond * 9 / 10); // within the particles' life of one second
    EXPECT_EQ(AwLiveParticles(), kParticlePoolSize);
    AwParticlesReset();
    EXPECT_EQ(AwLiveParticles(), 0);
    EXPECT_EQ(ParticleTypes[7].firstEmitter, nullptr);
}

TEST_F(ParticleTest, ParticlesBelowTheFloorDie) {
    ASSERT_NE(Spawn(5), nullptr);
    AwParticlesUpdate(ticksPerSecond / 100);
    ASSERT_EQ(AwLiveParticles(), 5);
    ParticleFloorHeight = -2.0f; // the particles at y = -1 now lie below it
    AwParticlesUpdate(1);
    EXPECT_EQ(AwLiveParticles(), 0);
}

TEST_F(ParticleTest, FullyFoggedEmittersNeitherDrawNorEmit) {
    AwParticleParams params;
    params.type = 7;
    params.rate = 100.0f;
    AwParticleEmitter* emitter = AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
    ASSERT_NE(emitter, nullptr);
    AwParticlesUpdate(ticksPerSecond / 10);
    const int32_t live = AwLiveParticles();
    ASSERT_GT(live, 0);

    emitter->fogFraction = 1.0f;
    EXPECT_EQ(DrawFrame(), 0u);
    EXPECT_NE(emitter->flags & kEmitterCulled, 0);
    AwParticlesUpdate(ticksPerSecond / 10);
    EXPECT_EQ(AwLiveParticles(), live) << "frozen: no emission, no ageing";

    emitter->fogFraction = 255.0f / 256.0f;
    EXPECT_EQ(DrawFrame(), static_cast<size_t>(live) * 6);
}

TEST_F(ParticleTest, StoppingKeepsTheParticlesForTheirLife) {
    AwParticleParams params;
    params.type = 7;
    params.rate = 100.0f;
    AwParticleEmitter* emitter = AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
    ASSERT_NE(emitter, nullptr);
    AwParticlesUpdate(ticksPerSecond / 10);
    const int32_t live = AwLiveParticles();
    emitter->Stop();
    AwParticlesUpdate(ticksPerSecond / 10);
    EXPECT_EQ(AwLiveParticles(), live) << "no new particles, none old enough to die";
    AwParticlesUpdate(ticksPerSecond);
    AwParticlesUpdate(ticksPerSecond);
    EXPECT_EQ(AwLiveParticles(), 0);
    EXPECT_EQ(ParticleTypes[7].firstEmitter, nullptr);
}

} // namespace
