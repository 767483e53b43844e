#include "Tv/server/client_service_state.h"

#include <algorithm>
#include <vector>

#include "Tv/client/client_objects.h"
#include "Tv/server/shell_state.h"

Vector3 CameraFocus{0.0f, 0.0f, 0.0f};
float CameraZoom = 0.0f;
float CameraRequestedZoom = 0.0f;
uint8_t InterfacePendingCommand = 0;
int32_t StatusWindowMode = 0;
uint8_t HintsOn = 1;
TimedTeamEffectState TimedTeamEffect;
ClientLobbyState ClientLobby;

namespace {
std::vector<int32_t> selectedIds;
}

void TvSelectObject(const ClientObject* object) {
    if (object && !TvIsObjectSelected(object)) selectedIds.push_back(object->GetId());
}

void TvDeselectObject(const ClientObject* object) {
    if (object) std::erase(selectedIds, object->GetId());
}

void TvClearSelection() { selectedIds.clear(); }

bool TvIsObjectSelected(const ClientObject* object) {
    return object && std::find(selectedIds.begin(), selectedIds.end(), object->GetId()) != selectedIds.end();
}

int32_t TvSelectedObjectCount() { return static_cast<int32_t>(selectedIds.size()); }

int32_t TvFirstSelectedObjectId() { return selectedIds.empty() ? -1 : selectedIds.front(); }

void TvPauseGame() { GamePaused = 1; }

void TvResumeGame() { GamePaused = 0; }

bool TvIsGamePaused() { return GamePaused == 1; }

void TvResetClientLobby() { ClientLobby = ClientLobbyState{}; }
