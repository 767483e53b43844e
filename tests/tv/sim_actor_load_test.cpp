// Loading actors: each family comes back under its id with its image and its
// record's lists and saved ids; polygons and roles the level no longer has
// give none; and every entry the loader cannot trust (lengths, counts, enum
// values, ids, sizes, tags, a cut-short block) fails the load and leaves no
// actor behind. Test thread only, holding the server lock as the loader does
// (no server thread runs).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_image.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/unit_records.h"
#include "Tv/sim/vulnerability.h"
#include "core/bytes.h"
#include "tests/tv/sim_actor_save_fixture.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

// Offsets in SavedUnit's record: the script "x" entry's role, the move
// order's type, its polygon index and the goal polygon.
constexpr size_t kUnitRecord = FirstRecordAt(560);
constexpr size_t kUnitScriptedRole = kUnitRecord + 12;
constexpr size_t kUnitScriptLength = kUnitRecord + 29;
constexpr size_t kUnitVulnerabilityCount = kUnitRecord + 8;
constexpr size_t kUnitEffect = kUnitRecord + 34;
constexpr size_t kUnitEquipmentCount = kUnitRecord + 61;
constexpr size_t kUnitSlot = kUnitRecord + 69;
constexpr size_t kUnitOrderCount = kUnitRecord + 73;
constexpr size_t kUnitOrderType = kUnitRecord + 77;
constexpr size_t kUnitOrderPolygon = kUnitRecord + 117;
constexpr size_t kUnitGoal = kUnitRecord + 161;
constexpr size_t kUnitWaypointCount = kUnitRecord + 165;
// In SavedBot's record (no lists): weapon type and ammunition type.
constexpr size_t kBotWeaponType = FirstRecordAt(776) + 48;
constexpr size_t kBotAmmoType = FirstRecordAt(776) + 52;
// In SavedPickup's record: the script's length and its final zero, the key's length.
constexpr size_t kPickupScriptLength = FirstRecordAt(336) + 12;
constexpr size_t kPickupScriptZero = FirstRecordAt(336) + 23;
constexpr size_t kPickupKeyLength = FirstRecordAt(336) + 24;
// In the first entry: its image and definition id.
constexpr size_t kFirstImage = kBlockHeaderBytes + kEntryHeaderBytes;

// The list's entry at that index.
template <class T>
T Nth(const List<T>& list, int32_t index) {
    return *list.At(index);
}

std::vector<uint8_t> Patched(std::vector<uint8_t> block, size_t offset, int32_t value) {
    ByteWriter word;
    word.I32(value);
    std::memcpy(&block[offset], word.bytes().data(), 4);
    return block;
}

std::vector<uint8_t> PatchedByte(std::vector<uint8_t> block, size_t offset, uint8_t value) {
    block[offset] = value;
    return block;
}

class ActorSaveLoad : public ActorSaveTest {
protected:
    // Saves every actor, ends them all as a level's end does and starts the
    // ids again as a level load does; answers the block.
    std::vector<uint8_t> SaveAndClear() {
        std::vector<uint8_t> block = SaveBlock();
        TvReleaseAllActors();
        TvResetActorIds();
        return block;
    }

    ServerLockHold lock_;
};

using ActorSaveRejects = ActorSaveLoad;

