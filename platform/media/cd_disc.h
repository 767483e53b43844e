#pragma once
// The disc in the CD drive, read from its folder: files TrackNN.* (01 to 99)
// make tracks 1 to the highest NN. A file that decodes as audio is an audio
// track as long as its sound (rounded up to whole frames); any other number
// is a data track as long as its file in 2,352-byte sectors (no file: empty).
// Tracks follow each other without gaps from 0:00:00.

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// The drive plays 16-bit stereo at 44,100 Hz: 588 sample frames a CD frame.
constexpr uint32_t kCdSampleRate = 44100;
constexpr uint16_t kCdChannels = 2;
constexpr uint32_t kCdSamplesPerFrame = 588;
constexpr uint32_t kCdSectorBytes = 2352;

struct CdTrack {
    bool audio = false;
    uint32_t start = 0; // CD frames from the disc's start
    uint32_t length = 0;
    std::string path; // host path of its file, empty for a number without one
};

class CdDisc {
public:
    // No folder, no track files in it, or no decoder: no disc.
    static CdDisc Read(const std::string& folder);
    // Changes whenever Read would see something else (files, sizes, times, the decoder).
    static std::string Fingerprint(const std::string& folder);

    bool Present() const { return !tracks_.empty(); }
    int TrackCount() const { return static_cast<int>(tracks_.size()); }
    // Tracks 1 to TrackCount().
    const CdTrack& Track(int n) const { return tracks_[static_cast<size_t>(n - 1)]; }
    uint32_t Length() const;
    // The track holding a position; at the disc's end, the last track.
    int TrackAt(uint32_t position) const;

private:
    std::vector<CdTrack> tracks_;
};

} // namespace plat
