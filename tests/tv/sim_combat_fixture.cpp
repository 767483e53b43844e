#include "tests/tv/sim_combat_fixture.h"

#include "Awapi/level_geometry.h"
#include "Awapi/shape.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/world/intersection.h"

LevelWorld& CombatTest::MakeSolidLevel(const GeometryLayout& layout) {
    ShapeTree geometryTree = MakeGeometryTree(layout);
    const std::unique_ptr<LevelGeometry> geometry(geometryTree->Slots[0]->Geometry);
    geometryTree->Slots[0]->Geometry = nullptr;
    std::vector<Vector3> triangles;
    for (const GeometryLayout::Polygon& polygon : layout.polygons)
        for (size_t k = 1; k + 1 < polygon.corners.size(); ++k)
            for (size_t corner : {size_t{0}, k, k + 1})
                triangles.push_back(layout.points[static_cast<size_t>(polygon.corners[corner])]);
    ShapeTree tree = MakeTree(MakeMeshShape({triangles}), true);
    TvReleaseLevelWorld();
    LevelWorldInstance = new LevelWorld(tree.release(), Vector3(0, 0, 0), geometry.get());
    return *LevelWorldInstance;
}

ObjectDefinition* CombatTest::MakeShot(const char* name, Real damage, Real blastDamage, Real blastRange,
                                       int32_t flightFlags) {
    ObjectDefinition* shot = MakeDefinition(name, kAiCoreReserved, false, true, true);
    shot->projectile->damage = damage;
    shot->projectile->blastDamage = blastDamage;
    shot->projectile->blastRange = blastRange;
    shot->projectile->blastRangeSquared = blastRange * blastRange;
    shot->limit = flightFlags;
    return shot;
}

TestActor::TestActor(int32_t team, const Vector3& position, int32_t flags, const ObjectDefinition* definition)
    : ServerObject(team, definition, position, Quaternion{0, 0, 0, 1}, flags, TvNextActorId()) {
    Strength = 100;
}

const CharacterRecord* TestActor::GetCharacterRecord() const {
    return Definition && Definition->character ? Definition->character.get() : nullptr;
}

bool TestActor::HitTestSegment(HitRecord& out, const Vector3&, const Vector3&, const HitRecord& in) {
    if (hitAt < 0 || hitAt > in.t) return false;
    out.t = hitAt;
    return true;
}

bool TestActor::HitTestBallistic(HitRecord& out, const Vector3& p, const Vector3& v, const Vector3&,
                                 const HitRecord& in) {
    return HitTestSegment(out, p, v, in);
}

bool TestActor::TakeDamage(Real amount, bool protectedHit, int32_t attackerTeam) {
    damage.push_back({amount, protectedHit, attackerTeam});
    Strength -= amount;
    return true;
}
