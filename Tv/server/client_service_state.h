#pragma once
// The plain state the client shares with the in-game interface, the front end
// and the application shell, kept here until those subsystems take it over:
// the selection, the pause toggle, the camera's focus and zoom, the client's
// lobby values and the timed team effect. Main thread only, except where
// shell_state.h's flags say otherwise. Their calls are client_service_hooks.h's.

#include <cstdint>

#include "core/maths.h"

class ClientObject;

// The selection: a set of client objects, kept by id so that an object
// removed while selected leaves nothing dangling.
void TvSelectObject(const ClientObject* object);
void TvDeselectObject(const ClientObject* object);
void TvClearSelection();
bool TvIsObjectSelected(const ClientObject* object);
int32_t TvSelectedObjectCount();
// The id of the first object selected of those still selected; -1 when none.
int32_t TvFirstSelectedObjectId();

// What the status window shows (2: the watched actor).
extern int32_t StatusWindowMode;

// The player's hints setting (the front end's user settings will own it); on.
extern uint8_t HintsOn;

// The pause toggle over GamePaused (shell_state.h).
void TvPauseGame();
void TvResumeGame();
bool TvIsGamePaused();

// The overhead camera.
extern Vector3 CameraFocus;
extern float CameraZoom;          // distance from the focus
extern float CameraRequestedZoom; // the zoom the camera moves toward

// The interface's pending-command byte (cleared at the end of a multiplayer game).
extern uint8_t InterfacePendingCommand;

// The interface's timed team effect (messages 153 and 154): team -1 and the
// largest float when none runs; the end in RealClock seconds.
struct TimedTeamEffectState {
    int32_t Team = -1;
    float EndTime = 3.4028235e38f;
};
extern TimedTeamEffectState TimedTeamEffect;

// The front end's lobby as the client sees it (the shared tables are
// lobby_state.h's and game_settings.h's).
struct ClientLobbyState {
    int32_t SessionSetup[6] = {};  // the host's session set-up (first 143)
    int32_t SetupValue = 0;        // the int at 108 of the first 143
    int32_t OwnChoices[5] = {};    // the receiver's own five robot choices
    uint8_t ReceivedSetup = 0;     // a set-up arrived since the lobby opened
    uint8_t LocalReady = 0;        // the receiver's own ready flag
    uint8_t SettingsByte = 0;      // the byte at 24 of 144
    int32_t StartCounter = 0;      // launch: the start counter
    uint8_t StartGame = 0;         // launch: set by message 0 outside play
    int32_t OwnPlayerIndex = 0;    // the receiver's 1-based player number (200); 0 unknown
    int32_t OwnPlayerValue = 0;    // its PlayerTable value
    float PlayerTableTime = 0.0f;  // RealClock seconds of the last player table
    int32_t StartPlayerCount = 0;  // the player-count field of the last start message (0, 1)
    uint8_t SettingsReceived = 0;  // the briefing waits for message 162
};
extern ClientLobbyState ClientLobby;

// Back to the values above (a new lobby opens).
void TvResetClientLobby();
