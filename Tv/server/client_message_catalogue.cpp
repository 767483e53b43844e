#include "Tv/server/client_message_catalogue.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>

#include "Tv/server/client_link.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/handshake_messages.h"
#include "Tv/server/message_buffer.h"
#include "Tv/server/message_types.h"
#include "core/log.h"

namespace {

constexpr ClientDelivery G = ClientDelivery::Guaranteed;
constexpr ClientDelivery N = ClientDelivery::NotGuaranteed;
constexpr bool kAnyPhase = true;
constexpr bool kPlay = false;

constexpr uint32_t FieldBytes(char kind) {
    switch (kind) {
    case 'p': return 12;
    case 'q': return 16;
    case 's': return kClientTextBytes;
    default: return 4; // i f _ n (the count)
    }
}

constexpr uint32_t LayoutBytes(const char* layout) {
    uint32_t bytes = 4;
    for (const char* at = layout; *at; ++at) bytes += FieldBytes(*at);
    return bytes;
}

constexpr bool HasIds(const char* layout) {
    for (const char* at = layout; *at; ++at)
        if (*at == 'n') return true;
    return false;
}

// The client-to-server catalogue: every type a client sends, nothing else.
constexpr ClientMessageRow kRows[] = {
    {MSG_SPEED_ACK, "MSG_SPEED_ACK", 8, "i", G, kPlay, HandleSpeedAcknowledgement},
    {MSG_READY, "MSG_READY", 4, "", G, kAnyPhase, HandleReady},
    {MSG_WAITING_FOR_GO, "MSG_WAITING_FOR_GO", 4, "", G, kPlay, HandleWaitingForGo},
    {MSG_GROUP_ORDER, "MSG_GROUP_ORDER", 20, "fiin", N, kPlay, HandleGroupOrder},
    {MSG_STOP, "MSG_STOP", 12, "if", G, kPlay, HandleStop},
    {MSG_ATTACK_POINT, "MSG_ATTACK_POINT", 24, "ifp", N, kPlay, HandleAttackPoint},
    {MSG_ATTACK_ACTOR, "MSG_ATTACK_ACTOR", 16, "ifi", N, kPlay, HandleAttackActor},
    {MSG_ATTACK_POINT_ALT, "MSG_ATTACK_POINT_ALT", 24, "ifp", N, kPlay, HandleAttackPoint},
    {MSG_ATTACK_ACTOR_ALT, "MSG_ATTACK_ACTOR_ALT", 16, "ifi", N, kPlay, HandleAttackActor},
    {MSG_CEASE_FIRE, "MSG_CEASE_FIRE", 16, "if_", N, kPlay, HandleCeaseFire},
    {MSG_EQUIP_ITEM, "MSG_EQUIP_ITEM", 16, "iii", G, kPlay, HandleEquipItem},
    {MSG_QUEUE_EQUIP_ITEM, "MSG_QUEUE_EQUIP_ITEM", 16, "iii", G, kPlay, HandleEquipItem},
    {MSG_USE_ITEM, "MSG_USE_ITEM", 12, "ii", G, kPlay, HandleItemOrder},
    {MSG_QUEUE_USE_ITEM, "MSG_QUEUE_USE_ITEM", 12, "ii", G, kPlay, HandleItemOrder},
    {MSG_DROP_ITEM, "MSG_DROP_ITEM", 12, "ii", G, kPlay, HandleItemOrder},
    {MSG_QUEUE_DROP_ITEM, "MSG_QUEUE_DROP_ITEM", 12, "ii", G, kPlay, HandleItemOrder},
    {MSG_REMOVE_ITEM, "MSG_REMOVE_ITEM", 12, "ii", G, kPlay, HandleItemOrder},
    {MSG_QUEUE_REMOVE_ITEM, "MSG_QUEUE_REMOVE_ITEM", 12, "ii", G, kPlay, HandleItemOrder},
    {MSG_HEAD_FOR, "MSG_HEAD_FOR", 24, "iiifi", G, kPlay, HandleHeadFor},
    {MSG_QUEUE_HEAD_FOR, "MSG_QUEUE_HEAD_FOR", 24, "iiifi", G, kPlay, HandleHeadFor},
    {MSG_SELECT_AMMO, "MSG_SELECT_AMMO", 12, "ii", G, kPlay, HandleSelectAmmo},
    {MSG_QUEUE_SELECT_AMMO, "MSG_QUEUE_SELECT_AMMO", 12, "ii", G, kPlay, HandleSelectAmmo},
    {MSG_STANDING_ORDER, "MSG_STANDING_ORDER", 12, "ii", G, kPlay, HandleStandingOrder},
    {MSG_TOGGLE_STANCE, "MSG_TOGGLE_STANCE", 8, "i", G, kPlay, HandleUnitOrder},
    {MSG_QUEUE_ATTACK_POINT, "MSG_QUEUE_ATTACK_POINT", 24, "ifp", N, kPlay, HandleAttackPoint},
    {MSG_QUEUE_ATTACK_ACTOR, "MSG_QUEUE_ATTACK_ACTOR", 16, "ifi", N, kPlay, HandleAttackActor},
    {MSG_QUEUE_ATTACK_POINT_ALT, "MSG_QUEUE_ATTACK_POINT_ALT", 24, "ifp", N, kPlay, HandleAttackPoint},
    {MSG_QUEUE_ATTACK_ACTOR_ALT, "MSG_QUEUE_ATTACK_ACTOR_ALT", 16, "ifi", N, kPlay, HandleAttackActor},
    {MSG_GROUP_ORDER_QUEUED, "MSG_GROUP_ORDER_QUEUED", 20, "fiin", N, kPlay, HandleGroupOrder},
    {MSG_QUEUE_TOGGLE_STANCE, "MSG_QUEUE_TOGGLE_STANCE", 8, "i", G, kPlay, HandleUnitOrder},
    {MSG_DROP_QUEUED_ORDERS, "MSG_DROP_QUEUED_ORDERS", 8, "i", N, kPlay, HandleUnitOrder},
    {MSG_REMOVE_ACTOR, "MSG_REMOVE_ACTOR", 8, "i", G, kPlay, HandleRemoveActor},
    {MSG_RELEASE_HOLD, "MSG_RELEASE_HOLD", 8, "i", N, kPlay, HandleUnitOrder},
    {MSG_HOLD_OTHERS, "MSG_HOLD_OTHERS", 8, "i", N, kPlay, HandleHoldOthers},
    {MSG_LEAD_POWER, "MSG_LEAD_POWER", 16, "i_i", N, kPlay, HandleLeadPower},
    {MSG_CHAT, "MSG_CHAT", 259, "s", G, kAnyPhase, HandleChat},
    {41, "MSG_LOBBY_REQUEST", 16, "iii", N, kPlay, nullptr},
    {MSG_PLAYER_OPTION, "MSG_PLAYER_OPTION", 16, "iii", N, kAnyPhase, HandleLobbyMessage},
    {MSG_LAUNCH_DECOY, "MSG_LAUNCH_DECOY", 24, "ifp", N, kPlay, HandleAttackPoint},
    {MSG_CYCLE_LOBBY_CHOICE, "MSG_CYCLE_LOBBY_CHOICE", 8, "i", N, kAnyPhase, HandleLobbyMessage},
    {MSG_PLAYER_READY, "MSG_PLAYER_READY", 8, "i", N, kAnyPhase, HandleLobbyMessage},
    {MSG_PLAYER_NOT_READY, "MSG_PLAYER_NOT_READY", 8, "i", N, kAnyPhase, HandleLobbyMessage},
    {MSG_DETONATE_TEAM_MINES, "MSG_DETONATE_TEAM_MINES", 12, "i_", G, kPlay, HandleDetonateTeamMines},
    {MSG_DETONATE_MINE, "MSG_DETONATE_MINE", 12, "ii", G, kPlay, HandleDetonateMine},
    {MSG_TEAM_PAUSE, "MSG_TEAM_PAUSE", 8, "i", G, kPlay, HandleTeamPause},
    {MSG_TEAM_RESUME, "MSG_TEAM_RESUME", 8, "i", G, kPlay, HandleTeamResume},
    {MSG_CLOCK_RESYNC_REQUEST, "MSG_CLOCK_RESYNC_REQUEST", 8, "_", N, kPlay, HandleClockResyncRequest},
    {MSG_SETTINGS_REQUEST, "MSG_SETTINGS_REQUEST", 4, "", G, kAnyPhase, HandleSettingsRequest},
    {MSG_CANCEL_CUTSCENE, "MSG_CANCEL_CUTSCENE", 4, "", N, kPlay, HandleCancelCutscene},
    {MSG_TIME_REPORT, "MSG_TIME_REPORT", 8, "f", N, kPlay, HandleTimeReport},
    {MSG_UNIT_MOVING, "MSG_UNIT_MOVING", 56, "ifpqfffi", N, kPlay, HandleMotionState},
    {MSG_UNIT_PLACED, "MSG_UNIT_PLACED", 56, "ifpqfffi", N, kPlay, HandleMotionState},
};

constexpr bool SizesMatchLayouts() {
    for (const ClientMessageRow& row : kRows)
        if (row.size != LayoutBytes(row.layout) || row.type < kFirstClientMessageType ||
            row.type > kLastClientMessageType)
            return false;
    return true;
}
static_assert(SizesMatchLayouts(), "a row's size differs from its layout");

using RowIndex = std::array<const ClientMessageRow*, kLastClientMessageType + 1>;

const RowIndex& Index() {
    static const RowIndex index = [] {
        RowIndex built{};
        for (const ClientMessageRow& row : kRows) built[row.type] = &row;
        return built;
    }();
    return index;
}

uint64_t dropCount = 0;

// Walks the layout once over the record: false, with the reason, at the
// first field that does not fit.
const char* CheckFields(const ClientMessageRow& row, ByteReader& in) {
    for (const char* at = row.layout; *at; ++at) {
        switch (*at) {
        case 'f':
        case 'p':
        case 'q':
            for (uint32_t i = 0; i < FieldBytes(*at) / 4; ++i)
                if (!std::isfinite(in.F32())) return "non-finite number";
            break;
        case 's': {
            const uint8_t* text = in.cursor();
            if (!in.Skip(kClientTextBytes)) return "short text";
            if (!std::memchr(text, 0, kClientTextBytes)) return "unterminated text";
            break;
        }
        case 'n': {
            const int32_t count = in.I32();
            if (!in.ok() || count < 0) return "negative count";
            if (in.remaining() != 4 * uint64_t(count)) return "count does not match the size";
            in.Skip(in.remaining());
            break;
        }
        default: in.Skip(4);
        }
    }
    return in.ok() ? nullptr : "short record";
}

} // namespace

