// Direct control (59 moving, 61 placed): the controlling client reports the
// unit's pose and motion, and the server's unit follows it.

#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/collision_polygon.h"
#include "Tv/world/level_world.h"
#include "core/rwlock.h"

namespace {

// On the floor under the reported position: the mover follows the unit and
// leaves the marks of its previous polygon.
void MoveToFloorUnder(ServerUnit& unit, const Vector3& position) {
    if (!LevelWorldInstance || !unit.Mover) return;
    RwLockHold hold(LevelWorldLock(), false);
    CollisionPolygon* floor = LevelWorldInstance->FindFloor(position);
    if (!floor) return;
    unit.SyncMotionPosition();
    if (unit.Mover->floor) unit.Mover->floor->flags &= ~kPolygonUnitMarks;
    unit.Mover->floor = floor;
}

const char* MotionState(ServerUnit& unit, ClientRecordReader& in) {
    const float time = in.F32();
    const Vector3 position = in.Point();
    const Quaternion orientation = in.Quat();
    const float x = in.F32(), y = in.F32();
    const Vector3 motion(x, y, in.F32());
    if (unit.Mover) unit.Mover->velocity = motion;
    if (unit.OnTrack)
        unit.SetOrientation(orientation);
    else
        unit.MoveTo(position, orientation, time);
    if (in.Type() == MSG_UNIT_PLACED) {
        unit.AtRestUnderControl = 1;
        return nullptr;
    }
    unit.AtRestUnderControl = 0;
    if (!unit.OnTrack) MoveToFloorUnder(unit, position);
    return nullptr;
}

} // namespace

DrainStep HandleMotionState(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, MotionState);
}
