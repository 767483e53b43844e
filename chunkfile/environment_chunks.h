#pragma once
// The level environment: one QORENVDT chunk per level file, holding its
// header (ENDTHEAD), the world scale (ENVSDSCL), acoustics (ENVACOUS), a
// sound directory (SOUNDDIR), random-texture lists (RANTEXID) and chunks of
// other families (bitmap names, cutscenes). SPECLOBJ holds a level's
// special objects. Layouts (data after the 12-byte chunk header):
//   ENDTHEAD  u32 header flags (bit 0: locked), 16-byte user name, i32 revision
//   ENVSDSCL  f64 world scale in thousandths
//   ENVACOUS  three u32 words (kept)
//   SOUNDDIR  padded string: a directory name
//   RANTEXID  padded string: a name; u32 n; n x u32 entries; two u32 words

#include <string>
#include <vector>

#include "chunkfile/environment_updatable.h"
#include "chunkfile/fieldchunk.h"

struct EnvironmentHeaderFields {
    static constexpr size_t kUserNameWidth = 16;
    static constexpr uint32_t kLockedFlag = 0x1;

    uint32_t flags = 0;
    std::string userName;
    int32_t revision = 0;
};
bool ReadFields(ByteReader& in, EnvironmentHeaderFields& f);
void WriteFields(ByteWriter& out, const EnvironmentHeaderFields& f);

class EnvironmentHeaderChunk final : public FieldChunk<EnvironmentHeaderFields> {
public:
    using Fields = EnvironmentHeaderFields;
    using FieldChunk::FieldChunk;

    // Counts a revision: every save raises it.
    void PrepareForOutput() override;
    std::string Describe() const override;
};

class EnvironmentChunk final : public UpdatableParentChunk {
public:
    // An empty environment with a new ENDTHEAD (flags 0, revision 0, no user name).
    explicit EnvironmentChunk(ParentChunk* parent);
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    // The ENDTHEAD child, or null.
    EnvironmentHeaderChunk* FindHeader() const;

    // Any stored QORENVDT is this chunk's copy.
    bool MatchesStoredCopy(plat::File& file) override;
    const char* GetHeaderId() const override;
    void SetHeaderName(std::string_view name) override;
    // Locked when the header's flags have bit 0 set; then the children.
    void PostInputProcessing() override;

private:
    struct Empty {};
    EnvironmentChunk(ParentChunk* parent, Empty);
};

struct WorldScaleFields {
    double thousandths = 0;
};
bool ReadFields(ByteReader& in, WorldScaleFields& f);
void WriteFields(ByteWriter& out, const WorldScaleFields& f);

class WorldScaleChunk final : public FieldChunk<WorldScaleFields> {
public:
    using Fields = WorldScaleFields;
    using FieldChunk::FieldChunk;
    std::string Describe() const override;
};

// Made without data: 0, the bits of the float 2.0, 0.
struct AcousticsFields {
    uint32_t words[3] = {0, 0x40000000, 0};
};
bool ReadFields(ByteReader& in, AcousticsFields& f);
void WriteFields(ByteWriter& out, const AcousticsFields& f);

class AcousticsChunk final : public FieldChunk<AcousticsFields> {
public:
    using Fields = AcousticsFields;
    using FieldChunk::FieldChunk;
    explicit AcousticsChunk(ParentChunk* parent) : FieldChunk(parent, "ENVACOUS", {}) {}
    std::string Describe() const override;
};

struct SoundDirectoryFields {
    std::string name;
};
bool ReadFields(ByteReader& in, SoundDirectoryFields& f);
void WriteFields(ByteWriter& out, const SoundDirectoryFields& f);

class SoundDirectoryChunk final : public FieldChunk<SoundDirectoryFields> {
public:
    using Fields = SoundDirectoryFields;
    using FieldChunk::FieldChunk;
    SoundDirectoryChunk(ParentChunk* parent, std::string name) : FieldChunk(parent, "SOUNDDIR", {std::move(name)}) {}
    std::string Describe() const override;
};

struct RandomTextureFields {
    std::string name; // empty when there is none
    std::vector<uint32_t> entries;
    uint32_t words[2] = {};
};
bool ReadFields(ByteReader& in, RandomTextureFields& f);
void WriteFields(ByteWriter& out, const RandomTextureFields& f);

class RandomTextureChunk final : public FieldChunk<RandomTextureFields> {
public:
    using Fields = RandomTextureFields;
    using FieldChunk::FieldChunk;
    // A named list without entries, both words zero.
    RandomTextureChunk(ParentChunk* parent, std::string name) : FieldChunk(parent, "RANTEXID", {}) {
        fields_.name = std::move(name);
    }
    std::string Describe() const override;
};

// Registers the environment chunk classes; called once at start-up (later
// calls do nothing).
void RegisterEnvironmentChunkClasses();
