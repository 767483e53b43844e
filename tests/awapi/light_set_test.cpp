#include <gtest/gtest.h>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/light_set.h"
#include "Awapi/scene_lights.h"
#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/engine_fixture.h"

using namespace plat;

namespace {

const LightSlot& Slot(uint32_t i) { return AwDevice.Direct3DDevice->State().lights.at(i); }

Colour White() { return Colour(); }

} // namespace

TEST_F(EngineTest, PlainSetUploadsFromTheTopIndexDown) {
    ASSERT_EQ(AwDeviceLightCount(), 8u);
    AwLightSet* set = new AwLightSet;
    AwLight* first = set->AddPointLight(White(), White(), Vector3(1, 2, 3), 10.0f);
    set->AddDirectionalLight(White(), White(), Vector3(0, 1, 0));
    set->AddSpotLight(White(), White(), Vector3(0, 0, 0), Vector3(0, 0, 1), 5.0f);
    EXPECT_FLOAT_EQ(first->Light.attenuation0, 0.96f);
    EXPECT_FLOAT_EQ(first->Light.attenuation1, 0.02f);
    EXPECT_FLOAT_EQ(first->Light.attenuation2, 0.06f);
    set->Apply();
    EXPECT_EQ(CurrentLightSet, set);
    EXPECT_TRUE(Slot(7).enabled);
    EXPECT_EQ(Slot(7).light.type, kLightPoint);
    EXPECT_EQ(Slot(6).light.type, kLightDirectional);
    EXPECT_EQ(Slot(5).light.type, kLightSpot);
    for (uint32_t i = 0; i < 5; ++i) EXPECT_FALSE(Slot(i).enabled) << i;
    // A current set uploads a new light at once, below the others.
    set->AddDirectionalLight(White(), White(), Vector3(1, 0, 0));
    EXPECT_TRUE(Slot(4).enabled);
    for (int i = 0; i < 4; ++i) EXPECT_NE(set->AddDirectionalLight(White(), White(), Vector3(1, 0, 0)), nullptr);
    EXPECT_EQ(set->AddDirectionalLight(White(), White(), Vector3(1, 0, 0)), nullptr); // a ninth
    EXPECT_EQ(set->LightCount(), 8);
    set->Release();
    EXPECT_EQ(CurrentLightSet, nullptr);
    EXPECT_FALSE(Slot(7).enabled);
}

TEST_F(EngineTest, AmbientFromAPackedColour) {
    AwLightSet* set = new AwLightSet;
    set->Apply();
    Colour colour;
    colour.SetBytes(255, 0, 0, 128);
    set->SetAmbient(colour);
    EXPECT_FLOAT_EQ(set->Material.emissive.r, 1.0f);
    EXPECT_FLOAT_EQ(set->Material.emissive.g, 0.0f);
    EXPECT_NEAR(set->Material.emissive.a, 0.502f, 0.0005f);
    EXPECT_NEAR(set->Material.diffuse.a, 0.502f, 0.0005f);
    EXPECT_NEAR(AwDevice.Direct3DDevice->State().material.diffuse.a, 0.502f, 0.0005f); // re-sent
    set->Release();
}

namespace {
int FogAtX5(float x, float, float) { return x == 5.0f ? 254 : 0; }
} // namespace

TEST_F(EngineTest, SceneSetPicksLocalLightsByBox) {
    AwSceneLights* scene = new AwSceneLights;
    LocalLightsEnabled = 0;
    EXPECT_EQ(scene->AddPointLight(White(), White(), Vector3(0, 0, 0), 1.0f), nullptr);
    LocalLightsEnabled = 1;
    scene->AddDirectionalLight(White(), White(), Vector3(0, 1, 0));
    scene->AddDirectionalLight(White(), White(), Vector3(1, 0, 0));
    AwLight* nearLight = scene->AddPointLight(White(), White(), Vector3(10, 0, 0), 2.0f);
    AwLight* fogged = scene->AddPointLight(White(), White(), Vector3(5, 0, 0), 1.0f);
    scene->AddPointLight(White(), White(), Vector3(10, 0, 50), 2.0f); // misses on z only
    scene->Apply();
    EXPECT_EQ(Slot(0).light.type, kLightDirectional);
    EXPECT_EQ(Slot(1).light.type, kLightDirectional);
    EXPECT_FALSE(Slot(2).enabled);

    AwFogLevelAt = FogAtX5;
    Matrix world = IdentityMatrix();
    world.m[3][0] = 8.0f; // the box [-1, 1] moves to [7, 9] on x
    scene->EnableForBounds(Vector3(1, 1, 1), Vector3(-1, -1, -1), world);
    EXPECT_TRUE(Slot(2).enabled);
    EXPECT_FLOAT_EQ(Slot(2).light.position.x, nearLight->Light.position.x);
    EXPECT_FALSE(Slot(3).enabled); // the light at x 5, range 1 misses [7, 9]

    world.m[3][0] = 4.0f; // now both x 5 and x 10 (range 2 reaches 8? no: [3, 5]) -> only x 5
    scene->EnableForBounds(Vector3(1, 1, 1), Vector3(-1, -1, -1), world);
    EXPECT_TRUE(Slot(2).enabled);
    EXPECT_FLOAT_EQ(Slot(2).light.position.x, 5.0f);
    EXPECT_FLOAT_EQ(Slot(2).light.specular.r, 0.0f); // fully fogged: black
    EXPECT_FLOAT_EQ(static_cast<AwSceneLight*>(fogged)->Base[0], 1.0f);
    EXPECT_FALSE(Slot(3).enabled);
    AwFogLevelAt = nullptr;
    scene->Release();
}

TEST(PresetLightSets, MadeAndReleased) {
    AwCreatePresetLightSets();
    for (AwLightSet* set : PresetLightSets) ASSERT_NE(set, nullptr);
    EXPECT_FLOAT_EQ(PresetLightSets[27]->Material.power, 1.0f);
    AwReleasePresetLightSets();
    for (AwLightSet* set : PresetLightSets) EXPECT_EQ(set, nullptr);
}
