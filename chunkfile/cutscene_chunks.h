#pragma once
// Cutscenes in chunk files. A CUTSHEAD (in the SPECLOBJ of the environment)
// names one cutscene and holds its users: the camera and the objects that
// move or play sequences. Each user has a data record, the name of the model
// hierarchy that shows it, two kept records and its tracks; each track has a
// name, its timed points, a field of view and event lists (CUTEVENT).
//
//   CUTSHEAD                  children only
//     CUTSCDAT                words A, B, C; name; words D, E; identity (8 bytes)
//     CUTSCUSR                children only, one per user
//       CTUSRDAT              name; 12 words (see CutsceneUserData)
//       CTUSRHIE              hierarchy name; 3 kept words
//       CTUSNDPR              6 kept words
//       CTUSSPPO              u32 n; n records of 9 words; 3 kept words
//       CUTTRACK              children only, one per track, in running order
//         CUTTRNAM            track name; 2 kept words
//         CUTPOINT            i32 n; n points; start and end orientation,
//                             their flags; 2 kept words
//         CUTTRFOV            field of view in degrees (f32); 2 kept words
//         CUTEVENT            event lists (cutscene_event.h)
// Names are padded strings; an empty one stands for an absent name. Accessors
// take the first child of an id and answer null without one.

#include <array>
#include <string>
#include <vector>

#include "chunkfile/fieldchunk.h"
#include "chunkfile/shortdigest.h"
#include "core/list.h"

class CutsceneEventChunk;

struct CutsceneData {
    uint32_t wordA = 0, wordB = 0, wordC = 0;
    std::string name;
    uint32_t wordD = 0, wordE = 0;
    ShortDigest identity{};
bool ReadFields(ByteReader& in, CutsceneData& f);
void WriteFields(ByteWriter& out, const CutsceneData& f);
};

// CUTSCDAT: the cutscene's name and identity.
class CutsceneDataChunk final : public FieldChunk<CutsceneData> {
public:
    using Fields = CutsceneData;
    using FieldChunk::FieldChunk;
    // A new chunk: D = E = 0 and the identity of the name.
    CutsceneDataChunk(ParentChunk* parent, std::string name, uint32_t wordA, uint32_t wordB, uint32_t wordC);

    // The digest of "Cutscene:" followed by the name. Computed when a chunk
    // is created; a chunk read from a file keeps the identity it holds.
    static ShortDigest IdentityOf(std::string_view name);

    const std::string& Name() const { return fields_.name; }
    const ShortDigest& Identity() const { return fields_.identity; }
    std::string Describe() const override;
};

// Word 1 is the start sequence (negative: none), word 2 the user id that
// events address, word 4 the user kind (0: the camera), word 5 bit 0 marks
// the camera's target; the other words are kept.
struct CutsceneUserData {
    std::string name;
    int32_t words[12] = {-1, -1};
bool ReadFields(ByteReader& in, CutsceneUserData& f);
void WriteFields(ByteWriter& out, const CutsceneUserData& f);
};

// CTUSRDAT: the user's data.
class CutsceneUserDataChunk final : public FieldChunk<CutsceneUserData> {
public:
    using Fields = CutsceneUserData;
    using FieldChunk::FieldChunk;
    // A new chunk: no name, words 0 and 1 = -1, the others 0.
    explicit CutsceneUserDataChunk(ParentChunk* parent);

    const std::string& Name() const { return fields_.name; }
    int32_t StartSequence() const { return fields_.words[1]; }
    int32_t UserId() const { return fields_.words[2]; }
    bool IsCamera() const { return fields_.words[4] == 0; }
    bool IsTarget() const { return !IsCamera() && (fields_.words[5] & 1) != 0; }
    std::string Describe() const override;
};

