#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/leveldefinitions.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "tests/tv/defs_level_fixture.h"

namespace {

using Texts = std::vector<std::string>;
using ApplyTest = LevelTest;

// The required properties of a role; without `fogging` the block gives the two fogging flags itself.
std::string Required(const std::string& identifier, const std::string& character = "walker",
                     const std::string& destructibility = "boom", bool fogging = true) {
    return "identifier \"" + identifier + "\" character " + character + " light lamp projectile bolt destructibility " +
           destructibility + (fogging ? " alpha fogging no per vertex fogging no " : " ");
}
std::string Role(const std::string& block, const std::string& body) { return "role " + block + " { " + body + " }\n"; }

Texts SeverPoints(const ObjectDefinition& d) {
    Texts texts;
    for (const OwnedText& t : d.severPoints) texts.emplace_back(t.Get());
    return texts;
}

TEST_F(ApplyTest, CharacterNumbersAreConvertedRoundingDown) {
    struct Case {
        const char* properties;
        int32_t walkingSpeed;
        int32_t aggressionClass;
    };
    const Case cases[] = {
        {"walking speed 2 size 2 turning speed 1 aggression 0.65", 65536, 6},
        {"walking speed 2 size 2 turning speed 0 aggression 0.6", 131072, 5},
        {"walking speed 2 turning speed 1 can turn no aggression 0.4", 131072, 3},
        {"walking speed 1.1 turning speed 1 aggression 0.45", 72089, 4},
        {"walking speed 2 size 0 turning speed 1 aggression 1.01", 131072, 10},
    };
    std::string script = kRoleParts;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string n = std::to_string(i);
        script += "character c" + n + " { " + cases[i].properties +
                  " strength 1 aim 1 sight angle 10 sight range 1 hearing range 1 }\n";
        script += Role("r" + n, Required("R" + n, "c" + n));
    }
    Load(script);
    ASSERT_EQ(diagnostics.Errors(), Texts{});
    for (size_t i = 0; i < std::size(cases); ++i) {
        const ObjectDefinition& d = Definition(("R" + std::to_string(i)).c_str());
        ASSERT_NE(d.character, nullptr);
        EXPECT_EQ(d.character->walkingSpeed, cases[i].walkingSpeed) << cases[i].properties;
        EXPECT_EQ(ObjectDefinition::AggressionClass(&d), cases[i].aggressionClass) << cases[i].properties;
    }
    EXPECT_EQ(ObjectDefinition::AggressionClass(nullptr), 2);
}

TEST_F(ApplyTest, CharacterRecordsTakeTheirUnitsAndLimits) {
    Load(std::string(kRoleParts) +
         "character full { walking speed 1 turning speed 0.5 strength 7 aim 90 sight angle 45 sight range 3 "
         "hearing range 4 aggression 0.5 radius 1 height 2 size 2 status window u 512 status window v 256 "
         "initial first person range 20 maximum first person range 5 description 7 weapon 5 secondary weapon 6 "
         "blob shadow 1 latch trigger yes alertable no always cpu controlled yes }\n" +
         Role("r", Required("R", "full")));
    const CharacterRecord& c = *Definition("R").character;
    EXPECT_FLOAT_EQ(c.turningSpeed, 2048);
    EXPECT_FLOAT_EQ(c.aim, 1024);
    EXPECT_FLOAT_EQ(c.sightAngle, 512);
    EXPECT_FLOAT_EQ(c.sightRangeSquared, 9);
    EXPECT_FLOAT_EQ(c.hearingRangeSquared, 16);
    EXPECT_FLOAT_EQ(c.collisionRadius, 2); // given values keep the radius and height times the size
    EXPECT_FLOAT_EQ(c.collisionHeight, 4);
    EXPECT_FLOAT_EQ(c.statusWindowU, 0.5f);
    EXPECT_FLOAT_EQ(c.statusWindowV, 0.25f);
    EXPECT_FLOAT_EQ(c.initialFirstPersonRange, 20);
    EXPECT_FLOAT_EQ(c.maximumFirstPersonRange, 20);
    EXPECT_NE(c.descriptionText, nullptr);
    EXPECT_EQ(c.weapon, 5);
    EXPECT_EQ(c.secondaryWeapon, 6);
    EXPECT_EQ(c.blobShadow, 1);
    EXPECT_TRUE(c.latchTrigger);
    EXPECT_FALSE(c.alertable);
    EXPECT_TRUE(c.alwaysCpuControlled);
    EXPECT_EQ(Definition("R").character->customisationModel, nullptr);
}

