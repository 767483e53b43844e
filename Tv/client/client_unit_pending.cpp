// Bodies still being written.
#include "Tv/client/client_unit.h"

void ClientUnit::Update(uint64_t ticks, Real seconds) { ClientObject::Update(ticks, seconds); }
void ClientUnit::Render() { ClientObject::Render(); }
void ClientUnit::MoveToRecord(const ClientMotionRecord& record) { ClientObject::MoveToRecord(record); }
void ClientUnit::ClearSelectValues() { ClientObject::ClearSelectValues(); }
void ClientUnit::SetStance(int32_t, bool, bool) {}
void ClientUnit::StartWalking(const Vector3&, const UnitMotionState&, const Vector3&) {}
void ClientUnit::ApplyMotionState(const UnitMotionState&, bool) {}
void ClientUnit::SendEquipItem(int32_t, int32_t, bool) {}
void ClientUnit::SendUseItem(int32_t, bool) {}
void ClientUnit::SendDropItem(int32_t, bool) {}
void ClientUnit::SendHeadFor(int32_t, int32_t, int32_t, bool) {}
void ClientUnit::SendRemoveItem(int32_t, bool) {}
void ClientUnit::SendStanceOrder(bool) {}
void ClientUnit::SendStop() {}
void ClientUnit::SendSelectAmmo(int32_t, bool) {}
void ClientUnit::SetStandingOrder(int32_t) {}
void ClientUnit::SendDirectControlState(bool) {}
void ClientUnit::GetControlState(UnitMotionState&) const {}
void ClientUnit::ChangeSpeed(int32_t, const UnitMotionState&) {}
void ClientUnit::RestartBaseAnimation(uint32_t) {}
void ClientUnit::Collapse(const UnitMotionState&) {}
void ClientUnit::StartCloak(const ObjectDefinition*, Real, Real) {}
void ClientUnit::StartAudioCloak(Real, Real) {}
void ClientUnit::MountItem(int32_t, int32_t, bool) {}
void ClientUnit::UnmountItem(MountedItem*) {}
MountedItem* ClientUnit::FindMounted(int32_t) const { return nullptr; }
void ClientUnit::UseItem(int32_t, bool) {}
void ClientUnit::GiveItem(int32_t, int32_t, int32_t, int32_t) {}
void ClientUnit::TransferItem(InventoryItem*, ClientUnit&, int32_t, bool, int32_t) {}
void ClientUnit::DropItem(int32_t) {}
void ClientUnit::AddPickedUpItems(int32_t, const ObjectDefinition*, int32_t, int32_t) {}
void ClientUnit::PushHoldOrder() {}
void ClientUnit::ShowFollowOrder(CollisionPolygon*, int32_t) {}
void ClientUnit::TakeFlag(int32_t) {}
void ClientUnit::DropFlag() {}
void ClientUnit::ReturnFlag() {}
void ClientUnit::CaptureFlag() {}
void ClientUnit::SeverPart(int32_t, int32_t) {}
void ClientUnit::StepWalk(Real) {}
void ClientUnit::UpdateIdle() {}
void ClientUnit::UpdateCloaks(Real) {}
void ClientUnit::UpdateMarker() {}
void ClientUnit::EndAudioCloak() {}
