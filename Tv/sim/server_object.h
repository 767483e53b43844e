#pragma once
// ServerObject: the authoritative server-side actor, the base of every class
// of the simulation (units, bots, projectiles, pickups, creatures, lifts...).
// It lives on the server thread, or on the main thread while that holds the
// server lock. The reference count starts at 1, the actor registry's
// reference; the last release deletes the actor.
//
// This is the base's core: identity, team, pose, definition, the team-list
// and AI-core fields, registration in ServerActorHash, the type tests and the
// operations the server core calls. The actor classes extend it.

#include <cstdint>

#include "core/maths.h"
#include "core/matrix.h"
#include "core/refcounted.h"

class CollisionPolygon;
struct ObjectDefinition;

class ServerObject : public RefObject {
public:
    // Registers the actor in ServerActorHash under `id` (taken by the caller
    // from ActorIdCounter); InTeamList is set, the caller appends the actor to
    // its team's list.
    ServerObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                 const Quaternion& orientation, int32_t id);
    // Unlinks whatever is left: the hash entry and the team list node.
    ~ServerObject() override;

    // The client twin makes itself current; a server actor does nothing.
    void MakeCurrent() override {}

    virtual bool IsAlive() const { return !Dead; }
    // The record size the saved games rely on (each class its own).
    virtual int32_t GetSize() const { return 288; }
    // Moves the actor to another team; the caller relinks the team lists and tells the clients.
    virtual void SetTeam(int32_t team) { Team = team; }
    // The actor's time base (ServerClock ticks and seconds).
    virtual void Start(uint64_t time, Real seconds);
    // Drops the references the actor holds on other actors.
    virtual void ReleaseReferences() {}
    // The floor polygon the actor stands on, or null.
    virtual CollisionPolygon* GetFloorPolygon() const { return FloorPolygon; }
    // Makes the actor a rider of the track object with that id (track objects answer).
    virtual void SetTrack(int32_t) {}
    // Ends the actor's life in the simulation, once: sets Dead, announces it
    // with message 73 when asked, leaves ServerActorHash and drops the
    // registry's reference (the actor may be deleted here).
    virtual void Remove(bool announce);

    virtual bool IsUnit() const { return false; }
    virtual bool IsBot() const { return false; }
    virtual bool IsProjectile() const { return false; }
    virtual bool IsTrackObject() const { return false; }
    virtual bool IsNode() const { return false; }
    virtual bool IsCentipede() const { return false; }
    virtual bool IsCentibody() const { return false; }
    virtual bool IsBackgroundCreature() const { return false; }
    virtual bool IsFlyingCreature() const { return false; }
    virtual bool IsPickup() const { return false; }
    virtual bool IsTumbleweed() const { return false; }
    virtual bool IsPopup() const { return false; }
    virtual bool IsBlocker() const { return false; }
    virtual bool IsPresident() const { return false; }
    virtual bool IsTurret() const { return false; }

    // Store the pose and mark it for the next pose broadcast.
    void SetPosition(const Vector3& position);
    void SetOrientation(const Quaternion& orientation);

    int32_t Id;
    int32_t Team;
    Vector3 Position;
    Quaternion Orientation;
    const ObjectDefinition* Definition; // not owned
    uint8_t InTeamList = 1;             // belongs in its team's list of TeamActorLists
    int32_t AiCore = 0;                 // the AI core installed by TvSetAiCore
    uint8_t Dead = 0;                   // set once by Remove
    uint8_t StateChanged = 0;           // the pose changed since the last pose broadcast
    uint8_t InActorHash = 1;            // registered in ServerActorHash
    Real LastSeconds = 0;               // of the last Start
    Real StateSeconds = 0;
    uint64_t StateTicks = 0;
    uint64_t ThinkTicks = 0;
    CollisionPolygon* FloorPolygon = nullptr; // the floor under the actor, found when it starts
};