// Each role gets its own record of a shared character, sized by its own look.
TEST_F(ApplyTest, RolesNamingOneCharacterGetTheirOwnRecordsAndBounds) {
    WriteModelFile("Square.qif", {}, {"Square"});
    CopySample("Robot.qif");
    Load(std::string(kRoleParts) + "shape square { name \"Square\" file \"Square.qif\" }\n" +
         "hierarchy robot { name \"Robot\" file \"Robot.qif\" hotspot \"Muzzle\" }\n" +
         "character big : walker { size 3 }\n" + Role("plain", Required("Plain")) +
         Role("flat", Required("Flat") + "shape square") + Role("walking", Required("Walking", "big") + "shape robot"));
    ASSERT_EQ(diagnostics.Errors(), Texts{});
    const CharacterRecord& plain = *Definition("Plain").character;
    const CharacterRecord& flat = *Definition("Flat").character;
    EXPECT_NE(&plain, &flat);
    EXPECT_FLOAT_EQ(plain.boundsRadius, 0.5f);
    EXPECT_FLOAT_EQ(plain.boundsHeight, 1);
    EXPECT_FLOAT_EQ(plain.collisionRadius, 0.5f);
    EXPECT_FLOAT_EQ(plain.strideLength, 0);
    EXPECT_FLOAT_EQ(flat.boundsRadius, 0.5f); // a 1 x 1 square in x and y
    EXPECT_FLOAT_EQ(flat.boundsHeight, 1);

    // The robot's box is 1.2 x 0.7 x 1.6 and its walk moves 1.5 a second.
    const ObjectDefinition& walking = Definition("Walking");
    ASSERT_NE(walking.model, nullptr);
    EXPECT_NEAR(walking.character->boundsRadius, 0.8f, 1e-5f);
    EXPECT_NEAR(walking.character->boundsHeight, 0.7f, 1e-5f);
    EXPECT_NEAR(walking.character->strideLength, 4.5f, 1e-5f);
    EXPECT_STREQ(walking.hotspotName.Get(), "Muzzle");
    EXPECT_EQ(walking.alternateHotspotName.Get(), nullptr);
    EXPECT_NE(walking.hotspot.z, 0);
    EXPECT_EQ(walking.alternateHotspot.z, walking.hotspot.z);
    EXPECT_EQ(walking.lowerSequenceCount, 2); // the standing idles 21 and 22
    EXPECT_EQ(walking.upperSequenceCount, 0);
}

// A role reached by blocks applied before its turn is built once, by the
// first of them, and its own Apply returns the same definition.
TEST_F(ApplyTest, ARoleNamedByTwoAmmoBlocksYieldsOneDefinition) {
    const std::string ammo = " round time 1 reload time 1 life timer 1 magazine size 1 name \"m\" file \"f\" "
                             "projectile pellet firing speed 1 }\n";
    Load(std::string(kRoleParts) + "declare role pellet\n" + Role("first", Required("First")) +
         "ammo { weapon type 0 ammo type 2" + ammo + "ammo { weapon type 4 ammo type 6" + ammo +
         Role("pellet", Required("Shot")) + Role("last", Required("Last")));
    ASSERT_EQ(diagnostics.Errors(), Texts{});
    EXPECT_EQ(DefinitionRegistry::Count(), 3);
    const ObjectDefinition& shot = Definition("Shot");
    EXPECT_EQ(shot.id, 1);
    EXPECT_EQ(Definition("Last").id, 2);
    EXPECT_EQ(WeaponTableRow(0, 2)->projectile, &shot);
    EXPECT_EQ(WeaponTableRow(4, 6)->projectile, &shot);
}

// The script effect without a script: the definition is destroyed again,
// every attempt takes an id, and nothing half-built stays registered.
TEST_F(ApplyTest, AFailedInterfaceBeamCheckRegistersNothingButUsesAnId) {
    Load(std::string(kRoleParts) + "declare role bad\n" +
         "ammo { weapon type 0 ammo type 2 round time 1 reload time 1 life timer 1 magazine size 1 name \"m\" "
         "file \"f\" projectile bad firing speed 1 }\n" +
         Role("bad", Required("Bad") + "interface beam effect script") +
         Role("good", Required("Good") + "interface beam effect script interface beam script \"Zap\""));
    EXPECT_EQ(diagnostics.Errors(), (Texts{"interface beam effect is script but no script given",
                                           "interface beam effect is script but no script given"}));
    EXPECT_EQ(DefinitionRegistry::Count(), 1);
    EXPECT_EQ(DefinitionRegistry::FindById(0), nullptr);
    EXPECT_EQ(DefinitionRegistry::FindById(1), nullptr);
    EXPECT_EQ(DefinitionRegistry::FindByName("Bad"), nullptr);
    EXPECT_EQ(Definition("Good").id, 2);
    EXPECT_STREQ(Definition("Good").interfaceBeamScript.Get(), "Zap");
    EXPECT_EQ(WeaponTableRow(0, 2)->projectile, nullptr);
}

