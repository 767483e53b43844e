#pragma once
// ServerNode: the unarmed generator of the AI cores "node" and "node waiting".
// It keeps a patrol of several waypoint lists for the actors it sends off,
// can be alerted, and spawns the kinds its definition "produces" (the node
// core, node_ai.h, decides when). Every AddWaypoint on a node, path
// planning's included, goes into its patrol lists, never its own walk.
// Server thread, or under the server lock.

#include <cstdint>

#include "Tv/sim/server_unit.h"
#include "core/list.h"

constexpr int32_t kNodeRecordSize = 632;

// One point of a patrol list, as AddWaypoint received it.
struct NodeWaypoint {
    Vector3 Position;
    int32_t Keep;
    int32_t Tag;
    uint8_t AlsoStore;
};
static_assert(sizeof(NodeWaypoint) == 24);

using NodeWaypointList = List<NodeWaypoint>;

class ServerNode : public ServerUnit {
public:
    // The unit, then the character's alertable, latch and generation limit;
    // one empty patrol list that both cursors point at.
    ServerNode(int32_t team, const ObjectDefinition* definition, const Vector3& position, const Quaternion& orientation,
               int32_t id);

    // ---- Overrides, in the table's order ----
    int32_t GetSize() const override { return kNodeRecordSize; }
    bool IsNode() const override { return true; }
    // NodeStartTime, then the unit's start.
    void Start(uint64_t time, Real seconds) override;
    // Appends the point to the patrol list being edited.
    void AddWaypoint(const Vector3& point, int32_t keep, bool alsoStore, int32_t tag) override;

    // ---- Patrol lists ----
    // Starts a new empty list after the one being edited and edits it; the
    // patrol starts again from the first list.
    void NewWaypointList();
    // Moves the patrol to the next list, from the last back to the first, and answers it.
    const NodeWaypointList& NextWaypointList();
    int32_t WaypointListCount() const { return WaypointLists.Count(); }

    // ---- Fields ----
    uint64_t NodeStartTime = 0;
    List<int32_t> NodeAiList; // ids of the actors generated, oldest first (node core)
    int32_t NodeAiValue = 0;  // actors generated so far (node core)
    int32_t NodeAiIndex = -1; // the actor of the last generating pass, -1 none (node core)
    uint8_t Alertable = 0;
    uint8_t Alerted = 0;      // generates without hearing an enemy
    uint8_t LatchTrigger = 0; // hearing an enemy sets Alerted
    uint8_t NodeAiFlag = 0;   // 1 from a generating pass to its send-off (node core)
    int32_t GenerationLimit = 0;
    List<NodeWaypointList> WaypointLists; // never empty
    ListNodeBase* EditCursor;             // a node of WaypointLists
    ListNodeBase* PatrolCursor;           // a node of WaypointLists
};

// Registers the class's maker with the server factory.
void RegisterServerNode();