// CTUSRHIE: the name of the hierarchy that shows the user.
class CutsceneUserHierarchyChunk final : public FieldChunk<NamedWords<3>> {
public:
    using Fields = NamedWords<3>;
    using FieldChunk::FieldChunk;
    CutsceneUserHierarchyChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

// CTUSNDPR: six sound parameter words.
class CutsceneUserSoundChunk final : public FieldChunk<KeptWords<6>> {
public:
    using Fields = KeptWords<6>;
    using FieldChunk::FieldChunk;
    // A new chunk: 10000, 20000, 127, 0, 0, 0.
    explicit CutsceneUserSoundChunk(ParentChunk* parent);
};

struct CutsceneUserRecords {
    std::vector<std::array<uint32_t, 9>> records;
    uint32_t words[3] = {};
bool ReadFields(ByteReader& in, CutsceneUserRecords& f);
void WriteFields(ByteWriter& out, const CutsceneUserRecords& f);
};

// CTUSSPPO: kept records.
class CutsceneUserRecordsChunk final : public FieldChunk<CutsceneUserRecords> {
public:
    using Fields = CutsceneUserRecords;
    using FieldChunk::FieldChunk;
    explicit CutsceneUserRecordsChunk(ParentChunk* parent);
};

// CUTTRNAM: the track's name.
class CutsceneTrackNameChunk final : public FieldChunk<NamedWords<2>> {
public:
    using Fields = NamedWords<2>;
    using FieldChunk::FieldChunk;
    CutsceneTrackNameChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

// One point of a track, in file units. The timing word's bits 0-23 are the
// milliseconds to move on to the next point; bits 24-31 are kept.
struct CutscenePoint {
    int32_t x = 0, y = 0, z = 0;
    uint32_t timing = 0;
};

struct CutscenePoints {
    std::vector<CutscenePoint> points;
    Quaternion startOrientation{0, 0, 0, 1};
bool ReadFields(ByteReader& in, CutscenePoints& f);
void WriteFields(ByteWriter& out, const CutscenePoints& f);
    Quaternion endOrientation{0, 0, 0, 1};
    uint32_t startFlag = 0; // non-zero: the start orientation applies
    uint32_t endFlag = 0;
    uint32_t words[2] = {};
};

// CUTPOINT: the track's points. A count that the data cannot hold is malformed.
class CutscenePointsChunk final : public FieldChunk<CutscenePoints> {
public:
    using Fields = CutscenePoints;
    using FieldChunk::FieldChunk;
    // A new chunk: no points, identity orientations with clear flags.
    explicit CutscenePointsChunk(ParentChunk* parent);

    std::string Describe() const override;
};

struct CutsceneFieldOfView {
    float degrees = 90.0f;
    uint32_t words[2] = {};
bool ReadFields(ByteReader& in, CutsceneFieldOfView& f);
void WriteFields(ByteWriter& out, const CutsceneFieldOfView& f);
};

// CUTTRFOV: the track's field of view in degrees.
class CutsceneFieldOfViewChunk final : public FieldChunk<CutsceneFieldOfView> {
public:
    using Fields = CutsceneFieldOfView;
    using FieldChunk::FieldChunk;
    explicit CutsceneFieldOfViewChunk(ParentChunk* parent);

    float Degrees() const { return fields_.degrees; }
};

// CUTTRACK: one track of a user.
class CutsceneTrackChunk final : public ParentChunk {
public:
    CutsceneTrackChunk(ParentChunk* parent, const RawChunk& raw);
    // A new track with a CUTTRNAM child holding the name.
    CutsceneTrackChunk(ParentChunk* parent, std::string name);

    // The CUTTRNAM name; null without CUTTRNAM.
    const std::string* GetName() const;
    CutscenePointsChunk* GetPoints() const;
    CutsceneFieldOfViewChunk* GetFieldOfView() const;
    // Empties `out`, then appends the CUTEVENT children in order.
    void ListEvents(List<CutsceneEventChunk*>& out) const;
};

// CUTSCUSR: one user.
class CutsceneUserChunk final : public ParentChunk {
public:
    CutsceneUserChunk(ParentChunk* parent, const RawChunk& raw);
    // A new user with a new CTUSRDAT child.
    explicit CutsceneUserChunk(ParentChunk* parent);

    CutsceneUserDataChunk* GetData() const;
    // The CTUSRHIE name; null without CTUSRHIE.
    const std::string* GetHierarchyName() const;
    CutsceneUserSoundChunk* GetSoundParameters() const;
    CutsceneUserRecordsChunk* GetRecords() const;
    // Empties `out`, then appends the CUTTRACK children in order.
    void ListTracks(List<CutsceneTrackChunk*>& out) const;
};

// CUTSHEAD: one cutscene.
class CutsceneChunk final : public ParentChunk {
public:
    CutsceneChunk(ParentChunk* parent, const RawChunk& raw);
    // A new cutscene with a CUTSCDAT child (see CutsceneDataChunk).
    CutsceneChunk(ParentChunk* parent, std::string name, uint32_t wordA, uint32_t wordB, uint32_t wordC);

    CutsceneDataChunk* FindDataChunk() const;
    // Empties `out`, then appends the CUTSCUSR children in order.
    void ListUsers(List<CutsceneUserChunk*>& out) const;
};

// Registers the cutscene chunk classes, CUTEVENT included; called once at
// start-up (later calls do nothing).
void RegisterCutsceneChunkClasses();
