#include <gtest/gtest.h>

#include <string>

#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_geometry.h"
#include "chunkfile/shape_header.h"
#include "chunkfile/shapeext_chunks.h"
#include "chunkfile/shapeext_conshape.h"
#include "chunkfile/shapeext_morph.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class ShapeExtensions : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

std::string SubHeader(int32_t number) {
    return Leaf("SUBSHPHD", U32Bytes(0) + I32s({number, 3, 1}) + F32s({0}) + I32s({0, 0, 0, 0, 0, 0}));
}

std::string Target(int32_t number, const std::string& fileName = {}) {
    return Parent("SUBSHAPE", {SubHeader(number), fileName.empty() ? std::string() : Leaf("SHPFNAME", Padded(fileName))});
}

std::string MorphFrame(std::initializer_list<int32_t> triples) {
    return Leaf("FRMMORPH", Words({11, 12, static_cast<uint32_t>(triples.size() / 3)}) + I32s(triples));
}

std::string Points() { return Leaf("SHPRAWVT", I32s({0, 0, 0, 10, 0, 0, 0, 10, 0})); }

std::string Triangle(int32_t type, uint32_t flags, uint32_t texture, int32_t a, int32_t b, int32_t c) {
    return I32s({type, 0}) + Words({flags, texture}) + I32s({a, b, c, -1, -1});
}

template <class T>
T* ChildAs(const ParentChunk& parent, const char* id) {
    return dynamic_cast<T*>(parent.FindChild(id));
}

TEST_F(ShapeExtensions, MorphFramesLinkTargetsAndTheOwnerShape) {
    const std::string file = PlainFile(
        {Parent("QORSHAPE", {ShapeHeader(1), Parent("SHPMORPH", {Target(2), Target(4),
                                                                MorphFrame({-1, 2, 7, 2, 4, 8, 3, 2, 9, 2, -1, 1})})}),
         Parent("SUBSHAPE", {SubHeader(0), Parent("SHPMORPH", {Target(2), MorphFrame({-1, 2, 7})})})});
    auto opened = Open(file);
    ASSERT_EQ(0, opened->Error());
    EXPECT_EQ(file, BytesOf(*opened)); // the triples stay as read until a save prepares them

    auto* shape = ChildAs<QorShapeChunk>(*opened, "QORSHAPE");
    auto* morph = ChildAs<MorphChunk>(*shape, "SHPMORPH");
    auto* frame = ChildAs<MorphFrameChunk>(*morph, "FRMMORPH");
    ASSERT_TRUE(shape && morph && frame);
    SubShapeChunk* two = morph->FindTarget(2);
    SubShapeChunk* four = morph->FindTarget(4);
    ASSERT_TRUE(two && four);
    EXPECT_EQ(shape, morph->OwnerShape());

    // (3, 2, 9) names no target and is dropped.
    const std::vector<MorphLink>& links = frame->Links();
    ASSERT_EQ(3u, links.size());
    EXPECT_EQ(shape, links[0].fromBase);
    EXPECT_EQ(nullptr, links[0].fromTarget);
    EXPECT_EQ(two, links[0].toTarget);
    EXPECT_EQ(7u, links[0].value);
    EXPECT_EQ(four, links[1].toTarget);
    EXPECT_EQ(shape, links[2].toBase);

    // Under a SUBSHAPE, -1 names nothing.
    auto* subMorph = ChildAs<MorphChunk>(*ChildAs<SubShapeChunk>(*opened, "SUBSHAPE"), "SHPMORPH");
    auto* subFrame = ChildAs<MorphFrameChunk>(*subMorph, "FRMMORPH");
    EXPECT_EQ(nullptr, subMorph->OwnerShape());
    EXPECT_TRUE(subFrame->Links().empty());

    // A target that leaves takes its links along; the triples follow on saving.
    delete four;
    ASSERT_EQ(2u, frame->Links().size());
    opened->PrepareForOutput();
    ASSERT_EQ(2u, frame->Data().triples.size());
    EXPECT_EQ(-1, frame->Data().triples[0].from);
    EXPECT_EQ(2, frame->Data().triples[0].to);
    EXPECT_EQ(2, frame->Data().triples[1].from);
    EXPECT_EQ(-1, frame->Data().triples[1].to);
    EXPECT_TRUE(subFrame->Data().triples.empty());
    EXPECT_EQ(48u, frame->SizeChunk()); // (2 + 2) x 12
}

