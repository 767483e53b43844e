// The properties each definition type declares: number, type, limits and
// default ("required" properties have no default, and a block without them
// is incomplete).
#include "Tv/defs/definitiontypes.h"

#include <cfloat>
#include <cstdint>

#include "Tv/defs/mapscript.h"
#include "Tv/defs/pgeneratorscript.h"

namespace {

constexpr double kRealMax = DBL_MAX;
constexpr int32_t kIntMax = INT32_MAX;
constexpr bool kRequired = false;
constexpr bool kDefault = true;
constexpr bool kNoneAllowed = true;
constexpr bool kNoneRefused = false;

constexpr ScriptFactory kFactories[kScriptTypeCount] = {
    &DirectoryScriptObject::Create,       &HierarchyScriptObject::Create, &ShapeScriptObject::Create,
    &RoleScriptObject::Create,            &MapScriptObject::Create,       &LightScriptObject::Create,
    &AmmoScriptObject::Create,            &AmmoInfoScriptObject::Create,  &CameraTrackScriptObject::Create,
    &CharacterScriptObject::Create,       &ProjectileScriptObject::Create, &PGeneratorScriptObject::Create,
    &DestructibilityScriptObject::Create, &FragDataScriptObject::Create,  &FragScriptScriptObject::Create,
};

} // namespace

ScriptFactory ScriptTypeFactory(ScriptTypeId type) { return kFactories[static_cast<int>(type)]; }

ScriptTypeId ScriptTypeOf(const ScriptObject& object) {
    for (int t = 0; t < kScriptTypeCount; ++t)
        if (kFactories[t] == object.Factory()) return static_cast<ScriptTypeId>(t);
    return ScriptTypeId::Directory; // every object comes from one of the factories above
}

DirectoryScriptObject::DirectoryScriptObject() : ScriptObject(&Create) {
    DeclareString("name", 0, kNoneRefused, kRequired, nullptr);
    DeclareString("directory", 1, kNoneRefused, kRequired, nullptr);
}

NamedFileScriptObject::NamedFileScriptObject(ScriptFactory factory) : LevelScriptObject(factory) {
    DeclareString("name", 0, kNoneRefused, kRequired, nullptr);
    DeclareString("file", 1, kNoneRefused, kRequired, nullptr);
}

HierarchyScriptObject::HierarchyScriptObject() : NamedFileScriptObject(&Create) {
    DeclareString("hotspot", 3, kNoneAllowed, kDefault, nullptr);
    DeclareString("alternate hotspot", 4, kNoneAllowed, kDefault, nullptr);
}

RoleScriptObject::RoleScriptObject() : LevelScriptObject(&Create) {
    DeclareReference("character", 10, &CharacterScriptObject::Create, kNoneAllowed, kRequired);
    DeclareReference("shape", 5, &ShapeScriptObject::Create, kNoneAllowed, kDefault);
    AddAcceptedType(5, &HierarchyScriptObject::Create);
    AddAcceptedType(5, &PGeneratorScriptObject::Create);
    DeclareReference("inventory shape", 6, &ShapeScriptObject::Create, kNoneAllowed, kDefault);
    AddAcceptedType(6, &HierarchyScriptObject::Create);
    DeclareReference("pgen", 7, &PGeneratorScriptObject::Create, kNoneAllowed, kDefault);
    DeclareReference("pgen2", 8, &PGeneratorScriptObject::Create, kNoneAllowed, kDefault);
    DeclareReference("light", 30, &LightScriptObject::Create, kNoneAllowed, kRequired);
    DeclareReference("projectile", 11, &ProjectileScriptObject::Create, kNoneAllowed, kRequired);
    DeclareString("identifier", 71, kNoneAllowed, kRequired, nullptr);
    DeclareString("sever point", 72, kNoneAllowed, kDefault, nullptr);
    DeclareInt("description", 26, 0, kIntMax, kDefault, 0);
    DeclareInt("recon name", 125, 0, kIntMax, kDefault, 0);
    DeclareInt("recon ai short", 126, 0, kIntMax, kDefault, 0);
    DeclareInt("recon ai number", 127, 0, kIntMax, kDefault, -1);
    DeclareInt("recon ai long", 128, 0, kIntMax, kDefault, 0);
    DeclareInt("recon ai long2", 129, 0, kIntMax, kDefault, 0);
    DeclareInt("pickup name", 27, 0, kIntMax, kDefault, 0);
    DeclareInt("ai", 73, 0, kIntMax, kDefault, 4);
    DeclareInt("interface beam delay", 74, -1, kIntMax, kDefault, -1);
    DeclareInt("interface beam effect", 75, 0, kIntMax, kDefault, 1);
    DeclareString("interface beam script", 76, kNoneAllowed, kDefault, nullptr);
    DeclareInt("interface beam duration", 77, -1, kIntMax, kDefault, -1);
    DeclareInt("resistance", 78, 0, 9, kDefault, 0);
    DeclareReal("resistance factor", 79, 0, 1, kDefault, 0);
    DeclareReal("armour", 90, 0, kRealMax, kDefault, 0);
    DeclareReal("shields", 91, 0, kRealMax, kDefault, 0);
    DeclareReal("recharge rate", 94, -kRealMax, kRealMax, kDefault, 0);
    DeclareBool("alpha fogging", 86, kRequired, false);
    DeclareBool("per vertex fogging", 87, kRequired, false);
    DeclareReference("destructibility", 88, &DestructibilityScriptObject::Create, kNoneAllowed, kRequired);
    AddAcceptedType(88, &FragDataScriptObject::Create);
    AddAcceptedType(88, &FragScriptScriptObject::Create);
    DeclareBool("destination selectable", 109, kDefault, false);
    DeclareBool("frag control", 116, kDefault, false);
    DeclareBool("destroy after collection", 110, kDefault, true);
    DeclareBool("moves on lifts", 111, kDefault, false);
    DeclareBool("status display", 112, kDefault, true);
    DeclareBool("hit test ignore", 113, kDefault, false);
    DeclareBool("nolighting", 114, kDefault, false);
    DeclareInt("limit", 119, 0, kIntMax, kDefault, 0);
    // No keyword sets it: it always holds its default.
    DeclareInt("switch size", 120, 1, kIntMax, kDefault, 100);
    DeclareReal("alpha", 36, 0, 1, kDefault, 1);
    DeclareInt("action on death", 92, 0, kIntMax, kDefault, 0);
    DeclareReal("pickup radius", 93, 0, 30, kDefault, 6);
    DeclareString("meta sound", 135, kNoneAllowed, kDefault, nullptr);
}

