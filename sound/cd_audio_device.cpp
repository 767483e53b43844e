#include "sound/cd_audio_device.h"

#include <algorithm>

using namespace plat;

namespace {
constexpr int32_t kMaxTracks = 99;
}

CdAudioDevice::CdAudioDevice() : mci_(CurrentMciSystem()) {
    MciDeviceId id = 0;
    if (mci_->Open(kMciDeviceCdAudio, &id) != kMciOk) return;
    deviceId_ = id;
    lines_.Scan([](const MixerLine& line) {
        return line.componentType == kMixerSourceCompactDisc ||
               (line.componentType == kMixerSourceDigital && line.shortName == "CDSPDIF");
    });
    ReadTracks();
    if (mode_ != kMciModeOpen && mode_ != kMciModeNotReady && !tracks_.empty())
        discPlay_ = {tracks_.front().from, tracks_.back().to};
    if (lines_.Used(0)) lines_.SetAll(lines_.FirstValue());
}

CdAudioDevice::~CdAudioDevice() {
    lines_.Restore();
    if (!IsOpen()) return;
    RefreshMode();
    if (Playing()) Stop();
    mci_->Close(deviceId_);
}

void CdAudioDevice::ReadTracks() {
    if (!IsOpen()) return;
    tracks_.clear();
    firstTrack_ = lastTrack_ = 0;
    mci_->SetTimeFormat(deviceId_, kMciFormatMsf);
    for (int32_t t = 1; t <= kMaxTracks; ++t) {
        const auto track = static_cast<uint32_t>(t);
        uint32_t length = 0, type = 0;
        if (mci_->Status(deviceId_, kMciStatusLength, track, &length) != kMciOk) break;
        if (mci_->Status(deviceId_, kMciCdaStatusTypeTrack, track, &type) == kMciOk && type == kMciCdaTrackOther)
            continue;
        tracks_.push_back({track, length << 8 | track});
        if (firstTrack_ == 0) firstTrack_ = t;
        lastTrack_ = t;
    }
    mci_->SetTimeFormat(deviceId_, kMciFormatTmsf);
    RefreshMode();
    if (!tracks_.empty()) discPlay_.to = tracks_.back().to;
}

bool CdAudioDevice::PlayDisc(bool keepPosition) {
    if (!IsOpen() || mode_ != kMciModeStop || tracks_.empty()) return false;
    rangePlay_ = true;
    if (!keepPosition) discPlay_.from = tracks_.front().from;
    if (mci_->Play(deviceId_, kMciNotify | kMciFrom | kMciTo, discPlay_.from, discPlay_.to) != kMciOk) return false;
    mode_ = kMciModePlay;
    return true;
}

bool CdAudioDevice::PlayTrack(int32_t n) {
    if (!IsOpen()) return false;
    rangePlay_ = false;
    // The drive is asked: a play that ended by itself has left it stopped.
    if (RefreshMode() != kMciModeStop || n < firstTrack_ || n > lastTrack_) return false;
    // Found by its number, so a data track between audio tracks shifts nothing.
    const auto record = std::find_if(tracks_.begin(), tracks_.end(),
                                     [n](const CdPlayRecord& r) { return r.from == static_cast<uint32_t>(n); });
    if (record == tracks_.end()) return false;
    if (mci_->Play(deviceId_, kMciNotify | kMciFrom | kMciTo, record->from, record->to) != kMciOk) return false;
    mode_ = kMciModePlay;
    return true;
}

void CdAudioDevice::Stop() {
    if (!IsOpen()) return;
    if (rangePlay_) {
        // The resume position: an offset from track 1's start, which a TMSF
        // play carries on through the following tracks; from the first track
        // again when the last one was playing.
        mci_->SetTimeFormat(deviceId_, kMciFormatMsf);
        uint32_t position = 0, track = 0;
        if (mci_->Status(deviceId_, kMciStatusPosition, 0, &position) == kMciOk &&
            mci_->Status(deviceId_, kMciStatusCurrentTrack, 0, &track) == kMciOk && !tracks_.empty())
            discPlay_.from = static_cast<int32_t>(track) == lastTrack_ ? tracks_.front().from : position * 256 + 1;
        mci_->SetTimeFormat(deviceId_, kMciFormatTmsf);
    }
    mci_->Stop(deviceId_, kMciWait);
    mode_ = kMciModeStop;
}

void CdAudioDevice::Pause() {
    if (!IsOpen() || mode_ != kMciModePlay) return;
    if (mci_->Pause(deviceId_, kMciWait) == kMciOk) mode_ = kMciModePause;
}

void CdAudioDevice::Resume() {
    if (!IsOpen() || mode_ != kMciModePause) return;
    if (mci_->Resume(deviceId_, 0) == kMciOk) mode_ = kMciModePlay;
}

int32_t CdAudioDevice::GetVolume() { return IsOpen() ? lines_.FirstValue() : 0; }

void CdAudioDevice::SetVolume(int32_t value) { lines_.SetAll(value); }

int32_t CdAudioDevice::RefreshMode() {
    if (!IsOpen()) return mode_;
    uint32_t mode = 0;
    if (mci_->Status(deviceId_, kMciStatusMode, 0, &mode) == kMciOk) mode_ = static_cast<int32_t>(mode);
    return mode_;
}