TEST_F(ApplyTest, IdsRestartEveryLevelAndNothingResolvesAfterTheTeardown) {
    const std::string level = std::string(kRoleParts) + Role("a", Required("A")) + Role("b", Required("B"));
    Load(level);
    Load(level);
    EXPECT_EQ(Definition("A").id, 0);
    EXPECT_EQ(DefinitionRegistry::FindById(1), &Definition("B"));
    ReleaseLevelDefinitions();
    EXPECT_EQ(DefinitionRegistry::Count(), 0);
    for (int32_t id = 0; id < 3; ++id) EXPECT_EQ(DefinitionRegistry::FindById(id), nullptr);
    EXPECT_EQ(DefinitionRegistry::FindByName("A"), nullptr);
}

// Of two definitions with one name the one with the lower id AND 63 wins,
// and within one bucket the later one.
TEST_F(ApplyTest, DuplicateNamesResolveInBucketOrder) {
    std::string script = kRoleParts;
    for (int i = 0; i < 66; ++i) {
        const char* name = i == 1 || i == 65 ? "Twin" : i == 2 || i == 64 ? "Pair" : nullptr;
        script += Role("r" + std::to_string(i), Required(name ? name : "R" + std::to_string(i)));
    }
    Load(script);
    ASSERT_EQ(DefinitionRegistry::Count(), 66);
    EXPECT_EQ(DefinitionRegistry::FindByName("twin")->id, 65);
    EXPECT_EQ(DefinitionRegistry::FindByName("PAIR")->id, 64);
    EXPECT_EQ(DefinitionRegistry::FindByName("Nobody"), nullptr);
    EXPECT_EQ(DefinitionRegistry::FindById(65)->name.Get(), std::string("Twin"));
}

TEST_F(ApplyTest, WeaponSearchesFindTheFirstCharacterOfTheClass) {
    std::string script = kRoleParts;
    const char* aggressions[] = {"0.65", "0.45", "0.6", "0.69"};
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        script += "character c" + n + " : walker { weapon 7 aggression " + aggressions[i] + " }\n";
        script += Role("r" + n, Required("R" + n, "c" + n));
    }
    Load(script);
    EXPECT_EQ(DefinitionRegistry::FindByWeaponClass6(7)->id, 0);
    EXPECT_EQ(DefinitionRegistry::FindByWeaponClass4(7)->id, 1);
    EXPECT_EQ(DefinitionRegistry::FindByWeaponClass6(8), nullptr);
}