TEST_F(ActorSaveLoad, EveryFamilyComesBackUnderItsIdWithItsImageListsAndSavedIds) {
    ServerUnit* unit = SavedUnit();
    const int32_t unitId = unit->Id, unitTargetId = unit->AiTarget->Id, wornKey = wornItem->ItemId;
    ServerBot* bot = SavedBot();
    const int32_t botId = bot->Id, fireTargetId = bot->FireTarget->Id, ammoKey = ammoStack->ItemId;
    ServerProjectile* shot = SavedProjectile();
    const int32_t shotId = shot->Id, shotTargetId = shot->Target->Id;
    const int32_t pickupId = SavedPickup()->Id;
    ServerTrackObject* track = SavedTrack();
    const int32_t trackId = track->Id, riderId = track->Riders.Front()->Id;
    const int32_t turretId = SavedTurret()->Id;
    std::map<int32_t, ActorImage> images;
    ForEachActor([&](ServerObject* actor) { WriteActorImage(*actor, images[actor->Id]); });
    const int32_t counter = ActorIdCounter;

    ASSERT_TRUE(LoadBlock(SaveAndClear()));
    EXPECT_EQ(ActorIdCounter, counter);
    EXPECT_EQ(ServerActorHash.Count(), static_cast<int32_t>(images.size()));
    for (const auto& [id, saved] : images) {
        ServerObject* actor = TvFindActor(id);
        ASSERT_NE(actor, nullptr) << id;
        EXPECT_TRUE(actor->Loaded);
        ActorImage loaded;
        WriteActorImage(*actor, loaded);
        ASSERT_EQ(loaded.Size, saved.Size) << id;
        EXPECT_EQ(0, std::memcmp(loaded.Bytes.data(), saved.Bytes.data(), size_t(saved.Size))) << id;
    }

    auto& u = static_cast<ServerUnit&>(*TvFindActor(unitId));
    EXPECT_EQ(u.SavedHeapContentsId, heap->id + 1);
    EXPECT_EQ(u.SavedAiTargetId, unitTargetId + 1);
    ASSERT_EQ(u.Vulnerabilities.Count(), 2);
    EXPECT_STREQ(Nth(u.Vulnerabilities, 0)->scriptName, "x");
    EXPECT_EQ(Nth(u.Vulnerabilities, 0)->projectile, bolt);
    EXPECT_EQ(Nth(u.Vulnerabilities, 1)->scriptName, nullptr);
    EXPECT_EQ(Nth(u.Vulnerabilities, 1)->delaySeconds, 5);
    ASSERT_EQ(u.Equipment.Count(), 1);
    EXPECT_EQ(u.Equipment.Front()->SavedItemKey, wornKey);
    EXPECT_EQ(u.Equipment.Front()->Slot, 2);
    EXPECT_EQ(u.Equipment.Front()->Item, nullptr);
    ASSERT_EQ(u.Orders.Count(), 2);
    EXPECT_EQ(Nth(u.Orders, 0)->Type, kOrderMove);
    EXPECT_EQ(Nth(u.Orders, 0)->Polygon, Polygon(5));
    EXPECT_EQ(Nth(u.Orders, 0)->GiveCount, 3);
    EXPECT_EQ(Nth(u.Orders, 1)->Type, kOrderHold);
    EXPECT_EQ(Nth(u.Orders, 1)->Polygon, nullptr);
    EXPECT_EQ(u.GoalPolygon, Polygon(7));
    ASSERT_EQ(u.Waypoints.Count(), 2);
    EXPECT_EQ(Nth(u.Waypoints, 1)->Position.x, 5);
    EXPECT_EQ(Nth(u.Waypoints, 1)->Tag, 6);
    ASSERT_EQ(u.StoredWaypoints.Count(), 1);
    EXPECT_EQ(u.StoredWaypoints.Front()->Keep, 1);
    EXPECT_TRUE(PathRequestList.Contains(&u)); // its path state was applied, not just copied
    EXPECT_EQ(u.AimModuleCount, 2);
    EXPECT_EQ(u.SightRange, 12.5f);

    auto& b = static_cast<ServerBot&>(*TvFindActor(botId));
    ASSERT_NE(b.Weapon, nullptr);
    EXPECT_EQ(b.Weapon->WeaponType, 1); // written + 1, read - 1
    EXPECT_EQ(b.Weapon->AmmoType, 5);
    EXPECT_EQ(b.SavedAmmoItemKey, ammoKey + 1);
    EXPECT_EQ(b.SavedFireTargetId, fireTargetId + 1);

    auto& p = static_cast<ServerProjectile&>(*TvFindActor(shotId));
    EXPECT_EQ(p.SavedTargetId, shotTargetId + 1);
    EXPECT_EQ(p.ShooterId, 7);
    EXPECT_EQ(p.DamageKind, 3);
    EXPECT_EQ(p.Target, nullptr);

    auto& k = static_cast<ServerPickup&>(*TvFindActor(pickupId));
    EXPECT_STREQ(k.Script.Get(), "run.tcs");
    EXPECT_STREQ(k.KeyName.Get(), "keycard");

    auto& t = static_cast<ServerTrackObject&>(*TvFindActor(trackId));
    ASSERT_EQ(t.SavedRiderIds.Count(), 1);
    EXPECT_EQ(t.SavedRiderIds.Front(), riderId);
    EXPECT_TRUE(t.Riders.IsEmpty());
    EXPECT_TRUE(TrackObjectList.Contains(&t));

    EXPECT_TRUE(TvFindActor(turretId)->IsTurret());

    // Starting the loaded actors keeps the bot's restored ammunition and magazine.
    TvStartAllActors();
    EXPECT_EQ(b.Weapon->AmmoType, 5);
    EXPECT_EQ(b.MagazineCount, 7u);
}

