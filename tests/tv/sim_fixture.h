#pragma once
// The simulation tests' fixture: the server fixture's clock, recorder,
// definitions and process state, plus a level world over a floor of quads
// with its links and waypoint graph (LevelWorldInstance), walking characters
// made on the spot, units created and started as the level load creates
// them, and world steps run on the test thread at a time the test chooses.
// The level world, the path lists and every actor are put back afterwards.

#include <cstdint>
#include <vector>

#include "Tv/world/level_world.h"
#include "core/maths.h"
#include "tests/tv/server_fixture.h"
#include "tests/tv/world_fixtures.h"

class ServerUnit;
struct CharacterRecord;

// The values a walking character is made from.
struct WalkerSpec {
    Real speed = 2.0f;        // metres a second (stride 1 m)
    Real turningSpeed = 2048; // angle units a second: half a turn
    Real collisionRadius = 0.3f;
    Real collisionHeight = 1.8f;
    Real boundsHeight = 1.8f;
    Real strength = 100;
    bool canTurn = true;
    int32_t aiCore = 1;      // builds a plain unit with weapon type 33
    bool registered = false; // found by name in the definition registry
};

class SimTest : public ServerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds LevelWorldInstance over the layout: the grid (98 x 4 x 98), the
    // links and the waypoint graph, so that movers and the path searches run.
    LevelWorld& MakeLevel(const GeometryLayout& layout);
    // nx x nz floor quads of `size` metres from the origin at y = 0; polygon
    // i * nz + j covers x from i * size and z from j * size.
    LevelWorld& MakeFloor(int nx, int nz, Real size = 2.0f);
    // The polygon in that slot of the world's table (null past it).
    CollisionPolygon* Polygon(uint32_t index) const;
    // The floor polygon under (x, z).
    CollisionPolygon* FloorAt(Real x, Real z) const;

    // A character definition (weapon type 33) kept until the end of the test.
    ObjectDefinition* MakeWalker(const char* name, const WalkerSpec& spec = {});
    // Creates the unit through TvCreateServerActor, as the level load does,
    // facing `heading` (angle units), and starts it at the current server time.
    // Null when no unit was built.
    ServerUnit* MakeUnit(int32_t team, const Vector3& position, const ObjectDefinition* definition = nullptr,
                         int32_t heading = 0);

    // The server clock now, on the test thread.
    uint64_t Now() const;
    Real NowSeconds() const;
    // Advances the clock and runs one world step (TvWorldTick) on the test thread.
    void Step(Real seconds);
    // Advances the clock and runs only the unit's update at that time.
    void ThinkUnit(ServerUnit& unit, Real seconds);
    // Advances the clock and runs only the unit's waypoint advance and walking step.
    void WalkUnit(ServerUnit& unit, Real seconds);

    // The server-to-client messages of that type whose first field after the type is the actor id.
    std::vector<RecordedMessage> SentFor(int32_t type, int32_t actorId);
    // The types of the messages sent about that actor, in order (only the types listed).
    std::vector<int32_t> TypesFor(int32_t actorId, std::initializer_list<int32_t> types);

    ObjectDefinition* walker = nullptr; // MakeWalker("walker"), made by SetUp
};

// A pure heading as a quaternion, from the table sine and cosine.
Quaternion HeadingQuaternion(int32_t heading);
