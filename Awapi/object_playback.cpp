// Starting, retargeting, stopping and advancing the sequence players of a
// placed object. Players run on the object's thread.

#include <cstdlib>

#include "Awapi/model/mul_div.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Awapi/shape_instance.h"
#include "core/clock.h"
#include "core/maths.h"
#include "core/numeric.h"

namespace {

constexpr uint32_t kPlayFlags = kPlayerLayered | kPlayerBlend | kPlayerHold | kPlayerRemoveWhenDone | kPlayerReverse;
constexpr uint32_t kAddFlags = kPlayFlags & ~kPlayerBlend;
constexpr uint32_t kRangeFlags = kPlayerLayered | kPlayerBlend;
// A blend lasts a quarter second at unit speed.
constexpr int32_t kQuarterSecond = 16384;

// Without hold the player goes once it ends.
uint32_t WithEndRule(uint32_t flags) { return (flags & kPlayerHold) ? flags : flags | kPlayerRemoveWhenDone; }

bool IsLive(const AwSequencePlayer& player) { return player.References != 0; }

uint32_t LoopEndTime(const AwSequencePlayer& player, int32_t loopCount, uint32_t startTime) {
    return loopCount >= 1 ? player.Length * static_cast<uint32_t>(loopCount) + startTime : 0;
}

// Where a range player is at `time`, in sequence ticks.
int32_t RangePositionAt(const AwSequencePlayer& player, uint32_t time) {
    if (player.Flags & kPlayerFinished) return player.TargetPosition;
    // At speed 0 the player never moves.
    if (player.EndTime == 0 || static_cast<int32_t>(time - player.StartTime) <= 0) return player.StartPosition;
    if (static_cast<int32_t>(time - player.EndTime) > 0) return player.TargetPosition;
    const auto elapsed = static_cast<float>(static_cast<int32_t>(time - player.StartTime));
    const auto span = static_cast<float>(static_cast<int32_t>(player.EndTime - player.StartTime));
    int32_t fraction = FloorToInt(65536.0f * elapsed * FastReciprocal(span));
    fraction = fraction < 0 ? 0 : (fraction > kUnitSpeed ? kUnitSpeed : fraction);
    return player.StartPosition + AwMulDiv(fraction, player.TargetPosition - player.StartPosition, kUnitSpeed);
}

} // namespace

const AwAnimSequence* AwObject::RootSequence(int32_t n) const {
    if (!Root || !AwHasSequence(Root->Sequences, n)) return nullptr;
    return (*Root->Sequences)[static_cast<size_t>(n)].get();
}

bool AwObject::HasSequence(int32_t n) const { return RootSequence(n) != nullptr; }

bool AwObject::TestSequenceFlag4(int32_t n) const {
    const AwAnimSequence* sequence = RootSequence(n);
    return sequence && sequence->IsRelative();
}

bool AwObject::IsPlayingSequence(int32_t n) const {
    if (Players.IsEmpty()) return false;
    const AwSequencePlayer& first = *Players.Front();
    return !(first.Flags & kPlayerLayered) && first.Sequence == n;
}

bool AwObject::IsPlayingLayeredSequence(int32_t n) const {
    if (Players.IsEmpty()) return false;
    const AwSequencePlayer& last = *Players.Back();
    return (last.Flags & kPlayerLayered) && last.Sequence == n;
}

AwSequencePlayer* AwObject::NewPlayer(const AwAnimSequence& sequence, int32_t n, int32_t speed, uint32_t flags,
                                      int32_t loopCount, uint32_t startTime, uint8_t* done, bool atEnd) {
    auto* player = new AwSequencePlayer(done, speed, flags, loopCount, startTime, n, &sequence.Sounds);
    if (atEnd)
        Players.PushBack(player);
    else
        Players.PushFront(player);
    return player;
}

uint32_t AwObject::ReplaceCurrent(uint32_t flags, int32_t speed, uint32_t startTime, bool cut) {
    if (flags & kPlayerBlend) {
        // At speed 0 there is no blend to play: the new pose applies at once.
        const int32_t perUnit = AwMulDiv(kQuarterSecond, kUnitSpeed, speed);
        const auto duration = static_cast<uint32_t>(AwMulDiv(perUnit, CurrentTicksPerSecond(), kUnitSpeed));
        Root->StartBlend(startTime, duration);
        return startTime + duration;
    }
    if (cut) Root->DropFirstTrack();
    return startTime;
}

bool AwObject::PlaySequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                            uint32_t flags, bool reset) {
    const AwAnimSequence* sequence = RootSequence(n);
    if (!sequence) return false;
    flags = WithEndRule(flags & kPlayFlags);
    if (!sequence->IsRelative()) {
        AwSequencePlayer* current = Players.IsEmpty() ? nullptr : Players.Front();
        if (current && IsLive(*current) && !(current->Flags & kPlayerLayered) && !current->Finished) {
            startTime = ReplaceCurrent(flags, speed, startTime, reset);
            --current->References;
        } else {
            flags &= ~kPlayerBlend;
        }
    }
    AwSequencePlayer* player = NewPlayer(*sequence, n, speed, flags | kPlayerOwned, loopCount, startTime, done,
                                         (flags & kPlayerLayered) != 0);
    Root->AttachPlayer(n, player, reset);
    player->EndTime = LoopEndTime(*player, loopCount, startTime);
    if (done) *done = 0;
    return true;
}

