#include "Tv/defs/definitionregistry.h"

#include "Tv/defs/objectdefinition.h"
#include "core/hashtable.h"

int32_t DefinitionNextId = 0;

namespace {

HashTable<ObjectDefinition*> definitions{64};

uint32_t KeyOf(int32_t id) { return static_cast<uint32_t>(id); }

// The first definition in walk order that satisfies `matches`.
template <class Pred>
ObjectDefinition* FindFirst(Pred matches) {
    HashTable<ObjectDefinition*>::Iterator it;
    for (it.Begin(definitions); !it.AtEnd(); it.Next())
        if (matches(*it.Current()->Payload)) return it.Current()->Payload;
    return nullptr;
}

ObjectDefinition* FindByWeaponClass(int32_t weaponType, int32_t aggressionClass) {
    return FindFirst([&](const ObjectDefinition& d) {
        return d.character && d.character->weapon == weaponType &&
               ObjectDefinition::AggressionClass(&d) == aggressionClass;
    });
}

} // namespace

namespace DefinitionRegistry {

ObjectDefinition* NewDefinition() {
    auto* definition = new ObjectDefinition(DefinitionNextId++);
    definitions.Insert(definition, KeyOf(definition->id));
    return definition;
}

ObjectDefinition* FindByName(const char* name) {
    return FindFirst([&](const ObjectDefinition& d) { return d.name.Get() && NameEquals(d.name.Get(), name); });
}

ObjectDefinition* FindById(int32_t id) {
    auto* entry = definitions.Find(KeyOf(id), [&](const ObjectDefinition* d) { return d->id == id; });
    return entry ? entry->Payload : nullptr;
}

ObjectDefinition* FindByWeaponClass6(int32_t weaponType) { return FindByWeaponClass(weaponType, 6); }
ObjectDefinition* FindByWeaponClass4(int32_t weaponType) { return FindByWeaponClass(weaponType, 4); }

int32_t Count() { return definitions.Count(); }

void Remove(ObjectDefinition* definition) {
    if (definitions.Remove(definition, KeyOf(definition->id))) delete definition;
}

void ReleaseAll() {
    HashTable<ObjectDefinition*>::Iterator it;
    for (it.Begin(definitions); !it.AtEnd(); it.Next()) delete it.Current()->Payload;
    definitions.Clear();
}

} // namespace DefinitionRegistry
