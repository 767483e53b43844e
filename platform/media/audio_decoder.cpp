#include "platform/media/audio_decoder.h"

#include <atomic>
#include <mutex>

#include "platform/files.h"
#include "platform/paths.h"

namespace plat {
namespace {

struct Registry {
    std::mutex mutex;
    AudioDecoderFactory factory;
    std::atomic<uint32_t> generation{0};
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

void RegisterAudioDecoder(AudioDecoderFactory factory) {
    Registry& registry = TheRegistry();
    std::lock_guard hold(registry.mutex);
    registry.factory = std::move(factory);
    registry.generation.fetch_add(1);
}

bool AudioDecoderRegistered() {
    Registry& registry = TheRegistry();
    std::lock_guard hold(registry.mutex);
    return static_cast<bool>(registry.factory);
}

uint32_t AudioDecoderGeneration() { return TheRegistry().generation.load(); }

std::unique_ptr<AudioDecoder> OpenAudioDecoder(std::string_view name, const AudioOutputRequest& request) {
    AudioDecoderFactory factory;
    {
        Registry& registry = TheRegistry();
        std::lock_guard hold(registry.mutex);
        factory = registry.factory;
    }
    if (!factory) return nullptr;
    const std::string path = ResolvePath(name);
    const uint32_t attributes = GetFileAttributes(path);
    if (attributes == kInvalidAttributes || (attributes & kAttrDirectory)) return nullptr;
    std::unique_ptr<AudioDecoder> decoder = factory(path, request);
    if (decoder && (decoder->Info().rate == 0 || decoder->Info().channels == 0)) return nullptr;
    return decoder;
}

} // namespace plat
