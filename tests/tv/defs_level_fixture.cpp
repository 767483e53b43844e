#include "tests/tv/defs_level_fixture.h"

#include <filesystem>

#include "Tv/defs/datadirectory.h"
#include "Tv/defs/leveldefinitions.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/headless_level.h"
#include "Tv/world/level_world.h"
#include "chunkfile/hierarchy_chunks.h"
#include "platform/paths.h"

void LevelTest::SetUp() {
    ModelTest::SetUp();
    previousDir_ = plat::GetCurrentDir();
    plat::SetCurrentDir(dir.path());
    dir.Write("tvdirs.tvs", R"(directory { name "qifs" file "Qifs" })");
    std::filesystem::create_directories(dir / "Qifs");
    TvLoadDirectoryScript("tvdirs.tvs");
}

void LevelTest::TearDown() {
    TvReleaseLevelResources();
    plat::SetCurrentDir(previousDir_);
    ModelTest::TearDown();
}

void LevelTest::WriteModelFile(const std::string& name, std::initializer_list<const char*> hierarchies,
                               std::initializer_list<const char*> objects) {
    FileChunk file;
    for (const char* object : objects) AddObject(file, object, SquareShape());
    for (const char* hierarchy : hierarchies) {
        ParentChunk* top = AddHierarchy(file, hierarchy);
        AddNode(*top, *objects.begin());
    }
    ASSERT_TRUE(file.Save(dir / ("Qifs/" + name)));
    plat::ClearPathCache();
}

void LevelTest::CopySample(const std::string& name) {
    for (const std::string& file : {name, std::string("crate.bmp")})
        std::filesystem::copy_file(std::string(TAVRIN_DATA_DIR) + "/Qifs/" + file, dir / ("Qifs/" + file),
                                   std::filesystem::copy_options::overwrite_existing);
    plat::ClearPathCache();
}

void LevelTest::Load(const std::string& text, const std::string& scriptName) {
    ReleaseLevelDefinitions();
    TvReleaseLevelWorld();
    dir.Write(scriptName, text);
    diagnostics.Clear();
    TvSetLevelScriptName(scriptName.c_str());
    LoadLevelDefinitions(scriptName);
}

const ObjectDefinition& LevelTest::Definition(const char* name) {
    static const ObjectDefinition missing(-1);
    const ObjectDefinition* d = DefinitionRegistry::FindByName(name);
    EXPECT_NE(d, nullptr) << "no definition " << name;
    return d ? *d : missing;
}
