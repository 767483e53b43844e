#pragma once
// The records of a sound bank: wave records ("WAVCHUNK", versions 0 to 3: a
// wave image with its playback defaults) and cue records ("METAWVCK",
// versions 0 and 1: a list of sample numbers with weights or play counts),
// read from the bank image and written by the bank builder. Each field is
// read at its stated size; a record that does not fit in the image reads as
// empty.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ByteWriter;

// A wave read from a record or a loose file.
struct WaveFile {
    int32_t sampleNumber = 0; // > 0 a fixed slot; else minus the entry's position
    int32_t volume = 100;
    int32_t word = 0; // versions 2 and 3, unused
    float range = 5.0f;
    float secondRange = 50.0f;
    float frequency = 0.0f;
    uint32_t flags = 0;
    std::string image; // a RIFF WAVE image; empty when the record carries none
};

// A loose wave file: sample number 0, the defaults, the whole file as its image.
WaveFile LooseWaveFile(std::string bytes);

struct CueMember {
    int32_t sample = 0; // 0 or below: the entry at that negated position of the same bank
    int32_t weight = 0; // random cues: weight; sequence cues: play count, -1 a loop point
    friend bool operator==(const CueMember&, const CueMember&) = default;
};

constexpr uint32_t kCueRandom = 1; // flag bit 0: pick one member by weight

struct CueRecord {
    uint32_t flags = 0;
    std::vector<CueMember> members;
};

constexpr int32_t kWaveRecordVersion = 3;
constexpr int32_t kCueRecordVersion = 1;

// False for a wrong magic, a newer version or a record that does not fit.
bool ReadWaveRecord(std::string_view record, WaveFile& out);
bool ReadCueRecord(std::string_view record, CueRecord& out);

// Version 3, record size the first multiple of 4 at or above the image's
// length + 48, zero padding to that size.
void WriteWaveRecord(ByteWriter& out, const WaveFile& wave);
// Version 1, record size members x 8 + 40, zero padding to that size.
void WriteCueRecord(ByteWriter& out, const CueRecord& cue);
