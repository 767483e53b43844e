#pragma once
// Fixtures of the AI and combat tests: the simulation fixture with levels
// that lines of sight and shots meet, shot definitions, and an actor double
// whose weapon, firing, motion, hit tests and damage a test sets and reads.

#include <vector>

#include "Tv/client/weapons.h"
#include "Tv/sim/server_object.h"
#include "tests/tv/sim_fixture.h"

class CombatTest : public SimTest {
protected:
    // A level world over the layout whose shape tree also holds the layout as
    // mesh triangles, so that lines of sight and shots meet it.
    LevelWorld& MakeSolidLevel(const GeometryLayout& layout);
    // A registered projectile definition (damage, blast and flight flags as given).
    ObjectDefinition* MakeShot(const char* name, Real damage, Real blastDamage = 0, Real blastRange = 0,
                               int32_t flightFlags = 0);
};

struct DamageTaken {
    Real amount;
    bool protectedHit;
    int32_t attackerTeam;
};

// Out of the collision world; mobile with kActorFlagsUnit, static with kActorFlagsBlocker.
class TestActor : public ServerObject {
public:
    TestActor(int32_t team, const Vector3& position, int32_t flags = kActorFlagsBlocker,
              const ObjectDefinition* definition = nullptr);

    const CharacterRecord* GetCharacterRecord() const override;
    WeaponInstance* GetWeapon() const override { return armed ? &weapon : nullptr; }
    bool IsFiring() const override { return firing; }
    bool IsActive() const override { return concealed; }
    bool IsMoving() const override { return moving; }
    // A hit at `hitAt` (of the caller's path parameter) when that is within the limit; none while negative.
    bool HitTestSegment(HitRecord& out, const Vector3&, const Vector3&, const HitRecord& in) override;
    bool HitTestBallistic(HitRecord& out, const Vector3&, const Vector3&, const Vector3&, const HitRecord& in) override;
    // Records the call; strength goes down by the amount.
    bool TakeDamage(Real amount, bool protectedHit, int32_t attackerTeam) override;

    bool armed = false, firing = false, moving = false, concealed = false;
    Real hitAt = -1;
    mutable WeaponInstance weapon;
    std::vector<DamageTaken> damage;
};
