#include "Tv/defs/actor_class.h"

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"

namespace {

constexpr int32_t kUnarmedWeaponType = 33;

} // namespace

ActorClass ActorClassOf(const ObjectDefinition& definition) {
    switch (definition.aiCore) {
    case kAiCoreBot: return ActorClass::Bot;
    case kAiCoreMine: return ActorClass::Unit;
    case 5: return ActorClass::Blocker;
    case kAiCoreTrackObject: return ActorClass::TrackObject;
    case 9: return ActorClass::Tumbleweed;
    case kAiCorePickup: return ActorClass::Pickup;
    case 11: return ActorClass::BackgroundCreature;
    case 12: return ActorClass::FlyingCreature;
    case 13: return ActorClass::Centipede;
    case 14: return ActorClass::Centibody;
    case 15:
    case kAiCoreNodeWaiting: return ActorClass::Node;
    case 18: return ActorClass::Popup;
    case 19: return ActorClass::President;
    case 20: return ActorClass::Turret;
    default: break;
    }
    if (definition.character)
        return definition.character->weapon == kUnarmedWeaponType ? ActorClass::Unit : ActorClass::Bot;
    return definition.projectile ? ActorClass::None : ActorClass::Object;
}
