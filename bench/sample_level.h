#pragma once
// The sample data's level: the "Level" shape of Level.qif (quads merged) as a
// one-node shape tree. Needs TAVRIN_DATA_DIR and the sample_data target built.

#include <memory>
#include <string>

#include "Awapi/model/model_file.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "chunkfile/register_all.h"

// Null when the file or its shape cannot be loaded.
inline std::unique_ptr<AwShapeInstance> LoadSampleLevelTree() {
    RegisterAllChunkClasses();
    auto file = AwModelFile::Open(std::string(TAVRIN_DATA_DIR) + "/Qifs/Level.qif");
    AwShape* shape = file ? file->LoadShape("Level", nullptr, nullptr, kConvertMergeQuads) : nullptr;
    if (!shape) return nullptr;
    std::unique_ptr<AwShapeInstance> root(new AwShapeInstance(shape, true));
    shape->ReleaseUse();
    return root;
}
