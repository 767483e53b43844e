#include "Tv/server/client_record_objects.h"

#include "Tv/client/client_sounds.h"
#include "Tv/client/teamtable.h"
#include "core/clock.h"
#include "core/hashtable.h"
#include "core/numeric.h"

const char* const kNotFinite = "value not finite";
const char* const kIdInUse = "object id already in use";

ClientObject* ReadRecordObject(ByteReader& in) { return TvFindClientObject(in.I32()); }

bool ReadMotionState(ByteReader& in, ClientMotionState& state) {
    state.Pose.Seconds = in.F32();
    state.Pose.Position = ReadPosition(in);
    state.Pose.Orientation = ReadOrientation(in);
    for (Real& value : state.Motion) value = in.F32();
    state.Animation = in.I32() & 0xFFFFFF;
    bool finite = IsFiniteValue(state.Pose.Seconds) && IsFiniteVector(state.Pose.Position) &&
                  IsFiniteQuaternion(state.Pose.Orientation);
    for (Real value : state.Motion) finite = finite && IsFiniteValue(value);
    return finite;
}

bool ReadColour(ByteReader& in, Colour& colour) {
    colour.Packed = in.U32();
    colour.Red = in.F32();
    colour.Green = in.F32();
    colour.Blue = in.F32();
    colour.Alpha = in.F32();
    colour.Flags = in.U32() & (Colour::kPackedValid | Colour::kFloatsValid);
    return IsFiniteValue(colour.Red) && IsFiniteValue(colour.Green) && IsFiniteValue(colour.Blue) &&
           IsFiniteValue(colour.Alpha);
}

bool DefinitionNamed(const ObjectDefinition* definition, const char* name) {
    return definition && !definition->name.IsNone() && NameEquals(definition->name.Get(), name);
}

bool IsCutsceneHeld(const ClientObject* object) { return object->ShownInCutscene != 0; }

bool IsObjectTeam(int32_t team) { return team >= 0 && team < kMaxTeams; }

bool IsFreeObjectId(int32_t id) { return TvFindClientObject(id) == nullptr; }

uint64_t GameSecondsToTicks(Real seconds) {
    const int64_t ticks = FloorToInt64(static_cast<double>(seconds) * CurrentTicksPerSecondFloat());
    return ticks > 0 ? static_cast<uint64_t>(ticks) : 0;
}

Real ClampToGameNow(Real seconds) {
    const Real now = GameClock.GetSeconds();
    return seconds > now ? now : seconds;
}

void PlayObjectSound(int32_t sample, const ClientObject* object) {
    if (object->Model)
        TvPlaySound(sample, "t", object->Model);
    else
        TvPlaySound(sample, "");
}

void PlaySoundAtPoint(int32_t sample, const Vector3& point) {
    const float at[3] = {point.x, point.y, point.z};
    TvPlaySound(sample, "d", at);
}
