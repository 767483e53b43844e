// The client-to-server catalogue: records built from a row's layout, the
// checks every record passes before its handler, and what a misfit changes.

#include <cmath>
#include <limits>

#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_state.h"
#include "tests/tv/server_fixture.h"
#include "tests/tv/server_orders_fixture.h"

namespace {

using ServerOrdersCatalogue = ServerTest;

TEST_F(ServerOrdersCatalogue, EveryTypeBuiltFromItsLayoutFitsAndOneByteShortOrLongIsDropped) {
    const std::vector<int32_t> types = ClientTypes();
    ASSERT_EQ(types.size(), 52u); // 4 to 54, 59 and 61 but 5
    SimulationRunning = true;
    for (int32_t type : types) {
        const std::vector<uint8_t> record = FilledRecord(type);
        ASSERT_EQ(record.size(), FindClientMessageRow(type)->size) << "type " << type;
        EXPECT_EQ(CheckClientRecord(record.data(), static_cast<uint32_t>(record.size())), nullptr) << "type " << type;
        std::vector<uint8_t> shorter(record.begin(), record.end() - 1), longer = record;
        longer.push_back(0);
        const uint64_t dropped = ClientRecordDropCount();
        Dispatch(shorter);
        Dispatch(longer);
        EXPECT_EQ(ClientRecordDropCount(), dropped + 2) << "type " << type;
    }
    EXPECT_TRUE(recorder.Messages().empty()) << "a misfit record sends nothing";
    for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(LobbyRobotChoices[i], 0);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(LobbyReadyFlags[i], 0);
}

TEST_F(ServerOrdersCatalogue, OtherNumbersAreFreedUnreadAndGroupOrdersCountTheirIds) {
    const uint64_t dropped = ClientRecordDropCount();
    for (int32_t type : {-1, 0, 3, 5, 55, 58, 60, 62, 203}) {
        const std::vector<uint8_t> record = MessageOf({type, 0, 0});
        EXPECT_NE(CheckClientRecord(record.data(), static_cast<uint32_t>(record.size())), nullptr) << type;
        Dispatch(record);
    }
    EXPECT_EQ(ClientRecordDropCount(), dropped) << "no type of a client: freed unread, not logged";

    struct Case {
        std::vector<int32_t> fields;
        bool fits;
    };
    const Case cases[] = {
        {{8, 0, 0, -1, 2, 11, 12}, true},  {{8, 0, 0, -1, 2, 11}, false}, // an id missing
        {{8, 0, 0, -1, 1, 11, 12}, false},                                // an id too many
        {{8, 0, 0, -1, -1}, false},                                       // a negative count
        {{33, 0, 0, -1, 0}, true},                                        // none
        {{33, 0, 0, -1}, false},                                          // no count
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> record = RecordOf(c.fields);
        EXPECT_EQ(CheckClientRecord(record.data(), static_cast<uint32_t>(record.size())) == nullptr, c.fits)
            << record.size() << " bytes";
    }
}

TEST_F(ServerOrdersCatalogue, NonFiniteNumbersAndUnterminatedTextsAreRefused) {
    for (int32_t type : {10, 12, 29, 31, 43, 54, 59, 61, 9, 23}) {
        const std::vector<uint8_t> good = FilledRecord(type);
        for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity()}) {
            const std::vector<uint8_t> record = FilledRecord(type, 1, bad);
            ASSERT_EQ(record.size(), good.size());
            EXPECT_NE(CheckClientRecord(record.data(), static_cast<uint32_t>(record.size())), nullptr)
                << "type " << type << " with " << bad;
        }
    }
    std::vector<uint8_t> chat(4 + kClientTextBytes, 'a');
    chat[0] = MSG_CHAT, chat[1] = chat[2] = chat[3] = 0;
    EXPECT_STREQ(CheckClientRecord(chat.data(), static_cast<uint32_t>(chat.size())), "unterminated text");
    chat.back() = 0; // 254 characters and the terminator
    EXPECT_EQ(CheckClientRecord(chat.data(), static_cast<uint32_t>(chat.size())), nullptr);
}

TEST_F(ServerOrdersCatalogue, RecordsAreBuiltOnlyInTheirLayoutsOrder) {
    // Fields the server does not read go as zero, wherever they lie.
    EXPECT_EQ(ClientRecord(MSG_LEAD_POWER).I32(5).I32(7).Bytes(), MessageOf({MSG_LEAD_POWER, 5, 0, 7}));
    EXPECT_EQ(ClientRecord(MSG_DETONATE_TEAM_MINES).I32(2).Bytes(), MessageOf({MSG_DETONATE_TEAM_MINES, 2, 0}));
    EXPECT_EQ(ClientRecord(MSG_CLOCK_RESYNC_REQUEST).Bytes(), MessageOf({MSG_CLOCK_RESYNC_REQUEST, 0}));
    EXPECT_EQ(ClientRecord(MSG_GROUP_ORDER).F32(0).I32(3).I32(-1).Ids(std::vector<int32_t>{7, 8}).Bytes(),
              MessageOf({MSG_GROUP_ORDER, 0, 3, -1, 2, 7, 8}));

    // A field of the wrong kind, one too many or one missing spoils the record: nothing is sent.
    const ClientRecord spoiled[] = {
        std::move(ClientRecord(MSG_STOP).F32(1).F32(2)),
        std::move(ClientRecord(MSG_STOP).I32(1).F32(2).I32(3)),
        std::move(ClientRecord(MSG_STOP).I32(1)),
        ClientRecord(5),
        ClientRecord(99),
    };
    for (const ClientRecord& record : spoiled) {
        EXPECT_FALSE(record.Complete());
        EXPECT_TRUE(record.Bytes().empty());
        EXPECT_FALSE(TvSendClientRecord(record));
    }
    EXPECT_FALSE(ClientToServerQueue.Pop());

    // A long chat is cut and terminated.
    const std::vector<uint8_t> chat = ClientRecord(MSG_CHAT).Text(std::string(300, 'x')).Bytes();
    ASSERT_EQ(chat.size(), 259u);
    EXPECT_EQ(chat[4 + 253], 'x');
    EXPECT_EQ(chat[4 + 254], 0);
}

TEST_F(ServerOrdersCatalogue, ASentRecordReachesTheServerWhole) {
    EXPECT_TRUE(TvSendClientRecord(ClientRecord(MSG_CEASE_FIRE).I32(4).F32(2.5f)));
    const MessageBuffer sent = ClientToServerQueue.Pop();
    ASSERT_TRUE(sent);
    EXPECT_EQ(std::vector<uint8_t>(sent.Data(), sent.Data() + sent.Size()),
              ClientRecord(MSG_CEASE_FIRE).I32(4).F32(2.5f).Bytes());
    EXPECT_EQ(sent.Size(), 16u);
}

} // namespace
