#include "Tv/client/client_factory.h"

#include <utility>

#include "Tv/client/client_bot.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/client_unit.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/client_link.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lead_characters.h"
#include "core/clock.h"

namespace {

constexpr int32_t kClassCount = static_cast<int32_t>(ClientObjectClass::Count);

// The classes built so far; the classes that derive from them are built as their base until they land.
ClientObjectMaker BuiltInMaker(ClientObjectClass objectClass) {
    switch (objectClass) {
    case ClientObjectClass::Unit:
    case ClientObjectClass::Node:
    case ClientObjectClass::President:
        return MakeClientUnit;
    case ClientObjectClass::Bot:
    case ClientObjectClass::Centipede:
    case ClientObjectClass::Centibody:
    case ClientObjectClass::Popup:
    case ClientObjectClass::Turret:
        return MakeClientBot;
    default:
        return nullptr;
    }
}

ClientObjectMaker makers[kClassCount] = {}; // installed over the built-in ones
ObjectFactory recorder = nullptr;
bool attachedBefore = false; // the link's state when the recorder came

} // namespace

void SetClientObjectMaker(ClientObjectClass objectClass, ClientObjectMaker maker) {
    makers[static_cast<int32_t>(objectClass)] = maker;
}

ClientObject* TvBuildClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                  const Quaternion& orientation, int32_t id) {
    const ClientObjectClass objectClass = ChooseClientObjectClass(definition);
    if (objectClass == ClientObjectClass::None) return nullptr;
    ClientObjectMaker maker = makers[static_cast<int32_t>(objectClass)];
    if (!maker) maker = BuiltInMaker(objectClass);
    if (maker) return maker(team, &definition, position, orientation, id);
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
