#pragma once
// Helpers of the client-to-server order tests: records built from their
// catalogue rows and handed to the server's dispatcher on the test thread.

#include <cstdint>
#include <vector>

#include "Tv/server/client_message_catalogue.h"

// The record of a complete ClientRecord through DispatchClientMessage, from `sender`
// (the server player, as in single player, by default).
DrainStep Dispatch(const ClientRecord& record, plat::DpId sender = 1);
DrainStep Dispatch(const std::vector<uint8_t>& bytes, plat::DpId sender = 1);

// A record of the type with every field filled in layout order: ints
// `number`, floats `real`, a short text and no ids.
std::vector<uint8_t> FilledRecord(int32_t type, int32_t number = 1, float real = 1.0f);

// Int32 fields as a record.
std::vector<uint8_t> RecordOf(const std::vector<int32_t>& fields);

// The client-to-server types of the catalogue, in ascending order.
std::vector<int32_t> ClientTypes();
