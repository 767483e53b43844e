// The capture-the-flag marker of a team: the shared flag model, the marker
// built from it and its drawing.
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/camera.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Tv/client/teamhooks.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/resourcecache.h"
#include "core/clock.h"

AwModel* FlagModel = nullptr;

namespace {

constexpr const char* kFlagFile = "objects/tf_flag.qif";
constexpr const char* kFlagHierarchy = "tf_flag";
constexpr int32_t kCaptureTheFlag = 5;

// Takes the flag model from the qifs directory again; an empty model when the
// file or its hierarchy is missing. The cache keeps the model for the run, so
// markers built from an earlier copy keep their animation.
void LoadFlagModel() {
    if (FlagModel) FlagModel->ReleaseUse();
    FlagModel = ResourceCache::GetModel(kFlagFile, kFlagHierarchy);
    ResourceCache::ReleaseFiles();
    if (!FlagModel) FlagModel = new AwModel;
}

} // namespace

void TeamRecord::CreateFlag(const Vector3& p) {
    FlagHome = FlagPosition = p;
    LoadFlagModel();
    ReleaseFlagMarker();
    FlagMarker = new AwObject(*FlagModel, true);
    FlagMarker->SetPositionVector(FlagPosition);
    FlagMarker->SetQuaternion(Quaternion{0, 0, 0, 1});
    FlagTime = GameClock.GetTime32();
    FlagMarker->MovementStart = FlagTime;
    FlagMarker->PlaySequence(0, kUnitSpeed, -1, FlagTime, nullptr, 0, false);
    FlagPresent = 1;
    FlagCarried = 0;
}

void TeamRecord::ReleaseFlagMarker() {
    if (FlagMarker) FlagMarker->Release();
    FlagMarker = nullptr;
}

void TeamRecord::PlaceMarker(float x, float y, float z, uint32_t time) {
    FlagPosition = Vector3(x, y, z);
    if (!FlagMarker) return;
    FlagMarker->SetPositionVector(FlagPosition);
    FlagTime = time;
    FlagMarker->MovementStart = time;
}

void TeamRecord::DrawFlag() { DrawFlagAt(FlagTime); }

void TeamRecord::DrawFlagAt(uint32_t time) {
    if (!FlagMarker) return;
    FlagMarker->QueueForDrawing(static_cast<int32_t>(time), AwCurrentCamera, TeamLights, GlobalMaterials[kBaseMaterial],
                                0, kDrawFromList, nullptr, nullptr, nullptr);
}

void TeamTable::DrawFlags() {
    if (CurrentTeamGameSettings().GameType != kCaptureTheFlag) return;
    const uint32_t now = GameClock.GetTime32();
    for (int32_t i = 0; i < static_cast<int32_t>(TeamCount); ++i) {
        TeamRecord* team = GetTeam(i);
        if (team->FlagPresent && !team->FlagCarried) team->DrawFlagAt(now);
    }
}
