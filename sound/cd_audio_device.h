#pragma once
// The CD audio device: the drive of the media control layer with its table
// of audio tracks, whole-disc play with a resume position, track play, and
// the mixer's CD lines (compact-disc lines, and digital lines named
// "CDSPDIF"). Play records are in track/minute/second/frame form: from = the
// track number, to = the track's length shifted left 8 bits with the track
// number in the low byte (the end of that track). Without a drive every
// operation does nothing and the volume is 0.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/refcounted.h"
#include "platform/media/mci.h"
#include "sound/mixer_line_table.h"

struct CdPlayRecord {
    uint32_t from = 0;
    uint32_t to = 0;
};

class CdAudioDevice : public RefCounted {
public:
    // Opens the drive; then its mixer lines, the track table and the whole-disc
    // play record; every line takes line 0's value.
    CdAudioDevice();
    // Restores the lines' saved values, stops a playing or paused disc, closes the drive.
    ~CdAudioDevice() override;

    // Rebuilds the track table and reads the mode.
    void ReadTracks();
    // Plays the whole disc with notify, from the resume position when keeping
    // it, else from the first audio track; when open, stopped and with tracks.
    bool PlayDisc(bool keepPosition);
    // Plays audio track n with notify, when open, stopped and n lies among the audio tracks.
    bool PlayTrack(int32_t n);
    // Records the resume position of a whole-disc play, then stops (wait).
    void Stop();
    void Pause();
    void Resume();

    // Line 0's value (0 when not open or no line).
    int32_t GetVolume();
    // Every line.
    void SetVolume(int32_t value);
    // The drive's mode, read again.
    int32_t RefreshMode();

    bool IsOpen() const { return deviceId_ != kNotOpen; }
    plat::MciDeviceId DeviceId() const { return deviceId_; }
    int32_t FirstTrack() const { return firstTrack_; }
    int32_t LastTrack() const { return lastTrack_; }
    int32_t Mode() const { return mode_; }
    const CdPlayRecord& DiscPlay() const { return discPlay_; }
    const std::vector<CdPlayRecord>& Tracks() const { return tracks_; }
    MixerLineTable& Lines() { return lines_; }

    static constexpr plat::MciDeviceId kNotOpen = static_cast<plat::MciDeviceId>(-1);

private:
    bool Playing() const { return mode_ == plat::kMciModePlay || mode_ == plat::kMciModePause; }

    const std::shared_ptr<plat::MciSystem> mci_;
    int32_t firstTrack_ = 0, lastTrack_ = 0;
    plat::MciDeviceId deviceId_ = kNotOpen;
    int32_t mode_ = plat::kMciModeNotReady;
    std::vector<CdPlayRecord> tracks_; // one per audio track
    CdPlayRecord discPlay_;
    bool rangePlay_ = false;
    MixerLineTable lines_;
};
