#include "Tv/world/level_shape.h"

#include "Awapi/model/model_file.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"

bool LoadLevelShape(AwModelFile& file, const char* name, uint32_t vertexLimit, LevelShape& out) {
    AwShape* shape = file.LoadShape(name, &out.origin, nullptr, kConvertMergeQuads);
    if (!shape) return false;
    out.geometry.reset(shape->Geometry ? shape->Geometry : new LevelGeometry);
    shape->Geometry = nullptr;
    out.root = new AwShapeInstance(shape, true);
    shape->ReleaseUse();
    out.root->BuildBounds(vertexLimit);
    return true;
}