TEST_F(ActorSaveLoad, PolygonsBeyondTheTableAndUnknownRolesComeBackAsNone) {
    SavedUnit();
    const int32_t unitId = ActorIdCounter - 2; // the unit, then its AI target
    std::vector<uint8_t> block = SaveAndClear();
    const int32_t polygons = static_cast<int32_t>(LevelWorldInstance->polygonCount);
    block = Patched(block, kUnitScriptedRole, 99999);
    block = Patched(block, kUnitOrderPolygon, polygons);
    block = Patched(block, kUnitGoal, polygons + 1);

    ASSERT_TRUE(LoadBlock(block));
    auto& unit = static_cast<ServerUnit&>(*TvFindActor(unitId));
    EXPECT_EQ(unit.Orders.Front()->Type, kOrderMove);
    EXPECT_EQ(unit.Orders.Front()->Polygon, nullptr);
    EXPECT_EQ(unit.GoalPolygon, nullptr);
    ASSERT_EQ(unit.Vulnerabilities.Count(), 1);
    EXPECT_EQ(unit.Vulnerabilities.Front()->scriptName, nullptr);
}

TEST_F(ActorSaveLoad, SavedVulnerabilitiesReplaceTheBuiltOnesSharingTheDefinitionsRecords) {
    auto shared = std::make_unique<Vulnerability>();
    shared->attacker = role;
    shared->effect = kVulnerabilityDestroy;
    const Vulnerability* sharedRecord = shared.get();
    walker->vulnerabilities.push_back(std::move(shared));
    ServerUnit* unit = MakeUnit(2, {3, 0, 3}, walker);
    auto* own = new Vulnerability;
    own->attacker = role;
    own->effect = kVulnerabilityCharm;
    own->owned = 1;
    unit->Vulnerabilities.PushBack(own);
    const int32_t id = unit->Id;

    ASSERT_TRUE(LoadBlock(SaveAndClear()));
    const ServerObject& loaded = *TvFindActor(id);
    ASSERT_EQ(loaded.Vulnerabilities.Count(), 2); // not the built one and the saved one both
    EXPECT_EQ(Nth(loaded.Vulnerabilities, 0), sharedRecord);
    EXPECT_EQ(Nth(loaded.Vulnerabilities, 1)->effect, kVulnerabilityCharm);
    EXPECT_TRUE(Nth(loaded.Vulnerabilities, 1)->owned);
}

TEST_F(ActorSaveLoad, ADisabledUnitComesBackWithoutAiCallbacks) {
    ServerUnit* unit = MakeUnit(2, {3, 0, 3}, walker);
    unit->Disabled = 1;
    const int32_t disabledId = unit->Id;
    const int32_t enabledId = MakeUnit(2, {5, 0, 5}, walker)->Id;

    ASSERT_TRUE(LoadBlock(SaveAndClear()));
    EXPECT_EQ(TvFindActor(disabledId)->AiTickCallback, nullptr);
    EXPECT_EQ(TvFindActor(disabledId)->AiStartCallback, nullptr);
    EXPECT_NE(TvFindActor(enabledId)->AiTickCallback, nullptr);
}

TEST_F(ActorSaveLoad, ALoadedCentipedeKeepsItsSegmentsAndItsHeadSpawnsNoSecondBody) {
    ObjectDefinition* body = MakeDefinition("centibody", 14, true, false, true);
    body->character->weapon = kWeaponTypeNone;
    ObjectDefinition* head = MakeDefinition("centipede", 13, true, false, true);
    head->character->weapon = kWeaponTypeNone;
    std::map<int32_t, int32_t> nextOf;
    for (auto* segment = static_cast<ServerCentibody*>(MakeUnit(2, {8, 0, 8}, head)); segment;
         segment = segment->NextSegment)
        nextOf[segment->Id] = segment->NextSegment ? segment->NextSegment->Id + 1 : 0;
    ASSERT_EQ(nextOf.size(), 6u);

    ASSERT_TRUE(LoadBlock(SaveAndClear()));
    TvStartAllActors();
    EXPECT_EQ(ServerActorHash.Count(), 6);
    for (const auto& [id, next] : nextOf)
        EXPECT_EQ(static_cast<ServerCentibody*>(TvFindActor(id))->SavedNextSegmentId, next) << id;
}

