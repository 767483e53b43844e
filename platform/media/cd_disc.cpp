#include "platform/media/cd_disc.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/media/audio_decoder.h"

namespace plat {
namespace {

// Files named TrackNN.* of the folder, by track number, in name order.
std::map<int, std::vector<FindData>> TrackFiles(const std::string& folder) {
    std::map<int, std::vector<FindData>> files;
    FileFinder finder;
    FindData data;
    for (bool found = finder.First(folder + "/Track??.*", data); found; found = finder.Next(data)) {
        const char tens = data.name[5], units = data.name[6];
        if (tens < '0' || tens > '9' || units < '0' || units > '9' || (data.attributes & kAttrDirectory)) continue;
        const int n = (tens - '0') * 10 + (units - '0');
        if (n > 0) files[n].push_back(data);
    }
    for (auto& [n, list] : files)
        std::sort(list.begin(), list.end(), [](const FindData& a, const FindData& b) { return a.name < b.name; });
    return files;
}

uint32_t CeilDiv(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

// Sample frames of a decoder's whole sound, counted by decoding when the file does not tell.
uint64_t SoundFrames(AudioDecoder& decoder) {
    if (decoder.Info().frames > 0) return decoder.Info().frames;
    std::vector<int16_t> scratch(size_t{4096} * decoder.Info().channels);
    uint64_t frames = 0;
    for (int64_t n; (n = decoder.Read(scratch.data(), 4096)) > 0;) frames += static_cast<uint64_t>(n);
    return frames;
}

} // namespace

CdDisc CdDisc::Read(const std::string& folder) {
    CdDisc disc;
    // Without a decoder nothing on a disc can be read: there is no CD.
    if (!AudioDecoderRegistered()) return disc;
    const std::map<int, std::vector<FindData>> files = TrackFiles(folder);
    if (files.empty()) return disc;
    const int count = files.rbegin()->first;
    uint32_t start = 0;
    for (int n = 1; n <= count; ++n) {
        CdTrack track;
        track.start = start;
        if (const auto it = files.find(n); it != files.end()) {
            for (const FindData& file : it->second) {
                const std::string path = folder + "/" + file.name;
                if (std::unique_ptr<AudioDecoder> decoder =
                        OpenAudioDecoder(path, {kCdSampleRate, kCdChannels})) {
                    track.audio = true;
                    track.path = path;
                    track.length = CeilDiv(SoundFrames(*decoder), kCdSamplesPerFrame);
                    break;
                }
            }
            if (!track.audio) {
                track.path = folder + "/" + it->second.front().name;
                track.length = CeilDiv(it->second.front().size, kCdSectorBytes);
            }
        }
        start += track.length;
        disc.tracks_.push_back(track);
    }
    return disc;
}

std::string CdDisc::Fingerprint(const std::string& folder) {
    std::string print = std::to_string(AudioDecoderGeneration());
    for (const auto& [n, list] : TrackFiles(folder))
        for (const FindData& file : list)
            print += "|" + file.name + ":" + std::to_string(file.size) + ":" + std::to_string(file.lastWriteTime);
    return print;
}

uint32_t CdDisc::Length() const { return tracks_.empty() ? 0 : tracks_.back().start + tracks_.back().length; }

int CdDisc::TrackAt(uint32_t position) const {
    for (int n = 1; n <= TrackCount(); ++n) {
        const CdTrack& t = Track(n);
        if (position >= t.start && position < t.start + t.length) return n;
    }
    return TrackCount();
}

} // namespace plat
