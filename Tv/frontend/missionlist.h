#pragma once
// The single-player mission list: the campaign's levels in order, each with
// its level script and command script. The front end fills it; the game
// rules find the current level's position in it.

#include <cstdint>
#include <string>
#include <vector>

struct MissionEntry {
    std::string name;
    std::string levelScript;
    std::string commandScript;
};

const std::vector<MissionEntry>& TvGetMissionList();
void TvAddMission(const char* name, const char* levelScript, const char* commandScript);
void TvClearMissionList();
