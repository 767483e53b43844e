#pragma once
// Fixtures of the server tests: a calibrated clock that stands still until a
// test moves it, a message recorder, definitions made on the spot, and a
// server started driven (pass by pass) or free, in single player or over a
// scripted DirectPlay session. Everything the server and its rules keep
// process-wide is put back afterwards.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/server_driver.h"
#include "platform/virtual_clock.h"
#include "tests/support/fake_direct_play.h"

class ServerObject;

struct RecordedMessage {
    uint32_t pass;
    MessageDirection direction;
    int32_t type;
    std::vector<uint8_t> bytes;
    bool operator==(const RecordedMessage&) const = default;
};

class TestRecorder : public MessageRecorder {
public:
    void Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes, uint32_t size) override;
    std::vector<RecordedMessage> Messages();
    // The server-to-client messages of that type.
    std::vector<RecordedMessage> Sent(int32_t type);
    int32_t CountSent(int32_t type) { return static_cast<int32_t>(Sent(type).size()); }
    void Clear();

private:
    std::mutex mutex_;
    std::vector<RecordedMessage> messages_;
};

class ServerTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a driven server (seeded), or a free one; with `session`, over it.
    void StartServer(FakeDirectPlay* session = nullptr, bool driven = true, uint32_t seed = 1);
    // One driven pass of that kind; answers its number.
    uint32_t Pass(ServerPassKind kind = ServerPassKind::Timeout) { return TvRunServerPass(kind); }
    void RunPasses(int32_t count, ServerPassKind kind = ServerPassKind::Timeout);
    void AdvanceSeconds(double seconds);

    // A scripted session with `players` remote players, which the session's
    // player list holds; the server's list is built from it when asked.
    FakeDirectPlay* MakeSession(int32_t players);
    // A definition kept until the end of the test (registered when `registered`).
    ObjectDefinition* MakeDefinition(const char* name, int32_t aiCore, bool character = false, bool projectile = false,
                                     bool registered = false);
    // A plain actor created as the level load creates them.
    ServerObject* MakeActor(int32_t team, const Vector3& position = {0, 0, 0});

    std::unique_ptr<plat::VirtualClock> clock;
    TestRecorder recorder;
    FakeDirectPlay* session = nullptr;

private:
    std::vector<std::unique_ptr<ObjectDefinition>> definitions_;
    int32_t nextDefinitionId_ = 500;
};

// Reads the little-endian int32 or float at an offset of a message.
int32_t MessageInt(const std::vector<uint8_t>& bytes, size_t offset);
float MessageFloat(const std::vector<uint8_t>& bytes, size_t offset);
std::vector<uint8_t> MessageOf(std::initializer_list<int32_t> fields);
