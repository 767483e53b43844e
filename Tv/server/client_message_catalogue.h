#pragma once
// The catalogue of client-to-server message types 4 to 61: one row per type
// with its name, size, field layout, delivery, phase and handler. The layout
// is the one description of a record: senders build records from it
// (ClientRecord), the dispatcher checks records against it and handlers read
// their fields through it (ClientRecordReader), so a layout is written once.
//
// Layout letters, one packed little-endian field each, after the int32 type:
//   i int32   f float   p point (3 floats)   q quaternion (4 floats)
//   _ 4 bytes the server does not read (sent as zero)
//   s text of 255 bytes, NUL-terminated within them (zero-padded)
//   n int32 count n >= 0, then n int32 ids (last field only; the row's size
//     is the record's size without ids)

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/maths.h"
#include "core/matrix.h"
#include "platform/dplay/dplay_types.h"

enum class DrainStep { Continue, End };

// Called only with a record that fits its row (size, count, finite floats,
// terminated text). Runs on the server thread. A handler that refuses a
// record returns DropClientRecord(...) having changed nothing.
using ClientMessageHandler = DrainStep (*)(plat::DpId sender, const uint8_t* record, uint32_t size);

enum class ClientDelivery : uint8_t { Guaranteed, NotGuaranteed };

struct ClientMessageRow {
    int32_t type;
    const char* name;
    uint16_t size; // bytes, group orders without their ids
    const char* layout;
    ClientDelivery delivery;
    bool anyPhase;                // handled also while the simulation is stopped
    ClientMessageHandler handler; // null: freed unread
};

constexpr int32_t kFirstClientMessageType = 4;
constexpr int32_t kLastClientMessageType = 61;
constexpr uint32_t kClientTextBytes = 255;

// The row of a client-to-server type; null for any other number.
const ClientMessageRow* FindClientMessageRow(int32_t type);
// Null when the record fits its type's row, else why not (an unknown type,
// a wrong size or count, a non-finite float, an unterminated text).
const char* CheckClientRecord(const uint8_t* record, uint32_t size);

// Logs why a record is dropped and counts it; returns DrainStep::Continue.
DrainStep DropClientRecord(const uint8_t* record, uint32_t size, const char* reason);
// Records dropped since the program started (tests compare before and after).
uint64_t ClientRecordDropCount();

// A record of one client-to-server type being built field by field in its
// layout's order; `_` fields are written as zero on the way. A field of the
// wrong kind, or one too many, spoils the record: it is never sent.
class ClientRecord {
public:
    explicit ClientRecord(int32_t type);
    ClientRecord& I32(int32_t value);
    ClientRecord& F32(float value);
    ClientRecord& Point(const Vector3& value);
    ClientRecord& Quat(const Quaternion& value);
    // Cut to 254 characters.
    ClientRecord& Text(std::string_view text);
    ClientRecord& Ids(std::span<const int32_t> ids);

    // Every field written, none of the wrong kind.
    bool Complete() const;
    const ClientMessageRow* Row() const { return row_; }
    // The whole record, trailing `_` fields zeroed; empty when incomplete.
    std::vector<uint8_t> Bytes() const;

private:
    bool Next(char kind);

    const ClientMessageRow* row_;
    const char* at_ = "";
    bool spoiled_ = false;
    ByteWriter out_;
};

// Sends a complete record to the server with its row's delivery
// (TvSendToServer); false for an incomplete record (logged) or a failed send.
bool TvSendClientRecord(const ClientRecord& record);

// Reads a record that CheckClientRecord accepted, field by field in its
// layout's order, skipping `_` fields. Reading a field of the wrong kind is a
// programming error (asserted) and yields zero.
class ClientRecordReader {
public:
    ClientRecordReader(const uint8_t* record, uint32_t size);
    int32_t Type() const { return type_; }
    int32_t I32();
    float F32();
    Vector3 Point();
    Quaternion Quat();
    // The text up to its NUL.
    std::string_view Text();
    std::vector<int32_t> Ids();

private:
    bool Next(char kind);

    const char* at_ = "";
    ByteReader in_;
    int32_t type_ = -1;
};
