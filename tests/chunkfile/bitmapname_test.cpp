#include <gtest/gtest.h>

#include <string>

#include "chunkfile/bitmapname_list.h"
#include "chunkfile/bitmapname_match.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class BitmapNames : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

std::string Entry(const std::string& name, int32_t index, uint32_t flags = 0x10C) {
    return Words({flags}) + I32s({index}) + Words({0x12345678, 6, (60u << 16) | 100}) + Padded(name);
}

std::string Identity(const std::string& name, uint32_t type, const std::string& first, const std::string& second,
                     uint32_t flags = 0) {
    return Leaf("BMPMD5ID", Words({0, flags, type}) + std::string(16, static_cast<char>(type)) + Names({name, first, second}));
}

template <class T>
T* ChildAs(const ParentChunk& parent, const char* id) {
    return dynamic_cast<T*>(parent.FindChild(id));
}

TEST_F(BitmapNames, AListIsReadWithItsEntriesAndHandsItsVersionToBmnamver) {
    const std::string list = Leaf("BMPNAMES", Words({0x00030001}) + Entry("Rock01.bmp", 7));
    EXPECT_EQ(48u, list.size());
    auto tree = ReadTree(PlainFile({Parent("QORENVDT", {list})}));
    auto* environment = static_cast<ParentChunk*>(tree->FirstChild());
    auto* names = ChildAs<BitmapNameListChunk>(*environment, "BMPNAMES");
    ASSERT_NE(nullptr, names);
    ASSERT_EQ(1u, names->Entries().size());
    const BitmapNameEntry& e = names->Entries()[0];
    EXPECT_EQ("Rock01.bmp", e.name);
    EXPECT_EQ(0x45678u, e.value20);
    EXPECT_EQ(0x123u, e.value12);
    EXPECT_EQ(100u, e.Width());
    EXPECT_EQ(60u, e.Height());
    EXPECT_EQ(7, names->LargestIndex());

    EXPECT_EQ(3, names->GetVersion());
    EXPECT_EQ(PlainFile({Parent("QORENVDT", {Leaf("BMPNAMES", Words({1}) + Entry("Rock01.bmp", 7)),
                                             Leaf("BMNAMVER", I32s({3}))})}),
              BytesOf(*tree));
}

TEST_F(BitmapNames, VersionsMergeIntoTheLargest) {
    auto tree = ReadTree(PlainFile({Parent("QORENVDT", {Leaf("BMNAMVER", I32s({2})), Leaf("BMPNAMES", Words({0})),
                                                        Leaf("BMNAMVER", I32s({5})), Leaf("BMNAMVER", I32s({5}))})}));
    auto* environment = static_cast<ParentChunk*>(tree->FirstChild());
    auto* names = ChildAs<BitmapNameListChunk>(*environment, "BMPNAMES");
    EXPECT_EQ(5, names->GetVersion());
    EXPECT_EQ(1, environment->CountChildren("BMNAMVER"));
    names->BumpVersion();
    EXPECT_EQ(6, names->GetVersion());
    delete environment->FindChild("BMNAMVER");
    EXPECT_EQ(0, names->GetVersion());
    names->BumpVersion();
    EXPECT_EQ(1, names->GetVersion());
    names->SetVersion(9);
    EXPECT_EQ(9, names->GetVersion());
    EXPECT_EQ(1, environment->CountChildren("BMNAMVER"));

    BitmapNamesExtension* extension = names->GetExtension();
    ASSERT_NE(nullptr, extension);
    EXPECT_EQ(extension, names->GetExtension());
    EXPECT_EQ(1, environment->CountChildren("BMNAMEXT"));
}

TEST_F(BitmapNames, IdentitiesBelongToTheirListByOwnerNames) {
    // One identity of each list kind for "a.bmp", type 1.
    auto tree = ReadTree(PlainFile({Parent(
        "QORENVDT", {Leaf("QIFFNAME", Padded("level")), Leaf("BMPNAMES", Words({0})), Leaf("BMPLSTST", Words({0})),
                     Leaf("SHBMPNAM", Words({0}) + Names({"ship", "hull"}) + Words({2, 0}) + std::string(48, '\0')),
                     Identity("a.bmp", 1, "ship", "hull", 0), Identity("a.bmp", 1, "ship", "hull", 1),
                     Identity("a.bmp", 1, "level", ""), Identity("a.bmp", 1, "", "")})}));
    auto* environment = static_cast<ParentChunk*>(tree->FirstChild());
    List<Chunk*> children;
    environment->ListAllChildren(children);
    auto* names = dynamic_cast<BitmapNameList*>(*children.At(1));
    auto* set = dynamic_cast<BitmapNameList*>(*children.At(2));
    auto* shape = dynamic_cast<BitmapNameList*>(*children.At(3));
    ASSERT_TRUE(names && set && shape);
    // SHBMPNAM's extension word has bit 1 set: its identities carry flag bit 0.
    EXPECT_EQ(*children.At(5), shape->FindIdentityChunk("a.bmp"));
    EXPECT_EQ(*children.At(6), set->FindIdentityChunk("a.bmp"));
    EXPECT_EQ(*children.At(7), names->FindIdentityChunk("a.bmp"));
    EXPECT_EQ(nullptr, names->FindIdentityChunk("A.bmp"));

    const BitmapDigest digest{9, 9, 9};
    ASSERT_NE(nullptr, names->FindIdentity({"a.bmp", 1}));
    EXPECT_EQ(nullptr, names->FindIdentity({"a.bmp", 2}));
    // The same type is overwritten in place; another type replaces the identity.
    EXPECT_EQ(digest, *names->SetIdentity({"a.bmp", 1}, digest));
    EXPECT_EQ(*children.At(7), names->FindIdentityChunk("a.bmp"));
    EXPECT_EQ(digest, *names->SetIdentity({"a.bmp", 2}, digest));
    EXPECT_EQ(4, environment->CountChildren("BMPMD5ID"));
    EXPECT_EQ(nullptr, names->FindIdentity({"a.bmp", 1}));
    EXPECT_EQ(digest, *names->FindIdentity({"a.bmp", 2}));

    // A new identity of SHBMPNAM carries its owners and flag.
    shape->SetIdentity({"b.bmp", 3}, digest);
    BitmapIdentityChunk* made = shape->FindIdentityChunk("b.bmp");
    ASSERT_NE(nullptr, made);
    EXPECT_EQ("ship", made->Data().firstOwner);
    EXPECT_EQ("hull", made->Data().secondOwner);
    EXPECT_EQ(1u, made->Data().flags);
    EXPECT_EQ(56u, made->SizeChunk()); // 40, then "b.bmp", "ship", "hull" and their zeros padded
    BitmapIdentityChunk plain(nullptr, digest, {"abcd.bmp", 0}, "", "");
    EXPECT_EQ(52u, plain.SizeChunk());
    shape->RemoveIdentity("b.bmp");
    EXPECT_EQ(nullptr, shape->FindIdentityChunk("b.bmp"));
}

