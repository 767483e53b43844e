#include "Tv/client/team_table.h"

#include <cstddef>
#include <vector>

int32_t TeamCount = 0;

namespace {
std::vector<TeamRecord> teams;
}

void TeamTable::Reset(int32_t count) {
    TeamCount = count > 0 ? count : 0;
    teams.assign(static_cast<size_t>(TeamCount), TeamRecord{});
}

TeamRecord* TeamTable::GetTeam(int32_t index) {
    return index >= 0 && index < TeamCount ? &teams[static_cast<size_t>(index)] : nullptr;
}
