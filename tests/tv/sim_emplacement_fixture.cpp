#include "tests/tv/sim_emplacement_fixture.h"

#include <memory>

#include "Awapi/model/model_node.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_popup.h"
#include "core/clock.h"
#include "tests/tv/sim_combat_fixture.h"

void EmplacementTest::SetUp() {
    BotTest::SetUp();
    RegisterServerPopup();
}

AwModel* EmplacementTest::EmplacementModel(const EmplacementModelSpec& spec) {
    auto* model = new AwModel;
    model->Sequences = std::make_unique<AwAnimSequenceList>(kSequenceRise + (spec.rise ? 1 : 0));
    for (auto& sequence : *model->Sequences) {
        sequence = std::make_unique<AwAnimSequence>();
        sequence->Frames.resize(1);
    }
    auto& sequences = *model->Sequences;
    if (spec.rise) sequences[kSequenceRise]->Length = static_cast<uint32_t>(CurrentTicksPerSecond());
    if (spec.poses) {
        sequences[kSequenceRaisedPose]->BoundsFirst = {-1, -3, -1};
        sequences[kSequenceRaisedPose]->BoundsSecond = {1, 0, 1};
        sequences[kSequenceLoweredPose]->BoundsFirst = {-1, -1, -1};
        sequences[kSequenceLoweredPose]->BoundsSecond = {1, 0, 1};
    } else {
        sequences[kSequenceRaisedPose].reset();
        sequences[kSequenceLoweredPose].reset();
    }
    return model;
}

ObjectDefinition* EmplacementTest::MakeEmplacement(const char* name, int32_t aiCore, const GunnerSpec& spec,
                                                   const EmplacementModelSpec& model) {
    ObjectDefinition* definition = MakeGunner(name, spec);
    definition->aiCore = aiCore;
    definition->model = EmplacementModel(model);
    definition->character->hearingRange = 4;
    definition->character->hearingRangeSquared = 16;
    return definition;
}

ServerPopup* EmplacementTest::MakePopup(int32_t team, const Vector3& position, const ObjectDefinition* definition,
                                        int32_t heading) {
    ServerUnit* unit = MakeUnit(team, position, definition, heading);
    return unit && unit->IsPopup() ? static_cast<ServerPopup*>(unit) : nullptr;
}

ServerTurret* EmplacementTest::MakeTurret(int32_t team, const Vector3& position, const ObjectDefinition* definition,
                                          int32_t heading) {
    ServerUnit* unit = MakeUnit(team, position, definition, heading);
    return unit && unit->IsTurret() ? static_cast<ServerTurret*>(unit) : nullptr;
}

TestActor* EmplacementTest::Intruder(int32_t team, const Vector3& centre) {
    // A plain actor's centre stands half its height (1 m) above its position.
    auto* actor = new TestActor(team, centre + Vector3(0, 0.5f, 0), kActorFlagsUnit);
    TeamListAppend(actor);
    return actor;
}

void EmplacementTest::ThinkFor(ServerObject& actor, Real seconds) {
    AdvanceSeconds(seconds);
    actor.Think(Now(), NowSeconds());
}
