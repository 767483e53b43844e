#pragma once
// Keyframed animation sequences of a hierarchy node. An OBANSEQS in the
// node's OBJCHIER holds one OBANSEQC per sequence:
//
//   OBASEQHD  kept word; i32 sequence key; i32 sequence number (the index the
//             game plays it under); u32 n; n kept words; name (padded string)
//   OBASEQFR  one keyframe: rotation quaternion; offset x, y, z (i32, file
//             units); i32 time (16.16, 65536 = one time-base unit); i32 frame
//             number; u32 flags; u32 n; n kept words
//   OBASEQTM  i32 milliseconds of one time-base unit (one second without it)
//   OBASEQSP  i32 speed (x 0.001), i32 heading in degrees, kept word
//   OBASEQFL  kept flag word
//   HIERBBOX  the sequence's bounds (hierarchy_chunks.h)
// OBANALLS (u32 m; m groups of u32 k, 3 kept words, k kept 36-byte records)
// is carried wherever it stands.
//
// Frame flags: bit 31, the frame carries its own offset and rotation; bits
// 24-30, a sound index 1-127 into the file's INDSOUND table (0: none).

#include <array>
#include <string>
#include <vector>

#include "chunkfile/fieldchunk.h"
#include "core/list.h"
#include "core/maths.h"

class HierarchyBoxChunk;

struct SequenceHeader {
    uint32_t keptWord = 0;
    int32_t key = 0;
    int32_t number = 0;
    std::vector<uint32_t> words;
    std::string name;
};
bool ReadFields(ByteReader& in, SequenceHeader& f);
void WriteFields(ByteWriter& out, const SequenceHeader& f);

// OBASEQHD.
class SequenceHeaderChunk final : public FieldChunk<SequenceHeader> {
public:
    using Fields = SequenceHeader;
    using FieldChunk::FieldChunk;

    int32_t Key() const { return fields_.key; }
    int32_t Number() const { return fields_.number; }
    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

struct SequenceFrame {
    static constexpr uint32_t kOwnTransform = 0x80000000;

    Quaternion rotation{0, 0, 0, 1};
    int32_t offset[3] = {};
    int32_t time = 0;
    int32_t number = 0;
    uint32_t flags = 0;
    std::vector<uint32_t> words;
};
bool ReadFields(ByteReader& in, SequenceFrame& f);
void WriteFields(ByteWriter& out, const SequenceFrame& f);

// OBASEQFR.
class SequenceFrameChunk final : public FieldChunk<SequenceFrame> {
public:
    using Fields = SequenceFrame;
    using FieldChunk::FieldChunk;

    bool HasOwnTransform() const { return (fields_.flags & SequenceFrame::kOwnTransform) != 0; }
    // The INDSOUND index of the frame's sound; 0 for none.
    uint32_t SoundIndex() const { return (fields_.flags >> 24) & 0x7F; }
    // Puts an index below 128 into the flags; other values are ignored.
    void SetSound(int32_t index);
    std::string Describe() const override;
};

// OBASEQTM.
class SequenceTimeChunk final : public FieldChunk<KeptWords<1>> {
public:
    using Fields = KeptWords<1>;
    using FieldChunk::FieldChunk;
    SequenceTimeChunk(ParentChunk* parent, int32_t milliseconds);

    int32_t Milliseconds() const { return static_cast<int32_t>(fields_.words[0]); }
};

// OBASEQSP: speed, heading, kept word.
class SequenceSpeedChunk final : public FieldChunk<KeptWords<3>> {
public:
    using Fields = KeptWords<3>;
    using FieldChunk::FieldChunk;
    SequenceSpeedChunk(ParentChunk* parent, int32_t speed, int32_t headingDegrees);

    int32_t Speed() const { return static_cast<int32_t>(fields_.words[0]); }
    int32_t Heading() const { return static_cast<int32_t>(fields_.words[1]); }
};

// OBASEQFL.
class SequenceFlagsChunk final : public FieldChunk<KeptWords<1>> {
public:
    using Fields = KeptWords<1>;
    using FieldChunk::FieldChunk;
    SequenceFlagsChunk(ParentChunk* parent, uint32_t flags);

    uint32_t Flags() const { return fields_.words[0]; }
    void SetFlags(uint32_t flags) { fields_.words[0] = flags; }
};

struct SequenceRecordGroup {
    uint32_t words[3] = {};
    std::vector<std::array<uint32_t, 9>> records;
};

struct SequenceRecords {
    std::vector<SequenceRecordGroup> groups;
};
bool ReadFields(ByteReader& in, SequenceRecords& f);
void WriteFields(ByteWriter& out, const SequenceRecords& f);

// OBANALLS.
class SequenceRecordsChunk final : public FieldChunk<SequenceRecords> {
public:
    using Fields = SequenceRecords;
    using FieldChunk::FieldChunk;
    explicit SequenceRecordsChunk(ParentChunk* parent);
};

// OBANSEQC: one sequence. The accessors answer 0 or null without the child.
class SequenceChunk final : public ParentChunk {
public:
    SequenceChunk(ParentChunk* parent, const RawChunk& raw);

    // A new sequence under `parent` with a header copied from `source`'s
    // (kept word 0x10000, no words) and one frame at `rotation` and `offset`
    // (time 0, number 0, own transform when any frame of `source` has one);
    // null when `source` has no header.
    static SequenceChunk* NewFromSequence(ParentChunk* parent, const SequenceChunk& source, const Quaternion& rotation,
                                          const int32_t (&offset)[3]);

    SequenceHeaderChunk* GetHeader() const;
    // Appends the OBASEQFR children in order.
    void ListFrames(List<SequenceFrameChunk*>& out) const;
    int32_t GetTime() const;
    int32_t GetSpeed() const;
    // (sin a, 0, cos a) of the heading a, with the program's value 6.2830556
    // for a full turn; (0, 0, 1) and false without OBASEQSP.
    bool GetDirection(Vector3& out) const;
    HierarchyBoxChunk* GetBox() const;
    uint32_t GetFlags() const;
    // Creates OBASEQFL when missing.
    void SetFlags(uint32_t flags);

private:
    explicit SequenceChunk(ParentChunk* parent);
};

// OBANSEQS: a node's sequences.
class SequenceSetChunk final : public ParentChunk {
public:
    SequenceSetChunk(ParentChunk* parent, const RawChunk& raw);

    // Appends the OBANSEQC children in order.
    void ListSequences(List<SequenceChunk*>& out) const;
    // The first sequence whose header has both; null when none.
    SequenceChunk* FindSequence(int32_t key, int32_t number) const;
};

// Registers the sequence chunk classes; called once at start-up (later
// calls do nothing).
void RegisterSequenceChunkClasses();
