#pragma once
// ServerProjectile: the server actor of every shot (bullets, shells, rockets,
// homing missiles, flares, decoys, fragments, nanofrag shots). At launch it
// predicts where it strikes the level and static actors; every pass its Step
// tests the moving actors on its way and strikes (direct and blast damage,
// message 71, noise, the victim's answer), and its Think moves it. It is in
// no team list. Built by TvFireProjectile once RegisterServerProjectile ran.

#include <cstdint>

#include "Tv/sim/server_object.h"

struct ProjectileRecord;

constexpr int32_t kProjectileRecordSize = 376;

// Bits of FlightFlags (the definition's `limit`).
constexpr int32_t kFlightNanofrag = 0x10;
constexpr int32_t kFlightHoming = 0x40;
constexpr int32_t kFlightShutDown = 0x200; // struck actors of non-player teams are disabled

constexpr Real kHomingFlightSeconds = 10.0f;

class ServerProjectile : public ServerObject {
public:
    // Flies along the orientation's forward axis at `speed`; homes on the
    // target when the id names a registered actor (one reference held).
    ServerProjectile(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                     const Quaternion& orientation, Real speed, int32_t shooterId, int32_t targetId, int32_t damageKind,
                     int32_t id);
    ~ServerProjectile() override;

    int32_t GetSize() const override { return kProjectileRecordSize; }
    bool IsProjectile() const override { return true; }
    // The time base, then the predicted impact on the level and on static actors.
    void Start(uint64_t time, Real seconds) override;
    // Impact detection, before the actors think.
    void Step(uint64_t time, Real seconds) override;
    // Projectiles are never struck.
    bool HitTestSegment(HitRecord&, const Vector3&, const Vector3&, const HitRecord&) override { return false; }
    bool HitTestBallistic(HitRecord&, const Vector3&, const Vector3&, const Vector3&, const HitRecord&) override {
        return false;
    }
    // The flight: straight or ballistic from the origin, or the homing turn;
    // removed outside the level box, after 10 s of homing, or (a flare) at its point.
    void Think(uint64_t time, Real seconds) override;

    // ---- Appended operations ----
    virtual int32_t GetFlightFlags() const { return FlightFlags; }
    // The flare's destination (the bot sets it after every shot).
    virtual void SetTargetPoint(const Vector3& point) { TargetPoint = point; }

    Vector3 Origin;
    int32_t ShooterId;
    Real DamageMultiplier = 1.0f;
    const ProjectileRecord* Record; // the definition's; never null (an empty record for none)
    Vector3 Velocity;
    Real LaunchSeconds = 0;
    uint64_t LaunchTicks = 0;
    int32_t FlightFlags;
    uint8_t WillHit = 0;
    uint8_t HitsLevel = 0;
    Real HitTime = 0; // seconds of flight left until the predicted impact
    Real HitAt = 0;   // the predicted impact's seconds of flight from launch
    int32_t VictimId = -1;
    int32_t DamageKind;
    ServerObject* Target = nullptr; // homing target, one reference held
    Vector3 TargetPoint{0, 0, 0};
    int32_t SavedTargetId = 0; // a loaded projectile's target (id + 1, 0 none) until the fix-up

private:
    // Seconds between two ServerClock times, at the calling thread's rate.
    static Real SecondsBetween(uint64_t from, uint64_t to);
    bool IsHoming() const { return (FlightFlags & kFlightHoming) && Target; }
    Vector3 Acceleration() const;
    // The path from `from` with velocity `v` against the level, up to `limit`.
    bool HitsLevelWithin(const Vector3& from, const Vector3& v, Real limit, Real& t) const;
    // The path against one actor, up to `limit`; t is updated on a hit.
    bool HitsActorWithin(ServerObject& actor, const Vector3& from, const Vector3& v, Real& t) const;
    // The first actor of the hash (other teams, or any with friendly fire;
    // alive, not the shooter) struck up to `limit`, which takes its t.
    ServerObject* FirstActorHit(const Vector3& v, Real& limit, bool mobileOnly) const;
    // Whether a hit of this shot would hurt that team.
    bool CanHurt(int32_t team) const;
    void Strike(uint64_t time, Real seconds, ServerObject* victim, const Vector3& point, const Vector3& messagePoint,
                Real dt);
    void DamageVictim(ServerObject& victim, uint64_t time, uint8_t& killed);
    void Blast(ServerObject* victim, const Vector3& point, uint64_t time);
    void AnswerFire(ServerObject* victim, Real seconds);
};

// The orientation that turns +z onto the direction of v (the identity for a
// shot along +z or without speed, a half turn about y for one along -z).
Quaternion ProjectileOrientation(const Vector3& v);

// Makes TvFireProjectile build ServerProjectiles.
void RegisterServerProjectile();
