#include "Tv/client/client_object_look.h"

#include "Awapi/aw3d/global_materials.h"
#include "Awapi/light_set.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/session_players.h"
#include "core/hashtable.h"
#include "core/random.h"

int32_t ObjectDrawOrder = 3;
AwDrawFlags RenderFlags = 0;

namespace {

constexpr int32_t kTranslucentMaterial = 3;
constexpr int32_t kNoLightingMaterial = 1;
constexpr int32_t kOwnCloakLights = 5;
constexpr int32_t kNearCloakLights = 4;
constexpr int32_t kDefaultTeamLights = 19;
constexpr int32_t kDrevanisLights = 14;
constexpr int32_t kColourLights[4] = {22, 21, 20, 23}; // player colours 1 to 4
constexpr float kOwnCloakTranslucency = 0.7f;
constexpr float kCloakRangeSquaredShared = 49.0f; // story and cooperative games: 7 m
constexpr float kCloakRangeSquared = 196.0f;      // 14 m

// The light set's alpha while the object draws.
class TranslucencyHook final : public AwRenderHook {
public:
    TranslucencyHook(AwLightSet* lightSet, float alpha) : lightSet_(lightSet), alpha_(alpha) {}
    void BeforeDraw(AwObject*) override {
        if (lightSet_) lightSet_->SetAlpha(alpha_);
    }
    void AfterDraw(AwObject*) override {
        if (lightSet_) lightSet_->SetAlpha(1.0f);
    }

private:
    AwLightSet* lightSet_;
    float alpha_;
};

AwLightSet* PresetLights(int32_t n) { return PresetLightSets[n]; }

bool SharesTheLevel() { return CurrentGameType == kGameStory || CurrentGameType == kGameCooperative; }

void MakeTranslucent(ClientObjectLook& look, float alpha) {
    look.material = GlobalMaterials[kTranslucentMaterial];
    look.translucency = alpha;
    look.hook = new TranslucencyHook(look.lightSet, alpha);
}

// A cloaked object: its own side sees it faintly, the others only near one of
// the local team's objects, flickering the fainter the farther they are.
void LookCloaked(const ClientObject& object, ClientObjectLook& look) {
    const bool ownSide =
        object.Team == LocalTeam || (CurrentGameType == kGameCooperative && TeamTable::IsPlayerTeam(object.Team));
    if (ownSide) {
        look.lightSet = PresetLights(kOwnCloakLights);
        MakeTranslucent(look, kOwnCloakTranslucency);
        return;
    }
    look.lightSet = PresetLights(kNearCloakLights);
    const float range = SharesTheLevel() ? kCloakRangeSquaredShared : kCloakRangeSquared;
    float nearest = range;
    for (const ClientObject* member : LocalTeamObjects) {
        const Vector3 d = member->Position - object.Position;
        const float distance = d.x * d.x + d.y * d.y + d.z * d.z;
        if (distance < nearest) nearest = distance;
    }
    if (nearest == range) {
        look.extraFlags = kDrawCulled;
        MakeTranslucent(look, 0.0f);
        return;
    }
    float r = RandomSigned() * RandomSigned();
    if (r < 0) r += 1.0f;
    MakeTranslucent(look, (1.0f - nearest / range) * r);
}

} // namespace

int32_t TeamColourLightSet(int32_t team) {
    if (team == 2) return kDefaultTeamLights;
    const auto players = static_cast<int32_t>(TvGetPlayerCount());
    const int32_t player = team == 1 ? players - team : players + 1 - team;
    if (player < 0 || player >= 4) return kDefaultTeamLights;
    const int32_t colour = PlayerTable[player];
    return colour >= 1 && colour <= 4 ? kColourLights[colour - 1] : kDefaultTeamLights;
}

ClientObjectLook ChooseLook(const ClientObject& object) {
    ClientObjectLook look;
    if (object.IsCloaked() && !object.ShownInCutscene) {
        LookCloaked(object, look);
        return look;
    }
    look.material = GlobalMaterials[object.ObjectRenderFlags & kRenderNoLighting ? kNoLightingMaterial : kBaseMaterial];
    look.lightSet =
        SharesTheLevel() || object.Team == 0 ? SceneLightsInstance : PresetLights(TeamColourLightSet(object.Team));
    const float alpha = object.Definition ? object.Definition->alpha : 1.0f;
    if (alpha == 1.0f) return look;
    const char* name = object.Definition->name.Get();
    if (name && NameEquals(name, "drevanis") && look.lightSet == SceneLightsInstance)
        look.lightSet = PresetLights(kDrevanisLights);
    MakeTranslucent(look, alpha + alpha * 0.5f * RandomSigned() * RandomSigned());
    return look;
}
