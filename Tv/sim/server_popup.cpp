#include "Tv/sim/server_popup.h"

#include <algorithm>

#include "Awapi/model/model_node.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/combat_ai.h"

namespace {

constexpr int32_t kRiseSpeed = 1 << 16; // 1.0 in 16.16
constexpr int32_t kFastRiseFactor = 100;
constexpr uint32_t kRiseFlags = 16;

} // namespace

void ServerPopup::Start(uint64_t time, Real seconds) {
    ServerBot::Start(time, seconds);
    CentreOffset = SequenceBoxCentre(kSequenceLoweredPose);
}

Vector3 ServerPopup::SequenceBoxCentre(int32_t sequence) const {
    const AwModel* model = Definition ? Definition->model : nullptr;
    if (!model || !model->HasSequence(sequence)) return Vector3{0, 0, 0};
    const AwAnimSequence& recorded = *(*model->Sequences)[static_cast<size_t>(sequence)];
    return (recorded.BoundsFirst + recorded.BoundsSecond) * 0.5f;
}

void ServerPopup::PopUp(bool fast) {
    // A model without the rise has nothing to wait for.
    if (!PlaySequence(kSequenceRise, fast ? kRiseSpeed * kFastRiseFactor : kRiseSpeed, 1,
                      static_cast<uint32_t>(ThinkTicks), &Raised, kRiseFlags, false))
        Raised = 1;
    Rising = 1;
    CentreOffset = SequenceBoxCentre(kSequenceRaisedPose);
    TvBroadcast(ActorMessage(fast ? kMsgPopupRisingFast : kMsgPopupRising, Id), true);
}

void ServerPopup::Think(uint64_t time, Real seconds) {
    if (!IsAlive()) {
        ServerObject::Think(time, seconds);
        return;
    }
    if (Raised) {
        if (!Disabled) AiTickCallback = TvCombatAi;
        ServerBot::Think(time, seconds);
        return;
    }
    Disabled = 0;
    if (!Rising && Character) {
        const int32_t teams = std::min(static_cast<int32_t>(TeamCount), kTeamActorListCount);
        for (int32_t team = 1; team < teams && !Rising; ++team) {
            if (team == Team) continue;
            for (ServerObject* actor : *TeamActorListOf(team)) {
                if (!actor->IsAlive() || actor->IsActive() ||
                    !(DistanceSquared(Position, actor->GetCentre()) < Character->hearingRangeSquared))
                    continue;
                PopUp(false);
                break;
            }
        }
    }
    ServerObject::Think(time, seconds);
}

void RegisterServerPopup() {
    SetServerActorMaker(ServerActorClass::Popup, &MakeServerActor<ServerPopup>);
    SetServerActorMaker(ServerActorClass::Turret, &MakeServerActor<ServerTurret>);
}