TEST_F(ApplyTest, RoleFieldsComeFromTheBlockAndItsParts) {
    Load(std::string(kRoleParts) +
         "light glow { red 0.5 green 0.25 blue 1 specular red 0 specular green 0 specular blue 0 range 3 }\n"
         "projectile heavy { damage 20 blast damage 5 blast range 2 gravity yes hit_light glow }\n"
         "projectile unfinished { damage 1 }\n" +
         Role("fogged", Required("Fogged", "walker", "boom", false) +
                            "alpha fogging yes per vertex fogging yes sever point \"a,,b\" recon ai number 0 limit 3 "
                            "alpha 0.5 ai scavenger") +
         Role("vertex", "identifier \"Vertex\" character none light glow projectile heavy destructibility none "
                        "alpha fogging no per vertex fogging yes sever point \"a, b\" recon ai number 7 "
                        "status display no nolighting yes hit test ignore yes moves on lifts yes") +
         Role("loose", "identifier \"Loose\" character none light none projectile unfinished destructibility none "
                       "alpha fogging no per vertex fogging no sever point \"x,\""));
    EXPECT_EQ(diagnostics.Errors(), Texts{"incomplete object definition found"}); // "unfinished" lacks gravity

    const ObjectDefinition& fogged = Definition("Fogged");
    EXPECT_EQ(fogged.flags, kDefinitionAlphaFogging | kDefinitionDestroyAfterCollection);
    EXPECT_EQ(fogged.flags2, kDefinitionStatusDisplay);
    EXPECT_EQ(SeverPoints(fogged), (Texts{"a", "", "b"}));
    EXPECT_EQ(fogged.reconAiNumber, -1);
    EXPECT_EQ(fogged.limit, 3);
    EXPECT_FLOAT_EQ(fogged.alpha, 0.5f);
    EXPECT_EQ(fogged.aiCore, 1);
    ASSERT_NE(fogged.destruction, nullptr);
    EXPECT_EQ(fogged.destruction->kind, 0);
    // The default pickup radius of 6 makes a pickup record of every role.
    ASSERT_NE(fogged.pickup, nullptr);
    EXPECT_FLOAT_EQ(fogged.pickup->pickupRadius, 6);

    const ObjectDefinition& vertex = Definition("Vertex");
    EXPECT_EQ(vertex.flags, kDefinitionPerVertexFogging | kDefinitionNoLighting | kDefinitionDestroyAfterCollection |
                                kDefinitionHitTestIgnore | kDefinitionMovesOnLifts);
    EXPECT_EQ(vertex.flags2, 0);
    EXPECT_EQ(SeverPoints(vertex), (Texts{"a", " b"}));
    EXPECT_EQ(vertex.reconAiNumber, 7);
    EXPECT_EQ(vertex.character, nullptr);
    EXPECT_EQ(vertex.aiCore, kAiCoreReserved);
    ASSERT_NE(vertex.light, nullptr);
    EXPECT_FLOAT_EQ(vertex.light->green, 0.25f);
    ASSERT_NE(vertex.projectile, nullptr);
    EXPECT_TRUE(vertex.projectile->gravity);
    EXPECT_FLOAT_EQ(vertex.projectile->blastRangeSquared, 4);
    EXPECT_FLOAT_EQ(vertex.projectile->maxRange, 196);
    EXPECT_EQ(vertex.projectile->sound, 104);
    ASSERT_NE(vertex.projectile->hitLight, nullptr);
    EXPECT_FLOAT_EQ(vertex.projectile->hitLight->range, 3);

    // A part that is itself incomplete leaves its field none; the role is built.
    const ObjectDefinition& loose = Definition("Loose");
    EXPECT_EQ(loose.projectile, nullptr);
    EXPECT_EQ(SeverPoints(loose), (Texts{"x", ""}));
}

TEST_F(ApplyTest, GeneratorsDescribeTheEnginesEmitters) {
    Load(std::string(kRoleParts) +
         "pgenerator timed { type 3 rate 12 x 1 y -2 z 0.5 red 0.5 green 0.25 blue 1 alpha 0.75 life 2 seconds "
         "particle TTL 1.5 start scale 0.5 end scale 2 spin 3 generategenerators yes }\n"
         "pgenerator counted { type 1 rate 1 x 0 y 0 z 0 red 1 green 1 blue 1 alpha 1 life 30 particles }\n"
         "pgenerator endless { type 1 rate 1 x 0 y 0 z 0 red 1 green 1 blue 1 alpha 1 life infinite }\n"
         "pgenerator lifeless { type 1 rate 1 x 0 y 0 z 0 red 1 green 1 blue 1 alpha 1 }\n" +
         Role("a", Required("A") + "pgen timed pgen2 counted") +
         Role("b", Required("B") + "pgen counted shape endless") + Role("c", Required("C") + "pgen lifeless"));
    const int32_t tps = CurrentTicksPerSecond();
    const ParticleGeneratorRecord& timed = *Definition("A").particleGenerator;
    EXPECT_EQ(timed.type, 3);
    EXPECT_EQ(timed.colourMode, 5);
    EXPECT_EQ(timed.state, kEmitTimed);
    EXPECT_EQ(timed.countdown, 2 * tps);
    EXPECT_FLOAT_EQ(timed.rate, 12);
    EXPECT_FLOAT_EQ(timed.particleVelocity.y, -2);
    EXPECT_FLOAT_EQ(timed.emitterVelocity.x, 0);
    EXPECT_FLOAT_EQ(timed.colour1.Alpha, 0.75f);
    EXPECT_EQ(timed.colour1.Flags, Colour::kFloatsValid);
    EXPECT_FLOAT_EQ(timed.colour2.Red, 0);
    EXPECT_FLOAT_EQ(timed.colour2.Alpha, 0);
    EXPECT_TRUE(timed.trail);
    EXPECT_FLOAT_EQ(timed.startSize, 0.5f);
    EXPECT_FLOAT_EQ(timed.spin, 3);
    EXPECT_EQ(timed.lifeOverride, FloorToInt(1.5 * tps));
    EXPECT_EQ(Definition("A").particleGenerator2->state, kEmitCounted);
    EXPECT_EQ(Definition("A").particleGenerator2->countdown, 30);
    // A generator as the shape replaces the "pgen" one; one without life is none.
    EXPECT_EQ(Definition("B").particleGenerator->state, kEmitEndless);
    EXPECT_EQ(Definition("C").particleGenerator, nullptr);
}

