#include "Awapi/model/dummy_object.h"

#include "Awapi/model/model_file.h"
#include "Awapi/shape_instance.h"
#include "chunkfile/cutscene_builder.h"
#include "chunkfile/cutscene_chunks.h"
#include "chunkfile/light_dummy.h"

namespace {

Vector3 ToVector(const VectorI& v) {
    return Vector3(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
}

} // namespace

std::optional<AwDummyObject> AwDummyObject::ConstructFromChunk(const DummyObjectChunk& chunk) {
    const DummyObjectDataChunk* data = chunk.FindDataChunk();
    if (!data) return std::nullopt;
    const DummyObjectFields& f = data->Data();
    AwDummyObject dummy;
    if (!f.name.empty()) dummy.Name = f.name;
    dummy.Position = ToVector(f.position);
    dummy.Orientation = f.orientation;
    dummy.FirstVector = ToVector(f.second);
    dummy.SecondVector = ToVector(f.third);
    if (!chunk.GetText().empty()) dummy.Text = std::string(chunk.GetText());
    return dummy;
}

void AwLoadDummies(std::vector<AwDummyObject>& out, const AwModelFile& file, Vector3 origin) {
    List<Chunk*> chunks;
    file.Tree().ListDummies(chunks);
    for (Chunk* c : chunks) {
        auto* chunk = dynamic_cast<DummyObjectChunk*>(c);
        std::optional<AwDummyObject> dummy = chunk ? AwDummyObject::ConstructFromChunk(*chunk) : std::nullopt;
        if (!dummy) continue;
        dummy->Position = dummy->Position * file.GetWorldScale() - origin;
        out.push_back(std::move(*dummy));
    }
}

bool AwBuildCutscene(Cutscene* cutscene, const AwModelFile& file, const char* name, Vector3 origin) {
    auto* environment = dynamic_cast<ParentChunk*>(file.Tree().FindEnvironment());
    auto* special = environment ? dynamic_cast<ParentChunk*>(environment->FindChild("SPECLOBJ")) : nullptr;
    if (!special) return false;
    for (Chunk* c = special->FirstChild(); c; c = c->Next()) {
        auto* scene = c->HasId("CUTSHEAD") ? dynamic_cast<CutsceneChunk*>(c) : nullptr;
        const CutsceneDataChunk* data = scene ? scene->FindDataChunk() : nullptr;
        if (!data || !AwNamesMatch(data->Name(), name)) continue;
        return TvBuildCutscene(cutscene, *scene, file.GetWorldScale(), origin);
    }
    return false;
}
