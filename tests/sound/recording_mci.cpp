#include "tests/sound/recording_mci.h"

using namespace plat;

uint32_t RecordingMci::TrackStart(int t) const {
    uint32_t start = 0;
    for (int i = 1; i < t; ++i) start += disc[static_cast<size_t>(i - 1)].frames;
    return start;
}

int RecordingMci::TrackAt(uint32_t frame) const {
    for (int t = 1; t <= static_cast<int>(disc.size()); ++t)
        if (frame < TrackStart(t) + disc[static_cast<size_t>(t - 1)].frames) return t;
    return static_cast<int>(disc.size());
}

uint32_t RecordingMci::ToFrame(uint32_t value) const {
    if (timeFormat_ == kMciFormatTmsf) return TrackStart(static_cast<int>(value & 0xFF)) + MciMsfToFrames(value >> 8);
    return MciMsfToFrames(value);
}

void RecordingMci::EndPlay() {
    mode = kMciModeStop;
    position = playTo - 1;
}

std::vector<std::pair<uint32_t, uint32_t>> RecordingMci::TakePlays() {
    std::vector<std::pair<uint32_t, uint32_t>> plays;
    for (; playsTaken_ < commands.size(); ++playsTaken_)
        if (const Command& c = commands[playsTaken_]; c.name == "play") plays.emplace_back(c.from, c.to);
    return plays;
}

MciError RecordingMci::Open(uint32_t deviceType, MciDeviceId* id) {
    if (openFails || deviceType != kMciDeviceCdAudio) return kMciErrCannotLoadDriver;
    *id = ++lastId;
    return kMciOk;
}

MciError RecordingMci::Close(MciDeviceId) { return kMciOk; }

MciError RecordingMci::SetTimeFormat(MciDeviceId, uint32_t format) {
    timeFormat_ = format;
    return kMciOk;
}

MciError RecordingMci::Status(MciDeviceId, uint32_t item, uint32_t track, uint32_t* value) {
    if (item == kMciStatusMode) {
        *value = disc.empty() ? kMciModeOpen : mode;
        return kMciOk;
    }
    if (disc.empty()) return kMciErrDeviceNotReady;
    const bool valid = track >= 1 && track <= disc.size();
    switch (item) {
    case kMciStatusLength:
        if (!valid) return kMciErrOutOfRange;
        *value = MciFramesToMsf(disc[track - 1].frames);
        return kMciOk;
    case kMciCdaStatusTypeTrack:
        if (!valid) return kMciErrOutOfRange;
        *value = disc[track - 1].audio ? kMciCdaTrackAudio : kMciCdaTrackOther;
        return kMciOk;
    case kMciStatusPosition: {
        if (timeFormat_ == kMciFormatMsf) {
            *value = MciFramesToMsf(position);
        } else {
            const int t = TrackAt(position);
            *value = static_cast<uint32_t>(t) | MciFramesToMsf(position - TrackStart(t)) << 8;
        }
        return kMciOk;
    }
    case kMciStatusCurrentTrack: *value = static_cast<uint32_t>(TrackAt(position)); return kMciOk;
    default: return kMciErrUnsupportedFunction;
    }
}

MciError RecordingMci::Play(MciDeviceId, uint32_t flags, uint32_t from, uint32_t to) {
    if (disc.empty()) return kMciErrDeviceNotReady;
    commands.push_back({"play", flags, from, to});
    position = ToFrame(from);
    playTo = ToFrame(to);
    mode = kMciModePlay;
    return kMciOk;
}

MciError RecordingMci::Stop(MciDeviceId, uint32_t flags) {
    commands.push_back({"stop", flags, 0, 0});
    if (disc.empty()) return kMciErrDeviceNotReady;
    mode = kMciModeStop;
    return kMciOk;
}

MciError RecordingMci::Pause(MciDeviceId, uint32_t flags) {
    commands.push_back({"pause", flags, 0, 0});
    mode = kMciModePause;
    return kMciOk;
}

MciError RecordingMci::Resume(MciDeviceId, uint32_t flags) {
    commands.push_back({"resume", flags, 0, 0});
    mode = kMciModePlay;
    return kMciOk;
}
