#include "Tv/defs/objectdefinition.h"

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "core/numeric.h"

ObjectDefinition::~ObjectDefinition() {
    if (shape) shape->ReleaseUse();
    if (model) model->ReleaseUse();
}

int32_t ObjectDefinition::AggressionClass(const ObjectDefinition* definition) {
    if (!definition || !definition->character) return kDefaultAggressionClass;
    return FloorToInt(definition->character->aggression * 10.0f);
}
