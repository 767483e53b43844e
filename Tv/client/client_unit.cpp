#include "Tv/client/client_unit.h"

#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_sounds.h"
#include "Tv/client/collisionvolume.h"
#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/game_settings.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "sound/music_moods.h"

int32_t IdleCountdown = 1;

namespace {

constexpr int32_t kMusicEnemyTeam = 2;
constexpr int32_t kSoundMineArmed = 101;
constexpr uint32_t kRenderHidden = 0x1000000; // drawn as seen through the recon view
constexpr Real kMoverValue = 512.0f;          // the mover's start value (the volume's)
constexpr Real kTaperTop = 0.3f;              // top radius of the collision volume over the bottom one

// The flags a mover of a player's unit loses and gains.
constexpr uint32_t kMoverStartBit = 0x40000;
constexpr uint32_t kMoverPlayerBit = 0x80000;

// Units keep their 3D object out of the collision world; the local team's also
// ignore the fog.
int32_t UnitConstructionFlags(int32_t team) { return team == LocalTeam ? kClientFlagsLocalUnit : kClientFlagsUnit; }

const CharacterRecord& CharacterOf(const ObjectDefinition* definition) {
    static const CharacterRecord none;
    return definition && definition->character ? *definition->character : none;
}

} // namespace

ClientUnit::ClientUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                       const Quaternion& orientation, int32_t id)
    : ClientObject(team, definition, position, orientation, UnitConstructionFlags(team), id),
      Character(&CharacterOf(definition)), TargetPoint(Position), MoveDestination(Position) {
    UnitSightRange = Character->sightRange;
    FirstPersonRange = Character->initialFirstPersonRange;
    AlertRadius = Character->alertRadius;
    SightAngle = Character->sightAngle;
    WalkSpeed16 = Character->walkingSpeed;
    Cloaked = definition && definition->aiCore == kAiCoreMine;
    ComputeSpeed();
    ComputeCentreOffset();
}

ClientUnit::~ClientUnit() {
    // The base destructor detaches only as the base: the fog's defogger entry and the cloak models go here.
    Detach();
    ShownOrders.Clear();
    while (!MountedItems.IsEmpty()) UnmountItem(MountedItems.Front());
    if (Team == kMusicEnemyTeam) MusicCountKill();
    if (CustomisationModel) CustomisationModel->ReleaseUse();
    CustomisationModel = nullptr;
    if (UnitMover && LevelWorldInstance) {
        RwLockHold hold(LevelWorldLock(), true);
        LevelWorldInstance->RemoveMover(UnitMover);
    }
    UnitMover = nullptr;
    if (TargetMarker) TargetMarker->Release();
    if (GlowFan) GlowFan->Release();
    if (GlowQuad) GlowQuad->Release();
    TargetMarker = GlowFan = GlowQuad = nullptr;
    delete UnitInventory;
    UnitInventory = nullptr;
}

void ClientUnit::ComputeSpeed() {
    Speed = static_cast<Real>(WalkSpeed16) / 65536.0f * Character->strideLength;
    if (Character->turningSpeed != 0) {
        const Real radius = Speed / (Character->turningSpeed * RadiansPerAngleUnit);
        TurnRadiusSquared = radius * radius;
    } else {
        TurnRadiusSquared = 0;
    }
}

void ClientUnit::ComputeCentreOffset() {
    const AwModel* model = Definition ? Definition->model : nullptr;
    if (model && model->HasBounds) {
        CentreOffset = (model->FirstCorner + model->SecondCorner) * 0.5f;
    } else {
        const Real height = Character->boundsHeight != 0 ? Character->boundsHeight : Extent.y;
        CentreOffset = Vector3(0, -0.5f * height, 0);
    }
    if (Character->size != 1.0f && Character->size != 0) CentreOffset = CentreOffset * Character->size;
}

Vector3 ClientUnit::GetCentre() const { return Position + CentreOffset; }

Real ClientUnit::GetHealthFraction() const {
    if (Health <= 0 || Character->strength <= 0) return 0;
    return Health / Character->strength;
}

bool ClientUnit::IsAlive() const { return !Dead && !Dying; }

const CharacterRecord* ClientUnit::GetCharacterRecord() const { return Character; }

CollisionPolygon* ClientUnit::GetFloorPolygon() const { return UnitMover ? UnitMover->floor : nullptr; }

bool ClientUnit::HasCustomisation() const { return Character->customisationModel != nullptr; }

void ClientUnit::SetTeam(int32_t team) {
    const bool toPlayer = TeamTable::IsPlayerTeam(team);
    if (Selectable) {
        LocalTeamObjects.RemoveValue(this);
        Selectable = 0;
    }
    if (team == LocalTeam || (CurrentGameType == kGameCooperative && toPlayer)) {
        if (!IsDefogger) TvAddDefogger(this);
        IsDefogger = 1;
    }
    if (!TeamTable::IsPlayerTeam(Team) && toPlayer) {
        OrderMode = 6;
        StandingFlag = 0;
        if (UnitMover) UnitMover->moveMask = (UnitMover->moveMask & ~kMoverStartBit) | kMoverPlayerBit;
        if (!UnitInventory) UnitInventory = new Inventory(Character->weapon, Definition);
        if (!CustomisationModel && Character->customisationModel) {
            CustomisationModel = Character->customisationModel;
            CustomisationModel->AddUse();
        }
    }
    Team = team;
}

