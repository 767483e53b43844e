#pragma once
// The AI's share of a level's load and teardown. Called by the level load
// after the level's actors are placed, and by the level teardown.

// No noise events; AiTeamList holds, in team order, every active team that
// is not a player team; every team's mine slots are empty.
void TvStartLevelAi();
// Noise events, AiTeamList and level triggers emptied.
void TvEndLevelAi();
