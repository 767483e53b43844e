#include "Awapi/aw3d/aw_hooks.h"

namespace {
AwErrorReporter errorReporter = nullptr;
}

void AwReportError(plat::HResult result) { AwReportInterfaceError(result, 0); }

void AwReportInterfaceError(plat::HResult result, uint32_t interfaceId) {
    if (errorReporter) errorReporter(result, interfaceId);
}

void AwSetErrorReporter(AwErrorReporter reporter) { errorReporter = reporter; }

AwSprayBufferHooks AwSprayBuffer;
AwFogLevelFunction AwFogLevelAt = nullptr;
uint32_t AwClearColour = 0;

int AwFogLevel(float x, float y, float z) { return AwFogLevelAt ? AwFogLevelAt(x, y, z) : 0; }
