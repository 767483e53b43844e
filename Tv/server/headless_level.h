#pragma once
// A level run without a window: the tools (tvsim), the benchmarks and the
// tests load a level script from its data tree onto the running server and
// take it down again.

#include <filesystem>

// Starts the engine without a window for a run whose figures repeat: the
// game's floating-point mode, the chunk classes, the null device, and the
// clocks calibrated on a clock that moves on every reading, so that the
// calibration ends at once with the same figures every run. False when the
// engine does not start; AwShutdown ends it.
bool TvStartHeadlessEngine();

// Releases everything a loaded level holds: its definitions, its world, the
// script name, the cached files, models and shapes, and the data directories.
void TvReleaseLevelResources();

// Under the server lock: applies the tree's directory script (the nearest
// tvdirs.tvs at or above the level's directory), then the level script from
// its own directory, placing its actors on the server, and sets up the AI's
// share of the level. Errors are printed on stderr, the messages prefixed
// with `program`. The current directory is left at the level's. False when
// the level builds no world.
bool TvLoadHeadlessLevel(const std::filesystem::path& level, const char* program);

// Stops the simulation and takes the loaded level down with the AI's share
// and the team table.
void TvUnloadHeadlessLevel();
