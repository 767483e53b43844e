#include "Tv/sim/server_object.h"

#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_registry.h"
#include "core/bytes.h"

ServerObject::ServerObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                           const Quaternion& orientation, int32_t id)
    : Id(id), Team(team), Position(position), Orientation(orientation), Definition(definition) {
    RegisterActor(this);
}

ServerObject::~ServerObject() {
    if (InActorHash) UnregisterActor(this);
    if (InTeamList) TeamListRemove(this);
}

void ServerObject::Start(uint64_t time, Real seconds) {
    LastSeconds = StateSeconds = seconds;
    StateTicks = ThinkTicks = time;
}

void ServerObject::Remove(bool announce) {
    if (Dead) return;
    Dead = 1;
    if (announce) {
        ByteWriter message;
        message.I32(MSG_REMOVE_OBJECT);
        message.I32(Id);
        TvBroadcast(message, true);
    }
    UnregisterActor(this);
    Release();
}

void ServerObject::SetPosition(const Vector3& position) {
    Position = position;
    StateChanged = 1;
}

void ServerObject::SetOrientation(const Quaternion& orientation) {
    Orientation = orientation;
    StateChanged = 1;
}
