#pragma once
// The server class of blockers.

// Registers the class's maker with the server factory.
void RegisterServerBlocker();
