#pragma once
// What the handlers of the object, combat, appearance and item records share:
// the object a record names, the motion state and colour fields, the checks
// of teams, new ids and finite values, game clock times, the sounds they
// play, and the handler of the records that only name an object.

#include <cstddef>
#include <cstdint>

#include "Tv/client/client_class_calls.h"
#include "Tv/server/server_message_fields.h"

// The object whose id is read at the reader's position; null when it is absent.
ClientObject* ReadRecordObject(ByteReader& in);

// A 48-byte motion state; false when one of its floats is not finite.
bool ReadMotionState(ByteReader& in, ClientMotionState& state);

// A 24-byte colour (packed value, four floats, form flags); false when a float is not finite.
bool ReadColour(ByteReader& in, Colour& colour);

// The definition's name is `name`, without regard to case.
bool DefinitionNamed(const ObjectDefinition* definition, const char* name);

// A cutscene controls the object: the messages that would move it are ignored.
bool IsCutsceneHeld(const ClientObject* object);

// A team an object may belong to (0 .. kMaxTeams - 1).
bool IsObjectTeam(int32_t team);

// An id the server gives a new object is free on this client.
bool IsFreeObjectId(int32_t id);

// A GameClock time in seconds as ticks of the calling thread's clock.
uint64_t GameSecondsToTicks(Real seconds);

// A GameClock time no later than now (later times count as now).
Real ClampToGameNow(Real seconds);

// Sounds: following the object's 3D object ("t"; plain without one), and fixed at a point ("d").
void PlayObjectSound(int32_t sample, const ClientObject* object);
void PlaySoundAtPoint(int32_t sample, const Vector3& point);

// Reasons for a dropped record.
extern const char* const kNotFinite;
extern const char* const kIdInUse;

// Handlers of the records that name an object and give it what follows the
// id: nothing, one int, or `count` floats (which must be finite). `apply`
// runs when the object exists.
template <void (*apply)(ClientObject*)> const char* OnRecordObject(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    if (ClientObject* object = ReadRecordObject(in)) apply(object);
    return nullptr;
}

template <void (*apply)(ClientObject*, int32_t)> const char* OnRecordObjectInt(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t value = in.I32();
    if (object) apply(object, value);
    return nullptr;
}

template <int count, void (*apply)(ClientObject*, const Real*)>
const char* OnRecordObjectFloats(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    Real values[count];
    for (Real& value : values) {
        value = in.F32();
        if (!IsFiniteValue(value)) return kNotFinite;
    }
    if (object) apply(object, values);
    return nullptr;
}
