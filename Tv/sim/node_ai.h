#pragma once
// The AI cores of nodes and swarms, run by TvAiTick on the server thread.
//
// Node (a ServerNode): while it hears an enemy, or once alerted, it spawns
// one of the kinds its definition "produces" at a time, up to its generation
// limit in all and while fewer than six of them are listed alive; one second
// later it sends the new actor off, at the enemy when the enemy is within
// sight, else along its next patrol list, else to a floor spot beside it. A
// stunned, disabled or exhausted node still sends off its last actor. After a
// send-off it sleeps 1 / AiAggression seconds (for ever at aggression 0).
//
// Swarm (a unit): once a second it chases the last enemy in search order
// within its sight range, and bursts (unit_burst.h) when any enemy comes
// within 2.5 m; it gives up when its quarry dies or it comes to rest.
//
// Both search the team lists in order for live actors that are not mines.

#include <cstdint>

class ServerObject;

constexpr int32_t kMsgNodeGenerated = 110; // 20: new actor id, its position

void TvNodeAi(ServerObject* actor, uint64_t time);
void TvSwarmAi(ServerObject* actor, uint64_t time);
