#pragma once
// Light sets: a list of device lights plus the material whose emissive colour
// carries the ambient light. One set is current on the device at a time. A
// plain set uploads its lights from the highest device index down; the scene
// set (scene_lights.h) keeps directional lights low and picks local lights per
// object. Main thread only.

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"
#include "core/refcounted.h"
#include "platform/d3d/d3d_types.h"

class AwLight {
public:
    explicit AwLight(const plat::Light7& light) : Light(light) {}
    virtual ~AwLight() = default;

    virtual void SetPosition(float x, float y, float z);
    virtual void SetPositionVector(const Vector3& position);
    // The specular colour, not the diffuse one.
    virtual void SetColour(float r, float g, float b, float a);

    // SetLight and LightEnable at the device index (nothing without a device).
    void Upload(uint32_t index) const;

    plat::Light7 Light;
};

class AwLightSet : public RefCounted {
public:
    AwLightSet();
    ~AwLightSet() override;

    virtual void Apply();
    virtual void DisableAll();
    // Picks the local lights that reach a box moved by the world matrix; a plain set has none.
    virtual void EnableForBounds(const Vector3& boxMax, const Vector3& boxMin, const plat::Matrix& world);
    // Null when the set already holds as many lights as the device can enable.
    virtual AwLight* AddLight(const plat::Light7& light);
    virtual void RemoveLight(AwLight* light);

    // The colour becomes the emissive colour; its alpha also the diffuse alpha.
    void SetAmbient(Colour colour);
    // The diffuse alpha of everything the set lights.
    void SetAlpha(float alpha);
    void Reset();
    AwLight* AddPointLight(const Colour& diffuse, const Colour& specular, const Vector3& position, float range);
    AwLight* AddDirectionalLight(const Colour& diffuse, const Colour& specular, const Vector3& direction);
    AwLight* AddSpotLight(const Colour& diffuse, const Colour& specular, const Vector3& position,
                          const Vector3& direction, float range);

    int32_t LightCount() const { return Lights.Count(); }

    List<AwLight*> Lights;
    plat::Material7 Material;

protected:
    // Sends the material when this set is current.
    void ResendMaterial() const;
    void MakeCurrent();
    static void DeleteAll(List<AwLight*>& lights);
};

extern AwLightSet* CurrentLightSet;
extern AwLightSet* OverlayLightSet;
extern AwLightSet* InterfaceLightSet;
extern AwLightSet* CursorLightSet;
extern AwLightSet* SceneLightsInstance;
// The options screen's switch: without it the scene set takes and uses no local lights.
extern int32_t LocalLightsEnabled;

// The light count of the device (all indices run below it).
uint32_t AwDeviceLightCount();

void AwCreateGlobalLightSets(AwLightSet* sceneSet);
// Releases the overlay, scene, interface and cursor sets.
void AwReleaseGlobalLightSets();
// Applies the current set again (after the device was recreated).
void AwReapplyCurrentLightSet();
void AwReadBackLights();

// The shell's preset light sets: empty plain sets made at start-up.
constexpr int kPresetLightSetCount = 28;
extern AwLightSet* PresetLightSets[kPresetLightSetCount];
void AwCreatePresetLightSets();
void AwReleasePresetLightSets();
