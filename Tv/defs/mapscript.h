#pragma once
// The `map` definition type: the level's model file and the placements of its
// use statements, objects of the model file that become actors of a role.

#include "Tv/defs/scriptobject.h"
#include "core/hashtable.h"

class AwModelFile;
class LevelWorld;

// One placement: the objects named objectName (compared without regard to
// case) become actors of `role` in `team`; the console variable, when given,
// receives the created actor's id.
struct UseEntry : MemObject {
    // Takes a reference on `role`.
    UseEntry(const char* object, const char* variable, ScriptObject* role, int32_t team, bool inherited);
    ~UseEntry();
    UseEntry(const UseEntry&) = delete;
    UseEntry& operator=(const UseEntry&) = delete;

    OwnedText objectName;
    OwnedText variableName; // none when the statement names no variable
    ScriptObject* role;     // counted
    int32_t team;
    bool inherited; // copied from the map this one inherits from
};

// Placements keyed by HashStringUpper of the object name, in 64 buckets;
// whoever walks it (the map's Apply) meets the entries in bucket order.
using UseTable = HashTable<UseEntry*>;

class MapScriptObject final : public LevelScriptObject {
public:
    static constexpr uint32_t kUseTableBuckets = 64;

    static ScriptObject* Create() { return new MapScriptObject; }
    ~MapScriptObject() override;

    // Also requires every placement's role to be valid.
    bool ReferencesValid() const override;
    // Also copies every placement of `base`, marked inherited.
    void InheritFrom(const ScriptObject& base) override;
    // Takes use statements: each binding becomes a placement, replacing an
    // inherited one of the same name; a name already placed by this map is
    // refused with "object '%s' has already been used".
    void AssignValue(const PropertyValue& value) override;
    void DropReferences() override;
    // Builds the level (mapapply.cpp): the level world from the ".cut" cache
    // or, rebuilding it and the model's twins, from the level model; its
    // dummies and sounds, sky, camera limits and waypoint graph; then places
    // the actors of active teams. The placements are consumed. Nothing when
    // the block is incomplete; a level object missing from the model stops it
    // with an error.
    void Apply() override;

    const UseTable& Placements() const { return placements_; }

private:
    MapScriptObject();
    void PlaceActors(const AwModelFile& file, const LevelWorld& world);
    void AddPlacement(UseEntry* entry);
    void ClearPlacements();

    UseTable placements_{kUseTableBuckets};
};
