#pragma once
// Audio mixer lines in the shape of the multimedia mixer interface: mixers
// with destinations (speakers), their source lines, each line's volume
// control, and the values of those controls (one channel, 0 to 65,535).
//
// The layer has one mixer: a speakers destination with a compact-disc line
// and a wave-output line, both at full volume; the compact-disc line sets the
// CD gain group of the sound layer, the wave-output line the wave group.
// Tests describe other mixers. Safe from any thread.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dsound/mixer.h"

namespace plat {

using MmResult = uint32_t;
using MixerHandle = uint32_t;

constexpr MmResult kMmOk = 0;
constexpr MmResult kMmErrBadDeviceId = 2;
constexpr MmResult kMmErrInvalidHandle = 5;
constexpr MmResult kMmErrInvalidParam = 11;
constexpr MmResult kMixerErrInvalidLine = 1024;
constexpr MmResult kMixerErrInvalidControl = 1025;

// Component types (MIXERLINE_COMPONENTTYPE_*).
constexpr uint32_t kMixerDestinationSpeakers = 4;
constexpr uint32_t kMixerSourceDigital = 0x1001;
constexpr uint32_t kMixerSourceCompactDisc = 0x1005;
constexpr uint32_t kMixerSourceWaveOut = 0x1008;
// Line flags (MIXERLINE_LINEF_*).
constexpr uint32_t kMixerLineActive = 0x1;
constexpr uint32_t kMixerLineDisconnected = 0x8000;
constexpr uint32_t kMixerLineSource = 0x80000000;
// Control types (MIXERCONTROL_CONTROLTYPE_*).
constexpr uint32_t kMixerControlVolume = 0x50030001;

// Line queries (MIXER_GETLINEINFOF_*): a source of a destination by their
// indices, or the first destination of a component type.
constexpr uint32_t kMixerLineBySource = 1;
constexpr uint32_t kMixerLineByComponentType = 3;

struct MixerCaps {
    std::string name;
    uint32_t destinations = 0;
};

struct MixerLine {
    uint32_t destination = 0; // index of the destination (in and out)
    uint32_t source = 0;      // index of the source within it (in, for the source query)
    uint32_t lineId = 0;
    uint32_t flags = 0;
    uint32_t componentType = 0; // in, for the component-type query
    uint32_t channels = 0;
    uint32_t connections = 0; // sources of a destination
    uint32_t controls = 0;
    std::string shortName;
    std::string name;
};

struct MixerControl {
    uint32_t controlId = 0;
    uint32_t controlType = 0;
    uint32_t minimum = 0;
    uint32_t maximum = 0;
};

// MIXERCONTROLDETAILS of one unsigned value per channel.
struct MixerControlDetails {
    uint32_t size = 24;
    uint32_t controlId = 0;
    uint32_t channels = 1;
    uint32_t items = 0;
    uint32_t bytesPerValue = 4;
    uint32_t* values = nullptr;
};

uint32_t MixerDeviceCount();
MmResult MixerOpen(uint32_t mixer, MixerHandle* handle);
MmResult MixerClose(MixerHandle handle);
MmResult MixerGetCaps(uint32_t mixer, MixerCaps* caps);
MmResult MixerGetLineInfo(MixerHandle handle, MixerLine* line, uint32_t query);
// The line's control of a type.
MmResult MixerGetLineControl(MixerHandle handle, uint32_t lineId, uint32_t controlType, MixerControl* control);
MmResult MixerGetControlDetails(MixerHandle handle, MixerControlDetails* details);
// Values above 65,535 are taken as 65,535.
MmResult MixerSetControlDetails(MixerHandle handle, const MixerControlDetails& details);

// A described mixer: one speakers destination and its source lines.
struct MixerSourceDescription {
    uint32_t componentType = 0;
    std::string shortName;
    uint32_t flags = 0;
    bool volumeControl = true;
    uint32_t value = 65535;
    std::optional<GainGroup> drives; // the gain group the value sets
};

struct MixerDescription {
    std::string name;
    std::vector<MixerSourceDescription> sources;
};

// The layer's own mixers.
std::vector<MixerDescription> DefaultMixers();
// Replaces every mixer (open handles go stale) and sets the gain groups the lines drive.
void InstallMixers(std::vector<MixerDescription> mixers);

} // namespace plat
