#pragma once
// The loading screen as the level load drives it: a progress bar and a
// caption. The front end installs its screen; until then both go nowhere.

#include <cstdint>

struct LoadingScreenHooks {
    void (*setProgress)(int32_t percent) = nullptr; // 0 to 100
    void (*setText)(const char* text) = nullptr;
};

// Returns the hooks it replaces.
LoadingScreenHooks InstallLoadingScreen(const LoadingScreenHooks& hooks);

// The percentage clamped to 0..100.
void TvLoadingSetProgress(int32_t percent);
void TvLoadingSetText(const char* text);
