#include "Tv/server/actor_actions.h"

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lead_characters.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/server_object.h"
#include "Tv/sim/track_members.h"
#include "Tv/world/collision_polygon.h"
#include "core/clock.h"
#include "core/vector_bytes.h"

namespace {

void ListWithTeam(ServerObject* actor) {
    if (actor->InTeamList) TeamListAppend(actor);
}

} // namespace

ServerObject* TvNewServerActor(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                               const Quaternion& orientation) {
    const ServerActorClass actorClass = definition ? ActorClassOf(*definition) : ServerActorClass::None;
    if (actorClass == ServerActorClass::None) return nullptr;
    const ServerActorMaker maker = ServerActorMakerOf(actorClass);
    if (!maker) return nullptr;
    ServerObject* actor = maker(team, definition, position, orientation, TvNextActorId());
    if (actor && definition->aiCore == kAiCoreNodeWaiting)
        TvSetAiCore(actor, kAiCoreNodeWaiting, ServerClock.GetTime());
    return actor;
}

int32_t TvCreateServerActor(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                            const Quaternion& orientation) {
    if (definition && CurrentGameType == kGameCooperative && team == 1)
        team = TvCoopTeamOf(definition->name.Get(), team);
    ServerObject* actor = TvNewServerActor(team, definition, position, orientation);
    if (!actor) return -1;
    TvSetAiCore(actor, definition->aiCore, 0);
    ListWithTeam(actor);
    TvGiveDefaultItem(actor);
    return actor->Id;
}

int32_t TvSpawnActor(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                     const Quaternion& orientation, int32_t trackMember) {
    ServerLockHold hold;
    ServerObject* actor = TvNewServerActor(team, definition, position, orientation);
    if (!actor) return 0;
    TvSetAiCore(actor, definition->aiCore, ServerClock.GetTime());
    ListWithTeam(actor);
    TvGiveDefaultItem(actor);

    Vector3 place = position;
    int32_t track = 0;
    if (trackMember != -1) {
        track = TvTrackOfRider(trackMember);
        const ServerObject* member = TvFindActor(trackMember);
        if (const CollisionPolygon* floor = member ? member->GetFloorPolygon() : nullptr) {
            place.y = floor->GetReferencePoint().y;
            actor->SetPosition(place);
        }
    }
    ByteWriter message;
    message.I32(MSG_CREATE_OBJECT);
    message.I32(actor->Id);
    message.I32(definition->id);
    message.U8(static_cast<uint8_t>(team));
    message.Zeros(3);
    message.I32(track);
    WriteVector3(message, place);
    WriteQuaternion(message, orientation);
    TvBroadcast(message, true);

    actor->Start(ServerClock.GetTime(), ServerClock.GetSeconds());
    if (track != 0) actor->AttachToTrack(track - 1);
    actor->SetPosition(place);
    return actor->Id;
}

void TvGiveDefaultItem(ServerObject* actor) {
    if (auto give = InstalledServerHooks().giveDefaultItem) give(actor);
}

bool TvKillActor(int32_t id) {
    ServerLockHold hold;
    ServerObject* actor = TvFindActor(id);
    if (!actor) return false;
    actor->Remove(true);
    return true;
}

void TvKillTeam(int32_t team) {
    ServerLockHold hold;
    const bool captureTheFlag = CurrentGameType == kGameCaptureTheFlag;
    const auto dropCarriedFlag = InstalledServerHooks().dropCarriedFlag;
    // References held: a removal may end other actors' lives too.
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    snapshot.ForEach([&](ServerObject* actor) {
        if (actor->Team != team) return;
        if (captureTheFlag && dropCarriedFlag) dropCarriedFlag(actor);
        actor->Remove(true);
    });
    const TeamRecord* record = TeamTable::GetTeam(team);
    if (captureTheFlag && record && record->FlagPresent) {
        ByteWriter message;
        message.I32(MSG_FLAG_RESET);
        message.I32(team);
        TvBroadcast(message, true);
    }
    if (team == LocalTeam) GameOverFlag = true;
}
