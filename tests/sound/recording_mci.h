#pragma once
// The media control layer as a recording fake: one CD drive whose disc the
// test describes, the commands recorded, the mode following plays and stops,
// and the position where the test puts it. Plays end when the test says.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/mci.h"

class RecordingMci final : public plat::MciSystem {
public:
    struct Track {
        uint32_t frames = 0;
        bool audio = true;
    };
    struct Command {
        std::string name; // "play", "stop", "pause", "resume"
        uint32_t flags = 0, from = 0, to = 0;
    };

    std::vector<Track> disc; // empty: no disc
    bool openFails = false;
    uint32_t mode = plat::kMciModeStop;
    uint32_t position = 0; // disc frame
    uint32_t playTo = 0;
    std::vector<Command> commands;
    plat::MciDeviceId lastId = 0;

    // Disc frames where track t (1 and up) starts.
    uint32_t TrackStart(int t) const;
    // The play running ends at its end: the drive stops on its last frame.
    void EndPlay();
    // The plays since the last call, as (from, to) in the form they were given.
    std::vector<std::pair<uint32_t, uint32_t>> TakePlays();

    plat::MciError Open(uint32_t deviceType, plat::MciDeviceId* id) override;
    plat::MciError Close(plat::MciDeviceId id) override;
    plat::MciError SetTimeFormat(plat::MciDeviceId id, uint32_t format) override;
    plat::MciError Status(plat::MciDeviceId id, uint32_t item, uint32_t track, uint32_t* value) override;
    plat::MciError Play(plat::MciDeviceId id, uint32_t flags, uint32_t from, uint32_t to) override;
    plat::MciError Stop(plat::MciDeviceId id, uint32_t flags) override;
    plat::MciError Pause(plat::MciDeviceId id, uint32_t flags) override;
    plat::MciError Resume(plat::MciDeviceId id, uint32_t flags) override;

private:
    int TrackAt(uint32_t frame) const;
    uint32_t ToFrame(uint32_t value) const;

    uint32_t timeFormat_ = plat::kMciFormatMsf;
    size_t playsTaken_ = 0;
};
