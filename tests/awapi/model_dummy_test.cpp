#include <gtest/gtest.h>

#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_file.h"
#include "chunkfile/cutscene_builder.h"
#include "chunkfile/cutscene_chunks.h"
#include "chunkfile/light_dummy.h"
#include "tests/awapi/model_fixture.h"

namespace {

using DummyTest = ModelTest;

TEST_F(DummyTest, DummiesArePlacedAtScaledPositionMinusOriginWithOptionalNameAndText) {
    DummyObjectFields named;
    named.position = {1000, 0, -2000};
    named.second = {5, 6, 7};
    named.name = "Spawn";
    (new DummyObjectChunk(tree.get(), named))->SetText("team 1");
    new DummyObjectChunk(tree.get(), DummyObjectFields{});
    AddParent(*tree, "DUMMYOBJ"); // without data: skipped
    auto file = AwModelFile::FromTree(std::move(tree));
    std::vector<AwDummyObject> dummies;
    AwLoadDummies(dummies, *file, Vector3(1, 0, 0));
    ASSERT_EQ(2u, dummies.size());
    EXPECT_FLOAT_EQ(0.0f, dummies[0].Position.x);
    EXPECT_FLOAT_EQ(-2.0f, dummies[0].Position.z);
    EXPECT_FLOAT_EQ(5.0f, dummies[0].FirstVector.x); // not scaled
    EXPECT_EQ("Spawn", dummies[0].Name);
    EXPECT_EQ("team 1", dummies[0].Text);
    EXPECT_FALSE(dummies[1].Name);
    EXPECT_FALSE(dummies[1].Text);
}

struct BuiltCutscene {
    static inline std::string name;
    static inline float scale = 0;
    static inline Vector3 origin{0, 0, 0};
    static void Build(Cutscene*, const CutsceneChunk& chunk, float worldScale, Vector3 o) {
        name = chunk.FindDataChunk()->Name();
        scale = worldScale;
        origin = o;
    }
};

TEST_F(DummyTest, CutscenesAreFoundByNameIgnoringCase) {
    ParentChunk* environment = AddEnvironment(*tree, 1.0);
    auto file = AwModelFile::FromTree(std::make_unique<FileChunk>());
    EXPECT_FALSE(AwBuildCutscene(nullptr, *file, "Intro", Vector3(0, 0, 0))); // no SPECLOBJ
    ParentChunk* special = AddParent(*environment, "SPECLOBJ");
    new CutsceneChunk(special, "Outro", 0, 0, 0);
    new CutsceneChunk(special, "Intro", 0, 0, 0);
    file = AwModelFile::FromTree(std::move(tree));
    CutsceneBuilder previous = InstallCutsceneBuilder(nullptr);
    EXPECT_FALSE(AwBuildCutscene(nullptr, *file, "Intro", Vector3(0, 0, 0))); // nothing to build it with
    InstallCutsceneBuilder(&BuiltCutscene::Build);
    EXPECT_TRUE(AwBuildCutscene(nullptr, *file, "INTRO", Vector3(0, 5, 0)));
    EXPECT_EQ("Intro", BuiltCutscene::name);
    EXPECT_FLOAT_EQ(0.001f, BuiltCutscene::scale);
    EXPECT_FLOAT_EQ(5.0f, BuiltCutscene::origin.y);
    EXPECT_FALSE(AwBuildCutscene(nullptr, *file, "Credits", Vector3(0, 0, 0)));
    InstallCutsceneBuilder(previous);
}

} // namespace
