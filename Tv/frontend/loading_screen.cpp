#include "Tv/frontend/loading_screen.h"

#include <algorithm>
#include <utility>

namespace {
LoadingScreenHooks installed;
}

LoadingScreenHooks InstallLoadingScreen(const LoadingScreenHooks& hooks) { return std::exchange(installed, hooks); }

void TvLoadingSetProgress(int32_t percent) {
    if (installed.setProgress) installed.setProgress(std::clamp(percent, 0, 100));
}

void TvLoadingSetText(const char* text) {
    if (installed.setText) installed.setText(text);
}
