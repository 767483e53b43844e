#pragma once
// Sound backends and their choice. A backend takes frames from the mixer in
// the primary buffer's format and reports the device's capabilities.
// Backends other than the built-in silent one register a factory at
// start-up; TAVRIN_AUDIO names the one to use ("sdl" when unset), and the
// silent backend stands in when that name is unknown or its factory cannot
// start (no audio device).

#include <functional>
#include <memory>
#include <string>

#include "platform/dsound/sound_types.h"

namespace plat {

class Mixer;

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    virtual SoundCaps Caps() const = 0;
    // Starts taking frames of this format from the mixer; false when the
    // device refuses it. Called without the mixer's lock.
    virtual bool Start(Mixer& mixer, const WaveFormat& format) = 0;
    // Stops taking frames; the mixer is not touched afterwards. Called without the mixer's lock.
    virtual void Stop() = 0;
    // Called with the mixer's lock held before every operation of the layer:
    // a backend without a clock of its own takes the frames that are due.
    virtual void CatchUpLocked(Mixer&) {}
};

// A factory answers null when its backend cannot run here.
using AudioBackendFactory = std::function<std::shared_ptr<AudioOutput>()>;

void RegisterAudioBackend(const std::string& name, AudioBackendFactory factory);

// Makes the backend TAVRIN_AUDIO asks for and installs it.
std::shared_ptr<AudioOutput> SelectAudioBackend();

// The backend the next sound device uses (tests install their own).
void InstallAudioBackend(std::shared_ptr<AudioOutput> output);
// The installed backend; selected on first use when none was installed.
std::shared_ptr<AudioOutput> CurrentAudioBackend();

} // namespace plat
