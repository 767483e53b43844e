#pragma once
// Fixture of the popup and turret tests: the bot fixture with the emplacements' makers registered,
// an emplacement model made on the spot and emplacements created as the level load creates them.

#include <cstdint>

#include <gtest/gtest.h>

#include "tests/tv/sim_bot_fixture.h"

class AwModel;
class ServerPopup;
class ServerTurret;
class TestActor;

// The boxes the model records with its raised (0) and lowered (19) poses.
constexpr Vector3 kRaisedBoxCentre{0, -1.5f, 0};
constexpr Vector3 kLoweredBoxCentre{0, -0.5f, 0};

// Exactly equal vectors.
inline testing::AssertionResult SameVector(const Vector3& a, const Vector3& b) {
    if (a.x == b.x && a.y == b.y && a.z == b.z) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not (" << b.x << ", " << b.y
                                       << ", " << b.z << ")";
}

// What an emplacement's model carries.
struct EmplacementModelSpec {
    bool rise = true;  // sequence 20, one second long
    bool poses = true; // sequences 0 and 19 with their boxes (the others below 20 always)
};

class EmplacementTest : public BotTest {
protected:
    void SetUp() override;

    // One use, for a definition to hold.
    static AwModel* EmplacementModel(const EmplacementModelSpec& spec = {});
    // A gunner of the popup (18) or turret (20) core with that model; hearing range 4 m.
    ObjectDefinition* MakeEmplacement(const char* name, int32_t aiCore, const GunnerSpec& spec = {},
                                      const EmplacementModelSpec& model = {});
    ServerPopup* MakePopup(int32_t team, const Vector3& position, const ObjectDefinition* definition,
                           int32_t heading = 0);
    ServerTurret* MakeTurret(int32_t team, const Vector3& position, const ObjectDefinition* definition,
                             int32_t heading = 0);
    // A live actor of the team whose centre is `centre`, listed with its team.
    static TestActor* Intruder(int32_t team, const Vector3& centre);
    // Advances the clock and runs the emplacement's think.
    void ThinkFor(ServerObject& actor, Real seconds);
};
