#include "tools/tvlevel/level_loading.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_file.h"
#include "Awapi/shape_instance.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/tokens.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/leveldefinitions.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/headless_level.h"
#include "Tv/server/server_registration.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/level_shape.h"
#include "Tv/world/level_world.h"
#include "platform/paths.h"

namespace {

constexpr int32_t kToolTeams = 10;
constexpr uint32_t kVertexLimit = 200; // the map definition's default

std::vector<Placement>* recorded = nullptr;

int32_t RecordActor(int32_t team, const ObjectDefinition& definition, const Vector3& position, const Quaternion&) {
    const auto id = static_cast<int32_t>(recorded->size());
    recorded->push_back({id, team, definition.name.Get() ? definition.name.Get() : "", position, ""});
    return id;
}

// The variable of a placement is set right after its actor is made.
void RecordVariable(const char* name, float value) {
    for (Placement& p : *recorded)
        if (static_cast<float>(p.id) == value) p.variable = name;
}

bool EndsWithQif(const std::string& name) {
    return name.size() >= 4 && AwNamesMatch(name.substr(name.size() - 4), ".qif");
}

bool LoadModel(const std::string& path, const std::string& objectName) {
    const std::filesystem::path full = std::filesystem::absolute(path);
    plat::SetCurrentDir(full.parent_path().string()); // its textures are named beside it
    std::unique_ptr<AwModelFile> file = AwModelFile::Open(full.filename().string());
    if (!file) {
        std::fprintf(stderr, "tvlevel: cannot read %s\n", path.c_str());
        return false;
    }
    const std::string* first = file->FirstShapedObjectName();
    const std::string name = !objectName.empty() ? objectName : first ? *first : "";
    LevelShape shape;
    if (!LoadLevelShape(*file, name.c_str(), kVertexLimit, shape)) {
        std::fprintf(stderr, "tvlevel: %s has no object \"%s\" with a shape\n", path.c_str(), name.c_str());
        return false;
    }
    LevelWorldInstance = new LevelWorld(shape.root, shape.origin, shape.geometry.get());
    LoadPathGraph(*LevelWorldInstance, 0, "");
    AwLoadDummies(LevelDummyList, *file, shape.origin);
    return true;
}

bool LoadScript(const std::string& directory, const std::string& name, LoadedLevel& out) {
    if (!directory.empty() && !plat::SetCurrentDir(directory)) {
        std::fprintf(stderr, "tvlevel: cannot enter %s\n", directory.c_str());
        return false;
    }
    TvLoadDirectoryScript("tvdirs.tvs");
    // Every team of the table takes part.
    SessionTeamCount = kToolTeams;
    RegisterServerCore();
    TeamTable::Reset();
    recorded = &out.placements;
    // As an attached client, which makes the placed objects.
    const ObjectFactory previousFactory = InstallClientObjectFactory(&RecordActor);
    const TokenSetter previousSetter = TokenTable::Install(&RecordVariable);
    StderrErrorSink sink;
    ScriptDiagnosticSink* previousSink = SetScriptDiagnosticSink(&sink);
    TvSetLevelScriptName(name.c_str());
    DataDirEnter(kDataDirScripts);
    LoadLevelDefinitions(name);
    SetScriptDiagnosticSink(previousSink);
    TokenTable::Install(previousSetter);
    InstallClientObjectFactory(previousFactory);
    recorded = nullptr;
    if (!LevelWorldInstance) std::fprintf(stderr, "tvlevel: %s builds no level\n", name.c_str());
    return LevelWorldInstance != nullptr;
}

} // namespace

bool LoadLevel(const std::string& directory, const std::string& name, const std::string& object, LoadedLevel& out) {
    return EndsWithQif(name) ? LoadModel(name, object) : LoadScript(directory, name, out);
}

void UnloadLevel() {
    TvReleaseLevelResources();
    TeamTable::Destroy();
}