TEST_F(ShapeExtensions, NewTargetsCopyTheShapeAndAreNumberedAfterTheHighest) {
    auto opened = Open(PlainFile({Parent(
        "QORSHAPE", {ShapeHeader(1), Points(), Leaf("SHPMRGDT", I32s({-1, 1, 0})), Leaf("TEXTANIM", "anim"),
                     Parent("SHPMORPH", {Target(1, "a.qif"), Target(4, "b.qif")})})}));
    auto* shape = ChildAs<QorShapeChunk>(*opened, "QORSHAPE");
    auto* morph = ChildAs<MorphChunk>(*shape, "SHPMORPH");
    ASSERT_TRUE(shape && morph);

    EXPECT_EQ(nullptr, morph->AddTarget("A.QIF"));
    SubShapeChunk* c = morph->AddTarget("c.qif");
    SubShapeChunk* d = morph->AddTarget("d.qif");
    ASSERT_TRUE(c && d);
    EXPECT_EQ(nullptr, morph->AddTarget("C.qif"));
    EXPECT_EQ(shape->Data().points, c->Data().points);
    EXPECT_EQ("c.qif", ChildAs<FileNameChunk>(*c, "SHPFNAME")->Name());
    ASSERT_NE(nullptr, ChildAs<MergeDataChunk>(*c, "SHPMRGDT"));
    EXPECT_EQ((std::vector<int32_t>{-1, 1, 0}), ChildAs<MergeDataChunk>(*c, "SHPMRGDT")->Data().entries);
    ASSERT_NE(nullptr, c->FindChild("TEXTANIM"));
    EXPECT_EQ(Leaf("TEXTANIM", "anim"), BytesOf(*c->FindChild("TEXTANIM")));

    opened->PrepareForOutput();
    EXPECT_EQ(5, c->FindSubHeader()->Number());
    EXPECT_EQ(6, d->FindSubHeader()->Number());
}

TEST_F(ShapeExtensions, ExternalObjectNamesAreQualifiedByTheFileName) {
    auto opened = Open(PlainFile({Leaf("QIFFNAME", Padded("lib.qif")), Leaf("EXTOBJNM", U32Bytes(0) + Padded("Door")),
                                  Parent("SHPEXTFL", {Leaf("EXTOBJNM", U32Bytes(0) + Padded("Gate"))}),
                                  Parent("SHPFRAGS", {Leaf("QIFFNAME", Padded("frag.qif"))})}));
    ASSERT_EQ(0, opened->Error());
    const std::string* name = ExternalObjectNameOf(*opened);
    ASSERT_NE(nullptr, name);
    EXPECT_EQ("Door@lib.qif", *name);
    auto* list = ChildAs<ExternalFileListChunk>(*opened, "SHPEXTFL");
    EXPECT_EQ("Gate@*NotFound*", *ExternalObjectNameOf(*list));
    EXPECT_EQ("frag.qif", *ExternalObjectNameOf(*ChildAs<ParentChunk>(*opened, "SHPFRAGS")));

    auto* made = new ExternalObjectNameChunk(list, "Hatch");
    EXPECT_EQ("Hatch@*NotFound*", made->FullName());
    auto* external = new ExternalFileListChunk(opened.get(), "other.qif");
    auto* file = ChildAs<ExternalFileChunk>(*external, "SHPEXTFN");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(1.0, file->Data().factor);
    EXPECT_EQ(-1, file->Data().word);
}

