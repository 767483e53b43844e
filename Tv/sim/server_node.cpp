#include "Tv/sim/server_node.h"

#include "Tv/defs/definitionrecords.h"
#include "Tv/sim/actor_makers.h"

namespace {

NodeWaypointList& ListAt(ListNodeBase* cursor) { return static_cast<List<NodeWaypointList>::Node*>(cursor)->Payload; }

} // namespace

ServerNode::ServerNode(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                       const Quaternion& orientation, int32_t id)
    : ServerUnit(team, definition, position, orientation, id) {
    if (Character) {
        Alertable = Character->alertable;
        LatchTrigger = Character->latchTrigger;
        GenerationLimit = Character->generationLimit;
    }
    EditCursor = PatrolCursor = WaypointLists.PushBack(NodeWaypointList());
}

void ServerNode::Start(uint64_t time, Real seconds) {
    NodeStartTime = time;
    ServerUnit::Start(time, seconds);
}

void ServerNode::AddWaypoint(const Vector3& point, int32_t keep, bool alsoStore, int32_t tag) {
    ListAt(EditCursor).PushBack(NodeWaypoint{point, keep, tag, static_cast<uint8_t>(alsoStore)});
}

void ServerNode::NewWaypointList() {
    EditCursor = WaypointLists.InsertBefore(EditCursor->Next, NodeWaypointList());
    PatrolCursor = WaypointLists.Sentinel()->Next;
}

const NodeWaypointList& ServerNode::NextWaypointList() {
    PatrolCursor = PatrolCursor->Next;
    if (PatrolCursor == WaypointLists.Sentinel()) PatrolCursor = PatrolCursor->Next;
    return ListAt(PatrolCursor);
}

void RegisterServerNode() { SetServerActorMaker(ServerActorClass::Node, &MakeServerActor<ServerNode>); }
