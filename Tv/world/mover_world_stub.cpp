// TEMPORARY: the least of the movers so that the level world links until the
// movers' branch lands; removed before that branch is merged.
#include "Tv/world/mover_world.h"

std::atomic<uint32_t> MoverMoveTicks{0};

MoverWorld::~MoverWorld() = default;

void MoverWorld::ReleaseMesh(CollisionMesh& mesh) { CollisionWorld::ReleaseMesh(mesh); }
