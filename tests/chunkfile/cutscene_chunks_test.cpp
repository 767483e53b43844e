#include <gtest/gtest.h>

#include <string>

#include "chunkfile/cutscene_builder.h"
#include "chunkfile/cutscene_chunks.h"
#include "chunkfile/cutscene_event.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class CutsceneChunks : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

std::string Identity(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i < 16; i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// A cutscene "Intro" with a camera user (no name, one track of three points
// with a field of view and an event list) and a named target user without tracks.
std::string IntroCutscene() {
    const std::string point = I32s({100, -200, 300}) + U32Bytes(0xAB000BB8);
    const std::string points = U32Bytes(3) + point + point + point + F32s({0, 0, 0, 1, 0, 0.5f, 0, 0.5f}) +
                               Words({1, 0, 7, 8});
    const std::string track =
        Parent("CUTTRACK", {Leaf("CUTTRNAM", Padded("Pan") + Words({0, 0})), Leaf("CUTPOINT", points),
                            Leaf("CUTTRFOV", F32s({60}) + Words({0, 0})),
                            Leaf("CUTEVENT", F32s({1.5f}) + Words({0, 0}) + Padded("Go") + U32Bytes(0))});
    const std::string camera =
        Parent("CUTSCUSR", {Leaf("CTUSRDAT", Padded("") + I32s({-1, -1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0})), track});
    const std::string target = Parent(
        "CUTSCUSR", {Leaf("CTUSRDAT", Padded("Tavrin") + I32s({-1, 4, 2, 0, 1, 1, 0, 0, 0, 0, 0, 0})),
                     Leaf("CTUSRHIE", Padded("TavrinModel") + Words({0, 0, 0})),
                     Leaf("CTUSNDPR", Words({10000, 20000, 127, 0, 0, 0})),
                     Leaf("CTUSSPPO", U32Bytes(2) + std::string(72, '\x05') + Words({1, 2, 3}))});
    return Parent("CUTSHEAD", {Leaf("CUTSCDAT", Words({1, 2, 3}) + Padded("Intro") + Words({4, 5}) +
                                                    Identity("0102030405060700")),
                               camera, target});
}

TEST_F(CutsceneChunks, TheTreeIsReadThroughItsAccessorsAndWrittenBackUnchanged) {
    const std::string file = PlainFile({IntroCutscene()});
    auto tree = ReadTree(file);
    ASSERT_EQ(0, tree->Error());
    EXPECT_EQ(file, BytesOf(*tree));

    auto* cutscene = dynamic_cast<CutsceneChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, cutscene);
    ASSERT_NE(nullptr, cutscene->FindDataChunk());
    EXPECT_EQ("Intro", cutscene->FindDataChunk()->Name());
    EXPECT_EQ(48u, cutscene->FindDataChunk()->Size());
    // A read identity is kept, not recomputed.
    EXPECT_EQ((ShortDigest{1, 2, 3, 4, 5, 6, 7, 0}), cutscene->FindDataChunk()->Identity());

    List<CutsceneUserChunk*> users;
    cutscene->ListUsers(users);
    ASSERT_EQ(2, users.Count());
    const CutsceneUserChunk* camera = users.Front();
    const CutsceneUserChunk* target = users.Back();
    ASSERT_NE(nullptr, camera->GetData());
    EXPECT_EQ("", camera->GetData()->Name());
    EXPECT_EQ(64u, camera->GetData()->Size());
    EXPECT_TRUE(camera->GetData()->IsCamera());
    EXPECT_EQ(nullptr, camera->GetHierarchyName());
    EXPECT_EQ(nullptr, camera->GetSoundParameters());
    EXPECT_EQ(4, target->GetData()->StartSequence());
    EXPECT_EQ(2, target->GetData()->UserId());
    EXPECT_TRUE(target->GetData()->IsTarget());
    ASSERT_NE(nullptr, target->GetHierarchyName());
    EXPECT_EQ("TavrinModel", *target->GetHierarchyName());
    ASSERT_NE(nullptr, target->GetRecords());
    EXPECT_EQ(100u, target->GetRecords()->Size());

    List<CutsceneTrackChunk*> tracks;
    target->ListTracks(tracks);
    EXPECT_EQ(0, tracks.Count());
    camera->ListTracks(tracks);
    ASSERT_EQ(1, tracks.Count());
    const CutsceneTrackChunk* track = tracks.Front();
    ASSERT_NE(nullptr, track->GetName());
    EXPECT_EQ("Pan", *track->GetName());
    ASSERT_NE(nullptr, track->GetPoints());
    EXPECT_EQ(112u, track->GetPoints()->Size());
    const CutscenePoints& p = track->GetPoints()->Data();
    ASSERT_EQ(3u, p.points.size());
    EXPECT_EQ(-200, p.points[1].y);
    EXPECT_EQ(3000u, p.points[2].timing & 0xFFFFFF);
    EXPECT_EQ(0.5f, p.endOrientation.w);
    EXPECT_EQ(7u, p.words[0]);
    EXPECT_EQ(60.0f, track->GetFieldOfView()->Degrees());
    List<CutsceneEventChunk*> events;
    track->ListEvents(events);
    ASSERT_EQ(1, events.Count());
    EXPECT_EQ("Go", events.Front()->Name());
    EXPECT_EQ(1.5f, events.Front()->TriggerPosition());
}

