#include "Tv/world/level_world.h"

#include "Awapi/model/dummy_object.h"

LevelWorld* LevelWorldInstance = nullptr;
std::vector<AwDummyObject> LevelDummyList;
