#include "Tv/server/server_message_catalogue.h"

#include <array>
#include <cstring>
#include <iterator>

#include "core/bytes.h"

namespace {

struct RowGroup {
    const ServerMessageRow* rows;
    const size_t* count;
};

using RowIndex = std::array<const ServerMessageRow*, kLastServerMessageType + 1>;

RowIndex BuildRowIndex() {
    const RowGroup groups[] = {
        {kSessionMessageRows, &kSessionMessageRowCount}, {kClockMessageRows, &kClockMessageRowCount},
        {kMediaMessageRows, &kMediaMessageRowCount},     {kWorldMessageRows, &kWorldMessageRowCount},
        {kTeamMessageRows, &kTeamMessageRowCount},       {kObjectMessageRows, &kObjectMessageRowCount},
        {kCombatMessageRows, &kCombatMessageRowCount},   {kAppearanceMessageRows, &kAppearanceMessageRowCount},
        {kItemMessageRows, &kItemMessageRowCount},       {kIgnoredMessageRows, &kIgnoredMessageRowCount},
    };
    RowIndex index{};
    for (const RowGroup& group : groups)
        for (size_t i = 0; i < *group.count; ++i) {
            const ServerMessageRow& row = group.rows[i];
            if (row.type >= 0 && row.type <= kLastServerMessageType && !index[row.type]) index[row.type] = &row;
        }
    return index;
}

const char* CheckTexts(const ServerMessageRow& row, const uint8_t* record, size_t size) {
    size_t at = row.size;
    for (int i = 0; i < row.texts; ++i) {
        if (at >= size) return "record ends before its texts";
        const void* nul = std::memchr(record + at, 0, size - at);
        if (!nul) return "unterminated text";
        at = static_cast<size_t>(static_cast<const uint8_t*>(nul) - record) + 1;
    }
    return at == size ? nullptr : "bytes after the texts";
}

const char* CheckCounted(const ServerMessageRow& row, const uint8_t* record, size_t size) {
    if (size < row.size) return "record shorter than its header";
    ByteReader in(record, size);
    in.Seek(row.countOffset);
    const int32_t count = in.I32();
    if (!in.ok() || count < 0) return "negative count";
    const uint64_t needed = uint64_t{row.size} + uint64_t(count) * row.elementSize;
    return needed == size ? nullptr : "count does not match the record's size";
}

} // namespace

// Client-to-server types and unused numbers; 2 and 5 belong to the wait for the go.
const ServerMessageRow kIgnoredMessageRows[] = {
    IgnoredRow(2, "MSG_GO"),
    IgnoredRow(4, "MSG_SPEED_ACK"),
    IgnoredRow(5, "MSG_ARE_YOU_READY"),
    IgnoredRow(6, "MSG_READY"),
    IgnoredRow(7, "MSG_WAITING_FOR_GO"),
    IgnoredRow(8, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(9, "MSG_STOP"),
    IgnoredRow(10, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(11, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(12, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(13, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(14, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(15, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(16, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(17, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(18, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(19, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(20, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(21, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(22, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(23, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(24, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(25, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(26, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(27, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(28, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(29, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(31, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(32, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(33, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(34, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(35, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(36, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(37, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(38, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(39, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(40, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(41, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(42, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(43, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(44, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(45, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(46, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(47, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(48, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(49, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(50, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(51, "MSG_RESYNC_REQUEST"),
    IgnoredRow(52, "MSG_SETTINGS_REQUEST"),
    IgnoredRow(53, "MSG_CLIENT_TO_SERVER"),
    IgnoredRow(54, "MSG_TIME_REPORT"),
    IgnoredRow(106, "MSG_UNUSED"),
};
const size_t kIgnoredMessageRowCount = std::size(kIgnoredMessageRows);

const ServerMessageRow* FindServerMessageRow(int32_t type) {
    static const RowIndex index = BuildRowIndex();
    if (type < 0 || type > kLastServerMessageType) return nullptr;
    return index[static_cast<size_t>(type)];
}

const char* ServerMessageName(int32_t type) {
    const ServerMessageRow* row = FindServerMessageRow(type);
    return row ? row->name : "?";
}

const char* CheckRecordSize(const ServerMessageRow& row, const uint8_t* record, size_t size) {
    switch (row.rule) {
    case RecordSizeRule::Exact:
        if (size < row.size) return "record too short";
        return size > row.size ? "record too long" : nullptr;
    case RecordSizeRule::AtLeast:
        return size < row.size ? "record too short" : nullptr;
    case RecordSizeRule::Texts:
        return CheckTexts(row, record, size);
    case RecordSizeRule::Counted:
        return CheckCounted(row, record, size);
    case RecordSizeRule::Any:
        break;
    }
    return nullptr;
}
