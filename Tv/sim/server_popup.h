#pragma once
// The server class of popups and turrets.

// Registers the class's maker with the server factory.
void RegisterServerPopup();
