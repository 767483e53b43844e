#include "chunkfile/light_dummy.h"

#include "chunkfile/chunkfields.h"

namespace {

std::string VectorText(const VectorI& v) {
    return std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z);
}

} // namespace

bool ReadFields(ByteReader& in, DummyObjectFields& f) {
    ReadVector(in, f.position);
    ReadVector(in, f.second);
    ReadVector(in, f.third);
    ReadQuaternion(in, f.orientation);
    ReadPaddedString(in, f.name);
    return in.ok();
}

void WriteFields(ByteWriter& out, const DummyObjectFields& f) {
    WriteVector(out, f.position);
    WriteVector(out, f.second);
    WriteVector(out, f.third);
    WriteQuaternion(out, f.orientation);
    WritePaddedString(out, f.name);
}

std::string DummyObjectDataChunk::Describe() const {
    return "name \"" + fields_.name + "\" position " + VectorText(fields_.position);
}

bool ReadFields(ByteReader& in, DummyTextFields& f) { return ReadPaddedString(in, f.text); }

void WriteFields(ByteWriter& out, const DummyTextFields& f) { WritePaddedString(out, f.text); }

std::string DummyObjectTextChunk::Describe() const { return "text \"" + fields_.text + "\""; }

DummyObjectChunk::DummyObjectChunk(ParentChunk* parent) : ParentChunk(parent, "DUMMYOBJ") {}

DummyObjectChunk::DummyObjectChunk(ParentChunk* parent, DummyObjectFields fields) : DummyObjectChunk(parent) {
    new DummyObjectDataChunk(this, std::move(fields));
}

Chunk* DummyObjectChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* dummy = new DummyObjectChunk(parent);
    dummy->CreateChildren(raw.Data());
    return dummy;
}

DummyObjectDataChunk* DummyObjectChunk::FindDataChunk() const {
    return FindChildAs<DummyObjectDataChunk>(*this, "DUMOBJDT");
}

std::string_view DummyObjectChunk::GetText() const {
    const auto* text = FindChildAs<DummyObjectTextChunk>(*this, "DUMOBJTX");
    return text ? std::string_view(text->Text()) : std::string_view();
}

void DummyObjectChunk::SetText(std::string_view text) {
    auto* chunk = FindChildAs<DummyObjectTextChunk>(*this, "DUMOBJTX");
    if (text.empty()) {
        delete chunk;
    } else if (chunk) {
        chunk->SetText(text);
    } else {
        new DummyObjectTextChunk(this, text);
    }
}
