#pragma once
// The media control layer: MCI-shaped devices for CD audio and wave audio,
// with the command and status values of the original interface. A play with
// notify posts MM_MCINOTIFY into a main-thread queue (TakeMciNotify); no
// device change is ever posted.
//
// The CD drive's disc is the folder "cd" under the current directory at the
// time the device opens: files TrackNN.* (01 to 99) make tracks 1 to the
// highest NN; a file that decodes as audio is an audio track, any other
// number a data track. Without that folder, without tracks, or without an
// audio decoder (audio_decoder.h), the drive has no disc. Disc positions run
// without gaps from track 1's start at 0:00:00.
//
// Callers reach the layer through CurrentMciSystem(); tests install a fake.

#include <cstdint>
#include <memory>

namespace plat {

using MciDeviceId = uint32_t;
using MciError = uint32_t;

// Device types (MCI_DEVTYPE_*).
constexpr uint32_t kMciDeviceCdAudio = 516;
constexpr uint32_t kMciDeviceWaveAudio = 522;

// Modes (MCI_MODE_*).
constexpr uint32_t kMciModeNotReady = 524;
constexpr uint32_t kMciModeStop = 525;
constexpr uint32_t kMciModePlay = 526;
constexpr uint32_t kMciModePause = 529;
constexpr uint32_t kMciModeOpen = 530;

// Time formats: minute/second/frame and track/minute/second/frame, 75 frames a second.
constexpr uint32_t kMciFormatMsf = 2;
constexpr uint32_t kMciFormatTmsf = 10;
constexpr uint32_t kCdFramesPerSecond = 75;

// MSF packs the minute in the low byte, then second and frame; TMSF the
// track in the low byte, then minute, second and frame.
constexpr uint32_t MciMakeMsf(uint32_t m, uint32_t s, uint32_t f) {
    return (m & 0xFF) | (s & 0xFF) << 8 | (f & 0xFF) << 16;
}
constexpr uint32_t MciMakeTmsf(uint32_t t, uint32_t m, uint32_t s, uint32_t f) {
    return (t & 0xFF) | (m & 0xFF) << 8 | (s & 0xFF) << 16 | (f & 0xFF) << 24;
}
// Frames of an MSF value and back (minutes above 255 do not fit).
constexpr uint32_t MciMsfToFrames(uint32_t msf) {
    return ((msf & 0xFF) * 60 + (msf >> 8 & 0xFF)) * kCdFramesPerSecond + (msf >> 16 & 0xFF);
}
constexpr uint32_t MciFramesToMsf(uint32_t frames) {
    return MciMakeMsf(frames / (60 * kCdFramesPerSecond), frames / kCdFramesPerSecond % 60,
                      frames % kCdFramesPerSecond);
}

// Command flags.
constexpr uint32_t kMciNotify = 0x1;
constexpr uint32_t kMciWait = 0x2;
constexpr uint32_t kMciFrom = 0x4;
constexpr uint32_t kMciTo = 0x8;

// Status items; a track number of 0 asks about the whole disc.
constexpr uint32_t kMciStatusLength = 1;
constexpr uint32_t kMciStatusPosition = 2;
constexpr uint32_t kMciStatusMode = 4;
constexpr uint32_t kMciStatusCurrentTrack = 8;
constexpr uint32_t kMciCdaStatusTypeTrack = 0x4001;
constexpr uint32_t kMciCdaTrackAudio = 1088;
constexpr uint32_t kMciCdaTrackOther = 1089;

// Notification flags and the message that carries them (flags, device id).
constexpr uint32_t kMciNotifySuccessful = 1;
constexpr uint32_t kMciNotifySuperseded = 2;
constexpr uint32_t kMciNotifyAborted = 4;
constexpr uint32_t kMciNotifyFailure = 8;
constexpr uint32_t kMmMciNotify = 0x3B9;

// Errors (MCIERR_*).
constexpr MciError kMciOk = 0;
constexpr MciError kMciErrInvalidDeviceId = 257;
constexpr MciError kMciErrCannotLoadDriver = 266;
constexpr MciError kMciErrUnsupportedFunction = 274;
constexpr MciError kMciErrDeviceNotReady = 276;
constexpr MciError kMciErrOutOfRange = 282;
constexpr MciError kMciErrBadTimeFormat = 293;

class MciSystem {
public:
    virtual ~MciSystem() = default;

    // Opens a device by type id.
    virtual MciError Open(uint32_t deviceType, MciDeviceId* id) = 0;
    // Stops the device without notifying and closes it.
    virtual MciError Close(MciDeviceId id) = 0;
    virtual MciError SetTimeFormat(MciDeviceId id, uint32_t format) = 0;
    // Positions and lengths in the device's time format; a track's length is
    // MSF in either format, and fails past the last track.
    virtual MciError Status(MciDeviceId id, uint32_t item, uint32_t track, uint32_t* value) = 0;
    // From and to where their flags say (else the current position and the
    // disc's end); a TMSF start past its track's end goes on in the
    // following tracks. A new play supersedes a notifying one.
    virtual MciError Play(MciDeviceId id, uint32_t flags, uint32_t from, uint32_t to) = 0;
    // Stopping aborts a notifying play.
    virtual MciError Stop(MciDeviceId id, uint32_t flags) = 0;
    virtual MciError Pause(MciDeviceId id, uint32_t flags) = 0;
    virtual MciError Resume(MciDeviceId id, uint32_t flags) = 0;
};

// The installed system: the layer's own unless a test installed another.
std::shared_ptr<MciSystem> CurrentMciSystem();
// Installs a system (null restores the layer's own).
void InstallMciSystem(std::shared_ptr<MciSystem> system);

struct MciNotification {
    uint32_t flags = 0;
    MciDeviceId device = 0;
};

// Queues a notification for the main thread. Any thread.
void PostMciNotify(uint32_t flags, MciDeviceId device);
// The oldest queued notification; plays of the layer's devices that have
// reached their end by now are noticed first. False when there is none.
bool TakeMciNotify(MciNotification* out);

} // namespace plat
