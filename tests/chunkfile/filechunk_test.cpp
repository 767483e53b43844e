#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>

#include "chunkfile/chunkfileimage.h"
#include "chunkfile/chunkregistry.h"
#include "chunkfile/container.h"
#include "chunkfile/filechunk.h"
#include "chunkfile/filelevelchunks.h"
#include "chunkfile/toplevelchunks.h"
#include "platform/files.h"
#include "tests/chunkfile/chunk_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

// A leaf that counts the post-input passes it sees.
class PostInputProbe : public Chunk {
public:
    using Chunk::Chunk;
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw) { return new PostInputProbe(parent, raw.Id()); }
    uint32_t SizeChunk() override { return StoreSize(12); }
    void FillDataBlock(ByteWriter& out) override { WriteHeader(out); }
    void PostInputProcessing() override { ++passes; }
    static inline int passes = 0;
};

void RegisterChunks() {
    RegisterCoreChunkClasses();
    static std::once_flag once;
    std::call_once(once, [] { ChunkRegistry::Global().Register("TSTPOST1", {}, PostInputProbe::Create); });
}

std::string Compressed(const std::string& image) { return AsString(CompressChunkImage(AsBytes(image))); }

const std::string kSample = PlainFile({
    Leaf("QIFVERIN", U32Bytes(3)),
    Leaf("QIFFNAME", std::string("maps\\level.qif\0\0", 16)),
    Parent("ZZPARENT", {Leaf("ZZCHILD1", "12345678"), Leaf("ZZCHILD2")}),
    Leaf("UNKNOWN"),
});

TEST(FileChunk, SavedTreeOpensAgainByteForByte) {
    RegisterChunks();
    TempDir dir;
    auto file = FileChunk::Open(dir.Write("plain.qif", kSample));
    ASSERT_EQ(0, file->Error());
    EXPECT_EQ(3u, static_cast<FileVersionChunk*>(file->FindChild("QIFVERIN"))->Version());
    EXPECT_EQ("maps\\level.qif", static_cast<SourceNameChunk*>(file->FindChild("QIFFNAME"))->Name());
    EXPECT_TRUE(file->FindChild("ZZPARENT")->IsUnknown()); // kept whole, children and all

    ASSERT_TRUE(file->Save(dir / "saved.qif"));
    EXPECT_EQ(dir / "saved.qif", file->Path());
    EXPECT_EQ("QORCQIF1", TempDir::Read(dir / "saved.qif").substr(0, 8));
    EXPECT_FALSE(std::filesystem::exists(dir / "~temp~saved.qif"));

    auto again = FileChunk::Open(dir / "saved.qif");
    ASSERT_EQ(0, again->Error());
    EXPECT_EQ(kSample, AsString(again->MakeDataBlock()));
}

TEST(FileChunk, DefaultTreeHoldsVersionZero) {
    FileChunk file;
    EXPECT_EQ(PlainFile({Leaf("QIFVERIN", U32Bytes(0))}), AsString(file.MakeDataBlock()));
}

TEST(FileChunk, FileLevelChunksHaveTheirSizes) {
    RegisterChunks();
    // The name, its zero byte and padding: 1 to 4 zero bytes.
    for (const auto& [name, size] : std::vector<std::pair<std::string, uint32_t>>{
             {"", 16}, {"abc", 16}, {"abcd", 20}, {"abcdefg", 20}}) {
        SourceNameChunk chunk(nullptr, name);
        EXPECT_EQ(size, chunk.SizeChunk()) << name;
        EXPECT_EQ(name + std::string(size - 12 - name.size(), '\0'), AsString(chunk.MakeDataBlock()).substr(12));
    }
    TempDir dir;
    // A name running to the end of its data; a version with no room for it.
    auto file = FileChunk::Open(dir.Write("a.qif", PlainFile({Leaf("QIFFNAME", "abcd"), Leaf("QIFVERIN", "12")})));
    EXPECT_EQ(-2, file->Error());
    EXPECT_EQ(28u, file->ErrorOffset());
    EXPECT_EQ("abcd", static_cast<SourceNameChunk*>(file->FirstChild())->Name());
    EXPECT_EQ(nullptr, file->FindChild("QIFVERIN"));
}

