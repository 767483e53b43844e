#pragma once
// The catalogue of server-to-client message types 0 to 203: one row per type
// with its name, the rule its record's size must follow and its handler.
// The rows are kept in group tables, one per concern, each defined beside its
// handlers; the catalogue merges them into one table indexed by type.
//
// A handler is called only with a record that fits its row's size rule. It
// reads the record with ByteReader at the packed offsets of its layout and
// returns nullptr when it applied the record (an absent object or definition
// is applied as a no-op), or a short reason when it drops the record (an
// index, count, text or value out of range) — in which case it has changed
// nothing. Handlers run on the main thread.

#include <cstddef>
#include <cstdint>

using ServerMessageHandler = const char* (*)(const uint8_t* record, size_t size);

enum class RecordSizeRule : uint8_t {
    Exact,   // exactly `size` bytes
    AtLeast, // `size` bytes or more; the handler reads nothing beyond them
    Texts,   // `size` header bytes, then `texts` NUL-terminated texts that end exactly at the record's end
    Counted, // `size` header bytes with an int32 count at `countOffset`, then count elements of `elementSize`
    Any,     // ignored types: never checked
};

struct ServerMessageRow {
    int32_t type;
    const char* name;
    RecordSizeRule rule;
    uint16_t size;
    uint8_t texts = 0;                      // Texts: how many
    uint8_t countOffset = 0;                // Counted: offset of the int32 count
    uint8_t elementSize = 0;                // Counted: bytes per element
    ServerMessageHandler handler = nullptr; // null: the type is ignored by the client
};

constexpr int32_t kLastServerMessageType = 203;

// Row builders for the group tables.
constexpr ServerMessageRow ExactRow(int32_t type, const char* name, uint16_t size, ServerMessageHandler handler) {
    return {type, name, RecordSizeRule::Exact, size, 0, 0, 0, handler};
}
constexpr ServerMessageRow AtLeastRow(int32_t type, const char* name, uint16_t size, ServerMessageHandler handler) {
    return {type, name, RecordSizeRule::AtLeast, size, 0, 0, 0, handler};
}
constexpr ServerMessageRow TextsRow(int32_t type, const char* name, uint16_t header, uint8_t texts,
                                    ServerMessageHandler handler) {
    return {type, name, RecordSizeRule::Texts, header, texts, 0, 0, handler};
}
constexpr ServerMessageRow CountedRow(int32_t type, const char* name, uint16_t header, uint8_t countOffset,
                                      uint8_t elementSize, ServerMessageHandler handler) {
    return {type, name, RecordSizeRule::Counted, header, 0, countOffset, elementSize, handler};
}
constexpr ServerMessageRow IgnoredRow(int32_t type, const char* name) {
    return {type, name, RecordSizeRule::Any, 0, 0, 0, 0, nullptr};
}

// Group tables (count beside each).
extern const ServerMessageRow kSessionMessageRows[]; // session, level flow, lobby and texts
extern const size_t kSessionMessageRowCount;
extern const ServerMessageRow kClockMessageRows[]; // clock and game speed
extern const size_t kClockMessageRowCount;
extern const ServerMessageRow kMediaMessageRows[]; // sounds, texts and scripts
extern const size_t kMediaMessageRowCount;
extern const ServerMessageRow kWorldMessageRows[]; // camera, tracks, doors, fog, airstrike
extern const size_t kWorldMessageRowCount;
extern const ServerMessageRow kTeamMessageRows[]; // teams, capture the flag and game modes
extern const size_t kTeamMessageRowCount;
extern const ServerMessageRow kObjectMessageRows[]; // creation, removal, state and movement
extern const size_t kObjectMessageRowCount;
extern const ServerMessageRow kCombatMessageRows[]; // combat, projectiles and explosions
extern const size_t kCombatMessageRowCount;
extern const ServerMessageRow kAppearanceMessageRows[]; // appearance, animation and markers
extern const size_t kAppearanceMessageRowCount;
extern const ServerMessageRow kItemMessageRows[]; // inventories, items and pickups
extern const size_t kItemMessageRowCount;
extern const ServerMessageRow kIgnoredMessageRows[]; // types the client does not dispatch
extern const size_t kIgnoredMessageRowCount;

// The row of a type; null outside 0..203 (and for a type no group lists).
const ServerMessageRow* FindServerMessageRow(int32_t type);

// The type's name, or "?" for a type without a row.
const char* ServerMessageName(int32_t type);

// Null when a record of `size` bytes fits the row's size rule, else the reason it does not.
const char* CheckRecordSize(const ServerMessageRow& row, const uint8_t* record, size_t size);