void AwObject::AddSequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                           uint32_t flags, bool holdTracks, int32_t key) {
    // A missing sequence adds nothing and keeps the key's running player.
    const AwAnimSequence* sequence = RootSequence(n);
    if (!sequence) return;
    flags = WithEndRule(flags & kAddFlags);
    if (key != -1) {
        for (ListNodeBase* n = Players.Sentinel()->Next; n != Players.Sentinel(); n = n->Next) {
            auto* node = static_cast<ListNode<AwSequencePlayer*>*>(n);
            const AwSequencePlayer& player = *node->Payload;
            if (player.Key == key && IsLive(player) && !player.Finished) {
                DeletePlayer(node);
                break;
            }
        }
    }
    AwSequencePlayer* player =
        NewPlayer(*sequence, n, speed, flags | kPlayerOwned, loopCount, startTime, done, true);
    player->Key = key;
    Root->AttachPlayer(n, player, holdTracks);
    player->EndTime = LoopEndTime(*player, loopCount, startTime);
    if (done) *done = 0;
}

bool AwObject::PlaySequenceRange(int32_t n, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                                 uint32_t* endTime, uint8_t* done, uint32_t flags, bool holdTracks) {
    const AwAnimSequence* sequence = RootSequence(n);
    if (!sequence) return false;
    const auto lastKey = static_cast<int32_t>(sequence->Frames.back().Time);
    flags &= kRangeFlags;
    if (!sequence->IsRelative()) {
        AwSequencePlayer* current = Players.IsEmpty() ? nullptr : Players.Front();
        if (current && IsLive(*current) && !(current->Flags & kPlayerLayered) &&
            (current->Sequence != n || !(current->Flags & kPlayerRange)))
            startTime = ReplaceCurrent(flags, speed, startTime, true);
        else
            flags &= ~kPlayerBlend;
    }

    AwSequencePlayer* player = nullptr;
    for (AwSequencePlayer* candidate : Players) {
        if ((candidate->Flags & kPlayerRange) && candidate->Sequence == n && IsLive(*candidate)) {
            player = candidate;
            break;
        }
    }
    if (player) {
        player->StartPosition = RangePositionAt(*player, startTime);
        player->StartTime = startTime;
        player->Speed = speed;
        player->DoneFlag = done;
        player->Flags &= ~(kPlayerFinished | kPlayerRemoveWhenDone);
    } else if (from == to) {
        if (done) *done = 1;
        return true;
    } else {
        player = NewPlayer(*sequence, n, speed, flags | kPlayerRange | kPlayerOwned, 1, startTime, done,
                           (flags & kPlayerLayered) != 0);
        player->StartPosition = AwMulDiv(from, lastKey, kUnitSpeed);
        Root->AttachPlayer(n, player, holdTracks);
    }

    player->TargetPosition = AwMulDiv(to, lastKey, kUnitSpeed);
    if (from == to) player->Flags |= kPlayerRemoveWhenDone;
    if (player->TargetPosition < player->StartPosition) player->Speed = -speed;
    // At speed 0 the target is never reached.
    player->EndTime = 0;
    if (speed != 0) {
        const int32_t ticksPerUnit = AwMulDiv(kUnitSpeed, kUnitSpeed, speed);
        const int32_t distance = std::abs(player->TargetPosition - player->StartPosition);
        player->EndTime = startTime + static_cast<uint32_t>(AwMulDiv(ticksPerUnit, distance, kUnitSpeed));
    }
    if (endTime) *endTime = player->EndTime;
    if (done) *done = 0;
    return true;
}

void AwObject::DeletePlayer(ListNode<AwSequencePlayer*>* node) {
    AwSequencePlayer* player = node->Payload;
    if (Root) Root->RemovePlayer(player);
    player->FreeSoundCursor();
    delete player;
    Players.RemoveNode(node);
}

void AwObject::StopSequences(uint32_t mode, int32_t key) {
    for (ListNodeBase* n = Players.Sentinel()->Next; n != Players.Sentinel();) {
        auto* node = static_cast<ListNode<AwSequencePlayer*>*>(n);
        n = n->Next;
        const AwSequencePlayer& player = *node->Payload;
        if (IsLive(player) && ((mode & 1) || ((mode & 2) && player.Key == key))) DeletePlayer(node);
    }
}

// Unreferenced players always leave the tree before they go: their tracks would point at nothing.
void AwObject::AdvanceSequences(uint32_t time, AwDrawFlags flags) {
    AwObject* tracked = (flags & kDrawAnimationObject) ? this : nullptr;
    for (ListNodeBase* n = Players.Sentinel()->Next; n != Players.Sentinel();) {
        auto* node = static_cast<ListNode<AwSequencePlayer*>*>(n);
        n = n->Next;
        AwSequencePlayer* player = node->Payload;
        if (IsLive(*player)) player->Advance(time, tracked);
        if (!IsLive(*player)) DeletePlayer(node);
    }
}