const ClientMessageRow* FindClientMessageRow(int32_t type) {
    if (type < kFirstClientMessageType || type > kLastClientMessageType) return nullptr;
    return Index()[type];
}

const char* CheckClientRecord(const uint8_t* record, uint32_t size) {
    const ClientMessageRow* row = FindClientMessageRow(MessageTypeOf(record, size));
    if (!row) return "not a client message type";
    if (HasIds(row->layout) ? size < row->size : size != row->size) return "wrong size";
    ByteReader in(record, size);
    in.Skip(4);
    return CheckFields(*row, in);
}

DrainStep DropClientRecord(const uint8_t* record, uint32_t size, const char* reason) {
    const int32_t type = MessageTypeOf(record, size);
    const ClientMessageRow* row = FindClientMessageRow(type);
    LogPrintf("Server: client message %d (%s) of %u bytes dropped: %s", type, row ? row->name : "?", size, reason);
    ++dropCount;
    return DrainStep::Continue;
}

uint64_t ClientRecordDropCount() { return dropCount; }

ClientRecord::ClientRecord(int32_t type) : row_(FindClientMessageRow(type)) {
    if (row_) at_ = row_->layout;
    spoiled_ = !row_;
    out_.I32(type);
}

bool ClientRecord::Next(char kind) {
    while (*at_ == '_') {
        out_.Zeros(4);
        ++at_;
    }
    if (spoiled_ || *at_ != kind) {
        spoiled_ = true;
        return false;
    }
    ++at_;
    return true;
}

