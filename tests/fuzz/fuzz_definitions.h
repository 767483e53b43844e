#pragma once
// Shared set-up of the fuzz targets that run on a small world: the virtual
// clock they all run on, and registered definitions made from a short row.

#include <cstdint>

struct ObjectDefinition;

struct FuzzKind {
    const char* name;
    int32_t aiCore;
    int32_t weapon; // -1: no character
    bool projectile;
};

// Installs the virtual clock and calibrates the clocks on it, once per process.
void StartFuzzClock();

// Registers a definition of that name and AI core, with a character record
// carrying the weapon and a projectile record as the row asks.
ObjectDefinition* AddFuzzDefinition(const FuzzKind& kind);
