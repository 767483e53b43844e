#include "chunkfile/light_dummy.h"

#include "chunkfile/chunkfields.h"

namespace {

void ReadVector(ByteReader& in, VectorI& v) {
    in.I32(v.x);
    in.I32(v.y);
    in.I32(v.z);
}

void WriteVector(ByteWriter& out, const VectorI& v) {
    out.I32(v.x);
    out.I32(v.y);
    out.I32(v.z);
}

std::string VectorText(const VectorI& v) {
    return std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z);
}

} // namespace

bool ReadFields(ByteReader& in, DummyObjectFields& f) {
    ReadVector(in, f.position);
    ReadVector(in, f.second);
    ReadVector(in, f.third);
    in.F32(f.orientation.x);
    in.F32(f.orientation.y);
    in.F32(f.orientation.z);
    in.F32(f.orientation.w);
    ReadPaddedString(in, f.name);
    return in.ok();
}

void WriteFields(ByteWriter& out, const DummyObjectFields& f) {
    WriteVector(out, f.position);
    WriteVector(out, f.second);
    WriteVector(out, f.third);
    out.F32(f.orientation.x);
    out.F32(f.orientation.y);
    out.F32(f.orientation.z);
    out.F32(f.orientation.w);
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
