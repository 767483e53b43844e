#include "Awapi/scene_lights.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "platform/d3d/device3d.h"
#include "platform/fpu.h"

using namespace plat;

AwSceneLight::AwSceneLight(const Light7& light)
    : AwLight(light), Base{light.specular.r, light.specular.g, light.specular.b, light.specular.a} {}

void AwSceneLight::SetColour(float r, float g, float b, float a) {
    Base[0] = r;
    Base[1] = g;
    Base[2] = b;
    Base[3] = a;
    UpdateSpecular();
}

void AwSceneLight::SetIntensity(float intensity) {
    Intensity = intensity;
    UpdateSpecular();
}

void AwSceneLight::UpdateSpecular() {
    Light.specular.r = Base[0] * Intensity;
    Light.specular.g = Base[1] * Intensity;
    Light.specular.b = Base[2] * Intensity;
}

AwSceneLights::~AwSceneLights() {
    // The base destructor disables the device's lights and deletes the directional list.
    DeleteAll(LocalLights);
}

AwLight* AwSceneLights::AddLight(const Light7& light) {
    const bool directional = light.type == kLightDirectional;
    if (!directional && !LocalLightsEnabled) return nullptr;
    AwSceneLight* added = new AwSceneLight(light);
    (directional ? Lights : LocalLights).PushBack(added);
    return added;
}

void AwSceneLights::RemoveLight(AwLight* light) {
    SetGameFpuMode();
    List<AwLight*>& list = light->Light.type == kLightDirectional ? Lights : LocalLights;
    if (list.RemoveValue(light)) delete light;
}

void AwSceneLights::Apply() {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    const uint32_t count = AwDeviceLightCount();
    uint32_t index = 0;
    for (AwLight* light : Lights) {
        if (index >= count) break;
        light->Upload(index++);
    }
    for (; index < count; ++index) {
        const HResult result = device->LightEnable(index, false);
        if (Failed(result)) AwReportError(result);
    }
    MakeCurrent();
}

void AwSceneLights::EnableForBounds(const Vector3& boxMax, const Vector3& boxMin, const Matrix& world) {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device || !LocalLightsEnabled) return;
    const Vector3 t(world.m[3][0], world.m[3][1], world.m[3][2]);
    const Vector3 lo = boxMin + t;
    const Vector3 hi = boxMax + t;
    const uint32_t count = AwDeviceLightCount();
    uint32_t k = static_cast<uint32_t>(Lights.Count());
    uint32_t used = k;
    for (AwLight* light : LocalLights) {
        const D3dVector& p = light->Light.position;
        const float r = light->Light.range;
        const bool reaches = p.x + r >= lo.x && p.x - r <= hi.x && p.y + r >= lo.y && p.y - r <= hi.y &&
                             p.z + r >= lo.z && p.z - r <= hi.z;
        if (!reaches) continue;
        const int fog = AwFogLevel(p.x, p.y, p.z);
        static_cast<AwSceneLight*>(light)->SetIntensity(1.0f - static_cast<float>(fog) / 254.0f);
        // Surplus lights overwrite from index 1: the first directional light stays.
        if (k >= count) k = 1;
        light->Upload(k++);
        ++used;
    }
    for (uint32_t i = used; i < count; ++i) {
        const HResult result = device->LightEnable(i, false);
        if (Failed(result)) AwReportError(result);
    }
}