TEST(FileChunk, UnreadableAndMalformedFilesAreReported) {
    RegisterChunks();
    const std::string version = Leaf("QIFVERIN", U32Bytes(0));
    const std::string image = PlainFile({version});
    std::string notAFileImage = image;
    notAFileImage[7] = '3';
    std::string oneByteShort = image;
    oneByteShort[8] -= 1;
    struct Case {
        const char* what;
        std::string bytes; // no file when empty
        int32_t error;
        size_t offset;
        size_t children;
    };
    const Case cases[] = {
        {"a missing file", "", -1, 0, 0},
        {"a file of three bytes", "QOR", -2, 0, 0},
        {"another id", "QORINFF3" + image.substr(8), -2, 0, 0},
        {"a size field one byte short", oneByteShort, -2, 8, 0},
        {"a plain header cut short", "QORINFF2\x0b", -2, 8, 0},
        {"a first child past the end", PlainFile({ChunkWithSize("QIFVERIN", 17, U32Bytes(0))}), -2, 12, 0},
        {"a malformed chunk deeper down", PlainFile({version, Parent("TSTPARNT", {Leaf("A"), ChunkWithSize("B", 5, "")})}),
         -2, 52, 2},
        {"a container shorter than its header", Compressed(image).substr(0, 315), -2, 0, 0},
        {"a damaged container", Compressed(image).substr(0, 316) + std::string(8, '\xff'), -2, 0, 0},
        {"an image shorter than its header", Compressed("QORINFF2"), -2, 0, 0},
        {"an image that is not a chunk file", Compressed(notAFileImage), -2, 0, 0},
    };
    ChunkRegistry::Global().Register("TSTPARNT", {}, ParentChunk::CreatePlain);
    TempDir dir;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const std::string path = k.bytes.empty() ? dir / "missing.qif" : dir.Write("bad.qif", k.bytes);
        auto file = FileChunk::Open(path);
        EXPECT_EQ(k.error, file->Error());
        EXPECT_EQ(k.offset, file->ErrorOffset());
        EXPECT_EQ(path, file->Path());
        List<Chunk*> children;
        file->ListAllChildren(children);
        EXPECT_EQ(k.children, static_cast<size_t>(children.Count()));
    }
    EXPECT_EQ(-1, FileChunk::Open(dir.path())->Error()); // a folder cannot be read
}

TEST(FileChunk, PostInputProcessingFollowsAMalformedChildButNotABadHeader) {
    RegisterChunks();
    TempDir dir;
    const std::string probe = Leaf("TSTPOST1");
    PostInputProbe::passes = 0;
    auto good = FileChunk::Open(dir.Write("a.qif", PlainFile({probe, probe})));
    EXPECT_EQ(2, PostInputProbe::passes);

    auto malformed = FileChunk::Open(dir.Write("b.qif", PlainFile({probe, ChunkWithSize("X", 3, "")})));
    EXPECT_EQ(-2, malformed->Error());
    EXPECT_EQ(3, PostInputProbe::passes);

    std::string shortSize = PlainFile({probe});
    shortSize[8] -= 1;
    auto badHeader = FileChunk::Open(dir.Write("c.qif", shortSize));
    EXPECT_EQ(-2, badHeader->Error());
    EXPECT_EQ(3, PostInputProbe::passes);
}

TEST(FileChunk, TemporaryNameSitsBesideTheTarget) {
    const std::pair<const char*, const char*> cases[] = {
        {"maps\\level.qif", "maps\\~temp~level.qif"},
        {"C:name.qif", "C:~temp~name.qif"},
        {"/data/maps/level.qif", "/data/maps/~temp~level.qif"},
        {"level.qif", "~temp~level.qif"},
        {"maps\\", ""},
        {"", ""},
    };
    for (const auto& [path, temp] : cases) EXPECT_EQ(temp, TemporarySaveName(path)) << path;
}

TEST(FileChunk, FailedSavesLeaveTheTargetAsItWas) {
    TempDir dir;
    FileChunk file;
    dir.Write("locked.qif", "old");
    ASSERT_TRUE(plat::SetFileAttributes(dir / "locked.qif", plat::kAttrReadOnly));
    EXPECT_FALSE(file.Save(dir / "locked.qif"));
    EXPECT_EQ("old", TempDir::Read(dir / "locked.qif"));

    EXPECT_FALSE(file.Save(dir.path() + "/"));
    EXPECT_FALSE(file.Save(""));

    // A rename over a folder fails: reported, and no temporary file is left.
    ASSERT_TRUE(plat::CreateDir(dir / "level.qif"));
    EXPECT_FALSE(file.Save(dir / "level.qif"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "level.qif"));
    EXPECT_FALSE(std::filesystem::exists(dir / "~temp~level.qif"));

    // A temporary file that cannot be created.
    EXPECT_FALSE(file.Save(dir / "no such folder/level.qif"));
    EXPECT_EQ(dir / "no such folder/level.qif", file.Path());
}

TEST(FileChunk, FindsTopLevelChunksWithoutLoadingTheFile) {
    TempDir dir;
    const std::string object = Parent("QOOBJECT", {Leaf("OBJHEAD1", "ab"), Leaf("OBJNOTES"), Leaf("OBJHEAD1")});
    const std::string path = dir.Write("a.qif", PlainFile({Leaf("QIFVERIN", U32Bytes(0)), object}));
    plat::File file = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    EXPECT_EQ((std::vector<int64_t>{28}), FindTopLevelChunks(file, "QOOBJECT"));
    file.Seek(28, plat::SeekOrigin::Begin);
    EXPECT_EQ((std::vector<int64_t>{40, 66}), FindTopLevelChunks(file, "OBJHEAD1"));

    // A parent longer than the file, and a child of size 0, end the walk.
    const std::string cut = dir.Write("cut.qif", PlainFile({object}).substr(0, 30));
    plat::File cutFile = plat::File::Open(cut, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    EXPECT_TRUE(FindTopLevelChunks(cutFile, "QOOBJECT").empty());
    const std::string stuck = dir.Write("stuck.qif", PlainFile({ChunkWithSize("OBJHEAD1", 0, std::string(12, 'x'))}));
    plat::File stuckFile = plat::File::Open(stuck, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    EXPECT_TRUE(FindTopLevelChunks(stuckFile, "OBJHEAD1").empty());
}

} // namespace