TEST_F(CutsceneChunks, ANewCutsceneIsIdentifiedByTheDigestOfItsName) {
    // MD5("Cutscene:Intro") = 2bc118081fe701c4...
    EXPECT_EQ((ShortDigest{0x2b, 0xc1, 0x18, 0x08, 0x1f, 0xe7, 0x01, 0}), CutsceneDataChunk::IdentityOf("Intro"));

    // A tree built in code reads back to the same values.
    FileChunk file;
    auto* cutscene = new CutsceneChunk(&file, "Intro", 1, 2, 3);
    auto* user = new CutsceneUserChunk(cutscene);
    auto* track = new CutsceneTrackChunk(user, "Pan");
    new CutscenePointsChunk(track);
    new CutsceneFieldOfViewChunk(track);
    new CutsceneUserHierarchyChunk(user, "Model");
    new CutsceneUserSoundChunk(user);
    new CutsceneUserRecordsChunk(user);

    auto again = ReadTree(BytesOf(file));
    auto* read = dynamic_cast<CutsceneChunk*>(again->FindChild("CUTSHEAD"));
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(CutsceneDataChunk::IdentityOf("Intro"), read->FindDataChunk()->Identity());
    EXPECT_EQ(3u, read->FindDataChunk()->Data().wordC);
    List<CutsceneUserChunk*> users;
    read->ListUsers(users);
    ASSERT_EQ(1, users.Count());
    EXPECT_EQ(-1, users.Front()->GetData()->StartSequence());
    EXPECT_EQ("Model", *users.Front()->GetHierarchyName());
    EXPECT_EQ(127u, users.Front()->GetSoundParameters()->Data().words[2]);
    List<CutsceneTrackChunk*> tracks;
    users.Front()->ListTracks(tracks);
    ASSERT_EQ(1, tracks.Count());
    EXPECT_EQ("Pan", *tracks.Front()->GetName());
    EXPECT_EQ(64u, tracks.Front()->GetPoints()->Size());
    EXPECT_EQ(90.0f, tracks.Front()->GetFieldOfView()->Degrees());
}

TEST_F(CutsceneChunks, CountsAndNamesPastTheDataAreMalformed) {
    const std::string bad[] = {
        Leaf("CUTPOINT", U32Bytes(1000000) + std::string(48, '\0')),    // count past the data
        Leaf("CUTPOINT", U32Bytes(0xFFFFFFFF) + std::string(48, '\0')), // a negative count
        Leaf("CTUSSPPO", U32Bytes(1) + Words({0, 0, 0})),               // record past the data
        Leaf("CTUSRDAT", "Tavrin"),                                     // name without its zero
        Leaf("CUTSCDAT", Words({1, 2, 3}) + Padded("Intro") + Words({4, 5})), // no identity
    };
    for (const std::string& chunk : bad) {
        auto tree = ReadTree(PlainFile({Parent("CUTSHEAD", {chunk})}));
        EXPECT_EQ(-2, tree->Error()) << chunk.substr(0, 8);
        ASSERT_NE(nullptr, tree->FirstChild());
        EXPECT_EQ(nullptr, static_cast<ParentChunk*>(tree->FirstChild())->FirstChild()) << chunk.substr(0, 8);
    }
}

int builderCalls = 0;
float builderScale = 0;

void RecordingBuilder(Cutscene*, const CutsceneChunk&, float worldScale, Vector3) {
    ++builderCalls;
    builderScale = worldScale;
}

TEST_F(CutsceneChunks, TheBuilderHookDoesNothingUntilInstalled) {
    FileChunk file;
    const auto* cutscene = new CutsceneChunk(&file, "Intro", 0, 0, 0);
    builderCalls = 0;
    TvBuildCutscene(nullptr, *cutscene, 0.001f, Vector3(0, 0, 0));
    EXPECT_EQ(0, builderCalls);
    const CutsceneBuilder previous = InstallCutsceneBuilder(RecordingBuilder);
    TvBuildCutscene(nullptr, *cutscene, 0.5f, Vector3(0, 0, 0));
    InstallCutsceneBuilder(previous);
    EXPECT_EQ(1, builderCalls);
    EXPECT_EQ(0.5f, builderScale);
}

} // namespace
