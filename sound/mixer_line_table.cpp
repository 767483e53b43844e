#include "sound/mixer_line_table.h"

#include <algorithm>

using namespace plat;

void MixerLineTable::Scan(const std::function<bool(const MixerLine&)>& accept) {
    int count = 0;
    for (uint32_t mixer = 0; mixer < MixerDeviceCount() && count < kMaxLines; ++mixer) {
        MixerHandle handle = 0;
        if (MixerOpen(mixer, &handle) != kMmOk) continue;
        MixerCaps caps;
        MixerLine speakers;
        speakers.componentType = kMixerDestinationSpeakers;
        if (MixerGetCaps(mixer, &caps) == kMmOk &&
            MixerGetLineInfo(handle, &speakers, kMixerLineByComponentType) == kMmOk) {
            for (uint32_t source = 0; source < speakers.connections && count < kMaxLines; ++source) {
                MixerLine line;
                line.destination = speakers.destination;
                line.source = source;
                if (MixerGetLineInfo(handle, &line, kMixerLineBySource) != kMmOk) continue;
                if ((line.flags & kMixerLineDisconnected) || !accept(line)) continue;
                MixerControl control;
                if (MixerGetLineControl(handle, line.lineId, kMixerControlVolume, &control) != kMmOk) continue;
                MixerControlDetails& details = details_[count];
                details = MixerControlDetails{};
                details.controlId = control.controlId;
                details.values = &values_[count];
                if (MixerGetControlDetails(handle, &details) != kMmOk) continue;
                mixerIds_[count] = mixer;
                saved_[count] = values_[count];
                used_[count] = true;
                ++count;
            }
        }
        MixerClose(handle);
    }
    for (int i = 0; i < count; ++i)
        if (MixerOpen(mixerIds_[i], &handles_[i]) != kMmOk) used_[i] = false;
}

void MixerLineTable::Restore() {
    for (int i = 0; i < kMaxLines; ++i) {
        if (!used_[i]) continue;
        values_[i] = saved_[i];
        MixerSetControlDetails(handles_[i], details_[i]);
        MixerClose(handles_[i]);
        used_[i] = false;
    }
}

void MixerLineTable::SetAll(int32_t value) {
    for (int i = 0; i < kMaxLines; ++i) {
        if (!used_[i]) continue;
        values_[i] = static_cast<uint32_t>(std::clamp(value, 0, 65535));
        MixerSetControlDetails(handles_[i], details_[i]);
    }
}

int32_t MixerLineTable::FirstValue() {
    if (!used_[0] || MixerGetControlDetails(handles_[0], &details_[0]) != kMmOk) return 0;
    return static_cast<int32_t>(values_[0]);
}
