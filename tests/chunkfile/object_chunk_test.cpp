#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>
#include <vector>

#include "chunkfile/filelevelchunks.h"
#include "chunkfile/light_dummy.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/object_header.h"
#include "chunkfile/object_module.h"
#include "chunkfile/object_track.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_header.h"
#include "platform/files.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class ObjectChunks : public ChunkFamilies {};

std::string Object(const std::string& name, int32_t shapeNumber = 0, int32_t number = 0,
                   std::initializer_list<std::string> more = {}) {
    std::string data = ObjectHeader(name, shapeNumber, number);
    for (const std::string& c : more) data += c;
    return Leaf("QOOBJECT", data);
}

std::string Environment(const std::string& sourceName) {
    return Parent("QORENVDT", {Leaf("QIFFNAME", Padded(sourceName))});
}

std::string Dummy(const std::string& name) {
    return Parent("DUMMYOBJ", {Leaf("DUMOBJDT", I32s({0, 0, 0, 0, 0, 0, 0, 0, 0}) + F32s({0, 0, 0, 1}) + Padded(name))});
}

ObjectChunk* FindObject(const ParentChunk& file, const std::string& name) {
    for (Chunk* c = file.FirstChild(); c; c = c->Next())
        if (auto* object = dynamic_cast<ObjectChunk*>(c); object && object->Name() == name) return object;
    return nullptr;
}

TEST_F(ObjectChunks, TheHeaderFillsTheRecordAndIsSizedByTheName) {
    auto tree = ReadTree(PlainFile({Object("Tank", 3, 5)}));
    auto* tank = dynamic_cast<ObjectChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, tank);
    EXPECT_EQ((VectorI{10, 20, 30}), tank->Data().position);
    EXPECT_EQ(1.0f, tank->Data().orientation.w);
    EXPECT_EQ(5, tank->Data().number);
    EXPECT_EQ(3, tank->GetHeader()->ShapeNumber());

    struct Case {
        std::string name;
        uint32_t size;
    };
    for (const Case& k : {Case{"Tanks", 80}, Case{"Tankers", 80}, Case{"Tankette", 84}}) {
        tank->Data().name = k.name;
        EXPECT_EQ(k.size, tank->GetHeader()->SizeChunk()) << k.name;
    }

    const std::string longName(60, 'x');
    auto cut = ReadTree(PlainFile({Object(longName)}));
    EXPECT_EQ(std::string(51, 'x'), dynamic_cast<ObjectChunk*>(cut->FirstChild())->Name());
}

TEST_F(ObjectChunks, IdentityIsTheDigestOfTheSourceNameAndTheObjectName) {
    // RFC 1321 test suite, each text split between the source name and the object name.
    struct Case {
        const char* source;
        const char* name;
        std::array<uint8_t, 7> digest;
    };
    const Case cases[] = {
        {"", "", {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2}},
        {"", "a", {0x0c, 0xc1, 0x75, 0xb9, 0xc0, 0xf1, 0xb6}},
        {"a", "bc", {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f}},
        {"message ", "digest", {0xf9, 0x6b, 0x69, 0x7d, 0x7c, 0xb7, 0x93}},
        {"abcdefghijklm", "nopqrstuvwxyz", {0xc3, 0xfc, 0xd3, 0xd7, 0x61, 0x92, 0xe4}},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz0123456789",
         {0xd1, 0x74, 0xab, 0x98, 0xd2, 0x77, 0xd9}},
        {"1234567890123456789012345678901234567890", "1234567890123456789012345678901234567890",
         {0x57, 0xed, 0xf4, 0xa2, 0x2b, 0xe3, 0xc9}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.source) + k.name);
        auto file = Open(PlainFile({Environment(k.source), Object(k.name)}));
        ASSERT_EQ(0, file->Error());
        auto* object = dynamic_cast<ObjectChunk*>(file->FindChild("QOOBJECT"));
        ASSERT_NE(nullptr, object);
        const ShortDigest expected = {k.digest[0], k.digest[1], k.digest[2], k.digest[3],
                                      k.digest[4], k.digest[5], k.digest[6], 0};
        EXPECT_EQ(expected, object->Data().identity);
        EXPECT_EQ(expected, object->ComputeIdentity());
    }
}

