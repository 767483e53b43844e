#include <gtest/gtest.h>

#include <string>

#include "chunkfile/hierarchy_chunks.h"
#include "chunkfile/sequence_chunks.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class SequenceChunks : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

std::string HeaderChunk(int32_t key, int32_t number, const std::string& name, std::initializer_list<uint32_t> words = {}) {
    return Leaf("OBASEQHD", Words({0x10000}) + I32s({key, number}) + U32Bytes(static_cast<uint32_t>(words.size())) +
                                Words(words) + Padded(name));
}

std::string Frame(int32_t time, int32_t number, uint32_t flags, std::initializer_list<uint32_t> words = {}) {
    return Leaf("OBASEQFR", F32s({0, 0, 0, 1}) + I32s({1, 2, 3, time, number}) + U32Bytes(flags) +
                                U32Bytes(static_cast<uint32_t>(words.size())) + Words(words));
}

// A node's sequences: "Walk" (key 1, number 0) with every optional child,
// and "Idle" (key 1, number 1) with a header and one frame only.
std::string NodeSequences() {
    const std::string walk = Parent(
        "OBANSEQC", {HeaderChunk(1, 0, "Walk", {9}), Frame(0, 0, 0x85000000), Frame(32768, 1, 0x00000007, {4, 5, 6}),
                     Leaf("OBASEQTM", I32s({2000})), Leaf("OBASEQSP", I32s({1500, 90}) + U32Bytes(0)),
                     Leaf("OBASEQFL", U32Bytes(0x11)), Leaf("HIERBBOX", I32s({-1, -2, -3, 4, 5, 6})),
                     Leaf("OBANALLS", U32Bytes(1) + U32Bytes(1) + Words({1, 2, 3}) + std::string(36, 'r'))});
    const std::string idle = Parent("OBANSEQC", {HeaderChunk(1, 1, "Idle"), Frame(0, 0, 0)});
    return Parent("OBANSEQS", {walk, idle});
}

TEST_F(SequenceChunks, SequencesAreFoundWithTheirFramesAndOptionalChildren) {
    const std::string file = PlainFile({NodeSequences()});
    auto tree = ReadTree(file);
    ASSERT_EQ(0, tree->Error());
    EXPECT_EQ(file, BytesOf(*tree));

    auto* set = dynamic_cast<SequenceSetChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, set);
    List<SequenceChunk*> sequences;
    set->ListSequences(sequences);
    set->ListSequences(sequences); // appends
    ASSERT_EQ(4, sequences.Count());
    SequenceChunk* walk = set->FindSequence(1, 0);
    SequenceChunk* idle = set->FindSequence(1, 1);
    ASSERT_EQ(sequences.Front(), walk);
    ASSERT_NE(nullptr, idle);
    EXPECT_EQ(nullptr, set->FindSequence(2, 0));

    EXPECT_EQ("Walk", walk->GetHeader()->Name());
    EXPECT_EQ(40u, walk->GetHeader()->Size()); // one word, a 4-character name
    List<SequenceFrameChunk*> frames;
    walk->ListFrames(frames);
    ASSERT_EQ(2, frames.Count());
    EXPECT_EQ(56u, frames.Front()->Size());
    EXPECT_EQ(68u, frames.Back()->Size());
    EXPECT_TRUE(frames.Front()->HasOwnTransform());
    EXPECT_EQ(5u, frames.Front()->SoundIndex());
    EXPECT_EQ(0u, frames.Back()->SoundIndex());
    EXPECT_EQ(2000, walk->GetTime());
    EXPECT_EQ(1500, walk->GetSpeed());
    EXPECT_EQ(0x11u, walk->GetFlags());
    ASSERT_NE(nullptr, walk->GetBox());
    EXPECT_EQ(-2, walk->GetBox()->Data().first[1]);

    // Without the optional children.
    Vector3 direction(9, 9, 9);
    EXPECT_EQ(0, idle->GetTime());
    EXPECT_EQ(0, idle->GetSpeed());
    EXPECT_EQ(0u, idle->GetFlags());
    EXPECT_EQ(nullptr, idle->GetBox());
    EXPECT_FALSE(idle->GetDirection(direction));
    EXPECT_EQ(0.0f, direction.x);
    EXPECT_EQ(1.0f, direction.z);

    // A heading of 90 degrees with the program's full turn, a little short of 2 pi.
    ASSERT_TRUE(walk->GetDirection(direction));
    EXPECT_LT(direction.x, 1.0f);
    EXPECT_GT(direction.x, 0.9999f);
    EXPECT_GT(direction.z, 0.0f);
    EXPECT_LT(direction.z, 1e-4f);

    idle->SetFlags(0x22);
    EXPECT_EQ(0x22u, idle->GetFlags());
    EXPECT_EQ(1, idle->CountChildren("OBASEQFL"));
}

