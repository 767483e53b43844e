#pragma once
// The server class of the president.

// Registers the class's maker with the server factory.
void RegisterServerPresident();
