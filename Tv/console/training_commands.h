#pragma once
// Training and debugging tools: training texts, actor armour, sounds, vision
// cones and the particle tester. Main thread.

#include <cstdint>

// The training text `number` of the current training area (GameOptions.TrainingArea
// 1..6); null for a number below 1, another area or an empty entry.
const char* TvTrainingText(int32_t number);
// A word naming a particle type ("explosion" 5, "bigexplosion" 6, "smoke" 0,
// "steam" 1, "trail" 9, "snow" 2, "rain" 11, "shot" 4, "fire" 3, "sparks"
// 12, any case); anything else prints "Invalid particle type specified." and gives 5.
int32_t TvParseParticleType();

// Vision cones drawn by the HUD.
extern uint8_t VisionConesShown;
// The handle slot of the last environmental sound started.
extern int32_t EnvironmentalSoundHandle;

uint8_t TvCmdSetTrainingArea();
uint8_t TvCmdTrainingText();
uint8_t TvCmdGetActorArmour();
uint8_t TvCmdSetActorArmour();
uint8_t TvCmdPlaySound();
uint8_t TvCmdPlayEnvironmentalSound();
uint8_t TvCmdVision();
uint8_t TvCmdParticleTester();
