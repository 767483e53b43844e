#pragma once
// The sample models, built with the chunk classes and saved as chunk files.

#include <string>

// Each writes one file into `directory`; false when it cannot be saved.
bool WriteBoxModel(const std::string& directory);   // Box.qif, textured with crate.bmp
bool WriteCrateTexture(const std::string& directory); // crate.bmp, 16 x 16 checks
bool WriteFlagModel(const std::string& directory);  // objects/tf_flag.qif: tf_flag (pole, cloth), one sequence
// Robot.qif: robot (body, turret, muzzle, arms, mount points) and drone; idle and walk.
bool WriteRobotModel(const std::string& directory);
// Emplacement.qif: emplacement (base, gun, barrel, muzzle) lowered (19), rising (20),
// raised (0), with the elevation (5) and yaw (12) channels and the gun's turn (13).
bool WriteEmplacementModel(const std::string& directory);
// Lift.qif: LiftPlatform, a slab whose floor tiles carry the lift's polygon class.
bool WriteLiftModel(const std::string& directory);
// Level.qif: the level object (floor tiles, walls, a gap, a ramp to a platform,
// a hole for the lift between landing tiles), actor markers, a sky, a camera
// plane, patrol, sound, capture-the-flag, target, exit and president dummies.
bool WriteLevelModel(const std::string& directory);
