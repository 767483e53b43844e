#pragma once
// The scene's light set: directional lights at the lowest device indices for
// every object, and local (point and spot) lights chosen per object by its
// box, dimmed by the fog of war at their positions.

#include "Awapi/light_set.h"

class AwSceneLight : public AwLight {
public:
    explicit AwSceneLight(const plat::Light7& light);

    // Stores the base colour; the specular colour becomes base x intensity.
    void SetColour(float r, float g, float b, float a) override;
    void SetIntensity(float intensity);

    float Base[4];
    float Intensity = 1.0f;

private:
    void UpdateSpecular();
};

class AwSceneLights : public AwLightSet {
public:
    ~AwSceneLights() override;

    void Apply() override;
    void EnableForBounds(const Vector3& boxMax, const Vector3& boxMin, const plat::Matrix& world) override;
    // Directional lights always; local ones only while LocalLightsEnabled. The device is not touched.
    AwLight* AddLight(const plat::Light7& light) override;
    void RemoveLight(AwLight* light) override;

    // Lights holds the directional lights; these the local ones.
    List<AwLight*> LocalLights;
};
