// World messages: the camera, track objects, doors, the fog of war and the airstrike.

#include <cmath>
#include <iterator>
#include <vector>

#include "Tv/client/client_class_calls.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/group_orders.h"
#include "Tv/client/weapons.h"
#include "Tv/console/console_hooks.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/client_record_objects.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/server/server_message_catalogue.h"
#include "Tv/server/server_message_fields.h"
#include "Tv/world/collision_polygon.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"
#include "core/rwlock.h"

namespace {

constexpr float kAirstrikeAreaPerSpotlight = 2500.0f;
// A hostile box cannot make the client place spotlights without end.
constexpr int32_t kMaxAirstrikeSpotlights = 64;

const char* HandleEndCutscene(const uint8_t*, size_t) {
    TvEndCutscene();
    return nullptr;
}

const char* HandleCameraTrack(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    Vector3 path[4];
    for (Vector3& point : path) point = ReadPosition(in);
    const float seconds = in.F32();
    for (const Vector3& point : path)
        if (!IsFiniteVector(point)) return "camera path not finite";
    if (!IsFiniteValue(seconds) || seconds < 0.0f) return "travel time not finite or negative";
    TvStartCameraTrack(path, seconds, RealClock.GetTime());
    TvSetCameraScriptMode(1);
    return nullptr;
}

const char* HandleTrackCamera(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    if (!object) return nullptr;
    TvTrackCameraObject(object);
    GameOptions.ControlsDisabled = 1;
    return nullptr;
}

bool BoardsWith(const ClientObject* object, const ClientObject* vehicle) {
    const CharacterRecord* character = object->GetCharacterRecord();
    return object != vehicle && object->JoinsLocalTeam() && object->IsAlive() && character &&
           character->weapon != kNoWeapon;
}

const char* HandleBoard(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    GameOptions.ControlsDisabled = 1;
    ClientObject* vehicle = ReadRecordObject(in);
    if (!vehicle) return nullptr;
    std::vector<ClientObject*> boarding;
    for (ClientObject* object : LocalTeamObjects)
        if (BoardsWith(object, vehicle)) boarding.push_back(object);
    if (const CollisionPolygon* floor = vehicle->GetFloorPolygon())
        TvSendGroupOrder(static_cast<int32_t>(floor->polygonIndex), -1, false, boarding);
    TvClearSelection();
    return nullptr;
}

const char* HandleSetTrack(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* track = ReadRecordObject(in);
    Matrix34 path;
    for (Real& v : path.m) v = in.F32();
    const Quaternion orientation = ReadOrientation(in);
    const uint8_t carries = in.U8();
    for (Real v : path.m)
        if (!IsFiniteValue(v)) return "track path not finite";
    if (!IsFiniteQuaternion(orientation)) return "orientation not finite";
    if (track) ClientTrackObjectSetTrack(track, path, orientation, carries);
    return nullptr;
}

// Track records with a speed scale or a loop time: finite and not negative.
template <void (*apply)(ClientObject*, Real)>
const char* OnTrackValue(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* track = ReadRecordObject(in);
    const float value = in.F32();
    if (!IsFiniteValue(value) || value < 0.0f) return "value not finite or negative";
    if (track) apply(track, value);
    return nullptr;
}

const char* StartTrack(const uint8_t* record, size_t size, bool backward) {
    ByteReader in = RecordReader(record, size);
    ClientObject* track = ReadRecordObject(in);
    const int32_t count = in.I32(); // the catalogue matched it to the record's size
    std::vector<int32_t> passengers(static_cast<size_t>(count));
    for (int32_t& id : passengers) id = in.I32();
    if (track) ClientTrackObjectStart(track, backward, passengers.data(), count);
    return nullptr;
}

const char* HandleTrackStartForward(const uint8_t* record, size_t size) { return StartTrack(record, size, false); }

const char* HandleTrackStartBackward(const uint8_t* record, size_t size) { return StartTrack(record, size, true); }

void SetDefogger(ClientObject* object) {
    TvAddDefogger(object);
    object->SetModeFlag(1);
}

void ClearDefogger(ClientObject* object) {
    TvRemoveDefogger(object);
    object->SetModeFlag(0);
}

template <void (*Operation)(int32_t)>
const char* OnDoor(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    Operation(in.I32());
    return nullptr;
}

const char* HandleFogReveal(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const Vector3 position = ReadPosition(in);
    const float radius = in.F32();
    const uint32_t packed = in.U32();
    if (!IsFiniteVector(position)) return "position not finite";
    if (!IsFiniteValue(radius)) return "radius not finite";
    const auto kind = static_cast<int16_t>(packed & 0xffff);
    const auto seconds = static_cast<int16_t>(packed >> 16);
    TvAddFogRevealer(MakeFogRevealer(position, radius, kind, static_cast<Real>(seconds)));
    return nullptr;
}

// How many spotlights a box gets: one per 2500 square metres, at least one, at most the cap.
int32_t AirstrikeSpotlightCount(float area) {
    const float count = area / kAirstrikeAreaPerSpotlight;
    if (!(count >= 1.0f)) return 1;
    if (count >= static_cast<float>(kMaxAirstrikeSpotlights)) return kMaxAirstrikeSpotlights;
    return FloorToInt(count);
}

const char* HandleAirstrike(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const Vector3 first = ReadPosition(in);
    const Vector3 second = ReadPosition(in);
    if (!IsFiniteVector(first) || !IsFiniteVector(second)) return "corner not finite";
    const float width = second.x - first.x;
    const float depth = second.z - first.z;
    if (!IsFiniteValue(width) || !IsFiniteValue(depth)) return "box too large";
    const int32_t count = AirstrikeSpotlightCount(width * depth);
    {
        RwLockHold hold(LevelWorldLock(), false);
        for (int32_t i = 0; i < count; ++i) {
            // The product of two draws gathers the points towards the first corner.
            const float u = std::abs(RandomSigned() * RandomSigned());
            const float v = std::abs(RandomSigned() * RandomSigned());
            Vector3 point{first.x + u * width, first.y, first.z + v * depth};
            if (LevelWorldInstance && LevelWorldInstance->DropToFloor(point))
                TvAddSpotlight(point, GameClock.GetTime32());
        }
    }
    TvAddAirstrikeEffect(first, second);
    return nullptr;
}

} // namespace

