#include "Tv/defs/pgeneratorscript.h"

#include <cfloat>

#include "Tv/defs/diagnostics.h"

PGeneratorScriptObject::PGeneratorScriptObject() : LevelScriptObject(&Create) {
    constexpr double kMax = DBL_MAX;
    DeclareInt("type", 65, 0, 12, false, 0);
    DeclareReal("rate", 67, 0, kMax, false, 0);
    DeclareReal("x", 68, -kMax, kMax, false, 0);
    DeclareReal("y", 69, -kMax, kMax, false, 0);
    DeclareReal("z", 70, -kMax, kMax, false, 0);
    DeclareReal("red", 33, 0, kMax, false, 0);
    DeclareReal("green", 34, 0, kMax, false, 0);
    DeclareReal("blue", 35, 0, kMax, false, 0);
    DeclareReal("alpha", 36, 0, 1, false, 0);
    DeclareReal("start scale", 99, 0, kMax, true, 1);
    DeclareReal("end scale", 100, 0, kMax, true, 1);
    DeclareReal("particle TTL", 102, 0, kMax, true, 0);
    DeclareReal("spin", 101, -kMax, kMax, true, 0);
    DeclareBool("generategenerators", 103, true, false);
}

bool PGeneratorScriptObject::IsComplete() const { return lifeGiven_ && ScriptObject::IsComplete(); }

void PGeneratorScriptObject::InheritFrom(const ScriptObject& base) {
    ScriptObject::InheritFrom(base);
    const auto& generator = static_cast<const PGeneratorScriptObject&>(base);
    lifeKind_ = generator.lifeKind_;
    lifeValue_ = generator.lifeValue_;
    lifeGiven_ = generator.lifeGiven_;
}

void PGeneratorScriptObject::AssignValue(const PropertyValue& value) {
    if (value.kind != PropertyValueKind::Life) {
        ScriptObject::AssignValue(value);
        return;
    }
    if (lifeGivenHere_) {
        CompilerError("value for life defined more than once");
        return;
    }
    const auto& life = static_cast<const LifeValue&>(value);
    lifeKind_ = life.lifeKind;
    lifeValue_ = life.value;
    lifeGiven_ = true;
    lifeGivenHere_ = true;
}
