#include "tools/tvsim/scenario.h"

#include <optional>

#include "Awapi/model/dummy_object.h"
#include "Tv/client/inventory.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/level_world.h"
#include "core/hashtable.h"
#include "core/numeric.h"

namespace {

LevelVariables* recording = nullptr; // the table the load's variables go to

// Where an order leads: an actor, or a point on the floor.
struct Place {
    ServerObject* actor = nullptr;
    Vector3 point{0, 0, 0};
    CollisionPolygon* floor = nullptr;
};

std::optional<Vector3> DummyPosition(const std::string& name) {
    for (const AwDummyObject& dummy : LevelDummyList)
        if (dummy.Name && NameEquals(dummy.Name->c_str(), name.c_str())) return dummy.Position;
    return std::nullopt;
}

CollisionPolygon* FloorUnder(const Vector3& point) {
    if (!LevelWorldInstance) return nullptr;
    RwLockHold hold(LevelWorldLock(), false);
    return LevelWorldInstance->FindFloor(point);
}

std::optional<Place> FindPlace(const std::string& name, const LevelVariables& variables) {
    if (ServerObject* actor = TvFindActor(variables.ActorId(name))) {
        // An actor finds its floor when it starts, after the load.
        CollisionPolygon* floor = actor->GetFloorPolygon();
        return Place{actor, actor->Position, floor ? floor : FloorUnder(actor->Position)};
    }
    if (const std::optional<Vector3> point = DummyPosition(name)) return Place{nullptr, *point, FloorUnder(*point)};
    return std::nullopt;
}

// What is wrong with the order, or "" when it can be queued (then `place` is where it leads).
std::string Check(const ScenarioOrder& order, const LevelVariables& variables, ServerUnit*& unit, Place& place) {
    ServerObject* actor = TvFindActor(variables.ActorId(order.unit));
    if (!actor || !actor->IsUnit()) return "no unit " + order.unit;
    unit = static_cast<ServerUnit*>(actor);
    const std::optional<Place> found = FindPlace(order.place, variables);
    if (!found) return "no actor or dummy " + order.place;
    place = *found;
    switch (order.kind) {
    case ScenarioOrder::Kind::Fetch:
        if (!place.actor || !place.actor->IsPickup()) return order.place + " is no pickup";
        break;
    case ScenarioOrder::Kind::Walk: break;
    case ScenarioOrder::Kind::Attack:
        if (!unit->IsBot()) return order.unit + " cannot attack";
        return "";
    }
    return place.floor ? "" : "no floor under " + order.place;
}

} // namespace

bool ScenarioOrderKind(const std::string& option, ScenarioOrder::Kind& kind) {
    if (option == "--fetch")
        kind = ScenarioOrder::Kind::Fetch;
    else if (option == "--walk")
        kind = ScenarioOrder::Kind::Walk;
    else if (option == "--attack")
        kind = ScenarioOrder::Kind::Attack;
    else
        return false;
    return true;
}

LevelVariables::LevelVariables() : previous_(TokenTable::Install(&Record)) { recording = this; }

LevelVariables::~LevelVariables() {
    TokenTable::Install(previous_);
    recording = nullptr;
}

void LevelVariables::Record(const char* name, float value) {
    if (recording && name) recording->ids_[name] = FloorToInt(value);
}

int32_t LevelVariables::ActorId(const std::string& name) const {
    for (const auto& [variable, id] : ids_)
        if (NameEquals(variable.c_str(), name.c_str())) return id;
    return -1;
}

std::string QueueScenarioOrders(const std::vector<ScenarioOrder>& orders, const LevelVariables& variables) {
    struct Checked {
        const ScenarioOrder* order;
        ServerUnit* unit;
        Place place;
    };
    std::vector<Checked> checked;
    for (const ScenarioOrder& order : orders) {
        Checked c{&order, nullptr, {}};
        if (std::string problem = Check(order, variables, c.unit, c.place); !problem.empty()) return problem;
        checked.push_back(c);
    }
    for (const Checked& c : checked) {
        switch (c.order->kind) {
        case ScenarioOrder::Kind::Fetch: c.unit->QueueMove(c.place.floor, c.place.actor->Id); break;
        case ScenarioOrder::Kind::Walk: c.unit->QueueMove(c.place.floor, -1); break;
        case ScenarioOrder::Kind::Attack:
            if (c.place.actor)
                c.unit->QueueAttackTarget(c.place.actor->Id);
            else
                c.unit->QueueAttackPoint(c.place.point);
            break;
        }
    }
    return "";
}

int32_t CarriedRounds(const std::string& unit, const LevelVariables& variables) {
    const ServerObject* actor = TvFindActor(variables.ActorId(unit));
    const Inventory* inventory = actor ? actor->GetInventory() : nullptr;
    if (!inventory) return -1;
    int32_t rounds = 0;
    for (const InventoryItem* item : inventory->Items)
        if (item->Kind == IK_AMMO) rounds += item->Count;
    return rounds;
}
