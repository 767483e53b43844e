#pragma once
// Fixtures of the tests that apply definitions: a started engine, a fresh
// directory made current and loaded as the base with the qifs entry "Qifs",
// model files written there, and every level torn down afterwards (levels,
// the level world, weapon tables, cached files, models and shapes, the
// directory table).

#include <initializer_list>
#include <string>

#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "tests/awapi/model_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/tv/defs_test_helpers.h"

class LevelTest : public ModelTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Qifs/NAME: a square object of each name in `objects`, and a
    // hierarchy of each name in `hierarchies` showing the first object.
    void WriteModelFile(const std::string& name, std::initializer_list<const char*> hierarchies,
                        std::initializer_list<const char*> objects);
    // Copies a sample model (and the crate texture) into Qifs.
    void CopySample(const std::string& name);

    // Applies `text` as the level script `scriptName` (ids from 0), after
    // the previous level's teardown; the level stays loaded until the next
    // Load or the end of the test.
    void Load(const std::string& text, const std::string& scriptName = "level.tvs");
    // The definition of that name; fails the test when there is none.
    const ObjectDefinition& Definition(const char* name);

    TempDir dir;
    RecordedDiagnostics diagnostics;

private:
    std::string previousDir_;
};
