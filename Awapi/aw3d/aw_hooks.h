#pragma once
// Services the engine takes from the layers above it. A library never calls
// upward: the game installs these hooks at start-up, and until then each one
// does nothing harmful (no spray buffer, no fog, no error report).

#include <cstdint>

#include "platform/d3d/results.h"

// Failed device calls are passed here and the caller goes on. Both do nothing
// unless a reporter is installed.
void AwReportError(plat::HResult result);
void AwReportInterfaceError(plat::HResult result, uint32_t interfaceId);
using AwErrorReporter = void (*)(plat::HResult result, uint32_t interfaceId);
void AwSetErrorReporter(AwErrorReporter reporter);

// The world effects' spray-particle vertex buffer, made with the device's
// shared buffers and released with them.
struct AwSprayBufferHooks {
    void (*create)() = nullptr;
    void (*release)() = nullptr;
};
extern AwSprayBufferHooks AwSprayBuffer;

// The fog-of-war level (0 clear .. 254 fogged) at a world position; 0
// everywhere while no fog of war is installed.
using AwFogLevelFunction = int (*)(float x, float y, float z);
extern AwFogLevelFunction AwFogLevelAt;
int AwFogLevel(float x, float y, float z);

// The frame's clear colour (ARGB), written by the fog of war.
extern uint32_t AwClearColour;
