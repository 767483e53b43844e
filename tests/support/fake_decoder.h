#pragma once
// A decoder for tests of the media layer: a file whose content begins
// "FAKE" describes its sound in text, any other file is not sound. Sample
// frame i of every channel is FakeSample(i), counted at the output rate, so
// a test can tell exactly which frames reached it. Registered while the
// object lives; it records every file it opened.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct FakeSound {
    uint32_t rate = 22050;
    uint16_t channels = 1;
    uint64_t frames = 22050;
    int64_t failAfter = -1; // frames read before decoding fails (-1: never)
    uint32_t videoRate = 0, videoRateScale = 1;
    uint64_t videoFrames = 0;
};

// The file content describing the sound.
std::string FakeSoundFile(const FakeSound& sound);

// Never 0, so silence is told apart.
inline int16_t FakeSample(uint64_t frame) { return static_cast<int16_t>(1 + frame % 20000); }

class FakeDecoder {
public:
    FakeDecoder();
    ~FakeDecoder();
    FakeDecoder(const FakeDecoder&) = delete;
    FakeDecoder& operator=(const FakeDecoder&) = delete;

    // Host paths opened as sound, in order.
    std::vector<std::string> Opened() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> opened_;
};
