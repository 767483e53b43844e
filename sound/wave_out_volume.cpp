#include "sound/wave_out_volume.h"

using namespace plat;

WaveOutVolume::WaveOutVolume() : mci_(CurrentMciSystem()) {
    open_ = mci_->Open(kMciDeviceWaveAudio, &deviceId_) == kMciOk;
    lines_.Scan([](const MixerLine& line) { return line.componentType == kMixerSourceWaveOut; });
}

WaveOutVolume::~WaveOutVolume() {
    lines_.Restore();
    if (open_) mci_->Close(deviceId_);
}

void WaveOutVolume::SetVolume(int32_t value) { lines_.SetAll(value); }

int32_t WaveOutVolume::GetVolume() { return lines_.FirstValue(); }
