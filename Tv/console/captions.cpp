#include "Tv/console/captions.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Tv/client/client_sounds.h"
#include "Tv/console/console_fonts.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "core/numeric.h"

List<Caption*> CaptionList;
float TypewriterRate = 25.0f;

namespace {

constexpr float kLowestRow = 0.9f;
constexpr float kHighestTop = 0.1f;
constexpr uint64_t kCharactersPerSecond = 7;
constexpr int32_t kCaptionSound = 83;
constexpr int32_t kTypewriterSound = 91;
constexpr float kCaptionScale = 0.25f;
constexpr uint32_t kCaptionFlags = kTextGrowUp | kTextOutline;
constexpr int32_t kKinds = 5;

char* CopyText(const char* text) {
    const size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

// Visits the captions in order, deleting those the test answers true for.
template <class Test>
void DeleteCaptionsWhere(Test test) {
    ListNodeBase* node = CaptionList.Sentinel()->Next;
    while (node != CaptionList.Sentinel()) {
        ListNodeBase* next = node->Next;
        auto* element = static_cast<ListNode<Caption*>*>(node);
        Caption* caption = element->Payload;
        if (test(*caption)) {
            CaptionList.RemoveNode(element);
            delete caption;
        }
        node = next;
    }
}

} // namespace

Caption::Caption(float x, float y0, const char* captionText, int32_t captionKind, float width)
    : left(x), y(std::min(y0, kLowestRow)), right(x + width), text(CopyText(captionText ? captionText : "")),
      kind(captionKind) {
    if (left < 0.0f) {
        left = 0.0f;
        right = width;
    }
    if (right > 1.0f) {
        right = 1.0f;
        left = 1.0f - width;
    }
    const int32_t rows = SmallFont().QueueText({left, 0.0f, right, 1.0f}, text, 0, nullptr, INT32_MAX, kTextMeasureOnly,
                                               0.0f, nullptr, 0);
    const float h = static_cast<float>(rows) * TvSmallLineHeight();
    if (y0 - h < kHighestTop) y += kHighestTop - (y0 - h);

    // Queue behind the captions of this kind; a second kind-4 caption is born ended.
    startTime = GameClock.GetTime();
    bool refused = false;
    for (ListIterator<Caption*> it(CaptionList); !it.AtEnd(); it.Next()) {
        const Caption* other = *it.Payload();
        if (other->kind != kind) continue;
        if (kind == kCaptionKindSingle) refused = true;
        startTime = std::max(startTime, other->endTime);
    }
    if (refused) {
        startTime = endTime = 0;
    } else {
        const uint64_t duration =
            static_cast<uint64_t>(CurrentTicksPerSecond()) * std::strlen(text) / kCharactersPerSecond;
        endTime = startTime + duration;
    }

    // Step clear of other kinds' captions that share the screen time and height.
    const bool lower = y > 0.5f;
    for (ListIterator<Caption*> it(CaptionList); !it.AtEnd(); it.Next()) {
        const Caption* other = *it.Payload();
        if (other->kind == kind || other->endTime <= startTime || other->startTime >= endTime) continue;
        if (std::fabs(other->y - y) < h) y = lower ? y - h : y + h;
    }
    if (!CutsceneActive) TvPlaySound(kCaptionSound, "");
    CaptionList.PushBack(this);
}

Caption::~Caption() { delete[] text; }

void Caption::Draw(bool typewriterMode) {
    int32_t length = static_cast<int32_t>(std::strlen(text));
    uint32_t flags = kCaptionFlags;
    if (typewriterMode) {
        const float elapsed = static_cast<float>(GameClock.GetTime() - startTime) * CurrentSecondsPerTick();
        const int32_t shown = FloorToInt(elapsed * TypewriterRate);
        if (shown < length) TvPlaySound(kTypewriterSound, "");
        length = std::clamp(shown, 0, length);
        flags |= kTextLastInSecond;
    }
    SmallFont().QueueText({left, y, right, 1.0f}, text, kCaptionColour, nullptr, length, flags, kCaptionScale, nullptr,
                          0);
}

void TvMakeCaption(float x, float y, const char* text, int32_t kind, float width) {
    new Caption(x, y, text, kind, width); // CaptionList owns it
}

void TvDrawCaptions() {
    const uint64_t now = GameClock.GetTime();
    bool done[kKinds] = {};
    auto handled = [&done](int32_t kind) -> bool* { return kind >= 0 && kind < kKinds ? &done[kind] : nullptr; };
    DeleteCaptionsWhere([&](Caption& caption) {
        bool* kindDone = handled(caption.kind);
        if (kindDone && *kindDone) return false;
        if (caption.endTime <= now) return true;
        caption.Draw(caption.typewriter != 0);
        if (kindDone) *kindDone = true;
        return false;
    });
}

void TvRemoveCaptionsOfKind(int32_t kind) {
    DeleteCaptionsWhere([kind](const Caption& caption) { return caption.kind == kind; });
}

bool TvHasCaptionOfKind(int32_t kind) {
    for (ListIterator<Caption*> it(CaptionList); !it.AtEnd(); it.Next())
        if ((*it.Payload())->kind == kind) return true;
    return false;
}

void TvClearCaptions() {
    DeleteCaptionsWhere([](const Caption&) { return true; });
}
