#include "Tv/client/client_factory.h"

#include <utility>

#include "Tv/client/client_objects.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/client_link.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lead_characters.h"
#include "core/clock.h"

namespace {

constexpr int32_t kUnarmedWeaponType = 33;

ClientObjectMaker makers[static_cast<int32_t>(ClientObjectClass::Count)] = {};
ObjectFactory recorder = nullptr;
bool attachedBefore = false; // the link's state when the recorder came

} // namespace

ClientObjectClass ChooseClientObjectClass(const ObjectDefinition& definition) {
    switch (definition.aiCore) {
    case kAiCoreBot: return ClientObjectClass::Bot;
    case kAiCoreMine: return ClientObjectClass::Unit;
    case 5: return ClientObjectClass::Blocker;
    case kAiCoreTrackObject: return ClientObjectClass::TrackObject;
    case 9: return ClientObjectClass::Tumbleweed;
    case kAiCorePickup: return ClientObjectClass::Pickup;
    case 11: return ClientObjectClass::BackgroundCreature;
    case 12: return ClientObjectClass::FlyingCreature;
    case 13: return ClientObjectClass::Centipede;
    case 14: return ClientObjectClass::Centibody;
    case 15:
    case kAiCoreNodeWaiting: return ClientObjectClass::Node;
    case 18: return ClientObjectClass::Popup;
    case 19: return ClientObjectClass::President;
    case 20: return ClientObjectClass::Turret;
    default: break;
    }
    if (definition.character)
        return definition.character->weapon == kUnarmedWeaponType ? ClientObjectClass::Unit : ClientObjectClass::Bot;
    return definition.projectile ? ClientObjectClass::None : ClientObjectClass::Object;
}

void SetClientObjectMaker(ClientObjectClass objectClass, ClientObjectMaker maker) {
    makers[static_cast<int32_t>(objectClass)] = maker;
}

ClientObject* TvBuildClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                  const Quaternion& orientation, int32_t id) {
    const ClientObjectClass objectClass = ChooseClientObjectClass(definition);
    if (objectClass == ClientObjectClass::None) return nullptr;
    if (const ClientObjectMaker maker = makers[static_cast<int32_t>(objectClass)])
        return maker(team, &definition, position, orientation, id);
    return new ClientObject(team, &definition, position, orientation, kClientFlagsPlain, id);
}

int32_t TvNewClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                          const Quaternion& orientation, int32_t id, int32_t track) {
    if (TvFindClientObject(id)) return -1; // one object per id: the live one stays
    ClientObject* object = TvBuildClientObject(team, definition, position, orientation, id);
    if (!object) return -1;
    object->Start(GameClock.GetTime(), GameClock.GetSeconds());
    if (track != 0) {
        object->AttachToTrack(track - 1);
        object->SetPosition(position);
    }
    return id;
}

int32_t TvCreateClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                             const Quaternion& orientation) {
    if (recorder) return recorder(team, definition, position, orientation);
    if (CurrentGameType == kGameCooperative && team == 1) team = TvCoopTeamOf(definition.name.Get(), team);
    const int32_t id = ClientObjectIdCounter;
    if (!TvBuildClientObject(team, definition, position, orientation, id)) return -1;
    ++ClientObjectIdCounter;
    return id;
}

ObjectFactory InstallClientObjectFactory(ObjectFactory f) {
    if (f && !recorder) attachedBefore = std::exchange(ClientLink.Attached, true);
    if (!f && recorder) ClientLink.Attached = attachedBefore;
    return std::exchange(recorder, f);
}
