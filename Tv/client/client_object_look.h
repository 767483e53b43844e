#pragma once
// How a client object is lit and blended when it is drawn: the light set by
// game type and team colour, the material, and the translucency of objects
// with a definition alpha below 1 and of cloaked objects.

#include <cstdint>

#include "Awapi/render_item.h"

class AwLightSet;
class ClientObject;
class RenderMaterial;

// The level's object draw order (3 unless the level raises it).
extern int32_t ObjectDrawOrder;
// Draw flags every object is queued with (the console's render switches).
extern AwDrawFlags RenderFlags;

struct ClientObjectLook {
    AwLightSet* lightSet = nullptr;
    RenderMaterial* material = nullptr;
    AwDrawFlags extraFlags = 0;   // kDrawCulled for a cloaked object nobody is near
    AwRenderHook* hook = nullptr; // one reference for the caller: the translucency while drawn
    float translucency = 1.0f;    // the value the hook applies (1.0 without a hook)
};

ClientObjectLook ChooseLook(const ClientObject& object);

// The preset light set of the team's owner in the team games (19 when unknown).
int32_t TeamColourLightSet(int32_t team);
