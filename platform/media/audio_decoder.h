#pragma once
// Decoded audio from a file: the source that CD tracks and music streams
// are read from. The decoder itself lives with the real backends (FFmpeg,
// registered at start-up); without one registered nothing decodes, so there
// is no CD and no stream opens. Tests register their own.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace plat {

// What a decoder delivers: 16-bit signed interleaved PCM at `rate` with
// `channels` (1 or 2); `frames` is the length at that rate (0 when the file
// does not tell). A file with a video stream also gives its frame rate
// (videoRate / videoRateScale frames a second) and, when known, its frame count.
struct AudioStreamInfo {
    uint32_t rate = 0;
    uint16_t channels = 0;
    uint64_t frames = 0;
    uint32_t videoRate = 0;
    uint32_t videoRateScale = 1;
    uint64_t videoFrames = 0;
};

// The output a caller wants; 0 keeps the file's own rate, and channels are
// the file's own brought to 1 or 2.
struct AudioOutputRequest {
    uint32_t rate = 0;
    uint16_t channels = 0;
};

class AudioDecoder {
public:
    virtual ~AudioDecoder() = default;

    virtual const AudioStreamInfo& Info() const = 0;
    // Reads up to `frames` frames into out; the number read, 0 at the end,
    // -1 when the file cannot be decoded further.
    virtual int64_t Read(int16_t* out, uint32_t frames) = 0;
    // The next Read starts at this frame (of the output rate); false on failure.
    virtual bool Seek(uint64_t frame) = 0;
};

// Opens a host path; null when the content is not a file with an audio
// stream. The format comes from the content, never from the name.
using AudioDecoderFactory =
    std::function<std::unique_ptr<AudioDecoder>(const std::string& hostPath, const AudioOutputRequest& request)>;

// Installs the decoder (null removes it). Safe from any thread.
void RegisterAudioDecoder(AudioDecoderFactory factory);

bool AudioDecoderRegistered();
// Counts registrations, so a cached reading of files can tell that it is stale.
uint32_t AudioDecoderGeneration();

// Opens a data name (resolved like every file name) with the registered
// decoder; null without a decoder, without the file or without audio.
std::unique_ptr<AudioDecoder> OpenAudioDecoder(std::string_view name, const AudioOutputRequest& request = {});

} // namespace plat
