#include "sound/sound_startup.h"

#include "sound/sound_devices.h"
#include "sound/sound_drivers.h"

SoundSystem* StartSoundSystem(bool soundOff) {
    SoundDeviceList devices;
    devices.Enumerate();
    const SoundDeviceEntry* device = devices.ChooseBest();
    const bool off = soundOff || !device || device->caps.primaryBuffers == 0;
    DirectSoundObject = SoundCreateDirectSound(device ? device->GuidPointer() : nullptr);
    SoundSystemInstance = CreateSoundSystem(off, device);
    return SoundSystemInstance;
}
