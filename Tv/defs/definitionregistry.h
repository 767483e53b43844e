#pragma once
// The definition registry: every ObjectDefinition of the current level, by id
// and by name. Ids are given in the order definitions are first built, from
// DefinitionNextId, which the level load sets to 0 so that every machine
// numbers a level's definitions alike (ids travel in game messages).
//
// Definitions are made and destroyed only while a level loads or unloads;
// during play the main and the server thread only read the registry.
//
// Walks (by name, by weapon class, ReleaseAll) visit the 64 buckets of
// id AND 63 in ascending order, each from its most recent definition: of two
// matching definitions the one with the lower id AND 63 wins, and within one
// bucket the later one.

#include <cstdint>

struct ObjectDefinition;

// The id the next new definition takes.
extern int32_t DefinitionNextId;

namespace DefinitionRegistry {

// A new registered definition with the next id.
ObjectDefinition* NewDefinition();
// The definition of that name (without regard to case), or null.
ObjectDefinition* FindByName(const char* name);
ObjectDefinition* FindById(int32_t id);
// The first definition whose character carries `weaponType` and has
// aggression class 6 (respectively 4), or null.
ObjectDefinition* FindByWeaponClass6(int32_t weaponType);
ObjectDefinition* FindByWeaponClass4(int32_t weaponType);
int32_t Count();
// Unregisters and destroys one definition; its id stays used.
void Remove(ObjectDefinition* definition);
// Destroys every definition (level unload). DefinitionNextId keeps its value.
void ReleaseAll();

} // namespace DefinitionRegistry
