#pragma once
// Starts the engine without a window on the null video backend, for tools and
// programs that load models but draw nothing. AwShutdown stops it.

#include <cstdint>

// False when any start-up step fails.
bool AwStartHeadless(uint32_t width, uint32_t height);
