#include "Awapi/model/sequence_player.h"

#include "Awapi/model/mul_div.h"
#include "Awapi/model/sound_hooks.h"
#include "core/clock.h"

AwSequencePlayer::AwSequencePlayer(uint8_t* doneFlag, int32_t speed, uint32_t flags, int32_t loopCount,
                                   uint32_t startTime, int32_t sequence, const std::vector<AwFrameSound>* sounds)
    : StartTime(startTime), Sequence(sequence), DoneFlag(doneFlag), Speed(speed), Flags(flags), LoopCount(loopCount) {
    if (sounds && !sounds->empty()) {
        sounds_ = sounds;
        cursor_ = (flags & kPlayerReverse) ? sounds->size() - 1 : 0;
    }
}

void AwSequencePlayer::RaiseDone() {
    if (!DoneFlag) return;
    *DoneFlag = 1;
    DoneFlag = nullptr;
}

void AwSequencePlayer::Advance(uint32_t time, AwObject* tracked) {
    int32_t p = AwMulDiv(Speed, static_cast<int32_t>(time - StartTime), kUnitSpeed);
    if (EndTime != 0 && static_cast<int32_t>(time - EndTime) > 0) {
        RaiseDone();
        p = LoopCount * static_cast<int32_t>(Length);
        if ((Flags & kPlayerRemoveWhenDone) && (Flags & kPlayerOwned)) {
            Finished = true;
            Flags &= ~kPlayerOwned;
            --References;
        }
    }
    // A sequence of no length has no loops to count.
    if ((Flags & kPlayerRange) || p < 0 || Length == 0) return;
    const auto length = static_cast<int64_t>(Length);
    int64_t q = p - static_cast<int64_t>(LoopsDone) * length;
    if (!sounds_ || !tracked) {
        LoopsDone = static_cast<uint32_t>(static_cast<int64_t>(LoopsDone) + q / length);
        return;
    }
    const int64_t halfSecond = CurrentTicksPerSecond() / 2;
    const auto& sounds = *sounds_;
    const uint32_t loops = static_cast<uint32_t>(LoopCount);
    if (!(Flags & kPlayerReverse)) {
        while (q > sounds[cursor_].Time && LoopsDone < loops) {
            if (q - sounds[cursor_].Time < halfSecond) SoundService().PlayFollowing(sounds[cursor_].Sample, tracked);
            if (cursor_ + 1 == sounds.size()) {
                ++LoopsDone;
                q -= length;
            }
            cursor_ = (cursor_ + 1) % sounds.size();
        }
        return;
    }
    int64_t r = length - q;
    while (r < sounds[cursor_].Time && LoopsDone < loops) {
        if (sounds[cursor_].Time - r < halfSecond) SoundService().PlayFollowing(sounds[cursor_].Sample, tracked);
        if (cursor_ == 0) {
            ++LoopsDone;
            r += length;
        }
        cursor_ = cursor_ == 0 ? sounds.size() - 1 : cursor_ - 1;
    }
}

void AwNodeTrack::Release() {
    if (HoldsReference && Player) --Player->References;
    HoldsReference = false;
    Player = nullptr;
}
