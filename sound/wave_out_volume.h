#pragma once
// The volume of wave output (the sound effects and music streams): the
// mixer's wave-output lines, for the wave-audio device of the media control layer.

#include <cstdint>
#include <memory>

#include "core/refcounted.h"
#include "platform/media/mci.h"
#include "sound/mixer_line_table.h"

class WaveOutVolume : public RefCounted {
public:
    WaveOutVolume();
    // Restores the lines' saved values and closes the device.
    ~WaveOutVolume() override;

    // Every line, 0 to 65,535.
    void SetVolume(int32_t value);
    // Line 0's value, 0 without a line.
    int32_t GetVolume();

    MixerLineTable& Lines() { return lines_; }

private:
    const std::shared_ptr<plat::MciSystem> mci_;
    plat::MciDeviceId deviceId_ = static_cast<plat::MciDeviceId>(-1);
    bool open_ = false;
    MixerLineTable lines_;
};