TEST_F(ObjectChunks, IdentityNeedsASourceNameAndHashesNinetyNineCharactersAtMost) {
    auto bare = Open(PlainFile({Parent("QORENVDT", {}), Object("Tank")}));
    auto* tank = dynamic_cast<ObjectChunk*>(bare->FindChild("QOOBJECT"));
    EXPECT_EQ(ShortDigest{}, tank->Data().identity);
    tank->Data().identity = {1, 2, 3, 4, 5, 6, 7, 0};
    EXPECT_EQ(ShortDigest{}, tank->ComputeIdentity());
    EXPECT_EQ((ShortDigest{1, 2, 3, 4, 5, 6, 7, 0}), tank->Data().identity); // left as it was

    const std::string source(60, 's'), name(51, 'n');
    auto file = Open(PlainFile({Environment(source), Object(name)}));
    auto* object = dynamic_cast<ObjectChunk*>(file->FindChild("QOOBJECT"));
    EXPECT_EQ(ComputeShortDigest((source + name).substr(0, 99)), object->Data().identity);
}

TEST_F(ObjectChunks, DetailLevelsFollowTheLevelNamesAndStopAtADummysCut) {
    const std::string objects = Object("Tank") + Object("L1#Tank") + Object("L3#Tank") + Object("l2#Tank") +
                                Object("L0#Tank") + Object("L4#Tanks");
    struct Case {
        const char* what;
        std::string extra;
        int32_t found;
        std::vector<const char*> levels;
    };
    const Case cases[] = {
        {"no dummy", "", 3,
         {"Tank", "L1#Tank", "L1#Tank", "L3#Tank", "L3#Tank", "L3#Tank", "L3#Tank", "L3#Tank", "L3#Tank",
          "L3#Tank"}},
        {"a dummy L3#Tank", Dummy("L3#Tank"), 2,
         {"Tank", "L1#Tank", "L1#Tank", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
        {"a dummy of another object", Dummy("L1#Jeep"), 3,
         {"Tank", "L1#Tank", "L1#Tank", "L3#Tank", "L3#Tank", "L3#Tank", "L3#Tank", "L3#Tank", "L3#Tank",
          "L3#Tank"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto tree = ReadTree(Leaf("QORINFF2", objects + k.extra));
        ObjectChunk* tank = FindObject(*tree, "Tank");
        List<ObjectChunk*> levels;
        EXPECT_EQ(k.found, tank->ListDetailLevels(levels));
        ASSERT_EQ(10, levels.Count());
        for (int32_t d = 0; d < 10; ++d) {
            const ObjectChunk* level = *levels.At(d);
            const char* expected = k.levels[static_cast<size_t>(d)];
            EXPECT_EQ(expected ? FindObject(*tree, expected) : nullptr, level) << d;
        }
    }
}

TEST_F(ObjectChunks, RemovingAnObjectTakesItOutOfTheOtherObjectsModules) {
    auto entry = [](int32_t object, int32_t link) { return I32s({object, link, 0x11, 0x22}); };
    const std::string modules = Parent("MODULEDT", {
        Leaf("VMDARRAY", U32Bytes(3) + entry(7, 2) + entry(4, 0) + entry(9, 0)),
        Leaf("ADJMDLEP", U32Bytes(2) + I32s({4, 1, 2, 3, 4}) + I32s({9, 1, 2, 3, 4})),
    });
    const std::string onlyFour = Parent("MODULEDT", {Leaf("VMDARRAY", U32Bytes(2) + entry(4, 1) + entry(4, 0))});
    auto file = Open(PlainFile({Parent("QORSHAPE", {ShapeHeader(1)}), Object("Gone", 1, 4), Object("Owner", 1, 1, {modules}),
                                Object("Other", 1, 2, {onlyFour})}));
    ASSERT_EQ(0, file->Error());
    ObjectChunk* gone = FindObject(*file, "Gone");
    ObjectChunk* owner = FindObject(*file, "Owner");
    ObjectChunk* other = FindObject(*file, "Other");
    ShapeChunk* shape = gone->GetShapeChunk();
    ASSERT_NE(nullptr, shape);

    gone->RemoveFromFile(*file);
    const std::vector<ModuleArrayEntry>& left = owner->GetModuleArray()->Data().entries;
    ASSERT_EQ(2u, left.size());
    EXPECT_EQ(7, left[0].objectNumber);
    EXPECT_EQ(1, left[0].linkIndex);
    EXPECT_EQ(9, left[1].objectNumber);
    EXPECT_EQ(0, left[1].linkIndex);
    EXPECT_EQ(0x22u, left[1].kept[1]);
    EXPECT_EQ(nullptr, other->GetModuleArray()); // every entry named the object: the chunk goes
    const auto* links = dynamic_cast<ModuleLinkChunk*>(
        static_cast<ParentChunk*>(owner->FindChild("MODULEDT"))->FindChild("ADJMDLEP"));
    ASSERT_EQ(1u, links->Data().entries.size());
    EXPECT_EQ(9, links->Data().entries[0].objectNumber);

    EXPECT_EQ(nullptr, gone->GetShapeChunk());
    EXPECT_FALSE(shape->UsingObjects().Contains(gone));
    EXPECT_TRUE(gone->IsDeleted());
    EXPECT_TRUE(gone->IsModified());
    EXPECT_FALSE(gone->IsClaimed());
    EXPECT_EQ("Player", gone->GetHeader()->UserName());

    ASSERT_TRUE(file->SaveToSource());
    auto again = FileChunk::Open(file->Path());
    EXPECT_EQ(nullptr, FindObject(*again, "Gone"));
    EXPECT_NE(nullptr, FindObject(*again, "Owner"));
}

TEST_F(ObjectChunks, OldOrderTracksAreConvertedOnceAsTheyAreRead) {
    std::string record;
    for (int i = 0; i < 19; ++i) record += F32s({float(i + 1)});
    const std::string image = PlainFile({Parent("QOOBJECT", {Leaf("OBJTRAK2", U32Bytes(1) + record + U32Bytes(5) + U32Bytes(77))})});
    auto tree = ReadTree(image);
    auto* object = static_cast<ParentChunk*>(tree->FirstChild());
    auto* track = dynamic_cast<ObjectTrackChunk*>(object->FirstChild());
    ASSERT_NE(nullptr, track);
    EXPECT_EQ(0x80000005u, track->Data().flags);
    std::vector<float> values;
    for (uint32_t w : track->Data().records[0]) values.push_back(std::bit_cast<float>(w));
    const std::vector<float> converted = {-4, 1, 2, -3, -8, 5, 6, -7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    EXPECT_EQ(converted, values);

    const std::string written = BytesOf(*tree);
    auto again = ReadTree(written);
    EXPECT_EQ(written, BytesOf(*again)); // marked as converted: read as it is
}

TEST_F(ObjectChunks, ANewObjectGetsAHeaderNotesAndTheFirstFreeNumber) {
    auto file = Open(PlainFile({Environment("src"), Object("Zero", 0, 0), Object("Two", 0, 2)}));
    ChunkObjectData data;
    data.name = "Newcomer";
    data.headerFlag = 1;
    data.position = {1, 2, 3};
    ObjectChunk* object = ObjectChunk::NewObject(file.get(), data);
    EXPECT_EQ(1, object->Data().number);
    EXPECT_EQ(object, file->ObjectByNumber(1));
    EXPECT_EQ(ObjectHeaderChunk::kHeaderFlagBit, object->GetHeader()->HeaderFlags());
    EXPECT_EQ(ComputeShortDigest("srcNewcomer"), object->Data().identity);
    auto* notes = dynamic_cast<ObjectNotesChunk*>(static_cast<ParentChunk*>(object->FindChild("OBINTDT"))->FirstChild());
    ASSERT_NE(nullptr, notes);
    EXPECT_EQ(32u, notes->SizeChunk()); // 17 bytes of text, padded
    EXPECT_EQ(Leaf("OBJNOTES", std::string("Enter notes here\0\0\0\0", 20)), BytesOf(*notes));

    ChunkObjectData moved = object->Data();
    moved.name = "Renamed";
    moved.number = 40;
    object->ReplaceData(moved);
    EXPECT_EQ(1, object->Data().number);
    EXPECT_EQ(ComputeShortDigest("srcRenamed"), object->Data().identity);

    ObjectChunk* loose = ObjectChunk::NewObject(nullptr, data);
    EXPECT_EQ(-1, loose->Data().number);
    delete loose;
}

TEST_F(ObjectChunks, EverySaveCountsARevision) {
    auto file = Open(PlainFile({Object("Tank", 0, 0)}));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(file->Save(dir_ / "twice.qif"));
        file = FileChunk::Open(dir_ / "twice.qif");
    }
    ObjectChunk* tank = FindObject(*file, "Tank");
    EXPECT_EQ(2, tank->GetHeader()->Revision());
    auto original = Open(PlainFile({Object("Tank", 0, 0)}), "original.qif");
    ObjectChunk* older = FindObject(*original, "Tank");
    EXPECT_TRUE(older->IsOlderRevisionOf(*tank));
    EXPECT_FALSE(tank->IsOlderRevisionOf(*older));
    older->Data().name = "Jeep";
    EXPECT_FALSE(older->IsOlderRevisionOf(*tank));
}

TEST_F(ObjectChunks, LockedObjectsCannotBeClaimed) {
    auto file = Open(PlainFile({Leaf("QOOBJECT", ObjectHeader("Locked", 0, 0, 0x101)), Object("Free")}));
    ObjectChunk* locked = FindObject(*file, "Locked");
    ObjectChunk* free = FindObject(*file, "Free");
    EXPECT_TRUE(locked->IsLocked());
    EXPECT_EQ(1, locked->Data().headerFlag);
    EXPECT_FALSE(locked->Claim(*file));
    EXPECT_FALSE(free->IsLocked());
    EXPECT_TRUE(free->Claim(*file));
    EXPECT_FALSE(free->Claim(*file)); // already claimed
    free->Release(false);
    EXPECT_FALSE(free->IsModified());
    EXPECT_TRUE(free->Claim(*file));
    free->Release(true);
    EXPECT_TRUE(free->IsModified());

    FileChunk unnamed; // a claim needs a file with a name
    EXPECT_FALSE(free->Claim(unnamed));
}

TEST_F(ObjectChunks, MalformedObjectChunksAreReported) {
    struct Case {
        const char* what;
        std::string chunk;
    };
    const Case cases[] = {
        {"an unterminated name", Leaf("OBJHEAD1", std::string(60, '\0') + "Tank")},
        {"a cut header", Leaf("OBJHEAD1", std::string(40, '\0'))},
        {"module entries past the chunk", Leaf("VMDARRAY", U32Bytes(2) + I32s({1, 0, 0, 0}))},
        {"link entries past the chunk", Leaf("ADJMDLEP", U32Bytes(0x10000000))},
        {"track records past the chunk", Leaf("OBJTRAK2", U32Bytes(1) + std::string(76, '\0'))},
        {"an unterminated sound name", Leaf("TRAKSOUN", std::string(24, '\0') + "abcd")},
        {"a category without its words", Leaf("TRSNDCAT", Padded("cat"))},
        {"locations past the chunk", Leaf("ALTLOCAT", I32s({0, 0}) + U32Bytes(3) + std::string(36, '\0'))},
        {"a cut module acoustics", Leaf("MODACOUS", I32s({1, 2}))},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto file = Open(PlainFile({Leaf("QOOBJECT", k.chunk)}));
        EXPECT_EQ(-2, file->Error());
    }
}

TEST_F(ObjectChunks, AnObjectIsRewrittenInPlaceOverItsStoredCopy) {
    const std::string path = dir_.Write("level.qif", PlainFile({Object("Alpha", 0, 0), Object("Beta", 0, 1),
                                                               Leaf("QIFVERIN", U32Bytes(9))}));
    auto file = FileChunk::Open(path);
    ObjectChunk* beta = FindObject(*file, "Beta");
    beta->Data().position = {7, 8, 9};
    AddDefaultNotes(*beta); // grows the stored copy
    {
        plat::File stored = plat::File::Open(path, plat::kAccessReadWrite, plat::FileDisposition::OpenExisting);
        ASSERT_TRUE(RewriteTopLevelChunk(*beta, stored));
    }
    auto again = FileChunk::Open(path);
    ASSERT_EQ(0, again->Error());
    EXPECT_EQ((VectorI{7, 8, 9}), FindObject(*again, "Beta")->Data().position);
    EXPECT_NE(nullptr, FindObject(*again, "Alpha"));
    EXPECT_NE(nullptr, again->FindChild("QIFVERIN")); // what followed was moved, not lost
    EXPECT_EQ(BytesOf(*file), BytesOf(*again));

    // A deleted object leaves the file and is deleted itself.
    ObjectChunk* alpha = FindObject(*file, "Alpha");
    alpha->RemoveFromFile(*file);
    {
        plat::File stored = plat::File::Open(path, plat::kAccessReadWrite, plat::FileDisposition::OpenExisting);
        ASSERT_TRUE(RewriteTopLevelChunk(*alpha, stored));
    }
    EXPECT_EQ(nullptr, FindObject(*file, "Alpha"));
    auto third = FileChunk::Open(path);
    ASSERT_EQ(0, third->Error());
    EXPECT_EQ(BytesOf(*file), BytesOf(*third));

    // No stored copy of that name: the object is appended.
    ChunkObjectData data;
    data.name = "Gamma";
    ObjectChunk* gamma = ObjectChunk::NewObject(file.get(), data);
    {
        plat::File stored = plat::File::Open(path, plat::kAccessReadWrite, plat::FileDisposition::OpenExisting);
        ASSERT_TRUE(RewriteTopLevelChunk(*gamma, stored));
    }
    auto fourth = FileChunk::Open(path);
    ASSERT_EQ(0, fourth->Error());
    EXPECT_EQ(fourth->LastChild()->Id(), std::string("QOOBJECT"));
    EXPECT_NE(nullptr, FindObject(*fourth, "Gamma"));
}

} // namespace
