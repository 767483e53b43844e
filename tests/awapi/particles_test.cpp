#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/camera.h"
#include "Awapi/particles.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/vertex_buffer.h"
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
    // A still emitter of type 7 that keeps emitting, 100 particles a second.
    AwParticleEmitter* SpawnContinuous() {
        AwParticleParams params;
        params.type = 7;
        params.rate = 100.0f;
        return AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
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

    const struct {
        float rate;
        int32_t interval;
    } intervals[] = {
        {static_cast<float>(ticksPerSecond) * 4.0f, 1}, // faster than a tick still emits every tick
        {10.0f, ticksPerSecond / 10},
        {1e-9f, INT32_MAX}, // too slow for 32 bits: suspended, not the fastest
        {0.0f, INT32_MAX},
    };
    for (const auto& c : intervals) {
        params.rate = c.rate;
        AwParticleEmitter* emitter = AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
        ASSERT_NE(emitter, nullptr);
        EXPECT_EQ(emitter->interval, c.interval) << c.rate;
    }
}

TEST_F(ParticleTest, AnEmitterMovedWhileHeldEmitsWhereItIsNow) {
    AwParticleEmitter* emitter = SpawnContinuous();
    ASSERT_NE(emitter, nullptr);
    emitter->flags |= kEmitterHeld;
    emitter->SetPosition(4, -1, 0);
    AwParticlesUpdate(ticksPerSecond / 10);
    EXPECT_EQ(AwLiveParticles(), 0) << "held: nothing emitted";

    emitter->flags &= static_cast<uint8_t>(~kEmitterHeld);
    AwParticlesUpdate(ticksPerSecond / 10);
    ASSERT_GT(AwLiveParticles(), 0);
    for (const AwParticle* p = emitter->firstParticle; p; p = p->next)
        EXPECT_FLOAT_EQ(p->position.x, 4.0f) << "not along the path it took while held";
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

TEST_F(ParticleTest, ParticlesBehindTheCameraAreNotDrawn) {
    ASSERT_NE(Spawn(5), nullptr);
    AwParticlesUpdate(ticksPerSecond / 100);
    ASSERT_EQ(AwLiveParticles(), 5);
    ASSERT_EQ(DrawFrame(), 30u);

    // Five metres past the particles, still looking down +z: near enough to
    // pass the distance test, but behind the camera.
    camera->position = Vector3(0, 0, 5);
    camera->viewDirty = camera->dirty = true;
    camera->Update();
    camera->ApplyTransforms();
    EXPECT_EQ(DrawFrame(), 0u);
}

TEST_F(ParticleTest, ColourModesColourTheQuads) {
    Colour first, second;
    first.SetBytes(0x10, 0x20, 0x30, 0x40);
    second.SetBytes(0x50, 0x60, 0x70, 0x80);
    enum Expect { kAsGiven, kLifeAlpha, kFaded, kWhite };
    const struct {
        int32_t mode;
        Expect expect;
    } cases[] = {{0, kAsGiven}, {1, kLifeAlpha}, {2, kFaded}, {3, kFaded}, {4, kWhite}};
    for (const auto& c : cases) {
        AwParticleParams params;
        params.type = 7;
        params.state = kEmitCounted;
        params.countdown = 1;
        params.rate = 1000.0f;
        params.colourMode = c.mode;
        params.colour1 = first;
        params.colour2 = second;
        AwParticleEmitter* emitter = AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
        ASSERT_NE(emitter, nullptr);
        AwParticlesUpdate(ticksPerSecond / 4);
        ASSERT_EQ(DrawFrame(), 6u) << c.mode;
        AwTLVertex corner{};
        AwSharedBuffers.SharedTL->Buffer->UseVertices(
            0, 1, [&](const uint8_t* data) { std::memcpy(&corner, data, sizeof corner); });

        const AwParticle& p = *emitter->firstParticle;
        const float f = static_cast<float>(p.remaining) * p.alphaRate / 255.0f;
        EXPECT_NEAR(f, 0.75f, 0.01f) << "a quarter of its one-second life gone";
        Colour fadedFirst, fadedSecond;
        first.Scale(fadedFirst, f);
        second.Scale(fadedSecond, f);
        const auto lifeAlpha = static_cast<uint32_t>(std::floor(static_cast<float>(p.remaining) * p.alphaRate));
        const uint32_t diffuse[] = {first.GetPacked(), first.GetPacked() | lifeAlpha << 24, fadedFirst.GetPacked(),
                                    0xFFFFFFFFu};
        const uint32_t specular[] = {second.GetPacked(), second.GetPacked(), fadedSecond.GetPacked(), 0};
        EXPECT_EQ(corner.diffuse, diffuse[c.expect]) << c.mode;
        EXPECT_EQ(corner.specular, specular[c.expect]) << c.mode;
        AwParticlesReset();
    }
}

TEST_F(ParticleTest, TrailEmittersThrowTimedChildEmitters) {
    AwParticleParams params;
    params.type = 9;
    params.trail = true;
    params.state = kEmitCounted;
    params.countdown = 3;
    params.rate = 1000.0f;
    AwSetParticleRate(0.5f); // children emit at half the parent's rate
    AwParticleEmitter* parent = AwSpawnParticleEmitter(params, {0, -1, 0}, camera);
    AwSetParticleRate(1.0f);
    ASSERT_NE(parent, nullptr);
    AwParticlesUpdate(ticksPerSecond / 10);
    EXPECT_EQ(AwLiveParticles(), 0) << "children instead of particles";

    const float t = CurrentTicksPerSecondFloat();
    int children = 0;
    for (const AwParticleEmitter* e = ParticleTypes[9].firstEmitter; e; e = e->next) {
        if (e == parent) continue;
        ++children;
        EXPECT_FALSE(e->trail);
        EXPECT_EQ(e->state, kEmitTimed);
        EXPECT_EQ(e->countdown, FloorToInt(7.0f * t)) << "the type's child duration";
        EXPECT_EQ(e->interval, FloorToInt(t / 500.0f));
        EXPECT_LE(e->velocity.z, 0.0f) << "the last spread component is forced negative";
    }
    EXPECT_EQ(children, 3);
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
    AwParticleEmitter* emitter = SpawnContinuous();
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
    AwParticleEmitter* emitter = SpawnContinuous();
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
