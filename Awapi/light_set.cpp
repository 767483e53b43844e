#include "Awapi/light_set.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "platform/d3d/device3d.h"

using namespace plat;

AwLightSet* CurrentLightSet = nullptr;
AwLightSet* OverlayLightSet = nullptr;
AwLightSet* InterfaceLightSet = nullptr;
AwLightSet* CursorLightSet = nullptr;
AwLightSet* SceneLightsInstance = nullptr;
int32_t LocalLightsEnabled = 1;
AwLightSet* PresetLightSets[kPresetLightSetCount] = {};

namespace {

void Check(HResult result) {
    if (Failed(result)) AwReportError(result);
}

ColorValue ValueOf(const Colour& colour) {
    Colour c = colour;
    c.UpdateFloats();
    return {c.Red, c.Green, c.Blue, c.Alpha};
}

D3dVector VectorOf(const Vector3& v) { return {v.x, v.y, v.z}; }

Light7 BaseLight(LightType type, const Colour& diffuse, const Colour& specular) {
    Light7 light;
    light.type = type;
    light.diffuse = ValueOf(diffuse);
    light.specular = ValueOf(specular);
    return light;
}

void ReleaseSet(AwLightSet*& set) {
    if (set) set->Release();
    set = nullptr;
}

} // namespace

uint32_t AwDeviceLightCount() { return AwDeviceCaps.MaxActiveLights; }

void AwLight::SetPosition(float x, float y, float z) { Light.position = {x, y, z}; }
void AwLight::SetPositionVector(const Vector3& position) { Light.position = VectorOf(position); }
void AwLight::SetColour(float r, float g, float b, float a) { Light.specular = {r, g, b, a}; }

void AwLight::Upload(uint32_t index) const {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    Check(device->SetLight(index, Light));
    Check(device->LightEnable(index, true));
}

AwLightSet::AwLightSet() {
    Material.diffuse = {1, 1, 1, 0};
    Material.ambient = {0, 0, 0, 0};
    Material.specular = {1, 1, 1, 0};
    Material.emissive = {1, 1, 1, 0};
    Material.power = 1.0f;
}

AwLightSet::~AwLightSet() {
    if (CurrentLightSet == this) {
        if (AwDevice.Direct3DDevice) DisableAll();
        CurrentLightSet = nullptr;
    }
    DeleteAll(Lights);
}

void AwLightSet::DeleteAll(List<AwLight*>& lights) {
    for (AwLight* light : lights) delete light;
    lights.Clear();
}

void AwLightSet::MakeCurrent() {
    if (AwDevice.Direct3DDevice) Check(AwDevice.Direct3DDevice->SetMaterial(Material));
    CurrentLightSet = this;
}

void AwLightSet::ResendMaterial() const {
    if (CurrentLightSet == this && AwDevice.Direct3DDevice) Check(AwDevice.Direct3DDevice->SetMaterial(Material));
}

void AwLightSet::Apply() {
    if (!AwDevice.Direct3DDevice) return;
    uint32_t n = AwDeviceLightCount();
    for (AwLight* light : Lights) {
        if (n == 0) break;
        light->Upload(--n);
    }
    while (n > 0) Check(AwDevice.Direct3DDevice->LightEnable(--n, false));
    MakeCurrent();
}

void AwLightSet::DisableAll() {
    if (!AwDevice.Direct3DDevice) return;
    for (uint32_t i = AwDeviceLightCount(); i > 0; --i) Check(AwDevice.Direct3DDevice->LightEnable(i - 1, false));
}

void AwLightSet::EnableForBounds(const Vector3&, const Vector3&, const Matrix&) {}

AwLight* AwLightSet::AddLight(const Light7& light) {
    const uint32_t count = AwDeviceLightCount();
    if (static_cast<uint32_t>(Lights.Count()) >= count) return nullptr;
    AwLight* added = new AwLight(light);
    Lights.PushBack(added);
    if (CurrentLightSet == this) added->Upload(count - static_cast<uint32_t>(Lights.Count()));
    return added;
}

void AwLightSet::RemoveLight(AwLight* light) {
    if (Lights.RemoveValue(light)) delete light;
}

void AwLightSet::SetAmbient(Colour colour) {
    colour.UpdateFloats();
    Material.emissive = {colour.Red, colour.Green, colour.Blue, colour.Alpha};
    Material.diffuse.a = colour.Alpha;
    ResendMaterial();
}

void AwLightSet::SetAlpha(float alpha) {
    Material.diffuse.a = alpha;
    ResendMaterial();
}

void AwLightSet::Reset() {
    if (AwDevice.Direct3DDevice) {
        Material.emissive = {1, 1, 1, 1};
        Material.diffuse.a = 1;
        ResendMaterial();
    }
    DeleteAll(Lights);
}

AwLight* AwLightSet::AddPointLight(const Colour& diffuse, const Colour& specular, const Vector3& position,
                                   float range) {
    Light7 light = BaseLight(kLightPoint, diffuse, specular);
    light.position = VectorOf(position);
    light.range = range;
    light.falloff = 1.0f;
    light.attenuation0 = 0.96f;
    light.attenuation1 = 0.2f / range;
    light.attenuation2 = 6.0f / (range * range);
    return AddLight(light);
}

AwLight* AwLightSet::AddDirectionalLight(const Colour& diffuse, const Colour& specular, const Vector3& direction) {
    Light7 light = BaseLight(kLightDirectional, diffuse, specular);
    light.direction = VectorOf(direction);
    return AddLight(light);
}

AwLight* AwLightSet::AddSpotLight(const Colour& diffuse, const Colour& specular, const Vector3& position,
                                  const Vector3& direction, float range) {
    Light7 light = BaseLight(kLightSpot, diffuse, specular);
    light.position = VectorOf(position);
    light.direction = VectorOf(direction);
    light.range = range;
    light.falloff = 1.0f;
    light.attenuation0 = 0.96f;
    light.attenuation1 = 0.2f / range;
    light.attenuation2 = 6.0f / (range * range);
    light.theta = 0.1f;
    light.phi = 0.2f;
    return AddLight(light);
}

void AwCreateGlobalLightSets(AwLightSet* sceneSet) {
    OverlayLightSet = new AwLightSet;
    InterfaceLightSet = new AwLightSet;
    CursorLightSet = new AwLightSet;
    SceneLightsInstance = sceneSet;
}

void AwReleaseGlobalLightSets() {
    if (!OverlayLightSet) return;
    ReleaseSet(OverlayLightSet);
    ReleaseSet(SceneLightsInstance);
    ReleaseSet(InterfaceLightSet);
    ReleaseSet(CursorLightSet);
}

void AwReapplyCurrentLightSet() {
    if (CurrentLightSet) CurrentLightSet->Apply();
}

void AwReadBackLights() {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    Material7 material;
    Check(device->GetMaterial(&material));
    for (uint32_t i = 0; i < AwDeviceLightCount(); ++i) {
        Light7 light;
        Check(device->GetLight(i, &light));
    }
}

void AwCreatePresetLightSets() {
    for (AwLightSet*& set : PresetLightSets) set = new AwLightSet;
}

void AwReleasePresetLightSets() {
    if (!PresetLightSets[0]) return;
    for (AwLightSet*& set : PresetLightSets) ReleaseSet(set);
}
