#include <gtest/gtest.h>

#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/memoryfilechunk.h"
#include "chunkfile/unknownchunk.h"
#include "platform/files.h"
#include "tests/chunkfile/chunk_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

// A leaf that keeps its bytes and counts the live instances.
class TrackedLeaf : public Chunk {
public:
    TrackedLeaf(ParentChunk* parent, std::string_view id, std::string data = {})
        : Chunk(parent, id), data_(std::move(data)) {
        ++live;
    }
    ~TrackedLeaf() override { --live; }
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw) {
        return new TrackedLeaf(parent, raw.Id(), AsString(raw.Data()));
    }
    uint32_t SizeChunk() override { return StoreSize(static_cast<uint32_t>(12 + data_.size())); }
    void FillDataBlock(ByteWriter& out) override {
        WriteHeader(out);
        out.Bytes(data_.data(), data_.size());
    }
    static inline int live = 0;

private:
    std::string data_;
};

// Registered for the tests only, under ids no chunk family uses.
void RegisterTestChunks() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("TSTPARNT", {}, ParentChunk::CreatePlain);
        r.Register("TSTLEAF1", {}, TrackedLeaf::Create);
        r.Register("TSTBOUND", "TSTPARNT", TrackedLeaf::Create);
    });
}

std::unique_ptr<MemoryFileChunk> ReadTree(const std::string& file) {
    RegisterTestChunks();
    const std::vector<uint8_t> bytes = AsBytes(file);
    return std::make_unique<MemoryFileChunk>(std::span(bytes).subspan(12), static_cast<uint32_t>(bytes.size()));
}

std::vector<std::string> ChildIds(const ParentChunk& p) {
    std::vector<std::string> ids;
    for (Chunk* c = p.FirstChild(); c; c = c->Next()) ids.emplace_back(c->Id());
    return ids;
}

TEST(ChunkRegistry, MatchesByIdAndParentIdLaterRegistrationsFirst) {
    ChunkRegistry r;
    EXPECT_EQ(1, r.Register("SHPRAWVT", "QORSHAPE", TrackedLeaf::Create));
    r.Register("OBJHEAD1", "", TrackedLeaf::Create);
    r.Register("OBJHEAD1", {}, ParentChunk::CreatePlain);
    EXPECT_EQ(4, r.Register("TOOLONGNAME", {}, TrackedLeaf::Create)); // cut to TOOLONGN

    const char noParent[8] = {};
    struct Case {
        const char* id;
        const char* parent;
        ChunkFactory expected;
    };
    const Case cases[] = {
        {"SHPRAWVT", "QORSHAPE", TrackedLeaf::Create},
        {"SHPRAWVT", "ANIMFRAM", nullptr},
        {"SHPRAWVT", noParent, TrackedLeaf::Create}, // a parent without an id takes any registration
        {"OBJHEAD1", "QOOBJECT", ParentChunk::CreatePlain},
        {"TOOLONGN", "QORINFF2", TrackedLeaf::Create},
        {"OBJHEAD2", "QOOBJECT", nullptr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.id);
        EXPECT_EQ(k.expected, r.Find(k.id, k.parent));
    }
}

TEST(ChunkTree, ReadsChildrenThroughTheRegistryAndWritesThemBackUnchanged) {
    const std::string file = PlainFile({
        Leaf("TSTLEAF1", "abcd"),
        Parent("TSTPARNT", {Leaf("TSTBOUND", "xy"), Leaf("ZZUNKNWN")}),
        Leaf("TSTBOUND", "under the file: unknown"),
        Leaf("EMPTY"), // an unknown chunk of size 12
    });
    auto tree = ReadTree(file);
    EXPECT_EQ(0, tree->Error());
    EXPECT_EQ((std::vector<std::string>{"TSTLEAF1", "TSTPARNT", "TSTBOUND", "EMPTY"}), ChildIds(*tree));

    auto* parent = static_cast<ParentChunk*>(tree->FindChild("TSTPARNT"));
    ASSERT_TRUE(parent && parent->IsParent());
    EXPECT_FALSE(parent->FirstChild()->IsUnknown());
    EXPECT_TRUE(parent->LastChild()->IsUnknown());
    EXPECT_EQ(38u, parent->Size());
    EXPECT_TRUE(tree->FindChild("TSTBOUND")->IsUnknown());
    auto* empty = static_cast<UnknownChunk*>(tree->FindChild("EMPTY"));
    EXPECT_TRUE(empty->Data().empty());
    EXPECT_EQ(12u, empty->SizeChunk());

    EXPECT_EQ(file, AsString(tree->MakeDataBlock()));
}

