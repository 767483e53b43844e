#pragma once
// The server class of track objects (lifts, doors).

// Registers the class's maker with the server factory.
void RegisterServerTrackObject();