ClientRecord& ClientRecord::I32(int32_t value) {
    if (Next('i')) out_.I32(value);
    return *this;
}

ClientRecord& ClientRecord::F32(float value) {
    if (Next('f')) out_.F32(value);
    return *this;
}

ClientRecord& ClientRecord::Point(const Vector3& value) {
    if (Next('p')) {
        out_.F32(value.x);
        out_.F32(value.y);
        out_.F32(value.z);
    }
    return *this;
}

ClientRecord& ClientRecord::Quat(const Quaternion& value) {
    if (Next('q')) {
        out_.F32(value.x);
        out_.F32(value.y);
        out_.F32(value.z);
        out_.F32(value.w);
    }
    return *this;
}

ClientRecord& ClientRecord::Text(std::string_view text) {
    if (Next('s')) {
        const size_t length = std::min<size_t>(text.size(), kClientTextBytes - 1);
        out_.Bytes(text.data(), length);
        out_.Zeros(kClientTextBytes - length);
    }
    return *this;
}

ClientRecord& ClientRecord::Ids(std::span<const int32_t> ids) {
    if (Next('n')) {
        out_.I32(static_cast<int32_t>(ids.size()));
        for (int32_t id : ids) out_.I32(id);
    }
    return *this;
}

bool ClientRecord::Complete() const {
    if (spoiled_) return false;
    for (const char* at = at_; *at; ++at)
        if (*at != '_') return false;
    return true;
}