TEST_F(ShapeExtensions, ChunksAreSizedAsLaidOutAndWrittenBackUnchanged) {
    struct Case {
        std::string chunk;
        uint32_t size;
    };
    const Case cases[] = {
        {Leaf("SHPFNAME", Padded("ab")), 16},
        {Leaf("SHPFNAME", Padded("abcd")), 20},
        {Leaf("SHPEXTFN", F32s({0, 1.5f}) + I32s({3}) + Padded("abc")), 28},
        {Leaf("EXTOBJNM", U32Bytes(1) + Padded("Door")), 24},
        {Leaf("SHPPCINF", Words({1, 2, 3, 4, 5, 6, 7, 8})), 20 + 12 * 2},
        {Leaf("FRAGDATA", Words({1, 2, 3, 4})), 28},
        {Leaf("FRAGLOCN", Words({1, 2, 3, 4, 5, 6, 7})), 40},
        {Leaf("SHPFRGTP", Padded("chunk") + Words({1, 2})), 28},
        {Leaf("SHPPRPRO", Words({2, 0xFFFF0000, 5, 6, 1, 7})), 24 + 4 * 3},
        {Leaf("CONSTYPE", Words({0x34})), 16},
        {Leaf("SHPEXTFL", Leaf("SHPEXTFN", F32s({0, 1.5f}) + I32s({3}) + Padded(""))), 40},
    };
    for (const Case& c : cases) {
        const std::string file = PlainFile({c.chunk});
        auto tree = ReadTree(file);
        ASSERT_NE(nullptr, tree->FirstChild()) << c.chunk.substr(0, 8);
        EXPECT_FALSE(tree->FirstChild()->IsUnknown()) << c.chunk.substr(0, 8);
        EXPECT_EQ(c.size, tree->FirstChild()->SizeChunk()) << c.chunk.substr(0, 8);
        EXPECT_EQ(file, BytesOf(*tree)) << c.chunk.substr(0, 8);
    }

    // CONSTYPE keeps the low byte of its word.
    auto tree = ReadTree(PlainFile({Leaf("CONSTYPE", Words({0x1234}))}));
    EXPECT_EQ(0x34u, ChildAs<ConTypeChunk>(*tree, "CONSTYPE")->Type());
    EXPECT_EQ(PlainFile({Leaf("CONSTYPE", Words({0x34}))}), BytesOf(*tree));

    // Merge tables and morphs are shape children only.
    tree = ReadTree(PlainFile({Leaf("SHPMRGDT", I32s({-1})), Leaf("FRMMORPH", Words({0, 0, 0}))}));
    EXPECT_TRUE(tree->FirstChild()->IsUnknown());
    EXPECT_TRUE(tree->LastChild()->IsUnknown());
}

TEST_F(ShapeExtensions, PropertyLinksResolveIntoAPointerArray) {
    FileChunk file;
    // head: element 1, then the link in element 3: element 2, then element 0: element 1 (last).
    auto* property = new ShapePropertyChunk(&file, 0x00030001, {0xFFFF0001, 7, 8, 0x00000002});
    std::optional<ShapePropertyLinks> links = property->ResolveLinks();
    ASSERT_TRUE(links.has_value());
    const std::vector<uint32_t>& words = links->words;
    ASSERT_EQ(4u, words.size());
    EXPECT_EQ(&words[1], links->head);
    EXPECT_EQ(&words[1], links->links[0]);
    EXPECT_EQ(nullptr, links->links[1]);
    EXPECT_EQ(nullptr, links->links[2]);
    EXPECT_EQ(&words[2], links->links[3]);
    EXPECT_TRUE(property->Data().first.empty());
    EXPECT_EQ(24u, property->SizeChunk());

    struct Case {
        uint32_t head;
        std::vector<uint32_t> first;
    };
    for (const Case& c : {Case{0xFFFF0004, {1, 2}}, Case{0x00050000, {1}}, Case{0x00010000, {0, 0x00010000}},
                          Case{0x00000000, {0}}}) {
        auto* bad = new ShapePropertyChunk(&file, c.head, c.first);
        EXPECT_FALSE(bad->ResolveLinks().has_value()) << c.head;
        EXPECT_EQ(c.first, bad->Data().first);
    }
}

