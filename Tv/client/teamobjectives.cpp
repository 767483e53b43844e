// A team's mission objectives and the captions that report them.
#include <string>

#include "Tv/client/teamhooks.h"
#include "Tv/client/teamtable.h"
#include "core/stringtable.h"

namespace {

constexpr float kCaptionX = 0.5f, kCaptionY = 0.5f;
constexpr int32_t kObjectiveCaptionKind = 1;
constexpr float kCountCaptionWidth = 0.4f, kDoneCaptionWidth = 1.0f;

uint32_t DoneTextId(int32_t priority) {
    return kObjectiveDoneTextId + static_cast<uint32_t>(priority < 0 ? 0 : priority > 2 ? 2 : priority);
}

} // namespace

void TeamRecord::AddObjective(int32_t priority, int32_t id, int32_t count, const char* prefixText,
                              const char* suffixText, const char* text) {
    auto* objective = new Objective;
    objective->Priority = priority;
    objective->Id = id;
    objective->Count = count;
    objective->PrefixText = prefixText;
    objective->SuffixText = suffixText;
    objective->Text = OwnedText::FromNullable(text);
    Objectives.PushBack(objective);
}

void TeamRecord::CompleteObjective(int32_t id) {
    for (Objective* objective : Objectives) {
        if (objective->Id != id || objective->Count <= 0) continue;
        objective->Count -= 1;
        if (objective->Count > 0) {
            std::string caption = objective->PrefixText ? objective->PrefixText : "";
            caption += std::to_string(objective->Count);
            if (objective->SuffixText) caption += objective->SuffixText;
            ShowCaption(kCaptionX, kCaptionY, caption.c_str(), kObjectiveCaptionKind, kCountCaptionWidth);
        } else {
            ShowCaption(kCaptionX, kCaptionY, StringTableLookup(DoneTextId(objective->Priority)), kObjectiveCaptionKind,
                        kDoneCaptionWidth);
        }
    }
}

void TeamRecord::FailObjective(int32_t id) {
    for (Objective* objective : Objectives)
        if (objective->Id == id) objective->Count = -1;
}

void TeamRecord::ShowObjectives() const {
    for (const Objective* objective : Objectives)
        if (objective->Count > 0 && objective->Text.Get())
            ShowCaption(kCaptionX, kCaptionY, objective->Text.Get(), kObjectiveCaptionKind, kCountCaptionWidth);
}
