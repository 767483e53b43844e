#include "Tv/sim/actor_image.h"

#include <cstring>
#include <span>
#include <type_traits>

#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_creature.h"
#include "Tv/sim/server_node.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_president.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/server_unit.h"
#include "core/bytes.h"
#include "core/vector_bytes.h"

namespace {

// Sizes of the classes whose headers name none (GetSize answers them).
constexpr int32_t kObjectRecordSize = 288;
constexpr int32_t kBlockerRecordSize = 304;
constexpr int32_t kTrackObjectRecordSize = 440;

constexpr int32_t kLastAiCore = 20; // the turret's

// ---- One value at an image offset, little-endian through the byte writer and reader ----

void Put(ByteWriter& out, uint8_t v) { out.U8(v); }
void Put(ByteWriter& out, int32_t v) { out.I32(v); }
void Put(ByteWriter& out, uint32_t v) { out.U32(v); }
void Put(ByteWriter& out, float v) { out.F32(v); }
void Put(ByteWriter& out, uint64_t v) { out.U64(v); }
void Put(ByteWriter& out, const Vector3& v) { WriteVector3(out, v); }
void Put(ByteWriter& out, const Quaternion& q) {
    out.F32(q.x);
    out.F32(q.y);
    out.F32(q.z);
    out.F32(q.w);
}
// The union's four words are kept bit for bit, whichever mode they serve.
void Put(ByteWriter& out, const SlerpRecord& r) {
    uint32_t words[4];
    std::memcpy(words, &r, sizeof words);
    for (uint32_t word : words) out.U32(word);
    out.U32(r.mode);
}
template <size_t N>
void Put(ByteWriter& out, const Vector3 (&points)[N]) {
    for (const Vector3& point : points) WriteVector3(out, point);
}

void Take(ByteReader& in, uint8_t& v) { in.U8(v); }
void Take(ByteReader& in, int32_t& v) { in.I32(v); }
void Take(ByteReader& in, uint32_t& v) { in.U32(v); }
void Take(ByteReader& in, float& v) { in.F32(v); }
void Take(ByteReader& in, uint64_t& v) { in.U64(v); }
void Take(ByteReader& in, Vector3& v) { v = ReadVector3(in); }
void Take(ByteReader& in, Quaternion& q) { ReadQuaternion(in, q); }
void Take(ByteReader& in, SlerpRecord& r) {
    uint32_t words[4];
    for (uint32_t& word : words) in.U32(word);
    std::memcpy(&r, words, sizeof words);
    in.U32(r.mode);
}
template <size_t N>
void Take(ByteReader& in, Vector3 (&points)[N]) {
    for (Vector3& point : points) point = ReadVector3(in);
}

template <class T>
void PutAt(uint8_t* at, const T& value) {
    ByteWriter out;
    Put(out, value);
    std::memcpy(at, out.bytes().data(), out.size());
}

// The tables keep every field inside the image, so the reader never runs short.
template <class T>
T TakeAt(const uint8_t* at) {
    ByteReader in(at, kActorImageMaxSize);
    T value;
    Take(in, value);
    return value;
}

// ---- Offset tables ----

// One field of an image. `take` is null for a field the loader gives to the
// constructor instead; `inRange` is null for a field any value may take.
struct ImageField {
    int32_t offset;
    void (*put)(const ServerObject& actor, uint8_t* at);
    void (*take)(ServerObject& actor, const uint8_t* at);
    bool (*inRange)(const uint8_t* at);
};

// A class's fields: its base's, then its own.
struct ImageTable {
    const ImageTable* base;
    std::span<const ImageField> own;
};

template <class>
struct MemberTraits;
template <class C, class T>
struct MemberTraits<T C::*> {
    using Class = C;
};

// A field the loader restores; the actor is of the member's class whenever its table is used.
template <auto member>
constexpr ImageField Restored(int32_t offset) {
    using C = typename MemberTraits<decltype(member)>::Class;
    return {offset, [](const ServerObject& actor, uint8_t* at) { PutAt(at, static_cast<const C&>(actor).*member); },
            [](ServerObject& actor, const uint8_t* at) {
                ByteReader in(at, kActorImageMaxSize);
                Take(in, static_cast<C&>(actor).*member);
            },
            nullptr};
}

// A field the image carries that the loader does not copy back: the constructor is given it, or the built actor
// knows it better.
template <auto member>
constexpr ImageField WrittenOnly(int32_t offset) {
    ImageField field = Restored<member>(offset);
    field.take = nullptr;
    return field;
}

// An int32 field that must lie in lo..hi.
template <int32_t lo, int32_t hi>
constexpr ImageField InRange(ImageField field) {
    field.inRange = [](const uint8_t* at) {
        const int32_t v = TakeAt<int32_t>(at);
        return v >= lo && v <= hi;
    };
    return field;
}

constexpr ImageField kObjectFields[] = {
    Restored<&ServerObject::StunStart>(32),
    Restored<&ServerObject::StunEnd>(36),
    Restored<&ServerObject::ConvertStart>(40),
    Restored<&ServerObject::ConvertEnd>(44),
    Restored<&ServerObject::TargetId>(68),
    InRange<0, kLastAiCore>(Restored<&ServerObject::AiCore>(80)),
    Restored<&ServerObject::AiActivity>(84),
    Restored<&ServerObject::AiWakeTime>(88),
    Restored<&ServerObject::AiAggression>(96),
    Restored<&ServerObject::InvestigatePoint>(100),
    Restored<&ServerObject::WithheldShots>(116),
    Restored<&ServerObject::HasNoisePoint>(120),
    Restored<&ServerObject::AiFlags>(124),
    Restored<&ServerObject::AlarmState>(128),
    Restored<&ServerObject::LastSeconds>(136),
    Restored<&ServerObject::AiTimer>(144),
    Restored<&ServerObject::KeepModelInWorld>(156),
    // Given to the constructor and restored after it: a class that moves its
    // actor on construction (the tumbleweed's raise) must not move it again.
    Restored<&ServerObject::Position>(kImagePosition),
    Restored<&ServerObject::Orientation>(kImageOrientation),
    InRange<0, kTeamActorListCount - 1>(WrittenOnly<&ServerObject::Team>(kImageTeam)),
    Restored<&ServerObject::StateTicks>(200),
    Restored<&ServerObject::ThinkTicks>(208),
    Restored<&ServerObject::StateSeconds>(216),
    Restored<&ServerObject::BroadcastSeconds>(220),
    Restored<&ServerObject::Size>(228),
    Restored<&ServerObject::Armour>(240),
    Restored<&ServerObject::Strength>(244),
    Restored<&ServerObject::StateChanged>(268),
    Restored<&ServerObject::Radius>(272),
    // Whether the model stands in the collision world is the built actor's
    // fact: a restored flag that disagreed would leave a model behind or
    // remove one that was never added.
    WrittenOnly<&ServerObject::InCollisionWorld>(276),
    Restored<&ServerObject::Dead>(277),
    Restored<&ServerObject::SavedByte1>(278),
    Restored<&ServerObject::SavedByte2>(279),
};
constexpr ImageTable kObjectTable{nullptr, kObjectFields};

constexpr ImageField kUnitFields[] = {
    Restored<&ServerUnit::OrdersCancelled>(316),
    Restored<&ServerUnit::DisguiseStart>(328),
    Restored<&ServerUnit::DisguiseEnd>(332),
    Restored<&ServerUnit::DisguiseId>(336),
    Restored<&ServerUnit::CloakActive>(340),
    Restored<&ServerUnit::CloakStart>(344),
    Restored<&ServerUnit::CloakEnd>(348),
    Restored<&ServerUnit::Concealed>(390),
    Restored<&ServerUnit::Crouched>(391),
    Restored<&ServerUnit::Disabled>(401),
    Restored<&ServerUnit::StandingMode>(428),
    Restored<&ServerUnit::CpuControlled>(432),
    // Applied through SetPathState, which keeps the path request list in step.
    InRange<PS_NONE, PS_RECALCULATE_PART_OR_GIVE_UP>(
        {444,
         [](const ServerObject& actor, uint8_t* at) {
             PutAt(at, static_cast<int32_t>(static_cast<const ServerUnit&>(actor).PathState));
         },
         [](ServerObject& actor, const uint8_t* at) {
             static_cast<ServerUnit&>(actor).SetPathState(static_cast<PathState>(TakeAt<int32_t>(at)));
         },
         nullptr}),
    Restored<&ServerUnit::CentreOffset>(464),
};
constexpr ImageTable kUnitTable{&kObjectTable, kUnitFields};

constexpr ImageField kBotFields[] = {
    Restored<&ServerBot::NextShotTime>(584),
    Restored<&ServerBot::HoldFire>(609),
    Restored<&ServerBot::AttackCommandTime>(656),
    Restored<&ServerBot::Fleeing>(660),
    Restored<&ServerBot::Shield>(720),
    Restored<&ServerBot::Attacking>(724),
    Restored<&ServerBot::TargetPoint>(732),
    Restored<&ServerBot::YawAimed>(745),
    Restored<&ServerBot::PitchAimed>(746),
    Restored<&ServerBot::ShotSpeed>(748),
    Restored<&ServerBot::TargetHeading>(752),
    Restored<&ServerBot::Elevation>(756),
    Restored<&ServerBot::LastAttackChange>(760),
    Restored<&ServerBot::MagazineCount>(772),
};
constexpr ImageTable kBotTable{&kUnitTable, kBotFields};

constexpr ImageField kProjectileFields[] = {
    WrittenOnly<&ServerProjectile::Origin>(kImageOrigin),
    WrittenOnly<&ServerProjectile::ShooterId>(kImageShooterId),
    Restored<&ServerProjectile::DamageMultiplier>(304),
    Restored<&ServerProjectile::Velocity>(312),
    Restored<&ServerProjectile::LaunchSeconds>(324),
    Restored<&ServerProjectile::LaunchTicks>(328),
    WrittenOnly<&ServerProjectile::DamageKind>(kImageDamageKind),
};
constexpr ImageTable kProjectileTable{&kObjectTable, kProjectileFields};

// A text's word says only whether the record carries it.
template <OwnedText ServerPickup::*text>
constexpr ImageField TextPresence(int32_t offset) {
    return {offset,
            [](const ServerObject& actor, uint8_t* at) {
                PutAt(at, static_cast<int32_t>(!(static_cast<const ServerPickup&>(actor).*text).IsNone()));
            },
            nullptr, nullptr};
}

constexpr ImageField kPickupFields[] = {
    Restored<&ServerPickup::Taken>(288),
    Restored<&ServerPickup::HeapClass>(296),
    Restored<&ServerPickup::DestroyAfterCollection>(300),
    Restored<&ServerPickup::ItemCount>(304),
    TextPresence<&ServerPickup::Script>(kImagePickupScript),
    TextPresence<&ServerPickup::KeyName>(kImagePickupKey),
    Restored<&ServerPickup::ScriptOnce>(316),
    Restored<&ServerPickup::HasScript>(328),
};
constexpr ImageTable kPickupTable{&kObjectTable, kPickupFields};

constexpr ImageField kTrackFields[] = {
    Restored<&ServerTrackObject::CarriesRiders>(288),
    Restored<&ServerTrackObject::TrackSet>(289),
    Restored<&ServerTrackObject::Running>(290),
    Restored<&ServerTrackObject::Reversed>(291),
    Restored<&ServerTrackObject::Looping>(292),
    Restored<&ServerTrackObject::LoopTicks>(296),
    // The speed is kept above 0 (a run divides by it).
    {300,
     [](const ServerObject& actor, uint8_t* at) {
         PutAt(at, static_cast<const ServerTrackObject&>(actor).GetTrackSpeed());
     },
     [](ServerObject& actor, const uint8_t* at) {
         static_cast<ServerTrackObject&>(actor).SetTrackSpeed(TakeAt<Real>(at));
     },
     [](const uint8_t* at) { return TakeAt<Real>(at) > 0.0f; }},
    Restored<&ServerTrackObject::Curve>(308),
    Restored<&ServerTrackObject::TurnInterpolation>(356),
    Restored<&ServerTrackObject::StartOrientation>(376),
    Restored<&ServerTrackObject::EndOrientation>(392),
    Restored<&ServerTrackObject::RunStart>(408),
    Restored<&ServerTrackObject::PauseTime>(416),
};
constexpr ImageTable kTrackTable{&kObjectTable, kTrackFields};

constexpr ImageField kPopupFields[] = {
    Restored<&ServerPopup::Raised>(776),
    Restored<&ServerPopup::Rising>(777),
};
constexpr ImageTable kPopupTable{&kBotTable, kPopupFields};

constexpr ImageField kTurretFields[] = {
    Restored<&ServerTurret::LosTesting>(784),
    Restored<&ServerTurret::TurretAiTime>(792),
};
constexpr ImageTable kTurretTable{&kPopupTable, kTurretFields};

// ---- Classes ----

constexpr uint32_t Tag(const char (&letters)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(letters[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(letters[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(letters[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(letters[3])) << 24;
}

struct ImageClass {
    uint32_t tag;
    int32_t size;
    const ImageTable* table;
    bool (*is)(const ServerObject& actor);
};

// Most derived first: the first class whose test the actor passes is its own.
const ImageClass kClasses[] = {
    {Tag("TURT"), kTurretRecordSize, &kTurretTable, [](const ServerObject& a) { return a.IsTurret(); }},
    {Tag("POPU"), kPopupRecordSize, &kPopupTable, [](const ServerObject& a) { return a.IsPopup(); }},
    {Tag("CPED"), kCentipedeRecordSize, &kBotTable, [](const ServerObject& a) { return a.IsCentipede(); }},
    {Tag("CBDY"), kCentipedeRecordSize, &kBotTable, [](const ServerObject& a) { return a.IsCentibody(); }},
    {Tag("BOT "), kBotRecordSize, &kBotTable, [](const ServerObject& a) { return a.IsBot(); }},
    {Tag("NODE"), kNodeRecordSize, &kUnitTable, [](const ServerObject& a) { return a.IsNode(); }},
    {Tag("PRES"), kPresidentRecordSize, &kUnitTable, [](const ServerObject& a) { return a.IsPresident(); }},
    {Tag("UNIT"), kUnitRecordSize, &kUnitTable, [](const ServerObject& a) { return a.IsUnit(); }},
    {Tag("PROJ"), kProjectileRecordSize, &kProjectileTable, [](const ServerObject& a) { return a.IsProjectile(); }},
    {Tag("PICK"), kPickupRecordSize, &kPickupTable, [](const ServerObject& a) { return a.IsPickup(); }},
    {Tag("TRAK"), kTrackObjectRecordSize, &kTrackTable, [](const ServerObject& a) { return a.IsTrackObject(); }},
    {Tag("BLKR"), kBlockerRecordSize, &kObjectTable, [](const ServerObject& a) { return a.IsBlocker(); }},
    {Tag("TMBL"), kObjectRecordSize, &kObjectTable, [](const ServerObject& a) { return a.IsTumbleweed(); }},
    {Tag("FLYC"), kObjectRecordSize, &kObjectTable, [](const ServerObject& a) { return a.IsFlyingCreature(); }},
    {Tag("BGCR"), kObjectRecordSize, &kObjectTable, [](const ServerObject& a) { return a.IsBackgroundCreature(); }},
    {Tag("OBJT"), kObjectRecordSize, &kObjectTable, [](const ServerObject&) { return true; }},
};

const ImageClass& ClassOf(const ServerObject& actor) {
    for (const ImageClass& c : kClasses)
        if (c.is(actor)) return c;
    return kClasses[std::size(kClasses) - 1];
}

const ImageClass* ClassOfTag(uint32_t tag) {
    for (const ImageClass& c : kClasses)
        if (c.tag == tag) return &c;
    return nullptr;
}

// Every field of the table, the base's first.
template <class F>
void ForEachField(const ImageTable* table, F f) {
    if (!table) return;
    ForEachField(table->base, f);
    for (const ImageField& field : table->own) f(field);
}

} // namespace

uint32_t ActorImage::Word(int32_t offset) const { return TakeAt<uint32_t>(&Bytes[size_t(offset)]); }

Vector3 ActorImage::VectorAt(int32_t offset) const { return TakeAt<Vector3>(&Bytes[size_t(offset)]); }

Quaternion ActorImage::QuaternionAt(int32_t offset) const { return TakeAt<Quaternion>(&Bytes[size_t(offset)]); }

uint32_t ActorTagOf(const ServerObject& actor) { return ClassOf(actor).tag; }

int32_t ImageSizeOfTag(uint32_t tag) {
    const ImageClass* c = ClassOfTag(tag);
    return c ? c->size : 0;
}

bool IsProjectileTag(uint32_t tag) { return tag == Tag("PROJ"); }

void WriteActorImage(const ServerObject& actor, ActorImage& image) {
    const ImageClass& c = ClassOf(actor);
    image.Size = c.size;
    image.Bytes.fill(0);
    PutAt(image.Bytes.data(), c.tag);
    ForEachField(c.table, [&](const ImageField& field) { field.put(actor, &image.Bytes[size_t(field.offset)]); });
}

bool ActorImageValid(const ActorImage& image) {
    if (image.Size < 4 || image.Size > kActorImageMaxSize) return false;
    const ImageClass* c = ClassOfTag(image.Tag());
    if (!c || c->size != image.Size) return false;
    bool valid = true;
    ForEachField(c->table, [&](const ImageField& field) {
        if (field.inRange && !field.inRange(&image.Bytes[size_t(field.offset)])) valid = false;
    });
    return valid;
}

void RestoreActorImage(ServerObject& actor, const ActorImage& image) {
    const ImageClass& c = ClassOf(actor);
    ForEachField(c.table, [&](const ImageField& field) {
        if (field.take) field.take(actor, &image.Bytes[size_t(field.offset)]);
    });
}
