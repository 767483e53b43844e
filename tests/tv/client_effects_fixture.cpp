#include "tests/tv/client_effects_fixture.h"

#include <algorithm>

#include "Awapi/shape.h"
#include "Tv/server/client_service_hooks.h"

namespace {

ClientEffectsTest* current = nullptr;
std::vector<std::string>* calls = nullptr;

void Called(const char* name) { calls->emplace_back(name); }

EffectHooks RecordingEffects() {
    EffectHooks hooks;
    hooks.sizedExplosion = [](const Vector3&, Real) { Called("sizedExplosion"); };
    hooks.explosion = [](const Vector3&) { Called("explosion"); };
    hooks.empBurst = [](const Vector3&) { Called("empBurst"); };
    hooks.sparkBurst = [](const Vector3&) { Called("sparkBurst"); };
    hooks.particlePuff = [](const Vector3& position) {
        Called("particlePuff");
        current->puffs.push_back(position);
    };
    hooks.flareGlow = [](const Vector3&) { Called("flareGlow"); };
    hooks.impactSparks = [](const Vector3&) { Called("impactSparks"); };
    hooks.impactSpray = [](const Vector3&, const ObjectDefinition*) { Called("impactSpray"); };
    hooks.impactStreak = [](const Vector3&, const Vector3&, uint64_t) { Called("impactStreak"); };
    hooks.impactFlash = [](const Vector3&, const LightRecord&) { Called("impactFlash"); };
    hooks.sprayEmitter = [](int32_t, const Vector3&) { Called("sprayEmitter"); };
    hooks.materialise = [](ClientObject*, uint64_t) { Called("materialise"); };
    hooks.shieldHit = [](ClientObject*, uint32_t) { Called("shieldHit"); };
    hooks.destroyed = [](ClientObject*, uint64_t) { Called("destroyed"); };
    hooks.objectEmitter = [](ClientObject*, ObjectEmitterKind) { Called("objectEmitter"); };
    hooks.lightEffect = [](LightEffectKind kind, const Vector3&, const Colour&, const Colour&, Real) {
        Called(kind == LightEffectKind::Steady ? "steadyLight" : "blinkingLight");
    };
    hooks.textureAnimation = [](ClientObject*, int32_t, const float*) { Called("textureAnimation"); };
    hooks.addFogRevealer = [](const FogRevealer& revealer) { current->SeenRevealer(revealer); };
    hooks.addDefogger = [](ClientObject*) { Called("addDefogger"); };
    hooks.removeDefogger = [](ClientObject*) { Called("removeDefogger"); };
    hooks.removeShadowCaster = [](ClientObject*) { Called("removeShadowCaster"); };
    hooks.buildShadowCaster = [](ClientObject*) { Called("buildShadowCaster"); };
    return hooks;
}

} // namespace

void ClientEffectsTest::SetUp() {
    ClientDispatchTest::SetUp();
    current = this;
    calls = &seen.calls;
    SetEffectHooks(RecordingEffects());
    ClientServiceHooks services;
    services.showDamageFraction = [](ClientObject*, float fraction) { current->damageFractions.push_back(fraction); };
    services.raiseCursorAlert = [] { Called("raiseCursorAlert"); };
    services.refreshCursorMode = [](bool) { Called("refreshCursorMode"); };
    services.rebuildCharacterPlates = [] { Called("rebuildCharacterPlates"); };
    SetClientServiceHooks(services);
}

void ClientEffectsTest::TearDown() {
    ClientDispatchTest::TearDown();
    current = nullptr;
    calls = nullptr;
}

void ClientEffectsTest::SeenRevealer(const FogRevealer& revealer) { seen.revealers.push_back(revealer); }

int32_t ClientEffectsTest::Calls(const std::string& name) const {
    return static_cast<int32_t>(std::count(seen.calls.begin(), seen.calls.end(), name));
}

ObjectDefinition* ClientEffectsTest::MakeShapedDefinition(const char* name, Real strength) {
    ObjectDefinition* definition = MakeDefinition(name, 1, strength > 0, false, true);
    if (strength > 0) definition->character->strength = strength;
    auto* shape = new AwShape;
    shape->Min = Vector3(-0.5f, -1.0f, -0.5f);
    shape->Max = Vector3(0.5f, 0.0f, 0.5f);
    shape->Flags = kShapeBoundsSet;
    definition->shape = shape; // the definition holds the one use
    return definition;
}

void WritePosition(ByteWriter& w, const Vector3& p) {
    w.F32(p.x);
    w.F32(p.y);
    w.F32(p.z);
}

void WriteOrientation(ByteWriter& w, const Quaternion& q) {
    w.F32(q.x);
    w.F32(q.y);
    w.F32(q.z);
    w.F32(q.w);
}