TEST_F(BitmapNames, ShapeListsKeepTheirOwnVersionAndExtension) {
    FileChunk file;
    auto* list = new ShapeBitmapNameChunk(&file, "ship", "");
    list->Entries().emplace_back("hull.bmp", 2);
    list->BumpVersion();
    list->GetExtension()->word = 0x1FF; // only bits 0-7 survive a read
    EXPECT_EQ(0, file.CountChildren("BMNAMVER"));

    auto tree = ReadTree(BytesOf(file));
    auto* read = ChildAs<ShapeBitmapNameChunk>(*tree, "SHBMPNAM");
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(1, read->GetVersion());
    EXPECT_EQ(0xFFu, read->GetExtension()->word);
    ASSERT_EQ(1u, read->Entries().size());
    EXPECT_EQ(512u, read->Entries()[0].value20);
    EXPECT_EQ(16u + 32u + 8u + 56u, read->Size()); // list, entry, "ship" and "" padded, trailer
}

TEST_F(BitmapNames, EntriesResetTheirDefaultsUnlessTold) {
    BitmapNameEntry keep("a.bmp");
    keep.flags = 0x100;
    keep.value6 = 9;
    keep.ResetDefaults();
    EXPECT_EQ(0x100u, keep.flags);
    EXPECT_EQ(9u, keep.value6);

    BitmapNameEntry reset("A.BMP");
    reset.flags = 0;
    reset.value6 = 9;
    reset.ResetDefaults();
    EXPECT_EQ(0x10Cu, reset.flags);
    EXPECT_EQ(6u, reset.value6);

    EXPECT_TRUE(keep == reset);
    const BitmapNameEntry unnamed;
    EXPECT_TRUE(unnamed == unnamed);
    EXPECT_FALSE(unnamed == BitmapNameEntry());
}

TEST_F(BitmapNames, ImageMatchesCompareKeysExactlyAndNamesIgnoringCase) {
    FileChunk file;
    auto* match = new ImageMatchChunk(&file, "MATCHIMG", {});
    match->Data().pairs.push_back({{1, 2, 3}, ImageReference(1, "new", "", ""), ImageReference(5, "Old.bmp", "x", "")});
    auto tree = ReadTree(BytesOf(file));
    const auto* read = ChildAs<ImageMatchChunk>(*tree, "MATCHIMG");
    ASSERT_NE(nullptr, read);

    const ImageReference sameButCase(5, "OLD.BMP", "X", "");
    const ImageReference otherKey(6, "Old.bmp", "x", "");
    EXPECT_EQ("new", read->FindMatch(sameButCase).names[0]);
    EXPECT_EQ(&otherKey, &read->FindMatch(otherKey));
}

TEST_F(BitmapNames, CountsAndNamesPastTheDataAreMalformed) {
    const std::string bad[] = {
        Leaf("BMPNAMES", Words({2}) + Entry("a.bmp", 0)),
        Leaf("BMPNAMES", Words({1}) + Words({0, 0, 0, 0, 0}) + "abcd"),
        Leaf("SHBMPNAM", Words({0}) + Names({"ship", "hull"}) + Words({2, 0})),
        Leaf("BMPMD5ID", Words({0, 0, 1}) + std::string(16, '\0') + "a.bmp"),
        Leaf("MATCHIMG", Words({0, 0, 0, 1}) + Words({0, 0, 0})),
        Leaf("BMNAMEXT", Words({0})),
    };
    for (const std::string& chunk : bad) {
        auto tree = ReadTree(PlainFile({chunk}));
        EXPECT_EQ(-2, tree->Error()) << chunk.substr(0, 8);
        EXPECT_EQ(nullptr, tree->FirstChild()) << chunk.substr(0, 8);
    }
}

} // namespace
