#pragma once
// An engine on the null backend with a camera at (0, 0, -10) looking down +z
// (near 1, far 100), plus builders of small shapes and a render hook that
// records the state every object is drawn with.

#include <vector>

#include "Awapi/render_item.h"
#include "tests/awapi/engine_fixture.h"

class AwCamera;
class AwShape;
class RenderMaterial;
struct AwTexture;

// One fan part of `vertices` vertices (a polygon around the origin in the z = 0
// plane, radius 1), format 0x112, with the texture (also in use); bounds (-1, -1, 0) to (1, 1, 0).
AwShape* MakeFanShape(uint32_t vertices, AwTexture* texture);

struct DrawRecord {
    AwObject* object;
    RenderMaterial* material; // current when the object was drawn
    AwTexture* stageTexture;  // stage 0 after the draw
    AwPickCallback* probeCallback; // of the item probe, while it is in the probe list
    size_t draws; // device draws the object made
};

class RecordingHook : public AwRenderHook {
public:
    void BeforeDraw(AwObject* object) override;
    void AfterDraw(AwObject* object) override;

    plat::NullBackend* backend = nullptr;
    std::vector<DrawRecord> records;

private:
    size_t drawsBefore_ = 0;
};

class SceneTest : public EngineTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A material with a recorded state block; released at tear-down.
    RenderMaterial* MakeMaterial(bool alphaBlend = false, bool depthSorted = false);

    AwCamera* camera = nullptr;
    RecordingHook* hook = nullptr;
    std::vector<RenderMaterial*> materials;
};
