// The lead character's special shot (39): one aimed shot and four more
// around the target, paid for with a share of the shooter's maximum health.

#include <strings.h>

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/sim/actor_damage.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"

namespace {

constexpr int32_t kShotKind = 15;
constexpr float kFirstShotSpeed = 150.0f;
constexpr float kRaise = 1.5f; // the shot leaves 1.5 m above the shooter's feet (y grows downward)
constexpr int32_t kSecondShots = 4;

bool IsLeadCharacter(const ServerObject& actor) {
    const char* name = actor.Definition ? actor.Definition->name.Get() : nullptr;
    return name && strcasecmp(name, "tavrin") == 0;
}

float CostFactor() {
    const int32_t type = CurrentGameType;
    return type == kGameStory || type == kGameCooperative ? 0.2f : 0.7f;
}

} // namespace

DrainStep HandleLeadPower(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const int32_t shooterId = in.I32();
    const int32_t targetId = in.I32();
    ServerObject* shooter = TvFindActor(shooterId);
    if (!shooter || !IsLeadCharacter(*shooter) || !shooter->Definition->character) return DrainStep::Continue;
    if (!SenderControlsTeam(sender, shooter->Team))
        return DropClientRecord(record, size, "actor of a team the sender does not play");
    const float cost = CostFactor() * shooter->Definition->character->strength;
    if (shooter->Strength < cost) return DrainStep::Continue;
    const ServerObject* target = TvFindActor(targetId);
    if (!target) return DrainStep::Continue;
    const Vector3 from = shooter->Position - Vector3(0, kRaise, 0);
    const Vector3 aim = target->Position;
    TvFireProjectile(DefinitionRegistry::FindByName("tavrin_power"), from, aim, shooterId, targetId, shooter->Team,
                     kShotKind, kFirstShotSpeed);

    shooter->AddRef(); // the damage may remove it
    const int32_t team = shooter->Team;
    shooter->TakeDamage(cost, false, -1);
    TvBroadcastDamageReport(kMsgDamageReport, *shooter,
                            TeamTable::IsPlayerTeam(team) && UserMatchSettings.NetDetailLevel == 0);
    const ObjectDefinition* second = DefinitionRegistry::FindByName("tavrin_power_second");
    for (int32_t i = 0; i < kSecondShots; ++i) {
        const Vector3 to = aim + Vector3(0, (kRaise - i) * 0.2f, 0);
        TvFireProjectile(second, from, to, shooterId, -1, team, kShotKind, 130.0f - 30.0f * i);
    }
    shooter->Release();
    TvCountShots(team, 1 + kSecondShots);
    return DrainStep::Continue;
}
