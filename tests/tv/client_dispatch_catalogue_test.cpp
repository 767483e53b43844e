// The catalogue of server-to-client messages and the dispatcher's size rules,
// over every type. No server thread.

#include <gtest/gtest.h>

#include <array>

#include "Tv/server/server_message_catalogue.h"
#include "Tv/server/server_message_dispatch.h"
#include "tests/tv/client_dispatch_fixture.h"

namespace {

struct Group {
    const ServerMessageRow* rows;
    size_t count;
};

std::vector<Group> AllGroups() {
    return {{kSessionMessageRows, kSessionMessageRowCount}, {kClockMessageRows, kClockMessageRowCount},
            {kMediaMessageRows, kMediaMessageRowCount},     {kWorldMessageRows, kWorldMessageRowCount},
            {kTeamMessageRows, kTeamMessageRowCount},       {kObjectMessageRows, kObjectMessageRowCount},
            {kCombatMessageRows, kCombatMessageRowCount},   {kAppearanceMessageRows, kAppearanceMessageRowCount},
            {kItemMessageRows, kItemMessageRowCount},       {kIgnoredMessageRows, kIgnoredMessageRowCount}};
}

// The shortest record that fits the row: zero fields, empty texts, a count of 0.
std::vector<uint8_t> FittingRecord(const ServerMessageRow& row) {
    std::vector<uint8_t> record(row.size, 0);
    ByteWriter type;
    type.I32(row.type);
    std::copy(type.bytes().begin(), type.bytes().end(), record.begin());
    if (row.rule == RecordSizeRule::Texts) record.resize(row.size + row.texts, 0);
    return record;
}

} // namespace

TEST(ClientDispatchCatalogue, EveryTypeHasExactlyOneRow) {
    std::array<int, kLastServerMessageType + 1> rows{};
    for (const Group& group : AllGroups())
        for (size_t i = 0; i < group.count; ++i) {
            const ServerMessageRow& row = group.rows[i];
            ASSERT_GE(row.type, 0);
            ASSERT_LE(row.type, kLastServerMessageType);
            ++rows[static_cast<size_t>(row.type)];
            EXPECT_EQ(FindServerMessageRow(row.type), &row) << row.type;
            EXPECT_STRNE(row.name, "") << row.type;
        }
    for (int32_t type = 0; type <= kLastServerMessageType; ++type) EXPECT_EQ(rows[type], 1) << "type " << type;
    EXPECT_EQ(FindServerMessageRow(-1), nullptr);
    EXPECT_EQ(FindServerMessageRow(kLastServerMessageType + 1), nullptr);
    EXPECT_STREQ(ServerMessageName(136), "MSG_PAUSE");
    EXPECT_STREQ(ServerMessageName(204), "?");
}

TEST(ClientDispatchCatalogue, SizeRulesMeasureHeadersTextsAndCounts) {
    const ServerMessageRow exact = ExactRow(1, "exact", 8, nullptr);
    const ServerMessageRow atLeast = AtLeastRow(1, "at least", 8, nullptr);
    const ServerMessageRow texts = TextsRow(1, "texts", 4, 2, nullptr);
    const ServerMessageRow counted = CountedRow(1, "counted", 12, 8, 4, nullptr);
    struct Case {
        const ServerMessageRow* row;
        std::vector<uint8_t> record;
        bool fits;
    };
    const Case cases[] = {
        {&exact, std::vector<uint8_t>(8), true},
        {&exact, std::vector<uint8_t>(7), false},
        {&exact, std::vector<uint8_t>(9), false},
        {&atLeast, std::vector<uint8_t>(7), false},
        {&atLeast, std::vector<uint8_t>(20), true},
        {&texts, {1, 0, 0, 0, 'a', 0, 'b', 'c', 0}, true},
        {&texts, {1, 0, 0, 0, 0, 0}, true},
        {&texts, {1, 0, 0, 0, 'a', 0, 'b'}, false},  // second text unterminated
        {&texts, {1, 0, 0, 0, 'a', 0}, false},       // one text missing
        {&texts, {1, 0, 0, 0, 'a', 0, 0, 0}, false}, // a byte after the texts
        {&texts, {1, 0, 0}, false},                  // shorter than the header
        {&counted, {1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2}, true},
        {&counted, {1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 1, 1, 1}, false},
        {&counted, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, false},
        {&counted, {1, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff}, false}, // negative count
        {&counted, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40}, false},          // a count far beyond the record
        {&counted, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckRecordSize(*c.row, c.record.data(), c.record.size()) == nullptr, c.fits)
            << c.row->name << " of " << c.record.size() << " bytes";
}

// Every handled type: a record one byte short, or one byte long, is dropped
// with a drop mark and reaches nothing.
TEST_F(ClientDispatchTest, EveryHandledTypeDropsARecordOneByteShortOrLong) {
    int32_t handled = 0;
    for (int32_t type = 0; type <= kLastServerMessageType; ++type) {
        const ServerMessageRow* row = FindServerMessageRow(type);
        if (!row || !row->handler) continue;
        ++handled;
        std::vector<uint8_t> record = FittingRecord(*row);
        ByteWriter shortRecord;
        shortRecord.Bytes(record.data(), record.size() - 1);
        ExpectDropped(shortRecord);
        if (row->rule == RecordSizeRule::AtLeast) continue; // any length above its header fits
        for (uint8_t extra : {uint8_t{0}, uint8_t{'x'}}) {
            ByteWriter longRecord;
            longRecord.Bytes(record.data(), record.size());
            longRecord.U8(extra);
            ExpectDropped(longRecord);
        }
    }
    EXPECT_GT(handled, 100);
}

TEST_F(ClientDispatchTest, UnknownAndIgnoredTypesChangeNothing) {
    MakeClientObject(7);
    for (int32_t type : {204, 1000, -1, -100, 2, 5, 4, 30 + 1, 54, 106, 162}) {
        ByteWriter record = Record(type, {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
        Dispatch(record);
    }
    EXPECT_TRUE(drops.reasons.empty());
    EXPECT_TRUE(seen.lines.empty());
    EXPECT_TRUE(seen.sounds.empty());
    EXPECT_TRUE(seen.calls.empty());
    EXPECT_TRUE(ClientSends().empty());
    EXPECT_NE(TvFindClientObject(7), nullptr);
    // Shorter than a type: dropped.
    const uint8_t stub[3] = {100, 0, 0};
    TvHandleServerMessage(stub, sizeof stub);
    EXPECT_EQ(drops.reasons.size(), 1u);
}
