#pragma once
// ServerPickup: an object lying in the level that a unit collects by walking
// to it: an item taken into the unit's inventory, a switch or button that runs
// a command script, or a heap that the heap commands refill. It can demand a
// key item of the collector, come back after a respawn delay, and wake small
// ambient creatures. Shots pass through it. The unit's side of collection
// (walking there, the pick-up animation, the inventory) is ServerUnit's.
// Server thread, or inside the server lock.

#include <cstdint>

#include "Tv/defs/ownedtext.h"
#include "Tv/sim/server_object.h"

class ServerUnit;

constexpr int32_t kPickupRecordSize = 336;

// Seconds a respawning pickup stays away (scaled by its respawn mode); the
// multiplayer set-up chooses it, 60 until then.
extern int32_t PickupRespawnTime;

class ServerPickup : public ServerObject {
public:
    // The ServerObject part with flags 0; the rest from the definition: its
    // pickup record (death action, collection radius, 6.0 without one), its
    // aggression class and its "destroy after collection" flag.
    ServerPickup(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                 const Quaternion& orientation, int32_t id);

    // ---- Overrides, in the table's order ----
    bool IsDetectable() const override { return Taken != 0; }
    // Its armour when it goes after collection, else 1,000.
    Real GetArmour() const override;
    int32_t GetSize() const override { return kPickupRecordSize; }
    bool IsPickup() const override { return true; }
    bool HitTestSegment(HitRecord&, const Vector3&, const Vector3&, const HitRecord&) override { return false; }
    bool HitTestBallistic(HitRecord&, const Vector3&, const Vector3&, const Vector3&, const HitRecord&) override {
        return false;
    }
    // The heap commands' new item class; with `announce`, a pickup that stays
    // and turns from class 2 to another wakes "fly" or "bug" creatures around it.
    void SetHeap(int32_t heapClass, int32_t announce) override;
    // Brings a taken pickup back once its respawn time has passed (message
    // 150), then the base update.
    void Think(uint64_t time, Real seconds) override;
    bool GetPickupFlag() const override { return HasScript != 0; }

    // ---- Appended operations ----
    // Marks the pickup used up (or back). One that goes after collection is
    // removed instead (the pickup may be deleted here); otherwise a respawning
    // one is due back after its delay and the change is announced (message 133).
    virtual void SetTaken(bool taken);
    // The unit has reached the pickup: it is turned away without the key
    // (116, and 179 for a key named "key..."), runs the script, or picks the
    // item up (at once without the model's pick-up sequence, else when the
    // sequence ends: the unit's Collecting is set and message 79 sent).
    virtual void Collect(ServerUnit* unit);
    // The definition name a collector must carry (null: none).
    virtual void SetKey(const char* name);
    // The script run on collection (ASSOCIATE: once; LINK: every time); message 132.
    void SetScript(const char* name, bool once);

    // ---- Fields ----
    uint8_t Taken = 0;
    int32_t DeathAction = 0; // the pickup record's action on death
    int32_t HeapClass;       // the item kind collected (the definition's aggression class)
    uint8_t DestroyAfterCollection = 0;
    int32_t ItemCount = -1; // items it gives; -1: as the definition says
    OwnedText Script;
    OwnedText KeyName;
    uint8_t ScriptOnce = 0;
    int32_t RespawnMode = 0; // 0 never back; 1, 2, 3: back after 2, 1, 0.5 x PickupRespawnTime
    Real RespawnTime;        // ServerClock seconds at which a taken pickup is back
    uint8_t HasScript = 0;
    Real PickupRadius; // compared with squared distances directly

private:
    void RefuseWithoutKey(ServerUnit& unit);
    void RunScript(ServerUnit& unit);
    void PickUp(ServerUnit& unit);
    void SpawnCreatures();
};

// Registers the pickup's maker with the server factory (AI core "pickup").
void RegisterServerPickup();
