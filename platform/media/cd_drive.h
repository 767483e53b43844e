#pragma once
// The CD audio device of the media control layer: a disc read from its
// folder, played through the sound layer in the CD gain group. A play runs
// on the layer's clock from its start position, so positions move as time
// does; a feeder thread decodes the tracks ahead of the play cursor into a
// looping buffer. The end of a play, a decode failure, a supersession and a
// stop each end a notifying play with its notification. Internal to the layer.

#include <memory>
#include <mutex>
#include <string>

#include "platform/media/cd_disc.h"
#include "platform/media/mci_device.h"

namespace plat {

class CdDrive final : public MciDevice {
public:
    CdDrive(MciDeviceId id, std::string folder);
    ~CdDrive() override;

    MciError SetTimeFormat(uint32_t format) override;
    MciError Status(uint32_t item, uint32_t track, uint32_t* value) override;
    MciError Play(uint32_t flags, uint32_t from, uint32_t to) override;
    MciError Stop() override;
    MciError Pause() override;
    MciError Resume() override;
    void CatchUp() override;

private:
    class Feeder;
    enum class State { Stopped, Playing, Paused };

    // Reads the folder again when it changed, unless a play holds the disc.
    void RefreshDiscLocked();
    // Sample frames played since the play's start (not counting pauses).
    uint64_t PlayedLocked(uint64_t nowNs) const;
    uint64_t PlayLengthLocked() const;
    uint32_t PositionLocked(uint64_t nowNs) const;
    // A position in the time format as a disc frame; false when it lies off the disc.
    bool ToDiscFrame(uint32_t value, uint32_t* frame) const;
    // Ends the running play: stopped where it is (at its end when it
    // succeeded), its notification posted with these flags.
    void FinishLocked(uint32_t flags, uint64_t nowNs);
    // The feeder, cancelled, for the caller to let go of outside the lock.
    std::unique_ptr<Feeder> TakeFeederLocked();
    // The feeder thread's loop.
    void Feed(Feeder& feeder);

    const MciDeviceId id_;
    const std::string folder_;
    std::mutex mutex_;
    CdDisc disc_;
    std::string fingerprint_;
    bool read_ = false;
    uint32_t timeFormat_ = kMciFormatMsf;
    State state_ = State::Stopped;
    uint32_t position_ = 0; // disc frame, while not playing
    uint32_t playFrom_ = 0, playTo_ = 0;
    uint64_t startNs_ = 0, pausedAtNs_ = 0;
    bool notify_ = false;
    std::unique_ptr<Feeder> feeder_;
};

} // namespace plat
