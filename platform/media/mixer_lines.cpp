#include "platform/media/mixer_lines.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace plat {
namespace {

constexpr uint32_t kDestinationLineId = 0x10000; // a source's line id is its index + 1
constexpr uint32_t kMaximumValue = 65535;

struct Mixers {
    std::mutex mutex;
    std::vector<MixerDescription> mixers = DefaultMixers();
    std::map<MixerHandle, uint32_t> open; // handle -> mixer
    MixerHandle nextHandle = 1;
};

Mixers& TheMixers() {
    static Mixers mixers;
    return mixers;
}

void ApplyGain(const MixerSourceDescription& line) {
    if (line.drives) SetGroupGain(*line.drives, static_cast<float>(line.value) / static_cast<float>(kMaximumValue));
}

// The described mixer of an open handle, or null (under the lock).
MixerDescription* Lookup(Mixers& m, MixerHandle handle) {
    const auto it = m.open.find(handle);
    return it == m.open.end() ? nullptr : &m.mixers[it->second];
}

// The source line that owns a line or control id, or null.
MixerSourceDescription* SourceOf(MixerDescription& mixer, uint32_t id) {
    return id >= 1 && id <= mixer.sources.size() ? &mixer.sources[id - 1] : nullptr;
}

bool UsableDetails(const MixerControlDetails& d) { return d.values && d.channels >= 1 && d.bytesPerValue == 4; }

} // namespace

std::vector<MixerDescription> DefaultMixers() {
    return {{"Tavrin mixer",
             {{kMixerSourceCompactDisc, "CD", 0, true, kMaximumValue, GainGroup::Cd},
              {kMixerSourceWaveOut, "Wave", 0, true, kMaximumValue, GainGroup::Wave}}}};
}

void InstallMixers(std::vector<MixerDescription> mixers) {
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    m.mixers = std::move(mixers);
    m.open.clear();
    for (const MixerDescription& mixer : m.mixers)
        for (const MixerSourceDescription& line : mixer.sources) ApplyGain(line);
}

uint32_t MixerDeviceCount() {
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    return static_cast<uint32_t>(m.mixers.size());
}

MmResult MixerOpen(uint32_t mixer, MixerHandle* handle) {
    if (!handle) return kMmErrInvalidParam;
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    if (mixer >= m.mixers.size()) return kMmErrBadDeviceId;
    *handle = m.nextHandle++;
    m.open[*handle] = mixer;
    return kMmOk;
}

MmResult MixerClose(MixerHandle handle) {
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    return m.open.erase(handle) ? kMmOk : kMmErrInvalidHandle;
}

MmResult MixerGetCaps(uint32_t mixer, MixerCaps* caps) {
    if (!caps) return kMmErrInvalidParam;
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    if (mixer >= m.mixers.size()) return kMmErrBadDeviceId;
    caps->name = m.mixers[mixer].name;
    caps->destinations = 1;
    return kMmOk;
}

MmResult MixerGetLineInfo(MixerHandle handle, MixerLine* line, uint32_t query) {
    if (!line) return kMmErrInvalidParam;
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    MixerDescription* mixer = Lookup(m, handle);
    if (!mixer) return kMmErrInvalidHandle;
    if (query == kMixerLineByComponentType) {
        if (line->componentType != kMixerDestinationSpeakers) return kMixerErrInvalidLine;
        line->destination = 0;
        line->lineId = kDestinationLineId;
        line->flags = kMixerLineActive;
        line->channels = 2;
        line->connections = static_cast<uint32_t>(mixer->sources.size());
        line->controls = 0;
        line->shortName = line->name = "Speakers";
        return kMmOk;
    }
    if (query != kMixerLineBySource) return kMmErrInvalidParam;
    if (line->destination != 0 || line->source >= mixer->sources.size()) return kMixerErrInvalidLine;
    const MixerSourceDescription& source = mixer->sources[line->source];
    line->lineId = line->source + 1;
    line->flags = kMixerLineSource | source.flags | (source.flags & kMixerLineDisconnected ? 0 : kMixerLineActive);
    line->componentType = source.componentType;
    line->channels = 1;
    line->connections = 0;
    line->controls = source.volumeControl ? 1 : 0;
    line->shortName = line->name = source.shortName;
    return kMmOk;
}

MmResult MixerGetLineControl(MixerHandle handle, uint32_t lineId, uint32_t controlType, MixerControl* control) {
    if (!control) return kMmErrInvalidParam;
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    MixerDescription* mixer = Lookup(m, handle);
    if (!mixer) return kMmErrInvalidHandle;
    const MixerSourceDescription* source = SourceOf(*mixer, lineId);
    if (!source && lineId != kDestinationLineId) return kMixerErrInvalidLine;
    if (!source || !source->volumeControl || controlType != kMixerControlVolume) return kMixerErrInvalidControl;
    *control = {lineId, kMixerControlVolume, 0, kMaximumValue};
    return kMmOk;
}

MmResult MixerGetControlDetails(MixerHandle handle, MixerControlDetails* details) {
    if (!details || !UsableDetails(*details)) return kMmErrInvalidParam;
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    MixerDescription* mixer = Lookup(m, handle);
    if (!mixer) return kMmErrInvalidHandle;
    const MixerSourceDescription* source = SourceOf(*mixer, details->controlId);
    if (!source || !source->volumeControl) return kMixerErrInvalidControl;
    std::fill_n(details->values, details->channels, source->value);
    return kMmOk;
}

MmResult MixerSetControlDetails(MixerHandle handle, const MixerControlDetails& details) {
    if (!UsableDetails(details)) return kMmErrInvalidParam;
    Mixers& m = TheMixers();
    std::lock_guard hold(m.mutex);
    MixerDescription* mixer = Lookup(m, handle);
    if (!mixer) return kMmErrInvalidHandle;
    MixerSourceDescription* source = SourceOf(*mixer, details.controlId);
    if (!source || !source->volumeControl) return kMixerErrInvalidControl;
    source->value = std::min(details.values[0], kMaximumValue);
    ApplyGain(*source);
    return kMmOk;
}

} // namespace plat
