#pragma once
// Model files built in memory from the chunk classes, on a started null
// engine: objects with shapes, environments with bitmap tables, hierarchy
// nodes with sequences and frames, and a recording sound service.

#include <memory>
#include <string>
#include <vector>

#include "Awapi/model/sound_hooks.h"
#include "chunkfile/filechunk.h"
#include "chunkfile/sequence_chunks.h"
#include "chunkfile/shape_record.h"
#include "tests/awapi/engine_fixture.h"

class ObjectChunk;

struct BitmapSpec {
    int32_t index;
    std::string name;
    uint32_t width, height;
};

// Triangles over points 0..3 of a unit square: (0, 1, 2) and (0, 2, 3) by default.
ChunkShapeData SquareShape(int32_t type = 0, uint32_t texture = 0);

// A child made from its id and data bytes through the chunk registry.
Chunk* AddRawChild(ParentChunk& parent, const std::string& id, const std::vector<uint8_t>& data = {});
ParentChunk* AddParent(ParentChunk& parent, const std::string& id);
// A QORSHAPE over `shape` and a QOOBJECT named so, linked to it.
ObjectChunk* AddObject(FileChunk& file, const std::string& name, const ChunkShapeData& shape);
// QORENVDT with ENVSDSCL (when thousandths > 0) and BMPNAMES (when bitmaps are given).
ParentChunk* AddEnvironment(FileChunk& file, double thousandths, const std::vector<BitmapSpec>& bitmaps = {});
void AddIndexedSound(ParentChunk& file, int32_t index, const std::string& name, std::vector<uint32_t> words = {});
// An OBJCHIER node showing `objectName` (none when empty).
ParentChunk* AddNode(ParentChunk& parent, const std::string& objectName);
ParentChunk* AddHierarchy(FileChunk& file, const std::string& name);
struct FrameSpec {
    int32_t number;
    int32_t time;
    int32_t offset[3];
    Quaternion rotation{0, 0, 0, 1};
    uint32_t flags = 0;
};
// An OBANSEQC (in the node's OBANSEQS, made when missing) with OBASEQTM when ms > 0.
ParentChunk* AddSequence(ParentChunk& node, int32_t number, int32_t ms, const std::vector<FrameSpec>& frames);

class RecordingSound : public AwSoundService {
public:
    int32_t LoadSound(const char* name) override;
    int32_t GetSampleVariant(int32_t sample, int32_t volume, float frequency, float range, float secondRange,
                             bool levelScoped) override;
    void PlayFollowing(int32_t sample, AwObject* object) override;

    std::vector<std::string> loaded;
    std::vector<int32_t> volumes;
    std::vector<int32_t> played;
    int32_t variantResult = 0; // 0: the sample itself
};

class ModelTest : public EngineTest {
protected:
    void SetUp() override;
    void TearDown() override;
    RecordingSound sound;
    std::unique_ptr<FileChunk> tree = std::make_unique<FileChunk>();
};
