// Whole compilations: what the caller gets back, where diagnostics point,
// the application of the list, and the sample data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tv/frontend/loading_screen.h"
#include "defs_test_helpers.h"

namespace {

using Texts = std::vector<std::string>;

TEST_F(DefsTest, MissingFileGivesAnEmptyListWithOneErrorAndOneWarning) {
    ScriptObjectList* list = CompileFile("nope.tvs");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->objects.Count(), 0);
    EXPECT_EQ(diagnostics.Errors(), Texts{"unable to open file 'nope.tvs'"});
    EXPECT_EQ(diagnostics.Warnings(), Texts{"empty script found"});
    EXPECT_EQ(ScriptErrorCount, 1);
    EXPECT_EQ(ScriptWarningCount, 1);
}

TEST_F(DefsTest, CountersCountWithoutASink) {
    SetScriptDiagnosticSink(nullptr);
    CompileFile("nope.tvs");
    EXPECT_EQ(ScriptErrorCount, 1);
    EXPECT_EQ(ScriptWarningCount, 1);
    EXPECT_TRUE(diagnostics.entries.empty());
    SetScriptDiagnosticSink(&diagnostics);
}

TEST_F(DefsTest, ObjectNamingAnUndefinedObjectIsListedWithAnError) {
    Compile(std::string(kRoleParts) + "declare character later\n" +
            "role r { identifier \"r\" character later light lamp projectile bolt destructibility boom "
            "alpha fogging no per vertex fogging no }\n");
    EXPECT_EQ(diagnostics.Errors(), Texts{"incomplete object definition found"});
    EXPECT_NE(Listed("r"), nullptr);
}

TEST_F(DefsTest, PreprocessSyntaxErrorKeepsWhatCameBefore) {
    const std::string light = "{ red 1 green 1 blue 1 specular red 0 specular green 0 specular blue 0 range 1 }\n";
    Compile("light a " + light + "#define Q \"\nQ\nlight b " + light);
    EXPECT_EQ(diagnostics.Errors(), Texts{"syntax error"});
    EXPECT_NE(Listed("a"), nullptr);
    EXPECT_EQ(Listed("b"), nullptr); // the rest of the file was never preprocessed
    EXPECT_EQ(ListedCount(), 1);
}

TEST_F(DefsTest, DiagnosticsPointAtTheirFileAndLine) {
    Write("inc.tvs", "\n#define A 2\n");
    Compile("#define A 1\n#include \"inc.tvs\"\nlight a { red 1 ; }\n#line 40 \"other.tvs\"\n= light b { }\n");
    std::vector<std::string> where;
    for (const auto& e : diagnostics.entries) where.push_back(e.file + ":" + std::to_string(e.line) + " " + e.text);
    EXPECT_EQ(where, (Texts{"inc.tvs:2 macro redefinition", "test.tvs:3 unexpected character ';'",
                            "test.tvs:3 abstract definition not declared with 'abstract'",
                            "other.tvs:40 unexpected character '='",
                            "other.tvs:40 abstract definition not declared with 'abstract'",
                            ":0 empty script found"}));
}

TEST_F(DefsTest, CarriageReturnLineFeedEndsALine) {
    Compile("light l {\r\n red 1 green 1 blue 1\r\n specular red 0 specular green 0 specular blue 0\r\n range 1 }\r\n"
            "#ifdef NOTHING\r\nlight m { }\r\n#endif\r\n");
    EXPECT_EQ(diagnostics.entries.size(), 0u);
    EXPECT_EQ(ListedCount(), 1);
}

int32_t progressSeen[8];
int progressCount = 0;

TEST_F(DefsTest, ApplyAllEmptiesTheListAndReportsProgress) {
    ScriptObjectList* list = Compile(kRoleParts);
    ASSERT_EQ(list->objects.Count(), 4);
    progressCount = 0;
    LoadingScreenHooks screen;
    screen.setProgress = [](int32_t percent) { progressSeen[progressCount++] = percent; };
    const LoadingScreenHooks previous = InstallLoadingScreen(screen);
    ScriptObjectList::ApplyAll(list);
    InstallLoadingScreen(previous);
    EXPECT_EQ(list->objects.Count(), 0);
    ASSERT_EQ(progressCount, 4);
    EXPECT_EQ(std::vector<int32_t>(progressSeen, progressSeen + 4), (std::vector<int32_t>{0, 25, 50, 75}));
    // Nothing to do without a list.
    ScriptObjectList::ApplyAll(nullptr);
    ScriptObjectList::Delete(nullptr);
}

TEST_F(DefsTest, SampleDataCompilesWithoutErrors) {
    ScriptObjectList* directories = CompileFile(TAVRIN_SOURCE_DIR "/data/tvdirs.tvs", kScriptModeDirectory);
    ASSERT_NE(directories, nullptr);
    EXPECT_EQ(diagnostics.Errors(), Texts{});
    EXPECT_EQ(directories->objects.Count(), 8);

    ScriptObjectList* level = CompileFile(TAVRIN_SOURCE_DIR "/data/levels/sample.tvs");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(diagnostics.Errors(), Texts{});
    EXPECT_NE(Listed("sample_map"), nullptr);
    EXPECT_NE(Listed("scout_unit"), nullptr);
}

} // namespace