TEST_F(ShapeExtensions, VariantsFollowTheirShapesPolygons) {
    auto opened = Open(PlainFile({Parent(
        "QORSHAPE", {ShapeHeader(1), Points(),
                     Leaf("SHPPOLYS", Triangle(1, 0, 0, 0, 1, 2) + Triangle(1, 0, 0, 2, 1, 0))})}));
    auto* shape = ChildAs<QorShapeChunk>(*opened, "QORSHAPE");
    ASSERT_NE(nullptr, shape);

    // A variant read from bytes: its own polygon attributes, the shape's vertices.
    const std::string variantData = Leaf("CONSTYPE", Words({3})) +
                                    Leaf("SHPPOLYS", Triangle(5, 1, 7, 9, 9, 9) + Triangle(6, 2, 8, 9, 9, 9));
    auto* variant = new ConShapeChunk(shape, std::span(reinterpret_cast<const uint8_t*>(variantData.data()),
                                                       variantData.size()));
    EXPECT_EQ(variant, FindConShape(*shape, 3));
    EXPECT_EQ(nullptr, FindConShape(*shape, 4));
    ASSERT_TRUE(variant->Refresh());
    ASSERT_EQ(2u, variant->Data().polygons.size());
    EXPECT_EQ(5, variant->Data().polygons[0].type);
    EXPECT_EQ(2, variant->Data().polygons[1].vertices[0]);
    EXPECT_EQ(shape->Data().points, variant->Data().points);
    // Refreshed twice, it still writes its own polygons.
    ASSERT_TRUE(variant->Refresh());
    EXPECT_EQ(6, variant->Data().polygons[1].type);
    auto* polygons = ChildAs<PolygonArrayChunk>(*variant, "SHPPOLYS");
    EXPECT_EQ(&variant->Data().polygons, &polygons->Elements());

    // Data set from a record gets new polygon children.
    ChunkShapeData record = shape->Data();
    record.polygons.pop_back();
    variant->SetData(record);
    EXPECT_EQ(1u, ChildAs<PolygonArrayChunk>(*variant, "SHPPOLYS")->Elements().size());
    EXPECT_EQ(1, variant->CountChildren("SHPPOLYS"));

    // One polygon against the shape's two: the variant cannot follow and goes.
    EXPECT_FALSE(variant->Refresh());
    EXPECT_EQ(nullptr, FindConShape(*shape, 3));
    // Under no shape it cannot follow either.
    EXPECT_FALSE((new ConShapeChunk(opened.get(), 3))->Refresh());
    EXPECT_EQ(nullptr, opened->FindChild("CONSHAPE"));
}

TEST_F(ShapeExtensions, CountsPastTheDataAreMalformed) {
    const std::string bad[] = {
        Leaf("SHPPCINF", Words({0, 2, 1, 2, 3})),
        Leaf("SHPPRPRO", Words({3, 0, 1, 2})),
        Leaf("SHPPRPRO", Words({0, 0, 2, 1})),
        Leaf("SHPEXTFN", F32s({0, 1.5f}) + I32s({3}) + "abc"),
        Leaf("SHPFRGTP", Padded("chunk") + Words({1})),
    };
    for (const std::string& chunk : bad) {
        auto tree = ReadTree(PlainFile({chunk}));
        EXPECT_EQ(-2, tree->Error()) << chunk.substr(0, 8);
        EXPECT_EQ(nullptr, tree->FirstChild()) << chunk.substr(0, 8);
    }
    auto tree = ReadTree(PlainFile({Parent("QORSHAPE", {Parent("SHPMORPH", {Leaf("FRMMORPH", Words({0, 0, 2, 1, 2, 3}))})})}));
    EXPECT_EQ(-2, tree->Error());
}

} // namespace
