#pragma once
// What the client side calls of the in-game interface, the front end and the
// application shell before those exist. Their owners install the handlers at
// start-up; until then every call does nothing and every query answers as if
// the screen it asks about were closed. Main thread only.
//
// The plain state these subsystems share with the client (selection, pause,
// camera focus, lobby values, the timed team effect) is client_service_state.h's.

#include <cstdint>

#include "core/maths.h"

class ClientObject;

struct ClientServiceHooks {
    // In-game interface.
    // Recomputes the cursor's command mode (a bot's attack order finished).
    void (*refreshCursorMode)(bool forced) = nullptr;
    // True while the upgrade screen (the equipment view) is open.
    bool (*isUpgradeScreenOpen)() = nullptr;
    // Opens the network game menu (the end of a multiplayer game).
    void (*openNetworkGameMenu)() = nullptr;
    // Releases the HUD's panels (a new level starts while playing).
    void (*releaseHudPanels)() = nullptr;
    // Rebuilds the character plates (an object joined the local team).
    void (*rebuildCharacterPlates)() = nullptr;
    // The status panel of the object's inventory shows the damage just taken
    // as a fraction of its maximum health.
    void (*showDamageFraction)(ClientObject* object, float fraction) = nullptr;
    // The 3D cursor's alert (an object notice).
    void (*raiseCursorAlert)() = nullptr;
    // Releases and forgets the four president-mode panels (a team scored).
    void (*releasePresidentPanels)() = nullptr;
    // Shows the game's result once the winners are known.
    void (*showGameResult)() = nullptr;
    // The selection moves to the next, or the previous, member of the local squad.
    void (*selectNextSquadMember)() = nullptr;
    void (*selectPreviousSquadMember)() = nullptr;
    // Opens the status window.
    void (*openStatusWindow)() = nullptr;
    // Opens the particle tester at `position` with particle type `type`.
    void (*openParticleTester)(const Vector3& position, int32_t type) = nullptr;

    // Front end.
    // Refreshes the lobby screen's robot models for choice `choice` (1 to 20).
    void (*updateMenuRobots)(int32_t choice) = nullptr;
    // Leaves the level and starts the next one of the mission list.
    void (*startNextLevel)() = nullptr;

    // Application shell: the camera controller.
    // The camera's targets are released and `object` becomes its only target.
    void (*trackCameraObject)(ClientObject* object) = nullptr;
    // The cutscene camera travels the four points in `seconds` from RealClock time `startTicks`.
    void (*startCameraTrack)(const Vector3 (&path)[4], float seconds, uint64_t startTicks) = nullptr;
    void (*setCameraScriptMode)(uint8_t on) = nullptr;
    // Ends the cutscene camera.
    void (*endCutscene)() = nullptr;
    // A key typed into the open console that gives no text (the debugging keys).
    void (*handleDebugKey)(uint32_t keyCode, uint32_t modifiers) = nullptr;
};

// Installs the handlers (a default-constructed record removes them).
void SetClientServiceHooks(const ClientServiceHooks& hooks);

void TvRefreshCursorMode(bool forced);
bool TvIsUpgradeScreenOpen();
void TvOpenNetworkGameMenu();
void TvReleaseHudPanels();
void TvRebuildCharacterPlates();
void TvShowDamageFraction(ClientObject* object, float fraction);
void TvRaiseCursorAlert();
void TvReleasePresidentPanels();
void TvShowGameResult();
void TvSelectNextSquadMember();
void TvSelectPreviousSquadMember();
void TvOpenStatusWindow();
void TvOpenParticleTester(const Vector3& position, int32_t type);
void TvUpdateMenuRobots(int32_t choice);
void TvStartNextLevel();
void TvTrackCameraObject(ClientObject* object);
void TvStartCameraTrack(const Vector3 (&path)[4], float seconds, uint64_t startTicks);
void TvSetCameraScriptMode(uint8_t on);
void TvEndCutscene();
void TvHandleDebugKey(uint32_t keyCode, uint32_t modifiers);
