#pragma once
// A projectile class for tests: records every launch and builds a plain
// actor in place of the shot. Installed for the recorder's scope.

#include <vector>

#include "Tv/sim/actor_makers.h"
#include "Tv/sim/server_object.h"

class LaunchRecorder {
public:
    LaunchRecorder() {
        current_ = this;
        SetServerProjectileMaker(&Make);
    }
    ~LaunchRecorder() {
        SetServerProjectileMaker(nullptr);
        current_ = nullptr;
    }
    LaunchRecorder(const LaunchRecorder&) = delete;
    LaunchRecorder& operator=(const LaunchRecorder&) = delete;

    std::vector<ProjectileLaunch> launches;

private:
    static ServerObject* Make(const ProjectileLaunch& launch) {
        current_->launches.push_back(launch);
        auto* shot = new ServerObject(launch.team, launch.definition, launch.from, launch.orientation,
                                      kActorFlagsProjectile, launch.id);
        shot->InTeamList = 0;
        return shot;
    }
    static inline LaunchRecorder* current_ = nullptr;
};
