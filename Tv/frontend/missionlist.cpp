#include "Tv/frontend/missionlist.h"

namespace {
std::vector<MissionEntry> missions;
}

const std::vector<MissionEntry>& TvGetMissionList() { return missions; }

void TvAddMission(const char* name, const char* levelScript, const char* commandScript) {
    missions.push_back({name ? name : "", levelScript ? levelScript : "", commandScript ? commandScript : ""});
}

void TvClearMissionList() { missions.clear(); }
