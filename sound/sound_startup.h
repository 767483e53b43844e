#pragma once
// The sound start-up of the program entry: the devices are enumerated and
// one chosen; sound is off with "-n", without a device, or when the device
// has no primary buffer; the device object is made and the manager over it.
// The caller then loads "UI.dat" in the sounds data directory.

class SoundSystem;

// Sets DirectSoundObject and SoundSystemInstance, and returns the manager.
SoundSystem* StartSoundSystem(bool soundOff);
