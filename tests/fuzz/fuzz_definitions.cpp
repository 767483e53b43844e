#include "tests/fuzz/fuzz_definitions.h"

#include <memory>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "core/clock.h"
#include "platform/virtual_clock.h"

void StartFuzzClock() {
    static bool started = false;
    if (started) return;
    static plat::VirtualClock clock;
    RecalibrateClocks(200);
    started = true;
}

ObjectDefinition* AddFuzzDefinition(const FuzzKind& kind) {
    ObjectDefinition* definition = DefinitionRegistry::NewDefinition();
    definition->name = OwnedText(kind.name);
    definition->aiCore = kind.aiCore;
    if (kind.weapon >= 0) {
        definition->character = std::make_unique<CharacterRecord>();
        definition->character->weapon = kind.weapon;
    }
    if (kind.projectile) definition->projectile = std::make_unique<ProjectileRecord>();
    return definition;
}
