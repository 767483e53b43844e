#pragma once
// The dispatcher's fixture with every effect entry point recorded by name
// (the effect calls of objects also name the object's id), and the
// interface's damage panel recorded.

#include "tests/tv/client_dispatch_fixture.h"

class ClientEffectsTest : public ClientDispatchTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // How many recorded calls carry the name.
    int32_t Calls(const std::string& name) const;
    // A registered definition with a shape (so a projectile of it is built) and a character of `strength`.
    ObjectDefinition* MakeShapedDefinition(const char* name, Real strength = 0);

public:
    // Filled by the recording hooks.
    void SeenRevealer(const FogRevealer& revealer);
    std::vector<Vector3> puffs;
    std::vector<float> damageFractions;
};

// Record builders of the packed layouts.
void WritePosition(ByteWriter& w, const Vector3& p);
void WriteOrientation(ByteWriter& w, const Quaternion& q);