LightScriptObject::LightScriptObject() : LevelScriptObject(&Create) {
    DeclareReal("red", 33, 0, kRealMax, kRequired, 0);
    DeclareReal("green", 34, 0, kRealMax, kRequired, 0);
    DeclareReal("blue", 35, 0, kRealMax, kRequired, 0);
    DeclareReal("specular red", 37, 0, kRealMax, kRequired, 0);
    DeclareReal("specular green", 38, 0, kRealMax, kRequired, 0);
    DeclareReal("specular blue", 39, 0, kRealMax, kRequired, 0);
    DeclareReal("range", 40, 0, kRealMax, kRequired, 0);
}

AmmoScriptObject::AmmoScriptObject() : LevelScriptObject(&Create) {
    DeclareInt("ammo type", 23, 0, 18, kRequired, 0);
    DeclareInt("weapon type", 24, 0, 32, kRequired, 0);
    DeclareReal("round time", 20, 0, kRealMax, kRequired, 0);
    DeclareReal("reload time", 21, 0, kRealMax, kRequired, 0);
    DeclareInt("life timer", 22, 0, kIntMax, kRequired, 0);
    DeclareInt("magazine size", 18, 0, kIntMax, kRequired, 0);
    DeclareInt("salvo size", 19, 0, kIntMax, kDefault, 1);
    DeclareInt("sound", 32, 0, 256, kDefault, 3);
    DeclareString("name", 0, kNoneRefused, kRequired, nullptr);
    DeclareString("file", 1, kNoneRefused, kRequired, nullptr);
    DeclareReference("projectile", 11, &RoleScriptObject::Create, kNoneAllowed, kDefault);
    DeclareReal("firing speed", 46, 0, kRealMax, kRequired, 0);
}

AmmoInfoScriptObject::AmmoInfoScriptObject() : LevelScriptObject(&Create) {
    DeclareInt("ammo type", 23, 0, 18, kRequired, 0);
    DeclareReference("shape", 5, &ShapeScriptObject::Create, kNoneAllowed, kDefault);
    AddAcceptedType(5, &HierarchyScriptObject::Create);
    DeclareInt("description", 26, 0, kIntMax, kRequired, 0);
    DeclareInt("ammo name", 28, 0, kIntMax, kRequired, 0);
    DeclareInt("max per slot", 29, 0, kIntMax, kRequired, 0);
}

CameraTrackScriptObject::CameraTrackScriptObject() : LevelScriptObject(&Create) {
    DeclareString("file", 1, kNoneRefused, kRequired, nullptr);
    DeclareString("name", 0, kNoneRefused, kRequired, nullptr);
    DeclareReference("pgen", 7, &PGeneratorScriptObject::Create, kNoneAllowed, kDefault);
    DeclareReference("pgen2", 8, &PGeneratorScriptObject::Create, kNoneAllowed, kDefault);
}

