#pragma once
// Fixture of the actor save and load tests: the emplacement fixture on an
// 8 x 8 floor with registered definitions (the loader finds definitions by
// id), and one actor of each class family with distinctive values in every
// field its image or state record carries. Each family's actor is made first,
// so it has the lowest id and its entry comes first in the saved block; the
// actors it refers to are made after it.

#include <cstdint>
#include <vector>

#include "tests/tv/sim_emplacement_fixture.h"

class ServerPickup;
class ServerProjectile;
class ServerTrackObject;
struct InventoryItem;

constexpr size_t kBlockHeaderBytes = 8; // the counter and the count
constexpr size_t kEntryHeaderBytes = 8; // image size and projectile flag
constexpr size_t kEntryIdBytes = 8;     // definition id and actor id

// Where the first entry's record starts, for an image of that size.
constexpr size_t FirstRecordAt(int32_t imageSize) {
    return kBlockHeaderBytes + kEntryHeaderBytes + static_cast<size_t>(imageSize) + kEntryIdBytes;
}

class ActorSaveTest : public EmplacementTest {
protected:
    void SetUp() override;

    // A unit with heap contents, an AI target, two vulnerabilities (script "x"
    // and none), one worn item, a move order and a hold order, a goal polygon,
    // two waypoints and one stored waypoint.
    ServerUnit* SavedUnit();
    // A bot with a fire target, an ammunition stack as its ammunition item,
    // ammunition type 5 loaded and a magazine count.
    ServerBot* SavedBot();
    // A homing shot with a target.
    ServerProjectile* SavedProjectile();
    // A taken pickup with the script "run.tcs" (once) and the key "keycard".
    ServerPickup* SavedPickup();
    // A lift caught mid-run, looping, with one rider.
    ServerTrackObject* SavedTrack();
    // A raised turret testing its line of sight.
    ServerTurret* SavedTurret();

    // A plain actor of the registered "crate".
    ServerObject* Crate(int32_t team, const Vector3& position);

    // TvSaveActors over every registered actor.
    static std::vector<uint8_t> SaveBlock();
    // TvLoadActors over the whole block; false also when it leaves bytes unread.
    static bool LoadBlock(const std::vector<uint8_t>& block);

    ObjectDefinition* role = nullptr;   // a vulnerability's attacker
    ObjectDefinition* heap = nullptr;   // heap contents
    ObjectDefinition* gunner = nullptr; // weapon type 1; rows for ammunition 2 and 5
    ObjectDefinition* turret = nullptr; // the turret core
    ObjectDefinition* pickup = nullptr; // the pickup core
    ObjectDefinition* lift = nullptr;   // the track-object core
    ObjectDefinition* crate = nullptr;  // a plain object
    InventoryItem* wornItem = nullptr;  // SavedUnit's
    InventoryItem* ammoStack = nullptr; // SavedBot's
};
