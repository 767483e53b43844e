#pragma once
// Fixture of the client unit's tests: the client dispatcher's fixture (sends,
// sounds and effects recorded) and units built on the spot from a character
// that walks 2 m/s and turns 1024 angle units (a quarter turn) a second.

#include <cmath>
#include <cstdint>

#include "Tv/client/client_unit.h"
#include "Tv/defs/definitionrecords.h"
#include "core/clock.h"
#include "tests/tv/client_dispatch_fixture.h"

class ClientUnitTest : public ClientDispatchTest {
protected:
    ObjectDefinition* UnitDefinition(const char* name = "robot", int32_t aiCore = 1) {
        ObjectDefinition* definition = MakeDefinition(name, aiCore, true);
        CharacterRecord& character = *definition->character;
        character.walkingSpeed = 2 * 65536;
        character.strideLength = 1.0f;
        character.turningSpeed = 1024.0f;
        character.strength = 100.0f;
        character.sightRange = 20.0f;
        character.initialFirstPersonRange = 10.0f;
        character.maximumFirstPersonRange = 30.0f;
        character.boundsHeight = 2.0f;
        character.size = 1.0f;
        return definition;
    }
    // A unit of the team with that id, built by the factory (not started: no mover).
    ClientUnit* MakeUnit(int32_t id, int32_t team = 1, const Vector3& position = {0, 0, 0},
                         const ObjectDefinition* definition = nullptr) {
        if (!definition) definition = UnitDefinition();
        TvBuildClientObject(team, *definition, position, Quaternion{0, 0, 0, 1}, id);
        return AsClientUnit(TvFindClientObject(id));
    }
    static uint64_t TicksFor(double seconds) {
        return static_cast<uint64_t>(seconds * static_cast<double>(CurrentTicksPerSecondFloat()));
    }
};

// The heading of an orientation about the vertical axis, in angle units (4096 a turn).
inline Real HeadingOf(const Quaternion& q) { return 2.0f * std::atan2(q.y, q.w) * 651.8986469f; }
