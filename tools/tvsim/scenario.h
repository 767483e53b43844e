#pragma once
// Orders a run gives the level's units before the fight starts, as a player
// would queue them: units and actors are named by the level variables of
// their placements (`as "NAME"` in the map), places also by a level dummy.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Tv/console/tokens.h"

struct ScenarioOrder {
    enum class Kind {
        Fetch,  // walk to a pickup (a variable) and collect it
        Walk,   // walk to a place
        Attack, // attack an actor (a variable) or fire at a dummy's position
    };
    Kind kind;
    std::string unit;  // a level variable naming a unit
    std::string place; // a level variable, else a level dummy (without regard to case)
};

// The option's order kind ("--fetch", "--walk", "--attack"); false for another word.
bool ScenarioOrderKind(const std::string& option, ScenarioOrder::Kind& kind);

// The level variables a load sets: install it around the load, as the console does.
class LevelVariables {
public:
    LevelVariables();
    ~LevelVariables();
    LevelVariables(const LevelVariables&) = delete;
    LevelVariables& operator=(const LevelVariables&) = delete;

    // The actor id the variable was set to, or -1 when the load set none.
    int32_t ActorId(const std::string& name) const;

private:
    static void Record(const char* name, float value);

    std::map<std::string, int32_t> ids_;
    TokenSetter previous_;
};

// Queues every order on its unit, in the given order, under the server lock
// after the load. An empty string when all were queued, else what is wrong
// with the first that cannot be (nothing is queued then).
std::string QueueScenarioOrders(const std::vector<ScenarioOrder>& orders, const LevelVariables& variables);

// The rounds of ammunition the unit a variable names carries, or -1 when
// there is no such unit or it carries no inventory.
int32_t CarriedRounds(const std::string& unit, const LevelVariables& variables);
