#pragma once
// The particle system's own globals, shared by its update and its drawing.

#include "Awapi/particles.h"

struct ParticleSystemState {
    AwParticle pool[kParticlePoolSize];
    AwParticle* freeList = nullptr;
    int32_t live = 0;
    float rate = 1.0f;
    Vector3 drift{0, 0, 0};
    float driftStep = 0.0f; // 0.6 / T^2
    AwTexture* texture = nullptr;
    bool started = false;
};
extern ParticleSystemState Particles;
