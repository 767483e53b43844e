#include "Tv/defs/leveldefinitions.h"

#include "Tv/client/weapons.h"
#include "Tv/defs/compiler.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/resourcecache.h"

void LoadLevelDefinitions(std::string_view path) {
    DefinitionNextId = 0;
    ScriptObjectList* list = TvCompileScript(path, kScriptModeLevel);
    DataDirRestore();
    ScriptObjectList::ApplyAll(list);
    ScriptObjectList::Delete(list);
    ResourceCache::ReleaseFiles();
}

void ReleaseLevelDefinitions() {
    DefinitionRegistry::ReleaseAll();
    EmptyWeaponTables();
}