CharacterScriptObject::CharacterScriptObject() : LevelScriptObject(&Create) {
    DeclareReal("scan delay", 14, 0, kRealMax, kDefault, 0.5);
    DeclareReal("scan acceptance angle", 15, 0, 360, kDefault, 20);
    DeclareReal("angular scan rate", 16, 0, kRealMax, kDefault, 50);
    DeclareReal("mine laying time", 17, 0, kRealMax, kDefault, 8);
    DeclareReal("walking speed", 12, 0, kRealMax, kRequired, 0);
    DeclareReal("turning speed", 13, 0, kRealMax, kRequired, 0);
    DeclareReal("strength", 41, 0, kRealMax, kRequired, 0);
    DeclareReal("aim", 52, 0, kRealMax, kRequired, 0);
    DeclareReal("sight angle", 53, 0, 89, kRequired, 0);
    DeclareReal("sight range", 56, 0, kRealMax, kRequired, 0);
    DeclareReal("hearing range", 57, 0, kRealMax, kRequired, 0);
    DeclareReal("alert radius", 58, 0, kRealMax, kDefault, 10);
    DeclareReal("aggression", 59, 0, 1.01, kRequired, 0);
    DeclareReal("gun yaw angle", 54, 0, 180, kDefault, 60);
    DeclareReal("elevation angle", 55, 0, 180, kDefault, 80);
    DeclareReal("radius", 106, 0, kRealMax, kDefault, 0);
    DeclareReal("height", 107, 0, kRealMax, kDefault, 0);
    DeclareReal("size", 108, 0, kRealMax, kDefault, 1);
    DeclareReal("damage multiplier", 43, 0, kRealMax, kDefault, 1);
    DeclareReal("shot speed multiplier", 46, 0, kRealMax, kDefault, 1);
    DeclareReal("target cycle time", 47, 0, kRealMax, kDefault, 3);
    DeclareReal("weapon cycle time", 48, 0, kRealMax, kDefault, 0);
    DeclareReal("weapon cycle time2", 49, 0, kRealMax, kDefault, 0);
    DeclareReal("alarm delay", 50, 0, kRealMax, kDefault, 0);
    DeclareBool("can turn", 60, kDefault, true);
    DeclareBool("draw vision cone", 61, kDefault, true);
    DeclareBool("draw hearing range", 62, kDefault, true);
    DeclareBool("always cpu controlled", 115, kDefault, false);
    DeclareReference("customisation hierarchy", 117, &HierarchyScriptObject::Create, kNoneAllowed, kDefault);
    DeclareReference("shadow hierarchy", 118, &HierarchyScriptObject::Create, kNoneAllowed, kDefault);
    DeclareInt("weapon", 24, 0, kIntMax, kDefault, 33);
    DeclareInt("secondary weapon", 25, 0, kIntMax, kDefault, 33);
    DeclareInt("status window u", 63, 0, 1024, kDefault, 0);
    DeclareInt("status window v", 64, 0, 1024, kDefault, 0);
    DeclareInt("description", 26, 0, kIntMax, kDefault, 0);
    DeclareInt("generation limit", 122, 1, 10, kDefault, 5);
    DeclareBool("alertable", 123, kDefault, true);
    DeclareBool("latch trigger", 124, kDefault, false);
    DeclareInt("blob shadow", 89, 0, 1, kDefault, 0);
    DeclareInt("max weapon", 130, 0, kIntMax, kDefault, 0);
    DeclareInt("max ammo", 131, 0, kIntMax, kDefault, 0);
    DeclareInt("max module", 132, 0, kIntMax, kDefault, 0);
    DeclareReal("initial first person range", 133, 5, 100, kDefault, 5);
    DeclareReal("maximum first person range", 134, 5, 100, kDefault, 5);
}

ProjectileScriptObject::ProjectileScriptObject() : LevelScriptObject(&Create) {
    DeclareReal("damage", 42, -kRealMax, kRealMax, kRequired, 0);
    DeclareReal("blast damage", 44, -kRealMax, kRealMax, kDefault, 0);
    DeclareReal("blast range", 40, 0, kRealMax, kDefault, 0);
    DeclareReal("max range", 45, 0, kRealMax, kDefault, 196);
    DeclareBool("gravity", 51, kRequired, false);
    DeclareReference("hit_light", 31, &LightScriptObject::Create, kNoneAllowed, kDefault);
    DeclareInt("sound", 32, 0, 256, kDefault, 104);
}

DestructibilityScriptObject::DestructibilityScriptObject() : DestructionScriptObject(&Create) {
    DeclareInt("type", 65, 0, 1, kRequired, 0);
}

FragDataScriptObject::FragDataScriptObject() : DestructionScriptObject(&Create) {
    DeclareReference("role", 95, &RoleScriptObject::Create, kNoneRefused, kRequired);
    DeclareReference("replace role", 96, &RoleScriptObject::Create, kNoneAllowed, kDefault);
    DeclareString("remove", 97, kNoneAllowed, kDefault, nullptr);
    DeclareInt("scale", 98, 1, kIntMax, kRequired, 0);
    DeclareBool("replace", 104, kDefault, true);
    DeclareBool("symmetric", 105, kDefault, false);
    DeclareReal("blast damage", 44, -kRealMax, kRealMax, kDefault, 0);
    DeclareReal("blast range", 40, 0, kRealMax, kDefault, 0);
}

FragScriptScriptObject::FragScriptScriptObject() : DestructionScriptObject(&Create) {
    DeclareString("name", 0, kNoneRefused, kRequired, nullptr);
    DeclareBool("replace", 104, kDefault, false);
}
