#pragma once
// The server class of centipedes and their segments.

// Registers the class's maker with the server factory.
void RegisterServerCentipede();
