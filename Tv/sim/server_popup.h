#pragma once
// ServerPopup: an armed emplacement that lies lowered until an enemy comes within hearing range,
// then rises (model sequence 20) and fights as a bot under the combat core. ServerTurret: a popup
// that rises for an enemy in its field of view, never turns its body, aims its gun within its yaw
// and elevation limits and fires without counting ammunition; its think installs the turret core
// (turret_ai.h), which picks the targets.
//
// Neither goes down again. Server thread, or another thread holding the server lock.
//
// server_popup.cpp holds the popup and the rise, server_turret.cpp the turret's think, aim and
// shot.

#include <cstdint>

#include "Tv/sim/server_bot.h"

constexpr int32_t kPopupRecordSize = 784;
constexpr int32_t kTurretRecordSize = 800;

constexpr int32_t kMsgPopupRising = 74;     // 8: id
constexpr int32_t kMsgPopupRisingFast = 75; // 8: id

// Model sequences of an emplacement: 0 the raised pose, 19 the lowered one, 20 the rise.
constexpr int32_t kSequenceRaisedPose = 0;
constexpr int32_t kSequenceLoweredPose = 19;
constexpr int32_t kSequenceRise = 20;

class ServerPopup : public ServerBot {
public:
    using ServerBot::ServerBot;

    int32_t GetSize() const override { return kPopupRecordSize; }
    bool IsPopup() const override { return true; }
    // The bot's start; the centre offset from the lowered pose's box.
    void Start(uint64_t time, Real seconds) override;
    // Dead: the object's step. Raised: the combat core (unless disabled) and the bot's step.
    // Lowered: rises for the first live, unconcealed actor of teams 1 and up (not its own) within
    // hearing range, then the object's step.
    void Think(uint64_t time, Real seconds) override;

    // Starts the rise (sequence 20 once, at 100 times the speed when fast); Raised is set when it
    // ends, at once for a model without the sequence. Centre offset from the raised pose's box;
    // message 74 (75 when fast).
    void PopUp(bool fast);

    uint8_t Raised = 0;
    uint8_t Rising = 0;

protected:
    // The centre of the box recorded with that sequence of the definition's model; zero without
    // one.
    Vector3 SequenceBoxCentre(int32_t sequence) const;
};

class ServerTurret : public ServerPopup {
public:
    using ServerPopup::ServerPopup;

    int32_t GetSize() const override { return kTurretRecordSize; }
    bool IsTurret() const override { return true; }
    // Keeps its mover on its position (unless riding a track); dead: the object's step. Lowered:
    // rises for an enemy in its sight cone and range. Raised: installs the turret core (unless
    // disabled), aims the gun at the attack's point and fires when aimed and due.
    void Think(uint64_t time, Real seconds) override;
    // Rises first when lowered; the AI wakes no later than now.
    void Convert(Real start, Real end, int32_t team) override;
    // The AI sleeps until something wakes it.
    void EndConversion() override;

    void SetLosTesting(uint8_t on) { LosTesting = on; }
    uint8_t GetLosTesting() const { return LosTesting; }
    Vector3 GetMuzzlePosition() const { return MuzzlePosition; }
    uint64_t GetTurretAiTime() const { return TurretAiTime; }
    void SetTurretAiTime(uint64_t time) { TurretAiTime = time; }

    uint8_t LosTesting = 0;
    uint64_t TurretAiTime = 0;

private:
    // Lowered: PopUp when an enemy stands in the sight cone within sight range.
    void WatchForEnemies();
    // Elevation and gun yaw toward TargetPoint; ends the attack beyond either limit.
    void AimGun(uint64_t time, Real seconds);
    // One shot along the aim (spread by Aim), message 70 and the next shot's time.
    void FireAtTarget(uint64_t time, Real seconds);
};

// Registers the popup's and the turret's makers with the server factory.
void RegisterServerPopup();
