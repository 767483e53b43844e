#pragma once
// The CD player: up to 10 playlists of up to 20 tracks, whole-disc play that
// resumes where it stopped, stepping through the disc track by track, and
// volume fades of the CD lines on RealClock. The media layer's notifications
// of the device's plays reach it through OnMciNotify. Main thread only.

#include <cstdint>

#include "platform/media/mci.h"

class CdAudioDevice;

class CdPlayer {
public:
    static constexpr int32_t kMaxPlaylists = 10;
    static constexpr int32_t kMaxPlaylistTracks = 20;

    // Holds a reference on the device, or makes one when none is given. The
    // playlist count is brought within 0 to 10.
    CdPlayer(CdAudioDevice* device, int32_t playlistCount);
    ~CdPlayer();
    CdPlayer(const CdPlayer&) = delete;
    CdPlayer& operator=(const CdPlayer&) = delete;

    // Playlists outside 0 to the playlist count - 1 are left alone.
    void SetPlaylist(int32_t p, const int32_t* tracks, int32_t count, bool repeat);
    void AppendToPlaylist(int32_t p, const int32_t* tracks, int32_t count);
    // Makes p current and steps its position back one, so the next play
    // repeats the track it was at; plays it at once when asked.
    void SelectPlaylist(int32_t p, bool playNow);
    // The next track of the current playlist (back to its first with repeat).
    void PlayNext();
    // Reads the mode; a stopped device goes on with the playlist.
    void Poll();
    // The whole disc with notify: from where it stopped when the disc is the
    // same and restart is false, else from its first audio track.
    void PlayDisc(bool repeat, bool restart);
    // The disc track by track, from the track it was at when the disc is the same.
    void PlayStepping(bool repeat);
    bool Stop();
    void Pause();

    int32_t GetVolume();
    void SetVolume(int32_t value);
    // Fades from the current volume.
    void FadeTo(int32_t target, float seconds);
    // Sets `from` at once, then moves toward `to` on RealClock.
    void StartFade(int32_t from, int32_t to, float seconds);
    // Once a frame.
    void UpdateFade();

    void OnMciNotify(uint32_t flags, plat::MciDeviceId device);
    void OnDeviceChange();

    CdAudioDevice& Device() { return *device_; }
    int32_t Mode() const { return mode_; }
    int32_t PreviousMode() const { return previousMode_; }
    int32_t CurrentPlaylist() const { return currentPlaylist_; }
    int32_t Position(int32_t p) const { return position_[p]; }
    int32_t PlaylistCount() const { return playlistCount_; }
    bool Fading() const { return fading_; }
    bool Stepping() const { return stepping_; }

private:
    bool ValidPlaylist(int32_t p) const { return p >= 0 && p < playlistCount_; }
    void RefreshMode();
    void StepFade();

    CdAudioDevice* device_;
    int32_t tracksOf_[kMaxPlaylists][kMaxPlaylistTracks] = {};
    int32_t trackCount_[kMaxPlaylists] = {};
    int32_t position_[kMaxPlaylists] = {};
    int32_t playlistCount_ = 0;
    int32_t currentPlaylist_ = -1;
    bool repeat_[kMaxPlaylists] = {};
    int32_t mode_ = plat::kMciModeNotReady;
    int32_t previousMode_ = plat::kMciModeNotReady;
    bool stepping_ = false;
    bool repeatDisc_ = true;
    int32_t stepTrack_ = 0;
    bool fading_ = false;
    int32_t fadeFrom_ = 0, fadeTo_ = 0;
    float fadeRate_ = 0; // value per tick
    uint32_t fadeStart_ = 0; // low 32 bits of RealClock
    bool rangePlay_ = false;
};
