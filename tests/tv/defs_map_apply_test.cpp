// What the map places in the level besides its geometry: dummies and level
// sounds, the sky, the camera's limits, the actors of active teams, and the
// cameratrack's cutscenes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Awapi/model/dummy_object.h"
#include "Awapi/shape.h"
#include "Tv/app/camera_settings.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/tokens.h"
#include "Tv/defs/levelsounds.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/frontend/level_cutscene.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/server_registration.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "Tv/world/level_world.h"
#include "chunkfile/cutscene_builder.h"
#include "chunkfile/cutscene_chunks.h"
#include "core/serverthread.h"
#include "tests/sound/sound_fixture.h"
#include "tests/tv/defs_map_fixture.h"

namespace {

bool Listed(const char* name) {
    return std::any_of(LevelDummyList.begin(), LevelDummyList.end(),
                       [&](const AwDummyObject& d) { return d.Name && *d.Name == name; });
}

TEST(SoundDummies, TextsGiveTheSoundAndItsParameters) {
    const struct {
        const char* text;
        bool isSound;
        const char* name;
        LevelSoundParameters expected;
    } cases[] = {
        {"Sound\nhum.wav\nV80 P-12 R5.5", true, "hum.wav", {0, -1.0f, 5.5f, 80}},
        {"sOUND\r\nwind\r\nI12.25 R-3 P6", true, "wind", {12.25f, 0.5f, -3.0f, 100}},
        {"SOUND\rbell\rV-5 Vx P P.5 I7 X9", true, "bell", {7.0f, 0, 0, 100}},
        {"Sound\nhum.wav", true, "hum.wav", {0, 0, 0, 100}},
        {"Sounds\nhum.wav\nV80", false, "", {}},
        {"reach to win", false, "", {}},
    };
    for (const auto& c : cases) {
        std::string name;
        LevelSoundParameters p;
        ASSERT_EQ(c.isSound, ParseSoundDummy(c.text, name, p)) << c.text;
        if (!c.isSound) continue;
        EXPECT_EQ(c.name, name) << c.text;
        EXPECT_EQ(c.expected.range, p.range) << c.text;
        EXPECT_EQ(c.expected.frequency, p.frequency) << c.text;
        EXPECT_EQ(c.expected.secondRange, p.secondRange) << c.text;
        EXPECT_EQ(c.expected.volume, p.volume) << c.text;
    }
}

class MapApplyTest : public MapTest {
protected:
    void SetUp() override {
        MapTest::SetUp();
        RegisterServerCore(); // the team table takes its size from the server's settings
    }
    void TearDown() override {
        MapTest::TearDown();
        TeamTable::Destroy();
        SessionTeamCount = 3;
        TvReleaseAllActors();
        TvResetActorIds();
        GameOptions = GameOptionsRecord();
    }
    // A table of `count` teams of which only `active` take part.
    static void SetUpTeams(int32_t count, std::initializer_list<int32_t> active) {
        SessionTeamCount = count;
        TeamTable::Reset();
        for (int32_t team = 0; team < count; ++team)
            TeamTable::GetTeam(team)->Active = std::find(active.begin(), active.end(), team) != active.end();
    }
};

TEST_F(MapApplyTest, DummiesAreListedAndASoundDummyBecomesAPersistentSound) {
    Load(SampleMapScript());
    EXPECT_TRUE(Listed("PlayerStart"));
    EXPECT_TRUE(Listed("HumSound")) << "without a sound manager the sound dummy stays";
    EXPECT_NEAR(-16.0f, LevelDummyList[2].Position.x, 1e-5) << "patrol1a, in metres";

    SoundRig sound;
    sound.Start();
    sound.WriteBank("environ.dat", {WaveItem("hum.wav", 0, WavImage(1.0f))});
    ASSERT_EQ(0, sound.manager->LoadBank((sound.dir / "environ.dat").c_str()));
    Load(SampleMapScript());
    EXPECT_FALSE(Listed("HumSound"));
    EXPECT_TRUE(Listed("Goal"));
    ASSERT_EQ(1u, sound.manager->PersistentSounds().size());
    const PersistentSound& placed = sound.manager->PersistentSounds().front();
    EXPECT_EQ(-1.0f, placed.frequency);
    EXPECT_EQ(5.5f, placed.secondRange);
    EXPECT_EQ(sound.manager->Sample(sound.manager->LoadSound("hum.wav")).range, placed.range) << "I 0: its own";
    EXPECT_FLOAT_EQ(-6.0f, placed.position.x);
    EXPECT_FLOAT_EQ(-1.0f, placed.position.y);
    TvReleaseLevelWorld();
    sound.Stop();
}

TEST_F(MapApplyTest, TheCameraTakesThePlaneObjectAndTheFocusHeights) {
    std::string script = SampleMapScript("shadow object qif \"shadows.qif\" max camera focus height \"Scout2\"");
    script.replace(script.find("bitmap none"), 11, "bitmap \"map.bmp\"");
    Load(script);
    ASSERT_NE(nullptr, LevelWorldInstance);
    const LevelWorld& world = *LevelWorldInstance;
    EXPECT_EQ(-20.0f, CameraPlanePoint.y);
    EXPECT_EQ(-20.0f, CameraPlanePoint.x);
    EXPECT_EQ(-1.0f, CameraPlaneNormal.y);
    EXPECT_EQ(GameOptions.CameraMaxZoom, CameraMaxZoom);
    EXPECT_EQ(0.0f, FocusMaxHeight) << "Scout2's stored y";
    EXPECT_EQ(world.innerMax.y, FocusMinHeight);
    EXPECT_STREQ("map.bmp", world.bitmap);
    EXPECT_STREQ("shadows.qif", world.shadowObjectFile);
    EXPECT_EQ(nullptr, world.shadowObjectName);

    std::string planeless = SampleMapScript();
    planeless.replace(planeless.find("camera plane \"CameraPlane\""), 26, "camera plane none");
    Load(planeless);
    ASSERT_NE(nullptr, LevelWorldInstance);
    EXPECT_EQ(1.5f * LevelWorldInstance->boxMin.y - 0.5f * LevelWorldInstance->boxMax.y, CameraPlanePoint.y);
    EXPECT_EQ(1.0f, CameraPlaneNormal.y);
    EXPECT_EQ(LevelWorldInstance->innerMin.y, FocusMaxHeight);
}

// What the factories were asked to make.
struct Made {
    int32_t team;
    std::string definition;
    Vector3 position;
};
std::vector<Made> serverMade, clientMade;
std::vector<std::pair<std::string, float>> tokens;

// The map fixture's scouts have no character: the server builds them as plain objects.
ServerObject* MakeServerActor(int32_t team, const ObjectDefinition* d, const Vector3& position,
                              const Quaternion& orientation, int32_t id) {
    serverMade.push_back({team, d->name.Get(), position});
    return new ServerObject(team, d, position, orientation, kActorFlagsPlain, id);
}
int32_t MakeClientObject(int32_t team, const ObjectDefinition& d, const Vector3& position, const Quaternion&) {
    clientMade.push_back({team, d.name.Get(), position});
    return static_cast<int32_t>(clientMade.size()) + 200;
}
void SetToken(const char* name, float value) { tokens.emplace_back(name, value); }

TEST_F(MapApplyTest, ActiveTeamsGetTheirActorsAndInactiveOnesNothing) {
    serverMade.clear();
    clientMade.clear();
    tokens.clear();
    SetServerActorMaker(ServerActorClass::Object, &MakeServerActor);
    const ObjectFactory previousClient = InstallClientObjectFactory(&MakeClientObject);
    const TokenSetter previousSetter = TokenTable::Install(&SetToken);
    SetServerThread(4242);

    Load(SampleMapScript()); // no team exists yet
    EXPECT_TRUE(serverMade.empty());
    EXPECT_TRUE(clientMade.empty());

    SetUpTeams(3, {1});
    Load(SampleMapScript());
    ASSERT_EQ(2u, serverMade.size()) << "the scouts of team 1 alone";
    ASSERT_EQ(2u, clientMade.size());
    for (const Made& made : serverMade) {
        EXPECT_EQ(1, made.team);
        EXPECT_EQ("Scout", made.definition);
        EXPECT_FLOAT_EQ(-16.0f, made.position.z);
    }
    // Scout1 stands at x = -16 m; its variable takes the id of the client object made for it.
    const auto scout1 = std::find_if(clientMade.begin(), clientMade.end(),
                                     [](const Made& made) { return std::abs(made.position.x + 16.0f) < 1e-3f; });
    ASSERT_NE(clientMade.end(), scout1);
    ASSERT_EQ(1u, tokens.size());
    EXPECT_EQ("SCOUT1", tokens[0].first);
    EXPECT_EQ(static_cast<float>(201 + (scout1 - clientMade.begin())), tokens[0].second);

    GameOptions.LevelStatus = kLevelOver;
    Load(SampleMapScript());
    EXPECT_EQ(2u, serverMade.size()) << "a level that is over places nothing";

    SetServerThread(0);
    TokenTable::Install(previousSetter);
    InstallClientObjectFactory(previousClient);
    RegisterServerObject();
}

TEST_F(MapApplyTest, RolesBuiltAfterTheMapSeeTheModelAsItIs) {
    CopySample("Box.qif");
    clientMade.clear();
    const ObjectFactory previousClient = InstallClientObjectFactory(&MakeClientObject);
    SetUpTeams(1, {0});
    const std::string parts = " character none light lamp projectile none destructibility none"
                              " alpha fogging no per vertex fogging no }\n";
    std::string script = "declare role late\n" + SampleMapScript();
    script.replace(script.find("use cells in team 0"), 19, "use late in team 0");
    // "late" is built while the map places it, from another model file; "mark" after the map, from the level's.
    script += "shape box { name \"Box\" file \"Box.qif\" }\nrole late { identifier \"Late\" shape box" + parts +
              "shape marker { name \"Cells1\" file \"Level.qif\" }\nrole mark { identifier \"Mark\" shape marker" +
              parts;
    Load(script);
    ASSERT_EQ(1u, clientMade.size());
    EXPECT_EQ("Late", clientMade[0].definition);
    EXPECT_FLOAT_EQ(-3.0f, clientMade[0].position.z);
    const AwShape* marker = Definition("Mark").shape;
    ASSERT_NE(nullptr, marker);
    EXPECT_NEAR(0.4f, marker->Max.x - marker->Min.x, 1e-3) << "the marker's own shape, not the camera plane's";
    InstallClientObjectFactory(previousClient);
}

// A level cutscene that counts how many live and what it was given.
class CountedCutscene : public Cutscene {
public:
    CountedCutscene(bool first, bool second) : generators(int(first) + int(second)) { ++live; }
    ~CountedCutscene() override { --live; }
    static inline int live = 0;
    static inline std::vector<std::unique_ptr<CountedCutscene>> kept;
    int generators;
};

Cutscene* MakeCutscene(std::unique_ptr<ParticleGeneratorRecord> first,
                       std::unique_ptr<ParticleGeneratorRecord> second) {
    return new CountedCutscene(first != nullptr, second != nullptr);
}

std::string builtName;
void BuildCutscene(Cutscene* cutscene, const CutsceneChunk& chunk, float, Vector3 origin) {
    builtName = chunk.FindDataChunk()->Name();
    CountedCutscene::kept.emplace_back(static_cast<CountedCutscene*>(cutscene)); // the front end's list
    EXPECT_EQ(0.0f, origin.x);
}

TEST_F(MapApplyTest, ACameraTrackFillsACutsceneOnceTheLevelExists) {
    FileChunk track;
    ParentChunk* special = AddParent(*AddEnvironment(track, 1.0), "SPECLOBJ");
    new CutsceneChunk(special, "Intro", 0, 0, 0);
    ASSERT_TRUE(track.Save(QifPath("Track.qif")));
    const LevelCutsceneFactory previousFactory = InstallLevelCutsceneFactory(&MakeCutscene);
    const CutsceneBuilder previousBuilder = InstallCutsceneBuilder(&BuildCutscene);
    const std::string generator = "pgenerator glow { type 1 rate 1 x 0 y 0 z 0 red 1 green 1 blue 1 alpha 1 "
                                  "life infinite }\n";
    auto cameraTrack = [](const char* name) {
        return std::string("cameratrack t { file \"Track.qif\" name \"") + name + "\" pgen glow }\n";
    };
    builtName.clear();
    // Before the map there is no level world: nothing is made (and the generator is freed).
    Load(generator + cameraTrack("Intro") + SampleMapScript());
    EXPECT_EQ(0, CountedCutscene::live);
    // A cutscene the file lacks: the one made goes again at once.
    Load(generator + SampleMapScript() + cameraTrack("Outro"));
    EXPECT_EQ(0, CountedCutscene::live);
    EXPECT_TRUE(builtName.empty());
    Load(generator + SampleMapScript() + cameraTrack("intro"));
    EXPECT_EQ("Intro", builtName);
    ASSERT_EQ(1u, CountedCutscene::kept.size());
    EXPECT_EQ(1, CountedCutscene::kept[0]->generators);

    InstallCutsceneBuilder(previousBuilder);
    InstallLevelCutsceneFactory(previousFactory);
    CountedCutscene::kept.clear();
    EXPECT_EQ(0, CountedCutscene::live);
}

} // namespace
