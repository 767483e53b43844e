#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "chunkfile/chunkregistry.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

// The registry is one per process and tests add classes of their own to it,
// so the program's registrations are counted in a fresh process.
TEST(EveryChunkClassDeathTest, TheProgramRegisters118Classes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RegisterAllChunkClasses();
            RegisterAllChunkClasses(); // registers nothing more
            const int32_t count = ChunkRegistry::Global().Register("ZZPROBE", {}, nullptr) - 1;
            std::fprintf(stderr, "registered %d\n", count);
            std::exit(count == 118 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "registered 118");
}

class EveryChunkClass : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

std::string Shape() {
    const std::string target = Parent(
        "SUBSHAPE", {Leaf("SUBSHPHD", U32Bytes(0) + I32s({1, 3, 1}) + F32s({0}) + I32s({0, 0, 0, 0, 0, 0})),
                     Leaf("SHPFNAME", Padded("target.qif")), Leaf("SHPMRGDT", I32s({-1})),
                     Parent("SHPMORPH", {Leaf("FRMMORPH", Words({0, 0, 1}) + I32s({-1, -1, 0}))})});
    const std::string animation = Parent(
        "ANIMSEQU", {Leaf("ANISEQDT", I32s({2}) + Words({1, 2, 3, 4}) + std::string("Wave\0\0\0\0", 8)),
                     Parent("ANIMFRAM", {Leaf("ANIFRADT", I32s({0}) + Words({0, 1, 2, 3}) + std::string(4, '\0')),
                                         Leaf("SHPRAWVT", I32s({1, 2, 3, 4, 5, 6, 7, 8, 9})),
                                         Leaf("SHPPNORM", F32s({0, 0, 1}))})});
    return Parent(
        "QORSHAPE",
        {ShapeHeader(1), Leaf("SHPRAWVT", I32s({0, 0, 0, 10, 0, 0, 0, 10, 0})),
         Leaf("SHPPOLYS", I32s({1, 0, 0, 0, 0, 1, 2, -1, -1})), Leaf("SHPMRGDT", I32s({-1})),
         Parent("SHPMORPH", {target, Leaf("FRMMORPH", Words({5, 6, 2}) + I32s({-1, 1, 7, 1, -1, 8}))}), animation,
         Parent("ASALTTEX", {Leaf("ANSHCEN2", Words({1, 2, 3, 4, 5}))}),
         Parent("SHPEXTFL", {Leaf("SHPEXTFN", F32s({0, 1.875f}) + I32s({-1}) + Padded("ext.qif"))}),
         Leaf("EXTOBJNM", U32Bytes(0) + Padded("Door")), Leaf("SHPFNAME", Padded("source.qif")),
         Leaf("SHPPCINF", Words({1, 1, 2, 3, 4})),
         Parent("SHPFRAGS", {Leaf("FRAGDATA", Words({1, 2, 3, 4})), Leaf("FRAGLOCN", Words({1, 2, 3, 4, 5, 6, 7})),
                             Leaf("SHPFRGTP", Padded("shard") + Words({1, 2}))}),
         Leaf("SHPPRPRO", Words({2, 0xFFFF0000, 5, 6, 1, 7})), Leaf("CONSTYPE", Words({3}))});
}

