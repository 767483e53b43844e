#include "Tv/server/client_service_hooks.h"

namespace {
ClientServiceHooks installed;
}

void SetClientServiceHooks(const ClientServiceHooks& hooks) { installed = hooks; }

void TvRefreshCursorMode(bool forced) {
    if (installed.refreshCursorMode) installed.refreshCursorMode(forced);
}

bool TvIsUpgradeScreenOpen() { return installed.isUpgradeScreenOpen && installed.isUpgradeScreenOpen(); }

void TvOpenNetworkGameMenu() {
    if (installed.openNetworkGameMenu) installed.openNetworkGameMenu();
}

void TvReleaseHudPanels() {
    if (installed.releaseHudPanels) installed.releaseHudPanels();
}

void TvRebuildCharacterPlates() {
    if (installed.rebuildCharacterPlates) installed.rebuildCharacterPlates();
}

void TvShowDamageFraction(ClientObject* object, float fraction) {
    if (installed.showDamageFraction) installed.showDamageFraction(object, fraction);
}

void TvRaiseCursorAlert() {
    if (installed.raiseCursorAlert) installed.raiseCursorAlert();
}

void TvReleasePresidentPanels() {
    if (installed.releasePresidentPanels) installed.releasePresidentPanels();
}

void TvShowGameResult() {
    if (installed.showGameResult) installed.showGameResult();
}

void TvSelectNextSquadMember() {
    if (installed.selectNextSquadMember) installed.selectNextSquadMember();
}

void TvSelectPreviousSquadMember() {
    if (installed.selectPreviousSquadMember) installed.selectPreviousSquadMember();
}

void TvOpenStatusWindow() {
    if (installed.openStatusWindow) installed.openStatusWindow();
}

void TvOpenParticleTester(const Vector3& position, int32_t type) {
    if (installed.openParticleTester) installed.openParticleTester(position, type);
}

void TvStartNextLevel() {
    if (installed.startNextLevel) installed.startNextLevel();
}

void TvUpdateMenuRobots(int32_t choice) {
    if (installed.updateMenuRobots) installed.updateMenuRobots(choice);
}

void TvTrackCameraObject(ClientObject* object) {
    if (installed.trackCameraObject) installed.trackCameraObject(object);
}

void TvStartCameraTrack(const Vector3 (&path)[4], float seconds, uint64_t startTicks) {
    if (installed.startCameraTrack) installed.startCameraTrack(path, seconds, startTicks);
}

void TvSetCameraScriptMode(uint8_t on) {
    if (installed.setCameraScriptMode) installed.setCameraScriptMode(on);
}

void TvEndCutscene() {
    if (installed.endCutscene) installed.endCutscene();
}

void TvHandleDebugKey(uint32_t keyCode, uint32_t modifiers) {
    if (installed.handleDebugKey) installed.handleDebugKey(keyCode, modifiers);
}