TEST_F(ActorSaveRejects, EntriesTheFileCannotHoldFailTheLoadAndLeaveNoActor) {
    enum Family { kUnit, kBot, kPickup, kTwoCrates, kWalker, kCentibody };
    struct Case {
        const char* what;
        Family family;
        size_t offset;
        int32_t value;
        bool byte = false;
    };
    const Case cases[] = {
        {"a block counting more entries than its bytes hold", kTwoCrates, 4, 0x10000000},
        {"a projectile flag of 2", kTwoCrates, kBlockHeaderBytes + 4, 2},
        {"an image size beyond the largest class", kTwoCrates, kBlockHeaderBytes, 4096},
        {"a definition the registry does not hold", kTwoCrates, kFirstImage + 288, 99999},
        {"an actor id not below the saved counter", kTwoCrates, kFirstImage + 292, 2},
        {"an actor id used twice", kTwoCrates, kFirstImage + 316 + 292, 0},
        {"a bot entry of 560 bytes", kWalker, kFirstImage + 560, -1},
        {"a popup tag on a centibody", kCentibody, kFirstImage, 0x55504f50},
        {"AI core 21", kUnit, kFirstImage + 80, 21},
        {"team 10", kUnit, kFirstImage + 188, 10},
        {"path state 6", kUnit, kFirstImage + 444, 6},
        {"a vulnerability count beyond the bytes left", kUnit, kUnitVulnerabilityCount, 0x01000000},
        {"a script length of -2", kUnit, kUnitScriptLength, -2},
        {"a script length beyond the bytes left", kUnit, kUnitScriptLength, 100000},
        {"vulnerability effect 5", kUnit, kUnitEffect, 5},
        {"an equipment count beyond the bytes left", kUnit, kUnitEquipmentCount, 0x00100000},
        {"mount slot 13", kUnit, kUnitSlot, 13},
        {"an order count beyond the bytes left", kUnit, kUnitOrderCount, 0x00100000},
        {"order type 11", kUnit, kUnitOrderType, 11},
        {"a waypoint count beyond the bytes left", kUnit, kUnitWaypointCount, 0x00100000},
        {"weapon type 34", kBot, kBotWeaponType, 34},
        {"ammunition type 19", kBot, kBotAmmoType, 19},
        {"a pickup text of length 0", kPickup, kPickupScriptLength, 0},
        {"a pickup text without its final zero", kPickup, kPickupScriptZero, 'x', true},
        {"a pickup text longer than the bytes left", kPickup, kPickupKeyLength, 100000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int32_t patch = c.value;
        switch (c.family) {
        case kUnit:
            SavedUnit();
            break;
        case kBot:
            SavedBot();
            break;
        case kPickup:
            SavedPickup();
            break;
        case kTwoCrates:
            Crate(2, {1, 0, 1});
            Crate(2, {2, 0, 2});
            break;
        case kWalker:
            MakeUnit(2, {1, 0, 1}, walker);
            patch = gunner->id;
            break;
        case kCentibody: {
            ObjectDefinition* body = MakeDefinition("centibody", 14, true, false, true);
            body->character->weapon = kWeaponTypeNone;
            ASSERT_NE(MakeUnit(2, {1, 0, 1}, body), nullptr);
            break;
        }
        }
        std::vector<uint8_t> block = SaveAndClear();
        ASSERT_TRUE(LoadBlock(block)) << "the unchanged block must load";
        TvReleaseAllActors();
        TvResetActorIds();
        block = c.byte ? PatchedByte(block, c.offset, static_cast<uint8_t>(patch)) : Patched(block, c.offset, patch);
        EXPECT_FALSE(LoadBlock(block));
        EXPECT_EQ(ServerActorHash.Count(), 0);
        EXPECT_EQ(ActorIdCounter, 0);
        EXPECT_TRUE(TrackObjectList.IsEmpty());
        TvReleaseAllActors(); // the next case starts clean even when this one loaded
        TvResetActorIds();
    }
}

TEST_F(ActorSaveRejects, ABlockCutShortAnywhereFailsAndLeavesNoActor) {
    SavedUnit();
    SavedPickup();
    const std::vector<uint8_t> block = SaveAndClear();
    for (size_t length = 0; length < block.size(); ++length) {
        ByteReader in(block.data(), length);
        ASSERT_FALSE(TvLoadActors(in)) << length;
        ASSERT_EQ(ServerActorHash.Count(), 0) << length;
    }
}

} // namespace
