#include "Awapi/model/anim_sequence.h"

void AwAnimSequence::Translate(const Vector3& offset) {
    if (IsRelative()) return;
    for (AwAnimFrame& frame : Frames) frame.Offset = frame.Offset + offset;
}

std::unique_ptr<AwAnimSequenceList> AwCopySequenceList(const AwAnimSequenceList& source) {
    auto copy = std::make_unique<AwAnimSequenceList>();
    copy->reserve(source.size());
    for (const auto& sequence : source) {
        if (!sequence) {
            copy->emplace_back();
            continue;
        }
        auto duplicate = std::make_unique<AwAnimSequence>(*sequence);
        duplicate->Sounds.clear();
        copy->push_back(std::move(duplicate));
    }
    return copy;
}

const AwAnimFrame* AwFirstKey(const AwAnimSequenceList* list) {
    if (!list) return nullptr;
    for (const auto& sequence : *list)
        if (sequence) return &sequence->Frames.front();
    return nullptr;
}