TEST_F(SequenceChunks, SetSoundPutsAnIndexBelow128IntoTheFlags) {
    FileChunk file;
    auto* frame = new SequenceFrameChunk(&file, "OBASEQFR", SequenceFrame{});
    struct Case {
        uint32_t flags;
        int32_t index;
        uint32_t expected;
    };
    for (const Case& c : {Case{0x80000001, 127, 0xFF000001}, Case{0x85000000, 0, 0x80000000},
                          Case{0x80000001, 128, 0x80000001}, Case{0x80000001, -1, 0x80000001}}) {
        frame->Data().flags = c.flags;
        frame->SetSound(c.index);
        EXPECT_EQ(c.expected, frame->Data().flags) << c.index;
    }
}

TEST_F(SequenceChunks, ANewSequenceCopiesTheSourceHeaderAndHoldsOneFrame) {
    auto tree = ReadTree(PlainFile({NodeSequences()}));
    auto* set = dynamic_cast<SequenceSetChunk*>(tree->FirstChild());
    const Quaternion rotation{0, 1, 0, 0};
    const int32_t offset[3] = {7, 8, 9};
    for (const SequenceChunk* source : {set->FindSequence(1, 0), set->FindSequence(1, 1)}) {
        SequenceChunk* copy = SequenceChunk::NewFromSequence(set, *source, rotation, offset);
        ASSERT_NE(nullptr, copy);
        const SequenceHeader& h = copy->GetHeader()->Data();
        EXPECT_EQ(0x10000u, h.keptWord);
        EXPECT_EQ(source->GetHeader()->Key(), h.key);
        EXPECT_EQ(source->GetHeader()->Number(), h.number);
        EXPECT_EQ(source->GetHeader()->Name(), h.name);
        EXPECT_TRUE(h.words.empty());
        List<SequenceFrameChunk*> frames;
        copy->ListFrames(frames);
        ASSERT_EQ(1, frames.Count());
        EXPECT_EQ(8, frames.Front()->Data().offset[1]);
        EXPECT_EQ(1.0f, frames.Front()->Data().rotation.y);
        // Only "Walk" has a frame with its own transform.
        EXPECT_EQ(source->GetHeader()->Number() == 0, frames.Front()->HasOwnTransform());
    }

    auto empty = ReadTree(PlainFile({Parent("OBANSEQC", {Frame(0, 0, 0)})}));
    EXPECT_EQ(nullptr, SequenceChunk::NewFromSequence(set, *dynamic_cast<SequenceChunk*>(empty->FirstChild()),
                                                      rotation, offset));
}

TEST_F(SequenceChunks, CountsPastTheDataAreMalformed) {
    const std::string bad[] = {
        Leaf("OBASEQHD", Words({0, 0, 0, 5})),                           // words past the data
        Leaf("OBASEQFR", F32s({0, 0, 0, 1}) + I32s({0, 0, 0, 0, 0, 0}) + U32Bytes(9)),
        Leaf("OBANALLS", U32Bytes(2) + U32Bytes(0) + Words({1, 2, 3})),  // second group missing
        Leaf("OBANALLS", U32Bytes(1) + U32Bytes(3) + Words({1, 2, 3})),  // records missing
        Leaf("OBASEQSP", I32s({1, 2})),
    };
    for (const std::string& chunk : bad) {
        auto tree = ReadTree(PlainFile({Parent("OBANSEQC", {chunk})}));
        EXPECT_EQ(-2, tree->Error()) << chunk.substr(0, 8);
        EXPECT_EQ(nullptr, static_cast<ParentChunk*>(tree->FirstChild())->FirstChild()) << chunk.substr(0, 8);
    }
}

} // namespace
