#pragma once
// The client's dispatcher of server-to-client messages (main thread).

#include <cstddef>
#include <cstdint>

// Applies one received record of `size` bytes. Types outside 0..203 and the
// ignored types change nothing; a record that does not fit its catalogue row,
// or that its handler refuses, is dropped with a log line and the recorder's
// drop mark, and changes nothing. The caller keeps the record.
void TvHandleServerMessage(const uint8_t* record, size_t size);

// Applies a settings-and-statistics record (162) during the briefing; false
// when it does not fit (dropped as above). The briefing's settings-received
// byte is set for every fitting record.
bool TvApplySessionSettings(const uint8_t* record, size_t size);
