#pragma once
// Tracks and sound settings of a placed object, carried through load and
// save. Layouts (data after the 12-byte chunk header):
//   OBJTRAK2  u32 n; n records of 19 words; trailer: flag word (bit 31:
//             records in current order), one kept word
//   TRAKSOUN  six kept words; padded string: a name
//   TRSNDCAT  padded string: a name (four zero bytes when empty); two kept words
//   ALTLOCAT  two kept words; u32 n; n records of 9 kept words

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "chunkfile/fieldchunk.h"

struct ObjectTrackFields {
    static constexpr uint32_t kCurrentOrder = 0x80000000u;
    using Record = std::array<uint32_t, 19>;

    std::vector<Record> records;
    uint32_t flags = 0;
    uint32_t kept = 0;
};
// Records stored in the old order (flag bit 31 clear) are converted as they
// are read: each of their first two groups of four floats (a, b, c, d)
// becomes (-d, a, b, -c), and bit 31 is set, so they are written back in
// the current order.
bool ReadFields(ByteReader& in, ObjectTrackFields& f);
void WriteFields(ByteWriter& out, const ObjectTrackFields& f);

class ObjectTrackChunk final : public FieldChunk<ObjectTrackFields> {
public:
    using Fields = ObjectTrackFields;
    using FieldChunk::FieldChunk;
    // No records, trailer words 0.
    explicit ObjectTrackChunk(ParentChunk* parent) : FieldChunk(parent, "OBJTRAK2", {}) {}
    std::string Describe() const override;
};

struct TrackSoundFields {
    uint32_t words[6] = {5000, 40000, 127, 0, 0, 0};
    std::string name;
};
bool ReadFields(ByteReader& in, TrackSoundFields& f);
void WriteFields(ByteWriter& out, const TrackSoundFields& f);

class TrackSoundChunk final : public FieldChunk<TrackSoundFields> {
public:
    using Fields = TrackSoundFields;
    using FieldChunk::FieldChunk;
    explicit TrackSoundChunk(ParentChunk* parent) : FieldChunk(parent, "TRAKSOUN", {}) {}
    std::string Describe() const override;
};

struct TrackSoundCategoryFields {
    std::string name; // empty: none
    uint32_t words[2] = {};
};
bool ReadFields(ByteReader& in, TrackSoundCategoryFields& f);
void WriteFields(ByteWriter& out, const TrackSoundCategoryFields& f);

class TrackSoundCategoryChunk final : public FieldChunk<TrackSoundCategoryFields> {
public:
    using Fields = TrackSoundCategoryFields;
    using FieldChunk::FieldChunk;
    TrackSoundCategoryChunk(ParentChunk* parent, std::string name) : FieldChunk(parent, "TRSNDCAT", {}) {
        fields_.name = std::move(name);
    }
    std::string Describe() const override;
};

struct AlternateLocationFields {
    using Record = std::array<uint32_t, 9>;

    uint32_t words[2] = {};
    std::vector<Record> records;
};
bool ReadFields(ByteReader& in, AlternateLocationFields& f);
void WriteFields(ByteWriter& out, const AlternateLocationFields& f);

class AlternateLocationChunk final : public FieldChunk<AlternateLocationFields> {
public:
    using Fields = AlternateLocationFields;
    using FieldChunk::FieldChunk;
    explicit AlternateLocationChunk(ParentChunk* parent) : FieldChunk(parent, "ALTLOCAT", {}) {}
    std::string Describe() const override;
};
