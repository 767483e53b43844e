// The definition language: names, blocks, inheritance, abstract definitions,
// difficulty prefixes, life and use statements.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "Tv/defs/grammar.h"
#include "Tv/defs/mapscript.h"
#include "Tv/defs/pgeneratorscript.h"
#include "core/clock.h"
#include "defs_test_helpers.h"
#include "platform/virtual_clock.h"

namespace {

using Texts = std::vector<std::string>;

std::string Role(const std::string& name, const std::string& extra = "") {
    return "role " + name + " { " + kRoleBody + " " + extra + " }\n";
}

TEST_F(DefsTest, DeclaredNameIsOneObjectBeforeAndAfterItsDefinition) {
    Compile(std::string(kRoleParts) + "declare character c1\n" +
            "role r { identifier \"r\" character c1 light lamp projectile bolt destructibility boom "
            "alpha fogging no per vertex fogging no }\n"
            "character c1 : walker { walking speed 3 }\n");
    EXPECT_EQ(diagnostics.Errors(), Texts{});
    ASSERT_NE(Listed("r"), nullptr);
    ASSERT_NE(Listed("c1"), nullptr);
    EXPECT_EQ(Listed("r")->GetReference(10), Listed("c1"));
    EXPECT_EQ(Listed("c1")->GetReal(12), 3.0);
}

TEST_F(DefsTest, NamesOfKeywordsAreNotNames) {
    for (const char* keyword : {"rate", "type", "x", "name", "file", "red", "role", "easy"}) {
        EXPECT_EQ(Compile(std::string("light ") + keyword + " { }\n"), nullptr) << keyword;
        EXPECT_EQ(diagnostics.Errors(), (Texts{"syntax error", "confused by earlier errors"})) << keyword;
    }
}

TEST_F(DefsTest, ReferencesToUnknownOrAbstractObjects) {
    Compile(std::string(kRoleParts) + "abstract light dim { red 1 }\n" +
            "role r { identifier \"r\" character ghost light dim projectile bolt destructibility boom "
            "alpha fogging no per vertex fogging no }\n");
    EXPECT_EQ(diagnostics.Errors(), Texts{"symbol 'ghost' has not been declared"});
    EXPECT_EQ(diagnostics.Count("symbol 'dim' is abstract"), 1);
    // Without its character the role is incomplete, so it is handled as abstract.
    EXPECT_EQ(diagnostics.Count("abstract definition not declared with 'abstract'"), 1);
    EXPECT_EQ(Listed("r"), nullptr);
}

TEST_F(DefsTest, SecondDefinitionOfANameIsDropped) {
    Compile(std::string(kRoleParts) + Role("a", "sever point \"first\"") + Role("a", "sever point \"second\"") +
            "declare role b\nlight b { }\n");
    EXPECT_EQ(diagnostics.Errors(),
              (Texts{"object has already been defined", "object already defined or declared as a different type"}));
    ASSERT_NE(Listed("a"), nullptr);
    EXPECT_STREQ(Listed("a")->GetString(72), "first");
    EXPECT_EQ(ListedCount(), 5);
}

TEST_F(DefsTest, InheritanceFromAbstractBases) {
    Compile(std::string(kRoleParts) +
            "abstract role base { identifier \"b\" character walker light lamp projectile bolt "
            "destructibility boom alpha fogging yes }\n"
            "role r : base { per vertex fogging yes identifier \"r\" }\n"
            "role wrong : walker { per vertex fogging yes }\n"
            "role early inherits later { }\n");
    EXPECT_EQ(diagnostics.Errors(),
              (Texts{"cannot inherit from a different type", "symbol 'later' has not been defined"}));
    EXPECT_EQ(Listed("base"), nullptr);
    ASSERT_NE(Listed("r"), nullptr);
    EXPECT_STREQ(Listed("r")->GetString(71), "r"); // reassigning an inherited value is no repetition
    EXPECT_EQ(Listed("r")->GetReference(10), Listed("walker"));
    EXPECT_TRUE(Listed("r")->GetBool(86));
    EXPECT_EQ(Listed("wrong"), nullptr);
}

TEST_F(DefsTest, AnonymousBlocks) {
    Compile("light { red 1 }\nstatic light { red 1 }\n");
    EXPECT_EQ(diagnostics.Notable(), (Texts{"abstract definition not declared with 'abstract'",
                                            "anonymous abstract definitions are pointless",
                                            "anonymous abstract definitions are pointless", "empty script found"}));
    ASSERT_NE(Compile("define light { red 1 green 1 blue 1 specular red 0 specular green 0 specular blue 0 range 1 }"),
              nullptr);
    ASSERT_EQ(ListedCount(), 1);
    EXPECT_TRUE(ListedAt(0)->IsAnonymous());
}

TEST_F(DefsTest, DifficultyPrefixesKeepTheGamesLevelOnly) {
    const std::string source = std::string(kRoleParts) + "character c : walker { easy alert radius 1 hard alert radius 3 }\n";
    static int32_t level;
    SetScriptDifficultyHook([] { return level; });
    for (auto [difficulty, radius] : {std::pair{0, 1.0}, {1, 10.0}, {2, 3.0}, {3, 10.0}}) {
        level = difficulty;
        Compile(source);
        ASSERT_NE(Listed("c"), nullptr);
        EXPECT_EQ(Listed("c")->GetReal(58), radius) << "difficulty " << difficulty;
        EXPECT_EQ(diagnostics.Errors(), Texts{});
    }
    SetScriptDifficultyHook(nullptr);
}

TEST_F(DefsTest, LifeStatements) {
    // A counter that runs at exactly 1,000 ticks a second.
    struct ThousandTicksASecond final : plat::VirtualClock {
        uint64_t KnownCounterFrequency() override { return uint64_t{1000} << 20; }
    } clock;
    RecalibrateClocks(0);
    ASSERT_EQ(CurrentTicksPerSecondFloat(), 1000.0f);
    const std::string generator = "pgenerator g { type 0 rate 1 x 0 y 0 z 0 red 1 green 1 blue 1 alpha 1 life ";
    struct Case {
        const char* life;
        int32_t kind;
        int32_t value;
    };
    // Times: the written number times the rate, rounded once, down.
    const Case cases[] = {
        {"0.1 seconds", kLifeTicks, 100},   {"2.5 seconds", kLifeTicks, 2500},
        {"0.7 seconds", kLifeTicks, 699},   {"2 minutes", kLifeTicks, 120000},
        {"0.05 minutes", kLifeTicks, 3000}, {"10 particles", kLifeParticles, 10},
        {"infinite", kLifeInfinite, 0},
    };
    for (const Case& c : cases) {
        Compile(generator + c.life + " }\n");
        EXPECT_EQ(diagnostics.Notable(), Texts{}) << c.life;
        auto* object = static_cast<PGeneratorScriptObject*>(Listed("g"));
        ASSERT_NE(object, nullptr) << c.life;
        EXPECT_EQ(object->LifeKindValue(), c.kind) << c.life;
        EXPECT_EQ(object->LifeAmount(), c.value) << c.life;
    }
    Compile(generator + "1.5 particles }\n");
    EXPECT_EQ(diagnostics.Notable(), Texts{"expecting an integral constant"});
    EXPECT_EQ(static_cast<PGeneratorScriptObject*>(Listed("g"))->LifeAmount(), 1);
}

TEST_F(DefsTest, UseStatements) {
    const std::string source =
        std::string(kRoleParts) + Role("r") + "abstract role half { identifier \"h\" }\n" +
        "map m { name \"n\" file \"f\" bitmap none camera plane none max camera distance 50\n"
        "  use r in team 1 for \"a\" as \"va\" \"b\"\n"
        "  use r for \"c\"\n"
        "  use r in team -1 for \"d\" as \"vd\"\n"
        "  use ghost in team 0 for \"e\" as \"ve\"\n"
        "  use walker in team 0 for \"f\" as \"vf\"\n"
        "  use half in team 2 for \"g\" as \"vg\"\n"
        "  use r in team 0 for \"A\" as \"va2\"\n"
        "}\n";
    Compile(source);
    // A binding without a variable is reported on its own line, not on the next token's.
    auto lineOf = [&](const std::string& text) {
        return static_cast<int32_t>(std::count(source.begin(), source.begin() + source.find(text), '\n') + 1);
    };
    std::vector<int32_t> unboundLines;
    for (const auto& e : diagnostics.entries)
        if (e.text == "no console variable specified") unboundLines.push_back(e.line);
    EXPECT_EQ(unboundLines, (std::vector<int32_t>{lineOf("\"b\"\n"), lineOf("\"c\"\n")}));
    EXPECT_EQ(diagnostics.Errors(),
              (Texts{"team numbers cannot be negative", "symbol 'ghost' has not been declared",
                     "symbol 'walker' is not a role", "object 'A' has already been used",
                     // the placement of the abstract role makes the map incomplete
                     "incomplete object definition found"}));
    EXPECT_EQ(diagnostics.Count("no console variable specified"), 2);
    EXPECT_EQ(diagnostics.Count("missing 'and'"), 1);
    EXPECT_EQ(diagnostics.Count("no team specified - assuming team 0"), 1);
    EXPECT_EQ(diagnostics.Count("symbol 'half' is abstract"), 1);

    auto* map = static_cast<MapScriptObject*>(Listed("m"));
    ASSERT_NE(map, nullptr);
    std::map<std::string, std::string> placed;
    UseTable::Iterator it;
    for (it.Begin(map->Placements()); !it.AtEnd(); it.Next()) {
        const UseEntry& e = *it.Current()->Payload;
        placed[e.objectName.Get()] = std::string(e.role->Name()) + "/" + std::to_string(e.team) + "/" +
                                     (e.variableName.IsNone() ? "-" : e.variableName.Get());
    }
    // A negative team places nothing; the name compare ignores case.
    EXPECT_EQ(placed, (std::map<std::string, std::string>{
                          {"a", "r/1/va"}, {"b", "r/1/-"}, {"c", "r/0/-"}, {"g", "half/2/vg"}}));
}

TEST_F(DefsTest, ScriptsWithoutDefinitionsGiveAnEmptyList) {
    for (const char* source : {"", "// nothing\n", "declare role r declare character c\n"}) {
        ScriptObjectList* list = Compile(source);
        ASSERT_NE(list, nullptr) << source;
        EXPECT_EQ(list->objects.Count(), 0);
        EXPECT_EQ(diagnostics.Notable(), Texts{"empty script found"}) << source;
    }
}

TEST_F(DefsTest, ParseSyntaxErrorLeavesNoListAndNothingBehind) {
    EXPECT_EQ(Compile("#define M\nlight r { red 1 }\nrole q { character 5 }\n"), nullptr);
    EXPECT_EQ(diagnostics.Errors(), (Texts{"syntax error", "confused by earlier errors"}));
    // Neither the macro nor the name r survive into the next compilation.
    Compile(std::string(kRoleParts) + "#ifdef M\nbroken {\n#endif\nrole r { " + kRoleBody + " }\n");
    EXPECT_EQ(diagnostics.Errors(), Texts{});
    EXPECT_NE(Listed("r"), nullptr);
}

TEST_F(DefsTest, ObjectsOfTheOtherScriptKindAreIgnored) {
    const std::string directory = "directory d { name \"qifs\" file \"models\" }\n";
    Compile(directory + "light { red 1 green 1 blue 1 specular red 0 specular green 0 specular blue 0 range 1 }\n");
    EXPECT_EQ(diagnostics.Notable(), Texts{"unsuitable script object type ignored"});
    EXPECT_EQ(ListedCount(), 1);

    Compile(directory + kRoleParts, kScriptModeDirectory);
    EXPECT_EQ(diagnostics.Count("unsuitable script object type ignored"), 4);
    ASSERT_EQ(ListedCount(), 1);
    EXPECT_NE(Listed("d"), nullptr);
}

TEST_F(DefsTest, NumbersWhereIntegersBelong) {
    Compile("map m { name \"n\" file \"f\" bitmap none camera plane none max camera distance 50 "
            "max vertices per section 12.9 }\n"
            "map k { name \"n\" file \"f\" bitmap none camera plane none max camera distance 50.0 "
            "max vertices per section -2.7 }\n");
    EXPECT_EQ(diagnostics.Count("expecting an integral constant"), 2);
    EXPECT_EQ(diagnostics.Errors(), Texts{"value for 'max vertices per section' cannot be less than 10"});
    ASSERT_NE(Listed("m"), nullptr);
    EXPECT_EQ(Listed("m")->GetValue(121), 12);
    EXPECT_EQ(Listed("k")->GetValue(121), 200);
}

TEST_F(DefsTest, IdentifierWrittenAsANumberIsRefused) {
    Compile(std::string(kRoleParts) + "role r { " + kRoleBody + " }\nrole s : r { identifier 5 }\n");
    EXPECT_EQ(diagnostics.Errors(), Texts{"value for 'identifier' has the wrong type"});
    ASSERT_NE(Listed("s"), nullptr);
    EXPECT_STREQ(Listed("s")->GetString(71), "r");
}

} // namespace

TEST_F(DefsTest, ARealTooLargeForADoubleIsRefusedByTheRangeCheck) {
    Compile(std::string(kRoleParts) + "character c : walker { sight angle " + std::string(400, '9') + ". }\n");
    EXPECT_EQ(diagnostics.Errors(), Texts{"value for 'sight angle' cannot be more than 89.000000"});
}
