#pragma once
// Fixture of the client dispatcher's tests: the server tests' clock and
// process state, plus recorders of what the handlers reach outside the
// client: console lines and captions, sounds, the interface's calls, doors
// and watched objects, the effects, and the client's sends and drops.
// Client objects are built on the spot and released afterwards.

#include <string>
#include <vector>

#include "Tv/client/client_objects.h"
#include "Tv/effects/effect_calls.h"
#include "core/bytes.h"
#include "tests/tv/server_fixture.h"

struct SeenCaption {
    float x, y;
    std::string text;
    int32_t kind;
};

struct SeenSound {
    int32_t sample;
    std::string options;
    bool operator==(const SeenSound&) const = default;
};

// What the dispatcher reached; one per test, reachable from the plain hooks.
struct DispatchEffects {
    std::vector<std::string> lines;
    std::vector<SeenCaption> captions;
    std::vector<SeenSound> sounds;
    std::vector<std::string> batches;
    std::vector<std::string> calls; // interface, shell and effect calls by name, in order
    std::vector<int32_t> robotRefreshes;
    std::vector<int32_t> doors; // opened n, closed -n - 1
    std::vector<ClientObject*> watched;
    std::vector<FogRevealer> revealers;
    std::vector<Vector3> spotlights;
};

class DropRecorder : public TestRecorder {
public:
    void Drop(uint32_t pass, int32_t type, const uint8_t* bytes, uint32_t size, const char* reason) override;
    std::vector<std::string> reasons;
};

class ClientDispatchTest : public ServerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Hands the record to the dispatcher.
    void Dispatch(const ByteWriter& record);
    void Dispatch(const std::vector<uint8_t>& record);
    // The record is dropped: exactly one drop mark more, and no effect reached.
    void ExpectDropped(const ByteWriter& record);
    // Client-to-server messages the client sent.
    std::vector<RecordedMessage> ClientSends();
    // A plain object of the client (class Object) with that id and team.
    ClientObject* MakeClientObject(int32_t id, int32_t team = 1, const Vector3& position = {0, 0, 0});

    DropRecorder drops;
    DispatchEffects seen;
};

// A record of the type with its int fields.
ByteWriter Record(int32_t type, std::initializer_list<int32_t> ints = {});
