// The seeds of the server's fuzz target (tests/fuzz/seeds/tv_server_messages):
// one record of every client-to-server type as the client's senders build
// them, each as a stream of one {16-bit sender id, 16-bit length, record}.
// The test checks the committed seeds against what the senders build now;
// with TAVRIN_WRITE_SEEDS set it writes them instead.
//
// The ids name the fuzz target's actors: 0 a unit and 1 a bot of team 1, 2
// the lead character and 3 a bot of team 2, 4 a remote mine, 5 a background creature.

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "Tv/server/client_link.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/message_types.h"
#include "core/bytes.h"
#include "platform/files.h"
#include "tests/tv/server_fixture.h"
#include "tests/tv/server_orders_fixture.h"

namespace {

constexpr int32_t kUnit = 0, kBot = 1, kLead = 2, kEnemy = 3, kCreature = 5;
constexpr int32_t kPolygon = 7;
const std::string kSeeds = TAVRIN_SOURCE_DIR "/tests/fuzz/seeds/tv_server_messages/";

// Every client-to-server type once, sent the way the client sends it.
void SendEveryType() {
    const Vector3 point{5, 0, 9};
    const std::vector<int32_t> group{kUnit, kBot};
    TvSendChat("hello");
    TvSendPlayerOption(2, 1, 7);
    TvSendCycleLobbyChoice(1);
    TvSendPlayerReady(1);
    TvSendPlayerNotReady(1);
    const ClientRecord records[] = {
        std::move(ClientRecord(MSG_SPEED_ACK).I32(1)),
        ClientRecord(MSG_READY),
        ClientRecord(MSG_WAITING_FOR_GO),
        std::move(ClientRecord(MSG_GROUP_ORDER).F32(1).I32(kPolygon).I32(-1).Ids(group)),
        std::move(ClientRecord(MSG_STOP).I32(kUnit).F32(1)),
        std::move(ClientRecord(MSG_ATTACK_POINT).I32(kBot).F32(1).Point(point)),
        std::move(ClientRecord(MSG_ATTACK_ACTOR).I32(kBot).F32(1).I32(kEnemy)),
        std::move(ClientRecord(MSG_ATTACK_POINT_ALT).I32(kBot).F32(1).Point(point)),
        std::move(ClientRecord(MSG_ATTACK_ACTOR_ALT).I32(kBot).F32(1).I32(kEnemy)),
        std::move(ClientRecord(MSG_CEASE_FIRE).I32(kBot).F32(1)),
        std::move(ClientRecord(MSG_EQUIP_ITEM).I32(kUnit).I32(1).I32(3)),
        std::move(ClientRecord(MSG_QUEUE_EQUIP_ITEM).I32(kUnit).I32(1).I32(3)),
        std::move(ClientRecord(MSG_USE_ITEM).I32(kUnit).I32(1)),
        std::move(ClientRecord(MSG_QUEUE_USE_ITEM).I32(kUnit).I32(1)),
        std::move(ClientRecord(MSG_DROP_ITEM).I32(kUnit).I32(1)),
        std::move(ClientRecord(MSG_QUEUE_DROP_ITEM).I32(kUnit).I32(1)),
        std::move(ClientRecord(MSG_REMOVE_ITEM).I32(kUnit).I32(1)),
        std::move(ClientRecord(MSG_QUEUE_REMOVE_ITEM).I32(kUnit).I32(1)),
        std::move(ClientRecord(MSG_HEAD_FOR).I32(kUnit).I32(kBot).I32(1).F32(1).I32(-1)),
        std::move(ClientRecord(MSG_QUEUE_HEAD_FOR).I32(kUnit).I32(kBot).I32(1).F32(1).I32(2)),
        std::move(ClientRecord(MSG_SELECT_AMMO).I32(kBot).I32(1)),
        std::move(ClientRecord(MSG_QUEUE_SELECT_AMMO).I32(kBot).I32(1)),
        std::move(ClientRecord(MSG_STANDING_ORDER).I32(kUnit).I32(3)),
        std::move(ClientRecord(MSG_TOGGLE_STANCE).I32(kUnit)),
        std::move(ClientRecord(MSG_QUEUE_ATTACK_POINT).I32(kBot).F32(1).Point(point)),
        std::move(ClientRecord(MSG_QUEUE_ATTACK_ACTOR).I32(kBot).F32(1).I32(kEnemy)),
        std::move(ClientRecord(MSG_QUEUE_ATTACK_POINT_ALT).I32(kBot).F32(1).Point(point)),
        std::move(ClientRecord(MSG_QUEUE_ATTACK_ACTOR_ALT).I32(kBot).F32(1).I32(kEnemy)),
        std::move(ClientRecord(MSG_GROUP_ORDER_QUEUED).F32(1).I32(kPolygon).I32(-1).Ids(group)),
        std::move(ClientRecord(MSG_QUEUE_TOGGLE_STANCE).I32(kUnit)),
        std::move(ClientRecord(MSG_DROP_QUEUED_ORDERS).I32(kUnit)),
        std::move(ClientRecord(MSG_REMOVE_ACTOR).I32(kCreature)),
        std::move(ClientRecord(MSG_RELEASE_HOLD).I32(kUnit)),
        std::move(ClientRecord(MSG_HOLD_OTHERS).I32(kUnit)),
        std::move(ClientRecord(MSG_LEAD_POWER).I32(kLead).I32(kUnit)),
        std::move(ClientRecord(41).I32(1).I32(0).I32(0)),
        std::move(ClientRecord(MSG_LAUNCH_DECOY).I32(kBot).F32(1).Point(point)),
        std::move(ClientRecord(MSG_DETONATE_TEAM_MINES).I32(2)),
        std::move(ClientRecord(MSG_DETONATE_MINE).I32(2).I32(0)),
        std::move(ClientRecord(MSG_TEAM_PAUSE).I32(1)),
        std::move(ClientRecord(MSG_TEAM_RESUME).I32(1)),
        ClientRecord(MSG_CLOCK_RESYNC_REQUEST),
        ClientRecord(MSG_SETTINGS_REQUEST),
        ClientRecord(MSG_CANCEL_CUTSCENE),
        std::move(ClientRecord(MSG_TIME_REPORT).F32(1)),
        std::move(ClientRecord(MSG_UNIT_MOVING)
                      .I32(kUnit)
                      .F32(1)
                      .Point(point)
                      .Quat({0, 0, 0, 1})
                      .F32(0.5f)
                      .F32(0)
                      .F32(0)
                      .I32(1)),
        std::move(ClientRecord(MSG_UNIT_PLACED)
                      .I32(kUnit)
                      .F32(1)
                      .Point(point)
                      .Quat({0, 0, 0, 1})
                      .F32(0)
                      .F32(0)
                      .F32(0)
                      .I32(1)),
    };
    for (const ClientRecord& record : records) EXPECT_TRUE(TvSendClientRecord(record)) << record.Row()->name;
}

using ServerOrdersSeeds = ServerTest;

TEST_F(ServerOrdersSeeds, OneRecordOfEveryClientTypeFromItsSender) {
    SendEveryType();
    std::map<int32_t, std::vector<uint8_t>> sent;
    for (const RecordedMessage& m : recorder.Messages())
        if (m.direction == MessageDirection::ClientSend) sent.emplace(m.type, m.bytes);
    std::vector<int32_t> types;
    for (const auto& [type, bytes] : sent) types.push_back(type);
    EXPECT_EQ(types, ClientTypes());

    const bool write = std::getenv("TAVRIN_WRITE_SEEDS") != nullptr;
    for (const auto& [type, record] : sent) {
        EXPECT_EQ(CheckClientRecord(record.data(), static_cast<uint32_t>(record.size())), nullptr) << type;
        ByteWriter seed;
        seed.U16(1);
        seed.U16(static_cast<uint16_t>(record.size()));
        seed.Bytes(record.data(), record.size());
        const std::string name = kSeeds + std::to_string(type) + "_" + FindClientMessageRow(type)->name;
        if (write) {
            std::ofstream(name, std::ios::binary)
                .write(reinterpret_cast<const char*>(seed.bytes().data()), static_cast<std::streamsize>(seed.size()));
            continue;
        }
        std::string committed;
        ASSERT_TRUE(plat::ReadWholeFile(name, committed)) << name << " missing: run with TAVRIN_WRITE_SEEDS=1";
        EXPECT_EQ(committed, std::string(seed.bytes().begin(), seed.bytes().end())) << name;
    }
}

} // namespace
