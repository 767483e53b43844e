#pragma once
// The front end's cutscene builder, reached from the model loader through a
// hook: the front end installs it at start-up; until then building a
// cutscene does nothing.

#include "core/maths.h"

class Cutscene; // the front end's cutscene object
class CutsceneChunk;

// Fills `cutscene` from the CUTSHEAD chunk's users, tracks, points and
// events, placing chunk positions at integer x worldScale + origin.
using CutsceneBuilder = void (*)(Cutscene* cutscene, const CutsceneChunk& chunk, float worldScale, Vector3 origin);

// Returns the builder it replaces (null for none).
CutsceneBuilder InstallCutsceneBuilder(CutsceneBuilder builder);

// Calls the installed builder; false when none is installed, so nothing was built.
bool TvBuildCutscene(Cutscene* cutscene, const CutsceneChunk& chunk, float worldScale, Vector3 origin);
