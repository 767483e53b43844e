#include "Tv/sim/server_bot.h"

#include "Tv/client/weapons.h"
#include "Tv/sim/actor_makers.h"

namespace {

ServerObject* MakeServerBot(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                            const Quaternion& orientation, int32_t id) {
    return new ServerBot(team, definition, position, orientation, id);
}

} // namespace

bool TvAimElevation(const Vector3&, Real, bool, bool, Real&) { return false; }
Real WrapHeadingDelta(Real d) { return d; }

ServerBot::ServerBot(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                     const Quaternion& orientation, int32_t id)
    : ServerUnit(team, definition, position, orientation, id) {}
ServerBot::~ServerBot() { delete Weapon; }
void ServerBot::DrainArmourItems(Real) {}
void ServerBot::DrainShieldItems(Real) {}
int32_t ServerBot::GetMagazineSize() const { return Weapon ? Weapon->MagazineSize : 100; }
void ServerBot::SetTeam(int32_t team) { ServerUnit::SetTeam(team); }
void ServerBot::Start(uint64_t time, Real seconds) { ServerUnit::Start(time, seconds); }
void ServerBot::ReleaseReferences() { ServerUnit::ReleaseReferences(); }
void ServerBot::Remove(bool announce) { ServerUnit::Remove(announce); }
void ServerBot::QueueSetAmmo(int32_t) {}
void ServerBot::QueueAttackPoint(const Vector3&) {}
void ServerBot::QueueAttackTarget(int32_t) {}
void ServerBot::SetWeapon(int32_t) {}
void ServerBot::AttackTarget(ServerObject*, Real, int32_t, int32_t) {}
void ServerBot::StopAttacking(Real) {}
void ServerBot::AttackPoint(const Vector3&, Real, int32_t, int32_t) {}
void ServerBot::SetAmmoType(int32_t) {}
void ServerBot::ReloadWeapon() {}
SelectAmmoResult ServerBot::SelectAmmo() { return kAmmoSameType; }
ConsumeShotResult ServerBot::ConsumeShot() { return kShotNext; }
void ServerBot::QueueAttackTarget(int32_t, int32_t) {}
void ServerBot::QueueAttackPoint(const Vector3&, int32_t) {}
void ServerBot::LaunchDecoy(const Vector3&) {}
void ServerBot::StartScan(Real) {}
bool ServerBot::CanLobAt(const Vector3&) const { return false; }
void ServerBot::UpdateMuzzlePosition(uint64_t) {}
bool ServerBot::AimAtTarget(uint64_t, Real) { return false; }
bool ServerBot::ApplyVulnerabilities(const ObjectDefinition*, Real) { return false; }
bool ServerBot::FireShot(const ObjectDefinition*, uint64_t, Real) { return false; }
void ServerBot::FillMagazine() {}
void ServerBot::BuildWeapon(int32_t) {}
void ServerBot::BeginAttack(Real, int32_t, int32_t) {}
void ServerBot::Unconceal() {}
void ServerBot::ReleaseFireTarget() {}

void RegisterServerBot() { SetServerActorMaker(ServerActorClass::Bot, &MakeServerBot); }
