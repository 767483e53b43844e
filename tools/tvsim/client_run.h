#pragma once
// The headless client of a tvsim run: attached over the local queues before
// the level loads (so the map's objects get their twins with the same ids),
// the level-start handshake, then one client frame per server pass; at the
// end its objects are held against the server's actors.

#include <cstdint>
#include <map>

// How the client's objects stand against the server's live actors.
struct TwinReport {
    std::map<int32_t, int32_t> objectsByTeam; // client objects per team
    int32_t matched = 0;                      // actors (but projectiles) with one twin of their id, definition and team
    int32_t missing = 0;                      // actors (but projectiles) without such a twin
    int32_t extra = 0;                        // client objects (but fragments) that are no actor's twin
    float largestDistance = 0.0f;             // between the positions of twins
};

// Attaches the client for its lifetime (detached, its objects released, at the end).
class RunClient {
public:
    RunClient();
    ~RunClient();
    RunClient(const RunClient&) = delete;
    RunClient& operator=(const RunClient&) = delete;

    // After the load, the level-start handshake at the server's present time:
    // the server's half, then the client's (ready, the go), so both clocks
    // start together. False when it fails.
    bool Start();
    // One client frame.
    void Frame();
    // Main thread, with the server idle.
    TwinReport Compare() const;
};
