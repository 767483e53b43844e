#include "Tv/defs/pgeneratorscript.h"

#include <cfloat>

#include "Tv/defs/diagnostics.h"
#include "core/clock.h"
#include "core/numeric.h"

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

std::unique_ptr<ParticleGeneratorRecord> PGeneratorScriptObject::MakeGenerator() const {
    if (!IsComplete()) return nullptr;
    auto g = std::make_unique<ParticleGeneratorRecord>();
    g->type = GetValue(65);
    g->colourMode = kColourModeOfType;
    g->state = lifeKind_;
    g->countdown = lifeValue_;
    g->rate = static_cast<float>(GetReal(67));
    g->particleVelocity = Vector3(static_cast<float>(GetReal(68)), static_cast<float>(GetReal(69)),
                                  static_cast<float>(GetReal(70)));
    g->colour1 = Colour::FromFloats(static_cast<float>(GetReal(33)), static_cast<float>(GetReal(34)),
                                    static_cast<float>(GetReal(35)), static_cast<float>(GetReal(36)));
    g->colour2 = Colour::FromFloats(0, 0, 0, 0);
    g->trail = GetBool(103);
    g->startSize = static_cast<float>(GetReal(99));
    g->endSize = static_cast<float>(GetReal(100));
    g->spin = static_cast<float>(GetReal(101));
    // Seconds to whole ticks of the calling thread, rounded down.
    g->lifeOverride = FloorToInt(static_cast<float>(GetReal(102) * CurrentTicksPerSecond()));
    return g;
}
