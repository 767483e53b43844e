#include "sound/cd_player.h"

#include <algorithm>
#include <cstdlib>

#include "core/clock.h"
#include "core/numeric.h"
#include "sound/cd_audio_device.h"

using namespace plat;

CdPlayer::CdPlayer(CdAudioDevice* device, int32_t playlistCount)
    : device_(device), playlistCount_(std::clamp(playlistCount, 0, kMaxPlaylists)) {
    if (device_) device_->AddRef();
    else device_ = new CdAudioDevice;
    mode_ = kMciModeStop;
    std::fill(std::begin(position_), std::end(position_), -1);
}

CdPlayer::~CdPlayer() { device_->Release(); }

void CdPlayer::SetPlaylist(int32_t p, const int32_t* tracks, int32_t count, bool repeat) {
    if (!ValidPlaylist(p)) return;
    trackCount_[p] = std::clamp(count, 0, kMaxPlaylistTracks);
    std::copy_n(tracks, trackCount_[p], tracksOf_[p]);
    repeat_[p] = repeat;
    position_[p] = -1;
}

void CdPlayer::AppendToPlaylist(int32_t p, const int32_t* tracks, int32_t count) {
    if (!ValidPlaylist(p)) return;
    for (int32_t i = 0; i < count && trackCount_[p] < kMaxPlaylistTracks; ++i)
        tracksOf_[p][trackCount_[p]++] = tracks[i];
}

void CdPlayer::SelectPlaylist(int32_t p, bool playNow) {
    if (!ValidPlaylist(p)) return;
    currentPlaylist_ = p;
    if (position_[p] != -1) --position_[p];
    if (playNow) PlayNext();
}

void CdPlayer::PlayNext() {
    const int32_t p = currentPlaylist_;
    if (!ValidPlaylist(p) || trackCount_[p] == 0) return;
    int32_t next = position_[p] + 1;
    if (next >= trackCount_[p]) {
        if (!repeat_[p]) return;
        next = 0;
    }
    stepping_ = false;
    const int32_t running = device_->RefreshMode();
    if (running == kMciModePlay || running == kMciModePause) {
        device_->Stop();
        mode_ = kMciModeStop;
    }
    if (device_->PlayTrack(tracksOf_[p][next])) mode_ = kMciModePlay;
    else --next;
    position_[p] = next;
}

void CdPlayer::RefreshMode() {
    previousMode_ = mode_;
    mode_ = device_->RefreshMode();
}

void CdPlayer::Poll() {
    stepping_ = false;
    RefreshMode();
    if (mode_ == kMciModeStop) PlayNext();
}

void CdPlayer::PlayDisc(bool repeat, bool restart) {
    rangePlay_ = true;
    stepping_ = false;
    repeatDisc_ = repeat;
    const int32_t first = device_->FirstTrack(), last = device_->LastTrack();
    device_->ReadTracks();
    if (device_->Tracks().empty()) return;
    const bool sameDisc = first == device_->FirstTrack() && last == device_->LastTrack();
    if (device_->PlayDisc(sameDisc && !restart)) mode_ = kMciModePlay;
}

void CdPlayer::PlayStepping(bool repeat) {
    rangePlay_ = false;
    const int32_t first = device_->FirstTrack(), last = device_->LastTrack();
    device_->ReadTracks();
    const bool sameDisc = first == device_->FirstTrack() && last == device_->LastTrack();
    if (!sameDisc || stepTrack_ < device_->FirstTrack() || stepTrack_ > device_->LastTrack())
        stepTrack_ = device_->FirstTrack();
    if (stepTrack_ == 0) return;
    if (device_->Mode() == kMciModePlay) device_->Stop();
    stepping_ = true;
    repeatDisc_ = repeat;
    if (device_->PlayTrack(stepTrack_)) mode_ = kMciModePlay;
}

bool CdPlayer::Stop() {
    stepping_ = false;
    if (!device_->IsOpen() || mode_ == kMciModeNotReady) return false;
    device_->Stop();
    mode_ = kMciModeStop;
    return true;
}

void CdPlayer::Pause() {
    if (device_->Mode() != kMciModePlay) return;
    device_->Pause();
    mode_ = kMciModePause;
}

int32_t CdPlayer::GetVolume() { return device_->GetVolume(); }

void CdPlayer::SetVolume(int32_t value) { device_->SetVolume(value); }

void CdPlayer::FadeTo(int32_t target, float seconds) { StartFade(device_->GetVolume(), target, seconds); }

void CdPlayer::StartFade(int32_t from, int32_t to, float seconds) {
    fading_ = true;
    fadeFrom_ = from;
    fadeTo_ = to;
    fadeRate_ = static_cast<float>(to - from) / (CurrentTicksPerSecondFloat() * seconds);
    fadeStart_ = RealClock.GetTime32();
    StepFade();
}

void CdPlayer::UpdateFade() {
    if (fading_) StepFade();
}

void CdPlayer::StepFade() {
    const auto elapsed = static_cast<int32_t>(RealClock.GetTime32() - fadeStart_);
    // A fade of no time gives no number, which floors to INT32_MIN: it ends at once.
    const int64_t v = FloorToInt(static_cast<float>(elapsed) * fadeRate_);
    const int64_t span = std::llabs(int64_t{fadeTo_} - fadeFrom_);
    int32_t value = fadeTo_;
    if (std::llabs(v) > span) fading_ = false;
    else value = static_cast<int32_t>(fadeFrom_ + v);
    if (value == fadeTo_) fading_ = false;
    device_->SetVolume(value);
}

void CdPlayer::OnMciNotify(uint32_t flags, MciDeviceId device) {
    if (!device_->IsOpen() || device != device_->DeviceId()) return;
    if (!(flags & kMciNotifySuccessful)) {
        RefreshMode();
        return;
    }
    if (rangePlay_) {
        device_->Stop();
        if (repeatDisc_) {
            PlayDisc(true, true);
        } else {
            rangePlay_ = false;
            mode_ = kMciModeStop;
        }
        return;
    }
    if (stepping_) {
        ++stepTrack_;
        if (stepTrack_ <= device_->LastTrack()) {
            device_->Stop();
            if (device_->PlayTrack(stepTrack_)) mode_ = kMciModePlay;
            return;
        }
        if (repeatDisc_) {
            PlayStepping(true);
            return;
        }
        stepping_ = false;
    }
    mode_ = kMciModeStop;
    PlayNext();
}

void CdPlayer::OnDeviceChange() { RefreshMode(); }
