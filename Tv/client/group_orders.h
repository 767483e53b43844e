#pragma once
// The player's group orders to the server (main thread).

#include <cstdint>
#include <vector>

class ClientObject;

// Orders the objects of `set` to the level polygon with that index, acting on
// `targetId` (-1 none): message 8, or 33 when `queued` or while the game is
// paused ({type, GameClock seconds, polygon, target id, n, n ids}; not
// guaranteed). Objects under direct control are left out; nothing is sent
// when none remains. An order that is not queued empties the shown orders of
// the units it sends.
void TvSendGroupOrder(int32_t polygonIndex, int32_t targetId, bool queued, const std::vector<ClientObject*>& set);
