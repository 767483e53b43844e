#pragma once
// The device's default render and texture-stage states, and the caches that
// skip redundant texture, Z-function and Z-write changes.

#include <cstdint>

struct AwTexture;
class RenderMaterial;

// Sets every render state and stage state the engine relies on, choosing the
// texture filters the device accepts (kept in AwDeviceCaps).
void AwSetDefaultRenderStates();

// Sends the texture to the stage unless it is already there; switches the
// stage between wrap and clamp when the texture's clamp flag asks for it.
// False when the device refuses (the caches stay).
bool AwSetTexture(AwTexture* texture, uint32_t stage);

// Returns the previous function (the cached one when unchanged or refused).
uint32_t AwSetZFunc(uint32_t function);
bool AwSetZWrite(uint32_t enable);
void AwFlushBatch();

// Forgets the caches, so the next calls send their states (after a device
// (re)creation).
void AwResetStateCaches();

struct AwStateCache {
    RenderMaterial* CurrentMaterial = nullptr;
    AwTexture* StageTexture[8] = {};
    uint32_t StageClamp[8] = {};
    uint32_t ZFunction = 0x7FFFFFFF;
    uint32_t ZWrite = 1;
};
extern AwStateCache AwStates;
