#pragma once
// Dummy objects: named markers with a position, an orientation, two further
// vectors and an optional text, which scripts use as named positions. A
// DUMMYOBJ (top-level) holds one DUMOBJDT and at most one DUMOBJTX:
//   DUMOBJDT  position, second vector, third vector (3 x i32 each),
//             orientation (4 x f32), padded string: the name
//   DUMOBJTX  padded string: the text
// An empty name or text is held as none and written as four zero bytes.

#include <string>
#include <string_view>

#include "chunkfile/fieldchunk.h"
#include "chunkfile/shape_vectors.h"
#include "core/matrix.h"

struct DummyObjectFields {
    VectorI position; // file units
    VectorI second;
    VectorI third;
    Quaternion orientation{};
    std::string name; // empty: none
};
bool ReadFields(ByteReader& in, DummyObjectFields& f);
void WriteFields(ByteWriter& out, const DummyObjectFields& f);

class DummyObjectDataChunk final : public FieldChunk<DummyObjectFields> {
public:
    using Fields = DummyObjectFields;
    using FieldChunk::FieldChunk;
    DummyObjectDataChunk(ParentChunk* parent, DummyObjectFields fields) : FieldChunk(parent, "DUMOBJDT", std::move(fields)) {}
    std::string Describe() const override;
};

struct DummyTextFields {
    std::string text; // empty: none
};
bool ReadFields(ByteReader& in, DummyTextFields& f);
void WriteFields(ByteWriter& out, const DummyTextFields& f);

class DummyObjectTextChunk final : public FieldChunk<DummyTextFields> {
public:
    using Fields = DummyTextFields;
    using FieldChunk::FieldChunk;
    DummyObjectTextChunk(ParentChunk* parent, std::string_view text)
        : FieldChunk(parent, "DUMOBJTX", {std::string(text)}) {}

    const std::string& Text() const { return fields_.text; }
    void SetText(std::string_view text) { fields_.text = text; }
    std::string Describe() const override;
};

class DummyObjectChunk final : public ParentChunk {
public:
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);
    // A new dummy with a DUMOBJDT holding `fields`.
    DummyObjectChunk(ParentChunk* parent, DummyObjectFields fields);

    // The DUMOBJDT child, or null (such a dummy has no name or position).
    DummyObjectDataChunk* FindDataChunk() const;
    // The DUMOBJTX text; empty when there is none.
    std::string_view GetText() const;
    // A non-empty text replaces the text, adding DUMOBJTX when missing; an
    // empty one removes DUMOBJTX.
    void SetText(std::string_view text);

private:
    explicit DummyObjectChunk(ParentChunk* parent);
};
