// The loader's second pass: once every actor and inventory exists, the ids,
// keys and indices a loaded actor saved become references again, its AI core
// is installed afresh, and the clients hear what the level load could not
// tell them (crouching, the centipede chain, a popup that stood raised).

#include <cstdint>

#include "Tv/client/inventory.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/collision_mesh.h"
#include "Tv/world/collision_polygon.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/hashtable.h"
#include "core/rwlock.h"

namespace {

constexpr int32_t kMsgUnitCrouchedOnLoad = 77; // 9: id, concealed byte
constexpr int32_t kLevelFourSequence = 101;

// A saved reference (id + 1, 0 for none): the actor registered under it, or null.
ServerObject* SavedActor(int32_t saved) { return saved != 0 ? TvFindActor(saved - 1) : nullptr; }

// The field takes a reference on the actor and drops the one it held.
template <class T>
void Hold(T*& field, T* actor) {
    if (actor) actor->AddRef();
    if (field) field->Release();
    field = actor;
}

// The AI core from the restored AiCore, with the team list membership it asks
// for. A shot is built without a core and stays out of the team lists.
void ReinstallAiCore(ServerObject& actor) {
    if (actor.IsProjectile()) return;
    if (actor.InTeamList) TeamListRemove(&actor);
    TvSetAiCore(&actor, actor.AiCore, ServerClock.GetTime());
    if (actor.InTeamList) TeamListAppend(&actor);
    if (actor.IsUnit() && static_cast<ServerUnit&>(actor).Disabled) {
        actor.AiTickCallback = nullptr;
        actor.AiStartCallback = nullptr;
    }
    if (actor.AiStartCallback) actor.AiStartCallback(&actor, ServerClock.GetTime());
}

// Each record finds its item by the saved key and wears it again; a record
// whose key the inventory does not hold is dropped.
void RewearEquipment(ServerUnit& unit) {
    const Inventory* inventory = unit.GetInventory();
    ListNodeBase* next = nullptr;
    for (ListNodeBase* n = unit.Equipment.Sentinel()->Next; n != unit.Equipment.Sentinel(); n = next) {
        next = n->Next;
        auto* node = static_cast<ListNode<EquippedItem*>*>(n);
        EquippedItem* worn = node->Payload;
        InventoryItem* item = inventory ? inventory->FindItem(worn->SavedItemKey) : nullptr;
        if (!item) {
            unit.Equipment.RemoveNode(node);
            delete worn;
            continue;
        }
        worn->Item = item;
        worn->Shape = item->Shape;
        worn->Model = item->Model;
        worn->Kind = item->Kind;
        worn->SubKind = item->SubType;
        if (unit.Model) AttachItemModel(unit.Model, item, worn->Slot);
    }
}

void FixUpUnit(ServerUnit& unit) {
    RewearEquipment(unit);
    if (unit.Crouched) {
        ByteWriter message = ActorMessage(kMsgUnitCrouchedOnLoad, unit.Id);
        message.U8(unit.Concealed);
        TvBroadcast(message, false);
    }
    const char* name = unit.Definition ? unit.Definition->name.Get() : nullptr;
    if (name && NameEquals(name, "doriz") && unit.Team == 0 && NameEquals(TvGetLevelScriptName(), "level04.tvs")) {
        ByteWriter message = ActorMessage(kMsgActorSequence, unit.Id);
        message.I32(kLevelFourSequence);
        TvBroadcast(message, false);
    }
}

void FixUpBot(ServerBot& bot) {
    if (bot.SavedAmmoItemKey != 0) {
        const Inventory* inventory = bot.GetInventory();
        bot.AmmoItem = inventory ? inventory->FindItem(bot.SavedAmmoItemKey - 1) : nullptr;
    }
    if (bot.SavedFireTargetId != 0) Hold(bot.FireTarget, SavedActor(bot.SavedFireTargetId));
    bot.SavedAmmoItemKey = bot.SavedFireTargetId = 0;
}

// The chain the record keeps by id; clients relink theirs through message 138.
void RelinkSegment(ServerCentibody& segment) {
    if (segment.SavedNextSegmentId == 0) return;
    ServerObject* found = SavedActor(segment.SavedNextSegmentId);
    segment.SavedNextSegmentId = 0;
    auto* next = found && found->IsCentibody() ? static_cast<ServerCentibody*>(found) : nullptr;
    Hold(segment.NextSegment, next);
    if (!next) return;
    ByteWriter message = ActorMessage(kMsgSegmentLinked, segment.Id);
    message.I32(next->Id);
    TvBroadcast(message, true);
}

void FixUpTrackObject(ServerTrackObject& track) {
    for (int32_t id : track.SavedRiderIds)
        if (ServerObject* rider = TvFindActor(id)) track.AddRider(*rider);
    track.SavedRiderIds.Clear();
    if (!(track.CarriesRiders || track.InCollisionWorld) || track.Running || !track.Mesh || !LevelWorldInstance) return;
    RwLockHold hold(&LevelWorldInstance->lock, true);
    ForEachPolygon(*track.Mesh, [](CollisionPolygon& polygon) {
        if (polygon.flags & kPolygonClassMask) LevelWorldInstance->LinkNeighbours(&polygon);
    });
}

} // namespace

bool TvFixUpLoadedActor(ServerObject& actor) {
    if (actor.SavedHeapContentsId != 0)
        actor.HeapContents = DefinitionRegistry::FindById(actor.SavedHeapContentsId - 1);
    if (actor.SavedAiTargetId != 0) actor.SetAiTarget(SavedActor(actor.SavedAiTargetId));
    actor.SavedHeapContentsId = actor.SavedAiTargetId = 0;
    ReinstallAiCore(actor);

    if (actor.IsUnit()) FixUpUnit(static_cast<ServerUnit&>(actor));
    if (actor.IsBot()) FixUpBot(static_cast<ServerBot&>(actor));
    if (actor.IsCentibody()) RelinkSegment(static_cast<ServerCentibody&>(actor));
    if (actor.IsProjectile()) {
        auto& projectile = static_cast<ServerProjectile&>(actor);
        if (projectile.SavedTargetId != 0) Hold(projectile.Target, SavedActor(projectile.SavedTargetId));
        projectile.SavedTargetId = 0;
    }
    if (actor.IsTrackObject()) FixUpTrackObject(static_cast<ServerTrackObject&>(actor));
    if (actor.IsPopup()) {
        auto& popup = static_cast<ServerPopup&>(actor);
        if (popup.Raised) {
            popup.Raised = popup.Rising = 0;
            popup.PopUp(true);
        }
    }
    return true;
}

bool TvFixUpLoadedActors() {
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    snapshot.ForEach([](ServerObject* actor) { TvFixUpLoadedActor(*actor); });
    return true;
}
