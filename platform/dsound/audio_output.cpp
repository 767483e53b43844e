#include "platform/dsound/audio_output.h"

#include "platform/backend_registry.h"
#include "platform/dsound/silent_output.h"

namespace plat {
namespace {

BackendRegistry<AudioOutput>& TheRegistry() {
    static BackendRegistry<AudioOutput> registry("TAVRIN_AUDIO", "sdl",
                                                 [] { return std::make_shared<SilentOutput>(); });
    return registry;
}

} // namespace

void RegisterAudioBackend(const std::string& name, AudioBackendFactory factory) {
    TheRegistry().Register(name, std::move(factory));
}

std::shared_ptr<AudioOutput> SelectAudioBackend() { return TheRegistry().Select(); }

void InstallAudioBackend(std::shared_ptr<AudioOutput> output) { TheRegistry().Install(std::move(output)); }

std::shared_ptr<AudioOutput> CurrentAudioBackend() { return TheRegistry().Current(); }

} // namespace plat
