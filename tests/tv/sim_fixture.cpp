#include "tests/tv/sim_fixture.h"

#include <memory>

#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/sim/world_tick.h"
#include "Tv/world/level_shape.h"
#include "core/clock.h"

void SimTest::SetUp() {
    ServerTest::SetUp();
    RegisterServerUnit();
    walker = MakeWalker("walker");
}

void SimTest::TearDown() {
    // Actors leave the level world before it goes.
    ServerTest::TearDown();
    PathRequestList.Clear();
    PathInProgressList.Clear();
    TvReleaseLevelWorld();
}

LevelWorld& SimTest::MakeLevel(const GeometryLayout& layout) {
    // The shape's geometry lends the world its polygons; the tree becomes the level object's.
    ShapeTree tree = MakeGeometryTree(layout);
    std::unique_ptr<LevelGeometry> geometry(tree->Slots[0]->Geometry);
    tree->Slots[0]->Geometry = nullptr;
    TvReleaseLevelWorld();
    LevelWorldInstance = new LevelWorld(tree.release(), Vector3(0, 0, 0), geometry.get());
    TvLoadPathGraph();
    return *LevelWorldInstance;
}

LevelWorld& SimTest::MakeFloor(int nx, int nz, Real size) {
    GeometryLayout layout;
    layout.FloorGrid(nx, nz, 0, 0, size, 0);
    return MakeLevel(layout);
}

CollisionPolygon* SimTest::Polygon(uint32_t index) const {
    const auto& table = LevelWorldInstance->polygonTable;
    return index < table.size() ? table[index] : nullptr;
}

CollisionPolygon* SimTest::FloorAt(Real x, Real z) const { return LevelWorldInstance->FindFloor(Vector3(x, 0, z)); }

ObjectDefinition* SimTest::MakeWalker(const char* name, const WalkerSpec& spec) {
    ObjectDefinition* definition = MakeDefinition(name, spec.aiCore, true, false, spec.registered);
    CharacterRecord& c = *definition->character;
    c.walkingSpeed = 1 << 16;
    c.strideLength = spec.speed;
    c.turningSpeed = spec.turningSpeed;
    c.collisionRadius = spec.collisionRadius;
    c.collisionHeight = spec.collisionHeight;
    c.boundsHeight = spec.boundsHeight;
    c.strength = spec.strength;
    c.canTurn = spec.canTurn;
    c.size = 1.0f;
    return definition;
}

ServerUnit* SimTest::MakeUnit(int32_t team, const Vector3& position, const ObjectDefinition* definition,
                              int32_t heading) {
    const int32_t id =
        TvCreateServerActor(team, definition ? definition : walker, position, HeadingQuaternion(heading));
    ServerObject* actor = TvFindActor(id);
    if (!actor || !actor->IsUnit()) return nullptr;
    actor->Start(Now(), NowSeconds());
    return static_cast<ServerUnit*>(actor);
}

uint64_t SimTest::Now() const { return ServerClock.GetTime(); }

Real SimTest::NowSeconds() const { return ServerClock.GetSeconds(); }

void SimTest::Step(Real seconds) {
    AdvanceSeconds(seconds);
    TvWorldTick(Now(), NowSeconds());
}

void SimTest::ThinkUnit(ServerUnit& unit, Real seconds) {
    AdvanceSeconds(seconds);
    unit.Think(Now(), NowSeconds());
}

void SimTest::WalkUnit(ServerUnit& unit, Real seconds) {
    AdvanceSeconds(seconds);
    unit.AdvanceWaypoints();
    unit.Walk(Now(), NowSeconds());
}

std::vector<RecordedMessage> SimTest::SentFor(int32_t type, int32_t actorId) {
    std::vector<RecordedMessage> sent;
    for (RecordedMessage& m : recorder.Sent(type))
        if (MessageInt(m.bytes, 4) == actorId) sent.push_back(std::move(m));
    return sent;
}

std::vector<int32_t> SimTest::TypesFor(int32_t actorId, std::initializer_list<int32_t> types) {
    std::vector<int32_t> found;
    for (const RecordedMessage& m : recorder.Messages()) {
        if (m.direction != MessageDirection::ServerToClient || MessageInt(m.bytes, 4) != actorId) continue;
        for (int32_t type : types)
            if (m.type == type) found.push_back(type);
    }
    return found;
}

Quaternion HeadingQuaternion(int32_t heading) {
    const int32_t half = heading / 2;
    return Quaternion{0, SineOf(half), 0, CosineOf(half)};
}
