#include "tests/awapi/scene_fixture.h"

#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/camera.h"
#include "Awapi/draw_list.h"
#include "Awapi/mesh_part.h"
#include "Awapi/picking.h"
#include "Awapi/shape.h"
#include "core/maths.h"

AwShape* MakeFanShape(uint32_t vertices, AwTexture* texture) {
    auto* shape = new AwShape;
    shape->AddMeshPart(vertices, (vertices - 2) * 3, 0x112, true);
    AwMeshPart* part = shape->Parts.Back();
    part->Texture = texture;
    if (texture) shape->AddTexture(texture);
    auto* v = reinterpret_cast<float*>(part->Vertices.data());
    for (uint32_t i = 0; i < vertices; ++i, v += 8) {
        const int32_t angle = static_cast<int32_t>(i * 4096 / vertices);
        const float x = CosineOf(angle), y = SineOf(angle);
        const float vertex[8] = {x, y, 0, 0, 0, -1, x, y};
        std::copy(vertex, vertex + 8, v);
    }
    shape->Min = Vector3(-1, -1, 0);
    shape->Max = Vector3(1, 1, 0);
    return shape;
}

void RecordingHook::BeforeDraw(AwObject*) { drawsBefore_ = backend ? backend->Draws().size() : 0; }

void RecordingHook::AfterDraw(AwObject* object) {
    const size_t draws = backend ? backend->Draws().size() - drawsBefore_ : 0;
    records.push_back({object, AwStates.CurrentMaterial, AwStates.StageTexture[0],
                       AwItemPickProbe.inList ? AwItemPickProbe.callback : nullptr, draws});
}

void SceneTest::SetUp() {
    EngineTest::SetUp();
    camera = new AwCamera;
    const float w = 1.0f, h = 0.75f;
    camera->SetViewportSize(w, h);
    camera->primaryRange.Near = 1.0f;
    camera->primaryRange.Far = 100.0f;
    camera->UpdateDepthRange();
    camera->position = Vector3(0, 0, -10);
    camera->viewDirty = camera->dirty = true;
    camera->Update();
    AwCurrentCamera = camera;
    camera->ApplyViewport();
    camera->ApplyTransforms();
    hook = new RecordingHook;
    hook->backend = backend.get();
    backend->ResetRecords();
}

void SceneTest::TearDown() {
    AwDrawList::Discard();
    AwPickProbes.Clear();
    AwPickCandidates.Clear();
    AwItemPickProbe.inList = false;
    hook->Release();
    for (RenderMaterial* material : materials) material->Release();
    AwCurrentCamera = nullptr;
    delete camera;
    EngineTest::TearDown();
}

RenderMaterial* SceneTest::MakeMaterial(bool alphaBlend, bool depthSorted) {
    auto* material = new RenderMaterial;
    material->AlphaBlend = alphaBlend;
    material->DepthSorted = depthSorted;
    material->RecordStateBlock();
    materials.push_back(material);
    return material;
}
