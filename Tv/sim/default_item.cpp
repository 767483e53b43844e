#include "Tv/sim/default_item.h"

#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/server_hooks.h"
#include "Tv/sim/server_object.h"
#include "Tv/sim/vulnerability.h"

void GiveDefaultItem(ServerObject* actor) {
    const ObjectDefinition* definition = actor ? actor->Definition : nullptr;
    if (!definition || definition->interfaceBeamDelay < 0) return;
    // Without either definition the record could never apply (or, without the
    // beam, would answer to any shot), so none is given.
    const ObjectDefinition* attacker = DefinitionRegistry::FindByName("zudad");
    const ObjectDefinition* beam = DefinitionRegistry::FindByName("interface_beam");
    if (!attacker || !beam) return;
    for (const Vulnerability* held : actor->Vulnerabilities)
        if (held->attacker == attacker && held->projectile == beam) return;
    auto* item = new Vulnerability;
    item->attacker = attacker;
    item->projectile = beam;
    item->delaySeconds = definition->interfaceBeamDelay;
    item->effect = definition->interfaceBeamEffect;
    item->scriptName =
        definition->interfaceBeamScript.IsNone() ? nullptr : TextCopy(definition->interfaceBeamScript.Get());
    item->durationSeconds = definition->interfaceBeamDuration;
    item->owned = 1;
    actor->Vulnerabilities.PushBack(item);
}

void RegisterDefaultItem() {
    ServerHooks hooks = InstalledServerHooks(); // keep what others installed
    hooks.giveDefaultItem = &GiveDefaultItem;
    SetServerHooks(hooks);
}
