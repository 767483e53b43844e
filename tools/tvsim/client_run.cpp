#include "tools/tvsim/client_run.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Tv/client/client_objects.h"
#include "Tv/server/client_link.h"
#include "Tv/server/level_start.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "tests/support/headless_frame.h"

namespace {

int32_t DefinitionId(const ObjectDefinition* definition) { return definition ? definition->id : -1; }

// Background creatures stand nowhere on the server: their clients move them.
bool IsPlace(const Vector3& p) {
    for (const Real c : {p.x, p.y, p.z})
        if (!std::isfinite(c) || c == std::numeric_limits<Real>::lowest()) return false;
    return true;
}

bool AreTwins(const ServerObject& actor, const ClientObject& object) {
    return DefinitionId(actor.Definition) == DefinitionId(object.Definition) && actor.Team == object.Team;
}

template <class F>
void ForEachClientObject(F f) {
    HashSetIterator<ClientObject*> it;
    for (it.Begin(ClientObjectHash); !it.AtEnd(); it.Next()) f(*it.Current()->Payload);
}

} // namespace

RunClient::RunClient() {
    TvResetClientObjects();
    TvAttachClient(nullptr, 0);
}

RunClient::~RunClient() {
    TvDetachClient();
    CurrentGameState = 0;
}

bool RunClient::Start() {
    // The level starts at the server's time, so the actors' timers set during the load stand.
    LevelStartTime = ServerClock.GetSeconds();
    if (!TvWaitForPlayersReady() || !TvClientReady() || !TvWaitForGo()) return false;
    CurrentGameState = kGameStatePlay;
    return true;
}

void RunClient::Frame() { RunHeadlessFrame(); }

TwinReport RunClient::Compare() const {
    TwinReport report;
    std::map<int32_t, int32_t> objectsWithId;
    ForEachClientObject([&](const ClientObject& object) {
        ++report.objectsByTeam[object.Team];
        ++objectsWithId[object.Id];
    });
    ForEachActor([&](const ServerObject* actor) {
        if (actor->IsProjectile()) return;
        const ClientObject* twin = TvFindClientObject(actor->Id);
        if (!twin || objectsWithId[actor->Id] != 1 || !AreTwins(*actor, *twin)) {
            ++report.missing;
            return;
        }
        ++report.matched;
        if (IsPlace(actor->Position))
            report.largestDistance =
                std::max(report.largestDistance, std::sqrt(DistanceSquared(twin->Position, actor->Position)));
    });
    ForEachClientObject([&](const ClientObject& object) {
        const ServerObject* actor = TvFindActor(object.Id);
        if (!object.IsFragment && (!actor || !AreTwins(*actor, object))) ++report.extra;
    });
    return report;
}
