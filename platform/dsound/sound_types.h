#pragma once
// DirectSound shaped records and flag values (the values of the original
// interface): PCM formats, device and buffer capabilities, buffer
// descriptions, and the result codes of the sound layer.

#include <cstdint>

#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"

namespace plat {

// WAVEFORMATEX without the extension size: only PCM is played.
struct WaveFormat {
    uint16_t formatTag = 1;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};
constexpr uint16_t kWaveFormatPcm = 1;

// A PCM format with its block alignment and byte rate filled in.
WaveFormat PcmFormat(uint32_t rate, uint16_t bits, uint16_t channels);

// DSCAPS: 24 words, the size word 96.
struct SoundCaps {
    uint32_t size = 96;
    uint32_t flags = 0;
    uint32_t minSecondarySampleRate = 0;
    uint32_t maxSecondarySampleRate = 0;
    uint32_t primaryBuffers = 0;
    uint32_t maxHwMixingAllBuffers = 0;
    uint32_t maxHwMixingStaticBuffers = 0;
    uint32_t maxHwMixingStreamingBuffers = 0;
    uint32_t freeHwMixingAllBuffers = 0;
    uint32_t freeHwMixingStaticBuffers = 0;
    uint32_t freeHwMixingStreamingBuffers = 0;
    uint32_t maxHw3DAllBuffers = 0;
    uint32_t maxHw3DStaticBuffers = 0;
    uint32_t maxHw3DStreamingBuffers = 0;
    uint32_t freeHw3DAllBuffers = 0;
    uint32_t freeHw3DStaticBuffers = 0;
    uint32_t freeHw3DStreamingBuffers = 0;
    uint32_t totalHwMemBytes = 0;
    uint32_t freeHwMemBytes = 0;
    uint32_t maxContigFreeHwMemBytes = 0;
    uint32_t unlockTransferRateHwBuffers = 0;
    uint32_t playCpuOverheadSwBuffers = 0;
    uint32_t reserved1 = 0;
    uint32_t reserved2 = 0;
};
static_assert(sizeof(SoundCaps) == 96);

// DSCAPS_* flags.
constexpr uint32_t kCapsPrimaryMono = 0x1;
constexpr uint32_t kCapsPrimaryStereo = 0x2;
constexpr uint32_t kCapsPrimary8Bit = 0x4;
constexpr uint32_t kCapsPrimary16Bit = 0x8;
constexpr uint32_t kCapsContinuousRate = 0x10;
constexpr uint32_t kCapsSecondaryMono = 0x100;
constexpr uint32_t kCapsSecondaryStereo = 0x200;
constexpr uint32_t kCapsSecondary8Bit = 0x400;
constexpr uint32_t kCapsSecondary16Bit = 0x800;

// The one device every backend offers: every PCM format, rates 100 to
// 100,000 Hz, one primary buffer and 32 mixing buffers, no 3D hardware.
SoundCaps DefaultSoundCaps();

// DSBUFFERDESC: 36 bytes in the original, its size word 36.
struct SoundBufferDesc {
    uint32_t size = 36;
    uint32_t flags = 0;
    uint32_t bufferBytes = 0;
    uint32_t reserved = 0;
    const WaveFormat* format = nullptr;
    Guid algorithm3D{};
};
constexpr uint32_t kSoundBufferDescSize = 36;

// DSBCAPS_* flags.
constexpr uint32_t kBufferPrimary = 0x1;
constexpr uint32_t kBufferStatic = 0x2;
constexpr uint32_t kBufferLocHardware = 0x4;
constexpr uint32_t kBufferLocSoftware = 0x8;
constexpr uint32_t kBufferCtrl3D = 0x10;
constexpr uint32_t kBufferCtrlFrequency = 0x20;
constexpr uint32_t kBufferCtrlPan = 0x40;
constexpr uint32_t kBufferCtrlVolume = 0x80;
constexpr uint32_t kBufferGetCurrentPosition2 = 0x10000;
constexpr uint32_t kBufferMute3DAtMaxDistance = 0x20000;

// DSBCAPS.
struct SoundBufferCaps {
    uint32_t size = 20;
    uint32_t flags = 0;
    uint32_t bufferBytes = 0;
    uint32_t unlockTransferRate = 0;
    uint32_t playCpuOverhead = 0;
};

// Secondary buffer sizes (DSBSIZE_MIN, DSBSIZE_MAX).
constexpr uint32_t kBufferSizeMin = 4;
constexpr uint32_t kBufferSizeMax = 0x0FFFFFFF;

// Play, status and lock flags.
constexpr uint32_t kPlayLooping = 0x1;
constexpr uint32_t kStatusPlaying = 0x1;
constexpr uint32_t kStatusLooping = 0x4;
constexpr uint32_t kLockFromWriteCursor = 0x1;
constexpr uint32_t kLockEntireBuffer = 0x2;

// Cooperative levels (DSSCL_*).
constexpr uint32_t kCoopNormal = 1;
constexpr uint32_t kCoopPriority = 2;
constexpr uint32_t kCoopExclusive = 3;
constexpr uint32_t kCoopWritePrimary = 4;

// Volume and pan in hundredths of a decibel, frequency in Hz (0: the format's own).
constexpr int32_t kVolumeMin = -10000;
constexpr int32_t kVolumeMax = 0;
constexpr int32_t kPanLeft = -10000;
constexpr int32_t kPanRight = 10000;
constexpr uint32_t kFrequencyOriginal = 0;
constexpr uint32_t kFrequencyMin = 100;
constexpr uint32_t kFrequencyMax = 100000;

// Property-set support bits (KSPROPERTY_SUPPORT_GET, _SET).
constexpr uint32_t kPropertySupportGet = 1;
constexpr uint32_t kPropertySupportSet = 2;

// Interfaces a buffer can be asked for.
constexpr Guid kIidSound3DBuffer{0x279AFA86, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
constexpr Guid kIidPropertySet{0x31EFAC30, 0x515C, 0x11D0, {0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93}};

// DirectSound results (the DirectSound facility is 0x88780000).
constexpr HResult DsResult(uint32_t code) { return static_cast<HResult>(0x88780000u | code); }
constexpr HResult kDsOk = 0;
constexpr HResult kDsErrAllocated = DsResult(10);
constexpr HResult kDsErrControlUnavailable = DsResult(30);
constexpr HResult kDsErrInvalidCall = DsResult(50);
constexpr HResult kDsErrPrioLevelNeeded = DsResult(70);
constexpr HResult kDsErrBadFormat = DsResult(100);
constexpr HResult kDsErrNoDriver = DsResult(120);
constexpr HResult kDsErrInvalidParam = kDdErrInvalidParams;
constexpr HResult kDsErrNoInterface = kDdErrNoInterface;
constexpr HResult kDsErrOutOfMemory = kDdErrOutOfMemory;
constexpr HResult kDsErrUnsupported = kDdErrUnsupported;
constexpr HResult kDsErrNoAggregation = static_cast<HResult>(0x80040110u);

} // namespace plat
