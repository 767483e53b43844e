#pragma once
// The sound manager as the engine's sound service: model files load their
// sounds by name through it, and animation frame sounds play on voices that
// follow their object. The program installs it with InstallSoundService.

class AwSoundService;

// Serves through SoundSystemInstance, whichever manager it is at the call
// (nothing loads or plays while there is none).
AwSoundService& ManagerSoundService();
