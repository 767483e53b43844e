#pragma once
// The model a crouching unit's definition needs: a node that has the crouch
// sequence (19) and every sequence before it, one frame each.

#include <memory>

#include "Awapi/model/model_node.h"
#include "Tv/sim/server_unit.h"

// One use, for a definition to hold.
inline AwModel* CrouchingModel() {
    auto* model = new AwModel;
    model->Sequences = std::make_unique<AwAnimSequenceList>(kSequenceCrouch + 1);
    for (auto& sequence : *model->Sequences) {
        sequence = std::make_unique<AwAnimSequence>();
        sequence->Frames.resize(1);
    }
    return model;
}
