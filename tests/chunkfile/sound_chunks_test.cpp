#include <gtest/gtest.h>

#include <string>

#include "chunkfile/object_track.h"
#include "chunkfile/sound_chunks.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class SoundChunks : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

std::string SoundObject(const std::string& name, const std::string& second) {
    std::string strings = name + '\0' + second + '\0';
    strings.resize(second.empty() ? (name.size() + 6) & ~size_t{3} : (strings.size() + 3) & ~size_t{3}, '\0');
    return Leaf("SOUNDOB2", Words({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) + strings);
}

std::string Extension(const std::string& name, std::initializer_list<std::string> more = {}) {
    std::string data = Leaf("SOUNDNAM", Padded(name));
    for (const std::string& c : more) data += c;
    return Leaf("SOUNDEXD", data);
}

TEST_F(SoundChunks, SoundsAreSizedByTheirStringsAndWrittenBackUnchanged) {
    struct Case {
        std::string chunk;
        uint32_t size;
    };
    const Case cases[] = {
        {SoundObject("Boom", ""), 60},
        {SoundObject("Boom", "xy"), 60},
        {SoundObject("Bo", ""), 60},
        {SoundObject("Boo", "x"), 60},
        {Leaf("INDSOUND", I32s({3}) + Padded("Hit") + Words({1, 2, 3, 4, 5}) + U32Bytes(2) + Words({6, 7})), 52},
        {Leaf("INDSOUND", I32s({0}) + Padded("") + Words({0, 0, 0, 0, 0}) + U32Bytes(0)), 44},
        {Extension("Boom"), 32},
    };
    for (const Case& c : cases) {
        const std::string file = PlainFile({c.chunk});
        auto tree = ReadTree(file);
        ASSERT_NE(nullptr, tree->FirstChild()) << c.chunk.substr(0, 8);
        EXPECT_FALSE(tree->FirstChild()->IsUnknown());
        EXPECT_EQ(c.size, tree->FirstChild()->SizeChunk()) << c.chunk.substr(0, 8);
        EXPECT_EQ(file, BytesOf(*tree)) << c.chunk.substr(0, 8);
    }
}

TEST_F(SoundChunks, TheNameKeyIsTheShortDigestOfTheName) {
    auto tree = ReadTree(PlainFile({SoundObject("Boom", "")}));
    const auto* sound = dynamic_cast<SoundObjectChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, sound);
    // MD5("Boom") = e68a20cce237a139...
    EXPECT_EQ((ShortDigest{0xe6, 0x8a, 0x20, 0xcc, 0xe2, 0x37, 0xa1, 0}), sound->GetNameKey());
}

TEST_F(SoundChunks, ExtensionsAreFoundByTheSoundName) {
    auto tree = ReadTree(PlainFile({SoundObject("Boom", ""), SoundObject("Bang", ""),
                                    Extension("Bang", {Leaf("ALTLOCAT", Words({1, 2, 0}))}), Extension("Boom"),
                                    Extension("Boom")}));
    List<Chunk*> children;
    tree->ListAllChildren(children);
    auto* boom = dynamic_cast<SoundObjectChunk*>(*children.At(0));
    auto* bang = dynamic_cast<SoundObjectChunk*>(*children.At(1));
    ASSERT_NE(nullptr, boom);
    ASSERT_NE(nullptr, bang);
    EXPECT_EQ(*children.At(3), boom->FindExtension());
    EXPECT_EQ(*children.At(2), bang->FindExtension());
    EXPECT_EQ(bang, bang->FindExtension()->FindSoundObject());
    EXPECT_NE(nullptr, bang->FindAltLocation());
    EXPECT_EQ(nullptr, boom->FindAltLocation());

    // Made when missing, once.
    Chunk* location = boom->GetOrMakeAltLocation();
    ASSERT_NE(nullptr, dynamic_cast<AlternateLocationChunk*>(location));
    EXPECT_EQ(location, boom->GetOrMakeAltLocation());
    EXPECT_EQ(*children.At(3), location->Parent());

    auto* whoosh = new SoundObjectChunk(tree.get(), {1, 2, 3}, "Whoosh");
    EXPECT_EQ(nullptr, whoosh->FindExtension());
    SoundExtensionChunk* made = whoosh->GetOrMakeExtension();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(tree.get(), made->Parent());
    EXPECT_EQ(whoosh, made->FindSoundObject());
    EXPECT_EQ(made, whoosh->GetOrMakeExtension());
}

TEST_F(SoundChunks, StringsAndCountsPastTheDataAreMalformed) {
    const std::string bad[] = {
        Leaf("SOUNDOB2", Words({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) + "Boom"),
        Leaf("SOUNDOB2", Words({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) + std::string("Boom\0xy", 7)),
        Leaf("SOUNDOB2", Words({1, 2, 3})),
        Leaf("INDSOUND", I32s({3}) + Padded("Hit") + Words({1, 2, 3, 4, 5}) + U32Bytes(3) + Words({6, 7})),
        Leaf("SOUNDNAM", "Boom"),
    };
    for (const std::string& chunk : bad) {
        auto tree = ReadTree(PlainFile({chunk}));
        EXPECT_EQ(-2, tree->Error()) << chunk.substr(0, 8);
        EXPECT_EQ(nullptr, tree->FirstChild()) << chunk.substr(0, 8);
    }
}

} // namespace
