#pragma once
// The level's cutscenes as the `cameratrack` definition makes them: the front
// end installs a factory of its level cutscene objects; the definition gives
// a new one its two particle generators and has the level's model file fill
// it (AwBuildCutscene), deleting it when that fails. Until a factory is
// installed no cutscene is made.

#include <memory>

#include "Tv/defs/definitionrecords.h"

// The front end's cutscene object (the cutscene builder fills it).
class Cutscene {
public:
    virtual ~Cutscene() = default;
};

// A new level cutscene holding the generators (either may be null); it lists
// itself with the front end once it is filled.
using LevelCutsceneFactory = Cutscene* (*)(std::unique_ptr<ParticleGeneratorRecord> first,
                                           std::unique_ptr<ParticleGeneratorRecord> second);

// Returns the factory it replaces (null: none).
LevelCutsceneFactory InstallLevelCutsceneFactory(LevelCutsceneFactory factory);

// Null, the generators freed, when no factory is installed.
Cutscene* TvNewLevelCutscene(std::unique_ptr<ParticleGeneratorRecord> first,
                             std::unique_ptr<ParticleGeneratorRecord> second);
