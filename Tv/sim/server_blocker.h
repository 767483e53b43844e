#pragma once
// ServerBlocker: an obstacle placed on the floor (a crate, a barrier). When it
// starts, the floor polygon under it and every polygon connected to it whose
// reference point lies inside its rotated footprint become impassable
// (kPolygonSteep), and the corner links between the polygons around that
// area are cut so that no path slips diagonally past it. When it dies or goes
// the polygons it made impassable become passable again, except those another
// live blocker also covers, which pass to that blocker; polygons that were
// impassable before (steep ground) stay so; the cut links stay cut. Server
// thread or under the server lock; polygons change inside the level world's
// write lock.

#include <cstdint>

#include "Tv/sim/server_object.h"
#include "core/list.h"

class ServerBlocker : public ServerObject {
public:
    ServerBlocker(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                  const Quaternion& orientation, int32_t id);
    // Gives the floor back, as OnDeath.
    ~ServerBlocker() override;

    int32_t GetSize() const override { return 304; }
    bool IsBlocker() const override { return true; }
    // Blocks the floor under the footprint, then starts as every actor does.
    void Start(uint64_t time, Real seconds) override;
    // Gives the floor back, then the AI's bookkeeping.
    void OnDeath() override;

    // The polygons whose impassable bit this blocker set (not those that had
    // it already), and those handed over by a blocker that went.
    List<CollisionPolygon*> BlockedPolygons;
    // Every polygon its footprint covers, whoever made it impassable.
    List<CollisionPolygon*> CoveredPolygons;

private:
    void ReleaseFloor();
    // Another registered blocker whose footprint covers the polygon, or null.
    ServerBlocker* BlockerCovering(const CollisionPolygon* polygon) const;
};

// Registers the class's maker with the server factory (AI core "blocker").
void RegisterServerBlocker();