const ServerMessageRow kWorldMessageRows[] = {
    ExactRow(164, "MSG_END_CUTSCENE", 4, HandleEndCutscene),
    ExactRow(170, "MSG_CAMERA_TRACK", 56, HandleCameraTrack),
    ExactRow(180, "MSG_TRACK_CAMERA", 8, HandleTrackCamera),
    ExactRow(181, "MSG_BOARD", 8, HandleBoard),
    ExactRow(169, "MSG_SET_TRACK", 73, HandleSetTrack),
    ExactRow(171, "MSG_TRACK_SPEED", 12, OnTrackValue<ClientTrackObjectSetSpeed>),
    ExactRow(172, "MSG_TRACK_LOOP_TIME", 12, OnTrackValue<ClientTrackObjectSetLoopTime>),
    CountedRow(173, "MSG_TRACK_START_FORWARD", 12, 8, 4, HandleTrackStartForward),
    CountedRow(174, "MSG_TRACK_START_BACKWARD", 12, 8, 4, HandleTrackStartBackward),
    ExactRow(175, "MSG_TRACK_REVERSE", 8, OnRecordObject<ClientTrackObjectReverse>),
    ExactRow(176, "MSG_TRACK_PAUSE", 8, OnRecordObject<ClientTrackObjectPause>),
    ExactRow(177, "MSG_TRACK_RESUME", 8, OnRecordObject<ClientTrackObjectResume>),
    ExactRow(140, "MSG_WATCHED_OBJECT", 8, OnRecordObject<TvWaitForWatchedObject>),
    ExactRow(188, "MSG_DOOR_OPEN", 8, OnDoor<TvDoorOpenCollision>),
    ExactRow(189, "MSG_DOOR_CLOSE", 8, OnDoor<TvDoorCloseCollision>),
    ExactRow(182, "MSG_FOG_REVEAL", 24, HandleFogReveal),
    ExactRow(183, "MSG_DEFOGGER_ON", 8, OnRecordObject<SetDefogger>),
    ExactRow(184, "MSG_DEFOGGER_OFF", 8, OnRecordObject<ClearDefogger>),
    ExactRow(194, "MSG_AIRSTRIKE", 28, HandleAirstrike),
};
const size_t kWorldMessageRowCount = std::size(kWorldMessageRows);
