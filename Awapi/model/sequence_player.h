#pragma once
// The timing of one animation sequence number played on a placed object:
// start, speed, end, loops and frame sounds. Every node of the object's
// instance tree follows the player through a track. Times are ticks of a
// clock chosen by the caller; speeds and fractions are 16.16 fixed point.
// A player runs on its object's thread.

#include <cstdint>
#include <vector>

#include "Awapi/model/anim_sequence.h"

class AwObject;

// Player flags.
constexpr uint32_t kPlayerLayered = 0x4;
constexpr uint32_t kPlayerBlend = 0x8;
constexpr uint32_t kPlayerHold = 0x10;
constexpr uint32_t kPlayerRange = 0x20;
constexpr uint32_t kPlayerRemoveWhenDone = 0x40;
constexpr uint32_t kPlayerOwned = 0x80;
constexpr uint32_t kPlayerFinished = 0x100;
constexpr uint32_t kPlayerReverse = 0x200;

constexpr int32_t kUnitSpeed = 65536;

class AwSequencePlayer {
public:
    // A cursor on the first frame sound (the last with kPlayerReverse) when
    // the list is given and not empty.
    AwSequencePlayer(uint8_t* doneFlag, int32_t speed, uint32_t flags, int32_t loopCount, uint32_t startTime,
                     int32_t sequence, const std::vector<AwFrameSound>* sounds);

    // Ends the player once its end time has passed and plays the frame
    // sounds passed since the last call (at `tracked`, when given) that are
    // less than half a second old.
    void Advance(uint32_t time, AwObject* tracked);
    void FreeSoundCursor() { sounds_ = nullptr; }
    bool HasSoundCursor() const { return sounds_ != nullptr; }

    uint32_t StartTime;
    uint32_t EndTime = 0; // 0: no end
    uint32_t Length = 0;
    int32_t Sequence;
    int32_t StartPosition = 0;
    int32_t TargetPosition = 0;
    uint8_t* DoneFlag;
    int32_t Speed;
    int32_t References = 1;
    bool Finished = false;
    uint32_t Flags;
    int32_t LoopCount;
    uint32_t LoopsDone = 0;
    int32_t Key = -1;

private:
    void RaiseDone();

    const std::vector<AwFrameSound>* sounds_ = nullptr;
    size_t cursor_ = 0;
};

// A node's link to a player: the node's sequence and its current frame.
struct AwNodeTrack {
    AwSequencePlayer* Player = nullptr;
    const AwAnimSequence* Sequence = nullptr;
    size_t Frame = 0;
    bool HoldsReference = false;
    // Drops the player reference the track holds.
    void Release();
};
