// Saving actors: every class's image size and tag, each family's entry byte
// for byte (image fields at their offsets, zeros elsewhere, ids, state
// record), and the record's small cases. Test thread, server lock not needed
// (no server thread runs).
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_image.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/vulnerability.h"
#include "Tv/world/collision_polygon.h"
#include "core/bytes.h"
#include "core/vector_bytes.h"
#include "tests/tv/sim_actor_save_fixture.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

// An image as the test expects it: zeros, with values placed at offsets.
class ExpectedImage {
public:
    explicit ExpectedImage(int32_t size) : bytes_(static_cast<size_t>(size), 0) {}

    template <class T>
    ExpectedImage& At(size_t offset, const T& value) {
        ByteWriter out;
        Write(out, value);
        std::memcpy(&bytes_[offset], out.bytes().data(), out.size());
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    static void Write(ByteWriter& out, uint8_t v) { out.U8(v); }
    static void Write(ByteWriter& out, int32_t v) { out.I32(v); }
    static void Write(ByteWriter& out, uint32_t v) { out.U32(v); }
    static void Write(ByteWriter& out, float v) { out.F32(v); }
    static void Write(ByteWriter& out, uint64_t v) { out.U64(v); }
    static void Write(ByteWriter& out, const Vector3& v) { WriteVector3(out, v); }
    static void Write(ByteWriter& out, const Quaternion& q) {
        for (float f : {q.x, q.y, q.z, q.w}) out.F32(f);
    }
    static void Write(ByteWriter& out, const char (&tag)[5]) { out.Bytes(tag, 4); }

    std::vector<uint8_t> bytes_;
};

// The fields every image carries, at the offsets the file format fixes.
void PlaceObjectFields(ExpectedImage& image, const ServerObject& a) {
    image.At(32, a.StunStart).At(36, a.StunEnd).At(40, a.ConvertStart).At(44, a.ConvertEnd);
    image.At(68, a.TargetId).At(80, a.AiCore).At(84, a.AiActivity).At(88, a.AiWakeTime).At(96, a.AiAggression);
    image.At(100, a.InvestigatePoint).At(116, a.WithheldShots).At(120, a.HasNoisePoint).At(124, a.AiFlags);
    image.At(128, a.AlarmState).At(136, a.LastSeconds).At(144, a.AiTimer).At(156, a.KeepModelInWorld);
    image.At(160, a.Position).At(172, a.Orientation).At(188, a.Team);
    image.At(200, a.StateTicks).At(208, a.ThinkTicks).At(216, a.StateSeconds).At(220, a.BroadcastSeconds);
    image.At(228, a.Size).At(240, a.Armour).At(244, a.Strength).At(268, a.StateChanged).At(272, a.Radius);
    image.At(276, a.InCollisionWorld).At(277, a.Dead).At(278, a.SavedByte1).At(279, a.SavedByte2);
}

void PlaceUnitFields(ExpectedImage& image, const ServerUnit& u) {
    PlaceObjectFields(image, u);
    image.At(316, u.OrdersCancelled).At(328, u.DisguiseStart).At(332, u.DisguiseEnd).At(336, u.DisguiseId);
    image.At(340, u.CloakActive).At(344, u.CloakStart).At(348, u.CloakEnd).At(390, u.Concealed);
    image.At(391, u.Crouched).At(401, u.Disabled).At(428, u.StandingMode).At(432, u.CpuControlled);
    image.At(444, static_cast<int32_t>(u.PathState)).At(464, u.CentreOffset);
}

void PlaceBotFields(ExpectedImage& image, const ServerBot& b) {
    PlaceUnitFields(image, b);
    image.At(584, b.NextShotTime).At(609, b.HoldFire).At(656, b.AttackCommandTime).At(660, b.Fleeing);
    image.At(720, b.Shield).At(724, b.Attacking).At(732, b.TargetPoint).At(745, b.YawAimed).At(746, b.PitchAimed);
    image.At(748, b.ShotSpeed).At(752, b.TargetHeading).At(756, b.Elevation).At(760, b.LastAttackChange);
    image.At(772, b.MagazineCount);
}

void WriteUnitRecordWithoutLists(ByteWriter& out, const ServerUnit& u) {
    for (int i = 0; i < 5; ++i) out.U32(0); // equipment, orders, goal, waypoints, stored waypoints
    out.I32(u.AimModuleCount);
    out.I32(u.SightBonusCount);
    out.F32(u.SightRange);
    out.F32(u.FirstPersonRange);
}

// The entry the block must start with: header, image, ids, record.
std::vector<uint8_t> Entry(const ServerObject& actor, const ExpectedImage& image, bool projectile,
                           const ByteWriter& record) {
    ByteWriter out;
    out.I32(static_cast<int32_t>(image.bytes().size()));
    out.U32(projectile ? 1 : 0);
    out.Bytes(image.bytes().data(), image.bytes().size());
    out.I32(actor.Definition->id);
    out.I32(actor.Id);
    out.Bytes(record.bytes().data(), record.size());
    return out.bytes();
}

// The block's first entry, as long as the expected one.
void ExpectFirstEntry(const std::vector<uint8_t>& block, const std::vector<uint8_t>& expected) {
    ASSERT_GE(block.size(), kBlockHeaderBytes + expected.size());
    const std::vector<uint8_t> first(block.begin() + kBlockHeaderBytes,
                                     block.begin() + static_cast<long>(kBlockHeaderBytes + expected.size()));
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(first[i], expected[i]) << "entry byte " << i << " (image byte " << int64_t(i) - 8 << ")";
}

using ActorSaveImage = ActorSaveTest;
using ActorSaveEntry = ActorSaveTest;
using ActorSaveRecord = ActorSaveTest;

TEST_F(ActorSaveImage, EveryClassWritesItsOwnSizeAndATagThatNamesIt) {
    struct Case {
        const char* name;
        int32_t aiCore;
        int32_t weapon; // -1: no character
        int32_t size;
    };
    const Case cases[] = {
        {"object", 1, -1, 288},  {"unit", 1, 33, 560},       {"bot", 0, 1, 776},        {"blocker", 5, -1, 304},
        {"track", 8, -1, 440},   {"tumbleweed", 9, -1, 288}, {"pickup", 10, 33, 336},   {"creature", 11, -1, 288},
        {"flying", 12, -1, 288}, {"centipede", 13, 1, 784},  {"centibody", 14, 1, 784}, {"node", 15, 33, 632},
        {"popup", 18, 1, 784},   {"president", 19, 33, 576}, {"turret", 20, 1, 800},
    };
    std::set<uint32_t> tags;
    auto check = [&](const char* name, ServerObject* actor, int32_t size) {
        ASSERT_NE(actor, nullptr) << name;
        EXPECT_EQ(actor->GetSize(), size) << name;
        ActorImage image;
        WriteActorImage(*actor, image);
        EXPECT_EQ(image.Size, size) << name;
        EXPECT_EQ(ImageSizeOfTag(image.Tag()), size) << name;
        EXPECT_TRUE(ActorImageValid(image)) << name;
        EXPECT_TRUE(tags.insert(image.Tag()).second) << name << ": its tag names another class too";
    };
    for (const Case& c : cases) {
        ObjectDefinition* definition = MakeDefinition(c.name, c.aiCore, c.weapon >= 0);
        if (c.weapon >= 0) definition->character->weapon = c.weapon;
        check(c.name, TvFindActor(TvCreateServerActor(2, definition, {1, 0, 1}, kIdentity)), c.size);
    }
    check("projectile", new ServerProjectile(2, bolt, {1, 0, 1}, kIdentity, 0, -1, -1, 0, TvNextActorId()), 376);
    EXPECT_EQ(ImageSizeOfTag(0), 0);
}

TEST_F(ActorSaveEntry, AUnitWritesItsFieldsListsAndReferences) {
    ServerUnit* unit = SavedUnit();
    ExpectedImage image(560);
    image.At(0, "UNIT");
    PlaceUnitFields(image, *unit);
    ByteWriter record;
    record.I32(heap->id + 1);
    record.I32(unit->AiTarget->Id + 1);
    record.U32(2);
    // Role, projectile flag and id, delay, duration, script "x", effect, owned.
    record.I32(role->id), record.U8(1), record.I32(bolt->id), record.I32(2), record.I32(-1);
    record.I32(1), record.U8('x'), record.I32(kVulnerabilityScript), record.U8(1);
    // No projectile, no script: -1 and no bytes.
    record.I32(role->id), record.U8(0), record.I32(5), record.I32(-1), record.I32(-1);
    record.I32(kVulnerabilityShutdown), record.U8(1);
    record.U32(1), record.I32(wornItem->ItemId), record.I32(2);
    record.U32(2);
    // The move order: 40 bytes with the pointer word 0, then its polygon's index.
    record.I32(kOrderMove), record.I32(9), record.I32(0), record.I32(0), WriteVector3(record, {1, 0, 1});
    record.U32(0), record.I32(0), record.I32(3), record.U32(5);
    record.I32(kOrderHold), record.I32(-1), record.I32(0), record.I32(0), WriteVector3(record, {2, 0, 2});
    record.U32(0), record.I32(0), record.I32(0);
    record.U32(7 + 1);
    record.U32(2);
    WriteVector3(record, {1, 0, 3}), record.I32(0), record.I32(0), record.I32(0);
    WriteVector3(record, {5, 0, 3}), record.I32(1), record.I32(6), record.I32(0);
    record.U32(1);
    WriteVector3(record, {5, 0, 5}), record.I32(1), record.I32(2), record.I32(0);
    record.I32(2), record.I32(1), record.F32(12.5f), record.F32(30);
    ExpectFirstEntry(SaveBlock(), Entry(*unit, image, false, record));
}

TEST_F(ActorSaveEntry, ABotWritesItsWeaponTypePlusOneAmmunitionItemAndFireTarget) {
    ServerBot* bot = SavedBot();
    ExpectedImage image(776);
    image.At(0, "BOT ");
    PlaceBotFields(image, *bot);
    ByteWriter record;
    record.I32(0), record.I32(0), record.U32(0);
    WriteUnitRecordWithoutLists(record, *bot);
    record.I32(1 + 1), record.I32(5), record.I32(ammoStack->ItemId + 1), record.I32(bot->FireTarget->Id + 1);
    ExpectFirstEntry(SaveBlock(), Entry(*bot, image, false, record));
}

TEST_F(ActorSaveEntry, AProjectileWritesItsFlagLaunchFieldsAndTarget) {
    ServerProjectile* shot = SavedProjectile();
    ExpectedImage image(376);
    image.At(0, "PROJ");
    PlaceObjectFields(image, *shot);
    image.At(288, Vector3{1, -2, 3}).At(300, 7).At(304, 1.5f).At(312, Vector3{0, -1, 5}).At(324, 9.5f);
    image.At(328, uint64_t{0x5152535455565758ull}).At(352, 3);
    ByteWriter record;
    record.I32(0), record.I32(0), record.U32(0), record.I32(shot->Target->Id + 1);
    ExpectFirstEntry(SaveBlock(), Entry(*shot, image, true, record));
}

TEST_F(ActorSaveEntry, APickupMarksItsTextsInTheImageAndWritesThemWithTheirZeros) {
    ServerPickup* taken = SavedPickup();
    ExpectedImage image(336);
    image.At(0, "PICK");
    PlaceObjectFields(image, *taken);
    image.At(288, uint8_t{1}).At(296, 6).At(300, uint8_t{1}).At(304, 3).At(308, 1).At(312, 1);
    image.At(316, uint8_t{1}).At(328, uint8_t{1});
    ByteWriter record;
    record.I32(0), record.I32(0),
        record.U32(0); // nothing before the class part: 12 zero bytes
    record.I32(8), record.Bytes("run.tcs", 8), record.I32(8), record.Bytes("keycard", 8);
    ExpectFirstEntry(SaveBlock(), Entry(*taken, image, false, record));

    // Without texts the words are 0 and the record ends after its first 12 bytes.
    taken->Script = OwnedText();
    taken->KeyName = OwnedText();
    image.At(308, 0).At(312, 0);
    ByteWriter bare;
    bare.I32(0), bare.I32(0), bare.U32(0);
    ExpectFirstEntry(SaveBlock(), Entry(*taken, image, false, bare));
}

TEST_F(ActorSaveEntry, ATrackObjectWritesItsRunTurnAndRiders) {
    ServerTrackObject* track = SavedTrack();
    ExpectedImage image(440);
    image.At(0, "TRAK");
    PlaceObjectFields(image, *track);
    image.At(288, uint8_t{1}).At(289, uint8_t{1}).At(290, uint8_t{1}).At(291, uint8_t{1}).At(292, uint8_t{1});
    image.At(296, 500).At(300, 0.25f);
    for (int i = 0; i < 4; ++i) image.At(308 + 12 * size_t(i), track->Curve[i]);
    // The 20-byte turn record: its four words as they lie, then the mode.
    uint32_t words[4];
    std::memcpy(words, &track->TurnInterpolation, sizeof words);
    for (int i = 0; i < 4; ++i) image.At(356 + 4 * size_t(i), words[i]);
    image.At(372, track->TurnInterpolation.mode);
    image.At(376, track->StartOrientation).At(392, track->EndOrientation);
    image.At(408, uint64_t{0x6162636465666768ull}).At(416, uint64_t{99});
    ByteWriter record;
    record.I32(0), record.I32(0), record.U32(0), record.U32(1), record.I32(track->Riders.Front()->Id);
    ExpectFirstEntry(SaveBlock(), Entry(*track, image, false, record));
}

TEST_F(ActorSaveEntry, ATurretWritesTheBotPartsAndItsOwnFields) {
    ServerTurret* emplacement = SavedTurret();
    ExpectedImage image(800);
    image.At(0, "TURT");
    PlaceBotFields(image, *emplacement);
    image.At(776, uint8_t{1}).At(777, uint8_t{0}).At(784, uint8_t{1}).At(792, uint64_t{0x7172737475767778ull});
    ByteWriter record;
    record.I32(0), record.I32(0), record.U32(0);
    WriteUnitRecordWithoutLists(record, *emplacement);
    record.I32(1 + 1), record.I32(emplacement->Weapon->AmmoType), record.I32(0), record.I32(0);
    ExpectFirstEntry(SaveBlock(), Entry(*emplacement, image, false, record));
}

TEST_F(ActorSaveRecord, APlainActorWritesThreeZeroWordsAndTheBlockCountsEveryActor) {
    ServerObject* plain = Crate(2, {1, 0, 1});
    ByteWriter record;
    ASSERT_TRUE(TvWriteActorState(record, *plain));
    EXPECT_EQ(record.bytes(), std::vector<uint8_t>(12, 0));

    Crate(3, {2, 0, 2});
    const std::vector<uint8_t> block = SaveBlock();
    ByteReader in(block.data(), block.size());
    EXPECT_EQ(in.I32(), ActorIdCounter);
    EXPECT_EQ(in.U32(), 2u);
    EXPECT_EQ(block.size(), kBlockHeaderBytes + 2 * (kEntryHeaderBytes + 288 + kEntryIdBytes + 12));
}

TEST_F(ActorSaveRecord, CentipedeSegmentsWriteTheNextSegmentAfterTheBotPart) {
    ObjectDefinition* body = MakeDefinition("centibody", 14, true, false, true);
    body->character->weapon = 33;
    ObjectDefinition* head = MakeDefinition("centipede", 13, true, false, true);
    head->character->weapon = 33;
    auto* first = static_cast<ServerCentipede*>(MakeUnit(2, {8, 0, 8}, head));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->NextSegment, nullptr); // its start spawned the body
    for (ServerCentibody* segment = first; segment; segment = segment->NextSegment) {
        ByteWriter record;
        ASSERT_TRUE(TvWriteActorState(record, *segment));
        ByteReader tail(record.bytes().data() + record.size() - 4, 4);
        EXPECT_EQ(tail.I32(), segment->NextSegment ? segment->NextSegment->Id + 1 : 0);
    }
}

} // namespace