TEST_F(ApplyTest, DestructionRecordsBuildTheRolesTheyName) {
    Load(std::string(kRoleParts) + "declare role debris\n" +
         "frag data pieces { role debris replace role none remove \"arm\" scale 2 symmetric yes blast range 3 }\n"
         "frag script vanish { name \"Vanish\" replace yes }\n"
         "destructibility solid { type 1 }\n" +
         Role("wreck", Required("Wreck", "walker", "pieces")) + Role("ghost", Required("Ghost", "walker", "vanish")) +
         Role("rock", Required("Rock", "walker", "solid")) + Role("debris", Required("Debris")));
    ASSERT_EQ(diagnostics.Errors(), Texts{});
    const auto* frag = dynamic_cast<const FragDataRecord*>(Definition("Wreck").destruction.get());
    ASSERT_NE(frag, nullptr);
    EXPECT_EQ(frag->kind, kDestructionFragData);
    EXPECT_EQ(frag->role, &Definition("Debris"));
    EXPECT_EQ(Definition("Debris").id, 1); // built by the fragments, before its turn
    EXPECT_EQ(frag->replaceRole, nullptr);
    EXPECT_STREQ(frag->remove.Get(), "arm");
    EXPECT_EQ(frag->scale, 2);
    EXPECT_TRUE(frag->replace);
    EXPECT_TRUE(frag->symmetric);
    EXPECT_FLOAT_EQ(frag->blastRange, 3);
    const auto* script = dynamic_cast<const FragScriptRecord*>(Definition("Ghost").destruction.get());
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->kind, kDestructionFragScript);
    EXPECT_STREQ(script->name.Get(), "Vanish");
    EXPECT_TRUE(script->replace);
    EXPECT_EQ(Definition("Rock").destruction->kind, 1);
}

// A role whose fragments are pieces of itself gets its own definition back.
TEST_F(ApplyTest, ARoleBreakingIntoItselfIsBuiltOnce) {
    Load(std::string(kRoleParts) + "declare role self\nfrag data pieces { role self scale 1 }\n" +
         Role("self", Required("Self", "walker", "pieces")));
    EXPECT_EQ(DefinitionRegistry::Count(), 1);
    const auto* frag = dynamic_cast<const FragDataRecord*>(Definition("Self").destruction.get());
    ASSERT_NE(frag, nullptr);
    EXPECT_EQ(frag->role, &Definition("Self"));
}

// Only a track object's shape keeps its collision geometry.
TEST_F(ApplyTest, ShapesDropTheirGeometryUnlessTheyAreTrackObjects) {
    WriteModelFile("Parts.qif", {}, {"Door", "Lift"});
    Load(std::string(kRoleParts) +
         "shape door_look { name \"Door\" file \"Parts.qif\" }\n"
         "shape lift_look { name \"Lift\" file \"Parts.qif\" }\n" +
         Role("door_role", Required("Door") + "shape door_look ai reserved") +
         Role("lift_role", Required("Lift") + "shape lift_look ai track object") +
         Role("pickup_role",
              Required("Pickup") + "inventory shape lift_look description 5 pickup name 6 action on death 2"));
    ASSERT_NE(Definition("Door").shape, nullptr);
    EXPECT_EQ(Definition("Door").shape->Geometry, nullptr);
    ASSERT_NE(Definition("Lift").shape, nullptr);
    EXPECT_NE(Definition("Lift").shape->Geometry, nullptr);
    const PickupRecord& pickup = *Definition("Pickup").pickup;
    EXPECT_EQ(pickup.pickupShape, Definition("Lift").shape);
    EXPECT_EQ(pickup.pickupShape->UseCount.load(), 2);
    EXPECT_NE(pickup.descriptionText, nullptr);
    EXPECT_NE(pickup.pickupNameText, nullptr);
    EXPECT_EQ(pickup.actionOnDeath, 2);
    // The teardown gives the uses back; the cache keeps its hold.
    AwShape* lift = Definition("Lift").shape;
    ReleaseLevelDefinitions();
    EXPECT_EQ(lift->UseCount.load(), 0);
    EXPECT_EQ(lift->HoldCount.load(), 1);
}

} // namespace