TEST(ChunkTree, OutputChunkWritesWhatMakeDataBlockBuilds) {
    auto tree = ReadTree(PlainFile({Leaf("TSTLEAF1", "abcd"), Parent("TSTPARNT", {Leaf("TSTBOUND", "xy")})}));
    const std::vector<uint8_t> block = tree->MakeDataBlock();
    TempDir dir;
    {
        plat::File out = plat::File::Open(dir / "out.qif", plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        ASSERT_TRUE(tree->OutputChunk(out));
    }
    EXPECT_EQ(AsString(block), TempDir::Read(dir / "out.qif"));
}

TEST(ChunkTree, MalformedChildHeadersEndTheWalkAndKeepEarlierChildren) {
    const std::string ok = Leaf("TSTLEAF1", "abcd");
    struct Case {
        const char* what;
        std::string children;
        size_t kept;
    };
    const Case cases[] = {
        {"a header cut short", ok + std::string("TSTLE", 5), 1},
        {"size 0", ok + ChunkWithSize("TSTLEAF1", 0, "") + ok, 1},
        {"size below the header", ok + ChunkWithSize("TSTLEAF1", 11, "abcd"), 1},
        {"size past the end", ok + ChunkWithSize("TSTLEAF1", 17, "abcd"), 1},
        {"size past a nested parent's end",
         Parent("TSTPARNT", {ChunkWithSize("TSTBOUND", 40, "")}) + ok, 1},
        {"the first child past the end", ChunkWithSize("TSTLEAF1", 100, "abcd") + ok, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const int liveBefore = TrackedLeaf::live;
        {
            auto tree = ReadTree(Leaf("QORINFF2", k.children));
            EXPECT_EQ(-2, tree->Error());
            EXPECT_EQ(k.kept, ChildIds(*tree).size());
        }
        EXPECT_EQ(liveBefore, TrackedLeaf::live);
    }
}

TEST(ChunkTree, FindsChildrenByIdsPaddedWithZeros) {
    auto tree = ReadTree(PlainFile({Leaf("OBJHEAD1"), Leaf("OBJ"), Leaf("OBJHEAD1", "2"), Leaf("OBJHEAD2")}));
    struct Case {
        const char* name;
        int count;
    };
    for (const Case& k : {Case{"OBJHEAD1", 2}, Case{"OBJ", 1}, Case{"OBJHEAD", 0}, Case{"OBJHEAD12", 2}}) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(k.count, tree->CountChildren(k.name));
        List<Chunk*> found;
        found.PushBack(tree.get()); // emptied first
        tree->ListChildren(k.name, found);
        EXPECT_EQ(k.count, found.Count());
        EXPECT_EQ(k.count ? found.Front() : nullptr, tree->FindChild(k.name));
    }
    List<Chunk*> all;
    tree->ListAllChildren(all);
    EXPECT_EQ(4, all.Count());
}

TEST(ChunkTree, DeletingAParentDeletesItsSubtreeAndRelinksItsSiblings) {
    const int liveBefore = TrackedLeaf::live;
    ParentChunk root(nullptr, "ROOT");
    auto* a = new TrackedLeaf(&root, "A");
    auto* p = new ParentChunk(&root, "P");
    new TrackedLeaf(p, "B");
    new TrackedLeaf(new ParentChunk(p, "Q"), "C");
    auto* d = new TrackedLeaf(&root, "D");
    EXPECT_EQ(liveBefore + 4, TrackedLeaf::live);
    EXPECT_EQ(&root, d->Root());

    delete p;
    EXPECT_EQ(liveBefore + 2, TrackedLeaf::live);
    EXPECT_EQ(a, root.FirstChild());
    EXPECT_EQ(d, a->Next());
    EXPECT_EQ(a, d->Prev());
    EXPECT_EQ(d, root.LastChild());

    a->Detach();
    EXPECT_EQ(d, root.FirstChild());
    EXPECT_EQ(nullptr, d->Prev());
    EXPECT_EQ(nullptr, a->Parent());
    delete a;
}

// A class whose writer falls short of its size.
class ShortWriter : public Chunk {
public:
    using Chunk::Chunk;
    uint32_t SizeChunk() override { return StoreSize(16); }
    void FillDataBlock(ByteWriter& out) override { WriteHeader(out); }
};

TEST(ChunkTree, ABlockThatDoesNotMatchItsSizeIsNotBuilt) {
    ParentChunk root(nullptr, "QORINFF2");
    new TrackedLeaf(&root, "A", "data");
    new ShortWriter(&root, "SHORT");
    EXPECT_TRUE(root.MakeDataBlock().empty());
    TempDir dir;
    plat::File out = plat::File::Open(dir / "out.qif", plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    EXPECT_FALSE(root.OutputChunk(out));
}

} // namespace