std::string Sounds() {
    return Leaf("SOUNDOB2", Words({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) + std::string("Boom\0xy\0", 8)) +
           Parent("SOUNDEXD", {Leaf("SOUNDNAM", Padded("Boom")), Leaf("ALTLOCAT", Words({1, 2, 0}))}) +
           Leaf("INDSOUND", I32s({3}) + Padded("fx\\Hit.wav") + Words({1, 2, 3, 4, 5, 1, 6}));
}

std::string Hierarchy() {
    const std::string sequence = Parent(
        "OBANSEQC",
        {Leaf("OBASEQHD", Words({0x10000, 1, 0, 1, 9}) + Padded("Walk")),
         Leaf("OBASEQFR", F32s({0, 0, 0, 1}) + I32s({1, 2, 3, 65536, 0}) + Words({0x85000000, 0})),
         Leaf("OBASEQTM", I32s({2000})), Leaf("OBASEQSP", I32s({1500, 90, 0})), Leaf("OBASEQFL", Words({1})),
         Leaf("HIERBBOX", I32s({-1, -1, -1, 1, 1, 1})),
         Leaf("OBANALLS", Words({1, 1, 1, 2, 3}) + std::string(36, 'r'))});
    const std::string root = Parent(
        "OBJCHIER", {Leaf("OBJHIERD", Words({1, 9}) + Padded("Body")), Leaf("OBHIERNM", Padded("root")),
                     Leaf("OBHALTSH", Words({0}) + Padded("alt") + Words({1}) + Padded("a") + Padded("b") +
                                          Words({1, 2, 3, 4})),
                     Leaf("HSETCOLL", Words({0}) + Padded("set") + Words({1, 5, 6, 7})),
                     Parent("OBANSEQS", {sequence})});
    return Parent("OBJCHIER", {Leaf("OBHIERNM", Padded("Robot")), Leaf("HIERBBOX", I32s({-5, -5, -5, 5, 5, 5})), root}) +
           Leaf("HIDEGDIS", Words({2, 0, 10000}));
}

std::string Cutscene() {
    const std::string event = Leaf(
        "CUTEVENT", F32s({1.5f}) + Words({0, 0}) + Padded("Go") + I32s({3}) +
                        I32s({7, 36, 0, -1, 0, 0}) + Words({0, 0, 0}) +
                        I32s({13, 44, 500, -1, 0, 0}) + Padded("NEXT LEVEL") + Words({0, 0}) +
                        I32s({20, 28, 0, -1, 0, 0}) + "raw!");
    const std::string track = Parent(
        "CUTTRACK", {Leaf("CUTTRNAM", Padded("Pan") + Words({0, 0})),
                     Leaf("CUTPOINT", Words({1}) + I32s({1, 2, 3}) + Words({0x01000BB8}) +
                                          F32s({0, 0, 0, 1, 0, 0, 0, 1}) + Words({1, 0, 0, 0})),
                     Leaf("CUTTRFOV", F32s({60}) + Words({0, 0})), event});
    const std::string user = Parent(
        "CUTSCUSR", {Leaf("CTUSRDAT", Padded("Tavrin") + I32s({-1, 2, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0})),
                     Leaf("CTUSRHIE", Padded("Robot") + Words({0, 0, 0})),
                     Leaf("CTUSNDPR", Words({10000, 20000, 127, 0, 0, 0})),
                     Leaf("CTUSSPPO", Words({1}) + std::string(36, 's') + Words({0, 0, 0})), track});
    return Parent("CUTSHEAD", {Leaf("CUTSCDAT", Words({1, 2, 3}) + Padded("Intro") + Words({0, 0}) +
                                                    std::string("\x2b\xc1\x18\x08\x1f\xe7\x01\0", 8)),
                               user});
}

std::string Environment() {
    const std::string entry = Words({0x10C, 2, 0, 6, 0x00400040}) + Padded("rock.bmp");
    const std::string reference = Words({1, 0, 0, 0}) + Names({"old", "", ""});
    return Parent(
        "QORENVDT",
        {Leaf("BMPNAMES", Words({1}) + entry), Leaf("BMPLSTST", Words({1}) + entry),
         Leaf("SHBMPNAM", Words({1}) + entry + Names({"ship", ""}) + Words({2, 4}) + std::string(48, 'x')),
         Leaf("BMNAMVER", I32s({3})), Leaf("BMNAMEXT", Words({1}) + std::string(48, 'e')),
         Leaf("BMPMD5ID", Words({0, 1, 2}) + std::string(16, 'd') + Names({"rock.bmp", "ship", ""})),
         Leaf("MATCHIMG", Words({0, 0, 0, 1}) + Words({1, 2, 3}) + reference + reference),
         Parent("SPECLOBJ", {Cutscene()})});
}

TEST_F(EveryChunkClass, AFileHoldingEveryClassIsReadIntoThemAndWrittenBackByteForByte) {
    const std::string image = PlainFile({Leaf("QIFFNAME", Padded("lib.qif")), Shape(), Sounds(), Hierarchy(),
                                         Leaf("QOOBJECT", ObjectHeader("Body", 1)), Environment()});
    auto file = Open(image);
    ASSERT_EQ(0, file->Error());
    EXPECT_EQ(image, BytesOf(*file));

    // Every chunk was read into its own class.
    std::vector<const Chunk*> pending{file.get()};
    while (!pending.empty()) {
        const Chunk* c = pending.back();
        pending.pop_back();
        EXPECT_FALSE(c->IsUnknown()) << c->Id();
        if (c->IsParent())
            for (const Chunk* child = static_cast<const ParentChunk*>(c)->FirstChild(); child; child = child->Next())
                pending.push_back(child);
    }
}

} // namespace
