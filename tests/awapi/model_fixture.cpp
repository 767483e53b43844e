#include "tests/awapi/model_fixture.h"

#include "Awapi/aw3d/texture_manager.h"
#include "chunkfile/chunkfields.h"
#include "chunkfile/environment_chunks.h"
#include "chunkfile/hierarchy_chunks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/register_all.h"
#include "chunkfile/shape_chunk.h"
#include "core/clock.h"
#include "platform/virtual_clock.h"

ChunkShapeData SquareShape(int32_t type, uint32_t texture) {
    ChunkShapeData d;
    d.points = {{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {0, 1000, 0}};
    d.pointCount = 4;
    d.vertexNormals.assign(4, Vector3(0, 0, -1));
    d.cornerA = {0, 0, 0};
    d.cornerB = {1000, 1000, 0};
    for (int32_t i = 0; i < 2; ++i) {
        ChunkPolygon p;
        p.type = type;
        p.texture = texture;
        p.vertexCount = 3;
        p.vertices[0] = 0;
        p.vertices[1] = 1 + i;
        p.vertices[2] = 2 + i;
        if (p.IsTextured()) p.SetUvIndex(static_cast<uint32_t>(i));
        d.polygons.push_back(p);
        d.polygonNormals.push_back(Vector3(0, 0, -1));
        ChunkUvList uv;
        uv.count = 3;
        uv.pairs[0] = {0, 0};
        uv.pairs[1] = {64, static_cast<float>(i * 32)};
        uv.pairs[2] = {static_cast<float>(64 - i * 64), 32};
        d.uvLists.push_back(uv);
    }
    d.polygonCount = 2;
    return d;
}

Chunk* AddRawChild(ParentChunk& parent, const std::string& id, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes(id.begin(), id.end());
    bytes.resize(8, 0);
    ByteWriter size;
    size.U32(static_cast<uint32_t>(12 + data.size()));
    bytes.insert(bytes.end(), size.bytes().begin(), size.bytes().end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return parent.CreateChild(RawChunk{bytes.data(), static_cast<uint32_t>(bytes.size())});
}

ParentChunk* AddParent(ParentChunk& parent, const std::string& id) {
    return dynamic_cast<ParentChunk*>(AddRawChild(parent, id));
}

ObjectChunk* AddObject(FileChunk& file, const std::string& name, const ChunkShapeData& shape) {
    auto* chunk = new QorShapeChunk(&file, shape);
    ChunkObjectData data;
    data.name = name;
    ObjectChunk* object = ObjectChunk::NewObject(&file, data);
    object->SetShapeChunk(*chunk);
    return object;
}

ParentChunk* AddEnvironment(FileChunk& file, double thousandths, const std::vector<BitmapSpec>& bitmaps) {
    auto* environment = new EnvironmentChunk(&file);
    if (thousandths > 0) new WorldScaleChunk(environment, "ENVSDSCL", {thousandths});
    if (!bitmaps.empty()) {
        ByteWriter out;
        out.U32(static_cast<uint32_t>(bitmaps.size()));
        for (const BitmapSpec& b : bitmaps) {
            out.U32(0x10C);
            out.I32(b.index);
            out.U32(0);
            out.U32(6);
            out.U32(b.width | (b.height << 16));
            WritePaddedString(out, b.name);
        }
        AddRawChild(*environment, "BMPNAMES", out.bytes());
    }
    return environment;
}

void AddIndexedSound(ParentChunk& file, int32_t index, const std::string& name, std::vector<uint32_t> words) {
    ByteWriter out;
    out.I32(index);
    WritePaddedString(out, name);
    words.resize(5, 0);
    for (uint32_t w : words) out.U32(w);
    out.U32(0);
    AddRawChild(file, "INDSOUND", out.bytes());
}

ParentChunk* AddNode(ParentChunk& parent, const std::string& objectName) {
    ParentChunk* node = AddParent(parent, "OBJCHIER");
    if (!objectName.empty()) new HierarchyDataChunk(node, objectName);
    return node;
}

ParentChunk* AddHierarchy(FileChunk& file, const std::string& name) {
    ParentChunk* top = AddParent(file, "OBJCHIER");
    new HierarchyNameChunk(top, name);
    return top;
}

ParentChunk* AddSequence(ParentChunk& node, int32_t number, int32_t ms, const std::vector<FrameSpec>& frames) {
    auto* set = dynamic_cast<ParentChunk*>(node.FindChild("OBANSEQS"));
    if (!set) set = AddParent(node, "OBANSEQS");
    ParentChunk* sequence = AddParent(*set, "OBANSEQC");
    SequenceHeader header;
    header.number = number;
    new SequenceHeaderChunk(sequence, "OBASEQHD", header);
    if (ms > 0) new SequenceTimeChunk(sequence, ms);
    for (const FrameSpec& f : frames) {
        SequenceFrame frame;
        frame.number = f.number;
        frame.time = f.time;
        std::copy(std::begin(f.offset), std::end(f.offset), frame.offset);
        frame.rotation = f.rotation;
        frame.flags = f.flags;
        new SequenceFrameChunk(sequence, "OBASEQFR", frame);
    }
    return sequence;
}

int32_t RecordingSound::LoadSound(const char* name) {
    loaded.emplace_back(name);
    return name[0] == '!' ? 0 : static_cast<int32_t>(loaded.size());
}

int32_t RecordingSound::GetSampleVariant(int32_t sample, int32_t volume, float, float, float, bool) {
    volumes.push_back(volume);
    return variantResult ? variantResult : sample;
}

void RecordingSound::PlayFollowing(int32_t sample, AwObject*) { played.push_back(sample); }

void ModelTest::SetUp() {
    EngineTest::SetUp();
    RegisterAllChunkClasses();
    InstallSoundService(&sound);
    RecalibrateClocks(0);
}

void ModelTest::TearDown() {
    InstallSoundService(nullptr);
    tree.reset();
    TextureManager.RemoveUnused();
    EngineTest::TearDown();
}
