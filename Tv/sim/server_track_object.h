#pragma once
// ServerTrackObject: a piece of the level (a lift, a platform, a door, a
// bridge) that runs along a cubic curve between two ends and back, turning
// from one orientation to another, carrying the actors that stood on it when
// the run began and moving its own collision polygons with it so that walking
// and path finding follow. A lift (CarriesRiders) is listed in
// TrackObjectList and connects its floor to the level only while it stands
// at an end. Everything runs on the server thread or under the server lock;
// the mesh changes inside the level world's write lock.

#include <cstdint>

#include "Tv/sim/server_object.h"
#include "core/list.h"
#include "core/matrix.h"

class CollisionMesh;

constexpr int32_t kMsgTrackRunForward = 173;  // 12 + 4 n: id, n, the riders' ids
constexpr int32_t kMsgTrackRunBackward = 174; // the same, for a run back to the start
constexpr int32_t kMsgTrackTurned = 175;      // 8: id
constexpr int32_t kMsgTrackPaused = 176;      // 8: id
constexpr int32_t kMsgTrackResumed = 177;     // 8: id

class ServerTrackObject : public ServerObject {
public:
    ServerTrackObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                      const Quaternion& orientation, int32_t id);
    // Leaves TrackObjectList and lets go of every rider; the mesh stays in the
    // world as nobody's geometry.
    ~ServerTrackObject() override;

    int32_t GetSize() const override { return 440; }
    bool IsTrackObject() const override { return true; }
    // Finds the model's mesh in the collision world (the mesh then stays there
    // after the actor goes), then starts as every actor does.
    void Start(uint64_t time, Real seconds) override;
    // Riders explode (or, with none, whatever stands on the object), the floor
    // is cut off from the level, then the object's own destruction.
    void Explode() override;
    // Moves along the curve while running, carrying riders and mesh; restarts a looping object.
    void Think(uint64_t time, Real seconds) override;

    using ServerObject::SetTrack;
    // Gives the curve through the control points (P0 now, P3 the far end),
    // the orientation at the far end and whether it is a lift; takes the
    // model's parts out of the renderer's shared vertex buffers (main thread).
    void SetTrack(const Vector3 (&points)[4], const Quaternion& endOrientation, bool carriesRiders);
    // Starts a run from the end where the object stands (nothing without a curve, while running or
    // while paused): a lift takes on the lifting actors standing on it and cuts its floor off from the level.
    void RunTrack() override;
    // Sends the object toward an end (0 the start, 1 the far end): a run away
    // from it turns round where it is, an object standing at the other end
    // runs; a paused one waits for Unpause. Any end other than 0 is the far end.
    void GoToEnd(int32_t end);
    // Stops a run where it is (message 176); Unpause goes on from there (177).
    void Pause();
    void Unpause();

    // False, changing nothing, for a speed that is not above 0.
    bool SetTrackSpeed(Real speed);
    Real GetTrackSpeed() const { return TrackSpeed; }
    // Joins the actor to the riders unless it is one: one reference taken, marked on track.
    void AddRider(ServerObject& rider);
    bool HasRider(int32_t actorId) const;
    // The point of the curve at t in [0, 1]; exactly P0 and P3 at the ends.
    Vector3 CurvePoint(Real t) const;

    uint8_t CarriesRiders = 0;
    uint8_t TrackSet = 0;
    uint8_t Running = 0;
    uint8_t Reversed = 0;
    uint8_t Looping = 0;
    int32_t LoopTicks = 0;
    CollisionMesh* Mesh = nullptr; // the model's mesh in the collision world, or null
    Vector3 Curve[4];              // the control points P0 to P3
    SlerpRecord TurnInterpolation{};
    Quaternion StartOrientation{0, 0, 0, 1};
    Quaternion EndOrientation{0, 0, 0, 1};
    uint64_t RunStart = 0;      // moved on by pauses and turns so that the curve's t stays continuous
    uint64_t PauseTime = 0;     // GameClock ticks
    uint8_t Paused = 0;         // stopped mid-run by Pause; only Unpause goes on from there
    List<ServerObject*> Riders; // one reference each
    List<int32_t> SavedRiderIds; // a loaded object's riders by id until the fix-up

private:
    void DropRiders(bool explode);
    // Explodes every actor and pickup standing on the mesh (a lift destroyed without riders).
    void DestroyStandingOn();
    bool MeshHolds(const CollisionPolygon* polygon) const;
    // The mesh changes below need the level world's write lock held.
    // Moves the mesh's polygons, vertices and grid entries by the offset.
    void MoveMeshBy(const Vector3& delta);
    // Cuts the links between the class-marked floor and the level around it.
    void UnlinkFloor();
    // Files the mesh where it stopped and links its class-marked floor to the level there.
    void RelinkFloor();

    Real TrackSpeed = 0.1f; // fraction of the curve per second, always above 0
};

// Registers the class's maker with the server factory (AI core "track object").
void RegisterServerTrackObject();
