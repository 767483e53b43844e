#pragma once
// Work of the server pass and the game actions that belongs to issues built
// later: the level triggers (the command language), the cutscene freeze (the
// actors), the capture-the-flag rules and the default item (the items). Each
// owner installs its hook at start-up; until then the work is skipped.

#include <cstdint>

class ServerObject;

struct ServerHooks {
    // Every fourth pass: the level triggers in list order.
    void (*evaluateTriggers)() = nullptr;
    // Instead of the AI step while a cutscene camera runs.
    void (*cutsceneFreeze)() = nullptr;
    // Every fourth pass in capture the flag: flags taken and returned.
    void (*captureTheFlagCheck)() = nullptr;
    // Killing a team in capture the flag: a flag the actor carries is dropped first.
    void (*dropCarriedFlag)(ServerObject* actor) = nullptr;
    // An actor whose definition has a default item gets it.
    void (*giveDefaultItem)(ServerObject* actor) = nullptr;
    // A lobby player (0-based) asked for the next robot choice no other player has taken.
    void (*cycleLobbyChoice)(int32_t playerIndex) = nullptr;
};

// Installs the hooks (a default-constructed record removes them). At start-up only.
void SetServerHooks(const ServerHooks& hooks);
const ServerHooks& InstalledServerHooks();