std::vector<uint8_t> ClientRecord::Bytes() const {
    if (!Complete()) return {};
    std::vector<uint8_t> bytes = out_.bytes();
    bytes.resize(std::max<size_t>(bytes.size(), row_->size)); // trailing `_` fields, zero
    return bytes;
}

bool TvSendClientRecord(const ClientRecord& record) {
    const std::vector<uint8_t> bytes = record.Bytes();
    if (bytes.empty()) {
        const ClientMessageRow* row = record.Row();
        LogPrintf("Client: incomplete message %s not sent", row ? row->name : "of no client type");
        return false;
    }
    return TvSendToServer(bytes.data(), static_cast<uint32_t>(bytes.size()),
                          record.Row()->delivery == ClientDelivery::Guaranteed);
}

ClientRecordReader::ClientRecordReader(const uint8_t* record, uint32_t size) : in_(record, size) {
    type_ = in_.I32();
    if (const ClientMessageRow* row = FindClientMessageRow(type_)) at_ = row->layout;
}

bool ClientRecordReader::Next(char kind) {
    while (*at_ == '_') {
        in_.Skip(4);
        ++at_;
    }
    assert(*at_ == kind && "field read out of its layout's order");
    if (*at_ != kind) return false;
    ++at_;
    return true;
}

int32_t ClientRecordReader::I32() { return Next('i') ? in_.I32() : 0; }

float ClientRecordReader::F32() { return Next('f') ? in_.F32() : 0.0f; }

Vector3 ClientRecordReader::Point() {
    if (!Next('p')) return {0, 0, 0};
    const float x = in_.F32(), y = in_.F32();
    return {x, y, in_.F32()};
}

Quaternion ClientRecordReader::Quat() {
    if (!Next('q')) return {0, 0, 0, 1};
    const float x = in_.F32(), y = in_.F32(), z = in_.F32();
    return {x, y, z, in_.F32()};
}

std::string_view ClientRecordReader::Text() {
    if (!Next('s') || !in_.Has(kClientTextBytes)) return {};
    const char* text = reinterpret_cast<const char*>(in_.cursor());
    in_.Skip(kClientTextBytes);
    return {text, strnlen(text, kClientTextBytes)};
}

std::vector<int32_t> ClientRecordReader::Ids() {
    std::vector<int32_t> ids;
    if (!Next('n')) return ids;
    const int32_t count = in_.I32();
    for (int32_t i = 0; i < count && in_.ok(); ++i) ids.push_back(in_.I32());
    return ids;
}