void ClientUnit::JoinLocalTeam() {
    if (Selectable) return;
    Selectable = 1;
    if (Team == LocalTeam && !LocalTeamObjects.Contains(this)) LocalTeamObjects.PushBack(this);
}

void ClientUnit::Start(uint64_t ticks, Real seconds) {
    if (LevelWorldInstance && !UnitMover) {
        const Real radius = Character->collisionRadius;
        RwLockHold hold(LevelWorldLock(), true);
        Vector3 at = Position;
        UnitMover = LevelWorldInstance->AddMover(
            at, new CollisionVolume(Character->boundsHeight, radius, kTaperTop * radius), static_cast<uint32_t>(ticks));
    }
    const int32_t team = Team;
    Team = 0; // so that joining a player team counts as a change
    SetTeam(team);
    ClientObject::Start(ticks, seconds);
}

void ClientUnit::DropReferences() { StopVoice(); }

void ClientUnit::Reset() {
    Cloaked = 0;
    DrawVisionCone = DrawHearingRange = 0;
    State = 0;
    const bool mine = Definition && Definition->aiCore == kAiCoreMine;
    if (!mine && !IsPopup()) PlayAnimation(kUnitSequenceBase, kUnitSpeed, -1, GameClock.GetTime32(), nullptr, 0);
    if (mine && !Armed) {
        PlaySoundAtObject(kSoundMineArmed, *this);
        Armed = 1;
    }
}

void ClientUnit::SyncMotionRecord() {
    if (UnitMover) UnitMover->position = Position;
}

bool ClientUnit::PlayAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                               uint32_t flags) {
    if (CloakModel) CloakModel->PlaySequence(sequence, speed, loopCount, startTime, nullptr, flags, false);
    return ClientObject::PlayAnimation(sequence, speed, loopCount, startTime, done, flags);
}

void ClientUnit::AddAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                              uint32_t flags, int32_t key) {
    if (CloakModel) CloakModel->AddSequence(sequence, speed, loopCount, startTime, nullptr, flags, false, key);
    ClientObject::AddAnimation(sequence, speed, loopCount, startTime, done, flags, key);
}

bool ClientUnit::PlayAnimationRange(int32_t sequence, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                                    uint32_t* endTime, uint8_t* done, uint32_t flags) {
    if (CloakModel) CloakModel->PlaySequenceRange(sequence, speed, from, to, startTime, nullptr, nullptr, flags, false);
    return ClientObject::PlayAnimationRange(sequence, speed, from, to, startTime, endTime, done, flags);
}

void ClientUnit::StopAnimations(uint32_t flags, int32_t key) {
    if (CloakModel) CloakModel->StopSequences(flags, key);
    ClientObject::StopAnimations(flags, key);
}

void ClientUnit::OnRemoveHook() {
    Moving = 0;
    Health = 0;
    Dying = 1;
}

Real ClientUnit::GroundHeight() const {
    if (UnitMover && UnitMover->floor) return UnitMover->position.y;
    return ClientObject::GroundHeight();
}

void ClientUnit::PlayOnce(int32_t sequence, Real seconds) {
    if (Armed || seconds < LastSeconds) return;
    const auto ticks = static_cast<uint32_t>(FloorToInt64(static_cast<double>(seconds) * CurrentTicksPerSecondFloat()));
    PlayAnimation(sequence, kUnitSpeed, 1, ticks, &AnimationEnded, 8);
}

void ClientUnit::AddSightBonus(Real bonus) {
    UnitSightRange += bonus;
    FirstPersonRange += 5.0f * bonus;
    if (bonus > 0)
        ++SightBonusCount;
    else if (SightBonusCount > 0)
        --SightBonusCount;
}

Real ClientUnit::GetFirstPersonRange() const {
    const Real most = Character->maximumFirstPersonRange;
    return FirstPersonRange < most ? FirstPersonRange : most;
}

void ClientUnit::Detach() {
    Cloaked = 0;
    if (IsDefogger) TvRemoveDefogger(this);
    IsDefogger = 0;
    if (UnitInventory)
        for (InventoryItem* item : UnitInventory->Items)
            if (item->Panel) {
                item->Panel->Release();
                item->Panel = nullptr;
            }
    if (AudioCloakModel) AudioCloakModel->Release();
    if (CloakModel) CloakModel->Release();
    AudioCloakModel = CloakModel = nullptr;
    if (Hidden) {
        Hidden = 0;
        ObjectRenderFlags &= ~kRenderHidden;
    }
    StopVoice();
    ClientObject::Detach();
}

ClientUnit* AsClientUnit(ClientObject* object) {
    return object && object->IsUnit() ? static_cast<ClientUnit*>(object) : nullptr;
}

const ClientUnit* AsClientUnit(const ClientObject* object) {
    return object && object->IsUnit() ? static_cast<const ClientUnit*>(object) : nullptr;
}

ClientObject* MakeClientUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                             const Quaternion& orientation, int32_t id) {
    return new ClientUnit(team, definition, position, orientation, id);
}
